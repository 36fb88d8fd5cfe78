// The inner edit, the numeric edit and the skinned edit.
#include "lib/controls/kxSkinEdits.h"

#include <algorithm>
#include <clocale>

#include "base/Text.h"
#include "classlib/Clipbrd.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/Streaming.h"
#include "classlib/streaming/Registrations.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinMenuSeam.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

bool Contains(const TRect& R, TPoint P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }

TRect Moved(TRect R, int32_t DX, int32_t DY) { return TRect{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY}; }

}  // namespace

// ---- the numeric filter -------------------------------------------------------------------------

char32_t kxDecimalSeparator() {
  const lconv* lc = std::localeconv();
  if (!lc || !lc->decimal_point || !*lc->decimal_point) return U'.';
  return Utf8DecodeAt(lc->decimal_point, 0);
}

bool kxNumEditAccepts(const std::string& Text, char32_t C, bool AFloat, bool EditorEnabled) {
  const char32_t sep = kxDecimalSeparator();
  bool pass = C == U'-' || (C >= U'0' && C <= U'9') || (C < 32 && C != 13) || (AFloat && C == sep);
  if (!pass) return false;
  if (!EditorEnabled && (C >= 32 || C == 8)) return false;
  // Whole code points are compared, so a separator outside ASCII never admits another character.
  auto has = [&Text](char32_t Wanted) {
    for (size_t i = 0; i < Text.size();) {
      size_t len = 1;
      if (Utf8DecodeAt(Text, i, &len) == Wanted) return true;
      i += std::max<size_t>(len, 1);
    }
    return false;
  };
  if (AFloat && C == sep && has(sep)) return false;
  if (C == U'-' && has(U'-')) return false;
  return true;
}

// ---- TkxCustomEdit ------------------------------------------------------------------------------

TkxCustomEdit::TkxCustomEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) { FControlStyle.Include(csOpaque); }

TkxCustomEdit::~TkxCustomEdit() { FreeSysPopupMenu(); }

void TkxCustomEdit::SetEditTransparent(bool Value) {
  if (Value == FEditTransparent) return;
  FEditTransparent = Value;
  RecreateWnd();
}

void TkxCustomEdit::CreateParams(TCreateParams& Params) {
  TCustomMaskEdit::CreateParams(Params);
  Params.Style &= ~DWORD(WS_BORDER);
  Params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
  // ReadOnly is kept here; the window itself stays writable.
  Params.Style &= ~DWORD(ES_READONLY);
  if (FEditTransparent) Params.ExStyle |= WS_EX_TRANSPARENT;
  // One visible line either way; ES_MULTILINE makes Enter and Escape arrive as characters.
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  else Params.Style |= ES_MULTILINE;
}

void TkxCustomEdit::Invalidate() {
  if (!FEditTransparent || !FHandle) {
    TCustomMaskEdit::Invalidate();
    return;
  }
  // The erase paints what lies behind the edit, so the text is redrawn over a fresh background.
  RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TkxCustomEdit::Change() {
  TCustomMaskEdit::Change();
  RepaintTransparent();
}

void TkxCustomEdit::FreeSysPopupMenu() {
  delete FSysPopupMenu;
  FSysPopupMenu = nullptr;
}

void TkxCustomEdit::MenuCommand(TMessage& Message) {
  TPopupMenu* menu = FSysPopupMenu;
  // A retry names the menu it was posted for; a newer menu is not its business.
  if (!menu || (Message.WParam == kRetryFree && reinterpret_cast<TPopupMenu*>(Message.LParam) != menu)) return;
  auto& seam = SkinMenuSeam();
  if (seam.ClosedLevelsRead && seam.ClosedLevelsRead(menu)) {
    // The level that ran the command is freed once its handler has unwound; the menu outlives it.
    if (FHandle) PostMessage(FHandle, KXM_MENUCOMMAND, kRetryFree, reinterpret_cast<LPARAM>(menu));
    return;
  }
  FreeSysPopupMenu();
}

TPoint TkxCustomEdit::ContextMenuCentre() {
  TPoint o = ClientToScreen(TPoint{0, 0});
  return TPoint{o.x + Width() / 2, o.y + Height() / 2};
}

TPopupMenu* TkxCustomEdit::BuildSysPopupMenu() {
  FreeSysPopupMenu();
  auto& seam = SkinMenuSeam();
  TCustomForm* form = GetParentForm(this);
  if (form && form->FormStyle() == fsMDIChild && Application && Application->MainForm()) form = Application->MainForm();
  if (seam.NewPopupMenu) FSysPopupMenu = seam.NewPopupMenu(this, form);
  // Without the skinned menus the items are built all the same; nothing shows them.
  if (!FSysPopupMenu) FSysPopupMenu = new TPopupMenu(this);
  TkxResourceStrData* strings = seam.FormStrings ? seam.FormStrings(form) : nullptr;
  if (!strings) strings = MenuStrings();
  DWORD s = 0, e = 0;
  if (FHandle) Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  const bool selection = s < e;
  const bool all = s == 0 && e == DWORD(Utf8Length(GetText()));
  const bool writable = !FReadOnly;
  struct Row {
    const char* Name;
    const char* Text;
    bool Enabled;
    UINT Msg;
  };
  const Row rows[] = {
      {"EDIT_UNDO", "Undo", CanUndo(), WM_UNDO},
      {nullptr, "-", true, 0},
      {"EDIT_CUT", "Cut", selection && writable, WM_CUT},
      {"EDIT_COPY", "Copy", selection, WM_COPY},
      {"EDIT_PASTE", "Paste", Clipboard()->HasFormat(CF_TEXT) && writable, WM_PASTE},
      {"EDIT_DELETE", "Delete", selection && writable, WM_CLEAR},
      {nullptr, "-", true, 0},
      {"EDIT_SELECTALL", "Select All", !all, EM_SETSEL},
  };
  for (const Row& r : rows) {
    auto* item = new TMenuItem(FSysPopupMenu);
    // A skin's string is taken whatever it holds, also when empty.
    item->SetCaption(r.Name && strings ? strings->GetResStr(r.Name) : std::string(r.Text));
    if (!r.Name) item->SetCaption(cLineCaption);
    item->SetEnabled(r.Enabled);
    if (r.Msg) {
      UINT msg = r.Msg;
      item->OnClick = [this, msg](TObject*) {
        if (msg == EM_SETSEL) SelectAll();
        else Perform(msg, 0, 0);
      };
    }
    FSysPopupMenu->Items()->Add(item);
  }
  return FSysPopupMenu;
}

void TkxCustomEdit::ContextMenu(TMessage& Message) {
  if (PopupMenu()) {
    TCustomMaskEdit::Dispatch(Message);
    return;
  }
  TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (p.x < 0 || p.y < 0) p = ContextMenuCentre();
  TPopupMenu* menu = BuildSysPopupMenu();
  Message.Result = 1;
  menu->SetPopupComponent(this);
  // The skinned menu does not block: its command comes back as KXM_MENUCOMMAND. With no skin
  // data, or no skinned menus at all, nothing shows.
  auto& seam = SkinMenuSeam();
  if (seam.IsSkinPopupMenu && seam.Popup2 && seam.IsSkinPopupMenu(menu)) seam.Popup2(menu, this, p);
}

void TkxCustomEdit::DialogChar(TMessage& Message) {
  uint32_t key = uint32_t(Message.WParam);
  if (OnKeyPress) OnKeyPress(this, key);  // a copy: the answer changes nothing
  if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam);
  Message.Result = 0;
}

void TkxCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFONT:
      TCustomMaskEdit::Dispatch(Message);
      if (FHandle) Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 0));
      return;
    case WM_CHAR:
      switch (Message.WParam) {
        case 13: case 27: DialogChar(Message); return;
        // The edit's own short cuts go through the messages, where the lock and filters apply.
        case 0x16: Perform(WM_PASTE, 0, 0); return;
        case 0x18: Perform(WM_CUT, 0, 0); return;
        case 0x1A: Perform(WM_UNDO, 0, 0); return;
        // Selecting all and copying change nothing and stay open to a locked edit.
        case 0x01: case 0x03: break;
        default:
          if (FReadOnly) return;
      }
      TCustomMaskEdit::Dispatch(Message);
      return;
    case WM_KEYDOWN:
      if (Message.WParam == VK_DELETE && FReadOnly) return;
      if (Message.WParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
        Perform(WM_PASTE, 0, 0);
        return;
      }
      TCustomMaskEdit::Dispatch(Message);
      RepaintTransparent();
      return;
    case WM_CUT: case WM_PASTE: case WM_CLEAR: case WM_UNDO: case EM_UNDO:
      if (FReadOnly) return;
      TCustomMaskEdit::Dispatch(Message);
      RepaintTransparent();
      return;
    case EM_SETREADONLY:
      return;  // the lock is ours; the window stays writable
    case WM_SETTEXT: case WM_MOVE:
      TCustomMaskEdit::Dispatch(Message);
      RepaintTransparent();
      return;
    case WM_ERASEBKGND:
      if (FEditTransparent) {
        TCanvas c;
        c.SetHandle(reinterpret_cast<HDC>(Message.WParam));
        PaintParentBackground(this, &c);
        c.SetHandle(nullptr);
        Message.Result = 1;
        return;
      }
      break;
    case CN_CTLCOLOREDIT: case CN_CTLCOLORSTATIC:
      if (FEditTransparent) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        Message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return;
      }
      break;
    case WM_LBUTTONDOWN:
      TCustomMaskEdit::Dispatch(Message);
      FDown = true;
      RepaintTransparent();
      return;
    case WM_MOUSEMOVE:
      TCustomMaskEdit::Dispatch(Message);
      if (FDown) RepaintTransparent();
      return;
    case WM_LBUTTONUP:
      TCustomMaskEdit::Dispatch(Message);
      FDown = false;
      return;
    case WM_SETFOCUS:
      TCustomMaskEdit::Dispatch(Message);
      RepaintTransparent();
      if (FAutoSelect && FHandle) Perform(EM_SETSEL, 0, -1);
      return;
    case WM_KILLFOCUS:
      TCustomMaskEdit::Dispatch(Message);
      RepaintTransparent();
      return;
    case CM_CANCELMODE:
      TCustomMaskEdit::Dispatch(Message);
      if (OnEditCancelMode) OnEditCancelMode(reinterpret_cast<TControl*>(Message.LParam));
      return;
    case WM_CONTEXTMENU: ContextMenu(Message); return;
    case KXM_MENUCOMMAND: MenuCommand(Message); return;
  }
  TCustomMaskEdit::Dispatch(Message);
}

// ---- TkxSkinNumEdit -----------------------------------------------------------------------------

void TkxSkinNumEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_UP || Key == VK_DOWN) {
    // The arrows step the value; they never move the caret.
    TNotifyEvent& e = Key == VK_UP ? OnUpClick : OnDownClick;
    Key = 0;
    if (e) e(this);
    return;
  }
  TkxCustomEdit::KeyDown(Key, Shift);
}

void TkxSkinNumEdit::KeyPress(uint32_t& Key) {
  if (Key && !kxNumEditAccepts(GetText(), char32_t(Key), Float, FEditorEnabled)) {
    Key = 0;
    MessageBeep(0);
  }
  if (Key) TkxCustomEdit::KeyPress(Key);
}

void TkxSkinNumEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEWHEEL: {
      TNotifyEvent& e = GET_WHEEL_DELTA_WPARAM(Message.WParam) > 0 ? OnDownClick : OnUpClick;
      if (e) e(this);
      Message.Result = 1;
      return;
    }
    case WM_PASTE: {
      // Pasted text passes the same filter as typed text, character by character, as if typed
      // over the selection; text that does not pass is refused whole.
      if (FReadOnly || !FEditorEnabled) return;
      std::string clip = Clipboard()->AsText();
      std::string text = GetText();
      DWORD s = 0, e = 0;
      if (FHandle) Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
      std::string probe = Utf8Copy(text, 0, s) + Utf8Copy(text, e, Utf8Length(text));
      bool ok = !clip.empty();
      for (size_t i = 0; ok && i < clip.size();) {
        size_t len = 1;
        char32_t c = Utf8DecodeAt(clip, i, &len);
        i += std::max<size_t>(len, 1);
        ok = c >= 32 && kxNumEditAccepts(probe, c, Float, FEditorEnabled);
        Utf8Append(probe, c);
      }
      if (!ok) {
        MessageBeep(0);
        return;
      }
      TkxCustomEdit::Dispatch(Message);
      return;
    }
    case CM_MOUSEENTER:
      TkxCustomEdit::Dispatch(Message);
      if (OnMouseEnter) OnMouseEnter(this);
      return;
    case CM_MOUSELEAVE:
      TkxCustomEdit::Dispatch(Message);
      if (OnMouseLeave) OnMouseLeave(this);
      return;
  }
  TkxCustomEdit::Dispatch(Message);
}

// ---- TkxSkinCustomEdit --------------------------------------------------------------------------

namespace {

void ResetFont(TFont* F) {
  F->SetName("Arial");
  F->SetHeight(14);
  F->SetColor(clBlack);
  F->SetStyle({});
}

}  // namespace

TkxSkinCustomEdit::TkxSkinCustomEdit(TComponent* AOwner)
    : TkxCustomEdit(AOwner), TkxSkinBinding(this, "edit"), FDefaultFont(std::make_unique<TFont>()) {
  FControlStyle.Include(csOpaque);
  ResetFont(Font());
  FHeight = 20;
  FBorderStyle = bsNone;
  FEditTransparent = true;
  FDefaultFont->Assign(Font());
  FDefaultFont->OnChange = [this](TObject* Sender) { DefaultFontChange(Sender); };
}

TkxSkinCustomEdit::~TkxSkinCustomEdit() {
  FDefaultFont->OnChange = nullptr;
  // Out of the parent (and so out of the window) while this is still a skinned edit: the last
  // messages find the state here, and the form takes the focus back first.
  if (Parent()) SetParent(nullptr);
  DestroyWindowHandle();
}

void TkxSkinCustomEdit::GetSkinData() {
  if (LookupSkinIndex() < 0) {
    Picture = nullptr;
    return;
  }
  auto* r = SkinRecord<TkxDataSkinEditControl>();
  if (!r) return;  // a record of another kind leaves the values as they were
  Picture = SkinPicture(r->PictureIndex);
  SkinRect = r->SkinRect;
  ActiveSkinRect = IsEmptyRect(r->ActiveSkinRect) ? r->SkinRect : r->ActiveSkinRect;
  // A rectangle the picture does not hold leaves nothing to copy from: the plain look.
  if (!RectInPicture(SkinRect, Picture) || !RectInPicture(ActiveSkinRect, Picture)) Picture = nullptr;
  LOffset = r->LTPoint.x;
  ROffset = RectWidth(SkinRect) - r->RTPoint.x;
  ClRect = r->ClRect;
  FontName = r->FontName;
  FontStyle = r->FontStyle;
  FontHeight = r->FontHeight;
  FontColor = r->FontColor;
  DisabledFontColor = r->DisabledFontColor;
  ActiveFontColor = r->ActiveFontColor;
  FSkinButtonRect = r->ButtonRect;
  ActiveButtonRect = r->ActiveButtonRect;
  DownButtonRect = IsEmptyRect(r->DownButtonRect) ? r->ActiveButtonRect : r->DownButtonRect;
  UnEnabledButtonRect = r->UnEnabledButtonRect;
  StretchEffect = r->StretchEffect;
  // A client part outside the skin rectangle cannot frame a text area.
  if (IsEmptyRect(ClRect) || ClRect.left < 0 || ClRect.top < 0 || ClRect.right > RectWidth(SkinRect) ||
      ClRect.bottom > RectHeight(SkinRect))
    Picture = nullptr;
}

bool TkxSkinCustomEdit::Hot() { return FMouseIn || Focused(); }

void TkxSkinCustomEdit::CalcRects() {
  const int32_t w = Width(), h = Height();
  if (!Skinned()) {
    if (FButtonMode) {
      FButtonRect = TRect{w - h, 0, w, h};
      FEditRect = TRect{2, 2, FButtonRect.left - 2, h - 2};
    } else {
      FButtonRect = TRect{};
      FEditRect = TRect{2, 2, w - 2, h - 2};
    }
    return;
  }
  const int32_t dx = w - RectWidth(SkinRect);
  FEditRect = ClRect;
  FEditRect.right += dx;
  // The record's button rectangle is in picture coordinates; here it is relative to the frame.
  FButtonRect = Moved(FSkinButtonRect, -SkinRect.left, -SkinRect.top);
  if (FButtonRect.left >= RectWidth(SkinRect) - ROffset) FButtonRect = Moved(FButtonRect, dx, 0);
  if (!FUseSkinFont) {
    const int32_t dy = h - RectHeight(SkinRect);
    FEditRect.bottom += dy;
    FButtonRect.bottom += dy;
  }
}

int32_t TkxSkinCustomEdit::FontBasedHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  GetSkinData();
  return tm.tmHeight + (Skinned() ? RectHeight(SkinRect) - RectHeight(ClRect) : 4);
}

void TkxSkinCustomEdit::ApplyFontHeight() { SetHeight(FontBasedHeight()); }

void TkxSkinCustomEdit::FrameRedraw() {
  if (Parent() && FHandle) SendMessage(FHandle, WM_NCPAINT, 1, 0);
}

void TkxSkinCustomEdit::Invalidate() {
  if (!Parent() || !FHandle) {
    TWinControl::Invalidate();
    return;
  }
  FStopDraw = false;
  RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

void TkxSkinCustomEdit::SetButtonMode(bool Value) {
  if (Value == FButtonMode) return;
  FButtonMode = Value;
  if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
    FSkinDataName = Value ? "buttonedit" : "edit";
  RecreateWnd();
  FrameRedraw();
}

void TkxSkinCustomEdit::SetDefaultColor(TColor Value) {
  FDefaultColor = Value;
  GetSkinData();
  if (!Skinned()) {
    FrameRedraw();
    Invalidate();
  }
}

void TkxSkinCustomEdit::SetDefaultFont(TFont* Value) {
  if (Value) FDefaultFont->Assign(Value);
}

void TkxSkinCustomEdit::DefaultFontChange(TObject*) {
  GetSkinData();
  if (!Skinned()) Font()->Assign(FDefaultFont.get());
}

void TkxSkinCustomEdit::SetDefaultWidth(int32_t Value) {
  FDefaultWidth = Value;
  GetSkinData();
  if (!Skinned() && Value > 0) SetWidth(Value);
}

void TkxSkinCustomEdit::SetDefaultHeight(int32_t Value) {
  FDefaultHeight = Value;
  GetSkinData();
  if (Value <= 0) return;  // no default height: the height stays as set
  if (!Skinned() && FUseSkinFont) SetHeight(Value);
  else ApplyFontHeight();
}

void TkxSkinCustomEdit::SetImages(TCustomImageList* Value) {
  if (!FImages.Set(Value)) return;
  LayoutImageButtons();
  Invalidate();
}

void TkxSkinCustomEdit::SetLeftImageIndex(int32_t Value) {
  FLeftImageIndex = Value;
  LayoutImageButtons();
  Invalidate();
}

void TkxSkinCustomEdit::SetRightImageIndex(int32_t Value) {
  FRightImageIndex = Value;
  LayoutImageButtons();
  Invalidate();
}

TkxResourceStrData* TkxSkinCustomEdit::MenuStrings() {
  // No skinned form hands the strings down yet: the edit's own skin gives them.
  return SkinData() ? SkinData()->ResourceStrData() : nullptr;
}

void TkxSkinCustomEdit::Loaded() {
  TkxCustomEdit::Loaded();
  if (SkinData() && SkinData()->ResourceStrData()) Font()->SetCharset(SkinData()->ResourceStrData()->CharSet());
}

void TkxSkinCustomEdit::CreateParams(TCreateParams& Params) {
  TkxCustomEdit::CreateParams(Params);
  Params.ExStyle &= ~DWORD(WS_EX_TRANSPARENT);
  Params.Style &= ~DWORD(WS_BORDER | ES_LEFT | ES_RIGHT | ES_CENTER);
  Params.Style |= FAlignment == taRightJustify ? ES_RIGHT : FAlignment == taCenter ? ES_CENTER : ES_LEFT;
}

void TkxSkinCustomEdit::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  GetSkinData();
  if ((AWidth != Width() || AHeight != Height()) && !(!Skinned() && FUseSkinFont)) {
    if (FUseSkinFont) AHeight = RectHeight(SkinRect);
    else if (!FInSetBounds) {
      FInSetBounds = true;
      AHeight = FontBasedHeight();
      FInSetBounds = false;
    }
  }
  if (auto* host = dynamic_cast<TkxSkinControlHost*>(Parent()); host && host->AdjustControls() && Align() != alNone) {
    const TRect r = host->GetSkinClientRect();
    ATop = r.top + RectHeight(r) / 2 - AHeight / 2;
  }
  TkxCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  Invalidate();
  FrameRedraw();
}

void TkxSkinCustomEdit::SetHoverColor(TColor C) {
  Font()->SetColor(C);
  LayoutImageButtons();
  FrameRedraw();
  Invalidate();
}

void TkxSkinCustomEdit::ChangeSkinData() {
  GetSkinData();
  const bool skinned = Skinned();
  if (!skinned) {
    Font()->Assign(FDefaultFont.get());
    if (FDefaultWidth > 0) SetWidth(FDefaultWidth);
    if (FDefaultHeight > 0) SetHeight(FDefaultHeight);
  } else if (FUseSkinFont) {
    Font()->SetName(FontName);
    Font()->SetStyle(FontStyle);
    SetHeight(RectHeight(SkinRect));
    Font()->SetHeight(FontHeight);
  } else {
    Font()->Assign(FDefaultFont.get());
  }
  TColor color = skinned ? (Focused() || FMouseIn ? ActiveFontColor : FontColor) : FDefaultFont->Color();
  Font()->SetColor(color);
  TkxResourceStrData* strings = SkinData() ? SkinData()->ResourceStrData() : nullptr;
  Font()->SetCharset(strings ? strings->CharSet() : FDefaultFont->Charset());
  RecreateWnd();
  Font()->SetColor(color);
  if (!FUseSkinFont) ApplyFontHeight();
  FrameRedraw();
  if (FImages) {
    LayoutImageButtons();
    Invalidate();
  }
}

void TkxSkinCustomEdit::LayoutImageButtons(bool SetFormatRect) {
  FLeftButton.R = FRightButton.R = TRect{};
  if (!FImages) return;
  TRect r = FHandle ? ClientRect() : TRect{0, 0, RectWidth(FEditRect), RectHeight(FEditRect)};
  const int32_t iw = FImages->Width();
  if (FLeftImageIndex >= 0) {
    FLeftButton.R = TRect{r.left, r.top, r.left + iw, r.bottom};
    r.left += iw + 2;
  }
  if (FRightImageIndex >= 0) {
    FRightButton.R = TRect{r.right - iw, r.top, r.right, r.bottom};
    r.right -= iw + 2;
  }
  if (r.right < r.left) r.right = r.left;
  if (SetFormatRect && FHandle) {
    // The line stays centred as in an edit without a formatting rectangle.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int32_t top = r.top + std::max<int32_t>(0, (RectHeight(r) - tm.tmHeight) / 2);
    RECT fr{r.left, top, r.right, r.bottom};
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&fr));
  }
}

void TkxSkinCustomEdit::ReleaseEditButton() {
  if (!FButtonDown && !FButtonActive) return;
  FButtonDown = FButtonActive = false;
  FrameRedraw();
  Invalidate();
}

// ---- painting ----

void TkxSkinCustomEdit::DrawEditButton(TBitmap* B) {
  TCanvas* c = B->Canvas();
  if (!Skinned()) {
    DrawPlainButtonFace(c, FButtonRect, PlainStateOf(FButtonDown && FButtonActive, FButtonActive));
    return;
  }
  if (FUseSkinFont) {
    // The button is part of the frame picture; a state image is laid over it.
    TRect src{};
    if (!Enabled() && !IsEmptyRect(UnEnabledButtonRect)) src = UnEnabledButtonRect;
    else if (FButtonDown && FButtonActive) src = DownButtonRect;
    else if (FButtonActive) src = ActiveButtonRect;
    if (RectInPicture(src, Picture)) c->CopyRect(FButtonRect, Picture->Canvas(), src);
    return;
  }
  // A stretched frame takes its button from the skin's button records.
  auto* r = SkinRecordAt<TkxDataSkinButtonControl>(FirstSkinRecord({"editbutton", "resizebutton"}));
  TBitmap* pic = r ? SkinPicture(r->PictureIndex) : nullptr;
  if (!r || !pic) return;
  TRect src = r->SkinRect;
  if (FButtonDown && FButtonActive) {
    src = !IsEmptyRect(r->DownSkinRect) ? r->DownSkinRect : !IsEmptyRect(r->ActiveSkinRect) ? r->ActiveSkinRect : r->SkinRect;
  } else if (FButtonActive && !IsEmptyRect(r->ActiveSkinRect)) {
    src = r->ActiveSkinRect;
  }
  if (!RectInPicture(src, pic) || IsEmptyRect(FButtonRect)) return;
  TBitmap bb;
  bb.SetSize(RectWidth(FButtonRect), RectHeight(FButtonRect));
  TRect inner{r->LTPoint.x, r->LTPoint.y, r->RBPoint.x, r->RBPoint.y};
  if (IsEmptyRect(inner)) inner = TRect{0, 0, RectWidth(src), RectHeight(src)};
  StretchNinePartImage(&bb, pic, src, inner, true);
  c->Draw(FButtonRect.left, FButtonRect.top, &bb);
}

void TkxSkinCustomEdit::DrawFrame(TBitmap* B, bool AHot) {
  const int32_t w = Width(), h = Height();
  CalcRects();
  if (!Skinned()) {
    B->SetSize(w, h);
    TCanvas* c = B->Canvas();
    const int32_t bw = FButtonMode ? RectWidth(FButtonRect) : 0;
    TRect r{0, 0, w - bw, h};
    PlainFill(c, r, FDefaultColor);
    PlainFrameRect(c, r, kxPlain.Shadow);
    PlainFrameRect(c, TRect{1, 1, r.right - 1, h - 1}, kxPlain.Face);
    if (FButtonMode) DrawEditButton(B);
    return;
  }
  const TRect& src = AHot ? ActiveSkinRect : SkinRect;
  if (FUseSkinFont) {
    BuildHorzThreePartImage(LOffset, ROffset, B, Picture, src, w, h, StretchEffect);
    if (B->Height() != h) {
      // The height follows the skin; a height forced otherwise keeps the picture's rows.
      TBitmap t;
      t.Assign(B);
      B->SetSize(w, h);
      B->Canvas()->StretchDraw(TRect{0, 0, w, h}, &t);
    }
  } else {
    B->SetSize(w, h);
    StretchNinePartImage(B, Picture, src, ClRect, false);
  }
  if (FButtonMode) DrawEditButton(B);
}

void TkxSkinCustomEdit::PaintFrame(HDC DC, bool ExcludeText) {
  GetSkinData();
  TBitmap b;
  DrawFrame(&b, Hot());
  int saved = SaveDC(DC);
  if (ExcludeText) ExcludeClipRect(DC, FEditRect.left, FEditRect.top, FEditRect.right, FEditRect.bottom);
  BitBlt(DC, 0, 0, b.Width(), b.Height(), b.Canvas()->Handle(), 0, 0, SRCCOPY);
  RestoreDC(DC, saved);
}

void TkxSkinCustomEdit::DrawImageButtons(TCanvas* C, int32_t DX, int32_t DY) {
  if (!FImages) return;
  LayoutImageButtons(false);
  auto draw = [&](const TkxCBButtonX& b, int32_t Normal, int32_t HotI, int32_t DownI) {
    auto valid = [this](int32_t I) { return I >= 0 && I < FImages->Count(); };
    if (!valid(Normal) || IsEmptyRect(b.R)) return;
    int32_t i = Normal;
    if (b.Down && b.MouseIn && valid(DownI)) i = DownI;
    else if (b.MouseIn && valid(HotI)) i = HotI;
    const int32_t y = std::max(b.R.top, b.R.top + RectHeight(b.R) / 2 - FImages->Height() / 2);
    FImages->Draw(C, b.R.left + DX, y + DY, i, Enabled());
  };
  draw(FLeftButton, FLeftImageIndex, FLeftImageHotIndex, FLeftImageDownIndex);
  draw(FRightButton, FRightImageIndex, FRightImageHotIndex, FRightImageDownIndex);
}

void TkxSkinCustomEdit::DrawDisabledText(HDC DC) {
  TCanvas c;
  c.SetHandle(DC);
  TFont f;
  if (Skinned() && FUseSkinFont) {
    f.Assign(Font());
    f.SetColor(DisabledFontColor);
  } else {
    f.Assign(FDefaultFont.get());
    f.SetColor(Skinned() ? DisabledFontColor : clGrayText);
  }
  TkxResourceStrData* strings = SkinData() ? SkinData()->ResourceStrData() : nullptr;
  f.SetCharset(strings ? strings->CharSet() : FDefaultFont->Charset());
  c.SetFont(&f);
  c.Brush()->SetStyle(bsClear);
  std::string text = FPasswordChar ? std::string() : GetText();
  if (FPasswordChar) {
    size_t n = Utf8Length(GetText());
    for (size_t i = 0; i < n; ++i) Utf8Append(text, char32_t(FPasswordChar));
  }
  TRect r{0, 0, RectWidth(FEditRect), RectHeight(FEditRect)};
  if (FImages) {
    if (!IsEmptyRect(FLeftButton.R)) r.left = FLeftButton.R.right + 2;
    if (!IsEmptyRect(FRightButton.R)) r.right = FRightButton.R.left - 2;
  }
  const int32_t tw = c.TextWidth(text);
  int32_t x = r.left + 2;
  if (FAlignment == taRightJustify) x = r.right - tw - 1;
  else if (FAlignment == taCenter) x = r.left + RectWidth(r) / 2 - tw / 2;
  // Centred on the line as the enabled edit centres its text.
  const int32_t y = std::max<int32_t>(0, (RectHeight(r) - c.TextHeight("Ag")) / 2);
  c.TextRect(r, x, y, text);
  c.SetHandle(nullptr);
}

void TkxSkinCustomEdit::DrawClient(HDC DC) {
  GetSkinData();
  CalcRects();
  const int32_t w = std::max(1, RectWidth(FEditRect)), h = std::max(1, RectHeight(FEditRect));
  // The whole client in one bitmap: background, image buttons, then the text over them.
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* c = b.Canvas();
  if (!Skinned()) {
    c->Brush()->SetColor(FDefaultColor);
    c->FillRect(TRect{0, 0, w, h});
  } else {
    const TRect& src = Hot() ? ActiveSkinRect : SkinRect;
    TRect part{src.left + ClRect.left, src.top + ClRect.top, src.left + ClRect.right, src.top + ClRect.bottom};
    TBitmap bg;
    BuildHorzThreePartImage(std::max(0, LOffset - ClRect.left), std::max(0, ClRect.right + ROffset - RectWidth(SkinRect)),
                            &bg, Picture, part, w, RectHeight(part), StretchEffect);
    if (FUseSkinFont) c->Draw(0, 0, &bg);
    else c->StretchDraw(TRect{0, 0, w, h}, &bg);
  }
  DrawImageButtons(c, 0, 0);
  if (Enabled()) {
    // The edit draws its text and caret only: the colour answer is "transparent".
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(c->Handle()), 0, 0};
    DefaultHandler(m);
  } else {
    DrawDisabledText(c->Handle());
  }
  BitBlt(DC, 0, 0, w, h, c->Handle(), 0, 0, SRCCOPY);
}

void TkxSkinCustomEdit::PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText) {
  if (!C) return;
  GetSkinData();
  TBitmap b;
  DrawFrame(&b, false);
  if (!Skinned()) {
    b.Canvas()->Brush()->SetColor(FDefaultColor);
    b.Canvas()->FillRect(FEditRect);
  }
  TCanvas* c = b.Canvas();
  TFont f;
  if (Skinned() && FUseSkinFont) {
    f.Assign(Font());
    f.SetColor(FontColor);
  } else {
    f.Assign(FDefaultFont.get());
  }
  TkxResourceStrData* strings = SkinData() ? SkinData()->ResourceStrData() : nullptr;
  f.SetCharset(strings ? strings->CharSet() : FDefaultFont->Charset());
  c->SetFont(&f);
  c->Brush()->SetStyle(bsClear);
  TRect r = FEditRect;
  if (FImages) {
    const int32_t iw = FImages->Width() + 2;
    if (FLeftImageIndex >= 0) r.left += iw;
    if (FRightImageIndex >= 0) r.right -= iw;
    LayoutImageButtons(false);
    DrawImageButtons(c, FEditRect.left, FEditRect.top);
  }
  const int32_t tw = c->TextWidth(AText);
  int32_t x = r.left + 2;
  if (FAlignment == taCenter) x = r.left + 2 + RectWidth(r) / 2 - tw / 2;
  else if (FAlignment == taRightJustify) x = r.right - tw;
  c->TextRect(r, x, r.top, AText);
  C->Draw(X, Y, &b);
}

// ---- messages ----

void TkxSkinCustomEdit::NCHitTest(TMessage& Message) {
  const TPoint sp{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  const TPoint cp = ScreenToClient(sp);
  if (FImages) {
    auto track = [this](TkxCBButtonX& b, bool In) {
      if (b.MouseIn == In) return;
      b.MouseIn = In;
      Invalidate();
    };
    if (FLeftImageIndex >= 0 && Contains(FLeftButton.R, cp)) {
      track(FLeftButton, true);
      track(FRightButton, false);
      Message.Result = kxHitLeftImageButton;
      return;
    }
    if (FRightImageIndex >= 0 && Contains(FRightButton.R, cp)) {
      track(FRightButton, true);
      track(FLeftButton, false);
      Message.Result = kxHitRightImageButton;
      return;
    }
    track(FLeftButton, false);
    track(FRightButton, false);
  }
  if (FButtonMode) {
    GetSkinData();
    CalcRects();
    RECT wr{};
    GetWindowRect(FHandle, &wr);
    const TPoint wp{sp.x - wr.left, sp.y - wr.top};
    if (Contains(FButtonRect, wp)) {
      Message.Result = HTHSCROLL;
      return;
    }
    if (!Contains(FEditRect, wp)) {
      Message.Result = HTVSCROLL;
      return;
    }
  }
  TkxCustomEdit::Dispatch(Message);
}

bool TkxSkinCustomEdit::NCMouse(TMessage& Message) {
  const LRESULT hit = LRESULT(Message.WParam);
  const bool image = FImages && (hit == kxHitLeftImageButton || hit == kxHitRightImageButton);
  TkxCBButtonX& ib = hit == kxHitLeftImageButton ? FLeftButton : FRightButton;
  const bool button = FButtonMode && hit == HTHSCROLL && !ComponentState().Contains(csDesigning);
  switch (Message.Msg) {
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK:
      if (image) {
        ib.Down = true;
        if (!Focused() && CanFocus()) SetFocus();
        Invalidate();
        return true;
      }
      if (button) {
        FButtonDown = true;
        FrameRedraw();
        return true;
      }
      return false;
    case WM_NCLBUTTONUP:
      if (image) {
        if (ib.Down) {
          ib.Down = false;
          Invalidate();
          TNotifyEvent& e = hit == kxHitLeftImageButton ? OnLeftButtonClick : OnRightButtonClick;
          if (e) e(this);
        }
        return true;
      }
      if (button) {
        // A click is a press and a release on the button.
        const bool click = FButtonDown;
        FButtonDown = false;
        FrameRedraw();
        if (!click) return true;
        if (!Focused() && CanFocus()) SetFocus();
        if (OnButtonClick) OnButtonClick(this);
        return true;
      }
      return false;
    case WM_NCMOUSEMOVE: {
      // The frame belongs to the edit for hovering as much as the text area does.
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
      tme.hwndTrack = FHandle;
      TrackMouseEvent(&tme);
      UpdateMouseControl(this);
      if (image) return true;
      if (button) {
        if (!FButtonActive) {
          FButtonActive = true;
          FrameRedraw();
          Invalidate();
        }
        return true;
      }
      if (FButtonMode && FButtonActive) {
        FButtonActive = false;
        FrameRedraw();
        Invalidate();
      }
      return false;
    }
  }
  return false;
}

void TkxSkinCustomEdit::MouseEnter() {
  FMouseIn = true;
  GetSkinData();
  if (!Focused() && Skinned()) SetHoverColor(ActiveFontColor);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TkxSkinCustomEdit::MouseLeave() {
  FMouseIn = false;
  GetSkinData();
  if (!Focused() && Skinned()) SetHoverColor(FontColor);
  ReleaseEditButton();
  if (FLeftButton.MouseIn || FRightButton.MouseIn) {
    FLeftButton.MouseIn = FRightButton.MouseIn = false;
    Invalidate();
  }
  if (OnMouseLeave) OnMouseLeave(this);
}

void TkxSkinCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE: {
      GetSkinData();
      RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                               : reinterpret_cast<RECT*>(Message.LParam);
      if (!r) return;
      if (!Skinned()) {
        const int32_t right = FButtonMode ? (r->bottom - r->top) + 2 : 2;
        r->left += 2, r->top += 2, r->bottom -= 2, r->right -= right;
      } else {
        r->left += ClRect.left, r->top += ClRect.top;
        r->right -= RectWidth(SkinRect) - ClRect.right;
        r->bottom -= RectHeight(SkinRect) - ClRect.bottom;
      }
      if (r->right < r->left) r->right = r->left;
      if (r->bottom < r->top) r->bottom = r->top;
      Message.Result = 0;
      return;
    }
    case WM_NCPAINT: {
      if (!FHandle) return;
      HDC dc = GetWindowDC(FHandle);
      if (!dc) return;
      PaintFrame(dc, true);
      ReleaseDC(FHandle, dc);
      InvalidateRect(FHandle, nullptr, TRUE);
      Message.Result = 0;
      return;
    }
    case KXM_PAINTNCTODC:
      if (Message.WParam) PaintFrame(reinterpret_cast<HDC>(Message.WParam), false);
      Message.Result = KX_PAINTNCTODC_ANSWER;
      return;
    case KXM_PAINTTODC:
      if (Message.LParam != kxPaintToDCKey) break;
      if (Message.WParam) PaintFrame(reinterpret_cast<HDC>(Message.WParam), true);
      Message.Result = kxPaintToDCKey;
      return;
    case WM_ERASEBKGND:
      DrawClient(reinterpret_cast<HDC>(Message.WParam));
      FStopDraw = true;
      Message.Result = 1;
      return;
    case WM_PAINT: {
      if (Message.WParam) {
        DrawClient(reinterpret_cast<HDC>(Message.WParam));
        FStopDraw = false;
        return;
      }
      // The erase that BeginPaint asks for already drew the client; otherwise draw it here.
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(FHandle, &ps);
      if (dc && !FStopDraw) DrawClient(dc);
      EndPaint(FHandle, &ps);
      FStopDraw = false;
      return;
    }
    case WM_NCHITTEST:
      if (ComponentState().Contains(csDesigning)) break;
      NCHitTest(Message);
      return;
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCLBUTTONUP: case WM_NCMOUSEMOVE:
      if (NCMouse(Message)) return;
      break;
    case WM_MOUSEMOVE:
      TkxCustomEdit::Dispatch(Message);
      if (FButtonActive) {
        FButtonActive = false;
        FrameRedraw();
      }
      return;
    case WM_MOUSELEAVE: case WM_NCMOUSELEAVE: {
      // Between the text area and the frame the pointer stays on the edit.
      POINT p;
      GetCursorPos(&p);
      if (FHandle && WindowFromPoint(p) == FHandle) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE | (Message.Msg == WM_MOUSELEAVE ? TME_NONCLIENT : 0);
        tme.hwndTrack = FHandle;
        TrackMouseEvent(&tme);
        return;
      }
      if (Message.Msg == WM_NCMOUSELEAVE) {
        if (MouseControl() == this) UpdateMouseControl(FindDragTarget(TPoint{p.x, p.y}, true));
        return;
      }
      break;
    }
    case CM_MOUSEENTER:
      TkxCustomEdit::Dispatch(Message);
      MouseEnter();
      return;
    case CM_MOUSELEAVE:
      TkxCustomEdit::Dispatch(Message);
      MouseLeave();
      return;
    case WM_SETFOCUS: case WM_KILLFOCUS: {
      TkxCustomEdit::Dispatch(Message);
      FrameRedraw();
      Invalidate();
      GetSkinData();
      if (Skinned() && !FMouseIn) Font()->SetColor(Message.Msg == WM_SETFOCUS ? ActiveFontColor : FontColor);
      LayoutImageButtons();
      return;
    }
    case CM_ENABLEDCHANGED:
      TkxCustomEdit::Dispatch(Message);
      FrameRedraw();
      Invalidate();
      return;
    case WM_SIZE:
      TkxCustomEdit::Dispatch(Message);
      LayoutImageButtons();
      FrameRedraw();
      return;
    case CM_FONTCHANGED:
      TkxCustomEdit::Dispatch(Message);
      if (!FUseSkinFont && !(ComponentState().Contains(csLoading) && ComponentState().Contains(csDesigning))) {
        ApplyFontHeight();
        if (!Skinned()) RecreateWnd();
      }
      return;
  }
  TkxCustomEdit::Dispatch(Message);
}

// ---- form streaming -----------------------------------------------------------------------------

void RegisterSkinEditFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxCustomEdit, TCustomMaskEdit>("TkxCustomEdit");
  RegisterFormClass<TkxSkinNumEdit, TkxCustomEdit>("TkxSkinNumEdit")
      .Boolean("EditorEnabled", &TkxSkinNumEdit::SetEditorEnabled);
  RegisterFormClass<TkxSkinCustomEdit, TkxCustomEdit>("TkxSkinCustomEdit");
  RegisterFormClass<TkxSkinEdit, TkxSkinCustomEdit>("TkxSkinEdit")
      .Reference<TkxSkinData>("SkinData", &TkxSkinEdit::SetSkinData)
      .String("SkinDataName", &TkxSkinEdit::SetSkinDataName)
      .Boolean("ButtonMode", &TkxSkinEdit::SetButtonMode)
      .Boolean("UseSkinFont", &TkxSkinEdit::SetUseSkinFont)
      .Integer("DefaultColor", &TkxSkinEdit::SetDefaultColor, ColorIdents())
      .Object("DefaultFont", &TkxSkinEdit::DefaultFont)
      .Integer("DefaultWidth", &TkxSkinEdit::SetDefaultWidth)
      .Integer("DefaultHeight", &TkxSkinEdit::SetDefaultHeight)
      .Reference<TCustomImageList>("Images", &TkxSkinEdit::SetImages)
      .Integer("LeftImageIndex", &TkxSkinEdit::SetLeftImageIndex)
      .Integer("RightImageIndex", &TkxSkinEdit::SetRightImageIndex)
      .Integer("LeftImageHotIndex", &TkxSkinEdit::SetLeftImageHotIndex)
      .Integer("LeftImageDownIndex", &TkxSkinEdit::SetLeftImageDownIndex)
      .Integer("RightImageHotIndex", &TkxSkinEdit::SetRightImageHotIndex)
      .Integer("RightImageDownIndex", &TkxSkinEdit::SetRightImageDownIndex)
      .Event<TNotifyEvent>("OnButtonClick", &TkxSkinEdit::OnButtonClick)
      .Event<TNotifyEvent>("OnLeftButtonClick", &TkxSkinEdit::OnLeftButtonClick)
      .Event<TNotifyEvent>("OnRightButtonClick", &TkxSkinEdit::OnRightButtonClick)
      .Event<TNotifyEvent>("OnMouseEnter", &TkxSkinEdit::OnMouseEnter)
      .Event<TNotifyEvent>("OnMouseLeave", &TkxSkinEdit::OnMouseLeave);
}
