// Timer: a non-visual object whose Action event the main loop raises every Period
// milliseconds while its Mode is not 0 (1 fires once, then turns itself off).
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

void RegisterTimerClass();

extern "C" {
int32_t timerModeGetter(RuntimeObject* timer, int32_t parameter);
void timerModeSetter(RuntimeObject* timer, int32_t parameter, int32_t mode);
int32_t timerPeriodGetter(RuntimeObject* timer, int32_t parameter);
void timerPeriodSetter(RuntimeObject* timer, int32_t parameter, int32_t period);
}
