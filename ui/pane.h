// Panes: the engine's views. Every visible element of a window, the window itself included, is
// a pane with a rectangle in the client coordinates of its top-level window, text attributes,
// a place in the tree, visibility and enabling flags and, usually, a window of its own.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "graphics/drawing_device.h"
#include "graphics/port_rect.h"
#include "platform/win32.h"

struct DrawingPort;
class Pane;

// An optional object attached to a pane that may adjust its invalidation and hit rectangles and
// takes part in drawing set-up. No built-in class installs one.
class PaneAdornment {
 public:
  virtual ~PaneAdornment() = default;
  virtual PortRect AdjustRect(const Pane& pane, PortRect rect) = 0;
  virtual void BeginDrawing(Pane& pane) = 0;
  virtual void EndDrawing(Pane& pane) = 0;
  virtual void Detach(Pane& pane) = 0;
};

// A rectangle and text attributes.
struct View {
  PaneAdornment* adornment = nullptr;
  PortRect bounds = {0, 0, 0, 0};  // in the client coordinates of the top-level window
  int32_t width = 0;               // right - left
  int32_t height = 0;              // bottom - top
  RuntimeString* textFont = nullptr;
  int32_t textSize = 12;
  int32_t textStyle = 0;
  int32_t reserved = 0;
};

// Modifier bits of mouse and key operations.
enum PaneModifiers : int32_t { ShiftModifier = 1, ControlModifier = 2 };

// Notification codes of Notify.
enum PaneNotification : int32_t {
  EnableNotification = 5,
  DisableNotification = 6,
  ShowNotification = 7,
  HideNotification = 8,
  WindowActivatedNotification = 1000,
  WindowDeactivatedNotification = 1001,
};

// Called by Visit on each pane in tab order; false stops the walk.
using PaneVisitor = bool (*)(Pane* pane, void* data);

// Where a new pane goes and what window it gets. Bounds are in top-level client coordinates;
// an empty class name makes a windowless pane.
struct PaneCreation {
  Pane* parent;
  PortRect bounds;
  const char* title;
  const char* className;
  DWORD style;
  DWORD extendedStyle;
};

// Bounds packed as two points, each with the vertical value in the low 16 bits and the
// horizontal in the high 16 bits.
PortRect BoundsFromPackedPoints(uint32_t topLeft, uint32_t bottomRight);

class Pane : public View, public DrawingDevice {
 public:
  explicit Pane(const PaneCreation& creation);
  Pane(const Pane&) = delete;
  Pane& operator=(const Pane&) = delete;

  // The operations the engine calls, in the order of the engine's operation table.
  virtual void BeginDrawing();
  virtual void PrepareDrawing() {}
  virtual void EndDrawing();
  virtual void Paint(DrawingPort*) {}
  virtual void Destroy() { delete this; }
  virtual bool MouseDown(int32_t, int32_t, int32_t) { return false; }
  virtual bool MouseDownFromParent(int32_t, int32_t, int32_t) { return false; }
  virtual void MouseDrag(int32_t, int32_t) {}
  virtual void MouseMove(int32_t, int32_t) {}
  virtual void MouseUp(int32_t, int32_t) {}
  virtual HDC AcquirePaneDC();
  virtual void ReleasePaneDC(bool counted);
  virtual void Broadcast(int32_t) {}
  virtual bool ClaimsReturn() { return false; }
  virtual void LoseFocus() {}
  virtual void GainFocus() {}
  virtual bool AcceptsFocus() { return false; }
  virtual void SetBounds(PortRect rect, bool redraw);
  virtual bool KeyDown(int32_t, int32_t, int32_t) { return false; }
  virtual bool ForwardToParent(int32_t a, int32_t b, int32_t c);
  virtual void TabEntered() {}
  virtual void Notify(int32_t code);
  virtual void Idle() {}
  virtual bool SetCursorAt(int32_t x, int32_t y);
  virtual void Invalidate();
  virtual void EnableMenuItems();
  virtual bool MenuCommand(int32_t) { return false; }
  virtual void Close();
  virtual void SetEnabled(bool on, bool redraw);
  virtual void SetVisible(bool on);
  virtual void SetShownOnTab(bool on);
  virtual void ShownChanged(bool wasShown, bool isShown);
  virtual Pane* DefaultButton() { return nullptr; }
  virtual Pane* CancelButton() { return nullptr; }
  virtual void PerformDefaultAction() {}
  virtual bool Visit(PaneVisitor visitor, void* data) { return visitor(this, data); }
  virtual void DrawInto(DrawingPort*) {}

  // The pane as the device of a drawing port.
  void BeginDeviceDrawing() override;
  void EndDeviceDrawing() override;
  HDC BorrowDC(uint32_t* token) override;
  void ReturnDC(HDC dc, uint32_t token) override;
  int16_t DeviceLeft() const override { return bounds.left; }
  int16_t DeviceTop() const override { return bounds.top; }
  int32_t DeviceWidth() const override { return width; }
  int32_t DeviceHeight() const override { return height; }
  void DestroyDevice() override {}  // ports never own panes

  // Visible and on its current tab: only shown panes are hit, choose cursors and get the mouse.
  bool IsShown() const { return visible && shownOnTab; }
  // The pane's bounds as its adornment adjusts them; the point test includes the top and left
  // edges and excludes the bottom and right.
  PortRect HitRect() const;
  bool HitRectContains(int32_t x, int32_t y) const;
  // The root of the tree (the top-level window's pane) and the nearest pane with a window.
  Pane* TopLevel();
  Pane* WindowedPane();
  HWND TopLevelWindow();
  // A top-level rectangle in the client coordinates of the pane's parent window.
  RECT RectInParentWindow(PortRect rect);
  void StoreBounds(PortRect rect);

  // Tree fields.
  Pane* parent = nullptr;
  Pane* nextSibling = nullptr;
  Pane* firstChild = nullptr;
  int32_t tabPanelIndex = -1;
  uint8_t visible = 1;
  uint8_t shownOnTab = 1;
  uint8_t enabled = 1;
  uint8_t dying = 0;
  uint8_t noRedraw = 0;
  HWND handle = nullptr;
  HDC paintDC = nullptr;  // during painting
  HDC ownDC = nullptr;    // from GetDC, counted by ownDCUses
  int32_t ownDCUses = 0;
  HCURSOR cursor = nullptr;

 protected:
  // Destruction goes through Destroy, which close calls last.
  ~Pane() override;
  void SetShownFlag(uint8_t* flag, bool on);
};

// A pane whose operations are forwarded to its children: top-level windows, canvases and the
// native control panes.
class ContainerPane : public Pane {
 public:
  using Pane::Pane;

  bool MouseDownFromParent(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseMove(int32_t x, int32_t y) override;
  void Broadcast(int32_t value) override;
  void Notify(int32_t code) override;
  bool SetCursorAt(int32_t x, int32_t y) override;
  void Close() override;
  void SetEnabled(bool on, bool redraw) override;
  void SetVisible(bool on) override;
  void SetShownOnTab(bool on) override;
  Pane* DefaultButton() override;
  Pane* CancelButton() override;
  bool Visit(PaneVisitor visitor, void* data) override;
  void DrawInto(DrawingPort* port) override;

 protected:
  // The container's own part of Broadcast, before its children hear it.
  virtual void HandleBroadcast(int32_t) {}
};
