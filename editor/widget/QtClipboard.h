#pragma once
// The editor model's clipboard on top of the system clipboard. Text goes out
// as plain text and, for pasting back here, as its CP950 bytes, so bytes
// that do not decode come back unchanged.
#include "editor/model/Clipboard.h"

namespace vc {

class QtClipboard : public Clipboard {
 public:
  // UTF-16 as the model expects it: bytes copied from this program come
  // back decoded losslessly (undecodable bytes as lone surrogates).
  std::u16string text() const override;
  void setText(const std::u16string& text) override;
};

}  // namespace vc
