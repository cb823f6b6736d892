// Any bytes as text to read as a number: no crash, no read outside the string.
#include <cstddef>
#include <cstdint>

#include "core/runtime_string.h"
#include "library/number_functions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  RuntimeString* text = StringFromBytes(data, static_cast<int32_t>(size));
  double value = StringVal(text);
  (void)value;
  StringRelease(text);
  return 0;
}
