// Window-manager rules: geometry and the non-client invariant, the messages of moving, sizing,
// focus, activation, enabling and destruction, and the window tree.
#include <gtest/gtest.h>

#include "platform/display/screen.h"
#include "tests/platform/window_test_support.h"

namespace {

using namespace windowtest;

bool SameRectangle(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(WindowTest, AdjustedRectangleGivesBackTheClientBoundsForEveryFrame) {
  // The frames the engine makes, with and without a menu bar, and children with edges.
  struct Case {
    const char* name;
    DWORD style;
    DWORD exStyle;
    bool menu;
    RECT insets;  // left, top, right, bottom thickness of the non-client area
  };
  const Case cases[] = {
      {"document, sizable, with menu", WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU, 0,
       true, {4, 4 + 19 + 19, 4, 4}},
      {"document, fixed", WS_CAPTION | WS_BORDER | WS_SYSMENU, 0, false, {3, 3 + 19, 3, 3}},
      {"movable modal", WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME, false, {3, 3 + 19, 3, 3}},
      {"modal dialog frame", WS_POPUP | WS_DLGFRAME, 0, false, {3, 3, 3, 3}},
      {"plain box", WS_POPUP | WS_BORDER, 0, false, {1, 1, 1, 1}},
      {"borderless popup", WS_POPUP, 0, false, {0, 0, 0, 0}},
      {"popup with client edge", WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, false, {3, 3, 3, 3}},
  };
  const RECT bounds = {50, 80, 450, 380};
  for (const Case& c : cases) {
    RECT adjusted = bounds;
    ASSERT_TRUE(AdjustWindowRectEx(&adjusted, c.style, c.menu, c.exStyle)) << c.name;
    EXPECT_TRUE(SameRectangle(adjusted, RECT{bounds.left - c.insets.left, bounds.top - c.insets.top,
                                             bounds.right + c.insets.right, bounds.bottom + c.insets.bottom}))
        << c.name;
    HWND window = CreateWindowExA(c.exStyle, windowtest::RecordingClass, "", c.style, 0, 0, 10, 10, nullptr,
                                  c.menu ? reinterpret_cast<HMENU>(1) : nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr) << c.name;
    MoveWindow(window, adjusted.left, adjusted.top, adjusted.right - adjusted.left, adjusted.bottom - adjusted.top,
               TRUE);
    RECT client;
    GetClientRect(window, &client);
    POINT topLeft = {client.left, client.top};
    POINT bottomRight = {client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    EXPECT_TRUE(SameRectangle(RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, bounds)) << c.name;
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    EXPECT_TRUE(SameRectangle(windowRect, adjusted)) << c.name;
    DestroyWindow(window);
  }
}

TEST_F(WindowTest, CoordinatesMapBetweenWindowsAndTheScreen) {
  HWND top = CreateAt(WS_POPUP | WS_BORDER | WS_VISIBLE, nullptr, 100, 50, 400, 300);
  HWND child = CreateAt(WS_CHILD | WS_VISIBLE | WS_BORDER, top, 20, 30, 100, 100);
  POINT point = {0, 0};
  ClientToScreen(child, &point);
  // The top-level border (1), the child's place (20, 30) and its own border (1).
  EXPECT_EQ(point.x, 100 + 1 + 20 + 1);
  EXPECT_EQ(point.y, 50 + 1 + 30 + 1);
  ScreenToClient(top, &point);
  EXPECT_EQ(point.x, 21);
  EXPECT_EQ(point.y, 31);
  POINT points[2] = {{0, 0}, {-5, 10}};
  int offsets = MapWindowPoints(child, top, points, 2);
  EXPECT_EQ(static_cast<short>(LOWORD(offsets)), 21);
  EXPECT_EQ(static_cast<short>(HIWORD(offsets)), 31);
  EXPECT_EQ(points[1].x, 16);
  EXPECT_EQ(points[1].y, 41);
  POINT screen = {0, 0};
  MapWindowPoints(child, nullptr, &screen, 1);
  EXPECT_EQ(screen.x, 122);

  kwplatform::ScreenSize size = kwplatform::ScreenDimensions();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), size.width);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), size.height);
  EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 0);
  DestroyWindow(child);
  EXPECT_FALSE(ClientToScreen(child, &point));
  EXPECT_EQ(MapWindowPoints(child, top, points, 2), 0);
}

TEST_F(WindowTest, MovingAndSizingSendMoveAndSizeOnlyForWhatChanged) {
  HWND top = CreateAt(WS_POPUP | WS_BORDER | WS_VISIBLE, nullptr, 100, 100, 300, 200);
  HWND child = CreateAt(WS_CHILD | WS_VISIBLE, top, 10, 10, 50, 50);
  struct Step {
    const char* name;
    HWND window;
    RECT place;
    std::vector<UINT> expected;
    LPARAM moveParameter;  // the client origin, in the parent's client or screen coordinates
    LPARAM sizeParameter;
  };
  const Step steps[] = {
      {"child moved", child, {20, 30, 70, 80}, {WM_MOVE}, MAKELPARAM(20, 30), 0},
      {"child sized", child, {20, 30, 90, 100}, {WM_SIZE}, 0, MAKELPARAM(70, 70)},
      {"child unchanged", child, {20, 30, 90, 100}, {}, 0, 0},
      // A new size redraws the frame at once.
      {"top-level moved and sized", top, {5, 6, 205, 106}, {WM_NCPAINT, WM_MOVE, WM_SIZE}, MAKELPARAM(6, 7),
       MAKELPARAM(198, 98)},
  };
  for (const Step& step : steps) {
    Received().clear();
    EXPECT_TRUE(MoveWindow(step.window, step.place.left, step.place.top, step.place.right - step.place.left,
                           step.place.bottom - step.place.top, FALSE))
        << step.name;
    EXPECT_EQ(ReceivedNumbers(step.window), step.expected) << step.name;
    if (const auto* move = FirstReceived(step.window, WM_MOVE)) {
      EXPECT_EQ(move->lParam, step.moveParameter) << step.name;
    }
    if (const auto* size = FirstReceived(step.window, WM_SIZE)) {
      EXPECT_EQ(size->lParam, step.sizeParameter) << step.name;
    }
  }
}

TEST_F(WindowTest, ShowingActivatesTopLevelWindowsAndDestroyingPassesActivationOn) {
  HWND first = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(GetFocus(), first) << "the default handling of WM_ACTIVATE focuses the window";
  Received().clear();
  HWND second = Create(WS_OVERLAPPEDWINDOW);
  ShowWindow(second, SW_SHOW);
  const std::vector<UINT> activation = {WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS};
  EXPECT_EQ(ReceivedAmong(activation),
            Sequence({{first, WM_ACTIVATE}, {second, WM_ACTIVATE}, {first, WM_KILLFOCUS}, {second, WM_SETFOCUS}}));
  EXPECT_EQ(LOWORD(FirstReceived(first, WM_ACTIVATE)->wParam), WA_INACTIVE);
  EXPECT_EQ(FirstReceived(first, WM_ACTIVATE)->lParam, reinterpret_cast<LPARAM>(second));
  EXPECT_EQ(LOWORD(FirstReceived(second, WM_ACTIVATE)->wParam), WA_ACTIVE);
  EXPECT_EQ(GetTopWindow(nullptr), second) << "brought to the front";

  Received().clear();
  ShowWindow(first, SW_SHOWNA);
  EXPECT_EQ(GetActiveWindow(), second) << "SW_SHOWNA does not activate";

  Received().clear();
  DestroyWindow(second);
  EXPECT_EQ(ReceivedAmong({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS, WM_DESTROY, WM_NCDESTROY}),
            Sequence({{second, WM_ACTIVATE},
                      {first, WM_ACTIVATE},
                      {second, WM_KILLFOCUS},
                      {first, WM_SETFOCUS},
                      {second, WM_DESTROY},
                      {second, WM_NCDESTROY}}));
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(GetFocus(), first);

  // Hiding the only window leaves nothing active and nothing focused.
  ShowWindow(first, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, FocusMovesWithKillFocusThenSetFocus) {
  HWND top = Create(WS_POPUP | WS_VISIBLE);
  HWND a = CreateAt(WS_CHILD | WS_VISIBLE, top, 0, 0, 10, 10);
  HWND b = CreateAt(WS_CHILD | WS_VISIBLE, top, 20, 0, 10, 10);
  HWND other = Create(WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(GetActiveWindow(), other);
  Received().clear();
  EXPECT_EQ(SetFocus(a), other) << "the previous focus";
  EXPECT_EQ(GetActiveWindow(), top) << "focusing a child activates its top-level window";
  Received().clear();
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(ReceivedAmong({WM_KILLFOCUS, WM_SETFOCUS}), Sequence({{a, WM_KILLFOCUS}, {b, WM_SETFOCUS}}));
  EXPECT_EQ(FirstReceived(a, WM_KILLFOCUS)->wParam, reinterpret_cast<WPARAM>(b));
  EXPECT_EQ(FirstReceived(b, WM_SETFOCUS)->wParam, reinterpret_cast<WPARAM>(a));

  struct Case {
    const char* name;
    void (*takeAway)(HWND focused);
    HWND (*focusAfter)(HWND top);
  };
  const Case cases[] = {
      {"disabled", [](HWND focused) { EnableWindow(focused, FALSE); }, [](HWND) -> HWND { return nullptr; }},
      {"hidden", [](HWND focused) { ShowWindow(focused, SW_HIDE); }, [](HWND parent) { return parent; }},
      {"destroyed", [](HWND focused) { DestroyWindow(focused); }, [](HWND parent) { return parent; }},
  };
  for (const Case& c : cases) {
    HWND focused = CreateAt(WS_CHILD | WS_VISIBLE, top, 40, 0, 10, 10);
    SetFocus(focused);
    Received().clear();
    c.takeAway(focused);
    EXPECT_EQ(GetFocus(), c.focusAfter(top)) << c.name;
    EXPECT_NE(FirstReceived(focused, WM_KILLFOCUS), nullptr) << c.name;
  }
  EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(0x4321)), nullptr) << "a stale handle fails";
}

TEST_F(WindowTest, EnablingSendsCancelModeAndEnableAndReportsThePreviousState) {
  HWND window = Create(WS_POPUP | WS_VISIBLE);
  SetCapture(window);
  Received().clear();
  EXPECT_FALSE(EnableWindow(window, FALSE)) << "was enabled";
  EXPECT_EQ(ReceivedNumbers(window), std::vector<UINT>({WM_CANCELMODE, WM_CAPTURECHANGED, WM_KILLFOCUS, WM_ENABLE}));
  EXPECT_EQ(GetCapture(), nullptr) << "the default handling of WM_CANCELMODE releases the capture";
  EXPECT_FALSE(IsWindowEnabled(window));
  EXPECT_TRUE(EnableWindow(window, FALSE)) << "was disabled";
  Received().clear();
  EXPECT_TRUE(EnableWindow(window, TRUE));
  EXPECT_EQ(ReceivedNumbers(window), std::vector<UINT>({WM_ENABLE}));
  EXPECT_EQ(Received().front().wParam, static_cast<WPARAM>(TRUE));
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(WindowTest, DestroyingReleasesTheCaptureAndEndsTimersAndProperties) {
  HWND top = Create(WS_POPUP | WS_VISIBLE);
  HWND child = CreateAt(WS_CHILD | WS_VISIBLE, top, 0, 0, 10, 10);
  SetCapture(child);
  SetTimer(child, 7, 10, nullptr);
  SetPropA(child, "KWInstance", &top);
  Received().clear();
  DestroyWindow(top);
  EXPECT_EQ(ReceivedAmong({WM_CAPTURECHANGED, WM_DESTROY}), Sequence({{child, WM_CAPTURECHANGED},
                                                                      {top, WM_DESTROY},
                                                                      {child, WM_DESTROY}}));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetPropA(child, "KWInstance"), nullptr);
  EXPECT_FALSE(KillTimer(child, 7));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

TEST_F(WindowTest, TheTreeListsWindowsFrontToBackWithOwnedWindowsAboveTheirOwner) {
  HWND owner = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND popup = CreateWindowExA(0, windowtest::RecordingClass, "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, owner, nullptr,
                               nullptr, nullptr);
  HWND ownedOverlapped = CreateWindowExA(0, windowtest::RecordingClass, "", WS_VISIBLE, 0, 0, 10, 10, owner, nullptr,
                                         nullptr, nullptr);
  HWND other = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  std::vector<HWND> order;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&order));
  EXPECT_EQ(order, std::vector<HWND>({other, ownedOverlapped, popup, owner}));

  SetActiveWindow(owner);  // the owner comes forward with its owned windows above it
  order.clear();
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&order));
  EXPECT_EQ(order, std::vector<HWND>({ownedOverlapped, popup, owner, other}));
  EXPECT_EQ(GetWindow(popup, GW_HWNDNEXT), owner);
  EXPECT_EQ(GetWindow(popup, GW_HWNDPREV), ownedOverlapped);
  EXPECT_EQ(GetWindow(ownedOverlapped, GW_OWNER), owner);

  // Of top-level windows only popups report their owner as parent.
  EXPECT_EQ(GetParent(popup), owner);
  EXPECT_EQ(GetParent(ownedOverlapped), nullptr);
  HWND first = CreateAt(WS_CHILD, owner, 0, 0, 5, 5);
  HWND second = CreateAt(WS_CHILD, owner, 0, 0, 5, 5);
  HWND grandchild = CreateAt(WS_CHILD, first, 0, 0, 5, 5);
  EXPECT_EQ(GetParent(grandchild), first);
  EXPECT_EQ(GetWindow(owner, GW_CHILD), second) << "the later child is on top";
  EXPECT_TRUE(IsChild(owner, grandchild));
  EXPECT_FALSE(IsChild(first, second));
  std::vector<HWND> children;
  EnumChildWindows(owner, CollectWindow, reinterpret_cast<LPARAM>(&children));
  EXPECT_EQ(children, std::vector<HWND>({second, first, grandchild}));
}

}  // namespace
