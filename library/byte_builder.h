// A growing byte buffer for results built piece by piece, in platform-heap memory.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/memory_manager.h"
#include "core/runtime_string.h"

class ByteBuilder {
 public:
  ByteBuilder() = default;
  ~ByteBuilder() { PlatformFree(data_); }
  ByteBuilder(const ByteBuilder&) = delete;
  ByteBuilder& operator=(const ByteBuilder&) = delete;

  void Append(const char* bytes, int32_t n) {
    if (n <= 0) return;
    Reserve(n);
    memcpy(data_ + size_, bytes, static_cast<size_t>(n));
    size_ += n;
  }
  void Append(char c) { Append(&c, 1); }

  int32_t size() const { return size_; }
  const char* data() const { return data_; }

  // A new string holding the bytes (null when there are none).
  RuntimeString* ToString() const { return StringFromBytes(data_, size_); }

 private:
  void Reserve(int32_t n) {
    // Results are strings, whose length is a signed 32-bit count.
    if (n > INT32_MAX - 64 - size_) OutOfMemory();
    if (size_ + n <= capacity_) return;
    int64_t capacity = capacity_ < 64 ? 64 : int64_t{capacity_} * 2;
    while (capacity < size_ + n) capacity *= 2;
    if (capacity > INT32_MAX) capacity = INT32_MAX;
    auto* grown = static_cast<char*>(PlatformAlloc(static_cast<size_t>(capacity)));
    if (size_) memcpy(grown, data_, static_cast<size_t>(size_));
    PlatformFree(data_);
    data_ = grown;
    capacity_ = static_cast<int32_t>(capacity);
  }

  char* data_ = nullptr;
  int32_t size_ = 0;
  int32_t capacity_ = 0;
};
