#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/platform/window_test_support.h"

namespace {

using windowtest::Received;
using windowtest::ReceivedNumbers;
using windowtest::RecordingClass;
using windowtest::WindowTest;

TEST_F(WindowTest, ClassNamesAreCaseInsensitiveAndUnique) {
  WNDCLASSA again = {};
  again.lpfnWndProc = windowtest::RecordingProcedure;
  again.lpszClassName = "kwtestRECORDER";
  EXPECT_EQ(RegisterClassA(&again), 0) << "the same name in another case is the same class";

  HWND byOtherCase = CreateWindowExA(0, "KWTESTrecorder", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HWND byAtom = CreateWindowExA(0, MAKEINTRESOURCEA(atom_), "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(byOtherCase, nullptr);
  EXPECT_NE(byAtom, nullptr);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);

  EXPECT_FALSE(UnregisterClassA(RecordingClass, nullptr)) << "windows of the class still exist";
  DestroyWindow(byOtherCase);
  DestroyWindow(byAtom);

  WNDCLASSA negative = {};
  negative.lpszClassName = "KWTestNegative";
  negative.cbWndExtra = -4;
  EXPECT_EQ(RegisterClassA(&negative), 0);
}

TEST_F(WindowTest, CreationSendsItsMessagesInWin32Order) {
  struct Case {
    const char* name;
    DWORD style;
    bool child;
    std::vector<UINT> expected;
  };
  const Case cases[] = {
      {"hidden top-level", WS_OVERLAPPEDWINDOW, false, {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}},
      // Shown as by SW_SHOW: activated, its frame drawn as the caption turns active, focused.
      {"visible top-level",
       WS_OVERLAPPEDWINDOW | WS_VISIBLE,
       false,
       {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_NCACTIVATE, WM_NCPAINT, WM_ACTIVATE, WM_SETFOCUS}},
      {"visible child", WS_CHILD | WS_VISIBLE, true, {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}},
  };
  HWND parent = Create(WS_VISIBLE);
  for (const Case& c : cases) {
    Received().clear();
    HWND window = Create(c.style, c.child ? parent : nullptr);
    ASSERT_NE(window, nullptr) << c.name;
    EXPECT_EQ(ReceivedNumbers(window), c.expected) << c.name;
    EXPECT_EQ(IsWindowVisible(window), (c.style & WS_VISIBLE) ? TRUE : FALSE) << c.name;
  }
}

TEST_F(WindowTest, CreationMessagesCarryTheCreateStructure) {
  int parameter = 0;
  HWND parent = Create(WS_VISIBLE);
  Received().clear();
  HWND child = Create(WS_CHILD, parent, "Caption", reinterpret_cast<HMENU>(42), &parameter);
  ASSERT_NE(child, nullptr);
  const std::vector<windowtest::ReceivedMessage> received = Received();
  ASSERT_GE(received.size(), 2u);
  for (int index = 0; index < 2; index++) {
    const CREATESTRUCTA* creation = &received[index].creation;
    EXPECT_EQ(creation->lpCreateParams, &parameter);
    EXPECT_EQ(creation->hwndParent, parent);
    EXPECT_EQ(creation->hMenu, reinterpret_cast<HMENU>(42));
    EXPECT_EQ(creation->style, static_cast<LONG>(WS_CHILD));
    EXPECT_EQ(received[index].creationName, "Caption");
    EXPECT_EQ(received[index].creationClass, RecordingClass);
    EXPECT_EQ(creation->x, 10);
    EXPECT_EQ(creation->y, 20);
    EXPECT_EQ(creation->cx, 300);
    EXPECT_EQ(creation->cy, 200);
  }
  EXPECT_EQ(received[2].lParam, MAKELPARAM(300, 200)) << "WM_SIZE";
  EXPECT_EQ(received[3].lParam, MAKELPARAM(10, 20)) << "WM_MOVE";
  EXPECT_EQ(GetWindowLongA(child, GWL_ID), 42);
}

TEST_F(WindowTest, RefusedCreationFreesTheWindow) {
  struct Case {
    UINT refused;
    std::vector<UINT> expected;
  };
  const Case cases[] = {
      {WM_NCCREATE, {WM_NCCREATE, WM_NCDESTROY}},
      {WM_CREATE, {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
  };
  for (const Case& c : cases) {
    Received().clear();
    windowtest::MessageToRefuse() = c.refused;
    EXPECT_EQ(Create(), nullptr) << c.refused;
    EXPECT_EQ(ReceivedNumbers(), c.expected) << c.refused;
    EXPECT_FALSE(IsWindow(Received().front().window));
  }
  EXPECT_TRUE(kwtesting::ListWindows().empty());
}

// Records, for each WM_DESTROY, whether the children of the window still existed.
std::vector<HWND> childrenToCheck;
std::vector<bool> childrenAliveAtDestroy;

LRESULT CALLBACK CheckingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY)
    for (HWND child : childrenToCheck) childrenAliveAtDestroy.push_back(IsWindow(child) != 0);
  return windowtest::RecordingProcedure(window, message, wParam, lParam);
}

TEST_F(WindowTest, DestroyingSendsDestroyToParentFirstAndNcDestroyToChildrenFirst) {
  HWND parent = Create(WS_VISIBLE);
  HWND first = Create(WS_CHILD | WS_VISIBLE, parent);
  HWND second = Create(WS_CHILD | WS_VISIBLE, parent);
  HWND grandchild = Create(WS_CHILD | WS_VISIBLE, first);
  SetWindowLongA(parent, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(CheckingProcedure)));
  childrenToCheck = {first, second, grandchild};
  childrenAliveAtDestroy.clear();
  Received().clear();

  EXPECT_TRUE(DestroyWindow(parent));

  // The newest child is on top of the z-order and goes first; the first child goes last.
  const std::vector<std::pair<HWND, UINT>> expected = {
      {parent, WM_DESTROY},   {second, WM_DESTROY},       {first, WM_DESTROY},   {grandchild, WM_DESTROY},
      {second, WM_NCDESTROY}, {grandchild, WM_NCDESTROY}, {first, WM_NCDESTROY}, {parent, WM_NCDESTROY},
  };
  EXPECT_EQ(windowtest::ReceivedAmong({WM_DESTROY, WM_NCDESTROY}), expected);
  EXPECT_EQ(childrenAliveAtDestroy, std::vector<bool>({true, true, true}));
  for (HWND window : {parent, first, second, grandchild}) EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowTest, DestroyingAnOwnerDestroysItsOwnedWindowsFirst) {
  HWND owner = Create(WS_VISIBLE);
  HWND child = Create(WS_CHILD, owner);
  HWND owned = Create(WS_VISIBLE, child);  // a child given as owner stands for its top-level window
  EXPECT_EQ(GetWindowLongA(owned, GWL_HWNDPARENT), static_cast<LONG>(reinterpret_cast<uintptr_t>(owner)));
  Received().clear();
  DestroyWindow(owner);
  EXPECT_EQ(windowtest::ReceivedAmong({WM_DESTROY, WM_NCDESTROY}).front(), std::make_pair(owned, WM_DESTROY));
  EXPECT_EQ(ReceivedNumbers(owned).back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowTest, DefaultProcedureKeepsTheTextAndClosesByDestroying) {
  HWND window = Create(0, nullptr, "Hello world");
  EXPECT_EQ(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0), 11);
  struct Case {
    WPARAM size;
    LRESULT copied;
    const char* text;
  };
  const Case cases[] = {{64, 11, "Hello world"}, {12, 11, "Hello world"}, {6, 5, "Hello"}, {1, 0, ""}};
  for (const Case& c : cases) {
    char buffer[64];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(window, WM_GETTEXT, c.size, reinterpret_cast<LPARAM>(buffer)), c.copied) << c.size;
    EXPECT_STREQ(buffer, c.text) << c.size;
  }
  EXPECT_TRUE(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Line 1\r\nLine 2")));
  EXPECT_EQ(kwtesting::ListWindows().front().text, "Line 1\r\nLine 2");
  EXPECT_EQ(DefWindowProcA(window, WM_USER + 5, 1, 2), 0);

  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
}

LRESULT CALLBACK SilentCreationProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) return TRUE;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(WindowTest, TextComesFromTheDefaultHandlingOfNcCreate) {
  WNDCLASSA description = {};
  description.lpfnWndProc = SilentCreationProcedure;
  description.lpszClassName = "KWTestSilent";
  ASSERT_NE(RegisterClassA(&description), 0);
  HWND window = CreateWindowExA(0, "KWTestSilent", "Lost", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0), 0);
  DestroyWindow(window);
  EXPECT_TRUE(UnregisterClassA("KWTestSilent", nullptr));
}

TEST_F(WindowTest, WindowLongsReadAndReplaceTheirFields) {
  HWND parent = Create(WS_VISIBLE);
  HWND child = CreateWindowExA(0x20, RecordingClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, parent,
                               reinterpret_cast<HMENU>(7), nullptr, nullptr);
  struct Case {
    int index;
    LONG initial;
    LONG replacement;
  };
  const Case cases[] = {
      {GWL_STYLE, static_cast<LONG>(WS_CHILD | WS_VISIBLE), static_cast<LONG>(WS_CHILD | WS_BORDER)},
      {GWL_EXSTYLE, 0x20, 0x200},
      {GWL_ID, 7, 9},
      {GWL_USERDATA, 0, 0x12345678},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetWindowLongA(child, c.index), c.initial) << c.index;
    EXPECT_EQ(SetWindowLongA(child, c.index, c.replacement), c.initial) << c.index;
    EXPECT_EQ(GetWindowLongA(child, c.index), c.replacement) << c.index;
  }
  EXPECT_FALSE(IsWindowVisible(child)) << "clearing WS_VISIBLE through GWL_STYLE hides";
}

TEST_F(WindowTest, ExtraBytesStartAtZeroAndAreBoundsChecked) {
  HWND window = Create();
  struct Case {
    int offset;
    bool inside;
  };
  // The class has 8 extra bytes: a four-byte value fits at offsets 0 to 4.
  const Case cases[] = {{0, true}, {1, true}, {4, true}, {5, false}, {8, false}, {0x7FFFFFFF, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetWindowLongA(window, c.offset), 0) << c.offset;
    EXPECT_EQ(SetWindowLongA(window, c.offset, 0x11223344), 0) << c.offset;
    EXPECT_EQ(GetWindowLongA(window, c.offset), c.inside ? 0x11223344 : 0) << c.offset;
    SetWindowLongA(window, c.offset, 0);
  }
  SetWindowLongA(window, 0, 0x01020304);
  EXPECT_EQ(SetWindowLongA(window, 4, 0x05060708), 0) << "separate bytes";
  EXPECT_EQ(GetWindowLongA(window, 0), 0x01020304);
  EXPECT_EQ(GetWindowLongA(window, 2), 0x07080102) << "an unaligned read sees both values' bytes";
}

std::vector<std::string> subclassCalls;
WNDPROC previousProcedure = nullptr;

LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 100) subclassCalls.push_back("subclass");
  if (message == WM_USER + 101) return 99;  // handled here alone
  return CallWindowProcA(previousProcedure, window, message, wParam, lParam);
}

TEST_F(WindowTest, SubclassingReplacesTheProcedureAndChainsToThePreviousOne) {
  HWND window = Create();
  LONG original = GetWindowLongA(window, GWL_WNDPROC);
  LONG replaced = SetWindowLongA(window, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(SubclassProcedure)));
  EXPECT_EQ(replaced, original);
  previousProcedure = reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(replaced));
  subclassCalls.clear();
  Received().clear();

  EXPECT_EQ(SendMessageA(window, WM_USER + 100, 0, 0), 1234) << "the original's answer comes back";
  EXPECT_EQ(subclassCalls, std::vector<std::string>({"subclass"}));
  EXPECT_EQ(ReceivedNumbers(), std::vector<UINT>({WM_USER + 100}));
  EXPECT_EQ(SendMessageA(window, WM_USER + 101, 0, 0), 99);
  EXPECT_EQ(ReceivedNumbers().size(), 1u) << "the original never saw the handled message";

  SetWindowLongA(window, GWL_WNDPROC, original);
  SendMessageA(window, WM_USER + 100, 0, 0);
  EXPECT_EQ(subclassCalls.size(), 1u) << "restored";
  EXPECT_EQ(ReceivedNumbers().size(), 2u);
}

TEST_F(WindowTest, PropertiesAreNamedByCaseInsensitiveStringsOrAtoms) {
  HWND window = Create();
  int pane = 0;
  int other = 0;
  EXPECT_TRUE(SetPropA(window, "KWInstance", &pane));
  EXPECT_EQ(GetPropA(window, "kwinstance"), &pane);
  EXPECT_TRUE(SetPropA(window, MAKEINTRESOURCEA(0xC123), &other));
  EXPECT_EQ(GetPropA(window, MAKEINTRESOURCEA(0xC123)), &other);
  EXPECT_EQ(GetPropA(window, MAKEINTRESOURCEA(0xC124)), nullptr);
  EXPECT_EQ(GetPropA(window, "Missing"), nullptr);

  EXPECT_TRUE(SetPropA(window, "KWINSTANCE", &other)) << "setting again replaces";
  EXPECT_EQ(GetPropA(window, "KWInstance"), &other);
  EXPECT_EQ(RemovePropA(window, "kwInstance"), &other);
  EXPECT_EQ(GetPropA(window, "KWInstance"), nullptr);
  EXPECT_EQ(RemovePropA(window, "KWInstance"), nullptr);
  EXPECT_EQ(GetPropA(window, MAKEINTRESOURCEA(0xC123)), &other) << "the atom-named property stays";
}

TEST_F(WindowTest, ShowWindowReportsThePreviousVisibilityAndNotifiesChanges) {
  HWND window = Create();
  struct Step {
    int command;
    BOOL previous;
    bool notified;
  };
  const Step steps[] = {{SW_HIDE, FALSE, false},
                        {SW_SHOW, FALSE, true},
                        {SW_SHOWNORMAL, TRUE, false},
                        {SW_HIDE, TRUE, true},
                        {SW_SHOWDEFAULT, FALSE, true}};
  for (const Step& step : steps) {
    Received().clear();
    EXPECT_EQ(ShowWindow(window, step.command) != 0, step.previous != 0) << step.command;
    EXPECT_EQ(windowtest::ReceivedAmong({WM_SHOWWINDOW}).size(), step.notified ? 1u : 0u) << step.command;
    if (step.notified) {
      EXPECT_EQ(Received().front().message, static_cast<UINT>(WM_SHOWWINDOW)) << "before anything else";
      EXPECT_EQ(Received().front().wParam, step.command == SW_HIDE ? 0u : 1u);
    }
    EXPECT_EQ(IsWindowVisible(window) != 0, step.command != SW_HIDE);
  }
}

TEST_F(WindowTest, AChildIsVisibleOnlyWhileItsAncestorsAre) {
  HWND parent = Create();
  HWND child = Create(WS_CHILD | WS_VISIBLE, parent);
  EXPECT_FALSE(IsWindowVisible(child));
  ShowWindow(parent, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(child));
  auto listed = kwtesting::ListWindows();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].handle, parent);
  EXPECT_EQ(listed[1].handle, child);
  EXPECT_EQ(listed[1].parent, parent);
  EXPECT_EQ(listed[1].className, RecordingClass);
  EXPECT_TRUE(listed[1].visible);
}

TEST_F(WindowTest, MessageOnlyWindowsReceiveMessagesButAreNeverShown) {
  HWND window =
      CreateWindowExA(0, RecordingClass, "socket", WS_VISIBLE, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(SendMessageA(window, WM_USER + 100, 0, 0), 1234);
  auto listed = kwtesting::ListWindows();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_TRUE(listed[0].messageOnly);
  EXPECT_EQ(listed[0].parent, nullptr);
  EXPECT_EQ(listed[0].text, "socket");
}

TEST_F(WindowTest, StaleAndForeignHandlesFailWithoutFaulting) {
  HWND destroyed = Create();
  DestroyWindow(destroyed);
  HWND replacement = Create();
  EXPECT_NE(replacement, destroyed) << "a reused slot gets a new handle";
  HCURSOR cursor = LoadCursorA(nullptr, IDC_ARROW);
  const HWND bad[] = {destroyed, reinterpret_cast<HWND>(cursor), reinterpret_cast<HWND>(0x12345),
                      reinterpret_cast<HWND>(static_cast<uintptr_t>(0xFFFFFFF0))};
  for (HWND window : bad) {
    MSG message;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_USER + 100, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_EQ(DefWindowProcA(window, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE), 0);
    EXPECT_EQ(SetWindowLongA(window, GWL_USERDATA, 5), 0);
    EXPECT_FALSE(SetPropA(window, "KWInstance", &message));
    EXPECT_EQ(GetPropA(window, "KWInstance"), nullptr);
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(SetTimer(window, 1, 10, nullptr), 0u);
    EXPECT_EQ(GetMessageA(&message, window, 0, 0), -1);
    EXPECT_FALSE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(CreateWindowExA(0, RecordingClass, "", WS_CHILD, 0, 0, 1, 1, window, nullptr, nullptr, nullptr), nullptr);
  }
  EXPECT_TRUE(IsWindow(replacement));
}

}  // namespace
