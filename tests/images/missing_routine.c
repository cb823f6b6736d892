/* Binds a routine that a system library does not export. */
#include "image_services.h"

KW_LIBRARY_ROUTINE(int, Nothing, "kernel32", "NoSuchRoutine", (void));
KW_STRING(never, "never written");

KW_PROJECT(KW_LIST(), KW_LIST());

void kw_main(void) {
  lineTrace(&never);
  Nothing();
}
