// The skinned job list: a full repaint (items, and the header drawn from the skin's button
// record) of an 804 x 300 report view with 25 columns and 50 rows beside its two external
// skinned bars, in the plain look and in a generated skin; and the header alone.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/skin/kxSkinStore.h"
#include "platform/backend/headless/Headless.h"

namespace {

using namespace win;

void Drain() { headless::ProcessPending(); }

struct SkinJobList {
  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
  TForm* form = nullptr;
  TkxSkinListView* lv = nullptr;
  TkxSkinData* sd = nullptr;

  explicit SkinJobList(bool Skinned) {
    headless::Reset();
    form = new TForm(owner.get());
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 840, 340);
    lv = new TkxSkinListView(owner.get());
    lv->SetBounds(0, 0, 804, 300);
    lv->SetParent(form);
    lv->SetViewStyle(vsReport);
    lv->SetGridLines(true);
    lv->SetRowSelect(true);
    lv->SetReadOnly(true);
    const int widths[25] = {80, 70, 70, 80, 70, 0, 80, 80};
    for (int i = 0; i < 25; ++i) {
      TListColumn* c = lv->Columns()->Add();
      c->SetCaption("列" + std::to_string(i));
      if (i >= 8 || i == 5) c->SetMaxWidth(1);
      c->SetWidth(i < 8 ? widths[i] : 0);
    }
    auto* vbar = new TkxSkinScrollBar(owner.get());
    vbar->SetKind(sbVertical);
    vbar->SetSkinDataName("vscrollbar");
    vbar->SetBounds(804, 0, 19, 300);
    vbar->SetParent(form);
    auto* hbar = new TkxSkinScrollBar(owner.get());
    hbar->SetBounds(0, 300, 804, 19);
    hbar->SetParent(form);
    lv->SetVScrollBar(vbar);
    lv->SetHScrollBar(hbar);
    if (Skinned) {
      sd = new TkxSkinData(owner.get());
      TkxCompressedStoredSkin stored(nullptr);
      stored.LoadFromCompressFile(std::string(OMBREL_GENERATED_RESOURCES) + "/skins/kxSkin0.skn");
      sd->LoadCompressedStoredSkin(&stored);
      vbar->SetSkinData(sd);
      hbar->SetSkinData(sd);
      lv->SetSkinData(sd);
    }
    for (int i = 0; i < 50; ++i) {
      TListItem* it = lv->Items()->Add();
      it->SetCaption("/home/user/视频/clip" + std::to_string(i) + ".avi");
      for (int s = 0; s < 24; ++s) it->SubItems()->Add(std::to_string(s * i));
    }
    lv->SetItemIndex(3);
    form->Show();
    Drain();
  }
};

void FullRepaint(benchmark::State& state, bool Skinned) {
  SkinJobList j(Skinned);
  HWND h = j.lv->Handle();
  for (auto _ : state) {
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  Drain();
}

void BM_SkinListViewFullRepaintPlain(benchmark::State& state) { FullRepaint(state, false); }
BENCHMARK(BM_SkinListViewFullRepaintPlain)->Unit(benchmark::kMillisecond);

void BM_SkinListViewFullRepaintSkinned(benchmark::State& state) { FullRepaint(state, true); }
BENCHMARK(BM_SkinListViewFullRepaintSkinned)->Unit(benchmark::kMillisecond);

void BM_SkinListViewHeaderRepaintSkinned(benchmark::State& state) {
  SkinJobList j(true);
  HWND h = j.lv->HeaderHandle();
  for (auto _ : state) {
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
  }
  Drain();
}
BENCHMARK(BM_SkinListViewHeaderRepaintSkinned)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
