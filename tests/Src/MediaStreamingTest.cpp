// The task component, the logger and the player read from a form description: their published
// properties are set and their events bound by handler name, and a bad value or an unknown
// handler is an error naming the line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Src/FFPlayer.h"
#include "Src/FFmpegLogger.h"
#include "Src/MediaStreaming.h"
#include "Src/Quillon.h"
#include "classlib/Streaming.h"

namespace {

const char* const kForm =
    "object Holder1: TComponent\n"
    "  object Quill: TQuillon\n"
    "    ProgressInterval = 250\n"
    "    ThreadPriority = tpLower\n"
    "    Preview = True\n"
    "    OnProgress = QuillProgress\n"
    "    OnTerminate = QuillTerminate\n"
    "    Left = 12\n"
    "    Top = 40\n"
    "  end\n"
    "  object FFLogger: TFFLogger\n"
    "    LogLevel = llWarning\n"
    "    OnLog = FFLoggerLog\n"
    "  end\n"
    "  object FFPlayer: TFFPlayer\n"
    "    AudioVolume = 200\n"
    "    Mute = True\n"
    "    RepeatType = rtLoop\n"
    "    ShowAudio = saRDFT\n"
    "    VideoDriver = vdGDI\n"
    "    OnFileOpen = FFPlayerFileOpen\n"
    "    OnPosition = FFPlayerPosition\n"
    "    OnState = FFPlayerState\n"
    "    OnHook = FFPlayerHook\n"
    "  end\n"
    "end\n";

// The handlers a main window would offer, each logging its name.
THandlerTable Handlers(std::vector<std::string>& Calls) {
  THandlerTable t;
  auto* calls = &Calls;
  t.Add<TProgressEvent>("QuillProgress", [calls](TObject*, PProgressInfo) { calls->push_back("QuillProgress"); });
  t.Add<TTerminateEvent>("QuillTerminate",
                         [calls](TObject*, const TTerminateInfo&) { calls->push_back("QuillTerminate"); });
  t.Add<TLogEvent>("FFLoggerLog", [calls](TObject*, uint32_t, TLogLevel, const std::string& m) {
    calls->push_back("FFLoggerLog " + m);
  });
  t.Add<TFileOpenEvent>("FFPlayerFileOpen", [calls](TObject*, int64_t, int32_t, int32_t, int32_t&, int32_t&) {
    calls->push_back("FFPlayerFileOpen");
  });
  t.Add<TPositionEvent>("FFPlayerPosition", [calls](TObject*, int64_t) { calls->push_back("FFPlayerPosition"); });
  t.Add<TPlayStateEvent>("FFPlayerState", [calls](TObject*, TPlayState) { calls->push_back("FFPlayerState"); });
  t.Add<THookEvent>("FFPlayerHook", [calls](TObject*, TBitmap*, int64_t) { calls->push_back("FFPlayerHook"); });
  return t;
}

// Runs in a process of its own: the logger is one per process, and other tests here make the
// process-wide one.
void ReadTheThree() {
  std::string wrong;
  auto check = [&wrong](bool ok, const char* what) {
    if (!ok) wrong += std::string(" ") + what;
  };
  try {
    RegisterMediaFormClasses();
    std::vector<std::string> calls;
    THandlerTable table = Handlers(calls);
    auto holder = std::make_unique<TComponent>(nullptr);
    ReadFormDescription(holder.get(), kForm, "media.dfm", &table);
    auto* quill = dynamic_cast<TQuillon*>(holder->FindComponent("Quill"));
    auto* logger = dynamic_cast<TFFLogger*>(holder->FindComponent("FFLogger"));
    auto* player = dynamic_cast<TFFPlayer*>(holder->FindComponent("FFPlayer"));
    check(quill && logger && player, "classes");
    if (quill && logger && player) {
      check(quill->ProgressInterval() == 250, "ProgressInterval");
      check(quill->ThreadPriority() == tpLower, "ThreadPriority");
      check(quill->Preview(), "Preview");
      check(quill->TriggerEventInMainThread(), "Quill.TriggerEventInMainThread default");
      check(!quill->OnCustomHook && !quill->OnPreviewBitmap, "unbound quill events");
      check(logger->LogLevel() == llWarning, "LogLevel");
      check(GetFFLogger() == logger, "the form's logger is the process's");
      check(player->AudioVolume() == 128, "AudioVolume clamped");
      check(player->Mute(), "Mute");
      check(player->RepeatType == rtLoop, "RepeatType");
      check(player->ShowAudio == saRDFT, "ShowAudio");
      check(player->VideoDriver == vdGDI && player->AudioDriver == adDefault, "drivers");
      TProgressInfo progress;
      if (quill->OnProgress) quill->OnProgress(quill, &progress);
      if (quill->OnTerminate) quill->OnTerminate(quill, TTerminateInfo{});
      logger->SetTriggerEventInMainThread(false);
      logger->Log(nullptr, llError, std::string("shown"));
      logger->Log(nullptr, llInfo, std::string("below the level"));
      int32_t w = 0, h = 0;
      if (player->OnFileOpen) player->OnFileOpen(player, 0, 0, 0, w, h);
      if (player->OnPosition) player->OnPosition(player, 0);
      if (player->OnState) player->OnState(player, psPlay);
      if (player->OnHook) player->OnHook(player, nullptr, 0);
      const std::vector<std::string> want{"QuillProgress",    "QuillTerminate",   "FFLoggerLog shown",
                                          "FFPlayerFileOpen", "FFPlayerPosition", "FFPlayerState",
                                          "FFPlayerHook"};
      check(calls == want, "bound events");
    }
    holder.reset();
    // Freed with its owner, the form's logger leaves its place to a new one.
    check(GetFFLogger() != nullptr, "a logger after the form's");
  } catch (const std::exception& e) {
    wrong += std::string(" exception: ") + e.what();
  }
  std::fprintf(stderr, "wrong:%s\n", wrong.c_str());
  std::fflush(stderr);
  std::_Exit(wrong.empty() ? 0 : 1);
}

TEST(MediaStreaming, TheThreeComponentsReadTheirPropertiesAndBindTheirEvents) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ReadTheThree(), ::testing::ExitedWithCode(0), "wrong:\n");
}

TEST(MediaStreaming, BadValuesAndUnknownHandlersAreErrorsWithTheirLine) {
  RegisterMediaFormClasses();
  struct Case {
    const char* body;
    int line;
    const char* property;
  } cases[] = {
      {"  object Quill: TQuillon\n    ThreadPriority = tpFastest\n  end\n", 3, "ThreadPriority"},
      {"  object Quill: TQuillon\n    OnProgress = NoSuchHandler\n  end\n", 3, "OnProgress"},
      {"  object FFPlayer: TFFPlayer\n    RepeatType = 3.5\n  end\n", 3, "RepeatType"},
      {"  object FFPlayer: TFFPlayer\n    OnState = QuillProgress\n  end\n", 3, "OnState"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    std::vector<std::string> calls;
    THandlerTable table = Handlers(calls);
    auto holder = std::make_unique<TComponent>(nullptr);
    try {
      ReadFormDescription(holder.get(), std::string("object Holder1: TComponent\n") + c.body + "end\n", "bad.dfm",
                          &table);
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.Line, c.line);
      EXPECT_EQ(e.Property, c.property);
    }
    EXPECT_EQ(holder->ComponentCount(), 0);
  }
}

}  // namespace
