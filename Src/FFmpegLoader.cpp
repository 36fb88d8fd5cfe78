#include "Src/FFmpegLoader.h"

#include <dlfcn.h>

#include <atomic>
#include <cassert>
#include <cfenv>
#include <vector>

#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubsBind.h"
#include "Src/UnicodeProtocol.h"
#include "base/Exception.h"
#include "base/Files.h"
#include "base/Format.h"

const TLibraryItem LibraryTable[LibraryCount] = {
    {avCodec, "avcodec", 59, "libavcodec.so.59", FixupAVCodec, UnfixAVCodec},
    {avDevice, "avdevice", 59, "libavdevice.so.59", FixupAVDevice, UnfixAVDevice},
    {avFilter, "avfilter", 8, "libavfilter.so.8", FixupAVFilter, UnfixAVFilter},
    {avFormat, "avformat", 59, "libavformat.so.59", FixupAVFormat, UnfixAVFormat},
    {avUtil, "avutil", 57, "libavutil.so.57", FixupAVUtil, UnfixAVUtil},
    {swScale, "swscale", 6, "libswscale.so.6", FixupSwScale, UnfixSwScale},
    {myUtil, "c", 6, "libc.so.6", FixupLibC, UnfixLibC},
    {lbSDL, "SDL", 1, "libSDL-1.2.so.0", FixupSDL, UnfixSDL},
    {swResample, "swresample", 4, "libswresample.so.4", FixupSwResample, UnfixSwResample},
};

namespace {

// Each library after the ones it needs, so that a library opened from a folder finds its
// dependencies already mapped from that same folder instead of pulling a second copy from
// the system path.
constexpr TLibrary kLoadOrder[LibraryCount] = {myUtil, avUtil, swResample, swScale, avCodec,
                                               avFormat, avFilter, avDevice, lbSDL};

// A library that links another one maps it anyway: a set holding both binds the linked one at
// once, since deferring it saves nothing.
struct TLink {
  TLibrary Lib, Links;
};
constexpr TLink kLinks[] = {{avDevice, avFilter}};

struct TLoaderState {
  TLoaderState() {
    for (int i = 0; i < LibraryCount; ++i) Status[i].Lib = static_cast<TLibrary>(i);
  }
  TLibraryStatus Status[LibraryCount];
  // Set once a library's cells are filled, cleared before they are: lets Require skip the
  // lock, and orders the cell writes before any other thread's use of them.
  std::atomic<bool> Ready[LibraryCount] = {};
  std::vector<std::string> Opened;
  std::string LastErrMsg;
  std::string LibraryPath;
};

TLoaderState& State() {
  static TLoaderState s;
  return s;
}

std::string DlError() {
  const char* e = dlerror();
  return e ? e : "unknown error";
}

bool IsMediaLibrary(TLibrary l) { return l != myUtil && l != lbSDL; }

bool DeferredIn(TLibraries ASet, TLibrary ALibrary) {
  if (!BoundOnFirstUse.Contains(ALibrary)) return false;
  for (const TLink& k : kLinks)
    if (k.Links == ALibrary && ASet.Contains(k.Lib)) return false;
  return true;
}

}  // namespace

void* BindFunction(const std::string& ALibFileName, void* AHandle, const char* AEntryName, bool AOptional) {
  dlerror();
  void* p = dlsym(AHandle, AEntryName);
  if (!p && !AOptional) throw Exception(Format("Load function %s@%s error: %s", AEntryName, ALibFileName, DlError()));
  return p;
}

void* BindVariable(const std::string& ALibFileName, void* AHandle, const char* AEntryName, bool AOptional) {
  dlerror();
  void* p = dlsym(AHandle, AEntryName);
  if (!p && !AOptional) throw Exception(Format("Load variable %s@%s error: %s", AEntryName, ALibFileName, DlError()));
  return p;
}

// Libraries stay mapped after their last unload (RTLD_NODELETE): the codecs' own threads and
// the leak checker's reports may still refer to their code after the cells are cleared.
void* LoadLibraryFromFolder(const std::string& AFolder, const std::string& AFileName, std::string& AError) {
  void* h = nullptr;
  if (!AFolder.empty() && FileExists(IncludeTrailingPathDelimiter(AFolder) + AFileName)) {
    const std::string folder = IncludeTrailingPathDelimiter(AFolder);
    // Open the media libraries that precede this one and lie in the same folder; they stay
    // mapped afterwards through this library's own references to them.
    std::vector<void*> deps;
    for (TLibrary l : kLoadOrder) {
      if (AFileName == LibraryTable[l].FileName) break;
      if (!IsMediaLibrary(l)) continue;
      const std::string dep = folder + LibraryTable[l].FileName;
      if (FileExists(dep))
        if (void* d = dlopen(dep.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) deps.push_back(d);
    }
    h = dlopen((folder + AFileName).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!h) AError = DlError();
    for (void* d : deps) dlclose(d);
    return h;
  }
  h = dlopen(AFileName.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!h) AError = DlError();
  return h;
}

std::string TFFmpegLoader::LibraryFileName(TLibrary ALibrary) const {
  std::lock_guard g(FLock);
  const TLibraryStatus& s = State().Status[ALibrary];
  return s.Path.empty() ? LibraryTable[ALibrary].FileName : s.Path;
}

void TFFmpegLoader::SetLibraryFileName(TLibrary ALibrary, const std::string& APath) {
  std::lock_guard g(FLock);
  State().Status[ALibrary].Path = APath;
}

std::string TFFmpegLoader::LastErrMsg() const {
  std::lock_guard g(FLock);
  return State().LastErrMsg;
}

std::string TFFmpegLoader::LibraryPath() const {
  std::lock_guard g(FLock);
  return State().LibraryPath;
}

void TFFmpegLoader::SetLibraryPath(const std::string& APath) {
  std::lock_guard g(FLock);
  State().LibraryPath = APath;
}

int TFFmpegLoader::UseCount(TLibrary ALibrary) const {
  std::lock_guard g(FLock);
  return State().Status[ALibrary].UseCount;
}

void TFFmpegLoader::SetError(const std::string& AMsg) { State().LastErrMsg = AMsg; }

bool TFFmpegLoader::BindOne(TLibrary ALibrary) {
  TLibraryStatus& s = State().Status[ALibrary];
  if (s.Handle && s.Bound) return true;
  const std::string fileName = s.Path.empty() ? LibraryTable[ALibrary].FileName : s.Path;
  std::string folder = ExtractFilePath(fileName);
  const std::string bare = ExtractFileName(fileName);
  if (folder.empty() && !State().LibraryPath.empty()) folder = IncludeTrailingPathDelimiter(State().LibraryPath);
  // Only a folder that was asked for is named in a failure; the "LibAV" folder is a quiet default.
  const std::string asked = folder + bare;
  if (folder.empty()) folder = ExecutableDir() + "LibAV/";

  std::string loadedName = bare;
  if (!s.Handle) {
    std::string err;
    const bool inFolder = FileExists(IncludeTrailingPathDelimiter(folder) + bare);
    void* h = LoadLibraryFromFolder(folder, bare, err);
    if (!h) {
      SetError(Format("Load library %s error: %s", asked, err));
      return false;
    }
    s.Handle = h;
    if (inFolder) loadedName = IncludeTrailingPathDelimiter(folder) + bare;
    State().Opened.push_back(loadedName);
  }
  if (!s.Bound) {
    try {
      LibraryTable[ALibrary].Fixup(loadedName, s.Handle);
      s.Bound = true;
    } catch (const Exception& e) {
      SetError(e.Message);
    }
  }
  if (!s.Bound) {
    LibraryTable[ALibrary].Unfix();
    dlclose(s.Handle);
    s.Handle = nullptr;
    return false;
  }
  State().Ready[ALibrary].store(true, std::memory_order_release);
  return true;
}

void TFFmpegLoader::AfterBind(TLibrary ALibrary) {
  if (ALibrary == avUtil && InstallLogger) InstallAVLogCallback();
  if (ALibrary == avFormat) RegisterUnicodeProtocol();
}

bool TFFmpegLoader::LoadOne(TLibrary ALibrary, bool ADefer) {
  TLibraryStatus& s = State().Status[ALibrary];
  if (!(ADefer && !s.Bound)) {
    if (!BindOne(ALibrary)) return false;
    AfterBind(ALibrary);
  }
  ++s.UseCount;
  return true;
}

bool TFFmpegLoader::Require(TLibrary ALibrary, std::string* AError) {
  if (State().Ready[ALibrary].load(std::memory_order_acquire)) return true;
  std::lock_guard g(FLock);
  TLibraryStatus& s = State().Status[ALibrary];
  if (s.Bound) return true;
  if (s.UseCount == 0) {
    if (AError) *AError = Format("%s not loaded.", LibraryTable[ALibrary].FileName);
    return false;
  }
  if (!BindOne(ALibrary)) {
    LogLoadFailure();
    if (AError) *AError = State().LastErrMsg;
    return false;
  }
  AfterBind(ALibrary);
  return true;
}

bool TFFmpegLoader::Bound(TLibrary ALibrary) const {
  std::lock_guard g(FLock);
  const TLibraryStatus& s = State().Status[ALibrary];
  return s.Handle && s.Bound;
}

std::vector<std::string> TFFmpegLoader::OpenedLibraries() const {
  std::lock_guard g(FLock);
  return State().Opened;
}

void TFFmpegLoader::UnloadOne(TLibrary ALibrary) {
  TLibraryStatus& s = State().Status[ALibrary];
  if (s.UseCount > 1) {
    --s.UseCount;
    return;
  }
  s.UseCount = 0;
  if (ALibrary == avUtil && s.Bound) UninstallAVLogCallback();
  State().Ready[ALibrary].store(false, std::memory_order_release);
  if (s.Bound) {
    LibraryTable[ALibrary].Unfix();
    s.Bound = false;
  }
  if (s.Handle) {
    dlclose(s.Handle);
    s.Handle = nullptr;
  }
}

bool TFFmpegLoader::Load(TLibrary ALibrary) {
  std::lock_guard g(FLock);
  if (LoadOne(ALibrary, false)) return true;
  LogLoadFailure();
  return false;
}

void TFFmpegLoader::LogLoadFailure() {
  GetFFLogger()->Log(nullptr, llError, State().LastErrMsg);
}

bool TFFmpegLoader::Load(TLibraries ALibraries) {
  if (ALibraries.Empty()) throw Exception("Assertion failed: empty library set");
  std::lock_guard g(FLock);
  std::vector<TLibrary> done;
  for (TLibrary l : kLoadOrder) {
    if (!ALibraries.Contains(l)) continue;
    if (!LoadOne(l, DeferredIn(ALibraries, l))) {
      LogLoadFailure();
      // Release only this call's loads: another component's libraries stay in use.
      for (auto it = done.rbegin(); it != done.rend(); ++it) UnloadOne(*it);
      return false;
    }
    done.push_back(l);
  }
  return true;
}

bool TFFmpegLoader::Loaded(TLibrary ALibrary) const {
  std::lock_guard g(FLock);
  const TLibraryStatus& s = State().Status[ALibrary];
  return (s.Handle && s.Bound) || s.UseCount > 0;
}

bool TFFmpegLoader::Loaded(TLibraries ALibraries) const {
  if (ALibraries.Empty()) throw Exception("Assertion failed: empty library set");
  for (int i = 0; i < LibraryCount; ++i)
    if (ALibraries.Contains(static_cast<TLibrary>(i)) && !Loaded(static_cast<TLibrary>(i))) return false;
  return true;
}

void TFFmpegLoader::Unload(TLibrary ALibrary) {
  std::lock_guard g(FLock);
  UnloadOne(ALibrary);
}

void TFFmpegLoader::Unload(TLibraries ALibraries) {
  if (ALibraries.Empty()) throw Exception("Assertion failed: empty library set");
  std::lock_guard g(FLock);
  // Dependents first, so nothing is left pointing into a closed library.
  for (int i = LibraryCount - 1; i >= 0; --i)
    if (ALibraries.Contains(kLoadOrder[i])) UnloadOne(kLoadOrder[i]);
}

void SetupFloatingPoint() {
  // Masked exceptions: the libraries' arithmetic yields inf/NaN instead of trapping.
  fedisableexcept(FE_ALL_EXCEPT);
  fesetround(FE_TONEAREST);
}

TFFmpegLoader& FFLoader() {
  static TFFmpegLoader loader;
  static const bool fpSet = (SetupFloatingPoint(), true);
  (void)fpSet;
  return loader;
}

std::recursive_mutex& CodecLock() {
  static std::recursive_mutex lock;
  return lock;
}
