#pragma once
// The workbench document: what the main window has loaded (nothing, a text
// file, a binary .dfm, a .dfm holding form text in its encoding, or a module
// and the form chosen from it), its unsaved-changes and string-table-changed
// states, and what follows from them: where and how a save writes, and what a
// switch of document or a close asks first. It holds no text and no widgets:
// the window shows the text and asks the questions.
//
// Paths are local file names as bytes, as the file system takes them.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "translation/FormTextFile.h"

namespace vc {

namespace modres {
class Module;
}

enum class PromptAnswer { Yes, No, Cancel };
enum class SaveOutcome { Saved, Cancelled, Failed };

enum class SaveFormat { PlainText, FormFile, FormText };

// Where a save writes, in what format, and what a completed write marks saved.
struct SaveRoute {
  bool askTarget = false;  // the save dialog chooses the target
  std::string target;      // otherwise this path
  SaveFormat format = SaveFormat::FormFile;
  FormTextEncoding encoding = FormTextEncoding::Cp950;  // of FormText
  std::string lineBreak = "\r\n";                      // of FormText
  bool clearsModified = true;  // the unsaved-changes state and the save button
  bool clearsMenuItem = true;  // the save menu item too
};

// The bytes a save writes for the editor's text (CP950, lines ending in CR
// LF). Raises the parser's error when form text does not convert, so a form
// is never written in a shape that cannot be loaded again.
std::string saveBytes(const SaveRoute& route, const std::string& text);

class WorkbenchDocument {
 public:
  // ResourceStrings: the open module's string tables, shown read-only and
  // translated on the string page.
  enum class Shown { Nothing, Text, FormFile, FormText, Module, ModuleForm, ResourceStrings };

  WorkbenchDocument();
  ~WorkbenchDocument();

  Shown shown() const { return m_shown; }
  // The save target of the save command: the file last loaded (a module's
  // path for its forms); empty when nothing is.
  const std::string& fileName() const { return m_fileName; }
  modres::Module* module() const { return m_module.get(); }
  const std::string& modulePath() const { return m_modulePath; }
  const std::string& formName() const { return m_formName; }  // CP950, of ModuleForm
  bool modified() const { return m_modified; }
  bool stringTableChanged() const { return m_stringTableChanged; }

  // ---- Loading. Each one changes the state only when it succeeds.
  // Releases the open module, then opens path; false (no module open, the
  // shown document kept) when it is not a module that can be read: the
  // window tells the user so in its own words, whatever the reason.
  bool openModule(const std::string& path);
  // The open module's form resource as form text; raises the reader's error.
  std::string openForm(const std::string& name);
  // The open module's resource strings are shown (nothing when no module is).
  void openResourceStrings();
  void openText(const std::string& path);
  // The form text of a .dfm's bytes, binary or already text; raises the
  // reader's error.
  std::string openFormFile(const std::string& path, std::string_view bytes);
  // The form file saved for a form of the open module, in its place: saved
  // back to that file; the module stays open.
  std::string openSavedForm(const std::string& name, const std::string& path, std::string_view bytes);
  // The views were emptied: nothing is shown (the module stays open).
  void clear();

  // ---- The two states.
  void edited() { m_modified = true; }
  void clearModified() { m_modified = false; }
  void stringTableEdited() { m_stringTableChanged = true; }

  // ---- Saving.
  SaveRoute saveRoute() const;
  // Save-as writes to the chosen path by the dialog's filter entry (1-based).
  static SaveRoute saveAsRoute(const std::string& target, int filterEntry);
  void saved(const SaveRoute& route) {
    if (route.clearsModified) m_modified = false;
  }

  // ---- Questions.
  // The save prompt before a switch of document, answered: Yes runs save
  // (the save or save-as command), No clears the unsaved-changes state.
  // False when the user cancelled.
  bool answerSwitchPrompt(PromptAnswer answer, const std::function<void()>& save);
  // The close check: the save prompt for unsaved text (Yes saves; a failed
  // save keeps the window open), then the leave prompt for a changed string
  // table. True when the window may close.
  bool mayClose(const std::function<PromptAnswer()>& askSave, const std::function<SaveOutcome()>& save,
                const std::function<PromptAnswer()>& askLeave);

 private:
  Shown m_shown = Shown::Nothing;
  std::string m_fileName;
  std::unique_ptr<modres::Module> m_module;
  std::string m_modulePath;
  std::string m_formName;
  FormTextEncoding m_formTextEncoding = FormTextEncoding::Cp950;
  std::string m_formTextLineBreak = "\r\n";
  bool m_modified = false;
  bool m_stringTableChanged = false;
};

}  // namespace vc
