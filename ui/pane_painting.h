// Painting panes and drawing on them outside painting.
#pragma once

#include "graphics/port_rect.h"
#include "ui/pane.h"

// Paints a pane with a window: BeginPaint, a drawing port from the pane's font, Paint, EndPaint.
// Called for WM_PAINT and, right after invalidating, by the refresh services.
void PaintPane(Pane* pane);

// Invalidates the pane (or a rectangle of top-level client coordinates) and paints the pane's
// window at once, so that the new look is on screen before this returns.
void RefreshPane(Pane* pane);
void RefreshPaneRect(Pane* pane, PortRect rect);

// A drawing port for a pane, its font, size and style taken from the pane.
struct DrawingPort;
DrawingPort* NewPanePort(Pane* pane);
