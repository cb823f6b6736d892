// The control notifications that a window or pane procedure receives from its children,
// forwarded to the native control pane that the sending window carries.
#pragma once

#include "platform/win32.h"

// True when the message was a control notification for a pane (result set).
bool ForwardControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
