// The pieces under the editor widget: the cell layout of a line, the font
// mapping and the CP950 clipboard conversions.
#include <QFontDatabase>
#include <QMimeData>
#include <QTest>
#include <climits>
#include <memory>

#include "editor/widget/CellMetrics.h"
#include "editor/widget/KeyMapping.h"
#include "editor/widget/LineLayout.h"
#include "editor/model/EditorCommand.h"
#include "platform/Cp950.h"
#include "platform/qt/Clipboard.h"
#include "platform/qt/FontMapping.h"

using namespace vc;

class WidgetPartsTest : public QObject {
  Q_OBJECT

 private slots:
  void expandTabs_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expanded");
    QTest::newRow("tab to eight") << QByteArray("a\tb") << QByteArray("a       b");
    QTest::newRow("tab at a stop") << QByteArray("12345678\tx") << QByteArray("12345678        x");
    QTest::newRow("after a wide char")
        << QByteArray("\xA4\xA4\tx") << QByteArray("\xA4\xA4      x");
    // 0x09 as the second byte of a pair is part of the character, not a tab.
    QTest::newRow("tab as trail byte") << QByteArray("\x81\tx") << QByteArray("\x81\tx");
    QTest::newRow("lone lead at end") << QByteArray("ab\xA4") << QByteArray("ab\xA4");
  }
  void expandTabs() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expanded);
    std::string out;
    LineLayout::expandTabs(line.toStdString(), out);
    QCOMPARE(QByteArray::fromStdString(out), expanded);
    QCOMPARE(LineLayout::cellCount(line.toStdString()), int(expanded.size()));
  }

  void expansionStopsAtTheLimit() {
    std::string out;
    LineLayout::expandTabs(std::string(100000, '\t'), out, 20);
    QVERIFY(out.size() >= 20 && out.size() < 28);
  }

  void cellsAndColumns() {
    const std::string line = "a\xA4\xA4\tb";  // a, one wide char, tab to 8, b
    QCOMPARE(LineLayout::cellOfColumn(line, 0), 0);
    QCOMPARE(LineLayout::cellOfColumn(line, 1), 1);
    QCOMPARE(LineLayout::cellOfColumn(line, 3), 3);
    QCOMPARE(LineLayout::cellOfColumn(line, 4), 8);
    QCOMPARE(LineLayout::cellOfColumn(line, 5), 9);
    QCOMPARE(LineLayout::cellOfColumn(line, 8), 12);  // past the end
    QCOMPARE(LineLayout::cellOfColumn("\t\t", INT_MAX), LineLayout::kMaxCell);
    // Start of the character under a cell.
    QCOMPARE(LineLayout::columnOfCell(line, 2, false), 1);
    QCOMPARE(LineLayout::columnOfCell(line, 5, false), 3);
    QCOMPARE(LineLayout::columnOfCell(line, 11, false), 7);
    // Nearest boundary: the middle of the wide character and of the tab.
    QCOMPARE(LineLayout::columnOfCell(line, 2, true), 3);
    QCOMPARE(LineLayout::columnOfCell(line, 4, true), 3);
    QCOMPARE(LineLayout::columnOfCell(line, 6, true), 4);
    QCOMPARE(LineLayout::columnOfCell(line, 8, true), 4);
    QCOMPARE(LineLayout::columnOfCell(line, 9, true), 5);
    QCOMPARE(LineLayout::columnOfCell(line, -3, true), 0);
  }

  void keyStrokes() {
    auto cmd = [](int key, Qt::KeyboardModifiers m) {
      const KeyStroke s = keyStrokeOf(key, m);
      return keystrokeCommand(s.key, s.modifiers);
    };
    QCOMPARE(cmd(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier), ecSelWordLeft);
    QCOMPARE(cmd(Qt::Key_End, Qt::ControlModifier), ecEditorBottom);
    QCOMPARE(cmd(Qt::Key_Insert, Qt::ShiftModifier), ecPaste);
    QCOMPARE(cmd(Qt::Key_Enter, Qt::NoModifier), ecLineBreak);
    QCOMPARE(cmd(Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier), ecRedo);
    QCOMPARE(cmd(Qt::Key_9, Qt::ControlModifier), ecGotoMarker9);
    QCOMPARE(cmd(Qt::Key_ParenLeft, Qt::ControlModifier | Qt::ShiftModifier), ecSetMarker9);
    QCOMPARE(cmd(Qt::Key_ParenRight, Qt::ControlModifier | Qt::ShiftModifier), ecSetMarker0);
    QCOMPARE(cmd(Qt::Key_M, Qt::ControlModifier), ecLineBreak);
    QCOMPARE(cmd(Qt::Key_Tab, Qt::NoModifier), ecNone);
    QCOMPARE(cmd(Qt::Key_A, Qt::NoModifier), ecNone);
  }

  void editorFontIsAMingFace() {
    const QFont font = FontMapping::editorFont(12);
    QCOMPARE(font.pixelSize(), 12);
    QVERIFY(font.fixedPitch());
    const QString family = FontMapping::resolveFamily(QStringLiteral("細明體"));
    QVERIFY(!family.isEmpty());
    if (QFontDatabase::families().contains(QStringLiteral("AR PL UMing TW")) &&
        !QFontDatabase::families().contains(QStringLiteral("細明體")))
      QCOMPARE(family, QStringLiteral("AR PL UMing TW"));
    QCOMPARE(FontMapping::resolveFamily(QStringLiteral("No Such Face 123")),
             QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    // The grid: a double-byte character fits two cells.
    const CellMetrics m = CellMetrics::measure(font, true);
    QVERIFY(m.width >= 4 && m.width <= 10);
    QVERIFY(m.height >= 12 && m.ascent < m.height);
  }

  void clipboardConversions() {
    const std::string bytes = std::string("x\x80") + "\xA4\xA4" + "\xFF";
    std::unique_ptr<QMimeData> data(SystemClipboard::toMimeData(bytes));
    QCOMPARE(SystemClipboard::fromMimeData(data.get()).value(), bytes);
    // Other programs see the decodable part and a replacement character.
    QCOMPARE(data->text(), QStringLiteral("x\uFFFD中\uFFFD"));

    QMimeData foreign;
    foreign.setText(QStringLiteral("ab中"));
    QCOMPARE(SystemClipboard::fromMimeData(&foreign).value(), std::string("ab\xA4\xA4"));
    foreign.setText(QStringLiteral("a😀b"));
    QString refused;
    QVERIFY(!SystemClipboard::fromMimeData(&foreign, &refused).has_value());
    QCOMPARE(refused, QStringLiteral("😀"));
    QCOMPARE(SystemClipboard::fromMimeData(nullptr).value(), std::string());
  }
};

QTEST_MAIN(WidgetPartsTest)
#include "WidgetPartsTest.moc"
