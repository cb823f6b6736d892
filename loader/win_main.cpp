// The engine's window-system entry point.
#include <cstdio>
#include <cstring>

#include "core/memory_manager.h"
#include "loader/service_table.h"
#include "platform/win32.h"

namespace {

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

extern "C" int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  InitMemoryManager();
  if (HasOption(commandLine ? commandLine : "", "--services")) {
    WriteServiceReport(stdout);
    return 0;
  }
  // Loading an application image is not part of this engine yet: say so plainly.
  MessageBoxA(nullptr, "This engine cannot load applications yet.", "KW App", MB_OK);
  return 0;
}
