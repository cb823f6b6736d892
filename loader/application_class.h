// The built-in "Application" class and the services of the application as a whole.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

void RegisterApplicationClass();

extern "C" {
void appMouseCursorSetter(RuntimeObject* application, int32_t parameter, RuntimeObject* cursor);
RuntimeObject* appResourceForkGetter(RuntimeObject* application, int32_t parameter);
int32_t ApplicationNewDocument(RuntimeObject* application);
int32_t ApplicationOpenDocument(RuntimeObject* application, RuntimeObject* item);
RuntimeObject* getSystemObject();
void RuntimeBeep();
void RuntimeStackCheck();
bool systemGestalt(int32_t selector, int32_t argument, int32_t* result);
}
