#include "core/exit_cleanup.h"

#include "core/memory_manager.h"

namespace {

struct ExitCleanupRecord {
  ExitCleanupRecord* next;
  ExitCleanup cleanup;
  void* subject;
};

ExitCleanupRecord* newestCleanup;

}  // namespace

void RegisterExitCleanup(ExitCleanup cleanup, void* subject) {
  auto* record = static_cast<ExitCleanupRecord*>(SmallAlloc(sizeof(ExitCleanupRecord)));
  record->cleanup = cleanup;
  record->subject = subject;
  record->next = newestCleanup;
  newestCleanup = record;
}

void RunExitCleanups() {
  // Each record is unlinked before it runs, so a cleanup that ends the process or registers
  // more work cannot run a record twice.
  while (ExitCleanupRecord* record = newestCleanup) {
    newestCleanup = record->next;
    record->cleanup(record->subject);
    SmallFree(record, sizeof(ExitCleanupRecord));
  }
}
