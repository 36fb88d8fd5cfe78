#pragma once
// A skin made in code for the skinned-form tests, covering what the stored skins lack: a frame
// mask, caption buttons whose images are flat colours (so a pixel says which image is shown), a
// morphing close button, a button shaped by a mask, an animation strip, a user-drawn area, a
// caption with a text plate and an animation strip of its own, and the record the quick buttons
// borrow their hot look from.
//
// Use:
//   auto* sd = new TkxSkinData(owner);
//   formtest::FillFormTestSkin(*sd);            // loaded: Empty false, effects on
//   formtest::Record<TkxDataSkinStdButton>(*sd, "closebutton")->Morphing = false;  // tweak
//   vlr->SetSkinData(sd);                        // then the form builds its objects
//
// The frame picture is kFrameW x kFrameH, so a form of that size maps every rect one to one.
// Every object lies in the caption band (rows 0 to 29) or the bottom band (rows 120 to 139),
// outside the client rect kClRect. The caption and the animation strip are not animated and the
// caption does not morph unless a test switches it on (Morphing, AnimateSkinRect, FrameCount).
// Text is drawn in the built-in box font (kTestBoxFontName), so its layout is exact: with
// FontHeight -10 a Latin character is 5 pixels wide, an ideograph 10.
#include <memory>
#include <string>

#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxSkinData.h"
#include "platform/Gdi.h"

namespace formtest {

// ---- geometry ----
constexpr int kFrameW = 240, kFrameH = 140;
constexpr TRect kClRect{4, 30, 236, 120};
constexpr TRect kCaptionRect{4, 4, 140, 26}, kButtonsRect{140, 4, 236, 26};
// Where each object sits (its SkinRect in the frame, the object rect of a form kFrameW wide).
// The caption buttons drawn from active picture 1 sit where the form lays them out: from the
// buttons rect's right edge leftwards, ButtonsOffset (2) apart, at its top.
constexpr TRect kSysMenuAt{6, 8, 22, 24}, kStripAt{24, 8, 40, 24}, kCaptionAt{44, 4, 120, 26},
    kRoundAt{122, 8, 138, 24}, kCustomAt{148, 4, 164, 20}, kRollUpAt{166, 4, 182, 20}, kMinAt{184, 4, 200, 20},
    kMaxAt{202, 4, 218, 20}, kCloseAt{220, 4, 236, 20}, kUserAt{8, 122, 60, 138};
// The record names, in the skin's object order.
inline const char* const kObjectNames[] = {"sysmenubutton", "strip",     "caption",  "roundbutton", "custombutton",
                                           "rollupbutton",  "minbutton", "maxbutton", "closebutton", "userarea"};

// ---- colours ----
// The frame picture (and the caption's normal background), the active frame (active picture 0).
constexpr TColor kFrameColor = TColor(0x604020), kActiveFrameColor = TColor(0x206040);
// The 16 x 16 cells of active picture 1, left to right.
enum Cell { cNormal, cHot, cDown, cInactive, cDisabled, cRestore, cRestoreHot, cRestoreDown, cStrip1, cStrip2,
            cStrip3, cStrip4, cPlate, cCellCount };
constexpr TColor kCellColor[cCellCount] = {
    TColor(0x0000C0), TColor(0x00C000), TColor(0xC00000), TColor(0x808080), TColor(0x404040),
    TColor(0x00C0C0), TColor(0xC0C000), TColor(0xC000C0), TColor(0x100010), TColor(0x200020),
    TColor(0x300030), TColor(0x400040), TColor(0xE0E0E0)};
constexpr TRect CellRect(int C) { return TRect{16 * C, 0, 16 * C + 16, 16}; }
// The caption's animation frames: three 76 x 22 frames stacked under the active frame in active
// picture 0 (a vertical strip), each a flat colour.
constexpr TColor kCaptionFrameColor[3] = {TColor(0x000080), TColor(0x008000), TColor(0x800000)};
constexpr TRect kCaptionStrip{0, kFrameH, 76, kFrameH + 66};
// The round button's mask (active picture 2): black inside a circle of radius 7 around (8, 8),
// white elsewhere, so (0, 0) is outside and (8, 8) inside.
// The glow image and its mask: active pictures 3 and 4 (24 x 24).

inline void Fill(TBitmap& B, const TRect& R, TColor C) {
  B.Canvas()->Brush()->SetColor(C);
  B.Canvas()->FillRect(R);
}

inline std::unique_ptr<TBitmap> NewPicture(int W, int H, TColor C) {
  auto B = std::make_unique<TBitmap>();
  B->SetPixelFormat(pf24bit);
  B->SetSize(W, H);
  Fill(*B, TRect{0, 0, W, H}, C);
  return B;
}

// The first record of that name, of class T (nullptr when there is none or it is another class).
template <typename T>
T* Record(TkxSkinData& SD, const std::string& Name) {
  const int32_t I = SD.GetIndex(Name);
  return I == -1 ? nullptr : dynamic_cast<T*>(SD.ObjectList[size_t(I)].get());
}

template <typename T>
T* AddObject(TkxSkinData& SD, const std::string& Name, const TRect& At) {
  auto R = std::make_unique<T>(Name);
  R->SkinRect = At;
  auto* P = R.get();
  SD.ObjectList.push_back(std::move(R));
  return P;
}

// A caption button whose images are the cells of active picture 1.
inline TkxDataSkinStdButton* AddButton(TkxSkinData& SD, const std::string& Name, const TRect& At,
                                       TkxStdCommand Command, const std::string& Hint) {
  auto* R = AddObject<TkxDataSkinStdButton>(SD, Name, At);
  R->SkinRectInAPicture = true;
  R->SkinRect = CellRect(cNormal);
  R->ActivePictureIndex = 1;
  R->ActiveSkinRect = CellRect(cHot);
  R->DownRect = CellRect(cDown);
  R->DisableSkinRect = CellRect(cDisabled);
  R->Command = Command;
  R->Hint = Hint;
  return R;
}

// Makes SD hold the test skin (whatever it held before), loaded and with effects on.
inline void FillFormTestSkin(TkxSkinData& SD) {
  SD.ClearAll();
  SD.FPicture = NewPicture(kFrameW, kFrameH, kFrameColor);
  SD.FInActivePicture = std::make_unique<TBitmap>();
  // The frame mask: the whole frame but three pixels at each corner.
  SD.FMask = NewPicture(kFrameW, kFrameH, clBlack);
  SD.FMask->SetPixelFormat(pf24bit);
  for (TPoint P : {TPoint{0, 0}, TPoint{1, 0}, TPoint{0, 1}, TPoint{kFrameW - 1, 0}, TPoint{kFrameW - 2, 0},
                   TPoint{kFrameW - 1, 1}, TPoint{0, kFrameH - 1}, TPoint{1, kFrameH - 1}, TPoint{0, kFrameH - 2},
                   TPoint{kFrameW - 1, kFrameH - 1}, TPoint{kFrameW - 2, kFrameH - 1}, TPoint{kFrameW - 1, kFrameH - 2}})
    SD.FMask->Canvas()->SetPixels(P.x, P.y, clWhite);

  SD.FActivePictures.clear();
  auto Active = NewPicture(kFrameW, kFrameH + 66, kActiveFrameColor);
  for (int i = 0; i < 3; ++i)
    Fill(*Active, TRect{0, kFrameH + 22 * i, 76, kFrameH + 22 * i + 22}, kCaptionFrameColor[i]);
  SD.FActivePictures.push_back(std::move(Active));
  auto Cells = NewPicture(16 * cCellCount, 16, clWhite);
  for (int c = 0; c < cCellCount; ++c) Fill(*Cells, CellRect(c), kCellColor[c]);
  SD.FActivePictures.push_back(std::move(Cells));
  auto RoundMask = NewPicture(16, 16, clWhite);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if ((x - 8) * (x - 8) + (y - 8) * (y - 8) <= 49) RoundMask->Canvas()->SetPixels(x, y, clBlack);
  SD.FActivePictures.push_back(std::move(RoundMask));
  SD.FActivePictures.push_back(NewPicture(24, 24, TColor(0x00FFFF)));
  SD.FActivePictures.push_back(NewPicture(24, 24, clWhite));
  SD.FActivePicturesNames = std::make_unique<TStringList>();
  for (const char* N : {"activeframe.bmp", "cells.bmp", "round.bmp", "glow.bmp", "glowmask.bmp"})
    SD.FActivePicturesNames->Add(N);

  SD.ButtonsRect = kButtonsRect;
  SD.CaptionRect = kCaptionRect;
  SD.ButtonsOffset = 2;
  SD.LTPoint = TPoint{kClRect.left, kClRect.top};
  SD.RTPoint = TPoint{kClRect.right, kClRect.top};
  SD.LBPoint = TPoint{kClRect.left, kClRect.bottom};
  SD.RBPoint = TPoint{kClRect.right, kClRect.bottom};
  SD.ClRect = kClRect;
  SD.BorderW = 4;
  SD.MaskRectArea = TRect{};

  auto* Sys = AddButton(SD, "sysmenubutton", kSysMenuAt, cmSysMenu, "Menu");
  Sys->SkinRectInAPicture = false;  // drawn into the frame picture
  Sys->SkinRect = kSysMenuAt;
  Fill(*SD.FPicture, kSysMenuAt, kCellColor[cNormal]);

  auto* Strip = AddObject<TkxDataSkinAnimate>(SD, "strip", kStripAt);
  Strip->ActivePictureIndex = 1;
  Strip->ActiveSkinRect = TRect{CellRect(cStrip1).left, 0, CellRect(cStrip4).right, 16};
  Strip->CountFrames = 4;
  Strip->ButtonStyle = true;
  Strip->TimerInterval = 60;
  Strip->Command = cmDefault;

  auto* Cap = AddObject<TkxDataSkinCaption>(SD, "caption", kCaptionAt);
  Cap->ActivePictureIndex = 0;
  Cap->ActiveSkinRect = kCaptionAt;
  Cap->FontName = win::kTestBoxFontName;
  Cap->FontHeight = -10;
  Cap->FontColor = clWhite;
  Cap->ActiveFontColor = clYellow;
  Cap->TextRct = TRect{4, 2, 72, 20};
  Cap->Alignment = taLeftJustify;

  auto* Round = AddObject<TkxDataSkinButton>(SD, "roundbutton", kRoundAt);
  Fill(*SD.FPicture, kRoundAt, kCellColor[cNormal]);
  Round->ActivePictureIndex = 1;
  Round->ActiveMaskPictureIndex = 2;
  Round->ActiveSkinRect = CellRect(cHot);
  Round->DownRect = CellRect(cDown);

  AddButton(SD, "custombutton", kCustomAt, cmDefault, "Custom");
  AddButton(SD, "rollupbutton", kRollUpAt, cmRollUp, "");
  AddButton(SD, "minbutton", kMinAt, cmMinimize, "");
  auto* Max = AddButton(SD, "maxbutton", kMaxAt, cmMaximize, "");
  Max->RestoreRect = CellRect(cRestore);
  Max->RestoreActiveRect = CellRect(cRestoreHot);
  Max->RestoreDownRect = CellRect(cRestoreDown);
  Max->RestoreHint = "Restore";
  auto* Close = AddButton(SD, "closebutton", kCloseAt, cmClose, "");
  Close->Morphing = true;
  Close->InActiveSkinRect = CellRect(cInactive);
  Close->GlowLayerPictureIndex = 3;
  Close->GlowLayerMaskPictureIndex = 4;
  Close->GlowLayerOffsetX = 4;
  Close->GlowLayerOffsetY = 4;

  AddObject<TkxDataUserObject>(SD, "userarea", kUserAt);

  // The hot and pressed look of the quick buttons.
  auto Q = std::make_unique<TkxDataSkinButtonControl>("officequickbutton");
  Q->PictureIndex = 1;
  Q->SkinRect = CellRect(cNormal);
  Q->ActiveSkinRect = CellRect(cHot);
  Q->DownSkinRect = CellRect(cDown);
  Q->ClRect = TRect{2, 2, 14, 14};
  SD.CtrlList.push_back(std::move(Q));

  SD.Empty = false;
  SD.SetEnableSkinEffects(true);
}

// Where an object of the test skin lies on a form kFrameW x kFrameH (the caption buttons drawn
// from active picture 1 keep their image's cell in SkinRect, so their place is given here).
inline TRect PlaceOf(const std::string& Name) {
  const TRect At[] = {kSysMenuAt, kStripAt, kCaptionAt, kRoundAt, kCustomAt, kRollUpAt, kMinAt, kMaxAt, kCloseAt, kUserAt};
  for (size_t i = 0; i < std::size(kObjectNames); ++i)
    if (Name == kObjectNames[i]) return At[i];
  return TRect{};
}

// Quick-button pictures: Count pictures of 12 x 12, picture i filled with kQuickColor[i].
constexpr TColor kQuickColor[3] = {TColor(0x0080FF), TColor(0xFF8000), TColor(0x80FF00)};
inline TCustomImageList* MakeQuickImages(TComponent* Owner, int Count = 2) {
  auto* IL = new TCustomImageList(Owner);
  IL->SetSize(12, 12);
  for (int i = 0; i < Count && i < 3; ++i) {
    auto B = NewPicture(12, 12, kQuickColor[i]);
    IL->Add(B.get(), nullptr);
  }
  return IL;
}

}  // namespace formtest
