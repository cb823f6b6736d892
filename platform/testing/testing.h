// The layer's test interface: observe and steer what the headless platform does. Used by
// tests only, never by the engine.
#pragma once

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

// Selects the ANSI code page (1252 or 932) for the rest of the process, as the layer's
// environment variable KW_ANSI_CODE_PAGE does at start; false for a page the layer lacks.
bool SelectAnsiCodePage(unsigned page);

// GetTickCount returns value (modulo 2^32) until released.
void FreezeTickCount(unsigned long value);
void ReleaseTickCount();

}  // namespace kwtesting
