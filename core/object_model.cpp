#include "core/object_model.h"

#include <cstring>

#include "core/class_registry.h"
#include "core/memory_manager.h"
#include "core/exceptions.h"
#include "platform/win32.h"

// Reference counts are plain integers, changed without locks: application code locks and
// unlocks at every assignment, and objects shared between threads are the application's to
// guard. The live-object list is the engine's own, so it alone is guarded: threads create and
// destroy objects at the same time, and an unguarded list would be corrupted.

namespace {

RuntimeObject* newestObject;
int32_t liveObjects;
CRITICAL_SECTION liveListLock;
bool liveListLockCreated;

class LiveListGuard {
 public:
  LiveListGuard() {
    if (!liveListLockCreated) {
      InitializeCriticalSection(&liveListLock);
      liveListLockCreated = true;
    }
    EnterCriticalSection(&liveListLock);
  }
  ~LiveListGuard() { LeaveCriticalSection(&liveListLock); }
  LiveListGuard(const LiveListGuard&) = delete;
  LiveListGuard& operator=(const LiveListGuard&) = delete;
};

// The instance size rounded up to whole words, and never less than the header.
int32_t BlockSize(const ClassRecord* classRecord) {
  auto size = static_cast<int32_t>((classRecord->instanceSize + 3) / 4 * 4);
  return size < static_cast<int32_t>(sizeof(RuntimeObject)) ? static_cast<int32_t>(sizeof(RuntimeObject)) : size;
}

void RunConstructors(RuntimeObject* object, ClassRecord* classRecord) {
  if (classRecord == nullptr) return;
  RunConstructors(object, classRecord->superclass);
  if (classRecord->constructor) classRecord->constructor(object, classRecord);
}

}  // namespace

RuntimeObject* NewInstance(ClassRecord* classRecord) {
  int32_t size = BlockSize(classRecord);
  auto* object = static_cast<RuntimeObject*>(SmallAlloc(size));
  memset(object, 0, static_cast<size_t>(size));
  object->count = 1;
  object->classRecord = classRecord;
  RunConstructors(object, classRecord);
  LiveListGuard guard;
  object->previous = nullptr;
  object->next = newestObject;
  if (newestObject) newestObject->previous = object;
  newestObject = object;
  liveObjects++;
  return object;
}

void DestroyInstance(RuntimeObject* object) {
  int32_t size = BlockSize(object->classRecord);
  for (ClassRecord* classRecord = object->classRecord; classRecord; classRecord = classRecord->superclass)
    if (classRecord->destructor) classRecord->destructor(object, classRecord);
  {
    LiveListGuard guard;
    if (object->previous)
      object->previous->next = object->next;
    else
      newestObject = object->next;
    if (object->next) object->next->previous = object->previous;
    liveObjects--;
  }
  SmallFree(object, size);
}

RuntimeObject* NewestLiveObject() { return newestObject; }

int32_t LiveObjectCount() { return liveObjects; }

bool ClassInherits(const ClassRecord* classRecord, const ClassRecord* candidate) {
  for (; classRecord; classRecord = classRecord->superclass)
    if (classRecord == candidate) return true;
  return false;
}

bool ClassImplements(const ClassRecord* classRecord, const ClassRecord* interfaceClass) {
  for (; classRecord; classRecord = classRecord->superclass)
    for (const InterfaceNode* node = classRecord->interfaces; node; node = node->next)
      if (node->interfaceClass == interfaceClass) return true;
  return false;
}

bool ObjectIsKindOf(const RuntimeObject* object, const ClassRecord* classRecord) {
  if (object == nullptr || classRecord == nullptr) return false;
  if (classRecord->isInterface) return ClassImplements(object->classRecord, classRecord);
  return ClassInherits(object->classRecord, classRecord);
}

extern "C" {

void RuntimeLockObject(RuntimeObject* object) {
  if (object) object->count++;
}

void RuntimeUnlockObject(RuntimeObject* object) {
  if (object && --object->count == 0) DestroyInstance(object);
}

// Class indices come from compiled code; one outside the project class table gives no class
// (nil, false) rather than a read outside the table.
RuntimeObject* RuntimeNewObject(int32_t classIndex) {
  ClassRecord* classRecord = ProjectClass(classIndex);
  return classRecord ? NewInstance(classRecord) : nullptr;
}

bool RuntimeObjectIsa(RuntimeObject* object, int32_t classIndex) {
  return object && ClassInherits(object->classRecord, ProjectClass(classIndex));
}

void RuntimeCheckCast(RuntimeObject* object, int32_t classIndex) {
  if (object == nullptr) return;
  ClassRecord* target = ProjectClass(classIndex);
  if (target && ObjectIsKindOf(object, target)) return;
  RaiseNewException(ExceptionKind::IllegalCast);
}

void* RuntimeFindHookCode(RuntimeObject* object, uint32_t hookIdentifier) {
  if (object == nullptr) return nullptr;
  for (const ClassRecord* classRecord = object->classRecord; classRecord; classRecord = classRecord->superclass)
    for (const EventHandlerNode* handler = classRecord->eventHandlers; handler; handler = handler->next)
      if (handler->hookIdentifier == hookIdentifier) return handler->entry;
  return nullptr;
}

void* FindVTableCode(RuntimeObject* object, int32_t slot) {
  if (object == nullptr) return nullptr;
  const ClassRecord* classRecord = object->classRecord;
  if (slot < 0 || static_cast<uint32_t>(slot) >= classRecord->dispatchTableLength || !classRecord->dispatchTable)
    return nullptr;
  return classRecord->dispatchTable[slot];
}

void* FindInterfaceVTableCode(RuntimeObject* object, int32_t methodNumber, int32_t interfaceIndex) {
  const ClassRecord* interfaceClass = ProjectClass(interfaceIndex);
  if (object == nullptr || interfaceClass == nullptr) return nullptr;
  for (const ClassRecord* classRecord = object->classRecord; classRecord; classRecord = classRecord->superclass) {
    for (const InterfaceNode* node = classRecord->interfaces; node; node = node->next) {
      if (node->interfaceClass != interfaceClass) continue;
      if (methodNumber < 1 || static_cast<uint32_t>(methodNumber) >= node->methodTableLength || !node->methodTable)
        return nullptr;
      return node->methodTable[methodNumber];
    }
  }
  return nullptr;
}

}  // extern "C"
