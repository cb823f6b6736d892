// The engine's file layer: one open file over the old-style _l* file functions, used by the
// stream classes, the embedded database and the diagnostic output.
#pragma once

#include <cstdint>
#include <memory>

#include "core/runtime_layout.h"

class FileStream;

// Owns the removal of a temporary file: destroying it closes the stream it belongs to.
class FileCleanUp {
 public:
  explicit FileCleanUp(FileStream* stream) : stream_(stream) {}
  ~FileCleanUp();
  FileCleanUp(const FileCleanUp&) = delete;
  FileCleanUp& operator=(const FileCleanUp&) = delete;

 private:
  FileStream* stream_;
};

class FileStream {
 public:
  FileStream() = default;
  virtual ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // A negative result of the system is failure with nothing read; otherwise success with the
  // count read (0 at the end of the file).
  virtual bool Read(void* buffer, int32_t count, int32_t* countRead);
  // True when every byte was written.
  virtual bool Write(const void* buffer, int32_t count);
  virtual void Close();
  virtual bool AtEnd();
  // True when the position is now offset.
  virtual bool Seek(int32_t offset);
  virtual int32_t Length();
  // Makes n the file's size; the position is kept.
  virtual bool SetLength(int32_t n);
  // Makes what was written durable: it survives a crash of the machine once this returns true.
  virtual bool Flush();
  // Exactly count bytes at offset, without moving the position; false otherwise.
  bool ReadAt(int64_t offset, void* buffer, int32_t count);
  bool WriteAt(int64_t offset, const void* buffer, int32_t count);
  virtual int32_t Position();

  // Creates or truncates the file; marks it as created by this object.
  bool Create(const char* path);
  // Mode 1 opens for reading only, every other mode for reading and writing.
  bool Open(const char* path, int mode);
  // A new empty file in the system's temporary folder, deleted when closed.
  bool CreateTemporary();
  // A file this object created is deleted when it is closed.
  void DeleteWhenClosed() { deleteOnClose_ = true; }

  bool IsOpen() const { return handle_ != -1; }
  const RuntimeString* Path() const { return path_; }

 private:
  void KeepPath(const char* path);

  int32_t handle_ = -1;
  bool created_ = false;
  bool deleteOnClose_ = false;
  bool temporary_ = false;
  RuntimeString* path_ = nullptr;
  std::unique_ptr<FileCleanUp> cleanUp_;
};
