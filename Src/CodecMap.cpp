#include "Src/CodecMap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const std::vector<TEncoderAlias> kAliases = {
    {"libfaac", "aac"},                 // the native AAC encoder replaces FAAC
    {"libvo_aacenc", "aac"},
    {"libamr_nb", "libopencore_amrnb"},  // the AMR-NB encoder's old name
    {"msmpeg4v1", nullptr},             // MS-MPEG4 v1 can be decoded but not encoded
    // Opening a libxvid encoder while another one encodes damages the running one's stream,
    // and several jobs convert at once: the native encoder writes the same MPEG-4 ASP stream.
    {"libxvid", "mpeg4", "XVID"},
};

// Sign and name of each "+name" / "-name" token of a flag text ("+a-b+c", "a").
std::vector<std::pair<char, std::string>> FlagTokens(const std::string& AValue) {
  std::vector<std::pair<char, std::string>> out;
  size_t i = 0;
  while (i < AValue.size()) {
    char sign = '+';
    if (AValue[i] == '+' || AValue[i] == '-') sign = AValue[i++];
    size_t j = i;
    while (j < AValue.size() && AValue[j] != '+' && AValue[j] != '-') ++j;
    if (j > i) out.emplace_back(sign, AValue.substr(i, j - i));
    i = j;
  }
  return out;
}

struct TFlagMove {
  const char* Flag;     // old flag name
  const char* Option;   // private option that took its place
};

// flags2 bits of the old libx264 wrapper that are libx264's own options now.
const TFlagMove kFlags2Moves[] = {
    {"dct8x8", "8x8dct"}, {"wpred", "weightb"}, {"mixed_refs", "mixed-refs"},
    {"fastpskip", "fast-pskip"}, {"mbtree", "mbtree"},
};
// flags bits that are private options of the MPEG-2 encoder now.
const TFlagMove kFlagsMoves[] = {{"scan_offset", "scan_offset"}};

// Splits a flag text into the tokens that stay and the private options they became.
std::vector<std::pair<std::string, std::string>> MoveFlags(const std::string& AName, const std::string& AValue,
                                                           const TFlagMove* AMoves, size_t ACount) {
  std::vector<std::pair<std::string, std::string>> out;
  std::string kept;
  bool moved = false;
  for (const auto& [sign, flag] : FlagTokens(AValue)) {
    const TFlagMove* m = nullptr;
    for (size_t i = 0; i < ACount; ++i)
      if (flag == AMoves[i].Flag) m = &AMoves[i];
    if (m) {
      out.emplace_back(m->Option, sign == '-' ? "0" : "1");
      moved = true;
    } else {
      kept += sign;
      kept += flag;
    }
  }
  if (!moved) return {{AName, AValue}};
  if (!kept.empty()) out.insert(out.begin(), {AName, kept});
  return out;
}

}  // namespace

const std::vector<TEncoderAlias>& EncoderAliases() { return kAliases; }

std::string MapEncoderName(const std::string& AName, bool& AUnavailable) {
  AUnavailable = false;
  for (const TEncoderAlias& a : kAliases)
    if (AName == a.OldName) {
      if (!a.NewName) {
        AUnavailable = true;
        return AName;
      }
      return a.NewName;
    }
  return AName;
}

bool IsProgramStreamMuxer(const std::string& AMuxerName) {
  return AMuxerName == "mpeg" || AMuxerName == "vob" || AMuxerName == "dvd" || AMuxerName == "svcd" ||
         AMuxerName == "vcd";
}

const char* EncoderDefaultTag(const std::string& AName) {
  for (const TEncoderAlias& a : kAliases)
    if (AName == a.OldName) return a.Tag;
  return nullptr;
}

int32_t FitMp2Bitrate(int32_t ASampleRate, int32_t ABitrate) {
  if (ABitrate <= 0) return ABitrate;
  // kbit/s of layer II: MPEG-1 (32, 44.1, 48 kHz) and MPEG-2 half rates (16, 22.05, 24 kHz).
  static const int32_t kFull[] = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
  static const int32_t kHalf[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  const int32_t* table = ASampleRate >= 32000 ? kFull : kHalf;
  int32_t best = table[0] * 1000;
  for (size_t i = 0; i < 14; ++i) {
    const int32_t r = table[i] * 1000;
    if (std::llabs(int64_t{r} - ABitrate) < std::llabs(int64_t{best} - ABitrate)) best = r;
  }
  return best;
}

bool FitFrameSize(const std::string& AEncoderName, int AChromaShiftW, int AChromaShiftH, int32_t& AWidth,
                  int32_t& AHeight, int32_t& AInnerWidth, int32_t& AInnerHeight) {
  AInnerWidth = AWidth;
  AInnerHeight = AHeight;
  if (AWidth <= 0 || AHeight <= 0) return false;
  if (AEncoderName == "h263") {
    static const int32_t kSizes[][2] = {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}};
    const int32_t* chosen = kSizes[4];
    for (const auto& s : kSizes)
      if (AWidth <= s[0] && AHeight <= s[1]) {
        chosen = s;
        break;
      }
    if (AWidth == chosen[0] && AHeight == chosen[1]) return false;
    // The largest picture of the same shape that fits, in whole chroma samples.
    const double scale = std::min(static_cast<double>(chosen[0]) / AWidth, static_cast<double>(chosen[1]) / AHeight);
    AInnerWidth = std::min(chosen[0], static_cast<int32_t>(std::lround(AWidth * scale)) & ~1);
    AInnerHeight = std::min(chosen[1], static_cast<int32_t>(std::lround(AHeight * scale)) & ~1);
    AWidth = chosen[0];
    AHeight = chosen[1];
    return true;
  }
  // Lossless coders take any size.
  if (AEncoderName == "ffv1" || AEncoderName == "rawvideo" || AEncoderName == "huffyuv" || AEncoderName == "png")
    return false;
  const int32_t mw = 1 << AChromaShiftW, mh = 1 << AChromaShiftH;
  const int32_t w = std::max(mw, AWidth - AWidth % mw), h = std::max(mh, AHeight - AHeight % mh);
  if (w == AWidth && h == AHeight) return false;
  AWidth = AInnerWidth = w;
  AHeight = AInnerHeight = h;
  return true;
}

std::string MuxerAudioReplacement(const std::string& AMuxerName, const std::string& AEncoderName) {
  if (!IsProgramStreamMuxer(AMuxerName)) return {};
  bool unavailable = false;
  const std::string enc = MapEncoderName(AEncoderName, unavailable);
  if (enc == "aac" || enc == "libfdk_aac") return "mp2";
  return {};
}

std::vector<std::pair<std::string, std::string>> TranslateCodecOption(const std::string& AName,
                                                                      const std::string& AValue) {
  if (AName == "flags2") return MoveFlags(AName, AValue, kFlags2Moves, std::size(kFlags2Moves));
  if (AName == "flags") return MoveFlags(AName, AValue, kFlagsMoves, std::size(kFlagsMoves));
  if (AName == "directpred") return {{"direct-pred", AValue}};
  if (AName == "partitions") {
    // The old "+parti8x8+partp8x8" becomes libx264's list "i8x8,p8x8".
    std::string list;
    bool old = false;
    for (const auto& [sign, flag] : FlagTokens(AValue)) {
      if (flag.rfind("part", 0) != 0) return {{AName, AValue}};
      old = true;
      if (sign == '-') continue;
      if (!list.empty()) list += ',';
      list += flag.substr(4);
    }
    if (!old) return {{AName, AValue}};
    return {{AName, list.empty() ? "none" : list}};
  }
  return {{AName, AValue}};
}
