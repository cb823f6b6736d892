// Logical to device coordinates: device = (logical − window origin) × viewport extent ÷ window
// extent + viewport origin, rounded to the nearest pixel.
#pragma once

#include "platform/gdi/device_context.h"

namespace kwplatform {

POINT LogicalToDevice(const DeviceContextState& state, POINT logical);
POINT DeviceToLogical(const DeviceContextState& state, POINT device);

// A logical rectangle in device coordinates, ordered so that left <= right and top <= bottom
// (a flipped axis swaps the edges).
RECT LogicalRectangleToDevice(const DeviceContextState& state, int left, int top, int right, int bottom);

// Device lengths of logical lengths along x and along y (magnitudes; never negative).
int DeviceWidth(const DeviceContextState& state, int logical);
int DeviceHeight(const DeviceContextState& state, int logical);

// Logical lengths of device lengths along x and along y (magnitudes; never negative).
int LogicalWidth(const DeviceContextState& state, int device);
int LogicalHeight(const DeviceContextState& state, int device);

}  // namespace kwplatform
