// Tab order: the leaves of a window's pane tree, depth first in child-list order (the order of
// the controls in the window's description).
#pragma once

#include <vector>

#include "ui/pane.h"

std::vector<Pane*> TabOrder(Pane* root);

// Whether Tab or activation may give the pane the focus: it accepts it and is shown and
// enabled (a pane hidden, on another tab or disabled is passed over whatever it answers).
bool PaneTakesFocus(Pane* pane);

// The pane that Tab (or Shift+Tab when backwards) moves to from current: the next (previous)
// pane in tab order that takes the focus, wrapping around; null when none does.
Pane* NextTabPane(Pane* root, Pane* current, bool backwards);
