#include "workbench/newform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/highlight/DfmHighlighter.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "editor/widget/CodeEditor.h"
#include "modres/Module.h"
#include "platform/Exception.h"
#include "platform/qt/FontMapping.h"
#include "platform/qt/Settings.h"
#include "translation/ResourceStringTranslation.h"
#include "widgets/DirectoryListBox.h"
#include "widgets/DriveComboBox.h"
#include "workbench/AccessibleNames.h"
#include "widgets/FileListBox.h"
#include "widgets/FilterComboBox.h"

namespace vc {

Tnewdfm::Tnewdfm(Dialogs& dialogs, QStringList commandLine, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_commandLine(std::move(commandLine)) {
  setObjectName(QStringLiteral("newdfm"));
  setWindowTitle(QString::fromUtf8(kCaption));
  setFont(FontMapping::mapFont(QStringLiteral("新細明體"), 12));
  resize(604, 389);
  move(127, 142);

  m_formsyn = std::make_unique<DfmHighlighter>();
  m_formsyn->applyWorkbenchColours();
  m_htmlsyn = std::make_unique<HtmlHighlighter>();
  m_htmlsyn->applyWorkbenchColours();

  m_saveDialog.filter = QStringLiteral(
      "支援格式(*.DFM;*.TXT)|*.dfm;*.txt|文字文件(*.TXT)|*.txt|窗體文件(*.DFM)|*.dfm");
  m_saveDialog.filterIndex = 1;
  m_saveDialog.defaultExt = QStringLiteral("txt");
  m_openDialog.filter = QStringLiteral(
      "所有支援(*.DFM;*.EXE;*.CPL;*.DLL;*.TXT)|*.dfm;*.exe;*.cpl;*.dll;*.txt|窗體文件(*.DFM)|*.dfm|"
      "控制面板(*.CPL)|*.cpl|可執行程式(*.EXE)|*.exe|動態連接庫(*.DLL)|*.dll|文字檔案(*.TXT)|*.txt|"
      "所有檔案(*.*)|*");

  // The pages: the code editor with its small toolbar, the string table and
  // the source as loaded.
  page = new QTabWidget;
  page->setObjectName(QStringLiteral("page"));
  tab1 = new QWidget;
  auto* tab1Layout = new QVBoxLayout(tab1);
  tab1Layout->setContentsMargins(0, 0, 0, 0);
  tab1Layout->setSpacing(0);
  editbar = new QToolBar(tab1);
  editbar->setIconSize(QSize(16, 16));
  Editor = new CodeEditor(nullptr, 100);
  Editor->setObjectName(QStringLiteral("Editor"));
  Editor->setFirstLineNumber(1);
  Editor->model().setHighlighter(m_formsyn.get());
  tab1Layout->addWidget(editbar);
  tab1Layout->addWidget(Editor);
  tab2 = createStringPage();
  TabSheet1 = new QWidget;
  auto* sourceLayout = new QVBoxLayout(TabSheet1);
  sourceLayout->setContentsMargins(0, 0, 0, 0);
  seditor = new CodeEditor(nullptr, 0);
  seditor->setObjectName(QStringLiteral("seditor"));
  seditor->setReadOnly(true);
  seditor->setFirstLineNumber(0);
  seditor->model().setHighlighter(m_formsyn.get());
  sourceLayout->addWidget(seditor);
  page->addTab(tab1, QStringLiteral("程式碼編輯區"));
  page->addTab(tab2, QStringLiteral("字串編輯區"));
  page->addTab(TabSheet1, QStringLiteral("原始碼內容"));

  Panel1 = createFilePanel();
  Sp = new QSplitter(Qt::Horizontal);
  Sp->setObjectName(QStringLiteral("Sp"));
  Sp->addWidget(Panel1);
  Sp->addWidget(page);
  Sp->setStretchFactor(0, 0);
  Sp->setStretchFactor(1, 1);
  Sp->setSizes({200, 800});
  Sp->setChildrenCollapsible(false);

  createActions();
  createMenus();
  createCheckPanel();
  createToolbar();
  createStatusBar();
  createSearchControls();

  // The filter box sits under the file panel, beside the status bar.
  auto* bottom = new QWidget;
  auto* bottomLayout = new QHBoxLayout(bottom);
  bottomLayout->setContentsMargins(0, 0, 0, 0);
  bottomLayout->setSpacing(2);
  bottomLayout->addWidget(FilterComboBox1);
  bottomLayout->addWidget(status, 1);
  FilterComboBox1->setFixedWidth(200);
  connect(Sp, &QSplitter::splitterMoved, this,
          [this] { FilterComboBox1->setFixedWidth(qMax(80, Panel1->width())); });

  auto* central = new QWidget;
  auto* centralLayout = new QVBoxLayout(central);
  centralLayout->setContentsMargins(0, 0, 0, 0);
  centralLayout->setSpacing(0);
  centralLayout->addWidget(Sp, 1);
  centralLayout->addWidget(bottom);
  setCentralWidget(central);

  connect(Editor, &CodeEditor::OnChange, this, &Tnewdfm::EditorChange);
  connect(seditor, &CodeEditor::OnChange, this, &Tnewdfm::EditorChange);
  connect(Editor, &CodeEditor::OnSelectionChange, this, &Tnewdfm::EditorSelectionChange);
  connect(seditor, &CodeEditor::OnSelectionChange, this, &Tnewdfm::EditorSelectionChange);
  connect(Editor, &CodeEditor::OnKeyDown, this, &Tnewdfm::EditorKeyDown);
  connect(seditor, &CodeEditor::OnKeyDown, this, &Tnewdfm::EditorKeyDown);
  connect(Editor, &CodeEditor::refused, this, [this](const QString& m) { m_dialogs.error(this, m); });
  Editor->setPopupMenu(editpop);
  seditor->setPopupMenu(editpop);

  // Fields that show no caption of their own.
  const std::pair<QWidget*, const char*> names[] = {
      {Editor, "程式碼編輯區"},     {seditor, "原始碼內容"},      {searchkey, "搜尋"},
      {no, "前往行號"},             {rpkey, "置換為"},            {ListBox1, "窗體清單"},
      {FileListBox1, "檔案清單"},   {DirectoryListBox1, "資料夾"}, {DriveComboBox1, "磁碟機"},
      {FilterComboBox1, "檔案類型"}, {dfbtn, "文件目錄"}};
  for (const auto& [widget, name] : names)
    if (widget) widget->setAccessibleName(QString::fromUtf8(name));
  nameUnnamedControls(this);

  FormCreate();
  createAuxWindows();
  restoreLayout();
}

Tnewdfm::~Tnewdfm() {
  // The editors point at the highlighters owned here.
  Editor->model().setHighlighter(nullptr);
  seditor->model().setHighlighter(nullptr);
}

void Tnewdfm::FormCreate() {
  m_settings = std::make_unique<Settings>();
  // Settings that cannot be stored are reported; the rest of the window
  // (program folder, keyboard panels) is still set up.
  if (!m_settings->isWritable())
    m_dialogs.error(this, QStringLiteral("建立主鍵 %1 失敗").arg(m_settings->keyName()));
  m_doc.clearModified();
  m_programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
  updateKeyboardPanels();
}

void Tnewdfm::FormShow() {
  Editor->model().clear();
  m_doc.clearModified();
  QPalette pal = searchkey->palette();
  pal.setColor(QPalette::Text, QColor(0x00, 0x80, 0xFF));
  searchkey->setPalette(pal);
  Tundobtn->setEnabled(false);
  Tredobtn->setEnabled(false);
  setAcceptDrops(true);
  if (!m_commandLine.isEmpty()) {
    const QString path = m_commandLine.first();
    // Opened once the window is on screen, so it appears without waiting.
    QTimer::singleShot(0, this, [this, path] { setSelectedPath(path); });
  }
}

void Tnewdfm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!m_shown) {
    m_shown = true;
    FormShow();
  }
}

void Tnewdfm::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    saveLayout();
    event->accept();
  } else {
    event->ignore();
  }
}

void Tnewdfm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Tnewdfm::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  event->acceptProposedAction();
  // Opened once the drop is over, so that no question blocks the drag source.
  QMetaObject::invokeMethod(this, [this, paths] { WMDropFiles(paths); }, Qt::QueuedConnection);
}

bool Tnewdfm::event(QEvent* event) {
  // The long part of the hint under the mouse goes to status panel 1.
  if (event->type() == QEvent::StatusTip) {
    panels[1]->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void Tnewdfm::showError(const std::exception& e) {
  m_dialogs.error(this, QString::fromUtf8(e.what()));
}

QString Tnewdfm::currentFileName() const { return QFile::decodeName(m_doc.fileName().c_str()); }

PromptAnswer Tnewdfm::askPrompt(const char* message) {
  switch (m_dialogs.confirm(this, QString::fromUtf8(message))) {
    case Dialogs::Answer::Yes:
      return PromptAnswer::Yes;
    case Dialogs::Answer::No:
      return PromptAnswer::No;
    case Dialogs::Answer::Cancel:
      break;
  }
  return PromptAnswer::Cancel;
}

bool Tnewdfm::answerSavePrompt(void (Tnewdfm::*onYes)()) {
  return m_doc.answerSwitchPrompt(askPrompt(kSavePrompt), [this, onYes] { (this->*onYes)(); });
}

}  // namespace vc
