#include "files/file_stream.h"

#include "core/runtime_string.h"
#include "platform/win32.h"

namespace {

// _lcreat's attribute for an ordinary file and _lopen's access modes.
constexpr int kNormalAttributes = 0;
constexpr int kReadOnlyMode = 1;

}  // namespace

FileCleanUp::~FileCleanUp() {
  if (stream_) stream_->Close();
}

FileStream::~FileStream() {
  Close();
  StringRelease(path_);
}

void FileStream::KeepPath(const char* path) { StringMakeFromCString(&path_, path); }

bool FileStream::Create(const char* path) {
  Close();
  if (path == nullptr) return false;
  handle_ = _lcreat(path, kNormalAttributes);
  if (handle_ == -1) return false;
  created_ = true;
  KeepPath(path);
  return true;
}

bool FileStream::Open(const char* path, int mode) {
  Close();
  if (path == nullptr) return false;
  handle_ = _lopen(path, mode == kReadOnlyMode ? OF_READ : OF_READWRITE);
  if (handle_ == -1) return false;
  KeepPath(path);
  return true;
}

bool FileStream::CreateTemporary() {
  Close();
  char folder[1024];
  char name[1024];
  DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) return false;
  if (GetTempFileNameA(folder, "kwt", 0, name) == 0) return false;
  KeepPath(name);
  handle_ = _lcreat(name, kNormalAttributes);
  if (handle_ == -1) {
    DeleteFileA(name);
    return false;
  }
  temporary_ = true;
  cleanUp_ = std::make_unique<FileCleanUp>(this);
  return true;
}

bool FileStream::Read(void* buffer, int32_t count, int32_t* countRead) {
  *countRead = 0;
  if (handle_ == -1 || count <= 0) return handle_ != -1;
  int32_t got = static_cast<int32_t>(_lread(handle_, buffer, static_cast<UINT>(count)));
  if (got < 0) return false;
  *countRead = got;
  return true;
}

bool FileStream::Write(const void* buffer, int32_t count) {
  if (handle_ == -1 || count < 0) return false;
  if (count == 0) return true;
  return _lwrite(handle_, static_cast<LPCCH>(buffer), static_cast<UINT>(count)) == static_cast<UINT>(count);
}

void FileStream::Close() {
  if (cleanUp_) {
    // The clean-up object closes the file again, now without one.
    std::unique_ptr<FileCleanUp> cleanUp = std::move(cleanUp_);
    cleanUp.reset();
    return;
  }
  if (handle_ == -1) return;
  _lclose(handle_);
  handle_ = -1;
  if (path_ && (temporary_ || (created_ && deleteOnClose_))) DeleteFileA(StringCText(path_));
  created_ = deleteOnClose_ = temporary_ = false;
}

bool FileStream::AtEnd() { return Position() >= Length(); }

bool FileStream::Seek(int32_t offset) {
  return handle_ != -1 && _llseek(handle_, offset, static_cast<int>(FILE_BEGIN)) == offset;
}

int32_t FileStream::Position() { return handle_ == -1 ? 0 : _llseek(handle_, 0, static_cast<int>(FILE_CURRENT)); }

int32_t FileStream::Length() {
  if (handle_ == -1) return 0;
  int32_t position = Position();
  int32_t end = _llseek(handle_, 0, static_cast<int>(FILE_END));
  Seek(position);
  return end;
}

bool FileStream::SetLength(int32_t n) {
  if (handle_ == -1 || n < 0) return false;
  int32_t position = Position();
  Seek(n);
  bool done = _lwrite(handle_, "", 0) == 0;  // writing nothing makes the position the file's end
  Seek(position);
  return done;
}

// As on Windows, the handle of an _l* file is its file handle.
static HANDLE FileHandle(int32_t handle) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle)); }

bool FileStream::Flush() { return handle_ != -1 && FlushFileBuffers(FileHandle(handle_)); }

static OVERLAPPED At(int64_t offset) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return at;
}

bool FileStream::ReadAt(int64_t offset, void* buffer, int32_t count) {
  if (handle_ == -1 || offset < 0 || count < 0) return false;
  OVERLAPPED at = At(offset);
  DWORD done = 0;
  return ReadFile(FileHandle(handle_), buffer, static_cast<DWORD>(count), &done, &at) &&
         done == static_cast<DWORD>(count);
}

bool FileStream::WriteAt(int64_t offset, const void* buffer, int32_t count) {
  if (handle_ == -1 || offset < 0 || count < 0) return false;
  OVERLAPPED at = At(offset);
  DWORD done = 0;
  return WriteFile(FileHandle(handle_), buffer, static_cast<DWORD>(count), &done, &at) &&
         done == static_cast<DWORD>(count);
}
