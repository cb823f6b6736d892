// Process-wide kernel functions: the command line and the end of the process.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/kernel/process.h"
#include "platform/win32.h"

namespace {
std::string commandLine;
}

namespace kwplatform {

void SetCommandLineFromArguments(int argc, char** argv) {
  // Win32 quoting: arguments with spaces, tabs or quotes are enclosed in quotes, with quotes
  // and the backslashes before them escaped so that the C runtime splits them back alike.
  commandLine.clear();
  for (int index = 0; index < argc; index++) {
    if (index > 0) commandLine += ' ';
    std::string argument = argv[index];
    bool needsQuotes = argument.empty() || argument.find_first_of(" \t\"") != std::string::npos;
    if (!needsQuotes) {
      commandLine += argument;
      continue;
    }
    commandLine += '"';
    size_t backslashes = 0;
    for (char c : argument) {
      if (c == '\\') {
        backslashes++;
        continue;
      }
      if (c == '"') backslashes = backslashes * 2 + 1;
      commandLine.append(backslashes, '\\');
      backslashes = 0;
      commandLine += c;
    }
    commandLine.append(backslashes * 2, '\\');
    commandLine += '"';
  }
}

const char* CommandLineArguments() {
  // What WinMain receives: the command line after the program name and its separating blanks.
  const char* cursor = commandLine.c_str();
  bool quoted = false;
  for (; *cursor && (quoted || (*cursor != ' ' && *cursor != '\t')); cursor++)
    if (*cursor == '"') quoted = !quoted;
  while (*cursor == ' ' || *cursor == '\t') cursor++;
  return cursor;
}

}  // namespace kwplatform

extern "C" {

LPSTR WINAPI GetCommandLineA(void) { return commandLine.data(); }

void WINAPI ExitProcess(UINT exitCode) {
  // The C runtime's buffered output would be lost by a bare exit of all threads.
  fflush(nullptr);
  _exit(static_cast<int>(exitCode));
}

}  // extern "C"
