// Generic accessors for properties stored directly in an object, the parameter word giving the
// field's byte offset. Null objects read as zero and ignore writes.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

extern "C" {
RuntimeString* stringGetter(RuntimeObject* object, int32_t offset);
void stringSetter(RuntimeObject* object, int32_t offset, RuntimeString* value);
RuntimeObject* objGetter(RuntimeObject* object, int32_t offset);
void objSetter(RuntimeObject* object, int32_t offset, RuntimeObject* value);
}

// Companions without reference counting: 32-bit, 16-bit (sign-extended) and byte fields.
int32_t IntFieldGetter(RuntimeObject* object, int32_t offset);
void IntFieldSetter(RuntimeObject* object, int32_t offset, int32_t value);
int32_t ShortFieldGetter(RuntimeObject* object, int32_t offset);
void ShortFieldSetter(RuntimeObject* object, int32_t offset, int32_t value);
bool ByteFieldGetter(RuntimeObject* object, int32_t offset);
void ByteFieldSetter(RuntimeObject* object, int32_t offset, bool value);
