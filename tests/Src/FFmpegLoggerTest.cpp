#include "Src/FFmpegLogger.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"
#include "base/Exception.h"
#include "base/MainThread.h"

namespace {

struct Line {
  TObject* Sender;
  uint32_t ThreadID;
  TLogLevel Level;
  std::string Msg;
};

// The process-wide logger with a recording handler; the libraries' log goes to it.
class LoggerTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitMainThread();
    ASSERT_TRUE(FFLoader().Load(avUtil)) << FFLoader().LastErrMsg();
    logger = GetFFLogger();
    logger->SetTriggerEventInMainThread(false);
    logger->SetLogLevel(llInfo);
    logger->OnLog = [this](TObject* s, uint32_t tid, TLogLevel l, const std::string& m) {
      std::lock_guard g(lock);
      lines.push_back({s, tid, l, m});
    };
  }
  void TearDown() override {
    logger->OnLog = nullptr;
    logger->SetTriggerEventInMainThread(true);
    logger->SetLogLevel(llInfo);
    FFLoader().Unload(avUtil);
  }
  std::vector<std::string> Texts() {
    std::lock_guard g(lock);
    std::vector<std::string> r;
    for (const Line& l : lines) r.push_back(l.Msg);
    return r;
  }
  TFFLogger* logger = nullptr;
  std::mutex lock;
  std::vector<Line> lines;
};

TEST(LogLevels, LibraryLevelsBothWays) {
  const int libLevels[] = {-8, 0, 8, 16, 24, 32, 40, 48};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(LibLevelOf(static_cast<TLogLevel>(i)), libLevels[i]);
    EXPECT_EQ(LogLevelOf(libLevels[i]), static_cast<TLogLevel>(i));
  }
  const std::pair<int, TLogLevel> back[] = {{-100, llQuiet}, {-9, llQuiet}, {-1, llPanic}, {20, llError},
                                            {47, llVerbose}, {56, llDebug}, {1000 & 0xff, llDebug},
                                            {(24 | (3 << 8)), llWarning}};  // colour bits ignored
  for (auto [lib, want] : back) EXPECT_EQ(LogLevelOf(lib), want) << lib;
}

TEST_F(LoggerTest, FragmentsAreAssembledIntoLines) {
  AVUtilStubs.av_log(nullptr, AV_LOG_INFO, "abc");
  EXPECT_TRUE(Texts().empty());
  AVUtilStubs.av_log(nullptr, AV_LOG_WARNING, "%s\n", "def");
  ASSERT_EQ(Texts(), std::vector<std::string>{"abcdef"});
  EXPECT_EQ(lines[0].Level, llWarning);  // the level of the message that ended the line
  EXPECT_EQ(lines[0].Sender, logger);
  EXPECT_EQ(lines[0].ThreadID, GetCurrentThreadId());

  lines.clear();
  AVUtilStubs.av_log(nullptr, AV_LOG_ERROR, "one\ntwo\nthr");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"one", "two"}));
  AVUtilStubs.av_log(nullptr, AV_LOG_ERROR, "ee\n");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"one", "two", "three"}));
}

struct TestObject {
  const AVClass* cls;
};
const char* TesterName(void*) { return "tester"; }
AVClass MakeTestClass() {
  AVClass c{};
  c.class_name = "Test";
  c.item_name = TesterName;
  c.version = LIBAVUTIL_VERSION_INT;
  return c;
}
const AVClass kTestClass = MakeTestClass();

TEST_F(LoggerTest, ContextPrefixStartsALineOnlyOnce) {
  TestObject obj{&kTestClass};
  AVUtilStubs.av_log(&obj, AV_LOG_INFO, "Stream #%d ", 0);
  AVUtilStubs.av_log(&obj, AV_LOG_INFO, "continued\n");
  ASSERT_EQ(Texts().size(), 1u);
  EXPECT_EQ(Texts()[0], CFormat("[tester @ %p]Stream #0 continued", static_cast<void*>(&obj)));
}

TEST_F(LoggerTest, TextThatIsNotUtf8IsWidenedByteByByte) {
  AVUtilStubs.av_log(nullptr, AV_LOG_INFO, "%s\n", "caf\xe9 /tmp/视频 文件.avi");
  EXPECT_EQ(Texts(), std::vector<std::string>{"caf\xc3\xa9 /tmp/视频 文件.avi"});
}

TEST_F(LoggerTest, OverlongLibraryTextIsCutAtTheBuffer) {
  const std::string big(5000, 'x');
  AVUtilStubs.av_log(nullptr, AV_LOG_INFO, "%s\n", big.c_str());  // the line feed is cut off too
  EXPECT_TRUE(Texts().empty());
  AVUtilStubs.av_log(nullptr, AV_LOG_INFO, "\n");
  ASSERT_EQ(Texts().size(), 1u);
  EXPECT_EQ(Texts()[0], std::string(2047, 'x'));
}

TEST_F(LoggerTest, ThreadsAreAssembledSeparately) {
  auto worker = [](char tag) {
    for (int i = 0; i < 200; ++i) {
      AVUtilStubs.av_log(nullptr, AV_LOG_INFO, "%c%d-", tag, i);
      AVUtilStubs.av_log(nullptr, AV_LOG_INFO, "%c%d\n", tag, i);
    }
  };
  std::thread a(worker, 'a'), b(worker, 'b');
  a.join();
  b.join();
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 400u);
  int seen[2] = {0, 0};
  for (const std::string& t : texts) {
    const char tag = t[0];
    ASSERT_TRUE(tag == 'a' || tag == 'b') << t;
    const int i = seen[tag - 'a']++;
    EXPECT_EQ(t, std::string(1, tag) + std::to_string(i) + "-" + tag + std::to_string(i));
  }
}

TEST_F(LoggerTest, FilterAndLibraryLevel) {
  logger->SetLogLevel(llError);
  EXPECT_EQ(AVUtilStubs.av_log_get_level(), 16);
  logger->Log(nullptr, llWarning, "hidden");
  logger->Log(nullptr, llVerbose, "verbose passes at %s", "error");
  logger->Log(nullptr, llError, "shown");
  AVUtilStubs.av_log(nullptr, AV_LOG_WARNING, "library warning\n");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"verbose passes at error", "shown"}));

  lines.clear();
  logger->SetLogLevel(llQuiet);
  EXPECT_EQ(AVUtilStubs.av_log_get_level(), -8);
  logger->Log(nullptr, llVerbose, "no");
  logger->Log(nullptr, llError, "no");
  AVUtilStubs.av_log(nullptr, AV_LOG_PANIC, "no\n");
  EXPECT_TRUE(Texts().empty());
}

TEST_F(LoggerTest, OptLogLevel) {
  const std::pair<const char*, TLogLevel> cases[] = {
      {"QUIET", llQuiet}, {"warning", llWarning}, {"Debug", llDebug}, {"20", llError}, {"-100", llQuiet}, {"56", llDebug}};
  for (auto [arg, want] : cases) {
    logger->OptLogLevel(arg);
    EXPECT_EQ(logger->LogLevel(), want) << arg;
  }
  EXPECT_THROW(logger->OptLogLevel("loud"), EConvertError);
}

TEST_F(LoggerTest, OnlyOneLoggerPerProcess) {
  try {
    TFFLogger second(nullptr);
    FAIL() << "a second logger was created";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "Allow creating only one instance of TFFLogger.");
  }
  EXPECT_EQ(GetFFLogger(), logger);
}

// A form read after the libraries had logged (so GetFFLogger had made the ownerless logger)
// still gets its own logger, which serves as the process's until it goes.
TEST_F(LoggerTest, AnOwnedLoggerStandsInForTheOwnerlessOne) {
  ASSERT_EQ(GetFFLogger(), logger);
  {
    TComponent form(nullptr);
    auto* owned = new TFFLogger(&form);
    EXPECT_EQ(GetFFLogger(), owned);
    EXPECT_THROW(TFFLogger(nullptr), Exception);
  }
  EXPECT_EQ(GetFFLogger(), logger);
}

TEST_F(LoggerTest, LibraryLinesFromOtherThreadsDoNotWaitForTheMainThread) {
  logger->SetTriggerEventInMainThread(true);
  uint32_t workerId = 0;
  // The main thread serves nothing while the worker logs: a waiting hand-over would hang here.
  std::thread t([&] {
    workerId = GetCurrentThreadId();
    AVUtilStubs.av_log(nullptr, AV_LOG_ERROR, "from a codec thread\n");
  });
  t.join();
  EXPECT_TRUE(Texts().empty());
  for (int i = 0; i < 50 && Texts().empty(); ++i) CheckSynchronize(10);
  ASSERT_EQ(Texts(), std::vector<std::string>{"from a codec thread"});
  EXPECT_EQ(lines[0].ThreadID, workerId);
  EXPECT_EQ(lines[0].Level, llError);
}

TEST_F(LoggerTest, ComponentMessagesFromWorkersRunOnTheMainThread) {
  logger->SetTriggerEventInMainThread(true);
  uint32_t handlerThread = 0;
  logger->OnLog = [&](TObject*, uint32_t, TLogLevel, const std::string&) { handlerThread = GetCurrentThreadId(); };
  std::thread t([&] { logger->Log(nullptr, llError, "engine failure"); });
  while (handlerThread == 0) CheckSynchronize(10);
  t.join();
  EXPECT_EQ(handlerThread, MainThreadID());
}

TEST_F(LoggerTest, LoadFailuresReachTheLog) {
  FFLoader().SetLibraryFileName(avDevice, "/nonexistent/libavdevice_none.so");
  EXPECT_FALSE(FFLoader().Load(avDevice));
  FFLoader().SetLibraryFileName(avDevice, "");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].Level, llError);
  EXPECT_EQ(lines[0].Msg, FFLoader().LastErrMsg());
}

}  // namespace
