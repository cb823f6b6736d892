// System colours: the classic grey interface scheme.
#include "platform/gdi/system_colors.h"

#include "platform/gdi/gdi_object.h"

namespace kwplatform {

namespace {

constexpr COLORREF systemColors[SystemColorCount] = {
    RGB(192, 192, 192),  // COLOR_SCROLLBAR
    RGB(0, 128, 128),    // COLOR_BACKGROUND
    RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // COLOR_3DDKSHADOW
    RGB(223, 223, 223),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(192, 192, 192),  // 25: no colour of its own
    RGB(0, 0, 255),      // COLOR_HOTLIGHT
    RGB(16, 132, 208),   // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),      // COLOR_MENUHILIGHT
    RGB(192, 192, 192),  // COLOR_MENUBAR
};

bool IsSystemColor(int index) { return index >= 0 && index < SystemColorCount; }

}  // namespace

std::optional<COLORREF> BrushFillColor(HBRUSH brush) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  if (value >= 1 && value <= static_cast<uintptr_t>(SystemColorCount)) return systemColors[value - 1];
  BrushObject* object = FindGdiObjectOf<BrushObject>(brush);
  if (!object || object->style == BS_NULL) return std::nullopt;
  return object->color;
}

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

DWORD WINAPI GetSysColor(int index) { return IsSystemColor(index) ? systemColors[index] : 0; }

HBRUSH WINAPI GetSysColorBrush(int index) {
  // One brush per colour for the life of the process; DeleteObject leaves it alone.
  static HGDIOBJ brushes[SystemColorCount] = {};
  if (!IsSystemColor(index)) return nullptr;
  if (brushes[index] == nullptr) {
    GdiObject object;
    object.value = BrushObject{BS_SOLID, systemColors[index]};
    object.stock = true;
    brushes[index] = AddGdiObject(std::move(object));
  }
  return static_cast<HBRUSH>(brushes[index]);
}

}  // extern "C"
