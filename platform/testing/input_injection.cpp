// The test interface's input: events queued through the layer's input path.
#include "platform/testing/testing.h"
#include "platform/user/input.h"
#include "platform/user/keyboard.h"
#include "platform/user/window.h"
#include "platform/user/window_geometry.h"

namespace kwtesting {

namespace {

using kwplatform::InputEvent;

void QueueMouse(InputEvent::Kind kind, int x, int y, MouseButton button) {
  InputEvent event;
  event.kind = kind;
  event.point = POINT{x, y};
  event.button = static_cast<int>(button);
  kwplatform::QueueInput(event);
}

void QueueKey(InputEvent::Kind kind, int virtualKey) {
  InputEvent event;
  event.kind = kind;
  event.virtualKey = virtualKey;
  kwplatform::QueueInput(event);
}

constexpr struct {
  unsigned modifier;
  int key;
} modifierKeys[] = {{ControlKey, VK_CONTROL}, {ShiftKey, VK_SHIFT}, {AltKey, VK_MENU}};

void HoldModifiers(unsigned modifiers) {
  for (const auto& modifier : modifierKeys)
    if (modifiers & modifier.modifier) QueueKey(InputEvent::Kind::KeyDown, modifier.key);
}

void LetGoOfModifiers(unsigned modifiers) {
  for (auto modifier = std::rbegin(modifierKeys); modifier != std::rend(modifierKeys); ++modifier)
    if (modifiers & modifier->modifier) QueueKey(InputEvent::Kind::KeyUp, modifier->key);
}

}  // namespace

void MoveMouse(int x, int y) { QueueMouse(InputEvent::Kind::MouseMove, x, y, MouseButton::Left); }

void PressMouseButton(int x, int y, MouseButton button) { QueueMouse(InputEvent::Kind::ButtonDown, x, y, button); }

void ReleaseMouseButton(int x, int y, MouseButton button) { QueueMouse(InputEvent::Kind::ButtonUp, x, y, button); }

void Click(int x, int y, unsigned modifiers, MouseButton button) {
  HoldModifiers(modifiers);
  MoveMouse(x, y);
  PressMouseButton(x, y, button);
  ReleaseMouseButton(x, y, button);
  LetGoOfModifiers(modifiers);
}

void Drag(int fromX, int fromY, int toX, int toY, unsigned modifiers, int steps) {
  if (steps < 1) steps = 1;
  HoldModifiers(modifiers);
  MoveMouse(fromX, fromY);
  PressMouseButton(fromX, fromY);
  for (int step = 1; step <= steps; step++)
    MoveMouse(fromX + (toX - fromX) * step / steps, fromY + (toY - fromY) * step / steps);
  ReleaseMouseButton(toX, toY);
  LetGoOfModifiers(modifiers);
}

void PressKeyDown(int virtualKey) { QueueKey(InputEvent::Kind::KeyDown, virtualKey); }

void ReleaseKey(int virtualKey) { QueueKey(InputEvent::Kind::KeyUp, virtualKey); }

void PressKey(int virtualKey, unsigned modifiers) {
  HoldModifiers(modifiers);
  PressKeyDown(virtualKey);
  ReleaseKey(virtualKey);
  LetGoOfModifiers(modifiers);
}

bool TypeText(const std::string& text) {
  std::vector<std::pair<int, bool>> keys;
  for (char character : text) {
    int key = 0;
    bool shift = false;
    if (!kwplatform::KeyForCharacter(character, &key, &shift)) return false;
    keys.emplace_back(key, shift);
  }
  for (auto [key, shift] : keys) PressKey(key, shift ? ShiftKey : NoModifier);
  return true;
}

bool ClickCloseBox(HWND handle) {
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  if (!window || !kwplatform::IsVisible(*window)) return false;
  RECT box = kwplatform::LayOutFrame(*window).closeBox;
  if (kwplatform::RectangleIsEmpty(box)) return false;
  POINT origin = kwplatform::WindowOriginOnScreen(*window);
  Click(origin.x + (box.left + box.right) / 2, origin.y + (box.top + box.bottom) / 2);
  return true;
}

POINT ScreenPoint(HWND window, int clientX, int clientY) {
  POINT point = {clientX, clientY};
  ClientToScreen(window, &point);
  return point;
}

}  // namespace kwtesting
