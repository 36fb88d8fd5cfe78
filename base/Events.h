#pragma once
// Event types shared by every layer. An unassigned event is an empty function: test before calling.
#include <functional>

class TObject;

using TNotifyEvent = std::function<void(TObject* Sender)>;
