#pragma once
// Video frame hooks: shared libraries given with the "vhook" option that may change every
// decoded picture in place. Each engine keeps its hooks in a chain; the libraries themselves
// are loaded once per process and stay loaded.
//
// A hook library exports, with C linkage:
//   int  Configure(void** ctx, int argc, char* argv[]);   optional; 0 for success
//   void Process(void* ctx, TFrameHookPicture* picture, int pix_fmt, int width, int height,
//                int64_t pts);                             required
//   void Release(void* ctx);                               optional
// argv[0] is the library path as given, argv[argc] is null; the argument texts stay valid
// until Release. pix_fmt is an AVPixelFormat of the installed libavutil.
//
// Loading never changes PATH or the working folder: a hook's own dependencies are found
// through its rpath ($ORIGIN).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCustomFFmpeg;

// Four plane pointers and four line sizes, the picture layout hook libraries receive.
struct TFrameHookPicture {
  uint8_t* data[4];
  int linesize[4];
};

using TFrameHookConfigureFunc = int (*)(void** ctx, int argc, char* argv[]);
using TFrameHookProcessFunc = void (*)(void* ctx, TFrameHookPicture* picture, int pix_fmt, int width, int height,
                                       int64_t pts);
using TFrameHookReleaseFunc = void (*)(void* ctx);

struct TFrameHookEntry {
  TFrameHookEntry* next = nullptr;
  TFrameHookConfigureFunc Configure = nullptr;
  TFrameHookProcessFunc Process = nullptr;
  TFrameHookReleaseFunc Release = nullptr;
  void* ctx = nullptr;
};

// Loads the library argv[0] (once per process), finds its entry points, configures a new
// entry and appends it to the chain. 0, or a negative error code, each failure logged at
// error level: -1 the library does not load, -2 no arguments or a missing entry point,
// -12 out of memory, -22 Configure refused.
int32_t FrameHookAdd(TFrameHookEntry*& AFirst, int32_t AArgc, char* AArgv[]);
// Every hook of the chain, in order, on the picture.
void FrameHookProcess(TFrameHookEntry* AFirst, TFrameHookPicture* APicture, int32_t APixFmt, int32_t AWidth,
                      int32_t AHeight, int64_t APts);
// Releases every hook of the chain in order and empties it.
void FrameHookRelease(TFrameHookEntry*& AFirst);

// One engine's hooks together with the argument texts they were configured with.
class TFrameHookChain {
public:
  TFrameHookChain() = default;
  TFrameHookChain(const TFrameHookChain&) = delete;
  TFrameHookChain& operator=(const TFrameHookChain&) = delete;
  ~TFrameHookChain() { Release(); }

  // A "vhook" command line: words separated by "|" when the text holds one, else by blanks
  // (runs of separators count as one); the library path and up to 63 arguments. The result
  // of FrameHookAdd.
  int32_t AddCommand(const std::string& ACommand);
  void Process(TFrameHookPicture* APicture, int32_t APixFmt, int32_t AWidth, int32_t AHeight, int64_t APts) {
    FrameHookProcess(FFirst, APicture, APixFmt, AWidth, AHeight, APts);
  }
  void Release();
  bool Empty() const { return FFirst == nullptr; }
  int32_t Count() const;

private:
  TFrameHookEntry* FFirst = nullptr;
  // Argument texts of the configured hooks, which may keep pointers into them.
  std::vector<std::unique_ptr<char[]>> FArgs;
};

// The words of a "vhook" command line (at most 64).
std::vector<std::string> SplitFrameHookCommand(const std::string& ACommand);

// Runs the engine's frame hooks on one decoded video picture, in place; nothing when no hook
// was added. The planes must be writable and not shared with frames kept elsewhere (a
// refcounted frame must be made writable first). APts is in microseconds.
void RunFrameHooks(TCustomFFmpeg& AEngine, uint8_t* const AData[4], const int32_t ALinesize[4], int32_t APixFmt,
                   int32_t AWidth, int32_t AHeight, int64_t APts);
