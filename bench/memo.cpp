// The log memo: appending 10,000 lines one at a time through Lines.Add, as the engine's log
// writes them, into a shown word-wrapped memo, with the pending paints handled at the end.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "classlib/EditCtrls.h"
#include "classlib/Forms.h"
#include "platform/backend/headless/Headless.h"

namespace {

void BM_MemoAppendLines(benchmark::State& state) {
  const int lines = int(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    win::headless::Reset();
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* form = new TForm(owner.get());
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 300);
    auto* memo = new TMemo(owner.get());
    memo->SetBounds(0, 0, 400, 300);
    memo->SetParent(form);
    form->Show();
    // The fonts are found and loaded once per process, outside the measured part.
    memo->Lines()->Add("warm-up 文件名");
    memo->Lines()->Clear();
    win::headless::ProcessPending();
    state.ResumeTiming();
    for (int i = 0; i < lines; ++i)
      memo->Lines()->Add("#140245.32: frame=" + std::to_string(i) + " fps=25 q=2.0 size=" + std::to_string(i * 7) +
                         "kB time=00:00:" + std::to_string(i % 60) + " bitrate= 512.0kbits/s 文件名");
    win::headless::ProcessPending();
    benchmark::DoNotOptimize(memo->Lines()->Count());
    state.PauseTiming();
    owner.reset();
    win::headless::ProcessPending();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * lines);
}
BENCHMARK(BM_MemoAppendLines)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
