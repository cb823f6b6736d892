// The GDI object table, stock objects, and the calls that create, inspect and delete pens and
// brushes or any object by handle.
#include "platform/gdi/gdi_object.h"

#include <cstring>

#include "platform/kernel/handle_table.h"

namespace kwplatform {

namespace {

HandleTable<GdiObject>& Objects() {
  static HandleTable<GdiObject> table(HandleKind::GdiObject);
  return table;
}

LOGFONTA StockFont(LONG height, LONG weight, BYTE pitchAndFamily, const char* face) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = ANSI_CHARSET;
  font.lfPitchAndFamily = pitchAndFamily;
  strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
  return font;
}

GdiObject MakeStockObject(int index) {
  GdiObject object;
  object.stock = true;
  if (index >= WHITE_BRUSH && index <= NULL_BRUSH) {
    static constexpr COLORREF brushColors[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                               RGB(64, 64, 64),    RGB(0, 0, 0),       0};
    object.value = BrushObject{index == NULL_BRUSH ? BS_NULL : BS_SOLID, brushColors[index]};
  } else if (index >= WHITE_PEN && index <= NULL_PEN) {
    static constexpr COLORREF penColors[] = {RGB(255, 255, 255), RGB(0, 0, 0), 0};
    object.value = PenObject{index == NULL_PEN ? PS_NULL : PS_SOLID, 0, penColors[index - WHITE_PEN]};
  } else if (index == SYSTEM_FONT || index == DEVICE_DEFAULT_FONT) {
    // The system font is the classic bold interface face; the fixed fonts a fixed-pitch face.
    object.value = FontObject{StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System")};
  } else if (index == ANSI_VAR_FONT) {
    object.value = FontObject{StockFont(12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif")};
  } else if (index == DEFAULT_GUI_FONT) {
    object.value = FontObject{StockFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif")};
  } else {
    object.value = FontObject{StockFont(15, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys")};
  }
  return object;
}

// The stock objects this layer has (palettes and the DC pen and brush are not among them).
bool IsStockIndex(int index) {
  return (index >= WHITE_BRUSH && index <= NULL_PEN) || (index >= OEM_FIXED_FONT && index <= DEVICE_DEFAULT_FONT) ||
         index == SYSTEM_FIXED_FONT || index == DEFAULT_GUI_FONT;
}

template <typename Value>
int CopyOut(const Value& value, int size, LPVOID buffer) {
  if (buffer == nullptr) return sizeof value;
  if (size <= 0) return 0;
  int copied = size < static_cast<int>(sizeof value) ? size : static_cast<int>(sizeof value);
  memcpy(buffer, &value, static_cast<size_t>(copied));
  return copied;
}

int DescribeBitmap(const BitmapObject& bitmap, int size, LPVOID buffer) {
  BITMAP description = {};
  description.bmWidth = bitmap.surface->width;
  description.bmHeight = bitmap.surface->height;
  description.bmWidthBytes = bitmap.surface->width * 4;
  description.bmPlanes = 1;
  description.bmBitsPixel = static_cast<WORD>(bitmap.bitsPerPixel);
  if (!bitmap.isDibSection) return CopyOut(description, size, buffer);
  description.bmBits = bitmap.dibBits.get();
  if (buffer == nullptr || size < static_cast<int>(sizeof(DIBSECTION))) return CopyOut(description, size, buffer);
  DIBSECTION section = {};
  section.dsBm = description;
  section.dsBmih = bitmap.dibHeader;
  return CopyOut(section, size, buffer);
}

}  // namespace

DWORD GdiObjectType(const GdiObject& object) {
  static constexpr DWORD types[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_REGION};
  return types[object.value.index()];
}

HGDIOBJ AddGdiObject(GdiObject object) {
  return HandleFromValue<HGDIOBJ>(Objects().Add(std::make_shared<GdiObject>(std::move(object))));
}

std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle) { return Objects().Find(HandleValue(handle)); }

HGDIOBJ StockObject(int index) {
  static HGDIOBJ stock[DEFAULT_GUI_FONT + 1] = {};
  if (index < 0 || index > DEFAULT_GUI_FONT || !IsStockIndex(index)) return nullptr;
  if (stock[index] == nullptr) stock[index] = AddGdiObject(MakeStockObject(index));
  return stock[index];
}

HBITMAP DefaultBitmap() {
  static HGDIOBJ bitmap = [] {
    GdiObject object;
    BitmapObject pixels;
    pixels.surface = Surface::Make(1, 1, 0x00FFFFFF);
    object.value = std::move(pixels);
    object.stock = true;
    return AddGdiObject(std::move(object));
  }();
  return static_cast<HBITMAP>(bitmap);
}

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

HGDIOBJ WINAPI GetStockObject(int index) { return StockObject(index); }

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
  style &= PS_STYLE_MASK;
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
  // Dashed and dotted pens exist only one pixel wide; wider ones draw solid.
  if (width > 1 && style >= PS_DASH && style <= PS_DASHDOTDOT) style = PS_SOLID;
  GdiObject object;
  object.value = PenObject{style, width < 0 ? 0 : width, color & 0x00FFFFFF};
  return static_cast<HPEN>(AddGdiObject(std::move(object)));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  GdiObject object;
  object.value = BrushObject{BS_SOLID, color & 0x00FFFFFF};
  return static_cast<HBRUSH>(AddGdiObject(std::move(object)));
}

DWORD WINAPI GetObjectType(HGDIOBJ handle) {
  std::shared_ptr<GdiObject> object = FindGdiObject(handle);
  return object ? GdiObjectType(*object) : 0;
}

BOOL WINAPI DeleteObject(HGDIOBJ handle) {
  std::shared_ptr<GdiObject> object = FindGdiObject(handle);
  if (!object) return FALSE;
  if (object->stock) return TRUE;
  if (object->selections > 0) return FALSE;
  return Objects().Remove(HandleValue(handle)) != nullptr;
}

int WINAPI GetObjectA(HANDLE handle, int size, LPVOID buffer) {
  std::shared_ptr<GdiObject> object = FindGdiObject(handle);
  if (!object) return 0;
  if (auto* pen = std::get_if<PenObject>(&object->value)) {
    LOGPEN description = {static_cast<UINT>(pen->style), {pen->width, 0}, pen->color};
    return CopyOut(description, size, buffer);
  }
  if (auto* brush = std::get_if<BrushObject>(&object->value)) {
    LOGBRUSH description = {brush->style, brush->color, 0};
    return CopyOut(description, size, buffer);
  }
  if (auto* font = std::get_if<FontObject>(&object->value)) return CopyOut(font->description, size, buffer);
  if (auto* bitmap = std::get_if<BitmapObject>(&object->value)) return DescribeBitmap(*bitmap, size, buffer);
  return 0;  // regions have no description
}

}  // extern "C"
