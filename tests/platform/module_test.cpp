#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/module.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

template <class Function>
Function As(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

template <class Function>
void* Address(Function* function) {
  return reinterpret_cast<void*>(function);
}

TEST(SystemModuleTest, AreFoundByNameWhateverTheCaseExtensionOrFolder) {
  const char* libraries[] = {"kernel32", "user32", "comctl32", "gdi32",   "comdlg32",
                             "shell32",  "ole32",  "winmm",    "advapi32"};
  std::vector<HMODULE> handles;
  for (const char* library : libraries) {
    HMODULE handle = LoadLibraryA(library);
    ASSERT_NE(handle, nullptr) << library;
    for (HMODULE other : handles) EXPECT_NE(handle, other) << library;
    handles.push_back(handle);
    EXPECT_EQ(GetModuleHandleA(library), handle);
  }
  const char* kernel32Names[] = {"KERNEL32.DLL", "Kernel32.dll", "C:\\Windows\\System32\\KERNEL32.DLL",
                                 "Z:/anywhere/kernel32.dll"};
  for (const char* name : kernel32Names) EXPECT_EQ(LoadLibraryA(name), handles[0]) << name;
  EXPECT_TRUE(FreeLibrary(handles[0]));
  EXPECT_EQ(GetModuleHandleA("kernel32"), handles[0]) << "system libraries stay";
}

TEST(SystemModuleTest, ExportTheLayersOwnFunctions) {
  HMODULE kernel32 = LoadLibraryA("KERNEL32.DLL"), user32 = LoadLibraryA("user32");
  FARPROC length = GetProcAddress(kernel32, "lstrlenA");
  ASSERT_EQ(reinterpret_cast<void*>(length), Address(&lstrlenA));
  EXPECT_EQ(As<int(WINAPI*)(LPCSTR)>(length)("four"), 4);
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(kernel32, "ExitProcess")), Address(&ExitProcess));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("comctl32"), "InitCommonControls")),
            Address(&InitCommonControls));

  kwtesting::ClearMessageBoxes();
  FARPROC messageBox = GetProcAddress(user32, "MessageBoxA");
  ASSERT_NE(messageBox, nullptr);
  EXPECT_EQ(As<int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT)>(messageBox)(nullptr, "text", "caption", MB_OK), IDOK);
  ASSERT_EQ(kwtesting::MessageBoxesShown().size(), 1u);
  EXPECT_EQ(kwtesting::MessageBoxesShown()[0].caption, "caption");

  EXPECT_EQ(GetProcAddress(LoadLibraryA("gdi32"), "TextOutA"), reinterpret_cast<FARPROC>(&TextOutA));

  // Ordinals number a table from 1.
  EXPECT_EQ(GetProcAddress(kernel32, MAKEINTRESOURCEA(1)), GetProcAddress(kernel32, "GetProcessHeap"));

  struct Case {
    HMODULE module;
    LPCSTR name;
  };
  const Case missing[] = {{kernel32, "NoSuchFunction"},
                          {kernel32, "LSTRLENA"},
                          {kernel32, ""},
                          {user32, "lstrlenA"},
                          {LoadLibraryA("gdi32"), "FillRect"},  // a user32 export
                          {kernel32, MAKEINTRESOURCEA(0)},
                          {kernel32, MAKEINTRESOURCEA(60000)}};
  for (const Case& c : missing) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(c.module, c.name), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  }
}

TEST(ModuleTest, UnknownModulesAndHandlesFail) {
  struct Case {
    LPCSTR name;
    DWORD error;
  };
  const Case cases[] = {
      {nullptr, ERROR_INVALID_PARAMETER},        {"", ERROR_MOD_NOT_FOUND},
      {"no_such_library", ERROR_MOD_NOT_FOUND},  {"Z:\\no\\such\\folder\\library.dll", ERROR_MOD_NOT_FOUND},
      {"Q:\\unmapped.dll", ERROR_MOD_NOT_FOUND}, {"Z:\\tmp\\", ERROR_MOD_NOT_FOUND},
      {"Z:\\tmp", ERROR_MOD_NOT_FOUND}};  // a folder
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(c.name), nullptr) << (c.name ? c.name : "null");
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_EQ(GetModuleHandleA("no_such_library"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

  HMODULE stale = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x12340000));
  char path[16];
  EXPECT_EQ(GetProcAddress(stale, "lstrlenA"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_FALSE(FreeLibrary(stale));
  EXPECT_EQ(GetModuleFileNameA(stale, path, sizeof(path)), 0u);
}

TEST(ModuleTest, TheEngineModuleIsTheNullModule) {
  EXPECT_EQ(GetModuleHandleA(nullptr), kwplatform::EngineModuleHandle());
  char path[512];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, sizeof(path)), 0u);
  // A trailing dot keeps ".dll" from being added to a name without an extension.
  EXPECT_EQ(LoadLibraryA((std::string(path) + ".").c_str()), kwplatform::EngineModuleHandle())
      << "the executable's own file";
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(nullptr, "lstrlenA"), nullptr) << "the executable exports nothing";
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
}

TEST(ModuleTest, FileNameOfTheEngineIsItsPathOnDriveZAndIsCutLikeWin32) {
  char host[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", host, sizeof(host) - 1), 0);
  std::string expected = std::string("Z:") + host;
  for (char& c : expected)
    if (c == '/') c = '\\';
  const DWORD length = static_cast<DWORD>(expected.size());

  struct Case {
    DWORD size;
    DWORD result;
    std::string text;
    DWORD error;  // 0: not set
  };
  const Case cases[] = {
      {512, length, expected, 0},
      {length + 1, length, expected, 0},
      {length, length, expected.substr(0, length - 1), ERROR_INSUFFICIENT_BUFFER},
      {3, 3, "Z:", ERROR_INSUFFICIENT_BUFFER},
      {1, 1, "", ERROR_INSUFFICIENT_BUFFER},
  };
  for (const Case& c : cases) {
    std::vector<char> buffer(c.size + 1, '#');
    SetLastError(0);
    ASSERT_EQ(GetModuleFileNameA(nullptr, buffer.data(), c.size), c.result) << c.size;
    EXPECT_EQ(std::string(buffer.data()), c.text);
    EXPECT_EQ(buffer[c.size], '#') << "nothing written past the buffer";
    EXPECT_EQ(GetLastError(), c.error);
  }
  char buffer[512];
  EXPECT_EQ(GetModuleFileNameA(kwplatform::EngineModuleHandle(), buffer, sizeof(buffer)), length);
}

TEST(ModuleTest, LastErrorBelongsToEachThread) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  DWORD seenByOther = 1;
  std::thread([&] {
    seenByOther = GetLastError();
    SetLastError(ERROR_INVALID_HANDLE);
  }).join();
  EXPECT_EQ(seenByOther, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// Files that are not loadable DLLs fail alike in both builds: the 64-bit build refuses every
// image, the 32-bit build finds these malformed.
TEST(ModuleTest, FilesThatAreNotDllsAreRefused) {
  std::ifstream dll(std::string(KW_TEST_DLL_FOLDER) + "/test_helper.dll", std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(dll), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(bytes.empty());
  char folder[] = "/tmp/kw-module-test-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  struct Case {
    const char* file;
    std::string content;
  };
  std::string wrongMachine = bytes;
  wrongMachine[*reinterpret_cast<const uint32_t*>(&bytes[0x3C]) + 4] = 0x64;
  const Case cases[] = {
      {"text.dll", "not a program\n"},
      {"empty.dll", ""},
      {"truncated.dll", bytes.substr(0, bytes.size() / 2)},
      {"headers_only.dll", bytes.substr(0, 0x200)},
      {"wrong_machine.dll", wrongMachine},
  };
  for (const Case& c : cases) {
    std::string path = std::string(folder) + "/" + c.file;
    std::ofstream(path, std::ios::binary) << c.content;
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(path.c_str()), nullptr) << c.file;
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT) << c.file;
    EXPECT_EQ(GetModuleHandleA(c.file), nullptr) << "nothing stays loaded";
    unlink(path.c_str());
  }
  rmdir(folder);
}

}  // namespace
