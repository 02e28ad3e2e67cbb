// The preview reader and window: which properties and classes are refused
// with which message, and where the controls end up (Align passes, client
// size, fonts, the fit check), including hostile streams.
#include <QFont>
#include <QToolButton>
#include <QtTest>

#include "formstream/Errors.h"
#include "formstream/TextToBinary.h"
#include "platform/Cp950.h"
#include "preview/PreviewClasses.h"
#include "preview/PreviewContent.h"
#include "preview/PreviewWindow.h"

using namespace vc;
using namespace vc::preview;

namespace {

std::string big5(const char* utf8) { return *cp950::fromUtf8(utf8); }

std::string binaryOf(const std::string& text) {
  TReadOnlyMemoryStream in(text);
  TMemoryStream out;
  TextToBinary(in, out);
  return out.takeData();
}

struct Built {
  std::unique_ptr<PreviewWindow> window = std::make_unique<PreviewWindow>();
  QStringList messages;
  QString fatal;
};

Built buildStream(const std::string& stream) {
  Built b;
  ReaderHooks hooks;
  hooks.findMethod = [](const std::string& h) { return QString::fromStdString(h).toUpper().contains("CLICK"); };
  hooks.error = [&](const QString& m) {
    b.messages << m;
    return true;
  };
  TReadOnlyMemoryStream in(stream);
  try {
    b.window->read(in, hooks);
  } catch (const Exception& e) {
    b.fatal = QString::fromUtf8(e.what());
  }
  return b;
}

// A form of ClientWidth 200, ClientHeight 100 holding `body`.
Built buildForm(const std::string& body, const std::string& head = "  ClientWidth = 200\r\n  ClientHeight = 100\r\n") {
  return buildStream(binaryOf("object Form1: TForm1\r\n" + head + body + "end\r\n"));
}

QString row(const Built& b, const QString& name) {
  for (const LayoutRow& r : b.window->layoutRows())
    if (r.name == name)
      return QStringLiteral("%1 %2 %3 %4 %5 %6").arg(r.rect.x()).arg(r.rect.y()).arg(r.rect.width())
          .arg(r.rect.height()).arg(r.visible).arg(r.fits);
  return QStringLiteral("missing");
}

std::string control(const char* cls, const char* name, const std::string& props) {
  return std::string("  object ") + name + ": " + cls + "\r\n" + props + "  end\r\n";
}

}  // namespace

class PreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void classList() {
    QCOMPARE(registeredClassCount(), 159);
    QVERIFY(findClass("tbutton") && findClass("TBUTTON")->kind == Kind::Button);
    QVERIFY(!findClass("TFont"));  // registered, but not a component
    QVERIFY(!findClass("TDateTimePicker"));
  }

  void propertyMessages_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("built");  // names that must be built
    QTest::newRow("known names of any version pass silently")
        << "  object B: TButton\r\n    ExplicitLeft = 3\r\n    StyleElements = [seFont]\r\n"
           "    OnClick = BClick\r\n    OnCreate = FormCreate\r\n    OnAfterMonitorDpiChanged = FormDpi\r\n  end\r\n"
        << QStringList{} << QStringList{"B"};
    QTest::newRow("misspelled property")
        << "  object B: TButton\r\n    Captoin = 'x'\r\n    Caption = 'y'\r\n  end\r\n"
        << QStringList{"讀取錯誤 B.Captoin: 屬性不存在"} << QStringList{"B"};
    QTest::newRow("wrong value and wrong path, unnamed object by its class")
        << "  object TLabel\r\n    Left = 'x'\r\n    Caption.Name = 1\r\n    Font.Bogus = 1\r\n  end\r\n"
        << QStringList{"讀取錯誤 TLabel.Left: 無效的屬性值", "讀取錯誤 TLabel.Caption.Name: 無效的屬性路徑",
                       "讀取錯誤 TLabel.Font.Bogus: 屬性不存在"}
        << QStringList{""};
    QTest::newRow("unknown class skipped with its children")
        << "  object P: TFancyPanel\r\n    Foo = 1\r\n    object B: TButton\r\n    end\r\n  end\r\n"
           "  object F: TFont\r\n  end\r\n  object C: TButton\r\n  end\r\n"
        << QStringList{"類別 TFancyPanel 未找到", "類別 TFont 未找到"} << QStringList{"C"};
    QTest::newRow("root properties are a form's")
        << "  object B: TButton\r\n  end\r\n"
        << QStringList{} << QStringList{"B"};
  }
  void propertyMessages() {
    QFETCH(QString, body);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, built);
    Built b = buildForm(body.toStdString());
    QVERIFY2(b.fatal.isEmpty(), qPrintable(b.fatal));
    QCOMPARE(b.messages, messages);
    for (const QString& n : built) QVERIFY2(row(b, n) != "missing", qPrintable(n));
    QCOMPARE(b.window->layoutRows().size(), built.size() + 1);
  }

  void ownWayDataStopsReading() {
    Built b = buildForm("  object M: TMemo\r\n    Bad = 1\r\n    Lines.Strings = 5\r\n  end\r\n");
    QCOMPARE(b.messages, QStringList{"讀取錯誤 M.Bad: 屬性不存在"});
    QCOMPARE(b.fatal, QStringLiteral("無效的屬性值"));
  }

  void layout_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QStringList>("rows");  // "name x y w h visible fits"
    const QString client = "  ClientWidth = 200\r\n  ClientHeight = 100\r\n";
    auto panel = [](const char* name, const char* align, const char* geo) {
      return QString("  object %1: TPanel\r\n    Align = %2\r\n%3  end\r\n").arg(name, align, geo);
    };
    QTest::newRow("align passes: top, bottom, left, right, client; stacked by position")
        << panel("T1", "alTop", "    Top = 50\r\n    Height = 10\r\n") + panel("T2", "alTop", "    Top = 0\r\n    Height = 10\r\n") +
               panel("C", "alClient", "") + panel("L", "alLeft", "    Width = 20\r\n") +
               panel("R1", "alRight", "    Left = 100\r\n    Width = 30\r\n") +
               panel("R2", "alRight", "    Left = 150\r\n    Width = 10\r\n") +
               panel("B", "alBottom", "    Height = 10\r\n")
        << client
        << QStringList{"T2 0 0 200 10 1 -1", "T1 0 10 200 10 1 -1", "B 0 90 200 10 1 -1", "L 0 20 20 70 1 -1",
                       "R2 190 20 10 70 1 -1", "R1 160 20 30 70 1 -1", "C 20 20 140 70 1 -1"};
    QTest::newRow("hidden aligned controls take no room; a status bar sits at the bottom")
        << panel("H", "alTop", "    Height = 30\r\n    Visible = False\r\n") + panel("T", "alTop", "    Height = 10\r\n") +
               QString("  object S: TStatusBar\r\n    Height = 19\r\n  end\r\n")
        << client << QStringList{"H 0 0 185 30 0 -1", "T 0 0 200 10 1 -1", "S 0 81 200 19 1 -1"};
    QTest::newRow("children of a panel align inside its bevel")
        << QString("  object P: TPanel\r\n    Left = 10\r\n    Top = 10\r\n    Width = 100\r\n    Height = 50\r\n"
                   "    BevelWidth = 2\r\n    object Q: TPanel\r\n      Align = alClient\r\n    end\r\n  end\r\n")
        << client << QStringList{"P 10 10 100 50 1 -1", "Q 12 12 96 46 1 -1"};
    QTest::newRow("outer size less the frame and the menu bar")
        << QString("  object M: TMainMenu\r\n    object F: TMenuItem\r\n      Caption = '&File'\r\n    end\r\n  end\r\n")
        << QString("  Width = 300\r\n  Height = 200\r\n") << QStringList{"Form1 0 0 292 154 1 -1"};
    QTest::newRow("a form designed at 120 DPI is shown at 96")
        << QString("  object B: TButton\r\n    Left = 100\r\n    Top = 50\r\n    Width = 100\r\n    Height = 30\r\n  end\r\n")
        << QString("  ClientWidth = 500\r\n  ClientHeight = 250\r\n  PixelsPerInch = 120\r\n")
        << QStringList{"Form1 0 0 400 200 1 -1", "B 80 40 80 24 1 -1"};
    QTest::newRow("anchors at the designed size follow the aligned parent's change")
        << QString("  object P: TPanel\r\n    Width = 300\r\n    Height = 150\r\n    Align = alClient\r\n"
                   "    object R: TButton\r\n      Left = 250\r\n      Top = 10\r\n      Width = 40\r\n"
                   "      Anchors = [akTop, akRight]\r\n    end\r\n"
                   "    object S: TEdit\r\n      Left = 10\r\n      Width = 280\r\n      Anchors = [akLeft, akTop, akRight]\r\n    end\r\n"
                   "    object B: TButton\r\n      Top = 120\r\n      Anchors = [akLeft, akBottom]\r\n    end\r\n"
                   "    object N: TButton\r\n      Left = 100\r\n      Top = 50\r\n      Anchors = []\r\n    end\r\n  end\r\n")
        << client << QStringList{"P 0 0 200 100 1 -1", "R 150 10 40 25 1 -1", "S 10 0 180 21 1 -1",
                                 "B 0 70 75 25 1 -1", "N 50 25 75 25 1 -1"};
    QTest::newRow("margins of aligned controls and the padding of their parent")
        << QString("  object P: TPanel\r\n    Align = alTop\r\n    Height = 20\r\n    AlignWithMargins = True\r\n  end\r\n"
                   "  object Q: TPanel\r\n    Align = alLeft\r\n    Width = 10\r\n    AlignWithMargins = True\r\n"
                   "    Margins.Left = 5\r\n    Margins.Bottom = 0\r\n  end\r\n"
                   "  object U: TPanel\r\n    Align = alNone\r\n    Left = 1\r\n    AlignWithMargins = True\r\n  end\r\n")
        << client + "  Padding.Left = 20\r\n"
        << QStringList{"P 23 3 174 20 1 -1", "Q 25 29 10 71 1 -1", "U 1 0 185 41 1 -1"};
    QTest::newRow("constraints cap aligned and auto-sized controls")
        << QString("  object P: TPanel\r\n    Align = alClient\r\n    Constraints.MaxWidth = 50\r\n"
                   "    Constraints.MinHeight = 120\r\n  end\r\n"
                   "  object L: TLabel\r\n    Caption = 'a caption far wider than twenty'\r\n"
                   "    Constraints.MaxWidth = 20\r\n  end\r\n")
        << client << QStringList{"P 0 0 50 120 1 -1", "L 0 0 20 13 1 1"};
    QTest::newRow("hostile sizes are clamped")
        << QString("  object B: TButton\r\n    Width = -50\r\n    Height = 2000000000\r\n  end\r\n")
        << QString("  ClientWidth = 2000000000\r\n  ClientHeight = -7\r\n")
        << QStringList{"Form1 0 0 4096 1 1 -1", "B 0 0 0 100000 1 -1"};
  }
  void layout() {
    QFETCH(QString, body);
    QFETCH(QString, head);
    QFETCH(QStringList, rows);
    Built b = buildForm(body.toStdString(), head.toStdString());
    QVERIFY2(b.fatal.isEmpty() && b.messages.isEmpty(), qPrintable(b.fatal + b.messages.join("\n")));
    for (const QString& r : rows) {
      const QString name = r.section(' ', 0, 0);
      QCOMPARE(name + " " + row(b, name), r);
    }
    QCOMPARE(b.window->renderClient().size(), b.window->clientArea()->size());
  }

  void resizedWindowMovesAnchoredControls() {
    Built b = buildForm(control("TButton", "R", "    Left = 120\r\n    Top = 70\r\n    Anchors = [akRight, akBottom]\r\n") +
                        control("TMemo", "M", "    Width = 100\r\n    Anchors = [akLeft, akTop, akRight, akBottom]\r\n") +
                        control("TPanel", "T", "    Align = alTop\r\n    Height = 10\r\n") +
                        control("TLabel", "Edge", "    Left = 150\r\n    Caption = 'far beyond the edge'\r\n"));
    QCOMPARE(b.window->overflowMessages(), QStringList{"Edge: 文字超出控制項"});
    b.window->show();
    b.window->resize(300, 150);
    QCOMPARE(row(b, "R"), QStringLiteral("220 120 75 25 1 -1"));
    QCOMPARE(row(b, "M"), QStringLiteral("0 0 200 139 1 -1"));
    QCOMPARE(row(b, "T"), QStringLiteral("0 0 300 10 1 -1"));
    QCOMPARE(b.window->overflowMessages(), QStringList{});  // the wider window has room for it
    Built dialog = buildForm("", "  ClientWidth = 200\r\n  ClientHeight = 100\r\n  BorderStyle = bsDialog\r\n");
    dialog.window->show();
    dialog.window->resize(300, 150);
    QCOMPARE(dialog.window->size(), QSize(200, 100));
  }

  void charsets_data() {
    QTest::addColumn<QByteArray>("props");
    QTest::addColumn<QString>("text");
    QTest::newRow("GB2312 font: GBK bytes") << QByteArray("    Font.Charset = GB2312_CHARSET\r\n    Caption = '\xbc\xf2\xcc\xe5'\r\n") << "简体";
    QTest::newRow("Shift-JIS font, by number") << QByteArray("    Font.Charset = 128\r\n    Caption = '\x93\xfa\x96\x7b'\r\n") << "日本";
    QTest::newRow("Russian font") << QByteArray("    Font.Charset = RUSSIAN_CHARSET\r\n    Caption = '\xc4\xe0'\r\n") << "Да";
    QTest::newRow("ANSI font keeps Big5") << QByteArray("    Font.Charset = ANSI_CHARSET\r\n    Caption = '\xa4\xa4\xa4\xe5'\r\n") << "中文";
    QTest::newRow("wide strings stay as they are") << QByteArray("    Font.Charset = GB2312_CHARSET\r\n    Caption = #20013'x'\r\n") << "中x";
  }
  void charsets() {
    QFETCH(QByteArray, props);
    QFETCH(QString, text);
    // The charset comes from the panel's font: the label inherits it.
    const QByteArray panel = QByteArray(props).replace("Caption", "Hint");
    const QByteArray label = QByteArray(props).replace("    Font.Charset", "    Tag");
    Built b = buildForm("  object P: TPanel\r\n" + panel.toStdString() + "    object L: TLabel\r\n" + label.toStdString() +
                        "    end\r\n  end\r\n");
    QVERIFY2(b.fatal.isEmpty() && b.messages.isEmpty(), qPrintable(b.fatal + b.messages.join("\n")));
    QCOMPARE(b.window->layoutRows()[2].text, text);
  }

  void itemContents_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("text");  // the view's items as listed
    const QString node1 = "1B000000" "00000000" "00000000" "FFFFFFFF" "FFFFFFFF" "00000000" "01000000" "02" "6162";
    const QString node2 = "1A000000" "FFFFFFFF" "FFFFFFFF" "FFFFFFFF" "FFFFFFFF" "00000000" "00000000" "01" "63";
    auto view = [](const char* cls, const QString& props) {
      return QString("  object V: %1\r\n%2  end\r\n").arg(cls, props);
    };
    QTest::newRow("tree view nodes with a child")
        << view("TTreeView", "    Items.Data = {01000000" + node1 + node2 + "}\r\n") << "ab c";
    QTest::newRow("tree view count beyond its data")
        << view("TTreeView", "    Items.Data = {FFFFFF7F" + node1 + "}\r\n") << "ab";
    QTest::newRow("tree view record larger than the data")
        << view("TTreeView", "    Items.Data = {01000000FFFFFF7F00}\r\n") << "";
    QTest::newRow("list view items with a sub-item")
        << view("TListView", "    ViewStyle = vsList\r\n    Items.Data = {20000000" "01000000" "00000000" "FFFFFFFF"
                             "FFFFFFFF" "01000000" "00000000" "0178" "0179}\r\n") << "x";
    QTest::newRow("list view with a hostile sub-item count")
        << view("TListView", "    Items.Data = {20000000" "01000000" "00000000" "FFFFFFFF" "FFFFFFFF" "FFFFFF7F"
                             "00000000" "0178}\r\n") << "";
  }
  void itemContents() {
    QFETCH(QString, body);
    QFETCH(QString, text);
    Built b = buildForm(body.toStdString());
    QVERIFY2(b.fatal.isEmpty() && b.messages.isEmpty(), qPrintable(b.fatal + b.messages.join("\n")));
    QCOMPARE(b.window->layoutRows()[1].text, text);
  }

  void imageListFeedsToolButtons() {
    // Two 2x2 images side by side in a 24-bit bitmap, no mask.
    auto le = [](quint32 v, int n) {
      QString h;
      for (int k = 0; k < n; ++k) h += QString::asprintf("%02X", k < 4 ? (v >> (8 * k)) & 0xFF : 0u);
      return h;
    };
    const QString bmp = "424D" + le(14 + 40 + 24, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(4, 4) + le(2, 4) + le(1, 2) +
                        le(24, 2) + le(0, 4) + le(24, 4) + le(0, 16) + QString("FF0000").repeated(8);
    const QString il = "494C" "0101" + le(2, 2) + le(2, 2) + le(1, 2) + le(2, 2) + le(2, 2) + "FFFFFFFF" "0000" + QString("FF").repeated(8) + bmp;
    Built b = buildForm("  object Images1: TImageList\r\n    Height = 2\r\n    Width = 2\r\n    Bitmap = {" + il.toStdString() + "}\r\n  end\r\n"
                        "  object Bar: TToolBar\r\n    Images = Images1\r\n"
                        "    object B1: TToolButton\r\n      ImageIndex = 1\r\n    end\r\n"
                        "    object B2: TToolButton\r\n      ImageIndex = 2\r\n    end\r\n  end\r\n");
    QVERIFY2(b.fatal.isEmpty() && b.messages.isEmpty(), qPrintable(b.fatal + b.messages.join("\n")));
    auto icon = [&](const char* n) { return b.window->clientArea()->findChild<QToolButton*>(n)->icon(); };
    QCOMPARE(icon("B1").availableSizes().value(0), QSize(2, 2));
    QVERIFY(icon("B2").isNull());  // beyond the list
    // Cut anywhere, the data is no image list and shows no image.
    for (int cut = 0; cut < il.size(); cut += 6)
      QCOMPARE(decodeImageList(QByteArray::fromHex(il.left(cut).toLatin1()).toStdString()).size(), std::size_t(0));
  }

  void fonts() {
    Built b = buildForm(
        "  Font.Height = -20\r\n  Font.Name = 'Tahoma'\r\n  Font.Style = [fsBold]\r\n" +
        control("TLabel", "Inherits", "    Caption = 'a'\r\n") +
        control("TLabel", "Own", "    Caption = 'a'\r\n    Font.Height = -11\r\n    Font.Style = []\r\n    ParentFont = False\r\n") +
        control("TLabel", "Cell", "    Caption = 'a'\r\n    Font.Height = 13\r\n    ParentFont = False\r\n"));
    auto font = [&](const char* n) { return b.window->clientArea()->findChild<QWidget*>(n)->font(); };
    QCOMPARE(font("Inherits").pixelSize(), 20);
    QVERIFY(font("Inherits").bold());
    QCOMPARE(font("Own").pixelSize(), 11);
    QVERIFY(!font("Own").bold());
    // A positive height is the cell height, internal leading included.
    QCOMPARE(row(b, "Cell").section(' ', 3, 3).toInt(), 13);
    // An AutoSize label is as high as its font's line.
    QCOMPARE(row(b, "Inherits").section(' ', 3, 3).toInt(), QFontMetrics(font("Inherits")).height());
  }

  void textsAndFit() {
    const std::string wide = "    Caption = " + std::string("#20013#25991'&&x'") + "\r\n";
    Built b = buildForm(control("TButton", "Short", "    Caption = '&OK'\r\n") +
                        control("TButton", "Long", "    Width = 40\r\n    Caption = '" + big5("非常長的按鈕標題文字") + "'\r\n") +
                        control("TLabel", "Wide", wide) +
                        control("TLabel", "Edge", "    Left = 190\r\n    Caption = 'far beyond the edge'\r\n") +
                        control("TCheckBox", "Check", "    Width = 30\r\n    Caption = 'too long for this'\r\n") +
                        control("TDBGrid", "Grid", "    Columns = <\r\n      item\r\n        Title.Caption = 'a long title'\r\n"
                                "        Width = 20\r\n      end\r\n      item\r\n        FieldName = 'F'\r\n      end>\r\n"));
    QCOMPARE(b.window->layoutRows()[1].text, QStringLiteral("OK"));
    QCOMPARE(row(b, "Short").section(' ', 5), QStringLiteral("1"));
    QCOMPARE(b.window->layoutRows()[2].text, QStringLiteral("非常長的按鈕標題文字"));
    QCOMPARE(b.window->layoutRows()[3].text, QStringLiteral("中文&x"));
    QCOMPARE(b.window->overflowMessages(),
             (QStringList{"Long: 文字超出控制項", "Edge: 文字超出控制項", "Check: 文字超出控制項", "Grid: 文字超出控制項"}));
    // A data grid's column titles: the caption, else the field name.
    QCOMPARE(b.window->layoutRows()[6].text, QStringLiteral("a long title F"));
  }

  void utf8StringTag() {
    // Tag 20: a 4-byte length and UTF-8 bytes.
    std::string s = "TPF0\x06TForm1\x05" "Form1";
    s += "\x07" "Caption";
    const std::string text = "\xE4\xB8\xAD";  // 中
    s += '\x14';
    s += std::string("\x03\x00\x00\x00", 4) + text;
    s += std::string("\0\0", 2);
    Built b = buildStream(s);
    QVERIFY2(b.fatal.isEmpty(), qPrintable(b.fatal));
    QCOMPARE(b.window->windowTitle(), QStringLiteral("中"));
  }

  void hostileStreams() {
    // Deep nesting and many controls: built up to the limits, quickly, and
    // no crash; damaged streams end reading with a message.
    std::string deep = "object F: TForm\r\n";
    for (int i = 0; i < 200; ++i) deep += "object P" + std::to_string(i) + ": TPanel\r\n";
    for (int i = 0; i < 200; ++i) deep += "end\r\n";
    deep += "end\r\n";
    Built d = buildStream(binaryOf(deep));
    QVERIFY(d.fatal.isEmpty());
    QCOMPARE(static_cast<int>(d.window->layoutRows().size()), kMaxComponentDepth + 1);

    std::string many = "object F: TForm\r\n";
    for (int i = 0; i < 3000; ++i) many += "object B" + std::to_string(i) + ": TButton\r\nTop = " + std::to_string(i) + "\r\nend\r\n";
    many += "end\r\n";
    QCOMPARE(static_cast<int>(buildStream(binaryOf(many)).window->layoutRows().size()), 3001);

    const std::string good = binaryOf("object F: TForm\r\n  Caption = 'x'\r\n  object B: TButton\r\n  end\r\nend\r\n");
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
      Built t = buildStream(good.substr(0, cut));
      QVERIFY(!t.fatal.isEmpty());
    }
    Built badTag = buildStream("TPF0\x06TForm1\x01" "F\x01X\x7F");
    QCOMPARE(badTag.fatal, QStringLiteral("無效的屬性值"));
  }
};

QTEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
