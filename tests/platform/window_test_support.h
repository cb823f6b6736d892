// Shared by the window and message tests: a window class whose procedure records every
// message it receives, and a fixture that leaves no window or class behind.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace windowtest {

struct ReceivedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  // A copy of the creation structure of WM_NCCREATE and WM_CREATE, which lives only during the call.
  CREATESTRUCTA creation;
  std::string creationName;
  std::string creationClass;
};

inline std::vector<ReceivedMessage>& Received() {
  static std::vector<ReceivedMessage> received;
  return received;
}

// The message numbers received, optionally only those of one window.
inline std::vector<UINT> ReceivedNumbers(HWND only = nullptr) {
  std::vector<UINT> numbers;
  for (const ReceivedMessage& received : Received())
    if (only == nullptr || received.window == only) numbers.push_back(received.message);
  return numbers;
}

using Sequence = std::vector<std::pair<HWND, UINT>>;

// The (window, message) pairs received of the given messages only, in order.
inline Sequence ReceivedAmong(const std::vector<UINT>& messages) {
  Sequence pairs;
  for (const ReceivedMessage& received : Received())
    for (UINT message : messages)
      if (received.message == message) pairs.emplace_back(received.window, message);
  return pairs;
}

// The first message of a kind that a window received, or null.
inline const ReceivedMessage* FirstReceived(HWND window, UINT message) {
  for (const ReceivedMessage& received : Received())
    if (received.window == window && received.message == message) return &received;
  return nullptr;
}

// Answers the recording procedure gives for a window and message instead of the default.
inline std::vector<std::tuple<HWND, UINT, LRESULT>>& Answers() {
  static std::vector<std::tuple<HWND, UINT, LRESULT>> answers;
  return answers;
}

// What the recording procedure answers instead of the default (WM_NCCREATE 0 refuses creation,
// WM_CREATE -1 fails it).
inline UINT& MessageToRefuse() {
  static UINT message = 0;
  return message;
}

inline LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ReceivedMessage received = {window, message, wParam, lParam, {}, {}, {}};
  if (message == WM_NCCREATE || message == WM_CREATE) {
    received.creation = *reinterpret_cast<const CREATESTRUCTA*>(lParam);
    received.creationName = received.creation.lpszName ? received.creation.lpszName : "";
    if (!IS_INTRESOURCE(received.creation.lpszClass)) received.creationClass = received.creation.lpszClass;
  }
  Received().push_back(received);
  for (const auto& [answerWindow, answerMessage, answer] : Answers())
    if (answerWindow == window && answerMessage == message) return answer;
  if (message == MessageToRefuse()) return message == WM_CREATE ? -1 : 0;
  if (message == WM_USER + 100) return 1234;  // a recognisable answer
  return DefWindowProcA(window, message, wParam, lParam);
}

constexpr const char* RecordingClass = "KWTestRecorder";
constexpr int RecordingExtraBytes = 8;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA description = {};
    description.lpfnWndProc = RecordingProcedure;
    description.cbWndExtra = RecordingExtraBytes;
    description.lpszClassName = RecordingClass;
    atom_ = RegisterClassA(&description);
    ASSERT_NE(atom_, 0);
    Received().clear();
    Answers().clear();
    MessageToRefuse() = 0;
  }

  void TearDown() override {
    for (const kwtesting::WindowDescription& window : kwtesting::ListWindows())
      if (window.parent == nullptr) DestroyWindow(window.handle);
    EXPECT_TRUE(kwtesting::ListWindows().empty());
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(UnregisterClassA(RecordingClass, nullptr));
    for (const std::string& name : extraClasses_) EXPECT_TRUE(UnregisterClassA(name.c_str(), nullptr)) << name;
    // Leave no thread message, quit request or timer message for the next test.
    MSG left;
    while (PeekMessageA(&left, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND Create(DWORD style = 0, HWND parent = nullptr, const char* text = "", HMENU menu = nullptr,
              LPVOID parameter = nullptr) {
    return CreateWindowExA(0, RecordingClass, text, style, 10, 20, 300, 200, parent, menu, nullptr, parameter);
  }

  // A window of the recording class at a place.
  HWND CreateAt(DWORD style, HWND parent, int x, int y, int width, int height, DWORD exStyle = 0) {
    return CreateWindowExA(exStyle, RecordingClass, "", style, x, y, width, height, parent, nullptr, nullptr, nullptr);
  }

  // Registers another class for the test, unregistered after it.
  void RegisterExtraClass(const char* name, WNDPROC procedure, UINT style = 0, HBRUSH background = nullptr,
                          HCURSOR cursor = nullptr) {
    WNDCLASSA description = {};
    description.style = style;
    description.lpfnWndProc = procedure;
    description.hbrBackground = background;
    description.hCursor = cursor;
    description.lpszClassName = name;
    ASSERT_NE(RegisterClassA(&description), 0) << name;
    extraClasses_.push_back(name);
  }

  ATOM atom_ = 0;
  std::vector<std::string> extraClasses_;
};

}  // namespace windowtest
