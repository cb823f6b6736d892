// Windows paths on the host: drive Z: is the host's root, drive C: the layer's own directory,
// relative paths are relative to the host's current directory.
#pragma once

#include <string>

namespace kwplatform {

// The host path for a Windows path, or false when it names no host location (an unmapped
// drive, a UNC path, an empty path). "\" and "/" both separate; each component that exists
// only in another letter case is matched without regard to case, as Windows would.
bool MapWindowsPath(const char* windowsPath, std::string* hostPath);

// The Windows form of an absolute host path ("Z:\..." or, inside drive C's directory, "C:\...").
std::string WindowsPathFromHostPath(const std::string& hostPath);

// The host directory behind drive C: (environment variable KW_DRIVE_C, else
// $HOME/.kwengine/drive_c), created on first use.
const std::string& DriveCDirectory();

// Files whose name is not yet durable: a file that was created stays listed under its
// descriptor until its first flush (which then also flushes its folder) or its close.
void NoteCreatedFile(int descriptor, const std::string& hostPath);
void ForgetCreatedFile(int descriptor);
// Makes the descriptor's data durable and, after a creation, the folder entry that names it.
bool FlushDescriptor(int descriptor);

}  // namespace kwplatform
