// The preview command on the main window: the text becomes a modal window,
// CLICK handlers close it, and the messages of one preview come in one box
// after it has closed.
#include <QAbstractButton>
#include <QTimer>
#include <functional>

#include "preview/PreviewWindow.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;

class PreviewCommandTest : public WorkbenchFixture {
  Q_OBJECT

  static preview::PreviewWindow* openPreview() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* p = qobject_cast<preview::PreviewWindow*>(w); p && p->isVisible()) return p;
    return nullptr;
  }

  // Previews `text`; `during` runs while the preview is open and the
  // preview is closed afterwards if it is still open. False when no
  // preview window appeared.
  bool runPreview(const std::string& text, const std::function<void(preview::PreviewWindow&)>& during) {
    w().Editor->model().setText(text);
    bool appeared = false;
    QTimer::singleShot(0, [&] {
      preview::PreviewWindow* p = openPreview();
      if (!p) return;
      appeared = true;
      during(*p);
      if (p->isVisible()) p->close();
    });
    w().ViewAsFormClick();
    return appeared;
  }

 private slots:
  void init() {
    setUpFolder();
    openWindow();
  }
  void cleanup() { finishTest(); }

  void handlersAndMessages_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("click");   // a button the user clicks
    QTest::addColumn<bool>("closes");     // ... which closes the preview
    QTest::addColumn<QStringList>("boxes");
    auto button = [](const char* handler) {
      return QString("  object B: TButton\r\n    OnClick = %1\r\n  end\r\n").arg(handler);
    };
    QTest::newRow("a Click handler closes") << button("BClick") << "B" << true << QStringList{};
    QTest::newRow("click in lower case counts") << button("do_click_here") << "B" << true << QStringList{};
    QTest::newRow("a handler of another event does nothing") << button("FormCreate") << "B" << false << QStringList{};
    QTest::newRow("misspelled property: the preview opens, one line after")
        << "  object B: TButton\r\n    Captoin = 'x'\r\n  end\r\n" << "" << false
        << QStringList{"讀取錯誤 B.Captoin: 屬性不存在\r\n"};
    QTest::newRow("two errors, one box; the unknown class's children are missing")
        << "  Colour = 1\r\n  object P: TFancyPanel\r\n    object B: TButton\r\n      OnClick = BClick\r\n    end\r\n  end\r\n"
        << "" << false << QStringList{"讀取錯誤 Form1.Colour: 屬性不存在\r\n類別 TFancyPanel 未找到\r\n"};
    QTest::newRow("a caption that does not fit is listed")
        << "  object B: TButton\r\n    Width = 30\r\n    Caption = 'Much too long'\r\n  end\r\n" << "" << false
        << QStringList{"B: 文字超出控制項\r\n"};
  }
  void handlersAndMessages() {
    QFETCH(QString, body);
    QFETCH(QString, click);
    QFETCH(bool, closes);
    QFETCH(QStringList, boxes);
    bool closed = false;
    bool childMissing = true;
    const bool appeared = runPreview("object Form1: TForm1\r\n" + body.toStdString() + "end\r\n", [&](preview::PreviewWindow& p) {
      childMissing = !p.findChild<QAbstractButton*>("B");
      if (click.isEmpty()) return;
      QTest::mouseClick(p.findChild<QAbstractButton*>(click), Qt::LeftButton);
      closed = !p.isVisible();
    });
    QVERIFY(appeared);
    QCOMPARE(closed, closes);
    QCOMPARE(childMissing, body.contains("TFancyPanel"));
    QCOMPARE(dialogs().messages(), boxes);
    QVERIFY(!w().modified());
  }

  void rootNamedLikeAWindowGetsASuffix() {
    QString name;
    QVERIFY(runPreview("object newdfm: TForm1\r\nend\r\n", [&](preview::PreviewWindow& p) { name = p.objectName(); }));
    QCOMPARE(name, QStringLiteral("newdfm_1"));
  }

  void failuresBeforeAndDuringReading() {
    // Text that does not parse: the parser's message, no window.
    QVERIFY(!runPreview("object Form1: TForm1\r\n  Left = \r\n", [](preview::PreviewWindow&) {}));
    QCOMPARE(dialogs().messages().size(), 1);
    QVERIFY(dialogs().messages()[0].contains("第"));
    dialogs().clearRecords();
    // Reading stops inside a memo's lines: the collected messages first,
    // then the error; no window.
    QVERIFY(!runPreview("object Form1: TForm1\r\n  Bad = 1\r\n  object M: TMemo\r\n    Lines.Strings = 5\r\n  end\r\nend\r\n",
                        [](preview::PreviewWindow&) {}));
    QCOMPARE(dialogs().messages(), (QStringList{"讀取錯誤 Form1.Bad: 屬性不存在\r\n", "無效的屬性值"}));
  }
};

QTEST_MAIN(PreviewCommandTest)
#include "PreviewCommandTest.moc"
