// Drawing on SDL's screen (play thread): the picture as a YV12 overlay fitted into the display
// area keeping its aspect, and the audio display (wave or scrolling spectrum) of a file
// without video.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Src/FFPlayerState.h"

namespace ffplayer {

namespace {

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

}  // namespace

void DisplayPicture(TVideoState* is, AVFrame* f, double APts) {
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
  BlendSubtitle(is, ov, APts);
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

}  // namespace ffplayer
