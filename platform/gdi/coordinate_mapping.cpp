// Mapping modes, window and viewport origins and extents.
#include "platform/gdi/coordinate_mapping.h"

#include <algorithm>
#include <cstdlib>

namespace kwplatform {

namespace {

// value × numerator ÷ denominator, rounded half away from zero.
long long Scale(long long value, long long numerator, long long denominator) {
  long long product = value * numerator;
  long long half = std::llabs(denominator) / 2;
  long long rounded = (product >= 0) == (denominator > 0) ? product + (denominator > 0 ? half : -half)
                                                          : product - (denominator > 0 ? half : -half);
  return rounded / denominator;
}

// Coordinates are kept within 27 bits, GDI's coordinate space, so that no later sum of a
// coordinate and an origin or a width can overflow.
constexpr long long CoordinateLimit = 1 << 27;

LONG Clamp(long long value) { return static_cast<LONG>(std::clamp(value, -CoordinateLimit, CoordinateLimit)); }

bool Scaled(const DeviceContextState& state) { return state.mapMode != MM_TEXT; }

// The magnitude of a length scaled by numerator ÷ denominator in the scalable modes.
int Length(const DeviceContextState& state, int value, LONG numerator, LONG denominator) {
  const long long length = Scaled(state) ? Scale(value, numerator, denominator) : value;
  return Clamp(std::llabs(length));
}

// A point from one space (origin, extent) into the other.
POINT Map(const DeviceContextState& state, POINT point, POINT fromOrigin, SIZE fromExtent, POINT toOrigin,
          SIZE toExtent) {
  const long long dx = static_cast<long long>(point.x) - fromOrigin.x;
  const long long dy = static_cast<long long>(point.y) - fromOrigin.y;
  if (!Scaled(state)) return {Clamp(dx + toOrigin.x), Clamp(dy + toOrigin.y)};
  return {Clamp(Scale(dx, toExtent.cx, fromExtent.cx) + toOrigin.x),
          Clamp(Scale(dy, toExtent.cy, fromExtent.cy) + toOrigin.y)};
}

// The fixed metric and English modes: logical units per inch on a 96-pixel logical inch, with
// y growing upwards.
int UnitsPerInch(int mode) {
  switch (mode) {
    case MM_LOMETRIC:
      return 254;
    case MM_HIMETRIC:
      return 2540;
    case MM_LOENGLISH:
      return 100;
    case MM_HIENGLISH:
      return 1000;
    case MM_TWIPS:
      return 1440;
  }
  return 0;
}

// Isotropic mode keeps one unit the same size on both axes by shrinking the viewport extent
// along the axis that would scale more.
void KeepIsotropic(DeviceContextState& state) {
  if (state.mapMode != MM_ISOTROPIC) return;
  SIZE& window = state.windowExtent;
  SIZE& viewport = state.viewportExtent;
  long long xScale = std::llabs(static_cast<long long>(viewport.cx)) * std::llabs(static_cast<long long>(window.cy));
  long long yScale = std::llabs(static_cast<long long>(viewport.cy)) * std::llabs(static_cast<long long>(window.cx));
  if (xScale < yScale) {
    LONG height =
        Clamp(Scale(std::llabs(static_cast<long long>(viewport.cx)), std::llabs(static_cast<long long>(window.cy)),
                    std::llabs(static_cast<long long>(window.cx))));
    viewport.cy = viewport.cy < 0 ? -height : height;
  } else if (yScale < xScale) {
    LONG width =
        Clamp(Scale(std::llabs(static_cast<long long>(viewport.cy)), std::llabs(static_cast<long long>(window.cx)),
                    std::llabs(static_cast<long long>(window.cy))));
    viewport.cx = viewport.cx < 0 ? -width : width;
  }
}

template <typename Value>
BOOL Read(HDC dc, Value DeviceContextState::*field, Value* out) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || out == nullptr) return FALSE;
  *out = context->state.*field;
  return TRUE;
}

// Sets an origin to (x, y), or moves it by (x, y) when relative; reports the previous one.
BOOL SetOrigin(HDC dc, POINT DeviceContextState::*field, int x, int y, bool relative, LPPOINT previous) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return FALSE;
  POINT& origin = context->state.*field;
  if (previous) *previous = origin;
  origin = relative ? POINT{origin.x + x, origin.y + y} : POINT{x, y};
  return TRUE;
}

// Extents change only in the two scalable modes; elsewhere the call succeeds and changes nothing.
BOOL SetExtent(HDC dc, SIZE DeviceContextState::*field, int x, int y, LPSIZE previous) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return FALSE;
  DeviceContextState& state = context->state;
  if (previous) *previous = state.*field;
  if (state.mapMode != MM_ISOTROPIC && state.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  state.*field = {x, y};
  KeepIsotropic(state);
  return TRUE;
}

template <typename Convert>
BOOL ConvertPoints(HDC dc, LPPOINT points, int count, Convert convert) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || (points == nullptr && count > 0)) return FALSE;
  for (int i = 0; i < count; i++) points[i] = convert(context->state, points[i]);
  return TRUE;
}

}  // namespace

POINT LogicalToDevice(const DeviceContextState& state, POINT logical) {
  return Map(state, logical, state.windowOrigin, state.windowExtent, state.viewportOrigin, state.viewportExtent);
}

POINT DeviceToLogical(const DeviceContextState& state, POINT device) {
  return Map(state, device, state.viewportOrigin, state.viewportExtent, state.windowOrigin, state.windowExtent);
}

RECT LogicalRectangleToDevice(const DeviceContextState& state, int left, int top, int right, int bottom) {
  POINT a = LogicalToDevice(state, {left, top});
  POINT b = LogicalToDevice(state, {right, bottom});
  return {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x : a.x, a.y < b.y ? b.y : a.y};
}

int DeviceWidth(const DeviceContextState& state, int logical) {
  return Length(state, logical, state.viewportExtent.cx, state.windowExtent.cx);
}

int DeviceHeight(const DeviceContextState& state, int logical) {
  return Length(state, logical, state.viewportExtent.cy, state.windowExtent.cy);
}

int LogicalWidth(const DeviceContextState& state, int device) {
  return Length(state, device, state.windowExtent.cx, state.viewportExtent.cx);
}

int LogicalHeight(const DeviceContextState& state, int device) {
  return Length(state, device, state.windowExtent.cy, state.viewportExtent.cy);
}

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

int WINAPI SetMapMode(HDC dc, int mode) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  DeviceContextState& state = context->state;
  int previous = state.mapMode;
  state.mapMode = mode;
  if (mode == MM_TEXT) {
    state.windowExtent = state.viewportExtent = {1, 1};
  } else if (int units = UnitsPerInch(mode)) {
    state.windowExtent = {units, units};
    state.viewportExtent = {96, -96};
  } else {
    // The scalable modes start from the extents in force.
    KeepIsotropic(state);
  }
  return previous;
}

int WINAPI GetMapMode(HDC dc) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  return context ? context->state.mapMode : 0;
}

BOOL WINAPI SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous) {
  return SetOrigin(dc, &DeviceContextState::viewportOrigin, x, y, false, previous);
}

BOOL WINAPI OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT previous) {
  return SetOrigin(dc, &DeviceContextState::viewportOrigin, dx, dy, true, previous);
}

BOOL WINAPI GetViewportOrgEx(HDC dc, LPPOINT origin) { return Read(dc, &DeviceContextState::viewportOrigin, origin); }

BOOL WINAPI SetWindowOrgEx(HDC dc, int x, int y, LPPOINT previous) {
  return SetOrigin(dc, &DeviceContextState::windowOrigin, x, y, false, previous);
}

BOOL WINAPI OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT previous) {
  return SetOrigin(dc, &DeviceContextState::windowOrigin, dx, dy, true, previous);
}

BOOL WINAPI GetWindowOrgEx(HDC dc, LPPOINT origin) { return Read(dc, &DeviceContextState::windowOrigin, origin); }

BOOL WINAPI SetViewportExtEx(HDC dc, int x, int y, LPSIZE previous) {
  return SetExtent(dc, &DeviceContextState::viewportExtent, x, y, previous);
}

BOOL WINAPI GetViewportExtEx(HDC dc, LPSIZE extent) { return Read(dc, &DeviceContextState::viewportExtent, extent); }

BOOL WINAPI SetWindowExtEx(HDC dc, int x, int y, LPSIZE previous) {
  return SetExtent(dc, &DeviceContextState::windowExtent, x, y, previous);
}

BOOL WINAPI GetWindowExtEx(HDC dc, LPSIZE extent) { return Read(dc, &DeviceContextState::windowExtent, extent); }

BOOL WINAPI LPtoDP(HDC dc, LPPOINT points, int count) { return ConvertPoints(dc, points, count, LogicalToDevice); }

BOOL WINAPI DPtoLP(HDC dc, LPPOINT points, int count) { return ConvertPoints(dc, points, count, DeviceToLogical); }

}  // extern "C"
