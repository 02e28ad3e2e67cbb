#include "editor/widget/CodeEditor.h"

#include <QAccessible>
#include <QEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLabel>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>

#include "editor/widget/CodeEditorAccessible.h"
#include "editor/widget/EditorPainter.h"
#include "editor/widget/LineLayout.h"
#include "editor/widget/QtClipboard.h"
#include "platform/Exception.h"
#include "platform/qt/FontMapping.h"

namespace vc {

namespace {

int digitCount(long long n) {
  int digits = 1;
  for (n = n < 0 ? -n : n; n >= 10; n /= 10) ++digits;
  return digits;
}

}  // namespace

CodeEditor::CodeEditor(QWidget* parent, int maxUndo)
    : QAbstractScrollArea(parent),
      m_model(std::make_unique<EditorModel>(maxUndo)),
      m_clipboard(std::make_unique<QtClipboard>()),
      m_window(*m_model) {
  CodeEditorAccessible::install();
  m_model->setClipboard(m_clipboard.get());
  m_model->addClient(this);
  m_window.setOnTopLineChange([this] { topLineChanged(); });
  m_model->setOnChange([this] { emit OnChange(); });
  m_model->setOnSelectionChange([this] { emit OnSelectionChange(); });

  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);

  m_topLineHint = new QLabel(this);
  m_topLineHint->setForegroundRole(QPalette::ToolTipText);
  m_topLineHint->setBackgroundRole(QPalette::ToolTipBase);
  m_topLineHint->setAutoFillBackground(true);
  m_topLineHint->setFrameShape(QFrame::Box);
  m_topLineHint->setMargin(2);
  m_topLineHint->hide();
  QScrollBar* bar = verticalScrollBar();
  connect(bar, &QScrollBar::sliderPressed, this, [this] { showTopLineHint(true); });
  connect(bar, &QScrollBar::sliderReleased, this, [this] { showTopLineHint(false); });

  m_blinkTimer.setInterval(500);
  connect(&m_blinkTimer, &QTimer::timeout, this, [this] {
    m_caretShown = !m_caretShown;
    const QPoint p = pointOf(m_model->caret());
    viewport()->update(QRect(0, p.y(), viewport()->width(), m_metrics.height));
  });
  m_autoScrollTimer.setInterval(50);
  connect(&m_autoScrollTimer, &QTimer::timeout, this, &CodeEditor::autoScroll);

  m_font = FontMapping::editorFont(12);
  remeasure();
  updateScrollBar();
}

CodeEditor::~CodeEditor() {
  m_model->removeClient(this);
}

void CodeEditor::setReadOnly(bool readOnly) {
  m_model->setReadOnly(readOnly);
  setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
}

void CodeEditor::setFirstLineNumber(int number) {
  m_firstLineNumber = std::max(0, number);
  repaintAll();
}

// ---- Operations -----------------------------------------------------------

bool CodeEditor::guarded(const std::function<void()>& edit) {
  try {
    edit();
    return true;
  } catch (const Exception& e) {
    emit refused(QString::fromUtf8(e.what()));
    return false;
  }
}

void CodeEditor::undo() {
  if (!isReadOnly()) guarded([this] { m_model->undo(); });
}

void CodeEditor::redo() {
  if (!isReadOnly()) guarded([this] { m_model->redo(); });
}

void CodeEditor::cutToClipboard() {
  if (!isReadOnly()) guarded([this] { m_model->cutToClipboard(); });
}

void CodeEditor::pasteFromClipboard() {
  if (!isReadOnly()) guarded([this] { m_model->pasteFromClipboard(); });
}

void CodeEditor::executeCommand(EditorCommand command) {
  if (m_window.executeCommand(command)) return;
  if (isReadOnly() && isEditingCommand(command)) return;
  guarded([this, command] { m_model->executeCommand(command); });
}

int CodeEditor::findReplace(std::string_view search, std::string_view replacement,
                            SearchOptions options) {
  if (isReadOnly() && (options & (ReplaceOne | ReplaceAll))) return 0;
  int count = 0;
  guarded([&] { count = m_model->findReplace(search, replacement, options); });
  return count;
}

void CodeEditor::typeString(const QString& text) {
  if (isReadOnly() || text.isEmpty()) return;
  const std::u16string utf16 = text.toStdU16String();
  guarded([&] { m_model->typeText(utf16); });
}

// ---- Geometry -------------------------------------------------------------

int CodeEditor::gutterWidth() const {
  return kGutterLeft + m_gutterDigits * m_metrics.width + kGutterRight + kGutterExtra;
}

int CodeEditor::visibleLineCount() const {
  return std::max(1, viewport()->height() / m_metrics.height);
}

QPoint CodeEditor::pointOf(TextPos pos) const {
  const int index = pos.line - 1;
  const std::string_view text =
      index >= 0 && index < m_model->lineCount() ? std::string_view(m_model->lineText(index)) : "";
  const int cell = LineLayout::cellOfColumn(text, pos.column - 1);
  return {textLeft() + (cell - m_leftCell) * m_metrics.width,
          (pos.line - m_window.topLine()) * m_metrics.height};
}

TextPos CodeEditor::positionAt(QPoint point, bool nearest) const {
  int row =
      point.y() >= 0 ? point.y() / m_metrics.height : -1 - (-point.y() - 1) / m_metrics.height;
  const int line = std::clamp(m_window.topLine() + row, 1, m_model->lineCount());
  const int x = point.x() - textLeft();
  int cell;
  if (nearest)
    cell = (x >= 0 ? (x + m_metrics.width / 2) / m_metrics.width : 0) + m_leftCell;
  else
    cell = (x >= 0 ? x / m_metrics.width : 0) + m_leftCell;
  const int column = LineLayout::columnOfCell(m_model->lineText(line - 1), cell, nearest);
  return {column + 1, line};
}

void CodeEditor::remeasure() {
  const Highlighter* h = m_model->highlighter();
  const bool bold = h ? h->anyAttributeBold() : m_font.bold();
  m_metrics = CellMetrics::measure(m_font, bold);
  m_fonts.reset(m_font);
  updateLinesInWindow();
  viewport()->update();
}

void CodeEditor::updateLinesInWindow() {
  m_window.setLinesInWindow(visibleLineCount());
  updateScrollBar();
}

void CodeEditor::updateScrollBar() {
  // Any line may be the top line, down to the last one.
  const int digits = std::max<int>(
      kGutterDigits,
      digitCount(static_cast<long long>(m_model->lineCount()) - 1 + m_firstLineNumber));
  if (digits != m_gutterDigits) {
    m_gutterDigits = digits;
    viewport()->update();
  }
  QScrollBar* bar = verticalScrollBar();
  m_syncingScrollBar = true;
  bar->setRange(0, m_model->lineCount() - 1);
  bar->setPageStep(visibleLineCount());
  bar->setSingleStep(1);
  bar->setValue(m_window.topLine() - 1);
  m_syncingScrollBar = false;
}

void CodeEditor::scrollContentsBy(int, int) {
  if (m_syncingScrollBar) return;
  m_window.setTopLine(verticalScrollBar()->value() + 1);
  if (verticalScrollBar()->isSliderDown()) showTopLineHint(true);
}

void CodeEditor::showTopLineHint(bool show) {
  if (!show) {
    m_topLineHint->hide();
    return;
  }
  m_topLineHint->setText(QStringLiteral("TopLine: %1").arg(m_window.topLine()));
  m_topLineHint->adjustSize();
  const QRect vp = viewport()->geometry();
  m_topLineHint->move(vp.right() - m_topLineHint->width() - 4, vp.top() + 4);
  m_topLineHint->show();
  m_topLineHint->raise();
}

void CodeEditor::keepCaretInView() {
  const int cells = std::max(1, (viewport()->width() - textLeft()) / m_metrics.width);
  const TextPos caret = m_model->caret();
  const int cell = LineLayout::cellOfColumn(m_model->lineText(caret.line - 1), caret.column - 1);
  int left = m_leftCell;
  if (cell < left)
    left = std::max(0, cell - cells / 4);
  else if (cell >= left + cells)
    left = cell - cells + std::max(1, cells / 4);
  if (left != m_leftCell) {
    m_leftCell = left;
    viewport()->update();
  }
}

void CodeEditor::restartCaretBlink() {
  m_caretShown = true;
  if (hasFocus()) m_blinkTimer.start();
}

void CodeEditor::repaintLines(int first, int last) {
  const int top = m_window.topLine() - 1;
  const int rows = visibleLineCount() + 1;
  first = std::max(first, top);
  last = std::min(last, top + rows);
  if (first > last) return;
  viewport()->update(QRect(0, (first - top) * m_metrics.height, viewport()->width(),
                           (last - first + 1) * m_metrics.height));
}

// ---- Painting and events --------------------------------------------------

void CodeEditor::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  EditorPainter editorPainter(*this, painter, m_fonts);
  m_lastPaintedLines = editorPainter.paint(event->rect());
}

void CodeEditor::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateLinesInWindow();
  if (m_topLineHint->isVisible()) showTopLineHint(true);
}

void CodeEditor::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) viewport()->update();
}

// ---- Model notifications --------------------------------------------------

void CodeEditor::linesChanged(int first, int count) {
  repaintLines(first, first + count - 1);
}

void CodeEditor::linesInserted(int first, int) {
  updateScrollBar();
  repaintLines(first, m_model->lineCount());
}

void CodeEditor::linesDeleted(int first, int) {
  updateScrollBar();
  repaintLines(first, first + visibleLineCount() + m_window.topLine());
}

void CodeEditor::textReset() {
  m_leftCell = 0;
  repaintAll();
}

void CodeEditor::repaintAll() {
  updateScrollBar();
  viewport()->update();
}

void CodeEditor::caretMoved() {
  keepCaretInView();
  restartCaretBlink();
  viewport()->update();
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
  if (QAccessible::isActive()) {
    QAccessibleInterface* me = QAccessible::queryAccessibleInterface(this);
    if (QAccessibleTextInterface* text = me ? me->textInterface() : nullptr) {
      QAccessibleTextCursorEvent moved(this, text->cursorPosition());
      QAccessible::updateAccessibility(&moved);
    }
  }
}

void CodeEditor::selectionChanged() {
  viewport()->update();
  if (QAccessible::isActive()) {
    QAccessibleInterface* me = QAccessible::queryAccessibleInterface(this);
    if (QAccessibleTextInterface* text = me ? me->textInterface() : nullptr) {
      int start = 0, end = 0;
      text->selection(0, &start, &end);
      QAccessibleTextSelectionEvent selected(this, start, end);
      QAccessible::updateAccessibility(&selected);
    }
  }
}

void CodeEditor::topLineChanged() {
  m_syncingScrollBar = true;
  verticalScrollBar()->setValue(m_window.topLine() - 1);
  m_syncingScrollBar = false;
  viewport()->update();
}

void CodeEditor::bookmarksChanged() {
  viewport()->update(QRect(0, 0, gutterWidth(), viewport()->height()));
}

void CodeEditor::insertModeChanged() {
  viewport()->update();
}

void CodeEditor::highlighterChanged() {
  remeasure();
}

}  // namespace vc
