#pragma once
// The skinned push button and the skinned speed (tool) button. Both draw one image per state
// from a "button"-kind skin record (normal, hot, pressed, disabled and, for the push button,
// focused), blend between the normal and the hot image while morphing, play a strip of frames
// on hover, repeat their click while held and work as group buttons that stay down. Without a
// record they draw a flat plain look of their own. The push button also answers Enter as its
// form's default button, Escape as its cancel button, sets the form's ModalResult and shows a
// glow picture around itself in a layered window.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "classlib/ExtCtrls.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/controls/kxSkinToolBar.h"

class TkxLayerManager;

// A push button to itself: show or hide its glow layer.
constexpr uint32_t KXM_SHOWLAYER = 1424, KXM_HIDELAYER = 1425;

// How many glyphs the Glyph strip holds side by side: 1 normal, 2 disabled, 3 pressed, 4 hot.
using TkxNumGlyphs = int32_t;

// Raised after the state image's background is drawn, on the canvas being drawn on, with the
// rectangle for the caption; clearing DrawDefault leaves out the built-in glyph and caption.
using TkxButtonPaintEvent = std::function<void(TObject* Sender, TCanvas* Cnvs, TRect R, bool ADown, bool AMouseIn,
                                               bool& DrawDefault)>;

// What both buttons read from a button record, and their shared state images.
struct TkxButtonSkinFields {
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
  TRect ActiveSkinRect{}, DownSkinRect{}, DisabledSkinRect{}, FocusedSkinRect{};
  bool Morphing = false;
  TkxMorphKind MorphKind = mkDefault;
  TRect AnimateSkinRect{};
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool ShowFocus = false;
  TRect MenuMarkerRect{}, MenuMarkerActiveRect{}, MenuMarkerDownRect{}, MenuMarkerFlatRect{};
  TColor MenuMarkerTransparentColor = 0;
  int32_t GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int32_t GlowLayerOffsetLeft = 0, GlowLayerOffsetRight = 0, GlowLayerOffsetTop = 0, GlowLayerOffsetBottom = 0;
  int32_t GlowLayerShowOffsetX = 0, GlowLayerShowOffsetY = 0, GlowLayerAlphaBlendValue = 0;

  // Frame K (1-based) of the animation strip: side by side when the strip is wider than
  // ASkinRect, else one above the other. Empty for a strip without frames.
  TRect AnimationFrame(const TRect& ASkinRect, int32_t K) const;
  // The strip can be played: not empty and holding at least one frame of at least one pixel.
  bool HasAnimation(const TRect& ASkinRect) const;
  // Frame K of a playing animation stands in for the normal image (ASkinRect), or for the hot
  // one while it plays forwards.
  void ShowAnimationFrame(TRect& ASkinRect, int32_t K, bool Forward);
};

// What both buttons show alike: a glyph strip of NumGlyphs images (normal, disabled, pressed,
// hot) with its margin, spacing and layout, and the two skin choices: the record's own size, and
// the record's font colours.
class TkxButtonLook {
public:
  virtual ~TkxButtonLook();

  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TkxNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TkxNumGlyphs Value);
  int32_t Margin() const { return FMargin; }
  void SetMargin(int32_t Value);
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t Value);
  TkxButtonLayout Layout() const { return FLayout; }
  void SetLayout(TkxButtonLayout Value);
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value);
  bool UseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value);

protected:
  // Control: the button itself; Binding: its skin binding.
  TkxButtonLook(TControl* Control, TkxSkinBinding* Binding);
  // The size of the button for AWidth x AHeight: the record's with UseSkinSize or a nine-part
  // record, else any size the record's fixed parts allow.
  void ButtonSkinSize(TkxSkinCustomParts& Parts, int32_t& AWidth, int32_t& AHeight);

  std::unique_ptr<TBitmap> FGlyph;
  TkxNumGlyphs FNumGlyphs = 1;
  int32_t FMargin = -1, FSpacing = 1;
  TkxButtonLayout FLayout = blGlyphLeft;
  bool FUseSkinSize = true, FUseSkinFontColor = true;

private:
  TControl* FControl;
  TkxSkinBinding* FBinding;
};

// The timed states both buttons run alike: the hot look fading in and out (morph), the frames of
// the record's animation strip played forwards on entering and backwards on leaving, and the
// repeated clicks of a held button (a first after 500 ms, then one every RepeatInterval).
class TkxButtonTimers {
public:
  virtual ~TkxButtonTimers();

  bool RepeatMode() const { return FRepeatMode; }
  void SetRepeatMode(bool Value) { FRepeatMode = Value; }
  int32_t RepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(int32_t Value) { FRepeatInterval = Value; }
  double MorphKf() const { return FMorphKf; }

  // Frame animation: frame shown (1-based, 0 when none) and its direction.
  int32_t CurrentFrame = 0;
  bool AnimateInc = false;
  TTimer* AnimateTimer = nullptr;  // owned; runs while enabled
  TTimer* RepeatTimer = nullptr;   // owned
  TTimer* MorphTimer = nullptr;    // owned

protected:
  // Control: the button itself (it owns the timers); Binding: its skin binding; Fields: its
  // record's values.
  TkxButtonTimers(TControl* Control, const TkxSkinBinding* Binding, const TkxButtonSkinFields* Fields);

  // The button's hooks: its record's strip can play now; the hot look the morph fades towards;
  // the morph is on; the click a held button repeats.
  virtual bool CanAnimate() = 0;
  virtual bool MorphHot() = 0;
  virtual bool MorphActive() const = 0;
  virtual void ButtonClick() = 0;

  void StartAnimate(bool Forward);
  void StopAnimate();
  void MorphTick(TObject*);
  void StartRepeat();
  void StopRepeat();

  bool FRepeatMode = false;
  int32_t FRepeatInterval = 100;
  bool FRepeatFirstTick = false;
  double FMorphKf = 0;

private:
  void AnimateTick(TObject*);
  void RepeatTick(TObject*);

  TControl* FControl;
  const TkxSkinBinding* FBinding;
  const TkxButtonSkinFields* FFields;
};

class TkxSkinButton : public TkxSkinCustomControl,
                      public TkxButtonSkinFields,
                      public TkxButtonLook,
                      public TkxButtonTimers {
public:
  explicit TkxSkinButton(TComponent* AOwner);
  ~TkxSkinButton() override;

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void GetSkinData() override;
  void ChangeSkinData() override;
  void BeforeChangeSkinData() override;
  void CalcSkinSize(int32_t& AWidth, int32_t& AHeight) override;
  void Click() override;

  // Sets the form's ModalResult (focusable buttons), then OnClick or the action.
  void ButtonClick() override;
  // Forgets hot and pressed, resets morph and animation, repaints.
  void RefreshButton();
  void ShowLayer();
  void HideLayer();

  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  bool AlwaysShowLayeredFrame() const { return FAlwaysShowGlowFrame; }
  void SetAlwaysShowLayeredFrame(bool Value) { FAlwaysShowGlowFrame = Value; }
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  // The button's own click event (the class library's OnClick of a control is not used).
  TNotifyEvent OnClick;
  TkxButtonPaintEvent OnPaint;

  // State a test or a form may read.
  bool Active() const { return FActive; }
  bool MouseIn() const { return FMouseIn; }
  TkxLayerManager* LayerManager() const { return FLayerManager; }


protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateWnd() override;
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override {}
  virtual void CreateButtonImage(TBitmap* B, const TRect& ARect, bool AActive, bool ADown);
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  bool CanAnimate() override;
  bool MorphHot() override { return IsHot(); }
  bool MorphActive() const override;

private:
  bool EffectsOn() const;
  bool AnimationRunning() const;
  bool IsFocused();
  bool IsHot();
  bool Pressed();
  void DoMorph();
  void StartMorph();
  void SetCaptionFont(TCanvas* C);
  void DrawContents(TCanvas* C, const TRect& R, bool Shift, int32_t GlyphNum);
  int32_t GlyphNumber(bool AActive, bool ADown) const;
  void CMMouseEnter();
  void CMMouseLeave();
  void CMFocusChanged(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);

  bool FAlwaysShowGlowFrame = false;
  TkxLayerManager* FLayerManager = nullptr;  // owned
  bool FActive = false;
  bool FAllowAllUp = false, FAllowAllUpCheck = false;
  bool FDefault = false, FCancel = false;
  TModalResult FModalResult = mrNone;
  bool FCanFocused = true;
  bool FDown = false, FMouseIn = false, FMouseDown = false;
  int32_t FGroupIndex = 0;
  TkxComponentLink<TCustomImageList> FImageList;
  int32_t FImageIndex = -1;
  bool FButtonRecord = false;  // the record is of the button kind
};

class TkxSkinSpeedButton : public TkxGraphicSkinCustomControl,
                           public TkxButtonSkinFields,
                           public TkxButtonLook,
                           public TkxButtonTimers,
                           public TkxToolBarButton {
public:
  explicit TkxSkinSpeedButton(TComponent* AOwner);
  ~TkxSkinSpeedButton() override;

  void Dispatch(TMessage& Message) override;
  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSkinSize(int32_t& AWidth, int32_t& AHeight) override;

  // Raises OnClick, or executes the action.
  void ButtonClick() override;
  void RefreshButton();
  // The drop-down marker (pressed, hot, flat or normal) centred in R.
  void DrawMenuMarker(TCanvas* C, const TRect& R, bool AFlat, bool ADown, bool AActive);

  TCustomImageList* ImageList() const { return FButtonImages; }
  void SetImageList(TCustomImageList* Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  int32_t WidthWithCaption() const { return FWidthWithCaption; }
  void SetWidthWithCaption(int32_t Value) { FWidthWithCaption = Value; }
  int32_t WidthWithoutCaption() const { return FWidthWithoutCaption; }
  void SetWidthWithoutCaption(int32_t Value) { FWidthWithoutCaption = Value; }
  bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value) override;
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t Value) { FGroupIndex = Value; }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value) override;
  // A skinned tool bar holding the button changed its image lists.
  void ToolBarImagesChanged() override { Repaint(); }

  TkxButtonPaintEvent OnPaint;

  bool MouseIn() const { return FMouseIn; }


protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override {}
  virtual void CreateButtonImage(TBitmap* B, const TRect& ARect, bool AActive, bool ADown);
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  bool CanAnimate() override;
  bool MorphHot() override { return FMouseIn; }
  bool MorphActive() const override;

protected:  // the split button builds on these
  bool EffectsOn() const;
  bool AnimationRunning() const;
  bool Pressed() const;
  void DoMorph();
  std::string ShownCaption();
  void DrawContents(TCanvas* C, const TRect& R, bool ShiftImage, bool ShiftGlyph, bool AActive, bool ADown);
  // A picture that takes the place of the button's own (the split button's chosen images-menu
  // item); false draws the button's own.
  virtual bool DrawChosenImage(TCanvas* C, const TRect& R, bool ShiftImage) { return false; }
  void DrawBare(TCanvas* C, const TRect& R, bool Skinned);
  void CMMouseEnter();
  void CMMouseLeave();

  TkxComponentLink<TCustomImageList> FButtonImages;
  int32_t FImageIndex = 0;
  bool FFlat = false;
  bool FAllowAllUp = false, FAllowAllUpCheck = false;
  bool FDown = false, FMouseIn = false, FMouseDown = false;
  int32_t FGroupIndex = 0;
  bool FShowCaption = true;
  int32_t FWidthWithCaption = 0, FWidthWithoutCaption = 0;
  bool FButtonRecord = false;
};

// Registers both buttons for form streaming.
void RegisterSkinButtonFormClasses();
