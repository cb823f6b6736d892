// The layer's test interface: observe and steer what the headless platform does. Used by
// tests only, never by the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kwtesting {

struct MessageBoxRecord {
  std::string caption;
  std::string text;
  unsigned type;
};

// Every message box shown since the last clear, oldest first.
std::vector<MessageBoxRecord> MessageBoxesShown();
void ClearMessageBoxes();

// The answer the next message box returns; without one it returns its first button.
void PresetMessageBoxAnswer(int answer);

// After count more successful allocations the process heap fails every request;
// a negative count restores normal service.
void FailHeapAllocationsAfter(long count);

// Adds to every later GetTickCount value (to reach the 2^32 wrap); timers are not affected.
void ShiftTickCount(uint32_t milliseconds);

}  // namespace kwtesting
