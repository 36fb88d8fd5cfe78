#include "Src/libsdl.h"

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubsBind.h"
#include "base/Exception.h"
#include "base/Format.h"

TSDLStubs SDLStubs;

void FixupSDL(const std::string& ALibFileName, void* AHandle) {
#define X(name) SDLStubs.name = reinterpret_cast<decltype(SDLStubs.name)>(BindFunction(ALibFileName, AHandle, #name, false));
  OMBREL_SDL_ENTRIES(X)
#undef X
  const SDL_version* v = SDLStubs.SDL_Linked_Version();
  if (!v || v->major != SDL_MAJOR_VERSION || v->minor != SDL_MINOR_VERSION)
    throw Exception(Format("Load library %s error: version %d.%d found, %d.%d expected", ALibFileName,
                           v ? v->major : 0, v ? v->minor : 0, SDL_MAJOR_VERSION, SDL_MINOR_VERSION));
}
void UnfixSDL() { SDLStubs = TSDLStubs{}; }
