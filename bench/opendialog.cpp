// The open dialog over a folder of 10,000 files, half of them with Chinese names: a whole run that
// starts in that folder (built, shown, the first page drawn, closed), a folder change inside a
// running dialog up to the first page drawn, and a Name and a Size sort in the details view. The
// budgets in the optimised build: 250 ms for the run and for the folder change, 150 ms for a sort.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "classlib/Forms.h"
#include "lib/dialogs/kxSkinOpenDialog.h"
#include "lib/dialogs/kxSkinShellList.h"
#include "platform/backend/headless/Headless.h"

namespace {

using namespace win;

struct Folder {
  std::string path;
  Folder() {
    char tmpl[] = "/tmp/ombrel-bench-opendlg-XXXXXX";
    path = mkdtemp(tmpl);
    std::filesystem::create_directories(path + "/empty");
    const char* const words[] = {"视频", "文档", "中国", "北京", "测试", "音乐", "电影", "片段", "转换", "格式"};
    for (int i = 0; i < 10000; ++i) {
      const std::string name = i % 2 ? std::string(words[i % 10]) + words[(i / 10) % 10] + std::to_string(i) + ".mp4"
                                     : "clip" + std::to_string(i) + ".avi";
      std::ofstream(path + "/" + name) << std::string(size_t(i % 97), 'x');
    }
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

Folder& TheFolder() {
  static Folder f;
  return f;
}

// Runs Script once the dialog shows (from the modal loop's first idle moment), then closes it.
class OnShown {
public:
  explicit OnShown(std::function<void(TkxFileDlgForm&)> Script) : script_(std::move(Script)) {
    saved_ = Application->OnIdle;
    Application->OnIdle = [this](TObject*) {
      auto* f = dynamic_cast<TkxFileDlgForm*>(Screen->ActiveCustomForm());
      if (!f || !f->Visible() || !f->FormState().Contains(fsModal) || f->ModalResult() != mrNone) return;
      script_(*f);
      f->SetModalResult(mrCancel);
      PostMessage(f->Handle(), WM_NULL, 0, 0);
    };
  }
  ~OnShown() { Application->OnIdle = saved_; }

private:
  std::function<void(TkxFileDlgForm&)> script_;
  TNotifyEvent saved_;
};

void Setup() {
  headless::Reset();
  headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 994}, true}});
}

void BM_RunStartingInTheFolder(benchmark::State& state) {
  Setup();
  Folder& folder = TheFolder();
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = folder.path;
  dlg.Filter = "Videos|*.avi;*.mp4|All|*.*";
  dlg.ListViewStyle = TViewStyle(state.range(0));
  int32_t shown = 0;
  OnShown close([&](TkxFileDlgForm& f) { shown = f.FileListView->FolderCount(); });
  for (auto _ : state) benchmark::DoNotOptimize(dlg.Execute());
  if (shown != 10001) state.SkipWithError("the dialog does not show the folder");
}
BENCHMARK(BM_RunStartingInTheFolder)->Arg(vsList)->Arg(vsReport)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FolderChangeInTheDialog(benchmark::State& state) {
  Setup();
  Folder& folder = TheFolder();
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = folder.path + "/empty";
  dlg.ListViewStyle = TViewStyle(state.range(0));
  int32_t shown = 0;
  OnShown run([&](TkxFileDlgForm& f) {
    for (auto _ : state) {
      state.PauseTiming();
      f.FileListView->SetPath(folder.path + "/empty");
      headless::ProcessPending();
      state.ResumeTiming();
      f.FileListView->SetPath(folder.path);
      f.FileListView->Update();
      headless::ProcessPending();  // the first page draws
    }
    shown = f.FileListView->FolderCount();
  });
  dlg.Execute();
  if (shown != 10001) state.SkipWithError("the list does not hold the folder");
}
BENCHMARK(BM_FolderChangeInTheDialog)->Arg(vsList)->Arg(vsReport)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_HeaderSortInTheDialog(benchmark::State& state) {
  Setup();
  Folder& folder = TheFolder();
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = folder.path;
  dlg.ListViewStyle = vsReport;
  OnShown run([&](TkxFileDlgForm& f) {
    for (auto _ : state) {
      f.FileListView->ColumnClicked(int32_t(state.range(0)));
      f.FileListView->Update();
      headless::ProcessPending();
    }
  });
  dlg.Execute();
}
BENCHMARK(BM_HeaderSortInTheDialog)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
