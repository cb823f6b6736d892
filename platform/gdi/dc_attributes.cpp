// The plain attributes of a device context: colours, background mode, text alignment and the
// raster, fill and stretch modes. Each setter returns the previous value, or the failure value
// of its call for a bad handle or value.
#include "platform/gdi/device_context.h"

namespace kwplatform {

namespace {

template <typename Value>
Value Exchange(HDC dc, Value DeviceContextState::*field, Value value, Value failure) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return failure;
  Value previous = context->state.*field;
  context->state.*field = value;
  return previous;
}

template <typename Value>
Value Read(HDC dc, Value DeviceContextState::*field, Value failure) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  return context ? context->state.*field : failure;
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
  return Exchange(dc, &DeviceContextState::textColor, color & 0x00FFFFFF, static_cast<COLORREF>(CLR_INVALID));
}

COLORREF WINAPI GetTextColor(HDC dc) {
  return Read(dc, &DeviceContextState::textColor, static_cast<COLORREF>(CLR_INVALID));
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
  return Exchange(dc, &DeviceContextState::backgroundColor, color & 0x00FFFFFF, static_cast<COLORREF>(CLR_INVALID));
}

COLORREF WINAPI GetBkColor(HDC dc) {
  return Read(dc, &DeviceContextState::backgroundColor, static_cast<COLORREF>(CLR_INVALID));
}

int WINAPI SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Exchange(dc, &DeviceContextState::backgroundMode, mode, 0);
}

int WINAPI GetBkMode(HDC dc) { return Read(dc, &DeviceContextState::backgroundMode, 0); }

UINT WINAPI SetTextAlign(HDC dc, UINT align) {
  return Exchange(dc, &DeviceContextState::textAlign, align, static_cast<UINT>(GDI_ERROR));
}

UINT WINAPI GetTextAlign(HDC dc) { return Read(dc, &DeviceContextState::textAlign, static_cast<UINT>(GDI_ERROR)); }

int WINAPI SetROP2(HDC dc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return Exchange(dc, &DeviceContextState::rop2, rop2, 0);
}

int WINAPI GetROP2(HDC dc) { return Read(dc, &DeviceContextState::rop2, 0); }

int WINAPI SetPolyFillMode(HDC dc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return Exchange(dc, &DeviceContextState::polyFillMode, mode, 0);
}

int WINAPI GetPolyFillMode(HDC dc) { return Read(dc, &DeviceContextState::polyFillMode, 0); }

int WINAPI SetStretchBltMode(HDC dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Exchange(dc, &DeviceContextState::stretchMode, mode, 0);
}

int WINAPI GetStretchBltMode(HDC dc) { return Read(dc, &DeviceContextState::stretchMode, 0); }

}  // extern "C"
