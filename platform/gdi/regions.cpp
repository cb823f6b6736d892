// Region objects and the application clip of device contexts.
#include "platform/gdi/clipping.h"
#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/raster.h"

namespace kwplatform {

namespace {

Region* FindRegion(HRGN handle) {
  RegionObject* object = FindGdiObjectOf<RegionObject>(handle);
  return object ? &object->region : nullptr;
}

RECT Ordered(int left, int top, int right, int bottom) {
  return {left < right ? left : right, top < bottom ? top : bottom, left < right ? right : left,
          top < bottom ? bottom : top};
}

// The application clip as a region, the whole device when there is none.
Region ClipOrDevice(const DeviceContext& context) {
  if (context.state.clip) return *context.state.clip;
  const Surface* target = context.Target();
  RECT device = target ? RECT{-context.origin.x, -context.origin.y, target->width - context.origin.x,
                              target->height - context.origin.y}
                       : RECT{0, 0, 0, 0};
  return Region(device);
}

// The application clip cut to a logical rectangle, or with the rectangle cut out of it.
int NarrowClip(HDC dc, int left, int top, int right, int bottom, bool exclude) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return ERROR;
  Region clip = ClipOrDevice(*context);
  const RECT device = LogicalRectangleToDevice(context->state, left, top, right, bottom);
  if (exclude)
    clip.Subtract(device);
  else
    clip.IntersectWith(device);
  return SelectClipRegion(*context, &clip);
}

}  // namespace

int RegionComplexity(const Region& region) {
  if (region.IsEmpty()) return NULLREGION;
  return region.Rectangles().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int SelectClipRegion(DeviceContext& context, const Region* region) {
  if (region)
    context.state.clip = *region;
  else
    context.state.clip.reset();
  context.ClipChanged();
  return RegionComplexity(context.EffectiveClip());
}

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom) {
  GdiObject object;
  object.value = RegionObject{Region(Ordered(left, top, right, bottom))};
  return static_cast<HRGN>(AddGdiObject(std::move(object)));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* rectangle) {
  if (rectangle == nullptr) return nullptr;
  return CreateRectRgn(rectangle->left, rectangle->top, rectangle->right, rectangle->bottom);
}

BOOL WINAPI SetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
  Region* region = FindRegion(handle);
  if (!region) return FALSE;
  *region = Region(Ordered(left, top, right, bottom));
  return TRUE;
}

int WINAPI CombineRgn(HRGN destination, HRGN first, HRGN second, int mode) {
  Region* target = FindRegion(destination);
  Region* a = FindRegion(first);
  Region* b = mode == RGN_COPY ? a : FindRegion(second);
  if (!target || !a || !b || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  Region result = *a;
  switch (mode) {
    case RGN_AND:
      result.IntersectWith(*b);
      break;
    case RGN_OR:
      result.Add(*b);
      break;
    case RGN_XOR: {
      Region onlyB = *b;
      onlyB.Subtract(*a);
      result.Subtract(*b);
      result.Add(onlyB);
      break;
    }
    case RGN_DIFF:
      result.Subtract(*b);
      break;
    case RGN_COPY:
      break;
  }
  *target = std::move(result);
  return RegionComplexity(*target);
}

int WINAPI OffsetRgn(HRGN handle, int dx, int dy) {
  Region* region = FindRegion(handle);
  if (!region) return ERROR;
  region->Offset(dx, dy);
  return RegionComplexity(*region);
}

int WINAPI GetRgnBox(HRGN handle, LPRECT box) {
  Region* region = FindRegion(handle);
  if (!region || !box) return ERROR;
  *box = region->Bounds();
  return RegionComplexity(*region);
}

BOOL WINAPI PtInRegion(HRGN handle, int x, int y) {
  Region* region = FindRegion(handle);
  return region && region->Contains(x, y);
}

BOOL WINAPI EqualRgn(HRGN first, HRGN second) {
  Region* a = FindRegion(first);
  Region* b = FindRegion(second);
  return a && b && a->SameAs(*b);
}

int WINAPI SelectClipRgn(HDC dc, HRGN handle) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return ERROR;
  if (handle == nullptr) return SelectClipRegion(*context, nullptr);
  Region* region = FindRegion(handle);
  return region ? SelectClipRegion(*context, region) : ERROR;
}

int WINAPI GetClipRgn(HDC dc, HRGN handle) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  Region* region = FindRegion(handle);
  if (!context || !region) return -1;
  if (!context->state.clip) return 0;
  *region = *context->state.clip;
  return 1;
}

int WINAPI GetClipBox(HDC dc, LPRECT box) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || !box) return ERROR;
  const RECT device = RasterTarget(*context).ClipBounds();
  // Back to logical coordinates, ordered.
  POINT a = DeviceToLogical(context->state, {device.left, device.top});
  POINT b = DeviceToLogical(context->state, {device.right, device.bottom});
  *box = Ordered(a.x, a.y, b.x, b.y);
  return RegionComplexity(context->EffectiveClip());
}

int WINAPI IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  return NarrowClip(dc, left, top, right, bottom, false);
}

int WINAPI ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  return NarrowClip(dc, left, top, right, bottom, true);
}

}  // extern "C"
