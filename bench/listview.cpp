// The list view: adding 10,000 items and scrolling through them a page at a time, filling the
// list style, and a full
// repaint of a job-list-sized report view (804 x 300, 25 columns) per iteration.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "classlib/ListViews.h"
#include "platform/backend/headless/Headless.h"

namespace {

using namespace win;

void Drain() { headless::ProcessPending(); }

struct JobList {
  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
  TForm* form = nullptr;
  TListView* lv = nullptr;

  JobList() {
    headless::Reset();
    form = new TForm(owner.get());
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 820, 320);
    lv = new TListView(owner.get());
    lv->SetBounds(0, 0, 804, 300);
    lv->SetParent(form);
    lv->SetViewStyle(vsReport);
    lv->SetGridLines(true);
    lv->SetRowSelect(true);
    const int widths[25] = {80, 70, 70, 80, 70, 0, 80, 80};
    for (int i = 0; i < 25; ++i) {
      TListColumn* c = lv->Columns()->Add();
      c->SetCaption("列" + std::to_string(i));
      if (i >= 8 || i == 5) c->SetMaxWidth(1);
      c->SetWidth(i < 8 ? widths[i] : 0);
    }
    form->Show();
    Drain();
  }
  void AddRows(int n) {
    for (int i = 0; i < n; ++i) {
      TListItem* it = lv->Items()->Add();
      it->SetCaption("/home/user/视频/clip" + std::to_string(i) + ".avi");
      for (int s = 0; s < 24; ++s) it->SubItems()->Add(std::to_string(s * i));
    }
  }
};

void BM_Add10000AndScrollThrough(benchmark::State& state) {
  for (auto _ : state) {
    JobList j;
    j.AddRows(10000);
    Drain();
    HWND h = j.lv->Handle();
    while (j.lv->TopIndex() + j.lv->CountPerPage() < 10000) {
      SendMessage(h, WM_VSCROLL, SB_PAGEDOWN, 0);
      Drain();
    }
    benchmark::DoNotOptimize(j.lv->TopIndex());
  }
}
BENCHMARK(BM_Add10000AndScrollThrough)->Unit(benchmark::kMillisecond)->Iterations(3);

// Filling row by row in the list style, where only the captions shape the columns.
void BM_Add2000InTheListStyle(benchmark::State& state) {
  for (auto _ : state) {
    JobList j;
    j.lv->SetViewStyle(vsList);
    j.AddRows(2000);
    Drain();
    benchmark::DoNotOptimize(j.lv->TopIndex());
  }
}
BENCHMARK(BM_Add2000InTheListStyle)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FullRepaintReport804x300(benchmark::State& state) {
  JobList j;
  j.AddRows(500);
  j.lv->SetItemIndex(3);
  Drain();
  HWND h = j.lv->Handle();
  for (auto _ : state) {
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
  }
  Drain();
}
BENCHMARK(BM_FullRepaintReport804x300)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
