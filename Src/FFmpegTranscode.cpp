// The run's packet loop: input choice, time-stamp adjustment, the recording-time and size
// limits, join mode, and the end of the run (drain, trailers, last report, closing).
#include <chrono>
#include <cmath>
#include <thread>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegTranscode.h"
#include "base/Format.h"

void TCustomFFmpeg::Transcode() {
  TTranscoder run(*this);
  run.Run();
}

void TTranscoder::Run() {
  E.Fvideo_size = E.Faudio_size = E.Fextra_size = 0;
  E.Fnb_frames_dup = E.Fnb_frames_drop = 0;
  no_packet.assign(static_cast<size_t>(E.FMaxFiles), false);
  no_packet_count = 0;
  decoded = AVUtilStubs.av_frame_alloc();
  filtered = AVUtilStubs.av_frame_alloc();
  out_pkt = AVCodecStubs.av_packet_alloc();
  if (!decoded || !filtered || !out_pkt) throw FFmpegException("av_mallocz fail");

  BuildInputTables();
  BuildOutputTables();
  OpenEncoders();
  OpenDecoders();
  InitInputPts();
  CopyMetadataMaps();
  CopyAllChapters();
  E.OpenOutputDescriptors();
  WriteHeaders();
  DumpStreamMapping();

  timer_start = AVUtilStubs.av_gettime();
  last_report = timer_start;
  Loop();
  End();
}

namespace {

void ClearNoPacket(std::vector<bool>& ANoPacket, int32_t& ACount) {
  std::fill(ANoPacket.begin(), ANoPacket.end(), false);
  ACount = 0;
}

int32_t TypeSlot(AVMediaType AType) {
  switch (AType) {
    case AVMEDIA_TYPE_VIDEO: return 0;
    case AVMEDIA_TYPE_AUDIO: return 1;
    case AVMEDIA_TYPE_SUBTITLE: return 3;
    default: return 2;
  }
}

}  // namespace

void TTranscoder::Loop() {
  struct PacketGuard {
    AVPacket* p = AVCodecStubs.av_packet_alloc();
    ~PacketGuard() { AVCodecStubs.av_packet_free(&p); }
  } guard;
  AVPacket* pkt = guard.p;
  if (!pkt) throw FFmpegException("av_mallocz fail");
  const bool join = E.FJoinMode;
  const int32_t B = first_block;
  int32_t c = 0;

  while (!E.PauseCheckpoint()) {
    int32_t f = -1;
    if (join) {
      f = c;
      for (int32_t j = c * B; j < (c + 1) * B && j < static_cast<int32_t>(ost_table.size()); ++j) {
        const TOutputStream& ost = ost_table[static_cast<size_t>(j)];
        if (ost.frame_number >= E.Fmax_frames[static_cast<size_t>(TypeSlot(ost.enc->codec_type))]) f = -1;
      }
    } else {
      double ipts_min = 1e100, opts_min = 1e100;
      for (const TOutputStream& ost : ost_table) {
        const TInputStream& ist = ist_table[static_cast<size_t>(ost.source_index)];
        if (ist.is_past_recording_time || no_packet[static_cast<size_t>(ist.file_index)]) continue;
        const double opts = ost.cur_dts == AV_NOPTS_VALUE ? 0.0 : ost.cur_dts * av_q2d(ost.st->time_base);
        const double ipts = static_cast<double>(ist.pts);
        if (!eof_reached[static_cast<size_t>(ist.file_index)]) {
          if (ipts < ipts_min) {
            ipts_min = ipts;
            if (E.Finput_sync) f = ist.file_index;
          }
          if (opts < opts_min) {
            opts_min = opts;
            if (!E.Finput_sync) f = ist.file_index;
          }
        }
        if (ost.frame_number >= E.Fmax_frames[static_cast<size_t>(TypeSlot(ost.enc->codec_type))]) {
          f = -1;
          break;
        }
      }
    }
    if (f < 0) {
      if (join || no_packet_count == 0) break;
      ClearNoPacket(no_packet, no_packet_count);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    if (E.Flimit_filesize != 0) {
      AVFormatContext* oc = E.Foutput_files[0]->ctx;
      if (oc->pb && AVFormatStubs.avio_seek(oc->pb, 0, SEEK_CUR) > E.Flimit_filesize) break;
    }

    AVFormatContext* ic = E.Finput_files[static_cast<size_t>(f)];
    const int r = AVFormatStubs.av_read_frame(ic, pkt);
    if (r == AVERROR(EAGAIN)) {
      no_packet[static_cast<size_t>(f)] = true;
      ++no_packet_count;
      continue;
    }
    if (r < 0) {
      eof_reached[static_cast<size_t>(f)] = true;
      if (E.Fopt_shortest && !join) break;
      if (!join) continue;
      // Join: input c has ended; its decoders are drained, and the next input continues the
      // same encoders and the same time line.
      for (size_t j = 0; j < ist_table.size(); ++j) {
        TInputStream& ist = ist_table[j];
        if (ist.file_index != c || !ist.decoding_needed) continue;
        OutputPacket(ist, static_cast<int32_t>(j), nullptr);
        ist.decoder_flushed = true;
      }
      double end = 0;
      const int32_t total = static_cast<int32_t>(ost_table.size());
      for (int32_t j = c * B; j < (c + 1) * B && j + B < total; ++j) {
        TOutputStream& from = ost_table[static_cast<size_t>(j)];
        TOutputStream& to = ost_table[static_cast<size_t>(j + B)];
        if (from.cur_dts != AV_NOPTS_VALUE) end = std::max(end, from.cur_dts * av_q2d(from.st->time_base));
        from.show_fps = false;
        // The next block continues the counters, the audio queue and the converters.
        to.sync_opts = from.sync_opts;
        to.frame_number = from.frame_number;
        to.cur_dts = from.cur_dts;
        std::swap(to.fifo, from.fifo);
        std::swap(to.audio_frame, from.audio_frame);
        std::swap(to.enc_frame, from.enc_frame);
      }
      if (c >= E.Fnb_input_files - 1) break;
      E.Finput_files_ts_offset[static_cast<size_t>(c + 1)] += std::llrint(end * 1000000.0);
      ++c;
      continue;
    }

    ClearNoPacket(no_packet, no_packet_count);
    if (E.Fdo_pkt_dump) AVFormatStubs.av_pkt_dump_log2(nullptr, AV_LOG_DEBUG, pkt, E.Fdo_hex_dump, ic->streams[pkt->stream_index]);

    bool discard = pkt->stream_index < 0 || static_cast<unsigned>(pkt->stream_index) >= ic->nb_streams;
    const int32_t idx = discard ? -1 : file_ist_index[static_cast<size_t>(f)] + pkt->stream_index;
    // A stream that appeared after the set-up has no record.
    if (!discard && (static_cast<size_t>(idx) >= ist_table.size() || ist_table[static_cast<size_t>(idx)].file_index != f))
      discard = true;
    if (!discard && ist_table[static_cast<size_t>(idx)].discard) discard = true;
    if (!discard) {
      TInputStream& ist = ist_table[static_cast<size_t>(idx)];
      const AVRational tb = ist.st->time_base;
      const int64_t offset = AVUtilStubs.av_rescale_q(E.Finput_files_ts_offset[static_cast<size_t>(f)], AV_TIME_BASE_Q, tb);
      if (pkt->dts != AV_NOPTS_VALUE) pkt->dts += offset;
      if (pkt->pts != AV_NOPTS_VALUE) pkt->pts += offset;
      const double scale = E.InputTsScale(f, pkt->stream_index);
      if (scale != 0) {
        if (pkt->pts != AV_NOPTS_VALUE) pkt->pts = std::llrint(static_cast<double>(pkt->pts) * scale);
        if (pkt->dts != AV_NOPTS_VALUE) pkt->dts = std::llrint(static_cast<double>(pkt->dts) * scale);
      }
      if (pkt->dts != AV_NOPTS_VALUE && ist.next_pts != AV_NOPTS_VALUE && (ic->iformat->flags & AVFMT_TS_DISCONT)) {
        const int64_t pkt_dts = AVUtilStubs.av_rescale_q(pkt->dts, tb, AV_TIME_BASE_Q);
        const int64_t delta = pkt_dts - ist.next_pts;
        if ((std::llabs(delta) > static_cast<int64_t>(E.Fdts_delta_threshold * 1000000.0) || pkt_dts + 1 < ist.pts) &&
            !E.Fcopy_ts) {
          E.Finput_files_ts_offset[static_cast<size_t>(f)] -= delta;
          if (E.Fverbose > 2)
            GetFFLogger()->Log(&E, llVerbose, "timestamp discontinuity %d, new offset= %d", delta,
                               E.Finput_files_ts_offset[static_cast<size_t>(f)]);
          const int64_t d = AVUtilStubs.av_rescale_q(delta, AV_TIME_BASE_Q, tb);
          pkt->dts -= d;
          if (pkt->pts != AV_NOPTS_VALUE) pkt->pts -= d;
        }
      }
      const int64_t when = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
      if (E.Frecording_time != INT64_MAX && when != AV_NOPTS_VALUE &&
          AVUtilStubs.av_compare_ts(when, tb, E.Frecording_time + E.Fstart_time, AV_TIME_BASE_Q) >= 0) {
        ist.is_past_recording_time = true;
        discard = true;
      }
      if (!discard && OutputPacket(ist, idx, pkt) < 0) {
        const std::string text = Format("Error while decoding stream #%d.%d (%s)", ist.file_index, ist.index,
                                        MediaTypeName(ist.st->codecpar->codec_type));
        if (E.Fexit_on_error) throw FFmpegException(text);
        if (E.Fverbose >= 0) GetFFLogger()->Log(&E, llVerbose, text);
        AVCodecStubs.av_packet_unref(pkt);
        continue;
      }
    }
    AVCodecStubs.av_packet_unref(pkt);
    const int64_t now = AVUtilStubs.av_gettime();
    if (now - last_report > E.ReportInterval) {
      last_report = now;
      ReportProgress(false, f);
    }
  }
}

void TTranscoder::End() {
  for (size_t j = 0; j < ist_table.size(); ++j) {
    TInputStream& ist = ist_table[j];
    if (ist.decoding_needed && !ist.decoder_flushed) {
      OutputPacket(ist, static_cast<int32_t>(j), nullptr);
      ist.decoder_flushed = true;
    }
  }
  for (int32_t k = 0; k < E.Fnb_output_files; ++k) {
    if (E.FJoinMode && k > 0) break;
    const int r = AVFormatStubs.av_write_trailer(E.Foutput_files[static_cast<size_t>(k)]->ctx);
    if (r < 0) throw FFmpegException(AVErrorText("av_write_trailer()", r));
  }
  ReportProgress(true, -1);
  CloseEncoders();
  CloseDecoders();
}

void TTranscoder::CloseEncoders() {
  for (size_t n = 0; n < ost_table.size(); ++n) {
    if (E.FJoinMode && static_cast<int32_t>(n) >= first_block) break;
    TOutputStream& ost = ost_table[n];
    if (!ost.encoding_needed || !ost.setup || !ost.setup->enc) continue;
    std::lock_guard lk(CodecLock());
    E.RemoveCodecItem(E.FEncoderList, &ost.setup->enc);
    AVUtilStubs.av_freep(&ost.setup->enc->stats_out);
    AVUtilStubs.av_freep(&ost.setup->enc->stats_in);
    AVUtilStubs.av_freep(&ost.setup->enc->rc_override);
    ost.setup->enc->rc_override_count = 0;
    AVCodecStubs.avcodec_free_context(&ost.setup->enc);
  }
  for (TOutputStream& ost : ost_table)
    if (ost.setup && !ost.setup->enc) ost.enc = nullptr;
}

void TTranscoder::CloseDecoders() {
  for (TInputStream& ist : ist_table) {
    if (!ist.dec) continue;
    std::lock_guard lk(CodecLock());
    E.RemoveCodecItem(E.FDecoderList, &ist.dec);
    AVCodecStubs.avcodec_free_context(&ist.dec);
  }
}
