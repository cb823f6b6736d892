#include "platform/user/message_queue.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>

#include "platform/kernel/time.h"
#include "platform/user/cursor.h"
#include "platform/user/painting.h"
#include "platform/user/window.h"

namespace kwplatform {

namespace {

std::atomic<int> nextWatchId{1};

bool MatchesRange(UINT message, const MessageFilter& filter) {
  if (filter.first == 0 && filter.last == 0) return true;
  // Unsigned distance: a range whose first exceeds its last wraps around.
  return message - filter.first <= filter.last - filter.first;
}

bool MatchesWindow(HWND window, const MessageFilter& filter) {
  if (filter.window == nullptr) return true;
  if (filter.window == reinterpret_cast<HWND>(-1)) return window == nullptr;
  return window != nullptr && (window == filter.window || IsDescendant(filter.window, window));
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{window, message, wParam, lParam, GetTickCount(), CursorPosition()};
}

}  // namespace

// Holds the calling thread's queue and retires it when the thread ends.
struct QueueOfThread {
  std::shared_ptr<MessageQueue> queue;
  ~QueueOfThread() {
    if (queue) queue->Retire();
  }
};

namespace {
thread_local QueueOfThread queueOfThread;
}

MessageQueue::MessageQueue() : owner_(std::this_thread::get_id()) {
  wakeRead_ = wakeWrite_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeRead_ < 0) {
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
      wakeRead_ = ends[0];
      wakeWrite_ = ends[1];
    }
  }
}

MessageQueue::~MessageQueue() {
  if (wakeWrite_ >= 0 && wakeWrite_ != wakeRead_) close(wakeWrite_);
  if (wakeRead_ >= 0) close(wakeRead_);
}

std::shared_ptr<MessageQueue> MessageQueue::ForCurrentThread() {
  if (!queueOfThread.queue) queueOfThread.queue = std::make_shared<MessageQueue>();
  return queueOfThread.queue;
}

void MessageQueue::Retire() {
  std::lock_guard<std::mutex> guard(lock_);
  retired_ = true;
  posted_.clear();
  for (auto& sent : sent_) sent->done = true;
  sent_.clear();
  sentDone_.notify_all();
}

void MessageQueue::WakeIfSleeping() {
  if (!sleeping_ || wakeSignalled_) return;
  wakeSignalled_ = true;
  // Eight bytes: the size an eventfd takes; a pipe takes them too.
  uint64_t one = 1;
  [[maybe_unused]] ssize_t written = write(wakeWrite_, &one, sizeof one);
}

bool MessageQueue::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG posted = MakeMessage(window, message, wParam, lParam);
  std::lock_guard<std::mutex> guard(lock_);
  if (retired_) return false;
  posted_.push_back({nextEntryId_++, posted, false, {}});
  WakeIfSleeping();
  return true;
}

bool MessageQueue::PostAheadOfInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG posted = MakeMessage(window, message, wParam, lParam);
  std::lock_guard<std::mutex> guard(lock_);
  if (retired_) return false;
  auto firstInput = std::find_if(posted_.begin(), posted_.end(), [](const QueuedMessage& queued) { return queued.input; });
  posted_.insert(firstInput, {nextEntryId_++, posted, false, {}});
  WakeIfSleeping();
  return true;
}

bool MessageQueue::PostInput(const InputEvent& event) {
  std::lock_guard<std::mutex> guard(lock_);
  if (retired_) return false;
  posted_.push_back({nextEntryId_++, MSG{}, true, event});
  WakeIfSleeping();
  return true;
}

LRESULT MessageQueue::SendFromOtherThread(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto sent = std::make_shared<SentMessage>();
  sent->message = MakeMessage(window, message, wParam, lParam);
  std::unique_lock<std::mutex> guard(lock_);
  if (retired_) return 0;
  sent_.push_back(sent);
  WakeIfSleeping();
  sentDone_.wait(guard, [&] { return sent->done; });
  return sent->result;
}

void MessageQueue::DeliverSentMessages() {
  for (;;) {
    std::shared_ptr<SentMessage> sent;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (sent_.empty()) return;
      sent = sent_.front();
      sent_.pop_front();
    }
    LRESULT result = 0;
    const MSG& message = sent->message;
    if (std::shared_ptr<Window> window = LookUpWindow(message.hwnd))
      result = CallProcedure(window->procedure, message.hwnd, message.message, message.wParam, message.lParam);
    {
      std::lock_guard<std::mutex> guard(lock_);
      sent->result = result;
      sent->done = true;
    }
    sentDone_.notify_all();
  }
}

void MessageQueue::PostQuit(int exitCode) {
  std::lock_guard<std::mutex> guard(lock_);
  quitRequested_ = true;
  quitCode_ = exitCode;
}

MessageQueue::Found MessageQueue::TakePosted(MSG* message, const MessageFilter& filter, bool remove,
                                              QueuedMessage* input) {
  for (auto posted = posted_.begin(); posted != posted_.end();) {
    // Input is turned into its message when reached, whatever the filter: what it becomes
    // depends on the messages handled before it.
    if (posted->input) {
      *input = *posted;
      return Found::Input;
    }
    // Messages of windows destroyed since they were posted are dropped.
    if (posted->message.hwnd != nullptr && !LookUpWindow(posted->message.hwnd)) {
      posted = posted_.erase(posted);
      continue;
    }
    // WM_QUIT passes any range filter, as in Win32.
    const MSG& candidate = posted->message;
    if (MatchesWindow(candidate.hwnd, filter) && (candidate.message == WM_QUIT || MatchesRange(candidate.message, filter))) {
      *message = candidate;
      if (remove) posted_.erase(posted);
      return Found::Message;
    }
    ++posted;
  }
  return Found::Nothing;
}

void MessageQueue::ReplaceInput(uint64_t id, bool cooked, const MSG& message) {
  for (auto posted = posted_.begin(); posted != posted_.end(); ++posted) {
    if (posted->id != id) continue;
    if (cooked) {
      posted->message = message;
      posted->input = false;
    } else {
      posted_.erase(posted);
    }
    return;
  }
}

bool MessageQueue::TakeQuit(MSG* message, const MessageFilter& filter, bool remove) {
  // The quit request is a thread message: a filter on a window never sees it.
  if (!quitRequested_ || (filter.window != nullptr && filter.window != reinterpret_cast<HWND>(-1))) return false;
  *message = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(quitCode_), 0);
  if (remove) quitRequested_ = false;
  return true;
}

bool MessageQueue::TakeTimer(MSG* message, const MessageFilter& filter, bool remove) {
  if (timers_.empty() || !MatchesRange(WM_TIMER, filter)) return false;
  uint64_t now = MonotonicMilliseconds();
  Timer* next = nullptr;
  for (Timer& timer : timers_)
    if (timer.due <= now && MatchesWindow(timer.window, filter) && (next == nullptr || timer.due < next->due))
      next = &timer;
  if (next == nullptr) return false;
  *message = MakeMessage(next->window, WM_TIMER, next->id, reinterpret_cast<LPARAM>(next->procedure));
  // The next period starts when this one is taken: missed periods coalesce into this message.
  if (remove) next->due = now + next->interval;
  return true;
}

int MessageQueue::MillisecondsToNextTimer(const MessageFilter& filter) const {
  if (!MatchesRange(WM_TIMER, filter)) return -1;
  uint64_t now = MonotonicMilliseconds();
  int64_t shortest = -1;
  for (const Timer& timer : timers_) {
    if (!MatchesWindow(timer.window, filter)) continue;
    int64_t left = timer.due > now ? static_cast<int64_t>(timer.due - now) : 0;
    if (shortest < 0 || left < shortest) shortest = left;
  }
  return static_cast<int>(std::min<int64_t>(shortest, INT_MAX));
}

bool MessageQueue::Retrieve(MSG* message, const MessageFilter& filter, bool remove, bool wait) {
  bool watchesPolled = false;
  for (;;) {
    DeliverSentMessages();
    std::vector<pollfd> descriptors;
    std::vector<int> watchIds;
    int timeout = 0;
    QueuedMessage input;
    Found found;
    bool taken = false;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (!sent_.empty()) continue;
      found = TakePosted(message, filter, remove, &input);
      taken = found == Found::Message || (found == Found::Nothing && TakeQuit(message, filter, remove));
    }
    if (found == Found::Input) {
      // Cooking sends messages, so it runs without the lock; the event keeps its place.
      MSG cooked;
      bool made = CookInput(input.event, &cooked);
      std::lock_guard<std::mutex> guard(lock_);
      ReplaceInput(input.id, made, cooked);
      continue;
    }
    // Paint messages are made from the windows' update regions, never queued.
    if (!taken && MatchesRange(WM_PAINT, filter))
      if (HWND window = FindWindowToPaint(this, [&](HWND candidate) { return MatchesWindow(candidate, filter); })) {
        *message = MakeMessage(window, WM_PAINT, 0, 0);
        taken = true;
      }
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (!taken) taken = TakeTimer(message, filter, remove);
      if (taken) {
        lastTime_ = message->time;
        lastPosition_ = message->pt;
        return true;
      }
      // Something may have arrived from another thread since the first look: look again.
      MSG arrived;
      QueuedMessage arrivedInput;
      if (!sent_.empty() || TakePosted(&arrived, filter, false, &arrivedInput) != Found::Nothing ||
          TakeQuit(&arrived, filter, false))
        continue;
      if (!wait && (watchesPolled || watches_.empty())) return false;
      if (wait) {
        timeout = MillisecondsToNextTimer(filter);
        sleeping_ = true;
        descriptors.push_back({wakeRead_, POLLIN, 0});
      }
      for (const WatchRecord& watch : watches_) {
        if (watch.events == 0) continue;
        descriptors.push_back({watch.descriptor, watch.events, 0});
        watchIds.push_back(watch.id);
      }
    }

    int ready = poll(descriptors.data(), descriptors.size(), timeout);
    watchesPolled = true;

    struct ReadyWatch {
      int id;
      int descriptor;
      short events;
    };
    std::vector<ReadyWatch> readyWatches;
    {
      std::lock_guard<std::mutex> guard(lock_);
      sleeping_ = false;
      if (wakeSignalled_) {
        char drained[64];
        while (read(wakeRead_, drained, sizeof drained) > 0) {
        }
        wakeSignalled_ = false;
      }
      size_t firstWatch = wait ? 1 : 0;
      for (size_t index = firstWatch; ready > 0 && index < descriptors.size(); index++) {
        if (descriptors[index].revents == 0) continue;
        readyWatches.push_back({watchIds[index - firstWatch], descriptors[index].fd, descriptors[index].revents});
        // A closed descriptor would report itself forever: stop polling it.
        if (descriptors[index].revents & POLLNVAL)
          for (WatchRecord& watch : watches_)
            if (watch.id == readyWatches.back().id) watch.events = 0;
      }
    }
    for (const ReadyWatch& readyWatch : readyWatches) {
      // An earlier callback may have removed this watch and closed its descriptor.
      DescriptorCallback callback;
      {
        std::lock_guard<std::mutex> guard(lock_);
        for (const WatchRecord& watch : watches_)
          if (watch.id == readyWatch.id) callback = watch.callback;
      }
      if (callback) callback(readyWatch.descriptor, readyWatch.events);
    }
  }
}

bool MessageQueue::HasTimersOrWatches() {
  std::lock_guard<std::mutex> guard(lock_);
  return !timers_.empty() ||
         std::any_of(watches_.begin(), watches_.end(), [](const WatchRecord& watch) { return watch.events != 0; });
}

UINT_PTR MessageQueue::SetTimer(HWND window, UINT_PTR id, UINT interval, TIMERPROC procedure) {
  interval = std::clamp(interval, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  uint64_t due = MonotonicMilliseconds() + interval;
  std::lock_guard<std::mutex> guard(lock_);
  auto existing = std::find_if(timers_.begin(), timers_.end(),
                               [&](const Timer& timer) { return timer.window == window && timer.id == id; });
  // Setting a timer that exists replaces it and restarts its period.
  if (existing != timers_.end() && (window != nullptr || id != 0)) {
    *existing = {window, id, interval, procedure, due};
    return window != nullptr && id == 0 ? 1 : id;
  }
  if (window == nullptr) {
    // A thread timer gets an identifier of the layer's choosing, unused on this thread.
    static std::atomic<UINT_PTR> nextThreadTimerId{1};
    auto used = [&](UINT_PTR candidate) {
      return std::any_of(timers_.begin(), timers_.end(),
                         [&](const Timer& timer) { return timer.window == nullptr && timer.id == candidate; });
    };
    do id = nextThreadTimerId.fetch_add(1);
    while (id == 0 || used(id));
  }
  timers_.push_back({window, id, interval, procedure, due});
  // Win32 answers "a nonzero integer" for window timers; the identifier is one.
  return window != nullptr && id == 0 ? 1 : id;
}

bool MessageQueue::KillTimer(HWND window, UINT_PTR id) {
  std::lock_guard<std::mutex> guard(lock_);
  auto found = std::find_if(timers_.begin(), timers_.end(),
                            [&](const Timer& timer) { return timer.window == window && timer.id == id; });
  if (found == timers_.end()) return false;
  timers_.erase(found);
  return true;
}

bool MessageQueue::IsTimerProcedure(HWND window, UINT_PTR id, TIMERPROC procedure) {
  std::lock_guard<std::mutex> guard(lock_);
  return procedure != nullptr && std::any_of(timers_.begin(), timers_.end(), [&](const Timer& timer) {
           return timer.window == window && timer.id == id && timer.procedure == procedure;
         });
}

void MessageQueue::ForgetWindow(HWND window) {
  std::lock_guard<std::mutex> guard(lock_);
  std::erase_if(timers_, [&](const Timer& timer) { return timer.window == window; });
  std::erase_if(posted_, [&](const QueuedMessage& queued) { return !queued.input && queued.message.hwnd == window; });
}

int MessageQueue::Watch(int descriptor, short events, DescriptorCallback callback) {
  int id = nextWatchId.fetch_add(1);
  std::lock_guard<std::mutex> guard(lock_);
  watches_.push_back({id, descriptor, events, std::move(callback)});
  WakeIfSleeping();
  return id;
}

bool MessageQueue::ChangeWatch(int watch, short events) {
  std::lock_guard<std::mutex> guard(lock_);
  for (WatchRecord& record : watches_) {
    if (record.id != watch) continue;
    record.events = events;
    WakeIfSleeping();
    return true;
  }
  return false;
}

bool MessageQueue::Unwatch(int watch) {
  std::lock_guard<std::mutex> guard(lock_);
  return std::erase_if(watches_, [&](const WatchRecord& record) { return record.id == watch; }) > 0;
}

int WatchDescriptor(int descriptor, short events, DescriptorCallback callback) {
  return MessageQueue::ForCurrentThread()->Watch(descriptor, events, std::move(callback));
}

bool ChangeWatchedEvents(int watch, short events) {
  return MessageQueue::ForCurrentThread()->ChangeWatch(watch, events);
}

bool UnwatchDescriptor(int watch) { return MessageQueue::ForCurrentThread()->Unwatch(watch); }

}  // namespace kwplatform
