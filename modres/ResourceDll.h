#pragma once
// A resource-only DLL made from a module: every resource of the module
// (type, name or id, language, code page, bytes) in one resource section of
// a new image for the module's machine, with the DLL flag, no code, no entry
// point, no imports and a valid checksum. A program's runtime loads such a
// file beside the program as data and takes its forms and resource strings
// from it.
#include <string>

namespace vc::modres {

// Raises EModuleWrite when the module cannot be read (its headers or its
// resource directory), holds no resources, or the resources would be too
// large for the format.
std::string resourceOnlyDll(const std::string& module);

}  // namespace vc::modres
