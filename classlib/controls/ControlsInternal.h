#pragma once
// Shared state of the control model that is no part of its public face.
#include <exception>

class TControl;
class TObject;

namespace controls_internal {
// Clears every global reference to a control that goes away.
void ForgetControl(TControl* Control);
TControl*& CaptureControlRef();
// Hands an exception that escaped a message handler to the application (OnException).
void HandleException(TObject* Sender, std::exception_ptr E);
}  // namespace controls_internal
