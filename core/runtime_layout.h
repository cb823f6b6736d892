// Layouts of the records that compiled application code reads and writes at fixed offsets.
// Offsets are fixed by compiled code: do not reorder, insert or widen fields. The sizes hold
// in the 32-bit product build; the host build keeps the order with wider pointers.
#pragma once

#include <cstddef>
#include <cstdint>

// A reference-counted byte string. The buffer holds min(length, 255), the text, and a 0 byte,
// so buffer + 1 is a NUL-terminated view. The empty string is the null pointer.
struct RuntimeString {
  int32_t count;       // references; 1 at creation
  char* buffer;        // length byte, text, terminating 0
  int32_t bufferSize;  // bytes allocated for the buffer (length + 2 when made by the engine)
  int32_t length;      // bytes of text, at least 1
};

// A block of platform-heap memory reached through a handle, so it can move when resized.
struct MemoryHandle {
  void* data;
  int32_t size;
};

// The engine-wide growable array. Entries are elementSize bytes each; 0 until the first
// write of a vector created empty decides it.
struct ElementVector {
  MemoryHandle* storage;  // null while nothing was allocated
  int32_t count;
  int32_t capacity;
  int32_t elementSize;
};

constexpr int32_t MaximumArrayDimensions = 20;

// An array of the language (a guarded record, owned and disposed by application code). Levels 1
// to n - 1 of an n-dimensional array hold ElementVector pointers; level n holds the elements.
struct RuntimeArray {
  ElementVector elements;  // the first level
  int32_t dimensionCount;
  int32_t upperBounds[MaximumArrayDimensions];
  int32_t accessLevel;          // dimensions addressed by the current multi-dimensional access
  ElementVector* accessVector;  // the vector that access reached, or null
};

struct ClassRecord;

// The header of every instance. The fields of the classes from the root down follow it.
struct RuntimeObject {
  int32_t count;          // references; 1 at creation
  ClassRecord* classRecord;
  RuntimeObject* previous;  // live-object list, newest first (null for the newest)
  RuntimeObject* next;
  RuntimeObject* ownerWindow;  // the window whose description created the object
  uint32_t reserved;
};

// The first word of every type descriptor.
enum TypeKind : uint32_t { IntrinsicTypeKind = 0, ArrayTypeKind = 1, ClassTypeKind = 3 };

// Converts a value of an intrinsic type to and from text.
using ValueToText = RuntimeString* (*)(uint32_t value);
using TextToValue = uint32_t (*)(RuntimeString* text);

struct TypeDescriptor {
  TypeKind kind;
};

struct IntrinsicType {
  TypeKind kind;  // IntrinsicTypeKind
  const char* name;
  ValueToText toText;
  TextToValue fromText;
};

struct ArrayType {
  TypeKind kind;  // ArrayTypeKind
  uint32_t dimensions;
  const TypeDescriptor* elementType;
};

// One parameter of a parameter list: word 1 is the type, word 2 the by-reference flag.
struct ParameterEntry {
  uint32_t reserved0;
  const TypeDescriptor* type;
  uint32_t byReference;
  uint32_t reserved[4];
};

// A method's signature and entry points, as the declaration parser produces it.
struct MethodDefinition {
  const char* name;
  const TypeDescriptor* resultType;
  int32_t parameterCount;
  ParameterEntry* parameters;
  RuntimeString* parameterText;
  RuntimeString* resultText;
  void* entry;
  void* secondEntry;
};

struct PropertyNode {
  PropertyNode* next;
  RuntimeString* name;
  const TypeDescriptor* type;
  uint32_t flags;
  void* getter;
  void* setter;  // null when read-only
  uint32_t parameter;  // a field offset or a selector, passed to the accessors
};

constexpr uint32_t InterfaceMethodFlag = 0x08;

struct MethodNode {
  MethodNode* next;
  RuntimeString* name;
  RuntimeString* pluginDeclaration;  // the declaration text of a plug-in method
  uint32_t flags;                     // InterfaceMethodFlag: a method of an interface
  MethodDefinition definition;
  void* secondEntry;                  // the entry used when a plug-in method is assigned to
  uint32_t interfaceNumber;           // 1-based number inside an interface, else 0
};

struct EventDeclarationNode {
  EventDeclarationNode* next;
  RuntimeString* name;
  RuntimeString* parameterText;
  RuntimeString* resultText;
};

struct EventHandlerNode {
  EventHandlerNode* next;
  RuntimeString* name;
  uint32_t hookIdentifier;  // 0 for handlers of built-in events
  void* entry;
};

struct MenuHandlerNode {
  MenuHandlerNode* next;
  RuntimeString* menuItemName;
  void* entry;
};

struct InterfaceNode {
  InterfaceNode* next;
  ClassRecord* interfaceClass;
  void** methodTable;  // entry 0 unused; entry n is the code of interface method n
  uint32_t methodTableLength;
};

using ObjectHook = void (*)(RuntimeObject* object, ClassRecord* classRecord);

// The class descriptor; a type descriptor of kind ClassTypeKind.
struct ClassRecord {
  TypeKind kind;  // always ClassTypeKind
  ClassRecord* superclass;
  void** dispatchTable;  // method entry points from the image; null for built-in classes
  uint32_t layoutGeneration;  // generation for which the interface tables were built
  uint32_t dispatchTableLength;
  RuntimeString* name;  // null for the anonymous classes of controls placed in windows
  RuntimeString* alternateClassPath;
  uint8_t builtIn;
  ClassRecord* nextClass;  // all class records, newest first
  uint32_t instanceSize;
  PropertyNode* properties;
  MethodNode* methods;
  EventDeclarationNode* eventDeclarations;
  EventHandlerNode* eventHandlers;
  MenuHandlerNode* menuHandlers;
  InterfaceNode* interfaces;
  uint8_t isInterface;
  ObjectHook constructor;
  ObjectHook destructor;
  uint8_t constructorFlag;
  uint8_t destructorFlag;
};

#if defined(__i386__)
static_assert(sizeof(RuntimeObject) == 24);
static_assert(offsetof(RuntimeObject, classRecord) == 4);
static_assert(offsetof(RuntimeObject, ownerWindow) == 16);
static_assert(sizeof(ParameterEntry) == 28);
static_assert(offsetof(ClassRecord, superclass) == 4);
static_assert(offsetof(ClassRecord, name) == 20);
static_assert(offsetof(ClassRecord, instanceSize) == 36);
static_assert(offsetof(ClassRecord, constructor) == 68);
static_assert(sizeof(RuntimeString) == 16);
static_assert(offsetof(RuntimeString, count) == 0);
static_assert(offsetof(RuntimeString, buffer) == 4);
static_assert(offsetof(RuntimeString, bufferSize) == 8);
static_assert(offsetof(RuntimeString, length) == 12);
static_assert(sizeof(MemoryHandle) == 8);
static_assert(sizeof(ElementVector) == 16);
static_assert(offsetof(ElementVector, elementSize) == 12);
static_assert(offsetof(RuntimeArray, dimensionCount) == 16);
static_assert(offsetof(RuntimeArray, upperBounds) == 20);
static_assert(offsetof(RuntimeArray, accessLevel) == 100);
static_assert(offsetof(RuntimeArray, accessVector) == 104);
static_assert(sizeof(RuntimeArray) == 108);
#endif
