// Helpers for the library tests: strings from literal bytes, and a fixture that checks every
// string a test makes is released.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "library/number_functions.h"
#include "library/string_functions.h"

// One reference to a string, released at the end of the scope.
class Owned {
 public:
  explicit Owned(RuntimeString* s) : s_(s) {}
  explicit Owned(std::string_view bytes) : s_(StringFromBytes(bytes.data(), static_cast<int32_t>(bytes.size()))) {}
  ~Owned() { StringRelease(s_); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  RuntimeString* get() const { return s_; }
  operator RuntimeString*() const { return s_; }
  std::string text() const { return std::string(StringCText(s_), static_cast<size_t>(StringLength(s_))); }

 private:
  RuntimeString* s_;
};

// Bytes of a string (nil gives "").
inline std::string TextOf(const RuntimeString* s) {
  return std::string(StringCText(s), static_cast<size_t>(StringLength(s)));
}

// A text and what runTrim, runLTrim and runRTrim give for it.
struct TrimCase {
  const char* source;
  const char* both;
  const char* left;
  const char* right;
};

inline void ExpectTrims(const TrimCase& c) {
  Owned source(c.source);
  EXPECT_EQ(Owned(runTrim(source)).text(), c.both) << c.source;
  EXPECT_EQ(Owned(runLTrim(source)).text(), c.left) << c.source;
  EXPECT_EQ(Owned(runRTrim(source)).text(), c.right) << c.source;
}

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The format function keeps one string for good; make it before counting.
    StringRelease(StringFormat(0, nullptr));
    before_ = SmallBytesInUse();
  }
  void TearDown() override { EXPECT_EQ(SmallBytesInUse(), before_) << "every string made is released"; }

 private:
  int32_t before_ = 0;
};
