// Published properties of the graphics classes: fonts, pens, brushes, pictures, image lists.
#include "classlib/Graphics.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"

void RegisterGraphicsFormClasses() {}
