// The conversion engine's object: tables, defaults, the run thread and its boundary.
#include "Src/FFmpeg.h"

#include <sched.h>

#include <algorithm>
#include <thread>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "Src/MyUtils.h"
#include "Src/Previewer.h"
#include "Src/UnicodeProtocol.h"
#include "base/Files.h"
#include "base/MainThread.h"

// ---- threads ----------------------------------------------------------------------------

class TConvertThread : public TThread {
public:
  explicit TConvertThread(TCustomFFmpeg* AOwner) : TThread(true), FOwner(AOwner) {}

protected:
  void Execute() override {
    if (!FOwner) return;
    try {
      FOwner->RunConvert();
    } catch (...) {
      // The run boundary already caught everything it could; nothing may end the process.
    }
    // Last touch of the engine: its destructor may proceed once this is signalled.
    FOwner->FStopEvent.SetEvent();
  }

private:
  TCustomFFmpeg* FOwner;
};

class TDoTerminateThread : public TThread {
public:
  explicit TDoTerminateThread(TCustomFFmpeg* AOwner) : TThread(true), FOwner(AOwner) {}

protected:
  void Execute() override {
    try {
      FOwner->DoTerminate();
    } catch (...) {
    }
    FOwner->FTermEvent.SetEvent();
  }

private:
  TCustomFFmpeg* FOwner;
};

namespace {

// Waits for an event; on the main thread it keeps hand-overs and messages moving, so a
// worker that waits for the main thread can finish.
void WaitServing(TEvent& AEvent) {
  while (AEvent.WaitFor(20) != wrSignaled) {
    if (IsMainThread()) {
      CheckSynchronize();
      PumpMessages();
    }
  }
}

}  // namespace

// ---- output file record -----------------------------------------------------------------

TOutputFile::~TOutputFile() {
  for (auto& s : streams) {
    if (!s) continue;
    if (s->enc) {
      // rc_override and the matrices belong to the context; rc_override is ours to free.
      AVUtilStubs.av_freep(&s->enc->rc_override);
      AVUtilStubs.av_freep(&s->enc->stats_in);
      s->enc->rc_override_count = 0;
      AVCodecStubs.avcodec_free_context(&s->enc);
    }
    AVUtilStubs.av_dict_free(&s->codec_opts);
  }
  streams.clear();
  AVUtilStubs.av_dict_free(&format_opts);
  if (ctx) {
    if (FileOpened) CloseOutputURL(ctx);
    AVFormatStubs.avformat_free_context(ctx);
    ctx = nullptr;
  }
  // A file we created that received nothing is removed, so a failure leaves no empty file.
  if (FileOpened && Created && FileSizeOf(FileName) == 0) DeleteFile(FileName);
}

// ---- construction -----------------------------------------------------------------------

TCustomFFmpeg::TCustomFFmpeg(int32_t AMaxFiles) : FMaxFiles(AMaxFiles) {
  if (AMaxFiles < 1 || AMaxFiles > 512) throw EAssertionFailed("Assertion failed: AMaxFiles must lie in 1..512");
  Finput_files.assign(static_cast<size_t>(FMaxFiles), nullptr);
  Finput_files_ts_offset.assign(static_cast<size_t>(FMaxFiles), 0);
  Finput_files_ts_scale.assign(static_cast<size_t>(FMaxFiles), std::array<double, MAX_STREAMS>{});
  ResetDefaults();
}

TCustomFFmpeg::~TCustomFFmpeg() {
  Stop(true);
  // A terminate thread started by Cancel may still run DoTerminate on this object.
  WaitServing(FTermEvent);
  if (LibrariesLoaded()) {
    CleanUp();
    AVUtilStubs.av_dict_free(&FCodecPrivateOpts);
    AVUtilStubs.av_dict_free(&FFormatPrivateOpts);
  }
}

bool TCustomFFmpeg::LibrariesLoaded() const { return FFLoader().Loaded(TaskLibraries); }

std::string TCustomFFmpeg::FatalMessage() const {
  std::lock_guard lk(FStateLock);
  return FFatalMessage;
}

void TCustomFFmpeg::ResetDefaults() {
  for (auto& row : Finput_files_ts_scale) row.fill(0.0);
  Fnb_input_files = Fnb_output_files = Fnb_icodecs = Fnb_ocodecs = 0;
  Fstream_maps.clear();
  Fmeta_data_maps.clear();
  Fstreamid_map.fill(0);

  Flast_asked_format.clear();
  Fframe_width = Fframe_height = 0;
  Fframe_aspect_ratio = 0;
  Fframe_pix_fmt = Faudio_sample_fmt = -1;
  Fframe_topBand = Fframe_bottomBand = Fframe_leftBand = Fframe_rightBand = 0;
  Fmax_frames.fill(INT32_MAX);
  Fframe_rate = AVRational{0, 0};
  Fvideo_qscale = 0;
  Fintra_matrix.reset();
  Finter_matrix.reset();
  Fvideo_rc_override_string.clear();
  Fvideo_disable = Faudio_disable = Fsubtitle_disable = false;
  Fvideo_discard = 0;
  Fvideo_codec_name.clear();
  Faudio_codec_name.clear();
  Fsubtitle_codec_name.clear();
  Fvideo_codec_tag = Faudio_codec_tag = Fsubtitle_codec_tag = 0;
  Fvideo_language.clear();
  Faudio_language.clear();
  Fsubtitle_language.clear();
  Fsame_quality = Fdo_deinterlace = Fintra_only = Fqp_hist = Fforce_fps = false;
  Ftop_field_first = -1;
  Fme_threshold = 0;
  Fintra_dc_precision = 8;
  Floop_input = false;
  Floop_output = -1;
  Fvfilters.clear();
  Faudio_sample_rate = 44100;
  Faudio_channels = 2;
  Faudio_qscale = -99999;
  Faudio_volume = 256;
  Fmux_preload = 0.5f;
  Fmux_max_delay = 0.7f;
  Frecording_time = INT64_MAX;
  Fstart_time = Finput_ts_offset = 0;
  Frecording_timestamp = 0;
  Fdo_hex_dump = Fdo_pkt_dump = Fdo_psnr = Frate_emu = Fcopy_ts = Fopt_shortest = Finput_sync = Fexit_on_error = false;
  Fdo_pass = 0;
  Fpass_logfilename_prefix.clear();
  Fvideo_stream_copy = Faudio_stream_copy = Fsubtitle_stream_copy = 0;
  Fvideo_sync_method = -1;
  Faudio_sync_method = 0;
  Faudio_drift_threshold = 0.1f;
  Fdts_delta_threshold = 10;
  Fvideo_global_header = 0;
  Fvstats_filename.clear();
  Fopt_programid = 0;
  Fcopy_initial_nonkeyframes = 0;
  Fvideo_channel = 0;
  Fvideo_standard.clear();
  Fverbose = 1;
  Fthread_count = 1;
  Flimit_filesize = 0;
  Fchannel_layout = 0;
  Fusing_vhook = false;
  Fpgmyuv_compatibility_hack = 0;
  for (auto& chain : FPendingBsf) chain.clear();

  FEnableFilter = false;
  Fsws_flags = 4;
  InitFFOptions(FOptions);
  FOptionsAllocated = false;
  FThread = nullptr;
  FTotalOutputDuration = -1;
  FPostHooks.fill(false);
  FFatalException = false;
}

void TCustomFFmpeg::Reset() {
  if (!LibrariesLoaded()) return;
  CleanUp();
  ResetDefaults();
  FJoinMode = false;
  FConverting = FBroken = FFinished = FTerminated = false;
  FPaused = false;
  FTotalOutputDuration = -1;
  FRefusal.clear();
  AllocFFOptions(FOptions, static_cast<int32_t>(Fsws_flags));
  FOptionsAllocated = true;
}

void TCustomFFmpeg::CleanUp() {
  FFrameHooks.Release();
  if (!LibrariesLoaded()) return;
  if (FOptionsAllocated) FreeFFOptions(FOptions);
  FOptionsAllocated = false;
  AVUtilStubs.av_dict_free(&FCodecPrivateOpts);
  AVUtilStubs.av_dict_free(&FFormatPrivateOpts);

  // Join mode repeats one record; the shared pointers free it once.
  Foutput_files.clear();
  Foutput_codecs.clear();
  Fnb_output_files = 0;

  for (int32_t i = 0; i < Fnb_input_files; ++i) CloseInputURL(&Finput_files[static_cast<size_t>(i)]);
  Fnb_input_files = 0;
  FInputFileNames.clear();
  FInputDecoderOptions.clear();
  Finput_codecs.clear();

  Fintra_matrix.reset();
  Finter_matrix.reset();
  Fvstats_filename.clear();
  Fvideo_codec_name.clear();
  Faudio_codec_name.clear();
  Fsubtitle_codec_name.clear();
  Fvideo_standard.clear();
  Fvideo_rc_override_string.clear();
  Fvideo_language.clear();
  Faudio_language.clear();
  Fsubtitle_language.clear();
  Fsubtitle_codec_tag = 0;
}

// ---- run --------------------------------------------------------------------------------

void TCustomFFmpeg::Fail(const std::string& AText) {
  GetFFLogger()->Log(this, llQuiet, AText);
  std::lock_guard lk(FStateLock);
  FFatalException = true;
  FFatalMessage = AText;
}

TThread* TCustomFFmpeg::StartConvert(bool AUseThread, TThreadPriority APriority) {
  {
    std::lock_guard lk(FStateLock);
    if (FConverting || FTerminated || FTerminatePending) return nullptr;
  }
  std::string refusal;
  if (!FRefusal.empty())
    refusal = FRefusal;
  else if (Fnb_output_files <= 0)
    refusal = "At least one output file must be specified";
  else if (Fnb_input_files <= 0)
    refusal = "At least one input file must be specified";
  if (!refusal.empty()) {
    CleanUp();
    Fail(refusal);
    DoTerminate();
    return nullptr;
  }
  {
    std::lock_guard lk(FStateLock);
    FConverting = true;
    FBroken = FFinished = FTerminated = false;
    FPaused = false;
  }
  if (!AUseThread) {
    RunConvert();
    return nullptr;
  }
  FStopEvent.ResetEvent();
  auto* thread = new TConvertThread(this);
  thread->SetFreeOnTerminate(true);
  thread->SetPriority(APriority);
  std::lock_guard lk(FStateLock);
  FThread = thread;
  return thread;
}

bool TCustomFFmpeg::PauseCheckpoint() {
  std::unique_lock lk(FStateLock);
  FPauseCond.wait(lk, [this] { return !FPaused.load() || FBroken.load(); });
  return FBroken.load();
}

namespace {
std::atomic<int32_t> gRunning{0};
std::atomic<int32_t> gCores{0};
}  // namespace

void SetEncoderCoreCount(int32_t ACores) { gCores = std::max(0, ACores); }

int32_t RunningConversions() { return gRunning.load(); }

void TCustomFFmpeg::SetPostHooks(const TPostHooks& AHooks) {
  if (AHooks == FPostHooks) return;
  const bool dropPreview = FPostHooks[phPreview] && !AHooks[phPreview];
  FPostHooks = AHooks;
  if (dropPreview) ReleasePreviewer();
}

void TCustomFFmpeg::SetPostHooksLocked(const TPostHooks& AHooks) {
  std::lock_guard lk(PostHookLock());
  SetPostHooks(AHooks);
}

namespace {

// Measured in whole conversions of a 640x480 clip (bench/transcode.cpp): x264's frame threads
// scale with the cores; the MPEG encoders' slices do not, the decoder and the audio encoder
// on the conversion thread set the pace.
constexpr TEncoderThreading kEncoderThreading[] = {
    {"libx264", 16}, {"libx264rgb", 16},
    {"mpeg4", 1}, {"mpeg1video", 1}, {"mpeg2video", 1},
};

// The cores this process may run on: under taskset or a cpuset fewer than the machine has.
int32_t UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
  return static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace

int32_t EncoderThreadCount(const std::string& AEncoder) {
  int32_t most = 1;
  for (const TEncoderThreading& t : kEncoderThreading)
    if (AEncoder == t.Encoder) most = t.MaxThreads;
  if (most <= 1) return 1;
  const int32_t cores = gCores > 0 ? gCores.load() : UsableCores();
  return std::clamp(cores / std::max(1, gRunning.load()), 1, most);
}

void TCustomFFmpeg::RunConvert() {
  FFinished = false;
  ++gRunning;
  // Each step has its own guard: a failure is recorded and the following steps still run,
  // so the task always ends with its terminate event and nothing stays open.
  auto guarded = [this](auto&& AStep) {
    try {
      AStep();
    } catch (const std::exception& e) {
      Fail(e.what());
    } catch (...) {
      Fail("Unknown exception");
    }
  };
  guarded([this] {
    Transcode();
    if (!FBroken) FFinished = true;
  });
  guarded([this] { CloseEncoderList(); });
  guarded([this] { CloseDecoderList(); });
  guarded([this] { CleanUp(); });
  // Before the terminate event, which may start the next task.
  --gRunning;
  guarded([this] { DoTerminate(); });
}

void TCustomFFmpeg::CloseCodecList(std::list<AVCodecContext**>& AList) {
  while (!AList.empty()) {
    AVCodecContext** ctx = AList.front();
    AList.pop_front();
    if (!ctx || !*ctx) continue;
    std::lock_guard lk(CodecLock());
    AVUtilStubs.av_freep(&(*ctx)->stats_out);
    // The second pass's statistics are ours: the library never frees them.
    AVUtilStubs.av_freep(&(*ctx)->stats_in);
    AVCodecStubs.avcodec_free_context(ctx);
  }
}

void TCustomFFmpeg::DoTerminate() {
  {
    std::lock_guard lk(FStateLock);
    // Exactly one terminate per run, whichever thread gets here first.
    if (FTerminated) {
      FTerminatePending = false;
      return;
    }
    FConverting = false;
    FTerminated = true;
    FTerminatePending = false;
    FThread = nullptr;
    FPaused = false;
  }
  FPauseCond.notify_all();
  if (OnTerminate) OnTerminate(this);
}

void TCustomFFmpeg::Stop(bool AWaitFor) {
  {
    std::lock_guard lk(FStateLock);
    FBroken = true;
    FPaused = false;
    // A thread handed out but never started must run to its end before anyone can wait.
    // FThread is cleared under this lock before the thread can free itself.
    if (FThread && FThread->Suspended()) FThread->Resume();
  }
  FPauseCond.notify_all();
  // The event stays reset until the thread's last touch of the engine, even after its
  // DoTerminate cleared FThread, so a destructor waiting here is safe.
  if (AWaitFor) WaitServing(FStopEvent);
}

void TCustomFFmpeg::Cancel(bool AWaitFor) {
  bool converting = false, pending = false;
  {
    std::lock_guard lk(FStateLock);
    converting = FConverting;
    if (!converting && !FTerminated) {
      pending = true;
      if (!FTerminatePending) {
        FTerminatePending = true;
        FTermEvent.ResetEvent();
        auto* thread = new TDoTerminateThread(this);
        thread->SetFreeOnTerminate(true);
        thread->Start();
      }
    }
  }
  if (converting) {
    Stop(AWaitFor);
    return;
  }
  if (pending && AWaitFor) WaitServing(FTermEvent);
}

void TCustomFFmpeg::Pause() {
  std::lock_guard lk(FStateLock);
  if (FThread && FConverting) FPaused = true;
}

void TCustomFFmpeg::Resume() {
  {
    std::lock_guard lk(FStateLock);
    FPaused = false;
  }
  FPauseCond.notify_all();
}

// ---- table access -----------------------------------------------------------------------

AVFormatContext* TCustomFFmpeg::InputFile(int32_t AIndex) const {
  return AIndex >= 0 && AIndex < Fnb_input_files ? Finput_files[static_cast<size_t>(AIndex)] : nullptr;
}

TOutputFile* TCustomFFmpeg::OutputFile(int32_t AIndex) const {
  return AIndex >= 0 && AIndex < Fnb_output_files ? Foutput_files[static_cast<size_t>(AIndex)].get() : nullptr;
}

int64_t TCustomFFmpeg::InputTsOffset(int32_t AIndex) const {
  return AIndex >= 0 && AIndex < FMaxFiles ? Finput_files_ts_offset[static_cast<size_t>(AIndex)] : 0;
}

double TCustomFFmpeg::InputTsScale(int32_t AFile, int32_t AStream) const {
  if (AFile < 0 || AFile >= FMaxFiles || AStream < 0 || AStream >= MAX_STREAMS) return 0;
  return Finput_files_ts_scale[static_cast<size_t>(AFile)][static_cast<size_t>(AStream)];
}

const AVCodec* TCustomFFmpeg::InputCodec(int32_t AIndex) const {
  return AIndex >= 0 && AIndex < static_cast<int32_t>(Finput_codecs.size()) ? Finput_codecs[static_cast<size_t>(AIndex)]
                                                                             : nullptr;
}

const AVCodec* TCustomFFmpeg::OutputCodec(int32_t AIndex) const {
  return AIndex >= 0 && AIndex < static_cast<int32_t>(Foutput_codecs.size())
             ? Foutput_codecs[static_cast<size_t>(AIndex)]
             : nullptr;
}

const TBitstreamFilterChain& TCustomFFmpeg::PendingBitstreamFilters(int32_t AType) const {
  return FPendingBsf[static_cast<size_t>(AType == AVMEDIA_TYPE_AUDIO ? 1 : AType == AVMEDIA_TYPE_VIDEO ? 0 : 2)];
}
