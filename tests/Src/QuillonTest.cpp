// The task component with engines whose run is a small fake: a few progress steps that honour
// pause and stop. Covers the run's bookkeeping, the threads events arrive on, pause, resume,
// stop, failures, and the hand-over to the user-interface thread under load.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <thread>

#include "Src/AVProbe.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/Quillon.h"
#include "base/MainThread.h"
#include "tests/Src/TranscodeTestUtil.h"
#include "tests/Src/fixtures/MediaFixtures.h"

namespace {

using namespace mediafix;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct TFakeControl {
  std::atomic<int> Steps{4};
  std::atomic<int> StepMs{1};
  std::atomic<bool> Log{false};
  std::atomic<int> Running{0};
  std::atomic<int> MaxRunning{0};
};

// A run of Steps progress reports, one every StepMs, stopping and pausing where the real run does.
class TFakeEngine : public TFFmpeg {
public:
  TFakeEngine(int32_t AMaxFiles, TFakeControl& AControl) : TFFmpeg(AMaxFiles), FControl(AControl) {}
  ~TFakeEngine() override { Stop(true); }  // our Transcode must be over before our part goes

protected:
  void Transcode() override {
    const int running = ++FControl.Running;
    for (int m = FControl.MaxRunning; running > m && !FControl.MaxRunning.compare_exchange_weak(m, running);) {
    }
    struct TLeave {
      std::atomic<int>& R;
      ~TLeave() { --R; }
    } leave{FControl.Running};
    const int steps = FControl.Steps;
    for (int i = 1; i <= steps; ++i) {
      if (PauseCheckpoint()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(FControl.StepMs.load()));
      if (FControl.Log) GetFFLogger()->Log(this, llInfo, "step %d", i);
      if (OnProgress) OnProgress(this, 0, i, 25, 2.0f, 64.0f, int64_t{i} * 1000, int64_t{i} * 100000, int64_t{steps} * 100000);
    }
  }

private:
  TFakeControl& FControl;
};

class TTestQuillon : public TQuillon {
public:
  TTestQuillon(TFakeControl& AControl) : TQuillon(nullptr), FControl(AControl) {}
  ~TTestQuillon() override { StopForDestroy(); }  // no run may call into us while our part goes

protected:
  std::unique_ptr<TCustomFFmpeg> CreateEngine(int32_t AMaxFiles) override {
    return std::make_unique<TFakeEngine>(AMaxFiles, FControl);
  }

private:
  TFakeControl& FControl;
};

// What the handlers saw, from any thread.
struct TRecorder {
  std::mutex M;
  std::vector<TTerminateInfo> Terminates;  // of tasks, in arrival order
  std::vector<uint32_t> TerminateThreads;
  std::map<int, std::vector<int64_t>> Progress;  // durations by task
  std::vector<std::string> Order;                // "p0", "t0", "final"
  std::atomic<int> Finals{0};
  std::atomic<int> HandlersReturned{0};
  int ReturnedAtFinal = -1;
  bool ProgressOffMainThread = false;

  void Attach(TCustomQuillon& Q, int AHandlerSleepMs = 0) {
    Q.OnProgress = [this](TObject*, PProgressInfo P) {
      std::lock_guard g(M);
      if (!IsMainThread()) ProgressOffMainThread = true;
      Progress[P->TaskIndex].push_back(P->CurrentDuration);
      Order.push_back("p" + std::to_string(P->TaskIndex));
    };
    Q.OnTerminate = [this, AHandlerSleepMs](TObject*, const TTerminateInfo& I) {
      if (I.TaskIndex < 0) {
        std::lock_guard g(M);
        ReturnedAtFinal = HandlersReturned.load();
        Order.push_back("final");
        ++Finals;
        return;
      }
      {
        std::lock_guard g(M);
        Terminates.push_back(I);
        TerminateThreads.push_back(GetCurrentThreadId());
        Order.push_back("t" + std::to_string(I.TaskIndex));
      }
      if (AHandlerSleepMs) std::this_thread::sleep_for(std::chrono::milliseconds(AHandlerSleepMs));
      ++HandlersReturned;
    };
  }
  const TTerminateInfo* TerminateOf(int ATask) {
    for (const auto& t : Terminates)
      if (t.TaskIndex == ATask) return &t;
    return nullptr;
  }
};

// The user-interface thread's loop while it waits: serve hand-overs until done. The limit is
// only there to end a hang.
bool ServeUntil(const std::function<bool()>& ADone, std::chrono::seconds ALimit = 300s) {
  const auto end = std::chrono::steady_clock::now() + ALimit;
  while (!ADone()) {
    if (std::chrono::steady_clock::now() > end) return false;
    CheckSynchronize(2);
  }
  return true;
}

class QuillonRun : public ::testing::Test {
protected:
  void SetUp() override {
    InitMainThread();
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    dir_ = fs::temp_directory_path() / ("ombrel-quillon-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    Q = std::make_unique<TTestQuillon>(control_);
  }
  void TearDown() override {
    Q.reset();
    GetFFLogger()->OnLog = nullptr;
    std::error_code ec;
    fs::remove_all(dir_, ec);
    FFLoader().Unload(TaskLibraries);
  }
  // A task converting the WAV fixture into its own output.
  int AddTask(bool AWithOutput = true) {
    const int i = Q->AddTask(FixturePath(TFixture::WavAudio));
    EXPECT_GE(i, 0) << Q->LastErrMsg();
    if (i >= 0 && AWithOutput) {
      EXPECT_TRUE(Q->SetOutputFile(i, (dir_ / ("out" + std::to_string(serial_++) + ".wav")).string()))
          << Q->LastErrMsg();
    }
    return i;
  }
  void AddTasks(int N) {
    for (int k = 0; k < N; ++k) AddTask();
  }
  bool WaitFinal() {
    return ServeUntil([&] { return rec_.Finals.load() > 0; });
  }

  TFakeControl control_;
  TRecorder rec_;
  std::unique_ptr<TTestQuillon> Q;
  fs::path dir_;
  int serial_ = 0;
};

TEST_F(QuillonRun, DirectModeRunsEveryTaskInOrderOnTheCallingThread) {
  AddTasks(3);
  rec_.Attach(*Q);
  Q->Start(0);
  // Everything happened inside Start.
  ASSERT_EQ(rec_.Finals, 1);
  EXPECT_TRUE(Q->Terminated());
  std::vector<std::string> expected;
  for (int t = 0; t < 3; ++t) {
    for (int s = 0; s < control_.Steps; ++s) expected.push_back("p" + std::to_string(t));
    expected.push_back("t" + std::to_string(t));
  }
  expected.push_back("final");
  EXPECT_EQ(rec_.Order, expected);
  for (uint32_t id : rec_.TerminateThreads) EXPECT_EQ(id, GetCurrentThreadId());
  for (const auto& t : rec_.Terminates) EXPECT_TRUE(t.Finished && !t.Exception) << t.ExceptionMsg;
}

class QuillonThreads : public QuillonRun, public ::testing::WithParamInterface<int> {};

TEST_P(QuillonThreads, OneTerminatePerTaskThenExactlyOneFinalAfterEveryHandler) {
  const int threads = GetParam();
  AddTasks(4);
  control_.Steps = 5;
  rec_.Attach(*Q, 20);  // slow task handlers: the final event must still come after them
  Q->Start(threads);
  ASSERT_TRUE(WaitFinal());
  // Give a wrong second final event the chance to show.
  ServeUntil([] { return false; }, 0s);
  std::this_thread::sleep_for(50ms);
  std::lock_guard g(rec_.M);
  EXPECT_EQ(rec_.Finals, 1);
  EXPECT_EQ(rec_.ReturnedAtFinal, 4) << "every task handler returned before the final event";
  ASSERT_EQ(rec_.Terminates.size(), 4u);
  for (int t = 0; t < 4; ++t) {
    const TTerminateInfo* info = rec_.TerminateOf(t);
    ASSERT_NE(info, nullptr) << t;
    EXPECT_TRUE(info->Finished);
    EXPECT_FALSE(info->Exception) << info->ExceptionMsg;
    // Progress of each task arrived in order, on the user-interface thread.
    const auto& p = rec_.Progress[t];
    ASSERT_EQ(p.size(), 5u) << t;
    for (size_t k = 1; k < p.size(); ++k) EXPECT_GT(p[k], p[k - 1]);
  }
  EXPECT_FALSE(rec_.ProgressOffMainThread);
  for (uint32_t id : rec_.TerminateThreads) EXPECT_NE(id, GetCurrentThreadId()) << "never the UI thread";
  EXPECT_LE(control_.MaxRunning, threads);
  EXPECT_EQ(rec_.Order.back(), "final");
}

INSTANTIATE_TEST_SUITE_P(ThreadCounts, QuillonThreads, ::testing::Values(1, 3));

TEST_F(QuillonRun, PauseHoldsEveryTaskAndResumeFinishesThem) {
  AddTasks(3);
  control_.Steps = 40;
  control_.StepMs = 2;
  rec_.Attach(*Q);
  Q->Start(3);
  ASSERT_TRUE(ServeUntil([&] {
    std::lock_guard g(rec_.M);
    return rec_.Progress.size() == 3;
  }));
  Q->Pause();
  for (int t = 0; t < 3; ++t) EXPECT_TRUE(Q->TaskEngine(t).Paused());
  // A report already on its way may still arrive; after that nothing moves.
  ServeUntil([] { return false; }, 0s);
  for (int k = 0; k < 20; ++k) CheckSynchronize(2);
  size_t held;
  {
    std::lock_guard g(rec_.M);
    held = rec_.Order.size();
  }
  for (int k = 0; k < 50; ++k) CheckSynchronize(2);
  {
    std::lock_guard g(rec_.M);
    EXPECT_EQ(rec_.Order.size(), held) << "a paused task reported progress";
    EXPECT_TRUE(rec_.Terminates.empty());
  }
  Q->Resume();
  ASSERT_TRUE(WaitFinal());
  std::lock_guard g(rec_.M);
  ASSERT_EQ(rec_.Terminates.size(), 3u);
  for (const auto& t : rec_.Terminates) EXPECT_TRUE(t.Finished);
}

TEST_F(QuillonRun, StopInTheMiddleEndsEveryTaskUnfinished) {
  AddTasks(5);
  control_.Steps = 1000000;  // runs until stopped
  rec_.Attach(*Q);
  Q->Start(2);
  ASSERT_TRUE(ServeUntil([&] { return !rec_.Progress.empty(); }));
  Q->Stop(true);
  // Stop(true) returned after every task's terminate handler and the final event.
  std::lock_guard g(rec_.M);
  EXPECT_EQ(rec_.Terminates.size(), 5u);
  EXPECT_EQ(rec_.Finals, 1);
  for (const auto& t : rec_.Terminates) EXPECT_FALSE(t.Finished) << t.TaskIndex;
  for (int t = 0; t < 5; ++t) EXPECT_NE(rec_.TerminateOf(t), nullptr) << t;
}

TEST_F(QuillonRun, ProgressHandlerExceptionEndsThatTaskWithItsMessage) {
  AddTasks(3);
  rec_.Attach(*Q);
  auto record = Q->OnProgress;
  Q->OnProgress = [record](TObject* S, PProgressInfo P) {
    if (P->TaskIndex == 1 && P->FrameNumber == 2) throw Exception("handler refused frame 2");
    record(S, P);
  };
  Q->Start(2);
  ASSERT_TRUE(WaitFinal());
  std::lock_guard g(rec_.M);
  const TTerminateInfo* bad = rec_.TerminateOf(1);
  ASSERT_NE(bad, nullptr);
  EXPECT_TRUE(bad->Exception);
  EXPECT_FALSE(bad->Finished);
  EXPECT_EQ(bad->ExceptionMsg, "handler refused frame 2");
  for (int t : {0, 2}) {
    ASSERT_NE(rec_.TerminateOf(t), nullptr);
    EXPECT_TRUE(rec_.TerminateOf(t)->Finished);
  }
}

TEST_F(QuillonRun, ATaskThatFailsToStartDoesNotStopTheOthers) {
  AddTask(false);  // no output file
  AddTasks(2);
  rec_.Attach(*Q);
  Q->Start(1);
  ASSERT_TRUE(WaitFinal());
  std::lock_guard g(rec_.M);
  ASSERT_EQ(rec_.Terminates.size(), 3u);
  EXPECT_EQ(rec_.Terminates[0].TaskIndex, 0);
  EXPECT_TRUE(rec_.Terminates[0].Exception);
  EXPECT_EQ(rec_.Terminates[0].ExceptionMsg, "At least one output file must be specified");
  EXPECT_TRUE(rec_.TerminateOf(1)->Finished);
  EXPECT_TRUE(rec_.TerminateOf(2)->Finished);
  EXPECT_EQ(control_.MaxRunning, 1);
}

TEST_F(QuillonRun, WorkingStateRefusesChangesUntilCleared) {
  AddTasks(2);
  control_.Steps = 1000000;
  rec_.Attach(*Q);
  Q->Start(2);
  EXPECT_TRUE(Q->Working());
  auto raised = [](const std::function<void()>& F) -> std::string {
    try {
      F();
    } catch (const Exception& e) {
      return e.Message;
    }
    return "(nothing raised)";
  };
  EXPECT_EQ(raised([&] { Q->AddTask(FixturePath(TFixture::WavAudio)); }), "Cannot AddTask while working.");
  EXPECT_EQ(raised([&] { Q->SetOutputFile(0, "x.wav"); }), "Cannot SetOutputFile while working.");
  EXPECT_EQ(raised([&] { Q->Start(1); }), "Cannot StartTask while working.");
  EXPECT_EQ(raised([&] { Q->ClearTasks(); }), "Cannot ClearTasks while working.");
  EXPECT_EQ(raised([&] { Q->Exchange(0, 1); }), "Cannot Exchange while working.");
  Q->Stop(true);
  EXPECT_TRUE(Q->Terminated());
  EXPECT_EQ(raised([&] { Q->RemoveTask(0); }), "Cannot RemoveTask while working.");
  EXPECT_EQ(raised([&] { Q->ClearTasks(); }), "(nothing raised)");
  EXPECT_FALSE(Q->Working());
  EXPECT_EQ(Q->TasksCount(), 0);
}

TEST_F(QuillonRun, EmptyListAndNoHandlersStillEndTheRun) {
  rec_.Attach(*Q);
  Q->Start(2);
  ASSERT_TRUE(WaitFinal()) << "an empty run ends at once";
  EXPECT_TRUE(Q->Terminated());
  Q->ClearTasks();

  Q->OnTerminate = nullptr;
  Q->OnProgress = nullptr;
  AddTasks(3);
  Q->Start(2);
  EXPECT_TRUE(ServeUntil([&] { return Q->Terminated(); }));
}

TEST_F(QuillonRun, ExchangedTaskReportsItsCurrentIndex) {
  const int a = AddTask(false);  // refused at start: its terminate names its index
  AddTask();
  Q->Exchange(a, 1);
  rec_.Attach(*Q);
  Q->Start(0);
  std::lock_guard g(rec_.M);
  ASSERT_EQ(rec_.Terminates.size(), 2u);
  EXPECT_EQ(rec_.Terminates[0].TaskIndex, 0);
  EXPECT_TRUE(rec_.Terminates[0].Finished);
  EXPECT_EQ(rec_.Terminates[1].TaskIndex, 1);
  EXPECT_TRUE(rec_.Terminates[1].Exception);
}

TEST_F(QuillonRun, ProgressHandlersOffTheUIThreadNeverOverlap) {
  AddTasks(2);
  control_.Steps = 30;
  Q->SetTriggerEventInMainThread(false);
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false}, offMain{true};
  Q->OnProgress = [&](TObject*, PProgressInfo) {
    if (IsMainThread()) offMain = false;
    if (++inside > 1) overlapped = true;
    std::this_thread::sleep_for(200us);
    --inside;
  };
  Q->OnTerminate = [&](TObject*, const TTerminateInfo& I) {
    if (I.TaskIndex < 0) ++rec_.Finals;
  };
  Q->Start(2);
  ASSERT_TRUE(WaitFinal());
  EXPECT_FALSE(overlapped);
  EXPECT_TRUE(offMain);
}

TEST_F(QuillonRun, DestroyingWhileRunningWaitsForTheRun) {
  AddTasks(3);
  control_.Steps = 1000000;
  rec_.Attach(*Q, 10);
  Q->Start(3);
  ASSERT_TRUE(ServeUntil([&] { return !rec_.Progress.empty(); }));
  Q.reset();  // must neither crash nor leave handlers running against a freed component
  EXPECT_EQ(rec_.Finals, 1);
  EXPECT_EQ(rec_.HandlersReturned, 3);
}

// Many short tasks with progress and log handlers on the user-interface thread: the hand-overs,
// the event locks and the terminate relay must never lock each other up.
TEST_F(QuillonRun, NoDeadlockUnderLoad) {
  control_.Steps = 3;
  control_.Log = true;
  std::atomic<int> logs{0};
  GetFFLogger()->OnLog = [&](TObject*, uint32_t, TLogLevel, const std::string&) {
    EXPECT_TRUE(IsMainThread());
    ++logs;
  };
  for (int round = 0; round < 3; ++round) {
    TRecorder rec;
    Q->ClearTasks();
    AddTasks(20);
    rec.Attach(*Q);
    Q->Start(4);
    ASSERT_TRUE(ServeUntil([&] { return rec.Finals.load() > 0; }, 600s)) << "round " << round;
    std::lock_guard g(rec.M);
    EXPECT_EQ(rec.Terminates.size(), 20u);
    EXPECT_EQ(rec.ReturnedAtFinal, 20);
    for (const auto& t : rec.Terminates) EXPECT_TRUE(t.Finished) << t.ExceptionMsg;
  }
  EXPECT_GE(logs, 3 * 20 * 3);
}

class QuillonTasks : public QuillonRun {};

TEST_F(QuillonTasks, TaskFilesProbesAndTheirLimits) {
  Q->SetCustomMaxFiles(1);
  const int t = AddTask(false);
  ASSERT_EQ(t, 0);
  EXPECT_FALSE(Q->AddInputFile(t, FixturePath(TFixture::Mp3Audio)));
  EXPECT_EQ(Q->LastErrMsg(), "max input files 1 reached");
  EXPECT_EQ(Q->TaskEngine(t).nb_input_files(), 1);

  TAVProbe* probe = Q->GetTaskAVProbe(t, 0);
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->AudioStreamCount(), 1);
  EXPECT_THROW(Q->GetTaskAVProbe(t, 1), EListError) << "a file index beyond the task's capacity";
  EXPECT_THROW(Q->GetTaskAVProbe(t, -1), EListError);
  EXPECT_THROW(Q->GetTaskAVProbe(5, 0), EListError);

  Q->SetCustomMaxFiles(0);
  EXPECT_THROW(Q->AddTask(FixturePath(TFixture::WavAudio)), EAssertionFailed);
  EXPECT_EQ(Q->TasksCount(), 1);

  Q->SetCustomMaxFiles(4);
  EXPECT_EQ(Q->AddTask((dir_ / "missing.avi").string()), -1);
  EXPECT_FALSE(Q->LastErrMsg().empty());
  EXPECT_EQ(Q->TasksCount(), 1) << "a failed AddTask leaves no task";

  Q->SetProgressInterval(50);
  EXPECT_EQ(Q->ProgressInterval(), 100);
}

TEST_F(QuillonTasks, TextFormsFillTheRecords) {
  const int t = Q->AddTask(FixturePath(TFixture::WavAudio), "TimeStart=5000000<CRLF>ss=1");
  ASSERT_EQ(t, 0) << Q->LastErrMsg();
  EXPECT_EQ(Q->TaskEngine(t).InputTsOffset(0), -5000000) << "TimeStart wins: it is set after the text";

  EXPECT_EQ(Q->AddTask(FixturePath(TFixture::WavAudio), "f=no_such_format"), -1);
  EXPECT_NE(Q->LastErrMsg().find("no_such_format"), std::string::npos) << Q->LastErrMsg();

  // A failed opening applies no extra stream of the text and leaves the output count alone.
  EXPECT_FALSE(Q->SetOutputFile(t, (dir_ / "a.wav").string(), "f=no_such_muxer<CRLF>newaudio"));
  EXPECT_EQ(Q->TaskEngine(t).nb_output_files(), 0);
  const int u = AddTask(false);
  EXPECT_TRUE(Q->SetOutputFile(u, (dir_ / "b.wav").string(), "Hook<CRLF>ab=64000")) << Q->LastErrMsg();
  EXPECT_EQ(Q->TaskEngine(u).nb_output_files(), 1);
}

// An extra stream refused after the output was opened: SetOutputFile fails and the task is as
// before, with no output counted, no file left behind, and room for the next output.
TEST_F(QuillonTasks, FailedExtraStreamTakesTheOutputBack) {
  const int t = Q->AddTask(FixturePath(TFixture::AviMpeg4Mp3));
  ASSERT_EQ(t, 0) << Q->LastErrMsg();
  const std::string bad = (dir_ / "extra.avi").string(), good = (dir_ / "plain.avi").string();
  // The record names the main streams; the extra stream takes the codec of its own line.
  for (const char* text : {"newaudio<CRLF>acodec=no_such_encoder", "newvideo<CRLF>vcodec=no_such_encoder"}) {
    SCOPED_TRACE(text);
    TOutputOptions o;
    InitOutputOptions(o);
    o.VideoCodec = "mpeg4";
    o.AudioCodec = "libmp3lame";
    o.ExtOptions = text;
    EXPECT_FALSE(Q->SetOutputFile(t, bad, &o));
    EXPECT_FALSE(Q->LastErrMsg().empty());
    EXPECT_EQ(Q->TaskEngine(t).nb_output_files(), 0);
    EXPECT_EQ(Q->TaskEngine(t).nb_ocodecs(), 0);
    EXPECT_FALSE(fs::exists(bad));
  }
  ASSERT_TRUE(Q->SetOutputFile(t, good, "vcodec=mpeg4<CRLF>acodec=libmp3lame")) << Q->LastErrMsg();
  EXPECT_EQ(Q->TaskEngine(t).nb_output_files(), 1);
  EXPECT_EQ(Q->TaskEngine(t).OutputFile(0)->FileName, good);
}

// ---- real conversions of the fixture clips ----------------------------------------------

class QuillonConvert : public ::testing::Test {
protected:
  void SetUp() override {
    InitMainThread();
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    dir_ = fs::temp_directory_path() / ("ombrel-quillon-conv-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    Q = std::make_unique<TQuillon>(nullptr);
    Q->SetProgressInterval(100);
  }
  void TearDown() override {
    Q.reset();
    GetFFLogger()->OnLog = nullptr;
    std::error_code ec;
    fs::remove_all(dir_, ec);
    FFLoader().Unload(TaskLibraries);
  }
  // The moving clip into MPEG-4 and MP2 in AVI; AInputText "re" reads it at its own pace, so
  // a run lasts about its two seconds.
  int AddConversion(const std::string& AInputText = "", TFixture AFixture = TFixture::AviMpeg4Mp3,
                    const std::string& AExt = ".avi") {
    const int i = Q->AddTask(FixturePath(AFixture), AInputText);
    EXPECT_GE(i, 0) << Q->LastErrMsg();
    if (i < 0) return i;
    TOutputOptions o;
    if (AExt == ".avi") {
      o.VideoCodec = "mpeg4";
      o.AudioCodec = "mp2";
    }
    const std::string out = (dir_ / ("out" + std::to_string(serial_++) + AExt)).string();
    EXPECT_TRUE(Q->SetOutputFile(i, out, &o)) << Q->LastErrMsg();
    outputs_.push_back(out);
    return i;
  }
  bool WaitFinal(TRecorder& ARec, std::chrono::seconds ALimit = 300s) {
    return ServeUntil([&] { return ARec.Finals.load() > 0; }, ALimit);
  }

  std::unique_ptr<TQuillon> Q;
  TRecorder rec_;
  fs::path dir_;
  std::vector<std::string> outputs_;
  int serial_ = 0;
};

class QuillonConvertThreads : public QuillonConvert, public ::testing::WithParamInterface<int> {};

TEST_P(QuillonConvertThreads, BatchOfFourEndsWithOneTerminateEachThenOneFinal) {
  for (int k = 0; k < 4; ++k) AddConversion();
  rec_.Attach(*Q, 10);
  Q->Start(GetParam());
  ASSERT_TRUE(WaitFinal(rec_));
  std::this_thread::sleep_for(20ms);
  std::lock_guard g(rec_.M);
  EXPECT_EQ(rec_.Finals, 1);
  EXPECT_EQ(rec_.ReturnedAtFinal, 4);
  ASSERT_EQ(rec_.Terminates.size(), 4u);
  for (int t = 0; t < 4; ++t) {
    const TTerminateInfo* info = rec_.TerminateOf(t);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->Finished) << info->ExceptionMsg;
    EXPECT_FALSE(info->Exception) << info->ExceptionMsg;
    const auto& p = rec_.Progress[t];
    ASSERT_FALSE(p.empty()) << "task " << t << " reported no progress";
    for (size_t k = 1; k < p.size(); ++k) EXPECT_GE(p[k], p[k - 1]) << "task " << t;
    EXPECT_GT(fs::file_size(outputs_[static_cast<size_t>(t)]), 0u);
  }
  EXPECT_FALSE(rec_.ProgressOffMainThread);
  EXPECT_EQ(rec_.Order.back(), "final");
}

INSTANTIATE_TEST_SUITE_P(ThreadCounts, QuillonConvertThreads, ::testing::Values(1, 3));

TEST_F(QuillonConvert, PauseHoldsEveryTaskAndResumeFinishesThem) {
  for (int k = 0; k < 3; ++k) AddConversion("re");
  rec_.Attach(*Q);
  Q->Start(3);
  ASSERT_TRUE(ServeUntil([&] {
    std::lock_guard g(rec_.M);
    return !rec_.Progress.empty();
  }));
  Q->Pause();
  // Reports already on their way still arrive: wait until none has come for a while, which on a
  // loaded machine can take longer than any fixed number of turns.
  size_t held = 0;
  {
    const auto give_up = std::chrono::steady_clock::now() + 5s;
    auto quiet_since = std::chrono::steady_clock::now();
    for (;;) {
      CheckSynchronize(5);
      const auto now = std::chrono::steady_clock::now();
      std::lock_guard g(rec_.M);
      if (rec_.Order.size() != held) {
        held = rec_.Order.size();
        quiet_since = now;
      } else if (now - quiet_since > 300ms || now > give_up) {
        break;
      }
    }
  }
  // Longer than the clips last: a task that were not held would end meanwhile.
  const auto until = std::chrono::steady_clock::now() + 2500ms;
  while (std::chrono::steady_clock::now() < until) CheckSynchronize(5);
  {
    std::lock_guard g(rec_.M);
    EXPECT_EQ(rec_.Order.size(), held) << "a paused task went on";
    EXPECT_TRUE(rec_.Terminates.empty());
  }
  Q->Resume();
  ASSERT_TRUE(WaitFinal(rec_));
  std::lock_guard g(rec_.M);
  ASSERT_EQ(rec_.Terminates.size(), 3u);
  for (const auto& t : rec_.Terminates) EXPECT_TRUE(t.Finished) << t.ExceptionMsg;
}

TEST_F(QuillonConvert, StopInTheMiddleEndsEachTaskUnfinished) {
  for (int k = 0; k < 4; ++k) AddConversion("re");
  rec_.Attach(*Q);
  Q->Start(2);
  ASSERT_TRUE(ServeUntil([&] {
    std::lock_guard g(rec_.M);
    return !rec_.Progress.empty();
  }));
  Q->Stop(true);
  std::lock_guard g(rec_.M);
  ASSERT_EQ(rec_.Terminates.size(), 4u);
  EXPECT_EQ(rec_.Finals, 1);
  for (const auto& t : rec_.Terminates) EXPECT_FALSE(t.Finished) << t.TaskIndex;
}

TEST_F(QuillonConvert, ProgressHandlerExceptionAndAFailedStartEndOnlyTheirTasks) {
  AddConversion("re");
  const int noOutput = Q->AddTask(FixturePath(TFixture::WavAudio));
  ASSERT_GE(noOutput, 0);
  AddConversion();
  rec_.Attach(*Q);
  auto record = Q->OnProgress;
  Q->OnProgress = [record](TObject* S, PProgressInfo P) {
    if (P->TaskIndex == 0) throw Exception("progress handler gave up");
    record(S, P);
  };
  Q->Start(1);
  ASSERT_TRUE(WaitFinal(rec_));
  std::lock_guard g(rec_.M);
  ASSERT_EQ(rec_.Terminates.size(), 3u);
  EXPECT_TRUE(rec_.TerminateOf(0)->Exception);
  EXPECT_FALSE(rec_.TerminateOf(0)->Finished);
  EXPECT_EQ(rec_.TerminateOf(0)->ExceptionMsg, "progress handler gave up");
  EXPECT_EQ(rec_.TerminateOf(noOutput)->ExceptionMsg, "At least one output file must be specified");
  EXPECT_TRUE(rec_.TerminateOf(2)->Finished) << rec_.TerminateOf(2)->ExceptionMsg;
}

// Twenty short audio conversions at four threads, progress and log handlers on the
// user-interface thread, three times over: only a hang could reach the limit.
TEST_F(QuillonConvert, NoDeadlockUnderLoad) {
  std::atomic<int> logs{0};
  std::atomic<bool> logOffMain{false};
  GetFFLogger()->OnLog = [&](TObject*, uint32_t, TLogLevel, const std::string&) {
    if (!IsMainThread()) logOffMain = true;
    ++logs;
  };
  for (int round = 0; round < 3; ++round) {
    TRecorder rec;
    Q->ClearTasks();
    outputs_.clear();
    for (int k = 0; k < 20; ++k) AddConversion("", TFixture::WavAudio, ".wav");
    rec.Attach(*Q);
    Q->Start(4);
    ASSERT_TRUE(WaitFinal(rec, 600s)) << "round " << round;
    std::lock_guard g(rec.M);
    EXPECT_EQ(rec.Terminates.size(), 20u);
    EXPECT_EQ(rec.ReturnedAtFinal, 20);
    for (const auto& t : rec.Terminates) EXPECT_TRUE(t.Finished) << t.ExceptionMsg;
    EXPECT_FALSE(rec.ProgressOffMainThread);
  }
  EXPECT_GT(logs, 0);
  EXPECT_FALSE(logOffMain);
}

}  // namespace

// ---- files of waiting tasks ---------------------------------------------------------------

namespace {

int OpenDescriptors() {
  int n = 0;
  for (const auto& e : fs::directory_iterator("/proc/self/fd")) {
    (void)e;
    ++n;
  }
  return n;
}

}  // namespace

TEST_F(QuillonConvert, AddingAJobOverAnExistingFileAndClearingItLeavesTheFileUntouched) {
  const std::string out = (dir_ / "existing.avi").string();
  const std::string bytes = "39 bytes the user wants to keep, as is.";
  {
    std::ofstream f(out, std::ios::binary);
    f << bytes;
  }
  for (bool remove : {true, false}) {
    const int t = Q->AddTask(FixturePath(TFixture::AviMpeg4Mp3));
    ASSERT_GE(t, 0) << Q->LastErrMsg();
    TOutputOptions o;
    o.VideoCodec = "mpeg4";
    ASSERT_TRUE(Q->SetOutputFile(t, out, &o)) << Q->LastErrMsg();
    EXPECT_EQ(fs::file_size(out), bytes.size()) << "a waiting job changes no file";
    if (remove)
      Q->RemoveTask(t);
    else
      Q->ClearTasks();
    ASSERT_TRUE(fs::exists(out));
    std::ifstream in(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
  }
}

TEST_F(QuillonConvert, SixHundredWaitingTasksHoldNoDescriptor) {
  const int before = OpenDescriptors();
  for (int k = 0; k < 600; ++k) {
    const int t = Q->AddTask(FixturePath(TFixture::WavAudio));
    ASSERT_EQ(t, k) << Q->LastErrMsg();
    ASSERT_TRUE(Q->SetOutputFile(t, (dir_ / ("out" + std::to_string(k) + ".wav")).string())) << Q->LastErrMsg();
  }
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_TRUE(fs::is_empty(dir_)) << "no output exists before its task runs";
  // They still run: the last one reads its input again and writes its output.
  Q->Exchange(0, 599);
  for (int k = 599; k > 0; --k) Q->RemoveTask(k);
  rec_.Attach(*Q);
  Q->Start(1);
  ASSERT_TRUE(WaitFinal(rec_));
  std::lock_guard g(rec_.M);
  ASSERT_EQ(rec_.Terminates.size(), 1u);
  EXPECT_TRUE(rec_.Terminates[0].Finished) << rec_.Terminates[0].ExceptionMsg;
  EXPECT_GT(fs::file_size(dir_ / "out599.wav"), 0u);
}

TEST_F(QuillonConvert, ARefusedOutputEndsItsTaskWithTheRefusal) {
  const int refused = Q->AddTask(FixturePath(TFixture::AviMpeg4Mp3));
  ASSERT_EQ(refused, 0);
  TOutputOptions o;
  o.VideoCodec = "msmpeg4v1";
  EXPECT_FALSE(Q->SetOutputFile(refused, (dir_ / "v1.avi").string(), &o));
  const std::string message = Q->LastErrMsg();
  EXPECT_NE(message.find("msmpeg4v1"), std::string::npos) << message;
  ASSERT_EQ(AddConversion(), 1) << "the refused task keeps its place: indices stay in step with the rows";
  rec_.Attach(*Q);
  Q->Start(2);
  ASSERT_TRUE(WaitFinal(rec_));
  std::lock_guard g(rec_.M);
  const TTerminateInfo* first = rec_.TerminateOf(0);
  const TTerminateInfo* second = rec_.TerminateOf(1);
  ASSERT_TRUE(first && second);
  EXPECT_TRUE(first->Exception);
  EXPECT_NE(first->ExceptionMsg.find("msmpeg4v1"), std::string::npos) << first->ExceptionMsg;
  EXPECT_TRUE(second->Finished && !second->Exception) << second->ExceptionMsg;
  EXPECT_FALSE(fs::exists(dir_ / "v1.avi"));
}

TEST_F(QuillonConvert, SeveralXvidJobsAtOnceDecodeWithoutErrors) {
  std::vector<std::string> outs;
  for (int k = 0; k < 6; ++k) {
    const int t = Q->AddTask(FixturePath(TFixture::DetailedMpeg4));
    ASSERT_EQ(t, k) << Q->LastErrMsg();
    TOutputOptions o;
    o.VideoCodec = "libxvid";
    o.VideoBitrate = 400000 + 50000 * k;
    outs.push_back((dir_ / ("xvid" + std::to_string(k) + ".avi")).string());
    ASSERT_TRUE(Q->SetOutputFile(t, outs.back(), &o)) << Q->LastErrMsg();
  }
  rec_.Attach(*Q);
  Q->Start(4);
  ASSERT_TRUE(WaitFinal(rec_));
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(outs[static_cast<size_t>(k)]);
    const transcodetest::TDecoded d = transcodetest::DecodeFile(outs[static_cast<size_t>(k)]);
    ASSERT_TRUE(d.Opened) << d.Error;
    EXPECT_EQ(d.VideoCodec, AV_CODEC_ID_MPEG4);
    EXPECT_EQ(d.DecodeErrors, 0);
    EXPECT_EQ(d.VideoFrames, FixtureInfo(TFixture::DetailedMpeg4).Frames);
    // The frame numbers of the picture survive: no picture is damaged or lost.
    for (size_t i = 0; i < d.Marks.size(); ++i) EXPECT_EQ(d.Marks[i], static_cast<int>(i));
  }
}
