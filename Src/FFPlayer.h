#pragma once
// The preview player: plays one media file into a window of its host through SDL 1.2.
//
// Threads of one open file: the play thread (the event loop: the only one that touches SDL's
// screen and overlay), the event thread (hands positions and states over to the main thread),
// the read thread (demuxes into the packet queues), the video thread (decodes, filters into
// YUV420P and fills the picture queue), the subtitle thread (decodes bitmap subtitles for the
// play thread to blend) and SDL's audio thread (the audio callback). The engine
// state is shared by those threads: a thread that outlives a stop (a read blocked in a slow
// input) keeps it alive and frees it when it returns, never touching the player again.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Src/FFBaseComponent.h"
#include "platform/WinTypes.h"

class TBitmap;
class TAVProbe;
struct TVideoState;

enum TPlayState { psPlay, psPause, psResume, psStep, psStop, psEnd };
enum TRepeatType { rtNone, rtStop, rtLoop };
enum TShowAudio { saNone, saWave, saRDFT };
enum TAudioDriver { adDefault, adDirectSound, adWaveOut };
enum TVideoDriver { vdDefault, vdDirectDraw, vdGDI };
enum Tav_sync_type { AV_SYNC_AUDIO_MASTER, AV_SYNC_VIDEO_MASTER, AV_SYNC_EXTERNAL_CLOCK };
using TAudioVolume = int32_t;  // 0 .. 128

using TFileOpenEvent = std::function<void(TObject* Sender, int64_t ADuration, int32_t AFrameWidth,
                                          int32_t AFrameHeight, int32_t& AScreenWidth, int32_t& AScreenHeight)>;
using TPositionEvent = std::function<void(TObject* Sender, int64_t APTS)>;
using TPlayStateEvent = std::function<void(TObject* Sender, TPlayState AState)>;
using THookEvent = std::function<void(TObject* Sender, TBitmap* ABitmap, int64_t APTS)>;

// The native window id SDL draws into (an X11 window id) of a host window; 0 when the host has
// none (headless). Without a resolver of its own the window layer's native subwindow is used.
using TNativeWindowIdFunc = std::function<uint64_t(win::HWND)>;
void SetPlayerNativeWindowResolver(TNativeWindowIdFunc AResolver);
// Engine threads still running (a read that outlived its stop); for the tests.
int PlayerEngineThreadsAlive();
uint64_t PlayerNativeWindowId(win::HWND AHandle);

struct TPlayEventItem {
  int32_t Kind = 0;  // 1 position, 2 state, 3 stop; 0 from a pop of an empty ring
  int64_t Value = 0;
};

// The notification ring between the engine's threads and the event thread: 10 slots, at most
// 9 items; an item of the same kind as the newest replaces it; a full ring drops its oldest.
class TPlayEvent {
public:
  void PushEvent(const TPlayEventItem& AItem);
  void PopEvent(TPlayEventItem& AItem);
  // Waits until the ring holds an item (or the timeout ends); answers whether it does.
  bool WaitEvent(int32_t ATimeoutMs);
  void Clear();
  int32_t Count();

private:
  std::mutex Lock;
  std::condition_variable Changed;
  bool Event = false;  // set while items remain
  int32_t Header = 0, Tailer = 0;
  TPlayEventItem Events[10];
};

class TCustomPlayer : public TFFBaseComponent {
public:
  explicit TCustomPlayer(TComponent* AOwner);
  ~TCustomPlayer() override;

  bool AVLibLoaded() const;
  bool LoadAVLib(const std::string& APath = "");
  void UnloadAVLib();

  bool Open(const std::string& AFileName, win::HWND AScreenHandle, bool APaused = false);
  void Stop(bool AWaitForStop = true);
  void Pause();
  void Resume();
  void TogglePause();
  void StepToNextFrame();
  // Absolute seek to APTS microseconds from the start of the file. Without sfAny the picture
  // lands on the asked time (decoding from the key frame before it); with sfAny on the key frame.
  void Seek(int64_t APTS, TSeekFlags ASeekFlags = {}, bool AWaitForSeekEnd = false);
  void Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd);
  // A copy of the picture now shown (0 x 0 when none), 32-bit; APTS its time stamp or -1.
  std::unique_ptr<TBitmap> CurrentFrame();
  std::unique_ptr<TBitmap> CurrentFrame(int64_t& APTS);
  void ToggleAudioDisplay();
  void SetShowAudio(TShowAudio AValue);
  // The colour (0xRRGGBB) of a pixel of the display area, 0 outside or without a screen.
  uint32_t ScreenPixel(int32_t X, int32_t Y) const;
  void UpdateScreenPosition() {}
  // The host window changed size: the picture is fitted again keeping its aspect.
  void HostResized(int32_t AWidth, int32_t AHeight);

  // Properties.
  std::string About;
  std::string Version() const { return "2.3"; }
  TFileOpenEvent OnFileOpen;
  TPositionEvent OnPosition;
  TPlayStateEvent OnState;
  THookEvent OnHook;
  TAudioDriver AudioDriver = adDefault;
  TVideoDriver VideoDriver = vdDefault;
  TAudioVolume AudioVolume() const { return FAudioVolume.load(); }
  void SetAudioVolume(TAudioVolume AValue);
  bool Mute() const { return FMute.load(); }
  void SetMute(bool AValue) { FMute = AValue; }
  bool DisableAudio = false, DisableVideo = false, DisableDisplay = false;
  int32_t FrameWidth = 0, FrameHeight = 0;
  int32_t ScreenWidth = 0, ScreenHeight = 0;
  bool Hook = false;
  bool TriggerEventInMainThread = true;
  TShowAudio ShowAudio = saWave;
  TRepeatType RepeatType = rtStop;
  int64_t PlayTime = INT64_MIN;    // INT64_MIN: no value
  int64_t start_time = INT64_MIN;  // INT64_MIN: no value
  bool VerticalFlip = false;
  std::string VideoFilters;
  int32_t wanted_video_stream = -1, wanted_audio_stream = -1, wanted_subtitle_stream = -1;
  int32_t seek_by_bytes = -1;
  Tav_sync_type av_sync_type = AV_SYNC_AUDIO_MASTER;
  int32_t workaround_bugs = 1, debug_mv = 0, lowres = 0, idct_algo = 0, error_recognition = 1, error_concealment = 3;
  bool fast = false, genpts = false;
  int32_t decoder_reorder_pts = -1;
  int32_t framedrop = 1;
  int32_t rdftspeed = 20;
  // The forced input format by name; empty lets the library probe. Raises Exception
  // "Unknown input format: %s" for a name the library does not know (the format is kept).
  const std::string& Format() const { return FFormat; }
  void SetFormat(const std::string& AValue);
  // A change while a file is open redoes the display.
  float AspectRatio() const { return FAspectRatio; }
  void SetAspectRatio(float AValue);

  int32_t VideoStreamIndex() const;
  int32_t AudioStreamIndex() const;
  // Switches to another audio stream of the open file (a stream number of the file).
  void SetAudioStreamIndex(int32_t AValue);
  // The subtitle stream shown (-1 none). Switching to another subtitle stream of the open file,
  // or to -1 for none, happens on the engine's read thread shortly after the call.
  int32_t SubtitleStreamIndex() const;
  void SetSubtitleStreamIndex(int32_t AValue);
  const std::string& FileName() const { return FFileName; }
  win::HWND ScreenHandle() const { return FScreenHandle; }
  TAVProbe* AVProbe() const { return FAVProbe.get(); }
  int64_t CurrentPTS() const { return FCurrentPTS.load(); }
  TPlayState PlayState() const { return FPlayState.load(); }
  bool Paused() const;
  bool Seeking() const { return FSeeking.load(); }
  std::string LastErrMsg() const;

  // The largest |video time - master clock| seen at display over the open file, in seconds,
  // and how many pictures were shown and dropped (for the log and the tests).
  double MaxAVDiff() const;
  int64_t FramesShown() const;
  int64_t FramesDropped() const;
  // The display rectangle of the picture in the host's client area (x, y, w, h).
  void DisplayRect(int32_t& X, int32_t& Y, int32_t& W, int32_t& H) const;
  // Peak absolute sample of the last audio buffer handed to the device (after volume).
  int32_t LastAudioPeak() const;

  // The ring and states (the engine's threads call these).
  void SetState(TPlayState AState);
  void PushEvent(const TPlayEventItem& AItem) { FPlayEvent.PushEvent(AItem); }
  void CheckPosition(int64_t APTS);

private:
  friend struct TVideoState;
  friend class TPlayerEngine;
  void SetDefaults();
  void ResetState();
  void ReportError(const std::string& AMsg);
  void EventThreadExecute();
  void PlayThreadExecute(std::shared_ptr<TVideoState> AState);
  // One refresh of the play thread: shows the picture whose time has come, reports the
  // position, handles the end and the play window. False when playing ends here.
  bool Refresh(TVideoState* is, bool& APauseAnnounced, double& ARemaining);
  void JoinThreads();
  void DoPosition(int64_t APTS);
  void DoState(TPlayState AState);

  std::unique_ptr<TAVProbe> FAVProbe;
  std::string FFileName;
  std::string FFormat;
  float FAspectRatio = 0;
  win::HWND FScreenHandle = nullptr;
  std::atomic<int32_t> FAudioVolume{128};
  std::atomic<bool> FMute{false};
  std::atomic<int64_t> FCurrentPTS{-1};
  std::atomic<int64_t> FLastPTS{INT64_MIN};
  std::atomic<TPlayState> FPlayState{psPlay};
  std::atomic<bool> FSeeking{false};
  mutable std::mutex FErrLock;
  std::string FLastErrMsg;
  bool FLibLoaded = false;
  bool FSDLStarted = false;

  TPlayEvent FPlayEvent;
  std::recursive_mutex FDataLock;
  std::shared_ptr<TVideoState> FVideoState;  // guarded by FDataLock
  std::thread FPlayThread, FEventThread;
  std::atomic<bool> FStopped{true};  // the play thread has ended (FStopEvent)
  std::atomic<bool> FEventDone{true};
};

class TFFPlayer : public TCustomPlayer {
public:
  using TCustomPlayer::TCustomPlayer;
};
