#pragma once
// Plain-text clipboard as the editor model uses it. The widget provides the
// system's clipboard; tests provide a memory one.
#include <string>

namespace vc {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::u16string text() const = 0;
  virtual void setText(const std::u16string& text) = 0;
};

// A clipboard that lives in memory.
class MemoryClipboard : public Clipboard {
 public:
  std::u16string text() const override { return m_text; }
  void setText(const std::u16string& text) override { m_text = text; }

 private:
  std::u16string m_text;
};

}  // namespace vc
