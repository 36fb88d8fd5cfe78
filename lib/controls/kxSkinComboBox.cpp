#include "lib/controls/kxSkinComboBox.h"

#include <algorithm>

#include "base/Clock.h"
#include "base/Text.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/streaming/Registrations.h"
#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

constexpr UINT_PTR kScrollTimer = 1;  // the combo box: held mouse above or below the list
constexpr UINT_PTR kFadeTimer = 2;    // the list: fade-in
constexpr uint32_t kScrollDelay = 25;
constexpr uint64_t kFadeGap = 5;      // a fade step after more than this many milliseconds
constexpr uint64_t kSearchGap = 499, kAutoCompleteGap = 200;
TRect Moved(TRect R, int32_t DX, int32_t DY) { return TRect{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY}; }

bool Contains(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

uint64_t Now() { return GetTickCount(); }

// A part of a picture drawn transparent in Color, centred in R and moved down by DY.
void DrawMarker(TCanvas* C, TBitmap* Picture, const TRect& Src, TColor Color, const TRect& R, int32_t DY) {
  if (!Picture || IsEmptyRect(Src)) return;
  auto m = NewSkinImage(RectWidth(Src), RectHeight(Src));
  m->Canvas()->CopyRect(TRect{0, 0, m->Width(), m->Height()}, Picture->Canvas(), Src);
  m->SetTransparentColor(Color);
  m->SetTransparent(true);
  C->Draw(R.left + RectWidth(R) / 2 - m->Width() / 2, R.top + RectHeight(R) / 2 - m->Height() / 2 + DY, m.get());
}

}  // namespace

// ---- TkxPopupListBox ----------------------------------------------------------------------------

TkxPopupListBox::TkxPopupListBox(TComponent* AOwner) : TkxSkinListBox(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FControlStyle.Include(csNoDesignVisible);
  FControlStyle.Include(csReplicatable);
  SetVisible(false);
}

TkxPopupListBox::~TkxPopupListBox() { StopFade(); }

void TkxPopupListBox::CreateParams(TCreateParams& Params) {
  TkxSkinListBox::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPCHILDREN;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
}

bool TkxPopupListBox::IsShown() { return HandleAllocated() && IsWindowVisible(Handle()); }

void TkxPopupListBox::Show(TPoint Origin) {
  auto* owner = dynamic_cast<TkxSkinCustomComboBox*>(Owner());
  HWND h = Handle();
  StopFade();
  bool fade = false;
  if (owner) {
    const LONG_PTR ex = GetWindowLongPtr(h, GWL_EXSTYLE);
    const bool layered = (ex & WS_EX_LAYERED) != 0;
    if (owner->AlphaBlend() && !layered) {
      SetWindowLongPtr(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
      FOldAlphaBlend = true;
    } else if (!owner->AlphaBlend() && layered) {
      SetWindowLongPtr(h, GWL_EXSTYLE, ex & ~LONG_PTR(WS_EX_LAYERED));
      FOldAlphaBlend = false;
    }
    if (owner->AlphaBlend() && owner->AlphaBlendValue() != FOldAlphaBlendValue) {
      if (owner->AlphaBlendAnimation()) {
        SetLayeredWindowAlpha(h, 0);
        FOldAlphaBlendValue = 0;
      } else {
        SetLayeredWindowAlpha(h, owner->AlphaBlendValue());
        FOldAlphaBlendValue = owner->AlphaBlendValue();
      }
    }
    fade = owner->AlphaBlend() && owner->AlphaBlendAnimation();
  }
  SetBounds(Origin.x, Origin.y, Width(), Height());
  SetWindowPos(h, HWND_TOPMOST, Origin.x, Origin.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
  if (fade) {
    // The fade runs on a timer, so whatever closes or frees the list meanwhile also ends it.
    FFadeTarget = owner->AlphaBlendValue();
    FFadeStep = std::max(1, FFadeTarget / 15);
    FFadeAlpha = 0;
    FFadeSteps = 0;
    FLastFadeTick = Now();
    FFading = FFadeTarget > 0;
    if (FFading) SetTimer(h, kFadeTimer, 1, nullptr);
  }
}

void TkxPopupListBox::Hide() {
  StopFade();
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetVisible(false);
}

void TkxPopupListBox::StopFade() {
  if (FFading && HandleAllocated()) KillTimer(Handle(), kFadeTimer);
  FFading = false;
}

void TkxPopupListBox::FadeTick() {
  if (!FFading) return;
  const uint64_t now = Now();
  if (now - FLastFadeTick <= kFadeGap) return;
  FLastFadeTick = now;
  FFadeAlpha = std::min(FFadeAlpha + FFadeStep, FFadeTarget);
  ++FFadeSteps;
  SetLayeredWindowAlpha(Handle(), uint8_t(FFadeAlpha));
  if (FFadeAlpha >= FFadeTarget) StopFade();
}

void TkxPopupListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    case WM_TIMER:
      if (Message.WParam == kFadeTimer) {
        FadeTick();
        return;
      }
      TkxSkinListBox::Dispatch(Message);
      return;
    default: TkxSkinListBox::Dispatch(Message); return;
  }
}

// ---- TkxSkinCustomComboBox: construction ---------------------------------------------------------

TkxSkinCustomComboBox::TkxSkinCustomComboBox(TComponent* AOwner) : TkxSkinCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
  FSkinDataName = "combobox";
  Font()->Assign(FDefaultFont.get());
  Font()->SetColor(clWindowText);
  SetTabStop(true);
  FListBox = new TkxPopupListBox(this);
  if (!ComponentState().Contains(csDesigning)) FListBox->SetParent(this);
  FListBox->ListBox->SetTabStop(false);
  FListBox->ListBox->OnMouseMove = [this](TObject*, TShiftState, int X, int Y) { ListBoxHover(X, Y); };
  FListBoxWindowProc = FListBox->ListBox->WindowProc;
  FListBox->ListBox->WindowProc = [this](TMessage& M) { ListWindowProc(M); };
  FListBox->OnCheckButtonClick = [this](TObject*) { CloseUp(true); };
  SetBounds(Left(), Top(), 120, 20);
  CalcRects();
}

TkxSkinCustomComboBox::~TkxSkinCustomComboBox() {
  StopScrollTimer();
  if (FEdit) {
    FEdit->WindowProc = FEditWindowProc;
    FEdit->OnChange = nullptr;
    FEdit->OnEditCancelMode = nullptr;
    delete FEdit;
    FEdit = nullptr;
  }
  if (FListBox) {
    FListBox->ListBox->WindowProc = FListBoxWindowProc;
    FListBox->ListBox->OnMouseMove = nullptr;
    FListBox->OnCheckButtonClick = nullptr;
    delete FListBox;
    FListBox = nullptr;
  }
}

void TkxSkinCustomComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FEdit) FEdit = nullptr;
  if (AComponent == FListBox) FListBox = nullptr;
  if (FListBox && AComponent == FListBox->Images()) FListBox->SetImages(nullptr);
}

// ---- properties ---------------------------------------------------------------------------------

void TkxSkinCustomComboBox::SetItems(TStrings* Value) { FListBox->SetItems(Value); }

void TkxSkinCustomComboBox::SetImages(TCustomImageList* Value) {
  FListBox->SetImages(Value);
  if (Value) Value->FreeNotification(this);
  Invalidate();
}

void TkxSkinCustomComboBox::SetImageIndex(int32_t Value) {
  FListBox->SetImageIndex(Value);
  Invalidate();
}

void TkxSkinCustomComboBox::SetCharCase(TEditCharCase Value) {
  FCharCase = Value;
  if (FEdit) FEdit->SetCharCase(Value);
}

void TkxSkinCustomComboBox::SetDefaultColor(TColor Value) {
  FDefaultColor = Value;
  if (FIndex == -1) {
    Invalidate();
    if (FEdit) FEdit->SetColor(Value);
  }
}

void TkxSkinCustomComboBox::SetOnListBoxDrawItem(TkxDrawSkinItemEvent Value) {
  FOnListBoxDrawItem = Value;
  FListBox->OnDrawItem = Value;
}

void TkxSkinCustomComboBox::SetToolButtonStyle(bool Value) {
  if (FToolButtonStyle == Value) return;
  FToolButtonStyle = Value;
  if (Value) {
    SetStyle(kxcbFixedStyle);
    FUseSkinSize = false;
  }
  CalcRects();
  Invalidate();
}

void TkxSkinCustomComboBox::SetStyle(TkxSkinCustomComboBoxStyle Value) {
  // Setting the style it already has changes nothing (a second edit part would steal the keys).
  if (FStyle == Value) return;
  FStyle = Value;
  if (Value == kxcbEditStyle) {
    CreateEdit();
    if (!ComponentState().Contains(csDesigning)) {
      FEdit->SetTabStop(TabStop());
      SetTabStop(false);
      SetEditText(Text());
      if (Focused()) FEdit->SetFocus();
    }
  } else if (FEdit) {
    const bool tab = FEdit->TabStop();
    const bool focused = FEdit->Focused();
    TkxCustomEdit* e = FEdit;
    FEdit = nullptr;
    e->WindowProc = FEditWindowProc;
    e->OnChange = nullptr;
    e->OnEditCancelMode = nullptr;
    e->SetVisible(false);
    delete e;
    if (tab) SetTabStop(true);
    if (focused && CanFocus()) SetFocus();
  }
  CalcRects();
  RecreateWnd();
  Invalidate();
}

void TkxSkinCustomComboBox::CreateEdit() {
  TkxCustomEdit* e = FNumEdit ? new TkxSkinNumEdit(this) : new TkxCustomEdit(this);
  FEdit = e;
  e->SetParent(this);
  e->SetColor(FDefaultColor);
  e->SetAutoSize(false);
  e->SetHideSelection(FHideSelection);
  e->SetVisible(true);
  e->SetEditTransparent(false);
  e->OnChange = [this](TObject* S) { EditChange(S); };
  FEditWindowProc = e->WindowProc;
  e->WindowProc = [this](TMessage& M) { EditWindowProc(M); };
  e->OnEditCancelMode = [this](TControl* Sender) {
    if (IsPopupVisible() && !CancelsMode(Sender)) return;
    if (IsPopupVisible()) CloseUp(false);
  };
  e->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
  };
  e->OnKeyPress = [this](TObject*, uint32_t& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
  };
  e->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
  };
  e->SetCharCase(FCharCase);
  GetSkinData();
  if (FIndex == -1) {
    e->Font()->SetName(Font()->Name());
    e->Font()->SetStyle(Font()->Style());
    e->Font()->SetColor(Font()->Color());
    e->Font()->SetHeight(Font()->Height());
  } else {
    e->Font()->SetStyle(FontStyle);
    e->Font()->SetColor(FontColor);
    e->Font()->SetHeight(FontHeight);
    e->Font()->SetName(FontName);
  }
  e->SetEditTransparent(FIndex != -1);
  CalcRects();
}

// ---- skin ---------------------------------------------------------------------------------------

void TkxComboSkinFields::TakeComboRecord(const TkxDataSkinComboBox& R) {
  const TkxDataSkinComboBox* r = &R;
  SItemRect = r->SItemRect;
  ActiveItemRect = r->ActiveItemRect;
  FocusItemRect = IsEmptyRect(r->FocusItemRect) ? r->SItemRect : r->FocusItemRect;
  ItemLeftOffset = r->ItemLeftOffset;
  ItemRightOffset = r->ItemRightOffset;
  ItemTextRect = r->ItemTextRect;
  FontName = r->FontName;
  FontStyle = r->FontStyle;
  FontHeight = r->FontHeight;
  FontColor = r->FontColor;
  FocusFontColor = r->FocusFontColor;
  ActiveFontColor = r->ActiveFontColor;
  ButtonRect = r->ButtonRect;
  ActiveButtonRect = r->ActiveButtonRect;
  DownButtonRect = r->DownButtonRect;
  UnEnabledButtonRect = r->UnEnabledButtonRect;
  ItemStretchEffect = r->ItemStretchEffect;
  FocusItemStretchEffect = r->FocusItemStretchEffect;
  ActiveSkinRect = r->ActiveSkinRect;
  ListBoxName = r->ListBoxName;
  ShowFocus = r->ShowFocus;
}

void TkxSkinCustomComboBox::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  auto* r = SkinRecord<TkxDataSkinComboBox>();
  if (!r) return;
  TakeComboRecord(*r);
}

void TkxSkinCustomComboBox::CalcSkinSize(int32_t& AWidth, int32_t& AHeight) {
  if (FIndex == -1) return;
  if (FUseSkinSize) {
    // The control keeps the record's height; only the width follows the caller.
    AHeight = RectHeight(SkinRect);
    TkxSkinCustomControl::CalcSkinSize(AWidth, AHeight);
    return;
  }
  NewLTPoint = LTPt;
  NewRTPoint = TPoint{RTPt.x + AWidth - RectWidth(SkinRect), RTPt.y};
  NewClRect = ClRect;
  NewClRect.right += AWidth - RectWidth(SkinRect);
}

void TkxSkinCustomComboBox::SetControlRegion() {
  if (FUseSkinSize) TkxSkinCustomControl::SetControlRegion();
}

void TkxSkinCustomComboBox::DefaultFontChanged() { Font()->Assign(FDefaultFont.get()); }

TColor TkxSkinCustomComboBox::DisabledColor() {
  if (FIndex == -1) return clGrayText;
  auto* r = SkinRecordNamed<TkxDataSkinEditControl>("edit");
  return r ? r->DisabledFontColor : clGrayText;
}

void TkxSkinCustomComboBox::ApplyEditColour() {
  if (!FEdit) return;
  GetSkinData();
  TColor c;
  if (!Enabled())
    c = DisabledColor();
  else if (FIndex == -1)
    c = FDefaultFont->Color();
  else if (!IsEmptyRect(ActiveSkinRect) && (FEdit->Focused() || FMouseIn))
    c = ActiveFontColor;
  else
    c = FontColor;
  if (FEdit->Font()->Color() != c) FEdit->Font()->SetColor(c);
}

void TkxSkinCustomComboBox::ChangeSkinData() {
  TkxSkinCustomControl::ChangeSkinData();
  CalcRects();
  if (FEdit) {
    if (FIndex != -1 && FUseSkinFont) {
      FEdit->Font()->SetStyle(FontStyle);
      FEdit->Font()->SetHeight(FontHeight);
      FEdit->Font()->SetName(FontName);
    } else {
      FEdit->Font()->Assign(FDefaultFont.get());
    }
    FEdit->Font()->SetCharset(CharsetInUse());
    FEdit->SetEditTransparent(FIndex != -1);
    ApplyEditColour();
  }
  Invalidate();
  if (FListBox) {
    FListBox->SetSkinDataName(FIndex == -1 ? std::string() : ListBoxName);
    FListBox->SetSkinData(SkinData());
    if (!SkinData()) FListBox->ChangeSkinData();
    FListBox->UpDateScrollBar();
  }
  CalcRects();
  if (FEdit && FIndex != -1) {
    int32_t w = Width(), h = Height();
    CalcSkinSize(w, h);
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
  }
}

TFontCharset TkxSkinCustomComboBox::CharsetInUse() { return SkinCharset(FDefaultFont.get()); }

// ---- layout -------------------------------------------------------------------------------------

void TkxSkinCustomComboBox::CalcRects() {
  const int32_t W = Width(), H = Height();
  if (FIndex == -1 || FToolButtonStyle) {
    Button.R = TRect{W - 19, 2, W - 2, H - 2};
    CBItem.R = TRect{2, 2, Button.R.left - 1, H - 2};
  } else {
    const int32_t dx = W - RectWidth(SkinRect), dy = H - RectHeight(SkinRect);
    Button.R = ButtonRect;
    if (ButtonRect.left >= RectWidth(SkinRect) - RTPt.x) Button.R = Moved(Button.R, dx, 0);
    CBItem.R = ClRect;
    CBItem.R.right += dx;
    if (!FUseSkinSize) {
      Button.R.bottom += dy;
      CBItem.R.bottom += dy;
    }
  }
  if (FEdit) {
    TBitmap tmp;
    tmp.Canvas()->Font()->Assign(FEdit->Font());
    const int32_t th = tmp.Canvas()->TextHeight("Ag");
    FEdit->SetBounds(CBItem.R.left, CBItem.R.top + RectHeight(CBItem.R) / 2 - th / 2, std::max(0, RectWidth(CBItem.R)),
                     th);
  }
}

void TkxSkinCustomComboBox::Invalidate() {
  TkxSkinCustomControl::Invalidate();
  if (FEdit) FEdit->Invalidate();
}

bool TkxSkinCustomComboBox::Hot() {
  return FMouseIn || (HandleAllocated() && Focused()) || (FEdit && FEdit->HandleAllocated() && FEdit->Focused());
}

// ---- looks --------------------------------------------------------------------------------------

void TkxSkinCustomComboBox::DrawItemContent(TCanvas* C, int32_t W, int32_t H, int32_t Index, const TRect& Txt,
                                            const std::string* AText) {
  TStrings* tabs = FListBox->TabWidths();
  if (AText) {
    kxDrawListItemText(C, Txt, *AText, -1, nullptr, -1, tabs, 0, 0);
    return;
  }
  if (Index < 0 || Index >= Items()->Count()) return;
  if (OnComboBoxDrawItem) {
    OnComboBoxDrawItem(C, Index, W, H, Txt, CBItem.State);
    return;
  }
  kxDrawListItemText(C, Txt, Items()->Get(Index), Index, FListBox->Images(), FListBox->ImageIndex(), tabs, 0, 0);
}

void TkxSkinCustomComboBox::DrawDefaultButton(TCanvas* C) {
  if (IsEmptyRect(Button.R)) return;
  DrawPlainButtonFace(C, Button.R, PlainStateOf(Button.Down && Button.MouseIn, Button.MouseIn));
  DrawArrowImage(C, Button.R, Enabled() ? kxPlain.Mark : kxPlain.DisabledMark, kxakDown);
}

void TkxSkinCustomComboBox::DrawItemImage(TCanvas* C, TOwnerDrawState State, bool Skin, const std::string* AText) {
  if (RectWidth(CBItem.R) <= 0 || RectHeight(CBItem.R) <= 0) return;
  const bool focused = State.Contains(odFocused);
  const int32_t index = FDropDown ? FOldItemIndex : ItemIndex();
  if (!Skin) {
    auto b = NewSkinImage(RectWidth(CBItem.R), RectHeight(CBItem.R));
    TCanvas* bc = b->Canvas();
    bc->Font()->Assign(Font());
    bc->Font()->SetCharset(CharsetInUse());
    PlainFill(bc, TRect{0, 0, b->Width(), b->Height()}, focused ? clHighlight : FDefaultColor);
    bc->Font()->SetColor(focused ? clHighlightText : (Enabled() ? FDefaultFont->Color() : clGrayText));
    const TRect txt{2, 0, b->Width() - 2, b->Height()};
    DrawItemContent(bc, b->Width(), b->Height(), index, txt, AText);
    if (focused) {
      bc->Font()->SetColor(clWindowText);
      DrawSkinFocusRect(bc, TRect{0, 0, b->Width(), b->Height()});
    }
    C->Draw(CBItem.R.left, CBItem.R.top, b.get());
    return;
  }
  const bool hot = !focused && !IsEmptyRect(ActiveItemRect) && !IsEmptyRect(ActiveSkinRect) && FMouseIn;
  std::unique_ptr<TBitmap> b;
  const int32_t bw = RectWidth(CBItem.R);
  auto canvasCopy = [&](int32_t h) {
    b = NewSkinImage(bw, h);
    b->Canvas()->CopyRect(TRect{0, 0, bw, h}, C, TRect{CBItem.R.left, CBItem.R.top, CBItem.R.right, CBItem.R.top + h});
  };
  const int32_t refW = RectWidth(IsEmptyRect(SItemRect) ? ClRect : SItemRect);
  TRect txt = ItemTextRect;
  if (FUseSkinSize) {
    int32_t h = RectHeight(SItemRect);
    if (h == 0) h = RectHeight(FocusItemRect);
    if (h == 0) h = RectHeight(CBItem.R);
    if (focused) {
      if (IsEmptyRect(FocusItemRect))
        canvasCopy(h);
      else
        b = NewSkinImage(0, 0), BuildHorzThreePartImage(ItemLeftOffset, ItemRightOffset, b.get(), Picture, FocusItemRect,
                                                    bw, h, FocusItemStretchEffect);
    } else if (hot) {
      b = NewSkinImage(0, 0);
      BuildHorzThreePartImage(ItemLeftOffset, ItemRightOffset, b.get(), Picture, ActiveItemRect, bw, h,
                              ItemStretchEffect);
    } else if (!IsEmptyRect(SItemRect)) {
      b = NewSkinImage(0, 0);
      BuildHorzThreePartImage(ItemLeftOffset, ItemRightOffset, b.get(), Picture, SItemRect, bw, h, ItemStretchEffect);
    } else {
      canvasCopy(h);
    }
    if (IsEmptyRect(ItemTextRect)) txt = TRect{2, 0, bw - 2, b->Height()};
    else txt.right += bw - refW;
  } else {
    const int32_t h = RectHeight(CBItem.R);
    auto inner = [&](const TRect& Src, bool Shrink) {
      TRect in = ItemTextRect;
      if (Shrink) in.left += 1, in.top += 1, in.right -= 1, in.bottom -= 1;
      if (RectWidth(Src) < RectWidth(SItemRect)) in.right -= RectWidth(SItemRect) - RectWidth(Src);
      if (RectHeight(Src) < RectHeight(SItemRect)) in.top -= RectHeight(SItemRect) - RectHeight(Src);
      return in;
    };
    if (focused && !IsEmptyRect(FocusItemRect)) {
      b = NewSkinImage(bw, h);
      StretchNinePartImage(b.get(), Picture, FocusItemRect, inner(FocusItemRect, true), true);
    } else if (hot) {
      b = NewSkinImage(bw, h);
      StretchNinePartImage(b.get(), Picture, ActiveItemRect, inner(ActiveItemRect, false), true);
    } else if (!focused && !IsEmptyRect(SItemRect)) {
      b = NewSkinImage(bw, h);
      StretchNinePartImage(b.get(), Picture, SItemRect, ItemTextRect, true);
    } else {
      canvasCopy(h);
    }
    if (IsEmptyRect(ItemTextRect)) {
      txt = TRect{2, 0, bw - 2, h};
    } else {
      txt.right += bw - refW;
      txt.bottom += Height() - RectHeight(SkinRect);
    }
  }
  if (!b || b->Width() <= 0 || b->Height() <= 0) return;
  TCanvas* bc = b->Canvas();
  if (FUseSkinFont) {
    bc->Font()->SetName(FontName);
    bc->Font()->SetStyle(FontStyle);
    bc->Font()->SetHeight(FontHeight);
  } else {
    bc->Font()->Assign(FDefaultFont.get());
  }
  bc->Font()->SetCharset(CharsetInUse());
  TColor color = focused ? FocusFontColor : hot ? ActiveFontColor : FontColor;
  if (!Enabled()) color = DisabledColor();
  bc->Font()->SetColor(color);
  bc->Brush()->SetStyle(bsClear);
  if (!AText && OnComboBoxDrawItem && index >= 0 && index < Items()->Count()) {
    OnComboBoxDrawItem(bc, index, b->Width(), b->Height(), txt, CBItem.State);
  } else {
    if (focused && ShowFocus) {
      TkxSkinColors* sc = SkinData() ? SkinData()->SkinColors() : nullptr;
      bc->Brush()->SetStyle(bsSolid);
      bc->Brush()->SetColor(sc ? sc->cBtnFace() : kxPlain.Face);
      DrawSkinFocusRect(bc, TRect{0, 0, b->Width(), b->Height()});
      bc->Brush()->SetStyle(bsClear);
    }
    DrawItemContent(bc, b->Width(), b->Height(), index, txt, AText);
  }
  C->Draw(CBItem.R.left, CBItem.R.top, b.get());
}

void TkxSkinCustomComboBox::DrawSkinButton(TCanvas* C) {
  if (IsEmptyRect(Button.R)) return;
  if (FUseSkinSize) {
    TRect src{};
    if (!Enabled() && !IsEmptyRect(UnEnabledButtonRect))
      src = UnEnabledButtonRect;
    else if (Button.Down && Button.MouseIn)
      src = DownButtonRect;
    else if (Button.MouseIn)
      src = ActiveButtonRect;
    if (!IsEmptyRect(src) && Picture) C->CopyRect(Button.R, Picture->Canvas(), src);
    return;
  }
  const int32_t i = FirstSkinRecord({"combobutton", "editbutton", "resizebutton"});
  if (i == -1) return;
  auto* r = SkinRecordAt<TkxDataSkinButtonControl>(i);
  TkxSkinGeometry g;
  if (!r || !g.ReadRecord(SkinData(), i)) return;
  const bool down = Button.Down && Button.MouseIn, hot = Button.MouseIn;
  TRect src = r->SkinRect;
  TColor color = r->FontColor;
  if (down) {
    src = !IsEmptyRect(r->DownSkinRect) ? r->DownSkinRect : !IsEmptyRect(r->ActiveSkinRect) ? r->ActiveSkinRect : r->SkinRect;
    color = r->DownFontColor;
  } else if (hot) {
    src = !IsEmptyRect(r->ActiveSkinRect) ? r->ActiveSkinRect : r->SkinRect;
    color = r->ActiveFontColor;
  }
  int32_t w = RectWidth(Button.R), h = RectHeight(Button.R);
  g.CalcSkinSize(true, w, h);
  auto b = NewSkinImage(w, h);
  g.BuildImage(b.get(), g.Picture, src, w, h, true);
  const TRect br{0, 0, w, h};
  if (IsEmptyRect(r->MenuMarkerRect)) {
    if (Enabled()) DrawArrowImage(b->Canvas(), down ? Moved(br, 0, 2) : br, color, kxakDown);
  } else {
    // The marker comes from the button record's own picture, like the button image.
    TRect m = r->MenuMarkerRect;
    if (down && !IsEmptyRect(r->MenuMarkerDownRect))
      m = r->MenuMarkerDownRect;
    else if (hot && !IsEmptyRect(r->MenuMarkerActiveRect))
      m = r->MenuMarkerActiveRect;
    DrawMarker(b->Canvas(), g.Picture, m, r->MenuMarkerTransparentColor, br, down ? 1 : 0);
  }
  C->StretchDraw(Button.R, b.get());
}

void TkxSkinCustomComboBox::DrawToolButton(TCanvas* C, bool Skin, const std::string* AText) {
  const int32_t W = Width(), H = Height();
  const bool hot = FMouseIn || (HandleAllocated() && Focused());
  TColor color = Enabled() ? FDefaultFont->Color() : kxPlain.DisabledText;
  TkxDataSkinButtonControl* r = nullptr;
  TBitmap* pic = nullptr;
  if (!Skin) {
    DrawPlainButtonFace(C, TRect{0, 0, W, H}, PlainStateOf(FDropDown, hot));
    C->Font()->Assign(FDefaultFont.get());
  } else {
    const int32_t i = FirstSkinRecord({"resizetoolbutton", "resizebutton"});
    TkxSkinGeometry g;
    if (i != -1) r = SkinRecordAt<TkxDataSkinButtonControl>(i);
    if (!r || !g.ReadRecord(SkinData(), i)) return;
    pic = g.Picture;
    TRect src = FDropDown ? r->DownSkinRect : hot ? r->ActiveSkinRect : r->SkinRect;
    if (IsEmptyRect(src)) src = !IsEmptyRect(r->SkinRect) ? r->SkinRect : r->ActiveSkinRect;
    int32_t w = W, h = H;
    g.CalcSkinSize(true, w, h);
    auto b = NewSkinImage(W, H);
    g.BuildImage(b.get(), pic, src, W, H, true);
    C->Draw(0, 0, b.get());
    if (FUseSkinFont) {
      C->Font()->SetName(r->FontName);
      C->Font()->SetStyle(r->FontStyle);
      C->Font()->SetHeight(r->FontHeight);
    } else {
      C->Font()->Assign(FDefaultFont.get());
    }
    color = !Enabled() ? r->DisabledFontColor : FDropDown ? r->DownFontColor : hot ? r->ActiveFontColor : r->FontColor;
  }
  C->Font()->SetCharset(CharsetInUse());
  C->Font()->SetColor(color);
  const int32_t d = FDropDown ? 2 : 0;
  const TRect txt = Moved(TRect{2, 2, W - 17, H - 2}, d, d);
  const int32_t index = FDropDown ? FOldItemIndex : ItemIndex();
  C->Brush()->SetStyle(bsClear);
  if (!AText && OnComboBoxDrawItem && index >= 0 && index < Items()->Count())
    OnComboBoxDrawItem(C, index, RectWidth(txt), RectHeight(txt), txt, CBItem.State);
  else
    DrawItemContent(C, RectWidth(txt), RectHeight(txt), index, txt, AText);
  const TRect arrow = Moved(TRect{W - 15, 0, W, H}, d, d);
  if (r && !IsEmptyRect(r->MenuMarkerRect)) {
    TRect m = r->MenuMarkerRect;
    if (FDropDown && !IsEmptyRect(r->MenuMarkerDownRect))
      m = r->MenuMarkerDownRect;
    else if (hot && !IsEmptyRect(r->MenuMarkerActiveRect))
      m = r->MenuMarkerActiveRect;
    DrawMarker(C, pic, m, r->MenuMarkerTransparentColor, arrow, 0);
  } else {
    DrawSmallDownArrow(C, arrow, color);
  }
}

void TkxSkinCustomComboBox::PaintLook(TBitmap* B, const std::string* AText) {
  CalcRects();
  TCanvas* c = B->Canvas();
  const bool focused = HandleAllocated() && Focused() && !FEdit;
  CBItem.State = focused ? TOwnerDrawState{odFocused} : TOwnerDrawState{};
  if (FIndex == -1) {
    if (FToolButtonStyle) {
      DrawToolButton(c, false, AText);
      return;
    }
    TRect r{0, 0, Width(), Height()};
    PlainFill(c, r, kxPlain.Face);
    DrawPlainEdge(c, r, TkxPlainEdge::Flat);
    PlainFill(c, r, FDefaultColor);
    DrawDefaultButton(c);
    if (!FEdit) DrawItemImage(c, CBItem.State, false, AText);
    return;
  }
  if (FToolButtonStyle) {
    PlainFill(c, TRect{0, 0, Width(), Height()}, kxPlain.Face);
    DrawToolButton(c, true, AText);
    return;
  }
  const bool hot = !IsEmptyRect(ActiveSkinRect) && Hot();
  const TRect src = AText || !hot ? SkinRect : ActiveSkinRect;
  if (!FUseSkinSize) {
    StretchNinePartImage(B, Picture, src, ClRect, true);
  } else if (hot && !AText) {
    auto b = NewSkinImage(0, 0);
    BuildHorzThreePartImage(LTPt.x, RectWidth(ActiveSkinRect) - RTPt.x, b.get(), Picture, ActiveSkinRect, Width(),
                            Height(), StretchEffect);
    c->Draw(0, 0, b.get());
  } else {
    TkxSkinCustomControl::CreateControlSkinImage(B);
  }
  DrawSkinButton(c);
  if (!FEdit || AText) DrawItemImage(c, CBItem.State, true, AText);
}

void TkxSkinCustomComboBox::CreateControlDefaultImage(TBitmap* B) { PaintLook(B, nullptr); }

void TkxSkinCustomComboBox::CreateControlSkinImage(TBitmap* B) { PaintLook(B, nullptr); }

void TkxSkinCustomComboBox::PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText) {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  auto b = NewSkinImage(Width(), Height());
  PaintLook(b.get(), &AText);
  C->Draw(X, Y, b.get());
}

// ---- selection, drop-down and close-up -----------------------------------------------------------

void TkxSkinCustomComboBox::SetEditText(const std::string& S) {
  if (!FEdit || FEdit->Text() == S) return;
  FSettingEdit = true;
  try {
    FEdit->SetText(S);
  } catch (...) {
    FSettingEdit = false;
    throw;
  }
  FSettingEdit = false;
}

void TkxSkinCustomComboBox::SetItemIndex(int32_t Value) {
  FListBox->SetItemIndex(Value);
  const int32_t i = FListBox->ItemIndex();
  if (Items()->Count() > 0 && i >= 0) SetText(Items()->Get(i));
  FOldItemIndex = i;
  if (!FEdit) Invalidate();
  if (!ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) {
    if (OnClick) OnClick(this);
    Change();
  }
}

void TkxSkinCustomComboBox::DropDown() {
  const int32_t n = Items()->Count();
  if (n == 0) return;
  WasInLB = false;
  StopScrollTimer();
  if (OnDropDown) OnDropDown(this);
  if (!FListBox) return;  // the handler may have freed the list with the control's items
  FListBox->SetWidth(FListBoxWidth > 0 ? FListBoxWidth : Width());
  FListBox->SetRowCount(std::min(n, FDropDownCount));
  TPoint p = ClientToScreen(TPoint{0, Height()});
  TRect work{};
  GetMonitorWorkArea(Handle(), true, work);
  if (p.y + FListBox->Height() > work.bottom) p.y = ClientToScreen(TPoint{0, 0}).y - FListBox->Height();
  if (FEdit && FEdit->CanFocus()) FEdit->SetFocus();
  FOldItemIndex = FListBox->ItemIndex();
  if (FOldItemIndex == 0 && n >= 2) {
    FListBox->SetItemIndex(1);
    FListBox->SetItemIndex(0);
  }
  FDropDown = true;
  if (FToolButtonStyle) Invalidate();
  FListBox->SetTopIndex(std::max(0, FListBox->ItemIndex()));
  FListBox->SetSkinData(SkinData());
  FListBox->Show(p);
  FListBox->UpDateScrollBar();
}

void TkxSkinCustomComboBox::CloseUp(bool Value) {
  StopScrollTimer();
  if (IsPopupVisible()) {
    FListBox->Hide();
    const int32_t i = FListBox->ItemIndex(), n = Items()->Count();
    if (i == -1) {
      if (FOldItemIndex >= 0 && FOldItemIndex < n) FListBox->SetItemIndex(FOldItemIndex);
    } else if (Value && i < n) {
      const std::string s = Items()->Get(i);
      if (FEdit) {
        SetText(s);
        SetEditText(s);
        FEdit->SelectAll();
      } else {
        SetText(s);
        Invalidate();
      }
      FOldItemIndex = i;
      if (OnClick) OnClick(this);
      Change();
    } else {
      FListBox->SetItemIndex(FOldItemIndex >= 0 && FOldItemIndex < n ? FOldItemIndex : -1);
    }
  }
  FDropDown = false;
  FLBDown = false;
  Invalidate();
  if (Value && OnCloseUp) OnCloseUp(this);
}

// ---- the list while it is open --------------------------------------------------------------------

void TkxSkinCustomComboBox::ListBoxHover(int X, int Y) {
  const int32_t i = FListBox->ItemAtPos(TPoint{X, Y}, true);
  if (i >= 0 && i < Items()->Count() && i != FListBox->ItemIndex()) FListBox->SetItemIndex(i);
}

void TkxSkinCustomComboBox::ListWindowProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      FLBDown = true;
      WasInLB = true;
      SetMouseCapture(true);
      return;
    case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_MBUTTONDOWN: case WM_MBUTTONUP:
    case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
      return;
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    default:
      if (FListBoxWindowProc) FListBoxWindowProc(Message);
      return;
  }
}

void TkxSkinCustomComboBox::StartScrollTimer(int32_t Mode) {
  if (TimerMode == Mode && FTimerOn) return;
  TimerMode = Mode;
  SetTimer(Handle(), kScrollTimer, kScrollDelay, nullptr);
  FTimerOn = true;
}

void TkxSkinCustomComboBox::StopScrollTimer() {
  if (FTimerOn && HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  FTimerOn = false;
  TimerMode = 0;
}

void TkxSkinCustomComboBox::TrackHeldMouse() {
  if (!IsPopupVisible()) return;
  TkxListBox* inner = FListBox->ListBox;
  POINT sp{};
  GetCursorPos(&sp);
  const TPoint p = inner->ScreenToClient(TPoint{sp.x, sp.y});
  if (p.y < 0 || p.y > inner->Height()) {
    if (FListBox->ScrollBar && WasInLB) StartScrollTimer(p.y < 0 ? 1 : 2);
  } else {
    StopScrollTimer();
    SendMessage(inner->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(1, WORD(SHORT(p.y))));
    WasInLB = true;
  }
}

void TkxSkinCustomComboBox::StepList(int32_t Delta, bool ThroughSetter) {
  const int32_t i = ItemIndex(), n = Items()->Count();
  const int32_t to = i + Delta;
  if (to < 0 || to >= n) return;
  if (ThroughSetter)
    SetItemIndex(to);
  else
    FListBox->SetItemIndex(to);
}

// ---- the edit part --------------------------------------------------------------------------------

void TkxSkinCustomComboBox::EditChange(TObject*) {
  if (FSettingEdit || !FEdit) return;
  FromEdit = true;
  try {
    const std::string t = FEdit->Text();
    if (!t.empty() && FListBox->ListBox->HandleAllocated()) {
      const LRESULT i = SendMessage(FListBox->ListBox->Handle(), LB_FINDSTRING, WPARAM(-1),
                                    reinterpret_cast<LPARAM>(t.c_str()));
      if (i >= 0) {
        if (FAutoComplete)
          SendMessage(FListBox->ListBox->Handle(), LB_SETCURSEL, WPARAM(i), 0);
        else
          SendMessage(FListBox->ListBox->Handle(), LB_SETTOPINDEX, WPARAM(i), 0);
      }
    }
    SetText(t);
  } catch (...) {
    FromEdit = false;
    throw;
  }
  FromEdit = false;
}

void TkxSkinCustomComboBox::EditStep(int32_t Delta) {
  const int32_t i = FListBox->ItemIndex(), n = Items()->Count();
  const int32_t to = i + Delta;
  if (to < 0 || to >= n) return;
  FListBox->SetItemIndex(to);
  if (IsPopupVisible()) return;
  SetText(Items()->Get(to));
  FOldItemIndex = to;
  if (FEdit) FEdit->SelectAll();
  if (OnClick) OnClick(this);
}

void TkxSkinCustomComboBox::AutoCompleteStep() {
  const uint64_t now = Now();
  if (now - FLastTime <= kAutoCompleteGap) return;
  FLastTime = now;
  if (!FEdit) return;
  const std::string t = FEdit->Text();
  if (t.empty()) return;
  const size_t len = Utf8Length(t);
  const WPARAM from = len == 1 ? WPARAM(ItemIndex()) : WPARAM(-1);
  const LRESULT i =
      SendMessage(FListBox->ListBox->Handle(), LB_FINDSTRING, from, reinterpret_cast<LPARAM>(t.c_str()));
  if (i < 0) return;
  SetItemIndex(int32_t(i));
  const int32_t total = int32_t(Utf8Length(FEdit->Text()));
  FEdit->SetSelStart(int32_t(len));
  FEdit->SetSelLength(std::max(0, total - int32_t(len)));
}

void TkxSkinCustomComboBox::EditWindowProc(TMessage& Message) {
  auto pass = [&] {
    if (FEditWindowProc) FEditWindowProc(Message);
  };
  switch (Message.Msg) {
    case WM_KEYDOWN: {
      const WPARAM k = Message.WParam;
      if (k == VK_RETURN || k == VK_ESCAPE) {
        if (IsPopupVisible()) CloseUp(k == VK_RETURN);
        pass();
        return;
      }
      if (k == VK_PRIOR || k == VK_NEXT) {
        if (IsPopupVisible()) {
          const int32_t i = FListBox->ItemIndex(), n = Items()->Count();
          const int32_t to = k == VK_PRIOR ? std::max(0, i - FDropDownCount - 1)
                                           : std::min(n - 1, i + FDropDownCount - 1);
          if (to >= 0 && to < n) FListBox->SetItemIndex(to);
        }
        pass();
        return;
      }
      if (k == VK_UP || k == VK_DOWN) {
        EditStep(k == VK_UP ? -1 : 1);
        return;
      }
      pass();
      return;
    }
    case WM_KEYUP: case WM_SYSKEYUP: {
      const TFontCharset cs = CharsetInUse();
      const bool cjk = cs == 128 || cs == 134 || cs == 136;
      const WPARAM k = Message.WParam;
      if (cjk) {
        if (k != VK_DELETE && k != VK_BACK) {
          if (FEdit) FEdit->SetSelLength(0);
          pass();
          if (FAutoComplete) AutoCompleteStep();
        } else {
          pass();
        }
        return;
      }
      if (Message.Msg == WM_SYSKEYUP || k < 48) {
        pass();
        return;
      }
      pass();
      if (FAutoComplete) AutoCompleteStep();
      return;
    }
    case WM_SETFOCUS:
      pass();
      ApplyEditColour();
      Invalidate();
      return;
    case WM_KILLFOCUS:
      pass();
      if (IsPopupVisible()) CloseUp(false);
      ApplyEditColour();
      Invalidate();
      return;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN:
      if (IsPopupVisible()) CloseUp(false);
      pass();
      return;
    case WM_MOUSEWHEEL:
      EditStep(SHORT(HIWORD(Message.WParam)) < 1 ? 1 : -1);
      pass();
      return;
    default: pass(); return;
  }
}

// ---- input on the combo box ---------------------------------------------------------------------

bool TkxSkinCustomComboBox::CancelsMode(TControl* Sender) {
  if (!Sender) return true;
  if (Sender == this || Sender == FListBox) return false;
  if (FListBox && (Sender == FListBox->ScrollBar || Sender == FListBox->HScrollBar || Sender == FListBox->ListBox))
    return false;
  return true;
}

void TkxSkinCustomComboBox::MouseDown(TMouseButton Btn, TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseDown(Btn, Shift, X, Y);
  if (!Focused() && !FEdit && CanFocus()) SetFocus();
  if (Btn != mbLeft) return;
  const bool hit = Contains(Button.R, X, Y) || (!FEdit && Contains(CBItem.R, X, Y)) || FToolButtonStyle;
  if (hit) {
    Button.Down = true;
    Button.MouseIn = Contains(Button.R, X, Y) || Button.MouseIn;
    Invalidate();
  }
  if (IsPopupVisible()) {
    CloseUp(false);
    return;
  }
  if (!hit) return;
  WasInLB = false;
  FLBDown = true;
  DropDown();
}

void TkxSkinCustomComboBox::MouseMove(TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseMove(Shift, X, Y);
  if (FLBDown) {
    TrackHeldMouse();
    return;
  }
  const bool in = Contains(Button.R, X, Y);
  if (in != Button.MouseIn) {
    Button.MouseIn = in;
    Invalidate();
  }
}

void TkxSkinCustomComboBox::MouseUp(TMouseButton Btn, TShiftState Shift, int X, int Y) {
  if (FLBDown && WasInLB) {
    SetMouseCapture(false);
    FLBDown = false;
    POINT sp{};
    GetCursorPos(&sp);
    const bool over = FListBox->ListBox->HandleAllocated() && WindowFromPoint(sp) == FListBox->ListBox->Handle();
    CloseUp(over);
  } else {
    FLBDown = false;
  }
  StopScrollTimer();
  TkxSkinCustomControl::MouseUp(Btn, Shift, X, Y);
  if (Button.Down) {
    Button.Down = false;
    Invalidate();
  }
}

void TkxSkinCustomComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  TkxSkinCustomControl::KeyDown(Key, Shift);
  if (FEdit) return;
  const int32_t i = ItemIndex(), n = Items()->Count();
  switch (Key) {
    case VK_RETURN:
      if (IsPopupVisible()) CloseUp(true);
      break;
    case VK_ESCAPE:
      if (IsPopupVisible()) CloseUp(false);
      break;
    case VK_PRIOR:
      if (n > 0) SetItemIndex(std::max(0, i - FDropDownCount - 1));
      break;
    case VK_NEXT:
      if (n > 0) SetItemIndex(std::min(n - 1, i + FDropDownCount - 1));
      break;
    case VK_LEFT: case VK_UP:
      if (Shift.Contains(ssAlt)) {
        if (IsPopupVisible()) CloseUp(false);
      } else if (i > 0) {
        SetItemIndex(i - 1);
      }
      break;
    case VK_RIGHT: case VK_DOWN:
      if (Shift.Contains(ssAlt)) {
        if (!IsPopupVisible()) DropDown();
      } else if (i < n - 1) {
        SetItemIndex(i + 1);
      }
      break;
    default: break;
  }
}

void TkxSkinCustomComboBox::KeyPress(uint32_t& Key) {
  TkxSkinCustomControl::KeyPress(Key);
  if (FEdit || Key < 32) return;
  std::string search;
  if (FAutoComplete) {
    const uint64_t now = Now();
    if (now - FLastTime > kSearchGap) FFilter.clear();
    FLastTime = now;
    Utf8Append(FFilter, char32_t(Key));
    search = FFilter;
  } else {
    Utf8Append(search, char32_t(Key));
  }
  if (search.empty() || !FListBox->ListBox->HandleAllocated()) return;
  const WPARAM from = Utf8Length(search) == 1 ? WPARAM(ItemIndex()) : WPARAM(-1);
  const LRESULT i =
      SendMessage(FListBox->ListBox->Handle(), LB_FINDSTRING, from, reinterpret_cast<LPARAM>(search.c_str()));
  if (i >= 0) SetItemIndex(int32_t(i));
}

void TkxSkinCustomComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      TkxSkinCustomControl::Dispatch(Message);
      CalcRects();
      return;
    case WM_ERASEBKGND:
      if (!FromWMPaint && Message.WParam && Width() > 0 && Height() > 0) {
        // Asked for the whole control in this DC, the edit part included.
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        GetSkinData();
        auto b = NewSkinImage(Width(), Height());
        PaintLook(b.get(), nullptr);
        TCanvas c;
        c.SetHandle(dc);
        c.Draw(0, 0, b.get());
        c.SetHandle(nullptr);
        if (FEdit && FEdit->HandleAllocated()) {
          const int saved = SaveDC(dc);
          POINT old{};
          OffsetViewportOrgEx(dc, FEdit->Left(), FEdit->Top(), &old);
          IntersectClipRect(dc, 0, 0, FEdit->Width(), FEdit->Height());
          SendMessage(FEdit->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
          RestoreDC(dc, saved);
        }
      }
      Message.Result = 1;
      return;
    case CM_ENABLEDCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      ApplyEditColour();
      Invalidate();
      return;
    case CM_MOUSEENTER:
      TkxSkinCustomControl::Dispatch(Message);
      FMouseIn = true;
      if (FEdit && !FEdit->Focused()) ApplyEditColour();
      Invalidate();
      return;
    case CM_MOUSELEAVE:
      TkxSkinCustomControl::Dispatch(Message);
      FMouseIn = false;
      if (FEdit && !FEdit->Focused()) ApplyEditColour();
      Button.MouseIn = false;
      Invalidate();
      return;
    case CM_TEXTCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      if (FEdit && !FromEdit) SetEditText(Text());
      if (OnChange) OnChange(this);
      if (FromEdit) Change();
      return;
    case CM_WANTSPECIALKEY:
      TkxSkinCustomControl::Dispatch(Message);
      if (Message.WParam == VK_LEFT || Message.WParam == VK_RIGHT || Message.WParam == VK_UP ||
          Message.WParam == VK_DOWN)
        Message.Result = 1;
      // An open list takes Enter and Escape before the form's default and cancel buttons.
      if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && IsPopupVisible()) Message.Result = 1;
      return;
    case WM_TIMER:
      TkxSkinCustomControl::Dispatch(Message);
      if (Message.WParam == kScrollTimer) {
        const int32_t i = FListBox->ItemIndex(), n = Items()->Count();
        if (TimerMode == 1 && i > 0)
          FListBox->SetItemIndex(i - 1);
        else if (TimerMode == 2 && i < n - 1)
          FListBox->SetItemIndex(i + 1);
      }
      return;
    case WM_MOUSEWHEEL:
      if (FEdit) return;
      {
        const int32_t d = SHORT(HIWORD(Message.WParam)) < 1 ? 1 : -1;
        StepList(d, !IsPopupVisible());
      }
      Message.Result = 1;
      return;
    case WM_SETFOCUS:
      if (FEdit) {
        if (FEdit->CanFocus()) FEdit->SetFocus();
        ApplyEditColour();
        return;
      }
      TkxSkinCustomControl::Dispatch(Message);
      Invalidate();
      return;
    case WM_KILLFOCUS:
      TkxSkinCustomControl::Dispatch(Message);
      if (!FEdit && IsPopupVisible()) CloseUp(false);
      Invalidate();
      ApplyEditColour();
      return;
    case CM_CANCELMODE:
      TkxSkinCustomControl::Dispatch(Message);
      if (IsPopupVisible() && CancelsMode(reinterpret_cast<TControl*>(Message.LParam))) CloseUp(false);
      return;
    default: TkxSkinCustomControl::Dispatch(Message); return;
  }
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinComboBoxFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxPopupListBox, TkxSkinListBox>("TkxPopupListBox");
  RegisterFormClass<TkxSkinCustomComboBox, TkxSkinCustomControl>("TkxSkinCustomComboBox");
  RegisterFormClass<TkxSkinComboBox, TkxSkinCustomComboBox>("TkxSkinComboBox")
      .Enum<TkxSkinCustomComboBoxStyle>("Style", &TkxSkinComboBox::SetStyle,
                                        {{"kxcbEditStyle", kxcbEditStyle}, {"kxcbFixedStyle", kxcbFixedStyle}})
      .Boolean("ToolButtonStyle", &TkxSkinComboBox::SetToolButtonStyle)
      .Boolean("UseSkinSize", &TkxSkinComboBox::SetUseSkinSize)
      .Strings("Items", &TkxSkinComboBox::Items)
      .Integer("ItemIndex", &TkxSkinComboBox::SetItemIndex)
      .Integer("DropDownCount", &TkxSkinComboBox::SetDropDownCount)
      .Integer("ListBoxWidth", &TkxSkinComboBox::SetListBoxWidth)
      .Boolean("AutoComplete", &TkxSkinComboBox::SetAutoComplete)
      .Boolean("HideSelection", &TkxSkinComboBox::SetHideSelection)
      .Enum<TEditCharCase>("CharCase", &TkxSkinComboBox::SetCharCase,
                           {{"ecNormal", ecNormal}, {"ecUpperCase", ecUpperCase}, {"ecLowerCase", ecLowerCase}})
      .Integer("DefaultColor", &TkxSkinComboBox::SetDefaultColor, ColorIdents())
      .Boolean("Sorted", &TkxSkinComboBox::SetSorted)
      .Boolean("HorizontalExtent", &TkxSkinComboBox::SetHorizontalExtent)
      .Strings("TabWidths", &TkxSkinComboBox::TabWidths)
      .Reference<TCustomImageList>("Images", &TkxSkinComboBox::SetImages)
      .Integer("ImageIndex", &TkxSkinComboBox::SetImageIndex)
      .String("ListBoxCaption", &TkxSkinComboBox::SetListBoxCaption)
      .Boolean("ListBoxCaptionMode", &TkxSkinComboBox::SetListBoxCaptionMode)
      .Enum<TAlignment>("ListBoxCaptionAlignment", &TkxSkinComboBox::SetListBoxCaptionAlignment,
                        {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}})
      .Object("ListBoxDefaultFont", &TkxSkinComboBox::ListBoxDefaultFont)
      .Object("ListBoxDefaultCaptionFont", &TkxSkinComboBox::ListBoxDefaultCaptionFont)
      .Integer("ListBoxDefaultItemHeight", &TkxSkinComboBox::SetListBoxDefaultItemHeight)
      .Boolean("ListBoxUseSkinFont", &TkxSkinComboBox::SetListBoxUseSkinFont)
      .Boolean("ListBoxUseSkinItemHeight", &TkxSkinComboBox::SetListBoxUseSkinItemHeight)
      .Boolean("AlphaBlend", &TkxSkinComboBox::SetAlphaBlend)
      .Boolean("AlphaBlendAnimation", &TkxSkinComboBox::SetAlphaBlendAnimation)
      .Integer("AlphaBlendValue", &TkxSkinComboBox::SetAlphaBlendValue)
      .Event<TNotifyEvent>("OnChange", &TkxSkinComboBox::OnChange)
      .Event<TNotifyEvent>("OnCloseUp", &TkxSkinComboBox::OnCloseUp)
      .Event<TNotifyEvent>("OnDropDown", &TkxSkinComboBox::OnDropDown);
}
