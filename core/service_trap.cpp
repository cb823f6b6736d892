#include "core/service_trap.h"

#include <cstdio>

#include "platform/win32.h"

void ServiceUnavailable(const char* name) {
  char text[300];
  snprintf(text, sizeof text, "The service %s is not available in this engine.", name);
  MessageBoxA(nullptr, text, "KW App", MB_OK);
  // Like the other fatal ends of the engine, the process ends with exit code 0.
  ExitProcess(0);
}
