// The Windows and system directories, and the current directory, in Windows form.
//
// The Windows directory is C:\WINDOWS and the system directory C:\WINDOWS\SYSTEM32, both inside
// drive C's host directory, where plug-ins are written and loaded from; they are created on
// first use so that they always exist and are writable.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/kernel/paths.h"
#include "platform/win32.h"

namespace {

struct SystemFolders {
  std::string windows;
  std::string system;
};

const SystemFolders& Folders() {
  static std::once_flag made;
  static SystemFolders folders;
  std::call_once(made, [] {
    std::string windows = kwplatform::DriveCDirectory() + "/WINDOWS";
    std::string system = windows + "/SYSTEM32";
    mkdir(windows.c_str(), 0755);
    mkdir(system.c_str(), 0755);
    folders.windows = kwplatform::WindowsPathFromHostPath(windows);
    folders.system = kwplatform::WindowsPathFromHostPath(system);
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
