#pragma once
// The player's engine, private to Src/FFPlayer*.cpp: the state of one open file shared by the
// engine's threads, the packet queues between the read thread and the decoders, and the entry
// points each part of the engine offers the others.
//
// Threads (FFPlayer.h names them): main (the component), play (event loop, refresh and
// drawing; the only one that touches SDL's screen and overlays), read, video, subtitle, SDL's
// audio callback, and the event thread. Every field of TVideoState says what guards it: a
// lock, "atomic", "set at open" (written before any engine thread starts, read-only after), or
// the one thread that touches it.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Src/AVAllocator.h"
#include "Src/FFPlayer.h"
#include "Src/FFmpegStubs.h"
#include "Src/libsdl.h"

#define AVU AVUtilStubs
#define AVC AVCodecStubs
#define AVF AVFormatStubs
#define AVFL AVFilterStubs
#define SWS SwScaleStubs
#define SWR SwResampleStubs
#define SDLS SDLStubs

namespace ffplayer {

double Now();  // seconds of the library's wall clock
std::string AVErrText(int ACode);

// Packets between the read thread and a decoder. A seek flushes the queue and starts a new
// serial; a consumer that sees a new serial flushes its decoder. A null packet means "drain".
// Every field is guarded by M.
struct TPacketQueue {
  struct TItem {
    AVPacket* Pkt;
    int Serial;
  };
  std::mutex M;
  std::condition_variable CV;
  std::deque<TItem> Items;
  int64_t Size = 0;  // bytes, with 72 per node as the engine always counted
  int Serial = 0;
  bool Abort = false;

  ~TPacketQueue();
  void Put(AVPacket* APkt);  // takes APkt (nullptr: drain marker)
  void Flush();
  void SetAbort();
  // Empty and open again after an abort, with a new serial (a stream switched).
  void Restart();
  // 1 got an item, 0 none (non-blocking), -1 aborted.
  int Get(AVPacket*& APkt, int& ASerial, bool ABlock);
  int64_t Bytes();
  bool Empty();
  int CurSerial();

private:
  void FlushLocked();
};

// A clock that runs from a time stamp set at a moment of the system clock. Guarded by M.
struct TClock {
  std::mutex M;
  double Pts = NAN, Updated = 0;
  bool Paused = false;
  double Get();
  void Set(double APts, double AAt);
  void SetPaused(bool AValue);
  void Invalidate();
};

struct TQueuedPicture {
  AVFrame* Frame = nullptr;  // YUV420P
  double Pts = 0, Duration = 0;
  int Serial = 0;
};

// One decoded bitmap subtitle; its palette already YUVA. Start and end times of Sub are
// milliseconds after Pts.
struct TSubtitleSlot {
  double Pts = 0;  // seconds
  AVSubtitle Sub{};
  int Serial = 0;  // of the subtitle queue it came from
};

constexpr size_t PictQueueSize = 3;
constexpr size_t SubQueueSize = 4;
constexpr int64_t MaxQueueBytes = 8 * 1024 * 1024;

extern std::atomic<int> GEngineThreads;

}  // namespace ffplayer

// The engine state of one open file, shared by the threads that work on it.
struct TVideoState {
  TCustomPlayer* Owner = nullptr;  // set at open; valid while the play thread runs (Stop joins it)
  AVFormatContext* ic = nullptr;   // set at open; then the read thread's alone
  std::atomic<bool> AbortRequest{false};
  std::atomic<bool> ReadFinished{false};  // also signalled through DoneLock/DoneCond
  double StartTime = 0;  // set at open. Seconds: the file's own start
  int64_t Duration = 0;  // set at open. Microseconds, 0 when unknown
  int64_t FileSize = -1;  // set at open
  std::vector<int> StreamTypes;  // set at open: media type of each stream, as opened

  // Video.
  int VideoStream = -1;              // set at open
  AVStream* video_st = nullptr;      // set at open
  AVCodecContext* VideoDec = nullptr;  // set at open; then the video thread's alone
  ffplayer::TPacketQueue videoq;     // its own lock
  std::mutex PictLock;
  std::condition_variable PictCond;
  std::deque<ffplayer::TQueuedPicture> pictq;  // PictLock
  int VideoFinishedSerial = -1;  // PictLock: serial whose decoder output ended
  AVFilterGraph* Graph = nullptr;  // video thread only, like the rest of the graph's fields
  AVFilterContext *BufferSrc = nullptr, *BufferSink = nullptr;
  int GraphW = 0, GraphH = 0, GraphFmt = -1;

  // Audio.
  std::atomic<int> AudioStream{-1};
  std::mutex AudioLock;       // the audio decoder: the callback decodes under it, a switch swaps under it
  int AudioSwitchReq = -1;    // ReqLock: stream asked for
  AVStream* audio_st = nullptr;         // AudioLock
  AVCodecContext* AudioDec = nullptr;   // AudioLock
  ffplayer::TPacketQueue audioq;        // its own lock
  SwrContext* Swr = nullptr;            // AudioLock, as are the converter's input fields
  int SwrInRate = 0, SwrInFmt = -1, SwrInChannels = 0;
  int DevRate = 0, DevChannels = 0, DevBufBytes = 0;  // set at open
  TAVVector<uint8_t> AudioBuf;  // AudioLock: converted samples not yet all handed over (the converter's output)
  size_t AudioBufIndex = 0;      // AudioLock
  double AudioClockEnd = NAN;    // AudioLock: time stamp of the end of AudioBuf
  int AudioSerial = -1;          // AudioLock
  bool AudioDraining = false;    // AudioLock
  std::atomic<int> AudioFinishedSerial{-1};
  std::atomic<int32_t> AudioPeak{0};
  bool AudioOpen = false;        // set at open
  AVFrame* AudioFrame = nullptr;  // set at open; used by the audio callback under AudioLock

  // Subtitles. The read thread opens, switches and closes the stream and its thread.
  std::atomic<int> SubtitleStream{-1};
  AVStream* subtitle_st = nullptr;        // read thread, and the subtitle thread while it runs
  AVCodecContext* SubtitleDec = nullptr;  // the subtitle thread's while it runs, else the read thread's
  ffplayer::TPacketQueue subtitleq;       // its own lock
  std::mutex SubLock;
  std::condition_variable SubCond;
  std::deque<ffplayer::TSubtitleSlot> subpq;  // SubLock: at most SubQueueSize, oldest first
  bool SubtitleStreamChanged = false;  // SubLock: the next refresh empties subpq
  std::atomic<bool> SubtitleStop{false};    // asks the subtitle thread to end (a switch)
  std::atomic<bool> SubtitleRedraw{false};  // a subtitle came or went: the shown picture is drawn again
  int SubtitleSwitchReq = -2;  // ReqLock: stream asked for, -1 none, -2 no request
  std::atomic<bool> TextSubtitleLogged{false};
  std::thread SubtitleThread;  // read thread only

  ffplayer::TClock AudClock, ExtClock;  // their own locks
  std::atomic<bool> Paused{false};
  std::atomic<bool> StepReq{false};
  std::atomic<int> ForceSerial{-1};  // the first picture of this serial shows even when paused
  std::atomic<bool> Eof{false};

  // Requests to the read thread.
  std::mutex ReqLock;
  std::condition_variable ReqCond;
  bool SeekReq = false;  // ReqLock, as are the three below
  int64_t SeekPos = 0;   // microseconds in the file's time
  bool SeekAny = false;
  bool SeekBytes = false;
  std::atomic<double> SeekTarget{NAN};  // seconds: earlier pictures and samples are dropped
  std::atomic<int> SeekSerial{-1};      // serial whose first picture ends the seek wait
  std::atomic<bool> SeekShown{true};

  // Shown picture, for snapshots.
  std::mutex ShownLock;
  AVFrame* Shown = nullptr;  // ShownLock
  double ShownPts = NAN;     // ShownLock

  // Display.
  SDL_Surface* Screen = nullptr;   // play thread; written under ScreenLock, read under it elsewhere
  SDL_Overlay* Overlay = nullptr;  // play thread only
  std::atomic<int> ResizeW{0}, ResizeH{0};
  std::atomic<bool> ResizeReq{false};
  mutable std::mutex RectLock;
  SDL_Rect Rect{0, 0, 0, 0};  // RectLock
  std::atomic<int> ScreenW{0}, ScreenH{0};
  int ScreenBpp = 0;  // set at open
  std::atomic<float> AspectRatio{0};

  // The audio display: the ring of the last samples handed to the device (channels
  // interleaved), and the drawing state of the spectrum.
  static constexpr int SampleArraySize = 131072;
  std::mutex SampleLock;
  std::vector<int16_t> sample_array = std::vector<int16_t>(SampleArraySize);  // SampleLock
  int sample_array_index = 0;    // SampleLock
  double AudioCallbackTime = 0;  // SampleLock
  int AudioPending = 0;  // SampleLock: bytes of the last decoded block not yet handed over
  std::atomic<int> show_audio{0};
  RDFTContext* rdft = nullptr;  // play thread only, as are the three below
  int rdft_bits = 0;
  TAVVector<float> rdft_data;  // the transform works on it in place with vector code
  int xpos = 0;
  std::atomic<double> LastAudioDisplay{0};
  std::mutex ScreenLock;  // the screen's pixels: drawn by the play thread, read by ScreenPixel

  THookEvent HookFn;  // set at open: raised on the video thread
  Tav_sync_type SyncType = AV_SYNC_AUDIO_MASTER;  // set at open, as are the options below
  std::string Filters;
  bool Flip = false;
  int ReorderPts = -1;
  int RdftSpeed = 20;
  TRepeatType Repeat = rtStop;
  int64_t PlayWindow = INT64_MIN;
  int64_t LoopStart = 0;

  std::atomic<double> MaxDiff{0};
  std::atomic<int64_t> Shown_{0}, Dropped{0};
  std::atomic<bool> EndRaised{false};
  int FramesAfterSeek = 0;  // play thread only

  std::thread ReadThread, VideoThread;  // play thread only: started and joined there
  std::mutex DoneLock;
  std::condition_variable DoneCond;

  ~TVideoState();
  void RequestAbort();
  bool is_audio_master() const { return AudioStream >= 0 && SyncType == AV_SYNC_AUDIO_MASTER; }
  double MasterClock();
  void SetPaused(bool AValue);
};

namespace ffplayer {

// Read thread and streams (FFPlayerRead.cpp).
int DecodeInterrupt(void* AOpaque);
void ReadThread(std::shared_ptr<TVideoState> is);

// Video and picture queue (FFPlayerVideo.cpp).
void VideoThread(std::shared_ptr<TVideoState> is);

// A picture's rows as 32-bit BGRA, laid out for the scaler: its vector paths store whole
// blocks of pixels past a row's end, so rows are as wide as the width rounded up to 64 pixels,
// 64-byte aligned, with the libraries' padding after the last.
struct TBGRARows {
  TAVVector<uint8_t> Buf;
  uint8_t* Data[4] = {};
  int Linesize[4] = {};
  bool Layout(int AWidth, int AHeight);  // false when the size is unusable
};
// The picture into ABmp (32-bit, sized to the picture). False when no scaler can be made.
bool FrameToBitmap(const AVFrame* f, TBitmap* ABmp, TBGRARows& ARows);

// Audio (FFPlayerAudio.cpp).
void AudioCallback(void* AOpaque, Uint8* AStream, int ALen);
void SwitchAudioStream(TVideoState* is, int AIndex);

// Bitmap subtitles (FFPlayerSubtitle.cpp).
// A palette entry (a, r, g, b from the high byte down) as a, y, u, v in the same places.
uint32_t RGBAToYUVA(uint32_t AColor);
// Blends a rectangle whose palette is already YUVA into a 4:2:0 picture of AWidth x AHeight,
// chroma by 2x2 blocks; a rectangle larger than the picture is cut, one partly outside moved in.
void BlendSubtitleRect(uint8_t* const APlanes[3], const int ALinesizes[3], const AVSubtitleRect* ARect, int AWidth,
                       int AHeight);
// Starts the subtitle thread of the open subtitle stream (read thread).
void StartSubtitles(TVideoState* is);
// Ends the subtitle thread and closes its decoder; the shown subtitles go (read thread).
void StopSubtitles(TVideoState* is);
// Shows another subtitle stream from now on, or none for -1 (read thread).
void SwitchSubtitleStream(TVideoState* is, int AIndex);
// Drops the subtitles that ended before a picture at APts, or all after a switch (play thread).
void ExpireSubtitles(TVideoState* is, double APts);
// Blends the subtitle due at APts into the overlay's picture (play thread, overlay locked).
void BlendSubtitle(TVideoState* is, SDL_Overlay* AOverlay, double APts);

// Display (FFPlayerDisplay.cpp): play thread only.
void DisplayPicture(TVideoState* is, AVFrame* f, double APts);
void DisplayAudio(TVideoState* is);

// One step of a wait on the calling thread: the main thread serves hand-overs and sent messages.
void WaitStep();

}  // namespace ffplayer
