// The process entry of the engine executable: record the command line and run WinMain.
#include "platform/kernel/process.h"
#include "platform/kernel/module.h"
#include "platform/win32.h"

int main(int argc, char** argv) {
  kwplatform::SetCommandLineFromArguments(argc, argv);
  return WinMain(kwplatform::EngineModuleHandle(), nullptr, const_cast<LPSTR>(kwplatform::CommandLineArguments()),
                 SW_SHOWDEFAULT);
}
