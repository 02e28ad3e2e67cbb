// The translation exchange in the File menu: the open module's strings out as
// a gettext template, a translation back as form files in a folder, and a
// translated copy of the module made from the form files saved for it.
#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <optional>

#include "modres/ModuleWriter.h"
#include "platform/qt/Settings.h"
#include "translation/FormFileNames.h"
#include "translation/PoExchange.h"
#include "translation/ResourceStringTranslation.h"
#include "translation/TranslatedModule.h"
#include "workbench/newform.h"

namespace vc {

namespace {

// Shown when reading or writing the forms takes a while (modules with many
// forms); it cannot be cancelled half-way, so a folder is never half-written
// by choice.
class PoProgress {
 public:
  PoProgress(QWidget* parent, const QString& label) : m_dialog(label, QString(), 0, 1, parent) {
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(400);
    m_dialog.setCancelButton(nullptr);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
  }
  // Closed before anything else is shown: a box left over a message would
  // hide it and keep its button from the mouse.
  ~PoProgress() { m_dialog.close(); }
  ExchangeProgress step(const QString& label) {
    return [this, label](std::size_t done, std::size_t total) {
      m_dialog.setLabelText(label);
      m_dialog.setMaximum(static_cast<int>(total));
      m_dialog.setValue(static_cast<int>(done));
    };
  }

 private:
  QProgressDialog m_dialog;
};

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The first lines of a report, and how many more there are.
QString reportLines(const std::vector<std::string>& lines) {
  constexpr std::size_t kShown = 15;
  QString text;
  for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) text += "\n" + QString::fromStdString(lines[i]);
  if (lines.size() > kShown) text += QStringLiteral("\n（還有 %1 項）").arg(lines.size() - kShown);
  return text;
}

}  // namespace

void Tnewdfm::createPoItems(QMenu* file) {
  poExportItem = file->addAction(QStringLiteral("匯出字串為 PO 範本(&P)..."));
  poApplyItem = file->addAction(QStringLiteral("套用 PO 翻譯(&L)..."));
  translatedModuleItem = file->addAction(QStringLiteral("寫出翻譯後的模組(&T)..."));
  // &D: &L is the PO translation's.
  satelliteItem = file->addAction(QStringLiteral("寫出語系資源檔 (.CHT)(&D)..."));
  formFolderItem = file->addAction(QStringLiteral("選擇窗體文件資料夾(&G)..."));
  connect(file, &QMenu::aboutToShow, this, [this] {
    for (QAction* item : {poExportItem, poApplyItem, translatedModuleItem, satelliteItem, formFolderItem})
      item->setEnabled(hasOpenModule());
  });
  connect(poExportItem, &QAction::triggered, this, &Tnewdfm::poExportClick);
  connect(poApplyItem, &QAction::triggered, this, &Tnewdfm::poApplyClick);
  connect(translatedModuleItem, &QAction::triggered, this, &Tnewdfm::translatedModuleClick);
  connect(satelliteItem, &QAction::triggered, this, &Tnewdfm::satelliteClick);
  connect(formFolderItem, &QAction::triggered, this, [this] { chooseFormFolder(); });
}

void Tnewdfm::poExportClick() {
  if (!hasOpenModule()) return;
  const QFileInfo module(QFile::decodeName(m_doc.modulePath().c_str()));
  SaveDialogState state;
  state.filter = QStringLiteral("gettext 範本 (*.pot)|*.pot|PO 翻譯檔 (*.po)|*.po");
  state.defaultExt = QStringLiteral("pot");
  state.directory = module.absolutePath();
  state.fileName = module.completeBaseName() + QStringLiteral(".pot");
  if (!m_dialogs.save(this, state)) return;
  try {
    std::vector<PoEntry> entries;
    std::vector<std::string> unreadable;
    {
      PoProgress progress(this, QString());
      ExchangeSource source = openExchangeSource(m_doc.modulePath(), progress.step(QStringLiteral("正在讀取窗體...")), sourceCodePage());
      entries = templateEntries(source);
      for (const ExchangeForm& form : source.forms)
        if (!form.read) unreadable.push_back(form.name + ": " + form.read.reason());
      unreadable.insert(unreadable.end(), source.resourceStringErrors.begin(), source.resourceStringErrors.end());
      writePoTemplate(localPath(state.fileName), localPath(module.fileName()), entries);
    }
    m_dialogs.information(this, QStringLiteral("已匯出 %1 個字串到 %2").arg(entries.size()).arg(state.fileName) +
                                    reportLines(unreadable));
  } catch (const std::exception& e) {
    showError(e);
  }
}

void Tnewdfm::poApplyClick() {
  if (!hasOpenModule()) return;
  const QString po = m_dialogs.openFile(this, QStringLiteral("套用 PO 翻譯"),
                                        QStringLiteral("PO 翻譯檔 (*.po)|*.po|全部檔案 (*.*)|*.*"));
  if (po.isEmpty()) return;
  const QString dir = m_dialogs.folder(this, QStringLiteral("翻譯後的窗體文件寫入資料夾"), QFileInfo(po).absolutePath());
  if (dir.isEmpty()) return;
  try {
    // A PO file that cannot be read stops everything before any form is written.
    std::vector<PoEntry> entries = readPoFile(localPath(po));
    ApplyResult result;
    {
      PoProgress progress(this, QString());
      ExchangeSource source = openExchangeSource(m_doc.modulePath(), progress.step(QStringLiteral("正在讀取窗體...")), sourceCodePage());
      result = applyTranslation(source, entries, localPath(QFileInfo(po).fileName()));
      writeTranslatedForms(result, localPath(dir), progress.step(QStringLiteral("正在寫入窗體...")));
      // The resource strings go beside the form files, where the translated
      // copy takes them from.
      if (!result.resourceStrings.empty()) {
        ResourceStringTranslation strings(*m_doc.module(), m_doc.modulePath());
        strings.load(localPath(po));
        strings.save(localPath(QDir(dir).filePath(QString::fromLatin1(kStringTableFile))),
                     localPath(QFileInfo(QFile::decodeName(m_doc.modulePath().c_str())).fileName()));
      }
    }
    QString text = QStringLiteral("已寫入 %1 個窗體文件到 %2，套用 %3 個翻譯。").arg(result.forms.size()).arg(dir).arg(result.applied);
    if (!result.resourceStrings.empty())
      text += QStringLiteral("\n%1 個字串資源的翻譯存成 %2，「寫出翻譯後的模組」會把它們寫進複本。")
                  .arg(result.resourceStrings.size())
                  .arg(QString::fromLatin1(kStringTableFile));
    m_dialogs.information(this, text + reportLines(result.problems));
  } catch (const std::exception& e) {
    showError(e);
  }
}

namespace {

// The settings value that remembers the form folder of a module, by the
// module's full path.
QString formFolderKey(const QString& modulePath) {
  const QByteArray path = QFileInfo(modulePath).absoluteFilePath().toUtf8();
  return QStringLiteral("FormFolder-") +
         QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16));
}

}  // namespace

QString Tnewdfm::knownFormFolder() const {
  if (!hasOpenModule()) return {};
  const QString folder = m_settings->value(formFolderKey(QFile::decodeName(m_doc.modulePath().c_str())));
  return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

QString Tnewdfm::savedFormFile(const std::string& form) const {
  const QString folder = knownFormFolder();
  if (folder.isEmpty()) return {};
  const QString stem = QString::fromStdString(safeFileStem(form));
  for (const std::string& file : formFilesIn(localPath(folder))) {
    const QString path = QFile::decodeName(file.c_str());
    if (QFileInfo(path).completeBaseName().compare(stem, Qt::CaseInsensitive) == 0) return path;
  }
  return {};
}

QString Tnewdfm::proposedFormFile() const {
  QString folder = knownFormFolder();
  if (folder.isEmpty()) folder = QFileInfo(QFile::decodeName(m_doc.modulePath().c_str())).absolutePath();
  return QDir(folder).filePath(QString::fromStdString(safeFileStem(m_doc.formName())) + QStringLiteral(".dfm"));
}

void Tnewdfm::formSavedAs(const QString& path) {
  if (!hasOpenModule() || m_doc.formName().empty()) return;
  const QFileInfo saved(path);
  const QString stem = QString::fromStdString(safeFileStem(m_doc.formName()));
  if (saved.completeBaseName().compare(stem, Qt::CaseInsensitive) != 0 ||
      saved.suffix().compare(QStringLiteral("dfm"), Qt::CaseInsensitive) != 0)
    return;
  if (knownFormFolder().isEmpty())
    m_settings->setValue(formFolderKey(QFile::decodeName(m_doc.modulePath().c_str())), saved.absolutePath());
  markTranslatedForms();
}

QString Tnewdfm::chooseFormFolder() {
  if (!hasOpenModule()) return {};
  const QString modulePath = QFile::decodeName(m_doc.modulePath().c_str());
  QString start = m_settings->value(formFolderKey(modulePath));
  // Where the user last saved a form is where its siblings most likely are.
  if (start.isEmpty() && !m_saveDialog.fileName.isEmpty()) start = QFileInfo(m_saveDialog.fileName).absolutePath();
  if (start.isEmpty()) start = QFileInfo(modulePath).absolutePath();
  const QString folder = m_dialogs.folder(this, QStringLiteral("窗體文件資料夾（檔名為窗體名稱，如 TFORM1.dfm）"), start);
  if (!folder.isEmpty()) {
    m_settings->setValue(formFolderKey(modulePath), folder);
    markTranslatedForms();
  }
  return folder;
}

void Tnewdfm::translatedModuleClick() { writeTranslation(false); }

void Tnewdfm::satelliteClick() { writeTranslation(true); }

// The translated copy of the module, or its satellite resource DLL, from the
// form files saved for it.
void Tnewdfm::writeTranslation(bool satellite) {
  if (!hasOpenModule()) return;
  const QString what = satellite ? QStringLiteral("語系資源檔") : QStringLiteral("翻譯後的模組");
  // The copy is made from saved files: unsaved changes would be left out.
  if (m_doc.modified()) {
    switch (askPrompt(kSavePrompt)) {
      case PromptAnswer::Cancel:
        return;
      case PromptAnswer::Yes:
        if (save() != SaveOutcome::Saved) return;
        break;
      case PromptAnswer::No:
        break;
    }
  }
  const QString modulePath = QFile::decodeName(m_doc.modulePath().c_str());
  QString folder = knownFormFolder();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = chooseFormFolder();
  if (folder.isEmpty()) return;

  const QFileInfo module(modulePath);
  SaveDialogState state;
  // The program's runtime looks for NAME.CHT beside NAME.exe.
  const QString suffix = satellite ? QString::fromLatin1(kTraditionalChineseLocale) : module.suffix();
  state.filter = satellite ? QStringLiteral("繁體中文語系資源檔 (*.%1)|*.%1|全部檔案 (*.*)|*").arg(suffix)
                           : QStringLiteral("模組 (*.%1)|*.%1|全部檔案 (*.*)|*").arg(suffix);
  state.defaultExt = suffix;
  state.directory = module.absolutePath();
  state.fileName = satellite ? QFile::decodeName(satelliteFileName(localPath(module.fileName())).c_str())
                             : module.completeBaseName() + QStringLiteral("_譯本.") + suffix;
  if (!m_dialogs.save(this, state)) return;
  const QString target = state.fileName;
  if (isSameFile(m_doc.modulePath(), localPath(target))) {
    m_dialogs.error(this, QStringLiteral("不能寫入開啟中的模組 %1，請另選檔名。").arg(QDir::toNativeSeparators(target)));
    return;
  }
  try {
    FormFileReplacements forms;
    WrittenCopy written;
    // The resource strings translated in the folder's STRINGTABLE.po.
    ApplyResult strings;
    const QString po = QDir(folder).filePath(QString::fromLatin1(kStringTableFile));
    if (QFileInfo(po).isFile()) strings = resourceStringsOfFile(*m_doc.module(), m_doc.modulePath(), localPath(po));
    {
      std::optional<PoProgress> progress(std::in_place, this, QString());
      forms = readFormFileReplacements(*m_doc.module(), formFilesIn(localPath(folder)), false,
                                       progress->step(QStringLiteral("正在讀取窗體文件...")));
      if (forms.forms.empty() && strings.resourceStrings.empty()) {
        progress.reset();
        m_dialogs.information(this, QStringLiteral("資料夾 %1 裡沒有這個模組的窗體文件。請先把窗體存成以窗體名稱命名的 .dfm 檔（如 TFORM1.dfm）。")
                                        .arg(QDir::toNativeSeparators(folder)));
        return;
      }
      ExchangeProgress writing = progress->step(QStringLiteral("正在寫出%1...").arg(what));
      writing(0, 1);
      written = satellite ? writeSatellite(m_doc.modulePath(), forms.forms, localPath(target), strings.resourceStrings)
                          : writeModuleCopy(m_doc.modulePath(), forms.forms, localPath(target), strings.resourceStrings);
      writing(1, 1);
    }
    std::vector<std::string> lines;
    for (const ModuleFormReplacement& f : forms.forms) lines.push_back(f.form);
    QString text = QStringLiteral("已寫出%1 %2，替換了 %3 個窗體：")
                       .arg(what, QDir::toNativeSeparators(target))
                       .arg(forms.forms.size()) +
                   reportLines(lines);
    if (!strings.resourceStrings.empty())
      text += QStringLiteral("\n\n寫入 %1 個字串資源的翻譯（%2）。").arg(strings.resourceStrings.size()).arg(QString::fromLatin1(kStringTableFile)) +
              reportLines(strings.problems);
    if (satellite)
      text += QStringLiteral("\n\n把它放在 %1 旁邊：程式在繁體中文系統上啟動時會載入它。").arg(module.fileName());
    if (written.signatureRemoved) text += QStringLiteral("\n\n模組原有的數位簽章已移除：修改後簽章不再有效。");
    if (!forms.unmatched.empty()) {
      std::vector<std::string> skipped;
      for (const std::string& file : forms.unmatched) skipped.push_back(QFileInfo(QFile::decodeName(file.c_str())).fileName().toStdString());
      text += QStringLiteral("\n\n略過（模組裡沒有這個窗體）：") + reportLines(skipped);
    }
    m_dialogs.information(this, text);
  } catch (const std::exception& e) {
    m_dialogs.error(this, QStringLiteral("無法寫出%1。\n").arg(what) + QString::fromUtf8(e.what()));
  }
}

}  // namespace vc
