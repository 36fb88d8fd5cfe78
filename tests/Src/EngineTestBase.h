#pragma once
// A fresh conversion engine per test with the task libraries loaded and the log captured.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "base/Exception.h"

class TEngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    E = std::make_unique<TCustomFFmpeg>(4);
    E->Reset();
    GetFFLogger()->OnLog = [this](TObject*, uint32_t, TLogLevel, const std::string& AMsg) { log_.push_back(AMsg); };
  }
  void TearDown() override {
    GetFFLogger()->OnLog = nullptr;
    GetFFLogger()->SetLogLevel(llInfo);
    E.reset();
    FFLoader().Unload(TaskLibraries);
  }
  // The message an option raises, or "(nothing raised)".
  std::string Raised(const std::string& AName, const std::string& AValue) {
    try {
      E->DispatchOption(AName, AValue);
    } catch (const Exception& e) {
      return e.Message;
    }
    return "(nothing raised)";
  }
  bool Logged(const std::string& AText) const {
    for (const auto& l : log_)
      if (l.find(AText) != std::string::npos) return true;
    return false;
  }
  std::unique_ptr<TCustomFFmpeg> E;
  std::vector<std::string> log_;
};
