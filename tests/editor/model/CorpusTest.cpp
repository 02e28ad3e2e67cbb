// The form text files of the corpus through the model and the highlighter:
// tokens cover every byte, every brace block is closed by the end of the file,
// each object/end line starts with a Key token, and an F3 walk finds as many
// matches as a plain count.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/highlight/DfmHighlighter.h"
#include "editor/model/EditorModel.h"
#include "tests/ReadFile.h"

namespace vc {
namespace {

namespace fs = std::filesystem;

using test::readFile;

TEST(EditorCorpus, FormTextFilesHighlightAndSearch) {
  const fs::path dir = fs::path(VC_CORPUS_DIR) / "text";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  DfmHighlighter h;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string bytes = readFile(entry.path());
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    EditorModel m(100);
    m.setHighlighter(&h);
    m.loadFromBytes(bytes);
    for (int k = 0; k < m.lineCount(); ++k) {
      const std::string& line = m.lineText(k);
      h.setRangeState(m.lineRange(k));
      h.startLine(line, k);
      std::size_t covered = 0;
      bool first = true;
      std::size_t indent = line.find_first_not_of(' ');
      bool keyLine = m.lineRange(k) == DfmHighlighter::rsOutside && indent != std::string::npos &&
                     (line.compare(indent, 7, "object ") == 0 || line.compare(indent, 3, "end") == 0);
      for (; !h.atLineEnd(); h.advance()) {
        ASSERT_EQ(static_cast<std::size_t>(h.tokenStart()), covered);
        covered += h.tokenText().size();
        if (keyLine && h.tokenKind() != DfmHighlighter::Space && first) {
          EXPECT_EQ(h.tokenKind(), DfmHighlighter::Key) << "line " << k + 1;
          first = false;
        }
      }
      ASSERT_EQ(covered, line.find('\0') == std::string::npos ? line.size() : line.find('\0'));
    }
    EXPECT_EQ(m.lineRange(m.lineCount() - 1), DfmHighlighter::rsOutside);
    // Successive searches from the caret meet every occurrence once.
    std::size_t expected = 0;
    for (int k = 0; k < m.lineCount(); ++k)
      for (std::size_t p = 0; (p = m.lineText(k).find("Left", p)) != std::string::npos; p += 4) ++expected;
    std::size_t walked = 0;
    while (m.findReplace("Left", "", MatchCase) == 1 && walked <= expected) ++walked;
    EXPECT_EQ(walked, expected);
  }
  EXPECT_GT(files, 400);
}

}  // namespace
}  // namespace vc
