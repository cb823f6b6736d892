// A pane that owns a Win32 control window. The control's window carries the pane in its
// "KWInstance" property, so that the notifications its parent receives reach the pane.
#pragma once

#include "core/runtime_layout.h"
#include "ui/pane.h"

class NativeControlPane : public ContainerPane {
 public:
  // With replaceProcedure, every message of the control window is offered to ControlMessage
  // before the control's own procedure.
  NativeControlPane(const PaneCreation& creation, bool replaceProcedure);

  void SetText(const RuntimeString* text);
  RuntimeString* GetText();  // a new reference
  void SetFont(RuntimeString* name, int32_t size, int32_t style);
  void SetEnabled(bool on, bool redraw) override;

  // What the parent window forwards: WM_COMMAND codes, WM_NOTIFY headers, scroll codes and
  // owner-draw items.
  virtual LRESULT ControlCommand(int32_t) { return 0; }
  virtual LRESULT ControlNotify(LPARAM) { return 0; }
  virtual LRESULT ControlScroll(int32_t) { return 0; }
  virtual LRESULT ControlDrawItem(LPARAM) { return 1; }
  // A message of the control window while the procedure is replaced; true when answered.
  virtual bool ControlMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

  LRESULT CallPreviousProcedure(UINT message, WPARAM wParam, LPARAM lParam);

  WNDPROC previousProcedure = nullptr;
  HFONT font = nullptr;

 protected:
  ~NativeControlPane() override;
};

// The pane a control window carries, or null.
NativeControlPane* NativeControlPaneOf(HWND window);
