// The Windows, system and temporary directories, the shell's special folders, and the current
// directory, in Windows form.
//
// The Windows directory is C:\WINDOWS, the system directory C:\WINDOWS\SYSTEM32 and the
// temporary directory C:\WINDOWS\TEMP, all inside drive C's host directory, where plug-ins are
// written and loaded from. The shell folders that have a place in the file system are laid out
// as Windows 98 had them: C:\WINDOWS\Desktop, C:\WINDOWS\FONTS, C:\WINDOWS\Start Menu\Programs
// and its StartUp folder. All are created on first use so that they always exist and are
// writable.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>

#include "platform/kernel/paths.h"
#include "platform/win32.h"

namespace {

// Windows' MAX_PATH: the longest name GetTempFileNameA may produce, with its zero.
constexpr size_t kMaxPath = 260;

struct SystemFolders {
  std::string windows;
  std::string system;
  std::string temporary;
  std::string desktop;
  std::string fonts;
  std::string programs;
  std::string startup;
};

const SystemFolders& Folders() {
  static std::once_flag made;
  static SystemFolders folders;
  std::call_once(made, [] {
    std::string windows = kwplatform::DriveCDirectory() + "/WINDOWS";
    std::string system = windows + "/SYSTEM32";
    mkdir(windows.c_str(), 0755);
    std::string temporary = windows + "/TEMP";
    mkdir(system.c_str(), 0755);
    mkdir(temporary.c_str(), 0755);
    folders.windows = kwplatform::WindowsPathFromHostPath(windows);
    folders.system = kwplatform::WindowsPathFromHostPath(system);
    folders.temporary = kwplatform::WindowsPathFromHostPath(temporary) + "\\";
    const std::pair<std::string*, std::string> shell[] = {{&folders.desktop, windows + "/Desktop"},
                                                          {&folders.fonts, windows + "/FONTS"},
                                                          {&folders.programs, windows + "/Start Menu"},
                                                          {&folders.programs, windows + "/Start Menu/Programs"},
                                                          {&folders.startup, windows + "/Start Menu/Programs/StartUp"}};
    for (const auto& [folder, host] : shell) {
      mkdir(host.c_str(), 0755);
      *folder = kwplatform::WindowsPathFromHostPath(host);
    }
  });
  return folders;
}

// Win32's convention for path getters: the length copied without the terminating zero, or,
// when the buffer is too small, the size it needs with the zero (and nothing is copied).
UINT CopyPath(const std::string& path, LPSTR buffer, UINT size) {
  UINT length = static_cast<UINT>(path.size());
  if (buffer == nullptr || size < length + 1) return length + 1;
  memcpy(buffer, path.c_str(), length + 1);
  return length;
}

}  // namespace

extern "C" {

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) { return CopyPath(Folders().windows, buffer, size); }

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) { return CopyPath(Folders().system, buffer, size); }

// The folders without a place in the file system (the control panel, the recycle bin) and
// any other CSIDL give FALSE.
BOOL WINAPI SHGetSpecialFolderPathA(HWND, LPSTR path, int csidl, BOOL) {
  const std::string* folder = csidl == CSIDL_DESKTOPDIRECTORY ? &Folders().desktop
                              : csidl == CSIDL_FONTS          ? &Folders().fonts
                              : csidl == CSIDL_PROGRAMS       ? &Folders().programs
                              : csidl == CSIDL_STARTUP        ? &Folders().startup
                                                              : nullptr;
  if (folder == nullptr || path == nullptr) return FALSE;
  CopyPath(*folder, path, kMaxPath);
  return TRUE;
}

DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer) { return CopyPath(Folders().temporary, buffer, size); }

UINT WINAPI GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR name) {
  if (folder == nullptr || name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string base = folder;
  if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
  // Up to three characters of the prefix, then the number in hexadecimal, then ".TMP".
  for (int index = 0; prefix && prefix[index] && index < 3; index++) base += prefix[index];
  auto nameFor = [&base](UINT number) {
    char digits[16];
    snprintf(digits, sizeof digits, "%X.TMP", number & 0xFFFF);
    return base + digits;
  };
  if (unique != 0) {
    // A caller-chosen number: the name is made, the file is not.
    std::string path = nameFor(unique);
    if (path.size() >= kMaxPath) return 0;
    memcpy(name, path.c_str(), path.size() + 1);
    return unique & 0xFFFF;
  }
  // The system picks a number that names no file yet and creates the file, starting from the
  // clock as Windows does.
  UINT start = (GetTickCount() & 0xFFFF) | 1;
  for (UINT step = 0; step < 0x10000; step++) {
    UINT number = ((start + step - 1) & 0xFFFF) + 1;
    if (number > 0xFFFF) continue;
    std::string path = nameFor(number);
    std::string host;
    if (path.size() >= kMaxPath || !kwplatform::MapWindowsPath(path.c_str(), &host)) break;
    int file = open(host.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (file >= 0) {
      close(file);
      memcpy(name, path.c_str(), path.size() + 1);
      return number;
    }
    if (errno != EEXIST) break;
  }
  SetLastError(ERROR_FILE_NOT_FOUND);
  return 0;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  std::string host(4096, '\0');
  while (getcwd(host.data(), host.size()) == nullptr) {
    if (errno != ERANGE) return 0;
    host.resize(host.size() * 2);
  }
  host.resize(strlen(host.c_str()));
  return CopyPath(kwplatform::WindowsPathFromHostPath(host), buffer, size);
}

}  // extern "C"
