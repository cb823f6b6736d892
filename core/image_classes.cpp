#include "core/image_classes.h"

#include <cstdio>
#include <cstring>

#include "core/class_registry.h"
#include "core/image_reader.h"
#include "core/memory_manager.h"
#include "core/runtime_string.h"

namespace {

RuntimeString* InvalidImage(const char* detail, int32_t index) {
  char where[64];
  snprintf(where, sizeof where, " (class record %d)", static_cast<int>(index));
  return StringJoin({"The application could not be loaded because its image is invalid: ", detail, where, "."});
}

ClassRecord* NewImageClass(const ClassDefinition& definition, ClassRecord** table) {
  ClassRecord* classRecord = NewClassRecord(definition.name, definition.instanceSize);
  if (definition.constructor) classRecord->constructor = reinterpret_cast<ObjectHook>(definition.constructor);
  if (definition.destructor) classRecord->destructor = reinterpret_cast<ObjectHook>(definition.destructor);
  classRecord->isInterface = definition.isInterface ? 1 : 0;
  for (int32_t index : definition.interfaceIndices) AddInterface(classRecord, table[index]);
  for (const ClassDefinition::Method& method : definition.methods) AddMethod(classRecord, method.name, method.entry);
  for (const ClassDefinition::Handler& handler : definition.handlers)
    AddEventHandler(classRecord, handler.name, handler.entry, handler.hookIdentifier);
  for (const ClassDefinition::MenuHandler& handler : definition.menuHandlers)
    AddMenuHandler(classRecord, handler.menuItemName, handler.entry);
  classRecord->dispatchTable = definition.dispatchTable;
  classRecord->dispatchTableLength = definition.dispatchTableLength;
  return classRecord;
}

bool HasSuperclassCycle(const ClassRecord* classRecord, int32_t limit) {
  for (int32_t steps = 0; classRecord; classRecord = classRecord->superclass)
    if (++steps > limit) return true;
  return false;
}

}  // namespace

bool ReadClassDefinition(const ImageMemory& image, uint32_t address, ClassDefinition* definition, const char** problem) {
  ImageReader reader(image, address);
  *definition = ClassDefinition();
  auto failed = [&] {
    *problem = reader.Problem();
    return false;
  };
  if (!reader.Word(&definition->kind)) return failed();
  if (definition->kind == 1) return reader.String(&definition->name) || failed();
  if (definition->kind != 0) {
    *problem = "unknown record kind";
    return false;
  }
  uint32_t superclass, hasHooks, isInterface;
  if (!reader.Word(&definition->instanceSize) || !reader.String(&definition->name) || !reader.Word(&superclass) ||
      !reader.Word(&hasHooks))
    return failed();
  definition->superclassIndex = static_cast<int32_t>(superclass);
  if (hasHooks == 1 && (!reader.Entry(&definition->constructor, true) || !reader.Entry(&definition->destructor, true)))
    return failed();
  if (!reader.Word(&isInterface)) return failed();
  definition->isInterface = (isInterface & 0xFF) != 0;

  uint32_t count;
  if (!reader.Count(1, &count)) return failed();
  for (uint32_t item = 0; item < count; item++) {
    uint32_t index;
    if (!reader.Word(&index)) return failed();
    definition->interfaceIndices.push_back(static_cast<int32_t>(index));
  }
  if (!reader.Count(definition->isInterface ? 1 : 2, &count)) return failed();
  for (uint32_t item = 0; item < count; item++) {
    ClassDefinition::Method method{nullptr, nullptr};
    if (!reader.String(&method.name) || (!definition->isInterface && !reader.Entry(&method.entry, false)))
      return failed();
    definition->methods.push_back(method);
  }
  if (!reader.Count(3, &count)) return failed();
  for (uint32_t item = 0; item < count; item++) {
    ClassDefinition::Handler handler{nullptr, nullptr, 0};
    if (!reader.String(&handler.name) || !reader.Entry(&handler.entry, false) || !reader.Word(&handler.hookIdentifier))
      return failed();
    definition->handlers.push_back(handler);
  }
  if (!reader.Count(2, &count)) return failed();
  for (uint32_t item = 0; item < count; item++) {
    ClassDefinition::MenuHandler handler{nullptr, nullptr};
    if (!reader.String(&handler.menuItemName) || !reader.Entry(&handler.entry, false)) return failed();
    definition->menuHandlers.push_back(handler);
  }
  if (!reader.Count(1, &definition->dispatchTableLength)) return failed();
  definition->dispatchTable = reinterpret_cast<void**>(reader.DataAt(reader.Address()));
  for (uint32_t item = 0; item < definition->dispatchTableLength; item++) {
    void* entry;
    if (!reader.Entry(&entry, true)) return failed();
  }
  return true;
}

bool BuildImageClasses(const ImageMemory& image, uint32_t projectTableAddress, ImageClasses* classes,
                       RuntimeString** message) {
  *message = nullptr;
  ImageReader table(image, projectTableAddress);
  uint32_t count;
  if (!table.Count(1, &count)) {
    *message = InvalidImage("damaged project table", -1);
    return false;
  }
  auto** classTable = static_cast<ClassRecord**>(PlatformAlloc((count ? count : 1) * sizeof(ClassRecord*)));
  std::vector<ClassDefinition> definitions(count);

  // First pass: a class record per kind-0 record, kind-1 records resolved by name.
  for (uint32_t index = 0; index < count; index++) {
    uint32_t recordAddress;
    const char* problem = nullptr;
    ClassDefinition& definition = definitions[index];
    if (!table.Word(&recordAddress) || !ReadClassDefinition(image, recordAddress, &definition, &problem)) {
      *message = InvalidImage(problem ? problem : "damaged project table", static_cast<int32_t>(index));
      break;
    }
    if (definition.kind == 1) {
      // Plug-in controls and plug-in classes join this lookup when plug-ins are loaded.
      classTable[index] = FindClassByName(definition.name);
      if (classTable[index] == nullptr)
        *message = StringJoin({"The application could not be loaded because the class ", StringCText(definition.name),
                         " could not be found."});
    } else {
      for (int32_t interfaceIndex : definition.interfaceIndices)
        if (interfaceIndex < 0 || static_cast<uint32_t>(interfaceIndex) >= index)
          *message = InvalidImage("an interface listed before its definition", static_cast<int32_t>(index));
      if (*message == nullptr) classTable[index] = NewImageClass(definition, classTable);
    }
    if (*message) break;
  }

  // Second pass: superclasses.
  for (uint32_t index = 0; *message == nullptr && index < count; index++) {
    const ClassDefinition& definition = definitions[index];
    if (definition.kind != 0 || definition.superclassIndex == -1) continue;
    if (definition.superclassIndex < 0 || static_cast<uint32_t>(definition.superclassIndex) >= count) {
      *message = InvalidImage("superclass index out of range", static_cast<int32_t>(index));
      break;
    }
    ClassRecord* superclass = classTable[definition.superclassIndex];
    classTable[index]->superclass = superclass;
    if (classTable[index]->instanceSize < superclass->instanceSize)
      *message = StringJoin({"The application could not be loaded because the class ",
                       StringLength(definition.name) ? StringCText(definition.name) : "<Unnamed object class>",
                       " is smaller than its superclass."});
  }
  // A chain longer than every class of the image plus the engine's can only be a cycle.
  for (uint32_t index = 0; *message == nullptr && index < count; index++)
    if (HasSuperclassCycle(classTable[index], static_cast<int32_t>(count) + 1024))
      *message = InvalidImage("a class that is its own superclass", static_cast<int32_t>(index));

  if (*message == nullptr && !BuildInterfaceTables())
    *message = StringFromCString(
        "The application could not be loaded because a class does not implement every method of its interfaces.");
  if (*message) {
    PlatformFree(classTable);
    return false;
  }

  // Third pass: the application class, the last record derived from "Application".
  const ClassRecord* application = FindClassByName("Application");
  classes->applicationClass = nullptr;
  for (uint32_t index = 0; application && index < count; index++)
    if (definitions[index].kind == 0 && classTable[index] != application)
      for (const ClassRecord* ancestor = classTable[index]->superclass; ancestor; ancestor = ancestor->superclass)
        if (ancestor == application) classes->applicationClass = classTable[index];
  classes->table = classTable;
  classes->count = static_cast<int32_t>(count);
  SetProjectClasses(classTable, classes->count);
  return true;
}
