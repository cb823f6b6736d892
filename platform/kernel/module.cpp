// Modules: the engine's own, the system libraries, and PE DLLs loaded from files. One
// recursive lock guards the table and is held through a DLL's entry point, like Win32's loader
// lock, so that an entry point may load libraries itself.

// 64-bit file offsets and inode numbers: the 32-bit stat and readdir fail with EOVERFLOW on
// file systems with large inode numbers.

#include "platform/kernel/module.h"
#include "platform/kernel/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/pe_loader.h"
#include "platform/kernel/system_modules.h"

namespace kwplatform {

namespace {

struct LoadedLibrary {
  std::string name;         // lower case, as module names are compared
  std::string hostPath;     // canonical: the same file loads once whatever its name
  std::string windowsPath;  // what GetModuleFileNameA reports
  PeModule image;
  long references = 1;
};

std::recursive_mutex moduleLock;
std::map<HMODULE, std::unique_ptr<LoadedLibrary>> libraries;

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A file name as Win32 completes it: ".dll" is added when the last component has no extension,
// and a trailing dot, which says "no extension", is dropped.
std::string WithExtension(std::string_view path) {
  std::string_view last = path.substr(path.find_last_of("\\/") + 1);
  if (!last.empty() && last.back() == '.') return std::string(path.substr(0, path.size() - 1));
  if (last.find('.') == std::string_view::npos) return std::string(path) + ".dll";
  return std::string(path);
}

// The name a module is known by: its file name, extension completed, in lower case.
std::string ModuleName(std::string_view path) {
  std::string completed = WithExtension(path);
  return LowerCase(std::string_view(completed).substr(completed.find_last_of("\\/") + 1));
}

// The existing regular file a Windows path names, each component matched without regard to
// case as Windows does.
bool FindFileIgnoringCase(const std::string& windowsPath, std::string& found) {
  struct stat status;
  return MapWindowsPath(windowsPath.c_str(), &found) && stat(found.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string EngineHostPath() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  return std::string(path, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string EngineName() {
  std::string path = EngineHostPath();
  return LowerCase(path.substr(path.rfind('/') + 1));
}

// The host file a library name designates. A bare name is looked for in the current
// directory, then in the engine executable's folder.
bool FindLibraryFile(std::string_view name, std::string& hostPath) {
  std::string file = WithExtension(name);
  if (file.find_first_of("\\/:") != std::string::npos) return FindFileIgnoringCase(file, hostPath);
  if (FindFileIgnoringCase(file, hostPath)) return true;
  return FindFileIgnoringCase(WindowsPathFromHostPath(EngineHostPath().substr(0, EngineHostPath().rfind('/') + 1)) + file,
                              hostPath);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  bytes.clear();
  uint8_t chunk[65536];
  ssize_t count;
  while ((count = read(descriptor, chunk, sizeof(chunk))) > 0) bytes.insert(bytes.end(), chunk, chunk + count);
  close(descriptor);
  return count == 0;
}

const SystemModule* SystemModuleNamed(const std::string& name) {
  for (const SystemModule& module : SystemModules())
    if (name == module.name) return &module;
  return nullptr;
}

const SystemModule* SystemModuleOf(HMODULE handle) {
  for (const SystemModule& module : SystemModules())
    if (handle == reinterpret_cast<HMODULE>(const_cast<SystemModule*>(&module))) return &module;
  return nullptr;
}

HMODULE HandleOf(const SystemModule* module) { return reinterpret_cast<HMODULE>(const_cast<SystemModule*>(module)); }

LoadedLibrary* LibraryOf(HMODULE handle) {
  auto found = libraries.find(handle);
  return found == libraries.end() ? nullptr : found->second.get();
}

LoadedLibrary* LibraryWhere(bool (*matches)(const LoadedLibrary&, const std::string&), const std::string& key) {
  for (auto& [handle, library] : libraries)
    if (matches(*library, key)) return library.get();
  return nullptr;
}

// A module that is already there under this name: a system library, the engine, or a loaded DLL.
HMODULE ModuleNamed(const std::string& name) {
  if (const SystemModule* system = SystemModuleNamed(name)) return HandleOf(system);
  if (name == EngineName()) return EngineModuleHandle();
  LoadedLibrary* library = LibraryWhere([](const LoadedLibrary& l, const std::string& n) { return l.name == n; }, name);
  return library ? library->image.Handle() : nullptr;
}

// Unloads a library that has left the table, keeping the error that made it fail.
void Discard(std::unique_ptr<LoadedLibrary> library) {
  DWORD error = GetLastError();
  UnloadPeModule(library->image);
  SetLastError(error);
}

HMODULE LoadLibraryFile(const std::string& hostPath) {
  std::vector<uint8_t> file;
  if (!ReadWholeFile(hostPath, file)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  auto library = std::make_unique<LoadedLibrary>();
  library->hostPath = hostPath;
  library->windowsPath = WindowsPathFromHostPath(hostPath);
  library->name = LowerCase(hostPath.substr(hostPath.rfind('/') + 1));
  if (!MapPeModule(file, library->image)) {
    Discard(std::move(library));
    return nullptr;
  }
  // In the table before its imports are bound, so that libraries importing each other
  // find it rather than load it again.
  HMODULE handle = library->image.Handle();
  LoadedLibrary& entry = *(libraries[handle] = std::move(library));
  if (BindPeImports(entry.image) && AttachPeModule(entry.image)) return handle;
  auto failed = std::move(libraries[handle]);
  libraries.erase(handle);
  Discard(std::move(failed));
  return nullptr;
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  if (lpLibFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string_view name = lpLibFileName;
  if (name.empty() || IsSeparator(name.back())) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::string moduleName = ModuleName(name);
  // System libraries are found by name wherever the path points.
  if (const SystemModule* system = SystemModuleNamed(moduleName)) return HandleOf(system);
  std::lock_guard<std::recursive_mutex> guard(moduleLock);
  // A bare name matches a module loaded under that name from any folder.
  bool bare = name.find_first_of("\\/:") == std::string_view::npos;
  HMODULE known = bare ? ModuleNamed(moduleName) : nullptr;
  std::string hostPath, canonical;
  if (known == nullptr) {
    char resolved[PATH_MAX];
    if (!FindLibraryFile(name, hostPath) || realpath(hostPath.c_str(), resolved) == nullptr) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
    canonical = resolved;
    if (canonical == EngineHostPath()) return EngineModuleHandle();
    LoadedLibrary* loaded =
        LibraryWhere([](const LoadedLibrary& l, const std::string& path) { return l.hostPath == path; }, canonical);
    if (loaded == nullptr) return LoadLibraryFile(canonical);
    known = loaded->image.Handle();
  }
  if (LoadedLibrary* library = LibraryOf(known)) library->references++;
  return known;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName == nullptr) return EngineModuleHandle();
  std::lock_guard<std::recursive_mutex> guard(moduleLock);
  HMODULE module = ModuleNamed(ModuleName(lpModuleName));
  if (module == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  if (hModule == nullptr) hModule = EngineModuleHandle();
  if (const SystemModule* system = SystemModuleOf(hModule)) {
    // By name, or by ordinal: the position in the table from 1.
    uintptr_t ordinal = reinterpret_cast<uintptr_t>(lpProcName);
    if (IS_INTRESOURCE(lpProcName)) {
      if (ordinal >= 1 && ordinal <= system->exports.size()) return system->exports[ordinal - 1].address;
    } else {
      for (const SystemExport& entry : system->exports)
        if (strcmp(entry.name, lpProcName) == 0) return entry.address;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  // The engine's executable exports nothing.
  if (hModule == EngineModuleHandle()) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  std::lock_guard<std::recursive_mutex> guard(moduleLock);
  LoadedLibrary* library = LibraryOf(hModule);
  if (library == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return FindPeModuleExport(library->image, lpProcName);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  if (SystemModuleOf(hLibModule) != nullptr || hLibModule == EngineModuleHandle()) return TRUE;
  std::lock_guard<std::recursive_mutex> guard(moduleLock);
  auto found = libraries.find(hLibModule);
  if (found == libraries.end()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  if (--found->second->references > 0) return TRUE;
  // Out of the table first: the entry point's detach may load and free libraries itself.
  std::unique_ptr<LoadedLibrary> library = std::move(found->second);
  libraries.erase(found);
  UnloadPeModule(library->image);
  return TRUE;
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::string path;
  if (hModule == nullptr || hModule == EngineModuleHandle()) {
    path = WindowsPathFromHostPath(EngineHostPath());
  } else if (const SystemModule* system = SystemModuleOf(hModule)) {
    // System libraries have no file; they are named as if in the system folder.
    path = std::string("C:\\Windows\\System32\\") + system->name;
  } else {
    std::lock_guard<std::recursive_mutex> guard(moduleLock);
    LoadedLibrary* library = LibraryOf(hModule);
    if (library == nullptr) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    path = library->windowsPath;
  }
  // As Win32: a path that does not fit is cut to nSize - 1 characters, still terminated, and
  // the result is nSize with ERROR_INSUFFICIENT_BUFFER.
  if (lpFilename == nullptr && nSize != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (path.size() < nSize) {
    memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
  }
  if (nSize > 0) {
    memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = 0;
  }
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return nSize;
}

}  // extern "C"
