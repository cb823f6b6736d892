// GetOpenFileNameA and GetSaveFileNameA, headless: each dialog takes the next answer the test
// interface preset (a path, or cancel), and is cancelled without one.
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "platform/kernel/paths.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

// CommDlgExtendedError codes.
constexpr DWORD kStructSizeError = 0x0001;    // CDERR_STRUCTSIZE
constexpr DWORD kBufferTooSmallError = 0x3003;  // FNERR_BUFFERTOOSMALL
constexpr DWORD kSmallestStructSize = 76;     // OPENFILENAME_SIZE_VERSION_400A

struct DialogState {
  std::mutex lock;
  std::deque<std::optional<std::string>> answers;  // empty optional: cancel
  std::vector<kwtesting::FileDialogRecord> shown;
  DWORD lastError = 0;
};

DialogState& State() {
  static DialogState state;
  return state;
}

bool Exists(const std::string& path) {
  std::string host;
  return kwplatform::MapWindowsPath(path.c_str(), &host) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

BOOL Show(LPOPENFILENAMEA dialog, bool save) {
  DialogState& state = State();
  std::unique_lock<std::mutex> guard(state.lock);
  state.lastError = 0;
  if (dialog == nullptr || dialog->lStructSize < kSmallestStructSize) {
    state.lastError = kStructSizeError;
    return FALSE;
  }
  kwtesting::FileDialogRecord record{save, dialog->hwndOwner, {}, dialog->lpstrDefExt ? dialog->lpstrDefExt : "",
                                     static_cast<unsigned>(dialog->Flags)};
  for (const char* entry = dialog->lpstrFilter; entry && *entry;) {
    std::string name = entry;
    entry += name.size() + 1;
    std::string pattern = entry;
    entry += pattern.size() + 1;
    record.filter.emplace_back(name, pattern);
  }
  state.shown.push_back(record);
  if (state.answers.empty()) return FALSE;
  std::optional<std::string> answer = state.answers.front();
  state.answers.pop_front();
  guard.unlock();
  if (!answer) return FALSE;
  std::string path = *answer;
  size_t nameStart = path.find_last_of("\\/");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  // The save dialog adds the default extension to a name without one.
  if (save && dialog->lpstrDefExt && *dialog->lpstrDefExt && path.find('.', nameStart) == std::string::npos)
    path += std::string(".") + dialog->lpstrDefExt;
  // A path the dialog's flags forbid could not have been confirmed.
  if ((dialog->Flags & OFN_FILEMUSTEXIST) && !Exists(path)) return FALSE;
  if ((dialog->Flags & OFN_PATHMUSTEXIST) && nameStart > 0 && !Exists(path.substr(0, nameStart - 1))) return FALSE;
  if (dialog->lpstrFile == nullptr || dialog->nMaxFile < path.size() + 1) {
    if (dialog->lpstrFile && dialog->nMaxFile >= 2) *reinterpret_cast<WORD*>(dialog->lpstrFile) = static_cast<WORD>(path.size() + 1);
    std::lock_guard<std::mutex> again(state.lock);
    state.lastError = kBufferTooSmallError;
    return FALSE;
  }
  memcpy(dialog->lpstrFile, path.c_str(), path.size() + 1);
  dialog->nFileOffset = static_cast<WORD>(nameStart);
  size_t dot = path.find_last_of('.');
  dialog->nFileExtension = static_cast<WORD>(dot != std::string::npos && dot >= nameStart ? dot + 1 : path.size());
  return TRUE;
}

}  // namespace

extern "C" {

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA lpofn) { return Show(lpofn, false); }

BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA lpofn) { return Show(lpofn, true); }

DWORD WINAPI CommDlgExtendedError(void) {
  std::lock_guard<std::mutex> guard(State().lock);
  return State().lastError;
}

}  // extern "C"

namespace kwtesting {

void PresetFileDialogAnswer(const std::string& path) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().answers.emplace_back(path);
}

void PresetFileDialogCancel() {
  std::lock_guard<std::mutex> guard(State().lock);
  State().answers.emplace_back(std::nullopt);
}

std::vector<FileDialogRecord> FileDialogsShown() {
  std::lock_guard<std::mutex> guard(State().lock);
  return State().shown;
}

void ClearFileDialogs() {
  std::lock_guard<std::mutex> guard(State().lock);
  State().shown.clear();
  State().answers.clear();
}

}  // namespace kwtesting
