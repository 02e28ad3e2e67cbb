// formtext preview: builds the form's preview window without showing it,
// renders its client area to a PNG and, on request, lists where every
// component ended up. The one command that needs Qt; without a display it
// draws offscreen.
#include <QApplication>
#include <QBuffer>
#include <QImageWriter>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/Command.h"
#include "cli/FormInput.h"
#include "cli/FormTextInput.h"
#include "cli/Io.h"
#include "formstream/TextToBinary.h"
#include "preview/PreviewWindow.h"

namespace vc::cli {
namespace {

QString cell(QString s) {
  s.replace(QLatin1Char('\t'), QLatin1Char(' '));
  return s;
}

class Preview : public Command {
  FormInput m_input;
  std::string m_output;
  std::string m_layout;
  bool m_utf8 = false;
  SourceCodePageOptions m_codePages;

  void declare(Arguments& args) override {
    m_input.declare(args);
    args.sourceCodePage(m_codePages);
    args.option("-o", m_output, "OUT.png", "the picture of the window's client area", true);
    args.option("--layout", m_layout, "OUT.tsv",
                "one row per component: name, class, x, y, width, height, visible, fits, text");
    addFormTextUtf8(args, m_utf8);
  }

  // The binary form stream: a module's form, a form file's stream behind its
  // header, or form text converted.
  std::string formStream() {
    if (m_input.binary()) return m_input.binaryStream(m_utf8);
    auto text = openFormText(m_input.path(), m_utf8);
    return about(m_input.where(m_utf8), [&] {
      TMemoryStream binary;
      TextToBinary(*text, binary);
      return binary.takeData();
    });
  }

  int run() override {
    const std::string stream = formStream();
    m_codePages = m_input.binary() ? m_input.resolvedCodePages(m_codePages, stream)
                                   : resolvedCodePages(m_codePages, {std::string_view(stream)});
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // stderr carries the form's messages, one per line: Qt's own notes
    // about the environment (runtime folders, fonts) are no concern of them.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
      if (type == QtFatalMsg) std::fprintf(stderr, "formtext: %s\n", m.toUtf8().constData());
    });
    static int argc = 1;
    static char name[] = "formtext";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    QStringList messages;
    preview::ReaderHooks hooks;
    hooks.findMethod = [](const std::string& handler) {
      return QString::fromLatin1(handler).toUpper().contains(QLatin1String("CLICK"));
    };
    hooks.error = [&](const QString& m) {
      messages << m;
      return true;
    };
    preview::PreviewWindow window;
    window.setSourceCodePage(m_codePages);
    auto printMessages = [&] {
      for (const QString& m : messages) std::fprintf(stderr, "formtext: %s\n", m.toUtf8().constData());
    };
    try {
      TReadOnlyMemoryStream input(stream);
      window.read(input, hooks);
    } catch (const Exception&) {
      printMessages();
      throw;
    }
    messages << window.overflowMessages();
    printMessages();

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(window.renderClient());
    Output picture(m_output, false);
    picture.write(std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    picture.commit();
    if (!m_layout.empty()) {
      Output layout(m_layout, false);
      for (const preview::LayoutRow& r : window.layoutRows()) {
        const QString row = QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9\n")
                                .arg(cell(r.name), cell(r.className))
                                .arg(r.rect.x()).arg(r.rect.y()).arg(r.rect.width()).arg(r.rect.height())
                                .arg(r.visible ? 1 : 0)
                                .arg(r.fits < 0 ? QStringLiteral("-") : QString::number(r.fits))
                                .arg(cell(r.text));
        layout.write(row.toUtf8().toStdString());
      }
      layout.commit();
    }
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Preview, "preview",
                    "the form's preview window as a PNG of its client area, and where its components are",
                    "formtext preview program.exe --module TMAINFORM -o main.png --layout main.tsv");

}  // namespace vc::cli
