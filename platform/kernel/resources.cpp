// Resources of the engine's own module: the locator record "PICKLE"/101, kept in the
// executable where the image tool patches it.
#include <strings.h>

#include "platform/kernel/embedded_resource.h"
#include "platform/kernel/module.h"
#include "platform/win32.h"

namespace {

constexpr WORD LocatorResourceId = 101;

// Writable data, so that no compiler folds the unpatched bytes into the code that reads them.
__attribute__((used)) kwplatform::EmbeddedResourceRecord locatorRecord = {
    {'K', 'W', 'R', 'E', 'S', ':', 'P', 'I', 'C', 'K', 'L', 'E', '/', '1', '0', '1'},
    {'P', 'I', 'C', 'K', 0, 0, 0, 0}};

static_assert(sizeof(kwplatform::LocatorResourceMarker) == sizeof(locatorRecord.marker));

bool IsEngineModule(HMODULE module) { return module == nullptr || module == kwplatform::EngineModuleHandle(); }

}  // namespace

extern "C" {

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  if (!IsEngineModule(hModule) || lpType == nullptr || IS_INTRESOURCE(lpType) || !IS_INTRESOURCE(lpName)) return nullptr;
  if (strcasecmp(lpType, "PICKLE") != 0 || reinterpret_cast<ULONG_PTR>(lpName) != LocatorResourceId) return nullptr;
  return reinterpret_cast<HRSRC>(&locatorRecord);
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
  if (!IsEngineModule(hModule) || hResInfo != reinterpret_cast<HRSRC>(&locatorRecord)) return nullptr;
  return locatorRecord.data;
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  if (!IsEngineModule(hModule) || hResInfo != reinterpret_cast<HRSRC>(&locatorRecord)) return 0;
  return sizeof locatorRecord.data;
}

}  // extern "C"
