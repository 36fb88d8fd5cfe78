#pragma once
// The skinned tool bar: a panel ("toolpanel") that keeps its children vertically centred in its
// skin client rectangle, hands its flat look, captions and image lists on to the tool buttons it
// holds, and scrolls them sideways with two arrows in its non-client area when they do not fit.
#include <cstdint>
#include <string>

#include "lib/controls/kxSkinPanels.h"

class TCustomImageList;
class TkxDataSkinButtonControl;

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
  void ImagesChanged();
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
  // The lists the tool buttons draw from; a list freed is a change they hear of.
  TkxComponentLink<TCustomImageList> FImages{[this] { ImagesChanged(); }};
  TkxComponentLink<TCustomImageList> FHotImages{[this] { ImagesChanged(); }};
  TkxComponentLink<TCustomImageList> FDisabledImages{[this] { ImagesChanged(); }};
  int32_t FHSizeOffset = 0;
  bool FTimerRunning = false;
  bool FUpdatingRange = false;
};

// Form streaming of the tool bar; also registers the panel family.
void RegisterSkinToolBarFormClasses();
