// Feeds the class definition record reader arbitrary data blocks. The block is placed at a
// fixed address, so that the words of a seed can hold real addresses into it; the rest of the
// mapping is poisoned so that any read past the input is caught.
//
// Input: the data block; its first word is the offset of the record to read.
#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstring>

#include "core/image_classes.h"

namespace {

constexpr uintptr_t DataAddress = 0x10000000;
constexpr uintptr_t CodeAddress = 0x20000000;
constexpr size_t MappingSize = 1 << 20;

uint8_t* MapFixed(uintptr_t address) {
  void* mapped = mmap(reinterpret_cast<void*>(address), MappingSize, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
  return mapped == MAP_FAILED ? nullptr : static_cast<uint8_t*>(mapped);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  static uint8_t* data = MapFixed(DataAddress);
  static uint8_t* code = MapFixed(CodeAddress);
  if (data == nullptr || code == nullptr || size < 4 || size > MappingSize) return 0;
  ASAN_UNPOISON_MEMORY_REGION(data, MappingSize);
  memcpy(data, input, size);
  ASAN_POISON_MEMORY_REGION(data + size, MappingSize - size);
  uint32_t recordOffset;
  memcpy(&recordOffset, input, 4);
  ImageMemory image{data, static_cast<uint32_t>(size), code, 4096};
  ClassDefinition definition;
  const char* problem = nullptr;
  ReadClassDefinition(image, static_cast<uint32_t>(DataAddress) + recordOffset, &definition, &problem);
  return 0;
}
