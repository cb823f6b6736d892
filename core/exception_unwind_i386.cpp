// Raising an exception in the 32-bit engine: a walk up the frame-pointer chain that reads the
// call-site markers after return addresses and the trailers of application routines, releases
// what abandoned frames hold, and resumes in the first handler that takes the exception.
//
// Every read of the stack or of code goes through the platform's read probe: a damaged chain
// ends the walk as if no handler had been found, never with a fault.
#include <cstdint>
#include <cstring>

#include "core/exceptions.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "platform/win32.h"

namespace {

constexpr uint8_t MarkerJump = 0xEB;
constexpr uint8_t MarkerTag = 0x2F;
constexpr uint8_t ReleaseStringArgument = 0x01;
constexpr uint8_t ReleaseObjectArgument = 0x02;
constexpr uint8_t NoCatch = 0x07;
constexpr uint8_t HandlerEntry = 0x04;
constexpr uint8_t ReleaseStringLocal = 0x05;
constexpr uint8_t ReleaseObjectLocal = 0x06;
constexpr uint32_t LargestFrameStep = 4096;
// The trailer follows the routine's code; a routine longer than this is not plausible.
constexpr uint32_t LongestTrailerSearch = 16u << 20;

bool Readable(uintptr_t address, uint32_t size) { return !IsBadReadPtr(reinterpret_cast<const void*>(address), size); }

uint32_t Word(uintptr_t address) {
  uint32_t value;
  memcpy(&value, reinterpret_cast<const void*>(address), 4);
  return value;
}

uint8_t Byte(uintptr_t address) { return *reinterpret_cast<const uint8_t*>(address); }

int32_t BigEndian16(uintptr_t address) {
  return static_cast<int16_t>((Byte(address) << 8) | Byte(address + 1));
}

int32_t BigEndian32(uintptr_t address) {
  return static_cast<int32_t>((static_cast<uint32_t>(Byte(address)) << 24) | (Byte(address + 1) << 16) |
                              (Byte(address + 2) << 8) | Byte(address + 3));
}

void ReleaseStringSlot(uintptr_t slot) {
  if (!Readable(slot, 4)) return;
  auto* s = reinterpret_cast<RuntimeString*>(static_cast<uintptr_t>(Word(slot)));
  memset(reinterpret_cast<void*>(slot), 0, 4);
  StringRelease(s);
}

void ReleaseObjectSlot(uintptr_t slot) {
  if (!Readable(slot, 4)) return;
  auto* object = reinterpret_cast<RuntimeObject*>(static_cast<uintptr_t>(Word(slot)));
  memset(reinterpret_cast<void*>(slot), 0, 4);
  RuntimeUnlockObject(object);
}

// Runs a marker's operations (from the byte after 0x2F) and returns the address after its
// terminating 0x00, or 0 when the marker runs into unreadable memory.
uintptr_t RunMarker(uintptr_t operation, uintptr_t arguments, bool* noCatch) {
  *noCatch = false;
  for (;;) {
    if (!Readable(operation, 2)) return 0;
    uint8_t code = Byte(operation++);
    switch (code) {
      case 0x00:
        return operation;
      case ReleaseStringArgument:
        ReleaseStringSlot(arguments + Byte(operation++));
        break;
      case ReleaseObjectArgument:
        ReleaseObjectSlot(arguments + Byte(operation++));
        break;
      case NoCatch:
        *noCatch = true;
        break;
      default:
        break;  // unknown operations have no operand
    }
  }
}

// The operations after the first C9 C3 2F at or after from, or 0 when none is readable.
uintptr_t FindTrailer(uintptr_t from) {
  for (uintptr_t address = from; address - from < LongestTrailerSearch; address++) {
    if ((address & 0xFFF) == 0 || address == from)
      if (!Readable(address, 3)) return 0;
    if (Byte(address) == 0xC9 && Readable(address, 3) && Byte(address + 1) == 0xC3 && Byte(address + 2) == MarkerTag)
      return address + 3;
  }
  return 0;
}

[[noreturn]] void ResumeInHandler(uintptr_t framePointer, uintptr_t handler) {
  // The handler takes the routine's frame and resets the stack pointer from it itself.
  asm volatile("movl %%eax, %%ebp\n\tjmp *%%ecx" : : "a"(framePointer), "c"(handler) : "memory");
  __builtin_unreachable();
}

// Runs a trailer: releases locals in order and, at the first handler that may take the
// exception, resumes there. Returns normally when no handler took it, or when the trailer
// runs into unreadable memory (*damaged is then set).
void RunTrailer(uintptr_t operation, uintptr_t frame, RuntimeObject* exception, bool noCatch, bool* damaged) {
  for (;;) {
    if (!Readable(operation, 7)) {
      *damaged = true;
      return;
    }
    uint8_t code = Byte(operation++);
    switch (code) {
      case 0x00:
        ReleaseObjectSlot(frame - 4);
        return;
      case HandlerEntry: {
        int32_t classIndex = BigEndian16(operation);
        uintptr_t displacementField = operation + 2;
        operation += 6;
        if (!noCatch && RuntimeObjectIsa(exception, classIndex) && Readable(frame - 4, 4)) {
          // The engine's reference passes to the routine's first local slot; what the slot
          // held is overwritten, not released.
          memcpy(reinterpret_cast<void*>(frame - 4), &exception, 4);
          ResumeInHandler(frame, displacementField + BigEndian32(displacementField));
        }
        break;
      }
      case ReleaseStringLocal:
        ReleaseStringSlot(frame + BigEndian16(operation));
        operation += 2;
        break;
      case ReleaseObjectLocal:
        ReleaseObjectSlot(frame + BigEndian16(operation));
        operation += 2;
        break;
      default:
        break;  // unknown operations have no operand
    }
  }
}

}  // namespace

__attribute__((noinline)) void RaiseOwnedException(RuntimeObject* exception) {
  auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  for (;;) {
    if (!Readable(frame, 12)) break;
    uintptr_t caller = Word(frame);
    uintptr_t returnAddress = Word(frame + 4);
    if (!Readable(returnAddress, 4)) break;
    if (Byte(returnAddress) == MarkerJump && Byte(returnAddress + 2) == MarkerTag) {
      // The call was made by the application routine whose frame is the caller's.
      bool noCatch = false;
      uintptr_t afterMarker = RunMarker(returnAddress + 3, frame + 8, &noCatch);
      uintptr_t trailer = afterMarker ? FindTrailer(afterMarker) : 0;
      if (trailer == 0) break;
      bool damaged = false;
      RunTrailer(trailer, caller, exception, noCatch, &damaged);
      if (damaged) break;
    }
    if (caller == 0 || caller < frame || caller - frame > LargestFrameStep) break;
    frame = caller;
  }
  EndWithUnhandledException(exception);
}

extern "C" void RuntimeRaiseException(RuntimeObject* exception) {
  if (exception == nullptr) RaiseNewException(ExceptionKind::NilObject);
  RuntimeLockObject(exception);
  RaiseOwnedException(exception);
}
