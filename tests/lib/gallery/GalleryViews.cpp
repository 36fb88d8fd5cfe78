// The job list (a skinned list view with its skinned header and external bars, 50 rows, one
// selected) and a tree of folders with expanded nodes beside its bars.
#include <string>

#include "lib/controls/kxSkinListView.h"
#include "lib/controls/kxSkinTreeView.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

using gallery::Put;

TkxSkinScrollBar* Bar(TWinControl* Host, TkxSkinData* SD, bool Vertical, int x, int y, int w, int h) {
  auto* b = Put<TkxSkinScrollBar>(Host, x, y, w, h);
  if (Vertical) {
    b->SetKind(sbVertical);
    b->SetSkinDataName("vscrollbar");
  }
  b->SetSkinData(SD);
  return b;
}

constexpr int kListW = 640, kListH = 230;

gallery::Register joblist({"视图: 任务列表 job list views", 60, kListW + 19, kListH + 19, [](TWinControl* host, TkxSkinData* sd) {
  auto* lv = Put<TkxSkinListView>(host, 0, 0, kListW, kListH);
  lv->SetViewStyle(vsReport);
  lv->SetGridLines(true);
  lv->SetRowSelect(true);
  lv->SetReadOnly(true);
  lv->SetHideSelection(false);
  const char* captions[] = {"文件", "时长", "大小", "输出文件", "进度", "帧率", "时间", "输出大小"};
  const int widths[] = {250, 70, 70, 130, 50, 0, 70, 80};
  for (int i = 0; i < 25; ++i) {
    TListColumn* c = lv->Columns()->Add();
    c->SetCaption(i < 8 ? captions[i] : "列" + std::to_string(i));
    if (i >= 8 || widths[i] == 0) c->SetMaxWidth(1);
    c->SetWidth(i < 8 ? widths[i] : 0);
    if (i == 4) c->SetAlignment(taRightJustify);
  }
  for (int i = 0; i < 50; ++i) {
    TListItem* it = lv->Items()->Add();
    it->SetCaption("/home/user/视频/旅行片段" + std::to_string(i + 1) + ".avi");
    it->SubItems()->Add("00:0" + std::to_string(i % 10) + ":3" + std::to_string(i % 6));
    it->SubItems()->Add(std::to_string(10 + i) + ".25 MB");
    it->SubItems()->Add("旅行片段" + std::to_string(i + 1) + ".wmv");
    it->SubItems()->Add(std::to_string((i * 7) % 101) + "%");
    it->SubItems()->Add("25");
    it->SubItems()->Add("00:00:1" + std::to_string(i % 10));
    it->SubItems()->Add(std::to_string(i) + ".50 MB");
    for (int s = 8; s < 25; ++s) it->SubItems()->Add(std::to_string(s));
  }
  auto* vb = Bar(host, sd, true, kListW, 0, 19, kListH);
  auto* hb = Bar(host, sd, false, 0, kListH, kListW, 19);
  lv->SetVScrollBar(vb);
  lv->SetHScrollBar(hb);
  lv->SetSkinData(sd);
  lv->SetItemIndex(2);
}});

constexpr int kTreeW = 220, kTreeH = 230;

gallery::Register tree({"视图: 文件夹树 tree views", 61, kTreeW + 19, kTreeH + 19, [](TWinControl* host, TkxSkinData* sd) {
  auto* tv = Put<TkxSkinTreeView>(host, 0, 0, kTreeW, kTreeH);
  tv->SetHideSelection(false);
  TTreeNode* home = tv->Items()->Add(nullptr, "主文件夹 home");
  TTreeNode* videos = tv->Items()->AddChild(home, "视频 Videos");
  for (int i = 0; i < 6; ++i) tv->Items()->AddChild(videos, "旅行 " + std::to_string(2020 + i));
  TTreeNode* out = tv->Items()->AddChild(home, "Ombrel视频软件");
  tv->Items()->AddChild(out, "输出");
  tv->Items()->AddChild(out, "快照");
  TTreeNode* music = tv->Items()->AddChild(home, "音乐 Music");
  for (int i = 0; i < 4; ++i) tv->Items()->AddChild(music, "专辑 " + std::to_string(i + 1));
  TTreeNode* usb = tv->Items()->Add(nullptr, "/media/usb 可移动磁盘");
  tv->Items()->AddChild(usb, "DCIM");
  tv->FullExpand();
  tv->Items()->Add(nullptr, "/media/cdrom 光盘");
  auto* vb = Bar(host, sd, true, kTreeW, 0, 19, kTreeH);
  auto* hb = Bar(host, sd, false, 0, kTreeH, kTreeW, 19);
  tv->SetVScrollBar(vb);
  tv->SetHScrollBar(hb);
  tv->SetSkinData(sd);
  tv->SetSelected(out);
}});

}  // namespace
