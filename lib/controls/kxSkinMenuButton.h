#pragma once
// The split tool button: a speed button that drops a popup menu or an images menu below itself
// and stays pressed until the menu closes. Without TrackButtonMode a press anywhere drops the
// menu; with it only the 15-pixel strip at the right (or, in the new style, at the bottom) does,
// and the rest is an ordinary tool button. The strip shows a drop-down sign.
// The skinned menus are reached through the seam of kxSkinMenuSeam.h; without them the button
// drops only a plain popup menu (the class library's own, which runs until it closes).
#include <cstdint>
#include <functional>
#include <string>

#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinMenuSeam.h"

class TPopupMenu;

// ---- the split tool button ----------------------------------------------------------------------

// Where the drop-down strip lies: the right 15 pixels, or the bottom 15 (the new style only).
enum TkxTrackPosition : int32_t { kxtpRight = 0, kxtpBottom = 1 };

class TkxSkinMenuSpeedButton : public TkxSkinSpeedButton {
public:
  // Sent by the skinned menu engine to the control that popped a menu, once the menu has closed
  // (the forms layer's KXM_MENUCLOSED).
  static constexpr uint32_t MenuClosedMessage = 1228;

  explicit TkxSkinMenuSpeedButton(TComponent* AOwner);
  ~TkxSkinMenuSpeedButton() override;

  void Dispatch(TMessage& Message) override;
  void GetSkinData() override;
  TNameKind ToolBarNameKind() const override { return FTrackButtonMode ? nkMenuTrackButton : nkMenuButton; }

  bool NewStyle() const { return FNewStyle; }
  // True also takes the "resizetoolbutton" record; false later keeps it.
  void SetNewStyle(bool Value);
  TkxTrackPosition TrackPosition() const { return FTrackPosition; }
  void SetTrackPosition(TkxTrackPosition Value);
  bool TrackButtonMode() const { return FTrackButtonMode; }
  void SetTrackButtonMode(bool Value);
  // A plain popup menu or a skinned one (cleared when it is freed).
  TPopupMenu* SkinPopupMenu() const { return FSkinPopupMenu.Get(); }
  void SetSkinPopupMenu(TPopupMenu* Value);
  // An images menu of the forms layer (cleared when it is freed); anything else is refused.
  TComponent* SkinImagesMenu() const { return FSkinImagesMenu.Get(); }
  void SetSkinImagesMenu(TComponent* Value);
  // The face shows the images menu's chosen picture, and with it its caption.
  bool UseImagesMenuImage() const { return FUseImagesMenuImage; }
  void SetUseImagesMenuImage(bool Value);
  bool UseImagesMenuCaption() const { return FUseImagesMenuCaption; }
  void SetUseImagesMenuCaption(bool Value);

  // A menu dropped by this button is open.
  bool MenuTracked() const { return FMenuTracked; }
  // Whether a press at (X, Y) drops the menu.
  bool CanTrackMenu(int32_t X, int32_t Y) const;
  // The drop-down strip in client coordinates.
  TRect StripRect() const;

  TNotifyEvent OnShowTrackMenu, OnHideTrackMenu;
  // A plain triangle of kind FArrowType (DrawArrowImage) instead of the skin's marker.
  bool FDrawStandardArrow = false;
  int32_t FArrowType = 4;
  // From a menu-button record: the drop-down part within the button image.
  TRect TrackButtonRect{};

protected:
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateButtonImage(TBitmap* B, const TRect& ARect, bool AActive, bool ADown) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DrawChosenImage(TCanvas* C, const TRect& R, bool ShiftImage) override;

private:
  enum class TStyle { Own, Tool, Resize, New };
  TStyle Style() const;
  bool OwnRecord() const;
  void TrackMenu();
  void MenuClosed();
  // The strip the sign is drawn in: the right (or bottom) 15 pixels of Client.
  TRect PlainStrip(const TRect& Client) const;
  // The caption area: the client rectangle less the strip.
  TRect CaptionArea(const TRect& Client) const;
  // TrackButtonRect placed on the button as its image is resized.
  TRect PlacedTrackButtonRect() const;
  void SetCaptionFont(TCanvas* C, bool AActive, bool ADown);
  void DrawCaption(TCanvas* C, const TRect& R, bool Shift, bool AActive, bool ADown);
  void DrawSign(TCanvas* C, TRect Strip, bool AActive, bool ADown, bool Shift);
  void DrawToolStyle(TBitmap* B, bool AActive, bool ADown, bool Resize);
  bool DrawNewStyle(TBitmap* B, bool AActive, bool ADown);

  TkxComponentLink<TPopupMenu> FSkinPopupMenu;
  TkxComponentLink<TComponent> FSkinImagesMenu;
  bool FTrackButtonMode = false;
  bool FMenuTracked = false;
  bool FNewStyle = false;
  bool FUseImagesMenuImage = false, FUseImagesMenuCaption = false;
  TkxTrackPosition FTrackPosition = kxtpRight;
};

// Registers the split button for form streaming.
void RegisterSkinMenuButtonFormClasses();
