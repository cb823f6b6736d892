#include "graphics/font_list.h"

#include <gtest/gtest.h>

#include "core/exceptions.h"
#include "core/runtime_string.h"

namespace {

TEST(FontListTest, NamesTheSystemsTypefacesOnceAndRaisesOutsideTheList) {
  int32_t count = getFontCount();
  ASSERT_GT(count, 0);
  EXPECT_EQ(getFontCount(), count) << "enumerated once";
  RuntimeString* first = getFontName(0);
  EXPECT_GT(StringLength(first), 0);
  StringRelease(first);
  RegisterExceptionClasses();
  EXPECT_EXIT(getFontName(count), ::testing::ExitedWithCode(0), "OutOfBoundsException");
  EXPECT_EXIT(getFontName(-1), ::testing::ExitedWithCode(0), "OutOfBoundsException");
}

}  // namespace
