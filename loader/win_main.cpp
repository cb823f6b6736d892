// The engine's window-system entry point.
#include <cstring>

#include "core/memory_manager.h"
#include "loader/application_image.h"
#include "loader/service_table.h"
#include "platform/win32.h"
#include "ui/window_system.h"

namespace {

HINSTANCE engineInstance;

bool HasOption(const char* commandLine, const char* option) {
  size_t length = strlen(option);
  for (const char* cursor = commandLine; (cursor = strstr(cursor, option)) != nullptr; cursor += length) {
    bool startsWord = cursor == commandLine || cursor[-1] == ' ' || cursor[-1] == '\t';
    bool endsWord = cursor[length] == 0 || cursor[length] == ' ' || cursor[length] == '\t';
    if (startsWord && endsWord) return true;
  }
  return false;
}

}  // namespace

HINSTANCE EngineInstance() { return engineInstance; }

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  engineInstance = instance;
  InitCommonControls();
  InitMemoryManager();
  InstallWindowSystem();
  // The service report is the engine's own diagnostic, not an application's option.
  if (HasOption(commandLine ? commandLine : "", "--services")) {
    WriteServiceReport(stdout);
    return 0;
  }
  return LoadApplicationImage() ? 1 : 0;
}
