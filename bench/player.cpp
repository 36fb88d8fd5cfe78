// Playback through the preview player, with SDL's dummy video and audio drivers:
// - cost: CPU time (all threads of the process) per second of playing a 640x480 H.264 clip
//   with AAC sound. Target: at most 0.3 of one core.
// - sync: the largest difference between a picture's time and the audio clock when it is shown,
//   over a ten-second clip played in real time. Target: under 40 ms.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "Src/FFPlayer.h"
#include "base/MainThread.h"
#include "fixtures/MediaFixtures.h"

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_PlayVgaH264(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const std::string file = mediafix::FixturePath(mediafix::TFixture::VgaH264Aac);
  TFFPlayer player(nullptr);
  if (!player.LoadAVLib()) throw std::runtime_error(player.LastErrMsg());
  bool ended = false;
  player.OnState = [&](TObject*, TPlayState S) { ended = ended || S == psEnd; };
  double cpu = 0, played = 0;
  int64_t shown = 0, dropped = 0;
  for (auto _ : state) {
    ended = false;
    if (!player.Open(file, nullptr)) throw std::runtime_error(player.LastErrMsg());
    const double c0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    while (!ended) ServeMainThread(10);
    cpu += CpuSeconds() - c0;
    played += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    shown += player.FramesShown();
    dropped += player.FramesDropped();
    player.Stop(true);
  }
  state.counters["cpu_per_second"] = cpu / played;
  state.counters["frames_shown"] = double(shown) / double(state.iterations());
  state.counters["frames_dropped"] = double(dropped) / double(state.iterations());
}
BENCHMARK(BM_PlayVgaH264)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

void BM_AVSyncLongTiny(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const std::string file = mediafix::FixturePath(mediafix::TFixture::LongTiny);
  TFFPlayer player(nullptr);
  if (!player.LoadAVLib()) throw std::runtime_error(player.LastErrMsg());
  bool ended = false;
  player.OnState = [&](TObject*, TPlayState S) { ended = ended || S == psEnd; };
  double worst = 0;
  int64_t shown = 0, dropped = 0;
  for (auto _ : state) {
    ended = false;
    if (!player.Open(file, nullptr)) throw std::runtime_error(player.LastErrMsg());
    while (!ended) ServeMainThread(10);
    worst = std::max(worst, player.MaxAVDiff());
    shown += player.FramesShown();
    dropped += player.FramesDropped();
    player.Stop(true);
  }
  state.counters["max_av_diff_ms"] = worst * 1000;
  state.counters["frames_shown"] = double(shown) / double(state.iterations());
  state.counters["frames_dropped"] = double(dropped) / double(state.iterations());
}
BENCHMARK(BM_AVSyncLongTiny)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
