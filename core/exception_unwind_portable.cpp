// Builds without the 32-bit frame layout of application code (the host build) cannot walk
// application frames: every raise ends as unhandled.
#include "core/exceptions.h"
#include "core/object_model.h"

void RaiseOwnedException(RuntimeObject* exception) { EndWithUnhandledException(exception); }

extern "C" void RuntimeRaiseException(RuntimeObject* exception) {
  if (exception == nullptr) RaiseNewException(ExceptionKind::NilObject);
  RuntimeLockObject(exception);
  RaiseOwnedException(exception);
}
