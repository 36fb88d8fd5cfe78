#pragma once
// The previewer: a stay-on-top tool window that shows the pictures of a running conversion,
// with the picture's time as its caption. The conversion thread hands it pictures; the window
// lives on the main thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/Object.h"
#include "classlib/Forms.h"

class TBitmap;

class TPreviewer : public TObject {
public:
  TPreviewer();
  ~TPreviewer() override;

  // False once the user closed the window (the picture is then ignored); otherwise shows the
  // picture on the main thread and answers true.
  bool PaintFrame(TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS);

  TForm* Form() const { return FForm.get(); }
  bool Closed() const { return FClosed; }

  // "hh:nn:ss.zzz" of a time in microseconds, "N/A" for no time (NoPTS).
  static constexpr int64_t NoPTS = INT64_MIN;
  static std::string FormatPTS(int64_t APTS);

private:
  void ShowFrame();
  void AppMessage(win::MSG& Msg, bool& Handled);

  // Its hook on the application's messages, while the window exists.
  TApplication::TMessageHookToken FAppMessageHook = 0;
  win::HWND FFormHandle = nullptr;
  std::unique_ptr<TForm> FForm;
  std::atomic<bool> FClosed{false};
  TBitmap* FBitmap = nullptr;
  std::unique_ptr<TBitmap> FShown;
  int32_t FFrameNumber = 0;
  int64_t FPTS = 0;
};
