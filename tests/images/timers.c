/* The main loop's timers: a single-shot timer fires once and starts a repeating one, which
 * fires three times and ends the run with a quit message, which the loop honours while it polls. The settings ask for MDI mode, so
 * the loop keeps running without windows. */
#include "image_services.h"

KW_LIBRARY_ROUTINE(void, PostQuitMessage, "user32", "PostQuitMessage", (int code));

KW_STRING(timer_name, "Timer");
KW_STRING(single_name, "SingleShot");
KW_STRING(repeat_name, "Repeating");
KW_STRING(action, "Action");
KW_STRING(single_fired, "single fired");
KW_STRING(done, "quitting");

static void* single;
static void* repeating;
static int repeats;

static void SingleAction(void* self) {
  (void)self;
  lineTrace(&single_fired);
  timerPeriodSetter(repeating, 0, 20);
  timerModeSetter(repeating, 0, 2);
}

static void RepeatAction(void* self) {
  TraceNumber("repeat ", ++repeats);
  /* The timer stays on: the loop is polling when the quit message arrives. */
  if (repeats == 3) {
    lineTrace(&done);
    PostQuitMessage(0);
  }
}

KW_CLASS_RECORD(timer_class, KW_EXISTING_CLASS(&timer_name));
KW_CLASS_RECORD(single_class, KW_DEFINED_CLASS(40, &single_name, 0), KW_NO_CONSTRUCTOR, KW_N(0), KW_LIST(),
                KW_PAIRS(), KW_TRIPLES(&action, SingleAction, KW_N(0)), KW_PAIRS(), KW_LIST());
KW_CLASS_RECORD(repeat_class, KW_DEFINED_CLASS(40, &repeat_name, 0), KW_NO_CONSTRUCTOR, KW_N(0), KW_LIST(),
                KW_PAIRS(), KW_TRIPLES(&action, RepeatAction, KW_N(0)), KW_PAIRS(), KW_LIST());

/* Settings: layout flag, reserved, script code, no file types, no reserved strings, MDI on,
 * caption "Timers". */
static const struct {
  uint32_t kind, unused, length;
  unsigned char bytes[19];
} settings_item = {4, 0, 19, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 6, 'T', 'i', 'm', 'e', 'r', 's'}};

KW_PROJECT(KW_LIST(timer_class, single_class, repeat_class), KW_LIST(&settings_item));

void kw_main(void) {
  RuntimeInit(kw_project);
  single = RuntimeNewObject(1);
  repeating = RuntimeNewObject(2);
  timerPeriodSetter(single, 0, 30);
  timerModeSetter(single, 0, 1);
  RuntimeRun();
  RuntimeUnlockObject(single);
  RuntimeUnlockObject(repeating);
}
