// The filter library's first use coming from several conversion threads at once: one of them
// binds it, every one of them may use its cells afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"

namespace {

TEST(LoaderThreads, FirstUseFromSeveralWorkerThreadsBindsOnce) {
  ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
  const size_t before = FFLoader().OpenedLibraries().size();
  const bool wasBound = FFLoader().Bound(avFilter);
  std::atomic<bool> go{false};
  std::atomic<int> graphs{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 4; ++i)
    workers.emplace_back([&] {
      while (!go) std::this_thread::yield();
      if (!FFLoader().Require(avFilter)) return;
      AVFilterGraph* g = AVFilterStubs.avfilter_graph_alloc();
      if (g) ++graphs;
      AVFilterStubs.avfilter_graph_free(&g);
    });
  go = true;
  for (auto& w : workers) w.join();
  EXPECT_EQ(graphs, 4);
  const std::vector<std::string> opened = FFLoader().OpenedLibraries();
  EXPECT_EQ(opened.size() - before, wasBound ? 0u : 1u);
  FFLoader().Unload(TaskLibraries);
}

}  // namespace
