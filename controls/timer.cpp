#include "controls/timer.h"

#include <cstddef>

#include "core/class_registry.h"
#include "core/memory_manager.h"
#include "core/object_model.h"
#include "loader/main_loop.h"
#include "loader/startup.h"
#include "platform/win32.h"

namespace {

// The fields after the object header: the link in the loop's timer list, Mode, Period and the
// tick count at the last firing. The link is the loop's own record.
struct TimerObject {
  RuntimeObject header;
  LoopTimer* loopTimer;
  int16_t mode;
  int32_t period;
  uint32_t lastFiring;
};

#if defined(__i386__)
static_assert(sizeof(TimerObject) == 40);
#endif

struct TimerLink {
  LoopTimer loop;
  TimerObject* timer;
};

TimerObject* AsTimer(RuntimeObject* object) { return reinterpret_cast<TimerObject*>(object); }

void FireTimer(LoopTimer* loopTimer) {
  TimerObject* timer = reinterpret_cast<TimerLink*>(loopTimer)->timer;
  // The handler may release the timer: keep it alive while its Action runs.
  RuntimeLockObject(&timer->header);
  RaiseObjectEvent(&timer->header, "Action");
  RuntimeUnlockObject(&timer->header);
}

void InitialiseTimer(RuntimeObject* object, ClassRecord*) {
  TimerObject* timer = AsTimer(object);
  timer->lastFiring = GetTickCount();
  auto* link = static_cast<TimerLink*>(SmallAlloc(sizeof(TimerLink)));
  *link = {{nullptr, &timer->mode, &timer->period, &timer->lastFiring, FireTimer}, timer};
  timer->loopTimer = &link->loop;
  RegisterLoopTimer(&link->loop);
}

void FinaliseTimer(RuntimeObject* object, ClassRecord*) {
  TimerObject* timer = AsTimer(object);
  if (timer->loopTimer == nullptr) return;
  UnregisterLoopTimer(timer->loopTimer);
  SmallFree(timer->loopTimer, sizeof(TimerLink));
  timer->loopTimer = nullptr;
}

}  // namespace

void RegisterTimerClass() {
  if (FindClassByName("Timer")) return;
  ClassRecord* timer = DefineBuiltInClass("Timer", nullptr, sizeof(TimerObject), InitialiseTimer, FinaliseTimer);
  AddProperty(timer, "Mode", nullptr, reinterpret_cast<void*>(&timerModeGetter), reinterpret_cast<void*>(&timerModeSetter), 0);
  AddProperty(timer, "Period", nullptr, reinterpret_cast<void*>(&timerPeriodGetter),
              reinterpret_cast<void*>(&timerPeriodSetter), 0);
  AddEventDeclaration(timer, "Action", "", "");
}

extern "C" {

int32_t timerModeGetter(RuntimeObject* timer, int32_t) { return timer ? AsTimer(timer)->mode : 0; }

void timerModeSetter(RuntimeObject* timer, int32_t, int32_t mode) {
  if (timer == nullptr) return;
  AsTimer(timer)->mode = static_cast<int16_t>(mode);
  AsTimer(timer)->lastFiring = GetTickCount();  // the period starts again from now
}

int32_t timerPeriodGetter(RuntimeObject* timer, int32_t) { return timer ? AsTimer(timer)->period : 0; }

void timerPeriodSetter(RuntimeObject* timer, int32_t, int32_t period) {
  if (timer) AsTimer(timer)->period = period;
}

}  // extern "C"
