// Format with a format string from outside, and the number conversions in both directions:
// every number the program writes must read back.
#include <cmath>

#include "base/Exception.h"
#include "base/Format.h"
#include "base/Text.h"
#include "fuzz/FuzzCommon.h"

namespace {

void CheckFloatReadsBack(double v) {
  if (!std::isfinite(v)) return;
  const std::string text = FloatToStr(v);
  double back = 0;
  if (!TryStrToFloat(text, back)) fuzz::Fail("FloatToStr text does not read back: " + text);
  if (v != 0 && std::fabs(back / v - 1) > 1e-14) fuzz::Fail("FloatToStr text reads back far off: " + text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::TReader r(Data, Size);
  const uint8_t shape = r.Byte();
  const int64_t i = r.Number<int64_t>();
  const int32_t k = r.Number<int32_t>();
  const double d = r.Number<double>();
  const std::string fmt = r.Text();
  const std::string s = r.Text();
  const std::string number = r.Rest();

  // The argument lists a format string meets in the program: numbers, texts and widths.
  try {
    switch (shape % 6) {
      case 0: Format(fmt, i, d, s); break;
      case 1: Format(fmt, k, k, d); break;
      case 2: CFormat(fmt, s, i, k); break;
      case 3: CFormat(fmt, k, d, d, s); break;
      case 4: Format(fmt, static_cast<uint64_t>(i), 'x', static_cast<const void*>(nullptr)); break;
      default: Format(fmt); break;
    }
  } catch (const Exception&) {
  }

  CheckFloatReadsBack(d);
  double f = 0;
  if (TryStrToFloat(number, f)) {
    if (!std::isfinite(f)) fuzz::Fail("TryStrToFloat gave a value that is not finite");
    CheckFloatReadsBack(f);
    if (StrToFloat(number) != f) fuzz::Fail("StrToFloat and TryStrToFloat differ");
  } else {
    try {
      StrToFloat(number);
      fuzz::Fail("StrToFloat accepted what TryStrToFloat refused");
    } catch (const EConvertError&) {
    }
  }
  int64_t n64 = 0;
  if (TryStrToInt64(number, n64)) {
    if (StrToInt64(IntToStr(n64)) != n64) fuzz::Fail("IntToStr does not read back");
  }
  int32_t n32 = 0;
  if (TryStrToInt(number, n32) && StrToInt(IntToStr(n32)) != n32) fuzz::Fail("IntToStr does not read back (32 bits)");
  if (StrToIntDef(number, 7) != (TryStrToInt(number, n32) ? n32 : 7)) fuzz::Fail("StrToIntDef differs");
  return 0;
}
