#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/kernel/process.h"
#include "platform/win32.h"

namespace {

TEST(CommandLineTest, QuotesArgumentsAsWin32SplitsThem) {
  struct Case {
    std::vector<std::string> arguments;
    const char* commandLine;
    const char* afterProgram;
  };
  const Case cases[] = {
      {{"kwrun"}, "kwrun", ""},
      {{"kwrun", "--services"}, "kwrun --services", "--services"},
      {{"/my apps/kwrun", "a b", "c"}, "\"/my apps/kwrun\" \"a b\" c", "\"a b\" c"},
      {{"kwrun", "say \"hi\""}, "kwrun \"say \\\"hi\\\"\"", "\"say \\\"hi\\\"\""},
      {{"kwrun", "dir\\ with\\"}, "kwrun \"dir\\ with\\\\\"", "\"dir\\ with\\\\\""},
      {{"kwrun", ""}, "kwrun \"\"", "\"\""},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv;
    for (const std::string& argument : c.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    kwplatform::SetCommandLineFromArguments(static_cast<int>(argv.size()), argv.data());
    EXPECT_STREQ(GetCommandLineA(), c.commandLine);
    EXPECT_STREQ(kwplatform::CommandLineArguments(), c.afterProgram);
  }
}

using ExitProcessDeathTest = ::testing::Test;

TEST_F(ExitProcessDeathTest, EndsAtOnceWithTheGivenCode) {
  EXPECT_EXIT(
      {
        fputs("buffered", stderr);
        ExitProcess(3);
      },
      ::testing::ExitedWithCode(3), "buffered");
}

}  // namespace
