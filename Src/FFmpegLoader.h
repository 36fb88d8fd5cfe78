#pragma once
// Run-time loading and binding of the media libraries (FFmpeg 5.1, the C library, SDL 1.2).
//
// Every entry point is looked up with dlsym and stored in the cells of FFmpegStubs.h and
// libsdl.h. A library is loaded from the folder given by its status Path or by LibraryPath,
// else from the "LibAV" folder beside the executable, whenever that folder holds the file;
// otherwise by soname through the system's search path. The process environment and the
// working folder are never touched.
//
// Loads are counted: every successful Load must be balanced by one Unload, and a library
// stays loaded while any loaded set still includes it. A set that fails to load releases
// only what that call loaded.
//
// A set's members in BoundOnFirstUse are counted when the set loads but opened only when a
// user first calls Require for them (libavfilter pulls in dozens of libraries that a
// conversion without a filter graph never touches). Require may come from any thread.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "base/Set.h"

enum TLibrary { avCodec, avDevice, avFilter, avFormat, avUtil, swScale, myUtil, lbSDL, swResample };
using TLibraries = TSet<TLibrary>;
constexpr int LibraryCount = 9;

struct TLibraryItem {
  TLibrary Lib;
  const char* Name;       // "avcodec", "c", "SDL"
  int32_t Version;        // major version the headers were written for
  const char* FileName;   // soname: "libavcodec.so.59"
  void (*Fixup)(const std::string& ALibFileName, void* AHandle);
  void (*Unfix)();
};
extern const TLibraryItem LibraryTable[LibraryCount];

struct TLibraryStatus {
  TLibrary Lib;
  std::string Path;      // replaces the default file name when not empty; may carry a folder
  void* Handle = nullptr;
  bool Bound = false;
  int UseCount = 0;      // successful Load calls not yet balanced by Unload
};

// Libraries of the task component and conversion engine, the probe, and the player.
// swresample is part of the sets that convert audio.
inline const TLibraries TaskLibraries{avCodec, avFilter, avFormat, avUtil, swScale, myUtil, swResample};
inline const TLibraries ProbeLibraries{avCodec, avFormat, avUtil, swScale, myUtil};
inline const TLibraries PlayerLibraries = TaskLibraries + TLibraries(lbSDL);
// Members a set load leaves closed until Require: the filter library, unless another member
// of the set links it anyway (libavdevice).
inline const TLibraries BoundOnFirstUse{avFilter};

// Raises Exception with "Load function %s@%s error: %s" when the entry is missing and not optional.
void* BindFunction(const std::string& ALibFileName, void* AHandle, const char* AEntryName, bool AOptional);
void* BindVariable(const std::string& ALibFileName, void* AHandle, const char* AEntryName, bool AOptional);

// Loads AFileName from AFolder when AFolder is not empty and holds it (the libraries that
// precede it in dependency order and lie in the same folder are opened first, so that its
// dependencies resolve to those copies); otherwise by the bare name through the system's
// search path. Returns nullptr on failure with the loader's text in AError.
void* LoadLibraryFromFolder(const std::string& AFolder, const std::string& AFileName, std::string& AError);

class TFFmpegLoader {
public:
  TFFmpegLoader() = default;

  // Opens and binds the library at once, whatever set it belongs to.
  bool Load(TLibrary ALibrary);
  // Loads every member in dependency order; on the first failure releases the members this
  // call loaded and returns false with LastErrMsg naming that failure. An empty set raises.
  // Members of BoundOnFirstUse are only counted (see Require).
  bool Load(TLibraries ALibraries);
  // True while the library is bound, or counted by a loaded set that binds it on first use.
  bool Loaded(TLibrary ALibrary) const;
  bool Loaded(TLibraries ALibraries) const;
  // Binds a loaded library before its first use, once; safe from any thread. Returns false
  // when the library is not loaded or cannot be bound, with the same LastErrMsg (also given
  // in AError) and log line as a failed Load. Its cells may be used once this returned true.
  bool Require(TLibrary ALibrary, std::string* AError = nullptr);
  // Whether the library is open and its cells filled now.
  bool Bound(TLibrary ALibrary) const;
  // The file names the loader opened, in order, one entry per opening (a library closed by
  // its last Unload and loaded again appears again).
  std::vector<std::string> OpenedLibraries() const;
  // Releases one load of the library; the last release clears its cells and closes it.
  void Unload(TLibrary ALibrary);
  void Unload(TLibraries ALibraries);

  std::string LastErrMsg() const;
  std::string LibraryPath() const;
  void SetLibraryPath(const std::string& APath);
  // Replaces the default file name of one library (a soname, or a path with a folder).
  void SetLibraryFileName(TLibrary ALibrary, const std::string& APath);
  std::string LibraryFileName(TLibrary ALibrary) const;
  int UseCount(TLibrary ALibrary) const;

  bool InstallLogger = true;

private:
  // Opens and binds one library, counting nothing; false with LastErrMsg set.
  bool BindOne(TLibrary ALibrary);
  // What follows every successful load of avutil and avformat (safe to repeat).
  void AfterBind(TLibrary ALibrary);
  // Counts one load; binds at once unless ADefer and not bound yet.
  bool LoadOne(TLibrary ALibrary, bool ADefer);
  void UnloadOne(TLibrary ALibrary);
  void SetError(const std::string& AMsg);
  void LogLoadFailure();

  mutable std::recursive_mutex FLock;
};

// The one loader of the process; every component uses it.
TFFmpegLoader& FFLoader();

// Serialises every codec open and close of the process (engines, probe, player) and nothing else.
std::recursive_mutex& CodecLock();

// The libraries' floating-point expectations: every exception masked, rounding to nearest.
// Applied to the calling thread; the loader applies it to the thread that first uses it.
void SetupFloatingPoint();
