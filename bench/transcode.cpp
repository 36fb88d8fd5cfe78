// Conversion speed: a 20-second 640x480 synthetic clip (MPEG-4 video, MP2 audio, in AVI) to
// MPEG-4 in AVI and to H.264 in MP4, in frames per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kRate = 25, kSeconds = 20, kFrames = kRate * kSeconds;
constexpr int kSampleRate = 44100;

std::filesystem::path Folder() {
  static const std::filesystem::path p =
      std::filesystem::temp_directory_path() / ("ombrel-bench-transcode-" + std::to_string(::getpid()));
  std::filesystem::create_directories(p);
  return p;
}

void EncodeAll(AVCodecContext* AEnc, AVFrame* AFrame, AVFormatContext* AOc, AVStream* ASt, AVPacket* APkt) {
  AVCodecStubs.avcodec_send_frame(AEnc, AFrame);
  while (AVCodecStubs.avcodec_receive_packet(AEnc, APkt) >= 0) {
    AVCodecStubs.av_packet_rescale_ts(APkt, AEnc->time_base, ASt->time_base);
    APkt->stream_index = ASt->index;
    AVFormatStubs.av_interleaved_write_frame(AOc, APkt);
  }
}

AVCodecContext* OpenEncoder(const char* AName, AVFormatContext* AOc, AVStream*& ASt) {
  const AVCodec* codec = AVCodecStubs.avcodec_find_encoder_by_name(AName);
  AVCodecContext* c = AVCodecStubs.avcodec_alloc_context3(codec);
  if (codec->type == AVMEDIA_TYPE_VIDEO) {
    c->width = kWidth;
    c->height = kHeight;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, kRate};
    c->framerate = AVRational{kRate, 1};
    c->bit_rate = 2000000;
  } else {
    c->sample_rate = kSampleRate;
    c->sample_fmt = AV_SAMPLE_FMT_S16;
    AVUtilStubs.av_channel_layout_default(&c->ch_layout, 2);
    c->time_base = AVRational{1, kSampleRate};
    c->bit_rate = 192000;
  }
  AVCodecStubs.avcodec_open2(c, codec, nullptr);
  ASt = AVFormatStubs.avformat_new_stream(AOc, nullptr);
  AVCodecStubs.avcodec_parameters_from_context(ASt->codecpar, c);
  ASt->time_base = c->time_base;
  return c;
}

// A moving ramp with a bar and a stereo tone, made once.
std::string SourceClip() {
  static std::string path;
  if (!path.empty()) return path;
  path = (Folder() / "source.avi").string();
  AVFormatContext* oc = nullptr;
  AVFormatStubs.avformat_alloc_output_context2(&oc, nullptr, "avi", path.c_str());
  AVStream *vs = nullptr, *as = nullptr;
  AVCodecContext* venc = OpenEncoder("mpeg4", oc, vs);
  AVCodecContext* aenc = OpenEncoder("mp2", oc, as);
  AVFormatStubs.avio_open2(&oc->pb, path.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr);
  if (AVFormatStubs.avformat_write_header(oc, nullptr) < 0) throw std::runtime_error("cannot write the source clip " + path);
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  AVFrame* vf = AVUtilStubs.av_frame_alloc();
  vf->format = AV_PIX_FMT_YUV420P;
  vf->width = kWidth;
  vf->height = kHeight;
  AVUtilStubs.av_frame_get_buffer(vf, 0);
  AVFrame* af = AVUtilStubs.av_frame_alloc();
  af->format = AV_SAMPLE_FMT_S16;
  af->sample_rate = kSampleRate;
  af->nb_samples = aenc->frame_size;
  AVUtilStubs.av_channel_layout_default(&af->ch_layout, 2);
  AVUtilStubs.av_frame_get_buffer(af, 0);
  int64_t sample = 0;
  for (int f = 0; f < kFrames; ++f) {
    AVUtilStubs.av_frame_make_writable(vf);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        vf->data[0][y * vf->linesize[0] + x] =
            static_cast<uint8_t>(((x + y + f * 3) & 0xff) ^ (std::abs(x - (f * 8) % kWidth) < 16 ? 0xff : 0));
    for (int y = 0; y < kHeight / 2; ++y)
      for (int x = 0; x < kWidth / 2; ++x) {
        vf->data[1][y * vf->linesize[1] + x] = static_cast<uint8_t>(128 + ((x + f) & 31));
        vf->data[2][y * vf->linesize[2] + x] = static_cast<uint8_t>(128 - ((y + f) & 31));
      }
    vf->pts = f;
    EncodeAll(venc, vf, oc, vs, pkt);
    while (sample * kRate < static_cast<int64_t>(f + 1) * kSampleRate) {
      AVUtilStubs.av_frame_make_writable(af);
      auto* s = reinterpret_cast<int16_t*>(af->data[0]);
      for (int i = 0; i < af->nb_samples; ++i)
        s[2 * i] = s[2 * i + 1] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * (sample + i) / kSampleRate));
      af->pts = sample;
      sample += af->nb_samples;
      EncodeAll(aenc, af, oc, as, pkt);
    }
  }
  EncodeAll(venc, nullptr, oc, vs, pkt);
  EncodeAll(aenc, nullptr, oc, as, pkt);
  AVFormatStubs.av_write_trailer(oc);
  AVUtilStubs.av_frame_free(&vf);
  AVUtilStubs.av_frame_free(&af);
  AVCodecStubs.av_packet_free(&pkt);
  AVCodecStubs.avcodec_free_context(&venc);
  AVCodecStubs.avcodec_free_context(&aenc);
  AVFormatStubs.avio_closep(&oc->pb);
  AVFormatStubs.avformat_free_context(oc);
  return path;
}

void Convert(benchmark::State& AState, const char* AOut, const char* AVideo, const char* AAudio) {
  if (!FFLoader().Load(TaskLibraries)) {
    AState.SkipWithError("media libraries not loaded");
    return;
  }
  const std::string in = SourceClip();
  const std::string out = (Folder() / AOut).string();
  int64_t frames = 0;
  for (auto _ : AState) {
    TCustomFFmpeg e(4);
    e.Reset();
    e.Fverbose = -1;
    if (!e.OpenInputFile(in)) {
      AState.SkipWithError(e.LastErrMsg().c_str());
      break;
    }
    e.DispatchOption("vcodec", AVideo);
    e.DispatchOption("acodec", AAudio);
    e.DispatchOption("b", "1500000");
    if (e.OpenOutputFile(out) < 0) {
      AState.SkipWithError(e.LastErrMsg().c_str());
      break;
    }
    e.StartConvert(false);
    if (e.FatalException()) {
      AState.SkipWithError(e.FatalMessage().c_str());
      break;
    }
    frames += kFrames;
  }
  AState.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  FFLoader().Unload(TaskLibraries);
}

void BM_Mpeg4Avi(benchmark::State& AState) { Convert(AState, "out.avi", "mpeg4", "libmp3lame"); }
void BM_H264Mp4(benchmark::State& AState) { Convert(AState, "out.mp4", "libx264", "aac"); }
// One H.264 job with the encoder on one thread, and with the free cores of a 4-core machine
// (one job running: all four).
void BM_H264Mp4OneThread(benchmark::State& AState) {
  SetEncoderCoreCount(1);
  Convert(AState, "out1.mp4", "libx264", "aac");
  SetEncoderCoreCount(0);
}
void BM_H264Mp4FourCores(benchmark::State& AState) {
  SetEncoderCoreCount(4);
  Convert(AState, "out4.mp4", "libx264", "aac");
  SetEncoderCoreCount(0);
}

BENCHMARK(BM_Mpeg4Avi)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_H264Mp4)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_H264Mp4OneThread)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_H264Mp4FourCores)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
