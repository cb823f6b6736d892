// Handles of the layer: opaque, non-zero 32-bit values naming records of one kind.
//
// A handle packs the slot of its record (bits 0-15, stored plus one), the table's kind
// (bits 16-19) and the slot's generation (bits 20-30). The generation changes each time a slot
// is reused and freed slots are reused oldest first, so a stale handle or a handle of another
// kind finds nothing instead of another record. Bit 31 stays clear: handles never collide with
// the small negative pseudo-handles of Win32 (HWND_MESSAGE, INVALID_HANDLE_VALUE).
//
// Records are shared: a lookup returns a reference that stays usable after the handle is
// removed, so a call in progress on another thread never sees its record freed underneath it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace kwplatform {

// The kinds of handle, one table each; the kind is part of every handle value.
enum class HandleKind : uint32_t {
  Window = 1,
  Cursor = 2,
  Menu = 3,
  DeviceContext = 4,
  GdiObject = 5,
  GlobalBlock = 6,
  KernelObject = 7,
  FileSearch = 8,
  File = 9,
};

// The 32-bit value of a handle of any Win32 handle type; 0 when it cannot be one of ours.
template <typename Handle>
uint32_t HandleValue(Handle handle) {
  uintptr_t bits = reinterpret_cast<uintptr_t>(handle);
  return bits > UINT32_MAX ? 0 : static_cast<uint32_t>(bits);
}

template <typename Handle>
Handle HandleFromValue(uint32_t value) {
  return reinterpret_cast<Handle>(static_cast<uintptr_t>(value));
}

template <typename Record>
class HandleTable {
 public:
  explicit HandleTable(HandleKind kind) : kind_(static_cast<uint32_t>(kind)) {}
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  // The handle of a newly added record, or 0 when every slot is taken.
  uint32_t Add(std::shared_ptr<Record> record) {
    std::lock_guard<std::mutex> guard(lock_);
    uint32_t slot;
    if (!free_.empty()) {
      slot = free_.front();
      free_.pop_front();
    } else {
      if (slots_.size() >= MaximumSlots) return 0;
      slot = static_cast<uint32_t>(slots_.size());
      slots_.emplace_back();
    }
    Slot& entry = slots_[slot];
    entry.generation = entry.generation % MaximumGeneration + 1;
    entry.record = std::move(record);
    return Encode(slot, entry.generation);
  }

  // The record named by handle, or null for a stale, foreign or malformed handle.
  std::shared_ptr<Record> Find(uint32_t handle) const {
    std::lock_guard<std::mutex> guard(lock_);
    const Slot* entry = Lookup(handle);
    return entry ? entry->record : nullptr;
  }

  // Removes the record and returns it (null when the handle names nothing).
  std::shared_ptr<Record> Remove(uint32_t handle) {
    std::lock_guard<std::mutex> guard(lock_);
    Slot* entry = const_cast<Slot*>(Lookup(handle));
    if (entry == nullptr) return nullptr;
    std::shared_ptr<Record> record = std::move(entry->record);
    entry->record.reset();
    free_.push_back(SlotOf(handle));
    return record;
  }

  // The live records with their handles, in slot order.
  std::vector<std::pair<uint32_t, std::shared_ptr<Record>>> Snapshot() const {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::pair<uint32_t, std::shared_ptr<Record>>> records;
    for (uint32_t slot = 0; slot < slots_.size(); slot++)
      if (slots_[slot].record) records.emplace_back(Encode(slot, slots_[slot].generation), slots_[slot].record);
    return records;
  }

 private:
  static constexpr uint32_t MaximumSlots = 0xFFFF;
  static constexpr uint32_t MaximumGeneration = 0x7FF;

  struct Slot {
    std::shared_ptr<Record> record;
    uint32_t generation = 0;
  };

  uint32_t Encode(uint32_t slot, uint32_t generation) const { return generation << 20 | kind_ << 16 | (slot + 1); }
  static uint32_t SlotOf(uint32_t handle) { return (handle & 0xFFFF) - 1; }

  const Slot* Lookup(uint32_t handle) const {
    if ((handle >> 16 & 0xF) != kind_ || (handle & 0xFFFF) == 0) return nullptr;
    uint32_t slot = SlotOf(handle);
    if (slot >= slots_.size()) return nullptr;
    const Slot& entry = slots_[slot];
    if (!entry.record || entry.generation != (handle >> 20)) return nullptr;
    return &entry;
  }

  const uint32_t kind_;
  mutable std::mutex lock_;
  std::vector<Slot> slots_;
  std::deque<uint32_t> free_;
};

}  // namespace kwplatform
