// The preview player over SDL's dummy video and audio drivers: playing, transport, snapshots,
// volume, stopping (also while the read hangs in a slow input), bad and one-sided files, order,
// subtitles.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "Src/FFPlayer.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "base/Exception.h"
#include "base/MainThread.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "platform/WinUser.h"
#include "fixtures/MediaFixtures.h"

using namespace mediafix;

namespace {

// Serves the main thread until APred holds or ASeconds pass.
bool WaitUntil(const std::function<bool()>& APred, double ASeconds = 10) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(ASeconds);
  while (!APred()) {
    if (std::chrono::steady_clock::now() > until) return false;
    ServeMainThread(5);
  }
  return true;
}

// Luma of the frame-number block of a 32-bit snapshot (BGRA of a grey picture).
int MarkLuma(TBitmap* ABmp) {
  const uint8_t* p = static_cast<const uint8_t*>(ABmp->ScanLine(8)) + 8 * 4;
  return p[1];  // grey: G tells the luma well enough for the marks 8 apart
}
int MarkFrame(TBitmap* ABmp) {
  // BGRA grey back to video luma: Y = 16 + G * 219 / 255.
  return FrameFromMarkLuma(int(std::lround(16 + MarkLuma(ABmp) * 219.0 / 255)));
}

class PlayerThreads : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    P = std::make_unique<TFFPlayer>(nullptr);
    ASSERT_TRUE(P->LoadAVLib()) << P->LastErrMsg();
    P->OnState = [this](TObject*, TPlayState S) {
      EXPECT_TRUE(IsMainThread());
      States.push_back(S);
      if (S == psEnd) PosAtEnd = LastPos;
    };
    P->OnPosition = [this](TObject*, int64_t APTS) { LastPos = APTS; };
  }
  void TearDown() override {
    P.reset();
    EXPECT_TRUE(WaitUntil([] { return PlayerEngineThreadsAlive() == 0; }));
  }
  bool Has(TPlayState S) const { return std::find(States.begin(), States.end(), S) != States.end(); }
  bool WaitState(TPlayState S, double ASeconds = 10) {
    return WaitUntil([&] { return Has(S); }, ASeconds);
  }
  int Count(TPlayState S) const { return int(std::count(States.begin(), States.end(), S)); }

  std::unique_ptr<TFFPlayer> P;
  std::vector<TPlayState> States;
  int64_t LastPos = -1, PosAtEnd = -1;
};

}  // namespace

TEST(PlayEventRing, CoalescesAndDropsTheOldest) {
  TPlayEvent ring;
  for (int i = 0; i < 10; ++i) ring.PushEvent({1, i});
  EXPECT_EQ(ring.Count(), 1);  // positions replace one another
  TPlayEventItem it;
  ring.PopEvent(it);
  EXPECT_EQ(it.Kind, 1);
  EXPECT_EQ(it.Value, 9);
  ring.PopEvent(it);
  EXPECT_EQ(it.Kind, 0);
  EXPECT_FALSE(ring.WaitEvent(0));
  // Alternating kinds queue up; past 9 items the oldest goes.
  for (int i = 0; i < 12; ++i) ring.PushEvent({i % 2 ? 2 : 1, i});
  EXPECT_EQ(ring.Count(), 9);
  EXPECT_TRUE(ring.WaitEvent(0));
  ring.PopEvent(it);
  EXPECT_EQ(it.Value, 3);
  ring.Clear();
  EXPECT_EQ(ring.Count(), 0);
}

TEST_F(PlayerThreads, PlaysToTheEndWithTheEndEventOnTheMainThread) {
  int64_t duration = 0;
  int fw = 0, fh = 0;
  P->OnFileOpen = [&](TObject*, int64_t D, int32_t W, int32_t H, int32_t& SW, int32_t& SH) {
    duration = D;
    fw = W;
    fh = H;
    SW = 200;
    SH = 124;
  };
  ASSERT_TRUE(P->Open(FixturePath(TFixture::AviMpeg4Mp3), nullptr)) << P->LastErrMsg();
  EXPECT_EQ(fw, 160);
  EXPECT_EQ(fh, 120);
  EXPECT_NEAR(double(duration), 2e6, 1e5);
  EXPECT_EQ(P->ScreenWidth, 200);
  ASSERT_TRUE(WaitState(psEnd));
  EXPECT_EQ(States.front(), psPlay);
  EXPECT_EQ(PosAtEnd, duration);
  EXPECT_EQ(Count(psEnd), 1);
  EXPECT_GE(P->FramesShown() + P->FramesDropped(), 18);
  P->Stop(true);
  ASSERT_TRUE(WaitState(psStop));
  EXPECT_TRUE(P->Paused());
}

TEST_F(PlayerThreads, PauseSeekStepAndResumeLandOnTheAskedFrames) {
  ASSERT_TRUE(P->Open(FixturePath(TFixture::AviMpeg4Mp3), nullptr, true)) << P->LastErrMsg();
  ASSERT_TRUE(WaitState(psPause));
  EXPECT_TRUE(P->Paused());
  int64_t pts = -2;
  auto shot = P->CurrentFrame(pts);
  ASSERT_EQ(shot->Width(), 160);
  EXPECT_EQ(MarkFrame(shot.get()), 0);
  EXPECT_EQ(pts, 0);

  // Forward across key frames and back again, by time: the picture lands on the asked frame
  // (key frames every 5 frames, 10 frames a second).
  for (int64_t target : {1300000LL, 700000LL, 200000LL, 1900000LL}) {
    P->Seek(target, {}, true);
    EXPECT_FALSE(P->Seeking());
    shot = P->CurrentFrame(pts);
    EXPECT_EQ(MarkFrame(shot.get()), int(target / 100000)) << target;
    EXPECT_NEAR(double(pts), double(target), 50000) << target;
  }
  // By key frame: the key frame at or before the asked time.
  P->Seek(int64_t(1300000), TSeekFlags{sfAny}, true);
  shot = P->CurrentFrame(pts);
  EXPECT_EQ(MarkFrame(shot.get()) % 5, 0);
  EXPECT_LE(MarkFrame(shot.get()), 13);

  P->Seek(int64_t(500000), {}, true);
  States.clear();
  P->StepToNextFrame();
  ASSERT_TRUE(WaitUntil([&] { return MarkFrame(P->CurrentFrame().get()) == 6; }, 5));
  P->StepToNextFrame();
  ASSERT_TRUE(WaitUntil([&] { return MarkFrame(P->CurrentFrame().get()) == 7; }, 5));
  EXPECT_TRUE(P->Paused());
  EXPECT_TRUE(WaitState(psStep));

  // Paused: the picture holds still.
  ServeMainThread(50);
  EXPECT_EQ(MarkFrame(P->CurrentFrame().get()), 7);
  P->Resume();
  EXPECT_FALSE(P->Paused());
  ASSERT_TRUE(WaitUntil([&] { return MarkFrame(P->CurrentFrame().get()) >= 10; }, 5));
  ASSERT_TRUE(WaitState(psResume));
  P->Stop(true);
}

TEST_F(PlayerThreads, SnapshotEqualsTheDecodedFrameAtItsTime) {
  const std::string file = FixturePath(TFixture::AviMpeg4Mp3);
  ASSERT_TRUE(P->Open(file, nullptr, true));
  ASSERT_TRUE(WaitState(psPause));
  P->Seek(int64_t(800000), {}, true);
  int64_t pts = -1;
  auto shot = P->CurrentFrame(pts);
  ASSERT_EQ(shot->Width(), 160);
  ASSERT_EQ(shot->Height(), 120);

  // Decode the file ourselves up to that time and convert the same way.
  AVFormatContext* ic = nullptr;
  ASSERT_GE(AVFormatStubs.avformat_open_input(&ic, file.c_str(), nullptr, nullptr), 0);
  AVFormatStubs.avformat_find_stream_info(ic, nullptr);
  int vs = -1;
  for (unsigned i = 0; i < ic->nb_streams; ++i)
    if (ic->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) vs = int(i);
  AVCodecContext* dec = AVCodecStubs.avcodec_alloc_context3(
      AVCodecStubs.avcodec_find_decoder(ic->streams[vs]->codecpar->codec_id));
  AVCodecStubs.avcodec_parameters_to_context(dec, ic->streams[vs]->codecpar);
  AVCodecStubs.avcodec_open2(dec, nullptr, nullptr);
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  AVFrame* f = AVUtilStubs.av_frame_alloc();
  bool found = false;
  const AVRational tb = ic->streams[vs]->time_base;
  while (!found && AVFormatStubs.av_read_frame(ic, pkt) >= 0) {
    if (pkt->stream_index == vs && AVCodecStubs.avcodec_send_packet(dec, pkt) >= 0)
      while (!found && AVCodecStubs.avcodec_receive_frame(dec, f) >= 0)
        found = int64_t(f->best_effort_timestamp * av_q2d(tb) * 1e6 + 0.5) == pts;
    AVCodecStubs.av_packet_unref(pkt);
  }
  ASSERT_TRUE(found);
  std::vector<uint8_t> want(size_t(160 * 120 * 4));
  uint8_t* dst[4] = {want.data()};
  int stride[4] = {160 * 4};
  SwsContext* sws = SwScaleStubs.sws_getContext(160, 120, AVPixelFormat(f->format), 160, 120, AV_PIX_FMT_BGRA,
                                                SWS_POINT, nullptr, nullptr, nullptr);
  SwScaleStubs.sws_scale(sws, f->data, f->linesize, 0, 120, dst, stride);
  SwScaleStubs.sws_freeContext(sws);
  int diffs = 0;
  for (int y = 0; y < 120; ++y) {
    const uint8_t* got = static_cast<const uint8_t*>(shot->ScanLine(y));
    for (int x = 0; x < 160 * 4; ++x)
      if (x % 4 != 3 && got[x] != want[size_t(y * 160 * 4 + x)]) ++diffs;
  }
  EXPECT_EQ(diffs, 0);
  AVUtilStubs.av_frame_free(&f);
  AVCodecStubs.av_packet_free(&pkt);
  AVCodecStubs.avcodec_free_context(&dec);
  AVFormatStubs.avformat_close_input(&ic);
  P->Stop(true);
}

TEST_F(PlayerThreads, MuteAndVolumeScaleTheOutput) {
  P->RepeatType = rtLoop;
  ASSERT_TRUE(P->Open(FixturePath(TFixture::WavAudio), nullptr));
  ASSERT_TRUE(WaitUntil([&] { return P->LastAudioPeak() > 1000; }));
  const int full = P->LastAudioPeak();
  P->SetAudioVolume(64);
  ASSERT_TRUE(WaitUntil([&] { return std::abs(P->LastAudioPeak() * 2 - full) < full / 10; }));
  P->SetMute(true);
  EXPECT_EQ(P->AudioVolume(), 64);  // muting keeps the volume
  ASSERT_TRUE(WaitUntil([&] { return P->LastAudioPeak() == 0; }));
  P->SetMute(false);
  ASSERT_TRUE(WaitUntil([&] { return P->LastAudioPeak() > 0; }));
  P->SetAudioVolume(0);
  ASSERT_TRUE(WaitUntil([&] { return P->LastAudioPeak() == 0; }));
  P->SetAudioVolume(500);
  EXPECT_EQ(P->AudioVolume(), 128);
  P->Stop(true);
}

TEST_F(PlayerThreads, ACorruptFileFailsWithTheLibraryMessageAndTheNextFilePlays) {
  for (TBadInput bad : {TBadInput::TextAsAvi, TBadInput::Missing, TBadInput::Empty}) {
    EXPECT_FALSE(P->Open(BadInputPath(bad), nullptr));
    EXPECT_NE(P->LastErrMsg().find(BadInputPath(bad)), std::string::npos) << P->LastErrMsg();
    EXPECT_TRUE(P->Paused());
    EXPECT_EQ(P->VideoStreamIndex(), -1);
  }
  EXPECT_NE(P->LastErrMsg().find("Invalid data found"), std::string::npos) << P->LastErrMsg();
  EXPECT_TRUE(States.empty());
  ASSERT_TRUE(P->Open(FixturePath(TFixture::SingleColour), nullptr)) << P->LastErrMsg();
  EXPECT_TRUE(P->LastErrMsg().empty());
  ASSERT_TRUE(WaitState(psEnd));
  // A file cut in half plays what it has and ends.
  States.clear();
  ASSERT_TRUE(P->Open(BadInputPath(TBadInput::CutInHalf), nullptr)) << P->LastErrMsg();
  ASSERT_TRUE(WaitState(psEnd));
  EXPECT_GE(P->FramesShown(), 1);
}

TEST_F(PlayerThreads, AnAudioOnlyFilePlaysToItsEnd) {
  int fw = 0, fh = 0;
  P->OnFileOpen = [&](TObject*, int64_t, int32_t W, int32_t H, int32_t&, int32_t&) {
    fw = W;
    fh = H;
  };
  ASSERT_TRUE(P->Open(FixturePath(TFixture::Mp3Audio), nullptr));
  EXPECT_EQ(fw, -1);
  EXPECT_EQ(fh, -1);
  EXPECT_EQ(P->VideoStreamIndex(), -1);
  EXPECT_GE(P->AudioStreamIndex(), 0);
  ASSERT_TRUE(WaitUntil([&] { return LastPos > 300000; }));
  int64_t pts = 0;
  auto shot = P->CurrentFrame(pts);
  EXPECT_TRUE(shot->Empty());
  EXPECT_EQ(pts, -1);
  ASSERT_TRUE(WaitState(psEnd));
  P->Stop(true);
  EXPECT_TRUE(WaitState(psStop));
}

TEST_F(PlayerThreads, AVideoOnlyFileShowsItsColourKeepingTheAspectWhenTheHostResizes) {
  P->ScreenWidth = 200;
  P->ScreenHeight = 124;
  P->RepeatType = rtNone;
  ASSERT_TRUE(P->Open(FixturePath(TFixture::SingleColour), nullptr, true));
  EXPECT_EQ(P->AudioStreamIndex(), -1);
  ASSERT_TRUE(WaitState(psPause));
  auto shot = P->CurrentFrame();
  ASSERT_EQ(shot->Width(), 96);
  const uint8_t* px = static_cast<const uint8_t*>(shot->ScanLine(36)) + 48 * 4;
  EXPECT_NEAR(px[2], SingleColourR, 6);
  EXPECT_NEAR(px[1], SingleColourG, 6);
  EXPECT_NEAR(px[0], SingleColourB, 6);
  int x, y, w, h;
  P->DisplayRect(x, y, w, h);
  EXPECT_EQ(h, 124);  // 4:3 inside 200x124
  EXPECT_EQ(w, 164);
  EXPECT_EQ(x, 18);
  // The picture on the screen: the clip's colour inside the display rectangle, black beside it.
  const uint32_t c = P->ScreenPixel(100, 62);
  EXPECT_NEAR(int(c >> 16), SingleColourR, 12);
  EXPECT_NEAR(int(c >> 8 & 255), SingleColourG, 12);
  EXPECT_NEAR(int(c & 255), SingleColourB, 12);
  EXPECT_EQ(P->ScreenPixel(5, 62), 0u);
  P->HostResized(300, 100);
  ASSERT_TRUE(WaitUntil([&] {
    P->DisplayRect(x, y, w, h);
    return h == 100;
  }));
  EXPECT_EQ(w, 132);
  EXPECT_EQ(x, 84);
  EXPECT_EQ(y, 0);
  P->Resume();
  ASSERT_TRUE(WaitState(psEnd));
}

TEST_F(PlayerThreads, ClosingDuringPlaybackAndFreeingAPlayingPlayerAreSafe) {
  ASSERT_TRUE(P->Open(FixturePath(TFixture::AviMpeg4Mp3), nullptr));
  ASSERT_TRUE(WaitUntil([&] { return P->FramesShown() >= 2; }));
  P->Stop(true);
  EXPECT_TRUE(WaitState(psStop));
  // Open while another file plays stops the first; the states of the first never reach the second.
  ASSERT_TRUE(P->Open(FixturePath(TFixture::AviMpeg4Mp3), nullptr));
  P->start_time = 500000;  // set while playing: back to no value at the next Open
  ASSERT_TRUE(P->Open(FixturePath(TFixture::SingleColour), nullptr));
  EXPECT_EQ(P->start_time, INT64_MIN);
  ASSERT_TRUE(WaitUntil([&] { return P->FramesShown() >= 1; }));
  P->Stop(false);
  P.reset();  // the threads are joined before the player goes
}

TEST_F(PlayerThreads, ClosingWhileTheReadThreadIsStalledReturnsPromptly) {
  namespace fs = std::filesystem;
  const fs::path fifo = fs::temp_directory_path() / ("ombrel-player-fifo-" + std::to_string(::getpid()));
  fs::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string data;
  {
    std::ifstream in(FixturePath(TFixture::AviMpeg4Mp3), std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), {});
  }
  // The writer gives the first half of the clip and then holds the pipe open without writing.
  std::atomic<int> wfd{-1};
  std::thread writer([&] {
    int fd = ::open(fifo.c_str(), O_WRONLY);
    wfd = fd;
    size_t half = data.size() / 2, off = 0;
    while (off < half) {
      ssize_t n = ::write(fd, data.data() + off, half - off);
      if (n <= 0) break;
      off += size_t(n);
    }
  });
  ASSERT_TRUE(P->Open(fifo.string(), nullptr)) << P->LastErrMsg();
  ASSERT_TRUE(WaitUntil([&] { return P->FramesShown() >= 1; }));
  const auto t0 = std::chrono::steady_clock::now();
  P->Stop(true);
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(took, 3.0);  // not hung on the pipe
  EXPECT_TRUE(WaitState(psStop));
  writer.join();
  ::close(wfd);  // the read returns: the read thread frees the engine state by itself
  EXPECT_TRUE(WaitUntil([] { return PlayerEngineThreadsAlive() == 0; }));
  fs::remove(fifo);
}

// How closely audio and video keep in step is measured in bench/player.cpp; this checks what
// holds on any machine: the pictures come in order, each is shown or dropped, the position
// moves on to the end.
TEST_F(PlayerThreads, ATenSecondClipShowsItsPicturesInOrderWhileThePositionMoves) {
  int64_t duration = 0;
  P->OnFileOpen = [&](TObject*, int64_t D, int32_t, int32_t, int32_t&, int32_t&) { duration = D; };
  std::vector<int64_t> positions;
  P->OnPosition = [&](TObject*, int64_t APTS) {
    LastPos = APTS;
    positions.push_back(APTS);
  };
  ASSERT_TRUE(P->Open(FixturePath(TFixture::LongTiny), nullptr)) << P->LastErrMsg();
  std::vector<int64_t> shown;  // time stamps of the pictures seen on the screen, as they change
  ASSERT_TRUE(WaitUntil(
      [&] {
        int64_t pts = -1;
        P->CurrentFrame(pts);
        if (pts >= 0 && (shown.empty() || shown.back() != pts)) shown.push_back(pts);
        return Has(psEnd);
      },
      30));
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_GE(shown.size(), 2u);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_GE(std::set<int64_t>(positions.begin(), positions.end()).size(), 3u);
  EXPECT_EQ(PosAtEnd, duration);
  EXPECT_EQ(P->FramesShown() + P->FramesDropped(), FixtureInfo(TFixture::LongTiny).Frames);
  EXPECT_GE(P->FramesShown(), 1);
  P->Stop(true);
}

TEST_F(PlayerThreads, TheDrawingHookDrawsOnEveryPictureOffTheMainThread) {
  std::atomic<int> calls{0};
  std::atomic<bool> onMain{false};
  P->Hook = true;
  P->OnHook = [&](TObject* Sender, TBitmap* ABmp, int64_t) {
    EXPECT_EQ(Sender, P.get());
    if (IsMainThread()) onMain = true;
    ++calls;
    for (int y = 0; y < ABmp->Height(); ++y) {  // a white band over the top rows
      if (y >= 8) break;
      std::memset(ABmp->ScanLine(y), 255, size_t(ABmp->Width()) * 4);
    }
  };
  P->VerticalFlip = true;  // the hook sees the picture after the filters
  ASSERT_TRUE(P->Open(FixturePath(TFixture::SingleColour), nullptr, true));
  ASSERT_TRUE(WaitState(psPause));
  auto shot = P->CurrentFrame();
  ASSERT_EQ(shot->Height(), 72);
  const uint8_t* top = static_cast<const uint8_t*>(shot->ScanLine(2)) + 40 * 4;
  const uint8_t* mid = static_cast<const uint8_t*>(shot->ScanLine(40)) + 40 * 4;
  EXPECT_GT(top[0], 240);
  EXPECT_GT(top[1], 240);
  EXPECT_NEAR(mid[2], SingleColourR, 6);
  EXPECT_GE(calls.load(), 1);
  EXPECT_FALSE(onMain);
  P->Stop(true);
}

TEST_F(PlayerThreads, TheHostPanelGivesItsSizeAndResizingItKeepsTheAspect) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  TPanel panel(&form);
  panel.SetParent(&form);
  panel.SetBounds(10, 10, 200, 124);
  form.Show();
  ASSERT_TRUE(P->Open(FixturePath(TFixture::SingleColour), panel.Handle(), true)) << P->LastErrMsg();
  EXPECT_EQ(P->ScreenHandle(), panel.Handle());
  EXPECT_EQ(P->ScreenWidth, 200);
  EXPECT_EQ(P->ScreenHeight, 124);
  ASSERT_TRUE(WaitState(psPause));
  int x, y, w, h;
  P->DisplayRect(x, y, w, h);
  EXPECT_EQ(w, 164);
  panel.SetBounds(10, 10, 300, 100);  // the host's WM_SIZE reaches the player
  ASSERT_TRUE(WaitUntil([&] {
    P->DisplayRect(x, y, w, h);
    return h == 100;
  }));
  EXPECT_EQ(w, 132);
  EXPECT_EQ(x, 84);
  win::SendMessage(panel.Handle(), win::WM_CLOSE, 0, 0);  // swallowed while embedded
  EXPECT_TRUE(win::IsWindow(panel.Handle()));
  P->Stop(true);
}

TEST_F(PlayerThreads, AnAudioOnlyFileShowsItsWaveAndThenItsSpectrum) {
  P->ScreenWidth = 64;
  P->ScreenHeight = 48;
  P->RepeatType = rtLoop;
  ASSERT_TRUE(P->Open(FixturePath(TFixture::WavAudio), nullptr));
  auto count = [&](auto APred) {
    int n = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) n += APred(P->ScreenPixel(x, y)) ? 1 : 0;
    return n;
  };
  // Two channels: two bands, each with a white wave around its centre and a white line between.
  ASSERT_TRUE(WaitUntil([&] { return count([](uint32_t c) { return c == 0xFFFFFF; }) > 64 * 2; }));
  int line = 0;
  for (int x = 0; x < 64; ++x) line += P->ScreenPixel(x, 24) == 0xFFFFFF;
  EXPECT_EQ(line, 64);
  EXPECT_EQ(P->ScreenPixel(0, 0), 0u);  // the tone's peaks stay inside their band
  P->ToggleAudioDisplay();
  EXPECT_EQ(P->ShowAudio, saRDFT);
  // The spectrum scrolls in column by column; the tone lights a few rows near the bottom.
  ASSERT_TRUE(WaitUntil([&] {
    return count([](uint32_t c) { return c != 0 && c != 0xFFFFFF && (c >> 16) > 64; }) >= 8;
  }));
  P->Stop(true);
}

TEST_F(PlayerThreads, AForcedFormatAndAnAspectRatioChangedWhilePlaying) {
  P->SetFormat("avi");
  EXPECT_THROW(P->SetFormat("no-such-format"), Exception);
  EXPECT_EQ(P->Format(), "avi");
  P->ScreenWidth = 200;
  P->ScreenHeight = 124;
  ASSERT_TRUE(P->Open(FixturePath(TFixture::SingleColour), nullptr, true)) << P->LastErrMsg();
  ASSERT_TRUE(WaitState(psPause));
  int x, y, w, h;
  P->SetAspectRatio(1.0f);  // square, redone at once
  ASSERT_TRUE(WaitUntil([&] {
    P->DisplayRect(x, y, w, h);
    return w == 124;
  }));
  EXPECT_EQ(x, 38);
  P->SetAspectRatio(-1.0f);  // the proportions of the display area
  ASSERT_TRUE(WaitUntil([&] {
    P->DisplayRect(x, y, w, h);
    return w == 200;
  }));
  P->Stop(true);
  // A forced format that does not fit the file: the open fails with the library's text.
  P->SetFormat("wav");
  EXPECT_FALSE(P->Open(FixturePath(TFixture::SingleColour), nullptr));
  EXPECT_FALSE(P->LastErrMsg().empty());
}

TEST_F(PlayerThreads, RelativeAndByteSeeksAndAPlayWindowThatLoops) {
  ASSERT_TRUE(P->Open(FixturePath(TFixture::AviMpeg4Mp3), nullptr, true));
  ASSERT_TRUE(WaitState(psPause));
  P->Seek(int64_t(1000000), {}, true);
  P->Seek(-3.0, {}, true);  // before the start: the start
  EXPECT_EQ(MarkFrame(P->CurrentFrame().get()), 0);
  P->Seek(0.5, {}, true);
  EXPECT_EQ(MarkFrame(P->CurrentFrame().get()), 5);
  P->Seek(int64_t(99000000), {}, true);  // beyond the end: the end, showing the last picture
  EXPECT_FALSE(P->Seeking());
  EXPECT_GE(P->CurrentPTS(), 1900000);
  EXPECT_EQ(MarkFrame(P->CurrentFrame().get()), 19);
  // By bytes: somewhere in the middle of the file, on a key frame.
  const int64_t size = int64_t(std::filesystem::file_size(FixturePath(TFixture::AviMpeg4Mp3)));
  P->Seek(size / 2, TSeekFlags{sfByte}, true);
  EXPECT_FALSE(P->Seeking());
  const int mid = MarkFrame(P->CurrentFrame().get());
  EXPECT_GT(mid, 0);
  EXPECT_LT(mid, 19);
  P->Stop(true);

  // A play window of 0.5 s that loops: the position keeps coming back to the start.
  P->PlayTime = 500000;
  P->RepeatType = rtLoop;
  int64_t maxPos = 0;
  int wraps = 0;
  P->OnPosition = [&](TObject*, int64_t APTS) {
    if (APTS + 200000 < LastPos) ++wraps;
    LastPos = APTS;
    maxPos = std::max(maxPos, APTS);
  };
  ASSERT_TRUE(P->Open(FixturePath(TFixture::AviMpeg4Mp3), nullptr));
  ASSERT_TRUE(WaitUntil([&] { return wraps >= 2; }));
  EXPECT_LT(maxPos, 800000);
  EXPECT_FALSE(Has(psEnd));
  P->Stop(true);
  EXPECT_EQ(P->PlayTime, INT64_MIN);  // the window was for that file only
}

TEST_F(PlayerThreads, SwitchingTheAudioStreamWhilePlaying) {
  P->RepeatType = rtLoop;
  ASSERT_TRUE(P->Open(FixturePath(TFixture::AviTwoAudioTags), nullptr));
  const int first = P->AudioStreamIndex();
  ASSERT_EQ(first, 1);  // after the video stream
  ASSERT_TRUE(WaitUntil([&] { return P->LastAudioPeak() > 1000; }));
  P->SetAudioStreamIndex(0);  // the video stream: refused, nothing changes
  EXPECT_NE(P->LastErrMsg().find("Invalid audio stream index: 0"), std::string::npos);
  EXPECT_EQ(P->AudioStreamIndex(), first);
  P->SetAudioStreamIndex(2);
  ASSERT_TRUE(WaitUntil([&] { return P->AudioStreamIndex() == 2; }));
  const int64_t shown = P->FramesShown();
  ASSERT_TRUE(WaitUntil([&] { return P->LastAudioPeak() > 1000 && P->FramesShown() > shown + 2; }));
  P->Stop(true);
}

TEST_F(PlayerThreads, ABitmapSubtitleShowsAtItsTimeAndGoesAfterItsEndOrWhenSwitchedOff) {
  ASSERT_TRUE(P->Open(FixturePath(TFixture::DvdSubtitledMkv), nullptr, true)) << P->LastErrMsg();
  ASSERT_TRUE(WaitState(psPause));
  EXPECT_EQ(P->SubtitleStreamIndex(), 1);  // after the video stream
  // The picture fills the screen one to one: a point inside the subtitle's rectangle, one outside.
  const int inX = DvdSubtitleX + DvdSubtitleW / 2, inY = DvdSubtitleY + DvdSubtitleH / 2;
  auto isWhite = [&](int x, int y) {  // SDL's software overlay keeps the studio range: white is 235
    const uint32_t c = P->ScreenPixel(x, y);
    return (c >> 16) > 220 && (c >> 8 & 255) > 220 && (c & 255) > 220;
  };
  auto isClip = [&](int x, int y) {
    const uint32_t c = P->ScreenPixel(x, y);
    return std::abs(int(c >> 16) - SingleColourR) < 16 && std::abs(int(c >> 8 & 255) - SingleColourG) < 16 &&
           std::abs(int(c & 255) - SingleColourB) < 16;
  };
  P->Seek(DvdSubtitleStartUs - 200000, {}, true);  // before its time
  EXPECT_TRUE(isClip(inX, inY));
  P->Seek(DvdSubtitleStartUs + 100000, {}, true);  // at its time
  ASSERT_TRUE(WaitUntil([&] { return isWhite(inX, inY); }, 5));
  EXPECT_TRUE(isClip(DvdSubtitleX - 4, inY));
  EXPECT_TRUE(isClip(inX, DvdSubtitleY + DvdSubtitleH + 4));
  P->Seek(DvdSubtitleEndUs + 200000, {}, true);  // after its end
  EXPECT_TRUE(isClip(inX, inY));

  P->Seek(DvdSubtitleStartUs + 100000, {}, true);
  ASSERT_TRUE(WaitUntil([&] { return isWhite(inX, inY); }, 5));
  P->SetSubtitleStreamIndex(0);  // the video stream: refused, nothing changes
  EXPECT_EQ(P->LastErrMsg(), "the stream type is not matched.");
  P->SetSubtitleStreamIndex(7);
  EXPECT_EQ(P->LastErrMsg(), "the stream index is not valid.");
  EXPECT_EQ(P->SubtitleStreamIndex(), 1);
  P->SetSubtitleStreamIndex(-1);  // none: the shown picture loses it at once, even paused
  ASSERT_TRUE(WaitUntil([&] { return P->SubtitleStreamIndex() == -1 && isClip(inX, inY); }, 5));
  P->SetSubtitleStreamIndex(1);  // and back
  ASSERT_TRUE(WaitUntil([&] { return P->SubtitleStreamIndex() == 1; }, 5));
  P->Stop(true);
}

TEST_F(PlayerThreads, ATextSubtitleStreamIsChosenButShowsNothingAndSaysSoOnce) {
  const TFixtureInfo& fi = FixtureInfo(TFixture::SubtitledMkv);
  int said = 0;
  GetFFLogger()->OnLog = [&](TObject*, uint32_t, TLogLevel, const std::string& AMsg) {
    if (AMsg.find("text subtitles, which are not shown") != std::string::npos) ++said;
  };
  ASSERT_TRUE(P->Open(FixturePath(TFixture::SubtitledMkv), nullptr)) << P->LastErrMsg();
  EXPECT_EQ(P->SubtitleStreamIndex(), fi.VideoStreams + fi.AudioStreams);
  ASSERT_TRUE(WaitState(psEnd));  // both cues decoded on the way
  P->Stop(true);
  GetFFLogger()->OnLog = nullptr;
  EXPECT_EQ(said, 1);
}
