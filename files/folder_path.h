// Windows paths as folder items see them: split into volume, directory and name, their
// parents, and one path resolved against another.
#pragma once

#include <string>
#include <string_view>

struct SplitPath {
  std::string volume;     // "C:\", "\\server\", or the whole path when it has no "\" after its start
  std::string directory;  // up to and including the last "\" of the rest
  std::string name;       // what follows that "\"
};

SplitPath SplitWindowsPath(std::string_view path);

// Volume + directory without its final "\", or the volume without its last character.
std::string ParentPath(std::string_view path);

// Child: the relative path goes inside the base; sibling: it replaces the base's name.
enum class ResolveMode { Child, Sibling };
std::string ResolvePath(std::string_view base, std::string_view relative, ResolveMode mode);
