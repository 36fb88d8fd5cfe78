#pragma once
// The skinned containers: the panel with its optional caption bar (check box, glyph or image,
// roll-up arrow) and its transparent looks, the paint panel, the group box and the status bar
// with its size grip. The tool bar, a panel too, has a file of its own (kxSkinToolBar.h).
#include <cstdint>
#include <memory>
#include <string>

#include "lib/controls/kxSkinCtrls.h"

class TCustomImageList;

enum TkxImagePosition { kxipDefault, kxipLeft };

class TkxSkinPanel : public TkxSkinCustomControl {
public:
  explicit TkxSkinPanel(TComponent* AOwner);
  ~TkxSkinPanel() override;

  void Dispatch(TMessage& Message) override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;

  bool RibbonStyle() const { return FRibbonStyle; }
  void SetRibbonStyle(bool Value);
  TkxImagePosition ImagePosition() const { return FImagePosition; }
  void SetImagePosition(TkxImagePosition Value);
  bool TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(bool Value);
  TCustomImageList* CaptionImageList() const { return FCaptionImageList; }
  void SetCaptionImageList(TCustomImageList* Value);
  int32_t CaptionImageIndex() const { return FCaptionImageIndex; }
  void SetCaptionImageIndex(int32_t Value);
  // The height before rolling up; -1 while rolled down.
  int32_t RealHeight() const { return FRealHeight; }
  void SetRealHeight(int32_t Value) { FRealHeight = Value; }
  bool AutoEnabledControls() const { return FAutoEnabledControls; }
  void SetAutoEnabledControls(bool Value) { FAutoEnabledControls = Value; }
  bool CheckedMode() const { return FCheckedMode; }
  void SetCheckedMode(bool Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  TAlignment DefaultAlignment() const { return FDefaultAlignment; }
  void SetDefaultAlignment(TAlignment Value);
  int32_t DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
  virtual void SetDefaultCaptionHeight(int32_t Value);
  TkxSkinBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TkxSkinBorderStyle Value);
  bool CaptionMode() const { return FCaptionMode; }
  virtual void SetCaptionMode(bool Value);
  bool RollUpMode() const { return FRollUpMode; }
  void SetRollUpMode(bool Value);
  bool RollUpState() const { return FRollUpState; }
  void SetRollUpState(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int32_t NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int32_t Value);
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t Value);
  TNotifyEvent OnChecked, OnChangeRollUpState;

  // Draws the panel's plain or skinned image at (X, Y) of C.
  void PaintskinTo(TCanvas* C, int32_t X, int32_t Y);
  // (0, 0, Width, Height) less what AdjustClientRect takes away.
  TRect GetSkinClientRect();
  void DoRollUp(bool ARollUp);

  // The values of the panel record, copied at every lookup.
  TRect CaptionRect{};
  TAlignment Alignment = taLeftJustify;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = clBtnText;
  int32_t BGPictureIndex = -1;
  TRect CheckImageRect{}, UnCheckImageRect{}, MarkFrameRect{}, FrameRect{};
  int32_t FrameLeftOffset = 0, FrameRightOffset = 0;
  TRect FrameTextRect{};
  // Where the caption was last drawn; a click there checks or rolls the panel.
  TRect NewCaptionRect{};

protected:
  bool CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Paints the client content in the transparent looks; nothing here.
  virtual void DoPanelPaint(TCanvas* Canvas) {}

  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool Skinned() const { return FIndex != -1; }
  TkxSkinBorderStyle FBorderStyle = TkxSkinBorderStyle::bvFrame;
  bool FCaptionMode = false;

private:
  void DrawSkinCaption(TCanvas* C);
  void PaintTransparentFrame(TCanvas* C);
  void PaintGroupFrame();
  void PaintTiledClient();
  void PaintBGPicture();
  void SetCaptionFont(TCanvas* C, bool FromRecord);
  int32_t CaptionContentWidth(TCanvas* C);
  bool HasListImage() const;
  // The check box of the caption from the skin's images, or a plain one where it has none.
  int32_t DrawCheckImage(TCanvas* C, int32_t X, int32_t CentreY, TColor MarkColor);
  void DrawCaptionImage(TCanvas* C, int32_t X, int32_t Y);
  int32_t CaptionImageWidth() const;
  int32_t CaptionImageHeight() const;
  void HideChildControls();
  void ShowChildControls();

  bool FRibbonStyle = false;
  TkxImagePosition FImagePosition = kxipDefault;
  bool FTransparentMode = false;
  TkxComponentLink<TCustomImageList> FCaptionImageList;
  int32_t FCaptionImageIndex = -1;
  int32_t FRealHeight = -1;
  bool FAutoEnabledControls = true;
  bool FCheckedMode = false;
  bool FChecked = false;
  TAlignment FDefaultAlignment = taLeftJustify;
  int32_t FDefaultCaptionHeight = 22;
  bool FRollUpMode = false;
  bool FRollUpState = false;
  std::unique_ptr<TBitmap> FGlyph;
  int32_t FNumGlyphs = 1;
  int32_t FSpacing = 2;
  bool FInChangingRollUp = false;
  bool FAlignHeldByRollUp = false;
  int32_t FCMaxWidth = 0, FCMinWidth = 0, FCMaxHeight = 0, FCMinHeight = 0;
};

// A panel whose owner paints the client area through OnPanelPaint.
using TkxPaintPanelEvent = std::function<void(TCanvas* Cnvs, TRect& R)>;

class TkxSkinPaintPanel : public TkxSkinPanel {
public:
  explicit TkxSkinPaintPanel(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;
  TkxPaintPanelEvent OnPanelPaint;

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void DoPanelPaint(TCanvas* Canvas) override;
};

// A panel with the "groupbox" record and its caption bar on.
class TkxSkinGroupBox : public TkxSkinPanel {
public:
  explicit TkxSkinGroupBox(TComponent* AOwner);
  void GetSkinData() override;
};

// A bottom-aligned bar whose grip in the bottom-right corner sizes the form.
class TkxSkinStatusBar : public TkxSkinPanel {
public:
  explicit TkxSkinStatusBar(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;
  void GetSkinData() override;
  void SetSkinData(TkxSkinData* Value) override;

  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  // Off while the form is maximized.
  bool ShowGrip() const { return FShowGrip; }
  void SetShowGrip(bool Value);
  bool GripShown() const { return FSizeGrip && FShowGrip; }
  TRect GetGripRect();

  TRect GripperRect{};
  bool GripperTransparent = false;
  TColor GripperTransparentColor = clNone;

protected:
  void AdjustClientRect(TRect& Rect) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;

private:
  bool FSizeGrip = false;
  bool FShowGrip = true;
};

// Form streaming of the panel family.
void RegisterSkinPanelFormClasses();
