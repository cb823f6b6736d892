#include "loader/code_fixups.h"

#include <gtest/gtest.h>

#include <strings.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/runtime_string.h"
#include "core/string_services.h"
#include "loader/plugin_bindings.h"

namespace {

uint32_t Address(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

// A code block with near calls at chosen offsets, and a fixup stream to go with it.
class CodeFixupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    code.assign(256, 0x90);
    image = ApplicationImage{};
    image.codeBase = code.data();
    image.codeSize = static_cast<uint32_t>(code.size());
    image.dataBase = data;
    image.dataSize = sizeof data;
    loads.clear();
  }
  // Chains call sites at the given operand offsets; returns the head.
  uint32_t Chain(std::vector<uint32_t> sites) {
    for (size_t index = 0; index < sites.size(); index++) {
      code[sites[index] - 1] = 0xE8;
      uint32_t next = index + 1 < sites.size() ? sites[index + 1] : 0;
      memcpy(&code[sites[index]], &next, 4);
    }
    return sites.empty() ? 0 : sites[0];
  }
  void Record(uint32_t head, const std::string& name) {
    stream.push_back(0x01);
    for (int shift = 0; shift < 32; shift += 8) stream.push_back(static_cast<uint8_t>(head >> shift));
    stream.push_back(static_cast<uint8_t>(name.size()));
    stream.insert(stream.end(), name.begin(), name.end());
  }
  void DataReference(uint32_t offset) {
    stream.push_back(0x02);
    for (int shift = 0; shift < 32; shift += 8) stream.push_back(static_cast<uint8_t>(offset >> shift));
  }
  uint32_t Target(uint32_t site) const {
    uint32_t displacement;
    memcpy(&displacement, &code[site], 4);
    return Address(code.data()) + site + 4 + displacement;
  }
  std::string Apply(bool* linked) {
    RuntimeString* message = nullptr;
    *linked = ApplyCodeFixups(image, stream.data(), static_cast<uint32_t>(stream.size()), &message, resolver);
    std::string text = StringCText(message);
    StringRelease(message);
    return text;
  }

  // Fake libraries: "alpha" exports "One" and "Two"; everything else is missing.
  static inline std::vector<std::string> loads;
  static HMODULE FakeLoad(const char* name) {
    loads.push_back(name);
    return strcasecmp(name, "alpha") == 0 ? reinterpret_cast<HMODULE>(0x1000) : nullptr;
  }
  static void* FakeFind(HMODULE, const char* routine) {
    if (strcmp(routine, "One") == 0) return reinterpret_cast<void*>(0x5000);
    if (strcmp(routine, "Two") == 0) return reinterpret_cast<void*>(0x6000);
    return nullptr;
  }
  LibraryResolver resolver{FakeLoad, FakeFind};
  std::vector<uint8_t> code;
  uint8_t data[64] = {};
  std::vector<uint8_t> stream;
  ApplicationImage image;
};

TEST_F(CodeFixupsTest, ServiceChainsLinkInAnyCaseAndStrayBytesAreSkipped) {
  uint32_t head = Chain({10, 30, 50});
  stream = {0x00, 0x07, 0xFF};
  Record(head, "runtimeaddstring");
  stream.push_back(0x33);
  Record(0, "RuntimeLockString");  // an empty chain links nothing
  bool linked;
  EXPECT_EQ(Apply(&linked), "");
  ASSERT_TRUE(linked);
  for (uint32_t site : {10u, 30u, 50u}) EXPECT_EQ(Target(site), Address(reinterpret_cast<void*>(&RuntimeAddString))) << site;
}

TEST_F(CodeFixupsTest, DataReferencesGetTheDataBase) {
  uint32_t value = 0x20;
  memcpy(&code[100], &value, 4);
  DataReference(100);
  bool linked;
  Apply(&linked);
  ASSERT_TRUE(linked);
  uint32_t relocated;
  memcpy(&relocated, &code[100], 4);
  EXPECT_EQ(relocated, Address(data) + 0x20);
}

TEST_F(CodeFixupsTest, LibrariesLoadOnceWhateverTheirCase) {
  uint32_t first = Chain({10});
  uint32_t second = Chain({20, 40});
  Record(first, "!Xalpha!One");
  Record(second, "!XALPHA!Two");
  bool linked;
  EXPECT_EQ(Apply(&linked), "");
  ASSERT_TRUE(linked);
  EXPECT_EQ(loads, std::vector<std::string>{"alpha"});
  EXPECT_EQ(Target(10), 0x5000u);
  EXPECT_EQ(Target(40), 0x6000u);
  ASSERT_NE(image.libraries, nullptr);
  EXPECT_EQ(image.libraries->next, nullptr);
}

TEST_F(CodeFixupsTest, FailuresGiveTheirMessagesAndStopLinking) {
  struct Case {
    std::string name;
    std::string message;
  };
  const Case cases[] = {
      {"!Xbeta!One", "The application could not be loaded because a necessary shared library beta could not be found."},
      {"!XOne", "The application could not be loaded because a necessary shared library  could not be found."},
      {"!Xalpha!Three",
       "The application could not be loaded because the routine Three could not be found in the shared library alpha."},
      {"NoSuchService", "The application could not be loaded because the service NoSuchService could not be found in this engine."},
  };
  for (const Case& c : cases) {
    SetUp();
    stream.clear();
    uint32_t head = Chain({10});
    Record(head, c.name);
    uint32_t later = Chain({60});
    Record(later, "RuntimeAddString");
    bool linked;
    EXPECT_EQ(Apply(&linked), c.message);
    EXPECT_FALSE(linked);
    uint32_t untouched;
    memcpy(&untouched, &code[60], 4);
    EXPECT_EQ(untouched, 0u) << "records after the failure are not processed";
  }
}

TEST_F(CodeFixupsTest, DamagedStreamsAndChainsAreRefused) {
  struct Case {
    const char* what;
    std::vector<uint8_t> stream;
  };
  std::vector<Case> cases = {
      {"truncated data reference", {0x02, 0x01, 0x00}},
      {"truncated name", {0x01, 10, 0, 0, 0, 9, 'R', 'u'}},
      {"data reference outside the code", {0x02, 0xFD, 0, 0, 0}},
  };
  code[19] = 0xE9;  // a jump, not a call
  memset(&code[20], 0, 4);
  cases.push_back({"site not after a call", {}});
  for (Case& c : cases) {
    stream = c.stream;
    if (stream.empty()) Record(20, "RuntimeAddString");
    bool linked;
    std::string message = Apply(&linked);
    EXPECT_FALSE(linked) << c.what;
    EXPECT_NE(message.find("image is damaged"), std::string::npos) << c.what << ": " << message;
  }

  // A chain whose last site points back to its first never ends.
  stream.clear();
  Chain({10, 30});
  uint32_t back = 10;
  memcpy(&code[30], &back, 4);
  Record(10, "RuntimeAddString");
  bool linked;
  EXPECT_NE(Apply(&linked).find("image is damaged"), std::string::npos);
  EXPECT_FALSE(linked);
}

TEST_F(CodeFixupsTest, PluginBindingsWaitLastInFirstOut) {
  Record(Chain({10}), "!MWidget!Draw");
  Record(Chain({30}), "!GWidget!Size");
  bool linked;
  Apply(&linked);
  ASSERT_TRUE(linked);
  ASSERT_NE(image.pendingBindings, nullptr);
  EXPECT_STREQ(StringCText(image.pendingBindings->name), "GWidget!Size");
  EXPECT_EQ(image.pendingBindings->chainHead, 30u);
  EXPECT_STREQ(StringCText(image.pendingBindings->next->name), "MWidget!Draw");
}

TEST(PluginBindingNameTest, SplitsKindClassAndMember) {
  struct Case {
    const char* name;
    char kind;
    const char* className;
    const char* member;
  };
  const Case cases[] = {
      {"MWidget!Draw", 'M', "Widget", "Draw"},
      {"WWidget!Draw", 'W', "Widget", "Draw"},
      {"MGlobalMethod(x As Integer)", 'M', "", "GlobalMethod(x As Integer)"},
      {"M!Beep", 'M', "", "Beep"},
      {"SWidget!Size!Extra", 'S', "Widget", "Size!Extra"},
      {"G", 'G', "", ""},
  };
  for (const Case& c : cases) {
    RuntimeString* name = StringFromCString(c.name);
    PluginBindingName split = SplitPluginBindingName(name);
    EXPECT_EQ(split.kind, c.kind) << c.name;
    EXPECT_STREQ(StringCText(split.className), c.className) << c.name;
    EXPECT_STREQ(StringCText(split.member), c.member) << c.name;
    StringRelease(split.className);
    StringRelease(split.member);
    StringRelease(name);
  }
}

}  // namespace
