// The message queue of a thread: posted messages, the quit request, timers, messages sent from
// other threads, and the descriptors its wait also watches.
//
// Retrieval follows Win32's order: messages sent from other threads are delivered first, then
// the first posted message that matches the filter (device input waits among them in arrival
// order and becomes its message when reached), then WM_QUIT, then WM_PAINT of a window that
// needs painting (a parent before its children), then WM_TIMER of the earliest due timer. Timer messages are generated when retrieved, never queued, so a timer that fell
// behind yields one WM_TIMER however many periods passed (Win32's coalescing).
//
// The wait is a single poll() over an eventfd (or pipe) that posts from other threads signal,
// and every watched descriptor, with the time to the next due timer as its timeout: an idle
// thread uses no processor time.
#pragma once

#include <poll.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/user/input.h"
#include "platform/win32.h"

namespace kwplatform {

// Called on the queue's thread, from inside GetMessageA or PeekMessageA, when a watched
// descriptor is ready; readyEvents are poll()'s revents. Level-triggered: the callback must
// consume the readiness or change the watched events, or it is called again at once.
using DescriptorCallback = std::function<void(int descriptor, short readyEvents)>;

// Adds descriptor to the calling thread's message wait, for events (POLLIN, POLLOUT, or both;
// 0 keeps the watch without polling). Returns the watch's id (never 0).
int WatchDescriptor(int descriptor, short events, DescriptorCallback callback);
// Changes the events of a watch of the calling thread; false when no such watch exists.
bool ChangeWatchedEvents(int watch, short events);
// Removes a watch of the calling thread; false when no such watch exists.
bool UnwatchDescriptor(int watch);

struct MessageFilter {
  HWND window = nullptr;  // null: any; (HWND)-1: thread messages only; else that window and its descendants
  UINT first = 0;         // both 0: any message
  UINT last = 0;
};

class MessageQueue {
 public:
  MessageQueue();
  ~MessageQueue();
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  // The calling thread's queue, made on first use; it is retired when the thread ends.
  static std::shared_ptr<MessageQueue> ForCurrentThread();
  bool OwnedByCurrentThread() const { return owner_ == std::this_thread::get_id(); }

  // From any thread. False once the owning thread has ended.
  bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Device input, queued with the posted messages.
  bool PostInput(const InputEvent& event);
  // Posted ahead of the input still waiting, as the character of a key is: it comes before the
  // key's release.
  bool PostAheadOfInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // From another thread: delivered by the owner's next GetMessageA or PeekMessageA; waits for
  // the result (0 if the owning thread ends first).
  LRESULT SendFromOtherThread(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The rest is for the owning thread only.
  void PostQuit(int exitCode);
  // Fills message with the next message that matches; with wait, blocks until there is one,
  // otherwise returns false when there is none. remove takes it off the queue.
  bool Retrieve(MSG* message, const MessageFilter& filter, bool remove, bool wait);
  // Whether anything could still produce a message without another thread's help.
  bool HasTimersOrWatches();

  UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT interval, TIMERPROC procedure);
  bool KillTimer(HWND window, UINT_PTR id);
  // The procedure of a live timer, so that dispatching WM_TIMER calls only registered ones.
  bool IsTimerProcedure(HWND window, UINT_PTR id, TIMERPROC procedure);
  // Drops the timers and queued messages of a window being destroyed.
  void ForgetWindow(HWND window);

  int Watch(int descriptor, short events, DescriptorCallback callback);
  bool ChangeWatch(int watch, short events);
  bool Unwatch(int watch);

  // Time and cursor position of the last retrieved message.
  DWORD LastMessageTime() const { return lastTime_; }
  POINT LastMessagePosition() const { return lastPosition_; }

 private:
  struct Timer {
    HWND window;
    UINT_PTR id;
    UINT interval;
    TIMERPROC procedure;
    uint64_t due;  // on the layer's monotonic clock
  };
  struct QueuedMessage {
    uint64_t id;
    MSG message;
    bool input;  // an input event not yet turned into its message
    InputEvent event;
  };
  enum class Found { Message, Input, Nothing };
  struct SentMessage {
    MSG message;
    LRESULT result = 0;
    bool done = false;
  };
  struct WatchRecord {
    int id;
    int descriptor;
    short events;
    DescriptorCallback callback;
  };

  void Retire();
  void WakeIfSleeping();
  void DeliverSentMessages();
  Found TakePosted(MSG* message, const MessageFilter& filter, bool remove, QueuedMessage* input);
  bool TakeQuit(MSG* message, const MessageFilter& filter, bool remove);
  bool TakeTimer(MSG* message, const MessageFilter& filter, bool remove);
  void ReplaceInput(uint64_t id, bool cooked, const MSG& message);
  int MillisecondsToNextTimer(const MessageFilter& filter) const;
  void WaitAndRunWatches(int timeout, bool wake);

  const std::thread::id owner_;
  std::mutex lock_;
  std::condition_variable sentDone_;
  std::deque<QueuedMessage> posted_;
  uint64_t nextEntryId_ = 1;
  std::deque<std::shared_ptr<SentMessage>> sent_;
  std::vector<Timer> timers_;
  std::vector<WatchRecord> watches_;
  bool quitRequested_ = false;
  int quitCode_ = 0;
  bool retired_ = false;
  bool sleeping_ = false;  // in poll(), waiting to be woken by another thread
  bool wakeSignalled_ = false;
  int wakeRead_ = -1;  // an eventfd, or the ends of a pipe where eventfd is missing
  int wakeWrite_ = -1;
  DWORD lastTime_ = 0;
  POINT lastPosition_ = {0, 0};

  friend struct QueueOfThread;
};

}  // namespace kwplatform
