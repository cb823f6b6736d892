#include "files/folder_path.h"

SplitPath SplitWindowsPath(std::string_view path) {
  SplitPath parts;
  std::string_view rest = path;
  if (path.size() > 1 && ((path[0] == '\\' && path[1] == '\\') || path[1] == ':')) {
    size_t end = path.size() > 2 ? path.find('\\', 2) : std::string_view::npos;
    if (end == std::string_view::npos) {
      parts.volume = path;
      return parts;
    }
    parts.volume = path.substr(0, end + 1);
    rest = path.substr(end + 1);
  }
  size_t last = rest.rfind('\\');
  if (last == std::string_view::npos) {
    parts.name = rest;
  } else {
    parts.directory = rest.substr(0, last + 1);
    parts.name = rest.substr(last + 1);
  }
  return parts;
}

std::string ParentPath(std::string_view path) {
  SplitPath parts = SplitWindowsPath(path);
  if (!parts.directory.empty()) return parts.volume + parts.directory.substr(0, parts.directory.size() - 1);
  if (parts.volume.empty()) return std::string();
  return parts.volume.substr(0, parts.volume.size() - 1);
}

std::string ResolvePath(std::string_view base, std::string_view relative, ResolveMode mode) {
  SplitPath r = SplitWindowsPath(relative);
  if (!r.volume.empty()) return std::string(relative);
  SplitPath b = SplitWindowsPath(base);
  if (!r.directory.empty() && r.directory[0] == '\\') return b.volume + r.directory.substr(1) + r.name;
  if (mode == ResolveMode::Child) return std::string(base) + "\\" + std::string(relative);
  return b.volume + b.directory + r.directory + r.name;
}
