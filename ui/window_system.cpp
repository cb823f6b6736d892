#include "ui/window_system.h"

#include "core/memory_manager.h"
#include "graphics/drawing_port.h"
#include "loader/main_loop.h"
#include "loader/startup.h"
#include "ui/pane_state.h"
#include "ui/window_view.h"

namespace {

bool PaneHasCapture() { return CapturePane() != nullptr; }

void IdleFocusedPane() {
  if (Pane* pane = FocusedPane()) pane->Idle();
}

}  // namespace

void InstallWindowSystem() {
  TheStartupHooks().registerWindowClasses = RegisterPaneWindowClasses;
  MainLoopHooks& loop = TheMainLoopHooks();
  loop.paneHasCapture = PaneHasCapture;
  loop.idleFocusedPane = IdleFocusedPane;
  // The out-of-memory message box must not find the port's context still borrowed.
  SetOutOfMemoryHook(RetireCurrentPort);
}
