// The layer's test interface: observe and steer what the headless platform does. Used by
// tests only, never by the engine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace kwtesting {

struct MessageBoxRecord {
  std::string caption;
  std::string text;
  unsigned type;
};

// Every message box shown since the last clear, oldest first.
std::vector<MessageBoxRecord> MessageBoxesShown();
void ClearMessageBoxes();

// The answer the next message box returns; without one it returns its first button.
void PresetMessageBoxAnswer(int answer);

// After count more successful allocations the process heap fails every request;
// a negative count restores normal service.
void FailHeapAllocationsAfter(long count);

// Selects the ANSI code page (1252 or 932) for the rest of the process, as the layer's
// environment variable KW_ANSI_CODE_PAGE does at start; false for a page the layer lacks.
bool SelectAnsiCodePage(unsigned page);

// GetTickCount returns value (modulo 2^32) until released.
void FreezeTickCount(unsigned long value);
void ReleaseTickCount();

// Beeps: the type of every MessageBeep since the last clear, oldest first.
std::vector<unsigned> BeepsSounded();
void ClearBeeps();

// Cursors.
struct CursorDescription {
  int hotSpotX = 0;
  int hotSpotY = 0;
  int width = 0;
  int height = 0;
  std::vector<unsigned char> andPlane;  // empty for the standard cursors
  std::vector<unsigned char> xorPlane;
  int standardId = 0;  // the IDC_ value of a standard cursor, else 0
};
// The cursor last set by SetCursor (null at start).
HCURSOR CurrentCursor();
bool DescribeCursor(HCURSOR cursor, CursorDescription* description);

// Windows: every live window, each top-level window (top of the z-order first) followed by its
// descendants depth first, children top first; message-only windows come last.
struct WindowDescription {
  HWND handle;
  std::string className;
  std::string text;
  bool visible;  // as IsWindowVisible answers
  HWND parent;   // null for top-level and message-only windows
  bool messageOnly;
  HWND owner;         // top-level windows: the owner, or null
  RECT windowRect;    // on the screen
  RECT clientRect;    // on the screen
  DWORD style;
  DWORD exStyle;
  bool enabled;       // the window's own WS_DISABLED is clear
  bool focused;       // has the keyboard focus
  bool active;        // is the active window
  bool capturing;     // holds the mouse capture
};
std::vector<WindowDescription> ListWindows();
// The window and its descendants, in the same order.
std::vector<WindowDescription> ListWindowTree(HWND window);
bool DescribeWindow(HWND window, WindowDescription* description);

// Input through the layer's input path, queued like a device's in the calling thread's message
// queue: each event takes effect (cursor position, key state, hit testing, capture,
// WM_MOUSEACTIVATE and activation, WM_SETCURSOR) when the message loop reaches it, and becomes
// the message posted to the window it went to. Positions are screen coordinates.
enum Modifier : unsigned { NoModifier = 0, ShiftKey = 1, ControlKey = 2, AltKey = 4 };
enum class MouseButton { Left, Right, Middle };
void MoveMouse(int x, int y);
void PressMouseButton(int x, int y, MouseButton button = MouseButton::Left);
void ReleaseMouseButton(int x, int y, MouseButton button = MouseButton::Left);
// A move to the point, a press and a release, with the modifier keys held around them.
void Click(int x, int y, unsigned modifiers = NoModifier, MouseButton button = MouseButton::Left);
// A press at the start, moves in steps to the end, and a release there.
void Drag(int fromX, int fromY, int toX, int toY, unsigned modifiers = NoModifier, int steps = 4);
void PressKeyDown(int virtualKey);
void ReleaseKey(int virtualKey);
// A key pressed and released, with the modifier keys held around it.
void PressKey(int virtualKey, unsigned modifiers = NoModifier);
// Types each character with its key (and Shift); false, typing nothing, when a character has
// no key on a US keyboard.
bool TypeText(const std::string& text);
// Clicks the close box of a window's caption (its default handling closes the window with
// WM_CLOSE); false when the window is not visible or has no close box.
bool ClickCloseBox(HWND window);
// A screen point from a point of a window's client area.
POINT ScreenPoint(HWND window, int clientX, int clientY);

// Pixels: 0x00RRGGBB. A window's pixel at a point of its client area, as drawn in its top-level
// window's surface; a pixel of the screen composed from the visible top-level windows.
bool ReadWindowPixel(HWND window, int clientX, int clientY, uint32_t* pixel);
bool ReadScreenPixel(int x, int y, uint32_t* pixel);
// PNG files: a window (its whole window rectangle, frame included) or the screen.
bool SaveWindowPng(HWND window, const std::string& path);
bool SaveScreenPng(const std::string& path);

// Runs the calling thread's message loop (retrieve, translate, dispatch) until `until` holds,
// WM_QUIT is retrieved (its exit code goes to quitCode), or nothing is left: no message is
// waiting and, when `until` is given, no timer or watched descriptor could still bring one
// (the loop waits for those without spinning). Without `until` it only empties the queue.
enum class PumpOutcome { ConditionMet, QueueEmpty, Quit };
PumpOutcome PumpMessages(const std::function<bool()>& until = nullptr, int* quitCode = nullptr);

// Runs one turn of the calling thread's message loop without waiting: retrieves one message
// (input events become their messages first) and translates and dispatches it. Returns
// ConditionMet when a message was dispatched, QueueEmpty when none was waiting, Quit (with the
// exit code) for WM_QUIT.
PumpOutcome StepMessage(int* quitCode = nullptr);

// Adds to every later GetTickCount value (to reach the 2^32 wrap); timers are not affected.
void ShiftTickCount(uint32_t milliseconds);

// Processor time, user and system, that the calling thread has used, in microseconds.
uint64_t ThreadProcessorMicroseconds();

// File dialogs: headless, each answered by the next preset answer (a path, or cancel); without
// one a dialog is cancelled. Every dialog shown is recorded.
struct FileDialogRecord {
  bool save;
  HWND owner;
  std::vector<std::pair<std::string, std::string>> filter;  // (name, pattern) entries
  std::string defaultExtension;
  unsigned flags;
};
void PresetFileDialogAnswer(const std::string& path);
void PresetFileDialogCancel();
std::vector<FileDialogRecord> FileDialogsShown();
void ClearFileDialogs();

}  // namespace kwtesting
