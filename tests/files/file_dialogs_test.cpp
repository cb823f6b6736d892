#include "files/file_dialogs.h"

#include <gtest/gtest.h>

#include "core/object_model.h"
#include "files/folder_item.h"
#include "files_test_support.h"
#include "loader/startup.h"
#include "platform/testing/testing.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

class FileDialogTest : public FolderFixture {
 protected:
  void SetUp() override {
    FolderFixture::SetUp();
    kwtesting::ClearFileDialogs();
    any_ = {nullptr, StringFromCString("Any"), nullptr, nullptr, nullptr};
    text_ = {&any_, StringFromCString("Text"), nullptr, nullptr, StringFromCString(".txt;.text")};
    // The application's file types, as the settings stream would give them.
    Settings().fileTypes = &text_;
  }
  static ApplicationSettings& Settings() { return const_cast<ApplicationSettings&>(TheApplicationSettings()); }
  void TearDown() override {
    Settings().fileTypes = nullptr;
    kwtesting::ClearFileDialogs();
    for (RuntimeString* s : {any_.name, text_.name, text_.extensions}) StringRelease(s);
    FolderFixture::TearDown();
  }
  DocumentFileType any_;
  DocumentFileType text_;
};

// The (name, pattern) entries of a filter string.
Entries Split(const std::string& filter) {
  Entries entries;
  size_t at = 0;
  while (at < filter.size() && filter[at] != 0) {
    std::string name = filter.c_str() + at;
    at += name.size() + 1;
    std::string pattern = filter.c_str() + at;
    at += pattern.size() + 1;
    entries.emplace_back(name, pattern);
  }
  return entries;
}

TEST_F(FileDialogTest, FiltersOfferTheTypesPatterns) {
  const struct {
    const char* names;
    Entries entries;
    const char* defaultExtension;
  } cases[] = {
      {"Text;Any", {{"Text", "*.txt;*.text"}, {"Any", "*.*"}}, "txt"},
      {"any", {{"any", "*.*"}}, ""},
      {"Nothing", {{"Nothing", ""}}, ""},
      {"Any;Text", {{"Any", "*.*"}, {"Text", "*.txt;*.text"}}, "txt"},
  };
  for (const auto& c : cases) {
    DialogFilter filter = BuildDialogFilter(&text_, c.names);
    EXPECT_EQ(Split(filter.filter), c.entries) << c.names;
    EXPECT_EQ(filter.defaultExtension, c.defaultExtension) << c.names;
    ASSERT_GE(filter.filter.size(), 3u);
    EXPECT_EQ(filter.filter.substr(filter.filter.size() - 3), std::string(3, '\0'));  // pattern end + two
  }
}

TEST_F(FileDialogTest, DialogsAnsweredByTheTestInterface) {
  Put("chosen.txt", "x");
  RuntimeString* names = StringFromCString("Text;Any");
  kwtesting::PresetFileDialogAnswer(Windows("chosen.txt"));
  RuntimeObject* opened = RuntimeGetOpenFolderItem(names);
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(Take(fileAbsolutePathGetter(opened, 0)), Windows("chosen.txt"));
  RuntimeUnlockObject(opened);

  kwtesting::PresetFileDialogCancel();
  EXPECT_EQ(RuntimeGetOpenFolderItem(names), nullptr);
  EXPECT_EQ(RuntimeGetOpenFolderItem(names), nullptr);  // no answer: cancelled
  kwtesting::PresetFileDialogAnswer(Windows("missing.txt"));
  EXPECT_EQ(RuntimeGetOpenFolderItem(names), nullptr);  // the file must exist

  kwtesting::PresetFileDialogAnswer(Windows("saved"));
  RuntimeObject* saved = RuntimeGetSaveFolderItem(names);
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(Take(fileAbsolutePathGetter(saved, 0)), Windows("saved.txt"));  // the default extension
  RuntimeUnlockObject(saved);
  kwtesting::PresetFileDialogAnswer(Windows("nofolder\\x.txt"));
  EXPECT_EQ(RuntimeGetSaveFolderItem(names), nullptr);  // the folder must exist

  std::vector<kwtesting::FileDialogRecord> shown = kwtesting::FileDialogsShown();
  ASSERT_EQ(shown.size(), 6u);
  EXPECT_EQ(shown[0].filter, (Entries{{"Text", "*.txt;*.text"}, {"Any", "*.*"}}));
  EXPECT_EQ(shown[0].defaultExtension, "");
  EXPECT_EQ(shown[4].defaultExtension, "txt");
  EXPECT_FALSE(shown[0].save);
  EXPECT_EQ(shown[0].flags, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
  EXPECT_TRUE(shown[4].save);
  EXPECT_EQ(shown[4].flags, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST);
  StringRelease(names);
}

TEST_F(FileDialogTest, TypeOfAFolderItem) {
  const struct {
    const char* name;
    const char* type;
  } cases[] = {{"readme.TXT", "Text"}, {"data.bin", "Any"}};
  for (const auto& c : cases) {
    RuntimeObject* item = NewFolderItem(Windows(c.name).c_str());
    EXPECT_EQ(Take(fileTypeGetter(item, 0)), c.type);
    RuntimeUnlockObject(item);
  }
}

TEST_F(FileDialogTest, SaveDialogAddsTheDefaultExtension) {
  OPENFILENAMEA dialog = {};
  char file[256] = {};
  const char filter[] = "Text\0*.txt\0\0";
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrDefExt = "txt";
  kwtesting::PresetFileDialogAnswer("C:\\notes");
  ASSERT_TRUE(GetSaveFileNameA(&dialog));
  EXPECT_STREQ(file, "C:\\notes.txt");
  EXPECT_EQ(dialog.nFileOffset, 3);
  EXPECT_EQ(dialog.nFileExtension, 9);
  ASSERT_EQ(kwtesting::FileDialogsShown().size(), 1u);
  EXPECT_EQ(kwtesting::FileDialogsShown()[0].defaultExtension, "txt");
  EXPECT_EQ(kwtesting::FileDialogsShown()[0].filter, (Entries{{"Text", "*.txt"}}));
  dialog.nMaxFile = 5;
  kwtesting::PresetFileDialogAnswer("C:\\long name.txt");
  EXPECT_FALSE(GetSaveFileNameA(&dialog));
  EXPECT_EQ(CommDlgExtendedError(), 0x3003u);  // the buffer is too small
  dialog.lStructSize = 10;
  EXPECT_FALSE(GetOpenFileNameA(&dialog));
  EXPECT_EQ(CommDlgExtendedError(), 0x0001u);
}

}  // namespace
