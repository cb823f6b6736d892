// GetDeviceCaps and the information context of the display. Every display context reports the
// screen: 32-bit colour at 96 pixels per logical inch.
#include <strings.h>

#include "platform/display/screen.h"
#include "platform/gdi/device_context.h"

namespace kwplatform {

namespace {

constexpr int PixelsPerInch = 96;

int Millimetres(int pixels) { return (pixels * 254 + PixelsPerInch * 5) / (PixelsPerInch * 10); }

bool IsDisplay(LPCSTR driver, LPCSTR device) {
  return (driver && strcasecmp(driver, "DISPLAY") == 0) || (!driver && device && strcasecmp(device, "DISPLAY") == 0);
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

int WINAPI GetDeviceCaps(HDC dc, int index) {
  if (!FindDeviceContext(dc)) return 0;
  const ScreenSize screen = ScreenDimensions();
  switch (index) {
    case HORZRES:
      return screen.width;
    case VERTRES:
      return screen.height;
    case HORZSIZE:
      return Millimetres(screen.width);
    case VERTSIZE:
      return Millimetres(screen.height);
    case LOGPIXELSX:
    case LOGPIXELSY:
      return PixelsPerInch;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return -1;  // more than a palette holds
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    case RASTERCAPS:
      return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
  }
  return 0;  // palettes, printer page sizes and offsets: none on a display
}

// Printers and their contexts come with the print support; only the display is known here.
// The display context draws on the screen the window system composes, as GetDC(0) does, but
// belongs to its caller until DeleteDC.
HDC WINAPI CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* mode) {
  (void)port;
  (void)mode;
  if (!IsDisplay(driver, device)) return nullptr;
  HDC dc = GetDC(nullptr);
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return nullptr;
  context->kind = DeviceContextKind::Display;
  context->window = nullptr;
  return dc;
}

HDC WINAPI CreateICA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* mode) {
  (void)port;
  (void)mode;
  if (!IsDisplay(driver, device)) return nullptr;
  auto context = std::make_shared<DeviceContext>();
  context->kind = DeviceContextKind::Information;
  return AddDeviceContext(std::move(context));
}

}  // extern "C"
