// The device-context table, window and memory device contexts, object selection and SaveDC /
// RestoreDC.
#include "platform/gdi/device_context.h"

#include "platform/display/window_drawing.h"
#include "platform/gdi/clipping.h"
#include "platform/kernel/handle_table.h"

namespace kwplatform {

namespace {

HandleTable<DeviceContext>& Contexts() {
  static HandleTable<DeviceContext> table(HandleKind::DeviceContext);
  return table;
}

void Hold(Selection& selection) {
  if (selection.object) selection.object->selections++;
}

void Release(Selection& selection) {
  if (selection.object) selection.object->selections--;
}

// Moves slot to (handle, object), keeping the selection counts, and returns the previous handle.
HGDIOBJ Replace(Selection& slot, HGDIOBJ handle, std::shared_ptr<GdiObject> object) {
  HGDIOBJ previous = slot.handle;
  Selection next{handle, std::move(object)};
  Hold(next);
  Release(slot);
  slot = std::move(next);
  return previous;
}

Selection StockSelection(int index) {
  HGDIOBJ handle = StockObject(index);
  return Selection{handle, FindGdiObject(handle)};
}

void ReleaseAll(DeviceContextState& state) {
  for (Selection* selection : {&state.pen, &state.brush, &state.font, &state.bitmap}) Release(*selection);
}

std::shared_ptr<DeviceContext> Remove(HDC dc) {
  std::shared_ptr<DeviceContext> context = Contexts().Remove(HandleValue(dc));
  if (context) ReleaseAll(context->state);
  return context;
}

}  // namespace

Surface* DeviceContext::Target() const {
  if (kind == DeviceContextKind::Memory) {
    BitmapObject* bitmap = SelectedBitmap(*this);
    return bitmap ? bitmap->surface.get() : nullptr;
  }
  return surface.get();
}

const Region& DeviceContext::EffectiveClip() const {
  if (clipValid_) return effectiveClip_;
  Surface* target = Target();
  if (target == nullptr) {
    effectiveClip_.Clear();
  } else {
    const RECT bounds = {0, 0, target->width, target->height};
    effectiveClip_ = kind == DeviceContextKind::Window ? systemClip : Region(bounds);
    effectiveClip_.IntersectWith(bounds);
    if (state.clip) {
      Region application = *state.clip;
      application.Offset(origin.x, origin.y);
      effectiveClip_.IntersectWith(application);
    }
  }
  clipValid_ = true;
  return effectiveClip_;
}

std::shared_ptr<DeviceContext> FindDeviceContext(HDC dc) { return Contexts().Find(HandleValue(dc)); }

HDC AddDeviceContext(std::shared_ptr<DeviceContext> context) {
  DeviceContextState& state = context->state;
  state.pen = StockSelection(BLACK_PEN);
  state.brush = StockSelection(WHITE_BRUSH);
  state.font = StockSelection(SYSTEM_FONT);
  if (context->kind == DeviceContextKind::Memory)
    state.bitmap = Selection{DefaultBitmap(), FindGdiObject(DefaultBitmap())};
  HDC dc = HandleFromValue<HDC>(Contexts().Add(context));
  if (dc != nullptr)
    for (Selection* selection : {&state.pen, &state.brush, &state.font, &state.bitmap}) Hold(*selection);
  return dc;
}

BitmapObject* SelectedBitmap(const DeviceContext& context) {
  return context.state.bitmap.object ? std::get_if<BitmapObject>(&context.state.bitmap.object->value) : nullptr;
}

HDC OpenWindowDC(HWND window, std::shared_ptr<Surface> surface, POINT origin, const Region& systemClip) {
  if (!surface) return nullptr;
  auto context = std::make_shared<DeviceContext>();
  context->kind = DeviceContextKind::Window;
  context->window = window;
  context->surface = std::move(surface);
  context->origin = origin;
  context->systemClip = systemClip;
  return AddDeviceContext(std::move(context));
}

bool CloseWindowDC(HDC dc) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || context->kind != DeviceContextKind::Window) return false;
  return Remove(dc) != nullptr;
}

HWND WindowOfDC(HDC dc) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  return context && context->kind == DeviceContextKind::Window ? context->window : nullptr;
}

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

HDC WINAPI CreateCompatibleDC(HDC dc) {
  // Any live context, or none (the screen), is compatible: every surface is 32-bit.
  if (dc != nullptr && !FindDeviceContext(dc)) return nullptr;
  auto context = std::make_shared<DeviceContext>();
  context->kind = DeviceContextKind::Memory;
  return AddDeviceContext(std::move(context));
}

BOOL WINAPI DeleteDC(HDC dc) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  // A window's context goes back with ReleaseDC or EndPaint.
  if (!context || context->kind == DeviceContextKind::Window) return FALSE;
  return Remove(dc) != nullptr;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ handle) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  std::shared_ptr<GdiObject> object = FindGdiObject(handle);
  if (!context || !object) return nullptr;
  DeviceContextState& state = context->state;
  switch (GdiObjectType(*object)) {
    case OBJ_PEN:
      return Replace(state.pen, handle, std::move(object));
    case OBJ_BRUSH:
      return Replace(state.brush, handle, std::move(object));
    case OBJ_FONT:
      return Replace(state.font, handle, std::move(object));
    case OBJ_BITMAP: {
      if (context->kind != DeviceContextKind::Memory) return nullptr;
      // A bitmap is in at most one device context at a time (the shared 1 x 1 default aside).
      if (object->selections > 0 && !object->stock && state.bitmap.object != object) return nullptr;
      HGDIOBJ previous = Replace(state.bitmap, handle, std::move(object));
      context->ClipChanged();
      return previous;
    }
    case OBJ_REGION: {
      int result = SelectClipRegion(*context, &std::get<RegionObject>(object->value).region);
      return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(result));
    }
  }
  return nullptr;
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return nullptr;
  switch (type) {
    case OBJ_PEN:
      return context->state.pen.handle;
    case OBJ_BRUSH:
      return context->state.brush.handle;
    case OBJ_FONT:
      return context->state.font.handle;
    case OBJ_BITMAP:
      return context->state.bitmap.handle;
  }
  return nullptr;
}

int WINAPI SaveDC(HDC dc) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return 0;
  context->saved.push_back(context->state);
  return static_cast<int>(context->saved.size());
}

BOOL WINAPI RestoreDC(HDC dc, int level) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return FALSE;
  const int depth = static_cast<int>(context->saved.size());
  if (level < 0) level = depth + 1 + level;  // -1 is the latest
  if (level < 1 || level > depth) return FALSE;
  DeviceContextState restored = std::move(context->saved[static_cast<size_t>(level - 1)]);
  context->saved.resize(static_cast<size_t>(level - 1));
  for (Selection* selection : {&restored.pen, &restored.brush, &restored.font, &restored.bitmap}) Hold(*selection);
  ReleaseAll(context->state);
  context->state = std::move(restored);
  context->ClipChanged();
  return TRUE;
}

}  // extern "C"
