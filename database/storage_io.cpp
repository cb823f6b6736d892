#include "database/storage_io.h"

#include <cstdint>

#include "files/file_stream.h"
#include "platform/win32.h"

namespace {

// The file layer counts in 32-bit signed offsets: a database file stops growing at 2 GiB.
bool Representable(int64_t offset, int64_t count) { return offset >= 0 && count >= 0 && offset + count <= INT32_MAX; }

class StreamFile : public StorageIoFile {
 public:
  explicit StreamFile(std::unique_ptr<FileStream> stream) : stream_(std::move(stream)) {}

  bool Read(int64_t offset, void* buffer, int32_t count) override {
    return Representable(offset, count) && stream_->ReadAt(offset, buffer, count);
  }

  bool Write(int64_t offset, const void* buffer, int32_t count) override {
    return Representable(offset, count) && stream_->WriteAt(offset, buffer, count);
  }

  bool Flush() override { return stream_->Flush(); }

  bool SetLength(int64_t length) override {
    return Representable(length, 0) && stream_->SetLength(static_cast<int32_t>(length));
  }

  int64_t Length() override { return stream_->Length(); }

 private:
  std::unique_ptr<FileStream> stream_;
};

class PlatformIo : public StorageIo {
 public:
  std::unique_ptr<StorageIoFile> Open(const std::string& path) override {
    auto stream = std::make_unique<FileStream>();
    if (!stream->Open(path.c_str(), OF_READWRITE)) return nullptr;
    return std::make_unique<StreamFile>(std::move(stream));
  }

  std::unique_ptr<StorageIoFile> Create(const std::string& path) override {
    auto stream = std::make_unique<FileStream>();
    if (!stream->Create(path.c_str())) return nullptr;
    return std::make_unique<StreamFile>(std::move(stream));
  }

  bool Exists(const std::string& path) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()); }

  std::unique_ptr<StorageIoFile> CreateTemporary() override {
    auto stream = std::make_unique<FileStream>();
    if (!stream->CreateTemporary()) return nullptr;
    return std::make_unique<StreamFile>(std::move(stream));
  }
};

}  // namespace

StorageIo& PlatformStorageIo() {
  static PlatformIo io;
  return io;
}
