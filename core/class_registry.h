// Class records: the global list of all classes, the registry of classes by name, the project
// class table, and the interface tables built over them.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

// A zero-filled class record of kind "class" with instance size 24, at the head of the global
// class list. The name is taken with a reference of its own.
ClassRecord* NewClassRecord(RuntimeString* name, uint32_t instanceSize);
ClassRecord* NewestClassRecord();

// A class that the engine defines: flagged built-in, with an optional initialiser and finaliser,
// and registered under its name.
ClassRecord* DefineBuiltInClass(const char* name, ClassRecord* superclass, uint32_t instanceSize,
                                ObjectHook initialiser = nullptr, ObjectHook finaliser = nullptr);

// The registry: class name to class record (names compare case-folded).
void RegisterClass(ClassRecord* classRecord);
ClassRecord* FindClassByName(const RuntimeString* name);
ClassRecord* FindClassByName(const char* name);

// The root class of application classes, "Object" (24 bytes), defined on first use.
ClassRecord* ObjectClass();

// The project class table, in project-table order. An index outside it gives null.
void SetProjectClasses(ClassRecord** classes, int32_t count);
ClassRecord* ProjectClass(int32_t index);
int32_t ProjectClassCount();

// Appending members keeps declaration order; handlers and menu handlers are pushed at the
// head, so the newest is searched first.
MethodNode* AddMethod(ClassRecord* classRecord, RuntimeString* name, void* entry);
MethodNode* AddMethod(ClassRecord* classRecord, const char* name, void* entry);
EventHandlerNode* AddEventHandler(ClassRecord* classRecord, RuntimeString* name, void* entry, uint32_t hook);
MenuHandlerNode* AddMenuHandler(ClassRecord* classRecord, RuntimeString* menuItemName, void* entry);
InterfaceNode* AddInterface(ClassRecord* classRecord, ClassRecord* interfaceClass);
EventDeclarationNode* AddEventDeclaration(ClassRecord* classRecord, const char* name, const char* parameters,
                                          const char* result);
PropertyNode* AddProperty(ClassRecord* classRecord, const char* name, const TypeDescriptor* type, void* getter,
                          void* setter, uint32_t parameter);

// The code address of a service, as member nodes keep it.
template <typename Function>
void* CodeAddress(Function* function) {
  return reinterpret_cast<void*>(function);
}

// Numbers the methods of interfaces and fills every class's interface tables for a new
// generation. False when a class lacks an interface method (its table stays partly filled).
bool BuildInterfaceTables();
uint32_t InterfaceTableGeneration();

// Two types are equal when they are one descriptor, or arrays of equal element types with the
// same number of dimensions.
bool TypesEqual(const TypeDescriptor* a, const TypeDescriptor* b);
bool ParameterListsEqual(const MethodDefinition& a, const MethodDefinition& b);

// Tests only: forget every class record, the registry and the project class table (the records
// themselves are not freed), so that each test starts from no classes.
void ForgetClassesForTesting();
