// A number (the first 8 bytes) through a pattern (the rest): no crash, no overrun, and the
// result's length stays within what the pattern can produce.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/runtime_string.h"
#include "library/number_functions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  double x = 0;
  size_t numberBytes = size < sizeof x ? size : sizeof x;
  memcpy(&x, data, numberBytes);
  RuntimeString* pattern = StringFromBytes(data + numberBytes, static_cast<int32_t>(size - numberBytes));
  RuntimeString* result = StringFormat(x, pattern);
  // Every pattern byte writes at most its digit with a separator, or an exponent; the first
  // integer placeholder may write all integer digits (at most 310) with their separators.
  int64_t bound = 2 * int64_t{StringLength(pattern)} * 8 + 1000;
  if (StringLength(result) > bound) abort();
  StringRelease(result);
  StringRelease(pattern);
  return 0;
}
