// Mapping and running PE32 DLLs. The parsing is pe_image's; this file owns the memory and
// the calls into the image's code, which only a 32-bit process can make.
#include "platform/kernel/pe_loader.h"

#include <string>

#include "platform/kernel/module.h"

namespace kwplatform {

namespace {

using DllEntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
using TlsCallback = void(WINAPI*)(PVOID, DWORD, PVOID);

// Forwarders may name each other in a loop; a chain longer than this is taken for one.
constexpr int MaximumForwarderDepth = 16;
thread_local int forwarderDepth = 0;

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

uint32_t Address32(const void* address) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address)); }

template <class Function>
Function CodeAt(const PeModule& module, uint32_t rva) {
  return reinterpret_cast<Function>(module.base + rva);
}

// The ordinal that an integer resource value names: its low word, as Win32 reads it.
uint16_t Ordinal(LPCSTR name) { return static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name)); }

void CallTlsCallbacks(const PeModule& module, DWORD reason) {
  for (uint32_t rva : module.tlsCallbackRvas) CodeAt<TlsCallback>(module, rva)(module.Handle(), reason, nullptr);
}

}  // namespace

bool MapPeModule(std::span<const uint8_t> file, PeModule& module) {
  if (sizeof(void*) != sizeof(uint32_t)) return Fail(ERROR_BAD_EXE_FORMAT);
  if (ReadPeHeaders(file, module.info) != PeError::None) return Fail(ERROR_BAD_EXE_FORMAT);
  const PeImageInfo& info = module.info;
  void* memory = VirtualAlloc(reinterpret_cast<void*>(uintptr_t{info.imageBase}), info.sizeOfImage,
                              MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
  if (memory == nullptr)
    memory = VirtualAlloc(nullptr, info.sizeOfImage, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
  // An image's address is its handle, so none may sit where the engine's handle points: that
  // memory stays reserved and the image goes elsewhere.
  if (memory == EngineModuleHandle())
    memory = VirtualAlloc(nullptr, info.sizeOfImage, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
  if (memory == nullptr) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  module.base = static_cast<uint8_t*>(memory);
  // The whole image stays readable, writable and executable: section protections are not
  // applied, so an image that writes to its read-only data works here though not on Win32.
  LayOutPeImage(file, info, module.Image());
  if (RelocatePeImage(info, module.Image(), Address32(module.base)) != PeError::None) return Fail(ERROR_BAD_EXE_FORMAT);
  return true;
}

bool BindPeImports(PeModule& module) {
  std::vector<PeImportedLibrary> libraries;
  if (ReadPeImports(module.info, module.Image(), libraries) != PeError::None) return Fail(ERROR_BAD_EXE_FORMAT);
  for (const PeImportedLibrary& library : libraries) {
    HMODULE handle = LoadLibraryA(library.name.c_str());
    if (handle == nullptr) return false;
    module.dependencies.push_back(handle);
    for (const PeImport& import : library.imports) {
      LPCSTR routine = import.name.empty() ? MAKEINTRESOURCEA(import.ordinal) : import.name.c_str();
      FARPROC address = GetProcAddress(handle, routine);
      if (address == nullptr) return false;
      WritePeWord(module.Image(), import.slotRva, Address32(reinterpret_cast<const void*>(address)));
    }
  }
  return true;
}

bool AttachPeModule(PeModule& module) {
  PeTls tls;
  if (ReadPeTls(module.info, module.Image(), Address32(module.base), tls) != PeError::None)
    return Fail(ERROR_BAD_EXE_FORMAT);
  // There is no thread environment block to hold implicit TLS data, so a DLL's thread-local
  // variables are not supported; its callbacks run, and the index it reads is 0.
  if (tls.indexRva != 0) WritePeWord(module.Image(), tls.indexRva, 0);
  module.tlsCallbackRvas = std::move(tls.callbackRvas);
  CallTlsCallbacks(module, DLL_PROCESS_ATTACH);
  module.attached = true;
  if (module.info.entryPointRva == 0) return true;
  auto entryPoint = CodeAt<DllEntryPoint>(module, module.info.entryPointRva);
  if (entryPoint(module.Handle(), DLL_PROCESS_ATTACH, nullptr)) return true;
  module.attached = false;
  entryPoint(module.Handle(), DLL_PROCESS_DETACH, nullptr);
  CallTlsCallbacks(module, DLL_PROCESS_DETACH);
  return Fail(ERROR_DLL_INIT_FAILED);
}

void UnloadPeModule(PeModule& module) {
  if (module.attached) {
    if (module.info.entryPointRva != 0)
      CodeAt<DllEntryPoint>(module, module.info.entryPointRva)(module.Handle(), DLL_PROCESS_DETACH, nullptr);
    CallTlsCallbacks(module, DLL_PROCESS_DETACH);
    module.attached = false;
  }
  for (auto dependency = module.dependencies.rbegin(); dependency != module.dependencies.rend(); ++dependency)
    FreeLibrary(*dependency);
  module.dependencies.clear();
  if (module.base != nullptr) VirtualFree(module.base, 0, MEM_RELEASE);
  module.base = nullptr;
}

FARPROC FindPeModuleExport(PeModule& module, LPCSTR name) {
  PeExport found = IS_INTRESOURCE(name) ? FindPeExportByOrdinal(module.info, module.Image(), Ordinal(name))
                                        : FindPeExportByName(module.info, module.Image(), name);
  if (found.kind == PeExport::Kind::Code) return reinterpret_cast<FARPROC>(module.base + found.rva);
  std::string library, routine;
  uint16_t ordinal = 0;
  if (found.kind == PeExport::Kind::Missing || forwarderDepth >= MaximumForwarderDepth ||
      !SplitPeForwarder(found.forwarder, library, routine, ordinal)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  // A forwarder names its library without the extension. The library stays loaded for as
  // long as the forwarding module.
  library += ".dll";
  HMODULE target = GetModuleHandleA(library.c_str());
  if (target == nullptr) {
    target = LoadLibraryA(library.c_str());
    if (target == nullptr) return nullptr;
    module.dependencies.push_back(target);
  }
  forwarderDepth++;
  FARPROC address = GetProcAddress(target, routine.empty() ? MAKEINTRESOURCEA(ordinal) : routine.c_str());
  forwarderDepth--;
  return address;
}

}  // namespace kwplatform
