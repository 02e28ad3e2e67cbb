// Takes a screenshot of a form's preview window as a real X server shows it
// (menu bar included). Run under Xvfb by tools/screenshot-preview.sh; not a test.
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"
#include "modres/Module.h"
#include "platform/Exception.h"
#include "preview/PreviewLook.h"
#include "preview/PreviewWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: preview_screenshot OUT.png FILE [--dfm | --module NAME] [--size WxH] [--page CAPTION]\n");
    return 2;
  }
  std::string stream;
  try {
    if (argc >= 5 && std::strcmp(argv[3], "--module") == 0) {
      auto module = vc::modres::Module::open(argv[2]);
      auto res = module->readFormResource(argv[4]);
      char buf[65536];
      for (std::size_t k; (k = res->read(buf, sizeof buf)) > 0;) stream.append(buf, k);
    } else {
      QFile f(QString::fromLocal8Bit(argv[2]));
      if (!f.open(QIODevice::ReadOnly)) return 1;
      const QByteArray bytes = f.readAll();
      vc::TReadOnlyMemoryStream in(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
      vc::TMemoryStream out;
      if (argc >= 4 && std::strcmp(argv[3], "--dfm") == 0) {
        vc::ReadFormFileHeader(in);
        out.copyFrom(in, 0);
      } else {
        vc::TextToBinary(in, out);
      }
      stream = out.takeData();
    }
    vc::preview::PreviewWindow window;
    vc::preview::ReaderHooks hooks;
    hooks.findMethod = [](const std::string&) { return false; };
    hooks.error = [](const QString& m) {
      std::fprintf(stderr, "%s\n", m.toUtf8().constData());
      return true;
    };
    vc::TReadOnlyMemoryStream in(stream);
    window.read(in, hooks);
    window.move(0, 0);
    window.show();
    // To compare with a program's own window: its size, and the page its
    // code shows first.
    for (int i = 3; i + 1 < argc; ++i) {
      if (std::strcmp(argv[i], "--size") == 0) {
        int w = 0, h = 0;
        if (std::sscanf(argv[i + 1], "%dx%d", &w, &h) == 2) window.resize(w, h);
      } else if (std::strcmp(argv[i], "--page") == 0) {
        for (QTabBar* tabs : window.findChildren<QTabBar*>())
          for (int t = 0; t < tabs->count(); ++t)
            if (vc::preview::withoutAccelerators(tabs->tabText(t)) == QString::fromLocal8Bit(argv[i + 1])) tabs->setCurrentIndex(t);
      }
    }
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    QTest::qWait(300);
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
  } catch (const vc::Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
