// Layered windows of the skins.
#include "lib/graphics/kxUtilsLayer.h"

#include <algorithm>

#include "lib/graphics/kxBitmap.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "platform/WinUser.h"

using namespace win;

TkxLayerWindow::TkxLayerWindow(TComponent* AOwner) : TCustomControl(AOwner) {}

void TkxLayerWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TkxLayerWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::WndProc(Message);
}

TkxLayerManager::TkxLayerManager(TComponent* AOwner) : TComponent(AOwner) {
  Timer = new TTimer(this);
  Timer->SetEnabled(false);
  Timer->SetInterval(25);
  Timer->OnTimer = [this](TObject* Sender) { FadeStep(Sender); };
}

TkxLayerManager::~TkxLayerManager() {
  delete Timer;
  Timer = nullptr;
  delete LayerWindow;
  LayerWindow = nullptr;
  Bmp.reset();
}

void TkxLayerManager::Show(int32_t X, int32_t Y, TBitmap* AImage, TBitmap* AImageMask, int32_t AAlphaBlendValue) {
  if (!IsWin2000OrLater() || !AImage) return;
  if (LayerWindow) Hide();
  IsVisible = true;
  LayerWindow = new TkxLayerWindow(this);
  LayerWindow->SetVisible(false);
  LayerWindow->SetBounds(X, Y, AImage->Width(), AImage->Height());
  HWND h = LayerWindow->Handle();
  SetWindowLong(h, GWL_EXSTYLE, GetWindowLong(h, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
  Bmp = std::make_unique<TkxBitmap>();
  MakeLayerBitmap(AImage, AImageMask, Bmp.get());
  PushLayerImage(Bmp.get(), 0, LayerWindow);
  SetWindowPos(h, TopMostMode ? HWND_TOPMOST : HWND_NOTOPMOST, X, Y, 0, 0,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  // The blend function takes one byte.
  EndAlphaBlendValue = std::clamp(AAlphaBlendValue, 0, 255);
  StepAlphaBlendValue = std::max(1, EndAlphaBlendValue / 10);
  StartTimer();
}

void TkxLayerManager::Hide() {
  if (!IsWin2000OrLater()) return;
  StopTimer();
  Bmp.reset();
  IsVisible = false;
  if (LayerWindow) {
    SetWindowPos(LayerWindow->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    delete LayerWindow;
    LayerWindow = nullptr;
  }
}

void TkxLayerManager::StartTimer() {
  BeginAlphaBlendValue = 0;
  Timer->SetEnabled(true);
}

void TkxLayerManager::StopTimer() { Timer->SetEnabled(false); }

void TkxLayerManager::FadeStep(TObject*) {
  if (!Bmp || !LayerWindow) return;
  BeginAlphaBlendValue = std::min(BeginAlphaBlendValue + StepAlphaBlendValue, EndAlphaBlendValue);
  PushLayerImage(Bmp.get(), uint8_t(BeginAlphaBlendValue), LayerWindow);
  if (BeginAlphaBlendValue >= EndAlphaBlendValue) StopTimer();
}

void MakeLayerBitmap(TBitmap* Image, TBitmap* Mask, TkxBitmap* Dest) {
  if (!Dest) return;
  Dest->Assign(Image);
  if (!Mask || Mask->Empty()) return;
  TkxBitmap m;
  m.Assign(Mask);
  SetAlphaFromMask(Dest, &m);
}

void SetAlphaFromMask(TkxBitmap* Image, TkxBitmap* Mask) {
  if (!Image || !Mask || Image->Empty() || Mask->Empty()) return;
  const int32_t w = std::min(Image->Width(), Mask->Width()), h = std::min(Image->Height(), Mask->Height());
  for (int32_t y = 0; y < h; ++y) {
    TkxColor* d = Image->RowAddress(y);
    const TkxColor* m = Mask->RowAddress(y);
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t a = (((m[x] >> 16) & 0xFF) + ((m[x] >> 8) & 0xFF) + (m[x] & 0xFF)) / 3;
      d[x] = (d[x] & 0x00FFFFFFu) | a << 24;
    }
  }
}

void PushLayerImage(TkxBitmap* Bitmap, uint8_t Alpha, TWinControl* Window) {
  const TUpdateLayeredWindowProc update = PlatformFacts().UpdateLayeredWindowEntry;
  if (!update || !Bitmap || Bitmap->Empty() || !Window) return;
  // The window layer composes premultiplied pixels, the bitmap's are not: push a premultiplied
  // copy, or every half-transparent pixel would show too bright.
  TkxBitmap pm;
  pm.SetSize(Bitmap->Width(), Bitmap->Height());
  const int64_t n = int64_t(Bitmap->Width()) * Bitmap->Height();
  const TkxColor* s = Bitmap->Bits();
  TkxColor* d = pm.Bits();
  for (int64_t i = 0; i < n; ++i) {
    const uint32_t a = s[i] >> 24;
    auto mul = [&](int shift) { return ((((s[i] >> shift) & 0xFF) * a + 127) / 255) << shift; };
    d[i] = a << 24 | mul(16) | mul(8) | mul(0);
  }
  POINT dst{Window->Left(), Window->Top()}, src{0, 0};
  SIZE size{Bitmap->Width(), Bitmap->Height()};
  BLENDFUNCTION bf;
  bf.BlendOp = AC_SRC_OVER;
  bf.BlendFlags = 0;
  bf.SourceConstantAlpha = Alpha;
  bf.AlphaFormat = AC_SRC_ALPHA;
  update(Window->Handle(), nullptr, &dst, &size, pm.DC(), &src, 0, &bf, ULW_ALPHA);
}

void SetLayeredWindowAlpha(HWND Handle, uint8_t Alpha) {
  if (auto entry = PlatformFacts().SetLayeredWindowAttributesEntry) entry(Handle, 0, Alpha, LWA_ALPHA);
}
