#include "lib/controls/kxSkinMenuButton.h"

#include <algorithm>

#include "classlib/Menus.h"
#include "classlib/Streaming.h"
#include "classlib/streaming/Registrations.h"
#include "lib/graphics/kxPlainLook.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"

using namespace win;

TkxSkinMenuSeam& SkinMenuSeam() {
  static TkxSkinMenuSeam seam;
  return seam;
}

namespace {

constexpr int32_t kStrip = 15;  // the drop-down strip's width (or height)

bool IsOneOf(const std::string& S, std::initializer_list<const char*> Names) {
  for (const char* n : Names)
    if (S == n) return true;
  return false;
}

TRect MovedBy(TRect R, int32_t DX, int32_t DY) { return TRect{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY}; }

// A part of a nine-part or three-part record at W x H, drawn at (X, Y) of C; false when the
// geometry has no usable picture.
bool DrawGeometryPart(TCanvas* C, TkxSkinGeometry G, const TRect& State, int32_t X, int32_t Y, int32_t W, int32_t H) {
  if (!G.Picture || G.Picture->Empty() || W < 1 || H < 1 || !RectInPicture(State, G.Picture)) return false;
  int32_t w = W, h = H;
  G.CalcSkinSize(true, w, h);
  auto part = NewSkinImage(W, H);
  G.BuildImage(part.get(), G.Picture, State, W, H, true);
  C->Draw(X, Y, part.get());
  return true;
}

// A part of the tool-button style: the state rectangle stretched as nine parts over W x H.
void DrawStretchedPart(TCanvas* C, TBitmap* Picture, const TRect& State, const TRect& Inner, int32_t X, int32_t Y,
                       int32_t W, int32_t H) {
  if (W < 1 || H < 1 || !RectInPicture(State, Picture)) return;
  auto part = NewSkinImage(W, H);
  StretchNinePartImage(part.get(), Picture, State, Inner, true);
  C->Draw(X, Y, part.get());
}

// The state image's background as the speed button draws it; answers the caption rectangle.
TRect Background(TkxSkinGeometry& G, TBitmap* B, const TRect& ARect, bool SkinSized,
                 const std::function<void()>& SkinImage) {
  const int32_t w = B->Width(), h = B->Height();
  if (SkinSized || G.ResizeMode == 1) {
    SkinImage();
    return G.NewClRect;
  }
  if (G.ResizeMode == 0)
    B->Canvas()->CopyRect(TRect{0, 0, w, h}, G.Picture->Canvas(), ARect);
  else
    StretchNinePartImage(B, G.Picture, ARect, G.ClRect, true);
  return TRect{G.ClRect.left, G.ClRect.top, G.ClRect.right + w - RectWidth(ARect),
               G.ClRect.bottom + h - RectHeight(ARect)};
}

constexpr std::initializer_list<std::pair<const char*, TkxTrackPosition>> kTrackPositions = {
    {"kxtpRight", kxtpRight}, {"kxtpBottom", kxtpBottom}};

}  // namespace

TkxSkinMenuSpeedButton::TkxSkinMenuSpeedButton(TComponent* AOwner) : TkxSkinSpeedButton(AOwner) {
  FSkinDataName = "toolmenubutton";
}

TkxSkinMenuSpeedButton::~TkxSkinMenuSpeedButton() {
  // The images menu must not call back into a button that is gone.
  if (FSkinImagesMenu && SkinMenuSeam().SetImagesMenuChange) SkinMenuSeam().SetImagesMenuChange(FSkinImagesMenu, nullptr);
}

void TkxSkinMenuSpeedButton::SetNewStyle(bool Value) {
  FNewStyle = Value;
  if (Value) FSkinDataName = "resizetoolbutton";
}

void TkxSkinMenuSpeedButton::SetTrackPosition(TkxTrackPosition Value) {
  FTrackPosition = Value;
  Repaint();
}

void TkxSkinMenuSpeedButton::SetTrackButtonMode(bool Value) {
  FTrackButtonMode = Value;
  if (FIndex == -1) Repaint();
}

void TkxSkinMenuSpeedButton::SetSkinPopupMenu(TPopupMenu* Value) { FSkinPopupMenu.Set(Value); }

void TkxSkinMenuSpeedButton::SetSkinImagesMenu(TComponent* Value) {
  auto& seam = SkinMenuSeam();
  if (Value && !(seam.IsImagesMenu && seam.IsImagesMenu(Value))) Value = nullptr;
  if (FSkinImagesMenu && FSkinImagesMenu.Get() != Value && seam.SetImagesMenuChange)
    seam.SetImagesMenuChange(FSkinImagesMenu, nullptr);
  FSkinImagesMenu.Set(Value);
  if (Value && seam.SetImagesMenuChange) seam.SetImagesMenuChange(Value, [this](TObject*) { Repaint(); });
  Repaint();
}

void TkxSkinMenuSpeedButton::SetUseImagesMenuImage(bool Value) {
  if (FUseImagesMenuImage == Value) return;
  FUseImagesMenuImage = Value;
  Repaint();
}

void TkxSkinMenuSpeedButton::SetUseImagesMenuCaption(bool Value) {
  if (FUseImagesMenuCaption == Value) return;
  FUseImagesMenuCaption = Value;
  Repaint();
}

bool TkxSkinMenuSpeedButton::DrawChosenImage(TCanvas* C, const TRect& R, bool ShiftImage) {
  auto& seam = SkinMenuSeam();
  if (!FUseImagesMenuImage || !FSkinImagesMenu || !seam.ImagesMenuChosen) return false;
  TCustomImageList* images = nullptr;
  int32_t index = -1;
  std::string caption;
  if (!seam.ImagesMenuChosen(FSkinImagesMenu, images, index, caption)) return false;
  if (!FUseImagesMenuCaption) caption.clear();
  DrawImageAndText(C, R, FMargin, FSpacing, FLayout, caption, index, images, ShiftImage, Enabled(), false, 0);
  return true;
}

void TkxSkinMenuSpeedButton::GetSkinData() {
  TkxSkinSpeedButton::GetSkinData();
  TrackButtonRect = TRect{};
  if (FIndex == -1) return;
  auto* r = dynamic_cast<TkxDataSkinMenuButtonControl*>(SkinData()->CtrlList[size_t(FIndex)].get());
  // A drop-down part outside the record's image is taken as not given.
  if (r && RectInPicture(MovedBy(r->TrackButtonRect, SkinRect.left, SkinRect.top), Picture))
    TrackButtonRect = r->TrackButtonRect;
}

bool TkxSkinMenuSpeedButton::OwnRecord() const {
  return !IsOneOf(FSkinDataName, {"resizebutton", "resizetoolbutton", "toolbutton", "bigtoolbutton"});
}

TkxSkinMenuSpeedButton::TStyle TkxSkinMenuSpeedButton::Style() const {
  if (FNewStyle && FSkinDataName == "resizetoolbutton") return TStyle::New;
  if (IsOneOf(FSkinDataName, {"toolbutton", "bigtoolbutton"})) return TStyle::Tool;
  if (IsOneOf(FSkinDataName, {"resizebutton", "resizetoolbutton"})) return TStyle::Resize;
  return TStyle::Own;
}

TRect TkxSkinMenuSpeedButton::PlacedTrackButtonRect() const {
  const int32_t dw = Width() - RectWidth(SkinRect), dh = Height() - RectHeight(SkinRect);
  switch (ResizeMode) {
    case 2: return MovedBy(TrackButtonRect, dw, 0);
    case 3: return MovedBy(TrackButtonRect, 0, dh);
    case 1: {
      // A nine-part image grows both ways: the part keeps its place at the right edge and, when it
      // spans the image's height, spans the button's.
      TRect r = MovedBy(TrackButtonRect, dw, 0);
      if (TrackButtonRect.bottom >= RectHeight(SkinRect)) r.bottom += dh;
      return r;
    }
    default: return TrackButtonRect;
  }
}

TRect TkxSkinMenuSpeedButton::StripRect() const {
  const int32_t w = Width(), h = Height();
  if (FIndex != -1 && OwnRecord() && !IsEmptyRect(TrackButtonRect)) return PlacedTrackButtonRect();
  if (FNewStyle && FTrackPosition == kxtpBottom) return TRect{0, h - kStrip, w, h};
  return TRect{w - kStrip, 0, w, h};
}

bool TkxSkinMenuSpeedButton::CanTrackMenu(int32_t X, int32_t Y) const {
  if (!FSkinPopupMenu && !FSkinImagesMenu) return false;
  if (!FTrackButtonMode) return true;
  return IsPointInsideRect(StripRect(), TPoint{X, Y});
}

TRect TkxSkinMenuSpeedButton::PlainStrip(const TRect& Client) const {
  if (FNewStyle && FTrackPosition == kxtpBottom) return TRect{Client.left, Client.bottom - kStrip, Client.right, Client.bottom};
  return TRect{Client.right - kStrip, Client.top, Client.right, Client.bottom};
}

TRect TkxSkinMenuSpeedButton::CaptionArea(const TRect& Client) const {
  TRect r = Client;
  if (FNewStyle && FTrackPosition == kxtpBottom)
    r.bottom = std::max(r.top, Height() - kStrip);
  else
    r.right = std::max(r.left, std::min(r.right, Width() - kStrip));
  return r;
}

// ---- the menus ----------------------------------------------------------------------------------

void TkxSkinMenuSpeedButton::TrackMenu() {
  auto& seam = SkinMenuSeam();
  const TPoint o = ClientToScreen(TPoint{0, 0});
  const TRect r{o.x, o.y, o.x + Width(), o.y + Height()};
  // The menu's commands may free the button; it is watched across them.
  TkxComponentLink<TkxSkinMenuSpeedButton> self;
  self.Set(this);
  if (TPopupMenu* menu = FSkinPopupMenu) {
    if (OnShowTrackMenu) OnShowTrackMenu(this);
    if (!self) return;
    if (seam.IsSkinPopupMenu && seam.IsSkinPopupMenu(menu)) {
      const bool open = seam.PopupFromRect2 && seam.PopupFromRect2(menu, this, r, false);
      if (!self) return;
      // Nothing opened (no skinned form, nothing to show): no close will come to release it.
      if (!open && FMenuTracked && !FSkinImagesMenu) MenuClosed();
    } else {
      menu->SetPopupComponent(this);
      // The plain menu runs until it closes; the mouse is its own meanwhile.
      if (MouseCapture()) SetMouseCapture(false);
      menu->Popup(r.left, r.bottom);
      if (!self) return;
      if (FMenuTracked && !FSkinImagesMenu) MenuClosed();
    }
  }
  if (TComponent* images = FSkinImagesMenu; images && seam.ImagesMenuPopupFromRect) {
    if (OnShowTrackMenu) OnShowTrackMenu(this);
    if (!self || !FSkinImagesMenu) return;
    seam.ImagesMenuPopupFromRect(images, r, [this](TObject*) { MenuClosed(); });
  }
}

void TkxSkinMenuSpeedButton::MenuClosed() {
  FMenuTracked = false;
  SetDown(false);
  FMouseIn = false;
  if (OnHideTrackMenu) OnHideTrackMenu(this);
  Repaint();
}

// ---- input --------------------------------------------------------------------------------------

void TkxSkinMenuSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case MenuClosedMessage:
      MenuClosed();
      return;
    case CM_MOUSEENTER: case CM_MOUSELEAVE:
      if (FMenuTracked) {
        TkxGraphicSkinCustomControl::Dispatch(Message);
        if (Enabled() && !ComponentState().Contains(csDesigning)) FMouseIn = Message.Msg == CM_MOUSEENTER;
        return;
      }
      break;
  }
  TkxSkinSpeedButton::Dispatch(Message);
}

void TkxSkinMenuSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    FMenuTracked = CanTrackMenu(X, Y);
    FMouseIn = true;
    if (FMenuTracked) {
      TkxGraphicSkinCustomControl::MouseDown(Button, Shift, X, Y);
      if (!FMenuTracked) return;  // the press's own handler closed it again
      if (FIndex != -1 && EffectsOn() && HasAnimation(SkinRect)) StopAnimate();
      if (!FDown) SetDown(true);
      TrackMenu();
      return;
    }
  }
  TkxSkinSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TkxSkinMenuSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FMenuTracked) {
    FMouseDown = false;
    return;
  }
  TkxSkinSpeedButton::MouseUp(Button, Shift, X, Y);
}

// ---- painting -----------------------------------------------------------------------------------

void TkxSkinMenuSpeedButton::SetCaptionFont(TCanvas* C, bool AActive, bool ADown) {
  TFont* f = C->Font();
  if (FUseSkinFont && FButtonRecord && !FontName.empty()) {
    f->SetName(FontName);
    f->SetStyle(FontStyle);
    f->SetHeight(FontHeight);
  } else {
    f->Assign(FDefaultFont.get());
  }
  f->SetCharset(SkinCharset(FDefaultFont.get()));
  TColor color = FontColor;
  if (!FButtonRecord || (Enabled() && !FUseSkinFontColor))
    color = Enabled() ? FDefaultFont->Color() : kxPlain.DisabledText;
  else if (!Enabled())
    color = DisabledFontColor;
  else if (AActive && ADown)
    color = DownFontColor;
  else if (AActive)
    color = ActiveFontColor;
  f->SetColor(color);
}

void TkxSkinMenuSpeedButton::DrawCaption(TCanvas* C, const TRect& R, bool Shift, bool AActive, bool ADown) {
  bool drawDefault = true;
  if (OnPaint) OnPaint(this, C, R, ADown, AActive, drawDefault);
  if (drawDefault) DrawContents(C, R, Shift, Shift, AActive, ADown);
}

void TkxSkinMenuSpeedButton::DrawSign(TCanvas* C, TRect Strip, bool AActive, bool ADown, bool Shift) {
  if (Shift) Strip = MovedBy(Strip, 2, 2);
  if (FDrawStandardArrow)
    DrawArrowImage(C, Strip, C->Font()->Color(), FArrowType);
  else if (FIndex != -1 && !IsEmptyRect(MenuMarkerRect))
    DrawMenuMarker(C, Strip, false, ADown || FMenuTracked, AActive);
  else
    DrawSmallDownArrow(C, Strip, FMenuTracked && FButtonRecord ? DownFontColor : C->Font()->Color());
}

void TkxSkinMenuSpeedButton::DrawToolStyle(TBitmap* B, bool AActive, bool ADown, bool Resize) {
  TCanvas* c = B->Canvas();
  const int32_t w = B->Width(), h = B->Height();
  const bool pressed = AActive && ADown;
  const TRect normal = SkinRect, active = IsEmptyRect(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
  const TRect down = IsEmptyRect(DownSkinRect) ? active : DownSkinRect;
  // A flat button at rest draws no face.
  auto face = [&](const TRect& State, int32_t X, int32_t W) {
    if (W < 1) return;
    if (Resize)
      DrawGeometryPart(c, *this, State, X, 0, W, h);
    else
      DrawStretchedPart(c, Picture, State, ClRect, X, 0, W, h);
  };
  auto stateOf = [&](bool Pressed, bool Active) { return Pressed ? down : Active ? active : normal; };
  const bool flatRest = !pressed && !AActive && FFlat;
  if (!FTrackButtonMode) {
    if (!flatRest) face(stateOf(pressed, AActive), 0, w);
    return;
  }
  const int32_t mw = std::max(0, w - kStrip);
  if (FMenuTracked) {
    face(active, 0, mw);
    face(down, mw, w - mw);
  } else if (!flatRest) {
    face(stateOf(pressed, AActive), 0, mw);
    face(stateOf(pressed, AActive), mw, w - mw);
  }
}

bool TkxSkinMenuSpeedButton::DrawNewStyle(TBitmap* B, bool AActive, bool ADown) {
  TkxSkinData* sd = SkinData();
  if (!sd) return false;
  auto geometry = [&](const char* Name, TkxSkinGeometry& G, TRect States[3]) {
    const int32_t i = sd->GetControlIndex(Name);
    if (i < 0 || !G.ReadRecord(sd, i)) return false;
    auto* r = dynamic_cast<TkxDataSkinButtonControl*>(sd->CtrlList[size_t(i)].get());
    States[0] = G.SkinRect;
    States[1] = r && RectInPicture(r->ActiveSkinRect, G.Picture) ? r->ActiveSkinRect : G.SkinRect;
    States[2] = r && RectInPicture(r->DownSkinRect, G.Picture) ? r->DownSkinRect : States[1];
    return true;
  };
  TkxSkinGeometry main, strip;
  TRect mainStates[3], stripStates[3];
  // A record without a usable picture leaves the button to its plain look.
  if (!geometry("resizetoolbutton", main, mainStates) && !geometry("resizebutton", main, mainStates)) return false;
  TCanvas* c = B->Canvas();
  const int32_t w = B->Width(), h = B->Height();
  const bool bottom = FTrackPosition == kxtpBottom;
  const bool mainPressed = AActive && ADown && !(FTrackButtonMode && FMenuTracked);
  const TRect& mainState = mainStates[mainPressed ? 2 : AActive ? 1 : 0];
  if (!FTrackButtonMode || !AActive) return DrawGeometryPart(c, main, mainState, 0, 0, w, h);
  const bool ownStrip = geometry(bottom ? "htracktoolbutton" : "vtracktoolbutton", strip, stripStates);
  if (!ownStrip) {
    strip = main;
    for (int k = 0; k < 3; ++k) stripStates[k] = mainStates[k];
  }
  const TRect sr = bottom ? TRect{0, h - kStrip, w, h} : TRect{w - kStrip, 0, w, h};
  if (ownStrip)
    DrawGeometryPart(c, main, mainState, 0, 0, w, h);
  else
    DrawGeometryPart(c, main, mainState, 0, 0, bottom ? w : sr.left, bottom ? sr.top : h);
  const TRect& stripState = stripStates[FMenuTracked || (AActive && ADown) ? 2 : 1];
  DrawGeometryPart(c, strip, stripState, sr.left, sr.top, RectWidth(sr), RectHeight(sr));
  return true;
}

void TkxSkinMenuSpeedButton::CreateButtonImage(TBitmap* B, const TRect& ARect, bool AActive, bool ADown) {
  const TStyle style = Style();
  const TRect client{0, 0, B->Width(), B->Height()};
  const bool pressed = AActive && ADown;
  if (style == TStyle::Own) {
    const TRect r = Background(*this, B, ARect, FUseSkinSize, [&] { CreateSkinImage(B, Picture, ARect); });
    const TRect placed = PlacedTrackButtonRect();
    if (FMenuTracked && FTrackButtonMode && !IsEmptyRect(TrackButtonRect) && !IsEmptyRect(DownSkinRect)) {
      // The drop-down part pressed inside the hot image.
      const TRect from = MovedBy(TrackButtonRect, DownSkinRect.left, DownSkinRect.top);
      if (RectInPicture(from, Picture)) B->Canvas()->CopyRect(placed, Picture->Canvas(), from);
    }
    SetCaptionFont(B->Canvas(), AActive, ADown);
    DrawCaption(B->Canvas(), CaptionArea(r), pressed, AActive, ADown);
    // The record's picture shows no drop-down sign of its own: the strip gets one.
    DrawSign(B->Canvas(), PlainStrip(client), AActive, ADown, pressed || FMenuTracked);
    return;
  }
  bool drawn = true;
  if (style == TStyle::New)
    drawn = DrawNewStyle(B, AActive, ADown);
  else
    DrawToolStyle(B, AActive, ADown, style == TStyle::Resize);
  if (!drawn) {
    CreateControlDefaultImage(B);
    return;
  }
  TCanvas* c = B->Canvas();
  SetCaptionFont(c, AActive, ADown);
  DrawCaption(c, CaptionArea(client), pressed, AActive, ADown);
  const TRect strip = PlainStrip(client);
  if (style == TStyle::New) {
    TRect s = strip;
    if (FTrackButtonMode ? FMenuTracked : pressed) s = MovedBy(s, 1, 1);
    DrawSign(c, s, AActive, ADown, false);
  } else {
    DrawSign(c, strip, AActive, ADown, pressed || FMenuTracked);
  }
}

void TkxSkinMenuSpeedButton::CreateControlDefaultImage(TBitmap* B) {
  TCanvas* c = B->Canvas();
  const TRect client{0, 0, B->Width(), B->Height()};
  const bool hot = FMouseIn || FMenuTracked;
  // Without the strip's own mode an open menu keeps the whole button pressed.
  const bool pressed = (FDown && FMouseIn) || (FMenuTracked && !FTrackButtonMode);
  const bool bottom = FNewStyle && FTrackPosition == kxtpBottom;
  const TRect strip = PlainStrip(client);
  const TRect main = bottom ? TRect{0, 0, client.right, strip.top} : TRect{0, 0, strip.left, client.bottom};
  auto rest = [&](const TRect& R) {
    if (FFlat && !ComponentState().Contains(csDesigning)) {
      if (!Transparent()) DrawPlainButtonFace(c, R, TkxPlainState::Normal, false);
    } else {
      DrawPlainButtonFace(c, R, TkxPlainState::Normal);
    }
  };
  if (!FTrackButtonMode || (FNewStyle && !hot)) {
    if (pressed || hot)
      DrawPlainButtonFace(c, client, PlainStateOf(pressed, hot));
    else
      rest(client);
  } else if (FMenuTracked) {
    DrawPlainButtonFace(c, main, TkxPlainState::Hot);
    DrawPlainButtonFace(c, strip, TkxPlainState::Down);
  } else if (pressed) {
    DrawPlainButtonFace(c, main, TkxPlainState::Down);
    DrawPlainButtonFace(c, strip, FNewStyle ? TkxPlainState::Hot : TkxPlainState::Down);
  } else if (hot) {
    DrawPlainButtonFace(c, main, TkxPlainState::Hot);
    DrawPlainButtonFace(c, strip, TkxPlainState::Hot);
  } else {
    rest(main);
    rest(strip);
  }
  c->Font()->Assign(FDefaultFont.get());
  c->Font()->SetCharset(SkinCharset(FDefaultFont.get()));
  if (!Enabled()) c->Font()->SetColor(kxPlain.DisabledText);
  DrawCaption(c, CaptionArea(client), pressed, hot, FDown);
  TRect s = strip;
  if ((pressed && hot) || FMenuTracked) s = MovedBy(s, 2, 2);
  DrawSmallDownArrow(c, s, Enabled() ? TColor(clBtnText) : kxPlain.DisabledText);
}

void TkxSkinMenuSpeedButton::Paint() {
  if (Width() < 1 || Height() < 1) return;
  GetSkinData();
  if (FMenuTracked) {
    // The button stays pressed while its menu is open, wherever the mouse is.
    if (FIndex == -1) {
      TkxGraphicSkinCustomControl::Paint();
      return;
    }
    auto b = NewSkinImage(Width(), Height());
    if (FTrackButtonMode)
      CreateButtonImage(b.get(), ActiveSkinRect, true, false);
    else
      CreateButtonImage(b.get(), DownSkinRect, true, true);
    Canvas()->Draw(0, 0, b.get());
    return;
  }
  if (Pressed() || FMouseIn || !Transparent() || (FIndex != -1 && MorphActive() && FMorphKf != 0)) {
    TkxSkinSpeedButton::Paint();
    return;
  }
  // A transparent button at rest: its bare state straight onto the parent-backed canvas.
  TCanvas* c = Canvas();
  const bool skinned = FIndex != -1;
  const TRect client = ClientRect();
  const TRect area = CaptionArea(skinned && OwnRecord() ? NewClRect : client);
  DrawBare(c, area, skinned);
  const TRect strip = PlainStrip(client);
  if (skinned && !IsEmptyRect(MenuMarkerFlatRect)) {
    DrawMenuMarker(c, ResizeMode == 1 ? strip : MovedBy(strip, -2, 0), true, false, false);
  } else if (!skinned) {
    DrawSmallDownArrow(c, strip, Enabled() ? TColor(clBtnText) : kxPlain.DisabledText);
  } else {
    TkxSkinColors* colors = SkinData() ? SkinData()->SkinColors() : nullptr;
    const TColor color = !Enabled() ? (colors ? colors->cBtnShadow() : kxPlain.DisabledText)
                                    : colors ? colors->cBtnText() : TColor(clBtnText);
    DrawSmallDownArrow(c, ResizeMode == 1 ? strip : MovedBy(strip, -2, 0), color);
  }
}

// ---- form streaming -----------------------------------------------------------------------------

void RegisterSkinMenuButtonFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinButtonFormClasses();
  RegisterMenuFormClasses();
  RegisterFormClass<TkxSkinMenuSpeedButton, TkxSkinSpeedButton>("TkxSkinMenuSpeedButton")
      .Boolean("NewStyle", &TkxSkinMenuSpeedButton::SetNewStyle)
      .Enum<TkxTrackPosition>("TrackPosition", &TkxSkinMenuSpeedButton::SetTrackPosition, kTrackPositions)
      .Boolean("TrackButtonMode", &TkxSkinMenuSpeedButton::SetTrackButtonMode)
      .Reference<TPopupMenu>("SkinPopupMenu", &TkxSkinMenuSpeedButton::SetSkinPopupMenu)
      .Reference<TComponent>("SkinImagesMenu", &TkxSkinMenuSpeedButton::SetSkinImagesMenu)
      .Boolean("UseImagesMenuImage", &TkxSkinMenuSpeedButton::SetUseImagesMenuImage)
      .Boolean("UseImagesMenuCaption", &TkxSkinMenuSpeedButton::SetUseImagesMenuCaption)
      .Event<TNotifyEvent>("OnShowTrackMenu", &TkxSkinMenuSpeedButton::OnShowTrackMenu)
      .Event<TNotifyEvent>("OnHideTrackMenu", &TkxSkinMenuSpeedButton::OnHideTrackMenu);
}
