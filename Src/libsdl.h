#pragma once
// The entry-point cells of SDL 1.2, used by the player only. Filled by the loader.
#include <SDL/SDL.h>

#define OMBREL_SDL_ENTRIES(X) \
  X(SDL_Linked_Version) X(SDL_Init) X(SDL_Quit) X(SDL_GetError) X(SDL_AddTimer) X(SDL_RemoveTimer) \
  X(SDL_OpenAudio) X(SDL_PauseAudio) X(SDL_CloseAudio) X(SDL_MixAudio) X(SDL_WaitEvent) \
  X(SDL_PushEvent) X(SDL_EventState) X(SDL_GetVideoInfo) X(SDL_SetVideoMode) X(SDL_UpdateRect) \
  X(SDL_WM_SetCaption) X(SDL_MapRGB) X(SDL_FillRect) X(SDL_CreateYUVOverlay) X(SDL_LockYUVOverlay) \
  X(SDL_UnlockYUVOverlay) X(SDL_DisplayYUVOverlay) X(SDL_FreeYUVOverlay) X(SDL_CreateMutex) \
  X(SDL_mutexP) X(SDL_mutexV) X(SDL_DestroyMutex) X(SDL_CreateCond) X(SDL_DestroyCond) \
  X(SDL_CondSignal) X(SDL_CondWait) X(SDL_CreateThread) X(SDL_WaitThread) X(SDL_AudioDriverName) \
  X(SDL_VideoDriverName)

#define OMBREL_DECLARE_SDL_CELL(name) decltype(&::name) name = nullptr;

// SDL_LockMutex and SDL_UnlockMutex are SDL's own macros for SDL_mutexP and SDL_mutexV.
struct TSDLStubs { OMBREL_SDL_ENTRIES(OMBREL_DECLARE_SDL_CELL) };

extern TSDLStubs SDLStubs;
