// The font of a device context: its selected font object made real at the context's scale.
#pragma once

#include <memory>

#include "platform/gdi/device_context.h"
#include "platform/gdi/font_engine.h"

namespace kwplatform {

struct SelectedFont {
  std::shared_ptr<FontInstance> instance;
  bool underline = false;
  bool strikeOut = false;
};

// Null instance when the context has no usable font (no font file at all).
SelectedFont FontOfContext(const DeviceContext& context);

// TEXTMETRICA from device metrics, converted to the context's logical units.
void FillTextMetrics(const FontMetrics& metrics, const DeviceContextState& state, TEXTMETRICA* out);

}  // namespace kwplatform
