// Builds without the 32-bit frame layout of application code (the host build) cannot walk
// application frames: every raise ends as unhandled.
#include "core/exceptions.h"
#include "core/object_model.h"

extern "C" void RuntimeRaiseException(RuntimeObject* exception) {
  RuntimeLockObject(exception);
  if (exception == nullptr) RaiseNewException(ExceptionKind::NilObject);
  EndWithUnhandledException(exception);
}
