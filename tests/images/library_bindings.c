/* Calls routines of a system library and of a real Windows DLL bound by name at load time. */
#include "image_services.h"

KW_LIBRARY_ROUTINE(int, lstrlenA, "KERNEL32", "lstrlenA", (const char* text));
KW_LIBRARY_ROUTINE(int, MessageBoxA, "user32", "MessageBoxA",
                   (void* window, const char* text, const char* caption, unsigned type));
KW_LIBRARY_ROUTINE(int, StdcallSum, "test_library", "StdcallSum", (int a, int b));
KW_LIBRARY_ROUTINE(int, ShowGreeting, "TEST_LIBRARY.DLL", "ShowGreeting", (void));

KW_PROJECT(KW_LIST(), KW_LIST());

void kw_main(void) {
  RuntimeInit(kw_project);
  TraceNumber("lstrlenA: ", lstrlenA("seven!!"));
  TraceNumber("StdcallSum: ", StdcallSum(40, 2));
  TraceNumber("ShowGreeting: ", ShowGreeting());
  MessageBoxA(0, "bound by name", "image", 0);
  RuntimeRun();
}
