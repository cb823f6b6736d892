// Tab order: the leaves of a window's pane tree, depth first in child-list order (the order of
// the controls in the window's description).
#pragma once

#include <vector>

#include "ui/pane.h"

std::vector<Pane*> TabOrder(Pane* root);

// The pane that Tab (or Shift+Tab when backwards) moves to from current: the next (previous)
// pane in tab order that takes the focus, wrapping around; null when none does.
Pane* NextTabPane(Pane* root, Pane* current, bool backwards);
