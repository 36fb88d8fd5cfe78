// The video filter graph of one output stream.
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegTranscode.h"
#include "base/Format.h"

TVideoFilterGraph::~TVideoFilterGraph() {
  if (graph) AVFilterStubs.avfilter_graph_free(&graph);
}

namespace {

AVFilterContext* AddFilter(AVFilterGraph* AGraph, const char* AFilter, const char* AName, const std::string& AArgs) {
  const AVFilter* f = AVFilterStubs.avfilter_get_by_name(AFilter);
  if (!f) return nullptr;
  AVFilterContext* ctx = nullptr;
  if (AVFilterStubs.avfilter_graph_create_filter(&ctx, f, AName, AArgs.empty() ? nullptr : AArgs.c_str(), nullptr,
                                                 AGraph) < 0)
    return nullptr;
  return ctx;
}

}  // namespace

int32_t TVideoFilterGraph::Configure(const AVCodecContext* ADec, AVCodecContext* AEnc, int32_t ATop, int32_t ABottom,
                                     int32_t ALeft, int32_t ARight, uint32_t ASwsFlags, const std::string& AFilters,
                                     bool AKeepEncoderSize) {
  std::string bindError;
  if (!FFLoader().Require(avFilter, &bindError)) throw FFmpegException(bindError);
  if (graph) AVFilterStubs.avfilter_graph_free(&graph);
  src = sink = nullptr;
  graph = AVFilterStubs.avfilter_graph_alloc();
  if (!graph) return -1;
  in_width = ADec->width;
  in_height = ADec->height;
  in_format = ADec->pix_fmt;
  // Time stamps enter in microseconds.
  const AVRational sar = ADec->sample_aspect_ratio.num > 0 && ADec->sample_aspect_ratio.den > 0
                             ? ADec->sample_aspect_ratio
                             : AVRational{0, 1};
  src = AddFilter(graph, "buffer", "src",
                  Format("video_size=%dx%d:pix_fmt=%d:time_base=1/1000000:pixel_aspect=%d/%d", ADec->width,
                         ADec->height, static_cast<int>(ADec->pix_fmt), sar.num, sar.den));
  sink = AddFilter(graph, "buffersink", "out", "");
  if (!src || !sink) return -1;
  const AVPixelFormat formats[1] = {AEnc->pix_fmt};
  if (AVUtilStubs.av_opt_set_bin(sink, "pix_fmts", reinterpret_cast<const uint8_t*>(formats), sizeof formats,
                                 AV_OPT_SEARCH_CHILDREN) < 0)
    return -1;
  AVFilterContext* last = src;
  AVFilterContext* fit_head = nullptr;
  // Named keys: the crop filter's positional order is w:h:x:y. The crop keeps the cropped
  // input size, the scale that follows makes the encoder's size of it.
  const int32_t cw = ADec->width - ALeft - ARight, ch = ADec->height - ATop - ABottom;
  if (cw <= 0 || ch <= 0) return -1;
  if (ATop || ABottom || ALeft || ARight) {
    AVFilterContext* crop = AddFilter(graph, "crop", "crop", Format("w=%d:h=%d:x=%d:y=%d", cw, ch, ALeft, ATop));
    if (!crop || AVFilterStubs.avfilter_link(last, 0, crop, 0) < 0) return -1;
    last = crop;
  }
  const bool pad = pad_width > 0 && pad_height > 0 && AEnc->width > 0 && AEnc->height > 0;
  const int32_t tw = pad ? pad_width : AEnc->width, th = pad ? pad_height : AEnc->height;
  // Scales to the picture size, then pads to the encoder's size when they differ.
  auto addFit = [&](AVFilterContext* AFrom, const char* AName) -> AVFilterContext* {
    AVFilterContext* scale = AddFilter(graph, "scale", AName, Format("w=%d:h=%d:flags=0x%X", tw, th, ASwsFlags));
    if (!scale || (AFrom && AVFilterStubs.avfilter_link(AFrom, 0, scale, 0) < 0)) return nullptr;
    fit_head = scale;
    if (!pad) return scale;
    AVFilterContext* padding =
        AddFilter(graph, "pad", (std::string(AName) + "_pad").c_str(),
                  Format("width=%d:height=%d:x=%d:y=%d:color=black", AEnc->width, AEnc->height,
                         ((AEnc->width - tw) / 2) & ~1, ((AEnc->height - th) / 2) & ~1));
    if (!padding || AVFilterStubs.avfilter_link(scale, 0, padding, 0) < 0) return nullptr;
    return padding;
  };
  if (AEnc->width > 0 && AEnc->height > 0 && (cw != tw || ch != th || pad) && !AKeepEncoderSize) {
    last = addFit(last, "scale");
    if (!last) return -1;
  }
  graph->scale_sws_opts = AVUtilStubs.av_strdup(Format("flags=0x%X", ASwsFlags).c_str());
  // A rebuilt graph ends with a scale to the size the encoder was opened with.
  AVFilterContext* tail = sink;
  if (AKeepEncoderSize) {
    AVFilterContext* end = addFit(nullptr, "keep_size");
    if (!end || AVFilterStubs.avfilter_link(end, 0, sink, 0) < 0) return -1;
    tail = fit_head;
  }
  if (!AFilters.empty()) {
    AVFilterInOut* outputs = AVFilterStubs.avfilter_inout_alloc();
    AVFilterInOut* inputs = AVFilterStubs.avfilter_inout_alloc();
    if (!outputs || !inputs) {
      AVFilterStubs.avfilter_inout_free(&outputs);
      AVFilterStubs.avfilter_inout_free(&inputs);
      return -1;
    }
    outputs->name = AVUtilStubs.av_strdup("in");
    outputs->filter_ctx = last;
    outputs->pad_idx = 0;
    outputs->next = nullptr;
    inputs->name = AVUtilStubs.av_strdup("out");
    inputs->filter_ctx = tail;
    inputs->pad_idx = 0;
    inputs->next = nullptr;
    const int r = AVFilterStubs.avfilter_graph_parse_ptr(graph, AFilters.c_str(), &inputs, &outputs, nullptr);
    AVFilterStubs.avfilter_inout_free(&outputs);
    AVFilterStubs.avfilter_inout_free(&inputs);
    if (r < 0) return -1;
  } else if (AVFilterStubs.avfilter_link(last, 0, tail, 0) < 0) {
    return -1;
  }
  if (AVFilterStubs.avfilter_graph_config(graph, nullptr) < 0) return -1;
  AEnc->width = AVFilterStubs.av_buffersink_get_w(sink);
  AEnc->height = AVFilterStubs.av_buffersink_get_h(sink);
  return 0;
}

int32_t TVideoFilterGraph::Push(AVFrame* AFrame, int64_t APtsUs) {
  if (!AFrame) return AVFilterStubs.av_buffersrc_add_frame_flags(src, nullptr, 0);
  const int64_t saved = AFrame->pts;
  AFrame->pts = APtsUs;
  const int r = AVFilterStubs.av_buffersrc_add_frame_flags(src, AFrame, AV_BUFFERSRC_FLAG_KEEP_REF);
  AFrame->pts = saved;
  return r;
}

bool TVideoFilterGraph::Pull(AVFrame* AOut, int64_t& APtsUs) {
  if (AVFilterStubs.av_buffersink_get_frame_flags(sink, AOut, 0) < 0) return false;
  const AVRational tb = AVFilterStubs.av_buffersink_get_time_base(sink);
  APtsUs = AOut->pts == AV_NOPTS_VALUE ? 0 : AVUtilStubs.av_rescale_q(AOut->pts, tb, AV_TIME_BASE_Q);
  return true;
}
