// Tab, Shift+Tab and the arrow keys between option buttons, in the
// layout's tab order across frames. The dialog manager cannot do it: it
// visits a frame's contents where the frame stands among its siblings.
#pragma once

#include <windows.h>

#include "platform/win32/native_control.h"

namespace vindrel::win32 {

// Moves the focus for a navigation key of the main window; false when the
// message is not one (the caller passes it on).
bool Navigate(const Win32Ui& ui, const MSG& msg);

// Moves the focus from that control to the next tab stop, as Tab would.
void FocusNextStop(const Win32Ui& ui, HWND from);

}  // namespace vindrel::win32
