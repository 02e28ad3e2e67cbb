// The preview command: the form text in `Editor` shown as a live window.
#include <QEventLoop>
#include <memory>

#include "editor/widget/CodeEditor.h"
#include "formstream/FormFile.h"
#include "formstream/Stream.h"
#include "platform/Exception.h"
#include "preview/PreviewWindow.h"
#include "workbench/newform.h"

namespace vc {

namespace {

// Messages of the previews, kept for the whole run and emptied each time
// they are shown.
QString& previewErrors() {
  static QString list;
  return list;
}

bool closesPreview(const std::string& handler) {
  for (std::size_t i = 0; i + 5 <= handler.size(); ++i) {
    bool match = true;
    for (std::size_t k = 0; k < 5 && match; ++k)
      match = std::toupper(static_cast<unsigned char>(handler[i + k])) == "CLICK"[k];
    if (match) return true;
  }
  return false;
}

}  // namespace

void Tnewdfm::ViewAsFormClick() {
  auto window = std::make_unique<preview::PreviewWindow>();
  window->setSourceCodePage(sourceCodePage());

  TMemoryStream image;
  {
    TMemoryStream text(Editor->model().text());  // every line followed by CR LF
    try {
      TextToFormFile(text, image);
    } catch (const Exception& e) {
      showError(e);
      return;
    }
  }
  image.setPosition(0);

  auto finish = [&] {
    window.reset();
    if (previewErrors().size() > 3) {
      m_dialogs.information(this, previewErrors());
      previewErrors().clear();
    }
  };
  try {
    ReadFormFileHeader(image);
    preview::ReaderHooks hooks;
    hooks.findMethod = closesPreview;
    hooks.error = [](const QString& message) {
      previewErrors() += message + QStringLiteral("\r\n");
      return true;
    };
    window->read(image, hooks);
  } catch (const Exception& e) {
    finish();
    showError(e);
    return;
  }
  for (const QString& m : window->overflowMessages()) previewErrors() += m + QStringLiteral("\r\n");

  QEventLoop loop;
  connect(window.get(), &preview::PreviewWindow::closed, &loop, &QEventLoop::quit);
  window->setWindowModality(Qt::ApplicationModal);
  window->show();
  loop.exec();
  finish();
}

}  // namespace vc
