#pragma once
// The bases of the skinned controls: a windowed pair (TkxSkinControl, TkxSkinCustomControl) and
// its windowless twins (TkxGraphicSkinControl, TkxGraphicSkinCustomControl). A control names its
// skin data and the record it draws from; the record is looked up again at every paint, resize
// and skin change, and a control without a usable record draws its own plain look. Every paint
// composes the whole control in one off-screen bitmap.
#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinBinding.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsPlatform.h"

class TCustomImageList;

// The border of an unskinned panel or scroll box. Scoped, because the class library's bevel cuts
// use the same names with other values.
enum class TkxSkinBorderStyle { bvFrame, bvRaised, bvLowered, bvNone };

// Outside callers ask a control to paint its frame (or itself) into the DC of wParam; a control
// that painted its frame answers KX_PAINTNCTODC_ANSWER.
constexpr uint32_t KXM_PAINTNCTODC = 45513;
constexpr uint32_t KXM_PAINTTODC = 48203;
constexpr int32_t KX_PAINTNCTODC_ANSWER = 12851;
// The key a caller puts in lParam of KXM_PAINTTODC (and the list box's background message); a
// control that painted answers it back.
constexpr int32_t kxPaintToDCKey = 16802;

// The background behind the receiving control changed (wParam and lParam 0).
constexpr uint32_t KXM_PARENTBGCHANGED = 1284;

// A parent that centres its skinned children vertically in its skin client rectangle while
// AdjustControls is on (the skinned tool bar).
class TkxSkinControlHost {
public:
  virtual ~TkxSkinControlHost() = default;
  virtual bool AdjustControls() const = 0;
  virtual TRect GetSkinClientRect() = 0;
};

// What the windowed and the graphic base share beyond the skin binding: the hint (a title and an
// image above the hint text), the mouse enter and leave events, and the painting of the whole
// control in one off-screen bitmap, in its plain look or from its record.
class TkxSkinControlCommon {
public:
  virtual ~TkxSkinControlCommon();

  const std::string& HintTitle() const { return FHintTitle; }
  void SetHintTitle(const std::string& Value) { FHintTitle = Value; }
  int32_t HintImageIndex() const { return FHintImageIndex; }
  void SetHintImageIndex(int32_t Value) { FHintImageIndex = Value; }
  TCustomImageList* HintImageList() const { return FHintImageList.Get(); }
  void SetHintImageList(TCustomImageList* Value);
  TNotifyEvent OnMouseEnter, OnMouseLeave;

protected:
  virtual void CreateControlDefaultImage(TBitmap* B) {}
  virtual void CreateControlSkinImage(TBitmap* B) {}
  // The control composed in a W x H bitmap (from its record when Skinned) and drawn onto C.
  void PaintComposed(TCanvas* C, int32_t W, int32_t H, bool Skinned);
  // OnMouseEnter or OnMouseLeave for a CM_MOUSEENTER or CM_MOUSELEAVE that Control got (none at
  // design time).
  void MouseEnterLeave(TControl* Control, uint32_t Msg);

private:
  std::string FHintTitle;
  int32_t FHintImageIndex = 0;
  TkxComponentLink<TCustomImageList> FHintImageList;
};

// The picture geometry of a resizable skin image, shared by the windowed and graphic custom
// controls: the record's corner points and rectangles, and the same for the control's size.
struct TkxSkinGeometry {
  TPoint LTPt{}, RTPt{}, LBPt{}, RBPt{};
  TRect SkinRect{}, ClRect{};
  TPoint NewLTPoint{}, NewRTPoint{}, NewLBPoint{}, NewRBPoint{};
  TRect NewClRect{};
  TBitmap* Picture = nullptr;      // not owned
  TBitmap* MaskPicture = nullptr;  // not owned
  int32_t ResizeMode = 0;
  bool StretchEffect = false;
  TkxStretchType StretchType = kxstFull;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;

  // -1 no image, 1 nine parts, 2 resizable across, 3 resizable downwards, 0 fixed size.
  int32_t GetResizeMode() const;
  // Copies the record at Index of SD; false when it cannot be drawn (no such record, not of the
  // custom kind, no picture, or a skin rectangle outside its picture).
  bool ReadRecord(TkxSkinData* SD, int32_t Index);
  // The size the skin allows for the requested one, and the New* geometry for it.
  void CalcSkinSize(bool Skinned, int32_t& AWidth, int32_t& AHeight);
  // ARect (relative to SkinRect) in the coordinates of a control of Width x Height.
  void SkinRectToControlRect(int32_t Width, int32_t Height, const TRect& ARect, TRect& AResult) const;
  // The image of ARect of APicture at Width x Height by the resize mode; DrawCentre false leaves
  // out the nine-part centre.
  void BuildImage(TBitmap* B, TBitmap* APicture, const TRect& ARect, int32_t Width, int32_t Height,
                  bool DrawCentre) const;
};

// The up and down arrow buttons a record places (scroll bar, up/down, the list box's caption):
// their rectangles at rest, hot and pressed.
struct TkxArrowButtonRects {
  TRect UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};

  // The rectangles of record Rec; a pressed one it leaves out is the hot one.
  template <typename R>
  void ReadArrowButtons(const R& Rec) {
    UpButtonRect = Rec.UpButtonRect;
    ActiveUpButtonRect = Rec.ActiveUpButtonRect;
    DownUpButtonRect = IsEmptyRect(Rec.DownUpButtonRect) ? Rec.ActiveUpButtonRect : Rec.DownUpButtonRect;
    DownButtonRect = Rec.DownButtonRect;
    ActiveDownButtonRect = Rec.ActiveDownButtonRect;
    DownDownButtonRect = IsEmptyRect(Rec.DownDownButtonRect) ? Rec.ActiveDownButtonRect : Rec.DownDownButtonRect;
  }
};

// What the windowed and the graphic custom control share over their bases: the picture geometry
// of their record, the size and font they fall back to without one (the default font, or the
// control's own with UseSkinFont off), and the fitting of their bounds to the record.
class TkxSkinCustomParts : public TkxSkinGeometry {
public:
  virtual ~TkxSkinCustomParts();

  int32_t DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int32_t Value);
  int32_t DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int32_t Value);
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }

  TRect RealClientRect() const { return NewClRect; }
  int32_t RealClientWidth() const { return RectWidth(NewClRect); }
  int32_t RealClientHeight() const { return RectHeight(NewClRect); }
  int32_t RealClientLeft() const { return NewClRect.left; }
  int32_t RealClientTop() const { return NewClRect.top; }

  // The size the record allows for AWidth x AHeight (unchanged without a record).
  virtual void CalcSkinSize(int32_t& AWidth, int32_t& AHeight);
  void SkinRectToControlRect(const TRect& ARect, TRect& AResult) const {
    TkxSkinGeometry::SkinRectToControlRect(FControl->Width(), FControl->Height(), ARect, AResult);
  }

protected:
  // Control: the control itself; Binding: its skin binding.
  TkxSkinCustomParts(TControl* Control, const TkxSkinBinding* Binding);

  virtual void DefaultFontChanged() {}
  void DefaultFontChange(TObject* Sender);
  // Before SetBounds: the size the record allows (true when it changes the size of a skinned
  // control) and, on a host that adjusts its controls, the top that centres the control there.
  bool FitBoundsToSkin(int32_t& ATop, int32_t& AWidth, int32_t& AHeight);
  // The size a skin change gives the control: its record's, or without one the default size.
  void SkinChangeSize(int32_t& AWidth, int32_t& AHeight);

  int32_t FDefaultWidth = 0, FDefaultHeight = 0;
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;

private:
  bool Skinned() const { return FBinding->SkinIndex() != -1; }

  TControl* FControl;
  const TkxSkinBinding* FBinding;
};

class TkxSkinControl : public TCustomControl, public TkxSkinBinding, public TkxSkinControlCommon {
public:
  explicit TkxSkinControl(TComponent* AOwner);
  ~TkxSkinControl() override;

  void Dispatch(TMessage& Message) override;

  // True while the control paints in answer to WM_PAINT.
  bool FromWMPaint = false;

  virtual void GetSkinData();
  void ChangeSkinData() override;
  virtual void AfterChangeSkinData() {}
  // Tells every child that the background behind it changed: windowed children by
  // SendMessage, graphic children by Perform.
  void BroadcastParentBGChanged();

protected:
  void Paint() override;
  virtual void CheckParentBackground() {}
  // For a control that takes the focus when pressed: a press gives it the focus first, with
  // clicks held back while the focus moves. False when the message is to be dropped: a press
  // the focus did not follow, or a click that came while held back.
  bool FocusOnPress(const TMessage& Message);

  bool FClicksDisabled = false;
  // The region last set on the window from the mask; the window owns it.
  win::HRGN FRgn = nullptr;
};

class TkxSkinCustomControl : public TkxSkinControl, public TkxSkinCustomParts {
public:
  explicit TkxSkinCustomControl(TComponent* AOwner);
  ~TkxSkinCustomControl() override;

  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;

  bool ForcebackGround() const { return FForceBackground; }
  void SetForcebackGround(bool Value) { FForceBackground = Value; }
  bool DrawbackGround() const { return FDrawbackground; }
  void SetDrawbackGround(bool Value) { FDrawbackground = Value; }
  virtual void SetControlRegion();
  void CreateSkinImage(TBitmap* B, TBitmap* APicture, const TRect& ARect);

protected:
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void CreateControlRegion();

  bool FForceBackground = false;
  bool FDrawbackground = true;

private:
  void PaintForcedBackground();
};

class TkxGraphicSkinControl : public TGraphicControl, public TkxSkinBinding, public TkxSkinControlCommon {
public:
  explicit TkxGraphicSkinControl(TComponent* AOwner);
  ~TkxGraphicSkinControl() override;

  void Dispatch(TMessage& Message) override;

  virtual void GetSkinData();
  void ChangeSkinData() override;

protected:
  void Paint() override;

};

class TkxGraphicSkinCustomControl : public TkxGraphicSkinControl, public TkxSkinCustomParts {
public:
  explicit TkxGraphicSkinCustomControl(TComponent* AOwner);
  ~TkxGraphicSkinCustomControl() override;

  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;

  void CreateSkinImage(TBitmap* B, TBitmap* APicture, const TRect& ARect);

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
};
