#include "system/mouse_cursor.h"

#include <cstring>

#include "core/class_registry.h"
#include "core/memory_manager.h"
#include "core/object_model.h"

namespace {

constexpr uint32_t MouseCursorSize = 28;
constexpr int32_t CursorField = sizeof(RuntimeObject);

ClassRecord* mouseCursorClass;

}  // namespace

void RegisterMouseCursorClass() {
  // No destructor: the cursor record and the platform cursor outlive the object.
  mouseCursorClass = FindClassByName("MouseCursor");
  if (mouseCursorClass == nullptr) mouseCursorClass = DefineBuiltInClass("MouseCursor", nullptr, MouseCursorSize);
}

RuntimeObject* NewMouseCursor(HCURSOR cursor) {
  if (mouseCursorClass == nullptr) RegisterMouseCursorClass();
  RuntimeObject* object = NewInstance(mouseCursorClass);
  if (cursor) {
    auto* record = static_cast<CursorRecord*>(GuardedAlloc(sizeof(CursorRecord)));
    record->cursor = cursor;
    memcpy(reinterpret_cast<char*>(object) + CursorField, &record, sizeof record);
  }
  return object;
}

CursorRecord* MouseCursorRecord(RuntimeObject* mouseCursor) {
  if (mouseCursor == nullptr) return nullptr;
  CursorRecord* record;
  memcpy(&record, reinterpret_cast<char*>(mouseCursor) + CursorField, sizeof record);
  return record;
}

HCURSOR CreateCursorFromResource(HINSTANCE instance, const uint8_t resource[68]) {
  uint8_t andPlane[128];
  uint8_t xorPlane[128];
  memset(andPlane, 0xFF, sizeof andPlane);
  memset(xorPlane, 0, sizeof xorPlane);
  const uint8_t* image = resource;
  const uint8_t* mask = resource + 32;
  // The 16 x 16 image goes to the top-left corner; cursor rows are 4 bytes wide.
  for (int row = 0; row < 16; row++) {
    for (int column = 0; column < 2; column++) {
      xorPlane[row * 4 + column] = image[row * 2 + column] ^ mask[row * 2 + column];
      andPlane[row * 4 + column] = static_cast<uint8_t>(~mask[row * 2 + column]);
    }
  }
  int vertical = static_cast<int16_t>((resource[64] << 8) | resource[65]);
  int horizontal = static_cast<int16_t>((resource[66] << 8) | resource[67]);
  return CreateCursor(instance, horizontal, vertical, 32, 32, andPlane, xorPlane);
}
