// lineTrace: lines appended to "trace.log" in the current directory, each ended by a carriage
// return. The file is created (emptied) on the first call and stays open until exit.
#include "loader/trace_log.h"

#include "core/exit_cleanup.h"
#include "core/runtime_string.h"
#include "platform/win32.h"

namespace {

HFILE traceFile = HFILE_ERROR;
bool traceOpened;

void CloseTraceLog(void*) {
  if (traceFile != HFILE_ERROR) _lclose(traceFile);
  traceFile = HFILE_ERROR;
}

}  // namespace

extern "C" void lineTrace(RuntimeString* text) {
  if (!traceOpened) {
    traceOpened = true;
    traceFile = _lcreat("trace.log", 0);
    if (traceFile != HFILE_ERROR) RegisterExitCleanup(CloseTraceLog, nullptr);
  }
  if (traceFile == HFILE_ERROR) return;
  if (StringLength(text) > 0) _lwrite(traceFile, StringCText(text), static_cast<UINT>(StringLength(text)));
  _lwrite(traceFile, "\r", 1);
}
