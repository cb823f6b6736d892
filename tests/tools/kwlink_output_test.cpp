#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/kernel/embedded_resource.h"
#include "tests/tools/kwlink_test_support.h"
#include "tools/kwlink/command_line.h"
#include "tools/kwlink/files.h"
#include "tools/kwlink/output_forms.h"

namespace kwtest {
namespace {

namespace fs = std::filesystem;

const Bytes Marker(std::begin(kwplatform::LocatorResourceMarker), std::end(kwplatform::LocatorResourceMarker));

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// An engine file: some bytes, the locator record (unpatched), some more bytes.
Bytes Engine() { return Concat({Text("ENGINE-HEAD"), Marker, Text("PICK"), Word(0), Text("TAIL")}); }

const kwlink::ImageBlocks Blocks{{0xC3}, {0x02, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6, 7, 8}, {0x00, 0x40, 0x03, 0x80}};

Bytes SerializedBlocks() {
  return Concat({Word(1),
                 {0xC3},
                 Word(5),
                 {0x02, 0, 0, 0, 0},
                 Word(8),
                 {1, 2, 3, 4, 5, 6, 7, 8},
                 Word(4),
                 {0x00, 0x40, 0x03, 0x80}});
}

class ScratchDirectory {
 public:
  ScratchDirectory() {
    path_ = fs::temp_directory_path() / ("kwlink-test-" + std::to_string(getpid()) + "-" +
                                         testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchDirectory() { fs::remove_all(path_); }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

TEST(KwlinkOutputTest, ResourceBlockHasBigEndianCountAndOffsetsFromTheEndOfTheTable) {
  const std::vector<Bytes> resources = {Text("abc"), {}, Text("de")};
  EXPECT_EQ(kwlink::BuildResourceBlock(resources),
            Concat({{0, 0, 0, 3}, {0, 0, 0, 0}, {0, 0, 0, 3}, {0, 0, 0, 3}, Text("abcde")}));
  EXPECT_TRUE(kwlink::BuildResourceBlock({}).empty());
}

TEST(KwlinkOutputTest, ProductionFilePatchesTheLocatorAndAppendsResourcesThenTheImage) {
  const Bytes engine = Engine();
  const size_t locator = 11 + Marker.size();
  const Bytes resources = kwlink::BuildResourceBlock(std::vector<Bytes>{Text("cursor")});

  Bytes patched = engine;
  kwlink::WriteU32(patched, locator, static_cast<uint32_t>(engine.size() + resources.size()));
  kwlink::WriteU32(patched, locator + 4, static_cast<uint32_t>(engine.size()));
  EXPECT_EQ(kwlink::BuildProductionFile("kwrun", engine, resources, Blocks),
            Concat({patched, resources, SerializedBlocks()}));

  kwlink::WriteU32(patched, locator, static_cast<uint32_t>(engine.size()));
  kwlink::WriteU32(patched, locator + 4, 0xFFFFFFFF);
  EXPECT_EQ(kwlink::BuildProductionFile("kwrun", engine, {}, Blocks), Concat({patched, SerializedBlocks()}));
}

TEST(KwlinkOutputTest, EngineNeedsExactlyOneUnpatchedLocator) {
  const struct {
    Bytes engine;
    std::string message;
  } cases[] = {
      {Text("no record here"), "kwrun: holds 0 locator records instead of one"},
      {Concat({Engine(), Engine()}), "kwrun: holds 2 locator records instead of one"},
      {Concat({Marker, Word(100), Word(0)}),
       "kwrun: the locator record is already patched (the engine carries an application)"},
      {Concat({Marker, Text("PIC")}),
       "kwrun: the locator record is already patched (the engine carries an application)"},
  };
  for (const auto& c : cases) {
    try {
      kwlink::BuildProductionFile("kwrun", c.engine, {}, Blocks);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const kwlink::LinkError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

TEST(KwlinkOutputTest, ProductionFormKeepsTheEnginesPermissions) {
  ScratchDirectory directory;
  const Bytes engine = Engine();
  kwlink::WriteWholeFile(directory / "kwrun", engine,
                         fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  kwlink::WriteProductionForm((directory / "kwrun").string(), (directory / "app").string(), {}, Blocks);
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "app"), kwlink::BuildProductionFile("kwrun", engine, {}, Blocks));
  EXPECT_EQ(fs::status(directory / "app").permissions(), fs::status(directory / "kwrun").permissions());
  EXPECT_EQ(directory.Files(), (std::vector<std::string>{"app", "kwrun"}));
}

TEST(KwlinkOutputTest, DevelopmentFormWritesOneFilePerBlockAndDropsAStaleResourceFile) {
  ScratchDirectory directory;
  const std::string folder = (directory / "app").string();
  const Bytes resources = kwlink::BuildResourceBlock(std::vector<Bytes>{Text("r")});
  kwlink::WriteDevelopmentForm(folder, resources, Blocks);
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "app/code1.dat"), Blocks.code);
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "app/code2.dat"), Blocks.codeFixups);
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "app/data1.dat"), Blocks.data);
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "app/data2.dat"), Blocks.dataRelocations);
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "app/data3.dat"), resources);

  kwlink::WriteDevelopmentForm(folder, {}, Blocks);
  EXPECT_FALSE(fs::exists(directory / "app/data3.dat"));
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "app/code1.dat"), Blocks.code);
}

struct CommandRun {
  int exitCode;
  std::string errors;
};

CommandRun RunCommand(const std::vector<std::string>& arguments) {
  std::ostringstream errors;
  const int code = kwlink::RunKwlink(arguments, errors);
  return {code, errors.str()};
}

TEST(KwlinkOutputTest, CommandLineLinksObjectsWithResourcesIntoTheChosenForm) {
  ScratchDirectory directory;
  StandardObject object(CallBytes);
  object.elf.Relocate(object.text, 1, kwlink::elf::RelocationPcRelative32, object.service);
  kwlink::WriteWholeFile(directory / "a.o", object.elf.Build());
  kwlink::WriteWholeFile(directory / "cursor.bin", Text("68 bytes or so"));
  kwlink::WriteWholeFile(directory / "kwrun", Engine(), fs::perms::owner_all);

  const std::string a = (directory / "a.o").string();
  const std::string resource = (directory / "cursor.bin").string();
  CommandRun run = RunCommand({"--resource", resource, "--development", (directory / "dev").string(), a});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "dev/code2.dat"),
            Concat({{0x01, 0x01, 0, 0, 0, 11}, Text("RuntimeInit")}));
  EXPECT_EQ(kwlink::ReadWholeFile(directory / "dev/data3.dat"),
            kwlink::BuildResourceBlock(std::vector<Bytes>{Text("68 bytes or so")}));

  run = RunCommand({a, "--engine", (directory / "kwrun").string(), "--output", (directory / "app").string(), "--entry",
                    "kw_main", "--project", "none"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const Bytes app = kwlink::ReadWholeFile(directory / "app");
  const Bytes code1 = kwlink::ReadWholeFile(directory / "dev/code1.dat");
  const Bytes image = Bytes(app.begin() + static_cast<long>(Engine().size()), app.end());
  EXPECT_EQ(Bytes(image.begin() + 4, image.begin() + 4 + static_cast<long>(code1.size())), code1);
}

TEST(KwlinkOutputTest, CommandLineFailuresWriteNothing) {
  ScratchDirectory directory;
  StandardObject bad(Bytes{0xB8, 0, 0, 0, 0});
  bad.elf.Relocate(bad.text, 1, kwlink::elf::RelocationAbsolute32, bad.kwMain);
  kwlink::WriteWholeFile(directory / "bad.o", bad.elf.Build());
  kwlink::WriteWholeFile(directory / "good.o", StandardObject().elf.Build());
  kwlink::WriteWholeFile(directory / "kwrun", Text("an engine without a locator record"));
  const std::string badObject = (directory / "bad.o").string();
  const std::string goodObject = (directory / "good.o").string();
  const std::string dev = (directory / "dev").string();
  const std::string engine = (directory / "kwrun").string();
  const std::string app = (directory / "app").string();

  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{"--development", dev, badObject},
       "kwlink: " + badObject +
           ": section .text, offset 0x1, symbol kw_main: absolute code address inside code "
           "(only data addresses are relocated)\n"},
      {{"--development", dev, goodObject, "--resource", (directory / "missing").string()},
       "kwlink: " + (directory / "missing").string() + ": cannot be opened\n"},
      {{"--engine", engine, "--output", app, goodObject},
       "kwlink: " + engine + ": holds 0 locator records instead of one\n"},
      {{"--engine", engine, goodObject}, "kwlink: the production form needs both --engine and --output\n"},
      {{"--engine", engine, "--output", app, "--development", dev, goodObject},
       "kwlink: give either --engine and --output or --development\n"},
      {{goodObject}, "kwlink: give either --engine and --output or --development\n"},
      {{"--development", dev}, "kwlink: no objects to link\n"},
      {{"--development", dev, "--map", goodObject}, "kwlink: unknown option --map\n"},
      {{"--development", dev, goodObject, "--entry"}, "kwlink: --entry needs a value\n"},
  };
  for (const auto& c : cases) {
    const CommandRun run = RunCommand(c.arguments);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors, c.message);
  }
  EXPECT_EQ(directory.Files(), (std::vector<std::string>{"bad.o", "good.o", "kwrun"}));
}

}  // namespace
}  // namespace kwtest
