#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/user/keyboard.h"
#include "platform/user/message_queue.h"
#include "tests/platform/window_test_support.h"

namespace {

using windowtest::Received;
using windowtest::ReceivedNumbers;
using windowtest::WindowTest;

using MessageQueueTest = WindowTest;

TEST_F(MessageQueueTest, SentMessagesRunAtOncePostedOnesWhenDispatched) {
  HWND window = Create();
  Received().clear();
  EXPECT_TRUE(PostMessageA(window, WM_USER + 1, 0, 0));
  EXPECT_EQ(SendMessageA(window, WM_USER + 100, 5, 6), 1234);
  EXPECT_TRUE(PostMessageA(window, WM_USER + 2, 0, 0));
  EXPECT_EQ(ReceivedNumbers(), std::vector<UINT>({WM_USER + 100})) << "nothing posted is delivered yet";

  EXPECT_EQ(kwtesting::PumpMessages(), kwtesting::PumpOutcome::QueueEmpty);
  EXPECT_EQ(ReceivedNumbers(), std::vector<UINT>({WM_USER + 100, WM_USER + 1, WM_USER + 2}));
}

TEST_F(MessageQueueTest, FiltersSelectByWindowAndRange) {
  HWND parent = Create();
  HWND child = Create(WS_CHILD, parent);
  HWND other = Create();
  PostMessageA(other, WM_USER + 1, 0, 0);
  PostMessageA(nullptr, WM_USER + 2, 0, 0);
  PostMessageA(child, WM_USER + 3, 0, 0);
  PostMessageA(parent, WM_USER + 4, 0, 0);
  PostMessageA(parent, WM_USER + 5, 0, 0);

  struct Case {
    HWND window;
    UINT first;
    UINT last;
    HWND expectedWindow;
    UINT expectedMessage;
  };
  const Case cases[] = {
      {parent, 0, 0, child, WM_USER + 3},                        // a window's filter includes its descendants
      {reinterpret_cast<HWND>(-1), 0, 0, nullptr, WM_USER + 2},  // thread messages only
      {nullptr, WM_USER + 5, WM_USER + 9, parent, WM_USER + 5},
      {child, 0, 0, nullptr, 0},  // nothing left for the child
      {nullptr, 0, 0, other, WM_USER + 1},
      {nullptr, 0, 0, parent, WM_USER + 4},
  };
  for (const Case& c : cases) {
    MSG message = {};
    MSG peeked = {};
    if (c.expectedMessage == 0) {
      EXPECT_FALSE(PeekMessageA(&peeked, c.window, c.first, c.last, PM_REMOVE));
      continue;
    }
    ASSERT_TRUE(PeekMessageA(&peeked, c.window, c.first, c.last, PM_NOREMOVE));
    EXPECT_EQ(GetMessageA(&message, c.window, c.first, c.last), TRUE);
    EXPECT_EQ(peeked.message, message.message) << "PM_NOREMOVE left it in place";
    EXPECT_EQ(message.hwnd, c.expectedWindow);
    EXPECT_EQ(message.message, c.expectedMessage);
  }
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, QuitComesAfterPostedMessagesAndEndsGetMessage) {
  HWND window = Create();
  PostQuitMessage(7);
  PostMessageA(window, WM_USER + 1, 0, 0);
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, window, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "a window filter never sees it";
  EXPECT_EQ(GetMessageA(&message, nullptr, WM_USER, WM_USER + 10), TRUE);
  EXPECT_EQ(message.message, WM_USER + 1u);
  EXPECT_EQ(GetMessageA(&message, nullptr, WM_USER, WM_USER + 10), FALSE) << "any range lets the quit through";
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "the quit request is taken once";

  int exitCode = 0;
  PostQuitMessage(3);
  EXPECT_EQ(kwtesting::PumpMessages([] { return false; }, &exitCode), kwtesting::PumpOutcome::Quit);
  EXPECT_EQ(exitCode, 3);
}

int timerMessages = 0;
bool killInHandler = false;

LRESULT CALLBACK TimerWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    timerMessages++;
    if (killInHandler) KillTimer(window, wParam);
  }
  return windowtest::RecordingProcedure(window, message, wParam, lParam);
}

class TimerTest : public WindowTest {
 protected:
  HWND CreateTimerWindow() {
    HWND window = Create();
    SetWindowLongA(window, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(TimerWindowProcedure)));
    timerMessages = 0;
    killInHandler = false;
    Received().clear();
    return window;
  }
};

TEST_F(TimerTest, WindowTimerRepeatsUntilKilled) {
  HWND window = CreateTimerWindow();
  EXPECT_EQ(SetTimer(window, 5, 10, nullptr), 5u);
  EXPECT_EQ(kwtesting::PumpMessages([] { return timerMessages == 3; }), kwtesting::PumpOutcome::ConditionMet);
  for (const auto& received : Received()) {
    EXPECT_EQ(received.message, WM_TIMER);
    EXPECT_EQ(received.wParam, 5u);
  }
  EXPECT_TRUE(KillTimer(window, 5));
  EXPECT_FALSE(KillTimer(window, 5));
  EXPECT_EQ(kwtesting::PumpMessages([] { return false; }), kwtesting::PumpOutcome::QueueEmpty);
}

TEST_F(TimerTest, KillingTheTimerInItsHandlerMakesAOneShot) {
  HWND window = CreateTimerWindow();
  killInHandler = true;
  SetTimer(window, 1, 10, nullptr);
  EXPECT_EQ(kwtesting::PumpMessages([] { return timerMessages > 1; }), kwtesting::PumpOutcome::QueueEmpty);
  EXPECT_EQ(timerMessages, 1);
}

TEST_F(TimerTest, MissedPeriodsCoalesceIntoOneMessage) {
  HWND window = CreateTimerWindow();
  SetTimer(window, 1, 200, nullptr);
  Sleep(700);  // several periods pass unserved
  MSG first;
  MSG second;
  ASSERT_TRUE(PeekMessageA(&first, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&second, nullptr, 0, 0, PM_NOREMOVE)) << "looking does not consume the period";
  EXPECT_EQ(first.message, WM_TIMER);
  EXPECT_EQ(second.message, WM_TIMER);
  EXPECT_EQ(kwtesting::PumpMessages(), kwtesting::PumpOutcome::QueueEmpty);
  EXPECT_EQ(timerMessages, 1);
}

TEST_F(TimerTest, ReplacingATimerKeepsOneTimer) {
  HWND window = CreateTimerWindow();
  SetTimer(window, 1, 5000, nullptr);
  SetTimer(window, 1, 10, nullptr);
  killInHandler = true;
  EXPECT_EQ(kwtesting::PumpMessages([] { return false; }), kwtesting::PumpOutcome::QueueEmpty);
  EXPECT_EQ(timerMessages, 1) << "the 5 s timer was replaced, not kept beside the new one";
}

TEST_F(TimerTest, DestroyingTheWindowEndsItsTimers) {
  HWND window = CreateTimerWindow();
  SetTimer(window, 1, 10, nullptr);
  DestroyWindow(window);
  EXPECT_FALSE(KillTimer(window, 1));
  EXPECT_EQ(kwtesting::PumpMessages([] { return false; }), kwtesting::PumpOutcome::QueueEmpty);
  EXPECT_EQ(timerMessages, 0);
}

std::vector<std::pair<HWND, UINT_PTR>> timerProcedureCalls;

void CALLBACK RecordingTimerProcedure(HWND window, UINT message, UINT_PTR id, DWORD) {
  EXPECT_EQ(message, WM_TIMER);
  timerProcedureCalls.emplace_back(window, id);
}

TEST_F(TimerTest, ThreadTimersCallTheirProcedureWithGeneratedIdentifiers) {
  timerProcedureCalls.clear();
  UINT_PTR first = SetTimer(nullptr, 0, 10, RecordingTimerProcedure);
  UINT_PTR second = SetTimer(nullptr, 0, 60000, RecordingTimerProcedure);
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(SetTimer(nullptr, second, 60000, RecordingTimerProcedure), second) << "an existing id is replaced";

  EXPECT_EQ(kwtesting::PumpMessages([] { return timerProcedureCalls.size() == 2; }),
            kwtesting::PumpOutcome::ConditionMet);
  for (const auto& [window, id] : timerProcedureCalls) {
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(id, first);
  }
  EXPECT_TRUE(KillTimer(nullptr, first));
  EXPECT_TRUE(KillTimer(nullptr, second));
}

TEST_F(TimerTest, DispatchCallsOnlyTheProcedureOfALiveTimer) {
  timerProcedureCalls.clear();
  MSG forged = {nullptr, WM_TIMER, 77, reinterpret_cast<LPARAM>(RecordingTimerProcedure), 0, {0, 0}};
  DispatchMessageA(&forged);
  EXPECT_TRUE(timerProcedureCalls.empty());
}

TEST_F(MessageQueueTest, MessagesRecordTheirTimeAndCursorPosition) {
  HWND window = Create();
  SetCursorPos(10, 20);
  PostMessageA(window, WM_USER, 0, 0);
  SetCursorPos(30, 40);
  MSG message;
  ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
  EXPECT_EQ(message.pt.x, 10);
  EXPECT_EQ(message.pt.y, 20);
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(10, 20)));
  EXPECT_EQ(GetMessageTime(), static_cast<LONG>(message.time));
  SetCursorPos(0, 0);
}

TEST_F(MessageQueueTest, TranslateMessagePostsCharactersOfPrintableKeys) {
  HWND window = Create();
  struct Case {
    WPARAM key;
    bool shift;
    UINT character;  // 0: none
  };
  const Case cases[] = {
      {'A', false, 'a'},        {'A', true, 'A'},  {'7', false, '7'},   {'7', true, '&'}, {VK_SPACE, false, ' '},
      {VK_RETURN, false, '\r'}, {0xBD, true, '_'}, {VK_SHIFT, true, 0}, {0x25, false, 0},  // an arrow key
  };
  for (const Case& c : cases) {
    kwplatform::SetKeyDown(VK_SHIFT, c.shift);
    MSG keyDown = {window, WM_KEYDOWN, c.key, 0x001E0001, 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&keyDown)) << "every key message answers non-zero";
    MSG character;
    bool posted = PeekMessageA(&character, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(posted, c.character != 0) << c.key;
    if (!posted) continue;
    EXPECT_EQ(character.message, WM_CHAR);
    EXPECT_EQ(character.hwnd, window);
    EXPECT_EQ(character.wParam, c.character) << c.key;
    EXPECT_EQ(character.lParam, 0x001E0001);
  }
  kwplatform::SetKeyDown(VK_SHIFT, false);
  MSG mouse = {window, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
  EXPECT_FALSE(TranslateMessage(&mouse));
}

TEST_F(MessageQueueTest, PostFromAnotherThreadWakesABlockedGetMessage) {
  HWND window = Create();
  std::thread poster([window] {
    Sleep(100);  // lets the main thread block first (any order passes)
    PostMessageA(window, WM_USER + 7, 1, 2);
  });
  MSG message;
  EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
  poster.join();
  EXPECT_EQ(message.hwnd, window);
  EXPECT_EQ(message.message, WM_USER + 7u);
  EXPECT_EQ(message.lParam, 2);
}

std::atomic<std::thread::id> procedureThread;

LRESULT CALLBACK ThreadRecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 100) procedureThread = std::this_thread::get_id();
  return windowtest::RecordingProcedure(window, message, wParam, lParam);
}

TEST_F(MessageQueueTest, SendFromAnotherThreadRunsOnTheWindowsThread) {
  HWND window = Create();
  SetWindowLongA(window, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(ThreadRecordingProcedure)));
  LRESULT answer = 0;
  std::thread sender([&] {
    answer = SendMessageA(window, WM_USER + 100, 0, 0);
    PostMessageA(window, WM_USER + 8, 0, 0);  // ends the main thread's wait
  });
  MSG message;
  EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
  sender.join();
  EXPECT_EQ(message.message, WM_USER + 8u) << "a sent message is delivered, not returned";
  EXPECT_EQ(answer, 1234);
  EXPECT_EQ(procedureThread.load(), std::this_thread::get_id());
}

TEST_F(MessageQueueTest, AnIdleGetMessageUsesNoProcessorTime) {
  std::atomic<HWND> window{nullptr};
  uint64_t usedWhileWaiting = 0;
  MSG received = {};
  std::thread waiter([&] {
    HWND own =
        CreateWindowExA(0, windowtest::RecordingClass, "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue's code has run once
    uint64_t before = kwtesting::ThreadProcessorMicroseconds();
    window = own;
    GetMessageA(&received, nullptr, 0, 0);
    usedWhileWaiting = kwtesting::ThreadProcessorMicroseconds() - before;
    DestroyWindow(own);
  });
  while (window.load() == nullptr) Sleep(1);
  Sleep(1000);  // the waiter sits idle in GetMessageA meanwhile
  PostMessageA(window, WM_USER + 9, 0, 0);
  waiter.join();
  EXPECT_EQ(received.message, WM_USER + 9u);
  EXPECT_LT(usedWhileWaiting, 50000u) << "microseconds of processor time used during about 1 s of waiting";
}

TEST_F(MessageQueueTest, WatchedDescriptorsWakeTheWaitAndRunTheirCallback) {
  HWND window = Create();
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::vector<short> readiness;
  int watch = kwplatform::WatchDescriptor(ends[0], POLLIN, [&](int descriptor, short events) {
    char byte;
    EXPECT_EQ(read(descriptor, &byte, 1), 1);
    readiness.push_back(events);
    PostMessageA(window, WM_USER + 10, static_cast<WPARAM>(byte), 0);
  });
  ASSERT_NE(watch, 0);
  std::thread writer([&] {
    Sleep(100);
    EXPECT_EQ(write(ends[1], "x", 1), 1);
  });
  MSG message;
  EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
  writer.join();
  EXPECT_EQ(message.message, WM_USER + 10u);
  EXPECT_EQ(message.wParam, static_cast<WPARAM>('x'));
  EXPECT_EQ(readiness, std::vector<short>({POLLIN}));

  // With no events watched the descriptor stays unread; PeekMessageA polls without waiting.
  EXPECT_TRUE(kwplatform::ChangeWatchedEvents(watch, 0));
  ASSERT_EQ(write(ends[1], "y", 1), 1);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(kwplatform::ChangeWatchedEvents(watch, POLLIN));
  EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.wParam, static_cast<WPARAM>('y'));

  EXPECT_TRUE(kwplatform::UnwatchDescriptor(watch));
  EXPECT_FALSE(kwplatform::UnwatchDescriptor(watch));
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
