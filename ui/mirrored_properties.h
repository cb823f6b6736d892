// Accessors of properties that a control mirrors into its pane: read from the pane when the
// control has one, else from the object; written to both. The parameter word packs the
// object field's byte offset (bits 0 to 9), the pane field's (bits 10 to 19) and the pane
// field's under the alternate pane layout (bits 20 to 29).
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

// The pane field offset that a parameter word selects under the current settings.
int32_t MirroredPaneOffset(uint32_t parameter);

extern "C" {
RuntimeString* paneStringGetter(RuntimeObject* control, uint32_t parameter);
void paneStringSetter(RuntimeObject* control, uint32_t parameter, RuntimeString* value);
bool paneBoolGetter(RuntimeObject* control, uint32_t parameter);
void paneBoolSetter(RuntimeObject* control, uint32_t parameter, bool value);
int32_t paneIntGetter(RuntimeObject* control, uint32_t parameter);
void paneIntSetter(RuntimeObject* control, uint32_t parameter, int32_t value);
int32_t paneShortGetter(RuntimeObject* control, uint32_t parameter);
void paneShortSetter(RuntimeObject* control, uint32_t parameter, int32_t value);
RuntimeObject* paneObjGetter(RuntimeObject* control, uint32_t parameter);
void paneObjSetter(RuntimeObject* control, uint32_t parameter, RuntimeObject* value);
}
