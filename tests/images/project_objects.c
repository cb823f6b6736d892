/* Project items and project objects: a movie word, a cursor from the project resources, an
 * instance stored in a variable, and a null item that is skipped. */
#include "image_services.h"

KW_STRING(timer_name, "Timer");
KW_STRING(same, "same object each time");
KW_STRING(instance_ok, "instance stored in its variable");

static void* stored_instance;

static const void* const movie_item[] = {KW_N(3), KW_N(0x1234)};
static const void* const cursor_item[] = {KW_N(9), KW_N(1)};
static const void* const missing_cursor_item[] = {KW_N(9), KW_N(5)};
static const void* const instance_item[] = {KW_N(5), KW_N(0), &stored_instance};

KW_CLASS_RECORD(timer_class, KW_EXISTING_CLASS(&timer_name));
KW_PROJECT(KW_LIST(timer_class), KW_LIST(movie_item, 0, cursor_item, instance_item, missing_cursor_item));

static int32_t Word(void* object, int index) { return ((int32_t*)object)[index]; }

void kw_main(void) {
  RuntimeInit(kw_project);
  TraceNumber("object 0 is nil: ", RuntimeProjectObject(0) == 0);
  void* movie = RuntimeProjectObject(1);
  TraceNumber("movie word: ", Word(movie, 6));
  void* again = RuntimeProjectObject(1);
  if (again == movie) lineTrace(&same);
  TraceNumber("movie count: ", Word(movie, 0));
  RuntimeUnlockObject(again);
  RuntimeUnlockObject(movie);
  TraceNumber("null item gives nil: ", RuntimeProjectObject(2) == 0);
  void* cursor = RuntimeProjectObject(3);
  TraceNumber("cursor has a record: ", Word(cursor, 6) != 0);
  void* missing = RuntimeProjectObject(5);
  TraceNumber("missing resource, no record: ", Word(missing, 6) == 0);
  TraceNumber("item 4 has no object: ", RuntimeProjectObject(4) == 0);
  TraceNumber("past the last item: ", RuntimeProjectObject(6) == 0);
  if (stored_instance && RuntimeObjectIsa(stored_instance, 0)) lineTrace(&instance_ok);
  RuntimeUnlockObject(cursor);
  RuntimeUnlockObject(missing);
  RuntimeRun();
}
