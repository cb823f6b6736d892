/* Engine services and library routines the test applications call. */
#ifndef IMAGE_SERVICES_H
#define IMAGE_SERVICES_H

#include "kwapp.h"

void lineTrace(RuntimeString* text);
RuntimeString* StringStr(double value);
void* RuntimeNewObject(int32_t classIndex);
void RuntimeLockObject(void* object);
void RuntimeUnlockObject(void* object);
_Bool RuntimeObjectIsa(void* object, int32_t classIndex);
void* FindVTableCode(void* object, int32_t slot);
void* FindInterfaceVTableCode(void* object, int32_t method, int32_t interfaceIndex);
void* RuntimeFindHookCode(void* object, uint32_t hook);
void* RuntimeProjectObject(int32_t position);
void timerModeSetter(void* timer, int32_t parameter, int32_t mode);
void timerPeriodSetter(void* timer, int32_t parameter, int32_t period);
void RuntimeRaiseException(void* exception);

/* Writes a label and a number. */
static inline void TraceNumber(const char* label, int32_t value) {
  RuntimeString* number = StringStr(value);
  char line[128];
  int length = 0;
  while (label[length] && length < 100) {
    line[length] = label[length];
    length++;
  }
  for (int32_t index = 0; number && index < number->length && length < 126; index++) line[length++] = number->buffer[1 + index];
  RuntimeUnlockString(number);
  RuntimeString text = {1, 0, length, length};
  char buffer[130];
  buffer[0] = (char)(length > 255 ? 255 : length);
  for (int index = 0; index < length; index++) buffer[1 + index] = line[index];
  buffer[1 + length] = 0;
  text.buffer = buffer;
  text.count = 2; /* a temporary the engine only borrows */
  lineTrace(length ? &text : 0);
}

#endif
