#include "ui/mirrored_properties.h"

#include <cstring>

#include "core/field_accessors.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "loader/startup.h"
#include "platform/win32.h"
#include "ui/control_object.h"
#include "ui/pane.h"

namespace {

constexpr uint32_t FieldMask = 0x3FF;

template <typename Field>
Field* ObjectField(RuntimeObject* control, uint32_t parameter) {
  return reinterpret_cast<Field*>(reinterpret_cast<char*>(control) + (parameter & FieldMask));
}

// The pane's field, or null when the control has no pane.
template <typename Field>
Field* PaneField(RuntimeObject* control, uint32_t parameter) {
  Pane* pane = AsControl(control)->pane;
  if (pane == nullptr) return nullptr;
  return reinterpret_cast<Field*>(reinterpret_cast<char*>(pane) + MirroredPaneOffset(parameter));
}

template <typename Field>
Field ReadMirrored(RuntimeObject* control, uint32_t parameter) {
  if (control == nullptr) return Field();
  Field* field = PaneField<Field>(control, parameter);
  Field value;
  memcpy(&value, field ? field : ObjectField<Field>(control, parameter), sizeof(Field));
  return value;
}

// Plain values: the pane first (then its new look is invalidated), the object last.
template <typename Field>
void WriteMirrored(RuntimeObject* control, uint32_t parameter, Field value) {
  if (control == nullptr) return;
  if (Field* field = PaneField<Field>(control, parameter)) {
    memcpy(field, &value, sizeof(Field));
    AsControl(control)->pane->Invalidate();
  }
  memcpy(ObjectField<Field>(control, parameter), &value, sizeof(Field));
}

// Each of the two slots holds its own reference; the object's slot is written by the generic
// field setter.
template <typename Reference, typename Retain, typename Release>
void WriteMirroredReference(RuntimeObject* control, uint32_t parameter, Reference* value, Retain retain,
                            Release release, void (*objectSetter)(RuntimeObject*, int32_t, Reference*)) {
  if (control == nullptr) return;
  if (Reference** field = PaneField<Reference*>(control, parameter)) {
    retain(value);
    release(*field);
    *field = value;
    AsControl(control)->pane->Invalidate();
  }
  objectSetter(control, static_cast<int32_t>(parameter & FieldMask), value);
}

void RetainString(RuntimeString* s) { StringRetain(s); }

}  // namespace

int32_t MirroredPaneOffset(uint32_t parameter) {
  // The alternate layout serves projects whose layout flag is clear, unless the rich-text
  // library is loaded.
  bool alternate = TheApplicationSettings().paneLayoutFlag == 0 && GetModuleHandleA("riched32.dll") == nullptr;
  return static_cast<int32_t>((parameter >> (alternate ? 20 : 10)) & FieldMask);
}

extern "C" {

RuntimeString* paneStringGetter(RuntimeObject* control, uint32_t parameter) {
  return StringRetain(ReadMirrored<RuntimeString*>(control, parameter));
}

void paneStringSetter(RuntimeObject* control, uint32_t parameter, RuntimeString* value) {
  WriteMirroredReference(control, parameter, value, RetainString, StringRelease, stringSetter);
}

bool paneBoolGetter(RuntimeObject* control, uint32_t parameter) { return ReadMirrored<uint8_t>(control, parameter); }

void paneBoolSetter(RuntimeObject* control, uint32_t parameter, bool value) {
  WriteMirrored<uint8_t>(control, parameter, value);
}

int32_t paneIntGetter(RuntimeObject* control, uint32_t parameter) { return ReadMirrored<int32_t>(control, parameter); }

void paneIntSetter(RuntimeObject* control, uint32_t parameter, int32_t value) {
  WriteMirrored<int32_t>(control, parameter, value);
}

int32_t paneShortGetter(RuntimeObject* control, uint32_t parameter) {
  return ReadMirrored<int16_t>(control, parameter);
}

void paneShortSetter(RuntimeObject* control, uint32_t parameter, int32_t value) {
  WriteMirrored<int16_t>(control, parameter, static_cast<int16_t>(value));
}

RuntimeObject* paneObjGetter(RuntimeObject* control, uint32_t parameter) {
  RuntimeObject* value = ReadMirrored<RuntimeObject*>(control, parameter);
  RuntimeLockObject(value);
  return value;
}

void paneObjSetter(RuntimeObject* control, uint32_t parameter, RuntimeObject* value) {
  WriteMirroredReference(control, parameter, value, RuntimeLockObject, RuntimeUnlockObject, objSetter);
}

}  // extern "C"
