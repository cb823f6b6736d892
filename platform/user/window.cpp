// Windows: creation and destruction with their messages, the default procedure, window longs,
// visibility, and the window list of the test interface.
#include "platform/user/window.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/display/screen.h"
#include "platform/kernel/handle_table.h"
#include "platform/testing/testing.h"
#include "platform/user/message_queue.h"

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

LRESULT Send(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallProcedure(window->procedure, window->handle, message, wParam, lParam);
}

std::vector<HWND> ChildrenOf(const Window& window) {
  std::lock_guard<std::mutex> guard(treeLock);
  return window.children;
}

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

// Shows or hides with WM_SHOWWINDOW, which the window receives before the change takes effect.
bool ChangeVisibility(const std::shared_ptr<Window>& window, bool show) {
  bool wasVisible = (window->style & WS_VISIBLE) != 0;
  if (wasVisible == show) return wasVisible;
  Send(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if (window->stage == WindowStage::Destroyed) return wasVisible;
  if (show)
    window->style |= WS_VISIBLE;
  else
    window->style &= ~WS_VISIBLE;
  return wasVisible;
}

// WM_DESTROY goes to the window first, then to its children (top of the z-order first), each
// before its own children: while a window handles it, its children still exist.
void SendDestroyMessages(const std::shared_ptr<Window>& window) {
  if (window->destroyMessageSent) return;
  window->destroyMessageSent = true;
  window->stage = WindowStage::Destroying;
  Send(window, WM_DESTROY, 0, 0);
  for (HWND child : ChildrenOf(*window))
    if (std::shared_ptr<Window> record = LookUpWindow(child)) SendDestroyMessages(record);
}

// WM_NCDESTROY goes to the children first, then to the window, whose handle is then freed.
void FreeWindow(const std::shared_ptr<Window>& window) {
  if (window->stage == WindowStage::Destroyed) return;
  window->stage = WindowStage::Destroying;
  for (HWND child : ChildrenOf(*window))
    if (std::shared_ptr<Window> record = LookUpWindow(child)) FreeWindow(record);
  Send(window, WM_NCDESTROY, 0, 0);
  if (window->stage == WindowStage::Destroyed) return;
  window->stage = WindowStage::Destroyed;
  Unlink(*window);
  window->queue->ForgetWindow(window->handle);
  window->properties.clear();
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

}  // namespace kwplatform

using kwplatform::LookUpOwnWindow;
using kwplatform::LookUpWindow;
using kwplatform::Window;
using kwplatform::WindowStage;

namespace kwtesting {

namespace {

void Describe(HWND handle, std::vector<WindowDescription>* list) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window) return;
  list->push_back({handle, window->windowClass->name, window->text, kwplatform::IsVisible(*window), window->parent,
                   window->messageOnly});
  for (HWND child : kwplatform::ChildrenOf(*window)) Describe(child, list);
}

}  // namespace

std::vector<WindowDescription> ListWindows() {
  std::vector<HWND> roots;
  {
    std::lock_guard<std::mutex> guard(kwplatform::treeLock);
    roots = kwplatform::topLevelWindows;
    roots.insert(roots.end(), kwplatform::messageOnlyWindows.begin(), kwplatform::messageOnlyWindows.end());
  }
  std::vector<WindowDescription> list;
  for (HWND root : roots) Describe(root, &list);
  return list;
}

}  // namespace kwtesting

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
  if (kwplatform::Send(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&creation)) == 0) {
    if (window->stage == WindowStage::Alive) kwplatform::FreeWindow(window);
    return nullptr;
  }
  if (window->stage != WindowStage::Alive) return nullptr;
  if (kwplatform::Send(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (window->stage != WindowStage::Alive) return nullptr;
  // Size and position reach the window before CreateWindowExA returns; headless, the client
  // area is the whole window.
  kwplatform::Send(window, WM_SIZE, 0, MAKELPARAM(creation.cx, creation.cy));
  if (window->stage != WindowStage::Alive) return nullptr;
  kwplatform::Send(window, WM_MOVE, 0, MAKELPARAM(creation.x, creation.y));
  if (window->stage != WindowStage::Alive) return nullptr;
  if (style & WS_VISIBLE) kwplatform::ChangeVisibility(window, true);
  return window->stage == WindowStage::Alive ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND handle) {
  // Win32 lets only the owning thread destroy a window.
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window) return FALSE;
  // Destruction already under way (a call from the window's own WM_DESTROY) completes as started.
  if (window->stage != WindowStage::Alive) return TRUE;
  window->stage = WindowStage::Destroying;
  // Hidden first, without WM_SHOWWINDOW (Win32 hides it through a position change).
  window->style &= ~WS_VISIBLE;
  if (window->parent == nullptr) {
    std::vector<HWND> owned;
    for (auto& [value, record] : kwplatform::Windows().Snapshot())
      if (record->owner == handle) owned.push_back(record->handle);
    for (HWND ownedWindow : owned) DestroyWindow(ownedWindow);
  }
  kwplatform::SendDestroyMessages(window);
  kwplatform::FreeWindow(window);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND handle) { return LookUpWindow(handle) ? TRUE : FALSE; }

LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window) return 0;
  switch (message) {
    case WM_NCCREATE: {
      // The window's text comes from here: a procedure that handles WM_NCCREATE alone gets none.
      auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (creation != nullptr && creation->lpszName != nullptr && !IS_INTRESOURCE(creation->lpszName))
        window->text = creation->lpszName;
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(handle);
      return 0;
    case WM_SETTEXT:
      window->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case WM_GETTEXT: {
      // wParam is the buffer's size with room for the terminating zero; the result is the count copied.
      if (wParam == 0 || lParam == 0) return 0;
      size_t count = std::min<size_t>(window->text.size(), wParam - 1);
      memcpy(reinterpret_cast<char*>(lParam), window->text.data(), count);
      reinterpret_cast<char*>(lParam)[count] = 0;
      return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->text.size());
    default:
      return 0;
  }
}

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

BOOL WINAPI ShowWindow(HWND handle, int command) {
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window || window->messageOnly) return FALSE;
  // Every command but SW_HIDE shows the window; minimised and maximised states come with sizes.
  return kwplatform::ChangeVisibility(window, command != SW_HIDE) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  return window && kwplatform::IsVisible(*window) ? TRUE : FALSE;
}

}  // extern "C"
