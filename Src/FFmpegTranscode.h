#pragma once
// The run of one conversion: the run tables, the packet loop, decoding and dispatch, frame
// output, the video filter graphs, progress and the picture hooks. One TTranscoder lives for
// one run of one engine, on the conversion thread. Internal to the engine's sources.
#include <cstdint>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Src/AVAllocator.h"
#include "Src/FFPicture.h"
#include "Src/FFmpeg.h"
#include "Src/FFmpegStubs.h"

class TVideoFilterGraph;

// One stream of an input file.
struct TInputStream {
  int32_t file_index = 0;
  int32_t index = 0;  // in its file
  AVStream* st = nullptr;
  bool discard = true;  // until some output takes it
  bool decoding_needed = false;
  AVCodecContext* dec = nullptr;  // owned (listed in the engine's decoder list while open)
  int64_t start = 0;              // clock when reading began (rate emulation)
  int64_t next_pts = AV_NOPTS_VALUE;
  int64_t pts = 0;  // microseconds
  bool is_start = true;
  bool showed_multi_packet_warning = false;
  bool is_past_recording_time = false;
  bool decoder_flushed = false;
  float quality = 0;
  // Decoded audio as packed signed 16-bit samples at the decoder's rate and channel count.
  SwrContext* to_s16 = nullptr;
  int to_s16_format = -1, to_s16_rate = 0, to_s16_channels = 0;
};

// One stream of an output file.
struct TOutputStream {
  int32_t file_index = 0;
  int32_t index = 0;         // in its file
  int32_t source_index = 0;  // in the input stream table
  int32_t sync_ist = 0;
  AVStream* st = nullptr;
  TOutputStreamSetup* setup = nullptr;
  AVCodecContext* enc = nullptr;  // the setup's context (open while encoding)
  bool stream_copy = false;
  bool encoding_needed = false;
  bool encoder_flushed = false;
  int32_t frame_number = 0;
  int64_t sync_opts = 0;
  bool show_fps = true;

  // Time of the end of the last packet handed to the muxer, in the stream's time base.
  int64_t cur_dts = AV_NOPTS_VALUE;
  int64_t last_dts = AV_NOPTS_VALUE;  // of the last packet handed to the muxer
  float last_quality = -1;  // of the last coded picture, quantiser units times 118 (lambda)
  uint64_t last_error[4] = {};
  int64_t last_pts = AV_NOPTS_VALUE;  // of the last coded picture, encoder time base
  int32_t frame_size_written = 0;     // bytes of the last packet written
  int32_t last_pict_type = 0;         // of the last coded picture

  // Video without filter graph: crop and scale.
  bool video_crop = false, video_resample = false;
  int32_t topBand = 0, bottomBand = 0, leftBand = 0, rightBand = 0;
  int32_t original_topBand = 0, original_bottomBand = 0, original_leftBand = 0, original_rightBand = 0;
  int32_t original_width = 0, original_height = 0;
  int32_t resample_width = 0, resample_height = 0, resample_pix_fmt = -1;
  SwsContext* img_resample_ctx = nullptr;
  AVFrame* pict_tmp = nullptr;   // scaler output
  AVFrame* enc_frame = nullptr;  // the frame handed to the encoder (refers to the picture)
  std::unique_ptr<TVideoFilterGraph> graph;  // one per filtered output

  // Audio: conversion from packed s16 to the encoder's rate, channels and format.
  bool audio_resample = false;
  bool audio_started = false;  // a block has been timed and queued
  SwrContext* swr = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVFrame* audio_frame = nullptr;
  std::vector<uint8_t*> conv_planes;
  uint8_t* conv_buf = nullptr;
  int32_t conv_capacity = 0;  // samples per channel

  std::vector<AVBSFContext*> bsfs;
  FILE* logfile = nullptr;
};

class TTranscoder {
public:
  explicit TTranscoder(TCustomFFmpeg& AEngine);
  ~TTranscoder();
  TTranscoder(const TTranscoder&) = delete;
  TTranscoder& operator=(const TTranscoder&) = delete;

  void Run();

  // ---- set-up (FFmpegTranscodeSetup.cpp) ----
  void BuildInputTables();
  void BuildOutputTables();
  void MapOutputStreams();
  int32_t FindSourceStream(const TOutputStream& AOst);
  void SetupCodecParameters();
  void SetupStreamCopy(TOutputStream& AOst, TInputStream& AIst);
  void SetupEncoding(TOutputStream& AOst, TInputStream& AIst, int32_t AIndex);
  void OpenPassLogFile(TOutputStream& AOst, int32_t AIndex);
  void OpenEncoders();
  void OpenDecoders();
  void InitInputPts();
  void CopyMetadataMaps();
  void CopyAllChapters();
  void WriteHeaders();
  void DumpStreamMapping();
  void ReleaseRunTables();

  // ---- loop (FFmpegTranscode.cpp) ----
  void Loop();
  void End();
  void CloseEncoders();
  void CloseDecoders();

  // ---- decoding and dispatch (FFmpegFrameDecode.cpp) ----
  int32_t OutputPacket(TInputStream& AIst, int32_t AIstIndex, const AVPacket* APkt);
  void DispatchFrame(TInputStream& AIst, int32_t AIstIndex, AVFrame* AFrame, const AVPacket* APkt);
  void DispatchCopy(TInputStream& AIst, int32_t AIstIndex, const AVPacket* APkt);
  void DrainEncoders(int32_t AIstIndex);
  void WriteFrame(TOutputStream& AOst, AVPacket* APkt);
  // Sends one frame (nullptr: drain) and writes every packet that comes out; the count.
  int32_t EncodeAndWrite(TOutputStream& AOst, AVFrame* AFrame);

  // ---- frame output (FFmpegFrameOutput.cpp) ----
  void DoAudioOut(TOutputStream& AOst, TInputStream& AIst, const uint8_t* ABuf, int32_t ASize);
  void DoVideoOut(TOutputStream& AOst, TInputStream& AIst, AVFrame* APicture, int32_t& AFrameSize);
  void DoSubtitleOut(TOutputStream& AOst, TInputStream& AIst, AVSubtitle* ASub, int64_t APts);
  void DoVideoStats(TOutputStream& AOst, int32_t AFrameSize);
  void FlushAudioQueue(TOutputStream& AOst);

  // ---- progress and hooks (FFmpegProgress.cpp) ----
  void ReportProgress(bool AIsLast, int32_t AFileIndex);
  void RunPostHooks(const AVFrame* APicture, TOutputStream& AOst);
  // The picture the outputs get: APicture itself or the engine's processed copy.
  AVFrame* PreProcessVideoFrame(TInputStream& AIst, AVFrame* APicture);
  void RunCustomHook(AVFrame* APicture, int64_t APts);

  TCustomFFmpeg& E;
  std::vector<int32_t> file_ist_index;  // first input stream of each input
  std::vector<bool> eof_reached;
  std::vector<TInputStream> ist_table;
  std::vector<TOutputStream> ost_table;
  std::vector<bool> no_packet;
  int32_t no_packet_count = 0;
  int32_t first_block = 0;  // streams of output file 0 (join mode)
  int64_t timer_start = 0;
  int64_t last_report = 0;

  // Decoded audio as packed s16 (the engine's sample buffer) and the working buffers; both go
  // through the resampler, so they come from the libraries' allocator.
  TAVVector<uint8_t> samples;
  TAVVector<uint8_t> input_tmp;
  AVFrame* decoded = nullptr;
  AVFrame* filtered = nullptr;  // a picture taken from a filter graph
  AVFrame* hook_frame_filtered() { return filtered; }
  AVPacket* out_pkt = nullptr;
  FILE* vstats_file = nullptr;
  int64_t last_vstats_time = 0;

  // Progress.
  std::array<int32_t, 52> qp_histogram{};
  bool show_dup_or_drop = false;
  // Hooks.
  int32_t hook_frame_number = 0;
  AVFrame* hook_frame = nullptr;
  TRGBConvertContext custom_hook_ctx;
  TRGBConvertContext post_ctx;
  int64_t preview_last_time = 0;
  bool tables_released = false;
};

// Bytes of a packed s16 sample frame of AChannels channels.
inline int32_t S16FrameBytes(int32_t AChannels) { return 2 * AChannels; }

// Applies the volume (256 = unchanged) to packed 16-bit samples, rounding and clamping.
void ApplyVolume(int16_t* ASamples, size_t ACount, int32_t AVolume);

// The vertical 5-tap low-pass of the old deinterlacer on the planar YUV and grey formats;
// false for other formats or sizes that are not multiples of 4.
bool DeinterlacePicture(uint8_t* const ADst[4], const int ADstLinesize[4], const uint8_t* const ASrc[4],
                        const int ASrcLinesize[4], AVPixelFormat APixFmt, int32_t AWidth, int32_t AHeight);

// The video filter graph of one output stream: buffer source, optional crop and scale, the
// user's chain, and a buffer sink fixed to the encoder's pixel format.
class TVideoFilterGraph {
public:
  ~TVideoFilterGraph();
  // 0 or -1. Sets the encoder's width and height to the graph's output size. The filter
  // library is bound here at the first graph of the process; when it cannot be, raises
  // FFmpegException with the loader's text.
  int32_t Configure(const AVCodecContext* ADec, AVCodecContext* AEnc, int32_t ATop, int32_t ABottom, int32_t ALeft,
                    int32_t ARight, uint32_t ASwsFlags, const std::string& AFilters, bool AKeepEncoderSize = false);
  // Pushes a picture (nullptr: end of input) with its time in microseconds.
  int32_t Push(AVFrame* AFrame, int64_t APtsUs);
  // Takes the next filtered picture into AOut; its time in microseconds into APtsUs.
  bool Pull(AVFrame* AOut, int64_t& APtsUs);

  AVFilterGraph* graph = nullptr;
  AVFilterContext* src = nullptr;
  AVFilterContext* sink = nullptr;
  int32_t in_width = 0, in_height = 0, in_format = -1;
  // Set before Configure: the picture is scaled to this size and padded to the encoder's.
  int32_t pad_width = 0, pad_height = 0;
};
