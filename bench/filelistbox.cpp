// The file list box over a folder of 10,000 files, half of them with Chinese names: reading the
// folder, ordering the names (pinyin for the Chinese ones), filling the list and drawing it, per
// iteration. Its budget is 150 ms in the optimised build.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "lib/dialogs/kxfilectrl.h"
#include "platform/backend/headless/Headless.h"

namespace {

using namespace win;

struct Folder {
  std::string path;
  Folder() {
    char tmpl[] = "/tmp/ombrel-bench-files-XXXXXX";
    path = mkdtemp(tmpl);
    const char* const words[] = {"视频", "文档", "中国", "北京", "测试", "音乐", "电影", "片段", "转换", "格式"};
    for (int i = 0; i < 10000; ++i) {
      const std::string name = i % 2 ? std::string(words[i % 10]) + words[(i / 10) % 10] + std::to_string(i) + ".mp4"
                                     : "clip" + std::to_string(i) + ".avi";
      std::ofstream(path + "/" + name) << "x";
    }
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

void BM_FillAndDraw10000Files(benchmark::State& state) {
  Folder folder;
  const std::string saved = std::filesystem::current_path().string();
  headless::Reset();
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* form = new TForm(owner.get());
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 300, 420);
  auto* files = new TkxSkinFileListBox(owner.get());
  files->SetBounds(10, 10, 280, 400);
  files->SetParent(form);
  form->Show();
  headless::ProcessPending();
  files->SetDirectory(folder.path + "/");
  headless::ProcessPending();
  if (files->Items()->Count() != 10000) state.SkipWithError("the list does not hold the folder");
  for (auto _ : state) {
    files->Update();
    headless::ProcessPending();  // the list draws
    benchmark::DoNotOptimize(files->Items()->Count());
  }
  owner.reset();
  headless::ProcessPending();
  std::filesystem::current_path(saved);
}
BENCHMARK(BM_FillAndDraw10000Files)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
