// The link from a window to its pane or view, kept in the window's extra bytes 0.
#pragma once

#include "platform/win32.h"

class Pane;

// Null unlinks.
void LinkWindowToPane(HWND window, Pane* pane);
Pane* PaneOfWindow(HWND window);
