#include "platform/user/input.h"

#include <cstdlib>

#include "platform/kernel/time.h"
#include "platform/user/cursor.h"
#include "platform/user/focus.h"
#include "platform/user/hit_testing.h"
#include "platform/user/keyboard.h"
#include "platform/user/message_queue.h"
#include "platform/user/window.h"
#include "platform/user/window_geometry.h"

namespace kwplatform {

namespace {

constexpr int buttonKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
// Client-area messages of each button: press, release, double click.
// The messages of the mouse, in the client area and over the frame: the move, then the press
// and the release of each button (left, right, middle).
struct MouseMessages {
  UINT move;
  UINT buttons[3][2];
};
constexpr MouseMessages clientMessages = {
    WM_MOUSEMOVE, {{WM_LBUTTONDOWN, WM_LBUTTONUP}, {WM_RBUTTONDOWN, WM_RBUTTONUP}, {WM_MBUTTONDOWN, WM_MBUTTONUP}}};
constexpr MouseMessages nonClientMessages = {WM_NCMOUSEMOVE,
                                             {{WM_NCLBUTTONDOWN, WM_NCLBUTTONUP},
                                              {WM_NCRBUTTONDOWN, WM_NCRBUTTONUP},
                                              {WM_NCMBUTTONDOWN, WM_NCMBUTTONUP}}};

// The mouse buttons and modifier keys down, as the MK_ flags of a mouse message.
WPARAM MouseKeyState() {
  constexpr struct {
    int key;
    WPARAM flag;
  } keys[] = {{VK_LBUTTON, MK_LBUTTON}, {VK_RBUTTON, MK_RBUTTON}, {VK_MBUTTON, MK_MBUTTON},
              {VK_SHIFT, MK_SHIFT},     {VK_CONTROL, MK_CONTROL}};
  WPARAM state = 0;
  for (const auto& key : keys)
    if (IsKeyDown(key.key)) state |= key.flag;
  return state;
}

UINT MessageOf(const InputEvent& event, const MouseMessages& messages) {
  if (event.kind == InputEvent::Kind::MouseMove) return messages.move;
  return messages.buttons[event.button][event.kind == InputEvent::Kind::ButtonDown ? 0 : 1];
}

// A second press of the same button on a CS_DBLCLKS window, soon and near enough, is a double click.
UINT WithDoubleClick(Window& window, UINT message, const MSG& press) {
  if (!(window.windowClass->style & CS_DBLCLKS)) return message;
  bool doubleClick = window.lastClickMessage == message && press.time - window.lastClickTime <= GetDoubleClickTime() &&
                     std::abs(press.pt.x - window.lastClickPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                     std::abs(press.pt.y - window.lastClickPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  if (doubleClick) {
    window.lastClickMessage = 0;  // a third press starts again
    return message + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
  }
  window.lastClickMessage = message;
  window.lastClickTime = press.time;
  window.lastClickPoint = press.pt;
  return message;
}

// What goes with a mouse event over a window before its message: activation for a press on an
// inactive window (WM_MOUSEACTIVATE decides), then WM_SETCURSOR. False when the message is
// not to be delivered.
bool PrepareDelivery(const std::shared_ptr<Window>& target, int hit, UINT clientMessage, bool press) {
  WPARAM self = reinterpret_cast<WPARAM>(target->handle);
  if (hit == HTERROR) {
    SendToWindow(target, WM_SETCURSOR, self, MAKELPARAM(hit, clientMessage));
    return false;
  }
  bool eaten = false;
  std::shared_ptr<Window> top = TopLevelOf(target->handle);
  if (press && top && top->handle != ActiveWindow()) {
    LRESULT answer =
        SendToWindow(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle), MAKELPARAM(hit, clientMessage));
    if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && top->stage == WindowStage::Alive)
      Activate(top->handle, true, true);
    eaten = answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
  }
  if (target->stage != WindowStage::Alive) return false;
  SendToWindow(target, WM_SETCURSOR, self, MAKELPARAM(hit, clientMessage));
  return !eaten && target->stage == WindowStage::Alive;
}

// A message for a window of another thread goes to that thread's queue as it is: its procedure
// runs only there.
bool HandOver(const std::shared_ptr<Window>& target, const MSG& message) {
  if (target->queue->OwnedByCurrentThread()) return false;
  target->queue->Post(message.hwnd, message.message, message.wParam, message.lParam);
  return true;
}

bool CookMouse(const InputEvent& event, MSG* message) {
  SetCursorPos(event.point.x, event.point.y);
  POINT point = CursorPosition();
  bool press = event.kind == InputEvent::Kind::ButtonDown;
  if (event.kind != InputEvent::Kind::MouseMove) SetKeyDown(buttonKeys[event.button], press);
  UINT clientMessage = MessageOf(event, clientMessages);
  *message = MSG{nullptr, clientMessage, MouseKeyState(), 0, GetTickCount(), point};

  // The capturing window takes every mouse message, in its client coordinates.
  std::shared_ptr<Window> target = LookUpWindow(CaptureWindow());
  int hit = HTCLIENT;
  if (!target) {
    HitTarget found = FindMouseTarget(point);
    target = LookUpWindow(found.window);
    hit = found.code;
    if (!target) return false;
    if (target->queue->OwnedByCurrentThread() && !PrepareDelivery(target, hit, clientMessage, press)) return false;
  }
  message->hwnd = target->handle;
  if (hit != HTCLIENT) {
    // Over the frame: the non-client message, with the hit code and the screen position.
    message->message = MessageOf(event, nonClientMessages);
    message->wParam = static_cast<WPARAM>(hit);
    message->lParam = MAKELPARAM(point.x, point.y);
  } else {
    POINT origin = ClientOriginOnScreen(*target);
    // Coordinates are signed 16-bit values: a captured mouse left of the window gives negative x.
    message->lParam = MAKELPARAM(point.x - origin.x, point.y - origin.y);
    if (press) message->message = WithDoubleClick(*target, clientMessage, *message);
  }
  return !HandOver(target, *message);
}

bool CookKey(const InputEvent& event, MSG* message) {
  int key = event.virtualKey;
  bool press = event.kind == InputEvent::Kind::KeyDown;
  bool wasDown = IsKeyDown(key);
  SetKeyDown(key, press);
  // Keys go to the focus, else to the active window.
  HWND target = FocusWindow();
  if (target == nullptr) target = ActiveWindow();
  std::shared_ptr<Window> window = LookUpWindow(target);
  if (!window || window->stage != WindowStage::Alive) return false;
  // Alt, and F10, make the system forms of the key messages.
  bool system = IsKeyDown(VK_MENU) || key == VK_MENU || key == VK_F10;
  bool extended = false;
  int scanCode = ScanCodeOf(key, &extended);
  // lParam: repeat count 1, scan code (bits 16-23), extended key (24), previous state (30),
  // transition (31).
  DWORD bits = 1u | (static_cast<DWORD>(scanCode & 0xFF) << 16) | (extended ? 1u << 24 : 0u);
  if (press) {
    if (wasDown) bits |= 1u << 30;
  } else {
    bits |= (1u << 30) | (1u << 31);
  }
  UINT number = press ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  *message = MSG{target, number, static_cast<WPARAM>(key), static_cast<LPARAM>(static_cast<LONG>(bits)),
                 GetTickCount(), CursorPosition()};
  return !HandOver(window, *message);
}

}  // namespace

void QueueInput(const InputEvent& event) { MessageQueue::ForCurrentThread()->PostInput(event); }

bool CookInput(const InputEvent& event, MSG* message) {
  if (event.kind == InputEvent::Kind::KeyDown || event.kind == InputEvent::Kind::KeyUp) return CookKey(event, message);
  if (event.button < 0 || event.button > 2) return false;
  return CookMouse(event, message);
}

}  // namespace kwplatform
