#include "files/file_stream.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "files_test_support.h"
#include "platform/win32.h"

namespace {

using FileStreamTest = FolderFixture;

TEST_F(FileStreamTest, CreateWriteSeekAndLength) {
  FileStream file;
  ASSERT_TRUE(file.Create(Windows("a.bin").c_str()));
  file.Write("hello world", 11);
  EXPECT_EQ(file.Position(), 11);
  EXPECT_EQ(file.Length(), 11);
  EXPECT_TRUE(file.AtEnd());
  file.Seek(6);
  EXPECT_FALSE(file.AtEnd());
  char buffer[16] = {};
  int32_t got = -1;
  EXPECT_TRUE(file.Read(buffer, 16, &got));
  EXPECT_EQ(got, 5);
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_TRUE(file.Read(buffer, 16, &got));
  EXPECT_EQ(got, 0);  // at the end: success with nothing read
  file.Seek(3);
  file.SetLength(20);
  EXPECT_EQ(file.Length(), 20);
  EXPECT_EQ(file.Position(), 3);
  file.SetLength(2);
  EXPECT_EQ(file.Position(), 3);  // kept, though now past the end
  EXPECT_TRUE(file.AtEnd());
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(Get("a.bin"), "he");  // a created file stays unless marked for deletion
}

TEST_F(FileStreamTest, OpenFailuresGiveFalse) {
  std::filesystem::create_directory(Host("folder"));
  const std::string missing = Windows("missing.txt");
  const std::string folder = Windows("folder");
  const std::string forbidden = Windows("bad?name.txt");
  const std::string forbiddenStar = Windows("bad*.txt");
  for (const std::string& path : {missing, folder, forbidden, forbiddenStar}) {
    FileStream file;
    EXPECT_FALSE(file.Open(path.c_str(), 1)) << path;
    EXPECT_FALSE(file.Open(path.c_str(), 2)) << path;
    if (path != missing) {
      EXPECT_FALSE(file.Create(path.c_str())) << path;
    }
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Length(), 0);
    EXPECT_EQ(file.Position(), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(Host("bad?name.txt")));
}

TEST_F(FileStreamTest, ReadOnlyOpenIgnoresWrites) {
  Put("r.txt", "abc");
  FileStream file;
  ASSERT_TRUE(file.Open(Windows("r.txt").c_str(), 1));
  file.Write("xyz", 3);
  file.SetLength(0);
  file.Close();
  EXPECT_EQ(Get("r.txt"), "abc");
}

TEST_F(FileStreamTest, FlushReportsWhetherWrittenBytesAreDurable) {
  FileStream file;
  EXPECT_FALSE(file.Flush());  // nothing open
  ASSERT_TRUE(file.Create(Windows("durable.bin").c_str()));
  EXPECT_TRUE(file.Write("kept", 4));
  EXPECT_TRUE(file.Flush());  // the first flush of a new file also flushes its folder
  EXPECT_TRUE(file.Write("more", 4));
  EXPECT_TRUE(file.Flush());
  file.Close();
  EXPECT_EQ(Get("durable.bin"), "keptmore");
  EXPECT_FALSE(file.Write("x", 1));

  // A handle of CreateFileA flushes too; a handle that names nothing does not.
  HANDLE handle =
      CreateFileA(Windows("other.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FlushFileBuffers(handle));
  EXPECT_TRUE(CloseHandle(handle));
  EXPECT_FALSE(FlushFileBuffers(handle));
}

TEST_F(FileStreamTest, ReadAtAndWriteAtKeepThePosition) {
  FileStream file;
  ASSERT_TRUE(file.Create(Windows("at.bin").c_str()));
  EXPECT_TRUE(file.Write("abcdef", 6));
  file.Seek(2);
  EXPECT_TRUE(file.WriteAt(10, "XY", 2));  // past the end: the gap reads as zeros
  char bytes[12] = {};
  EXPECT_TRUE(file.ReadAt(0, bytes, 12));
  EXPECT_EQ(std::string(bytes, 12), std::string("abcdef\0\0\0\0XY", 12));
  EXPECT_FALSE(file.ReadAt(8, bytes, 5));  // only 4 bytes are there
  EXPECT_EQ(file.Position(), 2);
  int32_t got = 0;
  EXPECT_TRUE(file.Read(bytes, 2, &got));
  EXPECT_EQ(std::string(bytes, 2), "cd");
}

TEST_F(FileStreamTest, CreatedFileMarkedForDeletionGoesOnClose) {
  FileStream file;
  ASSERT_TRUE(file.Create(Windows("gone.txt").c_str()));
  file.DeleteWhenClosed();
  file.Write("x", 1);
  EXPECT_TRUE(std::filesystem::exists(Host("gone.txt")));
  file.Close();
  EXPECT_FALSE(std::filesystem::exists(Host("gone.txt")));
}

TEST_F(FileStreamTest, TemporaryFileLivesUntilClosed) {
  std::string hostPath;
  {
    FileStream file;
    ASSERT_TRUE(file.CreateTemporary());
    std::string windowsPath = StringCText(file.Path());
    EXPECT_NE(windowsPath.find("\\kwt"), std::string::npos);
    EXPECT_EQ(windowsPath.substr(windowsPath.size() - 4), ".TMP");
    ASSERT_TRUE(kwplatform::MapWindowsPath(windowsPath.c_str(), &hostPath));
    file.Write("temp", 4);
    EXPECT_EQ(file.Length(), 4);
    EXPECT_TRUE(std::filesystem::exists(hostPath));
    file.Close();
    EXPECT_FALSE(std::filesystem::exists(hostPath));
    file.Close();  // closing twice is harmless
  }
  {
    FileStream file;
    ASSERT_TRUE(file.CreateTemporary());
    ASSERT_TRUE(kwplatform::MapWindowsPath(StringCText(file.Path()), &hostPath));
  }  // destroyed without Close
  EXPECT_FALSE(std::filesystem::exists(hostPath));
}

}  // namespace
