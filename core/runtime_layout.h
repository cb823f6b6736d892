// Layouts of the records that compiled application code reads and writes at fixed offsets.
// Offsets are fixed by compiled code: do not reorder, insert or widen fields. The sizes hold
// in the 32-bit product build; the host build keeps the order with wider pointers.
#pragma once

#include <cstddef>
#include <cstdint>

// A reference-counted byte string. The buffer holds min(length, 255), the text, and a 0 byte,
// so buffer + 1 is a NUL-terminated view. The empty string is the null pointer.
struct RuntimeString {
  int32_t count;       // references; 1 at creation
  char* buffer;        // length byte, text, terminating 0
  int32_t bufferSize;  // bytes allocated for the buffer (length + 2 when made by the engine)
  int32_t length;      // bytes of text, at least 1
};

// A block of platform-heap memory reached through a handle, so it can move when resized.
struct MemoryHandle {
  void* data;
  int32_t size;
};

#if defined(__i386__)
static_assert(sizeof(RuntimeString) == 16);
static_assert(offsetof(RuntimeString, count) == 0);
static_assert(offsetof(RuntimeString, buffer) == 4);
static_assert(offsetof(RuntimeString, bufferSize) == 8);
static_assert(offsetof(RuntimeString, length) == 12);
static_assert(sizeof(MemoryHandle) == 8);
#endif
