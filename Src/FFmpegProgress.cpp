// Progress reports, preview pictures of encoded frames, and the per-picture hooks of decoded
// video (deinterlacing, the custom bitmap hook, the frame-hook chain).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Src/FFmpegLogger.h"
#include "Src/FFmpegTranscode.h"
#include "base/Format.h"

std::recursive_mutex& PostHookLock() {
  static std::recursive_mutex lock;
  return lock;
}

void TTranscoder::ReportProgress(bool AIsLast, int32_t AFileIndex) {
  int32_t frameNumber = -1, fps = -1;
  float quality = -1.0f;
  int64_t size = 0;
  if (E.Fnb_output_files > 0) {
    AVIOContext* pb = E.Foutput_files[0]->ctx->pb;
    if (pb) {
      size = AVFormatStubs.avio_size(pb);
      if (size < 0) size = AVFormatStubs.avio_seek(pb, 0, SEEK_CUR);
      if (size < 0) size = 0;
    }
  }
  std::string text;
  double ti1 = 1e10;
  bool headed = false;
  for (size_t n = 0; n < ost_table.size(); ++n) {
    const TOutputStream& ost = ost_table[n];
    if (!ost.enc && !ost.stream_copy) continue;
    const AVMediaType type = ost.st->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_VIDEO) {
      const float q = ost.stream_copy ? -1.0f : ost.last_quality < 0 ? 0.0f : ost.last_quality / FF_QP2LAMBDA;
      if (headed) {
        text += CFormat("q=%2.1f ", q);
      } else if (ost.show_fps) {
        const double t = static_cast<double>(AVUtilStubs.av_gettime() - timer_start) / 1000000.0;
        frameNumber = ost.frame_number;
        // Nothing is told before the first picture is out.
        if (frameNumber < 1) return;
        fps = t > 1 ? static_cast<int32_t>(std::trunc(frameNumber / t + 0.5)) : 0;
        quality = q;
        text += CFormat("frame=%5d fps=%3d q=%3.1f ", frameNumber, fps, static_cast<double>(q));
        if (AIsLast) text += "L";
        if (E.Fqp_hist) {
          const long qp = std::lrint(q);
          if (qp >= 0 && qp < static_cast<long>(qp_histogram.size())) ++qp_histogram[static_cast<size_t>(qp)];
          for (size_t j = 0; j < 32; ++j)
            text += CFormat("%X", static_cast<int>(std::lrint(std::log2(qp_histogram[j] + 1.0))));
        }
        if (ost.enc && (ost.enc->flags & AV_CODEC_FLAG_PSNR)) {
          double errorSum = 0, scaleSum = 0;
          static const char kPlanes[3] = {'Y', 'U', 'V'};
          text += "PSNR=";
          for (int j = 0; j < 3; ++j) {
            double error = AIsLast ? static_cast<double>(ost.enc->error[j]) : static_cast<double>(ost.last_error[j]);
            double scale = static_cast<double>(ost.enc->width) * ost.enc->height * 255.0 * 255.0;
            if (AIsLast) scale *= frameNumber;
            if (j) scale /= 4;
            errorSum += error;
            scaleSum += scale;
            text += CFormat("%c:%2.2f ", kPlanes[j], -10.0 * std::log10(error / scale));
          }
          text += CFormat("*:%2.2f ", -10.0 * std::log10(errorSum / scaleSum));
        }
        headed = true;
      }
    }
    if (ost.cur_dts != AV_NOPTS_VALUE) {
      const double t = static_cast<double>(ost.cur_dts) * av_q2d(ost.st->time_base);
      if (t > 0 && t < ti1) ti1 = t;
    }
  }
  // Before any stream has a positive time the output time is the floor, not the start value.
  if (ti1 >= 1e10) ti1 = 0.01;
  if (ti1 < 0.01) ti1 = 0.01;

  if (E.OnProgress || E.Fverbose > 0 || AIsLast) {
    const double bitrate = static_cast<double>(size) * 8 / ti1 / 1000;
    text += CFormat("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", static_cast<double>(size) / 1024, ti1, bitrate);
    if (E.Fnb_frames_dup || E.Fnb_frames_drop) {
      text += CFormat(" dup=%d drop=%d", E.Fnb_frames_dup, E.Fnb_frames_drop);
      if (show_dup_or_drop && E.Fverbose >= 0 && E.OnProgress) {
        show_dup_or_drop = false;
        GetFFLogger()->Log(&E, llVerbose, text);
      }
    }
    if (E.OnProgress)
      E.OnProgress(&E, AFileIndex, frameNumber, fps, quality, static_cast<float>(bitrate), size,
                   static_cast<int64_t>(std::trunc(ti1 * 1000000)), E.FTotalOutputDuration);
    else if (E.Fverbose >= 0)
      GetFFLogger()->Log(&E, llVerbose, text);
  }
  if (AIsLast && E.Fverbose >= 0) {
    const double raw = static_cast<double>(E.Fvideo_size + E.Faudio_size + E.Fextra_size);
    GetFFLogger()->Log(&E, llVerbose,
                       CFormat("video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                               static_cast<double>(E.Fvideo_size) / 1024, static_cast<double>(E.Faudio_size) / 1024,
                               static_cast<double>(E.Fextra_size) / 1024,
                               raw > 0 ? 100.0 * (static_cast<double>(size) - raw) / raw : 0.0));
  }
}

void TTranscoder::RunPostHooks(const AVFrame* APicture, TOutputStream& AOst) {
  std::lock_guard lk(PostHookLock());
  std::array<bool, 3> hooks = E.FPostHooks;
  const AVCodecContext* enc = AOst.enc;
  const int64_t pts = AOst.last_pts == AV_NOPTS_VALUE
                          ? 0
                          : AVUtilStubs.av_rescale_q(AOst.last_pts, enc->time_base, AV_TIME_BASE_Q);
  const bool bitmap = hooks[phBitmap] && static_cast<bool>(E.OnPreviewBitmap);
  if (bitmap || hooks[phPreview]) {
    const int64_t now = AVUtilStubs.av_gettime();
    if (now - preview_last_time > E.PreviewInterval) {
      const bool ok = AVPictureToBitmap(post_ctx, APicture->data, APicture->linesize,
                                        static_cast<AVPixelFormat>(APicture->format), APicture->height, APicture->width);
      if (!ok) {
        GetFFLogger()->Log(&E, llError, "Cannot initialize the toRGB conversion context");
        hooks[bitmap ? phBitmap : phPreview] = false;
      } else if (bitmap) {
        E.OnPreviewBitmap(&E, post_ctx.Bitmap, hook_frame_number, pts);
      } else if (!E.PaintPreviewFrame(post_ctx.Bitmap, hook_frame_number, pts)) {
        hooks[phPreview] = false;
      }
      preview_last_time = now;
    }
  }
  E.SetPostHooks(hooks);
}

AVFrame* TTranscoder::PreProcessVideoFrame(TInputStream& AIst, AVFrame* APicture) {
  ++hook_frame_number;
  const int64_t pts = AIst.pts;
  const bool custom = static_cast<bool>(E.OnCustomHook);
  const bool vhook = E.Fusing_vhook;
  if (!E.Fdo_deinterlace && !custom && !vhook) return APicture;

  // The work picture has a buffer of its own: the decoder's picture is never written, and a
  // buffer an encoder still holds is replaced rather than overwritten.
  if (!hook_frame) hook_frame = AVUtilStubs.av_frame_alloc();
  if (!hook_frame) {
    GetFFLogger()->Log(&E, llError, "hook buf malloc error.");
    return APicture;
  }
  if (hook_frame->width != APicture->width || hook_frame->height != APicture->height ||
      hook_frame->format != APicture->format || !hook_frame->buf[0]) {
    AVUtilStubs.av_frame_unref(hook_frame);
    hook_frame->format = APicture->format;
    hook_frame->width = APicture->width;
    hook_frame->height = APicture->height;
    if (AVUtilStubs.av_frame_get_buffer(hook_frame, 0) < 0) {
      AVUtilStubs.av_frame_unref(hook_frame);
      GetFFLogger()->Log(&E, llError, "hook buf malloc error.");
      return APicture;
    }
  } else if (AVUtilStubs.av_frame_make_writable(hook_frame) < 0) {
    GetFFLogger()->Log(&E, llError, "hook buf malloc error.");
    return APicture;
  }
  bool copied = false;
  if (E.Fdo_deinterlace) {
    copied = DeinterlacePicture(hook_frame->data, hook_frame->linesize, APicture->data, APicture->linesize,
                                static_cast<AVPixelFormat>(APicture->format), APicture->width, APicture->height);
    if (!copied) GetFFLogger()->Log(&E, llError, "Deinterlacing failed.");
  }
  if (!copied && AVUtilStubs.av_frame_copy(hook_frame, APicture) < 0) {
    GetFFLogger()->Log(&E, llError, "hook buf malloc error.");
    return APicture;
  }
  AVUtilStubs.av_frame_copy_props(hook_frame, APicture);
  if (custom)
    RunCustomHook(hook_frame, pts);
  else if (vhook)
    E.ProcessFrameHooks(hook_frame->data, hook_frame->linesize, static_cast<AVPixelFormat>(hook_frame->format),
                        hook_frame->width, hook_frame->height, pts);
  return hook_frame;
}

void TTranscoder::RunCustomHook(AVFrame* APicture, int64_t APts) {
  const AVPixelFormat fmt = static_cast<AVPixelFormat>(APicture->format);
  const int32_t w = APicture->width, h = APicture->height;
  bool update = false, stop = false;
  if (!AVPictureToBitmap(custom_hook_ctx, APicture->data, APicture->linesize, fmt, h, w)) {
    GetFFLogger()->Log(&E, llError, "Cannot initialize the toRGB conversion context");
    stop = true;
  } else {
    update = true;
    try {
      E.OnCustomHook(&E, custom_hook_ctx.Bitmap, hook_frame_number, APts, update, stop);
    } catch (const Exception& e) {
      GetFFLogger()->Log(&E, llError, "Error occurs OnCustomHook: " + e.Message);
      update = false;
    }
    if (update) {
      TRGBConvertContext& c = custom_hook_ctx;
      const bool converted = c.RGBPictureRefData == c.RGBPictureData;
      uint8_t* dst = converted ? c.RGBPictureData[0] : APicture->data[0];
      const int lineSize = converted ? c.RGBPictureLinesize[0] : APicture->linesize[0];
      const size_t count = static_cast<size_t>(std::min<int64_t>(std::abs(lineSize), c.Bitmap->Stride()));
      for (int32_t row = 0; row < h; ++row) std::memcpy(dst + static_cast<ptrdiff_t>(row) * lineSize, c.Bitmap->ScanLine(row), count);
      if (converted) {
        c.fromRGB_convert_ctx = SwScaleStubs.sws_getCachedContext(c.fromRGB_convert_ctx, w, h, c.RGBPixFmt, w, h, fmt,
                                                                  SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!c.fromRGB_convert_ctx) {
          GetFFLogger()->Log(&E, llError, "Cannot initialize the fromRGB conversion context");
          stop = true;
        } else {
          SwScaleStubs.sws_scale(c.fromRGB_convert_ctx, c.RGBPictureData, c.RGBPictureLinesize, 0, h, APicture->data,
                                 APicture->linesize);
        }
      }
    }
  }
  if (stop) {
    E.OnCustomHook = nullptr;
    E.Fusing_vhook = false;
  }
}

namespace {

// One line of the low-pass: (-a + 4b + 2c + 4d - e + 4) / 8, clipped.
void DeinterlaceLine(uint8_t* ADst, const uint8_t* A, const uint8_t* B, const uint8_t* C, const uint8_t* D,
                     const uint8_t* F, int32_t AWidth) {
  for (int32_t x = 0; x < AWidth; ++x) {
    const int sum = -A[x] + 4 * B[x] + 2 * C[x] + 4 * D[x] - F[x];
    ADst[x] = static_cast<uint8_t>(std::clamp((sum + 4) >> 3, 0, 255));
  }
}

void DeinterlacePlane(uint8_t* ADst, int ADstWrap, const uint8_t* ASrc, int ASrcWrap, int32_t AWidth, int32_t AHeight) {
  auto line = [&](int32_t y) { return ASrc + static_cast<ptrdiff_t>(std::clamp(y, 0, AHeight - 1)) * ASrcWrap; };
  // Even lines stay; each odd line is rebuilt from the five lines around it.
  for (int32_t y = 0; y + 1 < AHeight; y += 2) {
    std::memcpy(ADst + static_cast<ptrdiff_t>(y) * ADstWrap, line(y), static_cast<size_t>(AWidth));
    DeinterlaceLine(ADst + static_cast<ptrdiff_t>(y + 1) * ADstWrap, line(y - 1), line(y), line(y + 1), line(y + 2),
                    line(y + 3), AWidth);
  }
}

}  // namespace

bool DeinterlacePicture(uint8_t* const ADst[4], const int ADstLinesize[4], const uint8_t* const ASrc[4],
                        const int ASrcLinesize[4], AVPixelFormat APixFmt, int32_t AWidth, int32_t AHeight) {
  int sx = 0, sy = 0, planes = 3;
  switch (APixFmt) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUVJ420P: sx = 1; sy = 1; break;
    case AV_PIX_FMT_YUV422P:
    case AV_PIX_FMT_YUVJ422P: sx = 1; break;
    case AV_PIX_FMT_YUV444P: break;
    case AV_PIX_FMT_YUV411P: sx = 2; break;
    case AV_PIX_FMT_GRAY8: planes = 1; break;
    default: return false;
  }
  if (AWidth <= 0 || AHeight <= 0 || (AWidth & 3) != 0 || (AHeight & 3) != 0) return false;
  for (int p = 0; p < planes; ++p) {
    const int32_t w = p ? AWidth >> sx : AWidth, h = p ? AHeight >> sy : AHeight;
    DeinterlacePlane(ADst[p], ADstLinesize[p], ASrc[p], ASrcLinesize[p], w, h);
  }
  return true;
}
