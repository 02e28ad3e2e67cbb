// The window shell: menus, toolbar, status bar and the view toggles.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "auxwindows/HelpWindow.h"
#include "auxwindows/aboutfrm.h"
#include "auxwindows/totay.h"
#include "editor/widget/CodeEditor.h"
#include "platform/qt/DataFiles.h"
#include "platform/qt/KeyboardState.h"
#include "platform/qt/Shell.h"
#include "workbench/Hints.h"
#include "workbench/newform.h"

namespace vc {
namespace {

constexpr const char* kCommunityName = "譯者論壇";
constexpr const char* kCommunityAddress = "https://forum.vellumcraft.org/";

QAction* item(QMenu* menu, const QString& text, const QKeySequence& key = {}) {
  QAction* a = menu->addAction(text);
  if (!key.isEmpty()) a->setShortcut(key);
  // Menu shortcuts win over the editors' own key bindings.
  a->setShortcutContext(Qt::WindowShortcut);
  return a;
}

// The edit commands. Each acts on `Editor`, whichever editor has the focus,
// and appears in the Edit menu (with its shortcut), in the editors' popup
// menu and, some of them, on the editor page's toolbar.
struct EditCommand {
  const char* menuCaption;
  const char* popupCaption;  // nullptr: the menu's
  const char* barCaption;    // nullptr: not on the toolbar
  const char* barIcon;
  QKeyCombination key;
  bool separatorBefore;
  QAction* Tnewdfm::*menuItem;
  void (*run)(CodeEditor&);
};

const EditCommand kEditCommands[] = {
    {"復原(&U)", nullptr, nullptr, nullptr, Qt::CTRL | Qt::Key_Z, false, &Tnewdfm::undoItem,
     [](CodeEditor& e) { e.undo(); }},
    {"重做(&R)", nullptr, nullptr, nullptr, Qt::CTRL | Qt::Key_R, false, &Tnewdfm::redoItem,
     [](CodeEditor& e) { e.redo(); }},
    {"剪下(&T)", "剪下(&X)", "剪下", "edit-cut", Qt::CTRL | Qt::Key_X, true, &Tnewdfm::cutItem,
     [](CodeEditor& e) { e.cutToClipboard(); }},
    {"複製(&C)", nullptr, "複製", "edit-copy", Qt::CTRL | Qt::Key_C, false, &Tnewdfm::copyItem,
     [](CodeEditor& e) { e.copyToClipboard(); }},
    {"貼上(&P)", nullptr, "貼上", "edit-paste", Qt::CTRL | Qt::Key_V, false, &Tnewdfm::pasteItem,
     [](CodeEditor& e) { e.pasteFromClipboard(); }},
    {"刪除(&D)", nullptr, nullptr, nullptr, QKeyCombination(Qt::Key_Delete), false, &Tnewdfm::deleteItem,
     [](CodeEditor& e) { e.executeCommand(ecDeleteChar); }},
    {"全部選擇(&A)", "全選(&A)", nullptr, nullptr, Qt::CTRL | Qt::Key_A, true, &Tnewdfm::selectAllItem,
     [](CodeEditor& e) { e.selectAll(); }},
};

}  // namespace

void Tnewdfm::createActions() { editpop = new QMenu(this); }

void Tnewdfm::createEditCommands(QMenu* edit) {
  for (const EditCommand& c : kEditCommands) {
    auto run = [this, f = c.run] { f(*Editor); };
    if (c.separatorBefore) {
      edit->addSeparator();
      editpop->addSeparator();
    }
    this->*c.menuItem = item(edit, QString::fromUtf8(c.menuCaption), QKeySequence(c.key));
    connect(this->*c.menuItem, &QAction::triggered, this, run);
    editpop->addAction(QString::fromUtf8(c.popupCaption ? c.popupCaption : c.menuCaption), this, run);
    if (c.barCaption)
      editbar->addAction(QIcon::fromTheme(QString::fromLatin1(c.barIcon)), QString::fromUtf8(c.barCaption), this, run);
  }
}

void Tnewdfm::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("檔案(&F)"));
  O1 = item(file, QStringLiteral("開啟舊檔(&O)…"), QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(O1, &QAction::triggered, this, &Tnewdfm::O1Click);
  S1 = item(file, QStringLiteral("存檔(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
  A4 = item(file, QStringLiteral("另存新檔(&A)..."));
  file->addSeparator();
  createPoItems(file);
  file->addSeparator();
  X1 = item(file, QStringLiteral("結束(&X)"));
  S1->setEnabled(false);
  connect(S1, &QAction::triggered, this, &Tnewdfm::TsavebtnClick);
  connect(A4, &QAction::triggered, this, &Tnewdfm::A4Click);
  connect(X1, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編輯(&E)"));
  createEditCommands(edit);
  edit->addSeparator();
  QMenu* setMarks = edit->addMenu(QStringLiteral("設為書簽"));
  QMenu* gotoMarks = edit->addMenu(QStringLiteral("前往書籤"));
  addBookmarkItems(setMarks, gotoMarks, QString());
  edit->addSeparator();
  searchNextItem = item(edit, QStringLiteral("搜尋下一個(&N)"), QKeySequence(Qt::Key_F3));
  edit->addSeparator();
  checkItem = item(edit, QStringLiteral("檢查翻譯(&K)"));
  connect(checkItem, &QAction::triggered, this, &Tnewdfm::checkTranslationClick);

  QMenu* view = menuBar()->addMenu(QStringLiteral("檢視(&V)"));
  T2 = item(view, QStringLiteral("工具列(&T)"), QKeySequence(Qt::CTRL | Qt::Key_T));
  R2 = item(view, QStringLiteral("置換列(&R)"), QKeySequence(Qt::Key_F4));
  F2 = item(view, QStringLiteral("文件目錄(&F)"), QKeySequence(Qt::CTRL | Qt::Key_F));
  A3 = item(view, QStringLiteral("文字標籤(&A)"), QKeySequence(Qt::CTRL | Qt::Key_Y));
  view->addSeparator();
  createSourceCodePageMenu(view);
  Y1 = item(view, QStringLiteral("預覽窗體(&Y)"), QKeySequence(Qt::Key_F2));
  for (QAction* a : {T2, R2, F2, A3}) a->setCheckable(true);
  T2->setChecked(true);
  R2->setChecked(false);
  F2->setChecked(true);
  A3->setChecked(true);
  connect(T2, &QAction::triggered, this, &Tnewdfm::T2Click);
  connect(R2, &QAction::triggered, this, &Tnewdfm::R2Click);
  connect(F2, &QAction::triggered, this, &Tnewdfm::F2Click);
  connect(A3, &QAction::triggered, this, &Tnewdfm::A3Click);
  connect(Y1, &QAction::triggered, this, &Tnewdfm::ViewAsFormClick);

  QMenu* help = menuBar()->addMenu(QStringLiteral("說明(&H)"));
  H2 = item(help, QStringLiteral("使用指南(&H)"), QKeySequence(Qt::Key_F1));
  D2 = item(help, QStringLiteral("每日小秘訣(&D)"));
  A1 = item(help, QStringLiteral("關於(&A)..."));
  help->addSeparator();
  community = item(help, QString::fromUtf8(kCommunityName));
  connect(H2, &QAction::triggered, this, &Tnewdfm::H2Click);
  connect(D2, &QAction::triggered, this, &Tnewdfm::D2Click);
  connect(A1, &QAction::triggered, this, &Tnewdfm::A1Click);
  connect(community, &QAction::triggered, this, &Tnewdfm::communityClick);
}

void Tnewdfm::createToolbar() {
  TT1 = new QToolBar(QStringLiteral("Vellumcraft 工具列"), this);
  TT1->setObjectName(QStringLiteral("TT1"));
  TT1->setMovable(true);
  TT1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  TT1->setIconSize(QSize(16, 16));
  addToolBar(Qt::TopToolBarArea, TT1);

  QStyle* st = style();
  auto button = [&](const char* name, QStyle::StandardPixmap icon, const QString& hint) {
    auto* b = new QToolButton;
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(st->standardIcon(icon));
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    if (!hint.isEmpty()) setHint(b, hint);
    TT1->addWidget(b);
    return b;
  };
  Tsavebtn = button("Tsavebtn", QStyle::SP_DialogSaveButton, QStringLiteral("儲存|儲存對檔案所做的更動"));
  Tsavebtn->setEnabled(false);
  connect(Tsavebtn, &QToolButton::clicked, this, &Tnewdfm::TsavebtnClick);
  ViewAsForm = button("ViewAsForm", QStyle::SP_FileDialogContentsView, QStringLiteral("預覽(F2)|預覽修改後的窗體"));
  connect(ViewAsForm, &QToolButton::clicked, this, &Tnewdfm::ViewAsFormClick);
  TT1->addSeparator();

  // The search and go-to fields: placed by hand, both layouts move them.
  Panel7 = new QWidget;
  Panel7->setObjectName(QStringLiteral("Panel7"));
  searchLabel = new QLabel(QStringLiteral("搜尋："), Panel7);
  gotoLabel = new QLabel(QStringLiteral("前往："), Panel7);
  searchkey = new QLineEdit(Panel7);
  no = new QLineEdit(Panel7);
  no->setObjectName(QStringLiteral("no"));
  TT1->addWidget(Panel7);
  searchnext = button("searchnext", QStyle::SP_ArrowForward, QStringLiteral("搜尋(F3)|搜尋下一個"));
  searchbtn = button("searchbtn", QStyle::SP_FileDialogDetailedView, QStringLiteral("搜尋選項"));
  rpbtn = button("rpbtn", QStyle::SP_BrowserReload, QStringLiteral("置換(F4)|置換內容"));
  connect(rpbtn, &QToolButton::clicked, this, &Tnewdfm::R2Click);
  TT1->addSeparator();
  Tundobtn = button("Tundobtn", QStyle::SP_ArrowBack, QStringLiteral("復原(Ctrl + Z)|復原上一步操作"));
  Tredobtn = button("Tredobtn", QStyle::SP_ArrowForward, QStringLiteral("重做(Ctrl + R)|重做上一步操作"));
  connect(Tundobtn, &QToolButton::clicked, this, &Tnewdfm::TundobtnClick);
  connect(Tredobtn, &QToolButton::clicked, this, &Tnewdfm::TredobtnClick);
  TT1->addSeparator();
  dfbtn = button("dfbtn", QStyle::SP_DirIcon, QString());
  connect(dfbtn, &QToolButton::clicked, this, &Tnewdfm::F2Click);
  aboutbtn = button("aboutbtn", QStyle::SP_MessageBoxInformation, QStringLiteral("關於"));
  connect(aboutbtn, &QToolButton::clicked, this, &Tnewdfm::A1Click);
  helpbtn = button("helpbtn", QStyle::SP_DialogHelpButton, QStringLiteral("說明"));
  connect(helpbtn, &QToolButton::clicked, this, &Tnewdfm::H2Click);
  showtext = button("showtext", QStyle::SP_TitleBarShadeButton, QStringLiteral("隱藏文字標籤"));
  connect(showtext, &QToolButton::clicked, this, &Tnewdfm::A3Click);
  setLabelledLayout(true, true);

  rptoolbar = new QToolBar(QStringLiteral("置換工具列"), this);
  rptoolbar->setObjectName(QStringLiteral("rptoolbar"));
  addToolBarBreak(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, rptoolbar);
  rptoolbar->hide();

  // The editor page's small toolbar: the clipboard commands (createEditCommands)
  // and the extraction.
  editbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  editbar->addSeparator();
  getstring = new QToolButton;
  getstring->setObjectName(QStringLiteral("getstring"));
  getstring->setIcon(st->standardIcon(QStyle::SP_FileDialogListView));
  getstring->setText(QStringLiteral("提取字串"));
  getstring->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  getstring->setAutoRaise(true);
  setHint(getstring, QStringLiteral("提取字串"));
  editbar->addWidget(getstring);
  connect(getstring, &QToolButton::clicked, this, [this] {
    if (mayDropPendingRows()) getstringClick();
  });
}

void Tnewdfm::setLabelledLayout(bool labelled, bool initial) {
  struct Caption {
    QToolButton* button;
    QString text;
    int width;
  };
  const Caption captions[] = {
      {Tsavebtn, QStringLiteral("儲　存"), 50},   {ViewAsForm, QStringLiteral("預　覽"), 50},
      {searchnext, QStringLiteral("搜　尋"), 50}, {searchbtn, QStringLiteral("搜尋選項"), 55},
      {rpbtn, QStringLiteral("置　換"), 50},      {Tundobtn, QStringLiteral("復　原"), 50},
      {Tredobtn, QStringLiteral("重　做"), 50},
      {dfbtn, initial ? QStringLiteral("文件目錄") : QStringLiteral("文件欄"), 50},
      {aboutbtn, QStringLiteral("關　於"), 50},   {helpbtn, QStringLiteral("說　明"), 50},
  };
  for (const Caption& c : captions) {
    c.button->setText(labelled ? c.text : QString());
    c.button->setToolButtonStyle(labelled ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    c.button->setFixedSize(labelled ? QSize(c.width, 40) : QSize(26, 26));
  }
  const int fieldHeight = 19;
  if (labelled) {
    Panel7->setFixedSize(117, 42);
    searchLabel->move(4, initial ? 3 : 4);
    searchkey->setGeometry(45, 1, 70, fieldHeight);
    gotoLabel->move(4, 23);
    no->setGeometry(45, 22, 70, fieldHeight);
  } else {
    Panel7->setFixedSize(220, 22);
    searchLabel->move(4, 5);
    searchkey->setGeometry(37, 2, 75, fieldHeight);
    gotoLabel->move(116, 5);
    no->setGeometry(149, 2, 65, fieldHeight);
  }
  showtext->setFixedSize(labelled ? QSize(26, 40) : QSize(26, 26));
  setHint(showtext, labelled ? QStringLiteral("隱藏文字標籤") : QStringLiteral("顯示文字標籤"));
}

void Tnewdfm::createStatusBar() {
  status = new QStatusBar;
  status->setObjectName(QStringLiteral("status"));
  const int widths[6] = {150, 250, 35, 35, 35, 50};
  const Qt::Alignment align[6] = {Qt::AlignCenter, Qt::AlignLeft, Qt::AlignCenter,
                                  Qt::AlignCenter, Qt::AlignCenter, Qt::AlignLeft};
  for (int i = 0; i < 6; ++i) {
    panels[i] = new QLabel;
    panels[i]->setAlignment(align[i] | Qt::AlignVCenter);
    if (i < 5) {
      panels[i]->setFixedWidth(widths[i]);
      panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    } else {
      panels[i]->setMinimumWidth(widths[i]);
    }
    status->addWidget(panels[i], i == 5 ? 1 : 0);
  }
  status->addPermanentWidget(translatedCount);
  panels[1]->setText(QStringLiteral("提示"));
  panels[5]->setText(QString::fromUtf8(kCommunityName) + QLatin1Char(' ') +
                     QString::fromUtf8(kCommunityAddress));
}

void Tnewdfm::updateKeyboardPanels() {
  KeyboardToggles t = keyboardToggles();
  panels[2]->setText(t.numLock ? QStringLiteral("數字") : QStringLiteral("方向"));
  panels[3]->setText(Editor->model().insertMode() ? QStringLiteral("插入") : QStringLiteral("覆寫"));
  panels[4]->setText(t.capsLock ? QStringLiteral("大寫") : QStringLiteral("小寫"));
}

void Tnewdfm::EditorSelectionChange() {
  const EditorModel& model = Editor->model();
  panels[0]->setText(QStringLiteral("目前第%1行  第%2列").arg(model.caretLine()).arg(model.caretColumn()));
}

void Tnewdfm::EditorKeyDown() {
  updateKeyboardPanels();
  // The editor reports the key before acting on it: Insert toggles its mode
  // afterwards, so the panels are read once more when the key is done.
  QTimer::singleShot(0, this, &Tnewdfm::updateKeyboardPanels);
}

void Tnewdfm::EditorChange() {
  // The save target stays the loaded document's: an edit never retargets it.
  m_doc.edited();
  Tsavebtn->setEnabled(true);
  S1->setEnabled(true);
  // Undo and redo from the menu, the keys or the buttons: the buttons show
  // what can be taken back or done again.
  syncUndoButtons();
}

void Tnewdfm::syncUndoButtons() {
  Tundobtn->setEnabled(Editor->model().canUndo());
  Tredobtn->setEnabled(Editor->model().canRedo());
}

void Tnewdfm::syncDocumentButtons() {
  syncUndoButtons();
  Tsavebtn->setEnabled(m_doc.modified());
  S1->setEnabled(m_doc.modified());
}

void Tnewdfm::TundobtnClick() {
  if (Editor->model().canUndo()) {
    Editor->undo();
    if (!Editor->model().canUndo()) Tundobtn->setEnabled(false);
  } else {
    Tundobtn->setEnabled(false);
  }
  if (Editor->model().canRedo()) Tredobtn->setEnabled(true);
}

void Tnewdfm::TredobtnClick() {
  if (Editor->model().canRedo()) {
    Editor->redo();
    if (!Editor->model().canRedo()) Tredobtn->setEnabled(false);
  } else {
    Tredobtn->setEnabled(false);
  }
  if (Editor->model().canUndo()) Tundobtn->setEnabled(true);
}

void Tnewdfm::markSaved(const SaveRoute& route) {
  m_doc.saved(route);
  if (route.clearsModified) Tsavebtn->setEnabled(false);
  if (route.clearsMenuItem) S1->setEnabled(false);
}

void Tnewdfm::T2Click() {
  bool show = TT1->isHidden();
  T2->setChecked(show);
  TT1->setVisible(show);
}

void Tnewdfm::R2Click() {
  bool show = rptoolbar->isHidden();
  R2->setChecked(show);
  rptoolbar->setVisible(show);
}

void Tnewdfm::F2Click() {
  if (!Panel1->isHidden()) {
    F2->setChecked(false);
    Panel1->hide();
  } else {
    F2->setChecked(true);
    Panel1->show();
  }
}

void Tnewdfm::A3Click() {
  bool labelled = !Tsavebtn->text().isEmpty();
  setLabelledLayout(!labelled, false);
  A3->setChecked(!labelled);
}

void Tnewdfm::createAuxWindows() {
  tadayform = new Ttadayform(*m_settings, this);
  AboutForm = new TAboutForm(m_dialogs, this);
  helpWindow = new HelpWindow(this);
}

// The manual is the program's own, shown inside it.
void Tnewdfm::H2Click() {
  if (!helpWindow->openPage())
    m_dialogs.error(this, QStringLiteral("找不到使用指南，請確認程式的 manual 資料夾是否完整：%1")
                              .arg(QDir::toNativeSeparators(datafiles::searchRoots().join(QStringLiteral("；")))));
}

void Tnewdfm::D2Click() { tadayform->exec(); }

void Tnewdfm::A1Click() { AboutForm->exec(); }

void Tnewdfm::communityClick() { shell::openUrl(QUrl(QString::fromUtf8(kCommunityAddress))); }

}  // namespace vc
