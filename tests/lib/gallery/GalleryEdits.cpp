// Skinned edits: plain, hot, focused with a selection, read-only, disabled, numeric, with an edit
// button and with image buttons.
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinEdits.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

using gallery::Put;

// Two 16 x 16 glyphs on a transparent ground: a magnifier and a cross.
TImageList* Glyphs(TComponent* Owner) {
  auto* list = new TImageList(Owner);
  list->SetSize(16, 16);
  TBitmap strip;
  strip.SetSize(32, 16);
  TCanvas* c = strip.Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(TRect{0, 0, 32, 16});
  c->Pen()->SetColor(TColor(0x7A5A3C));
  c->Pen()->SetWidth(2);
  c->Brush()->SetStyle(bsClear);
  c->Ellipse(2, 2, 11, 11);
  c->MoveTo(10, 10);
  c->LineTo(14, 14);
  c->MoveTo(20, 4);
  c->LineTo(28, 12);
  c->MoveTo(28, 4);
  c->LineTo(20, 12);
  list->AddMasked(&strip, clFuchsia);
  return list;
}

gallery::Register edits({"编辑框 edits", 40, 560, 112, [](TWinControl* host, TkxSkinData* sd) {
  constexpr int W = 170, H = 20, DX = 184, DY = 38;
  auto edit = [&](int col, int row, const std::string& text) {
    auto* e = Put<TkxSkinEdit>(host, col * DX, row * DY, W, H);
    e->SetText(text);
    return e;
  };
  auto* normal = edit(0, 0, "普通 normal");
  normal->SetSkinData(sd);

  auto* hot = edit(1, 0, "悬停 hot");
  hot->SetSkinData(sd);
  hot->Perform(CM_MOUSEENTER, 0, 0);

  auto* focused = edit(2, 0, "焦点 focused 选中");
  focused->SetName("focused");
  focused->SetAutoSelect(false);
  focused->SetSkinData(sd);

  auto* ro = edit(0, 1, "只读 /home/user/视频");
  ro->SetReadOnly(true);
  ro->SetSkinData(sd);

  auto* off = edit(1, 1, "禁用 disabled");
  off->SetEnabled(false);
  off->SetSkinData(sd);

  auto* num = Put<TkxSkinNumEdit>(host, 2 * DX, DY, 80, H);
  num->Float = true;
  num->SetText("-12.5");  // an inner edit: no frame of its own

  auto* button = edit(0, 2, "按钮 edit button");
  button->SetSkinDataName("buttonedit");
  button->SetButtonMode(true);
  button->SetSkinData(sd);

  auto* images = edit(1, 2, "图像按钮 images");
  images->SetImages(Glyphs(host));
  images->SetLeftImageIndex(0);
  images->SetRightImageIndex(1);
  images->SetSkinData(sd);

  auto* right = edit(2, 2, "右对齐 right");
  right->SetAlignment(taRightJustify);
  right->SetButtonMode(true);
  right->SetSkinDataName("buttonedit");
  right->SetSkinData(sd);
  right->SetEnabled(false);
}, [](TWinControl* host, TkxSkinData*) {
  // Focused with part of its text selected.
  if (auto* e = dynamic_cast<TkxSkinEdit*>(host->FindComponent("focused"))) {
    e->SetFocus();
    e->SetSelStart(3);
    e->SetSelLength(7);
  }
}});

}  // namespace
