#pragma once
// The output record of a new job: the task component's output options built from the
// conversion fields after the format's values and the presets were written into them.
#include "Src/TaskOptions.h"
#include "app/catalogue/ConversionFields.h"

namespace catalogue {

// Fields the conversion fields leave unset keep the record's defaults; no start time or
// length is set, and the file name is left for SetOutputFile.
TOutputOptions OutputRecordOfFields(const TConversionFields& AFields);

}  // namespace catalogue
