// GDI objects: pens, brushes, fonts, bitmaps and regions, one handle table for all of them.
//
// A device context holds references to the records it has selected, so a record outlives a
// DeleteObject that races with a selection in a saved state; DeleteObject itself refuses an
// object that a device context currently has selected, as Win32 does.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "platform/display/region.h"
#include "platform/display/surface.h"
#include "platform/win32.h"

namespace kwplatform {

struct PenObject {
  int style = PS_SOLID;  // PS_SOLID ... PS_INSIDEFRAME; styled pens wider than 1 are solid
  int width = 0;         // logical units; 0 draws one pixel wide
  COLORREF color = 0;
};

struct BrushObject {
  UINT style = BS_SOLID;  // BS_SOLID or BS_NULL
  COLORREF color = 0;
};

struct FontObject {
  LOGFONTA description = {};
};

// A bitmap's pixels. Every bitmap is drawn through a 32-bit surface; a DIB section's surface
// views the memory whose address the application received, so both see each other's writes.
// Other depths would keep their own bits here with the surface as the drawing view.
struct BitmapObject {
  std::shared_ptr<Surface> surface;
  int bitsPerPixel = 32;
  bool isDibSection = false;
  BITMAPINFOHEADER dibHeader = {};  // as created, for a DIB section
  std::unique_ptr<uint32_t[]> dibBits;
};

struct RegionObject {
  Region region;
};

struct GdiObject {
  std::variant<PenObject, BrushObject, FontObject, BitmapObject, RegionObject> value;
  bool stock = false;  // never deleted
  int selections = 0;  // device contexts that have it selected now
};

// The OBJ_* type of an object.
DWORD GdiObjectType(const GdiObject& object);

// Adds a record and returns its handle (null when the table is full).
HGDIOBJ AddGdiObject(GdiObject object);

// The record of a live handle, or null.
std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle);

// The record of a live handle of one kind, or null (also when the handle is of another kind).
template <typename Kind>
Kind* FindGdiObjectOf(HGDIOBJ handle, std::shared_ptr<GdiObject>* keep = nullptr) {
  std::shared_ptr<GdiObject> object = FindGdiObject(handle);
  if (!object) return nullptr;
  Kind* value = std::get_if<Kind>(&object->value);
  if (value && keep) *keep = object;
  return value;
}

// The stock object of an index (WHITE_BRUSH ... DC_PEN), made on first use; null for an unknown
// index.
HGDIOBJ StockObject(int index);

// The 1 x 1 bitmap a new memory device context starts with.
HBITMAP DefaultBitmap();

}  // namespace kwplatform
