// Window properties: data named by a string (compared without regard to case) or by an atom
// given as an integer resource value. With no atom table in the layer, a string and an atom
// name different properties.
#include <strings.h>

#include <algorithm>

#include "platform/user/window.h"

namespace {

bool Names(const kwplatform::WindowProperty& property, LPCSTR name) {
  if (IS_INTRESOURCE(name))
    return property.name.empty() && property.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
  return !property.name.empty() && strcasecmp(property.name.c_str(), name) == 0;
}

std::vector<kwplatform::WindowProperty>::iterator Find(kwplatform::Window& window, LPCSTR name) {
  return std::find_if(window.properties.begin(), window.properties.end(),
                      [&](const kwplatform::WindowProperty& property) { return Names(property, name); });
}

// A null name, an empty string and atom 0 name nothing.
bool ValidName(LPCSTR name) { return name != nullptr && (IS_INTRESOURCE(name) || *name != 0); }

}  // namespace

extern "C" {

BOOL WINAPI SetPropA(HWND handle, LPCSTR name, HANDLE data) {
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  if (!window || !ValidName(name)) return FALSE;
  auto found = Find(*window, name);
  if (found != window->properties.end()) {
    found->data = data;
    return TRUE;
  }
  kwplatform::WindowProperty property;
  if (IS_INTRESOURCE(name))
    property.atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
  else
    property.name = name;
  property.data = data;
  window->properties.push_back(std::move(property));
  return TRUE;
}

HANDLE WINAPI GetPropA(HWND handle, LPCSTR name) {
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  if (!window || !ValidName(name)) return nullptr;
  auto found = Find(*window, name);
  return found == window->properties.end() ? nullptr : found->data;
}

HANDLE WINAPI RemovePropA(HWND handle, LPCSTR name) {
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  if (!window || !ValidName(name)) return nullptr;
  auto found = Find(*window, name);
  if (found == window->properties.end()) return nullptr;
  HANDLE data = found->data;
  window->properties.erase(found);
  return data;
}

}  // extern "C"
