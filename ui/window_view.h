// The top-level pane: a container over a "KWWindow" window, holding the window's remembered
// focus and its activity. Language windows extend it with their events.
#pragma once

#include "ui/pane.h"

class WindowView : public ContainerPane {
 public:
  // Creates the window (hidden) for a client area of width x height at (x, y) on the screen;
  // the view's own bounds are its client area, (0, 0) at the top left.
  WindowView(const char* title, DWORD style, DWORD extendedStyle, int32_t x, int32_t y, int32_t width,
             int32_t height);

  // The window procedure's share of each message; true when the view answered it (result).
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // Activation and deactivation of the window.
  virtual void Activate();
  virtual void Deactivate();

  // Closes the children and the view, and destroys the window.
  void CloseView();

  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;

  Pane* rememberedFocus = nullptr;  // refocused when the window is activated again
  bool active = false;

 protected:
  ~WindowView() override;
};

// The window view at the root of the pane's tree, or null.
WindowView* WindowViewOf(Pane* pane);
// The view of a "KWWindow" window, or null.
WindowView* WindowViewOfWindow(HWND window);

// Registers "KWWindow" and "KW_Pane".
void RegisterPaneWindowClasses();
