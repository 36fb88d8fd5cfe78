#pragma once
// The conversion engine: one object per conversion task. It holds the task's input and
// output files, the whole option state that the option layer fills, and the run's thread.
//
// Threads: the owner's thread builds the task (options, openings) and starts, pauses, resumes
// and stops it; the run itself happens on a conversion thread (or on the caller, for a
// synchronous run). Pausing is cooperative: the run waits at the points where it tests for a
// stop (PauseCheckpoint), holding no lock. Exactly one terminate event is raised per run.
//
// Failures inside a run are FFmpegException; the run boundary turns every exception into
// FatalException/FatalMessage and still raises the terminate event. Option operations raise
// FFmpegException (or EConvertError for numbers that do not convert); openings report by
// result and LastErrMsg.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "Src/FFUtils.h"
#include "Src/FrameHook.h"
#include "Src/PostHooks.h"
#include "base/Events.h"
#include "base/Exception.h"
#include "base/Object.h"
#include "base/Sync.h"
#include "base/Thread.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
}

OMBREL_EXCEPTION(FFmpegException, Exception)
// A broken precondition of a caller (capacity out of range, a tag that is not 4 characters).
OMBREL_EXCEPTION(EAssertionFailed, Exception)

class TCustomFFmpeg;
class TPreviewer;
class TBitmap;
class TTranscoder;

// Streams per file that the engine's per-file tables hold.
constexpr int MAX_STREAMS = 20;

struct TAVStreamMap {
  int32_t file_index = 0;
  int32_t stream_index = 0;
  int32_t sync_file_index = 0;
  int32_t sync_stream_index = 0;
};

struct TAVMetaDataMap {
  int32_t out_file = 0;
  int32_t in_file = 0;
};

// One bitstream filter of a chain: found by name when the option is given, instantiated by
// the transcode set-up. AArgs is the text after the first "=" of the option value.
struct TBitstreamFilterRef {
  const AVBitStreamFilter* filter = nullptr;
  std::string args;
};
using TBitstreamFilterChain = std::vector<TBitstreamFilterRef>;

// One output stream as the output opening made it. It owns its encoder context (in 5.1 a
// stream has none): the transcode set-up opens it with codec_opts and copies it into
// st->codecpar.
struct TOutputStreamSetup {
  AVStream* st = nullptr;
  AVCodecContext* enc = nullptr;     // owned
  const AVCodec* codec = nullptr;    // the encoder (nullptr for a stream copy)
  bool stream_copy = false;
  AVDictionary* codec_opts = nullptr;  // the encoder's private options, owned
  TBitstreamFilterChain bitstream_filters;
  // Video whose coded size is larger than the picture (the rest is padding): the picture's size.
  int32_t pad_width = 0, pad_height = 0;
};

// One output file. In join mode the same file serves several entries of the output table.
struct TOutputFile {
  AVFormatContext* ctx = nullptr;  // owned
  std::string FileName;            // as given (UTF-8 path)
  bool FileOpened = false;         // ctx->pb was opened by us
  std::string URL;                 // what ctx->pb is opened on when the run starts; empty: nothing
  bool Created = false;            // the file did not exist before we opened it
  AVDictionary* format_opts = nullptr;  // muxer private options for avformat_write_header, owned
  std::vector<std::unique_ptr<TOutputStreamSetup>> streams;  // by stream index
  // The engine's output codec list before this file was opened, for taking it back.
  int32_t OCodecsBefore = 0;
  size_t OutputCodecsBefore = 0;
  int64_t TotalDurationBefore = -1;
  ~TOutputFile();
};

// A decoded picture as a 24-bit bitmap; the handler may change it (AUpdate) or end the hook (AStopHook).
using TEngineCustomHookEvent = std::function<void(TObject* Sender, TBitmap* ABitmap, int32_t AFrameNumber,
                                                  int64_t APTS, bool& AUpdate, bool& AStopHook)>;
// An encoded picture as a 24-bit bitmap, valid during the call only.
using TEnginePreviewBitmapEvent =
    std::function<void(TObject* Sender, TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS)>;

using TEngineProgressEvent = std::function<void(TObject* Sender, int32_t AFileIndex, int32_t AFrameNumber,
                                                int32_t AFPS, float AQuality, float ABitRate, int64_t ACurrentSize,
                                                int64_t ACurrentDuration, int64_t ATotalDuration)>;

class TCustomFFmpeg : public TObject {
public:
  // AMaxFiles outside 1..512 raises EAssertionFailed.
  explicit TCustomFFmpeg(int32_t AMaxFiles = 32);
  ~TCustomFFmpeg() override;

  // ---- lifecycle ------------------------------------------------------------------------
  void Reset();
  // Returns the not yet started conversion thread (the caller calls Resume/Start on it; it
  // frees itself), or nullptr: run done synchronously, refused, or already run.
  TThread* StartConvert(bool AUseThread, TThreadPriority APriority = tpNormal);
  void Stop(bool AWaitFor);
  void Cancel(bool AWaitFor);
  void Pause();
  void Resume();
  bool Paused() const { return FPaused.load(); }

  int32_t nb_input_files() const { return Fnb_input_files; }
  int32_t nb_output_files() const { return Fnb_output_files; }
  bool Finished() const { return FFinished.load(); }
  bool Converting() const { return FConverting.load(); }
  bool Terminated() const { return FTerminated.load(); }
  bool Broken() const { return FBroken.load(); }
  bool FatalException() const { return FFatalException.load(); }
  std::string FatalMessage() const;
  std::string LastErrMsg() const { return FLastErrMsg; }
  int32_t MaxFiles() const { return FMaxFiles; }
  int64_t TotalOutputDuration() const { return FTotalOutputDuration; }

  int64_t ReportInterval = 500000;
  int64_t PreviewInterval = 100000;

  TNotifyEvent OnTerminate;
  TEngineProgressEvent OnProgress;
  TEngineCustomHookEvent OnCustomHook;
  TEnginePreviewBitmapEvent OnPreviewBitmap;
  // Statistics of the last run.
  int64_t Fvideo_size = 0, Faudio_size = 0, Fextra_size = 0;
  int32_t Fnb_frames_dup = 0, Fnb_frames_drop = 0;

  // ---- options ------------------------------------------------------------------------
  void DispatchOption(const std::string& AName, const std::string& AValue);
  void SetAudioVolume(int32_t AValue);
  void SetAudioSyncMethod(int32_t AValue) { Faudio_sync_method = AValue; }
  void SetVideoSyncMethod(int32_t AValue) { Fvideo_sync_method = AValue; }
  void SetMuxMaxDelay(float AValue);
  void SetMuxPreload(float AValue);
  void SetStartTime(int64_t AValue);
  void SetProgramID(int32_t AValue);
  void SetRecordingTime(int64_t AValue);
  // With ARefused, it tells a value the libraries refused (true) from a name none knows.
  bool SetAVOption(const std::string& AName, const std::string& AValue, bool* ARefused = nullptr);
  bool SetAVOptionInt(const std::string& AName, int32_t AValue);

  // Handlers shared with the record mapping.
  void SetFormat(const std::string& AValue);
  void AddMetadata(const std::string& AKey, const std::string& AValue);
  int64_t ParseTimeOption(const std::string& AName, const std::string& AValue, bool AIsDuration);
  void ParseMatrix(std::unique_ptr<std::array<uint16_t, 64>>& AMatrix, const std::string& AText);
  void AddBitstreamFilter(const std::string& AName, const std::string& AValue);
  void OptFrameRate(const std::string& AValue);
  void OptFrameSize(const std::string& AValue);
  void OptAspect(const std::string& AValue);
  void OptCodec(const std::string& AName, const std::string& AValue);
  void OptCodecTag(const std::string& AName, const std::string& AValue);
  void OptCrop(const std::string& AName, const std::string& AValue);
  void OptVideoFilters(const std::string& AValue);
  void OptAudioRate(const std::string& AValue);
  void OptAudioChannels(const std::string& AValue);

  // The post hooks a run calls for every encoded picture. An unchanged set does nothing;
  // dropping phPreview lets the previewer go (ReleasePreviewer). The locked form holds the
  // post-hook lock, which a run holds while it calls the hooks, so a switch never falls in
  // the middle of a preview.
  TPostHooks PostHooks() const { return FPostHooks; }
  void SetPostHooks(const TPostHooks& AHooks);
  void SetPostHooksLocked(const TPostHooks& AHooks);

  // Targets, presets and the statistics file (FFmpegPresets.cpp); "vhook" (FrameHook.cpp).
  virtual void OptTarget(const std::string& AValue);
  virtual void ApplyPreset(const std::string& AName, const std::string& AValue);
  virtual void SetVStats();
  virtual void AddFrameHook(const std::string& AValue);
  // The hooks added with "vhook"; released by CleanUp.
  TFrameHookChain& FrameHooks() { return FFrameHooks; }

  // ---- opening ------------------------------------------------------------------------
  bool OpenInputFile(const std::string& AFileName);
  // The number of output entries after adding, or -1 with LastErrMsg.
  int32_t OpenOutputFile(const std::string& AFileName, bool AJoin = false);
  // Takes back the output opened last (all its entries in join mode) with its streams, as if
  // it had not been opened; a file it created that got no byte is removed. False when there is
  // none or a run is going on.
  bool RemoveLastOutputFile();
  // A refused output: a run of this task ends at once with AMessage (the first refusal kept),
  // whatever outputs were set later.
  void SetRefusal(const std::string& AMessage) {
    if (FRefusal.empty()) FRefusal = AMessage;
  }
  const std::string& Refusal() const { return FRefusal; }
  // The decoder options given by name before input AFile was opened, for ACodec: a dictionary
  // the caller frees, or nullptr.
  AVDictionary* DecoderOptions(int32_t AFile, const AVCodec* ACodec) const;
  // Puts the descriptors of the input files to rest until the run reads them again.
  void ReleaseInputDescriptors();
  // Opens the output files that are still closed (the run does it before writing headers);
  // raises FFmpegException with the reason when one cannot be opened.
  void OpenOutputDescriptors();
  // AType: 0 video, 1 audio, 3 subtitle.
  bool FindCodec(const std::string& AName, int32_t AType, AVCodecID& ACodecID, int32_t AStrict, bool AEncoder);
  void new_video_stream(TOutputFile& AFile);
  void new_audio_stream(TOutputFile& AFile);
  void new_subtitle_stream(TOutputFile& AFile);

  // Read access to the tables for the transcoder and tests.
  AVFormatContext* InputFile(int32_t AIndex) const;
  TOutputFile* OutputFile(int32_t AIndex) const;
  int64_t InputTsOffset(int32_t AIndex) const;
  double InputTsScale(int32_t AFile, int32_t AStream) const;
  const AVCodec* InputCodec(int32_t AIndex) const;
  const AVCodec* OutputCodec(int32_t AIndex) const;
  int32_t nb_icodecs() const { return Fnb_icodecs; }
  int32_t nb_ocodecs() const { return Fnb_ocodecs; }
  bool JoinMode() const { return FJoinMode; }
  const std::vector<TAVStreamMap>& StreamMaps() const { return Fstream_maps; }
  const std::vector<TAVMetaDataMap>& MetaDataMaps() const { return Fmeta_data_maps; }
  const std::vector<std::pair<std::string, std::string>>& PendingMetadata() const { return Fmetadata; }
  const TBitstreamFilterChain& PendingBitstreamFilters(int32_t AType) const;
  TFFOptions& Options() { return FOptions; }
  AVDictionary* PendingCodecPrivateOptions() const { return FCodecPrivateOpts; }
  AVDictionary* PendingFormatPrivateOptions() const { return FFormatPrivateOpts; }

  // ---- option state (defaults set by ResetDefaults) -------------------------------------
  std::string Flast_asked_format;
  int32_t Fframe_width = 0, Fframe_height = 0;
  float Fframe_aspect_ratio = 0;
  int32_t Fframe_pix_fmt = -1, Faudio_sample_fmt = -1;
  int32_t Fframe_topBand = 0, Fframe_bottomBand = 0, Fframe_leftBand = 0, Fframe_rightBand = 0;
  std::array<int32_t, 4> Fmax_frames{};
  AVRational Fframe_rate{0, 0};
  float Fvideo_qscale = 0;
  std::unique_ptr<std::array<uint16_t, 64>> Fintra_matrix, Finter_matrix;
  std::string Fvideo_rc_override_string;
  bool Fvideo_disable = false, Faudio_disable = false, Fsubtitle_disable = false;
  int32_t Fvideo_discard = 0;
  std::string Fvideo_codec_name, Faudio_codec_name, Fsubtitle_codec_name;
  uint32_t Fvideo_codec_tag = 0, Faudio_codec_tag = 0, Fsubtitle_codec_tag = 0;
  std::string Fvideo_language, Faudio_language, Fsubtitle_language;
  bool Fsame_quality = false, Fdo_deinterlace = false, Fintra_only = false, Fqp_hist = false, Fforce_fps = false;
  int32_t Ftop_field_first = -1;
  int32_t Fme_threshold = 0;
  int32_t Fintra_dc_precision = 8;
  bool Floop_input = false;
  int32_t Floop_output = -1;
  std::string Fvfilters;
  int32_t Faudio_sample_rate = 44100;
  int32_t Faudio_channels = 2;
  float Faudio_qscale = -99999;
  int32_t Faudio_volume = 256;
  float Fmux_preload = 0.5f, Fmux_max_delay = 0.7f;
  int64_t Frecording_time = INT64_MAX;
  int64_t Fstart_time = 0, Finput_ts_offset = 0;
  int64_t Frecording_timestamp = 0;
  bool Fdo_hex_dump = false, Fdo_pkt_dump = false, Fdo_psnr = false, Frate_emu = false, Fcopy_ts = false,
       Fopt_shortest = false, Finput_sync = false, Fexit_on_error = false;
  int32_t Fdo_pass = 0;
  std::string Fpass_logfilename_prefix;
  int32_t Fvideo_stream_copy = 0, Faudio_stream_copy = 0, Fsubtitle_stream_copy = 0;
  int32_t Fvideo_sync_method = -1;
  int32_t Faudio_sync_method = 0;
  float Faudio_drift_threshold = 0.1f;
  float Fdts_delta_threshold = 10;
  int32_t Fvideo_global_header = 0;
  std::string Fvstats_filename;
  int32_t Fopt_programid = 0;
  int32_t Fcopy_initial_nonkeyframes = 0;
  int32_t Fvideo_channel = 0;
  std::string Fvideo_standard;
  int32_t Fverbose = 1;
  int32_t Fthread_count = 1;
  int64_t Flimit_filesize = 0;
  std::array<int32_t, MAX_STREAMS> Fstreamid_map{};
  int64_t Fchannel_layout = 0;
  bool Fusing_vhook = false;
  int32_t Fpgmyuv_compatibility_hack = 0;
  uint32_t Fsws_flags = 4;
  bool FEnableFilter = false;
  std::array<bool, 3> FPostHooks{};  // by TPostHook

protected:
  // The run itself (set-up, packet loop, flush), FFmpegTranscode*.cpp.
  virtual void Transcode();
  // The frame-hook chain ("vhook") over one decoded picture, changed in place.
  virtual void ProcessFrameHooks(uint8_t* const AData[4], const int ALinesize[4], AVPixelFormat APixFmt,
                                 int32_t AWidth, int32_t AHeight, int64_t APTS) {
    RunFrameHooks(*this, AData, ALinesize, APixFmt, AWidth, AHeight, APTS);
  }
  // Shows the picture in the engine's previewer window (made on demand); false once it was closed.
  virtual bool PaintPreviewFrame(TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS);
  // Frees the preview window, if any (phPreview left the post hooks).
  virtual void ReleasePreviewer();
  std::unique_ptr<TPreviewer> FPreviewer;
  // Called by the run before every packet and every duplicated frame: waits while paused
  // (holding no lock) and answers whether a stop was requested.
  bool PauseCheckpoint();

  void RunConvert();
  void DoTerminate();
  void CleanUp();
  void ResetDefaults();
  // Open codec contexts of a run, closed under the codec lock by the run boundary.
  void AddCodecItem(std::list<AVCodecContext**>& AList, AVCodecContext** ACtx) { AList.push_front(ACtx); }
  void RemoveCodecItem(std::list<AVCodecContext**>& AList, AVCodecContext** ACtx) { AList.remove(ACtx); }
  void CloseEncoderList() { CloseCodecList(FEncoderList); }
  void CloseDecoderList() { CloseCodecList(FDecoderList); }

  std::string FLastErrMsg;
  std::list<AVCodecContext**> FEncoderList, FDecoderList;

private:
  friend class TConvertThread;
  friend class TTranscoder;
  friend class TDoTerminateThread;

  void CloseCodecList(std::list<AVCodecContext**>& AList);
  void Fail(const std::string& AText);  // the run boundary's handling of one failure
  void ResetPerFileInputOptions();
  bool IsTaskInput(const std::string& AFileName) const;
  int32_t OpenOutputFileInner(const std::string& AFileName, bool AJoin, std::shared_ptr<TOutputFile>& AFile);
  void SetupJoin();
  TOutputStreamSetup& NewStream(TOutputFile& AFile, AVMediaType AType);
  void TakePrivateOptions(TOutputStreamSetup& AStream);
  void ChoosePixelFmt(AVCodecContext* AEnc, const AVCodec* ACodec);
  // An encoder for the inputs' first subtitle stream that the output format takes, or "".
  std::string SubtitleEncoderFor(const AVOutputFormat* AFormat) const;
  void FitVideoSize(TOutputStreamSetup& AStream, AVCodecContext* AEnc, const AVCodec* ACodec);
  void ChooseSampleFmt(AVCodecContext* AEnc, const AVCodec* ACodec);
  void ChooseSampleRate(AVCodecContext* AEnc, const AVCodec* ACodec);
  void ParseRcOverride(AVCodecContext* AEnc);
  void check_audio_video_sub_inputs(bool& AHasVideo, bool& AHasAudio, bool AJoin, bool& AHasSubtitle);
  bool LibrariesLoaded() const;
  // FindCodec's lookup, answering the codec itself (nullptr: no name, or failure with LastErrMsg).
  const AVCodec* LookupCodec(const std::string& AName, int32_t AType, int32_t AStrict, bool AEncoder, bool& AFailed);
  void RecordOutputCodec(const AVCodec* ACodec);

  const int32_t FMaxFiles;
  std::vector<AVFormatContext*> Finput_files;
  std::vector<std::string> FInputFileNames;
  std::vector<int64_t> Finput_files_ts_offset;
  std::vector<std::array<double, MAX_STREAMS>> Finput_files_ts_scale;
  std::vector<const AVCodec*> Finput_codecs;
  int32_t Fnb_input_files = 0, Fnb_icodecs = 0;
  std::vector<std::shared_ptr<TOutputFile>> Foutput_files;
  std::vector<const AVCodec*> Foutput_codecs;
  int32_t Fnb_output_files = 0, Fnb_ocodecs = 0;
  std::vector<TAVStreamMap> Fstream_maps;
  std::vector<TAVMetaDataMap> Fmeta_data_maps;
  std::vector<std::pair<std::string, std::string>> Fmetadata;
  std::array<TBitstreamFilterChain, 3> FPendingBsf;  // video, audio, subtitle
  TFrameHookChain FFrameHooks;
  AVDictionary* FCodecPrivateOpts = nullptr;   // encoder private options given by name
  AVDictionary* FFormatPrivateOpts = nullptr;  // muxer private options given by name
  TFFOptions FOptions;
  bool FOptionsAllocated = false;
  bool FJoinMode = false;
  int64_t FTotalOutputDuration = -1;
  std::string FRefusal;
  // Decoder options by input file, kept when it is opened (the option state moves on).
  struct TDecoderOptions {
    std::array<std::vector<std::pair<std::string, std::string>>, 3> Generic;  // video, audio, subtitle
    std::vector<std::pair<std::string, std::string>> Private;
  };
  std::vector<TDecoderOptions> FInputDecoderOptions;
  void CaptureDecoderOptions(size_t AFile);

  // Run state. FStateLock guards the transitions between idle, converting and terminated and
  // the thread pointer; it is never held while an event runs or while the run pauses.
  mutable std::mutex FStateLock;
  std::condition_variable FPauseCond;
  std::atomic<bool> FConverting{false}, FBroken{false}, FFinished{false}, FTerminated{false};
  std::atomic<bool> FPaused{false}, FFatalException{false};
  bool FTerminatePending = false;
  std::string FFatalMessage;
  TThread* FThread = nullptr;
  TEvent FStopEvent{true, true};
  TEvent FTermEvent{true, true};
};

// The codec an output format takes for a media type when the task names none: the old
// libraries' choice where it differs from the installed ones (mov and mp4 took MPEG-4 and AAC;
// mp3 and flac had no video).
AVCodecID MuxerDefaultCodec(const AVOutputFormat* AFormat, const std::string& AFileName, AVMediaType AType);

// The folder and name start of the two-pass statistics of an output when no prefix is given:
// in a writable folder of this user, one name per output file.
std::string PassLogPrefixFor(const std::string& AOutputFile);

// Whether extra threads pay for a video encoder family, and how many it takes at most. Only
// the families whose whole conversions ran faster with more threads have more than one: the
// slice-threaded MPEG encoders gained nothing and spent a fifth more CPU time waking their
// threads (bench/transcode.cpp, BM_FamilyThreads, holds the measurement).
struct TEncoderThreading {
  const char* Encoder;  // the encoder's name
  int32_t MaxThreads;   // 1: extra threads do not pay
};

// The threads the video encoder AEncoder opened now gets: one for a family absent from the
// table or whose extra threads do not pay; else the cores the run leaves free (the usable
// cores divided among the conversions running at this moment, at least one), never more than the
// family's most.
int32_t EncoderThreadCount(const std::string& AEncoder);
// The cores EncoderThreadCount shares out; 0 (the default) means those this process may run on.
void SetEncoderCoreCount(int32_t ACores);
// Conversions running in this process at this moment.
int32_t RunningConversions();

// Serialises the preview post hooks of every engine with the owner's changes of the hooks.
std::recursive_mutex& PostHookLock();

// The engine as the task component creates it.
class TFFmpeg : public TCustomFFmpeg {
public:
  using TCustomFFmpeg::TCustomFFmpeg;
};
