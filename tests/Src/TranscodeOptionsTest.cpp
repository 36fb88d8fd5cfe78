// Conversions with picture and rate options, stops, bad packets, one-kind inputs, progress
// and the picture hooks.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "Src/FFmpegTranscode.h"
#include "base/Stream.h"
#include "classlib/Graphics.h"
#include "tests/Src/TranscodeTestUtil.h"

namespace {

using namespace mediafix;
using namespace transcodetest;

class TranscodeOptions : public TranscodeFixture {};

struct TSizeCase {
  const char* Name;
  TOptionList Options;
  int Width, Height;
  double FrameRate;
  int Frames;
};

TEST_F(TranscodeOptions, PictureOptionsShapeTheOutput) {
  const TFixtureInfo& fi = FixtureInfo(TFixture::AviMpeg4Mp3);
  const std::vector<TSizeCase> cases = {
      {"size", {{"s", "80x60"}}, 80, 60, 10, 20},
      {"crop keeps the cropped size", {{"croptop", "16"}, {"cropbottom", "16"}, {"cropleft", "8"}}, 152, 88, 10, 20},
      {"crop then size scales the crop", {{"croptop", "20"}, {"cropbottom", "20"}, {"s", "80x40"}}, 80, 40, 10, 20},
      {"pad filter sets the encoder size", {{"vf", "pad=w=200:h=140:x=20:y=10"}}, 200, 140, 10, 20},
      {"crop and size through the graph", {{"croptop", "20"}, {"cropbottom", "20"}, {"s", "80x40"}, {"vf", "null"}},
       80, 40, 10, 20},
      // The output clock runs one picture ahead of the input's, so one picture more is kept.
      {"rate drops pictures", {{"r", "5"}}, 160, 120, 5, 11},
  };
  for (const TSizeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    NewEngine();
    const std::string out = Out(std::string("opt-") + std::to_string(&c - cases.data()) + ".avi");
    TOptionList opts = c.Options;
    opts.push_back({"vcodec", "mpeg4"});
    opts.push_back({"an", "1"});
    ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), out, opts));
    const TDecoded d = DecodeFile(out);
    ASSERT_TRUE(d.Opened);
    EXPECT_EQ(d.Width, c.Width);
    EXPECT_EQ(d.Height, c.Height);
    EXPECT_NEAR(d.FrameRate, c.FrameRate, 0.01);
    EXPECT_EQ(d.VideoFrames, c.Frames);
    EXPECT_EQ(d.AudioStreams, 0);
  }
  (void)fi;
}

TEST_F(TranscodeOptions, CropShowsTheCroppedPartScaled) {
  // The mark block sits in the top-left 16x16 corner: cropping 16 columns and rows away and
  // scaling back to the full size must not bring it back (a crop of the output's size at the
  // band offsets would).
  const std::string plain = Out("plain.avi"), cropped = Out("cropped.avi");
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), plain, {{"vcodec", "mpeg4"}, {"an", "1"}, {"qscale", "2"}}));
  NewEngine();
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), cropped,
                      {{"croptop", "16"}, {"cropleft", "16"}, {"s", "160x120"}, {"vcodec", "mpeg4"}, {"an", "1"},
                       {"qscale", "2"}}));
  const TDecoded a = DecodeFile(plain), b = DecodeFile(cropped);
  ASSERT_EQ(a.Width, 160);
  ASSERT_EQ(b.Width, 160);
  ASSERT_FALSE(a.MidLuma.empty());
  ASSERT_FALSE(b.MidLuma.empty());
  // Frame 9's mark is bright; the cropped picture's corner shows the ramp instead.
  EXPECT_NE(a.Marks[9], b.Marks[9]);
}

TEST_F(TranscodeOptions, BitrateChangesTheSize) {
  const std::string low = Out("low.mp3"), high = Out("high.mp3");
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), low, {{"acodec", "libmp3lame"}, {"ab", "32000"}}));
  NewEngine();
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), high, {{"acodec", "libmp3lame"}, {"ab", "128000"}}));
  EXPECT_LT(std::filesystem::file_size(low) * 3, std::filesystem::file_size(high));
}

// The video bitrate, by either of its names, on a clip with enough detail for rate control to
// act: a low and a high rate give clearly different sizes; x264's rate control lands near the
// asked rate, MPEG-4's is held back by its quantiser range but still follows.
TEST_F(TranscodeOptions, VideoBitrateChangesTheVideoSize) {
  struct TCase {
    const char* Name;
    const char* Codec;
    const char* File;
    bool NearTheRate;
  };
  const std::vector<TCase> cases = {
      {"vb", "libx264", "x264-vb", true},
      {"b", "libx264", "x264-b", true},
      {"vb", "mpeg4", "mpeg4-vb", false},
  };
  const double seconds = FixtureInfo(TFixture::DetailedMpeg4).DurationUs / 1e6;
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + " " + c.Codec);
    const std::string ext = std::string(c.Codec) == "libx264" ? ".mp4" : ".avi";
    int64_t sizes[2] = {};
    const int64_t rates[2] = {50000, 1000000};
    for (int i = 0; i < 2; ++i) {
      NewEngine();
      const std::string out = Out(c.File + std::to_string(rates[i]) + ext);
      ASSERT_TRUE(Convert(FixturePath(TFixture::DetailedMpeg4), out,
                          {{"vcodec", c.Codec}, {c.Name, std::to_string(rates[i])}}));
      const TDecoded d = DecodeFile(out);
      EXPECT_EQ(d.VideoFrames, FixtureInfo(TFixture::DetailedMpeg4).Frames);
      EXPECT_EQ(d.DecodeErrors, 0);
      sizes[i] = E->Fvideo_size;
      if (c.NearTheRate) {
        const double kbits = sizes[i] * 8 / seconds / 1000;
        EXPECT_GT(kbits, rates[i] / 1000 * 0.5);
        EXPECT_LT(kbits, rates[i] / 1000 * 1.3);
      }
    }
    EXPECT_GT(sizes[1], 3 * sizes[0]);
  }
}

// "b" is the video bitrate only: the audio encoder keeps its own rate.
TEST_F(TranscodeOptions, VideoBitrateLeavesTheAudioAlone) {
  const TOptionList base = {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}};
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("plain.avi"), base));
  const int64_t plainAudio = E->Faudio_size;
  for (const char* name : {"b", "vb"}) {
    SCOPED_TRACE(name);
    NewEngine();
    TOptionList opts = base;
    opts.emplace_back(name, "1000000");
    ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out(std::string(name) + ".avi"), opts));
    EXPECT_EQ(E->Faudio_size, plainAudio);
  }
}

TEST_F(TranscodeOptions, StopInTheMiddleLeavesAFileWithItsTrailer) {
  const std::string out = Out("stopped.mp4");
  int frames = 0;
  E->OnCustomHook = [&](TObject*, TBitmap*, int32_t, int64_t, bool& AUpdate, bool&) {
    AUpdate = false;
    if (++frames == 6) E->Stop(false);
  };
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), out, {{"vcodec", "libx264"}, {"acodec", "aac"}}));
  EXPECT_FALSE(E->Finished());
  EXPECT_FALSE(E->FatalException());
  const TDecoded d = DecodeFile(out);
  ASSERT_TRUE(d.Opened) << "an MP4 without its trailer cannot be opened";
  EXPECT_EQ(d.DecodeErrors, 0);
  EXPECT_GE(d.VideoFrames, 5);
  EXPECT_LT(d.VideoFrames, 20);
  EXPECT_EQ(d.AudioStreams, 1);
}

// The AVI clip with the payload of one video packet in the middle replaced by noise.
std::string MakeCorruptCopy(const std::string& AOut) {
  AVFormatContext* ic = nullptr;
  if (AVFormatStubs.avformat_open_input(&ic, FixturePath(TFixture::AviMpeg4Mp3).c_str(), nullptr, nullptr) < 0)
    return {};
  AVFormatStubs.avformat_find_stream_info(ic, nullptr);
  AVFormatContext* oc = nullptr;
  AVFormatStubs.avformat_alloc_output_context2(&oc, nullptr, "avi", AOut.c_str());
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    AVStream* st = AVFormatStubs.avformat_new_stream(oc, nullptr);
    AVCodecStubs.avcodec_parameters_copy(st->codecpar, ic->streams[i]->codecpar);
    st->codecpar->codec_tag = 0;
    st->time_base = ic->streams[i]->time_base;
  }
  AVFormatStubs.avio_open2(&oc->pb, AOut.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr);
  if (AVFormatStubs.avformat_write_header(oc, nullptr) < 0) return {};
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  int video = 0;
  uint32_t seed = 12345;
  while (AVFormatStubs.av_read_frame(ic, pkt) >= 0) {
    AVStream* in = ic->streams[pkt->stream_index];
    if (in->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && ++video == 8) {
      AVCodecStubs.av_packet_make_refcounted(pkt);
      for (int i = 0; i < pkt->size; ++i) {
        seed = seed * 1103515245u + 12345u;
        pkt->data[i] = static_cast<uint8_t>(seed >> 16);
      }
    }
    AVCodecStubs.av_packet_rescale_ts(pkt, in->time_base, oc->streams[pkt->stream_index]->time_base);
    AVFormatStubs.av_interleaved_write_frame(oc, pkt);
  }
  AVFormatStubs.av_write_trailer(oc);
  AVCodecStubs.av_packet_free(&pkt);
  AVFormatStubs.avio_closep(&oc->pb);
  AVFormatStubs.avformat_free_context(oc);
  AVFormatStubs.avformat_close_input(&ic);
  return AOut;
}

TEST_F(TranscodeOptions, CorruptPacketIsSkippedNotFatal) {
  const std::string in = MakeCorruptCopy(Out("corrupt.avi"));
  ASSERT_FALSE(in.empty());
  const std::string out = Out("repaired.avi");
  ASSERT_TRUE(Convert(in, out, {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}}));
  EXPECT_TRUE(E->Finished());
  const TDecoded d = DecodeFile(out);
  ASSERT_TRUE(d.Opened);
  EXPECT_EQ(d.DecodeErrors, 0);
  EXPECT_GE(d.VideoFrames, 18);
  EXPECT_EQ(d.AudioStreams, 1);
}

TEST_F(TranscodeOptions, OneKindInputsConvertWhatTheyHave) {
  // Audio only into a format that also takes video; video only into one that also takes audio.
  ASSERT_TRUE(Convert(FixturePath(TFixture::Mp3Audio), Out("tone.avi"), {{"acodec", "libmp3lame"}}));
  TDecoded a = DecodeFile(Out("tone.avi"));
  EXPECT_EQ(a.Streams, 1);
  EXPECT_EQ(a.AudioCodec, AV_CODEC_ID_MP3);
  EXPECT_NEAR(a.AudioDuration(), 1.0, 0.2);

  NewEngine();
  ASSERT_TRUE(Convert(FixturePath(TFixture::SingleColour), Out("colour.mp4"), {{"vcodec", "mpeg4"}, {"acodec", "aac"}}));
  TDecoded v = DecodeFile(Out("colour.mp4"));
  EXPECT_EQ(v.Streams, 1);
  EXPECT_EQ(v.VideoCodec, AV_CODEC_ID_MPEG4);
  EXPECT_EQ(v.VideoFrames, FixtureInfo(TFixture::SingleColour).Frames);
}

// A picture of a size the libraries refuse fails saying so, before any scaler is tried: an
// input whose size they refused (they forget it, and the stream reads 0x0) and an output size
// they would refuse.
TEST_F(TranscodeOptions, PictureTooLargeIsSaidSoBeforeScaling) {
  const std::string big = Out("big.pgm");
  {
    TFileStream f(big, fmCreate);
    const std::string pgm = "P5\n60000 60000\n255\n" + std::string(256, '\x80');
    f.WriteBuffer(pgm.data(), static_cast<int64_t>(pgm.size()));
  }
  auto failure = [&](const std::string& AIn, const TOptionList& AOptions) -> std::string {
    NewEngine();
    if (!E->OpenInputFile(AIn)) return "input: " + E->LastErrMsg();
    for (const auto& [n, v] : AOptions) E->DispatchOption(n, v);
    if (E->OpenOutputFile(Out("big.avi")) < 0) return "output: " + E->LastErrMsg();
    E->StartConvert(false);
    return E->FatalException() ? E->FatalMessage() : std::string("(converted)");
  };
  const struct {
    std::string In;
    TOptionList Options;
    std::string Message;
  } cases[] = {
      {big, {{"vcodec", "mpeg4"}, {"s", "320x240"}},
       "Picture too large or damaged: input stream #0.0 has no size the libraries accept"},
      {big, {{"vcodec", "mpeg4"}}, "Picture too large or damaged: input stream #0.0 has no size the libraries accept"},
      {FixturePath(TFixture::SingleColour), {{"vcodec", "mpeg4"}, {"s", "60000x60000"}},
       "Picture too large: 60000x60000 (output stream #0.0)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Message);
    EXPECT_EQ(failure(c.In, c.Options), c.Message);
  }
}

struct TProgressCall {
  int32_t FileIndex, FrameNumber, FPS;
  float Quality;
  int64_t Size, Duration, Total;
};

TEST_F(TranscodeOptions, ProgressReportsAndTheLastReport) {
  std::vector<TProgressCall> calls;
  E->ReportInterval = 0;
  E->OnProgress = [&](TObject*, int32_t f, int32_t n, int32_t fps, float q, float, int64_t size, int64_t dur,
                      int64_t total) { calls.push_back({f, n, fps, q, size, dur, total}); };
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("p.avi"), {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}}));
  ASSERT_GE(calls.size(), 2u);
  for (const TProgressCall& c : calls) {
    EXPECT_GE(c.FrameNumber, 1) << "nothing is reported before the first picture";
    EXPECT_GE(c.Duration, 10000);
  }
  const TProgressCall& last = calls.back();
  EXPECT_EQ(last.FileIndex, -1);
  EXPECT_EQ(last.FrameNumber, 20);
  EXPECT_EQ(last.Size, static_cast<int64_t>(std::filesystem::file_size(Out("p.avi"))));
  EXPECT_NEAR(static_cast<double>(last.Duration), 2000000.0, 200000.0);
  EXPECT_GE(last.Quality, 1.0f);

  // An audio-only run reports without picture values, and never a time below the floor.
  NewEngine();
  calls.clear();
  E->ReportInterval = 0;
  E->OnProgress = [&](TObject*, int32_t f, int32_t n, int32_t fps, float q, float, int64_t size, int64_t dur,
                      int64_t total) { calls.push_back({f, n, fps, q, size, dur, total}); };
  ASSERT_TRUE(Convert(FixturePath(TFixture::Mp3Audio), Out("p.wav"), {}));
  ASSERT_FALSE(calls.empty());
  for (const TProgressCall& c : calls) {
    EXPECT_EQ(c.FrameNumber, -1);
    EXPECT_EQ(c.FPS, -1);
    EXPECT_FLOAT_EQ(c.Quality, -1.0f);
    EXPECT_GE(c.Duration, 10000);
    EXPECT_LT(c.Duration, 2000000) << "the first report must not show the start value of the minimum";
  }
}

TEST_F(TranscodeOptions, CustomHookChangesThePicturesAndCanStop) {
  int calls = 0;
  E->OnCustomHook = [&](TObject*, TBitmap* ABitmap, int32_t AFrame, int64_t, bool& AUpdate, bool&) {
    ++calls;
    EXPECT_EQ(AFrame, calls);
    ASSERT_EQ(ABitmap->Width(), 160);
    // Black picture.
    for (int y = 0; y < ABitmap->Height(); ++y) std::memset(ABitmap->ScanLine(y), 0, static_cast<size_t>(160 * 3));
    AUpdate = true;
  };
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("black.avi"), {{"vcodec", "mpeg4"}, {"an", "1"}}));
  EXPECT_EQ(calls, 20);
  const TDecoded d = DecodeFile(Out("black.avi"));
  ASSERT_FALSE(d.MidLuma.empty());
  int sum = 0;
  for (uint8_t v : d.MidLuma) sum += v;
  EXPECT_LT(sum / static_cast<int>(d.MidLuma.size()), 24) << "the hook's black reached the output";

  // A handler that asks to stop is not called again; one that raises keeps its frame unchanged.
  NewEngine();
  calls = 0;
  E->OnCustomHook = [&](TObject*, TBitmap*, int32_t, int64_t, bool&, bool& AStop) {
    if (++calls == 3) AStop = true;
  };
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("stop.avi"), {{"vcodec", "mpeg4"}, {"an", "1"}}));
  EXPECT_EQ(calls, 3);
  NewEngine();
  calls = 0;
  E->OnCustomHook = [&](TObject*, TBitmap* ABitmap, int32_t, int64_t, bool&, bool&) {
    ++calls;
    std::memset(ABitmap->ScanLine(0), 0, 16);
    throw Exception("hook refused");
  };
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("raise.avi"), {{"vcodec", "mpeg4"}, {"an", "1"}}));
  EXPECT_EQ(calls, 20);
  EXPECT_TRUE(E->Finished());
}

TEST_F(TranscodeOptions, PreviewBitmapsArePacedAndShowEncodedPictures) {
  int calls = 0;
  E->PreviewInterval = 0;
  E->FPostHooks[phBitmap] = true;
  E->OnPreviewBitmap = [&](TObject*, TBitmap* ABitmap, int32_t, int64_t) {
    ++calls;
    EXPECT_EQ(ABitmap->Width(), 80);
    EXPECT_EQ(ABitmap->Height(), 60);
  };
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("prev.avi"), {{"s", "80x60"}, {"vcodec", "mpeg4"}, {"an", "1"}}));
  EXPECT_EQ(calls, 20);

  NewEngine();
  calls = 0;
  E->PreviewInterval = 3600000000LL;
  E->FPostHooks[phBitmap] = true;
  E->OnPreviewBitmap = [&](TObject*, TBitmap*, int32_t, int64_t) { ++calls; };
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("prev2.avi"), {{"vcodec", "mpeg4"}, {"an", "1"}}));
  EXPECT_EQ(calls, 1) << "at most one picture per interval";
}

TEST(TranscodeKernels, VolumeRoundsAndClamps) {
  struct {
    int32_t Volume;
    int16_t In, Out;
  } cases[] = {{512, 100, 200}, {512, 32767, 32767}, {512, -32768, -32768}, {128, 100, 50}, {128, -100, -50},
               {256, -7, -7},   {0, 1234, 0}};
  for (const auto& c : cases) {
    int16_t v = c.In;
    ApplyVolume(&v, 1, c.Volume);
    EXPECT_EQ(v, c.Out) << c.Volume << " " << c.In;
  }
}

TEST(TranscodeKernels, DeinterlaceFiltersOddLinesOnly) {
  // 8x8 grey picture whose lines alternate 0 and 200 (two fields of a moving edge).
  constexpr int W = 8, H = 8;
  uint8_t src[W * H], dst[W * H];
  for (int y = 0; y < H; ++y) std::memset(src + y * W, (y & 1) ? 200 : 0, W);
  uint8_t* dp[4] = {dst, nullptr, nullptr, nullptr};
  const uint8_t* sp[4] = {src, nullptr, nullptr, nullptr};
  const int ls[4] = {W, 0, 0, 0};
  ASSERT_TRUE(DeinterlacePicture(dp, ls, sp, ls, AV_PIX_FMT_GRAY8, W, H));
  for (int y = 0; y < H; y += 2) EXPECT_EQ(dst[y * W], 0) << "even line " << y << " is kept";
  // Each odd line is (-a + 4b + 2c + 4d - e + 4) >> 3 over the lines y-2..y+2, clamped at the
  // edges: inside, the other field's comb cancels out.
  EXPECT_EQ(dst[1 * W], 25);
  EXPECT_EQ(dst[3 * W], 0);
  EXPECT_EQ(dst[5 * W], 0);
  EXPECT_EQ(dst[7 * W], 100);
  // A size that is no multiple of 4 and a packed format are refused.
  EXPECT_FALSE(DeinterlacePicture(dp, ls, sp, ls, AV_PIX_FMT_GRAY8, W, 6));
  EXPECT_FALSE(DeinterlacePicture(dp, ls, sp, ls, AV_PIX_FMT_RGB24, W, H));
}

}  // namespace
