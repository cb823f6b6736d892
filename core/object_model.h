// Objects: creation and destruction through the constructor and destructor chains, the
// live-object list, type tests, dispatch and the object services application code calls.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

// A new instance with count 1, its fields zero, the constructors run from the root down.
RuntimeObject* NewInstance(ClassRecord* classRecord);
// Runs the destructors from the object's class up to the root and frees the object.
void DestroyInstance(RuntimeObject* object);

// Live objects, newest first.
RuntimeObject* NewestLiveObject();
int32_t LiveObjectCount();

// True when candidate is the class or one of its superclasses.
bool ClassInherits(const ClassRecord* classRecord, const ClassRecord* candidate);
// True when the class or a superclass lists the interface.
bool ClassImplements(const ClassRecord* classRecord, const ClassRecord* interfaceClass);
// The object is of the class (an interface: some class of its chain implements it).
bool ObjectIsKindOf(const RuntimeObject* object, const ClassRecord* classRecord);

extern "C" {
void RuntimeLockObject(RuntimeObject* object);
void RuntimeUnlockObject(RuntimeObject* object);
RuntimeObject* RuntimeNewObject(int32_t classIndex);
bool RuntimeObjectIsa(RuntimeObject* object, int32_t classIndex);
void RuntimeCheckCast(RuntimeObject* object, int32_t classIndex);
void* RuntimeFindHookCode(RuntimeObject* object, uint32_t hookIdentifier);
void* FindVTableCode(RuntimeObject* object, int32_t slot);
void* FindInterfaceVTableCode(RuntimeObject* object, int32_t methodNumber, int32_t interfaceIndex);

// Writes the live-object report to the file at path: the allocator's bytes in use, the number
// of live objects, then each object's class name, newest first; lines end with a carriage return.
void debugDumpObjects(RuntimeString* path);
}
