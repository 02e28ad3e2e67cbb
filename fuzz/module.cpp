// Opens the input as a module, lists its forms and reads every resource the
// listing names, plus a few names that are always looked up; then its string
// tables, each readable block encoded again.
#include <cstdint>
#include <string>
#include <vector>

#include "modres/Module.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<vc::modres::Module> module;
  try {
    module = vc::modres::Module::openBytes(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const vc::modres::EModuleError&) {
    return 0;
  }
  std::vector<std::string> names;
  module->listFormNames(names);
  names.insert(names.end(), {"DVCLAL", "PACKAGEINFO", "#1", "tform1"});
  for (const std::string& name : names) {
    try {
      auto stream = module->readFormResource(name);
      std::string bytes(static_cast<std::size_t>(stream->size()), '\0');
      stream->read(bytes.data(), bytes.size());
    } catch (const vc::EResNotFound&) {
    }
  }
  const vc::modres::StringTables& tables = module->stringTables();
  for (const vc::modres::StringBlock& b : tables.blocks)
    if (b.text) vc::modres::encodeStringBlock(*b.text);
  for (const vc::modres::StringBlockError& e : tables.errors) (void)e.reason();
  return 0;
}
