/* A project item of an unknown kind: the start stops with a message. */
#include "image_services.h"

KW_STRING(never, "never written");
static const void* const strange_item[] = {KW_N(11), KW_N(0)};
KW_PROJECT(KW_LIST(), KW_LIST(strange_item));

void kw_main(void) {
  RuntimeInit(kw_project);
  lineTrace(&never);
}
