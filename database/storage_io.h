// The files a database uses, behind a small interface: the engine's file layer in the product,
// memory or injected faults in tests. Offsets are bytes from the start of the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class StorageIoFile {
 public:
  virtual ~StorageIoFile() = default;
  // Exactly count bytes, or false.
  virtual bool Read(int64_t offset, void* buffer, int32_t count) = 0;
  virtual bool Write(int64_t offset, const void* buffer, int32_t count) = 0;
  // The bytes written so far survive a crash of the machine once this returns true.
  virtual bool Flush() = 0;
  virtual bool SetLength(int64_t length) = 0;
  // -1 when it cannot be known.
  virtual int64_t Length() = 0;
};

class StorageIo {
 public:
  virtual ~StorageIo() = default;
  // An existing file for reading and writing.
  virtual std::unique_ptr<StorageIoFile> Open(const std::string& path) = 0;
  // A new, empty file (an existing one is truncated).
  virtual std::unique_ptr<StorageIoFile> Create(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // A file of its own for scratch data, gone when the object is destroyed.
  virtual std::unique_ptr<StorageIoFile> CreateTemporary() = 0;
};

// The engine's file layer (file streams over the platform's files).
StorageIo& PlatformStorageIo();
