#include "loader/startup.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/runtime_string.h"

namespace {

std::vector<uint8_t> Settings(uint8_t layout, uint32_t script, std::vector<uint8_t> rest) {
  std::vector<uint8_t> bytes = {layout, 0, 0, 0, 0};
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(script >> shift));
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  return bytes;
}

TEST(SettingsStreamTest, ReadsFileTypesMdiAndTheScriptCodesCharacterSet) {
  std::vector<uint8_t> bytes = Settings(0, 13,
                                        {0x01,                                    // one file type
                                         4, 'T', 'e', 'x', 't', 4, 't', 't', 'x', 't', 4, 'T', 'E', 'X', 'T',
                                         4, '.', 't', 'x', 't',                   // name, creator, type, extensions
                                         0x02, 1, 'a', 0,                         // two reserved strings
                                         1,                                       // MDI
                                         5, 'F', 'r', 'a', 'm', 'e'});
  ApplicationSettings settings;
  ASSERT_TRUE(ReadSettingsStream(bytes.data(), static_cast<uint32_t>(bytes.size()), &settings));
  EXPECT_EQ(settings.paneLayoutFlag, 0);
  EXPECT_EQ(settings.characterSet, 128);
  ASSERT_NE(settings.fileTypes, nullptr);
  EXPECT_STREQ(StringCText(settings.fileTypes->extensions), ".txt");
  EXPECT_TRUE(settings.mdi);
  EXPECT_STREQ(StringCText(settings.mdiCaption), "Frame");

  ApplicationSettings truncated;
  EXPECT_FALSE(ReadSettingsStream(bytes.data(), static_cast<uint32_t>(bytes.size() - 3), &truncated));
}

TEST(SettingsStreamTest, ScriptCodesMapToCharacterSets) {
  const std::pair<uint32_t, int32_t> cases[] = {{12, 177}, {13, 128}, {14, 178}, {16, 161}, {19, 162},
                                                {21, 136}, {24, 222}, {34, 204}, {0, 1},    {15, 1}};
  for (auto [script, characterSet] : cases) EXPECT_EQ(CharacterSetForScriptCode(script), characterSet) << script;
}

}  // namespace
