/* Calls a service that the engine's table does not hold. */
#include "image_services.h"

void RuntimeDoesNotExist(void);
KW_STRING(never, "never written");

KW_PROJECT(KW_LIST(), KW_LIST());

void kw_main(void) {
  lineTrace(&never);
  RuntimeDoesNotExist();
}
