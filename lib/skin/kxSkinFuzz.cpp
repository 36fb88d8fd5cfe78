#include "lib/skin/kxSkinFuzz.h"

#include <string>

#include "base/Exception.h"
#include "base/StringList.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"

void FuzzSkinRecord(const uint8_t* Data, size_t Size) {
  TMemoryStream record;
  if (Size) record.WriteBuffer(Data, int64_t(Size));
  TkxCompressedStoredSkin stored(nullptr);
  TkxSkinData skin(nullptr);
  try {
    stored.LoadFromCompressStream(record);
    skin.LoadCompressedStoredSkin(&stored);
  } catch (const Exception&) {
  }
}

void FuzzSkinImage(const uint8_t* Data, size_t Size) {
  TMemoryStream image;
  if (Size) image.WriteBuffer(Data, int64_t(Size));
  TkxSkinData skin(nullptr);
  try {
    skin.LoadSkinImage(image);
  } catch (const Exception&) {
  }
}

void FuzzSkinText(const uint8_t* Data, size_t Size) {
  TStringList lines;
  lines.SetText(std::string(reinterpret_cast<const char*>(Data), Size));
  TMemIniFile ini(lines);
  TkxSkinContent content;
  try {
    ReadSkinIni(ini, content, nullptr);
    TStringList none;
    TMemIniFile out(none);
    WriteSkinIni(out, content);
  } catch (const Exception&) {
  }
}
