#include "platform/user/focus.h"

#include <atomic>

namespace kwplatform {

namespace {

// Written on the windows' thread; atomics so that the test interface may read them anywhere.
std::atomic<HWND> focus{nullptr};
std::atomic<HWND> active{nullptr};
std::atomic<HWND> capture{nullptr};

bool WithinTree(HWND root, HWND window) { return window != nullptr && (window == root || IsDescendant(root, window)); }

std::shared_ptr<Window> LiveWindow(HWND handle) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  return window && window->stage != WindowStage::Destroyed ? window : nullptr;
}

// The window that becomes active when the active window goes: its owner when that can be
// active, else the topmost top-level window that can.
HWND Successor(const Window& leaving) {
  auto eligible = [&](HWND candidate) {
    std::shared_ptr<Window> window = LookUpWindow(candidate);
    return window && candidate != leaving.handle && window->stage == WindowStage::Alive && IsVisible(*window) &&
           IsEnabled(*window) && window->queue == leaving.queue;
  };
  if (leaving.owner != nullptr && eligible(leaving.owner)) return leaving.owner;
  for (HWND candidate : TopLevelWindows())
    if (eligible(candidate)) return candidate;
  return nullptr;
}

void ReleaseCaptureOf(HWND window) {
  HWND expected = window;
  if (!capture.compare_exchange_strong(expected, nullptr)) return;
  if (std::shared_ptr<Window> record = LiveWindow(window)) SendToWindow(record, WM_CAPTURECHANGED, 0, 0);
}

}  // namespace

HWND FocusWindow() { return focus.load(); }
HWND ActiveWindow() { return active.load(); }
HWND CaptureWindow() { return capture.load(); }

void Activate(HWND window, bool bringToTop, bool byClick) {
  HWND previous = active.load();
  if (window != nullptr && bringToTop) BringToTop(window);
  if (window == previous) return;
  active = window;
  if (std::shared_ptr<Window> old = LiveWindow(previous)) {
    SendToWindow(old, WM_NCACTIVATE, FALSE, 0);
    SendToWindow(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(window));
  }
  if (std::shared_ptr<Window> next = LiveWindow(window)) {
    if (active.load() != window) return;  // the old window's handler activated another
    SendToWindow(next, WM_NCACTIVATE, TRUE, 0);
    SendToWindow(next, WM_ACTIVATE, MAKEWPARAM(byClick ? WA_CLICKACTIVE : WA_ACTIVE, 0),
                 reinterpret_cast<LPARAM>(previous));
  }
  // The focus always lies inside the active window, or nowhere.
  HWND focused = focus.load();
  if (focused != nullptr && active.load() == window && !WithinTree(window, focused)) ChangeFocus(nullptr);
}

HWND ChangeFocus(HWND window) {
  HWND previous = focus.load();
  if (previous == window) return previous;
  focus = window;
  if (std::shared_ptr<Window> old = LiveWindow(previous))
    SendToWindow(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  // The old window's handler may have moved the focus elsewhere: then the new window never got it.
  if (std::shared_ptr<Window> next = LiveWindow(window); next && focus.load() == window)
    SendToWindow(next, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

void WithdrawInput(const std::shared_ptr<Window>& window, bool destroying) {
  HWND handle = window->handle;
  if (window->parent == nullptr && active.load() == handle) Activate(Successor(*window), true);
  if (WithinTree(handle, focus.load())) {
    std::shared_ptr<Window> parent = window->parent ? LiveWindow(window->parent) : nullptr;
    ChangeFocus(parent && parent->stage == WindowStage::Alive ? parent->handle : nullptr);
  }
  if (destroying && WithinTree(handle, capture.load())) ReleaseCaptureOf(capture.load());
}

void ForgetInputState(HWND window) {
  for (std::atomic<HWND>* held : {&focus, &active, &capture}) {
    HWND expected = window;
    held->compare_exchange_strong(expected, nullptr);
  }
}

}  // namespace kwplatform

using kwplatform::LookUpOwnWindow;

extern "C" {

HWND WINAPI GetFocus(void) { return kwplatform::FocusWindow(); }
HWND WINAPI GetActiveWindow(void) { return kwplatform::ActiveWindow(); }
HWND WINAPI GetForegroundWindow(void) { return kwplatform::ActiveWindow(); }
HWND WINAPI GetCapture(void) { return kwplatform::CaptureWindow(); }

HWND WINAPI SetFocus(HWND handle) {
  if (handle == nullptr) return kwplatform::ChangeFocus(nullptr);
  std::shared_ptr<kwplatform::Window> window = LookUpOwnWindow(handle);
  if (!window || window->stage != kwplatform::WindowStage::Alive) return nullptr;
  HWND previous = kwplatform::FocusWindow();
  // Focusing a window activates its top-level window first.
  std::shared_ptr<kwplatform::Window> top = kwplatform::TopLevelOf(handle);
  if (top && top->handle != kwplatform::ActiveWindow() && !top->messageOnly) kwplatform::Activate(top->handle, true);
  if (window->stage != kwplatform::WindowStage::Alive) return nullptr;
  kwplatform::ChangeFocus(handle);
  return previous;
}

HWND WINAPI SetActiveWindow(HWND handle) {
  std::shared_ptr<kwplatform::Window> window = LookUpOwnWindow(handle);
  if (!window || window->stage != kwplatform::WindowStage::Alive) return nullptr;
  std::shared_ptr<kwplatform::Window> top = kwplatform::TopLevelOf(handle);
  if (!top || top->messageOnly || !kwplatform::IsEnabled(*top)) return nullptr;
  HWND previous = kwplatform::ActiveWindow();
  kwplatform::Activate(top->handle, true);
  return previous;
}

BOOL WINAPI SetForegroundWindow(HWND handle) {
  std::shared_ptr<kwplatform::Window> window = LookUpOwnWindow(handle);
  if (!window || window->stage != kwplatform::WindowStage::Alive || window->messageOnly) return FALSE;
  std::shared_ptr<kwplatform::Window> top = kwplatform::TopLevelOf(handle);
  if (!top) return FALSE;
  kwplatform::Activate(top->handle, true);
  return TRUE;
}

HWND WINAPI SetCapture(HWND handle) {
  std::shared_ptr<kwplatform::Window> window = LookUpOwnWindow(handle);
  if (!window || window->stage != kwplatform::WindowStage::Alive) return nullptr;
  HWND previous = kwplatform::CaptureWindow();
  if (previous == handle) return previous;
  kwplatform::capture = handle;
  if (std::shared_ptr<kwplatform::Window> old = kwplatform::LiveWindow(previous))
    kwplatform::SendToWindow(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
  return previous;
}

BOOL WINAPI ReleaseCapture(void) {
  if (HWND held = kwplatform::CaptureWindow()) kwplatform::ReleaseCaptureOf(held);
  return TRUE;
}

BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
  std::shared_ptr<kwplatform::Window> window = LookUpOwnWindow(handle);
  if (!window || window->stage != kwplatform::WindowStage::Alive) return FALSE;
  bool wasDisabled = !kwplatform::IsEnabled(*window);
  if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
  if (!enable) {
    // Modes end first (the default handling of WM_CANCELMODE releases this window's capture);
    // a disabled window keeps neither the focus nor a focused child.
    kwplatform::SendToWindow(window, WM_CANCELMODE, 0, 0);
    window->style |= WS_DISABLED;
    if (kwplatform::WithinTree(handle, kwplatform::FocusWindow())) kwplatform::ChangeFocus(nullptr);
  } else {
    window->style &= ~WS_DISABLED;
  }
  kwplatform::SendToWindow(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND handle) {
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  return window && kwplatform::IsEnabled(*window) ? TRUE : FALSE;
}

}  // extern "C"
