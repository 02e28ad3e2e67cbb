#pragma once
// Why a module cannot be opened or its forms cannot be listed. The message is
// the reason in a few words ("truncated module: ..."); the workbench shows its
// own message instead, the command line puts the reason behind that message.
#include "platform/Exception.h"

namespace vc::modres {

enum class ModuleFault {
  Missing,       // no file by that name
  NotAFile,      // a folder, pipe or device
  Unreadable,    // the system refused to read it
  NotAModule,    // no MZ or PE signature, or an unknown optional header
  Truncated,     // headers or resource data lie beyond the end of the file
  NoResources,   // the image has no resource directory
  NoForms,       // the resource directory has no RT_RCDATA entry
  Damaged,       // a directory table or name lies outside its section, or is too large
  Loop,          // the directory points back at itself
};

class EModuleError : public Exception {
 public:
  EModuleError(ModuleFault fault, const std::string& reason) : Exception(reason), m_fault(fault) {}
  ModuleFault fault() const { return m_fault; }

 private:
  ModuleFault m_fault;
};

}  // namespace vc::modres
