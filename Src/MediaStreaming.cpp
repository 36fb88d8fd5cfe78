// Published properties and events of the media components. Properties that need the media
// libraries (the player's forced input format) are not published: a form is read before the
// libraries are loaded.
#include "Src/MediaStreaming.h"

#include "Src/FFPlayer.h"
#include "Src/FFmpegLogger.h"
#include "Src/Quillon.h"
#include "classlib/Streaming.h"

void RegisterMediaFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;

  RegisterFormClass<TQuillon, TComponent>("TQuillon")
      .String("About", &TQuillon::SetAbout)
      .Integer("CustomMaxFiles", &TQuillon::SetCustomMaxFiles)
      .Boolean("Preview", &TQuillon::SetPreview)
      .Boolean("PreviewBitmap", &TQuillon::SetPreviewBitmap)
      .Integer("ProgressInterval", &TQuillon::SetProgressInterval)
      .Enum<TThreadPriority>("ThreadPriority", &TQuillon::SetThreadPriority,
                             {{"tpIdle", tpIdle},
                              {"tpLowest", tpLowest},
                              {"tpLower", tpLower},
                              {"tpNormal", tpNormal},
                              {"tpHigher", tpHigher},
                              {"tpHighest", tpHighest},
                              {"tpTimeCritical", tpTimeCritical}})
      .Boolean("TriggerEventInMainThread", &TQuillon::SetTriggerEventInMainThread)
      .Integer("Verbose", &TQuillon::SetVerbose)
      .Event<TCustomHookEvent>("OnCustomHook", &TQuillon::OnCustomHook)
      .Event<TPreviewBitmapEvent>("OnPreviewBitmap", &TQuillon::OnPreviewBitmap)
      .Event<TProgressEvent>("OnProgress", &TQuillon::OnProgress)
      .Event<TTerminateEvent>("OnTerminate", &TQuillon::OnTerminate);

  RegisterFormClass<TFFLogger, TComponent>("TFFLogger")
      .Enum<TLogLevel>("LogLevel", &TFFLogger::SetLogLevel,
                       {{"llQuiet", llQuiet},
                        {"llPanic", llPanic},
                        {"llFatal", llFatal},
                        {"llError", llError},
                        {"llWarning", llWarning},
                        {"llInfo", llInfo},
                        {"llVerbose", llVerbose},
                        {"llDebug", llDebug}})
      .Boolean("TriggerEventInMainThread", &TFFLogger::SetTriggerEventInMainThread)
      .Event<TLogEvent>("OnLog", &TFFLogger::OnLog);

  RegisterFormClass<TFFPlayer, TComponent>("TFFPlayer")
      .String("About", &TFFPlayer::About)
      .Enum<TAudioDriver>("AudioDriver", &TFFPlayer::AudioDriver,
                          {{"adDefault", adDefault}, {"adDirectSound", adDirectSound}, {"adWaveOut", adWaveOut}})
      .Enum<TVideoDriver>("VideoDriver", &TFFPlayer::VideoDriver,
                          {{"vdDefault", vdDefault}, {"vdDirectDraw", vdDirectDraw}, {"vdGDI", vdGDI}})
      .Integer("AudioVolume", &TFFPlayer::SetAudioVolume)
      .Boolean("Mute", &TFFPlayer::SetMute)
      .Boolean("DisableAudio", &TFFPlayer::DisableAudio)
      .Boolean("DisableVideo", &TFFPlayer::DisableVideo)
      .Boolean("DisableDisplay", &TFFPlayer::DisableDisplay)
      .Boolean("Hook", &TFFPlayer::Hook)
      .Boolean("TriggerEventInMainThread", &TFFPlayer::TriggerEventInMainThread)
      .Enum<TShowAudio>("ShowAudio", &TFFPlayer::ShowAudio, {{"saNone", saNone}, {"saWave", saWave}, {"saRDFT", saRDFT}})
      .Enum<TRepeatType>("RepeatType", &TFFPlayer::RepeatType, {{"rtNone", rtNone}, {"rtStop", rtStop}, {"rtLoop", rtLoop}})
      .Boolean("VerticalFlip", &TFFPlayer::VerticalFlip)
      .String("VideoFilters", &TFFPlayer::VideoFilters)
      .Float("AspectRatio", [](TFFPlayer* p, double v) { p->SetAspectRatio(float(v)); })
      .Event<TFileOpenEvent>("OnFileOpen", &TFFPlayer::OnFileOpen)
      .Event<TPositionEvent>("OnPosition", &TFFPlayer::OnPosition)
      .Event<TPlayStateEvent>("OnState", &TFFPlayer::OnState)
      .Event<THookEvent>("OnHook", &TFFPlayer::OnHook);
}
