#include "platform/user/frame_painting.h"

#include "platform/user/window_geometry.h"

namespace kwplatform {

namespace {

void Fill(HDC dc, const RECT& area, int colour) { FillRect(dc, &area, GetSysColorBrush(colour)); }

// A raised (or sunken) bevel one pixel wide along the inside of area.
void Bevel(HDC dc, const RECT& area, int topLeftColour, int bottomRightColour) {
  Fill(dc, RECT{area.left, area.top, area.right, area.top + 1}, topLeftColour);
  Fill(dc, RECT{area.left, area.top, area.left + 1, area.bottom}, topLeftColour);
  Fill(dc, RECT{area.left, area.bottom - 1, area.right, area.bottom}, bottomRightColour);
  Fill(dc, RECT{area.right - 1, area.top, area.right, area.bottom}, bottomRightColour);
}

RECT Shrink(const RECT& area, int by) {
  return RECT{area.left + by, area.top + by, area.right - by, area.bottom - by};
}

void PaintOuterFrame(HDC dc, const RECT& whole, int width) {
  if (width == 0) return;
  if (width == BorderWidth) {
    Bevel(dc, whole, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
    return;
  }
  // A dialog or sizing frame: button-face band between a raised outer bevel and a shadow line.
  for (int ring = 0; ring < width; ring++) Bevel(dc, Shrink(whole, ring), COLOR_BTNFACE, COLOR_BTNFACE);
  Bevel(dc, whole, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
  Bevel(dc, Shrink(whole, 1), COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
}

void PaintCloseBox(HDC dc, const RECT& box) {
  Fill(dc, box, COLOR_BTNFACE);
  Bevel(dc, box, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
  // The cross: two diagonals, two pixels thick, in the middle of the box.
  int size = 7;
  int left = (box.left + box.right - size) / 2;
  int top = (box.top + box.bottom - size) / 2;
  COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  for (int step = 0; step < size; step++)
    for (int thickness = 0; thickness < 2; thickness++) {
      SetPixelV(dc, left + step + thickness, top + step, ink);
      SetPixelV(dc, left + size - 1 - step + thickness, top + step, ink);
    }
}

// The caption's font, bold 8-point "MS Sans Serif": made once and kept for the process.
HFONT CaptionFont() {
  static HFONT font = CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
  return font;
}

void PaintTitle(HDC dc, const Window& window, const FrameLayout& layout) {
  if (window.text.empty()) return;
  RECT area = layout.caption;
  area.left += 3;
  if (!RectangleIsEmpty(layout.closeBox)) area.right = layout.closeBox.left - 2;
  HGDIOBJ previous = SelectObject(dc, CaptionFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(window.captionActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  DrawTextA(dc, window.text.c_str(), -1, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, previous);
}

void PaintCaption(HDC dc, const Window& window, const FrameLayout& layout) {
  RECT caption = layout.caption;
  Fill(dc, caption, window.captionActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  // The line between the caption and what lies beneath.
  Fill(dc, RECT{caption.left, caption.bottom, caption.right, caption.bottom + 1}, COLOR_BTNFACE);
  PaintTitle(dc, window, layout);
  if (!RectangleIsEmpty(layout.closeBox)) PaintCloseBox(dc, layout.closeBox);
}

void PaintClientEdge(HDC dc, const RECT& outside) {
  Bevel(dc, outside, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  Bevel(dc, Shrink(outside, 1), COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

}  // namespace

void PaintFrame(const std::shared_ptr<Window>& window) {
  HDC dc = GetWindowDC(window->handle);
  if (dc == nullptr) return;
  FrameLayout layout = LayOutFrame(*window);
  RECT whole = {0, 0, WindowWidth(*window), WindowHeight(*window)};
  PaintOuterFrame(dc, whole, layout.frame);
  if (!RectangleIsEmpty(layout.caption)) PaintCaption(dc, *window, layout);
  if (!RectangleIsEmpty(layout.menuBar)) Fill(dc, layout.menuBar, COLOR_MENU);
  if (layout.edge >= ClientEdgeWidth) {
    RECT insets = layout.insets;
    PaintClientEdge(dc, RECT{insets.left - layout.edge, insets.top - layout.edge, whole.right - insets.right + layout.edge,
                             whole.bottom - insets.bottom + layout.edge});
  } else if (layout.edge == StaticEdgeWidth) {
    RECT insets = layout.insets;
    Bevel(dc, RECT{insets.left - 1, insets.top - 1, whole.right - insets.right + 1, whole.bottom - insets.bottom + 1},
          COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  }
  ReleaseDC(window->handle, dc);
}

}  // namespace kwplatform
