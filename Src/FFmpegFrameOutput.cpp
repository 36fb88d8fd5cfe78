// Frame output: decoded audio resampled, synchronised and encoded frame by frame; decoded
// video synchronised (dropped or duplicated), cropped, scaled and encoded; subtitles encoded.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Src/FFmpegLogger.h"
#include "Src/FFmpegTranscode.h"
#include "base/Format.h"

namespace {

bool IsPackedS16(AVSampleFormat AFmt) { return AFmt == AV_SAMPLE_FMT_S16; }

// MPEG-1/2 video carries no time per picture: its players count pictures at the sequence's
// rate, so a variable-rate time line would play too fast. Such outputs duplicate and drop.
bool ConstantRateOnly(const AVCodecContext* AEnc) {
  return AEnc->codec_id == AV_CODEC_ID_MPEG1VIDEO || AEnc->codec_id == AV_CODEC_ID_MPEG2VIDEO;
}

// Makes AFrame a writable audio frame of ASamples samples in the encoder's layout, reusing
// its buffer while nobody else holds it.
void PrepareAudioFrame(AVFrame*& AFrame, const AVCodecContext* AEnc, int32_t ASamples) {
  if (AFrame && AFrame->nb_samples == ASamples) {
    if (AVUtilStubs.av_frame_make_writable(AFrame) < 0) throw FFmpegException("Out of memory in do_audio_out");
    return;
  }
  if (AFrame) AVUtilStubs.av_frame_free(&AFrame);
  AFrame = AVUtilStubs.av_frame_alloc();
  if (!AFrame) throw FFmpegException("Out of memory in do_audio_out");
  AFrame->format = AEnc->sample_fmt;
  AFrame->sample_rate = AEnc->sample_rate;
  AFrame->nb_samples = ASamples;
  AVUtilStubs.av_channel_layout_copy(&AFrame->ch_layout, &AEnc->ch_layout);
  if (AVUtilStubs.av_frame_get_buffer(AFrame, 0) < 0) throw FFmpegException("Out of memory in do_audio_out");
}

// DV frames carry their audio inside each picture's frame: the muxer ignores time stamps,
// counts samples, and refuses a picture while the one before it still lacks audio. Its audio
// has to start with its video and be timed by the samples it really holds.
bool CountsAudioSamples(const AVFormatContext* AOc) {
  return AOc && AOc->oformat && AOc->oformat->name && std::strcmp(AOc->oformat->name, "dv") == 0;
}

// Queues ASamples samples of silence in the encoder's format, a second at most per write.
void QueueSilence(AVAudioFifo* AFifo, const AVCodecContext* AEnc, int64_t ASamples) {
  const int32_t chunk = static_cast<int32_t>(std::min<int64_t>(ASamples, std::max(AEnc->sample_rate, 1)));
  AVFrame* frame = nullptr;
  PrepareAudioFrame(frame, AEnc, chunk);
  AVUtilStubs.av_samples_set_silence(frame->extended_data, 0, chunk, AEnc->ch_layout.nb_channels, AEnc->sample_fmt);
  bool ok = true;
  for (int64_t left = ASamples; left > 0 && ok;) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(left, chunk));
    ok = AVUtilStubs.av_audio_fifo_write(AFifo, reinterpret_cast<void**>(frame->extended_data), n) >= n;
    left -= n;
  }
  AVUtilStubs.av_frame_free(&frame);
  if (!ok) throw FFmpegException("av_fifo_realloc2() failed");
}

}  // namespace

void TTranscoder::DoAudioOut(TOutputStream& AOst, TInputStream& AIst, const uint8_t* ABuf, int32_t ASize) {
  AVCodecContext* enc = AOst.enc;
  const int32_t ichan = AIst.to_s16_channels, irate = AIst.to_s16_rate;
  const int32_t isize = 2;  // the decoded blocks are packed 16-bit
  const int32_t ochan = enc->ch_layout.nb_channels, orate = enc->sample_rate;
  if (ichan <= 0 || irate <= 0 || ochan <= 0 || orate <= 0 || ASize <= 0) return;
  if (ichan != ochan) AOst.audio_resample = true;
  const bool convert = AOst.audio_resample || !IsPackedS16(enc->sample_fmt);

  if (convert && !AOst.swr) {
    if (AOst.audio_resample && AIst.dec->sample_fmt != AV_SAMPLE_FMT_S16 && E.Fverbose > 0)
      GetFFLogger()->Log(&E, llVerbose, "Warning, using s16 intermediate sample format for resampling");
    AVChannelLayout in{};
    AVUtilStubs.av_channel_layout_default(&in, ichan);
    int r = SwResampleStubs.swr_alloc_set_opts2(&AOst.swr, &enc->ch_layout, enc->sample_fmt, orate, &in,
                                                AV_SAMPLE_FMT_S16, irate, 0, nullptr);
    AVUtilStubs.av_channel_layout_uninit(&in);
    if (r >= 0) {
      // The old resampler's parameters: 16 taps, 10 phase bits, no interpolation, cutoff 0.8.
      AVUtilStubs.av_opt_set_int(AOst.swr, "filter_size", 16, 0);
      AVUtilStubs.av_opt_set_int(AOst.swr, "phase_shift", 10, 0);
      AVUtilStubs.av_opt_set_int(AOst.swr, "linear_interp", 0, 0);
      AVUtilStubs.av_opt_set(AOst.swr, "cutoff", "0.8", 0);
      // A down-mix never exceeds full scale, for float encoders as for 16-bit ones (which the
      // resampler otherwise limits alone): stereo to mono averages the channels.
      AVUtilStubs.av_opt_set(AOst.swr, "rematrix_maxval", "1.0", 0);
      r = SwResampleStubs.swr_init(AOst.swr);
    }
    if (r < 0) {
      SwResampleStubs.swr_free(&AOst.swr);
      if (AOst.audio_resample)
        throw FFmpegException(Format("Can not resample %d channels @ %d Hz to %d channels @ %d Hz", ichan, irate,
                                     ochan, orate));
      throw FFmpegException(Format("Cannot convert %s sample format to %s sample format", "s16",
                                   AVUtilStubs.av_get_sample_fmt_name(enc->sample_fmt)));
    }
  }

  // Synchronisation against the input clock, in samples at the encoder's rate.
  const double sync_ipts = static_cast<double>(AIst.pts - E.Fstart_time) / 1000000.0;
  const int64_t queued = AVUtilStubs.av_audio_fifo_size(AOst.fifo);
  const uint8_t* buf = ABuf;
  int32_t size = ASize;
  if (E.Faudio_sync_method) {
    const double delta = sync_ipts * orate - static_cast<double>(AOst.sync_opts) - static_cast<double>(queued);
    const double idelta = delta * irate / orate;
    const int64_t byte_delta = static_cast<int64_t>(std::trunc(idelta)) * isize * ichan;
    if (std::fabs(delta) > 50) {
      if (AIst.is_start || std::fabs(delta) > E.Faudio_drift_threshold * orate) {
        if (byte_delta < 0) {
          const int32_t drop = static_cast<int32_t>(std::min<int64_t>(-byte_delta, size));
          if (E.Fverbose > 2)
            GetFFLogger()->Log(&E, llVerbose, "discarding %d audio samples", static_cast<int32_t>(std::trunc(-delta)));
          buf += drop;
          size -= drop;
          AIst.is_start = false;
          if (size <= 0) return;
        } else {
          input_tmp.assign(static_cast<size_t>(byte_delta), 0);
          input_tmp.insert(input_tmp.end(), buf, buf + size);
          buf = input_tmp.data();
          size += static_cast<int32_t>(byte_delta);
          AIst.is_start = false;
          if (E.Fverbose > 2)
            GetFFLogger()->Log(&E, llVerbose, "adding %d audio samples of silence", static_cast<int32_t>(std::trunc(delta)));
        }
      } else if (E.Faudio_sync_method > 1) {
        const int32_t comp = static_cast<int32_t>(
            std::clamp<double>(std::trunc(delta), -E.Faudio_sync_method, E.Faudio_sync_method));
        if (!AOst.swr) throw FFmpegException("Audio drift compensation needs a resampler");
        if (E.Fverbose > 2)
          GetFFLogger()->Log(&E, llVerbose, CFormat("compensating audio timestamp drift:%f compensation:%d in:%d", delta,
                                                    comp, orate));
        SwResampleStubs.swr_set_compensation(AOst.swr, comp, orate);
      }
    }
  } else {
    // The first sample this block gives out is preceded by those still in the queue and in the
    // resampler; without the resampler's share every packet would claim a time a little later
    // than its samples (muxers that count samples, such as DV, then run short).
    const bool counted = CountsAudioSamples(E.Foutput_files[static_cast<size_t>(AOst.file_index)]->ctx);
    const int64_t held = AOst.swr ? SwResampleStubs.swr_get_delay(AOst.swr, orate) : 0;
    // A sample-counting muxer takes the input clock once: its rounding (whole milliseconds in
    // ASF) would otherwise stamp packets ahead of their samples, and a picture would be sent
    // before the audio that completes the one before it.
    if (!counted || !AOst.audio_started) AOst.sync_opts = std::llrint(sync_ipts * orate) - queued - held;
    // Audio that starts after the output's start (its video starts there) is led in by silence.
    if (counted && !AOst.audio_started && AOst.sync_opts > 0) {
      if (E.Fverbose > 2)
        GetFFLogger()->Log(&E, llVerbose, "adding %d audio samples of silence", static_cast<int32_t>(AOst.sync_opts));
      QueueSilence(AOst.fifo, enc, AOst.sync_opts);
      AOst.sync_opts = 0;
    }
  }
  AOst.audio_started = true;

  // Conversion into the encoder's format, rate and channels; then the queue.
  const int32_t inSamples = size / (isize * ichan);
  if (convert) {
    const int64_t delay = SwResampleStubs.swr_get_delay(AOst.swr, irate);
    const int32_t cap = static_cast<int32_t>(
        AVUtilStubs.av_rescale_rnd(delay + inSamples, orate, irate, AV_ROUND_UP) + 16 + std::abs(E.Faudio_sync_method));
    const int planar = AVUtilStubs.av_sample_fmt_is_planar(enc->sample_fmt);
    const int planes = planar ? ochan : 1;
    if (cap > AOst.conv_capacity) {
      const int bps = AVUtilStubs.av_get_bytes_per_sample(enc->sample_fmt);
      const size_t planeBytes = static_cast<size_t>(cap) * bps * (planar ? 1 : ochan);
      if (AOst.conv_buf) AVUtilStubs.av_freep(&AOst.conv_buf);
      AOst.conv_buf = static_cast<uint8_t*>(AVUtilStubs.av_malloc(planeBytes * planes));
      if (!AOst.conv_buf) throw FFmpegException("Out of memory in do_audio_out");
      AOst.conv_planes.assign(static_cast<size_t>(planes), nullptr);
      for (int p = 0; p < planes; ++p) AOst.conv_planes[static_cast<size_t>(p)] = AOst.conv_buf + planeBytes * p;
      AOst.conv_capacity = cap;
    }
    const uint8_t* in[1] = {buf};
    const int out = SwResampleStubs.swr_convert(AOst.swr, AOst.conv_planes.data(), AOst.conv_capacity, in, inSamples);
    if (out < 0) {
      if (E.Fexit_on_error) throw FFmpegException("av_audio_convert() failed");
      GetFFLogger()->Log(&E, llError, "av_audio_convert() failed");
      return;
    }
    if (out > 0 &&
        AVUtilStubs.av_audio_fifo_write(AOst.fifo, reinterpret_cast<void**>(AOst.conv_planes.data()), out) < out)
      throw FFmpegException("av_fifo_realloc2() failed");
  } else {
    void* planes[1] = {const_cast<uint8_t*>(buf)};
    if (AVUtilStubs.av_audio_fifo_write(AOst.fifo, planes, inSamples) < inSamples)
      throw FFmpegException("av_fifo_realloc2() failed");
  }

  // Encoding: whole frames from the queue, or everything at once for encoders without framing.
  const bool anySize = enc->frame_size <= 1 || (enc->codec && (enc->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE));
  for (;;) {
    const int32_t have = AVUtilStubs.av_audio_fifo_size(AOst.fifo);
    const int32_t n = anySize ? have : enc->frame_size;
    if (n <= 0 || have < n) break;
    if (E.FBroken && !anySize) break;
    PrepareAudioFrame(AOst.audio_frame, enc, n);
    if (AVUtilStubs.av_audio_fifo_read(AOst.fifo, reinterpret_cast<void**>(AOst.audio_frame->data), n) < n)
      throw FFmpegException("Audio encoding failed");
    AOst.audio_frame->pts = AOst.sync_opts;
    EncodeAndWrite(AOst, AOst.audio_frame);
    AOst.sync_opts += n;
    if (anySize) break;
  }
}

void TTranscoder::FlushAudioQueue(TOutputStream& AOst) {
  AVCodecContext* enc = AOst.enc;
  if (!AOst.fifo) return;
  const int32_t have = AVUtilStubs.av_audio_fifo_size(AOst.fifo);
  if (have <= 0) return;
  const bool shortOk = enc->frame_size <= 1 ||
                       (enc->codec && (enc->codec->capabilities &
                                       (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE)));
  const int32_t n = shortOk ? have : enc->frame_size;
  if (n < have) throw FFmpegException("frame_bytes invalid.");
  PrepareAudioFrame(AOst.audio_frame, enc, n);
  AVUtilStubs.av_audio_fifo_read(AOst.fifo, reinterpret_cast<void**>(AOst.audio_frame->data), have);
  // The encoder that takes only whole frames gets the rest padded with silence.
  if (n > have)
    AVUtilStubs.av_samples_set_silence(AOst.audio_frame->extended_data, have, n - have, enc->ch_layout.nb_channels,
                                       enc->sample_fmt);
  AOst.audio_frame->pts = AOst.sync_opts;
  EncodeAndWrite(AOst, AOst.audio_frame);
  AOst.sync_opts += n;
  // The next frame the queue gives may have another size: start from a fresh one.
  AVUtilStubs.av_frame_free(&AOst.audio_frame);
}

void TTranscoder::DoVideoOut(TOutputStream& AOst, TInputStream& AIst, AVFrame* APicture, int32_t& AFrameSize) {
  AVCodecContext* enc = AOst.enc;
  AFrameSize = 0;
  int64_t nb = 1;
  const double sync_ipts = static_cast<double>(AIst.pts - E.Fstart_time) / 1000000.0;
  const double position = sync_ipts / av_q2d(enc->time_base);
  AVFormatContext* oc = E.Foutput_files[static_cast<size_t>(AOst.file_index)]->ctx;
  if (E.Fvideo_sync_method) {
    const double vdelta = position - static_cast<double>(AOst.sync_opts);
    if (vdelta < -1.1) {
      nb = 0;
    } else if (E.Fvideo_sync_method == 2 ||
               (E.Fvideo_sync_method < 0 && (oc->oformat->flags & AVFMT_VARIABLE_FPS) && !ConstantRateOnly(enc))) {
      if (vdelta <= -0.6)
        nb = 0;
      else if (vdelta > 0.6)
        AOst.sync_opts = std::llrint(position);
    } else if (vdelta > 1.1) {
      nb = std::llrint(vdelta);
    }
    if (nb == 0) {
      ++E.Fnb_frames_drop;
      show_dup_or_drop = true;
      if (E.Fverbose > 2) GetFFLogger()->Log(&E, llVerbose, "*** drop!");
    } else if (nb > 1) {
      E.Fnb_frames_dup += static_cast<int32_t>(nb - 1);
      show_dup_or_drop = true;
      if (E.Fverbose > 2) GetFFLogger()->Log(&E, llVerbose, "*** %d dup!", static_cast<int32_t>(nb - 1));
    }
  } else {
    AOst.sync_opts = std::llrint(position);
  }
  nb = std::min<int64_t>(nb, static_cast<int64_t>(E.Fmax_frames[0]) - AOst.frame_number);
  if (nb <= 0) return;

  // The picture the encoder gets: a reference to the decoded (or filtered) one, cropped by
  // moving its plane pointers, or the scaler's output.
  AVFrame* out = AOst.enc_frame;
  AVUtilStubs.av_frame_unref(out);
  if (AVUtilStubs.av_frame_ref(out, APicture) < 0) throw FFmpegException("av_mallocz fail");
  if (!AOst.graph) {
    const AVPixFmtDescriptor* desc = AVUtilStubs.av_pix_fmt_desc_get(static_cast<AVPixelFormat>(APicture->format));
    int32_t top = AOst.topBand, bottom = AOst.bottomBand, left = AOst.leftBand, right = AOst.rightBand;
    const int32_t cw = APicture->width - left - right, ch = APicture->height - top - bottom;
    if (cw != AOst.resample_width || ch != AOst.resample_height || APicture->format != AOst.resample_pix_fmt) {
      GetFFLogger()->Log(&E, llQuiet, "Input Stream #%d.%d frame size changed to %dx%d, %s", AIst.file_index,
                         AIst.index, APicture->width, APicture->height,
                         AVUtilStubs.av_get_pix_fmt_name(static_cast<AVPixelFormat>(APicture->format)));
      // The bands follow the new size; the output keeps its size through a scaler made now.
      if (AOst.video_crop && AOst.original_width > 0 && AOst.original_height > 0) {
        AOst.topBand = top = (APicture->height * AOst.original_topBand / AOst.original_height) & ~1;
        AOst.bottomBand = bottom = (APicture->height * AOst.original_bottomBand / AOst.original_height) & ~1;
        AOst.leftBand = left = (APicture->width * AOst.original_leftBand / AOst.original_width) & ~1;
        AOst.rightBand = right = (APicture->width * AOst.original_rightBand / AOst.original_width) & ~1;
      }
      const int32_t nw = APicture->width - left - right, nh = APicture->height - top - bottom;
      if (nw <= 0 || nh <= 0 || SwScaleStubs.sws_isSupportedInput(static_cast<AVPixelFormat>(APicture->format)) <= 0)
        throw FFmpegException("Cannot get resampling context");
      AOst.resample_width = nw;
      AOst.resample_height = nh;
      AOst.resample_pix_fmt = APicture->format;
      if (AOst.img_resample_ctx) SwScaleStubs.sws_freeContext(AOst.img_resample_ctx);
      AOst.img_resample_ctx = SwScaleStubs.sws_getContext(nw, nh, static_cast<AVPixelFormat>(APicture->format),
                                                          enc->width, enc->height, enc->pix_fmt,
                                                          static_cast<int>(E.Fsws_flags), nullptr, nullptr, nullptr);
      if (!AOst.img_resample_ctx) throw FFmpegException("Cannot get resampling context");
      if (!AOst.pict_tmp) {
        AOst.pict_tmp = AVUtilStubs.av_frame_alloc();
        if (!AOst.pict_tmp) throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        AOst.pict_tmp->format = enc->pix_fmt;
        AOst.pict_tmp->width = enc->width;
        AOst.pict_tmp->height = enc->height;
        if (AVUtilStubs.av_frame_get_buffer(AOst.pict_tmp, 0) < 0)
          throw FFmpegException("Cannot allocate temp picture, check pix fmt");
      }
      AOst.video_resample = true;
    }
    if ((top | left) != 0 && desc) {
      if (desc->flags & AV_PIX_FMT_FLAG_PAL || desc->flags & AV_PIX_FMT_FLAG_BITSTREAM) {
        const std::string text = "error cropping picture";
        if (E.Fexit_on_error) throw FFmpegException(text);
        GetFFLogger()->Log(&E, llError, text);
        AVUtilStubs.av_frame_unref(out);
        return;
      }
      for (int p = 0; p < 4 && out->data[p]; ++p) {
        const bool chroma = p == 1 || p == 2;
        const int sx = chroma ? desc->log2_chroma_w : 0, sy = chroma ? desc->log2_chroma_h : 0;
        const int step = desc->comp[0].step > 0 && !(desc->flags & AV_PIX_FMT_FLAG_PLANAR) ? desc->comp[0].step : 1;
        const int pixelBytes = (desc->flags & AV_PIX_FMT_FLAG_PLANAR) ? (desc->comp[0].depth + 7) / 8 : step;
        out->data[p] += static_cast<ptrdiff_t>(top >> sy) * out->linesize[p] + static_cast<ptrdiff_t>(left >> sx) * pixelBytes;
      }
    }
    out->width = APicture->width - left - right;
    out->height = APicture->height - top - bottom;
    if (AOst.video_resample) {
      if (AVUtilStubs.av_frame_make_writable(AOst.pict_tmp) < 0) throw FFmpegException("Cannot allocate temp picture, check pix fmt");
      SwScaleStubs.sws_scale(AOst.img_resample_ctx, out->data, out->linesize, 0, out->height, AOst.pict_tmp->data,
                             AOst.pict_tmp->linesize);
      AVUtilStubs.av_frame_unref(out);
      AVUtilStubs.av_frame_ref(out, AOst.pict_tmp);
      out->interlaced_frame = APicture->interlaced_frame;
      out->top_field_first = APicture->top_field_first;
    }
  }
  out->pict_type = AV_PICTURE_TYPE_NONE;
  out->key_frame = 0;
  if (enc->flags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME))
    out->top_field_first = E.Ftop_field_first == -1 ? APicture->top_field_first : E.Ftop_field_first;
  out->quality = E.Fsame_quality ? static_cast<int>(std::lrint(AIst.quality)) : static_cast<int>(std::lrint(enc->global_quality));
  out->sample_aspect_ratio = enc->sample_aspect_ratio;

  for (int64_t i = 0; i < nb; ++i) {
    if (E.FBroken) break;
    if (i > 0 && E.PauseCheckpoint()) break;
    out->pts = AOst.sync_opts;
    AOst.frame_size_written = 0;
    if (EncodeAndWrite(AOst, out) > 0) {
      if (E.FPostHooks[phPreview] || E.FPostHooks[phBitmap]) RunPostHooks(out, AOst);
      AFrameSize = AOst.frame_size_written;
    }
    ++AOst.sync_opts;
    ++AOst.frame_number;
  }
  AVUtilStubs.av_frame_unref(out);
}

void TTranscoder::DoSubtitleOut(TOutputStream& AOst, TInputStream& AIst, AVSubtitle* ASub, int64_t APts) {
  (void)AIst;
  if (APts == AV_NOPTS_VALUE) {
    if (E.Fexit_on_error) throw FFmpegException("Subtitle packets must have a pts");
    GetFFLogger()->Log(&E, llError, "Subtitle packets must have a pts");
    return;
  }
  AVCodecContext* enc = AOst.enc;
  constexpr int kSize = 1024 * 1024;
  std::vector<uint8_t> buffer(kSize);
  const bool dvb = enc->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
  const int rounds = dvb ? 2 : 1;
  const int64_t basePts = AVUtilStubs.av_rescale_q(APts, ist_table[static_cast<size_t>(AOst.source_index)].st->time_base,
                                                   AV_TIME_BASE_Q);
  const unsigned rects = ASub->num_rects;
  for (int i = 0; i < rounds; ++i) {
    ASub->pts = basePts + AVUtilStubs.av_rescale_q(ASub->start_display_time, AVRational{1, 1000}, AV_TIME_BASE_Q);
    ASub->end_display_time -= ASub->start_display_time;
    ASub->start_display_time = 0;
    // The second DVB packet clears the subtitle at its end instead of showing it again.
    if (i == 1) ASub->num_rects = 0;
    const int size = AVCodecStubs.avcodec_encode_subtitle(enc, buffer.data(), kSize, ASub);
    if (i == 1) ASub->num_rects = rects;
    if (size < 0) throw FFmpegException("Subtitle encoding failed");
    if (AVCodecStubs.av_new_packet(out_pkt, size) < 0) throw FFmpegException("Subtitle encoding failed");
    std::memcpy(out_pkt->data, buffer.data(), static_cast<size_t>(size));
    out_pkt->stream_index = AOst.index;
    out_pkt->pts = AVUtilStubs.av_rescale_q(ASub->pts, AV_TIME_BASE_Q, AOst.st->time_base);
    if (dvb) out_pkt->pts += 90 * (i == 0 ? ASub->start_display_time : ASub->end_display_time);
    out_pkt->dts = out_pkt->pts;
    WriteFrame(AOst, out_pkt);
  }
}

void TTranscoder::DoVideoStats(TOutputStream& AOst, int32_t AFrameSize) {
  if (!vstats_file) {
    vstats_file = std::fopen(E.Fvstats_filename.c_str(), "w");
    if (!vstats_file) throw FFmpegException("fopen fail: " + E.Fvstats_filename);
  }
  AVCodecContext* enc = AOst.enc;
  if (enc->codec_type != AVMEDIA_TYPE_VIDEO) return;
  std::string line = CFormat("frame= %5d q= %2.1f ", AOst.frame_number, AOst.last_quality / FF_QP2LAMBDA);
  if (enc->flags & AV_CODEC_FLAG_PSNR)
    line += CFormat("PSNR= %6.2f ", -10.0 * std::log10(static_cast<double>(AOst.last_error[0]) /
                                                        (enc->width * enc->height * 255.0 * 255.0)));
  line += CFormat("f_size= %6d ", AFrameSize);
  const double ti1 = std::max(0.01, AOst.sync_opts * av_q2d(enc->time_base));
  const double bitrate = AFrameSize * 8 / av_q2d(enc->time_base) / 1000.0;
  const double avg = static_cast<double>(E.Fvideo_size) * 8 / ti1 / 1000.0;
  line += CFormat("s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
                  static_cast<double>(E.Fvideo_size) / 1024, ti1, bitrate, avg);
  line += CFormat("type= %c\n", AVUtilStubs.av_get_picture_type_char(static_cast<AVPictureType>(AOst.last_pict_type)));
  std::fputs(line.c_str(), vstats_file);
}
