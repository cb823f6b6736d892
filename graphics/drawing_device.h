// What a drawing port draws on: a pane, a picture or a printer page. The device lends the port
// a device context while the port is the current one.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class DrawingDevice {
 public:
  virtual ~DrawingDevice() = default;

  // Makes the device the one being drawn in, ending the previous one first.
  virtual void BeginDeviceDrawing() = 0;
  virtual void EndDeviceDrawing() = 0;

  // A device context that maps window coordinates of the device's window to its pixels, with
  // baseline-left text alignment; given back with the token received.
  virtual HDC BorrowDC(uint32_t* token) = 0;
  virtual void ReturnDC(HDC dc, uint32_t token) = 0;

  // The device's place in its window and its size.
  virtual int16_t DeviceLeft() const = 0;
  virtual int16_t DeviceTop() const = 0;
  virtual int32_t DeviceWidth() const = 0;
  virtual int32_t DeviceHeight() const = 0;

  // Ends the device when a port that owns it goes (a printer page ends its job here).
  virtual void DestroyDevice() { delete this; }
};
