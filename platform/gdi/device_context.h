// Device contexts: the drawing state (selected objects, colours, modes, mapping, clip) over a
// target surface, in one handle table. A window device context draws on the surface the window
// system gave it; a memory device context on its selected bitmap.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/display/region.h"
#include "platform/display/surface.h"
#include "platform/gdi/gdi_object.h"
#include "platform/win32.h"

namespace kwplatform {

enum class DeviceContextKind {
  Window,       // OpenWindowDC: a window's or the screen's pixels
  Memory,       // CreateCompatibleDC: the selected bitmap
  Display,      // CreateDCA("DISPLAY"): the screen
  Information,  // CreateICA: answers GetDeviceCaps and nothing else
};

// One selected object: the handle the caller knows and the record, kept alive while selected.
struct Selection {
  HGDIOBJ handle = nullptr;
  std::shared_ptr<GdiObject> object;
};

// Everything SaveDC saves and RestoreDC restores.
struct DeviceContextState {
  Selection pen, brush, font, bitmap;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF backgroundColor = RGB(255, 255, 255);
  int backgroundMode = OPAQUE;
  UINT textAlign = TA_LEFT | TA_TOP;
  int rop2 = R2_COPYPEN;
  int polyFillMode = ALTERNATE;
  int stretchMode = BLACKONWHITE;
  int mapMode = MM_TEXT;
  POINT windowOrigin = {0, 0};
  POINT viewportOrigin = {0, 0};
  SIZE windowExtent = {1, 1};
  SIZE viewportExtent = {1, 1};
  POINT position = {0, 0};     // the current position (MoveToEx), logical
  std::optional<Region> clip;  // the application clip, device coordinates
};

struct DeviceContext {
  DeviceContextKind kind = DeviceContextKind::Window;
  HWND window = nullptr;
  std::shared_ptr<Surface> surface;  // window and display contexts; memory ones use the bitmap's
  POINT origin = {0, 0};             // device (0, 0) on the surface
  Region systemClip;                 // surface coordinates; memory contexts: the bitmap
  DeviceContextState state;
  std::vector<DeviceContextState> saved;  // SaveDC levels, oldest first

  // The surface drawn on (null for an information context).
  Surface* Target() const;

  // The pixels drawing may touch: system clip ∩ application clip ∩ the surface, in surface
  // coordinates. Recomputed after a change of clip or target.
  const Region& EffectiveClip() const;
  void ClipChanged() { clipValid_ = false; }

 private:
  mutable bool clipValid_ = false;
  mutable Region effectiveClip_;
};

// The record of a live device context, or null.
std::shared_ptr<DeviceContext> FindDeviceContext(HDC dc);

// A device context with the default state; null when the table is full.
HDC AddDeviceContext(std::shared_ptr<DeviceContext> context);

// The bitmap selected into a memory device context, or null.
BitmapObject* SelectedBitmap(const DeviceContext& context);

}  // namespace kwplatform
