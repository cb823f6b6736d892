#include "core/exceptions.h"

#include <string>

#include "core/class_registry.h"
#include "core/exit_cleanup.h"
#include "core/object_model.h"
#include "core/runtime_message_box.h"
#include "core/runtime_string.h"
#include "platform/win32.h"

namespace {

struct ExceptionClassEntry {
  const char* name;
  ClassRecord* classRecord;
};

// The names are the language's, lower-case initials included.
ExceptionClassEntry exceptionClasses[] = {
    {"RuntimeException", nullptr},   {"NilObjectException", nullptr},      {"IllegalCastException", nullptr},
    {"OutOfBoundsException", nullptr}, {"typeMismatchException", nullptr}, {"stackOverflowException", nullptr},
    {"EndException", nullptr},
};

}  // namespace

void RegisterExceptionClasses() {
  // The registry may have been rebuilt since the last call: define what it no longer holds.
  ClassRecord* root = FindClassByName(exceptionClasses[0].name);
  if (root == nullptr) root = DefineBuiltInClass(exceptionClasses[0].name, nullptr, sizeof(RuntimeObject));
  exceptionClasses[0].classRecord = root;
  for (size_t index = 1; index < std::size(exceptionClasses); index++) {
    ClassRecord* existing = FindClassByName(exceptionClasses[index].name);
    exceptionClasses[index].classRecord =
        existing ? existing : DefineBuiltInClass(exceptionClasses[index].name, root, sizeof(RuntimeObject));
  }
}

ClassRecord* ExceptionClass(ExceptionKind kind) {
  if (exceptionClasses[0].classRecord == nullptr) RegisterExceptionClasses();
  return exceptionClasses[static_cast<int>(kind)].classRecord;
}

void RaiseNewException(ExceptionKind kind) { RaiseOwnedException(NewInstance(ExceptionClass(kind))); }

void EndWithUnhandledException(RuntimeObject* exception) {
  if (!ClassInherits(exception->classRecord, ExceptionClass(ExceptionKind::End))) {
    std::string text = "An exception of class ";
    text += StringCText(exception->classRecord->name);
    text += " was not handled.\rThe application must shut down.";
    ShowRuntimeMessage(text.c_str());
  }
  RunExitCleanups();
  ExitProcess(0);
}

extern "C" {

// Left as the no-op it is on this platform: a handler that wants to pass its exception on
// raises it again with RuntimeRaiseException.
void RuntimeReraiseException() {}

void RuntimeNilObject() { RaiseNewException(ExceptionKind::NilObject); }

}  // extern "C"
