#include "workbench/StringValueEditors.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <climits>

#include "editor/widget/CodeEditor.h"
#include "platform/Cp950.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/DataFiles.h"
#include "translation/StringExtraction.h"
#include "translation/WriteBack.h"
#include "workbench/StringRowRule.h"
#include "workbench/newform.h"

namespace vc {
namespace {

const QColor kPanelColour(253, 253, 232);
constexpr const char* kUnencodable = "輸入的文字含有無法以 Big5 碼表示的字元，未儲存。";
constexpr const char* kUnreadableList = "無法讀取數值清單檔案 %1";

QString fromCp950(std::string_view bytes) {
  std::u16string text = cp950::decode(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string trimmed(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

bool isSetProperty(const std::string& name) { return name == "BorderIcons" || name == "Font.Style"; }

struct TableRow {
  const char* name;
  StringValueEditors::Kind kind;
  const char* listFile;
};

using K = StringValueEditors::Kind;
// Tested from the top; the first row whose name matches decides. Names that
// contain "On" (events) are fixed after the rows above them.
const TableRow kTable[] = {
    {"Align", K::Choice, "Align.lst"},
    {"ScrollBars", K::Choice, "ScrollBars.lst"},
    {"ReadOnly", K::Choice, "TrueFalse.lst"},
    {"Default", K::Choice, "TrueFalse.lst"},
    {"Transparent", K::Choice, "TrueFalse.lst"},
    {"ParentFont", K::Choice, "TrueFalse.lst"},
    {"ShowHint", K::Choice, "TrueFalse.lst"},
    {"Position", K::Choice, "Position.lst"},
    {"Font.Charset", K::Choice, "FontCharset.lst"},
    {"BorderStyle", K::Choice, "borderstyle.lst"},
    {"BorderIcons", K::SetChoice, "bordericons.lst"},
    {"AboveColor", K::Colour, nullptr},
    {"Color", K::Colour, nullptr},
    {"TabOrder", K::Number, nullptr},
    {"Height", K::Number, nullptr},
    {"Width", K::Number, nullptr},
    {"Top", K::Number, nullptr},
    {"Font.Style", K::SetChoice, "fontstyle.lst"},
    {"Font.Name", K::FontName, nullptr},
    {"Font.Color", K::Colour, nullptr},
    {"Font.Height", K::FontSize, nullptr},
    {"Caption", K::String, nullptr},
    {"Left", K::Number, nullptr},
};
const char* const kFixedAfterEvents[] = {"ClientHeight", "ClientWidth", "OldCreateOrder", "ModalResult",
                                         "Glyph.Data",   "NumGlyphs",   "Lines.String"};

}  // namespace

StringValueEditors::Dispatch StringValueEditors::dispatch(const std::string& name, const std::string& extracted) {
  // Lists, collections and binary blocks are never edited as one value.
  if (extracted == "(" || extracted == "<" || extracted == "{") return {K::Fixed};
  for (const TableRow& row : kTable)
    if (name == row.name) return {row.kind, row.listFile};
  if (name.find("On") != std::string::npos) return {K::Fixed};
  for (const char* fixed : kFixedAfterEvents)
    if (name == fixed) return {K::Fixed};
  return {K::String};
}

StringValueEditors::StringValueEditors(Tnewdfm& window, Dialogs& dialogs, QWidget* view, QWidget* page)
    : QObject(view), m_window(window), m_dialogs(dialogs), m_view(view), m_page(page) {
  CHInt = makePanel(QStringLiteral("CHInt"), {109, 41}, QStringLiteral("輸入一個有效數字:"));
  intedit = new QSpinBox(CHInt);
  intedit->setObjectName(QStringLiteral("intedit"));
  intedit->setGeometry(4, 18, 89, 21);
  intedit->setRange(1, 99999);
  intedit->setValue(1);
  connect(intedit, &QSpinBox::valueChanged, this, &StringValueEditors::inteditChange);

  CHPRO = makePanel(QStringLiteral("CHPRO"), {225, 41}, QStringLiteral("選擇一個屬性:"));
  proper = new QComboBox(CHPRO);
  proper->setObjectName(QStringLiteral("proper"));
  proper->setEditable(true);
  proper->setInsertPolicy(QComboBox::NoInsert);
  proper->setGeometry(0, 18, 225, 22);
  connect(proper, &QComboBox::editTextChanged, this, &StringValueEditors::properChange);
  connect(proper, &QComboBox::textActivated, this, &StringValueEditors::properChange);

  CHSTR = makePanel(QStringLiteral("CHSTR"), {293, 129}, QStringLiteral("修改字串"));
  auto* srcLabel = new QLabel(QStringLiteral("原始字串："), CHSTR);
  srcLabel->setGeometry(6, 22, 64, 16);
  srcstr = new QLabel(CHSTR);
  srcstr->setObjectName(QStringLiteral("srcstr"));
  srcstr->setGeometry(68, 22, 221, 53);
  srcstr->setWordWrap(true);
  srcstr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  srcstr->setTextFormat(Qt::PlainText);
  auto* rpLabel = new QLabel(QStringLiteral("修改為："), CHSTR);
  rpLabel->setGeometry(6, 80, 64, 16);
  rpedit = new QLineEdit(CHSTR);
  rpedit->setObjectName(QStringLiteral("rpedit"));
  rpedit->setGeometry(68, 78, 221, 20);
  rpmemo = new QPlainTextEdit(CHSTR);
  rpmemo->setObjectName(QStringLiteral("rpmemo"));
  rpmemo->setGeometry(68, 78, 221, 56);
  rpmemo->setTabChangesFocus(true);
  rpmemo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  rpmemo->setToolTip(QStringLiteral("Enter：修改　Ctrl+Enter：換行"));
  rpmemo->installEventFilter(this);
  rpmemo->hide();
  intedit->setAccessibleName(QStringLiteral("輸入一個有效數字"));
  proper->setAccessibleName(QStringLiteral("選擇一個屬性"));
  srcstr->setAccessibleName(QStringLiteral("原始字串"));
  rpedit->setAccessibleName(QStringLiteral("修改為"));
  rpmemo->setAccessibleName(QStringLiteral("修改為"));
  SpeedButton4 = new QToolButton(CHSTR);
  SpeedButton4->setText(QStringLiteral("否(&N)"));
  SpeedButton4->setAutoRaise(true);
  SpeedButton4->setGeometry(150, 103, 65, 22);
  SpeedButton5 = new QToolButton(CHSTR);
  SpeedButton5->setText(QStringLiteral("修改(&O)"));
  SpeedButton5->setAutoRaise(true);
  SpeedButton5->setGeometry(220, 103, 65, 22);
  connect(SpeedButton4, &QToolButton::clicked, this, &StringValueEditors::SpeedButton4Click);
  connect(SpeedButton5, &QToolButton::clicked, this, &StringValueEditors::SpeedButton5Click);
  // Enter, Shift+Enter and Escape in every field: the keyboard route.
  for (QWidget* field : {static_cast<QWidget*>(rpedit), static_cast<QWidget*>(intedit), static_cast<QWidget*>(proper),
                         static_cast<QWidget*>(proper->lineEdit())})
    field->installEventFilter(this);
  if (auto* spinText = intedit->findChild<QLineEdit*>()) spinText->installEventFilter(this);
}

QFrame* StringValueEditors::makePanel(const QString& name, QSize size, const QString& title) {
  // Beside the view, not inside it: children of an item view are not in the
  // accessibility tree.
  auto* panel = new QFrame(m_page);
  panel->setObjectName(name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setAutoFillBackground(true);
  QPalette pal = panel->palette();
  pal.setColor(QPalette::Window, kPanelColour);
  panel->setPalette(pal);
  panel->setFixedSize(size);
  panel->setAccessibleName(title);
  auto* label = new QLabel(title, panel);
  label->setGeometry(4, 2, size.width() - 8, 15);
  label->setCursor(Qt::SizeAllCursor);
  label->installEventFilter(this);
  panel->installEventFilter(this);
  panel->hide();
  return panel;
}

// A press on a panel or its title drags the panel until the button is released.
bool StringValueEditors::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && editorKey(watched, static_cast<QKeyEvent*>(event))) return true;
  auto* w = qobject_cast<QWidget*>(watched);
  // Only the panels and their titles are handles; the fields take their own presses.
  if (!w || (!w->objectName().startsWith(QLatin1String("CH")) && !qobject_cast<QLabel*>(w))) return false;
  auto* panel = qobject_cast<QFrame*>(w->objectName().startsWith(QLatin1String("CH")) ? w : w->parentWidget());
  if (panel != CHInt && panel != CHPRO && panel != CHSTR) return false;
  // Only mouse events may be viewed as one: the panels also see child and paint events.
  const auto type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
    return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  switch (type) {
    case QEvent::MouseButtonPress:
      if (mouse->button() != Qt::LeftButton) return false;
      m_dragged = panel;
      m_grab = mouse->globalPosition().toPoint() - panel->pos();
      return true;
    case QEvent::MouseMove:
      if (m_dragged != panel) return false;
      panel->move(mouse->globalPosition().toPoint() - m_grab);
      return true;
    case QEvent::MouseButtonRelease:
      if (m_dragged != panel) return false;
      m_dragged = nullptr;
      return true;
    default:
      return false;
  }
}

int StringValueEditors::editedRow() const { return m_row.isValid() ? m_row.row() : -1; }

bool StringValueEditors::isOpen() const {
  return CHInt->isVisible() || CHPRO->isVisible() || CHSTR->isVisible();
}

void StringValueEditors::closeAll() {
  // Unbound first: a field that loses the focus as its panel hides may
  // report a change, which then goes nowhere.
  m_row = QPersistentModelIndex();
  hidePanels();
}

void StringValueEditors::followSelection() {
  // A press on the empty area selects nothing: the editor stays with its row.
  const int selected = m_window.selectedStringRow();
  if (selected < 0 || (m_row.isValid() && selected == m_row.row())) return;
  closeAll();
}

void StringValueEditors::hidePanels(QFrame* except) {
  for (QFrame* p : {CHInt, CHPRO, CHSTR})
    if (p != except) p->hide();
}

void StringValueEditors::showPanel(QFrame* panel, int left, int top) {
  hidePanels(panel);
  panel->move(m_view->mapTo(m_page, QPoint(left, top)));
  panel->show();
  panel->raise();
}

void StringValueEditors::stringlistMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint pos) {
  const int index = m_window.selectedStringRow();
  if (index < 0) return;
  m_anchor = {pos.x() - 25, pos.y() + 20};
  m_row = QPersistentModelIndex(m_window.stringlist->model()->index(index, 0));
  if (m_window.resourceStringsShown()) {
    openResourceString(index);
    return;
  }
  const StringRow row = m_window.stringRow(index);
  m_before = {row.hasModified, row.modified, row.decoded, row.checked};
  const std::string name = trimmed(row.name);
  const std::string value = trimmed(row.checked && row.hasModified ? row.modified : row.value);
  const Dispatch d = dispatch(name, row.value);
  bool scroll = true;
  switch (d.kind) {
    case Kind::Choice:
    case Kind::SetChoice:
      scroll = openChoice(name, value, d.listFile, d.kind == Kind::SetChoice);
      break;
    case Kind::Number:
      scroll = openNumber(name, value);
      break;
    case Kind::Colour:
      openColour();
      break;
    case Kind::FontName:
      openFontName(trimmed(row.value));
      break;
    case Kind::FontSize:
      openFontSize();
      break;
    case Kind::String:
      openString(row, name, value);
      break;
    case Kind::Fixed:
      m_window.setStringModified(index, row.value);
      m_window.setStringChecked(index, false);
      hidePanels();
      break;
  }
  if (!scroll) return;
  m_window.Editor->setTopLine(row.lineNumber);
  m_window.seditor->setTopLine(row.lineNumber + 1);
}

bool StringValueEditors::openChoice(const std::string&, const std::string& value, const char* listFile, bool set) {
  showPanel(CHPRO, m_anchor.x(), m_anchor.y() + 5);
  // Beside the program (build tree, portable copy) or in the installed data.
  QString folder = datafiles::folder(QStringLiteral("res"));
  if (folder.isEmpty()) folder = QDir(m_window.programFolder()).filePath(QStringLiteral("res"));
  const QString path = QDir(folder).filePath(QLatin1String(listFile));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    m_dialogs.error(m_view, QString::fromUtf8(kUnreadableList).arg(QDir::toNativeSeparators(path)));
    return false;
  }
  const QByteArray bytes = file.readAll();
  QStringList items;
  if (!bytes.isEmpty())
    for (const std::string& line : splitTextLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
      items << fromCp950(line);
  // The members of a set are edited without their brackets, which the change
  // step puts back.
  std::string shown = value;
  if (set && shown.size() >= 2 && shown.front() == '[' && shown.back() == ']') shown = shown.substr(1, shown.size() - 2);
  m_loading = true;
  proper->clear();
  proper->addItems(items);
  proper->setEditText(fromCp950(shown));
  m_loading = false;
  // What the user types next goes into the editor, not to the table's
  // search by first letters.
  proper->setFocus();
  proper->lineEdit()->selectAll();
  return true;
}

bool StringValueEditors::openNumber(const std::string& name, const std::string& value) {
  const bool placeFirst = name == "Top" || name == "Left";
  const int left = m_anchor.x() + (name == "Left" ? 10 : 0);
  if (placeFirst) showPanel(CHInt, left, m_anchor.y() + 5);
  bool ok = false;
  const int number = QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size())).toInt(&ok);
  if (!ok) {
    m_dialogs.error(m_view, QStringLiteral("'%1' is not a valid integer value").arg(fromCp950(value)));
    return false;
  }
  // The whole range the property admits; showing a number stores nothing.
  m_loading = true;
  if (name == "TabOrder")
    intedit->setRange(-1, 32767);
  else
    intedit->setRange(INT_MIN, INT_MAX);
  intedit->setValue(number);
  m_loading = false;
  if (!placeFirst) showPanel(CHInt, left, m_anchor.y() + 5);
  intedit->setFocus();
  intedit->selectAll();
  return true;
}

void StringValueEditors::openColour() {
  hidePanels();
  if (std::optional<QColor> c = m_dialogs.color(m_view, m_colour)) {
    m_colour = *c;
    store(QString::number(c->red() | c->green() << 8 | c->blue() << 16));
  }
}

void StringValueEditors::openFontName(const std::string& extracted) {
  hidePanels();
  m_font.setFamily(fromCp950(extracted));
  if (std::optional<QFont> f = m_dialogs.font(m_view, m_font)) {
    m_font = *f;
    // A font name is a string row: write-back quotes it.
    if (std::optional<std::string> family = toCp950(f->family())) store(*family);
  }
}

void StringValueEditors::openFontSize() {
  hidePanels();
  if (std::optional<QFont> f = m_dialogs.font(m_view, m_font)) {
    m_font = *f;
    const int points = f->pointSize() > 0 ? f->pointSize() : qRound(f->pointSizeF());
    // The font's Height is stored as its size in points plus 3.
    store(QString::number(points + 3));
  }
}

void StringValueEditors::setStringLayout(bool multiLine) {
  const int buttons = multiLine ? 139 : 103;
  CHSTR->setFixedSize(293, multiLine ? 165 : 129);
  SpeedButton4->move(150, buttons);
  SpeedButton5->move(220, buttons);
  rpedit->setVisible(!multiLine);
  rpmemo->setVisible(multiLine);
}

void StringValueEditors::openString(const StringRow& row, const std::string& name, const std::string& value) {
  // A quoted string is edited whole, over all its pieces and line breaks;
  // other values as they are written.
  const EditorModel& text = m_window.Editor->model();
  const bool multiLine = holdsStringValue(text, row.lineNumber - 1);
  QString shown = fromCp950(value);
  if (multiLine) {
    if (row.checked && row.hasModified && row.decoded) {
      shown = fromCp950(row.modified);
    } else {
      const std::u16string whole = wholeValue(
          static_cast<std::size_t>(text.lineCount()),
          [&text](std::size_t i) { return std::string_view(text.lineText(static_cast<int>(i))); },
          static_cast<std::size_t>(row.lineNumber - 1), std::size_t(1) << 24, m_window.stringRowCodePage(editedRow()));
      shown = QString::fromUtf16(whole.data(), static_cast<qsizetype>(whole.size()));
    }
    // Line breaks are typed back as the value had them.
    m_lineBreak = !shown.contains(QLatin1Char('\n')) || shown.contains(QStringLiteral("\r\n")) ? "\r\n" : "\n";
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  }
  setStringLayout(multiLine);
  int left = m_anchor.x() - 50;
  int top = m_anchor.y() + 5;
  if (name == "Caption") {
    if (m_view->height() - top < 192) top = m_view->height() - 192;
    if (left < 0) left = 0;
    if (m_view->width() - CHSTR->width() < left) left = m_view->width() - CHSTR->width();
  }
  showPanel(CHSTR, left, top);
  srcstr->setText(shown);
  srcstr->setToolTip(srcstr->text());
  if (multiLine) {
    rpmemo->setPlainText(shown);
    rpmemo->setFocus();
    rpmemo->selectAll();
  } else {
    rpedit->setText(shown);
    rpedit->setFocus();
    rpedit->selectAll();
  }
}

// A resource string is edited as a Caption is, in any character (the
// string tables hold UTF-16); line breaks show as "\n".
void StringValueEditors::openResourceString(int index) {
  int left = std::max(0, m_anchor.x() - 50);
  int top = m_anchor.y() + 5;
  if (m_view->height() - top < 192) top = m_view->height() - 192;
  if (m_view->width() - CHSTR->width() < left) left = m_view->width() - CHSTR->width();
  showPanel(CHSTR, left, top);
  const QString translation = m_window.resourceStringTranslation(index);
  srcstr->setText(m_window.resourceStringOriginal(index));
  setStringLayout(false);
  rpedit->setText(translation.isEmpty() ? srcstr->text() : translation);
  srcstr->setToolTip(srcstr->text());
  rpedit->setFocus();
  rpedit->selectAll();
}

void StringValueEditors::inteditChange() {
  if (!m_loading) store(QString::number(intedit->value()));
}

void StringValueEditors::properChange() {
  if (m_loading) return;
  const int index = editedRow();
  if (index < 0) return;
  QString text = proper->currentText();
  if (isSetProperty(trimmed(m_window.stringRow(index).name))) text = QLatin1Char('[') + text + QLatin1Char(']');
  if (std::optional<std::string> bytes = toCp950(text)) store(trimmed(*bytes));
}

bool StringValueEditors::storeString() {
  if (m_window.resourceStringsShown()) {
    const int index = editedRow();
    if (index >= 0) m_window.setResourceStringTranslation(index, rpedit->text());
    return true;
  }
  const bool whole = rpmemo->isVisible();
  QString text = whole ? rpmemo->toPlainText() : rpedit->text();
  if (whole) text.replace(QLatin1Char('\n'), QString::fromLatin1(m_lineBreak.c_str()));
  std::optional<std::string> value = toCp950(text);
  if (!value) return false;  // the panel stays open for the text to be mended
  const int index = editedRow();
  if (index >= 0) {
    m_window.setStringModified(index, *value, whole);
    m_window.setStringChecked(index, true);
  }
  return true;
}

void StringValueEditors::SpeedButton5Click() {
  if (storeString()) closeAll();
}

void StringValueEditors::SpeedButton4Click() { closeAll(); }

bool StringValueEditors::editorKey(QObject* field, QKeyEvent* key) {
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (key->key() == Qt::Key_Escape) {
    // An open list of the choice editor closes first.
    if ((field == proper || field == proper->lineEdit()) && proper->view()->isVisible()) return false;
    giveUp();
    return true;
  }
  if (!enter) return false;
  if (field == rpmemo && (key->modifiers() & Qt::ControlModifier)) {
    rpmemo->insertPlainText(QStringLiteral("\n"));
    return true;
  }
  if (field == rpmemo || field == rpedit) {
    if (!storeString()) return true;
  } else if (field == intedit || field->parent() == intedit) {
    intedit->interpretText();
  }
  moveOn(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
  return true;
}

bool StringValueEditors::isKeyboardStep(const StringRow& row) {
  return row.stringValue && !row.lineRemoved && dispatch(trimmed(row.name), row.value).kind == Kind::String;
}

void StringValueEditors::moveOn(int step) {
  const int from = editedRow() >= 0 ? editedRow() : m_window.selectedStringRow();
  closeAll();
  auto* table = static_cast<QTreeWidget*>(m_window.stringlist);
  for (int i = from + step; from >= 0 && i >= 0 && i < m_window.stringRowCount(); i += step) {
    QTreeWidgetItem* item = table->topLevelItem(i);
    if (item->isHidden() || !isKeyboardStep(m_window.stringRow(i))) continue;
    table->setCurrentItem(item);
    table->scrollToItem(item);
    openSelectedRow();
    return;
  }
  table->setFocus();
}

void StringValueEditors::giveUp() {
  // The choice and number editors store every change at once; Escape takes
  // them back, so that it leaves every row as it was when its editor opened.
  const int index = editedRow();
  const bool storesAtOnce = CHInt->isVisible() || CHPRO->isVisible();
  closeAll();
  if (storesAtOnce && index >= 0) {
    if (m_before.hasModified)
      m_window.setStringModified(index, m_before.modified, m_before.decoded);
    else
      m_window.clearStringModified(index);
    m_window.setStringChecked(index, m_before.checked);
  }
  m_window.stringlist->setFocus();
}

void StringValueEditors::openSelectedRow() {
  auto* table = static_cast<QTreeWidget*>(m_window.stringlist);
  const int index = m_window.selectedStringRow();
  if (index < 0) return;
  const QModelIndex cell = table->model()->index(index, 2);
  const QPoint at = table->viewport()->mapTo(table, table->visualRect(cell).center());
  stringlistMouseDown(Qt::NoButton, Qt::NoModifier, at);
}

void StringValueEditors::store(const QString& value) {
  if (std::optional<std::string> bytes = toCp950(value)) store(*bytes);
}

void StringValueEditors::store(const std::string& bytes) {
  const int index = editedRow();
  if (index < 0) return;
  m_window.setStringModified(index, bytes);
  m_window.setStringChecked(index, true);
}

std::optional<std::string> StringValueEditors::toCp950(const QString& text) {
  std::optional<std::string> bytes =
      cp950::encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
  if (!bytes) m_dialogs.error(m_view, QString::fromUtf8(kUnencodable));
  return bytes;
}

}  // namespace vc
