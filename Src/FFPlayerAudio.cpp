// Audio: the decoder drained by SDL's audio callback, the conversion to the device's packed
// 16-bit samples, volume and mute, the audio clock, and switching to another audio stream.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Src/FFPlayerState.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/MyUtils.h"

namespace ffplayer {

namespace {

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

}  // namespace

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

}  // namespace ffplayer
