#pragma once
// Exceptions of the graphics classes.
#include "base/Exception.h"

// A picture file or stream that cannot be read, or a picture that cannot be written.
OMBREL_EXCEPTION(EInvalidGraphic, Exception)
// An operation the graphic or its canvas does not allow in its present state.
OMBREL_EXCEPTION(EInvalidGraphicOperation, Exception)
// The platform could not make a bitmap, DC or other object.
OMBREL_EXCEPTION(EOutOfResources, Exception)
// A named resource that does not exist.
OMBREL_EXCEPTION(EResNotFound, Exception)
