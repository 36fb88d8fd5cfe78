#include "Src/FFPlayer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <vector>

#include "Src/AVProbe.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "Src/MyUtils.h"
#include "Src/libsdl.h"
#include "base/Exception.h"
#include "base/Format.h"
#include "base/MainThread.h"
#include "classlib/Graphics.h"
#include "platform/WinUser.h"

#define AVU AVUtilStubs
#define AVC AVCodecStubs
#define AVF AVFormatStubs
#define AVFL AVFilterStubs
#define SWS SwScaleStubs
#define SWR SwResampleStubs
#define SDLS SDLStubs

namespace {

std::mutex& ResolverLock() {
  static std::mutex m;
  return m;
}
TNativeWindowIdFunc& Resolver() {
  static TNativeWindowIdFunc r;
  return r;
}

double Now() { return AVU.av_gettime() / 1000000.0; }

std::string AVErrText(int ACode) {
  char buf[256] = {0};
  if (AVU.av_strerror(ACode, buf, sizeof buf) < 0) return Format("Error number %d occurred", ACode);
  return buf;
}

// Packets between the read thread and a decoder. A seek flushes the queue and starts a new
// serial; a consumer that sees a new serial flushes its decoder. A null packet means "drain".
struct TPacketQueue {
  struct TItem {
    AVPacket* Pkt;
    int Serial;
  };
  std::mutex M;
  std::condition_variable CV;
  std::deque<TItem> Items;
  int64_t Size = 0;  // bytes, with 72 per node as the engine always counted
  int Serial = 0;
  bool Abort = false;

  ~TPacketQueue() { FlushLocked(); }
  void FlushLocked() {
    for (auto& i : Items) AVC.av_packet_free(&i.Pkt);
    Items.clear();
    Size = 0;
  }
  void Put(AVPacket* APkt) {  // takes APkt (nullptr: drain marker)
    std::lock_guard l(M);
    if (Abort) {
      if (APkt) AVC.av_packet_free(&APkt);
      return;
    }
    Items.push_back({APkt, Serial});
    Size += (APkt ? APkt->size : 0) + 72;
    CV.notify_all();
  }
  void Flush() {
    std::lock_guard l(M);
    FlushLocked();
    ++Serial;
    CV.notify_all();
  }
  void SetAbort() {
    std::lock_guard l(M);
    Abort = true;
    CV.notify_all();
  }
  // 1 got an item, 0 none (non-blocking), -1 aborted.
  int Get(AVPacket*& APkt, int& ASerial, bool ABlock) {
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
  int64_t Bytes() {
    std::lock_guard l(M);
    return Size;
  }
  bool Empty() {
    std::lock_guard l(M);
    return Items.empty();
  }
  int CurSerial() {
    std::lock_guard l(M);
    return Serial;
  }
};

// A clock that runs from a time stamp set at a moment of the system clock.
struct TClock {
  std::mutex M;
  double Pts = NAN, Updated = 0;
  bool Paused = false;
  double Get() {
    std::lock_guard l(M);
    if (std::isnan(Pts) || Paused) return Pts;
    return Pts + (Now() - Updated);
  }
  void Set(double APts, double AAt) {
    std::lock_guard l(M);
    Pts = APts;
    Updated = AAt;
  }
  void SetPaused(bool AValue) {
    std::lock_guard l(M);
    if (AValue == Paused) return;
    if (AValue) {
      if (!std::isnan(Pts)) Pts += Now() - Updated;
    } else {
      Updated = Now();
    }
    Paused = AValue;
  }
  void Invalidate() {
    std::lock_guard l(M);
    Pts = NAN;
  }
};

struct TQueuedPicture {
  AVFrame* Frame = nullptr;  // YUV420P
  double Pts = 0, Duration = 0;
  int Serial = 0;
};

constexpr size_t PictQueueSize = 3;
constexpr int64_t MaxQueueBytes = 8 * 1024 * 1024;

}  // namespace

// The engine state of one open file, shared by the threads that work on it.
struct TVideoState {
  TCustomPlayer* Owner = nullptr;  // valid while the play thread runs (Stop joins it)
  AVFormatContext* ic = nullptr;   // owned by the read thread once it runs
  std::atomic<bool> AbortRequest{false};
  std::atomic<bool> ReadFinished{false};
  double StartTime = 0;  // seconds: the file's own start
  int64_t Duration = 0;  // microseconds, 0 when unknown
  int64_t FileSize = -1;
  std::vector<int> StreamTypes;  // media type of each stream, as opened

  // Video.
  int VideoStream = -1;
  AVStream* video_st = nullptr;
  AVCodecContext* VideoDec = nullptr;
  TPacketQueue videoq;
  std::mutex PictLock;
  std::condition_variable PictCond;
  std::deque<TQueuedPicture> pictq;
  int VideoFinishedSerial = -1;  // serial whose decoder output ended (PictLock)
  AVFilterGraph* Graph = nullptr;
  AVFilterContext *BufferSrc = nullptr, *BufferSink = nullptr;
  int GraphW = 0, GraphH = 0, GraphFmt = -1;

  // Audio.
  std::atomic<int> AudioStream{-1};
  std::mutex AudioLock;       // the audio decoder: the callback decodes under it, a switch swaps under it
  int AudioSwitchReq = -1;    // stream asked for (ReqLock)
  AVStream* audio_st = nullptr;
  AVCodecContext* AudioDec = nullptr;
  TPacketQueue audioq;
  SwrContext* Swr = nullptr;
  int SwrInRate = 0, SwrInFmt = -1, SwrInChannels = 0;
  int DevRate = 0, DevChannels = 0, DevBufBytes = 0;
  std::vector<uint8_t> AudioBuf;
  size_t AudioBufIndex = 0;
  double AudioClockEnd = NAN;  // time stamp of the end of AudioBuf (audio thread only)
  int AudioSerial = -1;
  bool AudioDraining = false;
  std::atomic<int> AudioFinishedSerial{-1};
  std::atomic<int32_t> AudioPeak{0};
  bool AudioOpen = false;
  AVFrame* AudioFrame = nullptr;

  TClock AudClock, ExtClock;
  std::atomic<bool> Paused{false};
  std::atomic<bool> StepReq{false};
  std::atomic<int> ForceSerial{-1};  // the first picture of this serial shows even when paused
  std::atomic<bool> Eof{false};

  // Requests to the read thread.
  std::mutex ReqLock;
  std::condition_variable ReqCond;
  bool SeekReq = false;
  int64_t SeekPos = 0;  // microseconds in the file's time
  bool SeekAny = false;
  bool SeekBytes = false;
  std::atomic<double> SeekTarget{NAN};  // seconds: earlier pictures and samples are dropped
  std::atomic<int> SeekSerial{-1};      // serial whose first picture ends the seek wait
  std::atomic<bool> SeekShown{true};

  // Shown picture, for snapshots.
  std::mutex ShownLock;
  AVFrame* Shown = nullptr;
  double ShownPts = NAN;

  // Display (play thread).
  SDL_Surface* Screen = nullptr;
  SDL_Overlay* Overlay = nullptr;
  std::atomic<int> ResizeW{0}, ResizeH{0};
  std::atomic<bool> ResizeReq{false};
  mutable std::mutex RectLock;
  SDL_Rect Rect{0, 0, 0, 0};
  std::atomic<int> ScreenW{0}, ScreenH{0};
  int ScreenBpp = 0;
  std::atomic<float> AspectRatio{0};

  // The audio display: the ring of the last samples handed to the device (channels
  // interleaved), and the drawing state of the spectrum.
  static constexpr int SampleArraySize = 131072;
  std::mutex SampleLock;
  std::vector<int16_t> sample_array = std::vector<int16_t>(SampleArraySize);
  int sample_array_index = 0;
  double AudioCallbackTime = 0;
  int AudioPending = 0;  // bytes of the last decoded block not yet handed over
  std::atomic<int> show_audio{0};
  RDFTContext* rdft = nullptr;
  int rdft_bits = 0;
  std::vector<float> rdft_data;
  int xpos = 0;
  std::atomic<double> LastAudioDisplay{0};
  std::mutex ScreenLock;  // the screen's pixels: drawn by the play thread, read by ScreenPixel

  THookEvent HookFn;  // copied at open: raised on the video thread
  Tav_sync_type SyncType = AV_SYNC_AUDIO_MASTER;
  std::string Filters;  // the options of the open file, copied at open
  bool Flip = false;
  int ReorderPts = -1;
  int RdftSpeed = 20;
  TRepeatType Repeat = rtStop;       // the play window, copied at open
  int64_t PlayWindow = INT64_MIN;
  int64_t LoopStart = 0;

  std::atomic<double> MaxDiff{0};
  std::atomic<int64_t> Shown_{0}, Dropped{0};
  std::atomic<bool> EndRaised{false};
  int FramesAfterSeek = 0;

  std::thread ReadThread, VideoThread;
  std::mutex DoneLock;
  std::condition_variable DoneCond;

  ~TVideoState() {
    if (ic) AVF.avformat_close_input(&ic);
    for (auto& p : pictq) AVU.av_frame_free(&p.Frame);
    if (Shown) AVU.av_frame_free(&Shown);
    if (AudioFrame) AVU.av_frame_free(&AudioFrame);
    if (rdft) AVC.av_rdft_end(rdft);
    if (Graph) AVFL.avfilter_graph_free(&Graph);
    if (Swr) SWR.swr_free(&Swr);
    std::lock_guard l(CodecLock());
    if (VideoDec) AVC.avcodec_free_context(&VideoDec);
    if (AudioDec) AVC.avcodec_free_context(&AudioDec);
  }

  void RequestAbort() {
    AbortRequest = true;
    videoq.SetAbort();
    audioq.SetAbort();
    {
      std::lock_guard l(PictLock);
      PictCond.notify_all();
    }
    std::lock_guard l(ReqLock);
    ReqCond.notify_all();
  }
  bool is_audio_master() const { return AudioStream >= 0 && SyncType == AV_SYNC_AUDIO_MASTER; }
  double MasterClock() {
    if (is_audio_master()) {
      double a = AudClock.Get();
      if (!std::isnan(a)) return a;
    }
    return ExtClock.Get();
  }
  void SetPaused(bool AValue) {
    Paused = AValue;
    AudClock.SetPaused(AValue);
    ExtClock.SetPaused(AValue);
    std::lock_guard l(PictLock);
    PictCond.notify_all();
  }
};

namespace {

std::atomic<int> GEngineThreads{0};

int DecodeInterrupt(void* AOpaque) { return static_cast<TVideoState*>(AOpaque)->AbortRequest ? 1 : 0; }

bool ConfigureVideoFilters(TVideoState* is, AVFrame* f, const std::string& AFilters, bool AFlip) {
  if (is->Graph) AVFL.avfilter_graph_free(&is->Graph);
  is->Graph = AVFL.avfilter_graph_alloc();
  if (!is->Graph) return false;
  AVRational tb = is->video_st->time_base;
  AVRational sar = f->sample_aspect_ratio;
  if (sar.num <= 0 || sar.den <= 0) sar = {0, 1};
  std::string args = Format("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", f->width, f->height,
                            f->format, tb.num, tb.den, sar.num, sar.den);
  if (AVFL.avfilter_graph_create_filter(&is->BufferSrc, AVFL.avfilter_get_by_name("buffer"), "ffplay_input",
                                        args.c_str(), nullptr, is->Graph) < 0)
    return false;
  if (AVFL.avfilter_graph_create_filter(&is->BufferSink, AVFL.avfilter_get_by_name("buffersink"), "ffplay_output",
                                        nullptr, nullptr, is->Graph) < 0)
    return false;
  AVPixelFormat fmt = AV_PIX_FMT_YUV420P;
  if (AVU.av_opt_set_bin(is->BufferSink, "pix_fmts", reinterpret_cast<const uint8_t*>(&fmt), sizeof fmt,
                         AV_OPT_SEARCH_CHILDREN) < 0)
    return false;
  std::string chain = AFilters;
  if (AFlip) chain = chain.empty() ? "vflip" : chain + ",vflip";
  if (chain.empty()) {
    if (AVFL.avfilter_link(is->BufferSrc, 0, is->BufferSink, 0) < 0) return false;
  } else {
    AVFilterInOut* outputs = AVFL.avfilter_inout_alloc();
    AVFilterInOut* inputs = AVFL.avfilter_inout_alloc();
    outputs->name = AVU.av_strdup("in");
    outputs->filter_ctx = is->BufferSrc;
    inputs->name = AVU.av_strdup("out");
    inputs->filter_ctx = is->BufferSink;
    int r = AVFL.avfilter_graph_parse_ptr(is->Graph, chain.c_str(), &inputs, &outputs, nullptr);
    AVFL.avfilter_inout_free(&inputs);
    AVFL.avfilter_inout_free(&outputs);
    if (r < 0) return false;
  }
  if (AVFL.avfilter_graph_config(is->Graph, nullptr) < 0) return false;
  is->GraphW = f->width;
  is->GraphH = f->height;
  is->GraphFmt = f->format;
  return true;
}

// Queues one filtered picture; waits while the queue is full. False when aborted.
bool QueuePicture(TVideoState* is, AVFrame* f, double APts, double ADuration, int ASerial) {
  std::unique_lock l(is->PictLock);
  is->PictCond.wait(l, [&] { return is->AbortRequest || is->pictq.size() < PictQueueSize; });
  if (is->AbortRequest) return false;
  TQueuedPicture p;
  p.Frame = AVU.av_frame_alloc();
  AVU.av_frame_ref(p.Frame, f);
  p.Pts = APts;
  p.Duration = ADuration;
  p.Serial = ASerial;
  is->pictq.push_back(p);
  is->PictCond.notify_all();
  return true;
}

// The drawing hook: the picture as a 32-bit bitmap to the host's handler, and back.
void CallHook(TVideoState* is, AVFrame* f, double APts, std::unique_ptr<TBitmap>& ABmp) {
  if (AVU.av_frame_make_writable(f) < 0) return;
  if (!ABmp) {
    ABmp = std::make_unique<TBitmap>();
    ABmp->SetPixelFormat(pf32bit);
  }
  ABmp->SetSize(f->width, f->height);
  uint8_t* rgb[4] = {static_cast<uint8_t*>(ABmp->ScanLine(0))};
  int stride[4] = {f->height > 1 ? int(static_cast<uint8_t*>(ABmp->ScanLine(1)) - rgb[0]) : int(ABmp->Stride())};
  SwsContext* to = SWS.sws_getContext(f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                                      AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
  if (!to) {
    GetFFLogger()->Log(is->Owner, llError, "Cannot initialize the toRGB conversion context");
    return;
  }
  SWS.sws_scale(to, f->data, f->linesize, 0, f->height, rgb, stride);
  SWS.sws_freeContext(to);
  try {
    is->HookFn(is->Owner, ABmp.get(), int64_t((APts - is->StartTime) * 1000000));
  } catch (const std::exception& e) {
    GetFFLogger()->Log(is->Owner, llError, "Error occurs OnHook: %s", e.what());
    return;  // the picture is shown undrawn
  }
  SwsContext* from = SWS.sws_getContext(f->width, f->height, AV_PIX_FMT_BGRA, f->width, f->height,
                                        AVPixelFormat(f->format), SWS_POINT, nullptr, nullptr, nullptr);
  if (!from) {
    GetFFLogger()->Log(is->Owner, llError, "Cannot initialize the fromRGB conversion context");
    return;
  }
  const uint8_t* src[4] = {rgb[0]};
  SWS.sws_scale(from, src, stride, 0, f->height, f->data, f->linesize);
  SWS.sws_freeContext(from);
}

void VideoThread(std::shared_ptr<TVideoState> is) {
  std::unique_ptr<TBitmap> hookBmp;
  AVFrame* frame = AVU.av_frame_alloc();
  AVFrame* filt = AVU.av_frame_alloc();
  AVFrame* held = AVU.av_frame_alloc();  // the last picture passed over while seeking
  double heldPts = NAN;
  bool queuedSinceFlush = false;
  int serial = -1;
  AVRational rate = is->video_st->avg_frame_rate;
  double frameDur = (rate.num && rate.den) ? double(rate.den) / rate.num : 0.04;
  AVRational tb = is->video_st->time_base;
  const std::string filters = is->Filters;
  const bool flip = is->Flip;
  bool ok = true;
  // Filters one decoded picture and queues what comes out.
  auto process = [&](AVFrame* f, double pts) {
    if (!is->Graph || f->width != is->GraphW || f->height != is->GraphH || f->format != is->GraphFmt) {
      if (!ConfigureVideoFilters(is.get(), f, filters, flip)) {
        GetFFLogger()->Log(is->Owner, llError, "Cannot configure the video filters: %s", filters);
        ok = false;
        return;
      }
    }
    if (AVFL.av_buffersrc_add_frame_flags(is->BufferSrc, f, 0) < 0) {
      AVU.av_frame_unref(f);
      return;
    }
    while (AVFL.av_buffersink_get_frame_flags(is->BufferSink, filt, 0) >= 0) {
      double fpts = filt->pts == AV_NOPTS_VALUE ? pts : filt->pts * av_q2d(tb);
      if (is->HookFn) CallHook(is.get(), filt, fpts, hookBmp);
      bool queued = QueuePicture(is.get(), filt, fpts, frameDur, serial);
      AVU.av_frame_unref(filt);
      queuedSinceFlush = true;
      if (!queued) {
        ok = false;
        return;
      }
    }
  };
  while (ok && !is->AbortRequest) {
    AVPacket* pkt = nullptr;
    int pktSerial = 0;
    if (is->videoq.Get(pkt, pktSerial, true) < 0) break;
    if (pktSerial != serial) {
      AVC.avcodec_flush_buffers(is->VideoDec);
      serial = pktSerial;
      queuedSinceFlush = false;
      AVU.av_frame_unref(held);
    }
    int r = AVC.avcodec_send_packet(is->VideoDec, pkt);
    const bool drain = pkt == nullptr;
    if (pkt) AVC.av_packet_free(&pkt);
    if (r < 0 && r != AVERROR(EAGAIN) && r != AVERROR_EOF) continue;  // a damaged packet: go on
    while (ok) {
      r = AVC.avcodec_receive_frame(is->VideoDec, frame);
      if (r < 0) break;
      int64_t ts = is->ReorderPts == 0 ? frame->pkt_dts : frame->best_effort_timestamp;
      if (ts == AV_NOPTS_VALUE) ts = frame->pts;
      double pts = ts == AV_NOPTS_VALUE ? NAN : ts * av_q2d(tb);
      double target = is->SeekTarget.load();
      if (!std::isnan(target) && !std::isnan(pts) && pts + frameDur / 2 < target) {
        AVU.av_frame_unref(held);
        AVU.av_frame_ref(held, frame);
        AVU.av_frame_unref(frame);
        heldPts = pts;
        continue;
      }
      process(frame, pts);
    }
    if (drain) {
      // A seek past the last picture shows the last picture.
      if (ok && !queuedSinceFlush && held->buf[0]) process(held, heldPts);
      AVU.av_frame_unref(held);
      std::lock_guard l(is->PictLock);
      is->VideoFinishedSerial = serial;
      is->PictCond.notify_all();
    }
  }
  AVU.av_frame_free(&frame);
  AVU.av_frame_free(&filt);
  AVU.av_frame_free(&held);
}

// One decoded audio frame converted to the device's packed 16-bit layout. Returns its byte
// count, 0 when no packet is waiting, -1 when aborted.
int AudioDecodeFrame(TVideoState* is, AVFrame* frame) {
  for (;;) {
    int r = AVC.avcodec_receive_frame(is->AudioDec, frame);
    if (r >= 0) {
      AVRational tb{1, frame->sample_rate};
      double pts = frame->pts == AV_NOPTS_VALUE ? NAN : AVU.av_rescale_q(frame->pts, is->AudioDec->pkt_timebase, tb) / double(frame->sample_rate);
      double target = is->SeekTarget.load();
      double dur = double(frame->nb_samples) / frame->sample_rate;
      if (!std::isnan(target) && !std::isnan(pts) && pts + dur < target) {
        AVU.av_frame_unref(frame);
        continue;
      }
      if (!is->Swr || frame->sample_rate != is->SwrInRate || frame->format != is->SwrInFmt ||
          frame->ch_layout.nb_channels != is->SwrInChannels) {
        if (is->Swr) SWR.swr_free(&is->Swr);
        AVChannelLayout out{};
        AVU.av_channel_layout_default(&out, is->DevChannels);
        if (SWR.swr_alloc_set_opts2(&is->Swr, &out, AV_SAMPLE_FMT_S16, is->DevRate, &frame->ch_layout,
                                    AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr) < 0 ||
            SWR.swr_init(is->Swr) < 0) {
          if (is->Swr) SWR.swr_free(&is->Swr);
          AVU.av_frame_unref(frame);
          return 0;
        }
        is->SwrInRate = frame->sample_rate;
        is->SwrInFmt = frame->format;
        is->SwrInChannels = frame->ch_layout.nb_channels;
      }
      // Sized from the real output, never from a fixed buffer.
      int outSamples = int(int64_t(frame->nb_samples) * is->DevRate / frame->sample_rate) + 256;
      is->AudioBuf.resize(size_t(outSamples) * is->DevChannels * 2);
      uint8_t* out = is->AudioBuf.data();
      int n = SWR.swr_convert(is->Swr, &out, outSamples, const_cast<const uint8_t**>(frame->extended_data),
                              frame->nb_samples);
      AVU.av_frame_unref(frame);
      if (n <= 0) continue;
      is->AudioBuf.resize(size_t(n) * is->DevChannels * 2);
      if (!std::isnan(pts)) is->AudioClockEnd = pts + double(n) / is->DevRate;
      else if (!std::isnan(is->AudioClockEnd)) is->AudioClockEnd += double(n) / is->DevRate;
      return int(is->AudioBuf.size());
    }
    if (r == AVERROR_EOF) {
      if (is->AudioDraining) {
        is->AudioFinishedSerial = is->AudioSerial;
        is->AudioDraining = false;
      }
    }
    AVPacket* pkt = nullptr;
    int serial = 0;
    int g = is->audioq.Get(pkt, serial, false);
    if (g < 0) return -1;
    if (g == 0) return 0;
    if (serial != is->AudioSerial) {
      AVC.avcodec_flush_buffers(is->AudioDec);
      is->AudioSerial = serial;
      is->AudioClockEnd = NAN;
      is->AudioDraining = false;
    }
    if (!pkt) is->AudioDraining = true;
    AVC.avcodec_send_packet(is->AudioDec, pkt);
    if (pkt) AVC.av_packet_free(&pkt);
  }
}

void AudioCallback(void* AOpaque, Uint8* AStream, int ALen) {
  auto* is = static_cast<TVideoState*>(AOpaque);
  const double callbackTime = Now();
  std::memset(AStream, 0, size_t(ALen));
  if (is->Paused || is->AbortRequest) return;
  AVFrame* frame = is->AudioFrame;
  std::lock_guard audioLock(is->AudioLock);
  const int vol = is->Owner->Mute() ? 0 : is->Owner->AudioVolume();
  int pos = 0;
  int32_t peak = 0;
  bool any = false;
  while (pos < ALen) {
    if (is->AudioBufIndex >= is->AudioBuf.size()) {
      int n = AudioDecodeFrame(is, frame);
      if (n <= 0) {
        is->AudioBuf.clear();
        is->AudioBufIndex = 0;
        break;  // nothing waiting: the rest stays silent
      }
      is->AudioBufIndex = 0;
    }
    int len = std::min<int>(ALen - pos, int(is->AudioBuf.size() - is->AudioBufIndex));
    const int16_t* src = reinterpret_cast<const int16_t*>(is->AudioBuf.data() + is->AudioBufIndex);
    int16_t* dst = reinterpret_cast<int16_t*>(AStream + pos);
    {
      std::lock_guard sl(is->SampleLock);
      for (int i = 0; i < len / 2; ++i) {
        is->sample_array[size_t(is->sample_array_index)] = src[i];
        if (++is->sample_array_index >= TVideoState::SampleArraySize) is->sample_array_index = 0;
      }
    }
    for (int i = 0; i < len / 2; ++i) {
      int v = src[i] * vol / 128;
      dst[i] = int16_t(v);
      peak = std::max(peak, std::abs(v));
    }
    pos += len;
    is->AudioBufIndex += size_t(len);
    any = true;
  }
  is->AudioPeak = peak;
  {
    std::lock_guard sl(is->SampleLock);
    is->AudioCallbackTime = callbackTime;
    is->AudioPending = int(is->AudioBuf.size() - is->AudioBufIndex);
  }
  if (any && !std::isnan(is->AudioClockEnd)) {
    // What this callback handed over plays after the buffer the device holds already.
    double remaining = double(is->AudioBuf.size() - is->AudioBufIndex + is->DevBufBytes) /
                       (is->DevRate * is->DevChannels * 2);
    is->AudClock.Set(is->AudioClockEnd - remaining, callbackTime);
  }
}

// Plays another audio stream of the file from now on: a new decoder under the audio lock, the
// old stream's packets dropped. A decoder that cannot be opened keeps the old stream.
void SwitchAudioStream(TVideoState* is, int AIndex) {
  AVStream* st = is->ic->streams[AIndex];
  const AVCodec* codec = AVC.avcodec_find_decoder(st->codecpar->codec_id);
  if (!codec) return;
  AVCodecContext* dec;
  {
    std::lock_guard l(CodecLock());
    dec = AVC.avcodec_alloc_context3(codec);
    const bool made = AVC.avcodec_parameters_to_context(dec, st->codecpar) >= 0;
    dec->pkt_timebase = st->time_base;
    dec->thread_count = 1;
    if (!made || AVC.avcodec_open2(dec, codec, nullptr) < 0) {
      AVC.avcodec_free_context(&dec);
      GetFFLogger()->Log(nullptr, llError, "could not open the audio stream %d", AIndex);
      return;
    }
  }
  std::lock_guard al(is->AudioLock);
  {
    std::lock_guard l(CodecLock());
    AVC.avcodec_free_context(&is->AudioDec);
  }
  is->AudioDec = dec;
  is->audio_st = st;
  is->AudioStream = AIndex;
  is->audioq.Flush();  // a new serial: the callback starts the new decoder afresh
  if (is->Swr) SWR.swr_free(&is->Swr);
  is->AudioBuf.clear();
  is->AudioBufIndex = 0;
}

void ReadThread(std::shared_ptr<TVideoState> is) {
  AVPacket* pkt = AVC.av_packet_alloc();
  bool eofSent = false;
  while (!is->AbortRequest) {
    {
      std::unique_lock l(is->ReqLock);
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
    }
    AVC.av_packet_unref(pkt);
  }
  AVC.av_packet_free(&pkt);
  is->ReadFinished = true;
  std::lock_guard l(is->DoneLock);
  is->DoneCond.notify_all();
}

}  // namespace

void SetPlayerNativeWindowResolver(TNativeWindowIdFunc AResolver) {
  std::lock_guard l(ResolverLock());
  Resolver() = std::move(AResolver);
}
uint64_t PlayerNativeWindowId(win::HWND AHandle) {
  if (!AHandle) return 0;
  std::lock_guard l(ResolverLock());
  // By default the window layer's own native subwindow of the host (0 on the headless backend).
  return Resolver() ? Resolver()(AHandle) : uint64_t(win::GetNativeWindowHandle(AHandle));
}

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
// The component.

namespace {

bool OnMain() { return IsMainThread(); }

// One step of a wait on the calling thread: the main thread serves hand-overs and sent messages.
void WaitStep() {
  if (OnMain()) ServeMainThread(5);
  else std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void ComputeRect(TVideoState* is, int AFrameW, int AFrameH, AVRational ASar) {
  const int sw = is->ScreenW, sh = is->ScreenH;
  double aspect;
  if (is->AspectRatio > 0) aspect = is->AspectRatio;
  else if (is->AspectRatio < 0 && sh > 0) aspect = double(sw) / sh;
  else {
    double sar = (ASar.num > 0 && ASar.den > 0) ? av_q2d(ASar) : 1.0;
    aspect = AFrameH > 0 ? sar * AFrameW / AFrameH : 1.0;
  }
  int h = sh;
  int w = int(std::lround(h * aspect)) & ~1;
  if (w > sw) {
    w = sw;
    h = int(std::lround(w / aspect)) & ~1;
  }
  std::lock_guard l(is->RectLock);
  is->Rect = SDL_Rect{Sint16((sw - w) / 2), Sint16((sh - h) / 2), Uint16(std::max(w, 0)), Uint16(std::max(h, 0))};
}

void DisplayPicture(TVideoState* is, AVFrame* f) {
  ComputeRect(is, f->width, f->height, f->sample_aspect_ratio);
  if (!is->Screen) return;
  std::lock_guard scrLock(is->ScreenLock);
  if (!is->Overlay || is->Overlay->w != f->width || is->Overlay->h != f->height) {
    if (is->Overlay) SDLS.SDL_FreeYUVOverlay(is->Overlay);
    is->Overlay = SDLS.SDL_CreateYUVOverlay(f->width, f->height, SDL_YV12_OVERLAY, is->Screen);
    if (!is->Overlay) return;
  }
  SDL_Overlay* ov = is->Overlay;
  SDLS.SDL_LockYUVOverlay(ov);
  // YV12 keeps V before U.
  const int planeOf[3] = {0, 2, 1};
  for (int p = 0; p < 3; ++p) {
    const int rows = p ? (f->height + 1) / 2 : f->height;
    const int cols = p ? (f->width + 1) / 2 : f->width;
    uint8_t* dst = ov->pixels[planeOf[p]];
    const int pitch = ov->pitches[planeOf[p]];
    for (int y = 0; y < rows; ++y)
      std::memcpy(dst + y * pitch, f->data[p] + y * f->linesize[p], size_t(std::min(cols, int(pitch))));
  }
  SDLS.SDL_UnlockYUVOverlay(ov);
  SDL_Rect r;
  {
    std::lock_guard l(is->RectLock);
    r = is->Rect;
  }
  SDLS.SDL_DisplayYUVOverlay(ov, &r);
}

// The waveform (saWave) or the scrolling spectrum (saRDFT) of the samples now playing.
void DisplayAudio(TVideoState* is) {
  SDL_Surface* scr = is->Screen;
  if (!scr || is->DevChannels <= 0) return;
  const int width = is->ScreenW, height = is->ScreenH, channels = is->DevChannels;
  const int N = TVideoState::SampleArraySize;
  int k = 1;
  while ((1 << k) < 2 * height) ++k;
  const int nb_freq = 1 << (k - 1);
  const int mode = is->show_audio;
  std::vector<int16_t> samples;
  int start;
  {
    std::lock_guard sl(is->SampleLock);
    int delay = is->AudioPending / (2 * channels);
    if (is->AudioCallbackTime != 0 && !is->Paused)
      delay -= int((Now() - is->AudioCallbackTime) * is->DevRate);
    const int data_used = mode == saWave ? width : 2 * nb_freq;
    delay = std::max(delay, data_used);
    start = ((is->sample_array_index - delay * channels) % N + N) % N;
    samples = is->sample_array;
  }
  auto at = [&](int i) { return int(samples[size_t(((i % N) + N) % N)]); };
  std::lock_guard scrLock(is->ScreenLock);
  const Uint32 white = SDLS.SDL_MapRGB(scr->format, 255, 255, 255);
  if (mode == saWave) {
    // Start at a rising zero crossing so the wave stands still.
    int best = INT32_MIN, s0 = start;
    for (int i = 0; i < 1000; i += channels) {
      int idx = (N + start - i) % N;
      int a = at(idx), b = at(idx + 4 * channels), c = at(idx + 5 * channels), d = at(idx + 9 * channels);
      if (best < a - d && ((b ^ c) < 0)) {
        best = a - d;
        s0 = idx;
      }
    }
    SDL_Rect all{0, 0, Uint16(width), Uint16(height)};
    SDLS.SDL_FillRect(scr, &all, SDLS.SDL_MapRGB(scr->format, 0, 0, 0));
    const int h = height / channels, h2 = h * 9 / 20;
    for (int ch = 0; ch < channels; ++ch) {
      int idx = s0 + ch;
      const int y1 = ch * h + h / 2;
      for (int x = 0; x < width; ++x) {
        const int v = (at(idx) * h2) >> 15;
        SDL_Rect bar{Sint16(x), Sint16(v < 0 ? y1 + v : y1), 1, Uint16(std::max(std::abs(v), 1))};
        SDLS.SDL_FillRect(scr, &bar, white);
        idx += channels;
      }
    }
    for (int ch = 1; ch < channels; ++ch) {
      SDL_Rect line{0, Sint16(ch * h), Uint16(width), 1};
      SDLS.SDL_FillRect(scr, &line, white);
    }
    SDLS.SDL_UpdateRect(scr, 0, 0, width, height);
  } else if (mode == saRDFT) {
    const int nch = std::min(channels, 2);
    if (k != is->rdft_bits) {
      if (is->rdft) AVC.av_rdft_end(is->rdft);
      is->rdft = AVC.av_rdft_init(k, DFT_R2C);
      is->rdft_bits = k;
      is->rdft_data.assign(size_t(4 * nb_freq), 0.f);
    }
    if (!is->rdft) return;
    for (int ch = 0; ch < nch; ++ch) {
      float* data = is->rdft_data.data() + 2 * nb_freq * ch;
      int idx = start + ch;
      for (int x = 0; x < 2 * nb_freq; ++x) {
        const double w = double(x - nb_freq) / nb_freq;
        data[x] = float(at(idx) * (1 - w * w));
        idx += channels;
      }
      AVC.av_rdft_calc(is->rdft, data);
    }
    const double w = 1 / std::sqrt(double(nb_freq));
    for (int y = 0; y < height && 2 * y + 1 < 2 * nb_freq; ++y) {
      auto mag = [&](int ch) {
        const float* d = is->rdft_data.data() + 2 * nb_freq * ch;
        return std::min(255, int(std::lround(std::sqrt(w * std::sqrt(d[2 * y] * d[2 * y] + d[2 * y + 1] * d[2 * y + 1])))));
      };
      const int a = mag(0), b = nch > 1 ? mag(1) : a;
      // The lowest frequency on the bottom row inside the area.
      SDL_Rect px{Sint16(is->xpos), Sint16(height - 1 - y), 1, 1};
      SDLS.SDL_FillRect(scr, &px, SDLS.SDL_MapRGB(scr->format, Uint8(a), Uint8(b), Uint8((a + b) / 2)));
    }
    SDLS.SDL_UpdateRect(scr, is->xpos, 0, 1, height);
    if (++is->xpos >= width) is->xpos = 0;
  }
}

}  // namespace

namespace {

// The one embedded host of the process (main thread only): its window, its own procedure and
// the player that owns them.
win::HWND GHostHandle = nullptr;
win::WNDPROC GHostProc = nullptr;
TCustomPlayer* GHostPlayer = nullptr;

win::LRESULT HostWindowProc(win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
  if (h != GHostHandle || !GHostProc) return win::DefWindowProc(h, m, w, l);
  switch (m) {
    case win::WM_CLOSE:
      return 0;
    case win::WM_SIZE:
      if (GHostPlayer) GHostPlayer->HostResized(win::LOWORD(uintptr_t(l)), win::HIWORD(uintptr_t(l)));
      break;
    case win::WM_ERASEBKGND:
      if (GHostPlayer && !GHostPlayer->Paused()) return 1;  // never over SDL's picture
      break;
    default:
      break;
  }
  return win::CallWindowProc(GHostProc, h, m, w, l);
}

void AttachHost(TCustomPlayer* APlayer, win::HWND AHandle) {
  if (!AHandle || GHostHandle == AHandle) {
    if (AHandle) GHostPlayer = APlayer;
    return;
  }
  GHostProc = reinterpret_cast<win::WNDPROC>(
      win::SetWindowLongPtr(AHandle, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(&HostWindowProc)));
  GHostHandle = AHandle;
  GHostPlayer = APlayer;
}

void DetachHost(TCustomPlayer* APlayer) {
  if (GHostPlayer != APlayer || !GHostHandle) return;
  if (win::IsWindow(GHostHandle))
    win::SetWindowLongPtr(GHostHandle, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(GHostProc));
  GHostHandle = nullptr;
  GHostProc = nullptr;
  GHostPlayer = nullptr;
}

}  // namespace

TCustomPlayer::TCustomPlayer(TComponent* AOwner) : TFFBaseComponent(AOwner) {
  FAVProbe = std::make_unique<TAVProbe>(nullptr);
  SetDefaults();
  ResetState();
}

TCustomPlayer::~TCustomPlayer() {
  // The events stay assigned until every thread has ended: the engine's threads read them.
  Stop(true);
  JoinThreads();
  FAVProbe.reset();
  if (FLibLoaded) UnloadAVLib();
}

void TCustomPlayer::SetDefaults() {
  VideoFilters.clear();
  FFormat.clear();
  FFileName.clear();
  FrameWidth = FrameHeight = 0;
  av_sync_type = AV_SYNC_AUDIO_MASTER;
  debug_mv = 0;
  workaround_bugs = 1;
  fast = genpts = false;
  lowres = idct_algo = 0;
  error_recognition = 1;
  error_concealment = 3;
  decoder_reorder_pts = -1;
  framedrop = 1;
  rdftspeed = 20;
}

void TCustomPlayer::ResetState() {
  FLastPTS = INT64_MIN;
  FCurrentPTS = -1;
  wanted_video_stream = wanted_audio_stream = wanted_subtitle_stream = -1;
  seek_by_bytes = -1;
  start_time = PlayTime = INT64_MIN;
  RepeatType = rtStop;
  VerticalFlip = false;
  FSeeking = false;
}

void TCustomPlayer::ReportError(const std::string& AMsg) {
  {
    std::lock_guard l(FErrLock);
    FLastErrMsg = AMsg;
  }
  GetFFLogger()->Log(this, llError, AMsg);
}

std::string TCustomPlayer::LastErrMsg() const {
  std::lock_guard l(FErrLock);
  return FLastErrMsg;
}

bool TCustomPlayer::AVLibLoaded() const { return FFLoader().Loaded(PlayerLibraries); }

bool TCustomPlayer::LoadAVLib(const std::string& APath) {
  if (FLibLoaded) return true;
  if (!APath.empty()) FFLoader().SetLibraryPath(APath);
  if (!FFLoader().Load(PlayerLibraries)) {
    ReportError(FFLoader().LastErrMsg());
    return false;
  }
  FLibLoaded = true;
  return true;
}

void TCustomPlayer::UnloadAVLib() {
  if (!FLibLoaded) return;
  Stop(true);
  JoinThreads();
  FFLoader().Unload(PlayerLibraries);
  FLibLoaded = false;
}

void TCustomPlayer::SetAudioVolume(TAudioVolume AValue) { FAudioVolume = std::clamp(AValue, 0, 128); }

int32_t TCustomPlayer::VideoStreamIndex() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->VideoStream : -1;
}
int32_t TCustomPlayer::AudioStreamIndex() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->AudioStream.load() : -1;
}
int32_t TCustomPlayer::SubtitleStreamIndex() const { return -1; }

void TCustomPlayer::SetAudioStreamIndex(int32_t AValue) {
  std::lock_guard l(FDataLock);
  TVideoState* is = FVideoState.get();
  if (!is || AValue == is->AudioStream) return;
  if (!is->AudioOpen || AValue < 0 || AValue >= int(is->StreamTypes.size()) ||
      is->StreamTypes[size_t(AValue)] != AVMEDIA_TYPE_AUDIO) {
    ReportError(::Format("Invalid audio stream index: %d", AValue));
    return;
  }
  std::lock_guard rl(is->ReqLock);
  is->AudioSwitchReq = AValue;
  is->ReqCond.notify_all();
}

bool TCustomPlayer::Paused() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return !FVideoState || FVideoState->Paused;
}

double TCustomPlayer::MaxAVDiff() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->MaxDiff.load() : 0;
}
int64_t TCustomPlayer::FramesShown() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->Shown_.load() : 0;
}
int64_t TCustomPlayer::FramesDropped() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->Dropped.load() : 0;
}
int32_t TCustomPlayer::LastAudioPeak() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->AudioPeak.load() : 0;
}
void TCustomPlayer::DisplayRect(int32_t& X, int32_t& Y, int32_t& W, int32_t& H) const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  X = Y = W = H = 0;
  if (!FVideoState) return;
  std::lock_guard rl(FVideoState->RectLock);
  X = FVideoState->Rect.x;
  Y = FVideoState->Rect.y;
  W = FVideoState->Rect.w;
  H = FVideoState->Rect.h;
}

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

void TCustomPlayer::JoinThreads() {
  if (FPlayThread.joinable()) {
    while (!FStopped) WaitStep();
    FPlayThread.join();
    // The file is closed: what was set for it does not carry over to the next one.
    ResetState();
  }
  if (FEventThread.joinable()) {
    // The event thread ends after the stop item; it may be waiting in a hand-over.
    while (FPlayEvent.Count() > 0 || !FEventDone) WaitStep();
    FEventThread.join();
  }
  DetachHost(this);
  if (FSDLStarted) {
    SDLS.SDL_Quit();
    FSDLStarted = false;
  }
}

void TCustomPlayer::Stop(bool AWaitForStop) {
  std::shared_ptr<TVideoState> st;
  {
    std::lock_guard l(FDataLock);
    st = FVideoState;
  }
  if (st) st->RequestAbort();
  st.reset();
  if (!AWaitForStop) return;
  JoinThreads();
}

bool TCustomPlayer::Open(const std::string& AFileName, win::HWND AScreenHandle, bool APaused) {
  if (!AVLibLoaded()) {
    ReportError("libav or libsdl not loaded.");
    return false;
  }
  Stop(true);
  FPlayEvent.Clear();  // nothing of the previous file reaches this one
  {
    std::lock_guard l(FErrLock);
    FLastErrMsg.clear();
  }
  // Driver choice; a value set from outside (tests use the dummy drivers) is left alone.
  static const char* const AudioNames[] = {nullptr, "pulse", "alsa"};
  static const char* const VideoNames[] = {nullptr, "x11", "x11"};
  if (AudioNames[AudioDriver]) setenv("SDL_AUDIODRIVER", AudioNames[AudioDriver], 1);
  if (VideoNames[VideoDriver]) setenv("SDL_VIDEODRIVER", VideoNames[VideoDriver], 1);
  // StartSDL: the host's native window becomes SDL's drawing surface.
  const uint64_t wid = PlayerNativeWindowId(AScreenHandle);
  if (wid) setenv("SDL_WINDOWID", std::to_string(wid).c_str(), 1);
  const bool sdlOk = SDLS.SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) == 0;
  if (wid) unsetenv("SDL_WINDOWID");
  if (!sdlOk) {
    ReportError(::Format("Could not initialize SDL with ScreenHandle(%u): %s", unsigned(wid), SDLS.SDL_GetError()));
    return false;
  }
  FSDLStarted = true;
  auto fail = [&](const std::string& AMsg) {
    ReportError(AMsg);
    JoinThreads();  // SDL_Quit
    SetDefaults();
    ResetState();
    return false;
  };
  if (DisableDisplay) DisableVideo = true;
  else if (!SDLS.SDL_GetVideoInfo())
    return fail("SDL_GetVideoInfo() failed");

  auto is = std::make_shared<TVideoState>();
  is->Owner = this;
  is->AudioFrame = AVU.av_frame_alloc();
  // OpenStream.
  is->ic = AVF.avformat_alloc_context();
  is->ic->interrupt_callback.callback = DecodeInterrupt;
  is->ic->interrupt_callback.opaque = is.get();
  if (genpts) is->ic->flags |= AVFMT_FLAG_GENPTS;
  const AVInputFormat* fmt = nullptr;
  if (!FFormat.empty()) fmt = AVF.av_find_input_format(FFormat.c_str());
  AVDictionary* opts = nullptr;
  if (FrameWidth > 0 && FrameHeight > 0)
    AVU.av_dict_set(&opts, "video_size", ::Format("%dx%d", FrameWidth, FrameHeight).c_str(), 0);
  int r = AVF.avformat_open_input(&is->ic, AFileName.c_str(), fmt, &opts);
  AVU.av_dict_free(&opts);
  if (r < 0) return fail(::Format("%s: %s", AFileName, AVErrText(r)));
  r = AVF.avformat_find_stream_info(is->ic, nullptr);
  if (r < 0) return fail(::Format("%s: could not find codec parameters", AFileName));
  AVFormatContext* ic = is->ic;
  is->StartTime = ic->start_time != AV_NOPTS_VALUE ? ic->start_time / 1000000.0 : 0;
  is->Duration = ic->duration != AV_NOPTS_VALUE ? ic->duration : 0;
  is->FileSize = ic->pb ? AVF.avio_size(ic->pb) : -1;
  for (unsigned i = 0; i < ic->nb_streams; ++i) is->StreamTypes.push_back(ic->streams[i]->codecpar->codec_type);
  auto best = [&](AVMediaType AType, int AWanted) {
    int n = 0, found = -1;
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
      if (ic->streams[i]->codecpar->codec_type != AType) continue;
      if (AWanted >= 0 ? n == AWanted : found < 0) found = int(i);
      ++n;
    }
    return found;
  };
  auto openDecoder = [&](int AIndex, AVCodecContext*& ACtx) -> bool {
    AVStream* st = ic->streams[AIndex];
    const AVCodec* codec = AVC.avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec) return false;
    std::lock_guard l(CodecLock());
    ACtx = AVC.avcodec_alloc_context3(codec);
    if (AVC.avcodec_parameters_to_context(ACtx, st->codecpar) < 0) return false;
    ACtx->pkt_timebase = st->time_base;
    ACtx->workaround_bugs = workaround_bugs;
    ACtx->lowres = std::min(lowres, int(codec->max_lowres));
    ACtx->idct_algo = idct_algo;
    ACtx->error_concealment = error_concealment;
    ACtx->thread_count = 1;
    if (fast) ACtx->flags2 |= AV_CODEC_FLAG2_FAST;
    return AVC.avcodec_open2(ACtx, codec, nullptr) >= 0;
  };
  if (!DisableVideo) {
    int v = best(AVMEDIA_TYPE_VIDEO, wanted_video_stream);
    if (v >= 0 && !(ic->streams[v]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
      if (openDecoder(v, is->VideoDec)) {
        is->VideoStream = v;
        is->video_st = ic->streams[v];
      }
    }
  }
  if (!DisableAudio) {
    int a = best(AVMEDIA_TYPE_AUDIO, wanted_audio_stream);
    if (a >= 0 && openDecoder(a, is->AudioDec)) {
      is->AudioStream = a;
      is->audio_st = ic->streams[a];
    }
  }
  if (is->VideoStream < 0 && is->AudioStream < 0) return fail(::Format("%s: could not open codecs", AFileName));
  is->AspectRatio = FAspectRatio;
  is->SyncType = av_sync_type;
  is->Filters = VideoFilters;
  is->Flip = VerticalFlip;
  is->ReorderPts = decoder_reorder_pts;
  is->RdftSpeed = std::max(rdftspeed, 1);
  is->Repeat = RepeatType;
  is->PlayWindow = PlayTime;
  is->LoopStart = start_time != INT64_MIN ? start_time : 0;
  is->show_audio = DisableDisplay ? 0 : int(ShowAudio);
  if (Hook && OnHook) is->HookFn = OnHook;

  int32_t fw = -1, fh = -1;
  if (is->VideoStream >= 0) {
    fw = is->VideoDec->width;
    fh = is->VideoDec->height;
  }
  int32_t sw = ScreenWidth, sh = ScreenHeight;
  if ((sw <= 0 || sh <= 0) && AScreenHandle) {
    win::RECT rc{};
    if (win::GetClientRect(AScreenHandle, &rc)) {
      sw = rc.right - rc.left;
      sh = rc.bottom - rc.top;
    }
  }
  if (sw <= 0 || sh <= 0) {
    sw = fw > 0 ? fw : 320;
    sh = fh > 0 ? fh : 240;
  }
  FFileName = AFileName;
  FScreenHandle = AScreenHandle;
  if (OnFileOpen) {
    auto call = [&] { OnFileOpen(this, is->Duration, fw, fh, sw, sh); };
    if (TriggerEventInMainThread) CallInMainThread(call);
    else call();
  }
  ScreenWidth = sw;
  ScreenHeight = sh;
  is->ScreenW = sw;
  is->ScreenH = sh;
  if (!DisableDisplay) {
    // A palette suits no picture: below 16 bits (SDL's dummy driver gives 8) ask for 32.
    const SDL_VideoInfo* vi = SDLS.SDL_GetVideoInfo();
    is->ScreenBpp = vi && vi->vfmt && vi->vfmt->BitsPerPixel >= 16 ? 0 : 32;
    is->Screen = SDLS.SDL_SetVideoMode(sw, sh, is->ScreenBpp, SDL_SWSURFACE);
    if (!is->Screen) return fail(::Format("SDL: could not set video mode - exiting: %s", SDLS.SDL_GetError()));
  }
  if (is->AudioStream >= 0) {
    SDL_AudioSpec want{}, have{};
    want.freq = is->AudioDec->sample_rate;
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(std::clamp(is->AudioDec->ch_layout.nb_channels, 1, 2));
    want.samples = 512;
    want.callback = AudioCallback;
    want.userdata = is.get();
    if (SDLS.SDL_OpenAudio(&want, &have) < 0) {
      GetFFLogger()->Log(this, llError, "SDL_OpenAudio: %s", SDLS.SDL_GetError());
      is->AudioStream = -1;
    } else {
      is->AudioOpen = true;
      is->DevRate = have.freq;
      is->DevChannels = have.channels;
      is->DevBufBytes = int(have.size);
    }
  }
  if (start_time != INT64_MIN) {
    is->SeekReq = true;
    is->SeekPos = start_time;
  }
  if (APaused) {
    is->SetPaused(true);
    is->ForceSerial = 0;  // the first serial of the queues
  }
  {
    std::lock_guard l(FDataLock);
    FVideoState = is;
  }
  FStopped = false;
  FEventDone = false;
  FEventThread = std::thread([this] {
    EventThreadExecute();
    FEventDone = true;
  });
  FPlayThread = std::thread([this, is] { PlayThreadExecute(is); });
  AttachHost(this, AScreenHandle);
  if (is->AudioOpen) SDLS.SDL_PauseAudio(0);
  return true;
}

void TCustomPlayer::PlayThreadExecute(std::shared_ptr<TVideoState> is) {
  SetState(psPlay);
  GEngineThreads += 2;
  is->ReadThread = std::thread([s = is]() mutable {
    ReadThread(s);
    s.reset();
    --GEngineThreads;
  });
  if (is->VideoStream >= 0)
    is->VideoThread = std::thread([s = is]() mutable {
      VideoThread(s);
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
        if (is->Shown) DisplayPicture(is.get(), is->Shown);
      }
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
              remaining = std::min(remaining, diff);
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
          DisplayPicture(is.get(), vp.Frame);
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
          if (!pauseAnnounced && is->Paused) {
            pauseAnnounced = true;
            SetState(psPause);
          }
          l.lock();
          break;
        }
      } else {
        if (is->show_audio != saNone && is->Screen && !is->Paused &&
            Now() - is->LastAudioDisplay >= is->RdftSpeed / 1000.0) {
          is->LastAudioDisplay = Now();
          DisplayAudio(is.get());
        }
        remaining = std::min(remaining, is->RdftSpeed / 1000.0);
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
          break;
        }
      }
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

void TCustomPlayer::Pause() {
  std::lock_guard l(FDataLock);
  if (!FVideoState || FVideoState->Paused) return;
  FVideoState->SetPaused(true);
  FVideoState->StepReq = false;
  SetState(psPause);
}

void TCustomPlayer::Resume() {
  std::lock_guard l(FDataLock);
  if (!FVideoState || !FVideoState->Paused) return;
  FVideoState->StepReq = false;
  FVideoState->SetPaused(false);
  SetState(psResume);
}

void TCustomPlayer::TogglePause() {
  if (Paused()) Resume();
  else Pause();
}

void TCustomPlayer::StepToNextFrame() {
  std::lock_guard l(FDataLock);
  if (!FVideoState) return;
  if (!FVideoState->Paused) FVideoState->SetPaused(true);
  // Two steps in a row announce one.
  if (!FVideoState->StepReq.exchange(true)) SetState(psStep);
  std::lock_guard pl(FVideoState->PictLock);
  FVideoState->PictCond.notify_all();
}

void TCustomPlayer::Seek(int64_t APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
  std::shared_ptr<TVideoState> is;
  {
    std::lock_guard l(FDataLock);
    is = FVideoState;
  }
  if (!is) return;
  if (ASeekFlags.Contains(sfByte)) {
    if (is->FileSize > 0) APTS = std::min(APTS, is->FileSize);
  } else if (is->Duration > 0) {
    APTS = std::min(APTS, is->Duration);
  }
  APTS = std::max<int64_t>(APTS, 0);
  {
    std::lock_guard l(is->ReqLock);
    is->SeekReq = true;
    is->SeekPos = APTS;
    is->SeekAny = ASeekFlags.Contains(sfAny);
    is->SeekBytes = ASeekFlags.Contains(sfByte);
    is->SeekShown = false;
    is->ReqCond.notify_all();
  }
  FSeeking = true;
  if (!ASeekFlags.Contains(sfByte)) FCurrentPTS = APTS;
  if (AWaitForSeekEnd) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!is->SeekShown && !is->AbortRequest && std::chrono::steady_clock::now() < until) WaitStep();
  }
  FSeeking = !is->SeekShown;
}

void TCustomPlayer::Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
  int64_t pos = CurrentPTS();
  if (pos < 0) pos = 0;
  Seek(int64_t(pos + ADelta * 1000000), ASeekFlags, AWaitForSeekEnd);
}

std::unique_ptr<TBitmap> TCustomPlayer::CurrentFrame() {
  int64_t pts;
  return CurrentFrame(pts);
}

std::unique_ptr<TBitmap> TCustomPlayer::CurrentFrame(int64_t& APTS) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  APTS = -1;
  std::shared_ptr<TVideoState> is;
  {
    std::lock_guard l(FDataLock);
    is = FVideoState;
  }
  if (!is) return bmp;
  std::lock_guard l(is->ShownLock);
  AVFrame* f = is->Shown;
  if (!f) return bmp;
  SwsContext* sws = SWS.sws_getContext(f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                                       AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
  if (!sws) return bmp;
  bmp->SetSize(f->width, f->height);
  uint8_t* dst[4] = {static_cast<uint8_t*>(bmp->ScanLine(0)), nullptr, nullptr, nullptr};
  int stride[4] = {int(bmp->Stride()), 0, 0, 0};
  if (f->height > 1) stride[0] = int(static_cast<uint8_t*>(bmp->ScanLine(1)) - dst[0]);
  SWS.sws_scale(sws, f->data, f->linesize, 0, f->height, dst, stride);
  SWS.sws_freeContext(sws);
  APTS = int64_t((is->ShownPts - is->StartTime) * 1000000);
  return bmp;
}

void TCustomPlayer::SetFormat(const std::string& AValue) {
  if (!AVLibLoaded()) {
    ReportError("libav or libsdl not loaded.");
    return;
  }
  if (!AValue.empty() && !AVF.av_find_input_format(AValue.c_str()))
    throw Exception(::Format("Unknown input format: %s", AValue));
  FFormat = AValue;
}

void TCustomPlayer::SetAspectRatio(float AValue) {
  FAspectRatio = AValue;
  std::lock_guard l(FDataLock);
  if (!FVideoState) return;
  FVideoState->AspectRatio = AValue;
  // Redone as a resize to the same size: the shown picture is fitted again.
  FVideoState->ResizeW = FVideoState->ScreenW.load();
  FVideoState->ResizeH = FVideoState->ScreenH.load();
  FVideoState->ResizeReq = true;
  std::lock_guard pl(FVideoState->PictLock);
  FVideoState->PictCond.notify_all();
}

void TCustomPlayer::ToggleAudioDisplay() {
  std::lock_guard l(FDataLock);
  if (!FVideoState) return;
  TVideoState* is = FVideoState.get();
  is->show_audio = (is->show_audio + 1) % 3;
  ShowAudio = TShowAudio(is->show_audio.load());
  is->LastAudioDisplay = 0;
}

void TCustomPlayer::SetShowAudio(TShowAudio AValue) {
  ShowAudio = AValue;
  std::lock_guard l(FDataLock);
  if (FVideoState && !DisableDisplay) FVideoState->show_audio = int(AValue);
}

uint32_t TCustomPlayer::ScreenPixel(int32_t X, int32_t Y) const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  if (!FVideoState) return 0;
  TVideoState* is = FVideoState.get();
  std::lock_guard sl(is->ScreenLock);
  SDL_Surface* s = is->Screen;
  if (!s) return 0;
  if (X < 0 || Y < 0 || X >= s->w || Y >= s->h) return 0;
  const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + Y * s->pitch + X * s->format->BytesPerPixel;
  uint32_t v = 0;
  std::memcpy(&v, p, std::min<size_t>(4, s->format->BytesPerPixel));
  Uint8 r, g, b;
  r = Uint8(((v & s->format->Rmask) >> s->format->Rshift) << s->format->Rloss);
  g = Uint8(((v & s->format->Gmask) >> s->format->Gshift) << s->format->Gloss);
  b = Uint8(((v & s->format->Bmask) >> s->format->Bshift) << s->format->Bloss);
  return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

void TCustomPlayer::HostResized(int32_t AWidth, int32_t AHeight) {
  if (AWidth <= 0 || AHeight <= 0) return;
  ScreenWidth = AWidth;
  ScreenHeight = AHeight;
  std::lock_guard l(FDataLock);
  if (!FVideoState) return;
  FVideoState->ResizeW = AWidth;
  FVideoState->ResizeH = AHeight;
  FVideoState->ResizeReq = true;
  std::lock_guard pl(FVideoState->PictLock);
  FVideoState->PictCond.notify_all();
}
