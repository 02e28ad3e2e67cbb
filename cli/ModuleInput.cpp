#include "cli/ModuleInput.h"

#include "platform/Cp950.h"
#include "platform/Exception.h"

namespace vc::cli {

std::unique_ptr<modres::Module> openModule(const std::string& path) {
  try {
    return modres::Module::open(path);
  } catch (const modres::EModuleError& e) {
    throw Exception(path + ": 無法載入檔案，可能檔案不是使用EDLPHI編寫的，或者資源已經損壞！: " + e.what());
  }
}

std::vector<std::string> formNames(modres::Module& module, const std::string& path, std::string& problem) {
  std::vector<std::string> names;
  problem.clear();
  if (Outcome<modres::EModuleError> listed = module.listFormNames(names); !listed)
    problem = path + ": " + listed.reason().what();
  else if (names.empty()) problem = path + ": no forms: the module's RT_RCDATA resources are DVCLAL and PACKAGEINFO only";
  return names;
}

std::string resourceStringCountLine(std::size_t count) {
  return "(" + std::to_string(count) + (count == 1 ? " resource string)" : " resource strings)");
}

std::string resourceNameArgument(const std::string& arg, bool utf8) {
  if (!utf8) return arg;
  std::optional<std::string> bytes = cp950::fromUtf8(arg);
  return bytes ? *bytes : arg;
}

}  // namespace vc::cli
