// RuntimeInit: the start-up sequence from the project table to the application's Open event.
#include "loader/startup.h"

#include <cstring>

#include "core/class_registry.h"
#include "core/event_lookup.h"
#include "core/exit_cleanup.h"
#include "core/image_classes.h"
#include "core/object_model.h"
#include "core/runtime_message_box.h"
#include "core/runtime_string.h"
#include "loader/application_image.h"
#include "loader/builtin_classes.h"
#include "loader/plugin_bindings.h"
#include "loader/project_items.h"

namespace {

StartupHooks startupHooks;
ApplicationSettings settings;
RuntimeObject* applicationObject;
const void* embeddedPlugins;

ImageMemory CurrentImageMemory() {
  ApplicationImage& image = TheApplicationImage();
  return {image.dataBase, image.dataSize, image.codeBase, image.codeSize};
}

using EventHandler0 = int32_t (*)(RuntimeObject*);
using EventHandler1 = int32_t (*)(RuntimeObject*, void*);

void* EventCode(RuntimeObject* object, const char* name) {
  if (object == nullptr) return nullptr;
  return EventHandlerCode(object, FindEventDeclaration(object->classRecord, name));
}

}  // namespace

StartupHooks& TheStartupHooks() { return startupHooks; }

const ApplicationSettings& TheApplicationSettings() { return settings; }

bool InMdiMode() { return settings.mdi; }

RuntimeObject* ApplicationObject() { return applicationObject; }

int32_t RaiseObjectEvent(RuntimeObject* object, const char* name) {
  void* code = EventCode(object, name);
  return code ? reinterpret_cast<EventHandler0>(code)(object) : 0;
}

int32_t RaiseObjectEvent(RuntimeObject* object, const char* name, void* argument) {
  void* code = EventCode(object, name);
  return code ? reinterpret_cast<EventHandler1>(code)(object, argument) : 0;
}

int32_t RaiseApplicationEvent(const char* name) { return RaiseObjectEvent(applicationObject, name); }

void StopStartup(RuntimeString* message) {
  // An invalid image stops the start like a load failure: a message, and nothing more runs.
  ShowRuntimeMessage(StringCText(message));
  StringRelease(message);
  ExitProcess(0);
}

extern "C" {

void Win32InstallPlugins(const void* list) {
  // Writing the embedded plug-ins out and loading them belongs to the plug-in loader; the list
  // is kept for it.
  embeddedPlugins = list;
}

void RuntimeInit(const uint32_t* projectTable) {
  if (startupHooks.registerWindowClasses) startupHooks.registerWindowClasses();
  OleInitialize(nullptr);
  RegisterCoreBuiltInClasses();
  if (startupHooks.registerBuiltInClasses) startupHooks.registerBuiltInClasses();
  (void)embeddedPlugins;

  RuntimeString* message = nullptr;
  if (!ResolvePluginBindings(&message)) StopStartup(message);

  ImageMemory image = CurrentImageMemory();
  auto tableAddress = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(projectTable));
  ImageClasses classes;
  if (!BuildImageClasses(image, tableAddress, &classes, &message)) StopStartup(message);
  if (!ProcessProjectItems(image, tableAddress + 4 + 4 * static_cast<uint32_t>(classes.count), &settings, &message))
    StopStartup(message);

  if (settings.mdi && startupHooks.createMdiFrame) startupHooks.createMdiFrame(settings.mdiCaption);

  ClassRecord* applicationClass = classes.applicationClass ? classes.applicationClass : FindClassByName("Application");
  applicationObject = NewInstance(applicationClass);
  RaiseApplicationEvent("Open");
}

RuntimeObject* getAppObject() {
  RuntimeLockObject(applicationObject);
  return applicationObject;
}

}  // extern "C"
