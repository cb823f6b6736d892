// The application clip of a device context.
#pragma once

#include "platform/gdi/device_context.h"

namespace kwplatform {

// NULLREGION, SIMPLEREGION or COMPLEXREGION for a region's shape.
int RegionComplexity(const Region& region);

// Sets a copy of region (device coordinates) as the application clip, or removes it for null;
// returns the complexity of what drawing may now touch.
int SelectClipRegion(DeviceContext& context, const Region* region);

}  // namespace kwplatform
