// Packet decoding and dispatch: one input packet (or the end of an input) to the decoders,
// the decoded frames to every output they feed, stream copies re-timed, and every output
// packet through the bitstream filters to the muxer.
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "Src/FFmpegLogger.h"
#include "Src/FFmpegTranscode.h"
#include "base/Format.h"

void ApplyVolume(int16_t* ASamples, size_t ACount, int32_t AVolume) {
  for (size_t i = 0; i < ACount; ++i) {
    // The arithmetic shift rounds towards minus infinity, as the old code did.
    const int32_t v = (ASamples[i] * AVolume + 128) >> 8;
    ASamples[i] = static_cast<int16_t>(std::clamp(v, -32768, 32767));
  }
}

namespace {

int64_t FrameDurationUs(const TInputStream& AIst, const AVFrame* AFrame) {
  AVRational rate = AIst.dec && AIst.dec->framerate.num ? AIst.dec->framerate : AIst.st->avg_frame_rate;
  if (!rate.num || !rate.den) rate = AIst.st->r_frame_rate;
  if (!rate.num || !rate.den) return 0;
  const int repeat = AFrame ? AFrame->repeat_pict : 0;
  return static_cast<int64_t>(1000000.0 * rate.den / rate.num * (2 + repeat) / 2.0);
}

}  // namespace

int32_t TTranscoder::OutputPacket(TInputStream& AIst, int32_t AIstIndex, const AVPacket* APkt) {
  if (AIst.next_pts == AV_NOPTS_VALUE) AIst.next_pts = AIst.pts;
  if (APkt && APkt->dts != AV_NOPTS_VALUE)
    AIst.next_pts = AIst.pts = AVUtilStubs.av_rescale_q(APkt->dts, AIst.st->time_base, AV_TIME_BASE_Q);
  const AVCodecParameters* par = AIst.st->codecpar;

  if (!AIst.decoding_needed) {
    if (!APkt) return 0;
    AIst.pts = AIst.next_pts;
    if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->frame_size > 0 && par->sample_rate > 0)
      AIst.next_pts += int64_t{1000000} * par->frame_size / par->sample_rate;
    else if (APkt->duration > 0)
      AIst.next_pts += AVUtilStubs.av_rescale_q(APkt->duration, AIst.st->time_base, AV_TIME_BASE_Q);
    else if (par->codec_type == AVMEDIA_TYPE_VIDEO)
      AIst.next_pts += FrameDurationUs(AIst, nullptr);
    if (E.Fstart_time == 0 || AIst.pts >= E.Fstart_time) DispatchCopy(AIst, AIstIndex, APkt);
    return 0;
  }

  int32_t result = 0;
  if (par->codec_type == AVMEDIA_TYPE_SUBTITLE) {
    if (!APkt) return 0;
    AVSubtitle sub{};
    int got = 0;
    AVPacket* work = out_pkt;
    if (AVCodecStubs.av_packet_ref(work, APkt) < 0) return -1;
    const int r = AVCodecStubs.avcodec_decode_subtitle2(AIst.dec, &sub, &got, work);
    AVCodecStubs.av_packet_unref(work);
    if (r < 0) return -1;
    AIst.pts = AIst.next_pts;
    if (got) {
      if (E.Fstart_time == 0 || AIst.pts >= E.Fstart_time)
        for (TOutputStream& ost : ost_table)
          if (ost.source_index == AIstIndex && ost.encoding_needed) DoSubtitleOut(ost, AIst, &sub, APkt->pts);
      AVCodecStubs.avsubtitle_free(&sub);
    }
    DispatchCopy(AIst, AIstIndex, APkt);
    return 0;
  }
  if (par->codec_type != AVMEDIA_TYPE_AUDIO && par->codec_type != AVMEDIA_TYPE_VIDEO) return -1;

  int r = AVCodecStubs.avcodec_send_packet(AIst.dec, APkt);
  if (r < 0 && r != AVERROR_EOF) result = -1;
  int32_t frames = 0;
  for (;;) {
    r = AVCodecStubs.avcodec_receive_frame(AIst.dec, decoded);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
    if (r < 0) {
      result = -1;
      break;
    }
    if (++frames == 2 && APkt && ((!AIst.showed_multi_packet_warning && E.Fverbose > 0) || E.Fverbose > 1)) {
      GetFFLogger()->Log(&E, llError, "Multiple frames in a packet from stream %d", APkt->stream_index);
      AIst.showed_multi_packet_warning = true;
    }
    DispatchFrame(AIst, AIstIndex, decoded, APkt);
    AVUtilStubs.av_frame_unref(decoded);
  }
  // A stream that is decoded may also feed copies; the drain has no packet for them.
  if (APkt) DispatchCopy(AIst, AIstIndex, APkt);
  if (!APkt) DrainEncoders(AIstIndex);
  return result;
}

void TTranscoder::DispatchFrame(TInputStream& AIst, int32_t AIstIndex, AVFrame* AFrame, const AVPacket* APkt) {
  const AVMediaType type = AIst.st->codecpar->codec_type;
  // The stream clock: the frame's own time where it has one, else the running clock.
  const int64_t ts = AFrame->best_effort_timestamp;
  AIst.pts = ts != AV_NOPTS_VALUE ? AVUtilStubs.av_rescale_q(ts, AIst.st->time_base, AV_TIME_BASE_Q) : AIst.next_pts;
  if (type == AVMEDIA_TYPE_AUDIO) {
    const int rate = AFrame->sample_rate > 0 ? AFrame->sample_rate : AIst.dec->sample_rate;
    const int channels = AFrame->ch_layout.nb_channels > 0 ? AFrame->ch_layout.nb_channels : AIst.dec->ch_layout.nb_channels;
    if (rate <= 0 || channels <= 0) return;
    AIst.next_pts = AIst.pts + int64_t{1000000} * AFrame->nb_samples / rate;
    // Every decoded block becomes packed 16-bit samples, the shape the volume and sync work on.
    const size_t bytes = static_cast<size_t>(AFrame->nb_samples) * static_cast<size_t>(S16FrameBytes(channels));
    if (samples.size() < bytes + 64 * static_cast<size_t>(S16FrameBytes(channels)))
      samples.resize(bytes + 64 * static_cast<size_t>(S16FrameBytes(channels)));
    int32_t outSamples = AFrame->nb_samples;
    if (AFrame->format == AV_SAMPLE_FMT_S16) {
      std::memcpy(samples.data(), AFrame->extended_data[0], bytes);
    } else {
      if (!AIst.to_s16 || AIst.to_s16_format != AFrame->format || AIst.to_s16_rate != rate ||
          AIst.to_s16_channels != channels) {
        if (AIst.to_s16) SwResampleStubs.swr_free(&AIst.to_s16);
        AVChannelLayout layout{};
        if (AFrame->ch_layout.nb_channels > 0)
          AVUtilStubs.av_channel_layout_copy(&layout, &AFrame->ch_layout);
        else
          AVUtilStubs.av_channel_layout_default(&layout, channels);
        const int sr = SwResampleStubs.swr_alloc_set_opts2(&AIst.to_s16, &layout, AV_SAMPLE_FMT_S16, rate, &layout,
                                                           static_cast<AVSampleFormat>(AFrame->format), rate, 0, nullptr);
        AVUtilStubs.av_channel_layout_uninit(&layout);
        if (sr < 0 || SwResampleStubs.swr_init(AIst.to_s16) < 0) {
          SwResampleStubs.swr_free(&AIst.to_s16);
          throw FFmpegException(Format("Cannot convert %s sample format to %s sample format",
                                       AVUtilStubs.av_get_sample_fmt_name(static_cast<AVSampleFormat>(AFrame->format)),
                                       "s16"));
        }
        AIst.to_s16_format = AFrame->format;
      }
      uint8_t* out[1] = {samples.data()};
      outSamples = SwResampleStubs.swr_convert(AIst.to_s16, out, AFrame->nb_samples + 64,
                                               const_cast<const uint8_t**>(AFrame->extended_data), AFrame->nb_samples);
      if (outSamples < 0) return;
    }
    AIst.to_s16_rate = rate;
    AIst.to_s16_channels = channels;
    const int32_t size = outSamples * S16FrameBytes(channels);
    if (E.Faudio_volume != 256)
      ApplyVolume(reinterpret_cast<int16_t*>(samples.data()), static_cast<size_t>(outSamples) * channels, E.Faudio_volume);
    if (E.Frate_emu) {
      const int64_t lead = AIst.pts - (AVUtilStubs.av_gettime() - AIst.start);
      if (lead > 1000) std::this_thread::sleep_for(std::chrono::milliseconds(lead / 1000));
    }
    if (E.Fstart_time != 0 && AIst.pts < E.Fstart_time) return;
    for (TOutputStream& ost : ost_table)
      if (ost.source_index == AIstIndex && ost.encoding_needed) DoAudioOut(ost, AIst, samples.data(), size);
    return;
  }

  // Video.
  AIst.next_pts = AIst.pts + FrameDurationUs(AIst, AFrame);
  AIst.quality = static_cast<float>(AFrame->quality);
  AVFrame* picture = PreProcessVideoFrame(AIst, AFrame);
  if (E.Frate_emu) {
    const int64_t lead = AIst.pts - (AVUtilStubs.av_gettime() - AIst.start);
    if (lead > 1000) std::this_thread::sleep_for(std::chrono::milliseconds(lead / 1000));
  }
  if (E.Fstart_time != 0 && AIst.pts < E.Fstart_time) return;
  const int64_t inputPts = AIst.pts;
  for (TOutputStream& ost : ost_table) {
    if (ost.source_index != AIstIndex || !ost.encoding_needed) continue;
    int32_t frameSize = 0;
    if (ost.graph) {
      // A picture of another geometry than the graph was made for gets a new graph that
      // keeps the encoder's size.
      if (picture->width != ost.graph->in_width || picture->height != ost.graph->in_height ||
          picture->format != ost.graph->in_format) {
        GetFFLogger()->Log(&E, llInfo, "Input Stream #%d.%d frame size changed to %dx%d, %s", AIst.file_index,
                           AIst.index, picture->width, picture->height,
                           AVUtilStubs.av_get_pix_fmt_name(static_cast<AVPixelFormat>(picture->format)));
        auto fresh = std::make_unique<TVideoFilterGraph>();
        fresh->pad_width = ost.graph->pad_width;
        fresh->pad_height = ost.graph->pad_height;
        AVCodecContext probe{};
        probe.width = picture->width;
        probe.height = picture->height;
        probe.pix_fmt = static_cast<AVPixelFormat>(picture->format);
        probe.sample_aspect_ratio = picture->sample_aspect_ratio;
        const int32_t w = ost.enc->width, h = ost.enc->height;
        if (fresh->Configure(&probe, ost.enc, E.Fframe_topBand, E.Fframe_bottomBand, E.Fframe_leftBand,
                             E.Fframe_rightBand, E.Fsws_flags, E.Fvfilters, true) < 0 ||
            ost.enc->width != w || ost.enc->height != h) {
          ost.enc->width = w;
          ost.enc->height = h;
          throw FFmpegException("Error opening filters!");
        }
        ost.graph = std::move(fresh);
      }
      if (ost.graph->Push(picture, inputPts) < 0) throw FFmpegException("Error while filtering the picture");
      AVFrame* filtered = hook_frame_filtered();
      int64_t pts = 0;
      while (!E.FBroken && ost.graph->Pull(filtered, pts)) {
        AIst.pts = pts;
        DoVideoOut(ost, AIst, filtered, frameSize);
        AVUtilStubs.av_frame_unref(filtered);
        if (!E.Fvstats_filename.empty() && frameSize) DoVideoStats(ost, frameSize);
      }
      AVUtilStubs.av_frame_unref(filtered);
      AIst.pts = inputPts;
    } else {
      DoVideoOut(ost, AIst, picture, frameSize);
      if (!E.Fvstats_filename.empty() && frameSize) DoVideoStats(ost, frameSize);
    }
  }
  (void)APkt;
}

void TTranscoder::DispatchCopy(TInputStream& AIst, int32_t AIstIndex, const AVPacket* APkt) {
  for (TOutputStream& ost : ost_table) {
    if (ost.source_index != AIstIndex || !ost.stream_copy) continue;
    if (E.FJoinMode && ost.file_index != AIst.file_index) continue;
    const AVRational otb = ost.st->time_base;
    const int64_t start = AVUtilStubs.av_rescale_q(E.Fstart_time, AV_TIME_BASE_Q, otb);
    if (ost.frame_number == 0 && !(APkt->flags & AV_PKT_FLAG_KEY) && !E.Fcopy_initial_nonkeyframes) continue;
    if (AIst.st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
      E.Faudio_size += APkt->size;
    } else if (AIst.st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      E.Fvideo_size += APkt->size;
      ++ost.sync_opts;
    }
    if (AVCodecStubs.av_packet_ref(out_pkt, APkt) < 0) throw FFmpegException("av_mallocz fail");
    out_pkt->stream_index = ost.index;
    const AVRational itb = AIst.st->time_base;
    out_pkt->pts = APkt->pts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : AVUtilStubs.av_rescale_q(APkt->pts, itb, otb) - start;
    out_pkt->dts = (APkt->dts == AV_NOPTS_VALUE ? AVUtilStubs.av_rescale_q(AIst.pts, AV_TIME_BASE_Q, otb)
                                                : AVUtilStubs.av_rescale_q(APkt->dts, itb, otb)) -
                   start;
    out_pkt->duration = AVUtilStubs.av_rescale_q(APkt->duration, itb, otb);
    out_pkt->pos = -1;
    WriteFrame(ost, out_pkt);
    ++ost.frame_number;
  }
}

void TTranscoder::DrainEncoders(int32_t AIstIndex) {
  for (TOutputStream& ost : ost_table) {
    if (ost.source_index != AIstIndex || !ost.encoding_needed || !ost.enc || ost.encoder_flushed) continue;
    // In join mode an encoder goes on with the next input; it is drained at the very end.
    if (E.FJoinMode && ost.file_index < E.Fnb_output_files - 1) continue;
    switch (ost.enc->codec_type) {
      case AVMEDIA_TYPE_AUDIO:
        FlushAudioQueue(ost);
        EncodeAndWrite(ost, nullptr);
        break;
      case AVMEDIA_TYPE_VIDEO:
        if (ost.graph) {
          ost.graph->Push(nullptr, 0);
          AVFrame* filtered = hook_frame_filtered();
          int64_t pts = 0;
          TInputStream& ist = ist_table[static_cast<size_t>(AIstIndex)];
          int32_t frameSize = 0;
          while (ost.graph->Pull(filtered, pts)) {
            ist.pts = pts;
            DoVideoOut(ost, ist, filtered, frameSize);
            AVUtilStubs.av_frame_unref(filtered);
          }
        }
        EncodeAndWrite(ost, nullptr);
        break;
      default:
        break;
    }
    ost.encoder_flushed = true;
  }
}

int32_t TTranscoder::EncodeAndWrite(TOutputStream& AOst, AVFrame* AFrame) {
  AVCodecContext* enc = AOst.enc;
  const bool video = enc->codec_type == AVMEDIA_TYPE_VIDEO;
  const char* failure = video ? "Video encoding failed" : "Audio encoding failed";
  int r = AVCodecStubs.avcodec_send_frame(enc, AFrame);
  if (r == AVERROR_EOF && !AFrame) return 0;
  if (r < 0) throw FFmpegException(AVErrorText(failure, r));
  int32_t count = 0;
  for (;;) {
    r = AVCodecStubs.avcodec_receive_packet(enc, out_pkt);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
    if (r < 0) throw FFmpegException(AVErrorText(failure, r));
    ++count;
    if (video) {
      E.Fvideo_size += out_pkt->size;
      AOst.last_pts = out_pkt->pts;
      size_t sdSize = 0;
      if (const uint8_t* sd = AVCodecStubs.av_packet_get_side_data(out_pkt, AV_PKT_DATA_QUALITY_STATS, &sdSize);
          sd && sdSize >= 6) {
        int32_t q = 0;
        std::memcpy(&q, sd, 4);
        AOst.last_quality = static_cast<float>(q);
        AOst.last_pict_type = sd[4];
        const int errCount = sd[5];
        for (int i = 0; i < errCount && i < 4 && sdSize >= static_cast<size_t>(8 + 8 * (i + 1)); ++i)
          std::memcpy(&AOst.last_error[i], sd + 8 + 8 * i, 8);
      }
      if (AOst.logfile && enc->stats_out) std::fputs(enc->stats_out, AOst.logfile);
    } else {
      E.Faudio_size += out_pkt->size;
    }
    out_pkt->stream_index = AOst.index;
    AVCodecStubs.av_packet_rescale_ts(out_pkt, enc->time_base, AOst.st->time_base);
    AOst.frame_size_written = out_pkt->size;
    WriteFrame(AOst, out_pkt);
  }
  return count;
}

void TTranscoder::WriteFrame(TOutputStream& AOst, AVPacket* APkt) {
  AVFormatContext* oc = E.Foutput_files[static_cast<size_t>(AOst.file_index)]->ctx;
  auto write = [&](AVPacket* p) {
    // A time stamp that does not move forward (an input clock that jumped back, or two
    // encoder times rounding to one tick of a coarse stream time base) would make the muxer
    // refuse the packet and end the run: it goes one tick after the last one instead.
    if (p->dts != AV_NOPTS_VALUE && AOst.last_dts != AV_NOPTS_VALUE && p->dts <= AOst.last_dts) {
      const int64_t shift = AOst.last_dts + 1 - p->dts;
      p->dts += shift;
      if (p->pts != AV_NOPTS_VALUE) p->pts = std::max(p->pts + shift, p->dts);
    }
    if (p->dts != AV_NOPTS_VALUE) AOst.last_dts = p->dts;
    if (p->dts != AV_NOPTS_VALUE)
      AOst.cur_dts = p->dts + p->duration;
    else if (p->pts != AV_NOPTS_VALUE)
      AOst.cur_dts = p->pts + p->duration;
    const int r = AVFormatStubs.av_interleaved_write_frame(oc, p);
    AVCodecStubs.av_packet_unref(p);
    if (r < 0) throw FFmpegException(AVErrorText("av_interleaved_write_frame()", r));
  };
  if (AOst.bsfs.empty()) {
    write(APkt);
    return;
  }
  // Each filter may turn one packet into none or several.
  std::vector<AVPacket*> current{AVCodecStubs.av_packet_alloc()};
  AVCodecStubs.av_packet_ref(current[0], APkt);
  AVCodecStubs.av_packet_unref(APkt);
  for (size_t i = 0; i < AOst.bsfs.size(); ++i) {
    AVBSFContext* bsf = AOst.bsfs[i];
    std::vector<AVPacket*> next;
    for (AVPacket* p : current) {
      AVPacket* keep = AVCodecStubs.av_packet_alloc();
      AVCodecStubs.av_packet_ref(keep, p);
      int r = AVCodecStubs.av_bsf_send_packet(bsf, p);
      for (; r >= 0;) {
        AVPacket* o = AVCodecStubs.av_packet_alloc();
        r = AVCodecStubs.av_bsf_receive_packet(bsf, o);
        if (r < 0) {
          AVCodecStubs.av_packet_free(&o);
          break;
        }
        next.push_back(o);
      }
      if (r < 0 && r != AVERROR(EAGAIN) && r != AVERROR_EOF) {
        const std::string text =
            AVErrorText(Format("%s failed for stream %d, codec %s", bsf->filter->name, keep->stream_index,
                               AOst.stream_copy || !AOst.enc || !AOst.enc->codec ? "copy" : AOst.enc->codec->name),
                        r);
        if (E.Fexit_on_error) {
          AVCodecStubs.av_packet_free(&keep);
          for (AVPacket*& q : current) AVCodecStubs.av_packet_free(&q);
          for (AVPacket*& q : next) AVCodecStubs.av_packet_free(&q);
          throw FFmpegException(text);
        }
        GetFFLogger()->Log(&E, llError, text);
        next.push_back(keep);
        keep = nullptr;
      }
      AVCodecStubs.av_packet_free(&keep);
    }
    for (AVPacket*& q : current) AVCodecStubs.av_packet_free(&q);
    current = std::move(next);
  }
  try {
    for (AVPacket* p : current) write(p);
  } catch (...) {
    for (AVPacket*& q : current) AVCodecStubs.av_packet_free(&q);
    throw;
  }
  for (AVPacket*& q : current) AVCodecStubs.av_packet_free(&q);
}
