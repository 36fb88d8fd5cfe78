// The player's threads and its event ring: the play thread (the engine's event loop, which
// closes the file when it ends), the event thread that hands positions and states over to
// the main thread.
#include <chrono>
#include <cstdlib>

#include "Src/FFPlayerState.h"
#include "Src/FFmpegLogger.h"
#include "Src/MyUtils.h"
#include "base/MainThread.h"

namespace ffplayer {

void WaitStep() {
  if (IsMainThread()) ServeMainThread(5);
  else std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

}  // namespace ffplayer

using namespace ffplayer;

int PlayerEngineThreadsAlive() { return GEngineThreads.load(); }

// ---------------------------------------------------------------------------------------------
// The ring.


void TPlayEvent::PushEvent(const TPlayEventItem& AItem) {
  std::lock_guard l(Lock);
  int newest = (Tailer + 9) % 10;
  if (Header == Tailer || Events[newest].Kind != AItem.Kind) {
    Tailer = (Tailer + 1) % 10;
    if (Tailer == Header) Header = (Header + 1) % 10;
  }
  Events[(Tailer + 9) % 10] = AItem;
  Event = true;
  Changed.notify_all();
}

void TPlayEvent::PopEvent(TPlayEventItem& AItem) {
  std::lock_guard l(Lock);
  if (Header == Tailer) {
    AItem.Kind = 0;
  } else {
    AItem = Events[Header];
    Header = (Header + 1) % 10;
  }
  if (Header == Tailer) Event = false;
}

bool TPlayEvent::WaitEvent(int32_t ATimeoutMs) {
  std::unique_lock l(Lock);
  if (ATimeoutMs < 0) Changed.wait(l, [&] { return Event; });
  else Changed.wait_for(l, std::chrono::milliseconds(ATimeoutMs), [&] { return Event; });
  return Event;
}

void TPlayEvent::Clear() {
  std::lock_guard l(Lock);
  Header = Tailer = 0;
  Event = false;
}

int32_t TPlayEvent::Count() {
  std::lock_guard l(Lock);
  return (Tailer - Header + 10) % 10;
}

// ---------------------------------------------------------------------------------------------
// The threads.

void TCustomPlayer::SetState(TPlayState AState) {
  FPlayState = AState;
  if (OnState) FPlayEvent.PushEvent({2, int64_t(AState)});
  else if (AState == psStop) FPlayEvent.PushEvent({3, 0});
}

void TCustomPlayer::CheckPosition(int64_t APTS) {
  if (APTS < 0) APTS = 0;
  FCurrentPTS = APTS;
  int64_t last = FLastPTS.load();
  if (last != INT64_MIN && std::llabs(APTS - last) < 10000) return;
  FLastPTS = APTS;
  if (OnPosition) FPlayEvent.PushEvent({1, APTS});
}

void TCustomPlayer::DoPosition(int64_t APTS) {
  auto call = [&] {
    if (OnPosition) OnPosition(this, APTS);
  };
  if (TriggerEventInMainThread) CallInMainThread(call);
  else call();
}

void TCustomPlayer::DoState(TPlayState AState) {
  auto call = [&] {
    if (OnState) OnState(this, AState);
  };
  if (TriggerEventInMainThread) CallInMainThread(call);
  else call();
}

void TCustomPlayer::EventThreadExecute() {
  for (;;) {
    FPlayEvent.WaitEvent(-1);
    TPlayEventItem it;
    FPlayEvent.PopEvent(it);
    try {
      if (it.Kind == 1) DoPosition(it.Value);
      else if (it.Kind == 2) {
        DoState(TPlayState(it.Value));
        if (TPlayState(it.Value) == psStop) break;
      } else if (it.Kind == 3)
        break;
    } catch (const std::exception& e) {
      GetFFLogger()->Log(nullptr, llError, "EventThread Exception: %s", e.what());
    }
  }
}

void TCustomPlayer::PlayThreadExecute(std::shared_ptr<TVideoState> is) {
  SetState(psPlay);
  GEngineThreads += 2;
  is->ReadThread = std::thread([s = is]() mutable {
    ffplayer::ReadThread(s);
    s.reset();
    --GEngineThreads;
  });
  if (is->VideoStream >= 0)
    is->VideoThread = std::thread([s = is]() mutable {
      ffplayer::VideoThread(s);
      s.reset();
      --GEngineThreads;
    });
  else
    --GEngineThreads;
  bool pauseAnnounced = !is->Paused;
  try {
    while (!is->AbortRequest) {
      double remaining = 0.01;
      if (is->ResizeReq.exchange(false) && is->Screen) {
        is->ScreenW = is->ResizeW.load();
        is->ScreenH = is->ResizeH.load();
        if (is->Overlay) SDLS.SDL_FreeYUVOverlay(is->Overlay);
        is->Overlay = nullptr;
        {
          std::lock_guard scrLock(is->ScreenLock);
          is->Screen = SDLS.SDL_SetVideoMode(is->ScreenW, is->ScreenH, is->ScreenBpp, SDL_SWSURFACE);
        }
        std::lock_guard l(is->ShownLock);
        if (is->Shown) DisplayPicture(is.get(), is->Shown, is->ShownPts);
      }
      if (is->SubtitleRedraw.exchange(false) && is->Screen) {
        // A subtitle came for the picture on the screen, or went: even paused it shows. Nothing
        // expires here: the picture may be one from before a seek whose new picture is coming.
        std::lock_guard l(is->ShownLock);
        if (is->Shown) DisplayPicture(is.get(), is->Shown, is->ShownPts);
      }
      if (!Refresh(is.get(), pauseAnnounced, remaining)) break;
      std::unique_lock l(is->PictLock);
      is->PictCond.wait_for(l, std::chrono::microseconds(int64_t(remaining * 1000000)),
                            [&] { return is->AbortRequest.load(); });
    }
  } catch (const std::exception& e) {
    // Nothing escapes the thread: the file is closed as after any failure.
    GetFFLogger()->Log(this, llFatal, "PlayThread Exception: %s", e.what());
  }
  // CloseEngine.
  if (is->Shown_ > 0)
    GetFFLogger()->Log(this, llVerbose, "A/V difference at most %.1f ms over %d pictures shown, %d dropped",
                       is->MaxDiff.load() * 1000, int(is->Shown_.load()), int(is->Dropped.load()));
  is->RequestAbort();
  if (is->VideoThread.joinable()) is->VideoThread.join();
  if (is->AudioOpen) SDLS.SDL_CloseAudio();  // no callback runs after this
  if (is->Overlay) SDLS.SDL_FreeYUVOverlay(is->Overlay);
  is->Overlay = nullptr;
  {
    // A read blocked in a slow input is not waited for: it frees the state when it returns.
    std::unique_lock l(is->DoneLock);
    is->DoneCond.wait_for(l, std::chrono::milliseconds(300), [&] { return is->ReadFinished.load(); });
  }
  if (is->ReadFinished) is->ReadThread.join();
  else is->ReadThread.detach();
  {
    std::lock_guard l(FDataLock);
    FVideoState.reset();
  }
  is.reset();
  SetState(psStop);
  FStopped = true;
  WakeMainThread();
}
