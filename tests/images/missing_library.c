/* Binds a routine of a library that does not exist: the start must stop with a message. */
#include "image_services.h"

KW_LIBRARY_ROUTINE(int, Nothing, "nosuchlibrary", "Nothing", (void));
KW_STRING(never, "never written");

KW_PROJECT(KW_LIST(), KW_LIST());

void kw_main(void) {
  lineTrace(&never);
  Nothing();
}
