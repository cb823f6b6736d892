// The process-wide state of the pane framework: the focused pane, the pane holding the mouse
// capture, the drawing target, and weak references that a pane's destruction clears.
#pragma once

#include "ui/pane.h"

// Focus. A request honours AcceptsFocus and the window's activity; a change does not.
Pane* FocusedPane();
void RequestFocus(Pane* pane);
void ChangeFocus(Pane* pane);  // null clears the focus

// Mouse capture.
Pane* CapturePane();
void TakeCapture(Pane* pane);
void ReleasePaneCapture();

// The pane being drawn in outside painting. Making a pane the target flushes the pending port
// and, when the target changes, ends the old target and begins and prepares the new one.
Pane* DrawingTarget();
void MakeDrawingTarget(Pane* pane);
void EndDrawingTarget();

// A weak reference: its pane becomes null when the pane is destroyed.
struct PaneWatch {
  Pane* pane;
  PaneWatch* next;
};
void WatchPane(PaneWatch* watch, Pane* pane);
void UnwatchPane(PaneWatch* watch);

// Called by a pane's destruction: clears every global reference to it.
void ForgetPane(Pane* pane);
