// Window classes: registration by name (compared without regard to case) or by the atom that
// registration returns, per module instance.
#include <strings.h>

#include <mutex>
#include <vector>

#include "platform/user/window.h"

namespace {

std::mutex classLock;
std::vector<std::shared_ptr<kwplatform::WindowClass>> classes;
// Class atoms come from Win32's range of string atoms.
ATOM nextAtom = 0xC000;

bool NameMatches(const kwplatform::WindowClass& windowClass, LPCSTR name) {
  if (IS_INTRESOURCE(name)) return windowClass.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
  return strcasecmp(windowClass.name.c_str(), name) == 0;
}

// The class of that name registered by instance, else by any module. Called with classLock held.
std::vector<std::shared_ptr<kwplatform::WindowClass>>::iterator Find(LPCSTR name, HINSTANCE instance) {
  auto anyModule = classes.end();
  for (auto candidate = classes.begin(); candidate != classes.end(); ++candidate) {
    if (!NameMatches(**candidate, name)) continue;
    if ((*candidate)->instance == instance) return candidate;
    if (anyModule == classes.end()) anyModule = candidate;
  }
  return anyModule;
}

}  // namespace

namespace kwplatform {

std::shared_ptr<WindowClass> FindWindowClass(LPCSTR name, HINSTANCE instance) {
  if (name == nullptr) return nullptr;
  std::lock_guard<std::mutex> guard(classLock);
  auto found = Find(name, instance);
  return found == classes.end() ? nullptr : *found;
}

}  // namespace kwplatform

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* description) {
  if (description == nullptr || description->lpszClassName == nullptr || IS_INTRESOURCE(description->lpszClassName) ||
      *description->lpszClassName == 0 || description->cbClsExtra < 0 || description->cbWndExtra < 0)
    return 0;
  std::lock_guard<std::mutex> guard(classLock);
  for (const auto& existing : classes)
    if (existing->instance == description->hInstance && NameMatches(*existing, description->lpszClassName)) return 0;
  if (nextAtom == 0) return 0;  // every atom of the range is taken
  auto windowClass = std::make_shared<kwplatform::WindowClass>();
  windowClass->atom = nextAtom++;
  windowClass->name = description->lpszClassName;
  windowClass->style = description->style;
  windowClass->procedure = description->lpfnWndProc;
  windowClass->windowExtraBytes = description->cbWndExtra;
  windowClass->classExtraBytes.assign(static_cast<size_t>(description->cbClsExtra), 0);
  windowClass->instance = description->hInstance;
  windowClass->icon = description->hIcon;
  windowClass->cursor = description->hCursor;
  windowClass->background = description->hbrBackground;
  if (IS_INTRESOURCE(description->lpszMenuName))
    windowClass->menuId = static_cast<WORD>(reinterpret_cast<uintptr_t>(description->lpszMenuName));
  else
    windowClass->menuName = description->lpszMenuName;
  classes.push_back(std::move(windowClass));
  return classes.back()->atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
  if (name == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(classLock);
  auto found = Find(name, instance);
  // Win32 refuses while windows of the class exist.
  if (found == classes.end() || (*found)->liveWindows.load() > 0) return FALSE;
  classes.erase(found);
  return TRUE;
}

}  // extern "C"
