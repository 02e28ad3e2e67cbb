#include "translation/ExtensionRule.h"

namespace vc {

bool hasExtension(std::string_view path, std::string_view ext) {
  std::size_t dot = path.rfind('.');
  std::size_t start = dot == std::string_view::npos ? 0 : dot + 1;
  return path.substr(start, 3) == ext;
}

DocumentKind documentKind(std::string_view path) {
  if (hasExtension(path, "cpl") || hasExtension(path, "dll") || hasExtension(path, "exe"))
    return DocumentKind::Module;
  if (hasExtension(path, "txt")) return DocumentKind::Text;
  if (hasExtension(path, "dfm")) return DocumentKind::FormFile;
  return DocumentKind::Refused;
}

}  // namespace vc
