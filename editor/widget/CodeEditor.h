#pragma once
// The code editor widget: shows an EditorModel on a fixed grid of character
// cells and turns keys, mouse and input-method text into model operations.
// The workbench uses two of them, `Editor` and `seditor` (read-only, its
// gutter counting from 0).
#include <QAbstractScrollArea>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "editor/model/EditorModel.h"
#include "editor/model/LineWindow.h"
#include "editor/widget/CellMetrics.h"
#include "editor/widget/LinePainter.h"

class QLabel;

namespace vc {

class QtClipboard;

class CodeEditor : public QAbstractScrollArea, private EditorModelClient {
  Q_OBJECT

 public:
  static constexpr int kRightEdgeColumn = 200;
  static constexpr int kGutterDigits = 4;
  static constexpr int kGutterLeft = 4;    // before the line numbers
  static constexpr int kGutterRight = 10;  // after them (the bookmark glyphs sit here)
  static constexpr int kGutterExtra = 2;
  static constexpr int kTextMargin = 2;  // between the gutter and the first cell

  explicit CodeEditor(QWidget* parent = nullptr, int maxUndo = 100);
  ~CodeEditor() override;

  // The text, caret, selection, undo and bookmarks: read and change them here.
  EditorModel& model() { return *m_model; }
  const EditorModel& model() const { return *m_model; }

  // ---- Configuration.
  void setReadOnly(bool readOnly);
  bool isReadOnly() const { return m_model->readOnly(); }
  // The number shown beside the first line (1 for `Editor`, 0 for `seditor`).
  void setFirstLineNumber(int number);
  int firstLineNumber() const { return m_firstLineNumber; }
  void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }
  QMenu* popupMenu() const { return m_popupMenu; }

  // ---- Scrolling (kept by a LineWindow that follows the caret and the
  // window's height): line n, clamped to 1..lineCount, becomes the first shown.
  int topLine() const { return m_window.topLine(); }
  void setTopLine(int line) { m_window.setTopLine(line); }

  // ---- The user's commands. A read-only editor ignores those that edit;
  // text that cannot be stored is refused through refused().
  void undo();
  void redo();
  void cutToClipboard();
  void copyToClipboard() { m_model->copyToClipboard(); }
  void pasteFromClipboard();
  void selectAll() { m_model->selectAll(); }
  void executeCommand(EditorCommand command);
  int findReplace(std::string_view search, std::string_view replacement, SearchOptions options);

  // ---- Geometry, for tests and the workbench's status texts.
  const CellMetrics& metrics() const { return m_metrics; }
  QFont editorFont() const { return m_font; }
  int gutterWidth() const;
  int textLeft() const { return gutterWidth() + kTextMargin; }
  int leftCell() const { return m_leftCell; }
  int visibleLineCount() const;  // whole lines that fit
  // Viewport point of the top-left corner of the cell at 1-based (column, line).
  QPoint pointOf(TextPos pos) const;
  // The text position under a viewport point (columns past the end allowed).
  TextPos positionAt(QPoint point, bool nearest = true) const;
  // The hint shown while the scroll box is dragged ("TopLine: %d").
  QLabel* topLineHint() const { return m_topLineHint; }
  // Lines drawn by the last paint (painting never touches lines off screen).
  int lastPaintedLineCount() const { return m_lastPaintedLines; }

 signals:
  void OnChange();
  void OnSelectionChange();
  void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // Text that cannot be stored (not representable in code page 950) was
  // refused; nothing was inserted. The workbench shows the message.
  void refused(const QString& message);
  // The popup menu is about to show at globalPos (also without a menu set).
  void popupRequested(const QPoint& globalPos);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // EditorModelClient
  void linesChanged(int first, int count) override;
  void linesInserted(int first, int count) override;
  void linesDeleted(int first, int count) override;
  void textReset() override;
  void repaintAll() override;
  void caretMoved() override;
  void selectionChanged() override;
  void bookmarksChanged() override;
  void insertModeChanged() override;
  void highlighterChanged() override;

  void topLineChanged();
  void remeasure();
  void updateScrollBar();
  void updateLinesInWindow();
  void repaintLines(int first, int last);  // 0-based, inclusive
  void keepCaretInView();
  void restartCaretBlink();
  bool guarded(const std::function<void()>& edit);
  void typeString(const QString& text);
  void showTopLineHint(bool show);
  void autoScroll();
  void updateAutoScroll(QPoint viewportPos);
  bool selectionContains(TextPos pos) const;

  std::unique_ptr<EditorModel> m_model;
  std::unique_ptr<QtClipboard> m_clipboard;
  LineWindow m_window;  // a client of the model before this widget, see LineWindow.h
  QFont m_font;
  FontSet m_fonts;
  CellMetrics m_metrics;
  int m_firstLineNumber = 1;
  int m_leftCell = 0;
  int m_lastPaintedLines = 0;
  int m_gutterDigits = kGutterDigits;
  bool m_syncingScrollBar = false;
  QPointer<QMenu> m_popupMenu;
  QLabel* m_topLineHint = nullptr;

  // Caret blinking.
  QTimer m_blinkTimer;
  bool m_caretShown = true;

  // Mouse: selecting by dragging, or moving the selection by dragging it.
  enum class MouseAction { None, Selecting, MaybeDragMove, DragMove };
  MouseAction m_mouseAction = MouseAction::None;
  TextPos m_mouseAnchor;
  QPoint m_pressPos;
  QPoint m_lastMousePos;
  TextPos m_dropPos;
  QTimer m_autoScrollTimer;

  // Input method composition shown at the caret, not yet in the text.
  QString m_preedit;

  friend class EditorPainter;
};

}  // namespace vc
