#pragma once
// Shared state of the control model that is no part of its public face.
#include <exception>
#include <functional>

#include "classlib/Graphics.h"

class TControl;

namespace controls_internal {
// Clears every global reference to a control that goes away.
void ForgetControl(TControl* Control);
TControl*& CaptureControlRef();
// Hands an exception that escaped a message handler to the application (OnException).
void HandleException(TObject* Sender, std::exception_ptr E);
// Runs Paint on Canvas laid over DC with the control's font and colour, and always detaches the
// canvas from the DC afterwards, even when Paint throws.
void PaintOnCanvas(TCanvas& Canvas, win::HDC DC, TFont* Font, TColor Color, const std::function<void()>& Paint);
}  // namespace controls_internal
