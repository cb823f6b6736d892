// Loading PE32 DLLs into the process: mapping, relocation, import binding, and the calls of
// their TLS callbacks and entry point. Each step fails with the last error set and leaves the
// module for UnloadPeModule. Images run only in the 32-bit build; the 64-bit build refuses
// them as ERROR_BAD_EXE_FORMAT.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/kernel/pe_image.h"
#include "platform/win32.h"

namespace kwplatform {

struct PeModule {
  PeImageInfo info;
  uint8_t* base = nullptr;            // the image in memory; also the module's handle
  std::vector<HMODULE> dependencies;  // libraries loaded for its imports and forwarders, freed with it
  std::vector<uint32_t> tlsCallbackRvas;
  bool attached = false;  // its entry point accepted DLL_PROCESS_ATTACH

  std::span<uint8_t> Image() const { return {base, info.sizeOfImage}; }
  HMODULE Handle() const { return reinterpret_cast<HMODULE>(base); }
};

// Checks a DLL file and maps its image into executable memory at its preferred base, or
// relocated elsewhere when that is taken.
bool MapPeModule(std::span<const uint8_t> file, PeModule& module);

// Fills the import address table, loading imported libraries through LoadLibraryA.
bool BindPeImports(PeModule& module);

// Calls the TLS callbacks, then the entry point, with DLL_PROCESS_ATTACH; an entry point that
// refuses is called again with DLL_PROCESS_DETACH, as Win32 does.
bool AttachPeModule(PeModule& module);

// Detaches an attached module, frees its dependencies and unmaps it.
void UnloadPeModule(PeModule& module);

// The address of an export by name, or by ordinal when name is an integer resource value,
// following forwarders to other libraries. Null with ERROR_PROC_NOT_FOUND when absent.
FARPROC FindPeModuleExport(PeModule& module, LPCSTR name);

}  // namespace kwplatform
