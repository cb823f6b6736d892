#include "core/field_accessors.h"

#include <cstring>

#include "core/object_model.h"
#include "core/runtime_string.h"

namespace {

template <typename Field>
Field* FieldAt(RuntimeObject* object, int32_t offset) {
  return reinterpret_cast<Field*>(reinterpret_cast<char*>(object) + offset);
}

// Fields sit at offsets the code generator chose, not necessarily aligned for their type.
template <typename Value>
Value ReadField(RuntimeObject* object, int32_t offset) {
  Value value;
  memcpy(&value, FieldAt<char>(object, offset), sizeof value);
  return value;
}

template <typename Value>
void WriteField(RuntimeObject* object, int32_t offset, Value value) {
  memcpy(FieldAt<char>(object, offset), &value, sizeof value);
}

}  // namespace

extern "C" {

RuntimeString* stringGetter(RuntimeObject* object, int32_t offset) {
  if (object == nullptr) return nullptr;
  return StringRetain(ReadField<RuntimeString*>(object, offset));
}

void stringSetter(RuntimeObject* object, int32_t offset, RuntimeString* value) {
  if (object == nullptr) return;
  RuntimeString* old = ReadField<RuntimeString*>(object, offset);
  WriteField(object, offset, StringRetain(value));
  StringRelease(old);
}

RuntimeObject* objGetter(RuntimeObject* object, int32_t offset) {
  if (object == nullptr) return nullptr;
  RuntimeObject* value = ReadField<RuntimeObject*>(object, offset);
  RuntimeLockObject(value);
  return value;
}

void objSetter(RuntimeObject* object, int32_t offset, RuntimeObject* value) {
  if (object == nullptr) return;
  RuntimeObject* old = ReadField<RuntimeObject*>(object, offset);
  RuntimeLockObject(value);
  WriteField(object, offset, value);
  RuntimeUnlockObject(old);
}

}  // extern "C"

int32_t IntFieldGetter(RuntimeObject* object, int32_t offset) {
  return object ? ReadField<int32_t>(object, offset) : 0;
}

void IntFieldSetter(RuntimeObject* object, int32_t offset, int32_t value) {
  if (object) WriteField(object, offset, value);
}

int32_t ShortFieldGetter(RuntimeObject* object, int32_t offset) {
  return object ? ReadField<int16_t>(object, offset) : 0;
}

void ShortFieldSetter(RuntimeObject* object, int32_t offset, int32_t value) {
  if (object) WriteField(object, offset, static_cast<int16_t>(value));
}

bool ByteFieldGetter(RuntimeObject* object, int32_t offset) {
  return object && ReadField<uint8_t>(object, offset) != 0;
}

void ByteFieldSetter(RuntimeObject* object, int32_t offset, bool value) {
  if (object) WriteField(object, offset, static_cast<uint8_t>(value ? 1 : 0));
}
