#include "cli/ModuleInput.h"

#include "platform/Cp950.h"
#include "platform/Exception.h"

namespace vc::cli {

std::unique_ptr<modres::Module> openModule(const std::string& path) {
  auto module = modres::Module::open(path);
  if (!module) throw Exception(path + ": 無法載入檔案，可能檔案不是使用EDLPHI編寫的，或者資源已經損壞！");
  return module;
}

std::string resourceNameArgument(const std::string& arg, bool utf8) {
  if (!utf8) return arg;
  std::optional<std::string> bytes = cp950::fromUtf8(arg);
  return bytes ? *bytes : arg;
}

}  // namespace vc::cli
