// A small 32-bit canvas for pixel-by-pixel GDI tests: a memory device context over a top-down
// DIB section, and its pixels as rows of characters.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace gditest {

// The character a colour is shown as: '.' white, '#' black, 'R', 'G', 'B' for pure red, green
// and blue, '?' for anything else.
inline char ColorCharacter(COLORREF color) {
  switch (color) {
    case RGB(255, 255, 255):
      return '.';
    case RGB(0, 0, 0):
      return '#';
    case RGB(255, 0, 0):
      return 'R';
    case RGB(0, 255, 0):
      return 'G';
    case RGB(0, 0, 255):
      return 'B';
  }
  return '?';
}

// The pixels (x, y) of an area of any device context, read with GetPixel.
inline std::vector<std::string> Picture(HDC dc, int width, int height, int left = 0, int top = 0) {
  std::vector<std::string> rows;
  for (int y = top; y < top + height; y++) {
    std::string row;
    for (int x = left; x < left + width; x++) row += ColorCharacter(GetPixel(dc, x, y));
    rows.push_back(row);
  }
  return rows;
}

// The bounding box of the pixels that are not white ({1000, 1000, -1, -1} when there are none).
inline RECT InkBounds(const std::vector<std::string>& picture) {
  RECT box = {1000, 1000, -1, -1};
  for (int y = 0; y < static_cast<int>(picture.size()); y++)
    for (int x = 0; x < static_cast<int>(picture[y].size()); x++)
      if (picture[y][x] != '.') {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
    Clear();
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  uint32_t* bits() const { return bits_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Clear(uint32_t pixel = 0x00FFFFFF) {
    for (int i = 0; i < width_ * height_; i++) bits_[i] = pixel;
  }

  // The pixels as stored, whatever the clip.
  std::vector<std::string> Picture() const {
    std::vector<std::string> rows;
    for (int y = 0; y < height_; y++) {
      std::string row;
      for (int x = 0; x < width_; x++) {
        const uint32_t pixel = bits_[y * width_ + x];
        row += ColorCharacter(RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF));
      }
      rows.push_back(row);
    }
    return rows;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// The pictures compared row by row, so that a failure shows both.
#define EXPECT_PICTURE(actual, ...)                                              \
  do {                                                                           \
    const std::vector<std::string> expectedPicture = __VA_ARGS__;                \
    const std::vector<std::string> actualPicture = (actual);                     \
    EXPECT_EQ(actualPicture, expectedPicture) << ::gditest::Show(actualPicture); \
  } while (0)

inline std::string Show(const std::vector<std::string>& rows) {
  std::string text = "\nactual:\n";
  for (const std::string& row : rows) text += "  " + row + "\n";
  return text;
}

}  // namespace gditest
