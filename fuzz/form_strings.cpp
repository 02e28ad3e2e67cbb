// The strings of arbitrary bytes read as a form, each replaced by a text that
// needs a wide string and by one that fits 8 bits: reading the result back
// must give exactly those texts, in the same places.
#include <cstdint>
#include <cstdlib>

#include "formstream/FormStrings.h"
#include "platform/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view stream(reinterpret_cast<const char*>(data), size);
  std::vector<vc::FormString> strings;
  try {
    strings = vc::readFormStrings(stream);
  } catch (const vc::Exception&) {
    return 0;
  }
  std::vector<vc::StringReplacement> replacements;
  for (std::size_t i = 0; i < strings.size(); ++i)
    replacements.push_back({&strings[i], (i % 2 ? "Я\n" : "譯 ") + strings[i].text});
  const std::string translated = vc::replaceFormStrings(stream, replacements);
  std::vector<vc::FormString> back = vc::readFormStrings(translated);
  if (back.size() != strings.size()) std::abort();
  for (std::size_t i = 0; i < back.size(); ++i)
    if (back[i].text != replacements[i].text || back[i].property != strings[i].property) std::abort();
  return 0;
}
