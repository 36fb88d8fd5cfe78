// Up/downs and sliders.
#include "lib/controls/kxSkinSlider.h"
#include "lib/controls/kxSkinUpDown.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

using gallery::Put;

// Reaches the pressed states without real input.
class PressedSlider : public TkxSkinSlider {
public:
  using TkxSkinSlider::TkxSkinSlider;
  void PressThumb() { ThumbPress(ThumbRect().left + 1, ThumbRect().top + 1); }
};

class PressedUpDown : public TkxSkinUpDown {
public:
  using TkxSkinUpDown::TkxSkinUpDown;
  void PressButton(int Index) {
    const TRect r = Button(Index).R;
    MouseDown(mbLeft, TShiftState{}, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
};

gallery::Register sliders({"微调与滑块 up/down, sliders", 60, 600, 200, [](TWinControl* host, TkxSkinData* sd) {
  auto* h = Put<TkxSkinSlider>(host, 0, 0, 200, 40);
  h->SetValue(30);
  h->SetSkinData(sd);
  auto* p = Put<PressedSlider>(host, 0, 48, 200, 40);
  p->SetIncrement(20);
  p->SetValue(60);
  p->SetSkinData(sd);
  p->PressThumb();
  auto* d = Put<TkxSkinSlider>(host, 0, 96, 200, 40);
  d->SetOptions(TkxSliderOptions{soSmooth});
  d->SetValue(50);
  d->SetEnabled(false);
  d->SetSkinData(sd);
  auto* v = Put<TkxSkinSlider>(host, 215, 0, 44, 190);
  v->SetOrientation(soVertical);
  v->SetValue(70);
  v->SetSkinData(sd);
  auto* vd = Put<TkxSkinSlider>(host, 270, 0, 44, 190);
  vd->SetOrientation(soVertical);
  vd->SetIncrement(25);
  vd->SetValue(25);
  vd->SetEnabled(false);
  vd->SetSkinData(sd);

  int x = 340;
  for (int i = 0; i < 2; ++i) {
    const bool vertical = i == 1;
    auto* u = Put<PressedUpDown>(host, x, 0, vertical ? 25 : 50, vertical ? 50 : 25);
    u->SetSkinDataName(vertical ? "vupdown" : "hupdown");
    u->SetOrientation(vertical ? udVertical : udHorizontal);
    u->SetSkinData(sd);
    auto* pu = Put<PressedUpDown>(host, x, 60, vertical ? 25 : 50, vertical ? 50 : 25);
    pu->SetSkinDataName(vertical ? "vupdown" : "hupdown");
    pu->SetOrientation(vertical ? udVertical : udHorizontal);
    pu->SetIncrement(0);  // pressed for the picture, never repeating
    pu->SetSkinData(sd);
    pu->PressButton(0);
    auto* r = Put<TkxSkinUpDown>(host, x, 120, vertical ? 24 : 60, vertical ? 60 : 24);
    r->SetUseSkinSize(false);
    r->SetSkinDataName(vertical ? "vupdown" : "hupdown");
    r->SetOrientation(vertical ? udVertical : udHorizontal);
    r->SetSkinData(sd);
    x += 80;
  }
  auto* dis = Put<TkxSkinUpDown>(host, 500, 0, 50, 25);
  dis->SetEnabled(false);
  dis->SetSkinData(sd);
}});

}  // namespace
