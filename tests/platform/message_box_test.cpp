#include <gtest/gtest.h>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

TEST(MessageBoxTest, RecordsCaptionAndTextAndAnswersWithTheFirstButton) {
  kwtesting::ClearMessageBoxes();
  struct Case {
    UINT type;
    int answer;
  };
  const Case cases[] = {{MB_OK, IDOK},       {MB_OKCANCEL, IDOK},   {MB_YESNO | MB_ICONQUESTION, IDYES},
                        {MB_YESNOCANCEL, IDYES}, {MB_RETRYCANCEL, IDRETRY}, {MB_ABORTRETRYIGNORE, IDABORT}};
  for (const Case& c : cases) EXPECT_EQ(MessageBoxA(nullptr, "text", "KW App", c.type), c.answer) << c.type;
  auto shown = kwtesting::MessageBoxesShown();
  ASSERT_EQ(shown.size(), std::size(cases));
  EXPECT_EQ(shown[0].caption, "KW App");
  EXPECT_EQ(shown[0].text, "text");
  EXPECT_EQ(shown[2].type, MB_YESNO | MB_ICONQUESTION);
}

TEST(MessageBoxTest, PresetAnswersAreUsedInOrder) {
  kwtesting::ClearMessageBoxes();
  kwtesting::PresetMessageBoxAnswer(IDNO);
  kwtesting::PresetMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "first", "c", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "second", "c", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "third", nullptr, MB_OK), IDOK);
  auto shown = kwtesting::MessageBoxesShown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].caption, "Error") << "Win32's caption when none is given";
}

TEST(MessageBoxTest, WritesCaptionAndTextToStandardError) {
  testing::internal::CaptureStderr();
  MessageBoxA(nullptr, "The text.", "KW App", MB_OK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "KW App: The text.\n");
}

}  // namespace
