#include "app/catalogue/ConversionFields.h"

namespace catalogue {

void TConversionFields::Reset() {
  std::string keep = std::move(Video_AddFileName);
  *this = TConversionFields{};
  Video_AddFileName = std::move(keep);
}

std::array<std::string, 14> JobRowConversionCells(const TConversionFields& f) {
  return {f.Video_VideoCodec,
          f.Video_AudioCodec,
          f.Video_AudioChannels,
          f.Video_VideoTag,
          f.Video_FileExt,
          f.Video_FrameSize,
          std::to_string(f.Video_VideoBitrate),
          f.Video_FrameRate,
          std::to_string(f.Video_AudioBitrate),
          f.Video_AudioSampleRate,
          f.Video_FrameAspectRatio,
          f.Video_DisableVideo ? "True" : "False",
          f.Video_TargetType,
          f.Video_NormType};
}

}  // namespace catalogue
