#include "loader/application_class.h"

#include "core/class_registry.h"
#include "core/field_accessors.h"
#include "core/object_model.h"
#include "loader/startup.h"
#include "platform/win32.h"

namespace {

constexpr uint32_t ApplicationSize = 28;
constexpr int32_t MouseCursorField = sizeof(RuntimeObject);

ClassRecord* systemClass;
ClassRecord* resourceForkClass;

}  // namespace

void RegisterApplicationClass() {
  if (FindClassByName("Application")) return;
  ClassRecord* application = DefineBuiltInClass("Application", nullptr, ApplicationSize);
  ClassRecord* cursorType = FindClassByName("MouseCursor");
  AddProperty(application, "MouseCursor", reinterpret_cast<TypeDescriptor*>(cursorType),
              reinterpret_cast<void*>(&objGetter), reinterpret_cast<void*>(&appMouseCursorSetter), MouseCursorField);
  AddProperty(application, "ResourceFork", nullptr, reinterpret_cast<void*>(&appResourceForkGetter), nullptr, 0);
  const char* events[][3] = {
      {"Open", "", ""},
      {"Close", "", ""},
      {"EnableMenuItems", "", ""},
      {"NewDocument", "", ""},
      {"OpenDocument", "item As FolderItem", ""},
      {"HandleAppleEvent", "event As AppleEvent, eventClass As String, eventID As String", "Boolean"},
      {"Activate", "", ""},
      {"Deactivate", "", ""},
  };
  for (const auto& event : events) AddEventDeclaration(application, event[0], event[1], event[2]);
  systemClass = DefineBuiltInClass("SystemClass", nullptr, sizeof(RuntimeObject));
  // The resource fork is an instance of a class without name or members.
  resourceForkClass = NewClassRecord(nullptr, sizeof(RuntimeObject));
  resourceForkClass->builtIn = 1;
}

extern "C" {

void appMouseCursorSetter(RuntimeObject* application, int32_t, RuntimeObject* cursor) {
  objSetter(application, MouseCursorField, cursor);
}

RuntimeObject* appResourceForkGetter(RuntimeObject*, int32_t) { return NewInstance(resourceForkClass); }

int32_t ApplicationNewDocument(RuntimeObject* application) { return RaiseObjectEvent(application, "NewDocument"); }

int32_t ApplicationOpenDocument(RuntimeObject* application, RuntimeObject* item) {
  return RaiseObjectEvent(application, "OpenDocument", item);
}

RuntimeObject* getSystemObject() { return NewInstance(systemClass); }

void RuntimeBeep() { MessageBeep(0); }

void RuntimeStackCheck() {}

bool systemGestalt(int32_t, int32_t, int32_t* result) {
  if (result) *result = 0;
  return false;
}

}  // extern "C"
