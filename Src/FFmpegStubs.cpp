#include "Src/FFmpegStubs.h"

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubsBind.h"
#include "base/Exception.h"
#include "base/Format.h"

TLibCStubs LibCStubs;
TAVUtilStubs AVUtilStubs;
TSwScaleStubs SwScaleStubs;
TSwResampleStubs SwResampleStubs;
TAVFormatStubs AVFormatStubs;
TAVFilterStubs AVFilterStubs;
TAVCodecStubs AVCodecStubs;
TAVDeviceStubs AVDeviceStubs;

namespace {

// The struct layouts come from the headers: a library of another major version would
// corrupt memory, so it is refused.
void CheckMajor(const std::string& ALibFileName, unsigned AVersion, int AExpected) {
  if (static_cast<int>(AVersion >> 16) != AExpected)
    throw Exception(Format("Load library %s error: version %d.%d.%d found, major version %d expected",
                           ALibFileName, AVersion >> 16, (AVersion >> 8) & 0xff, AVersion & 0xff, AExpected));
}

}  // namespace

#define OMBREL_BIND(Block, name) \
  Block.name = reinterpret_cast<decltype(Block.name)>(BindFunction(ALibFileName, AHandle, #name, false));

void FixupLibC(const std::string& ALibFileName, void* AHandle) {
#define X(name) OMBREL_BIND(LibCStubs, name)
  OMBREL_LIBC_ENTRIES(X)
#undef X
}
void UnfixLibC() { LibCStubs = TLibCStubs{}; }

void FixupAVUtil(const std::string& ALibFileName, void* AHandle) {
#define X(name) OMBREL_BIND(AVUtilStubs, name)
  OMBREL_AVUTIL_ENTRIES(X)
#undef X
  CheckMajor(ALibFileName, AVUtilStubs.avutil_version(), LIBAVUTIL_VERSION_MAJOR);
}
void UnfixAVUtil() { AVUtilStubs = TAVUtilStubs{}; }

void FixupSwScale(const std::string& ALibFileName, void* AHandle) {
#define X(name) OMBREL_BIND(SwScaleStubs, name)
  OMBREL_SWSCALE_ENTRIES(X)
#undef X
  CheckMajor(ALibFileName, SwScaleStubs.swscale_version(), LIBSWSCALE_VERSION_MAJOR);
}
void UnfixSwScale() { SwScaleStubs = TSwScaleStubs{}; }

void FixupSwResample(const std::string& ALibFileName, void* AHandle) {
#define X(name) OMBREL_BIND(SwResampleStubs, name)
  OMBREL_SWRESAMPLE_ENTRIES(X)
#undef X
  CheckMajor(ALibFileName, SwResampleStubs.swresample_version(), LIBSWRESAMPLE_VERSION_MAJOR);
}
void UnfixSwResample() { SwResampleStubs = TSwResampleStubs{}; }

void FixupAVFormat(const std::string& ALibFileName, void* AHandle) {
#define X(name) OMBREL_BIND(AVFormatStubs, name)
  OMBREL_AVFORMAT_ENTRIES(X)
#undef X
  CheckMajor(ALibFileName, AVFormatStubs.avformat_version(), LIBAVFORMAT_VERSION_MAJOR);
}
void UnfixAVFormat() { AVFormatStubs = TAVFormatStubs{}; }

void FixupAVFilter(const std::string& ALibFileName, void* AHandle) {
#define X(name) OMBREL_BIND(AVFilterStubs, name)
  OMBREL_AVFILTER_ENTRIES(X)
#undef X
  CheckMajor(ALibFileName, AVFilterStubs.avfilter_version(), LIBAVFILTER_VERSION_MAJOR);
}
void UnfixAVFilter() { AVFilterStubs = TAVFilterStubs{}; }

void FixupAVCodec(const std::string& ALibFileName, void* AHandle) {
#define X(name) OMBREL_BIND(AVCodecStubs, name)
  OMBREL_AVCODEC_ENTRIES(X)
#undef X
  CheckMajor(ALibFileName, AVCodecStubs.avcodec_version(), LIBAVCODEC_VERSION_MAJOR);
}
void UnfixAVCodec() { AVCodecStubs = TAVCodecStubs{}; }

void FixupAVDevice(const std::string& ALibFileName, void* AHandle) {
#define X(name) OMBREL_BIND(AVDeviceStubs, name)
  OMBREL_AVDEVICE_ENTRIES(X)
#undef X
  CheckMajor(ALibFileName, AVDeviceStubs.avdevice_version(), LIBAVDEVICE_VERSION_MAJOR);
  AVDeviceStubs.avdevice_register_all();
}
void UnfixAVDevice() { AVDeviceStubs = TAVDeviceStubs{}; }
