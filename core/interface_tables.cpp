// Interface method tables: for each interface a class lists, the entry point of each interface
// method, found by name in the class or its superclasses.
#include "core/class_registry.h"
#include "core/memory_manager.h"
#include "core/runtime_string.h"

namespace {

uint32_t generation;

const MethodNode* FindImplementation(const ClassRecord* classRecord, const MethodNode* interfaceMethod) {
  for (; classRecord; classRecord = classRecord->superclass)
    for (const MethodNode* method = classRecord->methods; method; method = method->next)
      if (StringEqualsFolded(method->name, interfaceMethod->name)) return method;
  return nullptr;
}

uint32_t InterfaceMethodCount(const ClassRecord* interfaceClass) {
  uint32_t count = 0;
  for (const MethodNode* method = interfaceClass->methods; method; method = method->next) count++;
  return count;
}

bool BuildTables(ClassRecord* classRecord) {
  if (classRecord->isInterface || classRecord->layoutGeneration == generation) return true;
  classRecord->layoutGeneration = generation;
  for (InterfaceNode* node = classRecord->interfaces; node; node = node->next) {
    if (node->methodTable) SmallFree(node->methodTable, static_cast<int32_t>(node->methodTableLength * sizeof(void*)));
    node->methodTableLength = InterfaceMethodCount(node->interfaceClass) + 1;
    auto bytes = static_cast<int32_t>(node->methodTableLength * sizeof(void*));
    node->methodTable = static_cast<void**>(SmallAlloc(bytes));
    for (uint32_t entry = 0; entry < node->methodTableLength; entry++) node->methodTable[entry] = nullptr;
    for (const MethodNode* wanted = node->interfaceClass->methods; wanted; wanted = wanted->next) {
      const MethodNode* found = FindImplementation(classRecord, wanted);
      if (found == nullptr || !ParameterListsEqual(found->definition, wanted->definition)) return false;
      node->methodTable[wanted->interfaceNumber] = found->definition.entry;
    }
  }
  if (!classRecord->builtIn && classRecord->superclass) return BuildTables(classRecord->superclass);
  return true;
}

}  // namespace

bool TypesEqual(const TypeDescriptor* a, const TypeDescriptor* b) {
  if (a == b) return true;
  if (a == nullptr || b == nullptr || a->kind != ArrayTypeKind || b->kind != ArrayTypeKind) return false;
  const auto* arrayA = reinterpret_cast<const ArrayType*>(a);
  const auto* arrayB = reinterpret_cast<const ArrayType*>(b);
  return arrayA->dimensions == arrayB->dimensions && TypesEqual(arrayA->elementType, arrayB->elementType);
}

bool ParameterListsEqual(const MethodDefinition& a, const MethodDefinition& b) {
  if (a.parameterCount != b.parameterCount) return false;
  for (int32_t index = 0; index < a.parameterCount; index++)
    if (!TypesEqual(a.parameters[index].type, b.parameters[index].type)) return false;
  return true;
}

uint32_t InterfaceTableGeneration() { return generation; }

bool BuildInterfaceTables() {
  for (ClassRecord* classRecord = NewestClassRecord(); classRecord; classRecord = classRecord->nextClass) {
    uint32_t number = 0;
    for (MethodNode* method = classRecord->methods; method; method = method->next) {
      if (classRecord->isInterface) {
        method->interfaceNumber = ++number;
        method->flags |= InterfaceMethodFlag;
      } else {
        method->interfaceNumber = 0;
        method->flags &= ~InterfaceMethodFlag;
      }
    }
  }
  generation++;
  // The pass stops at the first class that lacks an interface method.
  for (ClassRecord* classRecord = NewestClassRecord(); classRecord; classRecord = classRecord->nextClass)
    if (!BuildTables(classRecord)) return false;
  return true;
}
