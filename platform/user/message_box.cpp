// Headless message boxes: the caption and text go to standard error and are recorded for the
// test interface; the box is "dismissed" at once with the preset answer or its first button.
#include <cstdio>
#include <deque>
#include <mutex>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

std::mutex recordLock;
std::vector<kwtesting::MessageBoxRecord> shown;
std::deque<int> presetAnswers;

int FirstButton(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
      return IDYES;
    case MB_RETRYCANCEL:
      return IDRETRY;
    default:
      return IDOK;
  }
}

}  // namespace

namespace kwtesting {

std::vector<MessageBoxRecord> MessageBoxesShown() {
  std::lock_guard<std::mutex> guard(recordLock);
  return shown;
}

void ClearMessageBoxes() {
  std::lock_guard<std::mutex> guard(recordLock);
  shown.clear();
}

void PresetMessageBoxAnswer(int answer) {
  std::lock_guard<std::mutex> guard(recordLock);
  presetAnswers.push_back(answer);
}

}  // namespace kwtesting

extern "C" int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  // Win32 shows "Error" when no caption is given.
  const char* shownCaption = caption ? caption : "Error";
  const char* shownText = text ? text : "";
  fprintf(stderr, "%s: %s\n", shownCaption, shownText);
  fflush(stderr);
  std::lock_guard<std::mutex> guard(recordLock);
  shown.push_back({shownCaption, shownText, type});
  if (presetAnswers.empty()) return FirstButton(type);
  int answer = presetAnswers.front();
  presetAnswers.pop_front();
  return answer;
}
