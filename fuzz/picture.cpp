// Picture files from outside, one target per format (PICTURE_EXT names it): the format's reader,
// then the class library's graphic of that format loading the file, drawing it, saving it and
// reading its own file back.
#include <memory>

#include "base/Exception.h"
#include "base/Stream.h"
#include "classlib/Graphics.h"
#include "fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::unique_ptr<TGraphic> graphic = CreateGraphicForExtension(PICTURE_EXT);
  if (!graphic) fuzz::Fail("no graphic class for " PICTURE_EXT);
  TStringStream in(std::string(reinterpret_cast<const char*>(Data), Size));
  try {
    graphic->LoadFromStream(in);
  } catch (const Exception&) {
    return 0;
  }
  if (graphic->Empty()) return 0;
  TBitmap canvas;
  canvas.SetSize(16, 16);
  graphic->Draw(canvas.Canvas(), TRect{0, 0, 16, 16});

  // What the program saves reads back at the same size.
  TMemoryStream saved;
  try {
    graphic->SaveToStream(saved);
  } catch (const Exception&) {
    return 0;  // a format the class cannot write (for instance a picture too large for it)
  }
  saved.SetPosition(0);
  std::unique_ptr<TGraphic> again = graphic->NewEmpty();
  try {
    again->LoadFromStream(saved);
  } catch (const Exception& e) {
    fuzz::Fail("a saved picture does not read back: " + e.Message);
  }
  if (again->Width() != graphic->Width() || again->Height() != graphic->Height())
    fuzz::Fail("a saved picture reads back at another size");
  return 0;
}
