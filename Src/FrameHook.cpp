#include "Src/FrameHook.h"

#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLogger.h"
#include "base/DynLib.h"
#include "base/Format.h"

namespace {

constexpr int32_t kMaxHookWords = 64;

// Hook libraries by path as given. They stay loaded for the life of the process: a chain
// released by one engine must not pull code from under another engine still running it.
std::mutex& LibraryLock() {
  static std::mutex m;
  return m;
}
std::map<std::string, TLibHandle>& LoadedLibraries() {
  static std::map<std::string, TLibHandle> list;
  return list;
}

void LogHookError(const std::string& AText) { GetFFLogger()->Log(nullptr, llError, AText); }

}  // namespace

int32_t FrameHookAdd(TFrameHookEntry*& AFirst, int32_t AArgc, char* AArgv[]) {
  if (AArgc < 1 || !AArgv || !AArgv[0]) return -2;
  const std::string path = AArgv[0];

  TLibHandle lib = nullptr;
  {
    std::lock_guard lk(LibraryLock());
    auto& list = LoadedLibraries();
    const auto it = list.find(path);
    if (it != list.end()) {
      lib = it->second;
    } else {
      lib = LoadLibrary(path);
      if (!lib) {
        LogHookError(GetLastLoadError());
        return -1;
      }
      list.emplace(path, lib);
    }
  }

  std::unique_ptr<TFrameHookEntry> entry(new (std::nothrow) TFrameHookEntry());
  if (!entry) return -12;
  entry->Configure = GetProcAddressAs<TFrameHookConfigureFunc>(lib, "Configure");
  entry->Process = GetProcAddressAs<TFrameHookProcessFunc>(lib, "Process");
  entry->Release = GetProcAddressAs<TFrameHookReleaseFunc>(lib, "Release");

  if (!entry->Process) {
    LogHookError(Format("Failed to find Process entrypoint in %s", path));
    return -2;
  }
  if (!entry->Configure && AArgc > 1) {
    LogHookError(Format("Failed to find Configure entrypoint in %s", path));
    return -2;
  }
  if (entry->Configure && entry->Configure(&entry->ctx, AArgc, AArgv) != 0) {
    LogHookError(Format("Failed to Configure %s", path));
    return -22;
  }

  TFrameHookEntry** tail = &AFirst;
  while (*tail) tail = &(*tail)->next;
  *tail = entry.release();
  return 0;
}

void FrameHookProcess(TFrameHookEntry* AFirst, TFrameHookPicture* APicture, int32_t APixFmt, int32_t AWidth,
                      int32_t AHeight, int64_t APts) {
  for (TFrameHookEntry* e = AFirst; e; e = e->next) e->Process(e->ctx, APicture, APixFmt, AWidth, AHeight, APts);
}

void FrameHookRelease(TFrameHookEntry*& AFirst) {
  TFrameHookEntry* e = AFirst;
  AFirst = nullptr;
  while (e) {
    TFrameHookEntry* next = e->next;
    if (e->Release) e->Release(e->ctx);
    delete e;
    e = next;
  }
}

std::vector<std::string> SplitFrameHookCommand(const std::string& ACommand) {
  const char sep = ACommand.find('|') != std::string::npos ? '|' : ' ';
  std::vector<std::string> words;
  size_t i = 0;
  while (i < ACommand.size() && static_cast<int32_t>(words.size()) < kMaxHookWords) {
    while (i < ACommand.size() && ACommand[i] == sep) ++i;
    if (i >= ACommand.size()) break;
    size_t j = i;
    while (j < ACommand.size() && ACommand[j] != sep) ++j;
    words.push_back(ACommand.substr(i, j - i));
    i = j;
  }
  return words;
}

int32_t TFrameHookChain::AddCommand(const std::string& ACommand) {
  const std::vector<std::string> words = SplitFrameHookCommand(ACommand);
  std::vector<char*> argv;
  const size_t firstArg = FArgs.size();
  for (const std::string& w : words) {
    auto copy = std::make_unique<char[]>(w.size() + 1);
    std::memcpy(copy.get(), w.c_str(), w.size() + 1);
    argv.push_back(copy.get());
    FArgs.push_back(std::move(copy));
  }
  argv.push_back(nullptr);
  const int32_t r = FrameHookAdd(FFirst, static_cast<int32_t>(words.size()), argv.data());
  // A hook that was not added keeps no pointer into its texts.
  if (r != 0) FArgs.resize(firstArg);
  return r;
}

void TFrameHookChain::Release() {
  FrameHookRelease(FFirst);
  FArgs.clear();
}

int32_t TFrameHookChain::Count() const {
  int32_t n = 0;
  for (const TFrameHookEntry* e = FFirst; e; e = e->next) ++n;
  return n;
}

void RunFrameHooks(TCustomFFmpeg& AEngine, uint8_t* const AData[4], const int32_t ALinesize[4], int32_t APixFmt,
                   int32_t AWidth, int32_t AHeight, int64_t APts) {
  TFrameHookChain& chain = AEngine.FrameHooks();
  if (chain.Empty()) return;
  TFrameHookPicture picture{};
  for (int i = 0; i < 4; ++i) {
    picture.data[i] = AData[i];
    picture.linesize[i] = ALinesize[i];
  }
  chain.Process(&picture, APixFmt, AWidth, AHeight, APts);
}

void TCustomFFmpeg::AddFrameHook(const std::string& AValue) {
  if (FFrameHooks.AddCommand(AValue) != 0) throw FFmpegException("Failed to add video hook function: " + AValue);
  Fusing_vhook = true;
}
