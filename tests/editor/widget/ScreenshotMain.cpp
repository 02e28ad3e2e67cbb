// Shows the editor holding a form text (Big5 captions, a brace block, a
// selection, two bookmarks) and saves a picture of the window to a PNG.
// Usage: editor_screenshot OUT.png [WIDTH HEIGHT]
#include <QApplication>
#include <QImage>
#include <QTimer>
#include <cstdio>

#include "editor/highlight/DfmHighlighter.h"
#include "editor/widget/CodeEditor.h"
#include "platform/Cp950.h"

namespace {

const char* const kFormText =
    "object Form1: TForm1\r\n"
    "  Left = 192\r\n"
    "  Top = 107\r\n"
    "  Width = 544\r\n"
    "  Caption = '檔案轉換工具'\r\n"
    "  Color = clBtnFace\r\n"
    "  Font.Charset = CHINESEBIG5_CHARSET\r\n"
    "  Font.Name = '細明體'\r\n"
    "  Font.Height = -12\r\n"
    "  OldCreateOrder = False\r\n"
    "  PixelsPerInch = 96\r\n"
    "  object Button1: TButton\r\n"
    "    Caption = '確定(&O)'\r\n"
    "    Hint = '儲存變更|將修改寫回檔案'#13#10'第二行'\r\n"
    "    TabOrder = 0\r\n"
    "  end\r\n"
    "  object Image1: TImage\r\n"
    "    Picture.Data = {\r\n"
    "      07544269746D617036030000424D360300000000000036000000280000001000\r\n"
    "      000010000000010018000000000000030000C40E0000C40E00000000000000}\r\n"
    "  end\r\n"
    "  object Label1: TLabel\r\n"
    "    Caption = '中文標籤：ＡＢＣ'\r\n"
    "    Width = 1.5E3\r\n"
    "  end\r\n"
    "end\r\n";

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: editor_screenshot OUT.png [WIDTH HEIGHT]\n");
    return 2;
  }
  const int width = argc > 3 ? std::atoi(argv[2]) : 620;
  const int height = argc > 3 ? std::atoi(argv[3]) : 400;

  vc::DfmHighlighter formsyn;
  formsyn.applyWorkbenchColours();
  vc::CodeEditor editor;
  editor.model().setHighlighter(&formsyn);
  editor.model().loadFromBytes(vc::cp950::fromUtf8(kFormText).value());
  editor.resize(width, height);
  editor.model().setBookmark(1, 1, 5);
  editor.model().setBookmark(2, 1, 12);
  editor.model().setSelection({5, 13}, {19, 14});
  editor.setWindowTitle(QStringLiteral("程式碼編輯區"));
  editor.show();
  editor.activateWindow();
  editor.setFocus();

  const QString out = QString::fromLocal8Bit(argv[1]);
  int status = 1;
  QTimer::singleShot(300, [&] {
    status = editor.grab().toImage().save(out) ? 0 : 1;
    app.quit();
  });
  app.exec();
  if (status != 0) std::fprintf(stderr, "editor_screenshot: cannot write %s\n", argv[1]);
  return status;
}
