// The quick PO reader on any bytes: it reads them or leaves them to
// libgettextpo; what it reads is written again and read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "translation/PoText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<std::vector<vc::PoEntry>> entries = vc::quickReadPo(text);
  if (!entries) return 0;
  for (vc::PoEntry& e : *entries) e.line = 0;
  // Only entries with a context come back as written: the writer always gives one.
  for (const vc::PoEntry& e : *entries)
    if (!e.hasContext) return 0;
  std::optional<std::vector<vc::PoEntry>> again = vc::quickReadPo(vc::poText("x", *entries));
  if (!again || again->size() != entries->size()) std::abort();
  for (std::size_t i = 0; i < entries->size(); ++i) {
    const vc::PoEntry& a = (*entries)[i];
    const vc::PoEntry& b = (*again)[i];
    if (a.context != b.context || a.msgid != b.msgid || a.msgstr != b.msgstr || a.fuzzy != b.fuzzy) std::abort();
  }
  return 0;
}
