// The _l* file functions over POSIX descriptors: handles are small non-negative integers and
// HFILE_ERROR (-1) reports a failure.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/kernel/paths.h"
#include "platform/win32.h"

namespace {

long ReadAll(HFILE file, void* buffer, long bytes) {
  long done = 0;
  while (done < bytes) {
    ssize_t got = read(file, static_cast<char*>(buffer) + done, static_cast<size_t>(bytes - done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += got;
  }
  return done;
}

long WriteAll(HFILE file, const char* buffer, long bytes) {
  if (bytes == 0) {
    // Writing nothing sets the end of the file at the current position, extending with zeros
    // or truncating.
    off_t position = lseek(file, 0, SEEK_CUR);
    if (position < 0 || ftruncate(file, position) != 0) return -1;
    return 0;
  }
  long done = 0;
  while (done < bytes) {
    ssize_t put = write(file, buffer + done, static_cast<size_t>(bytes - done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return -1;
    done += put;
  }
  return done;
}

// Characters Windows forbids in a file name: control characters, <>"|?* and a ":" other than
// the drive's.
bool HasForbiddenCharacter(LPCSTR path) {
  for (size_t index = 0; path[index]; index++) {
    unsigned char c = static_cast<unsigned char>(path[index]);
    if (c < 32 || strchr("<>\"|?*", c) || (c == ':' && index != 1)) return true;
  }
  return false;
}

HFILE Open(LPCSTR path, int flags, mode_t mode) {
  std::string hostPath;
  if (path == nullptr || HasForbiddenCharacter(path)) return HFILE_ERROR;
  if (!kwplatform::MapWindowsPath(path, &hostPath)) return HFILE_ERROR;
  int file = open(hostPath.c_str(), flags | O_CLOEXEC, mode);
  if (file < 0) return HFILE_ERROR;
  struct stat status;
  if (fstat(file, &status) != 0 || S_ISDIR(status.st_mode)) {
    close(file);
    return HFILE_ERROR;
  }
  if (flags & O_CREAT) kwplatform::NoteCreatedFile(file, hostPath);
  return file;
}

struct CreatedFiles {
  std::mutex lock;
  std::map<int, std::string> folders;  // descriptor -> host folder holding its name
};

CreatedFiles& Created() {
  static CreatedFiles* created = new CreatedFiles;
  return *created;
}

}  // namespace

namespace kwplatform {

void NoteCreatedFile(int descriptor, const std::string& hostPath) {
  size_t slash = hostPath.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : hostPath.substr(0, slash);
  std::lock_guard<std::mutex> guard(Created().lock);
  Created().folders[descriptor] = folder;
}

void ForgetCreatedFile(int descriptor) {
  std::lock_guard<std::mutex> guard(Created().lock);
  Created().folders.erase(descriptor);
}

bool FlushDescriptor(int descriptor) {
  // Data and the size that reaches it; Windows' flush gives no less.
  if (fdatasync(descriptor) != 0) return false;
  std::string folder;
  {
    std::lock_guard<std::mutex> guard(Created().lock);
    auto found = Created().folders.find(descriptor);
    if (found == Created().folders.end()) return true;
    folder = found->second;
  }
  // A new name lives in its folder, which the host flushes apart from the file.
  int folderDescriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderDescriptor < 0) return false;
  bool flushed = fsync(folderDescriptor) == 0;
  close(folderDescriptor);
  if (flushed) ForgetCreatedFile(descriptor);
  return flushed;
}

}  // namespace kwplatform

extern "C" {

HFILE WINAPI _lopen(LPCSTR lpPathName, int iReadWrite) {
  int access = iReadWrite & 3;
  int flags = access == OF_WRITE ? O_WRONLY : access == OF_READWRITE ? O_RDWR : O_RDONLY;
  return Open(lpPathName, flags, 0);
}

HFILE WINAPI _lcreat(LPCSTR lpPathName, int iAttribute) {
  // Attribute 1 makes the new file read-only (for later opens; this handle may still write).
  mode_t mode = (iAttribute & 1) ? 0444 : 0666;
  return Open(lpPathName, O_RDWR | O_CREAT | O_TRUNC, mode);
}

UINT WINAPI _lread(HFILE hFile, LPVOID lpBuffer, UINT uBytes) {
  return static_cast<UINT>(ReadAll(hFile, lpBuffer, static_cast<long>(uBytes)));
}

UINT WINAPI _lwrite(HFILE hFile, LPCCH lpBuffer, UINT uBytes) {
  return static_cast<UINT>(WriteAll(hFile, lpBuffer, static_cast<long>(uBytes)));
}

long WINAPI _hread(HFILE hFile, LPVOID lpBuffer, long lBytes) {
  return lBytes < 0 ? -1 : ReadAll(hFile, lpBuffer, lBytes);
}

long WINAPI _hwrite(HFILE hFile, LPCCH lpBuffer, long lBytes) {
  return lBytes < 0 ? -1 : WriteAll(hFile, lpBuffer, lBytes);
}

LONG WINAPI _llseek(HFILE hFile, LONG lOffset, int iOrigin) {
  int whence = iOrigin == static_cast<int>(FILE_CURRENT) ? SEEK_CUR
               : iOrigin == static_cast<int>(FILE_END)   ? SEEK_END
                                                         : SEEK_SET;
  off_t position = lseek(hFile, lOffset, whence);
  return position < 0 ? -1 : static_cast<LONG>(position);
}

HFILE WINAPI _lclose(HFILE hFile) {
  kwplatform::ForgetCreatedFile(hFile);
  return close(hFile) == 0 ? 0 : HFILE_ERROR;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  std::string hostPath;
  if (lpFileName == nullptr || !kwplatform::MapWindowsPath(lpFileName, &hostPath)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  // unlink refuses folders, as DeleteFileA does.
  if (unlink(hostPath.c_str()) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  return TRUE;
}

}  // extern "C"
