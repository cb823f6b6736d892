#include "ui/pane_state.h"

#include "graphics/drawing_port.h"
#include "ui/window_view.h"

namespace {

Pane* focusedPane;
Pane* capturePane;
Pane* drawingTarget;
PaneWatch* watches;

}  // namespace

Pane* FocusedPane() { return focusedPane; }

void RequestFocus(Pane* pane) {
  if (pane == nullptr || !pane->AcceptsFocus()) return;
  WindowView* view = WindowViewOf(pane);
  if (view == nullptr) return;
  view->rememberedFocus = pane;
  if (view->active) ChangeFocus(pane);
}

void ChangeFocus(Pane* pane) {
  if (pane == focusedPane) return;
  if (Pane* old = focusedPane) {
    focusedPane = nullptr;
    old->LoseFocus();
  }
  // LoseFocus may have focused another pane; that one stays.
  if (focusedPane == nullptr && pane) {
    focusedPane = pane;
    pane->GainFocus();
  }
}

Pane* CapturePane() { return capturePane; }

void TakeCapture(Pane* pane) {
  HWND window = pane ? pane->TopLevelWindow() : nullptr;
  if (window)
    SetCapture(window);
  else if (capturePane)
    ReleaseCapture();
  capturePane = pane;
}

void ReleasePaneCapture() {
  if (capturePane == nullptr) return;
  capturePane = nullptr;
  ReleaseCapture();
}

Pane* DrawingTarget() { return drawingTarget; }

void MakeDrawingTarget(Pane* pane) {
  RetireCurrentPort();
  if (pane == drawingTarget) return;
  Pane* old = drawingTarget;
  drawingTarget = pane;
  if (old) old->EndDrawing();
  if (pane) {
    pane->BeginDrawing();
    pane->PrepareDrawing();
  }
}

void EndDrawingTarget() {
  RetireCurrentPort();
  Pane* old = drawingTarget;
  drawingTarget = nullptr;
  if (old) old->EndDrawing();
}

void WatchPane(PaneWatch* watch, Pane* pane) {
  watch->pane = pane;
  watch->next = watches;
  watches = watch;
}

void UnwatchPane(PaneWatch* watch) {
  for (PaneWatch** link = &watches; *link; link = &(*link)->next) {
    if (*link == watch) {
      *link = watch->next;
      return;
    }
  }
}

void ForgetPane(Pane* pane) {
  // Close clears these first; a pane deleted directly must not leave them dangling either.
  if (focusedPane == pane) focusedPane = nullptr;
  if (drawingTarget == pane) {
    RetireCurrentPort();
    drawingTarget = nullptr;
  }
  if (CurrentPort() && CurrentPort()->device == pane) RetireCurrentPort();
  if (capturePane == pane) ReleasePaneCapture();
  for (PaneWatch* watch = watches; watch; watch = watch->next)
    if (watch->pane == pane) watch->pane = nullptr;
}
