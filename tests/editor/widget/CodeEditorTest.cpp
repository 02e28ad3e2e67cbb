// The editor widget driven by real key, mouse and input-method events.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <climits>
#include <cstdlib>

#include "editor/highlight/DfmHighlighter.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "editor/widget/CodeEditor.h"
#include "platform/Cp950.h"
#include "platform/qt/Clipboard.h"

using namespace vc;

namespace {

std::string big5(const char* utf8) {
  return cp950::fromUtf8(utf8).value();
}

void sendText(QWidget* w, const QString& text, Qt::KeyboardModifiers mods = {}) {
  QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, text, mods);
  QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, text, mods);
}

void mouse(QWidget* vp, QEvent::Type type, QPoint p, Qt::MouseButtons held,
           Qt::KeyboardModifiers mods = {}) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(p), vp->mapToGlobal(QPointF(p)), button, held, mods);
  QApplication::sendEvent(vp, &e);
}

// The middle of the cell at 1-based (column, line).
QPoint cellCenter(const CodeEditor& ed, int column, int line) {
  const QPoint p = ed.pointOf({column, line});
  return p + QPoint(ed.metrics().width / 2, ed.metrics().height / 2);
}

void commit(QWidget* w, const QString& text) {
  QInputMethodEvent e(QString(), {});
  e.setCommitString(text);
  QApplication::sendEvent(w, &e);
}

// Counts the pixels of a rectangle that are the colour rgb drawn over a
// white background at some coverage of at least 40% (glyph edges are
// anti-aliased, so few pixels carry the pure colour).
int countColour(const QImage& img, const QRect& r, QRgb rgb) {
  const int target[3] = {qRed(rgb), qGreen(rgb), qBlue(rgb)};
  int n = 0;
  for (int y = r.top(); y <= r.bottom() && y < img.height(); ++y) {
    for (int x = r.left(); x <= r.right() && x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      const int pix[3] = {qRed(p), qGreen(p), qBlue(p)};
      int k = 0;  // the channel that tells coverage best
      for (int c = 1; c < 3; ++c)
        if (255 - target[c] > 255 - target[k]) k = c;
      if (target[k] == 255) {  // white itself: exact match only
        n += pix[0] == 255 && pix[1] == 255 && pix[2] == 255;
        continue;
      }
      const double a = double(255 - pix[k]) / double(255 - target[k]);
      if (a < 0.4 || a > 1.05) continue;
      bool ok = true;
      for (int c = 0; c < 3; ++c) ok = ok && std::abs(pix[c] - (255 - a * (255 - target[c]))) <= 24;
      n += ok;
    }
  }
  return n;
}

}  // namespace

class CodeEditorTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CodeEditor> ed;
  std::unique_ptr<DfmHighlighter> formsyn;

  void makeEditor(const std::string& text, int maxUndo = 100) {
    ed = std::make_unique<CodeEditor>(nullptr, maxUndo);
    ed->resize(700, 300);
    ed->model().setHighlighter(formsyn.get());
    ed->model().loadFromBytes(text);
    ed->show();
    ed->setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(ed.get()));
  }

 private slots:
  void initTestCase() {
    formsyn = std::make_unique<DfmHighlighter>();
    formsyn->applyWorkbenchColours();
  }
  void cleanup() { ed.reset(); }

  void typingAsciiAndBig5() {
    makeEditor("");
    QSignalSpy change(ed.get(), &CodeEditor::OnChange);
    QSignalSpy keys(ed.get(), &CodeEditor::OnKeyDown);
    QTest::keyClicks(ed.get(), "abc");
    sendText(ed.get(), QStringLiteral("中文"));
    QCOMPARE(ed->model().lineText(0), "abc" + big5("中文"));
    QCOMPARE(ed->model().caretColumn(), 8);
    QCOMPARE(change.count(), 4);
    QCOMPARE(keys.count(), 4);
    QTest::keyClick(ed.get(), Qt::Key_Return);
    QTest::keyClicks(ed.get(), "x");
    QCOMPARE(ed->model().lineCount(), 2);
    QCOMPARE(ed->model().caretLine(), 2);
    QCOMPARE(ed->model().text(), "abc" + big5("中文") + "\r\nx\r\n");
  }

  void inputMethodCommitsWholeOrNothing() {
    makeEditor("ab");
    ed->model().setCaret(2, 1);
    QSignalSpy refused(ed.get(), &CodeEditor::refused);
    QSignalSpy change(ed.get(), &CodeEditor::OnChange);
    commit(ed.get(), QStringLiteral("測試"));
    QCOMPARE(ed->model().lineText(0), "a" + big5("測試") + "b");
    QCOMPARE(ed->model().caretColumn(), 6);
    // Hangul has no CP950 form: the whole commit is refused with a message.
    commit(ed.get(), QStringLiteral("中한"));
    QCOMPARE(ed->model().lineText(0), "a" + big5("測試") + "b");
    QCOMPARE(refused.count(), 1);
    QVERIFY(!refused.first().first().toString().isEmpty());
    QCOMPARE(change.count(), 1);
    // Typed through a key event the same rule holds.
    sendText(ed.get(), QStringLiteral("😀"));
    QCOMPARE(refused.count(), 2);
    QCOMPARE(ed->model().lineText(0), "a" + big5("測試") + "b");
  }

  void caretStepsOverDoubleByteCharacters() {
    makeEditor("a" + big5("中") + "b");
    ed->model().setCaret(2, 1);
    QTest::keyClick(ed.get(), Qt::Key_Right);
    QCOMPARE(ed->model().caretColumn(), 4);
    QTest::keyClick(ed.get(), Qt::Key_Left);
    QCOMPARE(ed->model().caretColumn(), 2);
    QTest::keyClick(ed.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(ed->model().selectedText(), big5("中"));
    QTest::keyClick(ed.get(), Qt::Key_Delete);
    QCOMPARE(ed->model().lineText(0), "ab");
    ed->model().setText("a" + big5("中") + "b");
    ed->model().setCaret(4, 1);
    QTest::keyClick(ed.get(), Qt::Key_Backspace);
    QCOMPARE(ed->model().lineText(0), "ab");
    // A click on the right half of the wide character lands after it.
    ed->model().setText("a" + big5("中") + "b");
    const QPoint right = ed->pointOf({2, 1}) + QPoint(2 * ed->metrics().width - 2, 2);
    QTest::mouseClick(ed->viewport(), Qt::LeftButton, {}, right);
    QCOMPARE(ed->model().caretColumn(), 4);
    const QPoint left = ed->pointOf({2, 1}) + QPoint(1, 2);
    QTest::mouseClick(ed->viewport(), Qt::LeftButton, {}, left);
    QCOMPARE(ed->model().caretColumn(), 2);
  }

  void selectionInTheThreeModes() {
    makeEditor("abcd\r\nefgh\r\nijkl");
    ed->model().setCaret(2, 1);
    QTest::keyClick(ed.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(ed.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(ed->model().selectionMode(), SelectionMode::Normal);
    QCOMPARE(ed->model().selectedText(), "bcd\r\nef");

    ed->model().setCaret(2, 1);
    QTest::keyClick(ed.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(ed->model().selectionMode(), SelectionMode::Column);
    QTest::keyClick(ed.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(ed.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(ed.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(ed->model().selectedText(), "bc\r\nfg");

    ed->model().setCaret(3, 2);
    QTest::keyClick(ed.get(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(ed->model().selectionMode(), SelectionMode::Line);
    QTest::keyClick(ed.get(), Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(ed->model().selectedText().find("efgh") != std::string::npos);
    QVERIFY(ed->model().selectedText().find("ijkl") != std::string::npos);
    QVERIFY(ed->model().selectedText().find("abcd") == std::string::npos);
    QTest::keyClick(ed.get(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(ed->model().selectionMode(), SelectionMode::Normal);
  }

  void mouseSelectsAndPlacesCaretPastTheEnd() {
    makeEditor("hello world\r\nsecond");
    QSignalSpy sel(ed.get(), &CodeEditor::OnSelectionChange);
    QWidget* vp = ed->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, ed->pointOf({20, 2}) + QPoint(1, 2));
    QCOMPARE(ed->model().caretLine(), 2);
    QCOMPARE(ed->model().caretColumn(), 20);  // past the end of "second"
    QVERIFY(sel.count() >= 1);
    mouse(vp, QEvent::MouseButtonPress, ed->pointOf({1, 1}) + QPoint(1, 2), Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, ed->pointOf({6, 1}) + QPoint(1, 2), Qt::LeftButton);
    mouse(vp, QEvent::MouseButtonRelease, ed->pointOf({6, 1}) + QPoint(1, 2), Qt::NoButton);
    QCOMPARE(ed->model().selectedText(), "hello");
    QTest::mouseDClick(vp, Qt::LeftButton, {}, cellCenter(*ed, 9, 1));
    QCOMPARE(ed->model().selectedText(), "world");
  }

  void dragMovesTheSelectionAsOneUndoEntry() {
    makeEditor("hello world");
    QWidget* vp = ed->viewport();
    ed->model().setSelection({1, 1}, {6, 1});
    QSignalSpy change(ed.get(), &CodeEditor::OnChange);
    mouse(vp, QEvent::MouseButtonPress, cellCenter(*ed, 2, 1), Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, cellCenter(*ed, 5, 1), Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, ed->pointOf({12, 1}) + QPoint(1, 2), Qt::LeftButton);
    mouse(vp, QEvent::MouseButtonRelease, ed->pointOf({12, 1}) + QPoint(1, 2), Qt::NoButton);
    QCOMPARE(ed->model().lineText(0), " worldhello");
    QVERIFY(change.count() >= 1);
    QTest::keyClick(ed.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ed->model().lineText(0), "hello world");
    QVERIFY(!ed->model().canUndo());
    // Dropping onto the selection itself changes nothing.
    ed->model().setSelection({1, 1}, {6, 1});
    mouse(vp, QEvent::MouseButtonPress, cellCenter(*ed, 2, 1), Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, cellCenter(*ed, 5, 1), Qt::LeftButton);
    mouse(vp, QEvent::MouseButtonRelease, cellCenter(*ed, 5, 1), Qt::NoButton);
    QCOMPARE(ed->model().lineText(0), "hello world");
  }

  void undoAndRedoThroughKeys() {
    makeEditor("");
    QSignalSpy change(ed.get(), &CodeEditor::OnChange);
    QTest::keyClicks(ed.get(), "ab");
    QTest::keyClick(ed.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ed->model().lineText(0), "a");
    QTest::keyClick(ed.get(), Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(ed->model().lineText(0), "");
    QVERIFY(!ed->model().canUndo());
    QTest::keyClick(ed.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(ed->model().lineText(0), "a");
    QTest::keyClick(ed.get(), Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(ed->model().lineText(0), "ab");
    QVERIFY(!ed->model().canRedo());
    QCOMPARE(change.count(), 6);
  }

  void bookmarksByKeys() {
    makeEditor("one\r\ntwo\r\nthree\r\nfour");
    ed->model().setCaret(3, 2);
    QTest::keyClick(ed.get(), Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(ed->model().bookmark(3).has_value());
    QCOMPARE(ed->model().bookmarkOnLine(2), 3);
    // Pressed again on the same line it removes the bookmark; X11 reports
    // Shift+3 as '#'.
    QTest::keyClick(ed.get(), Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!ed->model().bookmark(3).has_value());
    QTest::keyClick(ed.get(), Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    ed->model().setCaret(1, 4);
    QTest::keyClick(ed.get(), Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(ed->model().caretLine(), 2);
    QCOMPARE(ed->model().caretColumn(), 3);
    // A bookmark whose line went away is not followed.
    ed->model().setBookmark(7, 1, 4);
    ed->model().setCaret(1, 1);
    ed->model().replaceLine(0, "x");
    ed->model().setText("short");
    QTest::keyClick(ed.get(), Qt::Key_7, Qt::ControlModifier);
    QCOMPARE(ed->model().caretLine(), 1);
  }

  void readOnlyRefusesEveryEdit() {
    makeEditor("fixed\r\ntext", 0);
    ed->setReadOnly(true);
    ed->setFirstLineNumber(0);
    QSignalSpy change(ed.get(), &CodeEditor::OnChange);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    ed->model().setCaret(3, 1);
    QTest::keyClicks(ed.get(), "xyz");
    QTest::keyClick(ed.get(), Qt::Key_Delete);
    QTest::keyClick(ed.get(), Qt::Key_Backspace);
    QTest::keyClick(ed.get(), Qt::Key_Return);
    QTest::keyClick(ed.get(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(ed.get(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(ed.get(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    commit(ed.get(), QStringLiteral("中"));
    ed->model().setSelection({1, 1}, {3, 1});
    ed->cutToClipboard();
    ed->pasteFromClipboard();
    ed->executeCommand(ecDeleteChar);
    QWidget* vp = ed->viewport();
    mouse(vp, QEvent::MouseButtonPress, cellCenter(*ed, 1, 1), Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, cellCenter(*ed, 4, 2), Qt::LeftButton);
    mouse(vp, QEvent::MouseButtonRelease, cellCenter(*ed, 4, 2), Qt::NoButton);
    QCOMPARE(ed->model().text(), std::string("fixed\r\ntext\r\n"));
    QCOMPARE(change.count(), 0);
    QVERIFY(!ed->model().canUndo());
    // Moving, selecting and copying still work.
    ed->model().setCaret(1, 1);
    QTest::keyClick(ed.get(), Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(ed.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("fixed"));
  }

  void changeAndSelectionEventsAsTheWorkbenchCountsThem() {
    makeEditor("");
    QSignalSpy change(ed.get(), &CodeEditor::OnChange);
    QSignalSpy sel(ed.get(), &CodeEditor::OnSelectionChange);
    ed->model().loadFromBytes("Caption = 'abc'\r\nline2");
    ed->model().replaceLine(1, "replaced");
    ed->model().setText("one\r\ntwo");
    ed->model().clear();
    QCOMPARE(change.count(), 0);
    ed->model().setText("one\r\ntwo");
    sel.clear();
    ed->model().setCaret(1, 1);  // already there
    QCOMPARE(sel.count(), 0);
    ed->model().setCaret(2, 2);
    QCOMPARE(sel.count(), 1);
    QTest::keyClick(ed.get(), Qt::Key_Home);
    QCOMPARE(sel.count(), 2);
    ed->model().replaceLine(0, "ONE");
    QCOMPARE(change.count(), 0);
    QVERIFY(!ed->model().canUndo());
    ed->selectAll();
    ed->copyToClipboard();
    QCOMPARE(change.count(), 0);
    ed->cutToClipboard();
    QCOMPARE(change.count(), 1);
    ed->pasteFromClipboard();
    QCOMPARE(change.count(), 2);
    QCOMPARE(ed->model().text(), std::string("ONE\r\ntwo\r\n"));
    ed->undo();
    QCOMPARE(change.count(), 3);
    ed->redo();
    QCOMPARE(change.count(), 4);
    ed->model().setCaret(1, 1);
    QCOMPARE(ed->findReplace("two", "2", WholeScope | ReplaceAll), 1);
    QCOMPARE(change.count(), 5);
    // Without a selection, cut and delete-at-end do nothing.
    ed->model().setCaret(4, 2);
    ed->cutToClipboard();
    ed->executeCommand(ecDeleteChar);
    QCOMPARE(change.count(), 5);
  }

  void clipboardKeepsUndecodableBytesAndRefusesForeignText() {
    const std::string odd = std::string("a\x80") + big5("中") + "\xFF";
    makeEditor(odd);
    ed->selectAll();
    ed->copyToClipboard();
    ed->model().clear();
    ed->pasteFromClipboard();
    QCOMPARE(ed->model().lineText(0), odd);
    QSignalSpy refused(ed.get(), &CodeEditor::refused);
    QApplication::clipboard()->setText(QStringLiteral("ok한"));
    ed->pasteFromClipboard();
    QCOMPARE(refused.count(), 1);
    QCOMPARE(ed->model().lineText(0), odd);
    // Text from another program arrives through plain text.
    QApplication::clipboard()->setText(QStringLiteral("中"));
    QCOMPARE(SystemClipboard::text(), big5("中"));
  }

  void tabIsNotTakenAndInsertToggles() {
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* editor = new CodeEditor(&host);
    auto* other = new QLineEdit(&host);
    layout->addWidget(editor);
    layout->addWidget(other);
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    editor->setFocus();
    QSignalSpy keys(editor, &CodeEditor::OnKeyDown);
    QTest::keyClick(editor, Qt::Key_Tab);
    QVERIFY(other->hasFocus());
    QCOMPARE(keys.count(), 1);
    QCOMPARE(editor->model().lineText(0), std::string());
    editor->model().setText("abc");
    QTest::keyClick(editor, Qt::Key_Insert);
    QVERIFY(!editor->model().insertMode());
    QTest::keyClicks(editor, "X");
    QCOMPARE(editor->model().lineText(0), std::string("Xbc"));
  }

  void pagingAndTheTopLineHint() {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i + 1) + "\r\n";
    makeEditor(text);
    const int page = ed->visibleLineCount();
    QTest::keyClick(ed.get(), Qt::Key_PageDown);
    QCOMPARE(ed->model().caretLine(), 1 + page);
    ed->setTopLine(100000);
    QCOMPARE(ed->topLine(), ed->model().lineCount());
    ed->setTopLine(-5);
    QCOMPARE(ed->topLine(), 1);
    QScrollBar* bar = ed->verticalScrollBar();
    bar->setSliderDown(true);
    bar->setValue(41);
    QCOMPARE(ed->topLine(), 42);
    QVERIFY(ed->topLineHint()->isVisible());
    QCOMPARE(ed->topLineHint()->text(), QStringLiteral("TopLine: 42"));
    QVERIFY(ed->topLineHint()->geometry().right() > ed->width() / 2);
    bar->setSliderDown(false);
    QVERIFY(!ed->topLineHint()->isVisible());
    QCOMPARE(ed->model().caretLine(), 1 + page);  // scrolling leaves the caret
  }

  void paintsTokensGutterAndRightEdge() {
    makeEditor("object Form1: TForm1\r\n  Caption = 'abc'\r\n  Left = 12\r\nend");
    ed->resize(1600, 200);
    const CellMetrics m = ed->metrics();
    QCOMPARE(ed->gutterWidth(), 4 + 4 * m.width + 10 + 2);
    ed->model().setBookmark(2, 1, 2);
    const QImage img = ed->viewport()->grab().toImage();
    const int tl = ed->textLeft();
    auto rowRect = [&](int line, int c1, int c2) {
      return QRect(tl + (c1 - 1) * m.width, (line - 1) * m.height, (c2 - c1) * m.width, m.height);
    };
    QVERIFY(countColour(img, rowRect(1, 1, 7), 0xFF0000) > 0);    // object: red
    QVERIFY(countColour(img, rowRect(2, 3, 10), 0x0000FF) > 0);   // Caption: blue
    QVERIFY(countColour(img, rowRect(2, 13, 18), 0x008000) > 0);  // 'abc': green
    QVERIFY(countColour(img, rowRect(3, 10, 12), 0xFF00FF) > 0);  // 12: fuchsia
    QCOMPARE(countColour(img, rowRect(2, 11, 12), 0x0000FF), 0);  // '=' is not blue
    const int edge = tl + 200 * m.width;
    QVERIFY(edge < img.width());
    QVERIFY(countColour(img, QRect(edge, 0, 1, img.height()), 0xC0C0C0) > img.height() / 2);
    // Bold and plain text keep one grid: the keyword row ends where its cells end.
    QCOMPARE(countColour(img, rowRect(1, 7, 8), 0xFF0000), 0);
    // Only the lines on screen are drawn.
    QVERIFY(ed->lastPaintedLineCount() <= ed->visibleLineCount() + 1);
  }

  void textDocumentsDrawInTheTextColour() {
    makeEditor("  Caption = 'abc'");
    HtmlHighlighter htmlsyn;
    htmlsyn.applyWorkbenchColours();
    ed->model().setHighlighter(&htmlsyn);
    // No set of the HTML highlighter is bold: cells are measured plain.
    QCOMPARE(ed->metrics().width, CellMetrics::measure(ed->editorFont(), false).width);
    const CellMetrics m = ed->metrics();
    const QImage img = ed->viewport()->grab().toImage();
    const QRect row(ed->textLeft(), 0, 18 * m.width, m.height);
    QVERIFY(countColour(img, row, 0x0000A0) > 10);
    QCOMPARE(countColour(img, row, 0x0000FF), 0);
    QCOMPARE(countColour(img, row, 0x008000), 0);
    ed->model().setHighlighter(formsyn.get());
    QVERIFY(countColour(ed->viewport()->grab().toImage(), row, 0x008000) > 0);
    ed->model().setHighlighter(nullptr);
  }

  void draggingBelowTheWindowScrolls() {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "row " + std::to_string(i + 1) + "\r\n";
    makeEditor(text);
    QWidget* vp = ed->viewport();
    mouse(vp, QEvent::MouseButtonPress, ed->pointOf({1, 1}) + QPoint(1, 2), Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, QPoint(20, vp->height() + 30), Qt::LeftButton);
    QTRY_VERIFY(ed->topLine() > 3);
    mouse(vp, QEvent::MouseButtonRelease, QPoint(20, vp->height() + 30), Qt::NoButton);
    const int top = ed->topLine();
    QTest::qWait(120);
    QCOMPARE(ed->topLine(), top);  // stops with the button
    QVERIFY(ed->model().blockEnd().line >= top + ed->visibleLineCount() - 1);
    QCOMPARE(ed->model().blockBegin(), (TextPos{1, 1}));
  }

  void gutterGrowsForLongTexts() {
    makeEditor("");
    const int narrow = ed->gutterWidth();
    std::string text;
    text.reserve(200000);
    for (int i = 0; i < 100000; ++i) text += "x\n";
    ed->model().setText(text);
    QCOMPARE(ed->gutterWidth(), narrow + 2 * ed->metrics().width);  // 100000 has 6 digits
    ed->model().setCaret(1, 99999);
    QVERIFY(ed->topLine() > 99000);
    ed->viewport()->grab();
    QVERIFY(ed->lastPaintedLineCount() <= ed->visibleLineCount() + 1);
  }

  void hostileLinesPaintQuickly() {
    // A long line of tabs and lead bytes: only the visible cells are expanded.
    std::string line(2'000'000, '\t');
    line += std::string(1000, '\xA4');
    line.push_back('\0');
    line += "\x81";
    makeEditor(line);
    ed->viewport()->grab();
    ed->model().setCaret(static_cast<int>(line.size()) + 1, 1);
    ed->viewport()->grab();
    ed->model().setCaret(INT_MAX, 1);  // far past the end: no arithmetic may overflow
    ed->viewport()->grab();
    QCOMPARE(ed->model().lineText(0).size(), line.size());
  }

  void popupRequestOnRightClick() {
    makeEditor("abc");
    QSignalSpy popup(ed.get(), &CodeEditor::popupRequested);
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(30, 5), ed->mapToGlobal(QPoint(30, 5)));
    QApplication::sendEvent(ed->viewport(), &e);
    QCOMPARE(popup.count(), 1);
  }

  // A screen reader reads the text as characters, lines joined by "\n", and
  // reads and sets the caret and the selection in those characters, over
  // double-byte characters that the model counts as two columns.
  void accessibleTextCountsCharacters() {
    makeEditor("a" + big5("中文") + "b\r\n" + big5("字") + "x");
    QAccessibleInterface* me = QAccessible::queryAccessibleInterface(ed.get());
    QVERIFY(me);
    QAccessibleTextInterface* text = me->textInterface();
    QVERIFY(text);
    QCOMPARE(me->role(), QAccessible::EditableText);
    QCOMPARE(text->characterCount(), 7);
    QCOMPARE(text->text(0, -1), QString("a中文b\n字x"));
    QCOMPARE(text->text(3, 6), QString("b\n字"));
    ed->model().setCaret(4, 1);  // after 中 (columns 2 and 3)
    QCOMPARE(text->cursorPosition(), 2);
    text->setCursorPosition(6);  // before x
    QCOMPARE(ed->model().caret(), (TextPos{3, 2}));
    text->setSelection(0, 1, 3);
    QCOMPARE(ed->model().selectedText(), big5("中文"));
    int start = 0, end = 0;
    text->selection(0, &start, &end);
    QCOMPARE((QPair<int, int>(start, end)), (QPair<int, int>(1, 3)));
    QCOMPARE(text->offsetAtPoint(text->characterRect(5).center()), 5);
  }
};

QTEST_MAIN(CodeEditorTest)
#include "CodeEditorTest.moc"
