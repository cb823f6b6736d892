#include "core/class_registry.h"

#include <cstring>

#include "core/memory_manager.h"
#include "core/name_dictionary.h"
#include "core/runtime_string.h"

namespace {

ClassRecord* newestClass;
NameDictionary* registry;
ClassRecord** projectClasses;
int32_t projectClassCount;
ClassRecord* objectClass;

template <typename Node>
Node* NewNode() {
  auto* node = static_cast<Node*>(SmallAlloc(sizeof(Node)));
  memset(node, 0, sizeof(Node));
  return node;
}

template <typename Node>
void Append(Node** head, Node* node) {
  while (*head) head = &(*head)->next;
  *head = node;
}

}  // namespace

ClassRecord* NewClassRecord(RuntimeString* name, uint32_t instanceSize) {
  ClassRecord* classRecord = NewNode<ClassRecord>();
  classRecord->kind = ClassTypeKind;
  classRecord->name = StringRetain(name);
  classRecord->instanceSize = instanceSize;
  classRecord->nextClass = newestClass;
  newestClass = classRecord;
  return classRecord;
}

ClassRecord* NewestClassRecord() { return newestClass; }

ClassRecord* DefineBuiltInClass(const char* name, ClassRecord* superclass, uint32_t instanceSize,
                                ObjectHook initialiser, ObjectHook finaliser) {
  RuntimeString* className = StringFromCString(name);
  ClassRecord* classRecord = NewClassRecord(className, instanceSize);
  StringRelease(className);
  classRecord->superclass = superclass;
  classRecord->builtIn = 1;
  classRecord->constructor = initialiser;
  classRecord->destructor = finaliser;
  RegisterClass(classRecord);
  return classRecord;
}

void RegisterClass(ClassRecord* classRecord) {
  if (registry == nullptr) registry = NameDictionaryCreate();
  NameDictionaryInsert(registry, classRecord->name, classRecord);
}

ClassRecord* FindClassByName(const RuntimeString* name) {
  return registry ? static_cast<ClassRecord*>(NameDictionaryLookup(registry, name)) : nullptr;
}

ClassRecord* FindClassByName(const char* name) {
  return registry ? static_cast<ClassRecord*>(NameDictionaryLookup(registry, name)) : nullptr;
}

ClassRecord* ObjectClass() {
  if (objectClass == nullptr) objectClass = DefineBuiltInClass("Object", nullptr, sizeof(RuntimeObject));
  return objectClass;
}

void SetProjectClasses(ClassRecord** classes, int32_t count) {
  projectClasses = classes;
  projectClassCount = count;
}

ClassRecord* ProjectClass(int32_t index) {
  if (index < 0 || index >= projectClassCount) return nullptr;
  return projectClasses[index];
}

int32_t ProjectClassCount() { return projectClassCount; }

MethodNode* AddMethod(ClassRecord* classRecord, RuntimeString* name, void* entry) {
  auto* method = NewNode<MethodNode>();
  method->name = StringRetain(name);
  method->definition.name = StringCText(method->name);
  method->definition.entry = entry;
  Append(&classRecord->methods, method);
  return method;
}

MethodNode* AddMethod(ClassRecord* classRecord, const char* name, void* entry) {
  RuntimeString* text = StringFromCString(name);
  MethodNode* method = AddMethod(classRecord, text, entry);
  StringRelease(text);
  return method;
}

EventHandlerNode* AddEventHandler(ClassRecord* classRecord, RuntimeString* name, void* entry, uint32_t hook) {
  auto* handler = NewNode<EventHandlerNode>();
  handler->name = StringRetain(name);
  handler->entry = entry;
  handler->hookIdentifier = hook;
  handler->next = classRecord->eventHandlers;
  classRecord->eventHandlers = handler;
  return handler;
}

MenuHandlerNode* AddMenuHandler(ClassRecord* classRecord, RuntimeString* menuItemName, void* entry) {
  auto* handler = NewNode<MenuHandlerNode>();
  handler->menuItemName = StringRetain(menuItemName);
  handler->entry = entry;
  handler->next = classRecord->menuHandlers;
  classRecord->menuHandlers = handler;
  return handler;
}

InterfaceNode* AddInterface(ClassRecord* classRecord, ClassRecord* interfaceClass) {
  auto* node = NewNode<InterfaceNode>();
  node->interfaceClass = interfaceClass;
  Append(&classRecord->interfaces, node);
  return node;
}

EventDeclarationNode* AddEventDeclaration(ClassRecord* classRecord, const char* name, const char* parameters,
                                          const char* result) {
  auto* declaration = NewNode<EventDeclarationNode>();
  declaration->name = StringFromCString(name);
  declaration->parameterText = StringFromCString(parameters);
  declaration->resultText = StringFromCString(result);
  Append(&classRecord->eventDeclarations, declaration);
  return declaration;
}

PropertyNode* AddProperty(ClassRecord* classRecord, const char* name, const TypeDescriptor* type, void* getter,
                          void* setter, uint32_t parameter) {
  auto* property = NewNode<PropertyNode>();
  property->name = StringFromCString(name);
  property->type = type;
  property->getter = getter;
  property->setter = setter;
  property->parameter = parameter;
  Append(&classRecord->properties, property);
  return property;
}

void ForgetClassesForTesting() {
  newestClass = nullptr;
  NameDictionaryDestroy(registry);
  registry = nullptr;
  projectClasses = nullptr;
  projectClassCount = 0;
  objectClass = nullptr;
}
