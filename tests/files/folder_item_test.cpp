#include "files/folder_item.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/object_model.h"
#include "files/date.h"
#include "files_test_support.h"
#include "loader/startup.h"
#include "platform/win32.h"

namespace {

class FolderItemTest : public FolderFixture {
 protected:
  RuntimeObject* Item(const std::string& path) { return Keep(NewFolderItem(path.c_str())); }
  RuntimeObject* Here(const std::string& name) { return Item(Windows(name)); }
  std::string PathOf(RuntimeObject* item) { return Take(fileAbsolutePathGetter(item, 0)); }

};

TEST_F(FolderItemTest, NamesParentsAndChildren) {
  const struct {
    const char* path;
    const char* name;
    const char* parent;  // "" for nil
  } cases[] = {
      {"C:\\a\\b.txt", "b.txt", "C:\\a"},
      {"C:\\a", "a", "C:"},
      {"C:\\", "", ""},
      {"C:", "", ""},
      {"\\\\server\\share\\x", "x", "\\\\server\\share"},
      {"\\\\server", "", ""},
  };
  for (const auto& c : cases) {
    RuntimeObject* item = Item(c.path);
    EXPECT_EQ(Take(fileNameGetter(item, 0)), c.name) << c.path;
    RuntimeObject* parent = Keep(folderParentGetter(item, 0));
    EXPECT_EQ(parent ? PathOf(parent) : "", c.parent) << c.path;
  }
  RuntimeString* child = StringFromCString("b.txt");
  EXPECT_EQ(PathOf(Keep(FolderChild(Item("C:\\a"), child))), "C:\\a\\b.txt");
  EXPECT_EQ(PathOf(Keep(FolderTrueChild(Item("C:\\a"), child))), "C:\\a\\b.txt");
  StringRelease(child);
}

TEST_F(FolderItemTest, PathsResolveAgainstTheApplicationFolder) {
  char module[1024];
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  std::string folder(module, length);
  folder = folder.substr(0, folder.rfind('\\'));
  RuntimeString* absolute = StringFromCString("D:\\x.txt");
  RuntimeString* relative = StringFromCString("data\\x.txt");
  EXPECT_EQ(PathOf(Keep(RuntimeGetFolderItem(absolute))), "D:\\x.txt");
  EXPECT_EQ(PathOf(Keep(RuntimeGetTrueFolderItem(relative))), folder + "\\data\\x.txt");
  EXPECT_EQ(PathOf(Keep(FolderItemFromPath("plain"))), "plain");
  StringRelease(absolute);
  StringRelease(relative);
  // An item whose path was never set is the application's folder.
  RuntimeObject* unset = Keep(NewInstance(Item("x")->classRecord));
  EXPECT_EQ(PathOf(unset), folder);
}

TEST_F(FolderItemTest, PropertiesAskTheFileSystem) {
  Put("f.txt", "12345");
  std::filesystem::create_directory(Host("sub"));
  Put(".hidden", "");
  const struct {
    const char* name;
    bool exists, directory, visible;
    int32_t length;
  } cases[] = {
      {"f.txt", true, false, true, 5},
      {"F.TXT", true, false, true, 5},  // names compare without regard to case
      {"sub", true, true, true, 0},
      {".hidden", true, false, false, 0},
      {"missing.txt", false, false, true, 0},
  };
  for (const auto& c : cases) {
    RuntimeObject* item = Here(c.name);
    EXPECT_EQ(fileExistsGetter(item, 0), c.exists) << c.name;
    EXPECT_EQ(fileDirectoryGetter(item, 0), c.directory) << c.name;
    EXPECT_EQ(fileVisibleGetter(item, 0), c.visible) << c.name;
    EXPECT_EQ(fileSizeGetter(item, 0), c.length) << c.name;
    EXPECT_FALSE(fileAliasGetter(item, 0));
    EXPECT_EQ(fileRFSizeGetter(item, 0), 0);
    EXPECT_EQ(Keep(folderGetModified(item, 0)) != nullptr, c.exists) << c.name;
    EXPECT_EQ(Keep(folderGetCreation(item, 0)) != nullptr, c.exists) << c.name;
    EXPECT_EQ(fileMacTypeGetter(item, 0), nullptr);
    for (int32_t selector = 1; selector <= 4; selector++) EXPECT_EQ(folderFindFolder(item, selector), nullptr);
  }
  RuntimeObject* file = Here("f.txt");
  EXPECT_FALSE(fileLockedGetter(file, 0));
  fileLockedSetter(file, 0, true);
  EXPECT_TRUE(fileLockedGetter(file, 0));
  fileLockedSetter(file, 0, false);
  EXPECT_FALSE(fileLockedGetter(file, 0));
  fileLockedSetter(Here("missing.txt"), 0, true);
  EXPECT_FALSE(std::filesystem::exists(Host("missing.txt")));
  RuntimeObject* modified = Keep(folderGetModified(file, 0));
  EXPECT_GE(dateFieldGetter(modified, 0), 2020);
}

TEST_F(FolderItemTest, ListingCountsEveryNameAndItemsWalkIt) {
  Put("one", "1");
  Put("two", "2");
  RuntimeObject* folder = Item(windows_);
  int32_t count = fileCountGetter(folder, 0);
  EXPECT_EQ(count, 4);  // ".", "..", "one", "two"
  EXPECT_EQ(FolderItemItem(folder, 0), nullptr);
  EXPECT_EQ(FolderItemItem(folder, count + 1), nullptr);
  std::vector<std::string> names;
  for (int32_t index = 1; index <= count; index++) {
    RuntimeObject* entry = Keep(FolderItemTrueItem(folder, index));
    ASSERT_NE(entry, nullptr);
    names.push_back(Take(fileNameGetter(entry, 0)));
    EXPECT_EQ(PathOf(entry), windows_ + "\\" + names.back());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "one", "two"}));
  EXPECT_EQ(fileCountGetter(Here("one"), 0), 0);  // a file lists nothing
}

TEST_F(FolderItemTest, RenameDeleteCreateFolderAndCopy) {
  Put("old.txt", "text");
  RuntimeObject* item = Here("old.txt");
  RuntimeString* newName = StringFromCString("new.txt");
  fileNameSetter(item, 0, newName);
  EXPECT_EQ(PathOf(item), Windows("new.txt"));
  EXPECT_EQ(Get("new.txt"), "text");
  EXPECT_FALSE(std::filesystem::exists(Host("old.txt")));
  // A rename that fails still changes the item's path.
  RuntimeObject* missing = Here("absent.txt");
  fileNameSetter(missing, 0, newName);
  EXPECT_EQ(PathOf(missing), Windows("new.txt"));
  StringRelease(newName);

  RuntimeObject* folder = Here("made");
  FolderItemCreateAsFolder(folder);
  EXPECT_TRUE(fileDirectoryGetter(folder, 0));
  FolderItemCopyFileTo(item, folder);  // into the folder, under the same name
  EXPECT_EQ(Get("made/new.txt"), "text");
  Put("other.txt", "old");
  FolderItemCopyFileTo(item, Here("other.txt"));  // overwrites
  EXPECT_EQ(Get("other.txt"), "text");
  FolderItemCopyFileTo(Here("absent.txt"), Here("third.txt"));
  EXPECT_FALSE(std::filesystem::exists(Host("third.txt")));

  FolderItemDelete(folder);  // a folder is not removed
  EXPECT_TRUE(std::filesystem::exists(Host("made")));
  FolderItemDelete(item);
  EXPECT_FALSE(fileExistsGetter(item, 0));
  FolderItemDelete(Here("absent.txt"));
}

TEST_F(FolderItemTest, TypesScoreByExtension) {
  auto text = [](const char* s) { return StringFromCString(s); };
  DocumentFileType any = {nullptr, text("Any"), nullptr, nullptr, nullptr};
  DocumentFileType textType = {&any, text("Text"), nullptr, nullptr, text(".txt;.text")};
  const struct {
    const char* name;
    const char* type;
  } cases[] = {{"readme.TXT", "Text"}, {"notes.text", "Text"}, {"data.bin", "Any"}, {"txt", "Any"}};
  for (const auto& c : cases) EXPECT_EQ(FileTypeForName(&textType, c.name), c.type) << c.name;
  EXPECT_EQ(FileTypeForName(any.next, "x.txt"), "");
  EXPECT_EQ(FileTypeForName(nullptr, "x.txt"), "");
  DocumentFileType onlyText = {nullptr, text("Text"), nullptr, nullptr, text(".txt")};
  EXPECT_EQ(FileTypeForName(&onlyText, "x.doc"), "");
  for (RuntimeString* s : {any.name, textType.name, textType.extensions, onlyText.name, onlyText.extensions})
    StringRelease(s);
}

TEST_F(FolderItemTest, VolumesAndSystemFolders) {
  EXPECT_EQ(getVolumeCount(), 2);
  EXPECT_EQ(PathOf(Keep(getVolume(0))), "C:");
  EXPECT_EQ(PathOf(Keep(getVolume(1))), "Z:");
  EXPECT_EQ(getVolume(2), nullptr);
  EXPECT_EQ(getVolume(-1), nullptr);
  EXPECT_EQ(PathOf(Keep(getPreferencesFolder())), "C:\\WINDOWS");
  EXPECT_EQ(PathOf(Keep(getSystemFolder())), "C:\\WINDOWS\\SYSTEM32");
  EXPECT_EQ(PathOf(Keep(getExtensionsFolder())), "C:\\WINDOWS\\SYSTEM32");
  EXPECT_EQ(PathOf(Keep(getTemporaryItemsFolder())), "C:\\WINDOWS\\TEMP\\");
  EXPECT_EQ(getShutdownItemsFolder(), nullptr);
  const struct {
    RuntimeObject* (*service)();
    const char* path;  // "" for nil
  } shell[] = {
      {getAppleMenuFolder, "C:\\WINDOWS\\Start Menu\\Programs"},
      {getStartupItemsFolder, "C:\\WINDOWS\\Start Menu\\Programs\\StartUp"},
      {getDesktopFolder, "C:\\WINDOWS\\Desktop"},
      {getFontsFolder, "C:\\WINDOWS\\FONTS"},
      {getControlPanelsFolder, ""},
      {getTrashFolder, ""},
  };
  for (const auto& folder : shell) {
    RuntimeObject* item = Keep(folder.service());
    EXPECT_EQ(item ? PathOf(item) : "", folder.path);
    if (item) {
      EXPECT_TRUE(fileDirectoryGetter(item, 0)) << folder.path;
    }
  }
  EXPECT_TRUE(fileDirectoryGetter(Keep(getSystemFolder()), 0));
}

}  // namespace

namespace {

TEST_F(FolderItemTest, ModificationDateCanBeSet) {
  Put("dated.txt", "x");
  RuntimeObject* item = Here("dated.txt");
  RuntimeObject* date = Keep(NewDate(0));
  dateTotalSecondsSetter(date, 3000000000.0);  // in 1999
  folderSetModified(item, 0, date);
  RuntimeObject* read = Keep(folderGetModified(item, 0));
  EXPECT_DOUBLE_EQ(dateTotalSecondsGetter(read), 3000000000.0);
  folderSetModified(item, 0, nullptr);  // nil: nothing happens
  folderSetCreation(item, 0, date);     // the host keeps no creation time; nothing fails
  folderSetModified(Here("missing.txt"), 0, date);
  EXPECT_FALSE(std::filesystem::exists(Host("missing.txt")));
  EXPECT_DOUBLE_EQ(dateTotalSecondsGetter(Keep(folderGetModified(item, 0))), 3000000000.0);
}

}  // namespace

namespace {

// The opener: a script that writes what it was given to a file.
TEST_F(FolderItemTest, LaunchHandsTheFileToTheHostOpener) {
  Put("opener.sh", "#!/bin/sh\necho \"$1\" > \"$0.$$\" && mv \"$0.$$\" \"$0.out\"\n");
  std::filesystem::permissions(Host("opener.sh"), std::filesystem::perms::owner_all);
  Put("doc.txt", "x");
  setenv("KW_OPENER", Host("opener.sh").c_str(), 1);
  // The opener runs on its own: wait for what it writes (at most 20 seconds).
  auto opened = [this] {
    for (int tries = 0; tries < 200 && !std::filesystem::exists(Host("opener.sh.out")); tries++) usleep(100000);
    std::string text = Get("opener.sh.out");
    std::filesystem::remove(Host("opener.sh.out"));
    return text;
  };
  auto shell = [](const std::string& file) {
    return reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOW));
  };
  EXPECT_GT(shell(Windows("doc.txt")), 32u);
  EXPECT_EQ(opened(), Host("doc.txt") + "\n");
  EXPECT_EQ(shell(Windows("none.txt")), 2u);  // a missing file
  FolderItemLaunch(Here("doc.txt"));
  EXPECT_EQ(opened(), Host("doc.txt") + "\n");
  EXPECT_GT(shell("http://example.com/"), 32u);  // a URL goes to the opener as it is
  EXPECT_EQ(opened(), "http://example.com/\n");
  setenv("KW_OPENER", Host("not-there").c_str(), 1);
  EXPECT_EQ(shell("http://example.com/"), 31u);  // no opener
  FolderItemLaunch(Here("doc.txt"));           // nothing happens, nothing fails
  unsetenv("KW_OPENER");
}

}  // namespace
