// Module handles of the layer.
#pragma once

#include "platform/win32.h"

namespace kwplatform {

// The instance handle of the engine's own module (Win32's default image base).
inline HINSTANCE EngineModuleHandle() { return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x00400000)); }

}  // namespace kwplatform
