// The player component: its properties and transport, opening a file and starting the engine
// (FFPlayerState.h and the FFPlayer*.cpp files beside this one), snapshots, and the host
// window it draws into.
#include "Src/FFPlayer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Src/AVProbe.h"
#include "Src/FFPlayerState.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/MyUtils.h"
#include "base/Exception.h"
#include "base/Format.h"
#include "base/MainThread.h"
#include "classlib/Graphics.h"
#include "platform/WinUser.h"

using namespace ffplayer;

namespace {

std::mutex& ResolverLock() {
  static std::mutex m;
  return m;
}
TNativeWindowIdFunc& Resolver() {
  static TNativeWindowIdFunc r;
  return r;
}

}  // namespace

void SetPlayerNativeWindowResolver(TNativeWindowIdFunc AResolver) {
  std::lock_guard l(ResolverLock());
  Resolver() = std::move(AResolver);
}
uint64_t PlayerNativeWindowId(win::HWND AHandle) {
  if (!AHandle) return 0;
  std::lock_guard l(ResolverLock());
  // By default the window layer's own native subwindow of the host (0 on the headless backend).
  return Resolver() ? Resolver()(AHandle) : uint64_t(win::GetNativeWindowHandle(AHandle));
}

namespace {

// The one embedded host of the process (main thread only): its window, its own procedure and
// the player that owns them.
win::HWND GHostHandle = nullptr;
win::WNDPROC GHostProc = nullptr;
TCustomPlayer* GHostPlayer = nullptr;

win::LRESULT HostWindowProc(win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
  if (h != GHostHandle || !GHostProc) return win::DefWindowProc(h, m, w, l);
  switch (m) {
    case win::WM_CLOSE:
      return 0;
    case win::WM_SIZE:
      if (GHostPlayer) GHostPlayer->HostResized(win::LOWORD(uintptr_t(l)), win::HIWORD(uintptr_t(l)));
      break;
    case win::WM_ERASEBKGND:
      if (GHostPlayer && !GHostPlayer->Paused()) return 1;  // never over SDL's picture
      break;
    default:
      break;
  }
  return win::CallWindowProc(GHostProc, h, m, w, l);
}

void AttachHost(TCustomPlayer* APlayer, win::HWND AHandle) {
  if (!AHandle || GHostHandle == AHandle) {
    if (AHandle) GHostPlayer = APlayer;
    return;
  }
  GHostProc = reinterpret_cast<win::WNDPROC>(
      win::SetWindowLongPtr(AHandle, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(&HostWindowProc)));
  GHostHandle = AHandle;
  GHostPlayer = APlayer;
}

void DetachHost(TCustomPlayer* APlayer) {
  if (GHostPlayer != APlayer || !GHostHandle) return;
  if (win::IsWindow(GHostHandle))
    win::SetWindowLongPtr(GHostHandle, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(GHostProc));
  GHostHandle = nullptr;
  GHostProc = nullptr;
  GHostPlayer = nullptr;
}

}  // namespace

TCustomPlayer::TCustomPlayer(TComponent* AOwner) : TFFBaseComponent(AOwner) {
  FAVProbe = std::make_unique<TAVProbe>(nullptr);
  SetDefaults();
  ResetState();
}

TCustomPlayer::~TCustomPlayer() {
  // The events stay assigned until every thread has ended: the engine's threads read them.
  Stop(true);
  JoinThreads();
  FAVProbe.reset();
  if (FLibLoaded) UnloadAVLib();
}

void TCustomPlayer::SetDefaults() {
  VideoFilters.clear();
  FFormat.clear();
  FFileName.clear();
  FrameWidth = FrameHeight = 0;
  av_sync_type = AV_SYNC_AUDIO_MASTER;
  debug_mv = 0;
  workaround_bugs = 1;
  fast = genpts = false;
  lowres = idct_algo = 0;
  error_recognition = 1;
  error_concealment = 3;
  decoder_reorder_pts = -1;
  framedrop = 1;
  rdftspeed = 20;
}

void TCustomPlayer::ResetState() {
  FLastPTS = INT64_MIN;
  FCurrentPTS = -1;
  wanted_video_stream = wanted_audio_stream = wanted_subtitle_stream = -1;
  seek_by_bytes = -1;
  start_time = PlayTime = INT64_MIN;
  RepeatType = rtStop;
  VerticalFlip = false;
  FSeeking = false;
}

void TCustomPlayer::ReportError(const std::string& AMsg) {
  {
    std::lock_guard l(FErrLock);
    FLastErrMsg = AMsg;
  }
  GetFFLogger()->Log(this, llError, AMsg);
}

std::string TCustomPlayer::LastErrMsg() const {
  std::lock_guard l(FErrLock);
  return FLastErrMsg;
}

bool TCustomPlayer::AVLibLoaded() const { return FFLoader().Loaded(PlayerLibraries); }

bool TCustomPlayer::LoadAVLib(const std::string& APath) {
  if (FLibLoaded) return true;
  if (!APath.empty()) FFLoader().SetLibraryPath(APath);
  if (!FFLoader().Load(PlayerLibraries)) {
    ReportError(FFLoader().LastErrMsg());
    return false;
  }
  // Every picture passes the filter graph: the player binds the filter library with the rest.
  if (!FFLoader().Require(avFilter)) {
    FFLoader().Unload(PlayerLibraries);
    ReportError(FFLoader().LastErrMsg());
    return false;
  }
  FLibLoaded = true;
  return true;
}

void TCustomPlayer::UnloadAVLib() {
  if (!FLibLoaded) return;
  Stop(true);
  JoinThreads();
  FFLoader().Unload(PlayerLibraries);
  FLibLoaded = false;
}

void TCustomPlayer::SetAudioVolume(TAudioVolume AValue) { FAudioVolume = std::clamp(AValue, 0, 128); }

int32_t TCustomPlayer::VideoStreamIndex() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->VideoStream : -1;
}
int32_t TCustomPlayer::AudioStreamIndex() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->AudioStream.load() : -1;
}
int32_t TCustomPlayer::SubtitleStreamIndex() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->SubtitleStream.load() : -1;
}

void TCustomPlayer::SetSubtitleStreamIndex(int32_t AValue) {
  std::lock_guard l(FDataLock);
  TVideoState* is = FVideoState.get();
  if (!is || AValue == is->SubtitleStream) return;
  // -1 turns subtitles off.
  if (AValue < -1 || AValue >= int(is->StreamTypes.size())) {
    ReportError("the stream index is not valid.");
    return;
  }
  if (AValue >= 0 && is->StreamTypes[size_t(AValue)] != AVMEDIA_TYPE_SUBTITLE) {
    ReportError("the stream type is not matched.");
    return;
  }
  std::lock_guard rl(is->ReqLock);
  is->SubtitleSwitchReq = AValue;
  is->ReqCond.notify_all();
}

void TCustomPlayer::SetAudioStreamIndex(int32_t AValue) {
  std::lock_guard l(FDataLock);
  TVideoState* is = FVideoState.get();
  if (!is || AValue == is->AudioStream) return;
  if (!is->AudioOpen || AValue < 0 || AValue >= int(is->StreamTypes.size()) ||
      is->StreamTypes[size_t(AValue)] != AVMEDIA_TYPE_AUDIO) {
    ReportError(::Format("Invalid audio stream index: %d", AValue));
    return;
  }
  std::lock_guard rl(is->ReqLock);
  is->AudioSwitchReq = AValue;
  is->ReqCond.notify_all();
}

bool TCustomPlayer::Paused() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return !FVideoState || FVideoState->Paused;
}

double TCustomPlayer::MaxAVDiff() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->MaxDiff.load() : 0;
}
int64_t TCustomPlayer::FramesShown() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->Shown_.load() : 0;
}
int64_t TCustomPlayer::FramesDropped() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->Dropped.load() : 0;
}
int32_t TCustomPlayer::LastAudioPeak() const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  return FVideoState ? FVideoState->AudioPeak.load() : 0;
}
void TCustomPlayer::DisplayRect(int32_t& X, int32_t& Y, int32_t& W, int32_t& H) const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  X = Y = W = H = 0;
  if (!FVideoState) return;
  std::lock_guard rl(FVideoState->RectLock);
  X = FVideoState->Rect.x;
  Y = FVideoState->Rect.y;
  W = FVideoState->Rect.w;
  H = FVideoState->Rect.h;
}

void TCustomPlayer::JoinThreads() {
  if (FPlayThread.joinable()) {
    while (!FStopped) WaitStep();
    FPlayThread.join();
    // The file is closed: what was set for it does not carry over to the next one.
    ResetState();
  }
  if (FEventThread.joinable()) {
    // The event thread ends after the stop item; it may be waiting in a hand-over.
    while (FPlayEvent.Count() > 0 || !FEventDone) WaitStep();
    FEventThread.join();
  }
  DetachHost(this);
  if (FSDLStarted) {
    SDLS.SDL_Quit();
    FSDLStarted = false;
  }
}

void TCustomPlayer::Stop(bool AWaitForStop) {
  std::shared_ptr<TVideoState> st;
  {
    std::lock_guard l(FDataLock);
    st = FVideoState;
  }
  if (st) st->RequestAbort();
  st.reset();
  if (!AWaitForStop) return;
  JoinThreads();
}

bool TCustomPlayer::Open(const std::string& AFileName, win::HWND AScreenHandle, bool APaused) {
  if (!AVLibLoaded()) {
    ReportError("libav or libsdl not loaded.");
    return false;
  }
  Stop(true);
  FPlayEvent.Clear();  // nothing of the previous file reaches this one
  {
    std::lock_guard l(FErrLock);
    FLastErrMsg.clear();
  }
  // Driver choice; a value set from outside (tests use the dummy drivers) is left alone.
  static const char* const AudioNames[] = {nullptr, "pulse", "alsa"};
  static const char* const VideoNames[] = {nullptr, "x11", "x11"};
  if (AudioNames[AudioDriver]) setenv("SDL_AUDIODRIVER", AudioNames[AudioDriver], 1);
  if (VideoNames[VideoDriver]) setenv("SDL_VIDEODRIVER", VideoNames[VideoDriver], 1);
  // StartSDL: the host's native window becomes SDL's drawing surface.
  const uint64_t wid = PlayerNativeWindowId(AScreenHandle);
  if (wid) setenv("SDL_WINDOWID", std::to_string(wid).c_str(), 1);
  const bool sdlOk = SDLS.SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) == 0;
  if (wid) unsetenv("SDL_WINDOWID");
  if (!sdlOk) {
    ReportError(::Format("Could not initialize SDL with ScreenHandle(%u): %s", unsigned(wid), SDLS.SDL_GetError()));
    return false;
  }
  FSDLStarted = true;
  auto fail = [&](const std::string& AMsg) {
    ReportError(AMsg);
    JoinThreads();  // SDL_Quit
    SetDefaults();
    ResetState();
    return false;
  };
  if (DisableDisplay) DisableVideo = true;
  else if (!SDLS.SDL_GetVideoInfo())
    return fail("SDL_GetVideoInfo() failed");

  auto is = std::make_shared<TVideoState>();
  is->Owner = this;
  is->AudioFrame = AVU.av_frame_alloc();
  // OpenStream.
  is->ic = AVF.avformat_alloc_context();
  is->ic->interrupt_callback.callback = DecodeInterrupt;
  is->ic->interrupt_callback.opaque = is.get();
  if (genpts) is->ic->flags |= AVFMT_FLAG_GENPTS;
  const AVInputFormat* fmt = nullptr;
  if (!FFormat.empty()) fmt = AVF.av_find_input_format(FFormat.c_str());
  AVDictionary* opts = nullptr;
  if (FrameWidth > 0 && FrameHeight > 0)
    AVU.av_dict_set(&opts, "video_size", ::Format("%dx%d", FrameWidth, FrameHeight).c_str(), 0);
  int r = AVF.avformat_open_input(&is->ic, AFileName.c_str(), fmt, &opts);
  AVU.av_dict_free(&opts);
  if (r < 0) return fail(::Format("%s: %s", AFileName, AVErrText(r)));
  r = AVF.avformat_find_stream_info(is->ic, nullptr);
  if (r < 0) return fail(::Format("%s: could not find codec parameters", AFileName));
  AVFormatContext* ic = is->ic;
  is->StartTime = ic->start_time != AV_NOPTS_VALUE ? ic->start_time / 1000000.0 : 0;
  is->Duration = ic->duration != AV_NOPTS_VALUE ? ic->duration : 0;
  is->FileSize = ic->pb ? AVF.avio_size(ic->pb) : -1;
  for (unsigned i = 0; i < ic->nb_streams; ++i) is->StreamTypes.push_back(ic->streams[i]->codecpar->codec_type);
  auto best = [&](AVMediaType AType, int AWanted) {
    int n = 0, found = -1;
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
      if (ic->streams[i]->codecpar->codec_type != AType) continue;
      if (AWanted >= 0 ? n == AWanted : found < 0) found = int(i);
      ++n;
    }
    return found;
  };
  auto openDecoder = [&](int AIndex, AVCodecContext*& ACtx) -> bool {
    AVStream* st = ic->streams[AIndex];
    const AVCodec* codec = AVC.avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec) return false;
    std::lock_guard l(CodecLock());
    ACtx = AVC.avcodec_alloc_context3(codec);
    if (AVC.avcodec_parameters_to_context(ACtx, st->codecpar) < 0) return false;
    ACtx->pkt_timebase = st->time_base;
    ACtx->workaround_bugs = workaround_bugs;
    ACtx->lowres = std::min(lowres, int(codec->max_lowres));
    ACtx->idct_algo = idct_algo;
    ACtx->error_concealment = error_concealment;
    ACtx->thread_count = 1;
    if (fast) ACtx->flags2 |= AV_CODEC_FLAG2_FAST;
    return AVC.avcodec_open2(ACtx, codec, nullptr) >= 0;
  };
  if (!DisableVideo) {
    int v = best(AVMEDIA_TYPE_VIDEO, wanted_video_stream);
    if (v >= 0 && !(ic->streams[v]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
      if (openDecoder(v, is->VideoDec)) {
        is->VideoStream = v;
        is->video_st = ic->streams[v];
      }
    }
  }
  if (!DisableAudio) {
    int a = best(AVMEDIA_TYPE_AUDIO, wanted_audio_stream);
    if (a >= 0 && openDecoder(a, is->AudioDec)) {
      is->AudioStream = a;
      is->audio_st = ic->streams[a];
    }
  }
  if (!DisableVideo) {
    const int s = best(AVMEDIA_TYPE_SUBTITLE, wanted_subtitle_stream);
    if (s >= 0 && openDecoder(s, is->SubtitleDec)) {
      is->SubtitleStream = s;
      is->subtitle_st = ic->streams[s];
    }
  }
  if (is->VideoStream < 0 && is->AudioStream < 0) return fail(::Format("%s: could not open codecs", AFileName));
  is->AspectRatio = FAspectRatio;
  is->SyncType = av_sync_type;
  is->Filters = VideoFilters;
  is->Flip = VerticalFlip;
  is->ReorderPts = decoder_reorder_pts;
  is->RdftSpeed = std::max(rdftspeed, 1);
  is->Repeat = RepeatType;
  is->PlayWindow = PlayTime;
  is->LoopStart = start_time != INT64_MIN ? start_time : 0;
  is->show_audio = DisableDisplay ? 0 : int(ShowAudio);
  if (Hook && OnHook) is->HookFn = OnHook;

  int32_t fw = -1, fh = -1;
  if (is->VideoStream >= 0) {
    fw = is->VideoDec->width;
    fh = is->VideoDec->height;
  }
  int32_t sw = ScreenWidth, sh = ScreenHeight;
  if ((sw <= 0 || sh <= 0) && AScreenHandle) {
    win::RECT rc{};
    if (win::GetClientRect(AScreenHandle, &rc)) {
      sw = rc.right - rc.left;
      sh = rc.bottom - rc.top;
    }
  }
  if (sw <= 0 || sh <= 0) {
    sw = fw > 0 ? fw : 320;
    sh = fh > 0 ? fh : 240;
  }
  FFileName = AFileName;
  FScreenHandle = AScreenHandle;
  if (OnFileOpen) {
    auto call = [&] { OnFileOpen(this, is->Duration, fw, fh, sw, sh); };
    if (TriggerEventInMainThread) CallInMainThread(call);
    else call();
  }
  ScreenWidth = sw;
  ScreenHeight = sh;
  is->ScreenW = sw;
  is->ScreenH = sh;
  if (!DisableDisplay) {
    // A palette suits no picture: below 16 bits (SDL's dummy driver gives 8) ask for 32.
    const SDL_VideoInfo* vi = SDLS.SDL_GetVideoInfo();
    is->ScreenBpp = vi && vi->vfmt && vi->vfmt->BitsPerPixel >= 16 ? 0 : 32;
    is->Screen = SDLS.SDL_SetVideoMode(sw, sh, is->ScreenBpp, SDL_SWSURFACE);
    if (!is->Screen) return fail(::Format("SDL: could not set video mode - exiting: %s", SDLS.SDL_GetError()));
  }
  if (is->AudioStream >= 0) {
    SDL_AudioSpec want{}, have{};
    want.freq = is->AudioDec->sample_rate;
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(std::clamp(is->AudioDec->ch_layout.nb_channels, 1, 2));
    want.samples = 512;
    want.callback = AudioCallback;
    want.userdata = is.get();
    if (SDLS.SDL_OpenAudio(&want, &have) < 0) {
      GetFFLogger()->Log(this, llError, "SDL_OpenAudio: %s", SDLS.SDL_GetError());
      is->AudioStream = -1;
    } else {
      is->AudioOpen = true;
      is->DevRate = have.freq;
      is->DevChannels = have.channels;
      is->DevBufBytes = int(have.size);
    }
  }
  if (start_time != INT64_MIN) {
    is->SeekReq = true;
    is->SeekPos = start_time;
  }
  if (APaused) {
    is->SetPaused(true);
    is->ForceSerial = 0;  // the first serial of the queues
  }
  {
    std::lock_guard l(FDataLock);
    FVideoState = is;
  }
  FStopped = false;
  FEventDone = false;
  FEventThread = std::thread([this] {
    EventThreadExecute();
    FEventDone = true;
  });
  FPlayThread = std::thread([this, is] { PlayThreadExecute(is); });
  AttachHost(this, AScreenHandle);
  if (is->AudioOpen) SDLS.SDL_PauseAudio(0);
  return true;
}

void TCustomPlayer::Pause() {
  std::lock_guard l(FDataLock);
  if (!FVideoState || FVideoState->Paused) return;
  FVideoState->SetPaused(true);
  FVideoState->StepReq = false;
  SetState(psPause);
}

void TCustomPlayer::Resume() {
  std::lock_guard l(FDataLock);
  if (!FVideoState || !FVideoState->Paused) return;
  FVideoState->StepReq = false;
  FVideoState->SetPaused(false);
  SetState(psResume);
}

void TCustomPlayer::TogglePause() {
  if (Paused()) Resume();
  else Pause();
}

void TCustomPlayer::StepToNextFrame() {
  std::lock_guard l(FDataLock);
  if (!FVideoState) return;
  if (!FVideoState->Paused) FVideoState->SetPaused(true);
  // Two steps in a row announce one.
  if (!FVideoState->StepReq.exchange(true)) SetState(psStep);
  std::lock_guard pl(FVideoState->PictLock);
  FVideoState->PictCond.notify_all();
}

void TCustomPlayer::Seek(int64_t APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
  std::shared_ptr<TVideoState> is;
  {
    std::lock_guard l(FDataLock);
    is = FVideoState;
  }
  if (!is) return;
  if (ASeekFlags.Contains(sfByte)) {
    if (is->FileSize > 0) APTS = std::min(APTS, is->FileSize);
  } else if (is->Duration > 0) {
    APTS = std::min(APTS, is->Duration);
  }
  APTS = std::max<int64_t>(APTS, 0);
  {
    std::lock_guard l(is->ReqLock);
    is->SeekReq = true;
    is->SeekPos = APTS;
    is->SeekAny = ASeekFlags.Contains(sfAny);
    is->SeekBytes = ASeekFlags.Contains(sfByte);
    is->SeekShown = false;
    is->ReqCond.notify_all();
  }
  FSeeking = true;
  if (!ASeekFlags.Contains(sfByte)) FCurrentPTS = APTS;
  if (AWaitForSeekEnd) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!is->SeekShown && !is->AbortRequest && std::chrono::steady_clock::now() < until) WaitStep();
  }
  FSeeking = !is->SeekShown;
}

void TCustomPlayer::Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
  int64_t pos = CurrentPTS();
  if (pos < 0) pos = 0;
  Seek(int64_t(pos + ADelta * 1000000), ASeekFlags, AWaitForSeekEnd);
}

std::unique_ptr<TBitmap> TCustomPlayer::CurrentFrame() {
  int64_t pts;
  return CurrentFrame(pts);
}

std::unique_ptr<TBitmap> TCustomPlayer::CurrentFrame(int64_t& APTS) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  APTS = -1;
  std::shared_ptr<TVideoState> is;
  {
    std::lock_guard l(FDataLock);
    is = FVideoState;
  }
  if (!is) return bmp;
  std::lock_guard l(is->ShownLock);
  AVFrame* f = is->Shown;
  if (!f) return bmp;
  TBGRARows rows;
  if (!FrameToBitmap(f, bmp.get(), rows)) return bmp;
  APTS = int64_t((is->ShownPts - is->StartTime) * 1000000);
  return bmp;
}

void TCustomPlayer::SetFormat(const std::string& AValue) {
  if (!AVLibLoaded()) {
    ReportError("libav or libsdl not loaded.");
    return;
  }
  if (!AValue.empty() && !AVF.av_find_input_format(AValue.c_str()))
    throw Exception(::Format("Unknown input format: %s", AValue));
  FFormat = AValue;
}

void TCustomPlayer::SetAspectRatio(float AValue) {
  FAspectRatio = AValue;
  std::lock_guard l(FDataLock);
  if (!FVideoState) return;
  FVideoState->AspectRatio = AValue;
  // Redone as a resize to the same size: the shown picture is fitted again.
  FVideoState->ResizeW = FVideoState->ScreenW.load();
  FVideoState->ResizeH = FVideoState->ScreenH.load();
  FVideoState->ResizeReq = true;
  std::lock_guard pl(FVideoState->PictLock);
  FVideoState->PictCond.notify_all();
}

void TCustomPlayer::ToggleAudioDisplay() {
  std::lock_guard l(FDataLock);
  if (!FVideoState) return;
  TVideoState* is = FVideoState.get();
  is->show_audio = (is->show_audio + 1) % 3;
  ShowAudio = TShowAudio(is->show_audio.load());
  is->LastAudioDisplay = 0;
}

void TCustomPlayer::SetShowAudio(TShowAudio AValue) {
  ShowAudio = AValue;
  std::lock_guard l(FDataLock);
  if (FVideoState && !DisableDisplay) FVideoState->show_audio = int(AValue);
}

uint32_t TCustomPlayer::ScreenPixel(int32_t X, int32_t Y) const {
  std::lock_guard l(const_cast<std::recursive_mutex&>(FDataLock));
  if (!FVideoState) return 0;
  TVideoState* is = FVideoState.get();
  std::lock_guard sl(is->ScreenLock);
  SDL_Surface* s = is->Screen;
  if (!s) return 0;
  if (X < 0 || Y < 0 || X >= s->w || Y >= s->h) return 0;
  const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + Y * s->pitch + X * s->format->BytesPerPixel;
  uint32_t v = 0;
  std::memcpy(&v, p, std::min<size_t>(4, s->format->BytesPerPixel));
  Uint8 r, g, b;
  r = Uint8(((v & s->format->Rmask) >> s->format->Rshift) << s->format->Rloss);
  g = Uint8(((v & s->format->Gmask) >> s->format->Gshift) << s->format->Gloss);
  b = Uint8(((v & s->format->Bmask) >> s->format->Bshift) << s->format->Bloss);
  return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

void TCustomPlayer::HostResized(int32_t AWidth, int32_t AHeight) {
  if (AWidth <= 0 || AHeight <= 0) return;
  ScreenWidth = AWidth;
  ScreenHeight = AHeight;
  std::lock_guard l(FDataLock);
  if (!FVideoState) return;
  FVideoState->ResizeW = AWidth;
  FVideoState->ResizeH = AHeight;
  FVideoState->ResizeReq = true;
  std::lock_guard pl(FVideoState->PictLock);
  FVideoState->PictCond.notify_all();
}
