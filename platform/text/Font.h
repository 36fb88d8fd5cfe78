#pragma once
// Realised fonts: metrics and rendered glyphs of one LOGFONT, from FreeType or the built-in box
// font. Internal to platform/.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Gdi.h"

namespace win::text {

struct Glyph {
  int advance = 0;
  int left = 0;  // from the pen position to the first bitmap column
  int top = 0;   // rows from the first bitmap row down to the baseline
  int w = 0, h = 0;
  std::vector<uint8_t> coverage;  // w*h, 0..255
};

class RealFont {
 public:
  virtual ~RealFont() = default;
  TEXTMETRIC tm;
  int underlinePos = 1;    // rows below the baseline
  int underlineThick = 1;
  int strikePos = 0;       // rows above the baseline
  std::string faceName;
  // Cached and safe to call from any thread; references stay valid for the font's life.
  const Glyph& GetGlyph(char32_t c);
  int Advance(char32_t c) { return GetGlyph(c).advance; }

 protected:
  virtual Glyph Load(char32_t c) = 0;

 private:
  std::mutex mu_;
  std::unordered_map<char32_t, std::unique_ptr<Glyph>> cache_;
};

std::shared_ptr<RealFont> Realize(const LOGFONT& lf);
// East Asian wide characters: drawn a full em wide by the box font, and a line may break
// before and after each of them.
bool IsWide(char32_t c);
std::u32string DecodeUtf8(std::string_view s);
std::string EncodeUtf8(std::u32string_view s);

}  // namespace win::text
