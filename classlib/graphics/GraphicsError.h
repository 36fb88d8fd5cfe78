#pragma once
// Exceptions of the graphics classes.
#include "base/Exception.h"

// A picture file or stream that cannot be read, or a picture that cannot be written.
OMBREL_EXCEPTION(EInvalidGraphic, Exception)
// An operation the graphic or its canvas does not allow in its present state.
OMBREL_EXCEPTION(EInvalidGraphicOperation, Exception)
// The platform could not make a bitmap, DC or other object.
OMBREL_EXCEPTION(EOutOfResources, Exception)
