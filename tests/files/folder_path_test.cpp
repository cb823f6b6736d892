#include "files/folder_path.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderPath, SplitsVolumeDirectoryAndName) {
  const struct {
    const char* path;
    const char* volume;
    const char* directory;
    const char* name;
  } cases[] = {
      {"C:\\data\\notes.txt", "C:\\", "data\\", "notes.txt"},
      {"C:\\notes.txt", "C:\\", "", "notes.txt"},
      {"C:\\", "C:\\", "", ""},
      {"C:", "C:", "", ""},
      {"C:\\a\\b\\", "C:\\", "a\\b\\", ""},
      {"\\\\server\\share\\file.txt", "\\\\server\\", "share\\", "file.txt"},
      {"\\\\server", "\\\\server", "", ""},
      {"relative\\name.txt", "", "relative\\", "name.txt"},
      {"name.txt", "", "", "name.txt"},
      {"\\rooted\\x", "", "\\rooted\\", "x"},
      {"", "", "", ""},
      {"x", "", "", "x"},
  };
  for (const auto& c : cases) {
    SplitPath parts = SplitWindowsPath(c.path);
    EXPECT_EQ(parts.volume, c.volume) << c.path;
    EXPECT_EQ(parts.directory, c.directory) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
  }
}

TEST(FolderPath, ParentDropsTheLastPart) {
  const struct {
    const char* path;
    const char* parent;
  } cases[] = {
      {"C:\\data\\notes.txt", "C:\\data"},
      {"C:\\data", "C:"},
      {"C:\\", "C:"},
      {"C:", "C"},  // a bare drive: the folder item treats this as having no parent
      {"\\\\server\\share\\f", "\\\\server\\share"},
      {"a\\b", "a"},
      {"name", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ParentPath(c.path), c.parent) << c.path;
}

TEST(FolderPath, ResolvesAgainstABase) {
  const struct {
    const char* base;
    const char* relative;
    ResolveMode mode;
    const char* result;
  } cases[] = {
      {"C:\\app", "D:\\x.txt", ResolveMode::Child, "D:\\x.txt"},
      {"C:\\app", "data.txt", ResolveMode::Child, "C:\\app\\data.txt"},
      {"C:\\app", "sub\\data.txt", ResolveMode::Child, "C:\\app\\sub\\data.txt"},
      {"C:\\app", "\\top\\data.txt", ResolveMode::Child, "C:\\top\\data.txt"},
      {"C:\\a\\old.txt", "new.txt", ResolveMode::Sibling, "C:\\a\\new.txt"},
      {"C:\\a\\old.txt", "b\\new.txt", ResolveMode::Sibling, "C:\\a\\b\\new.txt"},
      {"C:\\a\\old.txt", "\\new.txt", ResolveMode::Sibling, "C:\\new.txt"},
      {"\\\\srv\\share\\f", "g", ResolveMode::Sibling, "\\\\srv\\share\\g"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolvePath(c.base, c.relative, c.mode), c.result) << c.relative;
}

}  // namespace
