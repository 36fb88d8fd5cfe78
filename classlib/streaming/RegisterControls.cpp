// Published properties of the controls, placed by the form reader.
#include "classlib/Streaming.h"
#include "classlib/streaming/Registrations.h"

void RegisterControlFormClasses() {}
