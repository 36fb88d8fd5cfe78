// The decoding probe: seeking, decoding pictures of a video stream and stepping between them.
#include <chrono>
#include <cstdint>
#include <cstring>

#include "Src/AVProbe.h"

#include "Src/FFPicture.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFUtils.h"
#include "Src/FFmpegStubs.h"
#include "base/Exception.h"
#include "base/Format.h"
#include "base/Text.h"
#include "classlib/Graphics.h"

namespace {

constexpr AVRational kMicroseconds{1, 1000000};
// The step of the backward search when a stream's frame rate gives no usable duration.
constexpr int64_t kFallbackFrameDuration = 40000;

int64_t IOPosition(AVFormatContext* ctx) {
  // avio_tell is a header inline over avio_seek.
  return ctx && ctx->pb ? AVFormatStubs.avio_seek(ctx->pb, 0, SEEK_CUR) : -1;
}

}  // namespace

TAVProbe::TAVProbe(TComponent* AOwner) : TCustomAVProbe(AOwner), FRGBContext(std::make_unique<TRGBConvertContext>()) {}

TAVProbe::~TAVProbe() {
  if (FFileHandle || FCodec) TAVProbe::CloseFile();
  if (FPicture.Buffer) AVUtilStubs.av_free(FPicture.Buffer);
  if (FFrame) AVUtilStubs.av_frame_free(&FFrame);
  ResetRGBConvertContext(*FRGBContext);
}

void TAVProbe::ResetFrameInfo() {
  if (FPicture.PTS != AV_NoValue) FLastPTS = FPicture.PTS;
  if (FPicture.Position != -1) FLastPos = FPicture.Position;
  FPicture.PixFmt = FPicture.Width = FPicture.Height = FPicture.StreamIndex = -1;
  FPicture.Position = -1;
  FPicture.IsKeyFrame = false;
  FPicture.PictureType = ptUnknown;
  FPicture.PTS = FPicture.OriginalDTS = FPicture.OriginalPTS = AV_NoValue;
  FPicture.Ready = false;
}

void TAVProbe::CloseDecoder() {
  if (!FCodec) return;
  // The context cannot be opened again once closed: the stream gets a fresh one.
  RenewStreamContext(FCodecIndex);
  FCodec = nullptr;
  FCodecIndex = -1;
  FDraining = false;
}

void TAVProbe::CloseFile() {
  FSeekIndex = FDecodeIndex = -1;
  FStartTime = -1;
  FEOF = false;
  ResetFrameInfo();
  FLastPTS = AV_NoValue;
  FLastPos = -1;
  CloseDecoder();
  TCustomAVProbe::CloseFile();
}

void TAVProbe::UpdateStreamCounts() {
  // The decoder is one of the stream contexts, which are made anew here.
  FCodec = nullptr;
  FCodecIndex = -1;
  FDraining = false;
  TCustomAVProbe::UpdateStreamCounts();
  FSeekIndex = FFirstVideoStreamIndex >= 0 ? FFirstVideoStreamIndex : FFirstAudioStreamIndex;
  if (FFileHandle) {
    const int64_t st = FSeekIndex >= 0 ? FFileHandle->streams[FSeekIndex]->start_time : FFileHandle->start_time;
    FStartTime = st == AV_NOPTS_VALUE ? 0 : st;
  }
}

int64_t TAVProbe::Position() const { return IOPosition(FFileHandle); }

bool TAVProbe::OwnFileTest() {
  if (!FFileHandle) {
    Report(plWarning, "file not loaded.");
    return false;
  }
  if (!FOwnHandle) {
    Report(plWarning, "file cannot be seeked, handle is readonly.");
    throw Exception("file cannot be seeked, handle is readonly.");
  }
  return true;
}

bool TAVProbe::IsSinglePicture() const {
  // A picture file: "image2", or a single-picture pipe demuxer such as "png_pipe".
  if (!FFileHandle || !FFileHandle->iformat || !FFileHandle->iformat->name) return false;
  const std::string name = LowerCase(FFileHandle->iformat->name);
  return name == "image2" || (name.size() > 5 && name.compare(name.size() - 5, 5, "_pipe") == 0);
}

bool TAVProbe::Seek(int64_t APTS, TSeekFlags ASeekFlags) {
  if (!OwnFileTest()) return false;
  if (IsSinglePicture()) {
    Report(plInfo, "\"image2\" format cannot to be seeked.");
    return false;
  }
  AVFormatContext* ctx = FFileHandle;
  if (ctx->pb) Report(plDebug, Format("currunt position %d bytes", IOPosition(ctx)));
  int64_t ts = APTS < 0 ? 0 : APTS;
  if (!ASeekFlags.Contains(sfByte)) {
    if (FSeekIndex >= 0) ts = AVUtilStubs.av_rescale_q(ts, kMicroseconds, ctx->streams[FSeekIndex]->time_base);
    if (FStartTime > 0) ts += FStartTime;
  }
  if (FCodec) AVCodecStubs.avcodec_flush_buffers(FCodec);
  FDraining = false;
  FEOF = false;
  ResetFrameInfo();
  const int flags = SeekFlagsToInt(ASeekFlags);
  int r;
  if (APTS > 0) {
    r = AVFormatStubs.av_seek_frame(ctx, FSeekIndex, ts, flags);
  } else {
    r = AVFormatStubs.av_seek_frame(ctx, FSeekIndex, ts, flags | AVSEEK_FLAG_BACKWARD);
    if (r < 0) r = AVFormatStubs.av_seek_frame(ctx, FSeekIndex, ts, flags & ~AVSEEK_FLAG_BACKWARD);
  }
  const bool ok = r >= 0;
  if (!ok) {
    if (ASeekFlags.Contains(sfByte)) Report(plError, Format("could not seek to position %d bytes", APTS));
    else Report(plError, Format("could not seek to position %0.3f seconds", static_cast<double>(APTS) / 1000000));
  }
  if (ctx->pb) {
    const std::string text = Format("seek to position %d bytes", IOPosition(ctx));
    // A failed seek keeps its own text as the last message.
    if (ok) Report(plDebug, text);
    else GetFFLogger()->Log(this, llDebug, text);
  }
  if (ctx->pb && AVFormatStubs.avio_feof(ctx->pb)) {
    if (ok) Report(plInfo, "stream eof reached.");
    FEOF = true;
    return false;
  }
  return ok;
}

int32_t TAVProbe::ChooseStream(int32_t AStreamIndex) {
  if (!OwnFileTest()) return -1;
  int32_t i = AStreamIndex;
  if (i < 0) {
    i = FDecodeIndex >= 0 ? FDecodeIndex : FFirstVideoStreamIndex;
    if (i < 0) {
      Report(plError, "no video stream.");
      return -1;
    }
  }
  if (i >= FStreamCount) {
    Report(plError, Format("stream index #%d is invalid.", i));
    return -1;
  }
  if (FFileHandle->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
    Report(plError, Format("stream #%d is not video stream.", i));
    return -1;
  }
  if (i != FDecodeIndex) ResetFrameInfo();
  FDecodeIndex = i;
  return i;
}

// The largest picture the probe decodes: 64 megapixels (8192x8192, beyond 8K video). A tiny file
// may declare a picture of hundreds of megapixels, each copy of which would cost gigabytes.
constexpr int64_t kMaxProbePixels = int64_t{8192} * 8192;

bool TAVProbe::OpenDecoder(int32_t i) {
  AVCodecContext* c = StreamContext(i);
  if (!c || c->width == 0 || c->height == 0) {
    Report(plError, "frame size of codec is invalid.");
    return false;
  }
  if (c == FCodec) return true;
  if (int64_t(c->width) * c->height > kMaxProbePixels) {
    Report(plError, Format("Picture of %dx%d is too large to show", c->width, c->height));
    return false;
  }
  CloseDecoder();
  c = StreamContext(i);
  // A picture that grows while decoding is refused by the decoder itself.
  c->max_pixels = kMaxProbePixels;
  const AVCodec* codec = AVCodecStubs.avcodec_find_decoder(c->codec_id);
  if (!codec) {
    Report(plError, Format("Unsupported codec (id=%d) for input file stream #%d", static_cast<int>(c->codec_id), i));
    return false;
  }
  int r;
  {
    std::lock_guard g(CodecLock());
    r = AVCodecStubs.avcodec_open2(c, codec, nullptr);
  }
  if (r < 0) {
    RenewStreamContext(i);
    Report(plError, Format("Error while opening codec for input file stream #%d", i));
    return false;
  }
  FCodec = c;
  FCodecIndex = i;
  FDraining = false;
  return true;
}

void TAVProbe::StorePicture(const AVFrame* f, int64_t APos) {
  AVStream* st = FFileHandle->streams[FDecodeIndex];
  const auto fmt = static_cast<AVPixelFormat>(FCodec->pix_fmt);
  const int size = AVUtilStubs.av_image_get_buffer_size(fmt, FCodec->width, FCodec->height, 1);
  // The picture is packed; the scaler that later reads it (CopyToBitmap) loads whole vectors and
  // reads up to some 32 bytes past the last pixel, so the buffer ends in zeroed padding.
  const bool fits = size > 0 && size <= INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE;
  if (fits && FPicture.Size < size + AV_INPUT_BUFFER_PADDING_SIZE) {
    AVUtilStubs.av_free(FPicture.Buffer);
    FPicture.Buffer = static_cast<uint8_t*>(AVUtilStubs.av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
    FPicture.Size = FPicture.Buffer ? size + AV_INPUT_BUFFER_PADDING_SIZE : 0;
  }
  FPicture.PixFmt = FCodec->pix_fmt;
  FPicture.Width = FCodec->width;
  FPicture.Height = FCodec->height;
  FPicture.IsKeyFrame = f->key_frame == 1;
  FPicture.PictureType = f->pict_type >= 0 && f->pict_type <= 7 ? static_cast<TPictureType>(f->pict_type) : ptUnknown;
  // The stamp: the decoding stamp of the packet that brought the picture out, else the
  // picture's own (reordered) stamp.
  int64_t stamp = f->pkt_dts != AV_NOPTS_VALUE ? f->pkt_dts : f->pts;
  if (stamp == AV_NOPTS_VALUE) stamp = f->best_effort_timestamp;
  if (FPicture.PTS != AV_NoValue) FLastPTS = FPicture.PTS;
  if (stamp == AV_NOPTS_VALUE) {
    FPicture.PTS = AV_NoValue;
  } else {
    if (st->start_time != AV_NOPTS_VALUE) stamp -= st->start_time;
    FPicture.PTS = AVUtilStubs.av_rescale_q(stamp, st->time_base, kMicroseconds);
    AVUtilStubs.av_log(nullptr, AV_LOG_DEBUG, "decode PTS: %0.3f\n", static_cast<double>(FPicture.PTS) / 1000000);
  }
  FPicture.OriginalDTS = f->pkt_dts;
  FPicture.OriginalPTS = f->pts;
  FPicture.StreamIndex = FDecodeIndex;
  if (FPicture.Position != -1) FLastPos = FPicture.Position;
  FPicture.Position = APos;
  std::memset(FPicture.PictureData, 0, sizeof FPicture.PictureData);
  std::memset(FPicture.PictureLineSize, 0, sizeof FPicture.PictureLineSize);
  if (!FPicture.Buffer || !fits || FPicture.Size < size + AV_INPUT_BUFFER_PADDING_SIZE ||
      AVUtilStubs.av_image_fill_arrays(FPicture.PictureData, FPicture.PictureLineSize, FPicture.Buffer, fmt,
                                       FCodec->width, FCodec->height, 1) < 0) {
    FPicture.Ready = false;
    return;
  }
  AVUtilStubs.av_image_copy(FPicture.PictureData, FPicture.PictureLineSize, const_cast<const uint8_t**>(f->data),
                            f->linesize, fmt, FCodec->width, FCodec->height);
  FPicture.Ready = true;
}

bool TAVProbe::ReceivePicture(int64_t APos) {
  if (!FFrame) FFrame = AVUtilStubs.av_frame_alloc();
  if (!FFrame) return false;
  const int r = AVCodecStubs.avcodec_receive_frame(FCodec, FFrame);
  if (r < 0) return false;
  Report(plDebug, Format("pkt.st_idx=%d, dts=%d, pts=%d, flags=%d, pict_type=%d", FDecodeIndex, FFrame->pkt_dts,
                         FFrame->pts, FFrame->key_frame ? 1 : 0, static_cast<int>(FFrame->pict_type)));
  StorePicture(FFrame, APos);
  AVUtilStubs.av_frame_unref(FFrame);
  return FPicture.Ready;
}

bool TAVProbe::Decode(int32_t AStreamIndex) {
  const int32_t i = ChooseStream(AStreamIndex);
  if (i < 0) return false;
  // A picture file holds one picture.
  if (FPicture.Ready && IsSinglePicture()) return true;
  if (FEOF) {
    Report(plInfo, "stream eof reached.");
    return false;
  }
  if (!OpenDecoder(i)) return false;
  AVFormatContext* ctx = FFileHandle;
  const int64_t pos = IOPosition(ctx);
  // A packet may give several pictures: take those already waiting first.
  if (ReceivePicture(pos)) return true;
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  if (!pkt) return false;
  bool got = false;
  while (!FDraining) {
    if (AVFormatStubs.av_read_frame(ctx, pkt) < 0) {
      // End of input: the decoder still holds the pictures it delayed.
      AVCodecStubs.avcodec_send_packet(FCodec, nullptr);
      FDraining = true;
      break;
    }
    if (pkt->stream_index == i) {
      FCodec->reordered_opaque = pkt->pts;
      const int r = AVCodecStubs.avcodec_send_packet(FCodec, pkt);
      AVCodecStubs.av_packet_unref(pkt);
      // A damaged packet is skipped, as the libraries' own players do.
      if (r >= 0 && ReceivePicture(pos)) {
        got = true;
        break;
      }
    } else {
      AVCodecStubs.av_packet_unref(pkt);
    }
  }
  AVCodecStubs.av_packet_free(&pkt);
  if (got) return true;
  if (FDraining && ReceivePicture(pos)) return true;
  Report(plInfo, "stream eof reached.");
  FEOF = true;
  return false;
}

bool TAVProbe::DecodeNextKeyFrame(int32_t AStreamIndex) {
  const int32_t i = ChooseStream(AStreamIndex);
  if (i < 0) return false;
  const int64_t dur = FrameDuration(FFileHandle->streams[i]->r_frame_rate);
  const int64_t target = FPicture.PTS > 0 ? FPicture.PTS + dur : dur;
  if (!Seek(target, {})) return false;
  return Decode(i);
}

bool TAVProbe::DecodePreviousKeyFrame(int32_t AStreamIndex) {
  const int32_t i = ChooseStream(AStreamIndex);
  if (i < 0) return false;
  const int64_t dur = FrameDuration(FFileHandle->streams[i]->r_frame_rate);
  int64_t target;
  if (FPicture.PTS != AV_NoValue) target = FPicture.PTS;
  else if (FLastPTS != AV_NoValue) target = FLastPTS;
  else if (FFileHandle->duration != AV_NOPTS_VALUE) target = FFileHandle->duration;
  else target = 0;
  // Whether a seek went back far enough is judged by the picture it gives, not by the I/O
  // position: demuxers that read their samples by index (MP4, Matroska) leave the position
  // where the last read ended, so a position test would skip every key frame back to the start.
  //
  // The search is bounded: a file may declare a duration of days and hold no picture that
  // decodes, and a frame duration may be 0 or less. After kLinearTries steps of one frame the
  // step doubles, so even the start of such a file is reached in a few dozen more tries; past
  // kMaxTries tries or kMaxSearchTime the search gives up.
  constexpr int kLinearTries = 256;
  constexpr int kMaxTries = kLinearTries + 64;
  constexpr auto kMaxSearchTime = std::chrono::seconds(3);
  const int64_t step = dur > 0 ? dur : kFallbackFrameDuration;
  const auto deadline = std::chrono::steady_clock::now() + kMaxSearchTime;
  int64_t back = 0;
  for (int h = 1; h <= kMaxTries && std::chrono::steady_clock::now() < deadline; ++h) {
    const int64_t add = h <= kLinearTries ? step : back;
    back = back > INT64_MAX / 2 - add ? INT64_MAX / 2 : back + add;
    Seek(target > INT64_MIN / 2 ? target - back : 0, TSeekFlags{sfBackward});
    if (Decode(i)) {
      if (FPicture.PTS < target || FPicture.PTS <= 0) return true;
      if (back > target) break;  // even the start gives no earlier picture
    } else if (target < back) {
      break;
    }
  }
  FLastErrMsg = "Could not seek to the previous key-frame. " + FLastErrMsg;
  return false;
}

bool TAVProbe::DecodePreviousFrame(int32_t AStreamIndex) {
  const int32_t i = ChooseStream(AStreamIndex);
  if (i < 0) return false;
  const int64_t dur = FrameDuration(FFileHandle->streams[i]->r_frame_rate);
  const int64_t cur = FPicture.PTS != AV_NoValue ? FPicture.PTS : (FLastPTS != AV_NoValue ? FLastPTS : 0);
  const int64_t limit = cur - 2 * dur;
  if (!DecodePreviousKeyFrame(i)) return false;
  while (FPicture.PTS <= limit)
    if (!Decode(i)) return false;
  return true;
}

bool TAVProbe::CopyToBitmap(TBitmap* ABitmap) {
  if (!FPicture.Ready) {
    Report(plError, "picture not ready, please decode first");
    return false;
  }
  const uint8_t* const* data = FPicture.PictureData;
  if (AVPictureToBitmap(*FRGBContext, data, FPicture.PictureLineSize, static_cast<AVPixelFormat>(FPicture.PixFmt),
                        FPicture.Height, FPicture.Width)) {
    ABitmap->Assign(FRGBContext->Bitmap);
    return true;
  }
  ABitmap->SetSize(FPicture.Width, FPicture.Height);
  ABitmap->Canvas()->Brush()->SetColor(clBlack);
  ABitmap->Canvas()->Brush()->SetStyle(bsSolid);
  ABitmap->Canvas()->FillRect(ABitmap->Canvas()->ClipRect());
  AVUtilStubs.av_log(nullptr, AV_LOG_ERROR, "convert picture to bitmap failed\n");
  return false;
}
