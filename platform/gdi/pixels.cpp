// Single pixels. A pixel written reads back exactly: surfaces hold 24-bit colour.
#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/raster.h"

using namespace kwplatform;

extern "C" {

// The colour written, or CLR_INVALID (as COLORREF −1) when the point is clipped away.
COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return CLR_INVALID;
  const POINT device = LogicalToDevice(context->state, {x, y});
  uint32_t* pixel = RasterTarget(*context).PixelAt(device.x, device.y);
  if (!pixel) return CLR_INVALID;
  *pixel = PixelFromColorRef(color & 0x00FFFFFF);
  return color & 0x00FFFFFF;
}

BOOL WINAPI SetPixelV(HDC dc, int x, int y, COLORREF color) { return SetPixel(dc, x, y, color) != CLR_INVALID; }

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return CLR_INVALID;
  const POINT device = LogicalToDevice(context->state, {x, y});
  const uint32_t* pixel = RasterTarget(*context).PixelAt(device.x, device.y);
  return pixel ? ColorRefFromPixel(*pixel & 0x00FFFFFF) : CLR_INVALID;
}

}  // extern "C"
