// Work registered to run when the process ends: at the end of the main loop, and before an
// unhandled exception ends the process. Runs newest first, once.
#pragma once

using ExitCleanup = void (*)(void* subject);

void RegisterExitCleanup(ExitCleanup cleanup, void* subject);
void RunExitCleanups();
