// The read thread and the streams: the packet queues, the engine state's life, and the thread
// that demuxes the file into the queues, performs seeks and switches the audio stream.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "Src/FFPlayerState.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/MyUtils.h"
#include "base/Format.h"

namespace ffplayer {

double Now() { return AVU.av_gettime() / 1000000.0; }

std::string AVErrText(int ACode) {
  char buf[256] = {0};
  if (AVU.av_strerror(ACode, buf, sizeof buf) < 0) return Format("Error number %d occurred", ACode);
  return buf;
}

std::atomic<int> GEngineThreads{0};

TPacketQueue::~TPacketQueue() { FlushLocked(); }

void TPacketQueue::FlushLocked() {
  for (auto& i : Items) AVC.av_packet_free(&i.Pkt);
  Items.clear();
  Size = 0;
}

void TPacketQueue::Put(AVPacket* APkt) {
  std::lock_guard l(M);
  if (Abort) {
    if (APkt) AVC.av_packet_free(&APkt);
    return;
  }
  Items.push_back({APkt, Serial});
  Size += (APkt ? APkt->size : 0) + 72;
  CV.notify_all();
}

void TPacketQueue::Flush() {
  std::lock_guard l(M);
  FlushLocked();
  ++Serial;
  CV.notify_all();
}

void TPacketQueue::Restart() {
  std::lock_guard l(M);
  FlushLocked();
  Abort = false;
  ++Serial;
  CV.notify_all();
}

void TPacketQueue::SetAbort() {
  std::lock_guard l(M);
  Abort = true;
  CV.notify_all();
}

int TPacketQueue::Get(AVPacket*& APkt, int& ASerial, bool ABlock) {
  std::unique_lock l(M);
  for (;;) {
    if (Abort) return -1;
    if (!Items.empty()) {
      APkt = Items.front().Pkt;
      ASerial = Items.front().Serial;
      Size -= (APkt ? APkt->size : 0) + 72;
      Items.pop_front();
      CV.notify_all();
      return 1;
    }
    if (!ABlock) return 0;
    CV.wait(l);
  }
}

int64_t TPacketQueue::Bytes() {
  std::lock_guard l(M);
  return Size;
}

bool TPacketQueue::Empty() {
  std::lock_guard l(M);
  return Items.empty();
}

int TPacketQueue::CurSerial() {
  std::lock_guard l(M);
  return Serial;
}

int DecodeInterrupt(void* AOpaque) { return static_cast<TVideoState*>(AOpaque)->AbortRequest ? 1 : 0; }

void ReadThread(std::shared_ptr<TVideoState> is) {
  AVPacket* pkt = AVC.av_packet_alloc();
  bool eofSent = false;
  StartSubtitles(is.get());
  while (!is->AbortRequest) {
    {
      std::unique_lock l(is->ReqLock);
      if (is->SubtitleSwitchReq != -2) {
        const int want = is->SubtitleSwitchReq;
        is->SubtitleSwitchReq = -2;
        l.unlock();
        SwitchSubtitleStream(is.get(), want);
        continue;
      }
      if (is->AudioSwitchReq >= 0) {
        const int want = is->AudioSwitchReq;
        is->AudioSwitchReq = -1;
        // The new stream plays from where the picture is: read again from there.
        const double now = is->MasterClock();
        is->SeekReq = true;
        is->SeekPos = std::isnan(now) ? 0 : std::max<int64_t>(0, int64_t((now - is->StartTime) * 1000000));
        is->SeekAny = false;
        is->SeekBytes = false;
        l.unlock();
        SwitchAudioStream(is.get(), want);
        continue;
      }
      if (is->SeekReq) {
        int64_t target = is->SeekPos;
        bool any = is->SeekAny;
        const bool bytes = is->SeekBytes;
        is->SeekReq = false;
        l.unlock();
        int64_t ts = bytes ? target : target + int64_t(is->StartTime * 1000000);
        const int flags = bytes ? AVSEEK_FLAG_BYTE : 0;
        int r = AVF.avformat_seek_file(is->ic, -1, INT64_MIN, ts, ts, flags);
        if (r < 0) r = AVF.avformat_seek_file(is->ic, -1, INT64_MIN, ts, INT64_MAX, flags);
        if (bytes) any = true;  // no time to land on
        if (r >= 0) {
          is->videoq.Flush();
          is->audioq.Flush();
          is->subtitleq.Flush();
          is->SeekTarget = any ? NAN : ts / 1000000.0;
          is->AudClock.Invalidate();
          is->ExtClock.Invalidate();
          is->SeekSerial = is->videoq.CurSerial();
          is->ForceSerial = is->SeekSerial.load();
          is->Eof = false;
          eofSent = false;
          {
            std::lock_guard pl(is->PictLock);
            is->EndRaised = false;
          }
        } else {
          GetFFLogger()->Log(nullptr, llError, "error while seeking: %s", AVErrText(r));
          is->SeekShown = true;
        }
        continue;
      }
      if (is->videoq.Bytes() + is->audioq.Bytes() > MaxQueueBytes || eofSent) {
        is->ReqCond.wait_for(l, std::chrono::milliseconds(10));
        continue;
      }
    }
    int r = AVF.av_read_frame(is->ic, pkt);
    if (r < 0) {
      if (r == AVERROR(EAGAIN)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        continue;
      }
      // The end, or a read error: what is queued plays out, then the end is announced.
      if (r != AVERROR_EOF && r != AVERROR_EXIT)
        GetFFLogger()->Log(nullptr, llVerbose, "read stopped: %s", AVErrText(r));
      if (!eofSent) {
        if (is->VideoStream >= 0) is->videoq.Put(nullptr);
        if (is->AudioStream >= 0) is->audioq.Put(nullptr);
        eofSent = true;
        is->Eof = true;
      }
      continue;
    }
    if (pkt->stream_index == is->VideoStream) {
      AVPacket* node = AVC.av_packet_alloc();
      AVC.av_packet_ref(node, pkt);
      is->videoq.Put(node);
    } else if (pkt->stream_index == is->AudioStream) {
      AVPacket* node = AVC.av_packet_alloc();
      AVC.av_packet_ref(node, pkt);
      is->audioq.Put(node);
    } else if (pkt->stream_index == is->SubtitleStream) {
      AVPacket* node = AVC.av_packet_alloc();
      AVC.av_packet_ref(node, pkt);
      is->subtitleq.Put(node);
    }
    AVC.av_packet_unref(pkt);
  }
  AVC.av_packet_free(&pkt);
  StopSubtitles(is.get());
  is->ReadFinished = true;
  std::lock_guard l(is->DoneLock);
  is->DoneCond.notify_all();
}

}  // namespace ffplayer

using namespace ffplayer;

TVideoState::~TVideoState() {
  if (ic) AVF.avformat_close_input(&ic);
  for (auto& p : pictq) AVU.av_frame_free(&p.Frame);
  if (Shown) AVU.av_frame_free(&Shown);
  if (AudioFrame) AVU.av_frame_free(&AudioFrame);
  if (rdft) AVC.av_rdft_end(rdft);
  if (Graph) AVFL.avfilter_graph_free(&Graph);
  if (Swr) SWR.swr_free(&Swr);
  for (auto& s : subpq) AVC.avsubtitle_free(&s.Sub);
  std::lock_guard l(CodecLock());
  if (SubtitleDec) AVC.avcodec_free_context(&SubtitleDec);
  if (VideoDec) AVC.avcodec_free_context(&VideoDec);
  if (AudioDec) AVC.avcodec_free_context(&AudioDec);
}

void TVideoState::RequestAbort() {
  AbortRequest = true;
  videoq.SetAbort();
  audioq.SetAbort();
  subtitleq.SetAbort();
  {
    std::lock_guard l(SubLock);
    SubCond.notify_all();
  }
  {
    std::lock_guard l(PictLock);
    PictCond.notify_all();
  }
  std::lock_guard l(ReqLock);
  ReqCond.notify_all();
}
