#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "formstream/FormFile.h"
#include "modres/Module.h"
#include "platform/Exception.h"
#include "workbench/core/WorkbenchDocument.h"

using namespace vc;
using Shown = WorkbenchDocument::Shown;

namespace {

const std::string kModule = VC_FIXTURES "/forms32.exe";
const std::string kFormText = "object F: TF\r\n  Caption = 'x'\r\nend\r\n";

std::string binaryFormFile() {
  TReadOnlyMemoryStream input(kFormText);
  TMemoryStream output;
  TextToFormFile(input, output);
  return output.data();
}

}  // namespace

// What was loaded last decides where and how the save command writes.
TEST(WorkbenchDocument, SaveRoutingFollowsWhatIsLoaded) {
  struct Row {
    const char* what;
    std::function<void(WorkbenchDocument&)> load;
    Shown shown;
    bool askTarget;
    std::string target;
    SaveFormat format;
    FormTextEncoding encoding;
  };
  const auto ft = FormTextEncoding::Cp950;
  const Row rows[] = {
      {"nothing", [](WorkbenchDocument&) {}, Shown::Nothing, true, "", SaveFormat::FormFile, ft},
      {"text", [](WorkbenchDocument& d) { d.openText("/d/a.txt"); }, Shown::Text, false, "/d/a.txt",
       SaveFormat::PlainText, ft},
      {"binary dfm", [](WorkbenchDocument& d) { d.openFormFile("/d/a.dfm", binaryFormFile()); }, Shown::FormFile,
       false, "/d/a.dfm", SaveFormat::FormFile, ft},
      {"text dfm", [](WorkbenchDocument& d) { d.openFormFile("/d/a.dfm", "\xEF\xBB\xBF" + kFormText); },
       Shown::FormText, false, "/d/a.dfm", SaveFormat::FormText, FormTextEncoding::Utf8Bom},
      {"module that does not open keeps the text dfm",
       [](WorkbenchDocument& d) {
         d.openFormFile("/d/a.dfm", kFormText);
         EXPECT_FALSE(d.openModule("/d/missing.exe"));
       },
       Shown::FormText, false, "/d/a.dfm", SaveFormat::FormText, ft},
      {"module", [](WorkbenchDocument& d) { EXPECT_TRUE(d.openModule(kModule)); }, Shown::Module, true, "",
       SaveFormat::FormFile, ft},
      {"form of a module",
       [](WorkbenchDocument& d) {
         d.openModule(kModule);
         EXPECT_NE(d.openForm("TFORM1").find("object"), std::string::npos);
       },
       Shown::ModuleForm, true, "", SaveFormat::FormFile, ft},
      {"text dfm, then the views emptied",
       [](WorkbenchDocument& d) {
         d.openFormFile("/d/a.dfm", kFormText);
         d.clear();
       },
       Shown::Nothing, true, "", SaveFormat::FormFile, ft},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    WorkbenchDocument doc;
    row.load(doc);
    EXPECT_EQ(doc.shown(), row.shown);
    const SaveRoute route = doc.saveRoute();
    EXPECT_EQ(route.askTarget, row.askTarget);
    EXPECT_EQ(route.target, row.target);
    EXPECT_EQ(route.format, row.format);
    if (row.format == SaveFormat::FormText) {
      EXPECT_EQ(route.encoding, row.encoding);
    }
    EXPECT_TRUE(route.clearsModified && route.clearsMenuItem);
    EXPECT_FALSE(doc.modified());
  }
}

TEST(WorkbenchDocument, AFormOfAModuleIsSavedUnderTheModulesNameOnlyThroughTheDialog) {
  WorkbenchDocument doc;
  doc.openText("/d/a.txt");
  ASSERT_TRUE(doc.openModule(kModule));
  doc.openForm("TABOUTBOX");
  EXPECT_EQ(doc.fileName(), kModule);
  EXPECT_EQ(doc.formName(), "TABOUTBOX");
  EXPECT_NE(doc.module(), nullptr);
  // A failed load changes nothing.
  EXPECT_THROW(doc.openForm("NOSUCHFORM"), EResNotFound);
  EXPECT_THROW(doc.openFormFile("/d/b.dfm", "not a form"), Exception);
  EXPECT_EQ(doc.shown(), Shown::ModuleForm);
  EXPECT_EQ(doc.formName(), "TABOUTBOX");
  // A module that does not open releases the one before.
  EXPECT_FALSE(doc.openModule("/d/missing.exe"));
  EXPECT_EQ(doc.module(), nullptr);
  EXPECT_EQ(doc.modulePath(), "");
}

// Save-as writes by the filter entry; only a form file marks the text saved,
// and never the menu item.
TEST(WorkbenchDocument, SaveAsFollowsTheFilterEntry) {
  const std::tuple<int, SaveFormat, bool> rows[] = {
      {1, SaveFormat::FormFile, false}, {2, SaveFormat::PlainText, true}, {3, SaveFormat::FormFile, false}};
  for (const auto& [entry, format, stillModified] : rows) {
    WorkbenchDocument doc;
    doc.openFormFile("/d/a.dfm", kFormText);  // form text, yet save-as writes a form file
    doc.edited();
    const SaveRoute route = WorkbenchDocument::saveAsRoute("/d/b.dfm", entry);
    EXPECT_EQ(route.format, format) << entry;
    EXPECT_EQ(route.target, "/d/b.dfm");
    EXPECT_FALSE(route.clearsMenuItem);
    doc.saved(route);
    EXPECT_EQ(doc.modified(), stillModified) << entry;
  }
}

TEST(WorkbenchDocument, SaveBytesRefuseFormTextThatDoesNotConvert) {
  SaveRoute utf8{false, "a.dfm", SaveFormat::FormText, FormTextEncoding::Utf8Bom};
  EXPECT_EQ(saveBytes(utf8, kFormText), "\xEF\xBB\xBF" + kFormText);
  EXPECT_EQ(saveBytes(SaveRoute{}, kFormText), binaryFormFile());
  const std::string broken = "object F: TF\r\n";
  EXPECT_THROW(saveBytes(utf8, broken), Exception);
  EXPECT_THROW(saveBytes(SaveRoute{}, broken), Exception);
  EXPECT_EQ(saveBytes(SaveRoute{false, "a.txt", SaveFormat::PlainText}, broken), broken);
}

TEST(WorkbenchDocument, SwitchPromptAnswers) {
  const std::tuple<PromptAnswer, bool, bool, bool> rows[] = {
      // answer, goes on, saved, still modified
      {PromptAnswer::Yes, true, true, true},
      {PromptAnswer::No, true, false, false},
      {PromptAnswer::Cancel, false, false, true},
  };
  for (const auto& [answer, goesOn, saves, stillModified] : rows) {
    WorkbenchDocument doc;
    doc.edited();
    bool saved = false;
    EXPECT_EQ(doc.answerSwitchPrompt(answer, [&] { saved = true; }), goesOn);
    EXPECT_EQ(saved, saves);
    EXPECT_EQ(doc.modified(), stillModified);
  }
}

TEST(WorkbenchDocument, CloseCheck) {
  using A = PromptAnswer;
  using S = SaveOutcome;
  struct Row {
    bool modified, tableChanged;
    A saveAnswer;
    S saveOutcome;
    A leaveAnswer;
    const char* asked;  // S: the save prompt, W: a save, L: the leave prompt
    bool closes;
  };
  const Row rows[] = {
      {false, false, A::Yes, S::Saved, A::Yes, "", true},
      {true, false, A::Cancel, S::Saved, A::Yes, "S", false},
      {true, false, A::Yes, S::Saved, A::Yes, "SW", true},
      {true, false, A::Yes, S::Cancelled, A::Yes, "SW", true},  // a cancelled save dialog still closes
      {true, true, A::Yes, S::Failed, A::Yes, "SW", false},     // an error keeps the window
      {true, true, A::No, S::Saved, A::Yes, "SL", true},
      {false, true, A::Yes, S::Saved, A::No, "L", false},
      {false, true, A::Yes, S::Saved, A::Cancel, "L", false},
  };
  for (const Row& row : rows) {
    WorkbenchDocument doc;
    if (row.modified) doc.edited();
    if (row.tableChanged) doc.stringTableEdited();
    std::string asked;
    const bool closes = doc.mayClose([&] { asked += 'S'; return row.saveAnswer; },
                                     [&] { asked += 'W'; return row.saveOutcome; },
                                     [&] { asked += 'L'; return row.leaveAnswer; });
    EXPECT_EQ(asked, row.asked);
    EXPECT_EQ(closes, row.closes) << row.asked;
    // The leave prompt is asked again at the next close unless it was agreed to.
    EXPECT_EQ(doc.stringTableChanged(), row.tableChanged && !closes);
  }
}
