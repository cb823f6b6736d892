// Reading words, strings and code addresses of an application image's data block in order,
// each checked to lie inside the image. Image addresses are 32-bit values; in the 32-bit engine
// they are the pointers themselves.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

// Where the image lies in memory: every address read from it must fall inside it.
struct ImageMemory {
  const uint8_t* data;
  uint32_t dataSize;
  const uint8_t* code;
  uint32_t codeSize;
};

class ImageReader {
 public:
  ImageReader(const ImageMemory& image, uint32_t address) : image_(image), address_(address) {}

  // Each read fails, naming what it read in Problem(), when it would leave the image.
  bool Word(uint32_t* value);
  // A string constant of the image (its object and its buffer inside the data block); a null
  // pointer is the empty string.
  bool String(RuntimeString** value);
  // A code address inside the code block, or null when allowed.
  bool Entry(void** value, bool mayBeNull);
  // A count of items of itemWords words each that fits in the rest of the data block.
  bool Count(uint32_t itemWords, uint32_t* count);
  // A word holding the address of size bytes inside the data block.
  bool DataRange(uint32_t size, const uint8_t** bytes);

  uint32_t Address() const { return address_; }
  const char* Problem() const { return problem_; }
  bool InData(uint32_t address, uint32_t size) const;
  uint8_t* DataAt(uint32_t address) const;

 private:
  static uint32_t Base(const uint8_t* block) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block)); }
  bool Fail(const char* what) {
    problem_ = what;
    return false;
  }

  const ImageMemory& image_;
  uint32_t address_;
  const char* problem_ = nullptr;
};
