// The layer's system libraries, which LoadLibraryA finds by name and whose exports are the
// layer's own functions.
#pragma once

#include <span>

#include "platform/win32.h"

namespace kwplatform {

struct SystemExport {
  const char* name;
  FARPROC address;
};

struct SystemModule {
  const char* name;  // lower case, with its extension
  std::span<const SystemExport> exports;
};

// Every system library; a module's handle is the address of its record, so handles are
// distinct from each other and from any mapped image.
std::span<const SystemModule> SystemModules();

}  // namespace kwplatform
