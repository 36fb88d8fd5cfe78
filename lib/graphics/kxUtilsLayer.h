#pragma once
// Layered windows of the skins: a click-through pop-up that carries a 32-bit picture with
// per-pixel alpha, the component that shows one with a fade-in, and the two calls that hand a
// picture or a constant opacity to the window layer.
#include <cstdint>
#include <memory>

#include "classlib/Controls.h"
#include "classlib/ExtCtrls.h"

class TkxBitmap;

// A bare pop-up: no task-bar button, mouse input passes through, never activated. It paints
// nothing itself; its content is always pushed.
class TkxLayerWindow : public TCustomControl {
public:
  explicit TkxLayerWindow(TComponent* AOwner);
  void WndProc(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
};

class TkxLayerManager : public TComponent {
public:
  explicit TkxLayerManager(TComponent* AOwner);
  ~TkxLayerManager() override;

  TkxLayerWindow* LayerWindow = nullptr;  // owned
  std::unique_ptr<TkxBitmap> Bmp;
  TTimer* Timer = nullptr;  // owned
  int32_t EndAlphaBlendValue = 0;
  int32_t BeginAlphaBlendValue = 0;
  int32_t StepAlphaBlendValue = 0;
  bool IsVisible = false;
  bool TopMostMode = true;

  // AImage at screen point (X, Y) with the alpha of AImageMask, faded in to AAlphaBlendValue
  // (taken into 0..255) in steps of a tenth every 25 ms.
  void Show(int32_t X, int32_t Y, TBitmap* AImage, TBitmap* AImageMask, int32_t AAlphaBlendValue);
  void Hide();
  void StartTimer();
  void StopTimer();

private:
  void FadeStep(TObject* Sender);
};

// Dest takes Image; its alpha comes from Mask's grey level (white opaque).
void MakeLayerBitmap(TBitmap* Image, TBitmap* Mask, TkxBitmap* Dest);
// Alpha := (R + G + B) div 3 of the mask's pixel, over the area both share; colours untouched.
void SetAlphaFromMask(TkxBitmap* Image, TkxBitmap* Mask);
// Hands Bitmap to the layered window at the window's position with the constant alpha Alpha.
void PushLayerImage(TkxBitmap* Bitmap, uint8_t Alpha, TWinControl* Window);
// A constant opacity for a window faded as a whole.
void SetLayeredWindowAlpha(win::HWND Handle, uint8_t Alpha);
