// The clocks and the refresh path: the audio and external clocks, the master clock, pausing,
// and the play thread's refresh step that shows each picture at its time (dropping late ones),
// reports the position and handles the end of the file and the play window.
#include <algorithm>
#include <cmath>

#include "Src/FFPlayerState.h"

namespace ffplayer {

double TClock::Get() {
  std::lock_guard l(M);
  if (std::isnan(Pts) || Paused) return Pts;
  return Pts + (Now() - Updated);
}

void TClock::Set(double APts, double AAt) {
  std::lock_guard l(M);
  Pts = APts;
  Updated = AAt;
}

void TClock::SetPaused(bool AValue) {
  std::lock_guard l(M);
  if (AValue == Paused) return;
  if (AValue) {
    if (!std::isnan(Pts)) Pts += Now() - Updated;
  } else {
    Updated = Now();
  }
  Paused = AValue;
}

void TClock::Invalidate() {
  std::lock_guard l(M);
  Pts = NAN;
}

}  // namespace ffplayer

using namespace ffplayer;

double TVideoState::MasterClock() {
  if (is_audio_master()) {
    double a = AudClock.Get();
    if (!std::isnan(a)) return a;
  }
  return ExtClock.Get();
}

void TVideoState::SetPaused(bool AValue) {
  Paused = AValue;
  AudClock.SetPaused(AValue);
  ExtClock.SetPaused(AValue);
  std::lock_guard l(PictLock);
  PictCond.notify_all();
}

bool TCustomPlayer::Refresh(TVideoState* is, bool& APauseAnnounced, double& ARemaining) {
  if (is->VideoStream >= 0) {
    std::unique_lock l(is->PictLock);
    const int serial = is->videoq.CurSerial();
    while (!is->pictq.empty()) {
      TQueuedPicture vp = is->pictq.front();
      if (vp.Serial != serial) {
        AVU.av_frame_free(&is->pictq.front().Frame);
        is->pictq.pop_front();
        is->PictCond.notify_all();
        continue;
      }
      // A seek's first picture, or a step asked while paused, shows at once. The step is
      // taken here, so a step asked after this picture waits for the next one.
      bool forced = vp.Serial == is->ForceSerial;
      bool step = false;
      if (!forced && is->Paused) {
        step = is->StepReq.exchange(false);
        if (!step) break;
        forced = true;
      }
      double master = is->MasterClock();
      if (std::isnan(master) || forced) {
        is->ExtClock.Set(vp.Pts, Now());
        master = vp.Pts;
      } else {
        double diff = vp.Pts - master;
        if (diff > 0.002) {
          ARemaining = std::min(ARemaining, diff);
          break;
        }
        if (framedrop && is->pictq.size() > 1 && is->pictq[1].Serial == serial && is->pictq[1].Pts <= master) {
          AVU.av_frame_free(&is->pictq.front().Frame);
          is->pictq.pop_front();
          is->PictCond.notify_all();
          ++is->Dropped;
          continue;
        }
        if (is->AudioStream >= 0 && !std::isnan(is->AudClock.Get()) && is->FramesAfterSeek > 0)
          is->MaxDiff = std::max(is->MaxDiff.load(), std::fabs(diff));
      }
      is->pictq.pop_front();
      is->PictCond.notify_all();
      l.unlock();
      ExpireSubtitles(is, vp.Pts);
      DisplayPicture(is, vp.Frame, vp.Pts);
      {
        std::lock_guard sl(is->ShownLock);
        if (is->Shown) AVU.av_frame_free(&is->Shown);
        is->Shown = vp.Frame;
        is->ShownPts = vp.Pts;
      }
      ++is->Shown_;
      ++is->FramesAfterSeek;
      int fs = vp.Serial;
      is->ForceSerial.compare_exchange_strong(fs, -1);
      if (is->Paused || step) is->ExtClock.Set(vp.Pts, Now());
      CheckPosition(int64_t((vp.Pts - is->StartTime) * 1000000));
      if (vp.Serial == is->SeekSerial && !is->SeekShown) {
        is->FramesAfterSeek = 0;
        is->SeekShown = true;  // last: a waiting seek returns with all of the above done
      }
      if (!APauseAnnounced && is->Paused) {
        APauseAnnounced = true;
        SetState(psPause);
      }
      l.lock();
      break;
    }
  } else {
    if (is->show_audio != saNone && is->Screen && !is->Paused &&
        Now() - is->LastAudioDisplay >= is->RdftSpeed / 1000.0) {
      is->LastAudioDisplay = Now();
      DisplayAudio(is);
    }
    ARemaining = std::min(ARemaining, is->RdftSpeed / 1000.0);
    double m = is->MasterClock();
    if (!std::isnan(m)) CheckPosition(int64_t((m - is->StartTime) * 1000000));
    if (!is->SeekShown) is->SeekShown = true;
  }
  // The end of the file: everything decoded and shown.
  if (is->Eof && !is->EndRaised) {
    bool videoDone = true, audioDone = true;
    if (is->VideoStream >= 0) {
      std::lock_guard l(is->PictLock);
      videoDone = is->VideoFinishedSerial == is->videoq.CurSerial() && is->pictq.empty();
    }
    if (is->AudioStream >= 0) audioDone = is->AudioFinishedSerial == is->audioq.CurSerial();
    if (videoDone && audioDone) {
      is->EndRaised = true;
      FLastPTS = INT64_MIN;
      CheckPosition(is->Duration);
      SetState(psEnd);
      if (is->Repeat == rtLoop) {
        std::lock_guard l(is->ReqLock);
        is->SeekReq = true;
        is->SeekPos = is->LoopStart;
        is->SeekAny = true;
        is->SeekBytes = false;
        is->ReqCond.notify_all();
      }
    }
  }
  if (is->PlayWindow != INT64_MIN && FCurrentPTS >= is->LoopStart + is->PlayWindow) {
    if (is->Repeat == rtLoop) {
      std::lock_guard l(is->ReqLock);
      if (!is->SeekReq) {
        is->SeekReq = true;
        is->SeekPos = is->LoopStart;
        is->SeekAny = true;
        is->SeekBytes = false;
        FCurrentPTS = is->SeekPos;
        is->ReqCond.notify_all();
      }
    } else if (is->Repeat == rtStop) {
      is->RequestAbort();
      return false;
    }
  }
  return true;
}
