// formtext highlight: form text in the highlighter's colours on a terminal,
// or the token stream the editor sees, one token a line. The text is shown
// as UTF-8.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/FormTextInput.h"
#include "cli/Io.h"
#include "editor/highlight/DfmHighlighter.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "editor/model/EditorModel.h"
#include "formstream/Utf8FormText.h"
#include "platform/Cp950.h"
#include "platform/Utf.h"

namespace vc::cli {
namespace {

// Printable ASCII as it is, a backslash doubled, any other byte as \xHH.
void appendEscaped(std::string& out, std::string_view bytes) {
  static const char hex[] = "0123456789ABCDEF";
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    if (b == '\\') {
      out += "\\\\";
    } else if (b >= 0x20 && b < 0x7F) {
      out.push_back(ch);
    } else {
      out += "\\x";
      out.push_back(hex[b >> 4]);
      out.push_back(hex[b & 15]);
    }
  }
}

void appendColour(std::string& out, Color c, bool foreground) {
  if (c.kind != Color::Kind::Rgb) {
    out += foreground ? ";39" : ";49";  // the terminal's own colours stand for the system's
    return;
  }
  out += foreground ? ";38;2;" : ";48;2;";
  out += std::to_string((c.rgb >> 16) & 255) + ";" + std::to_string((c.rgb >> 8) & 255) + ";" +
         std::to_string(c.rgb & 255);
}

std::string sgr(const HighlightAttributes* a) {
  std::string s = "\x1b[0";
  if (a) {
    if (a->style() & fsBold) s += ";1";
    if (a->style() & fsItalic) s += ";3";
    if (a->style() & fsUnderline) s += ";4";
    if (a->style() & fsStrikeOut) s += ";9";
    appendColour(s, a->foreground(), true);
    appendColour(s, a->background(), false);
  }
  return s + "m";
}

// One line in colour. A Big5 character may fall in two tokens (bytes above
// 127 outside quotes are one token each), so characters are decoded whole and
// take the attributes of the token their first byte lies in.
void appendColoured(std::string& out, Highlighter& h, const std::string& line, int index, bool colour) {
  if (!colour) {
    out += cp950::toUtf8(line) + '\n';
    return;
  }
  std::vector<const HighlightAttributes*> attrOf(line.size(), nullptr);
  for (h.startLine(line, index); !h.atLineEnd(); h.advance())
    for (std::size_t i = 0; i < h.tokenText().size(); ++i)
      attrOf[static_cast<std::size_t>(h.tokenStart()) + i] = h.tokenAttributes();
  const HighlightAttributes* current = nullptr;
  std::string shown;  // the escape sequence in force
  for (std::size_t i = 0; i < line.size();) {
    std::size_t n = cp950::charLength(line, i);
    if (shown.empty() || attrOf[i] != current) {
      current = attrOf[i];
      std::string next = sgr(current);
      if (next != shown) out += next;
      shown = std::move(next);
    }
    out += cp950::toUtf8(std::string_view(line).substr(i, n));
    i += n;
  }
  if (!shown.empty()) out += "\x1b[0m";
  out += '\n';
}

class Highlight : public Command {
  std::string m_input = "-";
  std::string m_output = "-";
  std::string m_colour = "auto";
  bool m_html = false;
  bool m_tokens = false;
  bool m_utf8 = false;

  void declare(Arguments& args) override {
    args.input(m_input);
    addFormTextUtf8(args, m_utf8);
    args.flag("--html", m_html, "use the HTML highlighter for the input instead of the form text one");
    args.flag("--tokens", m_tokens, "write the tokens, one a line: line, column, kind, text (\\xHH escapes)");
    args.choice("--color", m_colour, {"auto", "always", "never"},
                "colour escapes: auto (only when writing to a terminal), always or never");
    args.output(m_output);
  }

  int run() override {
    // Read as txt2bin reads it: UTF-8 when asked for or when it starts with
    // the byte-order mark.
    std::string data = m_html ? readWhole(*openInput(m_input)) : readWhole(*openFormText(m_input, m_utf8));
    if (m_html && (m_utf8 || startsWithUtf8Bom(data))) {
      std::string_view text = data;
      if (startsWithUtf8Bom(text)) text.remove_prefix(kUtf8Bom.size());
      data = cp950::encodeLossy(utf::utf8ToUtf16(text));
    }
    std::unique_ptr<Highlighter> h;
    if (m_html) {
      auto html = std::make_unique<HtmlHighlighter>();
      html->applyWorkbenchColours();
      h = std::move(html);
    } else {
      auto dfm = std::make_unique<DfmHighlighter>();
      dfm->applyWorkbenchColours();
      h = std::move(dfm);
    }
    EditorModel model(0);
    model.loadFromBytes(data);
    data.clear();
    model.setHighlighter(h.get());

    Output out(m_output, false);
    const bool colour = m_colour == "always" || (m_colour == "auto" && m_output == "-" && ::isatty(1));
    std::string buf;
    for (int k = 0; k < model.lineCount(); ++k) {
      const std::string& line = model.lineText(k);
      h->setRangeState(model.lineRange(k));
      if (m_tokens) {
        for (h->startLine(line, k); !h->atLineEnd(); h->advance()) {
          buf += std::to_string(k + 1) + '\t' + std::to_string(h->tokenStart()) + '\t' +
                 std::to_string(h->tokenKind()) + '\t';
          appendEscaped(buf, h->tokenText());
          buf += '\n';
        }
      } else {
        appendColoured(buf, *h, line, k, colour);
      }
      if (buf.size() >= 65536) {
        out.write(buf);
        buf.clear();
      }
    }
    out.write(buf);
    out.commit();
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Highlight, "highlight", "show form text (or HTML, --html) in the editor's colours, or its tokens",
                    "formtext highlight form.txt --color=always | less -R");

}  // namespace vc::cli
