#include "Src/FFmpegLogger.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>

#include "Src/FFmpegStubs.h"
#include "base/Exception.h"
#include "base/MainThread.h"
#include "base/Text.h"

namespace {

std::atomic<TFFLogger*> gLogger{nullptr};
std::mutex gCreateLock;
// The level the libraries were told; their callback filters by it.
std::atomic<int> gLibLevel{AV_LOG_INFO};

// The logger GetFFLogger made without owner; freed at process end after the libraries are
// given their own callback back.
struct TOwnerlessLogger {
  std::unique_ptr<TFFLogger> Logger;
  ~TOwnerlessLogger() {
    UninstallAVLogCallback();
    Logger.reset();
  }
};
TOwnerlessLogger gOwnerless;

void LogCallback(void* avcl, int level, const char* fmt, va_list vl) {
  // No exception may leave a C callback: an OnLog handler's included.
  try {
    if (level >= 0) level &= 0xff;
    if (level > gLibLevel.load()) return;
    // Text of this thread not yet ended by a line feed; it goes with the thread.
    thread_local std::string pending;
    char buf[2048];
    buf[0] = 0;
    int n = 0;
    if (avcl && pending.empty()) {
      const AVClass* cls = *static_cast<const AVClass* const*>(avcl);
      const char* name = cls ? (cls->item_name ? cls->item_name(avcl) : cls->class_name) : nullptr;
      n = std::snprintf(buf, sizeof buf, "[%s @ %p]", name ? name : "", avcl);
      if (n < 0) n = 0;
      if (n >= static_cast<int>(sizeof buf)) n = sizeof buf - 1;
    }
    va_list copy;
    va_copy(copy, vl);
    std::vsnprintf(buf + n, sizeof buf - n, fmt, copy);
    va_end(copy);
    pending += buf;
    size_t lf;
    while ((lf = pending.find('\n')) != std::string::npos) {
      // Library text is UTF-8; a byte that is not becomes one character of its own.
      const std::string line = Utf8FromMixed(std::string_view(pending).substr(0, lf));
      pending.erase(0, lf + 1);
      GetFFLogger()->RelayLibraryLine(GetCurrentThreadId(), level, line);
    }
  } catch (...) {
  }
}

}  // namespace

int LibLevelOf(TLogLevel ALevel) { return static_cast<int>(ALevel) * 8 - 8; }

TLogLevel LogLevelOf(int ALibLevel) {
  if (ALibLevel >= 0) ALibLevel &= 0xff;
  int l = ALibLevel / 8 + 1;
  if (l < llQuiet) l = llQuiet;
  if (l > llDebug) l = llDebug;
  return static_cast<TLogLevel>(l);
}

TFFLogger::TFFLogger(TComponent* AOwner) : TFFBaseComponent(AOwner) {
  const bool designing = ComponentState().Contains(csDesigning) || (AOwner && AOwner->ComponentState().Contains(csDesigning));
  TFFLogger* expected = nullptr;
  if (!gLogger.compare_exchange_strong(expected, this)) {
    // A logger that GetFFLogger made while no component had one steps aside for a component's
    // own (a form read after the libraries had already logged): it comes back when that goes.
    const bool standIn = AOwner && expected == gOwnerless.Logger.get() && gLogger.compare_exchange_strong(expected, this);
    if (!standIn && !designing) throw Exception("Allow creating only one instance of TFFLogger.");
  }
  FLogLevel = LogLevelOf(gLibLevel.load());
}

TFFLogger::~TFFLogger() {
  TFFLogger* self = this;
  gLogger.compare_exchange_strong(self, gOwnerless.Logger.get());
}

void TFFLogger::SetLogLevel(TLogLevel AValue) {
  if (AValue == FLogLevel) return;
  FLogLevel = AValue;
  if (AVUtilStubs.av_log_set_level) {
    gLibLevel = LibLevelOf(AValue);
    AVUtilStubs.av_log_set_level(gLibLevel);
  }
}

void TFFLogger::OptLogLevel(const std::string& AArg) {
  static const char* const kNames[] = {"quiet", "panic", "fatal", "error", "warning", "info", "verbose", "debug"};
  for (int i = 0; i < 8; ++i)
    if (SameText(AArg, kNames[i])) {
      SetLogLevel(static_cast<TLogLevel>(i));
      return;
    }
  SetLogLevel(LogLevelOf(StrToInt(AArg)));
}

bool TFFLogger::Passes(TLogLevel ALogLevel) const {
  if (!OnLog) return false;
  const TLogLevel level = FLogLevel;
  return ALogLevel <= level || (ALogLevel == llVerbose && level != llQuiet);
}

void TFFLogger::Log(TObject* Sender, TLogLevel ALogLevel, const std::string& ALogMsg) {
  if (!Passes(ALogLevel)) return;
  Raise(TLogInfo{Sender, GetCurrentThreadId(), ALogLevel, ALogMsg}, true);
}

void TFFLogger::RelayLibraryLine(uint32_t AThreadID, int ALibLevel, const std::string& ALine) {
  if (!OnLog) return;
  // The library level already filtered. Library lines come from the codecs' own threads too,
  // which may hold locks the user-interface thread waits for: they are never waited on.
  Raise(TLogInfo{this, AThreadID, LogLevelOf(ALibLevel), ALine}, false);
}

void TFFLogger::Raise(const TLogInfo& AInfo, bool AWait) {
  if (!FTriggerEventInMainThread || IsMainThread()) {
    if (OnLog) OnLog(AInfo.Sender, AInfo.ThreadID, AInfo.LogLevel, AInfo.LogMsg);
    return;
  }
  if (AWait) {
    Synchronize([this, AInfo] {
      if (OnLog) OnLog(AInfo.Sender, AInfo.ThreadID, AInfo.LogLevel, AInfo.LogMsg);
    });
    return;
  }
  Queue([this, AInfo] {
    // The logger may be gone by the time the line is served.
    if (gLogger.load() != this) return;
    try {
      if (OnLog) OnLog(AInfo.Sender, AInfo.ThreadID, AInfo.LogLevel, AInfo.LogMsg);
    } catch (...) {
    }
  });
}

TFFLogger* GetFFLogger() {
  if (TFFLogger* l = gLogger.load()) return l;
  std::lock_guard g(gCreateLock);
  if (TFFLogger* l = gLogger.load()) return l;
  gOwnerless.Logger = std::make_unique<TFFLogger>(nullptr);
  return gOwnerless.Logger.get();
}

void InstallAVLogCallback() {
  if (!AVUtilStubs.av_log_set_callback || !AVUtilStubs.av_log_set_level)
    throw Exception("Assertion failed: av_log_set_callback and av_log_set_level must be bound");
  AVUtilStubs.av_log_set_callback(LogCallback);
  gLibLevel = LibLevelOf(GetFFLogger()->LogLevel());
  AVUtilStubs.av_log_set_level(gLibLevel);
}

void UninstallAVLogCallback() {
  if (AVUtilStubs.av_log_set_callback && AVUtilStubs.av_log_default_callback)
    AVUtilStubs.av_log_set_callback(AVUtilStubs.av_log_default_callback);
}
