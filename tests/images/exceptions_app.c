/* Exceptions in compiled code: a cast that fails inside a routine with a handler (written in
 * assembler, which lays out markers and trailers), then a nil object that nobody handles. */
#include "image_services.h"

void* CatchRuntimeErrors(void* object, int32_t classIndex); /* exceptions_app.s */
void RuntimeNilObject(void);

KW_STRING(runtime_exception_name, "RuntimeException");
KW_STRING(timer_name, "Timer");
KW_STRING(cast_ok, "cast to Timer passed");
KW_STRING(caught, "caught: ");
KW_STRING(before_nil, "before the nil object");

KW_CLASS_RECORD(runtime_exception_class, KW_EXISTING_CLASS(&runtime_exception_name));
KW_CLASS_RECORD(timer_class, KW_EXISTING_CLASS(&timer_name));
KW_PROJECT(KW_LIST(runtime_exception_class, timer_class), KW_LIST());

/* The class name of an object: its class record's name (header word 1, record word 5). */
static RuntimeString* ClassName(void* object) { return ((RuntimeString**)(((char**)object)[1]))[5]; }

void kw_main(void) {
  RuntimeInit(kw_project);
  void* timer = RuntimeNewObject(1);
  if (CatchRuntimeErrors(timer, 1) == 0) lineTrace(&cast_ok);
  void* exception = CatchRuntimeErrors(timer, 0);
  RuntimeString* line = RuntimeAddString(&caught, ClassName(exception));
  lineTrace(line);
  RuntimeUnlockString(line);
  RuntimeUnlockObject(exception);
  RuntimeUnlockObject(timer);
  lineTrace(&before_nil);
  RuntimeNilObject();
}
