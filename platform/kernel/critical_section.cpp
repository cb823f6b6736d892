// Critical sections: re-entrant locks kept entirely in the caller's 24-byte record.
//
// LockCount holds the lock word of a futex mutex (0 free, 1 held, 2 held with waiters), not
// Win32's internal encoding; nothing outside the layer reads it. OwningThread is a per-thread
// tag, so a re-entry by the owner is one comparison and one increment.
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

#include "platform/win32.h"

namespace {

thread_local char threadTag;

HANDLE CurrentThreadTag() { return &threadTag; }

void FutexWait(LONG* word, LONG expected) {
  syscall(SYS_futex, word, FUTEX_WAIT_PRIVATE, expected, nullptr, nullptr, 0);
}

void FutexWakeOne(LONG* word) { syscall(SYS_futex, word, FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0); }

bool TryAcquire(LPCRITICAL_SECTION section) {
  LONG expected = 0;
  return __atomic_compare_exchange_n(&section->LockCount, &expected, 1, false, __ATOMIC_ACQUIRE,
                                     __ATOMIC_RELAXED);
}

void TakeOwnership(LPCRITICAL_SECTION section) {
  __atomic_store_n(&section->OwningThread, CurrentThreadTag(), __ATOMIC_RELAXED);
  section->RecursionCount = 1;
}

bool OwnedByCaller(LPCRITICAL_SECTION section) {
  return __atomic_load_n(&section->OwningThread, __ATOMIC_RELAXED) == CurrentThreadTag();
}

}  // namespace

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) { memset(section, 0, sizeof *section); }

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) { memset(section, 0, sizeof *section); }

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
  if (OwnedByCaller(section)) {
    section->RecursionCount++;
    return;
  }
  if (!TryAcquire(section)) {
    // Contended: mark the word as having waiters and sleep until it is released.
    while (__atomic_exchange_n(&section->LockCount, 2, __ATOMIC_ACQUIRE) != 0) FutexWait(&section->LockCount, 2);
  }
  TakeOwnership(section);
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section) {
  if (OwnedByCaller(section)) {
    section->RecursionCount++;
    return TRUE;
  }
  if (!TryAcquire(section)) return FALSE;
  TakeOwnership(section);
  return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
  if (--section->RecursionCount > 0) return;
  __atomic_store_n(&section->OwningThread, nullptr, __ATOMIC_RELAXED);
  if (__atomic_exchange_n(&section->LockCount, 0, __ATOMIC_RELEASE) == 2) FutexWakeOne(&section->LockCount);
}

}  // extern "C"
