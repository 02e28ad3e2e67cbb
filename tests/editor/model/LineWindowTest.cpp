#include <gtest/gtest.h>

#include "editor/model/EditorModel.h"
#include "editor/model/LineWindow.h"

namespace vc {
namespace {

std::string numberedLines(int count, const std::string& line = "line") {
  std::string text;
  for (int i = 0; i < count; ++i) text += line + "\r\n";
  return text;
}

TEST(LineWindow, ScrollsTheLeastToShowTheCaret) {
  EditorModel m;
  LineWindow w(m);
  int changes = 0;
  w.setOnTopLineChange([&] { ++changes; });
  m.loadFromBytes(numberedLines(100));
  w.setLinesInWindow(10);
  m.setCaret(1, 30);
  EXPECT_EQ(w.topLine(), 21);
  m.setCaret(1, 25);
  EXPECT_EQ(w.topLine(), 21);
  m.setCaret(1, 5);
  EXPECT_EQ(w.topLine(), 5);
  EXPECT_EQ(changes, 2);
  w.setTopLine(0);
  EXPECT_EQ(w.topLine(), 1);
  w.setTopLine(1000);
  EXPECT_EQ(w.topLine(), 100);
  EXPECT_EQ(m.caret(), (TextPos{1, 5}));
}

TEST(LineWindow, PageMoves) {
  EditorModel m;
  LineWindow w(m);
  m.loadFromBytes(numberedLines(50, "0123456789"));
  w.setLinesInWindow(10);
  m.setCaret(4, 3);
  m.executeCommand(ecPageDown);  // the window's, not the model's
  EXPECT_EQ(m.caret(), (TextPos{4, 3}));
  EXPECT_TRUE(w.executeCommand(ecPageDown));
  EXPECT_EQ(m.caret(), (TextPos{4, 13}));
  EXPECT_EQ(w.topLine(), 11);
  w.executeCommand(ecPageBottom);
  EXPECT_EQ(m.caretLine(), 20);
  w.executeCommand(ecSelPageTop);
  EXPECT_EQ(m.caretLine(), 11);
  EXPECT_EQ(m.blockEnd(), (TextPos{4, 20}));
  w.executeCommand(ecPageUp);
  EXPECT_EQ(m.caretLine(), 1);
  EXPECT_EQ(w.topLine(), 1);
  w.executeCommand(ecScrollDown);
  EXPECT_EQ(w.topLine(), 2);
  EXPECT_EQ(m.caretLine(), 1);
  EXPECT_FALSE(w.executeCommand(ecSelEditorBottom));
  m.executeCommand(ecSelEditorBottom);
  EXPECT_EQ(m.caret(), (TextPos{11, 50}));
  EXPECT_EQ(m.blockBegin(), (TextPos{4, 1}));
  EXPECT_EQ(w.topLine(), 41);
}

TEST(LineWindow, FollowsLoadsDeletionsAndHeldBackPainting) {
  EditorModel m;
  LineWindow w(m);
  m.loadFromBytes(numberedLines(100));
  w.setTopLine(60);
  m.loadFromBytes(numberedLines(100));
  EXPECT_EQ(w.topLine(), 1);
  // A write-back that shortens the text keeps the caret and pulls the top
  // line back to the last line.
  w.setTopLine(90);
  m.replaceLines(9, 91, "x");
  EXPECT_EQ(m.lineCount(), 10);
  EXPECT_EQ(w.topLine(), 10);
  // The end of held-back painting reports the caret, which did not move:
  // the window stays where it was scrolled.
  w.setTopLine(5);
  m.beginUpdate();
  m.replaceLine(8, "y");
  m.endUpdate();
  EXPECT_EQ(w.topLine(), 5);
}

}  // namespace
}  // namespace vc
