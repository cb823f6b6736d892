// What the core tests share: reading engine strings, expecting an unhandled exception, and a
// fixture that starts from fresh classes and checks that memory and objects balance.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/class_registry.h"
#include "core/exceptions.h"
#include "core/memory_manager.h"
#include "core/object_model.h"
#include "core/runtime_string.h"

// Raising without an application handler ends the process with the class named.
#define EXPECT_RAISES(statement, className)          \
  EXPECT_EXIT(statement, ::testing::ExitedWithCode(0), \
              "An exception of class " className " was not handled")

inline std::string Text(const RuntimeString* s) {
  return std::string(StringCText(s), static_cast<size_t>(StringLength(s)));
}

// Fresh classes (exception classes and a plain "Item" class), and the allocator's bytes in use
// and the live objects counted at the start for ExpectBalanced.
class BalancedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetClassesForTesting();
    RegisterExceptionClasses();
    itemClass = DefineBuiltInClass("Item", nullptr, 24);
    bytesBefore = SmallBytesInUse();
    objectsBefore = LiveObjectCount();
  }
  void ExpectBalanced() {
    EXPECT_EQ(SmallBytesInUse(), bytesBefore) << "bytes in use";
    EXPECT_EQ(LiveObjectCount(), objectsBefore) << "live objects";
  }
  ClassRecord* itemClass = nullptr;
  int32_t bytesBefore = 0;
  int32_t objectsBefore = 0;
};
