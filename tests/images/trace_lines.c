/* Starts, writes three lines and ends: the shortest complete application. */
#include "image_services.h"

KW_STRING(first, "first line");
KW_STRING(second, "second line");

KW_PROJECT(KW_LIST(), KW_LIST());

void kw_main(void) {
  RuntimeInit(kw_project);
  lineTrace(&first);
  RuntimeString* joined = RuntimeAddString(&first, &second);
  lineTrace(joined);
  RuntimeUnlockString(joined);
  lineTrace(&second);
  RuntimeRun();
}
