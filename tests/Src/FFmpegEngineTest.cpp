// The engine's lifecycle: start refusals, the run boundary, threads, pause, stop and cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "base/Files.h"
#include "tests/Src/fixtures/MediaFixtures.h"

namespace {

using namespace mediafix;
namespace fs = std::filesystem;

// An engine whose run is a loop of checkpoints the test controls.
class TLoopEngine : public TCustomFFmpeg {
public:
  using TCustomFFmpeg::TCustomFFmpeg;
  ~TLoopEngine() override { Stop(true); }  // the run calls our Transcode: end it while we exist

  std::atomic<int> Checkpoints{0};
  std::atomic<bool> Throw{false};
  int Limit = -1;  // checkpoints before the loop ends by itself; -1: until stopped

protected:
  void Transcode() override {
    if (Throw) throw FFmpegException("Could not write header for output file #0");
    while (Limit < 0 || Checkpoints < Limit) {
      if (PauseCheckpoint()) return;
      ++Checkpoints;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
};

class EngineLifecycle : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    dir_ = fs::temp_directory_path() / ("ombrel-engine-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
    FFLoader().Unload(TaskLibraries);
  }
  // An engine with one input (the WAV fixture) and one output in the temp folder.
  void Fill(TCustomFFmpeg& E, const std::string& AOut = "out.wav") {
    E.Reset();
    E.OnTerminate = [this](TObject*) { ++terminates_; };
    ASSERT_TRUE(E.OpenInputFile(FixturePath(TFixture::WavAudio))) << E.LastErrMsg();
    ASSERT_EQ(E.OpenOutputFile((dir_ / AOut).string()), 1) << E.LastErrMsg();
  }
  static bool WaitUntil(const std::function<bool()>& ACond) {
    for (int i = 0; i < 5000 && !ACond(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ACond();
  }
  fs::path dir_;
  std::atomic<int> terminates_{0};
};

TEST_F(EngineLifecycle, CapacityIsChecked) {
  EXPECT_THROW(TCustomFFmpeg(0), EAssertionFailed);
  EXPECT_THROW(TCustomFFmpeg(513), EAssertionFailed);
  EXPECT_NO_THROW(TCustomFFmpeg(512));
}

TEST_F(EngineLifecycle, StartWithoutOutputIsRefusedWithOneTerminate) {
  TLoopEngine e;
  e.Reset();
  e.OnTerminate = [this](TObject*) { ++terminates_; };
  ASSERT_TRUE(e.OpenInputFile(FixturePath(TFixture::WavAudio)));
  EXPECT_EQ(e.StartConvert(false), nullptr);
  EXPECT_EQ(terminates_, 1);
  EXPECT_TRUE(e.FatalException());
  EXPECT_EQ(e.FatalMessage(), "At least one output file must be specified");
  EXPECT_EQ(e.nb_input_files(), 0) << "the inputs are closed";
  EXPECT_EQ(e.Checkpoints, 0);
  // Terminated: a second start does nothing and raises nothing.
  EXPECT_EQ(e.StartConvert(false), nullptr);
  EXPECT_EQ(terminates_, 1);
}

TEST_F(EngineLifecycle, StartWithoutInputIsRefused) {
  TLoopEngine e;
  e.Reset();
  e.OnTerminate = [this](TObject*) { ++terminates_; };
  ASSERT_EQ(e.OpenOutputFile((dir_ / "x.wav").string()), 1) << e.LastErrMsg();
  EXPECT_EQ(e.StartConvert(true), nullptr);
  EXPECT_EQ(terminates_, 1);
  EXPECT_EQ(e.FatalMessage(), "At least one input file must be specified");
  EXPECT_FALSE(fs::exists(dir_ / "x.wav")) << "the empty output is removed";
}

TEST_F(EngineLifecycle, SynchronousRunEndsFinishedAndCanRunAgainAfterReset) {
  TLoopEngine e;
  e.Limit = 3;
  Fill(e);
  EXPECT_EQ(e.StartConvert(false), nullptr);
  EXPECT_EQ(e.Checkpoints, 3);
  EXPECT_TRUE(e.Finished());
  EXPECT_FALSE(e.FatalException());
  EXPECT_EQ(terminates_, 1);
  EXPECT_FALSE(fs::exists(dir_ / "out.wav")) << "an output that received no byte is deleted";
  EXPECT_EQ(e.StartConvert(false), nullptr);
  EXPECT_EQ(terminates_, 1);

  e.Checkpoints = 0;
  Fill(e);
  e.StartConvert(false);
  EXPECT_EQ(e.Checkpoints, 3);
  EXPECT_EQ(terminates_, 2);
}

TEST_F(EngineLifecycle, FailureInsideTheRunIsRecordedAndTheTaskStillEnds) {
  TLoopEngine e;
  e.Throw = true;
  Fill(e);
  e.StartConvert(false);
  EXPECT_TRUE(e.FatalException());
  EXPECT_EQ(e.FatalMessage(), "Could not write header for output file #0");
  EXPECT_FALSE(e.Finished());
  EXPECT_EQ(terminates_, 1);
  EXPECT_EQ(e.nb_output_files(), 0) << "clean-up ran after the failure";
}

TEST_F(EngineLifecycle, StopBeforeStartOnlyMarksTheStop) {
  TLoopEngine e;
  e.Limit = 2;
  Fill(e);
  e.Stop(true);  // returns at once: nothing runs
  EXPECT_EQ(terminates_, 0);
  e.StartConvert(false);
  EXPECT_EQ(e.Checkpoints, 2) << "a start clears an earlier stop request";
  EXPECT_TRUE(e.Finished());
}

TEST_F(EngineLifecycle, ThreadedRunPausesAtItsCheckpointsAndStopsWhilePaused) {
  TLoopEngine e;
  Fill(e);
  TThread* t = e.StartConvert(true);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(e.Converting());
  EXPECT_EQ(e.StartConvert(true), nullptr) << "one run at a time";
  t->Resume();
  ASSERT_TRUE(WaitUntil([&] { return e.Checkpoints > 2; }));
  e.Pause();
  EXPECT_TRUE(e.Paused());
  const int at = e.Checkpoints;
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_LE(e.Checkpoints, at + 1) << "the run waits at its next checkpoint";
  e.Resume();
  ASSERT_TRUE(WaitUntil([&] { return e.Checkpoints > at + 3; })) << "resumed";
  e.Pause();
  e.Stop(true);  // wakes the paused run and waits for its end
  EXPECT_FALSE(e.Converting());
  EXPECT_TRUE(e.Terminated());
  EXPECT_FALSE(e.Finished()) << "a stopped run is not finished";
  EXPECT_EQ(terminates_, 1);
}

TEST_F(EngineLifecycle, StopOfAThreadThatWasNeverStartedRunsItToItsEnd) {
  TLoopEngine e;
  Fill(e);
  ASSERT_NE(e.StartConvert(true), nullptr);
  e.Stop(true);
  EXPECT_EQ(terminates_, 1);
  EXPECT_TRUE(e.Terminated());
}

TEST_F(EngineLifecycle, CancelOfANeverStartedEngineRaisesOneTerminateOnAnotherThread) {
  TLoopEngine e;
  Fill(e);
  std::thread::id on;
  e.OnTerminate = [&](TObject*) {
    on = std::this_thread::get_id();
    ++terminates_;
  };
  e.Cancel(false);
  e.Cancel(true);  // the first one's terminate is pending: no second one, but it waits
  EXPECT_EQ(terminates_, 1);
  EXPECT_NE(on, std::this_thread::get_id());
  e.Cancel(true);
  EXPECT_EQ(terminates_, 1);
  EXPECT_EQ(e.StartConvert(false), nullptr) << "terminated until Reset";
}

TEST_F(EngineLifecycle, DestroyingAConvertingEngineWaitsForTheRun) {
  std::atomic<bool> ended{false};
  {
    auto e = std::make_unique<TLoopEngine>();
    Fill(*e);
    e->OnTerminate = [&](TObject*) { ended = true; };
    e->StartConvert(true)->Resume();
    ASSERT_TRUE(WaitUntil([&] { return e->Checkpoints > 0; }));
    e.reset();
    EXPECT_TRUE(ended);
  }
  {
    // Cancel(false) leaves a terminate thread running on the engine; destruction waits for it.
    auto e = std::make_unique<TLoopEngine>();
    e->Reset();
    e->OnTerminate = [&](TObject*) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      ++terminates_;
    };
    e->Cancel(false);
    e.reset();
    EXPECT_EQ(terminates_, 1);
  }
}

// The encoder-thread rule over its table: a family whose extra threads do not pay keeps one
// thread with every core free; x264 takes the free cores, shared among the running
// conversions, and never more.
TEST_F(EngineLifecycle, EncoderThreadsGoOnlyToFamiliesThatGainAndNeverBeyondTheFreeCores) {
  SetEncoderCoreCount(8);
  ASSERT_EQ(RunningConversions(), 0);
  for (const char* name : {"mpeg4", "mpeg1video", "mpeg2video", "msmpeg4", "wmv2", "no-such-encoder"})
    EXPECT_EQ(EncoderThreadCount(name), 1) << name;
  EXPECT_GT(EncoderThreadCount("libx264"), 1) << "frame threads pay";

  // Two conversions running: each may have half the cores.
  TLoopEngine a, b;
  Fill(a, "a.wav");
  Fill(b, "b.wav");
  a.StartConvert(true)->Resume();
  b.StartConvert(true)->Resume();
  ASSERT_TRUE(WaitUntil([] { return RunningConversions() == 2; }));
  for (int cores : {1, 2, 3, 4, 8, 13, 64}) {
    SetEncoderCoreCount(cores);
    const int free = std::max(1, cores / 2);
    const int x264 = EncoderThreadCount("libx264");
    EXPECT_GE(x264, 1) << cores << " cores";
    EXPECT_LE(x264, free) << cores << " cores";
    if (free > 1) EXPECT_GT(x264, 1) << cores << " cores";
    EXPECT_EQ(EncoderThreadCount("mpeg4"), 1) << cores << " cores";
  }
  SetEncoderCoreCount(0);
  a.Stop(true);
  b.Stop(true);
}

}  // namespace
