// The cover of an inactive form's client area.
#include "lib/forms/kxClientInActivePanel.h"

#include "lib/graphics/kxBitmap.h"
#include "lib/graphics/kxTextEffects.h"
#include "platform/Gdi.h"
#include "platform/WinUser.h"

using namespace win;

namespace {

constexpr int32_t kBlurRadius = 3;
// The background laid over the picture: the picture shows through at 85 / 255.
constexpr uint8_t kCoverAlpha = 170;

}  // namespace

TkxClientInActivePanel::TkxClientInActivePanel(TComponent* AOwner) : TkxSkinPaintPanel(AOwner) { SetVisible(false); }

TkxClientInActivePanel::~TkxClientInActivePanel() { Buffer.reset(); }

void TkxClientInActivePanel::ShowPanel(TCustomForm* AForm, TkxClientInActiveEffect AEffect) {
  if (!AForm || !AForm->Visible() || !AForm->HandleAllocated()) return;
  const TRect cr = AForm->ClientRect();
  const int32_t w = RectWidth(cr), h = RectHeight(cr);
  if (w <= 0 || h <= 0) return;
  SetVisible(false);
  SetParent(AForm);
  SetBounds(0, 0, w, h);
  // The client pixels as the window's back buffer holds them. (A paint DC would validate the
  // form's pending update region, and that repaint would then never come.)
  Buffer = std::make_unique<TkxBitmap>();
  Buffer->SetSize(w, h);
  HWND fh = AForm->Handle();
  if (HDC dc = GetDC(fh)) {
    BitBlt(Buffer->DC(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(fh, dc);
  }
  Buffer->SetAlpha(255);
  if (AEffect == kxieBlur) {
    StackBlur(Buffer.get(), kBlurRadius);
  } else {
    TkxBitmap bg;
    bg.SetSize(w, h);
    SendMessage(fh, WM_ERASEBKGND, reinterpret_cast<WPARAM>(bg.DC()), 0);
    bg.SetAlpha(kCoverAlpha);
    bg.AlphaBlend = true;
    bg.Draw(Buffer.get(), 0, 0);
    Buffer->SetAlpha(255);
  }
  SetVisible(true);
  BringToFront();
  Invalidate();
}

void TkxClientInActivePanel::HidePanel() {
  SetVisible(false);
  Buffer.reset();
}

void TkxClientInActivePanel::Paint() {
  if (Buffer) Buffer->Draw(Canvas(), 0, 0);
}
