#pragma once
// The layered outer border of a skinned form: the skin's LAYERFRAME picture cut into four images
// (top, bottom, left, right) for the form's size, each shown by a layered top-level window placed
// just outside the form. The windows follow the form, fade and change alpha with it, and, when the
// skin asks for it, size the form when they are dragged.
//
// Whether the windows really appear is the window layer's business: without layered windows on
// the display they exist but are never shown.
#include <cstdint>
#include <memory>

#include "base/Component.h"
#include "classlib/Forms.h"
#include "lib/graphics/kxUtilsPlatform.h"

class TkxBitmap;
class TkxDataSkinLayerFrame;
class TkxFormLayerBorder;
class TkxSkinData;
class TkxVelara;
class TTimer;

enum TkxFormLayerBorderType : uint8_t { kxflLeft, kxflTop, kxflRight, kxflBottom };
enum TkxFormLayerBorderHit : uint8_t {
  kxflhNone,
  kxflhLeft,
  kxflhTop,
  kxflhRight,
  kxflhBottom,
  kxflhTopLeft,
  kxflhTopRight,
  kxflhBottomLeft,
  kxflhBottomRight
};

// One side of the border: a borderless form that is never activated. With an empty BorderRect
// in the skin it lets the mouse through to whatever lies below.
class TkxFormLayerWindow : public TForm {
public:
  TkxFormLayerWindow(TkxFormLayerBorder* AOwner, TCustomForm* AForm);

  bool FDown = false;
  TCustomForm* FForm = nullptr;
  TkxFormLayerBorder* FLayerBorder = nullptr;
  TPoint MousePos1{}, MousePos2{};  // the previous and the current cursor position (screen)
  TkxFormLayerBorderHit FHitMode = kxflhNone;
  bool FInProcessMessages = false;
  TkxFormLayerBorderType BorderType = kxflLeft;

  // Which sizing band of this window the screen point P is in.
  TkxFormLayerBorderHit HitTest(TPoint P) const;
  void WndProc(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  // The skin lets the border size the form, and the form can be sized now.
  bool MaySize() const;
  void DragTo(int32_t DX, int32_t DY);
};

class TkxFormLayerBorder : public TComponent {
public:
  // AOwner is the skinned form's component.
  explicit TkxFormLayerBorder(TComponent* AOwner);
  ~TkxFormLayerBorder() override;

  TkxVelara* VLR = nullptr;
  TCustomForm* FForm = nullptr;
  TkxSkinData* FSD = nullptr;
  TkxDataSkinLayerFrame* FData = nullptr;  // the skin's record; nullptr: no border
  std::unique_ptr<TkxBitmap> FSourceBitmap, FSourceInActiveBitMap;
  std::unique_ptr<TkxBitmap> LeftImage, TopImage, RightImage, BottomImage;
  TkxFormLayerWindow *LeftBorder = nullptr, *TopBorder = nullptr, *RightBorder = nullptr,
                     *BottomBorder = nullptr;  // owned
  int32_t FWidth = 0, FHeight = 0;
  int32_t LeftSize = 0, TopSize = 0, RightSize = 0, BottomSize = 0;
  bool FActive = true;
  int32_t FCurrentAlphaBlendValue = -1, FCurrentInActiveAlphaBlendValue = 0;

  bool Visible() const { return FVisible; }
  bool Active() const { return FActive; }
  void SetActive(bool AValue, bool AUpdate);
  // The sizing band is empty: the windows never take the mouse.
  bool BorderRectEmpty() const;

  void InitFrame(TkxSkinData* ASkinData, TCustomForm* AForm);
  void Show(int32_t X, int32_t Y, int32_t AWidth, int32_t AHeight);
  void Hide();
  void SetBounds(int32_t X, int32_t Y, int32_t AWidth, int32_t AHeight);
  void Draw(TCanvas* C, int32_t X, int32_t Y, int32_t AWidth, int32_t AHeight);
  void ShowWithForm();
  // Shows at alpha 0 and rises to the current alpha in fifteen steps, one each timer tick.
  void ShowWithFormAnimation();
  void SetBoundsWithForm();
  void SetBoundsWithForm2(int32_t AW, int32_t AH);
  void SetBoundsWithForm3(int32_t ALeft, int32_t ATop, int32_t AW, int32_t AH);
  void MoveWithForm();
  void MoveWithForm2(int32_t ALeft, int32_t ATop);
  void SetAlphaBlend();
  void SetAlphaBlend2();
  void CheckFormAlpha(int32_t AFormAlpha, bool AUpdate);
  // The outer rectangle of the border around a form at (L, T) of W x H.
  TRect OuterRect(int32_t L, int32_t T, int32_t W, int32_t H) const;

private:
  bool FVisible = false;
  TTimer* FFadeTimer = nullptr;  // owned; made for the first animated show
  int32_t FFadeTarget = 0, FFadeStep = 0;
  void BuildImages(int32_t W, int32_t H);
  void FreeWindows();
  void PushImages();
  void PlaceWindows(int32_t X, int32_t Y, int32_t AWidth, int32_t AHeight, bool AShow);
  uint8_t CurrentAlpha() const;
  void FadeTick();
};
