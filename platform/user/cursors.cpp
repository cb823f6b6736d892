// Cursors: the cursor position, the current cursor, the standard shared cursors and cursors
// made from two monochrome planes. Headless, a cursor is only its record: nothing is drawn.
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/display/screen.h"
#include "platform/kernel/handle_table.h"
#include "platform/testing/testing.h"
#include "platform/user/cursor.h"
#include "platform/win32.h"

namespace {

struct CursorRecord {
  kwtesting::CursorDescription description;
};

kwplatform::HandleTable<CursorRecord>& Cursors() {
  static kwplatform::HandleTable<CursorRecord> table(kwplatform::HandleKind::Cursor);
  return table;
}

std::mutex stateLock;
POINT position = {0, 0};
HCURSOR current = nullptr;

struct StandardCursor {
  WORD id;
  int hotSpotX;
  int hotSpotY;
  HCURSOR handle;  // made on first load, then shared by every load
};

// The IDC_ identifiers that LoadCursorA knows, with the hot spot of each shape.
StandardCursor standardCursors[] = {
    {32512, 0, 0, nullptr},    // arrow
    {32513, 16, 16, nullptr},  // I-beam
    {32514, 16, 16, nullptr},  // hourglass
    {32515, 16, 16, nullptr},  // cross
    {32516, 16, 0, nullptr},   // up arrow
    {32642, 16, 16, nullptr},  // size north-west to south-east
    {32643, 16, 16, nullptr},  // size north-east to south-west
    {32644, 16, 16, nullptr},  // size west-east
    {32645, 16, 16, nullptr},  // size north-south
    {32646, 16, 16, nullptr},  // size all
    {32648, 16, 16, nullptr},  // slashed circle
    {32649, 5, 0, nullptr},    // hand
    {32650, 0, 0, nullptr},    // arrow with hourglass
    {32651, 0, 0, nullptr},    // arrow with question mark
};

std::shared_ptr<CursorRecord> FindCursor(HCURSOR cursor) { return Cursors().Find(kwplatform::HandleValue(cursor)); }

}  // namespace

namespace kwplatform {

POINT CursorPosition() {
  std::lock_guard<std::mutex> guard(stateLock);
  return position;
}

}  // namespace kwplatform

namespace kwtesting {

HCURSOR CurrentCursor() {
  std::lock_guard<std::mutex> guard(stateLock);
  return current;
}

bool DescribeCursor(HCURSOR cursor, CursorDescription* description) {
  std::shared_ptr<CursorRecord> record = FindCursor(cursor);
  if (!record) return false;
  *description = record->description;
  return true;
}

}  // namespace kwtesting

extern "C" {

BOOL WINAPI GetCursorPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  *point = kwplatform::CursorPosition();
  return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
  // Like Win32, the position is clipped to the screen.
  kwplatform::ScreenSize screen = kwplatform::ScreenDimensions();
  std::lock_guard<std::mutex> guard(stateLock);
  position.x = x < 0 ? 0 : x >= screen.width ? screen.width - 1 : x;
  position.y = y < 0 ? 0 : y >= screen.height ? screen.height - 1 : y;
  return TRUE;
}

HCURSOR WINAPI CreateCursor(HINSTANCE, int hotSpotX, int hotSpotY, int width, int height, const VOID* andPlane,
                            const VOID* xorPlane) {
  if (width <= 0 || height <= 0 || andPlane == nullptr || xorPlane == nullptr) return nullptr;
  // Each plane is a monochrome bitmap whose rows are padded to 16 bits, as Win32 reads them.
  size_t planeBytes = static_cast<size_t>((width + 15) / 16 * 2) * static_cast<size_t>(height);
  auto record = std::make_shared<CursorRecord>();
  kwtesting::CursorDescription& description = record->description;
  description.hotSpotX = hotSpotX;
  description.hotSpotY = hotSpotY;
  description.width = width;
  description.height = height;
  description.andPlane.assign(static_cast<const unsigned char*>(andPlane),
                              static_cast<const unsigned char*>(andPlane) + planeBytes);
  description.xorPlane.assign(static_cast<const unsigned char*>(xorPlane),
                              static_cast<const unsigned char*>(xorPlane) + planeBytes);
  return kwplatform::HandleFromValue<HCURSOR>(Cursors().Add(std::move(record)));
}

BOOL WINAPI DestroyCursor(HCURSOR cursor) {
  std::shared_ptr<CursorRecord> record = FindCursor(cursor);
  // Shared cursors belong to the system and stay; the layer refuses to destroy them.
  if (!record || record->description.standardId != 0) return FALSE;
  Cursors().Remove(kwplatform::HandleValue(cursor));
  std::lock_guard<std::mutex> guard(stateLock);
  if (current == cursor) current = nullptr;
  return TRUE;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  // Only the standard cursors exist: no module carries cursor resources.
  if (instance != nullptr || !IS_INTRESOURCE(name)) return nullptr;
  WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
  std::lock_guard<std::mutex> guard(stateLock);
  for (StandardCursor& standard : standardCursors) {
    if (standard.id != id) continue;
    if (standard.handle == nullptr) {
      auto record = std::make_shared<CursorRecord>();
      record->description.hotSpotX = standard.hotSpotX;
      record->description.hotSpotY = standard.hotSpotY;
      record->description.width = 32;
      record->description.height = 32;
      record->description.standardId = standard.id;
      standard.handle = kwplatform::HandleFromValue<HCURSOR>(Cursors().Add(std::move(record)));
    }
    return standard.handle;
  }
  return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  if (cursor != nullptr && !FindCursor(cursor)) return nullptr;
  std::lock_guard<std::mutex> guard(stateLock);
  HCURSOR previous = current;
  current = cursor;
  return previous;
}

}  // extern "C"
