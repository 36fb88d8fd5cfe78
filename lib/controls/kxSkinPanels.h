#pragma once
// The skinned containers: the panel with its optional caption bar (check box, glyph or image,
// roll-up arrow) and its transparent looks, the paint panel, the group box, the status bar with
// its size grip, and the tool bar that keeps its children vertically centred and scrolls them
// sideways with two arrows in its non-client area when they do not fit.
#include <cstdint>
#include <memory>
#include <string>

#include "lib/controls/kxSkinCtrls.h"

class TCustomImageList;
class TkxDataSkinButtonControl;

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
  void Notification(TComponent* AComponent, TOperation Operation) override;
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
  TCustomImageList* FCaptionImageList = nullptr;
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

// What a tool bar hands on to the tool buttons it holds (the speed buttons implement it).
class TkxToolBarButton {
public:
  enum TNameKind { nkSpeedButton, nkMenuTrackButton, nkMenuButton };
  virtual ~TkxToolBarButton() = default;
  virtual void SetFlat(bool Value) = 0;
  virtual void SetShowCaption(bool Value) = 0;
  // The tool bar's image lists changed: draw again.
  virtual void ToolBarImagesChanged() = 0;
  // Which record name the button takes after the tool bar's at design time.
  virtual TNameKind ToolBarNameKind() const { return nkSpeedButton; }
};

// The record name a tool button takes after its tool bar's record name.
std::string ToolButtonSkinDataName(const std::string& ToolBarName, TkxToolBarButton::TNameKind Kind);

// Non-client hit codes of the tool bar's scroll arrows.
constexpr int32_t HTKXSCROLLLEFT = 119, HTKXSCROLLRIGHT = 120;

class TkxSkinToolBar : public TkxSkinPanel, public TkxSkinControlHost {
public:
  explicit TkxSkinToolBar(TComponent* AOwner);
  ~TkxSkinToolBar() override;

  void WndProc(TMessage& Message) override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetSkinData(TkxSkinData* Value) override;
  void SetSkinDataName(const std::string& Value) override;

  bool AdjustControls() const override { return FAdjustControls; }
  void SetAdjustControls(bool Value) { FAdjustControls = Value; }
  TRect GetSkinClientRect() override { return TkxSkinPanel::GetSkinClientRect(); }
  bool CanScroll() const { return FCanScroll; }
  void SetCanScroll(bool Value) { FCanScroll = Value; }
  bool HotScroll() const { return FHotScroll; }
  void SetHotScroll(bool Value) { FHotScroll = Value; }
  int32_t ScrollOffset() const { return FScrollOffset; }
  void SetScrollOffset(int32_t Value) {
    if (Value >= 0) FScrollOffset = Value;
  }
  int32_t ScrollTimerInterval() const { return FScrollTimerInterval; }
  void SetScrollTimerInterval(int32_t Value) {
    if (Value > 0) FScrollTimerInterval = Value;
  }
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value);
  bool AutoShowHideCaptions() const { return FAutoShowHideCaptions; }
  void SetAutoShowHideCaptions(bool Value) { FAutoShowHideCaptions = Value; }
  int32_t WidthWithCaptions() const { return FWidthWithCaptions; }
  void SetWidthWithCaptions(int32_t Value) { FWidthWithCaptions = Value; }
  int32_t WidthWithoutCaptions() const { return FWidthWithoutCaptions; }
  void SetWidthWithoutCaptions(int32_t Value) { FWidthWithoutCaptions = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* Value);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value);

  // The two arrow areas (left, then right), in window coordinates.
  struct TScrollButton {
    TRect R{};
    bool MouseIn = false, Down = false, Visible = false;
  };
  TScrollButton Buttons[2];
  int32_t TimerMode = 0;  // 0 none, 1 scrolling left, 2 scrolling right
  int32_t SMax = 0, SPosition = 0, SPage = 0, SOldPosition = 0;
  // The "resizebutton" record the arrows are drawn from, or nullptr.
  TkxDataSkinButtonControl* ButtonData = nullptr;

  // One step left (1) or right (2).
  void ScrollStep(int32_t Direction);
  void UpdateScrollRange();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateControlSkinImage(TBitmap* B) override;

private:
  void CentrePlainChildren();
  void SetArrowsVisible(bool Value);
  void PlaceArrows();
  void PaintArrows();
  void DrawArrow(TBitmap* B, int32_t Index);
  void StartScrollTimer();
  void StopScrollTimer();
  bool ArrowsShown() const { return Buttons[0].Visible || Buttons[1].Visible; }
  void ClearArrowHover();
  void SetImageList(TCustomImageList*& Field, TCustomImageList* Value);
  template <typename F>
  void EachToolButton(const F& Fn);

  bool FAdjustControls = true;
  bool FCanScroll = false;
  bool FHotScroll = false;
  int32_t FScrollOffset = 0;
  int32_t FScrollTimerInterval = 50;
  bool FShowCaptions = false;
  bool FAutoShowHideCaptions = false;
  int32_t FWidthWithCaptions = 0, FWidthWithoutCaptions = 0;
  bool FFlat = false;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  int32_t FHSizeOffset = 0;
  bool FTimerRunning = false;
  bool FUpdatingRange = false;
};

// Form streaming of the panel family and the tool bar.
void RegisterSkinPanelFormClasses();
