// Searches, attributes and whole-file operations over the host's file system.
//
// Attributes: a folder has FILE_ATTRIBUTE_DIRECTORY; a file without write permission has
// FILE_ATTRIBUTE_READONLY; a name beginning with "." has FILE_ATTRIBUTE_HIDDEN, the host's
// convention (the host cannot store the hidden bit, so SetFileAttributesA changes only the
// read-only bit). Creation times are the host's birth times where it records them, otherwise
// the last change of the file's status.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/handle_table.h"
#include "platform/kernel/paths.h"
#include "platform/win32.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsTo1970 = 11644473600;

struct Search {
  std::vector<WIN32_FIND_DATAA> found;
  size_t next = 0;
};

// An open file of CreateFileA; the descriptor closes with the record.
struct OpenFile {
  explicit OpenFile(int descriptor) : descriptor(descriptor) {}
  ~OpenFile() {
    kwplatform::ForgetCreatedFile(descriptor);
    close(descriptor);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int descriptor;
};

kwplatform::HandleTable<OpenFile>& Files() {
  static kwplatform::HandleTable<OpenFile> table(kwplatform::HandleKind::File);
  return table;
}

kwplatform::HandleTable<Search>& Searches() {
  static kwplatform::HandleTable<Search> table(kwplatform::HandleKind::FileSearch);
  return table;
}

FILETIME FileTimeOf(int64_t seconds, int64_t nanoseconds) {
  uint64_t ticks = static_cast<uint64_t>((seconds + kSecondsTo1970) * kTicksPerSecond + nanoseconds / 100);
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

DWORD AttributesOf(const struct stat& status, const std::string& name) {
  DWORD attributes = 0;
  if (S_ISDIR(status.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if ((status.st_mode & 0222) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (!S_ISDIR(status.st_mode)) attributes |= FILE_ATTRIBUTE_ARCHIVE;
  return attributes;
}

bool Describe(const std::string& hostPath, const std::string& name, WIN32_FIND_DATAA* data) {
  struct stat status;
  if (stat(hostPath.c_str(), &status) != 0) return false;
  memset(data, 0, sizeof *data);
  data->dwFileAttributes = AttributesOf(status, name);
  FILETIME created = FileTimeOf(status.st_ctim.tv_sec, status.st_ctim.tv_nsec);
#if defined(STATX_BTIME)
  struct statx extended;
  if (statx(AT_FDCWD, hostPath.c_str(), 0, STATX_BTIME, &extended) == 0 && (extended.stx_mask & STATX_BTIME))
    created = FileTimeOf(extended.stx_btime.tv_sec, extended.stx_btime.tv_nsec);
#endif
  data->ftCreationTime = created;
  data->ftLastAccessTime = FileTimeOf(status.st_atim.tv_sec, status.st_atim.tv_nsec);
  data->ftLastWriteTime = FileTimeOf(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
  if (!S_ISDIR(status.st_mode)) {
    uint64_t size = static_cast<uint64_t>(status.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
  }
  size_t length = name.size() < sizeof data->cFileName - 1 ? name.size() : sizeof data->cFileName - 1;
  memcpy(data->cFileName, name.data(), length);
  return true;
}

// Windows' wildcard match without regard to case: "*" any run, "?" one character, and a
// pattern ending in ".*" or "." also matches names without an extension ("*.*" matches all).
bool Matches(const char* pattern, const char* name) {
  if (*pattern == 0) return *name == 0;
  if (*pattern == '*') {
    if (strcmp(pattern, "*.*") == 0 || strcmp(pattern, "*") == 0) return true;
    for (const char* rest = name;; rest++) {
      if (Matches(pattern + 1, rest)) return true;
      if (*rest == 0) return false;
    }
  }
  if (*name == 0) return strcmp(pattern, ".") == 0 || strcmp(pattern, ".*") == 0;
  if (*pattern == '?' || tolower(static_cast<unsigned char>(*pattern)) == tolower(static_cast<unsigned char>(*name)))
    return Matches(pattern + 1, name + 1);
  return false;
}

bool MapPath(LPCSTR path, std::string* host) {
  if (path == nullptr || !kwplatform::MapWindowsPath(path, host)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  return true;
}

void SetErrorFromErrno() {
  SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS
               : errno == EACCES || errno == EPERM || errno == EISDIR ? ERROR_ACCESS_DENIED
               : errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                   : ERROR_FILE_NOT_FOUND);
}

// The descriptor of a handle of CreateFileA or, as on Windows, of a file of _lopen or _lcreat
// given as a handle; -1 (with the error set) for anything else.
int DescriptorOf(HANDLE hFile, std::shared_ptr<OpenFile>* keep) {
  uint32_t value = kwplatform::HandleValue(hFile);
  *keep = Files().Find(value);
  // Descriptors of the _l* functions are small; handles of the table never are.
  int descriptor = *keep ? (*keep)->descriptor : value < 0x10000 ? static_cast<int>(value) : -1;
  if (descriptor < 0 || fcntl(descriptor, F_GETFD) == -1) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  return descriptor;
}

// Reads or writes all count bytes at the file position or, with an OVERLAPPED, at its offset.
// A transfer at an offset leaves the file position where it was (Windows moves it past the
// bytes transferred; nothing in the engine mixes the two).
BOOL Transfer(HANDLE hFile, void* buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped, bool writing) {
  std::shared_ptr<OpenFile> keep;
  int descriptor = DescriptorOf(hFile, &keep);
  if (done) *done = 0;
  if (descriptor < 0) return FALSE;
  off_t offset =
      overlapped ? static_cast<off_t>(static_cast<uint64_t>(overlapped->OffsetHigh) << 32 | overlapped->Offset) : 0;
  DWORD total = 0;
  while (total < count) {
    char* at = static_cast<char*>(buffer) + total;
    size_t left = count - total;
    ssize_t moved = overlapped ? (writing ? pwrite(descriptor, at, left, offset + total)
                                          : pread(descriptor, at, left, offset + total))
                               : (writing ? write(descriptor, at, left) : read(descriptor, at, left));
    if (moved < 0 && errno == EINTR) continue;
    if (moved < 0) {
      SetErrorFromErrno();
      return FALSE;
    }
    if (moved == 0) break;  // the end of the file
    total += static_cast<DWORD>(moved);
  }
  if (done) *done = total;
  return TRUE;
}

}  // namespace

extern "C" {

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA data) {
  if (lpFileName == nullptr || data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string path = lpFileName;
  size_t cut = path.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  std::string pattern = cut == std::string::npos ? path : path.substr(cut + 1);
  auto search = std::make_shared<Search>();
  if (pattern.find_first_of("*?") == std::string::npos) {
    // One name: the item itself (a path ending in "\" names nothing).
    std::string host;
    WIN32_FIND_DATAA found;
    if (!pattern.empty() && MapPath(path.c_str(), &host) && Describe(host, host.substr(host.find_last_of('/') + 1), &found))
      search->found.push_back(found);
  } else {
    std::string host;
    if (!MapPath(folder.empty() ? "." : folder.c_str(), &host)) return INVALID_HANDLE_VALUE;
    DIR* directory = opendir(host.c_str());
    if (directory == nullptr) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
    while (dirent* entry = readdir(directory)) {
      WIN32_FIND_DATAA found;
      if (Matches(pattern.c_str(), entry->d_name) && Describe(host + "/" + entry->d_name, entry->d_name, &found))
        search->found.push_back(found);
    }
    closedir(directory);
  }
  if (search->found.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  *data = search->found[0];
  search->next = 1;
  uint32_t handle = Searches().Add(search);
  if (handle == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
  }
  return kwplatform::HandleFromValue<HANDLE>(handle);
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA data) {
  std::shared_ptr<Search> search = Searches().Find(kwplatform::HandleValue(hFindFile));
  if (search == nullptr || data == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (search->next >= search->found.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *data = search->found[search->next++];
  return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
  if (Searches().Remove(kwplatform::HandleValue(hFindFile)) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  std::string host;
  WIN32_FIND_DATAA data;
  if (!MapPath(lpFileName, &host)) return INVALID_FILE_ATTRIBUTES;
  if (!Describe(host, host.substr(host.find_last_of('/') + 1), &data)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  return data.dwFileAttributes;
}

BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD attributes) {
  std::string host;
  struct stat status;
  if (!MapPath(lpFileName, &host)) return FALSE;
  if (stat(host.c_str(), &status) != 0) {
    SetErrorFromErrno();
    return FALSE;
  }
  mode_t mode = status.st_mode & 07777;
  // Read-only clears every write permission; writable gives the owner write permission back.
  mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222) : (mode | 0200);
  if (chmod(host.c_str(), mode) != 0) {
    SetErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
  std::string from;
  std::string to;
  struct stat status;
  if (!MapPath(lpExistingFileName, &from) || !MapPath(lpNewFileName, &to)) return FALSE;
  // MoveFileA never replaces an existing file (a change of letter case only is a rename).
  if (lstat(to.c_str(), &status) == 0 && to != from) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (rename(from.c_str(), to.c_str()) != 0) {
    SetErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
  std::string from;
  std::string to;
  if (!MapPath(lpExistingFileName, &from) || !MapPath(lpNewFileName, &to)) return FALSE;
  int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status;
  if (source < 0 || fstat(source, &status) != 0 || S_ISDIR(status.st_mode)) {
    if (source >= 0) close(source);
    SetLastError(source < 0 ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
    return FALSE;
  }
  int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (bFailIfExists ? O_EXCL : 0);
  int target = open(to.c_str(), flags, status.st_mode & 0777);
  if (target < 0) {
    SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);
    close(source);
    return FALSE;
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t got = read(source, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = write(target, buffer + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        ok = false;
        break;
      }
      done += put;
    }
    if (!ok) break;
  }
  close(source);
  if (close(target) != 0) ok = false;
  if (!ok) SetLastError(ERROR_ACCESS_DENIED);
  return ok ? TRUE : FALSE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  std::string host;
  if (!MapPath(lpPathName, &host)) return FALSE;
  if (mkdir(host.c_str(), 0777) != 0) {
    SetErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD,
                          HANDLE) {
  std::string host;
  if (!MapPath(lpFileName, &host)) return INVALID_HANDLE_VALUE;
  int flags = O_CLOEXEC;
  bool reads = access & GENERIC_READ;
  bool writes = access & GENERIC_WRITE;
  flags |= reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
  if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
  else if (disposition == CREATE_ALWAYS) flags |= O_CREAT | O_TRUNC;
  else if (disposition == OPEN_ALWAYS) flags |= O_CREAT;
  else if (disposition == TRUNCATE_EXISTING) flags |= O_TRUNC;
  else if (disposition != OPEN_EXISTING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  int descriptor = open(host.c_str(), flags, 0666);
  if (descriptor < 0) {
    SetErrorFromErrno();
    return INVALID_HANDLE_VALUE;
  }
  if (flags & O_CREAT) kwplatform::NoteCreatedFile(descriptor, host);
  uint32_t handle = Files().Add(std::make_shared<OpenFile>(descriptor));
  if (handle == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
  }
  return kwplatform::HandleFromValue<HANDLE>(handle);
}

// The host keeps no settable creation time: a creation time is accepted and not stored.
BOOL WINAPI SetFileTime(HANDLE hFile, const FILETIME*, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  std::shared_ptr<OpenFile> file = Files().Find(kwplatform::HandleValue(hFile));
  if (file == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto toTimespec = [](const FILETIME* time) {
    struct timespec result = {0, UTIME_OMIT};
    if (time == nullptr) return result;
    int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(time->dwHighDateTime) << 32) | time->dwLowDateTime);
    int64_t sinceEpoch = ticks - kSecondsTo1970 * kTicksPerSecond;
    int64_t seconds = sinceEpoch >= 0 ? sinceEpoch / kTicksPerSecond : (sinceEpoch - kTicksPerSecond + 1) / kTicksPerSecond;
    result.tv_sec = static_cast<time_t>(seconds);
    result.tv_nsec = static_cast<long>((sinceEpoch - seconds * kTicksPerSecond) * 100);
    return result;
  };
  struct timespec times[2] = {toTimespec(lastAccess), toTimespec(lastWrite)};
  if (futimens(file->descriptor, times) != 0) {
    SetErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
  return Transfer(hFile, lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead, lpOverlapped, false);
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED lpOverlapped) {
  return Transfer(hFile, const_cast<void*>(lpBuffer), nNumberOfBytesToWrite, lpNumberOfBytesWritten, lpOverlapped,
                  true);
}

BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
  std::shared_ptr<OpenFile> keep;
  int descriptor = DescriptorOf(hFile, &keep);
  if (descriptor < 0) return FALSE;
  if (!kwplatform::FlushDescriptor(descriptor)) {
    SetErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (Files().Remove(kwplatform::HandleValue(hObject)) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

DWORD WINAPI GetLogicalDrives(void) {
  // Drive C (the layer's own directory) and drive Z (the host's root).
  return 1u << 2 | 1u << 25;
}

}  // extern "C"
