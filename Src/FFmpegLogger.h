#pragma once
// The one logger of the media system. The libraries' log output (assembled into whole lines
// per thread) and the components' own messages are filtered by level and raised as OnLog.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "Src/FFBaseComponent.h"
#include "base/Format.h"

enum TLogLevel { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };

// ord * 8 - 8: -8, 0, 8, ..., 48.
int LibLevelOf(TLogLevel ALevel);
// The way back: (L / 8, truncating) + 1, clamped to llQuiet..llDebug. Colour bits above the
// low byte of a non-negative level are ignored.
TLogLevel LogLevelOf(int ALibLevel);

struct TLogInfo {
  TObject* Sender = nullptr;
  uint32_t ThreadID = 0;
  TLogLevel LogLevel = llQuiet;
  std::string LogMsg;
};

using TLogEvent =
    std::function<void(TObject* Sender, uint32_t AThreadID, TLogLevel ALogLevel, const std::string& ALogMsg)>;

class TFFLogger : public TFFBaseComponent {
public:
  // Raises Exception "Allow creating only one instance of TFFLogger." when a logger exists,
  // unless in design mode, or unless the one there is the ownerless logger GetFFLogger made and
  // this one has an owner: this one then serves as the process's logger while it lives.
  explicit TFFLogger(TComponent* AOwner);
  ~TFFLogger() override;

  bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
  void SetTriggerEventInMainThread(bool AValue) { FTriggerEventInMainThread = AValue; }
  TLogLevel LogLevel() const { return FLogLevel; }
  // Also tells the libraries (when bound) the matching library level.
  void SetLogLevel(TLogLevel AValue);
  // The "loglevel" option: a level name in any case, or a decimal library level
  // (EConvertError otherwise).
  void OptLogLevel(const std::string& AArg);

  void Log(TObject* Sender, TLogLevel ALogLevel, const std::string& ALogMsg);
  // Formats only when the message passes the filter.
  template <typename... Args>
  void Log(TObject* Sender, TLogLevel ALogLevel, std::string_view AFormat, const Args&... AArgs) {
    if (Passes(ALogLevel)) Log(Sender, ALogLevel, Format(AFormat, AArgs...));
  }

  // A whole line from the libraries' log, with the library level it was logged at.
  void RelayLibraryLine(uint32_t AThreadID, int ALibLevel, const std::string& ALine);

  TLogEvent OnLog;

private:
  bool Passes(TLogLevel ALogLevel) const;
  void Raise(const TLogInfo& AInfo, bool AWait);

  std::atomic<bool> FTriggerEventInMainThread{true};
  std::atomic<TLogLevel> FLogLevel{llInfo};
};

// The process-wide logger, created without owner on first use.
TFFLogger* GetFFLogger();

// Installs the library log callback and applies the logger's level to the libraries.
// Requires libavutil bound (Exception otherwise).
void InstallAVLogCallback();
// Gives the libraries back their own callback (before libavutil is released).
void UninstallAVLogCallback();
