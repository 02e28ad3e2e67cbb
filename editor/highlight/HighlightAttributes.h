#pragma once
// One named display attribute set of a highlighter: background, foreground
// and font style. Changing a value tells the owning highlighter, which tells
// every attached editor to re-measure and repaint.
#include <cstdint>
#include <string>

namespace vc {

// A colour as the editor needs it: either a fixed RGB value or one of the
// two system colours the editor follows (so a theme change is honoured).
struct Color {
  enum class Kind : std::uint8_t { Rgb, Window, WindowText };
  Kind kind = Kind::Rgb;
  std::uint32_t rgb = 0;  // 0xRRGGBB, meaningful only for Kind::Rgb

  static constexpr Color fromRgb(std::uint32_t rgb) { return {Kind::Rgb, rgb & 0xFFFFFFu}; }
  static constexpr Color window() { return {Kind::Window, 0}; }
  static constexpr Color windowText() { return {Kind::WindowText, 0}; }
  friend constexpr bool operator==(const Color&, const Color&) = default;
};

// Font style bits.
enum FontStyle : std::uint8_t {
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
  fsStrikeOut = 8,
};
using FontStyles = std::uint8_t;

class HighlightAttributes {
 public:
  // The callback is the owner's change hook; it runs after each real change.
  using ChangeHook = void (*)(void* owner);

  explicit HighlightAttributes(std::string name, ChangeHook hook = nullptr, void* owner = nullptr);
  HighlightAttributes(const HighlightAttributes&) = delete;
  HighlightAttributes& operator=(const HighlightAttributes&) = delete;

  const std::string& name() const { return m_name; }
  Color background() const { return m_background; }
  Color foreground() const { return m_foreground; }
  FontStyles style() const { return m_style; }
  bool isBold() const { return (m_style & fsBold) != 0; }

  // Each setter notifies only when the value differs from the current one.
  void setBackground(Color c);
  void setForeground(Color c);
  void setStyle(FontStyles s);

 private:
  void changed();

  std::string m_name;
  Color m_background = Color::window();
  Color m_foreground = Color::windowText();
  FontStyles m_style = 0;
  ChangeHook m_hook;
  void* m_owner;
};

}  // namespace vc
