#pragma once
// What the module commands (list, dump, extract, strings) share: opening the
// module with the workbench's message on failure, and names given on the
// command line.
#include <memory>
#include <string>

#include "modres/Module.h"

namespace vc::cli {

// The module at path, or an exception carrying the path,
// "無法載入檔案，可能檔案不是使用EDLPHI編寫的，或者資源已經損壞！" and, after ": ",
// the reason.
std::unique_ptr<modres::Module> openModule(const std::string& path);

// The form names of the module at path. When the listing fails, or finds
// no forms, problem says why (with the path) and names holds what was found.
std::vector<std::string> formNames(modres::Module& module, const std::string& path, std::string& problem);

// The last line of `formtext list`: "(385 resource strings)".
std::string resourceStringCountLine(std::size_t count);

// A resource name from the command line: CP950 bytes as given, or with
// utf8 terminal text to be encoded (names CP950 cannot hold are kept as
// typed, which is how their "{U+XXXX}" spellings arrive).
std::string resourceNameArgument(const std::string& arg, bool utf8);

// The help of --satellite, which po apply and patch share.
inline constexpr const char* kSatelliteHelp =
    "a satellite resource DLL of SOURCE, translated, to write: the unchanged program loads it from beside itself. "
    "Name it after the program and the user's locale: Project1.CHT beside Project1.exe for Traditional Chinese "
    "(CHS Simplified Chinese, JPN Japanese, KOR Korean, DEU German, ENU English); when OUT is a folder, the file "
    "is named NAME.CHT there";

}  // namespace vc::cli
