// Windows and window classes of the layer: the one record type of a window, the class record,
// and the lookups the rest of the user library shares.
//
// A window's fields change only on the thread that created it, which is also the only thread
// that calls its procedure; other threads reach a window only to post to its queue, which is
// fixed at creation. The parent-child links are guarded by the window tree's lock so that the
// test interface may list windows from any thread.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/region.h"
#include "platform/display/surface.h"
#include "platform/win32.h"

namespace kwplatform {

class MessageQueue;

struct WindowClass {
  ATOM atom = 0;
  std::string name;
  UINT style = 0;
  WNDPROC procedure = nullptr;
  int windowExtraBytes = 0;
  std::vector<unsigned char> classExtraBytes;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  WORD menuId = 0;                  // when the menu is named by an integer resource
  std::atomic<int> liveWindows{0};  // a class with windows cannot be unregistered
};

struct WindowProperty {
  std::string name;  // empty when the property is named by an atom
  ATOM atom = 0;
  HANDLE data = nullptr;
};

enum class WindowStage {
  Alive,       // created (or being created) and not yet being destroyed
  Destroying,  // hidden, WM_DESTROY sent or about to be; still a window until WM_NCDESTROY
  Destroyed,   // WM_NCDESTROY sent and the handle freed
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> windowClass;
  std::shared_ptr<MessageQueue> queue;  // of the creating thread, which owns the window
  WNDPROC procedure = nullptr;
  DWORD style = 0;  // WS_VISIBLE here is the window's own visibility
  DWORD exStyle = 0;
  LONG id = 0;           // a child's identifier (GWL_ID)
  HMENU menu = nullptr;  // a top-level window's menu bar
  LONG userData = 0;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;       // children only
  HWND owner = nullptr;        // top-level windows only: always a top-level window
  bool messageOnly = false;    // created with HWND_MESSAGE as parent: never shown, never listed as top-level
  std::vector<HWND> children;  // z-order, top first: a new child goes on top
  RECT rectangle = {};         // in the parent's client coordinates, or on the screen for top-level windows
  std::string text;
  std::vector<unsigned char> extraBytes;
  std::vector<WindowProperty> properties;
  WindowStage stage = WindowStage::Alive;
  bool destroyMessageSent = false;
  Region updateRegion;        // client coordinates; what WM_PAINT must repaint
  bool erasePending = false;  // WM_ERASEBKGND is due at the next BeginPaint
  bool frameDirty = false;    // WM_NCPAINT is due at the next BeginPaint
  unsigned paintsBegun = 0;   // BeginPaint calls so far: tells whether a WM_PAINT handler painted
  bool captionActive = false;  // the frame is drawn in the active colours
  // A top-level window's pixels, the whole window rectangle; its children draw into their part.
  // Made on first use, so hidden windows cost nothing.
  std::shared_ptr<Surface> surface;
  // The last left or right button press, for double clicks of CS_DBLCLKS classes.
  DWORD lastClickTime = 0;
  UINT lastClickMessage = 0;
  POINT lastClickPoint = {0, 0};
};

// The record of a live window (WM_NCDESTROY not yet sent), or null for a stale or foreign handle.
std::shared_ptr<Window> LookUpWindow(HWND window);

// The record of a window that belongs to the calling thread, or null.
std::shared_ptr<Window> LookUpOwnWindow(HWND window);

// Whether window is a child, grandchild... of ancestor.
bool IsDescendant(HWND ancestor, HWND window);

// Calls a window procedure; a null procedure answers 0.
LRESULT CallProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sends a message to a window of the calling thread (its current procedure).
LRESULT SendToWindow(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the window and all its ancestors have WS_VISIBLE (message-only windows never do).
bool IsVisible(const Window& window);
bool IsEnabled(const Window& window);  // no WS_DISABLED on the window itself

// Snapshots of the window tree: top-level windows (message-only ones excluded) and a window's
// children, each in z-order, top first.
std::vector<HWND> TopLevelWindows();
std::vector<HWND> ChildrenOf(HWND window);
std::vector<HWND> MessageOnlyWindows();
// The live top-level windows owned by owner.
std::vector<HWND> OwnedWindows(HWND owner);
// The top-level window a window belongs to (itself for a top-level window); null when stale.
std::shared_ptr<Window> TopLevelOf(HWND window);

// Moves a window to the top of its siblings' z-order; a top-level window takes the windows it
// owns along, so that they stay above it.
void BringToTop(HWND window);

// The registered class of that name (case-insensitive) or atom, registered by instance or, when
// none is, by any module.
std::shared_ptr<WindowClass> FindWindowClass(LPCSTR name, HINSTANCE instance);

}  // namespace kwplatform
