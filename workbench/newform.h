#pragma once
// The main window `Tnewdfm`: the file panel, the code editor, string table and
// source pages, menus, toolbar and status bar. It shows the workbench
// document (`WorkbenchDocument`: what is loaded, the unsaved-changes and
// string-table-changed states, the open module, where a save goes) and asks
// it. Its members are split by concern over newform*.cpp.
#include <QMainWindow>
#include <QElapsedTimer>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/model/SearchOptions.h"
#include "platform/qt/Dialogs.h"
#include "translation/SourceCodePage.h"
#include "workbench/core/WorkbenchDocument.h"

class QAction;
class QCheckBox;
class QDockWidget;
class QIcon;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vc {

class CodeEditor;
class DfmHighlighter;
class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class FilterComboBox;
class HelpWindow;
class HtmlHighlighter;
class SearchOptionsPanel;
class TAboutForm;
class Ttadayform;
class Settings;
class StringValueEditors;
class ResourceStringTranslation;

// The mark of a string table row whose stored value has a problem.
QIcon problemIcon();

// One row of the string table as later pages read and change it.
struct StringRow {
  int lineNumber = 0;     // 1-based line of `Editor` at extraction time
  std::string name;       // CP950
  std::string value;      // CP950
  bool hasModified = false;
  std::string modified;   // CP950, when hasModified
  bool checked = false;
  bool lineRemoved = false;  // a write-back removed the row's line
  bool decoded = false;  // modified is the text of a quoted string, not form text
  bool stringValue = false;  // the value in the text is a string: a row to translate
  bool writtenBack = false;  // its value went into the text and has not changed since
};

class Tnewdfm : public QMainWindow {
  Q_OBJECT

 public:
  // dialogs answers every question the window asks; commandLine holds the
  // arguments after the program's name (the first one is opened when shown).
  Tnewdfm(Dialogs& dialogs, QStringList commandLine, QWidget* parent = nullptr);
  ~Tnewdfm() override;

  static constexpr const char* kCaption = "Delphi 窗體文件編輯輔助程式新界面";
  static constexpr const char* kSavePrompt = "檔案已經修改，您要儲存變更嗎？";
  static constexpr const char* kLeavePrompt = "資源清單裡面的資源已經修改，您真的要離開嗎？？";
  static constexpr const char* kCannotLoadModule =
      "無法載入檔案，可能檔案不是使用EDLPHI編寫的，或者資源已經損壞！";
  static constexpr const char* kDropRowsPrompt =
      "字串編輯區有 %1 列修改尚未回寫，載入其他內容會捨棄這些修改。要捨棄嗎？";
  static constexpr const char* kUnsupported =
      "無法開啟不支援的文件！目前支援的文件為：DFM,EXE,TXT,CPL,DLL";
  // The entry after the forms of a module that has string tables.
  static constexpr const char* kResourceStringsEntry = "字串資源";

  // ---- The workbench document.
  const WorkbenchDocument& document() const { return m_doc; }
  bool modified() const { return m_doc.modified(); }
  bool stringTableChanged() const { return m_doc.stringTableChanged(); }
  QString currentFileName() const;
  bool hasOpenModule() const { return m_doc.module() != nullptr; }
  QString programFolder() const { return m_programFolder; }
  Settings* settings() const { return m_settings.get(); }

  // ---- Components, named as the window description names them.
  CodeEditor* Editor = nullptr;
  CodeEditor* seditor = nullptr;
  QTreeWidget* stringlist = nullptr;
  QTabWidget* page = nullptr;
  QWidget* tab1 = nullptr;
  QWidget* tab2 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QToolBar* TT1 = nullptr;
  QToolBar* rptoolbar = nullptr;
  QToolBar* editbar = nullptr;  // the editor page's small toolbar
  QWidget* Panel1 = nullptr;
  QSplitter* Sp = nullptr;
  QWidget* list = nullptr;
  QSplitter* sp1 = nullptr;
  QListWidget* ListBox1 = nullptr;
  DriveComboBox* DriveComboBox1 = nullptr;
  DirectoryListBox* DirectoryListBox1 = nullptr;
  FileListBox* FileListBox1 = nullptr;
  FilterComboBox* FilterComboBox1 = nullptr;
  QToolButton* SpeedButton1 = nullptr;   // close button of the form list
  QToolButton* panelClose = nullptr;     // close button of the file panel
  QStatusBar* status = nullptr;
  QLabel* panels[6] = {};
  QWidget* Panel7 = nullptr;
  QLabel* searchLabel = nullptr;
  QLabel* gotoLabel = nullptr;
  QLineEdit* searchkey = nullptr;
  QLineEdit* no = nullptr;
  QToolButton *Tsavebtn = nullptr, *ViewAsForm = nullptr, *searchnext = nullptr,
              *searchbtn = nullptr, *rpbtn = nullptr, *Tundobtn = nullptr, *Tredobtn = nullptr,
              *dfbtn = nullptr, *aboutbtn = nullptr, *helpbtn = nullptr, *showtext = nullptr;
  QToolButton* getstring = nullptr;
  QAction *S1 = nullptr, *A4 = nullptr, *X1 = nullptr, *T2 = nullptr, *R2 = nullptr,
          *F2 = nullptr, *A3 = nullptr, *Y1 = nullptr, *H2 = nullptr, *D2 = nullptr,
          *A1 = nullptr, *community = nullptr;
  QAction* O1 = nullptr;  // 開啟舊檔
  QAction *undoItem = nullptr, *redoItem = nullptr, *cutItem = nullptr, *copyItem = nullptr,
          *pasteItem = nullptr, *deleteItem = nullptr, *selectAllItem = nullptr,
          *searchNextItem = nullptr;
  QMenu* editpop = nullptr;
  QMenu* PopupMenu1 = nullptr;  // the string table's context menu
  QAction *D3 = nullptr, *B1 = nullptr, *A5 = nullptr;
  QCheckBox* stringsOnly = nullptr;  // "只顯示字串": the table shows the string rows only
  QLabel* translatedCount = nullptr;  // status bar: "已翻譯 N / M" of the string rows
  StringValueEditors* valueEditors = nullptr;  // the panels over the string table
  QAction *poExportItem = nullptr, *poApplyItem = nullptr;  // the translation exchange
  // A translated copy of the open module from the form files saved for it,
  // and the folder those files are in (asked once, kept per module).
  QAction *translatedModuleItem = nullptr, *satelliteItem = nullptr, *formFolderItem = nullptr;
  // The form list's menu: the module's own form in place of its saved translation.
  QMenu* formListMenu = nullptr;
  QAction* openSourceFormItem = nullptr;
  static constexpr const char* kTranslatedMark = "（已翻譯）";
  // The auxiliary windows, created with the main window and kept.
  Ttadayform* tadayform = nullptr;
  TAboutForm* AboutForm = nullptr;
  HelpWindow* helpWindow = nullptr;

  // ---- Handlers.
  void FormCreate();
  void FormShow();
  bool FormCloseQuery();
  void TsavebtnClick();
  void A4Click();
  void FileListBox1Change();
  // Returns false when the press is to be dropped (the save prompt was cancelled).
  bool FileListBox1MouseDown();
  void ListBox1Click();
  void DirectoryListBox1Change();
  void SpeedButton1Click();
  void getstringClick();
  void stringlistChange();
  void stringlistMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
  void D3Click();
  void B1Click();
  void A5Click();
  void EditorChange();
  void EditorSelectionChange();
  void EditorKeyDown();
  void T2Click();
  void R2Click();
  void F2Click();
  void A3Click();
  void H2Click();
  void D2Click();
  void A1Click();
  void communityClick();
  void TundobtnClick();
  void TredobtnClick();
  // newform_preview.cpp: the form text shown as a live window (F2).
  void ViewAsFormClick();
  // Files dropped on the window: the first one is opened, even when selected.
  void WMDropFiles(const QStringList& paths);
  // Selects path in the file panel as a command-line or dropped file.
  void setSelectedPath(const QString& path);
  // The open command: the file chosen in the open dialog is opened as a
  // dropped file is.
  void O1Click();

  // ---- The string table for the value editors and write-back.
  int stringRowCount() const;
  StringRow stringRow(int index) const;
  int selectedStringRow() const;  // -1 when none
  // A value stored by an editor counts as pending (ticked, not yet written
  // back) until a write-back of its row.
  void setStringModified(int index, const std::string& value, bool decoded = false);
  // The row has no modified value again.
  void clearStringModified(int index);
  int pendingStringRows() const;
  void setStringChecked(int index, bool checked);
  void deleteStringRow(int index);

  // ---- The open module's resource strings on the string page
  // (newform_resstrings.cpp): one row per string, its translation edited
  // with the string editor, kept in STRINGTABLE.po in the module's form
  // folder.
  bool resourceStringsShown() const { return m_doc.shown() == WorkbenchDocument::Shown::ResourceStrings; }
  // The row's original and translation as shown ("\n" for line breaks).
  QString resourceStringOriginal(int index) const;
  QString resourceStringTranslation(int index) const;
  // Takes what the string editor holds as the row's translation.
  void setResourceStringTranslation(int index, const QString& text);

  // ---- The translation check (newform_checks.cpp): "檢查翻譯(&K)" checks the
  // open module's translation (the form files saved for it and its resource
  // strings) and lists the problems in a dockable panel; a double click on
  // one opens its form and selects its row. The string table marks a row
  // whose stored value has a problem as soon as it is stored.
  QAction* checkItem = nullptr;
  QDockWidget* checkDock = nullptr;
  QTreeWidget* checkList = nullptr;  // form, component, check, message
  static constexpr const char* kNoProblems = "翻譯檢查：沒有發現問題";
  void checkTranslationClick();
  // Opens the form (or the resource strings) of a problem of the list and
  // selects its row on the string page.
  void openCheckProblem(QTreeWidgetItem* item);

  // ---- The source code page of 8-bit strings (newform_codepage.cpp): View
  // menu "來源字碼頁", kept per module; 0 is "自動" (950).
  QMenu* sourceCodePageMenu = nullptr;
  QPushButton* toTraditional = nullptr;  // "簡轉繁" below the string table
  SourceCodePageOptions sourceCodePage() const;
  void setSourceCodePage(int codePage);
  // The source code page of a row's line, and its whole original text read in it.
  int stringRowCodePage(int index) const;
  QString stringRowSource(int index) const;
  // Fills 修改後字串 of every string row whose source holds Han characters
  // with its s2twp conversion and ticks it.
  void toTraditionalClick();

  // ---- Search, replace, go to line and bookmarks (newform_search.cpp).
  SearchOptionsPanel* selpan = nullptr;
  QLineEdit* rpkey = nullptr;
  QToolButton *rpnext = nullptr, *ToolbarButton975 = nullptr;
  static constexpr const char* kNotFound = "對不起，沒有找到所搜尋的內容!";
  static constexpr const char* kNothingToReplace = "對不起，沒有找到所要置換的內容！";
  void searchnextClick();
  void rpnextClick();
  void ToolbarButton975Click();
  void searchbtnClick();
  void noEnter();  // go to the line typed in `no`
  // One handler for the ten items of a kind; each item holds its digit as data.
  void SetBookmarkClick(QAction* item);
  void GotoBookmarkClick(QAction* item);
  SearchOptions searchOptions() const;

  // The save command; the close check needs to know how it ended.
  SaveOutcome save();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // newform_shell.cpp
  void createActions();
  void createMenus();
  // The edit commands of the Edit menu, the editor's popup menu and the
  // editor page's toolbar, all from one table.
  void createEditCommands(QMenu* edit);
  void createToolbar();
  void createStatusBar();
  void setLabelledLayout(bool labelled, bool initial);
  void updateKeyboardPanels();
  void markSaved(const SaveRoute& route);
  void syncUndoButtons();
  // After a load: the buttons show the state of the document just loaded.
  void syncDocumentButtons();
  void createAuxWindows();

  // newform_files.cpp
  QWidget* createFilePanel();
  void changeDirectory(const QString& dir);
  void loadModule(const QString& path);
  void loadTextFile(const QString& path);
  void loadFormFile(const QString& path);
  void showDocument(const std::string& text, bool formText);
  void emptyFormList();

  // newform_layout.cpp: the window's size, splitters and panels kept in the
  // settings between runs, the form list's room, the title.
  void restoreLayout();
  void saveLayout();
  void showFormList();
  void placeFormList();
  // The title names the file shown and, from a module, its form.
  void titleFor(const QString& file, const QString& form = QString());

  // newform_save.cpp
  void write(const SaveRoute& route, const QString& path);
  void refuseModuleTarget(const QString& path) const;

  // newform_search.cpp
  void createSearchControls();
  void addBookmarkItems(QMenu* setMenu, QMenu* gotoMenu, const QString& prefix);
  // The field's text as CP950 bytes; reports text that has none.
  std::optional<std::string> searchBytes(const QLineEdit* field);
  // rpnext and "全部置換(&A)": how is ReplaceOne or ReplaceAll.
  void replaceMatches(SearchOptions how, const char* notFound);

  // newform_strings.cpp
  QWidget* createStringPage();
  // Writes the rows back into `Editor` as one undoable change; returns the
  // number written and tells the user about the rest.
  int writeBackRows(const QList<int>& rows, int* skipped);
  // The filter "只顯示字串" applied to every row; the selection stays on a shown row.
  void applyStringFilter();
  // The first column's mark of a row (untranslated, modified, written back,
  // or the problems of its stored value) and the status bar's count.
  void showRowState(QTreeWidgetItem* item);
  void updateTranslatedCount();

  // newform_checks.cpp
  void createCheckPanel();
  // The problems of a string row's stored value against the text it
  // replaces (one message a line); empty when none or not a string row.
  QString rowProblems(int index) const;
  // The captions of the shown form that share the hotkey of the row's
  // translation (their own or their stored texts), each as a message.
  std::vector<std::string> hotkeyClashes(int index, const std::string& translation) const;

  // newform_po.cpp
  void createPoItems(QMenu* file);
  void poExportClick();
  void poApplyClick();
  void translatedModuleClick();
  void satelliteClick();
  void writeTranslation(bool satellite);
  // Asks for the module's form folder and keeps it; empty when cancelled.
  QString chooseFormFolder();
  // The module's form folder as kept, without asking; empty when none is.
  QString knownFormFolder() const;
  // The form file saved for a form of the open module in its form folder
  // (named after the form, any case); empty when there is none.
  QString savedFormFile(const std::string& form) const;
  // Where a form taken from the module is saved: <form folder>/<FORM>.dfm,
  // the module's own folder while no form folder is known.
  QString proposedFormFile() const;
  // After a form of the module was saved as path: a file named after the
  // form makes its folder the form folder when none is kept yet, and the
  // form list marks the forms that have a saved translation.
  void formSavedAs(const QString& path);
  void markTranslatedForms();
  void openSourceFormClick();  // the form list's "開啟原始窗體"

  // newform_codepage.cpp
  void createSourceCodePageMenu(QMenu* view);
  QString sourceCodePageSubject() const;  // the module, else the file shown
  // The choice kept for the subject, and the guess for 自動 from the
  // module's forms (else from the text shown).
  void loadSourceCodePage();
  void syncSourceCodePageMenu();
  void computeLineCodePages();
  // The source column and tips after a change of the code page.
  void refreshSourceColumn();

  // newform_resstrings.cpp
  void showResourceStrings();
  // Saves the resource-string translations (asking for the form folder
  // when none is kept yet).
  SaveOutcome saveResourceStrings();
  // The string page's columns and menu as the forms have them.
  void restoreStringColumns();

  // Shows the message of an error raised by a command.
  void showError(const std::exception& e);
  // A confirmation with Yes, No and Cancel.
  PromptAnswer askPrompt(const char* message);
  // Before the string rows are replaced: pending values are given up only
  // when the user says so. True when the rows may go.
  bool mayDropPendingRows();
  // The file list and the form list show again the document that is shown.
  void reselectShownFile();
  void reselectShownForm();
  // The save prompt before a switch of document: Yes runs onYes, No clears
  // the unsaved-changes state; false when the user cancelled.
  bool answerSavePrompt(void (Tnewdfm::*onYes)());

  Dialogs& m_dialogs;
  QStringList m_commandLine;
  std::unique_ptr<Settings> m_settings;
  std::unique_ptr<DfmHighlighter> m_formsyn;
  std::unique_ptr<HtmlHighlighter> m_htmlsyn;
  WorkbenchDocument m_doc;
  std::unique_ptr<ResourceStringTranslation> m_resourceStrings;  // of the open module, once shown
  SaveDialogState m_saveDialog;
  FileDialogState m_openDialog;
  QElapsedTimer m_filePress;  // since the last press on the file list
  bool m_formListDue = false;  // the form list appears once a double click is over
  QString m_programFolder;
  bool m_shown = false;
  bool m_fillingStrings = false;  // the string table is refilled by code
  int m_sourceCodePageChoice = 0;       // 0: 自動
  int m_guessedCodePage = 950;          // 自動: what the module's (or the file's) fonts name
  std::vector<int> m_lineCodePages;     // of Editor's lines when the table was filled
  bool m_fillingForms = false;    // the form list is refilled by code
  bool m_formChosenByPress = false;
  bool m_sourceFormWanted = false;  // the next form choice opens the module's own form
};

}  // namespace vc
