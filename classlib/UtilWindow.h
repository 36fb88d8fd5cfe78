#pragma once
// Hidden windows for components that are not controls (a tray icon, a timer): messages sent or
// posted to the window reach a method of the component.
#include "classlib/Controls.h"

// A hidden top-level window with no parent and no owner whose every message goes to Method as a
// TMessage (Result is the answer). Method sees everything from the first message on its handle
// and passes what it does not answer to DefWindowProc itself.
win::HWND AllocateHWnd(TWndMethod Method);
// Destroys the window; Method is not called again, not even for the destruction. Safe inside
// Method itself; nullptr and handles already gone do nothing.
void DeallocateHWnd(win::HWND Wnd);
