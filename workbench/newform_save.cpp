// Saving, save-as and the close check.
#include <QDir>
#include <QFileInfo>
#include <QToolButton>
#include <QAction>

#include "editor/widget/CodeEditor.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "translation/ExtensionRule.h"
#include "workbench/newform.h"

namespace vc {
namespace {

// The target is replaced only once everything is ready, through a temporary
// file beside it: a failed conversion or write leaves it as it was.
void replaceFile(const QString& path, std::string_view bytes) {
  try {
    writeFileAtomically(QFile::encodeName(path).toStdString(), bytes);
  } catch (const Exception&) {
    throw Exception("無法建立文件 " + QDir::toNativeSeparators(path).toStdString());
  }
}

QString canonical(const QString& path) {
  QFileInfo info(path);
  return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

}  // namespace

// Modules are only ever read: a save target that names one (by its kind, or
// the module that is open under any name) is refused as if it could not be
// created.
void Tnewdfm::refuseModuleTarget(const QString& path) const {
  const QString module = QFile::decodeName(m_doc.modulePath().c_str());
  const bool isOpenModule = !module.isEmpty() && canonical(path) == canonical(module);
  if (isOpenModule || documentKind(QDir::toNativeSeparators(path).toStdString()) == DocumentKind::Module)
    throw Exception("無法建立文件 " + QDir::toNativeSeparators(path).toStdString());
}

void Tnewdfm::write(const SaveRoute& route, const QString& path) {
  refuseModuleTarget(path);
  replaceFile(path, saveBytes(route, Editor->model().text()));
}

SaveOutcome Tnewdfm::save() {
  if (resourceStringsShown()) return saveResourceStrings();
  const SaveRoute route = m_doc.saveRoute();
  try {
    if (route.askTarget) {
      // A form from a module goes into a file named after it, which the
      // translated copy of the module takes it from.
      const bool moduleForm = hasOpenModule() && !m_doc.formName().empty();
      if (moduleForm) {
        m_saveDialog.fileName = proposedFormFile();
        m_saveDialog.directory = QFileInfo(m_saveDialog.fileName).absolutePath();
      }
      if (!m_dialogs.save(this, m_saveDialog)) return SaveOutcome::Cancelled;
      write(route, m_saveDialog.fileName);
      if (moduleForm) formSavedAs(m_saveDialog.fileName);
    } else {
      write(route, QFile::decodeName(route.target.c_str()));
    }
  } catch (const std::exception& e) {
    showError(e);
    return SaveOutcome::Failed;
  }
  markSaved(route);
  return SaveOutcome::Saved;
}

void Tnewdfm::TsavebtnClick() { save(); }

void Tnewdfm::A4Click() {
  // Resource strings have one place: their PO file in the form folder.
  if (resourceStringsShown()) {
    save();
    return;
  }
  const bool moduleForm = hasOpenModule() && !m_doc.formName().empty();
  m_saveDialog.fileName = moduleForm ? proposedFormFile() : QStringLiteral("窗體文件.dfm");
  if (moduleForm) m_saveDialog.directory = QFileInfo(m_saveDialog.fileName).absolutePath();
  if (!m_dialogs.save(this, m_saveDialog)) return;
  const QString path = m_saveDialog.fileName;
  const SaveRoute route = WorkbenchDocument::saveAsRoute(QFile::encodeName(path).toStdString(), m_saveDialog.filterIndex);
  try {
    write(route, path);
    markSaved(route);
    if (moduleForm && route.format != SaveFormat::PlainText) formSavedAs(path);
  } catch (const std::exception& e) {
    showError(e);
  }
}

bool Tnewdfm::FormCloseQuery() {
  return m_doc.mayClose([this] { return askPrompt(kSavePrompt); }, [this] { return save(); },
                        [this] { return askPrompt(kLeavePrompt); });
}

}  // namespace vc
