#include "ui/pane_painting.h"

#include <vector>

#include "graphics/drawing_port.h"
#include "ui/pane_state.h"

namespace {

constexpr UINT BaselineAlignment = 24;  // TA_BASELINE | TA_LEFT

void InvalidateTopLevelRect(Pane* pane, PortRect rect) {
  HWND window = pane->TopLevelWindow();
  if (window == nullptr) return;
  RECT area = {rect.left, rect.top, rect.right, rect.bottom};
  InvalidateRect(window, &area, TRUE);
}

}  // namespace

HDC Pane::AcquirePaneDC() {
  // A windowless pane draws in the nearest window of its tree.
  Pane* host = WindowedPane();
  if (host == nullptr) return nullptr;
  if (host->paintDC) return host->paintDC;
  if (host->ownDCUses++ == 0) {
    host->ownDC = GetDC(host->handle);
    // Drawing uses top-level client coordinates and baseline-aligned text.
    SetViewportOrgEx(host->ownDC, -host->bounds.left, -host->bounds.top, nullptr);
    SetTextAlign(host->ownDC, BaselineAlignment);
  }
  return host->ownDC;
}

void Pane::ReleasePaneDC(bool counted) {
  Pane* host = WindowedPane();
  if (!counted || host == nullptr || host->ownDCUses == 0) return;
  if (--host->ownDCUses == 0) {
    ::ReleaseDC(host->handle, host->ownDC);
    host->ownDC = nullptr;
  }
}

void Pane::Invalidate() {
  MakeDrawingTarget(this);
  InvalidateTopLevelRect(this, HitRect());
}

void Pane::BeginDeviceDrawing() { MakeDrawingTarget(this); }

void Pane::EndDeviceDrawing() {
  if (DrawingTarget() == this) EndDrawingTarget();
}

HDC Pane::BorrowDC(uint32_t* token) {
  Pane* host = WindowedPane();
  // The paint context belongs to painting; only a context from GetDC is counted and released.
  *token = host && host->paintDC == nullptr;
  return AcquirePaneDC();
}

void Pane::ReturnDC(HDC, uint32_t token) { ReleasePaneDC(token != 0); }

DrawingPort* NewPanePort(Pane* pane) {
  DrawingPort* port = NewDrawingPort(pane);
  PortSetFont(port, pane->textFont, pane->textSize, pane->textStyle);
  return port;
}

void PaintPane(Pane* pane) {
  if (pane == nullptr || pane->dying || pane->handle == nullptr) return;
  EndDrawingTarget();
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(pane->handle, &paint);
  pane->paintDC = dc;
  SetTextAlign(dc, BaselineAlignment);
  SetViewportOrgEx(dc, -pane->bounds.left, -pane->bounds.top, nullptr);
  DrawingPort* port = NewPanePort(pane);
  pane->Paint(port);
  DestroyDrawingPort(port);
  EndPaint(pane->handle, &paint);
  pane->paintDC = nullptr;
  EndDrawingTarget();
}

namespace {

// Paints the pane's window now. The windows above it that wait for painting are painted first:
// their erase would otherwise cover the pane after it was painted, as the invalidation of the
// top-level window reaches them too.
void PaintNow(Pane* pane) {
  Pane* host = pane->WindowedPane();
  std::vector<Pane*> above;
  for (Pane* ancestor = host && host->parent ? host->parent->WindowedPane() : nullptr; ancestor;
       ancestor = ancestor->parent ? ancestor->parent->WindowedPane() : nullptr)
    above.push_back(ancestor);
  for (auto ancestor = above.rbegin(); ancestor != above.rend(); ++ancestor)
    if (GetUpdateRect((*ancestor)->handle, nullptr, FALSE)) PaintPane(*ancestor);
  PaintPane(host);
}

}  // namespace

void RefreshPane(Pane* pane) {
  pane->Invalidate();
  PaintNow(pane);
}

void RefreshPaneRect(Pane* pane, PortRect rect) {
  MakeDrawingTarget(pane);
  InvalidateTopLevelRect(pane, rect);
  PaintNow(pane);
}
