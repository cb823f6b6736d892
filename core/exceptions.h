// Language exceptions: the built-in exception classes and raising them.
#pragma once

#include "core/runtime_layout.h"

enum class ExceptionKind {
  Runtime,
  NilObject,
  IllegalCast,
  OutOfBounds,
  TypeMismatch,
  StackOverflow,
  End,
};

// Defines and registers the exception classes (idempotent).
void RegisterExceptionClasses();
ClassRecord* ExceptionClass(ExceptionKind kind);

// Raises an exception whose one reference the raise takes over (a new one the engine made).
[[noreturn]] void RaiseOwnedException(RuntimeObject* exception);

// Creates an exception of the kind and raises it; does not return.
[[noreturn]] void RaiseNewException(ExceptionKind kind);

// What happens when no handler takes an exception: the message naming its class (none for
// EndException), the exit-time cleanups, and the end of the process with exit code 0.
[[noreturn]] void EndWithUnhandledException(RuntimeObject* exception);

extern "C" {
// Walks the application frames to the first handler of the exception's class (32-bit engine).
[[noreturn]] void RuntimeRaiseException(RuntimeObject* exception);
void RuntimeReraiseException();
[[noreturn]] void RuntimeNilObject();
}
