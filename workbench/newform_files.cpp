// The file panel and loading a document by its kind.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QCheckBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editor/highlight/DfmHighlighter.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "editor/widget/CodeEditor.h"
#include "modres/Module.h"
#include "platform/Cp950.h"
#include "platform/Exception.h"
#include "platform/WholeFile.h"
#include "platform/qt/Settings.h"
#include "workbench/StringValueEditors.h"
#include "widgets/DirectoryListBox.h"
#include "widgets/DriveComboBox.h"
#include "widgets/FileListBox.h"
#include "widgets/FilterComboBox.h"
#include "widgets/WholeGlyphDelegate.h"
#include "translation/ExtensionRule.h"
#include "workbench/ListRoles.h"
#include "workbench/newform.h"

namespace vc {
namespace {

constexpr const char* kNotForm = "「%1」不是窗體資源（資料不是以 TPF0 開頭的窗體資料流），無法開啟。";

// Whether the module's RCDATA entry holds a binary form stream; an entry
// that cannot be read counts as one, and says why when it is chosen.
bool holdsForm(modres::Module& module, const std::string& name) {
  try {
    return module.readFormResource(name)->bytes().starts_with("TPF0");
  } catch (const std::exception&) {
    return true;
  }
}

QString fromCp950(std::string_view bytes) {
  std::u16string text = cp950::decode(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QToolButton* closeButton(QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setIcon(parent->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  b->setAutoRaise(true);
  b->setFixedSize(16, 16);
  b->setToolTip(QStringLiteral("關閉清單"));
  b->setStatusTip(QStringLiteral("關閉清單"));
  return b;
}

// A caption over a panel with the small close button at its right.
QHBoxLayout* panelHeader(const QString& caption, QToolButton* close) {
  auto* header = new QHBoxLayout;
  header->setContentsMargins(2, 0, 0, 0);
  header->addWidget(new QLabel(caption), 1);
  header->addWidget(close);
  return header;
}

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string readWholeFile(const QString& path) { return vc::readWholeFile(localPath(path)); }

}  // namespace

QWidget* Tnewdfm::createFilePanel() {
  auto* panel = new QWidget;
  panel->setObjectName(QStringLiteral("Panel1"));
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);

  panelClose = closeButton(panel);
  layout->addLayout(panelHeader(QStringLiteral("文件目錄"), panelClose));
  connect(panelClose, &QToolButton::clicked, this, &Tnewdfm::F2Click);

  DriveComboBox1 = new DriveComboBox;
  DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
  DirectoryListBox1 = new DirectoryListBox;
  DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
  FileListBox1 = new FileListBox;
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FilterComboBox1 = new FilterComboBox;
  FilterComboBox1->setObjectName(QStringLiteral("FilterComboBox1"));
  FilterComboBox1->setFilter(QStringLiteral(
      "所有支援(*.DFM;*.EXE;*.CPL;*.DLL;*.DRV)|*.dfm;*.exe;*.cpl;*.dll;*.txt|窗體文件(*.DFM)|*.dfm|"
      "控制面板(*.CPL)|*.cpl|可執行程式(*.EXE)|*.exe|動態連接庫(*.DLL)|*.dll|文字檔案(*.TXT)|*.txt"));

  // The form list: a header with its caption and close button over ListBox1.
  list = new QWidget;
  list->setObjectName(QStringLiteral("list"));
  auto* listLayout = new QVBoxLayout(list);
  listLayout->setContentsMargins(0, 0, 0, 0);
  listLayout->setSpacing(1);
  SpeedButton1 = closeButton(list);
  listLayout->addLayout(panelHeader(QStringLiteral("窗體清單"), SpeedButton1));
  ListBox1 = new QListWidget;
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox1->setItemDelegate(new WholeGlyphDelegate(ListBox1));
  listLayout->addWidget(ListBox1);
  list->hide();
  connect(SpeedButton1, &QToolButton::clicked, this, &Tnewdfm::SpeedButton1Click);
  formListMenu = new QMenu(ListBox1);
  openSourceFormItem = formListMenu->addAction(QStringLiteral("開啟原始窗體(&O)"), this, &Tnewdfm::openSourceFormClick);
  ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    QListWidgetItem* item = ListBox1->itemAt(pos);
    if (!item) return;
    openSourceFormItem->setData(QVariant::fromValue(ListBox1->row(item)));
    openSourceFormItem->setEnabled(!savedFormFile(item->data(kFormNameRole).toByteArray().toStdString()).isEmpty());
    formListMenu->popup(ListBox1->viewport()->mapToGlobal(pos));
  });

  sp1 = new QSplitter(Qt::Vertical);
  sp1->setObjectName(QStringLiteral("sp1"));
  sp1->addWidget(DirectoryListBox1);
  sp1->addWidget(FileListBox1);
  sp1->addWidget(list);
  sp1->setChildrenCollapsible(false);
  sp1->setSizes({150, 250, 200});
  layout->addWidget(DriveComboBox1);
  layout->addWidget(sp1, 1);

  const QString start = QDir::currentPath();
  DriveComboBox1->setDriveOf(start);
  DirectoryListBox1->setDirectory(start);
  {
    QSignalBlocker block(FileListBox1);
    FileListBox1->setMask(FilterComboBox1->mask());
    FileListBox1->setDirectory(start);
  }

  connect(FileListBox1, &FileListBox::changed, this, &Tnewdfm::FileListBox1Change);
  FileListBox1->setPressFilter([this] {
    m_filePress.start();
    return FileListBox1MouseDown();
  });
  connect(DirectoryListBox1, &DirectoryListBox::directoryChanged, this, &Tnewdfm::changeDirectory);
  connect(DriveComboBox1, &DriveComboBox::driveChanged, this, [this](const QString& root) {
    DirectoryListBox1->setDirectory(root);
    changeDirectory(DirectoryListBox1->directory());
  });
  connect(FilterComboBox1, &FilterComboBox::maskChanged, FileListBox1, &FileListBox::setMask);

  // A choice in the form list: a new selection (mouse or keyboard), or a press
  // on the entry already selected.
  connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
    if (m_fillingForms) return;
    m_formChosenByPress = QGuiApplication::mouseButtons() != Qt::NoButton;
    ListBox1Click();
  });
  connect(ListBox1, &QListWidget::itemPressed, this, [this] {
    if (m_formChosenByPress) {
      m_formChosenByPress = false;
      return;
    }
    ListBox1Click();
  });
  return panel;
}

void Tnewdfm::changeDirectory(const QString& dir) {
  QDir::setCurrent(dir);
  DriveComboBox1->setDriveOf(dir);
  if (DirectoryListBox1->directory() != QDir::cleanPath(dir)) DirectoryListBox1->setDirectory(dir);
  FileListBox1->setDirectory(dir);
  DirectoryListBox1Change();
}

void Tnewdfm::emptyFormList() {
  m_fillingForms = true;
  ListBox1->clear();
  m_fillingForms = false;
}

void Tnewdfm::SpeedButton1Click() {
  m_formListDue = false;
  list->hide();
}

void Tnewdfm::setSelectedPath(const QString& path) {
  // Resolved now: changing the panel's folder below changes the current
  // folder, against which a relative path would then mean another file.
  QFileInfo info(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
  const QString dir = info.absolutePath();
  const QString name = info.fileName();
  if (QFileInfo(dir).isDir() && QDir::cleanPath(dir) != FileListBox1->directory()) {
    QDir::setCurrent(dir);
    DriveComboBox1->setDriveOf(dir);
    DirectoryListBox1->setDirectory(dir);
    FileListBox1->setDirectory(dir);
  }
  if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) {
    FileListBox1->setMask(name);
    return;
  }
  if (!info.isFile()) {
    FileListBox1->clearSelection();
    m_dialogs.error(this, QStringLiteral("無效的文件名 - %1").arg(path));
    return;
  }
  if (!FileListBox1->matchesMask(name)) FileListBox1->setMask(name);
  if (FileListBox1->selectName(name)) return;
  // Made after the list was read: read it again. A file the list never shows
  // (a hidden one) cannot be selected either.
  FileListBox1->update();
  if (!FileListBox1->selectName(name))
    m_dialogs.error(this, QStringLiteral("無效的文件名 - %1").arg(path));
}

void Tnewdfm::O1Click() {
  if (m_openDialog.directory.isEmpty()) m_openDialog.directory = FileListBox1->directory();
  if (!m_dialogs.open(this, m_openDialog)) return;
  m_settings->setValue(QStringLiteral("OpenFolder"), m_openDialog.directory);
  // The questions come before the file panel moves: an answer opens the
  // chosen file, Cancel (or a save that did not happen) leaves all as it was.
  if (m_doc.modified() && (!answerSavePrompt(&Tnewdfm::TsavebtnClick) || m_doc.modified())) return;
  if (!mayDropPendingRows()) return;
  WMDropFiles({m_openDialog.fileName});
}

void Tnewdfm::WMDropFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  // One drop is one event: it asks the save prompt at most once and loads
  // the file even when it was already selected.
  {
    QSignalBlocker block(FileListBox1);
    setSelectedPath(paths.first());
  }
  FileListBox1Change();
}

bool Tnewdfm::FileListBox1MouseDown() {
  if (!m_doc.modified()) return true;
  // On Cancel the press is dropped with the rest of the event.
  return answerSavePrompt(&Tnewdfm::TsavebtnClick);
}

void Tnewdfm::FileListBox1Change() {
  // Only a file to load replaces the rows (a re-read list selects none).
  if (!FileListBox1->fileName().isEmpty() && !mayDropPendingRows()) {
    reselectShownFile();
    return;
  }
  emptyFormList();
  if (m_doc.modified()) {
    answerSavePrompt(&Tnewdfm::TsavebtnClick);
    return;
  }
  const QString path = FileListBox1->fileName();
  if (path.isEmpty()) return;
  try {
    switch (documentKind(QDir::toNativeSeparators(path).toStdString())) {
      case DocumentKind::Module:
        loadModule(path);
        break;
      case DocumentKind::Text:
        loadTextFile(path);
        break;
      case DocumentKind::FormFile:
        loadFormFile(path);
        break;
      case DocumentKind::Refused:
        m_dialogs.information(this, QString::fromUtf8(kUnsupported));
        break;
    }
  } catch (const std::exception& e) {
    showError(e);
  }
}

void Tnewdfm::loadModule(const QString& path) {
  m_formListDue = false;
  if (!m_doc.openModule(localPath(path))) {
    m_dialogs.information(this, QString::fromUtf8(kCannotLoadModule));
    return;
  }
  loadSourceCodePage();
  emptyFormList();
  std::vector<std::string> names;
  const bool listed = m_doc.module()->listFormNames(names).ok();
  m_fillingForms = true;
  for (const std::string& name : names) {
    auto* item = new QListWidgetItem(fromCp950(name), ListBox1);
    item->setData(kFormNameRole, QByteArray::fromStdString(name));
    if (!holdsForm(*m_doc.module(), name)) {
      item->setData(kNotFormRole, true);
      item->setForeground(ListBox1->palette().color(QPalette::Disabled, QPalette::Text));
      item->setToolTip(QStringLiteral("不是窗體資源"));
    }
  }
  const bool resourceStrings = !m_doc.module()->stringTables().empty();
  if (resourceStrings)
    (new QListWidgetItem(QString::fromUtf8(kResourceStringsEntry), ListBox1))->setData(kResourceStringsRole, true);
  m_fillingForms = false;
  markTranslatedForms();
  if (listed || resourceStrings) showFormList();
  Editor->setReadOnly(false);
  Editor->model().clear();
  seditor->model().clear();
  Editor->model().setHighlighter(m_formsyn.get());
  syncDocumentButtons();
  titleFor(path);
  // A module is opened to be translated: its string rows are what matters.
  stringsOnly->setChecked(true);
  getstringClick();
}

void Tnewdfm::showDocument(const std::string& text, bool formText) {
  Editor->setReadOnly(false);
  seditor->model().clear();
  Editor->model().loadFromBytes(text);
  seditor->model().setText(Editor->model().text());
  Highlighter* h = formText ? static_cast<Highlighter*>(m_formsyn.get()) : m_htmlsyn.get();
  seditor->model().setHighlighter(h);
  Editor->model().setHighlighter(h);
  page->setCurrentWidget(tab1);
  syncDocumentButtons();
}

void Tnewdfm::loadTextFile(const QString& path) {
  std::string bytes = readWholeFile(path);
  showDocument(bytes, false);
  m_doc.openText(localPath(path));
  titleFor(path);
  valueEditors->closeAll();
  m_fillingStrings = true;
  stringlist->setEnabled(false);
  stringlist->clear();
  m_fillingStrings = false;
  page->setTabVisible(page->indexOf(tab2), false);
}

void Tnewdfm::loadFormFile(const QString& path) {
  showDocument(m_doc.openFormFile(localPath(path), readWholeFile(path)), true);
  titleFor(path);
  loadSourceCodePage();
  getstringClick();
}

void Tnewdfm::markTranslatedForms() {
  m_fillingForms = true;
  for (int i = 0; i < ListBox1->count(); ++i) {
    QListWidgetItem* item = ListBox1->item(i);
    if (item->data(kResourceStringsRole).toBool()) continue;
    const std::string name = item->data(kFormNameRole).toByteArray().toStdString();
    const bool translated = !savedFormFile(name).isEmpty();
    item->setText(fromCp950(name) + (translated ? QString::fromUtf8(kTranslatedMark) : QString()));
  }
  m_fillingForms = false;
}

void Tnewdfm::openSourceFormClick() {
  const int row = openSourceFormItem->data().toInt();
  if (row < 0 || row >= ListBox1->count()) return;
  m_sourceFormWanted = true;
  if (ListBox1->currentRow() == row) {
    ListBox1Click();
  } else {
    ListBox1->setCurrentRow(row);  // the choice follows from the selection
  }
  m_sourceFormWanted = false;
}

void Tnewdfm::ListBox1Click() {
  // An entry that holds no form is not opened: nothing to ask, the form
  // shown stays.
  if (QListWidgetItem* chosen = ListBox1->currentItem();
      chosen && chosen->isSelected() && chosen->data(kNotFormRole).toBool()) {
    reselectShownForm();
    m_dialogs.information(this, QString::fromUtf8(kNotForm).arg(chosen->text()));
    return;
  }
  if (!mayDropPendingRows()) {
    reselectShownForm();
    return;
  }
  if (m_doc.modified()) {
    answerSavePrompt(&Tnewdfm::A4Click);
    return;
  }
  QList<QListWidgetItem*> selected = ListBox1->selectedItems();
  if (selected.isEmpty() || !m_doc.module()) return;
  if (selected.first()->data(kResourceStringsRole).toBool()) {
    showResourceStrings();
    return;
  }
  try {
    const std::string name = selected.first()->data(kFormNameRole).toByteArray().toStdString();
    // A translation saved for the form is what the translator goes on with.
    const QString saved = m_sourceFormWanted ? QString() : savedFormFile(name);
    if (!saved.isEmpty()) {
      showDocument(m_doc.openSavedForm(name, localPath(saved), readWholeFile(saved)), true);
      titleFor(QFile::decodeName(m_doc.modulePath().c_str()), QFileInfo(saved).fileName());
    } else {
      showDocument(m_doc.openForm(name), true);
      titleFor(QFile::decodeName(m_doc.modulePath().c_str()), fromCp950(name));
    }
    getstringClick();
  } catch (const std::exception& e) {
    showError(e);
  }
}

void Tnewdfm::DirectoryListBox1Change() {
  // Values the user chose to keep stay with their rows and their text.
  if (pendingStringRows() > 0) return;
  // With the save prompt cancelled the unsaved text stays where it is.
  if (FileListBox1->fileName().isEmpty() && !m_doc.modified()) {
    Editor->model().clear();
    m_doc.clear();
    titleFor(QString());
  }
  emptyFormList();
  valueEditors->closeAll();
  m_fillingStrings = true;
  stringlist->clear();
  m_fillingStrings = false;
}

void Tnewdfm::reselectShownFile() {
  const QString shown = QFile::decodeName(m_doc.fileName().c_str());
  QSignalBlocker block(FileListBox1);
  const QFileInfo info(shown);
  if (shown.isEmpty() || QDir::cleanPath(info.absolutePath()) != FileListBox1->directory() ||
      !FileListBox1->selectName(info.fileName()))
    FileListBox1->clearSelection();
}

void Tnewdfm::reselectShownForm() {
  m_fillingForms = true;
  ListBox1->clearSelection();
  for (int i = 0; i < ListBox1->count(); ++i)
    if (!m_doc.formName().empty() && ListBox1->item(i)->data(kFormNameRole).toByteArray().toStdString() == m_doc.formName())
      ListBox1->setCurrentRow(i);
  m_fillingForms = false;
}

}  // namespace vc
