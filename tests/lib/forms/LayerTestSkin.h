#pragma once
// A skin with a layered outer border, made in code for the border tests: the frame skin of
// FrameTestFixture.h plus a LAYERFRAME record over a 100 x 100 picture (active picture 0) and its
// mask (active picture 1). The picture's left corner piece is red, its right corner piece blue and
// the rest green, so a pixel says which piece of the picture an image took it from.
#include <memory>

#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "tests/lib/forms/FrameTestFixture.h"

namespace layertest {

constexpr int kLayerSize = 100;
constexpr TColor kLeftPiece = TColor(0x0000FF), kRightPiece = TColor(0xFF0000), kMiddle = TColor(0x00FF00);

struct LayerSpec {
  TRect ClRect{10, 10, 90, 90};
  TRect BorderRect{};  // empty: the border never takes the mouse
  bool HitTestEnable = false;
  int MaskGrey = 128;  // -1: no mask picture
  int AlphaBlendValue = 255, InActiveAlphaBlendValue = 255;
};

inline std::unique_ptr<TkxSkinData> MakeLayerSkin(const LayerSpec& S = LayerSpec{}) {
  auto sd = std::make_unique<TkxSkinData>(nullptr);
  frametest::MakeFrameSkin(*sd);
  auto pic = std::make_unique<TBitmap>();
  pic->SetPixelFormat(pf24bit);
  pic->SetSize(kLayerSize, kLayerSize);
  TCanvas* c = pic->Canvas();
  c->Brush()->SetColor(kMiddle);
  c->FillRect(TRect{0, 0, kLayerSize, kLayerSize});
  c->Brush()->SetColor(kLeftPiece);
  c->FillRect(TRect{0, 0, 20, kLayerSize});
  c->Brush()->SetColor(kRightPiece);
  c->FillRect(TRect{80, 0, kLayerSize, kLayerSize});
  sd->FActivePictures.push_back(std::move(pic));
  auto rec = std::make_unique<TkxDataSkinLayerFrame>();
  rec->PictureIndex = 0;
  if (S.MaskGrey >= 0) {
    auto mask = std::make_unique<TBitmap>();
    mask->SetPixelFormat(pf24bit);
    mask->SetSize(kLayerSize, kLayerSize);
    mask->Canvas()->Brush()->SetColor(TColor(S.MaskGrey * 0x010101));
    mask->Canvas()->FillRect(TRect{0, 0, kLayerSize, kLayerSize});
    sd->FActivePictures.push_back(std::move(mask));
    rec->MaskPictureIndex = 1;
  }
  rec->ClRect = S.ClRect;
  // The corner pieces end where the picture's client rectangle begins.
  rec->LTPoint = TPoint{20, S.ClRect.top};
  rec->RTPoint = TPoint{80, S.ClRect.top};
  rec->LBPoint = TPoint{20, S.ClRect.bottom};
  rec->RBPoint = TPoint{80, S.ClRect.bottom};
  rec->BorderRect = S.BorderRect;
  rec->HitTestEnable = S.HitTestEnable;
  rec->AlphaBlendValue = S.AlphaBlendValue;
  rec->InActiveAlphaBlendValue = S.InActiveAlphaBlendValue;
  sd->LayerFrame = std::move(rec);
  return sd;
}

}  // namespace layertest
