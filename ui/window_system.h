// Plugs the pane framework into start-up and the main loop.
#pragma once

void InstallWindowSystem();
