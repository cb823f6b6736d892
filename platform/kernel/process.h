// The layer's side of the process: what its entry point records for the Win32 functions.
#pragma once

namespace kwplatform {

// Builds the Win32 command line from the host's argument vector.
void SetCommandLineFromArguments(int argc, char** argv);

// The command line after the program name, as WinMain receives it.
const char* CommandLineArguments();

}  // namespace kwplatform
