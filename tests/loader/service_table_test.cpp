#include "loader/service_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "core/runtime_string.h"
#include "core/string_services.h"
#include "library/number_functions.h"
#include "library/string_functions.h"

namespace {

std::string WithCase(const char* name, int (*change)(int)) {
  std::string result(name);
  for (char& c : result) c = static_cast<char>(change(static_cast<unsigned char>(c)));
  return result;
}

int FilledRows() {
  int filled = 0;
  while (filled < ServiceTableSize && ServiceTable[filled].name) filled++;
  return filled;
}

TEST(ServiceTableTest, RowsAreFilledFromTheFirstWithoutGapsAndTheRestAreZero) {
  EXPECT_EQ(FilledRows(), 866);
  for (int slot = 0; slot < ServiceTableSize; slot++) {
    const ServiceEntry& row = ServiceTable[slot];
    EXPECT_EQ(row.reserved[0] | row.reserved[1], 0u) << slot;
    if (slot < 866)
      EXPECT_NE(row.entry, nullptr) << "every row has a function: " << row.name;
    else
      EXPECT_TRUE(row.name == nullptr && row.entry == nullptr) << "row " << slot << " is empty";
  }
}

TEST(ServiceTableTest, TwoNamesHaveTwoRowsWithOneEntry) {
  std::set<std::string> seen;
  std::set<std::string> duplicated;
  for (int slot = 0; slot < FilledRows(); slot++) {
    std::string folded = WithCase(ServiceTable[slot].name, toupper);
    if (!seen.insert(folded).second) {
      duplicated.insert(ServiceTable[slot].name);
      EXPECT_EQ(ServiceTable[slot].entry, FindService(ServiceTable[slot].name)) << "same entry in both rows";
    }
  }
  EXPECT_EQ(seen.size(), 864u);
  EXPECT_EQ(duplicated, (std::set<std::string>{"PluginRegisterClass", "getSerialPortCount"}));
}

TEST(ServiceTableTest, EveryNameIsFoundInAnyCaseByScanAndByDictionary) {
  for (int slot = 0; slot < FilledRows(); slot++) {
    const ServiceEntry& row = ServiceTable[slot];
    for (const std::string& name : {std::string(row.name), WithCase(row.name, tolower), WithCase(row.name, toupper)}) {
      ASSERT_EQ(FindService(name.c_str()), row.entry) << name;
      ASSERT_EQ(ResolveServiceName(name.c_str()), row.entry) << name;
    }
  }
}

TEST(ServiceTableTest, NamesNotInTheTableAreNotFound) {
  for (const char* name : {"", "RuntimeLockStrin", "RuntimeLockStrings", "NoSuchService", "Runtime Init"}) {
    EXPECT_EQ(FindService(name), nullptr) << name;
    EXPECT_EQ(ResolveServiceName(name), nullptr) << name;
  }
}

TEST(ServiceTableTest, BuiltServicesAreBoundToTheirFunctions) {
  struct Case {
    const char* name;
    ServiceFunction function;
  };
  const Case cases[] = {
      {"runtimelockstring", reinterpret_cast<ServiceFunction>(&RuntimeLockString)},
      {"RUNTIMEUNLOCKSTRING", reinterpret_cast<ServiceFunction>(&RuntimeUnlockString)},
      {"RuntimeAddString", reinterpret_cast<ServiceFunction>(&RuntimeAddString)},
      {"runtimeStringCompare", reinterpret_cast<ServiceFunction>(&RuntimeStringCompare)},
      {"stringnthfield", reinterpret_cast<ServiceFunction>(&StringNthField)},
      {"StringGetCString", reinterpret_cast<ServiceFunction>(&StringGetCString)},
      {"RND", reinterpret_cast<ServiceFunction>(&rnd)},
      {"runCDbl", reinterpret_cast<ServiceFunction>(&runCDbl)},
  };
  for (const Case& c : cases) EXPECT_EQ(FindService(c.name), c.function) << c.name;

  // Called through the table as compiled code would.
  using AddString = RuntimeString* (*)(RuntimeString*, RuntimeString*);
  auto add = reinterpret_cast<AddString>(ResolveServiceName("RuntimeAddString"));
  RuntimeString* a = StringFromCString("Hello, ");
  RuntimeString* b = StringFromCString("world");
  RuntimeString* sum = add(a, b);
  EXPECT_STREQ(StringCText(sum), "Hello, world");
  for (RuntimeString* s : {a, b, sum}) StringRelease(s);
}

using ServiceTrapDeathTest = ::testing::Test;

TEST_F(ServiceTrapDeathTest, MissingServiceEndsTheProcessNamingIt) {
  // The first two services not built yet, whichever they are as the engine grows.
  std::vector<const ServiceEntry*> missing;
  for (int slot = 0; slot < FilledRows() && missing.size() < 2; slot++)
    if (!ServiceRowImplemented(slot)) missing.push_back(&ServiceTable[slot]);
  if (missing.size() < 2) GTEST_SKIP() << "every service is built";
  EXPECT_NE(missing[0]->entry, missing[1]->entry) << "each trap names its own service";
  for (const ServiceEntry* row : missing)
    EXPECT_EXIT(row->entry(), ::testing::ExitedWithCode(0),
                std::string("KW App: The service ") + row->name + " is not available in this engine\\.");
}

TEST(ServiceReportTest, OneLinePerDistinctNameThenTotalsThatAgree) {
  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  WriteServiceReport(file);
  rewind(file);
  char line[256];
  int implemented = 0, missing = 0, lines = 0;
  std::string last;
  std::set<std::string> names;
  while (fgets(line, sizeof line, file)) {
    last = line;
    char name[200], state[40];
    if (sscanf(line, "%199s %39s", name, state) != 2) continue;
    std::string stateText = state;
    if (stateText != "implemented" && stateText != "missing") continue;
    lines++;
    names.insert(name);
    (stateText == "implemented" ? implemented : missing)++;
    bool bound = FindService(name) != nullptr;
    EXPECT_TRUE(bound) << name;
  }
  fclose(file);
  EXPECT_EQ(lines, 864);
  EXPECT_EQ(names.size(), 864u);
  EXPECT_GE(implemented, 4);
  EXPECT_EQ(last, std::to_string(implemented) + " implemented, " + std::to_string(missing) + " missing\n");

  int rowsImplemented = 0;
  std::set<std::string> counted;
  for (int slot = 0; slot < FilledRows(); slot++)
    if (counted.insert(ServiceTable[slot].name).second && ServiceRowImplemented(slot)) rowsImplemented++;
  EXPECT_EQ(implemented, rowsImplemented);
}

}  // namespace
