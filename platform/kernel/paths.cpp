#include "platform/kernel/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdlib>
#include <mutex>
#include <vector>

namespace kwplatform {

namespace {

void MakeDirectories(const std::string& path) {
  std::string partial;
  for (size_t index = 0; index <= path.size(); index++) {
    if (index == path.size() || path[index] == '/') {
      if (!partial.empty()) mkdir(partial.c_str(), 0755);
    }
    if (index < path.size()) partial += path[index];
  }
}

bool Exists(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0;
}

// The entry of directory whose name equals component ignoring ASCII case, if any.
bool FindInAnyCase(const std::string& directory, const std::string& component, std::string* found) {
  DIR* listing = opendir(directory.empty() ? "." : directory.c_str());
  if (listing == nullptr) return false;
  bool matched = false;
  while (dirent* entry = readdir(listing)) {
    if (strcasecmp(entry->d_name, component.c_str()) == 0) {
      *found = entry->d_name;
      matched = true;
      break;
    }
  }
  closedir(listing);
  return matched;
}

}  // namespace

const std::string& DriveCDirectory() {
  static std::once_flag made;
  static std::string directory;
  std::call_once(made, [] {
    if (const char* chosen = getenv("KW_DRIVE_C"); chosen && *chosen) {
      directory = chosen;
    } else {
      const char* home = getenv("HOME");
      directory = std::string(home && *home ? home : "/tmp") + "/.kwengine/drive_c";
    }
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    MakeDirectories(directory);
  });
  return directory;
}

bool MapWindowsPath(const char* windowsPath, std::string* hostPath) {
  if (windowsPath == nullptr || *windowsPath == 0) return false;
  std::string path(windowsPath);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.size() >= 2 && path[0] == '/' && path[1] == '/') return false;  // UNC paths map nowhere yet
  std::string root;
  if (path.size() >= 2 && path[1] == ':') {
    char drive = static_cast<char>(path[0] & ~0x20);
    if (drive == 'Z')
      root = "/";
    else if (drive == 'C')
      root = DriveCDirectory() + "/";
    else
      return false;
    path.erase(0, 2);
  } else if (!path.empty() && path[0] == '/') {
    root = "/";  // rooted without a drive: the host root
  }

  // Rebuild component by component, taking an existing entry in another letter case.
  std::string result = root;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string component = path.substr(start, end - start);
    start = end + 1;
    if (component.empty()) continue;
    std::string candidate = result + component;
    std::string found;
    if (!Exists(candidate) && component != "." && component != ".." &&
        FindInAnyCase(result.empty() ? "." : result, component, &found))
      candidate = result + found;
    result = candidate;
    if (end < path.size()) result += '/';
  }
  if (result.empty()) result = root.empty() ? "." : root;
  *hostPath = result;
  return true;
}

std::string WindowsPathFromHostPath(const std::string& hostPath) {
  const std::string& driveC = DriveCDirectory();
  std::string rest;
  std::string drive;
  if (hostPath.compare(0, driveC.size(), driveC) == 0 &&
      (hostPath.size() == driveC.size() || hostPath[driveC.size()] == '/')) {
    drive = "C:";
    rest = hostPath.substr(driveC.size());
  } else {
    drive = "Z:";
    rest = hostPath;
  }
  if (rest.empty()) rest = "/";
  for (char& c : rest)
    if (c == '/') c = '\\';
  return drive + rest;
}

}  // namespace kwplatform
