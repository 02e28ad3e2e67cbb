#include "workbench/core/WorkbenchDocument.h"

#include "formstream/BinaryToText.h"
#include "formstream/FormFile.h"
#include "modres/Module.h"
#include "translation/ExtensionRule.h"

namespace vc {

WorkbenchDocument::WorkbenchDocument() = default;
WorkbenchDocument::~WorkbenchDocument() = default;

std::string saveBytes(const SaveRoute& route, const std::string& text) {
  if (route.format == SaveFormat::PlainText) return text;
  TReadOnlyMemoryStream input(text);
  TMemoryStream formFile;
  TextToFormFile(input, formFile);
  if (route.format == SaveFormat::FormText) return encodeFormTextFile(text, route.encoding, route.lineBreak);
  return formFile.data();
}

bool WorkbenchDocument::openModule(const std::string& path) {
  // The module before is released first: it is replaced whether or not the
  // new one opens.
  m_module.reset();
  m_modulePath.clear();
  try {
    m_module = modres::Module::open(path);
  } catch (const modres::EModuleError&) {
    return false;
  }
  m_modulePath = path;
  m_fileName = path;
  m_formName.clear();
  m_shown = Shown::Module;
  return true;
}

std::string WorkbenchDocument::openForm(const std::string& name) {
  if (!m_module) return {};
  std::unique_ptr<modres::ResourceStream> resource = m_module->readFormResource(name);
  TMemoryStream text;
  BinaryToText(*resource, text);
  m_fileName = m_modulePath;
  m_formName = name;
  m_shown = Shown::ModuleForm;
  return text.data();
}

void WorkbenchDocument::openResourceStrings() {
  if (!m_module) return;
  m_fileName = m_modulePath;
  m_formName.clear();
  m_shown = Shown::ResourceStrings;
}

void WorkbenchDocument::openText(const std::string& path) {
  m_fileName = path;
  m_shown = Shown::Text;
}

std::string WorkbenchDocument::openFormFile(const std::string& path, std::string_view bytes) {
  std::string text;
  if (formFileKind(bytes) == FormFileKind::Text) {
    // Form text stored as a .dfm: edited as it is, saved back as text.
    FormTextFile file = readFormTextFile(bytes);
    text = std::move(file.text);
    m_formTextEncoding = file.encoding;
    m_formTextLineBreak = file.lineBreak;
    m_shown = Shown::FormText;
  } else {
    TReadOnlyMemoryStream input(bytes);
    TMemoryStream output;
    FormFileToText(input, output);
    text = output.data();
    m_shown = Shown::FormFile;
  }
  m_fileName = path;
  m_formName.clear();
  return text;
}

std::string WorkbenchDocument::openSavedForm(const std::string& name, const std::string& path, std::string_view bytes) {
  std::string text = openFormFile(path, bytes);
  m_formName = name;
  return text;
}

void WorkbenchDocument::clear() {
  m_fileName.clear();
  m_formName.clear();
  m_shown = Shown::Nothing;
}

SaveRoute WorkbenchDocument::saveRoute() const {
  SaveRoute route;
  route.target = m_fileName;
  switch (documentKind(m_fileName)) {
    case DocumentKind::Text:
      route.format = SaveFormat::PlainText;
      break;
    case DocumentKind::FormFile:
      // A .dfm that was loaded as form text is written as form text again,
      // in its encoding.
      if (m_shown == Shown::FormText) {
        route.format = SaveFormat::FormText;
        route.encoding = m_formTextEncoding;
        route.lineBreak = m_formTextLineBreak;
      }
      break;
    default:
      // A module is never written: its forms go to a file of their own.
      route.askTarget = true;
      route.target.clear();
      break;
  }
  return route;
}

SaveRoute WorkbenchDocument::saveAsRoute(const std::string& target, int filterEntry) {
  SaveRoute route;
  route.target = target;
  route.clearsMenuItem = false;
  // Entry 2 is plain text, which leaves the document unsaved.
  if (filterEntry == 2) {
    route.format = SaveFormat::PlainText;
    route.clearsModified = false;
  }
  return route;
}

bool WorkbenchDocument::answerSwitchPrompt(PromptAnswer answer, const std::function<void()>& save) {
  switch (answer) {
    case PromptAnswer::Yes:
      save();
      return true;
    case PromptAnswer::No:
      m_modified = false;
      return true;
    case PromptAnswer::Cancel:
      break;
  }
  return false;
}

bool WorkbenchDocument::mayClose(const std::function<PromptAnswer()>& askSave,
                                 const std::function<SaveOutcome()>& save,
                                 const std::function<PromptAnswer()>& askLeave) {
  if (m_modified) {
    switch (askSave()) {
      case PromptAnswer::Cancel:
        return false;
      case PromptAnswer::Yes:
        // A cancelled save dialog still closes; an error keeps the text.
        if (save() == SaveOutcome::Failed) return false;
        break;
      case PromptAnswer::No:
        break;
    }
  }
  if (m_stringTableChanged) {
    if (askLeave() != PromptAnswer::Yes) return false;
    m_stringTableChanged = false;
  }
  return true;
}

}  // namespace vc
