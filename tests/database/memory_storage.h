// Files in memory for the storage engine's tests and fuzzer, with injected faults.
//
// Each file keeps what a program reading it would see (current) and what has reached the disk
// (durable: the content as of its last flush; a new file's name is durable after its first
// flush, as the platform flushes the folder then). Writes, flushes, truncations, creations and
// removals are counted; after the chosen count the file system stops: either every later call
// fails (Fail), or only the next one (FailOnce), or later changes are silently lost while the
// program goes on (Stop), which is
// what the disk sees of a process that died there. A snapshot then gives the files as a
// restarted machine finds them: after the death of the process, after a loss of power (only
// what was flushed), or after a loss of power that let a random part of the unflushed writes
// through, in their order.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "database/storage_io.h"

class MemoryStorage : public StorageIo {
 public:
  using Files = std::map<std::string, std::vector<uint8_t>>;
  enum class Fault { Fail, FailOnce, Stop };
  enum class Restart { ProcessDied, PowerLost, PowerLostPartly };

  struct Operation {
    std::string path;
    enum Kind { Write, Flush, SetLength, Create, Remove } kind;
    int64_t offset;
    int32_t count;
  };

  MemoryStorage() = default;
  explicit MemoryStorage(const Files& files) {
    for (const auto& [path, bytes] : files) {
      auto node = std::make_shared<Node>();
      node->current = node->durable = bytes;
      node->nameDurable = true;
      files_[path] = node;
    }
  }

  // Faults begin after this many counted operations.
  void FailAfter(int64_t count, Fault fault) {
    limit_ = count;
    fault_ = fault;
  }
  int64_t Operations() const { return operations_; }
  bool Stopped() const { return limit_ >= 0 && operations_ >= limit_ && fault_ != Fault::FailOnce; }
  const std::vector<Operation>& Log() const { return log_; }

  Files Snapshot(Restart restart, uint32_t seed = 0) const {
    Files files;
    std::mt19937 random(seed);
    auto durable = [&](const Node& node) {
      std::vector<uint8_t> bytes = node.durable;
      if (restart == Restart::PowerLostPartly)
        for (const Pending& pending : node.unflushed)
          if (random() & 1) Apply(&bytes, pending);
      return bytes;
    };
    for (const auto& [path, node] : files_) {
      if (restart == Restart::ProcessDied) {
        files[path] = node->current;
      } else if (node->nameDurable) {
        files[path] = durable(*node);
      }
    }
    // A removal reaches the disk only with a flush of its folder, which never comes.
    if (restart != Restart::ProcessDied)
      for (const auto& [path, node] : removed_)
        if (node->nameDurable && !files_.count(path)) files[path] = durable(*node);
    return files;
  }

  std::vector<uint8_t> Content(const std::string& path) const {
    auto found = files_.find(path);
    return found == files_.end() ? std::vector<uint8_t>() : found->second->current;
  }
  void Put(const std::string& path, const std::vector<uint8_t>& bytes) {
    auto node = std::make_shared<Node>();
    node->current = node->durable = bytes;
    node->nameDurable = true;
    files_[path] = node;
  }

  std::unique_ptr<StorageIoFile> Open(const std::string& path) override {
    if (Failing()) return nullptr;
    auto found = files_.find(path);
    if (found == files_.end()) return nullptr;
    return std::make_unique<File>(this, path, found->second);
  }

  std::unique_ptr<StorageIoFile> Create(const std::string& path) override {
    if (!Count({path, Operation::Create, 0, 0})) return nullptr;
    auto found = files_.find(path);
    if (found != files_.end()) {
      Pending truncation{0, {}, true};
      Apply(&found->second->current, truncation);
      found->second->unflushed.push_back(truncation);
      return std::make_unique<File>(this, path, found->second);
    }
    auto node = std::make_shared<Node>();
    files_[path] = node;
    return std::make_unique<File>(this, path, node);
  }

  bool Exists(const std::string& path) override { return !Failing() && files_.count(path) != 0; }

  bool Remove(const std::string& path) override {
    if (!Count({path, Operation::Remove, 0, 0})) return false;
    auto found = files_.find(path);
    if (found == files_.end()) return false;
    removed_[path] = found->second;
    files_.erase(found);
    return true;
  }

  std::unique_ptr<StorageIoFile> CreateTemporary() override {
    if (Failing()) return nullptr;
    return std::make_unique<File>(this, "", std::make_shared<Node>());
  }

 private:
  struct Pending {
    int64_t offset;
    std::vector<uint8_t> bytes;
    bool truncation;  // to offset
  };
  struct Node {
    std::vector<uint8_t> current, durable;
    std::vector<Pending> unflushed;
    bool nameDurable = false;
  };

  static void Apply(std::vector<uint8_t>* bytes, const Pending& pending) {
    if (pending.truncation) {
      bytes->resize(static_cast<size_t>(pending.offset));
      return;
    }
    size_t end = static_cast<size_t>(pending.offset) + pending.bytes.size();
    if (bytes->size() < end) bytes->resize(end);
    std::copy(pending.bytes.begin(), pending.bytes.end(), bytes->begin() + pending.offset);
  }

  bool Failing() const { return Stopped() && fault_ == Fault::Fail; }

  // True when the operation should take effect. Temporary files (no path) are not counted: they
  // hold nothing that outlives the process.
  bool Count(const Operation& operation) {
    if (operation.path.empty()) return !Failing();
    if (Stopped()) return false;
    operations_++;
    log_.push_back(operation);
    return fault_ != Fault::FailOnce || operations_ != limit_ + 1;
  }

  class File : public StorageIoFile {
   public:
    File(MemoryStorage* storage, std::string path, std::shared_ptr<Node> node)
        : storage_(storage), path_(std::move(path)), node_(std::move(node)) {}

    bool Read(int64_t offset, void* buffer, int32_t count) override {
      if (storage_->Failing() || offset < 0 || count < 0 ||
          static_cast<size_t>(offset) + static_cast<size_t>(count) > node_->current.size())
        return false;
      if (count) memcpy(buffer, node_->current.data() + offset, static_cast<size_t>(count));
      return true;
    }
    bool Write(int64_t offset, const void* buffer, int32_t count) override {
      if (offset < 0 || count < 0) return false;
      if (!storage_->Count({path_, Operation::Write, offset, count})) return Lost();
      const auto* bytes = static_cast<const uint8_t*>(buffer);
      Pending pending{offset, std::vector<uint8_t>(bytes, bytes + count), false};
      Apply(&node_->current, pending);
      node_->unflushed.push_back(std::move(pending));
      return true;
    }
    bool Flush() override {
      if (!storage_->Count({path_, Operation::Flush, 0, 0})) return Lost();
      node_->durable = node_->current;
      node_->unflushed.clear();
      node_->nameDurable = true;
      return true;
    }
    bool SetLength(int64_t length) override {
      if (length < 0) return false;
      if (!storage_->Count({path_, Operation::SetLength, length, 0})) return Lost();
      Pending truncation{length, {}, true};
      Apply(&node_->current, truncation);
      node_->unflushed.push_back(truncation);
      return true;
    }
    int64_t Length() override { return storage_->Failing() ? -1 : static_cast<int64_t>(node_->current.size()); }

   private:
    // A stopped process never learns that its change was lost; a failing one is told.
    bool Lost() const { return storage_->fault_ == Fault::Stop && storage_->Stopped(); }

    MemoryStorage* storage_;
    std::string path_;
    std::shared_ptr<Node> node_;
  };

  std::map<std::string, std::shared_ptr<Node>> files_;
  std::map<std::string, std::shared_ptr<Node>> removed_;
  std::vector<Operation> log_;
  int64_t operations_ = 0;
  int64_t limit_ = -1;
  Fault fault_ = Fault::Fail;
};
