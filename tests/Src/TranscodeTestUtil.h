#pragma once
// Shared pieces of the conversion tests: a fixture that owns an engine and a temporary
// folder, a one-call conversion, and a decoder that reads an output back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"
#include "tests/Src/fixtures/MediaFixtures.h"

namespace transcodetest {

using TOptionList = std::vector<std::pair<std::string, std::string>>;

// What decoding a file again shows.
struct TDecoded {
  bool Opened = false;
  std::string Error;
  std::string FormatName;
  int Streams = 0, VideoStreams = 0, AudioStreams = 0;
  AVCodecID VideoCodec = AV_CODEC_ID_NONE, AudioCodec = AV_CODEC_ID_NONE;
  int Width = 0, Height = 0;
  double FrameRate = 0;  // frames per second the stream declares (real base, else average)
  int SampleRate = 0, Channels = 0;
  int VideoFrames = 0;
  int64_t AudioSamples = 0;
  double FirstVideo = NAN, LastVideo = NAN;  // seconds, first and last picture time
  double FirstAudio = NAN, AudioEnd = NAN;   // seconds, first block time and end of the last block
  int DecodeErrors = 0;
  std::vector<int> Marks;  // frame numbers read from the mark block of each picture
  std::vector<uint8_t> FirstLuma;  // luma plane of the first picture (Width bytes per row)
  std::vector<uint8_t> MidLuma;    // luma plane of the picture in the middle

  // From the first picture to the end of the last, the last lasting as long as the average.
  double VideoDuration() const {
    if (VideoFrames < 2) return VideoFrames ? 1.0 / FrameRate : 0;
    return (LastVideo - FirstVideo) * VideoFrames / (VideoFrames - 1);
  }
  double AudioDuration() const { return SampleRate ? static_cast<double>(AudioSamples) / SampleRate : 0; }
};

inline TDecoded DecodeFile(const std::string& APath) {
  TDecoded d;
  AVFormatContext* ic = nullptr;
  int r = AVFormatStubs.avformat_open_input(&ic, APath.c_str(), nullptr, nullptr);
  if (r < 0) {
    d.Error = "cannot open " + APath;
    return d;
  }
  AVFormatStubs.avformat_find_stream_info(ic, nullptr);
  d.Opened = true;
  d.FormatName = ic->iformat->name;
  d.Streams = static_cast<int>(ic->nb_streams);
  std::vector<AVCodecContext*> decs(ic->nb_streams, nullptr);
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    AVStream* st = ic->streams[i];
    const AVCodecParameters* par = st->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
      ++d.VideoStreams;
      d.VideoCodec = par->codec_id;
      d.Width = par->width;
      d.Height = par->height;
      const AVRational fr = st->r_frame_rate.num ? st->r_frame_rate : st->avg_frame_rate;
      d.FrameRate = fr.den ? av_q2d(fr) : 0;
    } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
      ++d.AudioStreams;
      d.AudioCodec = par->codec_id;
      d.SampleRate = par->sample_rate;
      d.Channels = par->ch_layout.nb_channels;
    } else {
      continue;
    }
    const AVCodec* codec = AVCodecStubs.avcodec_find_decoder(par->codec_id);
    if (!codec) continue;
    AVCodecContext* c = AVCodecStubs.avcodec_alloc_context3(codec);
    AVCodecStubs.avcodec_parameters_to_context(c, par);
    c->pkt_timebase = st->time_base;
    if (AVCodecStubs.avcodec_open2(c, codec, nullptr) < 0) {
      AVCodecStubs.avcodec_free_context(&c);
      continue;
    }
    decs[i] = c;
  }
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  AVFrame* frame = AVUtilStubs.av_frame_alloc();
  std::vector<std::pair<double, int>> marks;  // by presentation time
  auto take = [&](unsigned AIndex) {
    AVCodecContext* c = decs[AIndex];
    AVStream* st = ic->streams[AIndex];
    for (;;) {
      const int rr = AVCodecStubs.avcodec_receive_frame(c, frame);
      if (rr < 0) {
        if (rr != AVERROR(EAGAIN) && rr != AVERROR_EOF) ++d.DecodeErrors;
        break;
      }
      const int64_t ts = frame->best_effort_timestamp;
      double t = ts == AV_NOPTS_VALUE ? NAN : ts * av_q2d(st->time_base);
      // A picture the decoder gives out at the end may come without time: it follows the last.
      if (std::isnan(t) && c->codec_type == AVMEDIA_TYPE_VIDEO && !std::isnan(d.LastVideo) && d.FrameRate > 0)
        t = d.LastVideo + 1.0 / d.FrameRate;
      if (c->codec_type == AVMEDIA_TYPE_VIDEO) {
        ++d.VideoFrames;
        if (std::isnan(d.FirstVideo) || t < d.FirstVideo) d.FirstVideo = t;
        if (std::isnan(d.LastVideo) || t > d.LastVideo) d.LastVideo = t;
        int sum = 0;
        for (int y = 4; y < 12; ++y)
          for (int x = 4; x < 12; ++x) sum += frame->data[0][y * frame->linesize[0] + x];
        marks.emplace_back(t, mediafix::FrameFromMarkLuma(sum / 64));
        auto copyLuma = [&](std::vector<uint8_t>& ADst) {
          ADst.resize(static_cast<size_t>(frame->width * frame->height));
          for (int y = 0; y < frame->height; ++y)
            std::memcpy(ADst.data() + static_cast<size_t>(y * frame->width), frame->data[0] + y * frame->linesize[0],
                        static_cast<size_t>(frame->width));
        };
        if (d.VideoFrames == 1) copyLuma(d.FirstLuma);
        if (d.VideoFrames == 10) copyLuma(d.MidLuma);
      } else {
        if (std::isnan(d.FirstAudio) || t < d.FirstAudio) d.FirstAudio = t;
        d.AudioSamples += frame->nb_samples;
        const double end = t + static_cast<double>(frame->nb_samples) / frame->sample_rate;
        if (std::isnan(d.AudioEnd) || end > d.AudioEnd) d.AudioEnd = end;
      }
      AVUtilStubs.av_frame_unref(frame);
    }
  };
  while (AVFormatStubs.av_read_frame(ic, pkt) >= 0) {
    const unsigned i = static_cast<unsigned>(pkt->stream_index);
    if (i < decs.size() && decs[i]) {
      if (AVCodecStubs.avcodec_send_packet(decs[i], pkt) < 0) ++d.DecodeErrors;
      take(i);
    }
    AVCodecStubs.av_packet_unref(pkt);
  }
  for (unsigned i = 0; i < decs.size(); ++i)
    if (decs[i]) {
      AVCodecStubs.avcodec_send_packet(decs[i], nullptr);
      take(i);
      AVCodecStubs.avcodec_free_context(&decs[i]);
    }
  std::sort(marks.begin(), marks.end());
  for (const auto& m : marks) d.Marks.push_back(m.second);
  AVUtilStubs.av_frame_free(&frame);
  AVCodecStubs.av_packet_free(&pkt);
  AVFormatStubs.avformat_close_input(&ic);
  return d;
}

class TranscodeFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    dir_ = std::filesystem::temp_directory_path() /
           ("ombrel-transcode-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    NewEngine();
  }
  void TearDown() override {
    E.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    FFLoader().Unload(TaskLibraries);
  }
  void NewEngine() {
    E = std::make_unique<TCustomFFmpeg>(8);
    E->Reset();
    E->Fverbose = -1;  // the tests read the results, not the report lines
  }
  std::string Out(const std::string& AName) const { return (dir_ / AName).string(); }

  // Opens the input, gives the output options, opens the output and runs on this thread.
  bool Convert(const std::string& AIn, const std::string& AOut, const TOptionList& AOptions,
               const TOptionList& AInputOptions = {}) {
    for (const auto& [n, v] : AInputOptions) E->DispatchOption(n, v);
    if (!E->OpenInputFile(AIn)) {
      ADD_FAILURE() << "input: " << E->LastErrMsg();
      return false;
    }
    for (const auto& [n, v] : AOptions) E->DispatchOption(n, v);
    if (E->OpenOutputFile(AOut) < 0) {
      ADD_FAILURE() << "output: " << E->LastErrMsg();
      return false;
    }
    E->StartConvert(false);
    if (E->FatalException()) {
      ADD_FAILURE() << "run: " << E->FatalMessage();
      return false;
    }
    return true;
  }

  std::filesystem::path dir_;
  std::unique_ptr<TCustomFFmpeg> E;
};

}  // namespace transcodetest
