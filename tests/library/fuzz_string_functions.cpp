// The string functions on double-byte text (code page 932), where a lead byte may end the
// string: input is a selector byte, two small numbers, then two strings split at the first
// 0xFF. No crash, no read outside a string, no leaked or over-released reference.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "library/string_functions.h"
#include "platform/testing/testing.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kwtesting::SelectAnsiCodePage(932);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3 || size > 1 << 16) return 0;
  int selector = data[0];
  int32_t a = static_cast<int8_t>(data[1]);
  int32_t b = static_cast<int8_t>(data[2]);
  const uint8_t* rest = data + 3;
  size_t restSize = size - 3;
  const void* split = memchr(rest, 0xFF, restSize);
  size_t firstSize = split ? static_cast<size_t>(static_cast<const uint8_t*>(split) - rest) : restSize;
  size_t secondStart = split ? firstSize + 1 : restSize;
  int32_t before = SmallBytesInUse();
  RuntimeString* s = StringFromBytes(rest, static_cast<int32_t>(firstSize));
  RuntimeString* t = StringFromBytes(rest + secondStart, static_cast<int32_t>(restSize - secondStart));
  RuntimeString* result = nullptr;
  switch (selector % 16) {
    case 0:
      result = StringDBCSLeft(s, a);
      break;
    case 1:
      result = StringDBCSRight(s, a);
      break;
    case 2:
      result = StringDBCSMid2(s, a);
      break;
    case 3:
      result = StringDBCSMid3(s, a, b);
      break;
    case 4:
      (void)StringDBCSLen(s);
      (void)StringDBCSAsc(s);
      break;
    case 5:
      (void)StringDBCSInStr(a, s, t);
      break;
    case 6:
      (void)StringInStr(a, s, t);
      break;
    case 7:
      result = StringReplace(s, t, s);
      break;
    case 8:
      result = StringReplaceAll(s, t, s);
      break;
    case 9:
      (void)StringCountFields(s, t);
      break;
    case 10:
      result = StringNthField(s, t, a);
      break;
    case 11:
      result = runTrim(s);
      break;
    case 12:
      result = runRTrim(s);
      break;
    case 13:
      result = StringTitleCase(s);
      break;
    case 14:
      result = StringUCase(s);
      break;
    case 15:
      (void)StringStrCompare(s, t, a & 1);
      break;
  }
  StringRelease(result);
  StringRelease(s);
  StringRelease(t);
  if (SmallBytesInUse() != before) abort();
  return 0;
}
