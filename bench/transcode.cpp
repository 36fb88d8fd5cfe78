// Conversion speed: a 30-second 640x480 synthetic clip (MPEG-4 video, MP2 audio, in AVI) to
// MPEG-4 in AVI and to H.264 in MP4, in frames per second; the MPEG-4 conversion also through
// the libraries driven directly (the same settings without the engine), in this process and as
// whole processes (start, loading and conversion); and a conversion with each threaded encoder
// family on 1 to 8 threads, its process CPU time beside its wall time (the figures behind the
// engine's encoder-thread table). Run those on a fixed set of cores, no fewer than the threads:
// taskset -c 0-3 bench_transcode --benchmark_filter='FamilyThreads/./[14]/'
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kRate = 25, kSeconds = 30, kFrames = kRate * kSeconds;
constexpr int kSampleRate = 44100;

std::filesystem::path Folder() {
  static const std::filesystem::path p =
      std::filesystem::temp_directory_path() / ("ombrel-bench-transcode-" + std::to_string(::getpid()));
  std::filesystem::create_directories(p);
  return p;
}

void EncodeAll(AVCodecContext* AEnc, AVFrame* AFrame, AVFormatContext* AOc, AVStream* ASt, AVPacket* APkt) {
  AVCodecStubs.avcodec_send_frame(AEnc, AFrame);
  while (AVCodecStubs.avcodec_receive_packet(AEnc, APkt) >= 0) {
    AVCodecStubs.av_packet_rescale_ts(APkt, AEnc->time_base, ASt->time_base);
    APkt->stream_index = ASt->index;
    AVFormatStubs.av_interleaved_write_frame(AOc, APkt);
  }
}

AVCodecContext* OpenEncoder(const char* AName, AVFormatContext* AOc, AVStream*& ASt) {
  const AVCodec* codec = AVCodecStubs.avcodec_find_encoder_by_name(AName);
  AVCodecContext* c = AVCodecStubs.avcodec_alloc_context3(codec);
  if (codec->type == AVMEDIA_TYPE_VIDEO) {
    c->width = kWidth;
    c->height = kHeight;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, kRate};
    c->framerate = AVRational{kRate, 1};
    c->bit_rate = 2000000;
  } else {
    c->sample_rate = kSampleRate;
    c->sample_fmt = AV_SAMPLE_FMT_S16;
    AVUtilStubs.av_channel_layout_default(&c->ch_layout, 2);
    c->time_base = AVRational{1, kSampleRate};
    c->bit_rate = 192000;
  }
  AVCodecStubs.avcodec_open2(c, codec, nullptr);
  ASt = AVFormatStubs.avformat_new_stream(AOc, nullptr);
  AVCodecStubs.avcodec_parameters_from_context(ASt->codecpar, c);
  ASt->time_base = c->time_base;
  return c;
}

// A moving ramp with a bar and a stereo tone, made once.
std::string SourceClip() {
  static std::string path;
  if (!path.empty()) return path;
  path = (Folder() / "source.avi").string();
  AVFormatContext* oc = nullptr;
  AVFormatStubs.avformat_alloc_output_context2(&oc, nullptr, "avi", path.c_str());
  AVStream *vs = nullptr, *as = nullptr;
  AVCodecContext* venc = OpenEncoder("mpeg4", oc, vs);
  AVCodecContext* aenc = OpenEncoder("mp2", oc, as);
  AVFormatStubs.avio_open2(&oc->pb, path.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr);
  if (AVFormatStubs.avformat_write_header(oc, nullptr) < 0) throw std::runtime_error("cannot write the source clip " + path);
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  AVFrame* vf = AVUtilStubs.av_frame_alloc();
  vf->format = AV_PIX_FMT_YUV420P;
  vf->width = kWidth;
  vf->height = kHeight;
  AVUtilStubs.av_frame_get_buffer(vf, 0);
  AVFrame* af = AVUtilStubs.av_frame_alloc();
  af->format = AV_SAMPLE_FMT_S16;
  af->sample_rate = kSampleRate;
  af->nb_samples = aenc->frame_size;
  AVUtilStubs.av_channel_layout_default(&af->ch_layout, 2);
  AVUtilStubs.av_frame_get_buffer(af, 0);
  int64_t sample = 0;
  for (int f = 0; f < kFrames; ++f) {
    AVUtilStubs.av_frame_make_writable(vf);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        vf->data[0][y * vf->linesize[0] + x] =
            static_cast<uint8_t>(((x + y + f * 3) & 0xff) ^ (std::abs(x - (f * 8) % kWidth) < 16 ? 0xff : 0));
    for (int y = 0; y < kHeight / 2; ++y)
      for (int x = 0; x < kWidth / 2; ++x) {
        vf->data[1][y * vf->linesize[1] + x] = static_cast<uint8_t>(128 + ((x + f) & 31));
        vf->data[2][y * vf->linesize[2] + x] = static_cast<uint8_t>(128 - ((y + f) & 31));
      }
    vf->pts = f;
    EncodeAll(venc, vf, oc, vs, pkt);
    while (sample * kRate < static_cast<int64_t>(f + 1) * kSampleRate) {
      AVUtilStubs.av_frame_make_writable(af);
      auto* s = reinterpret_cast<int16_t*>(af->data[0]);
      for (int i = 0; i < af->nb_samples; ++i)
        s[2 * i] = s[2 * i + 1] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * (sample + i) / kSampleRate));
      af->pts = sample;
      sample += af->nb_samples;
      EncodeAll(aenc, af, oc, as, pkt);
    }
  }
  EncodeAll(venc, nullptr, oc, vs, pkt);
  EncodeAll(aenc, nullptr, oc, as, pkt);
  AVFormatStubs.av_write_trailer(oc);
  AVUtilStubs.av_frame_free(&vf);
  AVUtilStubs.av_frame_free(&af);
  AVCodecStubs.av_packet_free(&pkt);
  AVCodecStubs.avcodec_free_context(&venc);
  AVCodecStubs.avcodec_free_context(&aenc);
  AVFormatStubs.avio_closep(&oc->pb);
  AVFormatStubs.avformat_free_context(oc);
  return path;
}

// The settings both MPEG-4 conversions use.
constexpr const char* kVideoRate = "1500000";
constexpr const char* kAudioRate = "128000";

// One conversion through the engine on this thread; the failure text, or empty.
std::string EngineConvert(const std::string& AIn, const std::string& AOut, const char* AVideo, const char* AAudio) {
  TCustomFFmpeg e(4);
  e.Reset();
  e.Fverbose = -1;
  if (!e.OpenInputFile(AIn)) return e.LastErrMsg();
  e.DispatchOption("vcodec", AVideo);
  e.DispatchOption("acodec", AAudio);
  e.DispatchOption("b", kVideoRate);
  e.DispatchOption("ab", kAudioRate);
  if (e.OpenOutputFile(AOut) < 0) return e.LastErrMsg();
  e.StartConvert(false);
  if (e.FatalException()) return e.FatalMessage();
  return {};
}

// ---- the libraries driven directly ----------------------------------------------------------

struct TDirectOut {
  AVCodecContext* Enc = nullptr;
  AVStream* St = nullptr;
  int64_t NextPts = 0;
};

// Sends one frame (nullptr: end) and writes what the encoder gives back.
void DirectEncode(AVFormatContext* AOc, TDirectOut& AOut, AVFrame* AFrame, AVPacket* APkt) {
  AVCodecStubs.avcodec_send_frame(AOut.Enc, AFrame);
  while (AVCodecStubs.avcodec_receive_packet(AOut.Enc, APkt) >= 0) {
    AVCodecStubs.av_packet_rescale_ts(APkt, AOut.Enc->time_base, AOut.St->time_base);
    APkt->stream_index = AOut.St->index;
    AVFormatStubs.av_interleaved_write_frame(AOc, APkt);
  }
}

// The MPEG-4 + MP3 AVI conversion of EngineConvert without the engine: demux, decode, bring the
// audio to the encoder's sample format through a sample queue, encode, mux. Same encoders,
// rates and thread counts (one thread each: MPEG-4's extra threads do not pay).
std::string DirectConvert(const std::string& AIn, const std::string& AOut) {
  AVFormatContext* ic = nullptr;
  if (AVFormatStubs.avformat_open_input(&ic, AIn.c_str(), nullptr, nullptr) < 0) return "cannot open " + AIn;
  AVFormatStubs.avformat_find_stream_info(ic, nullptr);
  AVFormatContext* oc = nullptr;
  AVFormatStubs.avformat_alloc_output_context2(&oc, nullptr, "avi", AOut.c_str());
  std::vector<AVCodecContext*> dec(ic->nb_streams, nullptr);
  std::vector<TDirectOut> outs(ic->nb_streams);
  SwrContext* swr = nullptr;
  AVAudioFifo* fifo = nullptr;
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    AVCodecParameters* par = ic->streams[i]->codecpar;
    if (par->codec_type != AVMEDIA_TYPE_VIDEO && par->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    const AVCodec* dcodec = AVCodecStubs.avcodec_find_decoder(par->codec_id);
    dec[i] = AVCodecStubs.avcodec_alloc_context3(dcodec);
    AVCodecStubs.avcodec_parameters_to_context(dec[i], par);
    dec[i]->pkt_timebase = ic->streams[i]->time_base;
    dec[i]->thread_count = 1;
    AVCodecStubs.avcodec_open2(dec[i], dcodec, nullptr);
    const bool video = par->codec_type == AVMEDIA_TYPE_VIDEO;
    const AVCodec* ecodec = AVCodecStubs.avcodec_find_encoder_by_name(video ? "mpeg4" : "libmp3lame");
    AVCodecContext* c = AVCodecStubs.avcodec_alloc_context3(ecodec);
    c->thread_count = 1;
    if (video) {
      c->width = par->width;
      c->height = par->height;
      c->pix_fmt = AV_PIX_FMT_YUV420P;
      c->time_base = AVRational{1, kRate};
      c->framerate = AVRational{kRate, 1};
      c->bit_rate = std::stoll(kVideoRate);
    } else {
      c->sample_rate = par->sample_rate;
      c->sample_fmt = ecodec->sample_fmts[0];
      AVUtilStubs.av_channel_layout_copy(&c->ch_layout, &par->ch_layout);
      c->time_base = AVRational{1, par->sample_rate};
      c->bit_rate = std::stoll(kAudioRate);
    }
    if (oc->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (AVCodecStubs.avcodec_open2(c, ecodec, nullptr) < 0) return "cannot open an encoder";
    outs[i].Enc = c;
    outs[i].St = AVFormatStubs.avformat_new_stream(oc, nullptr);
    AVCodecStubs.avcodec_parameters_from_context(outs[i].St->codecpar, c);
    outs[i].St->time_base = c->time_base;
    if (!video) {
      SwrContext* s = nullptr;
      SwResampleStubs.swr_alloc_set_opts2(&s, &c->ch_layout, c->sample_fmt, c->sample_rate, &par->ch_layout,
                                          static_cast<AVSampleFormat>(par->format), par->sample_rate, 0, nullptr);
      SwResampleStubs.swr_init(s);
      swr = s;
      fifo = AVUtilStubs.av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, c->frame_size * 4);
    }
  }
  AVFormatStubs.avio_open2(&oc->pb, AOut.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr);
  if (AVFormatStubs.avformat_write_header(oc, nullptr) < 0) return "cannot write " + AOut;
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  AVPacket* opkt = AVCodecStubs.av_packet_alloc();
  AVFrame* frame = AVUtilStubs.av_frame_alloc();
  AVFrame* block = AVUtilStubs.av_frame_alloc();
  std::vector<uint8_t*> planes(8, nullptr);
  // Whole encoder frames out of the queue; at the end also the last, shorter one.
  auto drainAudio = [&](TDirectOut& AOutput, bool AEnd) {
    AVCodecContext* c = AOutput.Enc;
    while (AVUtilStubs.av_audio_fifo_size(fifo) >= c->frame_size || (AEnd && AVUtilStubs.av_audio_fifo_size(fifo) > 0)) {
      const int n = std::min(c->frame_size, AVUtilStubs.av_audio_fifo_size(fifo));
      block->format = c->sample_fmt;
      block->sample_rate = c->sample_rate;
      block->nb_samples = n;
      AVUtilStubs.av_channel_layout_copy(&block->ch_layout, &c->ch_layout);
      AVUtilStubs.av_frame_get_buffer(block, 0);
      AVUtilStubs.av_audio_fifo_read(fifo, reinterpret_cast<void**>(block->data), n);
      block->pts = AOutput.NextPts;
      AOutput.NextPts += n;
      DirectEncode(oc, AOutput, block, opkt);
      AVUtilStubs.av_frame_unref(block);
    }
  };
  auto take = [&](unsigned AIndex) {
    while (AVCodecStubs.avcodec_receive_frame(dec[AIndex], frame) >= 0) {
      TDirectOut& o = outs[AIndex];
      if (o.Enc->codec_type == AVMEDIA_TYPE_VIDEO) {
        frame->pts = o.NextPts++;
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        DirectEncode(oc, o, frame, opkt);
      } else {
        const int room = static_cast<int>(SwResampleStubs.swr_get_delay(swr, o.Enc->sample_rate)) + frame->nb_samples;
        if (AVUtilStubs.av_audio_fifo_realloc(fifo, AVUtilStubs.av_audio_fifo_size(fifo) + room) < 0) return;
        const int bytes = AVUtilStubs.av_samples_get_buffer_size(nullptr, o.Enc->ch_layout.nb_channels,
                                                                 room, o.Enc->sample_fmt, 1);
        uint8_t* mem = static_cast<uint8_t*>(AVUtilStubs.av_malloc(static_cast<size_t>(bytes)));
        const int planar = AVUtilStubs.av_sample_fmt_is_planar(o.Enc->sample_fmt);
        const int chans = o.Enc->ch_layout.nb_channels;
        const int per = planar ? bytes / chans : bytes;
        for (int ch = 0; ch < (planar ? chans : 1); ++ch) planes[static_cast<size_t>(ch)] = mem + ch * per;
        const int got = SwResampleStubs.swr_convert(swr, planes.data(), room,
                                                    const_cast<const uint8_t**>(frame->extended_data),
                                                    frame->nb_samples);
        if (got > 0) AVUtilStubs.av_audio_fifo_write(fifo, reinterpret_cast<void**>(planes.data()), got);
        AVUtilStubs.av_free(mem);
        drainAudio(o, false);
      }
      AVUtilStubs.av_frame_unref(frame);
    }
  };
  while (AVFormatStubs.av_read_frame(ic, pkt) >= 0) {
    const unsigned i = static_cast<unsigned>(pkt->stream_index);
    if (i < dec.size() && dec[i]) {
      AVCodecStubs.avcodec_send_packet(dec[i], pkt);
      take(i);
    }
    AVCodecStubs.av_packet_unref(pkt);
  }
  for (unsigned i = 0; i < dec.size(); ++i) {
    if (!dec[i]) continue;
    AVCodecStubs.avcodec_send_packet(dec[i], nullptr);
    take(i);
    if (outs[i].Enc->codec_type == AVMEDIA_TYPE_AUDIO) drainAudio(outs[i], true);
    DirectEncode(oc, outs[i], nullptr, opkt);
    AVCodecStubs.avcodec_free_context(&dec[i]);
    AVCodecStubs.avcodec_free_context(&outs[i].Enc);
  }
  AVFormatStubs.av_write_trailer(oc);
  SwResampleStubs.swr_free(&swr);
  AVUtilStubs.av_audio_fifo_free(fifo);
  AVUtilStubs.av_frame_free(&frame);
  AVUtilStubs.av_frame_free(&block);
  AVCodecStubs.av_packet_free(&pkt);
  AVCodecStubs.av_packet_free(&opkt);
  AVFormatStubs.avio_closep(&oc->pb);
  AVFormatStubs.avformat_free_context(oc);
  AVFormatStubs.avformat_close_input(&ic);
  return {};
}

// What the direct conversion needs: the libraries a program linking them would map.
const TLibraries kDirectLibraries{avCodec, avFormat, avUtil, swResample, myUtil};

void Convert(benchmark::State& AState, const char* AOut, const char* AVideo, const char* AAudio) {
  if (!FFLoader().Load(TaskLibraries)) {
    AState.SkipWithError("media libraries not loaded");
    return;
  }
  const std::string in = SourceClip();
  const std::string out = (Folder() / AOut).string();
  int64_t frames = 0;
  for (auto _ : AState) {
    const std::string failure = EngineConvert(in, out, AVideo, AAudio);
    if (!failure.empty()) {
      AState.SkipWithError(failure.c_str());
      break;
    }
    frames += kFrames;
  }
  AState.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  FFLoader().Unload(TaskLibraries);
}

void BM_Mpeg4Avi(benchmark::State& AState) { Convert(AState, "out.avi", "mpeg4", "libmp3lame"); }
// The same conversion through the libraries directly.
void BM_Mpeg4AviDirect(benchmark::State& AState) {
  if (!FFLoader().Load(kDirectLibraries)) {
    AState.SkipWithError("media libraries not loaded");
    return;
  }
  const std::string in = SourceClip();
  const std::string out = (Folder() / "direct.avi").string();
  int64_t frames = 0;
  for (auto _ : AState) {
    const std::string failure = DirectConvert(in, out);
    if (!failure.empty()) {
      AState.SkipWithError(failure.c_str());
      break;
    }
    frames += kFrames;
  }
  AState.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  FFLoader().Unload(kDirectLibraries);
}
void BM_H264Mp4(benchmark::State& AState) { Convert(AState, "out.mp4", "libx264", "aac"); }
// One H.264 job with the encoder on one thread, and with the free cores of a 4-core machine
// (one job running: all four).
void BM_H264Mp4OneThread(benchmark::State& AState) {
  SetEncoderCoreCount(1);
  Convert(AState, "out1.mp4", "libx264", "aac");
  SetEncoderCoreCount(0);
}
void BM_H264Mp4FourCores(benchmark::State& AState) {
  SetEncoderCoreCount(4);
  Convert(AState, "out4.mp4", "libx264", "aac");
  SetEncoderCoreCount(0);
}

// ---- whole processes -----------------------------------------------------------------------

// The child's part: load what the way needs, convert once, exit 0 on success.
int RunOnce(const std::string& AWay, const std::string& AIn, const std::string& AOut) {
  const bool engine = AWay == "engine";
  const TLibraries libs = engine ? TaskLibraries : kDirectLibraries;
  if (!FFLoader().Load(libs)) return 2;
  const std::string failure = engine ? EngineConvert(AIn, AOut, "mpeg4", "libmp3lame") : DirectConvert(AIn, AOut);
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    return 1;
  }
  return 0;
}

// Runs this program as a child doing one conversion; the wall time is the iteration's, the
// child's CPU time (all its threads) a counter.
void WholeProcess(benchmark::State& AState, const char* AWay) {
  const std::string in = SourceClip();
  const std::string out = (Folder() / (std::string("process-") + AWay + ".avi")).string();
  double cpu = 0;
  for (auto _ : AState) {
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<std::string> args = {self, "--once", AWay, in, out};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      AState.SkipWithError("cannot start the child");
      break;
    }
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      AState.SkipWithError("the child failed");
      break;
    }
    AState.SetIterationTime(wall);
    cpu += ru.ru_utime.tv_sec + ru.ru_utime.tv_usec / 1e6 + ru.ru_stime.tv_sec + ru.ru_stime.tv_usec / 1e6;
  }
  AState.counters["child_cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
}
void BM_ProcessMpeg4AviEngine(benchmark::State& AState) { WholeProcess(AState, "engine"); }
void BM_ProcessMpeg4AviDirect(benchmark::State& AState) { WholeProcess(AState, "direct"); }

// ---- encoder families on 1..N threads --------------------------------------------------------

// The video encoders of the catalogue's formats that can use threads at all (the others refuse
// more than one), each in a conversion of its own kind.
struct TFamily {
  const char* Encoder;
  const char* Audio;
  const char* File;
};
constexpr TFamily kThreadedFamilies[] = {
    {"mpeg4", "libmp3lame", "family.avi"},
    {"mpeg1video", "mp2", "family1.mpg"},
    {"mpeg2video", "mp2", "family2.mpg"},
    {"libx264", "aac", "family.mp4"},
};

// One whole conversion with the video encoder on range(1) threads whatever the engine's rule
// would give (args: family, threads); the CPU time is the process's, every thread counted.
void BM_FamilyThreads(benchmark::State& AState) {
  if (!FFLoader().Load(TaskLibraries)) {
    AState.SkipWithError("media libraries not loaded");
    return;
  }
  const TFamily& f = kThreadedFamilies[AState.range(0)];
  const int32_t threads = static_cast<int32_t>(AState.range(1));
  AState.SetLabel(std::string(f.Encoder) + " threads=" + std::to_string(threads));
  const std::string in = SourceClip();
  const std::string out = (Folder() / f.File).string();
  SetEncoderCoreCount(1);
  for (auto _ : AState) {
    TCustomFFmpeg e(4);
    e.Reset();
    e.Fverbose = -1;
    // Above one, the engine takes the count as given instead of applying its rule.
    e.Fthread_count = threads;
    if (!e.OpenInputFile(in)) {
      AState.SkipWithError(e.LastErrMsg().c_str());
      break;
    }
    e.DispatchOption("vcodec", f.Encoder);
    e.DispatchOption("acodec", f.Audio);
    e.DispatchOption("b", kVideoRate);
    if (e.OpenOutputFile(out) < 0) {
      AState.SkipWithError(e.LastErrMsg().c_str());
      break;
    }
    e.StartConvert(false);
    if (e.FatalException()) {
      AState.SkipWithError(e.FatalMessage().c_str());
      break;
    }
  }
  SetEncoderCoreCount(0);
  FFLoader().Unload(TaskLibraries);
}

BENCHMARK(BM_Mpeg4Avi)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Mpeg4AviDirect)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ProcessMpeg4AviEngine)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_ProcessMpeg4AviDirect)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_H264Mp4)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_H264Mp4OneThread)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_H264Mp4FourCores)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_FamilyThreads)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 2, 4, 8}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--once") == 0) return RunOnce(argv[2], argv[3], argv[4]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
