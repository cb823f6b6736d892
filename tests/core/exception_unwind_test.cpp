// Raising through application frames laid out as compiled code lays them out.
#include <gtest/gtest.h>

#include "core/class_registry.h"
#include "core/exceptions.h"
#include "core/memory_manager.h"
#include "core/object_model.h"
#include "core/runtime_string.h"

#if defined(__i386__)
extern "C" {
RuntimeObject* CatchClass0(RuntimeObject* exception);
RuntimeObject* CatchClass1(RuntimeObject* exception);
RuntimeObject* CastOrCatch(RuntimeObject* object, int classIndex);
RuntimeObject* NoCatchOuter(RuntimeObject* exception);
RuntimeObject* ReleaseArgument(RuntimeString* text, RuntimeObject* exception);
RuntimeObject* CatchAboveLocals(RuntimeString* text, RuntimeObject* object, RuntimeObject* first,
                                RuntimeObject* exception);
void RaiseWithBrokenReturn(RuntimeObject* exception);
void RaiseWithBrokenFrame(RuntimeObject* exception);
extern int innerHandlerRan;
extern uint32_t argumentSlotAfterRaise;

// An engine function between application routines: application code calls it from a marked
// call, and it raises.
void RaiseWithText(RuntimeString*, RuntimeObject* exception) { RuntimeRaiseException(exception); }
}

namespace {

class ExceptionUnwindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetClassesForTesting();
    RegisterExceptionClasses();
    // Project class 0 catches everything (RuntimeException), class 1 only NilObjectException.
    table[0] = ExceptionClass(ExceptionKind::Runtime);
    table[1] = ExceptionClass(ExceptionKind::NilObject);
    table[2] = DefineBuiltInClass("Unrelated", nullptr, 24);
    SetProjectClasses(table, 3);
  }
  RuntimeObject* New(ExceptionKind kind) { return NewInstance(ExceptionClass(kind)); }
  ClassRecord* table[3] = {};
};

TEST_F(ExceptionUnwindTest, HandlerForTheRootClassCatchesEveryRuntimeError) {
  for (ExceptionKind kind : {ExceptionKind::Runtime, ExceptionKind::NilObject, ExceptionKind::IllegalCast,
                             ExceptionKind::OutOfBounds, ExceptionKind::TypeMismatch, ExceptionKind::End}) {
    RuntimeObject* exception = New(kind);
    RuntimeObject* caught = CatchClass0(exception);
    EXPECT_EQ(caught, exception) << StringCText(exception->classRecord->name);
    EXPECT_EQ(exception->count, 2) << "the raise's reference passed to the first local slot";
    RuntimeUnlockObject(caught);
    RuntimeUnlockObject(exception);
  }
}

TEST_F(ExceptionUnwindTest, HandlerOfAnotherClassIsPassedOver) {
  RuntimeObject* nil = New(ExceptionKind::NilObject);
  EXPECT_EQ(CatchClass1(nil), nil) << "unknown trailer operations are skipped";
  RuntimeUnlockObject(nil);
  RuntimeUnlockObject(nil);
  RuntimeObject* bounds = New(ExceptionKind::OutOfBounds);
  EXPECT_EXIT(CatchClass1(bounds), ::testing::ExitedWithCode(0),
              "An exception of class OutOfBoundsException was not handled");
  RuntimeUnlockObject(bounds);
}

TEST_F(ExceptionUnwindTest, ServiceRaisingFromAMarkedCallLandsInTheRoutinesHandler) {
  RuntimeObject* object = NewInstance(table[2]);
  EXPECT_EQ(CastOrCatch(object, 2), nullptr) << "a cast that holds returns normally";
  RuntimeObject* caught = CastOrCatch(object, 1);
  ASSERT_NE(caught, nullptr);
  EXPECT_STREQ(StringCText(caught->classRecord->name), "IllegalCastException");
  RuntimeUnlockObject(caught);
  RuntimeUnlockObject(object);
}

TEST_F(ExceptionUnwindTest, NoCatchMarkerLeavesTheExceptionToTheCallers) {
  innerHandlerRan = 0;
  RuntimeObject* exception = New(ExceptionKind::Runtime);
  EXPECT_EQ(NoCatchOuter(exception), exception);
  EXPECT_EQ(innerHandlerRan, 0);
  RuntimeUnlockObject(exception);
  RuntimeUnlockObject(exception);
}

TEST_F(ExceptionUnwindTest, MarkedStringArgumentIsReleasedAndCleared) {
  RuntimeString* text = StringFromCString("argument");
  StringRetain(text);  // the reference the call's argument slot owns
  RuntimeObject* exception = New(ExceptionKind::Runtime);
  argumentSlotAfterRaise = 0xFFFFFFFF;
  RuntimeUnlockObject(ReleaseArgument(text, exception));
  EXPECT_EQ(text->count, 1);
  EXPECT_EQ(argumentSlotAfterRaise, 0u);
  StringRelease(text);
  RuntimeUnlockObject(exception);
}

TEST_F(ExceptionUnwindTest, AbandonedFrameReleasesItsLocalsAndFirstSlot) {
  int32_t bytesBefore = SmallBytesInUse();
  RuntimeString* text = StringFromCString("local");
  RuntimeObject* object = NewInstance(table[2]);
  RuntimeObject* first = NewInstance(table[2]);
  StringRetain(text);          // owned by the local
  RuntimeLockObject(object);   // owned by the local
  RuntimeLockObject(first);    // owned by the first local slot
  RuntimeObject* exception = New(ExceptionKind::Runtime);
  RuntimeUnlockObject(CatchAboveLocals(text, object, first, exception));
  EXPECT_EQ(text->count, 1);
  EXPECT_EQ(object->count, 1);
  EXPECT_EQ(first->count, 1);
  StringRelease(text);
  RuntimeUnlockObject(object);
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(exception);
  EXPECT_EQ(SmallBytesInUse(), bytesBefore);
}

TEST_F(ExceptionUnwindTest, UnhandledExceptionsEndTheProcess) {
  EXPECT_EXIT(RuntimeRaiseException(New(ExceptionKind::IllegalCast)), ::testing::ExitedWithCode(0),
              "KW App: An exception of class IllegalCastException was not handled.\rThe application must shut down.");
  EXPECT_EXIT(
      {
        fprintf(stderr, "before\n");
        RuntimeRaiseException(New(ExceptionKind::End));
      },
      ::testing::ExitedWithCode(0), "^before\n$");
  EXPECT_EXIT(RuntimeNilObject(), ::testing::ExitedWithCode(0), "class NilObjectException was not handled");
}

TEST_F(ExceptionUnwindTest, DamagedFrameChainsEndTheWalkWithoutAFault) {
  EXPECT_EXIT(RaiseWithBrokenReturn(New(ExceptionKind::Runtime)), ::testing::ExitedWithCode(0),
              "class RuntimeException was not handled");
  EXPECT_EXIT(RaiseWithBrokenFrame(New(ExceptionKind::Runtime)), ::testing::ExitedWithCode(0),
              "class RuntimeException was not handled");
}

}  // namespace
#endif
