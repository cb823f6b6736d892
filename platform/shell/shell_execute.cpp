// ShellExecuteA: "open" hands a file or URL to the host's opener, the program named by the
// environment variable KW_OPENER or else xdg-open found on the PATH. Without an opener the
// call fails with SE_ERR_NOASSOC, as Windows does for a file type with no application.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/kernel/paths.h"
#include "platform/win32.h"

namespace {

constexpr uintptr_t kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
constexpr uintptr_t kNoAssociation = 31;  // SE_ERR_NOASSOC
constexpr uintptr_t kSuccess = 33;  // any value above 32

HINSTANCE Result(uintptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

bool IsExecutable(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string FindOpener() {
  const char* chosen = getenv("KW_OPENER");
  if (chosen) return IsExecutable(chosen) ? chosen : std::string();
  const char* path = getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= folders.size();) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string candidate = folders.substr(start, end - start) + "/xdg-open";
    if (end > start && IsExecutable(candidate)) return candidate;
    start = end + 1;
  }
  return std::string();
}

// Starts the opener detached (a grandchild, so that no zombie is left); true once its program
// has started.
bool StartDetached(const std::string& program, const std::string& argument) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    close(report[0]);
    setsid();
    if (fork() == 0) {
      execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
      char failed = 1;
      (void)!write(report[1], &failed, 1);
      _exit(127);
    }
    _exit(0);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  char failed = 0;
  ssize_t got;
  do got = read(report[0], &failed, 1);
  while (got < 0 && errno == EINTR);
  close(report[0]);
  return got == 0;  // the pipe closed on a successful exec without a failure byte
}

}  // namespace

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR, INT) {
  if (lpFile == nullptr || (lpOperation && strcmp(lpOperation, "open") != 0)) return Result(kNoAssociation);
  std::string target = lpFile;
  if (target.find("://") == std::string::npos && strncmp(lpFile, "mailto:", 7) != 0) {
    // A file: it must exist, and the opener gets its host path.
    std::string host;
    struct stat status;
    if (!kwplatform::MapWindowsPath(lpFile, &host) || stat(host.c_str(), &status) != 0) return Result(kFileNotFound);
    target = host;
  }
  std::string opener = FindOpener();
  if (opener.empty() || !StartDetached(opener, target)) return Result(kNoAssociation);
  return Result(kSuccess);
}
