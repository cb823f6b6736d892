// The trace log service.
#pragma once

#include "core/runtime_layout.h"

extern "C" void lineTrace(RuntimeString* text);
