#include "core/object_model.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/class_registry.h"
#include "core/event_lookup.h"
#include "core/field_accessors.h"
#include "core/memory_manager.h"
#include "core/runtime_string.h"

namespace {

std::vector<std::string> hookLog;

void* Code(int number) { return reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 + number)); }

RuntimeString* Name(const char* text) { return StringFromCString(text); }

ClassRecord* ImageClass(const char* name, ClassRecord* superclass, uint32_t size) {
  RuntimeString* className = Name(name);
  ClassRecord* classRecord = NewClassRecord(className, size);
  StringRelease(className);
  classRecord->superclass = superclass;
  return classRecord;
}

#define LOGGING_HOOK(name, text) \
  void name(RuntimeObject*, ClassRecord*) { hookLog.push_back(text); }
LOGGING_HOOK(ConstructA, "A+")
LOGGING_HOOK(ConstructC, "C+")
LOGGING_HOOK(DestructA, "A-")
LOGGING_HOOK(DestructB, "B-")
LOGGING_HOOK(DestructC, "C-")

class ObjectModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetClassesForTesting();
    hookLog.clear();
    bytesBefore = SmallBytesInUse();
    objectsBefore = LiveObjectCount();
  }
  void ExpectNothingLeaked() {
    EXPECT_EQ(LiveObjectCount(), objectsBefore);
    EXPECT_EQ(SmallBytesInUse() - bytesBefore, classBytes) << "objects freed with their exact size";
  }
  int32_t bytesBefore = 0;
  int32_t objectsBefore = 0;
  int32_t classBytes = 0;
};

TEST_F(ObjectModelTest, ConstructorsRunRootFirstAndDestructorsOwnClassFirst) {
  ClassRecord* a = DefineBuiltInClass("A", nullptr, 24, ConstructA, DestructA);
  ClassRecord* b = ImageClass("B", a, 30);
  b->destructor = DestructB;
  const uint32_t size = sizeof(RuntimeObject) + 17;  // not a multiple of 4
  ClassRecord* c = ImageClass("C", b, size);
  c->constructor = ConstructC;
  c->destructor = DestructC;
  classBytes = SmallBytesInUse() - bytesBefore;

  RuntimeObject* object = NewInstance(c);
  EXPECT_EQ(hookLog, (std::vector<std::string>{"A+", "C+"}));
  EXPECT_EQ(object->count, 1);
  EXPECT_EQ(object->classRecord, c);
  const auto* fields = reinterpret_cast<const uint8_t*>(object) + sizeof(RuntimeObject);
  for (uint32_t offset = 0; offset < (size + 3) / 4 * 4 - sizeof(RuntimeObject); offset++)
    ASSERT_EQ(fields[offset], 0) << offset;
  EXPECT_EQ(NewestLiveObject(), object);

  RuntimeLockObject(object);
  RuntimeUnlockObject(object);
  EXPECT_EQ(hookLog.size(), 2u) << "still referenced";
  RuntimeUnlockObject(object);
  EXPECT_EQ(hookLog, (std::vector<std::string>{"A+", "C+", "C-", "B-", "A-"}));
  RuntimeLockObject(nullptr);
  RuntimeUnlockObject(nullptr);
  ExpectNothingLeaked();
}

TEST_F(ObjectModelTest, LiveListKeepsNewestFirstWhenMiddleObjectDies) {
  ClassRecord* plain = DefineBuiltInClass("Plain", nullptr, 24);
  classBytes = SmallBytesInUse() - bytesBefore;
  RuntimeObject* first = NewInstance(plain);
  RuntimeObject* second = NewInstance(plain);
  RuntimeObject* third = NewInstance(plain);
  RuntimeUnlockObject(second);
  EXPECT_EQ(NewestLiveObject(), third);
  EXPECT_EQ(third->next, first);
  EXPECT_EQ(first->previous, third);
  RuntimeUnlockObject(third);
  EXPECT_EQ(NewestLiveObject(), first);
  EXPECT_EQ(first->previous, nullptr);
  RuntimeUnlockObject(first);
  ExpectNothingLeaked();
}

TEST_F(ObjectModelTest, TypeTestsAndCasts) {
  ClassRecord* base = ImageClass("Base", nullptr, 24);
  ClassRecord* derived = ImageClass("Derived", base, 28);
  ClassRecord* other = ImageClass("Other", nullptr, 24);
  ClassRecord* printable = ImageClass("Printable", nullptr, 24);
  printable->isInterface = 1;
  AddInterface(base, printable);
  ClassRecord* table[] = {base, derived, other, printable};
  SetProjectClasses(table, 4);

  RuntimeObject* object = RuntimeNewObject(1);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->classRecord, derived);
  struct Case {
    int32_t index;
    bool isa, kindOf;
  };
  for (const Case& c : {Case{0, true, true}, Case{1, true, true}, Case{2, false, false}, Case{3, false, true},
                        Case{9, false, false}, Case{-1, false, false}}) {
    EXPECT_EQ(RuntimeObjectIsa(object, c.index), c.isa) << c.index;
    EXPECT_EQ(ObjectIsKindOf(object, ProjectClass(c.index)), c.kindOf) << c.index;
  }
  EXPECT_FALSE(RuntimeObjectIsa(nullptr, 0));
  RuntimeCheckCast(nullptr, 2);  // nil passes any cast
  RuntimeCheckCast(object, 0);
  RuntimeCheckCast(object, 3);  // through the superclass's interface
  EXPECT_EQ(RuntimeNewObject(4), nullptr) << "index outside the project class table";

  RuntimeUnlockObject(object);
}

TEST_F(ObjectModelTest, FailedCastWithoutAHandlerEndsTheProcessNamingTheException) {
  ClassRecord* one = ImageClass("One", nullptr, 24);
  ClassRecord* two = ImageClass("Two", nullptr, 24);
  ClassRecord* table[] = {one, two};
  SetProjectClasses(table, 2);
  RuntimeObject* object = RuntimeNewObject(0);
  EXPECT_EXIT(RuntimeCheckCast(object, 1), ::testing::ExitedWithCode(0),
              "An exception of class IllegalCastException was not handled.\rThe application must shut down.");
  RuntimeUnlockObject(object);
}

TEST_F(ObjectModelTest, EventHandlerNearestTheDeclaringClassWins) {
  // Window declares Open; App handles it; Hider declares an Open of its own; Leaf handles Open.
  ClassRecord* window = DefineBuiltInClass("Window", nullptr, 108);
  EventDeclarationNode* windowOpen = AddEventDeclaration(window, "Open", "", "");
  ClassRecord* app = ImageClass("App", window, 108);
  ClassRecord* hider = ImageClass("Hider", app, 108);
  EventDeclarationNode* hiderOpen = AddEventDeclaration(hider, "OPEN", "", "");
  ClassRecord* leaf = ImageClass("Leaf", hider, 108);
  ClassRecord* plainChild = ImageClass("PlainChild", app, 108);
  RuntimeString* open = Name("open");
  AddEventHandler(app, open, Code(1), 0);
  AddEventHandler(leaf, open, Code(2), 0);
  AddEventHandler(plainChild, open, Code(3), 0);
  StringRelease(open);

  struct Case {
    ClassRecord* classRecord;
    EventDeclarationNode* declaration;
    void* expected;
  };
  const Case cases[] = {
      {plainChild, windowOpen, Code(1)},  // the application class's handler, not its subclass's
      {app, windowOpen, Code(1)},
      {leaf, windowOpen, Code(1)},  // Leaf's handler belongs to Hider's own Open
      {leaf, hiderOpen, Code(2)},
      {hider, hiderOpen, nullptr},
      {window, windowOpen, nullptr},
      {app, hiderOpen, nullptr},  // the declaration is not on App's chain
  };
  for (const Case& c : cases) {
    RuntimeObject* object = NewInstance(c.classRecord);
    EXPECT_EQ(EventHandlerCode(object, c.declaration), c.expected) << StringCText(c.classRecord->name);
    RuntimeUnlockObject(object);
  }
  EXPECT_EQ(FindEventDeclaration(leaf, "open"), hiderOpen);
  EXPECT_EQ(EventHandlerCode(nullptr, windowOpen), nullptr);
}

TEST_F(ObjectModelTest, HookCodeFirstMatchFromTheObjectsClassUp) {
  ClassRecord* base = ImageClass("Base", nullptr, 24);
  ClassRecord* derived = ImageClass("Derived", base, 24);
  RuntimeString* name = Name("Changed");
  AddEventHandler(base, name, Code(1), 7);
  AddEventHandler(base, name, Code(2), 8);
  AddEventHandler(derived, name, Code(3), 8);
  StringRelease(name);
  RuntimeObject* object = NewInstance(derived);
  EXPECT_EQ(RuntimeFindHookCode(object, 8), Code(3));
  EXPECT_EQ(RuntimeFindHookCode(object, 7), Code(1));
  EXPECT_EQ(RuntimeFindHookCode(object, 9), nullptr);
  EXPECT_EQ(RuntimeFindHookCode(nullptr, 7), nullptr);
  RuntimeUnlockObject(object);
}

TEST_F(ObjectModelTest, InterfaceTablesTakeMethodsFromSuperclasses) {
  ClassRecord* shape = ImageClass("Shape", nullptr, 24);
  shape->isInterface = 1;
  RuntimeString* area = Name("Area");
  RuntimeString* draw = Name("Draw");
  AddMethod(shape, area, nullptr);
  AddMethod(shape, draw, nullptr);
  ClassRecord* base = ImageClass("Base", nullptr, 24);
  AddMethod(base, area, Code(1));
  AddMethod(base, draw, Code(2));
  ClassRecord* square = ImageClass("Square", base, 24);
  RuntimeString* drawLower = Name("DRAW");
  AddMethod(square, drawLower, Code(3));
  AddInterface(square, shape);
  ClassRecord* table[] = {shape, base, square};
  SetProjectClasses(table, 3);
  for (RuntimeString* s : {area, draw, drawLower}) StringRelease(s);

  uint32_t generation = InterfaceTableGeneration();
  ASSERT_TRUE(BuildInterfaceTables());
  EXPECT_EQ(InterfaceTableGeneration(), generation + 1);
  EXPECT_EQ(shape->methods->interfaceNumber, 1u);
  EXPECT_TRUE(shape->methods->next->flags & InterfaceMethodFlag);
  EXPECT_EQ(base->methods->interfaceNumber, 0u);

  RuntimeObject* object = NewInstance(square);
  EXPECT_EQ(FindInterfaceVTableCode(object, 1, 0), Code(1)) << "Area from the superclass";
  EXPECT_EQ(FindInterfaceVTableCode(object, 2, 0), Code(3)) << "Draw overridden";
  EXPECT_EQ(FindInterfaceVTableCode(object, 3, 0), nullptr);
  EXPECT_EQ(FindInterfaceVTableCode(object, 0, 0), nullptr);
  EXPECT_EQ(FindInterfaceVTableCode(object, 1, 1), nullptr) << "Base is no interface of Square";
  RuntimeUnlockObject(object);

  // Rebuilding replaces the tables for the new generation.
  ASSERT_TRUE(BuildInterfaceTables());
  EXPECT_EQ(square->layoutGeneration, InterfaceTableGeneration());

  ClassRecord* lacking = ImageClass("Lacking", nullptr, 24);
  AddInterface(lacking, shape);
  EXPECT_FALSE(BuildInterfaceTables()) << "a class without the interface's methods";
}

TEST_F(ObjectModelTest, ParameterTypesMatchByDescriptorOrArrayShape) {
  IntrinsicType integer{IntrinsicTypeKind, "Integer", nullptr, nullptr};
  IntrinsicType text{IntrinsicTypeKind, "String", nullptr, nullptr};
  ArrayType integers1{ArrayTypeKind, 1, reinterpret_cast<TypeDescriptor*>(&integer)};
  ArrayType integers1Again{ArrayTypeKind, 1, reinterpret_cast<TypeDescriptor*>(&integer)};
  ArrayType integers2{ArrayTypeKind, 2, reinterpret_cast<TypeDescriptor*>(&integer)};
  ArrayType texts1{ArrayTypeKind, 1, reinterpret_cast<TypeDescriptor*>(&text)};
  auto type = [](auto& descriptor) { return reinterpret_cast<const TypeDescriptor*>(&descriptor); };
  struct Case {
    const TypeDescriptor* a;
    const TypeDescriptor* b;
    bool equal;
  };
  const Case cases[] = {
      {type(integer), type(integer), true},     {type(integer), type(text), false},
      {type(integers1), type(integers1Again), true}, {type(integers1), type(integers2), false},
      {type(integers1), type(texts1), false},   {type(integers1), type(integer), false},
      {nullptr, nullptr, true},                 {type(integer), nullptr, false},
  };
  for (const Case& c : cases) EXPECT_EQ(TypesEqual(c.a, c.b), c.equal);

  ParameterEntry one[1] = {{0, type(integers1), 0, {}}};
  ParameterEntry same[1] = {{0, type(integers1Again), 1, {}}};
  MethodDefinition a{"m", nullptr, 1, one, nullptr, nullptr, nullptr, nullptr};
  MethodDefinition b{"m", nullptr, 1, same, nullptr, nullptr, nullptr, nullptr};
  MethodDefinition none{"m", nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr};
  EXPECT_TRUE(ParameterListsEqual(a, b));
  EXPECT_FALSE(ParameterListsEqual(a, none));
}

TEST_F(ObjectModelTest, DispatchTableSlots) {
  ClassRecord* classRecord = ImageClass("Dispatching", nullptr, 24);
  void* table[] = {Code(10), Code(11)};
  classRecord->dispatchTable = table;
  classRecord->dispatchTableLength = 2;
  RuntimeObject* object = NewInstance(classRecord);
  EXPECT_EQ(FindVTableCode(object, 1), Code(11));
  EXPECT_EQ(FindVTableCode(object, 2), nullptr);
  EXPECT_EQ(FindVTableCode(object, -1), nullptr);
  EXPECT_EQ(FindVTableCode(nullptr, 0), nullptr);
  RuntimeUnlockObject(object);
}

TEST_F(ObjectModelTest, FieldAccessorsCountReferences) {
  // Fields after the header, at the offsets a compiled class would give them.
  const int32_t first = sizeof(RuntimeObject);
  ClassRecord* holder = ImageClass("Holder", nullptr, first + 24);
  RuntimeObject* object = NewInstance(holder);
  RuntimeObject* other = NewInstance(holder);
  RuntimeString* text = Name("kept");

  stringSetter(object, first, text);
  EXPECT_EQ(text->count, 2);
  RuntimeString* read = stringGetter(object, first);
  EXPECT_EQ(read, text);
  EXPECT_EQ(text->count, 3);
  StringRelease(read);
  stringSetter(object, first, nullptr);
  EXPECT_EQ(text->count, 1);

  objSetter(object, first + 8, other);
  EXPECT_EQ(other->count, 2);
  RuntimeObject* got = objGetter(object, first + 8);
  EXPECT_EQ(got, other);
  RuntimeUnlockObject(got);
  objSetter(object, first + 8, object);  // replacing releases the old value
  EXPECT_EQ(other->count, 1);
  objSetter(object, first + 8, nullptr);

  IntFieldSetter(object, first + 16, -5);
  ShortFieldSetter(object, first + 20, 0x18000);
  ByteFieldSetter(object, first + 22, true);
  EXPECT_EQ(IntFieldGetter(object, first + 16), -5);
  EXPECT_EQ(ShortFieldGetter(object, first + 20), -32768) << "low 16 bits, sign-extended";
  EXPECT_TRUE(ByteFieldGetter(object, first + 22));
  EXPECT_EQ(stringGetter(nullptr, first), nullptr);
  stringSetter(nullptr, first, text);
  EXPECT_EQ(text->count, 1);

  StringRelease(text);
  RuntimeUnlockObject(other);
  RuntimeUnlockObject(object);
}

TEST_F(ObjectModelTest, LiveObjectReportNamesNearestNamedClass) {
  ClassRecord* named = DefineBuiltInClass("PushButton", nullptr, 116);
  ClassRecord* anonymous = ImageClass("", named, 120);
  ClassRecord* nameless = ImageClass("", nullptr, 24);
  RuntimeObject* objects[] = {NewInstance(named), NewInstance(anonymous), NewInstance(nameless)};

  char path[] = "/tmp/kw_report_XXXXXX";
  int descriptor = mkstemp(path);
  ASSERT_GE(descriptor, 0);
  close(descriptor);
  std::string windowsPath = std::string("Z:") + path;
  for (char& c : windowsPath)
    if (c == '/') c = '\\';
  RuntimeString* pathString = StringFromCString(windowsPath.c_str());
  int32_t bytesAtReport = SmallBytesInUse();
  int32_t objectsAtReport = LiveObjectCount();
  debugDumpObjects(pathString);
  StringRelease(pathString);

  std::ifstream file(path, std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  std::string report = contents.str();
  unlink(path);
  std::string expectedStart = std::to_string(bytesAtReport) + " used in heap1\r" + std::to_string(objectsAtReport) +
                              " objects\r<Unnamed object class>\rPushButton\rPushButton\r";
  EXPECT_EQ(report.substr(0, expectedStart.size()), expectedStart);
  for (RuntimeObject* object : objects) RuntimeUnlockObject(object);
}

}  // namespace
