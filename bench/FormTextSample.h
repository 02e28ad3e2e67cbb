#pragma once
// Generated form text for the editor benchmarks: nested components with
// properties, Big5 captions and brace blocks spanning lines, about `lines`
// lines long.
#include <string>

namespace vc::bench {

inline std::string makeFormText(int lines) {
  std::string t;
  t.reserve(static_cast<std::size_t>(lines) * 34);
  t += "object Form1: TForm1\r\n";
  int n = 1, i = 0;
  while (n < lines - 1) {
    t += "  object Button" + std::to_string(i) + ": TButton\r\n";
    t += "    Left = " + std::to_string(i % 640) + "\r\n";
    t += "    Caption = '\xB7\x7C\xC4\xB3\xAB\xC7 " + std::to_string(i) + "'\r\n";
    t += "    Font.Name = 'MS Sans Serif'\r\n";
    t += "    Glyph.Data = {\r\n";
    t += "      0A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\r\n";
    t += "      202122232425262728292A2B2C2D2E2F}\r\n";
    t += "  end\r\n";
    n += 8;
    ++i;
  }
  t += "end\r\n";
  return t;
}

// Two property lines per match, the first of them carrying "Left".
inline std::string makeMatchText(int matches) {
  std::string t;
  for (int i = 0; i < matches; ++i) {
    t += "  Left = ";
    t += std::to_string(i % 1000);
    t += "\r\n  Top = 8\r\n";
  }
  return t;
}

}  // namespace vc::bench
