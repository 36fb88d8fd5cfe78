#pragma once
// The skinned check box and radio button: one control for both (Radio), with three states, radio
// groups by parent and GroupIndex, an optional image-list image before the caption and two looks.
// Flat (the default) draws only the check image and the caption over the parent's background;
// non-flat draws the record's whole picture with the check image and caption in its areas and
// morphs between the normal and the active picture when the mouse enters or the focus arrives.
#include <cstdint>
#include <memory>
#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/skin/kxSkinValues.h"

class TCustomImageList;

class TkxSkinCheckRadioBox : public TkxSkinCustomControl {
public:
  explicit TkxSkinCheckRadioBox(TComponent* AOwner);
  ~TkxSkinCheckRadioBox() override;

  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  bool Radio() const { return FRadio; }
  // While designing (not loading), also picks the record and group of the kind.
  void SetRadio(bool Value);
  bool Checked() const { return FChecked; }
  // Checking clears the checked boxes of the same parent and non-zero GroupIndex; OnClick fires
  // for a check box on every assignment, for a radio box only when it is now checked.
  void SetChecked(bool Value);
  TCheckBoxState State() const { return FState; }
  // Checked follows (without the group rule); OnClick fires on every assignment.
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value);
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t Value) { FGroupIndex = Value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  bool UseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value);

  // A check box flips; a radio box becomes checked.
  virtual void ToggleCheck();
  // The box as it would look checked or not (grayed still from State) at (X, Y) of C, without
  // the hot look and the focus rectangle; nothing for a non-flat box without a skin record.
  void PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, bool AChecked);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSkinSize(int32_t& AWidth, int32_t& AHeight) override;

  // Runtime state, for those who look at the box from outside.
  bool MouseIn() const { return FMouseIn; }
  double MorphKf() const { return FMorphKf; }
  bool MorphTimerRunning() const { return FMorphTimer && FMorphTimer->Enabled(); }
  // The layout of the non-flat skin look at the present size.
  TRect TextAreaRect() const { return NewTextArea; }
  TRect CheckImageAreaRect() const { return CIRect; }

  // Skin values of the record, read at every paint.
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = clBtnText, ActiveFontColor = clBtnText, FrameFontColor = clBtnText,
         UnEnabledFontColor = clBtnShadow;
  TRect ActiveSkinRect{}, CheckImageArea{}, TextArea{};
  TRect CheckImageRect{}, UnCheckImageRect{}, ActiveCheckImageRect{}, ActiveUnCheckImageRect{};
  TRect UnEnabledCheckImageRect{}, UnEnabledUnCheckImageRect{}, GrayedCheckImageRect{},
      ActiveGrayedCheckImageRect{};
  bool Morphing = false;
  TkxMorphKind MorphKind = mkDefault;

protected:
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CheckParentBackground() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

private:
  // Whether the box's window has the focus and it may show it.
  bool BoxFocused();
  bool CanMorph() const;
  void ActiveStateChanged();
  void MorphTimerTick();
  void StopMorphTimer();
  void FireClick();
  bool HasImage() const;
  // The flat looks into B (of the box's size). Hot: the mouse-in look; Decorate: the grayed
  // mark of the default look and the focus rectangle.
  void PaintFlatImage(TBitmap* B, TCheckBoxState AState, bool Hot, bool Decorate);
  void PaintFlatText(TCanvas* C, int32_t TextX, int32_t ImageGap, bool Decorate);
  // The default square and its mark.
  void DrawDefaultMark(TCanvas* C, TCheckBoxState AState, bool Hot, bool GrayedMark);
  // The non-flat skin image from ARect of the picture, with the check image and the caption.
  void BuildSkinImage(TBitmap* B, const TRect& ARect, bool Active, TCheckBoxState AState);
  // The check image for the state into the canvas at (X, Y), transparent; false when the record
  // has none to give.
  bool DrawCheckImage(TCanvas* C, int32_t X, int32_t Y, TCheckBoxState AState, bool Hot);
  void SetCaptionFont(TFont* F);

  bool FRadio = false, FChecked = false, FAllowGrayed = false, FWordWrap = false, FFlat = true;
  TCheckBoxState FState = cbUnchecked;
  int32_t FGroupIndex = 0;
  TkxComponentLink<TCustomImageList> FImages{[this] { Repaint(); }};
  int32_t FImageIndex = 0;
  bool FUseSkinFontColor = true, FCanFocused = true;
  bool FMouseIn = false;
  TTimer* FMorphTimer = nullptr;  // owned by the box; made on the first morph
  double FMorphKf = 0;
  TRect NewTextArea{}, CIRect{};
};

// Form streaming of the class.
void RegisterSkinCheckRadioFormClasses();
