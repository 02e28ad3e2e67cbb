// Search, replace, go to line and bookmarks: the search and go-to fields, the
// options panel, the replace toolbar and the bookmark menus, all acting on
// `Editor` through findReplace.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <climits>

#include "editor/widget/CodeEditor.h"
#include "platform/Cp950.h"
#include "workbench/Hints.h"
#include "workbench/SearchOptionsPanel.h"
#include "workbench/newform.h"

namespace vc {
namespace {

// The integer conversion of the go-to field: optional blanks in front, an
// optional sign and decimal digits, within the range of a 32-bit integer.
std::optional<int> toInteger(const QString& text) {
  if (text.isEmpty()) return std::nullopt;
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  bool ok = false;
  const qlonglong value = text.mid(i).toLongLong(&ok, 10);
  // toLongLong takes blanks at the end too, which the conversion refuses.
  if (!ok || text.back().isSpace() || value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

void Tnewdfm::createSearchControls() {
  searchkey->setObjectName(QStringLiteral("searchkey"));
  setHint(searchkey, QStringLiteral("輸入搜尋置換內容"));
  setHint(no, QStringLiteral("輸入前往列號"));
  connect(searchkey, &QLineEdit::returnPressed, this, &Tnewdfm::searchnextClick);
  connect(no, &QLineEdit::returnPressed, this, &Tnewdfm::noEnter);
  connect(searchnext, &QToolButton::clicked, this, &Tnewdfm::searchnextClick);
  connect(searchNextItem, &QAction::triggered, this, &Tnewdfm::searchnextClick);
  connect(searchbtn, &QToolButton::clicked, this, &Tnewdfm::searchbtnClick);

  selpan = new SearchOptionsPanel(this);
  selpan->move(288, 72);

  auto* label = new QLabel(QStringLiteral("置換為："));
  rpkey = new QLineEdit;
  rpkey->setObjectName(QStringLiteral("rpkey"));
  rpkey->setFixedWidth(160);
  QPalette blue = rpkey->palette();
  blue.setColor(QPalette::Text, QColor(0x00, 0x00, 0xFF));
  rpkey->setPalette(blue);
  setHint(rpkey, QStringLiteral("置換|輸入置換後的內容"));
  rpnext = new QToolButton;
  rpnext->setObjectName(QStringLiteral("rpnext"));
  rpnext->setText(QStringLiteral("置　換(&R)"));
  ToolbarButton975 = new QToolButton;
  ToolbarButton975->setObjectName(QStringLiteral("ToolbarButton975"));
  ToolbarButton975->setText(QStringLiteral("全部置換(&A)"));
  for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(rpkey), static_cast<QWidget*>(rpnext),
                     static_cast<QWidget*>(ToolbarButton975)})
    rptoolbar->addWidget(w);
  connect(rpkey, &QLineEdit::returnPressed, this, &Tnewdfm::rpnextClick);
  connect(rpnext, &QToolButton::clicked, this, &Tnewdfm::rpnextClick);
  connect(ToolbarButton975, &QToolButton::clicked, this, &Tnewdfm::ToolbarButton975Click);

  editpop->addSeparator();
  addBookmarkItems(editpop->addMenu(QStringLiteral("書籤(&M)...")), editpop->addMenu(QStringLiteral("前往(&G)...")),
                   QStringLiteral("&"));
}

void Tnewdfm::addBookmarkItems(QMenu* setMenu, QMenu* gotoMenu, const QString& prefix) {
  for (int n = 0; n <= 9; ++n) {
    setMenu->addAction(prefix + QString::number(n))->setData(n);
    gotoMenu->addAction(prefix + QString::number(n))->setData(n);
  }
  connect(setMenu, &QMenu::triggered, this, &Tnewdfm::SetBookmarkClick);
  connect(gotoMenu, &QMenu::triggered, this, &Tnewdfm::GotoBookmarkClick);
}

void Tnewdfm::SetBookmarkClick(QAction* item) {
  Editor->model().setBookmark(item->data().toInt(), Editor->model().caretColumn(), Editor->model().caretLine());
}

void Tnewdfm::GotoBookmarkClick(QAction* item) { Editor->model().gotoBookmark(item->data().toInt()); }

SearchOptions Tnewdfm::searchOptions() const { return selpan->searchOptions(); }

std::optional<std::string> Tnewdfm::searchBytes(const QLineEdit* field) {
  const QString text = field->text();
  std::size_t failedAt = 0;
  std::optional<std::string> bytes = cp950::encode(text.toStdU16String(), &failedAt);
  if (!bytes) {
    const char32_t cp = text.mid(static_cast<qsizetype>(failedAt)).toUcs4().value(0);
    const QString code = QString::number(static_cast<uint>(cp), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    m_dialogs.error(this, QStringLiteral("「%1」含有無法以 Big5 碼表示的字元 (U+%2)，沒有進行搜尋。").arg(text, code));
  }
  return bytes;
}

void Tnewdfm::searchnextClick() {
  if (const auto key = searchBytes(searchkey)) {
    if (Editor->findReplace(*key, *key, searchOptions()) == 0) m_dialogs.information(this, QString::fromUtf8(kNotFound));
  }
  searchkey->selectAll();
}

void Tnewdfm::rpnextClick() { replaceMatches(ReplaceOne, kNothingToReplace); }

void Tnewdfm::ToolbarButton975Click() { replaceMatches(ReplaceAll, kNotFound); }

void Tnewdfm::replaceMatches(SearchOptions how, const char* notFound) {
  const auto key = searchBytes(searchkey);
  const auto replacement = key ? searchBytes(rpkey) : std::nullopt;
  if (!replacement) return;
  if (Editor->findReplace(*key, *replacement, searchOptions() | how) == 0)
    m_dialogs.information(this, QString::fromUtf8(notFound));
}

void Tnewdfm::searchbtnClick() { selpan->open(); }

void Tnewdfm::noEnter() {
  const std::optional<int> n = toInteger(no->text());
  if (!n) {
    m_dialogs.error(this, QStringLiteral("'%1' is not a valid integer value").arg(no->text()));
    return;
  }
  Editor->setTopLine(*n);
  // `seditor` numbers its lines from 0: one line further shows the same label.
  seditor->setTopLine(*n == INT_MAX ? *n : *n + 1);
}

}  // namespace vc
