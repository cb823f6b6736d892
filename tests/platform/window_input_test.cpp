// Input through the layer's input path: hit testing, mouse messages, capture, mouse
// activation, cursors, keys and characters, and the close box.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/platform/window_test_support.h"

namespace {

using namespace windowtest;

LRESULT CALLBACK TransparentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCHITTEST) return HTTRANSPARENT;
  return DefWindowProcA(window, message, wParam, lParam);
}

class InputTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterExtraClass("KWTestTransparent", TransparentProcedure);
  }

  // A borderless popup at (100, 100), 300 x 200: its client coordinates are the screen's less 100.
  HWND CreateStage() { return CreateAt(WS_POPUP | WS_VISIBLE, nullptr, 100, 100, 300, 200); }
};

TEST_F(InputTest, TheDeepestEnabledVisibleWindowOnTopIsHit) {
  HWND stage = CreateStage();
  HWND lower = CreateAt(WS_CHILD | WS_VISIBLE, stage, 0, 0, 200, 150);
  HWND inner = CreateAt(WS_CHILD | WS_VISIBLE, lower, 10, 10, 40, 40);
  HWND upper = CreateAt(WS_CHILD | WS_VISIBLE, stage, 100, 50, 100, 100);  // later: on top of lower
  HWND disabled = CreateAt(WS_CHILD | WS_VISIBLE | WS_DISABLED, stage, 220, 0, 80, 80);
  CreateAt(WS_CHILD | WS_VISIBLE, disabled, 0, 0, 80, 80);
  CreateAt(WS_CHILD, stage, 220, 100, 80, 100);  // hidden
  // A group box lying over the right part lets clicks through to what lies beneath.
  CreateWindowExA(0, "KWTestTransparent", "", WS_CHILD | WS_VISIBLE, 150, 0, 150, 200, stage, nullptr, nullptr,
                  nullptr);
  struct Case {
    const char* name;
    POINT screen;
    HWND expected;
  };
  const Case cases[] = {
      {"grandchild", {120, 120}, inner},
      {"later sibling over the earlier", {210, 160}, upper},
      {"earlier sibling where alone", {120, 230}, lower},
      {"under the group box", {260, 200}, upper},
      {"disabled child: its parent", {340, 140}, stage},
      {"hidden child: its parent", {340, 250}, stage},
      {"outside every window", {50, 50}, nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowFromPoint(c.screen), c.expected) << c.name;
}

TEST_F(InputTest, MouseMessagesCarryClientCoordinatesAndModifierKeys) {
  HWND stage = CreateStage();
  HWND child = CreateAt(WS_CHILD | WS_VISIBLE | WS_BORDER, stage, 20, 30, 100, 100);
  kwtesting::PumpMessages();
  Received().clear();
  kwtesting::Click(150, 160, kwtesting::ShiftKey | kwtesting::ControlKey);
  kwtesting::PumpMessages();
  EXPECT_EQ(ReceivedAmong({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}),
            Sequence({{child, WM_MOUSEMOVE}, {child, WM_LBUTTONDOWN}, {child, WM_LBUTTONUP}}));
  // The child's client area starts at 100 + 20 + 1 (its border).
  const LPARAM where = MAKELPARAM(150 - 121, 160 - 131);
  EXPECT_EQ(FirstReceived(child, WM_LBUTTONDOWN)->lParam, where);
  EXPECT_EQ(FirstReceived(child, WM_LBUTTONDOWN)->wParam, MK_LBUTTON | MK_SHIFT | MK_CONTROL);
  EXPECT_EQ(FirstReceived(child, WM_LBUTTONUP)->wParam, MK_SHIFT | MK_CONTROL);
  EXPECT_EQ(FirstReceived(child, WM_MOUSEMOVE)->lParam, where);
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, 150);
  EXPECT_EQ(cursor.y, 160);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0) << "released after the click";
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(150, 160)));

  // The press on the child's border is a non-client one, with the hit code and the screen point.
  Received().clear();
  kwtesting::Click(120, 140);
  kwtesting::PumpMessages();
  const windowtest::ReceivedMessage* border = FirstReceived(child, WM_NCLBUTTONDOWN);
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(border->wParam, static_cast<WPARAM>(HTBORDER));
  EXPECT_EQ(border->lParam, MAKELPARAM(120, 140));
}

LRESULT CALLBACK CapturingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) SetCapture(window);
  if (message == WM_LBUTTONUP) ReleaseCapture();
  return windowtest::RecordingProcedure(window, message, wParam, lParam);
}

TEST_F(InputTest, TheCapturingWindowGetsEveryMouseMessageWithSignedCoordinates) {
  HWND stage = CreateStage();
  HWND other = CreateAt(WS_CHILD | WS_VISIBLE, stage, 200, 0, 100, 200);
  HWND capturing = CreateAt(WS_CHILD | WS_VISIBLE, stage, 0, 0, 100, 100);
  SetWindowLongA(capturing, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(CapturingProcedure)));
  kwtesting::PumpMessages();
  Received().clear();
  // Press inside, drag out beyond the window's top left, release there.
  kwtesting::Drag(150, 150, 40, 60, kwtesting::NoModifier, 2);
  kwtesting::PumpMessages();
  EXPECT_EQ(ReceivedAmong({WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}).back(), std::make_pair(capturing, WM_LBUTTONUP));
  EXPECT_EQ(FirstReceived(other, WM_MOUSEMOVE), nullptr);
  const windowtest::ReceivedMessage* release = FirstReceived(capturing, WM_LBUTTONUP);
  ASSERT_NE(release, nullptr);
  EXPECT_EQ(static_cast<short>(LOWORD(release->lParam)), 40 - 100);
  EXPECT_EQ(static_cast<short>(HIWORD(release->lParam)), 60 - 100);
  EXPECT_NE(FirstReceived(capturing, WM_CAPTURECHANGED), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);

  // Released: the next click goes to the window under the cursor.
  Received().clear();
  kwtesting::Click(350, 150);
  kwtesting::PumpMessages();
  EXPECT_NE(FirstReceived(other, WM_LBUTTONDOWN), nullptr);
  EXPECT_EQ(FirstReceived(capturing, WM_LBUTTONDOWN), nullptr);
}

TEST_F(InputTest, MouseActivationDecidesActivationAndWhetherTheClickIsDelivered) {
  struct Case {
    LRESULT answer;
    bool activated;
    bool delivered;
  };
  const Case cases[] = {
      {MA_ACTIVATE, true, true},
      {MA_ACTIVATEANDEAT, true, false},
      {MA_NOACTIVATE, false, true},
      {MA_NOACTIVATEANDEAT, false, false},
  };
  for (const Case& c : cases) {
    HWND clicked = CreateStage();
    HWND child = CreateAt(WS_CHILD | WS_VISIBLE, clicked, 0, 0, 300, 200);
    HWND active = CreateAt(WS_POPUP | WS_VISIBLE, nullptr, 600, 100, 100, 100);
    ASSERT_EQ(GetActiveWindow(), active);
    kwtesting::PumpMessages();
    Answers() = {{clicked, WM_MOUSEACTIVATE, c.answer}};
    Received().clear();
    kwtesting::Click(150, 150);
    kwtesting::PumpMessages();
    // The child's default handling asks its parent, which decides.
    const windowtest::ReceivedMessage* asked = FirstReceived(child, WM_MOUSEACTIVATE);
    ASSERT_NE(asked, nullptr) << c.answer;
    EXPECT_EQ(asked->wParam, reinterpret_cast<WPARAM>(clicked)) << c.answer;
    EXPECT_EQ(asked->lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)) << c.answer;
    EXPECT_NE(FirstReceived(clicked, WM_MOUSEACTIVATE), nullptr) << c.answer;
    EXPECT_EQ(GetActiveWindow() == clicked, c.activated) << c.answer;
    if (c.activated) {
      EXPECT_EQ(LOWORD(FirstReceived(clicked, WM_ACTIVATE)->wParam), WA_CLICKACTIVE) << c.answer;
      EXPECT_EQ(GetTopWindow(nullptr), clicked) << c.answer;
    }
    EXPECT_EQ(FirstReceived(child, WM_LBUTTONDOWN) != nullptr, c.delivered) << c.answer;
    // The press asks for activation before its WM_SETCURSOR.
    std::vector<UINT> beforePress;
    for (const windowtest::ReceivedMessage& received : Received())
      if (received.window == child && (received.message == WM_MOUSEACTIVATE ||
                                       (received.message == WM_SETCURSOR && HIWORD(received.lParam) == WM_LBUTTONDOWN)))
        beforePress.push_back(received.message);
    EXPECT_EQ(beforePress, std::vector<UINT>({WM_MOUSEACTIVATE, WM_SETCURSOR})) << c.answer;
    DestroyWindow(clicked);
    DestroyWindow(active);
  }
}

LRESULT CALLBACK CursorChoosingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && GetPropA(window, "ChoosesCursor")) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return TRUE;
  }
  return windowtest::RecordingProcedure(window, message, wParam, lParam);
}

TEST_F(InputTest, SetCursorAsksTheParentBeforeTheClassCursor) {
  RegisterExtraClass("KWTestIBeam", DefWindowProcA, 0, nullptr, LoadCursorA(nullptr, IDC_IBEAM));
  HWND stage = CreateStage();
  SetWindowLongA(stage, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(CursorChoosingParent)));
  CreateWindowExA(0, "KWTestIBeam", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, stage, nullptr, nullptr, nullptr);
  struct Case {
    bool parentChooses;
    LPCSTR expected;
  };
  for (const Case& c : {Case{false, IDC_IBEAM}, Case{true, IDC_WAIT}}) {
    SetPropA(stage, "ChoosesCursor", c.parentChooses ? stage : nullptr);
    SetCursor(nullptr);
    kwtesting::MoveMouse(150 + c.parentChooses, 150);
    kwtesting::PumpMessages();
    EXPECT_EQ(kwtesting::CurrentCursor(), LoadCursorA(nullptr, c.expected)) << c.parentChooses;
  }
}

TEST_F(InputTest, DoubleClicksOnlyForClassesThatAskForThem) {
  RegisterExtraClass("KWTestDoubleClicks", RecordingProcedure, CS_DBLCLKS);
  struct Case {
    const char* className;
    std::vector<UINT> expected;
  };
  const Case cases[] = {
      {windowtest::RecordingClass, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {"KWTestDoubleClicks", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
  };
  for (const Case& c : cases) {
    HWND window = CreateWindowExA(0, c.className, "", WS_POPUP | WS_VISIBLE, 100, 100, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    kwtesting::PumpMessages();
    Received().clear();
    kwtesting::Click(120, 120);
    kwtesting::Click(121, 120);
    kwtesting::PumpMessages();
    Sequence pairs = ReceivedAmong({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
    std::vector<UINT> numbers;
    for (const auto& pair : pairs) numbers.push_back(pair.second);
    EXPECT_EQ(numbers, c.expected) << c.className;
    DestroyWindow(window);
  }
}

SHORT shiftStateAtKey = 0;

LRESULT CALLBACK KeyStateRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam != VK_SHIFT) shiftStateAtKey = GetKeyState(VK_SHIFT);
  return windowtest::RecordingProcedure(window, message, wParam, lParam);
}

TEST_F(InputTest, KeysGoToTheFocusElseTheActiveWindowAndTranslateIntoCharacters) {
  HWND top = CreateStage();
  HWND field = CreateAt(WS_CHILD | WS_VISIBLE, top, 0, 0, 100, 20);
  SetWindowLongA(field, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(KeyStateRecorder)));
  SetFocus(field);
  kwtesting::PumpMessages();
  Received().clear();
  kwtesting::PressKey('A', kwtesting::ShiftKey);
  kwtesting::PumpMessages();
  EXPECT_EQ(ReceivedNumbers(field), std::vector<UINT>({WM_KEYDOWN, WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYUP}));
  EXPECT_LT(shiftStateAtKey, 0) << "Shift is down while the key's message is handled";
  const windowtest::ReceivedMessage* character = FirstReceived(field, WM_CHAR);
  EXPECT_EQ(character->wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ((character->lParam >> 16) & 0xFF, 0x1E) << "the scan code of A";
  const windowtest::ReceivedMessage* release = &Received().back();
  EXPECT_EQ(release->message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(static_cast<DWORD>(release->lParam) >> 30, 3u) << "previous state and transition bits";

  Received().clear();
  ASSERT_TRUE(kwtesting::TypeText("hi, 4!"));
  kwtesting::PumpMessages();
  std::string typed;
  for (const windowtest::ReceivedMessage& received : Received())
    if (received.message == WM_CHAR) typed += static_cast<char>(received.wParam);
  EXPECT_EQ(typed, "hi, 4!");
  EXPECT_FALSE(kwtesting::TypeText("\xE9")) << "no key types it";

  // Without a focus, keys go to the active window.
  SetFocus(nullptr);
  Received().clear();
  kwtesting::PressKey(VK_ESCAPE);
  kwtesting::PumpMessages();
  EXPECT_EQ(ReceivedAmong({WM_KEYDOWN}), Sequence({{top, WM_KEYDOWN}}));
  EXPECT_EQ(FirstReceived(top, WM_KEYDOWN)->wParam, static_cast<WPARAM>(VK_ESCAPE));
}

TEST_F(InputTest, ADisabledWindowTakesNoClickAndBeeps) {
  HWND owner = CreateStage();
  HWND child = CreateAt(WS_CHILD | WS_VISIBLE, owner, 0, 0, 300, 200);
  HWND dialog = CreateAt(WS_POPUP | WS_VISIBLE, nullptr, 600, 100, 100, 100);
  EnableWindow(owner, FALSE);
  kwtesting::PumpMessages();
  kwtesting::ClearBeeps();
  Received().clear();
  kwtesting::Click(150, 150);
  kwtesting::PumpMessages();
  EXPECT_EQ(ReceivedAmong({WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP}), Sequence());
  const ReceivedMessage* cursor = FirstReceived(owner, WM_SETCURSOR);
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(static_cast<short>(LOWORD(cursor->lParam)), HTERROR);
  EXPECT_EQ(kwtesting::BeepsSounded(), std::vector<unsigned>({0})) << "the press beeps";
  EXPECT_EQ(GetActiveWindow(), dialog);
  EXPECT_EQ(FirstReceived(child, WM_SETCURSOR), nullptr);
}

TEST_F(InputTest, TheCloseBoxClosesTheWindowThroughWmClose) {
  HWND framed = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND bare = CreateStage();
  EXPECT_FALSE(kwtesting::ClickCloseBox(bare)) << "no caption, no close box";
  ShowWindow(framed, SW_SHOW);
  kwtesting::PumpMessages();
  Received().clear();
  ASSERT_TRUE(kwtesting::ClickCloseBox(framed));
  kwtesting::PumpMessages();
  EXPECT_EQ(ReceivedAmong({WM_NCLBUTTONUP, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
            Sequence({{framed, WM_NCLBUTTONUP}, {framed, WM_SYSCOMMAND}, {framed, WM_CLOSE}, {framed, WM_DESTROY}}));
  EXPECT_FALSE(IsWindow(framed));
}

TEST_F(InputTest, QueuedInputWaitsBehindPostedMessagesAndBeforePaintAndTimers) {
  HWND window = CreateStage();
  kwtesting::PumpMessages();
  Received().clear();
  SetTimer(window, 1, 10, nullptr);
  PostMessageA(window, WM_USER + 1, 0, 0);
  kwtesting::PressKey('Q');
  PostMessageA(window, WM_USER + 2, 0, 0);
  InvalidateRect(window, nullptr, FALSE);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  kwtesting::PumpMessages([&] { return FirstReceived(window, WM_TIMER) != nullptr; });
  KillTimer(window, 1);
  EXPECT_EQ(ReceivedAmong({WM_USER + 1, WM_KEYDOWN, WM_USER + 2, WM_PAINT, WM_TIMER}),
            Sequence({{window, WM_USER + 1}, {window, WM_KEYDOWN}, {window, WM_USER + 2}, {window, WM_PAINT},
                      {window, WM_TIMER}}));
}

}  // namespace
