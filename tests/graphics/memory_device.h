// A drawing device over a memory bitmap, counting how often ports borrow and return its
// context. Its window coordinates start at (left, top), as a pane's do.
#pragma once

#include <gtest/gtest.h>

#include "graphics/drawing_device.h"
#include "platform/win32.h"

class MemoryDevice : public DrawingDevice {
 public:
  MemoryDevice(int width, int height, int left = 0, int top = 0)
      : width_(width), height_(height), left_(left), top_(top) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    SetViewportOrgEx(dc_, -left, -top, nullptr);
    SetTextAlign(dc_, TA_BASELINE);
    Clear(0xFFFFFF);
  }
  ~MemoryDevice() override {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }

  void BeginDeviceDrawing() override { begun++; }
  void EndDeviceDrawing() override { ended++; }
  HDC BorrowDC(uint32_t* token) override {
    borrowed++;
    *token = 77;
    return dc_;
  }
  void ReturnDC(HDC dc, uint32_t token) override {
    EXPECT_EQ(dc, dc_);
    EXPECT_EQ(token, 77u);
    returned++;
  }
  int16_t DeviceLeft() const override { return static_cast<int16_t>(left_); }
  int16_t DeviceTop() const override { return static_cast<int16_t>(top_); }
  int32_t DeviceWidth() const override { return width_; }
  int32_t DeviceHeight() const override { return height_; }
  void DestroyDevice() override { destroyed++; }

  // A pixel in device coordinates (0, 0 is the device's top left), as a COLORREF, whatever
  // clip the context has.
  COLORREF Pixel(int x, int y) const {
    int saved = SaveDC(dc_);
    SelectClipRgn(dc_, nullptr);
    SetViewportOrgEx(dc_, 0, 0, nullptr);
    COLORREF color = GetPixel(dc_, x, y);
    RestoreDC(dc_, saved);
    return color;
  }
  void Clear(COLORREF color) {
    RECT all = {left_, top_, left_ + width_, top_ + height_};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  HDC dc() const { return dc_; }

  int begun = 0, ended = 0, borrowed = 0, returned = 0, destroyed = 0;

 private:
  int width_, height_, left_, top_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ oldBitmap_;
};
