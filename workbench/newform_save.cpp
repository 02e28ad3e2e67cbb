// Saving, save-as and the close check.
#include <QDir>
#include <QFileInfo>
#include <QToolButton>
#include <QAction>

#include "editor/widget/CodeEditor.h"
#include "formstream/FormFile.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "workbench/core/ExtensionRule.h"
#include "workbench/core/FormTextFile.h"
#include "workbench/newform.h"

namespace vc {
namespace {

// Both writers replace the target only once everything is ready, through a
// temporary file beside it: a failed conversion or write leaves it as it was.
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
  const bool isOpenModule = !m_modulePath.isEmpty() && canonical(path) == canonical(m_modulePath);
  if (isOpenModule || documentKind(QDir::toNativeSeparators(path).toStdString()) == DocumentKind::Module)
    throw Exception("無法建立文件 " + QDir::toNativeSeparators(path).toStdString());
}

namespace {

// The form file of the text; raises the parser's error when it does not convert.
std::string formFileOf(const std::string& text) {
  TReadOnlyMemoryStream input(text);
  TMemoryStream output;
  TextToFormFile(input, output);
  return output.data();
}

}  // namespace

void Tnewdfm::writeFormFile(const QString& path) {
  refuseModuleTarget(path);
  replaceFile(path, formFileOf(Editor->text()));
}

// A .dfm that was loaded as form text is written as form text again, in its
// encoding; the text must still convert, so the file stays a loadable form.
void Tnewdfm::writeFormText(const QString& path) {
  refuseModuleTarget(path);
  const std::string text = Editor->text();
  (void)formFileOf(text);
  replaceFile(path, encodeFormTextFile(text, static_cast<FormTextEncoding>(m_formTextEncoding)));
}

void Tnewdfm::writeTextFile(const QString& path) {
  refuseModuleTarget(path);
  replaceFile(path, Editor->text());
}

Tnewdfm::SaveResult Tnewdfm::save() {
  try {
    const std::string target = QDir::toNativeSeparators(m_fileName).toStdString();
    switch (documentKind(target)) {
      case DocumentKind::Text:
        writeTextFile(m_fileName);
        break;
      case DocumentKind::FormFile:
        if (!m_formTextPath.isEmpty() && canonical(m_fileName) == canonical(m_formTextPath))
          writeFormText(m_fileName);
        else
          writeFormFile(m_fileName);
        break;
      default:
        // A module is never written: its forms go to a file of their own.
        if (!m_dialogs.save(this, m_saveDialog)) return SaveResult::Cancelled;
        writeFormFile(m_saveDialog.fileName);
        break;
    }
  } catch (const std::exception& e) {
    showError(e);
    return SaveResult::Failed;
  }
  markSaved(true);
  return SaveResult::Saved;
}

void Tnewdfm::TsavebtnClick() { save(); }

void Tnewdfm::A4Click() {
  m_saveDialog.fileName = QStringLiteral("窗體文件.dfm");
  if (!m_dialogs.save(this, m_saveDialog)) return;
  const QString path = m_saveDialog.fileName;
  try {
    if (m_saveDialog.filterIndex == 2) {
      writeTextFile(path);
    } else {
      writeFormFile(path);
      markSaved(false);
    }
  } catch (const std::exception& e) {
    showError(e);
  }
}

bool Tnewdfm::FormCloseQuery() {
  if (m_modified) {
    switch (askSavePrompt()) {
      case Dialogs::Answer::Cancel:
        return false;
      case Dialogs::Answer::Yes:
        if (save() == SaveResult::Failed) return false;
        break;
      case Dialogs::Answer::No:
        break;
    }
  }
  if (m_stringTableChanged) {
    if (m_dialogs.confirm(this, QString::fromUtf8(kLeavePrompt)) != Dialogs::Answer::Yes) return false;
    m_stringTableChanged = false;
  }
  return true;
}

}  // namespace vc
