// MouseCursor objects: one field after the header, a guarded cursor record or null.
#pragma once

#include "core/runtime_layout.h"
#include "platform/win32.h"

struct CursorRecord {
  HCURSOR cursor;
};

void RegisterMouseCursorClass();

// A new MouseCursor over a new cursor record for the handle (none for a null handle).
RuntimeObject* NewMouseCursor(HCURSOR cursor);
CursorRecord* MouseCursorRecord(RuntimeObject* mouseCursor);

// A 32 x 32 cursor from the 68-byte resource form: 16 rows of 2 image bytes, 16 rows of 2 mask
// bytes, then the hot spot as big-endian vertical and horizontal values.
HCURSOR CreateCursorFromResource(HINSTANCE instance, const uint8_t resource[68]);
