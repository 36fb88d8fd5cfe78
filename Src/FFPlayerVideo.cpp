// Video decoding: the decoder, the filter graph that brings every picture to YUV420P (with the
// host's filters and the vertical flip), the drawing hook, and the queue of pictures to show.
#include <climits>
#include <cmath>
#include <cstring>

#include "Src/FFPlayerState.h"
#include "Src/FFmpegLogger.h"
#include "base/Format.h"
#include "classlib/Graphics.h"

namespace ffplayer {

namespace {

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
void CallHook(TVideoState* is, AVFrame* f, double APts, std::unique_ptr<TBitmap>& ABmp, TBGRARows& ARows) {
  if (AVU.av_frame_make_writable(f) < 0) return;
  if (!ABmp) {
    ABmp = std::make_unique<TBitmap>();
    ABmp->SetPixelFormat(pf32bit);
  }
  SwsContext* to = SWS.sws_getContext(f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                                      AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
  if (!to) {
    GetFFLogger()->Log(is->Owner, llError, "Cannot initialize the toRGB conversion context");
    return;
  }
  if (!ARows.Layout(f->width, f->height)) {
    SWS.sws_freeContext(to);
    return;
  }
  SWS.sws_scale(to, f->data, f->linesize, 0, f->height, ARows.Data, ARows.Linesize);
  SWS.sws_freeContext(to);
  ABmp->SetSize(f->width, f->height);
  const size_t rowBytes = size_t(f->width) * 4;
  for (int y = 0; y < f->height; ++y) std::memcpy(ABmp->ScanLine(y), ARows.Data[0] + y * ARows.Linesize[0], rowBytes);
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
  for (int y = 0; y < f->height; ++y) std::memcpy(ARows.Data[0] + y * ARows.Linesize[0], ABmp->ScanLine(y), rowBytes);
  SWS.sws_scale(from, ARows.Data, ARows.Linesize, 0, f->height, f->data, f->linesize);
  SWS.sws_freeContext(from);
}

}  // namespace

bool TBGRARows::Layout(int AWidth, int AHeight) {
  if (AWidth <= 0 || AHeight <= 0 || AWidth > INT32_MAX - 63) return false;
  const int padded = (AWidth + 63) / 64 * 64;
  const int size = AVU.av_image_get_buffer_size(AV_PIX_FMT_BGRA, padded, AHeight, 64);
  if (size <= 0 || size > INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE) return false;
  Buf.resize(size_t(size) + AV_INPUT_BUFFER_PADDING_SIZE);
  return AVU.av_image_fill_arrays(Data, Linesize, Buf.data(), AV_PIX_FMT_BGRA, padded, AHeight, 64) >= 0;
}

bool FrameToBitmap(const AVFrame* f, TBitmap* ABmp, TBGRARows& ARows) {
  SwsContext* sws = SWS.sws_getContext(f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                                       AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
  if (!sws) return false;
  const bool laid = ARows.Layout(f->width, f->height);
  if (laid) SWS.sws_scale(sws, f->data, f->linesize, 0, f->height, ARows.Data, ARows.Linesize);
  SWS.sws_freeContext(sws);
  if (!laid) return false;
  ABmp->SetSize(f->width, f->height);
  for (int y = 0; y < f->height; ++y)
    std::memcpy(ABmp->ScanLine(y), ARows.Data[0] + y * ARows.Linesize[0], size_t(f->width) * 4);
  return true;
}

void VideoThread(std::shared_ptr<TVideoState> is) {
  std::unique_ptr<TBitmap> hookBmp;
  TBGRARows hookRows;
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
      if (is->HookFn) CallHook(is.get(), filt, fpts, hookBmp, hookRows);
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

}  // namespace ffplayer
