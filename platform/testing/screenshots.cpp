// The test interface's pixels and PNG files of windows and the screen.
#include <vector>

#include "platform/testing/testing.h"
#include "platform/user/window.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_surfaces.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace kwtesting {

namespace {

using kwplatform::Surface;

bool PixelAt(const Surface& surface, int x, int y, uint32_t* pixel) {
  if (pixel == nullptr || x < 0 || y < 0 || x >= surface.width || y >= surface.height) return false;
  *pixel = surface.Row(y)[x] & 0x00FFFFFF;
  return true;
}

// Writes part of a surface as an RGB PNG.
bool WritePng(const Surface& surface, const RECT& part, const std::string& path) {
  RECT area = kwplatform::IntersectRectangles(part, RECT{0, 0, surface.width, surface.height});
  int width = area.right - area.left;
  int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  unsigned char* out = rgb.data();
  for (int y = area.top; y < area.bottom; y++)
    for (int x = area.left; x < area.right; x++) {
      uint32_t pixel = surface.Row(y)[x];
      *out++ = static_cast<unsigned char>(pixel >> 16);
      *out++ = static_cast<unsigned char>(pixel >> 8);
      *out++ = static_cast<unsigned char>(pixel);
    }
  // Light compression: screenshots are for looking at, and a full screen compresses slowly.
  stbi_write_png_compression_level = 1;
  return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

}  // namespace

bool ReadWindowPixel(HWND handle, int clientX, int clientY, uint32_t* pixel) {
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  if (!window) return false;
  RECT client = kwplatform::ClientRectangle(*window);
  if (clientX < client.left || clientY < client.top || clientX >= client.right || clientY >= client.bottom) return false;
  std::shared_ptr<kwplatform::Window> top = kwplatform::TopLevelOf(handle);
  POINT origin = kwplatform::ClientOriginInTopLevel(*window);
  return top && PixelAt(*kwplatform::SurfaceOf(*top), origin.x + clientX, origin.y + clientY, pixel);
}

bool ReadScreenPixel(int x, int y, uint32_t* pixel) { return PixelAt(*kwplatform::ComposeScreen(), x, y, pixel); }

bool SaveWindowPng(HWND handle, const std::string& path) {
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  if (!window) return false;
  std::shared_ptr<kwplatform::Window> top = kwplatform::TopLevelOf(handle);
  if (!top) return false;
  POINT origin = kwplatform::WindowOriginInTopLevel(*window);
  RECT part = {origin.x, origin.y, origin.x + kwplatform::WindowWidth(*window),
               origin.y + kwplatform::WindowHeight(*window)};
  return WritePng(*kwplatform::SurfaceOf(*top), part, path);
}

bool SaveScreenPng(const std::string& path) {
  std::shared_ptr<Surface> screen = kwplatform::ComposeScreen();
  return WritePng(*screen, RECT{0, 0, screen->width, screen->height}, path);
}

}  // namespace kwtesting
