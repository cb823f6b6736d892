// Windows: the window table and tree, creation and destruction with their messages, window
// longs and subclassing.
#include "platform/user/window.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/display/screen.h"
#include "platform/kernel/handle_table.h"
#include "platform/user/focus.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_placement.h"

namespace kwplatform {

namespace {

HandleTable<Window>& Windows() {
  static HandleTable<Window> table(HandleKind::Window);
  return table;
}

// Guards every window's children list and the lists below.
std::mutex treeLock;
std::vector<HWND> topLevelWindows;  // z-order, top first
std::vector<HWND> messageOnlyWindows;

void Unlink(const Window& window) {
  std::lock_guard<std::mutex> guard(treeLock);
  std::vector<HWND>* siblings = &topLevelWindows;
  if (window.messageOnly && window.parent == nullptr) siblings = &messageOnlyWindows;
  std::shared_ptr<Window> parent;
  if (window.parent != nullptr && (parent = Windows().Find(HandleValue(window.parent)))) siblings = &parent->children;
  std::erase(*siblings, window.handle);
}

// Window procedures as window longs. In the 32-bit product a LONG holds an address.
// The 64-bit host build keeps the low 32 bits: its code lies in one executable, well within
// 2 GiB of this function, so the nearest address with those low bits is the procedure's.
LONG ProcedureToLong(WNDPROC procedure) {
  return static_cast<LONG>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(procedure)));
}

WNDPROC ProcedureFromBits(uintptr_t bits) {
  if constexpr (sizeof(uintptr_t) == 4) {
    return reinterpret_cast<WNDPROC>(bits);
  } else {
    uint32_t low = static_cast<uint32_t>(bits);
    if (low == 0) return nullptr;
    uint64_t reference = reinterpret_cast<uintptr_t>(&ProcedureFromBits);
    uint64_t candidate = (reference & ~uint64_t{0xFFFFFFFF}) | low;
    if (candidate > reference && candidate - reference > 0x80000000u) candidate -= uint64_t{1} << 32;
    if (candidate < reference && reference - candidate > 0x80000000u) candidate += uint64_t{1} << 32;
    return reinterpret_cast<WNDPROC>(static_cast<uintptr_t>(candidate));
  }
}

WNDPROC ProcedureFromLong(LONG value) { return ProcedureFromBits(static_cast<uint32_t>(value)); }

// WM_DESTROY goes to the window first, then to its children (top of the z-order first), each
// before its own children: while a window handles it, its children still exist.
void SendDestroyMessages(const std::shared_ptr<Window>& window) {
  if (window->destroyMessageSent) return;
  window->destroyMessageSent = true;
  window->stage = WindowStage::Destroying;
  SendToWindow(window, WM_DESTROY, 0, 0);
  for (HWND child : ChildrenOf(window->handle))
    if (std::shared_ptr<Window> record = LookUpWindow(child)) SendDestroyMessages(record);
}

// WM_NCDESTROY goes to the children first, then to the window, whose handle is then freed.
void FreeWindow(const std::shared_ptr<Window>& window) {
  if (window->stage == WindowStage::Destroyed) return;
  window->stage = WindowStage::Destroying;
  for (HWND child : ChildrenOf(window->handle))
    if (std::shared_ptr<Window> record = LookUpWindow(child)) FreeWindow(record);
  SendToWindow(window, WM_NCDESTROY, 0, 0);
  if (window->stage == WindowStage::Destroyed) return;
  window->stage = WindowStage::Destroyed;
  ForgetInputState(window->handle);
  Unlink(*window);
  window->queue->ForgetWindow(window->handle);
  window->properties.clear();
  window->surface.reset();
  window->windowClass->liveWindows--;
  Windows().Remove(HandleValue(window->handle));
}

RECT PlaceWindow(bool child, int x, int y, int width, int height) {
  // CW_USEDEFAULT: a top-level window gets the layer's default place and size, a child nothing.
  ScreenSize screen = ScreenDimensions();
  if (x == CW_USEDEFAULT) x = y = child ? 0 : 32;
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : screen.width * 3 / 4;
    height = child ? 0 : screen.height * 3 / 4;
  }
  // Win32 makes negative sizes empty.
  width = std::max(width, 0);
  height = std::max(height, 0);
  return RECT{x, y, x + width, y + height};
}

}  // namespace

std::shared_ptr<Window> LookUpWindow(HWND window) { return Windows().Find(HandleValue(window)); }

std::shared_ptr<Window> LookUpOwnWindow(HWND window) {
  std::shared_ptr<Window> record = LookUpWindow(window);
  return record && record->queue->OwnedByCurrentThread() ? record : nullptr;
}

bool IsDescendant(HWND ancestor, HWND window) {
  std::shared_ptr<Window> record = LookUpWindow(window);
  while (record && record->parent != nullptr) {
    if (record->parent == ancestor) return true;
    record = LookUpWindow(record->parent);
  }
  return false;
}

LRESULT CallProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return procedure ? procedure(window, message, wParam, lParam) : 0;
}

LRESULT SendToWindow(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallProcedure(window->procedure, window->handle, message, wParam, lParam);
}

bool IsVisible(const Window& window) {
  if (window.messageOnly) return false;
  const Window* current = &window;
  std::shared_ptr<Window> parent;
  for (;;) {
    if (!(current->style & WS_VISIBLE)) return false;
    if (current->parent == nullptr) return true;
    parent = Windows().Find(HandleValue(current->parent));
    if (!parent) return false;
    current = parent.get();
  }
}

bool IsEnabled(const Window& window) { return (window.style & WS_DISABLED) == 0; }

std::vector<HWND> TopLevelWindows() {
  std::lock_guard<std::mutex> guard(treeLock);
  return topLevelWindows;
}

std::vector<HWND> MessageOnlyWindows() {
  std::lock_guard<std::mutex> guard(treeLock);
  return messageOnlyWindows;
}

std::vector<HWND> ChildrenOf(HWND handle) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window) return {};
  std::lock_guard<std::mutex> guard(treeLock);
  return window->children;
}

std::vector<HWND> OwnedWindows(HWND owner) {
  std::vector<HWND> owned;
  if (owner == nullptr) return owned;
  for (HWND candidate : TopLevelWindows()) {
    std::shared_ptr<Window> record = LookUpWindow(candidate);
    if (record && record->owner == owner) owned.push_back(candidate);
  }
  return owned;
}

std::shared_ptr<Window> TopLevelOf(HWND handle) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  while (window && window->parent != nullptr) window = LookUpWindow(window->parent);
  return window;
}

void BringToTop(HWND handle) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window || window->messageOnly) return;
  std::shared_ptr<Window> parent = window->parent ? LookUpWindow(window->parent) : nullptr;
  {
    std::lock_guard<std::mutex> guard(treeLock);
    std::vector<HWND>& siblings = parent ? parent->children : topLevelWindows;
    auto found = std::find(siblings.begin(), siblings.end(), handle);
    if (found == siblings.end()) return;
    siblings.erase(found);
    siblings.insert(siblings.begin(), handle);
  }
  if (parent) return;
  // Owned windows stay above their owner, in their own order: raise them bottom first.
  std::vector<HWND> owned = OwnedWindows(handle);
  for (auto ownedWindow = owned.rbegin(); ownedWindow != owned.rend(); ++ownedWindow) BringToTop(*ownedWindow);
}

}  // namespace kwplatform

using kwplatform::LookUpOwnWindow;
using kwplatform::LookUpWindow;
using kwplatform::Window;
using kwplatform::WindowStage;

extern "C" {

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parentHandle, HMENU menu, HINSTANCE instance, LPVOID parameter) {
  std::shared_ptr<kwplatform::WindowClass> windowClass = kwplatform::FindWindowClass(className, instance);
  if (!windowClass) return nullptr;
  bool messageOnly = parentHandle == HWND_MESSAGE;
  // A parent or owner must belong to the calling thread: a window tree lives on one thread here.
  std::shared_ptr<Window> parent;
  if (parentHandle != nullptr && !messageOnly && !(parent = LookUpOwnWindow(parentHandle))) return nullptr;
  bool child = (style & WS_CHILD) != 0 && parent;
  // Win32 refuses a child window without a parent.
  if ((style & WS_CHILD) && !parent && !messageOnly) return nullptr;

  auto window = std::make_shared<Window>();
  window->windowClass = windowClass;
  window->queue = kwplatform::MessageQueue::ForCurrentThread();
  window->procedure = windowClass->procedure;
  window->style = style & ~WS_VISIBLE;  // shown at the end of creation
  window->exStyle = exStyle;
  window->instance = instance;
  window->messageOnly = messageOnly;
  window->extraBytes.assign(static_cast<size_t>(windowClass->windowExtraBytes), 0);
  window->rectangle = kwplatform::PlaceWindow(child, x, y, width, height);
  if (child) {
    window->parent = parentHandle;
    window->id = static_cast<LONG>(reinterpret_cast<uintptr_t>(menu));
  } else {
    window->menu = menu;
    // An owner is always a top-level window: a child given as owner stands for its top-level ancestor.
    std::shared_ptr<Window> owner = parent;
    while (owner && owner->parent != nullptr) owner = LookUpWindow(owner->parent);
    if (owner) window->owner = owner->handle;
  }
  uint32_t handleValue = kwplatform::Windows().Add(window);
  if (handleValue == 0) return nullptr;
  HWND handle = kwplatform::HandleFromValue<HWND>(handleValue);
  window->handle = handle;
  windowClass->liveWindows++;
  {
    std::lock_guard<std::mutex> guard(kwplatform::treeLock);
    std::vector<HWND>& siblings = child         ? parent->children
                                  : messageOnly ? kwplatform::messageOnlyWindows
                                                : kwplatform::topLevelWindows;
    siblings.insert(siblings.begin(), handle);
  }

  CREATESTRUCTA creation = {};
  creation.lpCreateParams = parameter;
  creation.hInstance = instance;
  creation.hMenu = menu;
  creation.hwndParent = parentHandle;
  creation.x = window->rectangle.left;
  creation.y = window->rectangle.top;
  creation.cx = window->rectangle.right - window->rectangle.left;
  creation.cy = window->rectangle.bottom - window->rectangle.top;
  creation.style = static_cast<LONG>(style);
  creation.lpszName = windowName;
  creation.lpszClass = className;
  creation.dwExStyle = exStyle;

  // Refusing WM_NCCREATE frees the window at once (WM_NCDESTROY only); WM_CREATE answering -1
  // destroys it fully. The procedure may also destroy the window itself at any step.
  if (kwplatform::SendToWindow(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&creation)) == 0) {
    if (window->stage == WindowStage::Alive) kwplatform::FreeWindow(window);
    return nullptr;
  }
  if (window->stage != WindowStage::Alive) return nullptr;
  if (kwplatform::SendToWindow(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (window->stage != WindowStage::Alive) return nullptr;
  // Size and position of the client area reach the window before CreateWindowExA returns.
  kwplatform::SendSizeMessage(window);
  if (window->stage != WindowStage::Alive) return nullptr;
  kwplatform::SendMoveMessage(window);
  if (window->stage != WindowStage::Alive) return nullptr;
  // A window created visible is shown as ShowWindow(SW_SHOW) would: a top-level one is activated.
  if (style & WS_VISIBLE) kwplatform::ShowWindowAs(window, SW_SHOW);
  return window->stage == WindowStage::Alive ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND handle) {
  // Win32 lets only the owning thread destroy a window.
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window) return FALSE;
  // Destruction already under way (a call from the window's own WM_DESTROY) completes as started.
  if (window->stage != WindowStage::Alive) return TRUE;
  window->stage = WindowStage::Destroying;
  // Owned windows go first, then the window is hidden without WM_SHOWWINDOW (Win32 hides it
  // through a position change): activation passes on, and focus and capture leave its tree.
  if (window->parent == nullptr) {
    std::vector<HWND> owned;
    for (auto& [value, record] : kwplatform::Windows().Snapshot())
      if (record->owner == handle) owned.push_back(record->handle);
    for (HWND ownedWindow : owned) DestroyWindow(ownedWindow);
  }
  kwplatform::HideWithoutNotice(window);
  kwplatform::WithdrawInput(window, true);
  kwplatform::SendDestroyMessages(window);
  kwplatform::FreeWindow(window);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND handle) { return LookUpWindow(handle) ? TRUE : FALSE; }

LRESULT WINAPI CallWindowProcA(WNDPROC procedure, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  return kwplatform::CallProcedure(kwplatform::ProcedureFromBits(reinterpret_cast<uintptr_t>(procedure)), handle,
                                   message, wParam, lParam);
}

LONG WINAPI GetWindowLongA(HWND handle, int index) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window) return 0;
  if (index >= 0) {
    // Four bytes of the window's extra bytes, at any offset that leaves them inside.
    if (window->extraBytes.size() < sizeof(LONG) ||
        static_cast<size_t>(index) > window->extraBytes.size() - sizeof(LONG))
      return 0;
    LONG value;
    memcpy(&value, window->extraBytes.data() + index, sizeof value);
    return value;
  }
  switch (index) {
    case GWL_WNDPROC:
      return kwplatform::ProcedureToLong(window->procedure);
    case GWL_STYLE:
      return static_cast<LONG>(window->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(window->exStyle);
    case GWL_ID:
      return window->id;
    case GWL_USERDATA:
      return window->userData;
    case GWL_HINSTANCE:
      return static_cast<LONG>(reinterpret_cast<uintptr_t>(window->instance));
    case GWL_HWNDPARENT:
      return static_cast<LONG>(reinterpret_cast<uintptr_t>(window->parent ? window->parent : window->owner));
    default:
      return 0;
  }
}

LONG WINAPI SetWindowLongA(HWND handle, int index, LONG value) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window) return 0;
  LONG previous;
  if (index >= 0) {
    if (window->extraBytes.size() < sizeof(LONG) ||
        static_cast<size_t>(index) > window->extraBytes.size() - sizeof(LONG))
      return 0;
    memcpy(&previous, window->extraBytes.data() + index, sizeof previous);
    memcpy(window->extraBytes.data() + index, &value, sizeof value);
    return previous;
  }
  switch (index) {
    case GWL_WNDPROC:
      // Subclassing is for the owning thread only, as in Win32.
      if (!window->queue->OwnedByCurrentThread()) return 0;
      previous = kwplatform::ProcedureToLong(window->procedure);
      window->procedure = kwplatform::ProcedureFromLong(value);
      return previous;
    case GWL_STYLE:
      previous = static_cast<LONG>(window->style);
      window->style = static_cast<DWORD>(value);
      return previous;
    case GWL_EXSTYLE:
      previous = static_cast<LONG>(window->exStyle);
      window->exStyle = static_cast<DWORD>(value);
      return previous;
    case GWL_ID:
      previous = window->id;
      window->id = value;
      return previous;
    case GWL_USERDATA:
      previous = window->userData;
      window->userData = value;
      return previous;
    default:
      return 0;
  }
}

}  // extern "C"
