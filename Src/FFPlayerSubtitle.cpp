// Bitmap subtitles: the subtitle thread that decodes them into the queue the play thread
// shows them from, their palette turned from RGBA into YUVA, switching the stream, and the
// rectangles blended into the shown picture. Text subtitles are decoded but not shown.
#include <algorithm>
#include <cstdint>

#include "Src/FFPlayerState.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"

namespace ffplayer {

uint32_t RGBAToYUVA(uint32_t AColor) {
  // ITU-R BT.601 studio range in 10-bit fixed point; the shifts of the signed sums are
  // arithmetic, which keeps u and v within 16..240.
  const int a = int(AColor >> 24), r = int(AColor >> 16 & 255), g = int(AColor >> 8 & 255), b = int(AColor & 255);
  const int y = (263 * r + 517 * g + 101 * b + 16896) >> 10;
  const int u = ((-152 * r - 298 * g + 450 * b + 511) >> 10) + 128;
  const int v = ((450 * r - 377 * g - 74 * b + 511) >> 10) + 128;
  return uint32_t(a) << 24 | uint32_t(y) << 16 | uint32_t(u) << 8 | uint32_t(v);
}

void BlendSubtitleRect(uint8_t* const APlanes[3], const int ALinesizes[3], const AVSubtitleRect* ARect, int AWidth,
                       int AHeight) {
  if (!ARect || !ARect->data[0] || !ARect->data[1] || AWidth <= 0 || AHeight <= 0) return;
  // A rectangle larger than the picture is cut to it; one partly outside is moved inside.
  const int w = std::clamp(ARect->w, 0, AWidth), h = std::clamp(ARect->h, 0, AHeight);
  const int x0 = std::clamp(ARect->x, 0, AWidth - w), y0 = std::clamp(ARect->y, 0, AHeight - h);
  if (w == 0 || h == 0) return;
  const auto* pal = reinterpret_cast<const uint32_t*>(ARect->data[1]);
  const int colours = std::max(ARect->nb_colors, 0);
  auto colourAt = [&](int lx, int ly) -> uint32_t {
    const int idx = ARect->data[0][(ly - y0) * ARect->linesize[0] + (lx - x0)];
    return idx < colours ? pal[idx] : 0;  // an index past the palette: transparent
  };
  // 2x2 blocks on the chroma grid; a block at an odd edge covers fewer luma samples.
  for (int cy = y0 / 2; cy <= (y0 + h - 1) / 2; ++cy) {
    for (int cx = x0 / 2; cx <= (x0 + w - 1) / 2; ++cx) {
      int n = 0, A = 0, U = 0, V = 0;
      for (int ly = 2 * cy; ly < 2 * cy + 2; ++ly) {
        if (ly < y0 || ly >= y0 + h) continue;
        for (int lx = 2 * cx; lx < 2 * cx + 2; ++lx) {
          if (lx < x0 || lx >= x0 + w) continue;
          const uint32_t c = colourAt(lx, ly);
          const int a = int(c >> 24);
          uint8_t& Y = APlanes[0][ly * ALinesizes[0] + lx];
          Y = uint8_t((Y * (255 - a) + int(c >> 16 & 255) * a) / 255);
          A += a;
          U += int(c >> 8 & 255);
          V += int(c & 255);
          ++n;
        }
      }
      if (n == 0) continue;
      const int s = n == 1 ? 0 : n == 2 ? 1 : 2;
      const int a4 = A >> 2;
      uint8_t& Cb = APlanes[1][cy * ALinesizes[1] + cx];
      uint8_t& Cr = APlanes[2][cy * ALinesizes[2] + cx];
      Cb = uint8_t((Cb * (1 << s) * (255 - a4) + U * a4) / (255 << s));
      Cr = uint8_t((Cr * (1 << s) * (255 - a4) + V * a4) / (255 << s));
    }
  }
}

namespace {

void FreeSlot(TSubtitleSlot& ASlot) { AVC.avsubtitle_free(&ASlot.Sub); }

void SubtitleThread(TVideoState* is) {
  AVCodecContext* dec = is->SubtitleDec;
  const AVRational tb = is->subtitle_st->time_base;
  int serial = -1;
  for (;;) {
    AVPacket* pkt = nullptr;
    int pktSerial = 0;
    if (is->subtitleq.Get(pkt, pktSerial, true) < 0) break;
    if (!pkt) continue;  // the end of the file: a subtitle decoder holds nothing back
    if (pktSerial != serial) {
      AVC.avcodec_flush_buffers(dec);
      serial = pktSerial;
    }
    {
      std::unique_lock l(is->SubLock);
      is->SubCond.wait(l, [&] { return is->AbortRequest || is->SubtitleStop || is->subpq.size() < SubQueueSize; });
      if (is->AbortRequest || is->SubtitleStop) {
        AVC.av_packet_free(&pkt);
        break;
      }
    }
    TSubtitleSlot slot;
    slot.Pts = pkt->pts == AV_NOPTS_VALUE ? 0 : pkt->pts * av_q2d(tb);
    slot.Serial = serial;
    int got = 0;
    const int r = AVC.avcodec_decode_subtitle2(dec, &slot.Sub, &got, pkt);
    AVC.av_packet_free(&pkt);
    if (r < 0 || !got) continue;  // a damaged packet: go on
    if (slot.Sub.format != 0) {
      if (!is->TextSubtitleLogged.exchange(true))
        GetFFLogger()->Log(is->Owner, llInfo, "the subtitle stream %d holds text subtitles, which are not shown",
                           is->SubtitleStream.load());
      FreeSlot(slot);
      continue;
    }
    for (unsigned i = 0; i < slot.Sub.num_rects; ++i) {
      AVSubtitleRect* rect = slot.Sub.rects[i];
      if (rect->type != SUBTITLE_BITMAP || !rect->data[1]) continue;
      auto* pal = reinterpret_cast<uint32_t*>(rect->data[1]);
      for (int c = 0; c < rect->nb_colors; ++c) pal[c] = RGBAToYUVA(pal[c]);
    }
    {
      std::lock_guard l(is->SubLock);
      is->subpq.push_back(slot);
    }
    is->SubtitleRedraw = true;
    std::lock_guard l(is->PictLock);
    is->PictCond.notify_all();
  }
}

}  // namespace

void StartSubtitles(TVideoState* is) {
  if (is->SubtitleStream < 0 || !is->SubtitleDec || is->AbortRequest) return;
  is->SubtitleStop = false;
  is->SubtitleThread = std::thread([is] { SubtitleThread(is); });
}

void StopSubtitles(TVideoState* is) {
  is->SubtitleStop = true;
  is->subtitleq.SetAbort();
  {
    std::lock_guard l(is->SubLock);
    is->SubCond.notify_all();
    is->SubtitleStreamChanged = true;
  }
  if (is->SubtitleThread.joinable()) is->SubtitleThread.join();
  {
    std::lock_guard l(CodecLock());
    if (is->SubtitleDec) AVC.avcodec_free_context(&is->SubtitleDec);
  }
  is->subtitle_st = nullptr;
  is->SubtitleStream = -1;
  is->SubtitleRedraw = true;
  std::lock_guard l(is->PictLock);
  is->PictCond.notify_all();
}

void SwitchSubtitleStream(TVideoState* is, int AIndex) {
  StopSubtitles(is);
  is->subtitleq.Restart();
  if (AIndex < 0) return;
  AVStream* st = is->ic->streams[AIndex];
  const AVCodec* codec = AVC.avcodec_find_decoder(st->codecpar->codec_id);
  AVCodecContext* dec = nullptr;
  {
    std::lock_guard l(CodecLock());
    if (codec) dec = AVC.avcodec_alloc_context3(codec);
    const bool made = dec && AVC.avcodec_parameters_to_context(dec, st->codecpar) >= 0;
    if (dec) dec->pkt_timebase = st->time_base;
    if (!made || AVC.avcodec_open2(dec, codec, nullptr) < 0) {
      AVC.avcodec_free_context(&dec);
      GetFFLogger()->Log(is->Owner, llError, "could not open the subtitle stream %d", AIndex);
      return;
    }
  }
  is->SubtitleDec = dec;
  is->subtitle_st = st;
  is->SubtitleStream = AIndex;
  StartSubtitles(is);
}

void ExpireSubtitles(TVideoState* is, double APts) {
  const int serial = is->subtitleq.CurSerial();
  std::lock_guard l(is->SubLock);
  bool freed = false;
  if (is->SubtitleStreamChanged) {
    for (auto& s : is->subpq) FreeSlot(s);
    is->subpq.clear();
    is->SubtitleStreamChanged = false;
    freed = true;
  }
  // The first ends at its end time, or once the next one has begun; subtitles from before a
  // seek or a switch go at once.
  while (!is->subpq.empty()) {
    TSubtitleSlot& cur = is->subpq.front();
    const bool expired = cur.Serial != serial || cur.Pts + cur.Sub.end_display_time / 1000.0 < APts ||
                         (is->subpq.size() > 1 &&
                          is->subpq[1].Pts + is->subpq[1].Sub.start_display_time / 1000.0 < APts);
    if (!expired) break;
    FreeSlot(cur);
    is->subpq.pop_front();
    freed = true;
  }
  if (freed) is->SubCond.notify_all();
}

void BlendSubtitle(TVideoState* is, SDL_Overlay* AOverlay, double APts) {
  const int serial = is->subtitleq.CurSerial();
  std::lock_guard l(is->SubLock);
  if (is->SubtitleStreamChanged || is->subpq.empty()) return;
  const TSubtitleSlot& s = is->subpq.front();
  if (s.Serial != serial || APts < s.Pts + s.Sub.start_display_time / 1000.0 ||
      APts > s.Pts + s.Sub.end_display_time / 1000.0)
    return;
  // YV12 keeps V before U.
  uint8_t* const planes[3] = {AOverlay->pixels[0], AOverlay->pixels[2], AOverlay->pixels[1]};
  const int linesizes[3] = {AOverlay->pitches[0], AOverlay->pitches[2], AOverlay->pitches[1]};
  for (unsigned i = 0; i < s.Sub.num_rects; ++i)
    if (s.Sub.rects[i]->type == SUBTITLE_BITMAP)
      BlendSubtitleRect(planes, linesizes, s.Sub.rects[i], AOverlay->w, AOverlay->h);
}

}  // namespace ffplayer
