// The pane tree and the operations of leaf and container panes.
#include "ui/pane.h"

#include <vector>

#include "core/runtime_string.h"
#include "loader/application_image.h"
#include "ui/pane_state.h"
#include "ui/pane_window_link.h"
#include "ui/window_view.h"

namespace {

// Child and visible: every pane window starts shown.
constexpr DWORD PaneWindowStyle = 0x50000000;
// Room for a drop-down list below a combo box's bounds.
constexpr int ComboBoxListHeight = 200;

// The shown children containing the point, in list order (topmost last).
std::vector<Pane*> ShownChildrenAt(Pane* parent, int32_t x, int32_t y) {
  std::vector<Pane*> hits;
  for (Pane* child = parent->firstChild; child; child = child->nextSibling)
    if (child->IsShown() && child->HitRectContains(x, y)) hits.push_back(child);
  return hits;
}

bool IsChildOf(Pane* parent, Pane* candidate) {
  for (Pane* child = parent->firstChild; child; child = child->nextSibling)
    if (child == candidate) return true;
  return false;
}

}  // namespace

PortRect BoundsFromPackedPoints(uint32_t topLeft, uint32_t bottomRight) {
  return {static_cast<int16_t>(topLeft & 0xFFFF), static_cast<int16_t>(topLeft >> 16),
          static_cast<int16_t>(bottomRight & 0xFFFF), static_cast<int16_t>(bottomRight >> 16)};
}

Pane::Pane(const PaneCreation& creation) {
  parent = creation.parent;
  StoreBounds(creation.bounds);
  if (creation.className && creation.className[0]) {
    RECT rect = RectInParentWindow(bounds);
    int windowHeight = rect.bottom - rect.top;
    if (lstrcmpiA(creation.className, "COMBOBOX") == 0) windowHeight += ComboBoxListHeight;
    Pane* host = parent ? parent->WindowedPane() : nullptr;
    handle = CreateWindowExA(creation.extendedStyle, creation.className, creation.title ? creation.title : "",
                             creation.style | PaneWindowStyle, rect.left, rect.top, rect.right - rect.left,
                             windowHeight, host ? host->handle : nullptr, nullptr, EngineInstance(), nullptr);
    if (handle && lstrcmpiA(creation.className, "KW_Pane") == 0) LinkWindowToPane(handle, this);
  }
  if (parent) {
    Pane** link = &parent->firstChild;
    while (*link) link = &(*link)->nextSibling;
    *link = this;
  }
}

Pane::~Pane() {
  ForgetPane(this);
  if (parent) {
    for (Pane** link = &parent->firstChild; *link; link = &(*link)->nextSibling) {
      if (*link == this) {
        *link = nextSibling;
        break;
      }
    }
  }
  // Children still linked (a direct deletion) lose their parent rather than keep a dangling one.
  for (Pane* child = firstChild; child; child = child->nextSibling) child->parent = nullptr;
  if (ownDC && handle) ::ReleaseDC(handle, ownDC);
  if (handle && PaneOfWindow(handle) == this) LinkWindowToPane(handle, nullptr);
  StringRelease(textFont);
}

void Pane::StoreBounds(PortRect rect) {
  bounds = rect;
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
}

PortRect Pane::HitRect() const {
  return adornment ? adornment->AdjustRect(*this, bounds) : bounds;
}

bool Pane::HitRectContains(int32_t x, int32_t y) const {
  PortRect rect = HitRect();
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

Pane* Pane::TopLevel() {
  Pane* pane = this;
  while (pane->parent) pane = pane->parent;
  return pane;
}

Pane* Pane::WindowedPane() {
  Pane* pane = this;
  while (pane && pane->handle == nullptr) pane = pane->parent;
  return pane;
}

HWND Pane::TopLevelWindow() { return TopLevel()->handle; }

RECT Pane::RectInParentWindow(PortRect rect) {
  Pane* host = parent ? parent->WindowedPane() : nullptr;
  int32_t dx = host ? host->bounds.left : 0;
  int32_t dy = host ? host->bounds.top : 0;
  return {rect.left - dx, rect.top - dy, rect.right - dx, rect.bottom - dy};
}

void Pane::BeginDrawing() {
  if (adornment)
    adornment->BeginDrawing(*this);
  else if (parent)
    parent->BeginDrawing();
}

void Pane::EndDrawing() {
  if (adornment)
    adornment->EndDrawing(*this);
  else if (parent)
    parent->EndDrawing();
}

bool Pane::ForwardToParent(int32_t a, int32_t b, int32_t c) { return parent ? parent->ForwardToParent(a, b, c) : false; }

void Pane::EnableMenuItems() {
  if (parent) parent->EnableMenuItems();
}

void Pane::Notify(int32_t code) {
  switch (code) {
    case EnableNotification: SetEnabled(true, true); break;
    case DisableNotification: SetEnabled(false, true); break;
    case ShowNotification: SetVisible(true); break;
    case HideNotification: SetVisible(false); break;
    default: break;
  }
}

bool Pane::SetCursorAt(int32_t, int32_t) {
  if (cursor == nullptr) return false;
  ::SetCursor(cursor);
  return true;
}

void Pane::SetBounds(PortRect rect, bool redraw) {
  MakeDrawingTarget(this);
  if (rect == bounds) return;
  if (redraw) Invalidate();
  StoreBounds(rect);
  if (redraw) Invalidate();
  if (handle) {
    RECT place = RectInParentWindow(bounds);
    MoveWindow(handle, place.left, place.top, place.right - place.left, place.bottom - place.top, redraw);
  }
}

void Pane::Close() {
  dying = 1;
  if (adornment) {
    PaneAdornment* detached = adornment;
    adornment = nullptr;
    detached->Detach(*this);
  }
  if (CapturePane() == this) ReleasePaneCapture();
  if (FocusedPane() == this) ChangeFocus(nullptr);
  if (DrawingTarget() == this) EndDrawingTarget();
  WindowView* view = WindowViewOf(this);
  if (view && view->rememberedFocus == this) view->rememberedFocus = nullptr;
  Destroy();
}

void Pane::SetEnabled(bool on, bool redraw) {
  if (enabled == on) return;
  enabled = on;
  if (redraw && !noRedraw) Invalidate();
  if (!on && FocusedPane() == this) {
    if (WindowView* view = WindowViewOf(this)) view->rememberedFocus = nullptr;
    ChangeFocus(nullptr);
  }
}

void Pane::SetShownFlag(uint8_t* flag, bool on) {
  if (*flag == on) return;
  bool wasShown = IsShown();
  *flag = on;
  if (IsShown() != wasShown) ShownChanged(wasShown, IsShown());
}

void Pane::SetVisible(bool on) { SetShownFlag(&visible, on); }
void Pane::SetShownOnTab(bool on) { SetShownFlag(&shownOnTab, on); }

void Pane::ShownChanged(bool, bool isShown) {
  Invalidate();
  if (!isShown && FocusedPane() == this) ChangeFocus(nullptr);
  if (handle) ShowWindow(handle, isShown ? SW_SHOW : SW_HIDE);
}

// Containers.

bool ContainerPane::MouseDownFromParent(int32_t x, int32_t y, int32_t modifiers) {
  std::vector<Pane*> hits = ShownChildrenAt(this, x, y);
  for (auto child = hits.rbegin(); child != hits.rend(); ++child) {
    // A handler may have closed a lower sibling: try only panes still in the list.
    if (IsChildOf(this, *child) && (*child)->MouseDownFromParent(x, y, modifiers)) return true;
  }
  return false;
}

void ContainerPane::MouseMove(int32_t x, int32_t y) {
  for (Pane* child : ShownChildrenAt(this, x, y))
    if (IsChildOf(this, child)) child->MouseMove(x, y);
}

void ContainerPane::Broadcast(int32_t value) {
  HandleBroadcast(value);
  for (Pane* child = firstChild; child; child = child->nextSibling) child->Broadcast(value);
}

void ContainerPane::Notify(int32_t code) {
  for (Pane *child = firstChild, *next; child; child = next) {
    next = child->nextSibling;
    child->Notify(code);
  }
  Pane::Notify(code);
}

bool ContainerPane::SetCursorAt(int32_t x, int32_t y) {
  if (Pane::SetCursorAt(x, y)) return true;
  for (Pane* child : ShownChildrenAt(this, x, y))
    if (child->SetCursorAt(x, y)) return true;
  return false;
}

void ContainerPane::Close() {
  for (Pane *child = firstChild, *next; child; child = next) {
    next = child->nextSibling;
    child->Close();
  }
  Pane::Close();
}

void ContainerPane::SetEnabled(bool on, bool redraw) {
  for (Pane* child = firstChild; child; child = child->nextSibling) child->SetEnabled(on, redraw);
  Pane::SetEnabled(on, redraw);
}

void ContainerPane::SetVisible(bool on) {
  for (Pane* child = firstChild; child; child = child->nextSibling) child->SetVisible(on);
  Pane::SetVisible(on);
}

void ContainerPane::SetShownOnTab(bool on) {
  for (Pane* child = firstChild; child; child = child->nextSibling) child->SetShownOnTab(on);
  Pane::SetShownOnTab(on);
}

Pane* ContainerPane::DefaultButton() {
  for (Pane* child = firstChild; child; child = child->nextSibling)
    if (Pane* button = child->DefaultButton()) return button;
  return nullptr;
}

Pane* ContainerPane::CancelButton() {
  for (Pane* child = firstChild; child; child = child->nextSibling)
    if (Pane* button = child->CancelButton()) return button;
  return nullptr;
}

bool ContainerPane::Visit(PaneVisitor visitor, void* data) {
  if (firstChild == nullptr) return visitor(this, data);
  for (Pane* child = firstChild; child; child = child->nextSibling)
    if (!child->Visit(visitor, data)) return false;
  return true;
}

void ContainerPane::DrawInto(DrawingPort* port) {
  for (Pane* child = firstChild; child; child = child->nextSibling)
    if (child->IsShown() && child->enabled) child->DrawInto(port);
}
