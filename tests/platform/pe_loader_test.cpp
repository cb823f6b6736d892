// Loading real i386 DLLs, built by MinGW with the tests, and calling into them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

template <class Function>
Function As(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

template <class Data>
Data& DataAt(FARPROC address) {
  return *reinterpret_cast<Data*>(address);
}

std::string WindowsPath(std::string hostPath) {
  for (char& c : hostPath)
    if (c == '/') c = '\\';
  return "Z:" + hostPath;
}

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

const std::string libraryPath = WindowsPath(std::string(KW_TEST_DLL_FOLDER) + "/test_library.dll");

// Loads test_library.dll for one test and unloads it after.
class PeLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library = LoadLibraryA(libraryPath.c_str());
    ASSERT_NE(library, nullptr) << libraryPath << ": error " << GetLastError();
  }
  void TearDown() override {
    if (library) {
      EXPECT_TRUE(FreeLibrary(library));
    }
  }

  FARPROC Export(LPCSTR name) {
    FARPROC address = GetProcAddress(library, name);
    EXPECT_NE(address, nullptr) << (IS_INTRESOURCE(name) ? "an ordinal" : name);
    return address;
  }

  HMODULE library = nullptr;
};

TEST_F(PeLoaderTest, LoadsOnceWhateverTheNameAndRunsTheEntryPointOnce) {
  const std::string names[] = {"test_library", "TEST_LIBRARY.DLL", UpperCase(libraryPath), libraryPath};
  for (const std::string& name : names) {
    EXPECT_EQ(LoadLibraryA(name.c_str()), library) << name;
    EXPECT_TRUE(FreeLibrary(library));
  }
  EXPECT_EQ(GetModuleHandleA("Test_Library"), library);
  EXPECT_EQ(DataAt<int>(Export("AttachCount")), 1);
  EXPECT_EQ(DataAt<HINSTANCE>(Export("AttachedInstance")), library) << "the entry point gets the module's handle";
  EXPECT_EQ(DataAt<DWORD>(Export("TlsCallbackReason")), DLL_PROCESS_ATTACH);

  char path[512];
  ASSERT_EQ(GetModuleFileNameA(library, path, sizeof(path)), libraryPath.size());
  EXPECT_EQ(path, libraryPath);
}

TEST_F(PeLoaderTest, CallsExportsOfBothConventionsByNameAndOrdinal) {
  EXPECT_EQ(As<int(WINAPI*)(int, int)>(Export("StdcallSum"))(2, 3), 5);
  EXPECT_EQ(As<int (*)(int, int)>(Export("CdeclSum"))(20, 22), 42);
  EXPECT_EQ(As<int(WINAPI*)()>(Export(MAKEINTRESOURCEA(7)))(), 42);
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(library, "OrdinalOnly"), nullptr) << "exported without a name";
  EXPECT_EQ(GetProcAddress(library, "NoSuchRoutine"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(999)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
}

TEST_F(PeLoaderTest, RelocatesDataPointersWhenMovedFromItsPreferredBase) {
  ASSERT_NE(reinterpret_cast<uintptr_t>(library), 0x08048000u) << "the test program occupies the preferred base";
  const char* greeting = DataAt<const char*>(Export("Greeting"));
  EXPECT_STREQ(greeting, "Hello from the library");
  EXPECT_GT(greeting, reinterpret_cast<const char*>(library));
  EXPECT_EQ(As<int(WINAPI*)()>(Export("SumThroughPointers"))(), 321);
}

TEST_F(PeLoaderTest, ImportsAreBoundToTheSystemLibrariesAndToOtherDlls) {
  EXPECT_EQ(As<int(WINAPI*)()>(Export("GreetingLength"))(), 22);
  kwtesting::ClearMessageBoxes();
  testing::internal::CaptureStderr();
  EXPECT_EQ(As<int(WINAPI*)()>(Export("ShowGreeting"))(), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "test_library: Hello from the library\n");
  ASSERT_EQ(kwtesting::MessageBoxesShown().size(), 1u);

  EXPECT_EQ(As<int(WINAPI*)(int)>(Export("CallHelper"))(21), 42) << "imported by ordinal from test_helper.dll";
  EXPECT_NE(GetModuleHandleA("test_helper"), nullptr);
}

TEST_F(PeLoaderTest, ForwardersLeadToTheirTargets) {
  EXPECT_EQ(reinterpret_cast<void*>(Export("ForwardedLength")), reinterpret_cast<void*>(&lstrlenA));
  EXPECT_EQ(As<int(WINAPI*)(int)>(Export("ForwardedTwice"))(8), 16);
}

TEST(PeLoaderUnloadTest, LastFreeUnloadsTheLibraryAndItsDependencies) {
  HMODULE library = LoadLibraryA("test_library");
  ASSERT_NE(library, nullptr);
  ASSERT_EQ(LoadLibraryA("test_library.dll"), library);
  EXPECT_TRUE(FreeLibrary(library));
  EXPECT_EQ(GetModuleHandleA("test_library"), library) << "one reference left";
  EXPECT_TRUE(FreeLibrary(library));
  EXPECT_EQ(GetModuleHandleA("test_library"), nullptr);
  EXPECT_EQ(GetModuleHandleA("test_helper"), nullptr) << "loaded only for the library's imports";
  EXPECT_FALSE(FreeLibrary(library));

  // Loaded again, it starts afresh.
  library = LoadLibraryA("test_library");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(DataAt<int>(GetProcAddress(library, "AttachCount")), 1);
  EXPECT_TRUE(FreeLibrary(library));
}

TEST(PeLoaderFailureTest, UnresolvedImportsAndRefusedAttachFailAndLeaveNothingLoaded) {
  struct Case {
    const char* name;
    DWORD error;
  };
  const Case cases[] = {
      {"missing_routine", ERROR_PROC_NOT_FOUND},
      {"missing_library", ERROR_MOD_NOT_FOUND},
      {"refusing", ERROR_DLL_INIT_FAILED},
  };
  kwtesting::ClearMessageBoxes();
  testing::internal::CaptureStderr();
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(c.name), nullptr) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
    EXPECT_EQ(GetModuleHandleA(c.name), nullptr) << c.name;
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "refusing: detached\n")
      << "a refused attach is followed by a detach";
}

TEST(PeLoaderSearchTest, ABareNameIsFoundInTheCurrentDirectory) {
  std::ifstream source(std::string(KW_TEST_DLL_FOLDER) + "/test_helper.dll", std::ios::binary);
  char folder[] = "/tmp/kw-loader-test-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string copy = std::string(folder) + "/Copied_Helper.DLL";
  std::ofstream(copy, std::ios::binary) << source.rdbuf();
  char previous[PATH_MAX];
  ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
  ASSERT_EQ(chdir(folder), 0);
  HMODULE helper = LoadLibraryA("copied_helper");
  ASSERT_EQ(chdir(previous), 0);
  ASSERT_NE(helper, nullptr);
  EXPECT_NE(helper, GetModuleHandleA("test_helper"));
  EXPECT_EQ(As<int(WINAPI*)(int)>(GetProcAddress(helper, MAKEINTRESOURCEA(5)))(4), 8);
  char path[512];
  GetModuleFileNameA(helper, path, sizeof(path));
  EXPECT_EQ(path, WindowsPath(copy));
  EXPECT_TRUE(FreeLibrary(helper));
  unlink(copy.c_str());
  rmdir(folder);
}

}  // namespace
