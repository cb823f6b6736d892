// Device-dependent bitmaps and DIB sections. Every bitmap is 32 bits per pixel; a DIB section's
// pixels live in memory the application addresses directly.
#include <cstring>
#include <new>

#include "platform/gdi/device_context.h"

namespace kwplatform {

namespace {

// Larger bitmaps are refused rather than risking the 32-bit address space.
constexpr long long MaximumPixels = 1LL << 26;

bool AcceptableSize(long long width, long long height) {
  return width > 0 && height > 0 && width * height <= MaximumPixels;
}

HBITMAP AddBitmap(BitmapObject bitmap) {
  GdiObject object;
  object.value = std::move(bitmap);
  return static_cast<HBITMAP>(AddGdiObject(std::move(object)));
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (!FindDeviceContext(dc) || width < 0 || height < 0) return nullptr;
  // A zero size makes the smallest bitmap, as Win32 does.
  if (width == 0 || height == 0) width = height = 1;
  if (!AcceptableSize(width, height)) return nullptr;
  BitmapObject bitmap;
  try {
    bitmap.surface = Surface::Make(width, height, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return AddBitmap(std::move(bitmap));
}

HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, VOID** bits, HANDLE section, DWORD offset) {
  (void)dc;  // the format comes from the header alone
  (void)offset;
  if (bits) *bits = nullptr;
  if (!info || usage > DIB_PAL_COLORS || section != nullptr) return nullptr;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  const long long width = header.biWidth;
  const long long height = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || !AcceptableSize(width, height))
    return nullptr;
  // 32-bit BI_RGB only for now; other depths are refused.
  if (header.biBitCount != 32 || header.biCompression != BI_RGB) return nullptr;

  BitmapObject bitmap;
  bitmap.isDibSection = true;
  bitmap.dibHeader = header;
  bitmap.dibHeader.biSize = sizeof(BITMAPINFOHEADER);
  bitmap.dibHeader.biSizeImage = static_cast<DWORD>(width * height * 4);
  const size_t count = static_cast<size_t>(width * height);
  bitmap.dibBits.reset(new (std::nothrow) uint32_t[count]);
  if (!bitmap.dibBits) return nullptr;
  memset(bitmap.dibBits.get(), 0, count * sizeof(uint32_t));

  auto surface = std::make_shared<Surface>();
  surface->width = static_cast<int>(width);
  surface->height = static_cast<int>(height);
  // Rows run top-down for a negative height, bottom-up (the first row in memory is the bottom
  // one) otherwise.
  if (header.biHeight < 0) {
    surface->rowZero = bitmap.dibBits.get();
    surface->rowStep = static_cast<long>(width);
  } else {
    surface->rowZero = bitmap.dibBits.get() + (height - 1) * width;
    surface->rowStep = -static_cast<long>(width);
  }
  bitmap.surface = std::move(surface);
  void* pixels = bitmap.dibBits.get();
  HBITMAP handle = AddBitmap(std::move(bitmap));
  if (handle && bits) *bits = pixels;
  return handle;
}

}  // extern "C"
