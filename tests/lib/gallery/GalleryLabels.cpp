// Labels, bevels and a splitter.
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

using gallery::Put;

gallery::Register labels({"标签 labels", 10, 300, 130, [](TWinControl* host, TkxSkinData* sd) {
  auto* l = Put<TkxSkinStdLabel>(host, 0, 0, 140, 16);
  l->SetCaption("普通标签 label");
  l->SetSkinData(sd);
  auto* e = Put<TkxSkinStdLabel>(host, 150, 0, 140, 16);
  e->SetAutoSize(false);
  e->SetBounds(150, 0, 140, 16);
  e->SetEllipsType(kxetEndEllips);
  e->SetCaption("输出文件夹: /home/user/Videos/converted");
  e->SetSkinData(sd);
  auto* d = Put<TkxSkinStdLabel>(host, 0, 24, 140, 16);
  d->SetCaption("禁用的标签");
  d->SetEnabled(false);
  d->SetSkinData(sd);
  auto* t = Put<TkxSkinTextLabel>(host, 0, 48, 140, 70);
  t->SetAutoSize(false);
  t->SetBounds(0, 48, 140, 70);
  t->Lines()->Add("视频编码: MPEG-4");
  t->Lines()->Add("比特率: 768 kbps");
  t->Lines()->Add("帧率: 25");
  t->SetSkinData(sd);
  auto* k = Put<TkxSkinLinkLabel>(host, 150, 24, 140, 16);
  k->SetCaption("http://www.example.org");
  k->SetURL("http://www.example.org");
  k->SetSkinData(sd);
  auto* g = Put<TkxSkinLinkLabel>(host, 150, 60, 140, 36);
  g->SetAutoSize(false);
  g->SetBounds(150, 60, 140, 36);
  g->SetGlowEffect(true);
  g->SetGlowSize(6);
  g->SetAlignment(taCenter);
  g->SetCaption("mailto:user@example.org");
  g->SetSkinData(sd);
}});

gallery::Register bevels({"斜面与分隔条 bevels, splitter", 90, 300, 130, [](TWinControl* host, TkxSkinData* sd) {
  int x = 0;
  for (TBevelShape s : {bsBox, bsFrame, bsTopLine, bsLeftLine}) {
    auto* b = Put<TkxSkinBevel>(host, x, 0, 50, 50);
    b->SetShape(s);
    b->SetSkinData(sd);
    x += 60;
  }
  auto* d = Put<TkxSkinBevel>(host, 0, 64, 230, 8);
  d->SetDividerMode(true);
  d->SetSkinData(sd);
  auto* p = Put<TkxSkinBevel>(host, 0, 80, 230, 40);
  p->SetShape(bsBox);
  p->SetStyle(bsRaised);
  p->SetSkinData(sd);
  auto* sp = Put<TkxSkinSplitter>(host, 250, 0, 8, 120);
  sp->SetAlign(alNone);
  sp->SetBounds(250, 0, 8, 120);
  sp->SetSkinData(sd);
}});

}  // namespace
