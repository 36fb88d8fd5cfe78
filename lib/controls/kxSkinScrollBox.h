#pragma once
// The skinned scroll box: a container that scrolls its children with two external skinned
// scroll bars placed beside it (HScrollBar, VScrollBar). It sizes their ranges from the
// children's extent, shows a bar only while the content overflows, and moves the children when
// a bar moves. Its frame lies in the non-client area (the skin's border parts or a one-pixel
// bevel); its client area shows the skin's client part or a background picture.
#include <cstdint>

#include "lib/controls/kxSkinCtrls.h"
#include "lib/controls/kxSkinScrollBar.h"


class TkxSkinScrollBox : public TkxSkinCustomControl {
public:
  explicit TkxSkinScrollBox(TComponent* AOwner);
  ~TkxSkinScrollBox() override;

  // Attaching a bar hides it, enables it, makes it unfocusable and takes its OnChange and
  // OnLastChange; the range computation then shows it when the content overflows.
  TkxSkinScrollBar* VScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(TkxSkinScrollBar* Value);
  TkxSkinScrollBar* HScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(TkxSkinScrollBar* Value);
  TkxSkinBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TkxSkinBorderStyle Value);
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value) { FCanFocused = Value; }
  // The record's background picture, -1 for none (then the skin's client part is tiled).
  int32_t BGPictureIndex() const { return FBGPictureIndex; }

  // Recomputes the horizontal, then the vertical range from the children (after filling).
  void UpDateScrollRange();
  // Scrolls to a position through the attached bar (nothing without a bar or a page).
  void HScroll(int32_t APosition);
  void VScroll(int32_t APosition);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;

private:
  void UpdateRange(bool Vertical);
  void BarChanged(bool Vertical);
  void Attach(TkxSkinScrollBar*& Field, TkxSkinScrollBar* Value, bool Vertical);
  void Detach(TkxSkinScrollBar* Bar);
  bool HasFrame();
  void PaintFrame(win::HDC DC);
  void FrameChanged();

  TkxSkinScrollBar* FVScrollBar = nullptr;
  TkxSkinScrollBar* FHScrollBar = nullptr;
  TkxSkinBorderStyle FBorderStyle = TkxSkinBorderStyle::bvFrame;
  bool FCanFocused = false;
  int32_t FBGPictureIndex = -1;
  int32_t FOldVScrollBarPos = 0, FOldHScrollBarPos = 0;  // where the children stand
  int32_t FVSizeOffset = 0, FHSizeOffset = 0;            // growth at the last SetBounds
  bool FInCheckScrollBars = false;
  bool FInSetBounds = false;
  int FRecheckDepth = 0;
};

// Form streaming of the scroll box.
void RegisterSkinScrollBoxFormClasses();
