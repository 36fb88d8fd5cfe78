#include "lib/controls/kxSkinLabels.h"

#include <algorithm>

#include "classlib/Streaming.h"
#include "classlib/streaming/Registrations.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/graphics/kxTextEffects.h"
#include "lib/graphics/kxPlainLook.h"
#include "platform/shell/ShellApi.h"

using namespace win;

namespace {

// Measures (DT_CALCRECT) without any window, so sizes are known before the label is shown.
TRect MeasureIn(TFont& F, const std::string& Text, UINT Flags, TRect R) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return R;
  HGDIOBJ old = SelectObject(dc, F.Handle());
  DrawText(dc, Text, &R, Flags | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  return R;
}

void DrawIn(TCanvas* C, TFont& F, TColor Color, const std::string& Text, TRect R, UINT Flags) {
  C->Font()->Assign(&F);
  C->Font()->SetColor(Color);
  C->Brush()->SetStyle(bsClear);
  C->TextExtent(" ");  // selects the font and its colour
  SetBkMode(C->Handle(), TRANSPARENT);
  DrawText(C->Handle(), Text, &R, Flags);
}

// Enabled text once in its colour; disabled text embossed: a highlight copy one pixel right and
// down, then the text in the shadow colour.
void DrawEmbossable(TCanvas* C, TFont& F, bool Enabled, int32_t Index, TkxSkinData* SD, const std::string& Text,
                    const TRect& R, UINT Flags) {
  if (Enabled) {
    DrawIn(C, F, F.Color(), Text, R, Flags);
    return;
  }
  const bool skinned = Index >= 0 && SD && SD->SkinColors();
  const TColor hi = skinned ? SD->SkinColors()->cBtnHighLight() : kxPlain.Highlight;
  const TColor sh = skinned ? SD->SkinColors()->cBtnShadow() : kxPlain.Shadow;
  DrawIn(C, F, hi, Text, TRect{R.left + 1, R.top + 1, R.right + 1, R.bottom + 1}, Flags);
  DrawIn(C, F, sh, Text, R, Flags);
}

UINT AlignmentFlag(TAlignment A) {
  return A == taCenter ? DT_CENTER : A == taRightJustify ? DT_RIGHT : DT_LEFT;
}

UINT EllipsisFlag(TkxEllipsType T) {
  return T == kxetEndEllips ? DT_END_ELLIPSIS : T == kxetPathEllips ? DT_PATH_ELLIPSIS : 0;
}

// The label's text as the class library measures it: an empty text (or a lone accelerator mark)
// still measures one line.
std::string LabelText(const std::string& Caption, UINT Flags, bool ShowAccelChar) {
  std::string text = Caption;
  if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar && text == "&"))) text += " ";
  return text;
}

std::unique_ptr<TFont> NewDefaultFont(bool Underline) {
  auto f = std::make_unique<TFont>();
  f->SetName("Arial");
  f->SetHeight(14);
  if (Underline) f->SetStyle(TFontStyles{fsUnderline});
  return f;
}

}  // namespace

// ---- TkxSkinLabelBinding ----------------------------------------------------------------------

TkxSkinLabelBinding::TkxSkinLabelBinding(TComponent* Host, bool Underline)
    : TkxSkinBinding(Host, "stdlabel"), FDefaultFont(NewDefaultFont(Underline)) {}

TkxSkinLabelBinding::~TkxSkinLabelBinding() = default;

void TkxSkinLabelBinding::SetSkinData(TkxSkinData* Value) {
  BindSkinData(Value);
  if (Value) ChangeSkinData();
}

void TkxSkinLabelBinding::SetDefaultFont(TFont* Value) {
  if (Value) FDefaultFont->Assign(Value);
}

// A record of another class than "stdlabel" carries none of the label's values, so the label then
// stays unskinned.
void TkxSkinLabelBinding::GetSkinData() {
  LookupSkinIndex();
  auto* r = SkinRecord<TkxDataSkinStdLabelControl>();
  if (!r) {
    FIndex = -1;
    return;
  }
  FValues.FontName = r->FontName;
  FValues.FontStyle = r->FontStyle;
  FValues.FontHeight = r->FontHeight;
  FValues.FontColor = r->FontColor;
  FValues.ActiveFontColor = r->ActiveFontColor;
}

void TkxSkinLabelBinding::LabelFont(TFont& F, TFont* OwnFont, bool UseSkinColor) const {
  F.Assign(FUseSkinFont ? FDefaultFont.get() : OwnFont);
  if (FIndex >= 0) {
    if (FUseSkinFont) {
      F.SetName(FValues.FontName);
      F.SetStyle(FValues.FontStyle);
      F.SetHeight(FValues.FontHeight);
    }
    F.SetColor(UseSkinColor ? FValues.FontColor : OwnFont->Color());
  }
  F.SetCharset(SkinCharset(FDefaultFont.get()));
}

// ---- TkxSkinStdLabel --------------------------------------------------------------------------

TkxSkinStdLabel::TkxSkinStdLabel(TComponent* AOwner)
    : TCustomLabel(AOwner), TkxSkinLabelBinding(this, false) {
  SetTransparent(true);
}

TkxSkinStdLabel::~TkxSkinStdLabel() = default;

void TkxSkinStdLabel::SetEllipsType(TkxEllipsType Value) {
  if (Value == FEllipsType) return;
  FEllipsType = Value;
  Invalidate();
}

void TkxSkinStdLabel::ChangeSkinData() {
  GetSkinData();
  if (AutoSize()) AdjustSize();
  Repaint();
}

void TkxSkinStdLabel::DrawLabelText(TCanvas* C, const std::string& Text, TRect& Rect, UINT Flags) {
  TFont f;
  LabelFont(f, Font(), FUseSkinColor);
  if (Flags & DT_CALCRECT) {
    Rect = MeasureIn(f, Text, Flags, Rect);
    return;
  }
  DrawEmbossable(C, f, Enabled(), FIndex, SkinData(), Text, Rect, Flags);
}

void TkxSkinStdLabel::DoDrawText(TRect& Rect, UINT Flags) {
  GetSkinData();
  const std::string text = LabelText(Caption(), Flags, ShowAccelChar());
  if (!ShowAccelChar()) Flags |= DT_NOPREFIX;
  Flags |= EllipsisFlag(FEllipsType);
  DrawLabelText(Canvas(), text, Rect, Flags);
}

void TkxSkinStdLabel::PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText) {
  if (!C) return;
  GetSkinData();
  TRect r{X, Y, X + Width(), Y + Height()};
  if (!Transparent()) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(r);
  }
  UINT flags = DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0) | AlignmentFlag(Alignment()) | EllipsisFlag(FEllipsType);
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;
  if (Layout() != tlTop) {
    TRect calc = r;
    DrawLabelText(C, LabelText(AText, DT_CALCRECT, ShowAccelChar()), calc, flags | DT_CALCRECT);
    const int32_t room = Height() - (calc.bottom - calc.top);
    r.top += Layout() == tlBottom ? room : room / 2;
  }
  DrawLabelText(C, AText, r, flags);
}

// ---- TkxSkinTextLabel -------------------------------------------------------------------------

TkxSkinTextLabel::TkxSkinTextLabel(TComponent* AOwner)
    : TGraphicControl(AOwner), TkxSkinLabelBinding(this, false), FLines(std::make_unique<TStringList>()) {
  FWidth = 65;
  FHeight = 65;
  FAutoSize = true;
  FControlStyle.Exclude(csOpaque);
  FControlStyle.Include(csReplicatable);
  FLines->OnChange = [this](TObject* Sender) { LinesChanged(Sender); };
}

TkxSkinTextLabel::~TkxSkinTextLabel() { FLines->OnChange = nullptr; }

void TkxSkinTextLabel::SetLines(TStrings* Value) {
  if (Value) FLines->Assign(Value);
  Repaint();
}

void TkxSkinTextLabel::LinesChanged(TObject*) {
  if (AutoSize()) AdjustBounds();
  Invalidate();
}

void TkxSkinTextLabel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TkxSkinTextLabel::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TkxSkinTextLabel::SetLayout(TTextLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Invalidate();
}

void TkxSkinTextLabel::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TkxSkinTextLabel::ChangeSkinData() {
  GetSkinData();
  if (AutoSize()) AdjustBounds();
  Repaint();
}

std::string TkxSkinTextLabel::GetLabelText() {
  std::string s;
  for (int32_t i = 0; i < FLines->Count(); ++i) s += FLines->Strings(i) + "\r\n";
  return s;
}

void TkxSkinTextLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TkxSkinTextLabel::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_FONTCHANGED) {
    TGraphicControl::Dispatch(Message);
    AdjustBounds();
    Invalidate();
    return;
  }
  TGraphicControl::Dispatch(Message);
}

void TkxSkinTextLabel::Paint() {
  GetSkinData();
  TFont f;
  LabelFont(f, Font(), FUseSkinColor);
  const std::string text = GetLabelText();
  TRect r = ClientRect();
  const UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | AlignmentFlag(FAlignment);
  if (FLayout != tlTop) {
    // The text ends with a line break; DrawText counts no empty line after a final break, so the
    // measured bottom is already the text's own.
    const int32_t bottom = MeasureIn(f, text, flags, r).bottom;
    const int32_t room = FHeight - bottom;
    r.top += FLayout == tlBottom ? room : room / 2;
  }
  DrawEmbossable(Canvas(), f, Enabled(), FIndex, SkinData(), text, r, flags);
}

void TkxSkinTextLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) return;
  GetSkinData();
  TFont f;
  LabelFont(f, Font(), FUseSkinColor);
  const TRect r = MeasureIn(f, GetLabelText(), DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0), ClientRect());
  // No empty line is counted after the final break; without lines the label takes no height.
  const int32_t h = std::max(0, int32_t(r.bottom));
  const int32_t w = std::max(0, int32_t(r.right));
  const int32_t left = FAlignment == taRightJustify ? FLeft + FWidth - w : FLeft;
  SetBounds(left, FTop, w, h);
}

// ---- TkxSkinLinkLabel -------------------------------------------------------------------------

TkxSkinLinkLabel::TkxSkinLinkLabel(TComponent* AOwner)
    : TCustomLabel(AOwner), TkxSkinLabelBinding(this, true) {
  SetCursor(crHandPoint);
  SetTransparent(true);
  Font()->Assign(FDefaultFont.get());
}

TkxSkinLinkLabel::~TkxSkinLinkLabel() = default;

void TkxSkinLinkLabel::SetUseUnderLine(bool Value) {
  if (Value == FUseUnderLine) return;
  FUseUnderLine = Value;
  Repaint();
}

void TkxSkinLinkLabel::ChangeSkinData() {
  GetSkinData();
  Repaint();
}

void TkxSkinLinkLabel::Click() {
  TCustomLabel::Click();
  if (!FURL.empty()) ShellExecute(nullptr, "open", FURL, "", "", SW_SHOWNORMAL);
}

void TkxSkinLinkLabel::Dispatch(TMessage& Message) {
  TCustomLabel::Dispatch(Message);
  if ((Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) &&
      !ComponentState().Contains(csDesigning)) {
    FMouseIn = Message.Msg == CM_MOUSEENTER;
    Repaint();
  }
}

void TkxSkinLinkLabel::DoDrawText(TRect& Rect, UINT Flags) {
  GetSkinData();
  const std::string text = LabelText(Caption(), Flags, ShowAccelChar());
  if (!ShowAccelChar()) Flags |= DT_NOPREFIX;
  TFont f;
  LabelFont(f, Font(), true);
  if (FIndex < 0) {
    if (FMouseIn) f.SetColor(FDefaultActiveFontColor);
    f.SetStyle(f.Style() + TFontStyles{fsUnderline});
  } else {
    f.SetColor(FMouseIn && !FGlowEffect ? FValues.ActiveFontColor : FValues.FontColor);
  }
  if (Flags & DT_CALCRECT) {
    f.SetStyle(FUseUnderLine ? f.Style() + TFontStyles{fsUnderline} : f.Style() - TFontStyles{fsUnderline});
    Rect = MeasureIn(f, text, Flags, Rect);
    // The glow moves the text down; an auto-sized label keeps room for it.
    if (FGlowEffect) Rect.bottom += std::max(0, FGlowSize);
    return;
  }
  TRect r2 = Rect;
  if (FGlowEffect) r2.top += FGlowSize, r2.bottom += FGlowSize;
  if (Enabled()) {
    f.SetStyle(FUseUnderLine ? f.Style() + TFontStyles{fsUnderline} : f.Style() - TFontStyles{fsUnderline});
    if (FMouseIn && FGlowEffect) {
      TCanvas* c = Canvas();
      c->Font()->Assign(&f);
      c->Brush()->SetStyle(bsClear);
      DrawGlowText(c, r2, text, Flags, 0, FIndex >= 0 ? FValues.ActiveFontColor : FDefaultActiveFontColor, FGlowSize);
      return;
    }
  }
  DrawEmbossable(Canvas(), f, Enabled(), FIndex, SkinData(), text, r2, Flags);
}

// ---- streaming --------------------------------------------------------------------------------

namespace {
constexpr std::initializer_list<std::pair<const char*, TAlignment>> kLabelAlignments = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
constexpr std::initializer_list<std::pair<const char*, TTextLayout>> kLabelLayouts = {
    {"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}};
}  // namespace

void RegisterSkinLabelFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinStdLabel, TCustomLabel>("TkxSkinStdLabel")
      .Enum<TkxEllipsType>("EllipsType", &TkxSkinStdLabel::SetEllipsType,
                           {{"kxetNone", kxetNone}, {"kxetEndEllips", kxetEndEllips}, {"kxetPathEllips", kxetPathEllips}})
      .Reference<TkxSkinData>("SkinData", &TkxSkinStdLabel::SetSkinData)
      .String("SkinDataName", &TkxSkinStdLabel::SetSkinDataName)
      .Object("DefaultFont", &TkxSkinStdLabel::DefaultFont)
      .Boolean("UseSkinFont", &TkxSkinStdLabel::SetUseSkinFont)
      .Boolean("UseSkinColor", &TkxSkinStdLabel::SetUseSkinColor);
  RegisterFormClass<TkxSkinTextLabel, TGraphicControl>("TkxSkinTextLabel")
      .Strings("Lines", &TkxSkinTextLabel::Lines)
      .Enum<TAlignment>("Alignment", &TkxSkinTextLabel::SetAlignment, kLabelAlignments)
      .Enum<TTextLayout>("Layout", &TkxSkinTextLabel::SetLayout, kLabelLayouts)
      .Boolean("WordWrap", &TkxSkinTextLabel::SetWordWrap)
      .Reference<TkxSkinData>("SkinData", &TkxSkinTextLabel::SetSkinData)
      .String("SkinDataName", &TkxSkinTextLabel::SetSkinDataName)
      .Object("DefaultFont", &TkxSkinTextLabel::DefaultFont)
      .Boolean("UseSkinFont", &TkxSkinTextLabel::SetUseSkinFont)
      .Boolean("UseSkinColor", &TkxSkinTextLabel::SetUseSkinColor);
  RegisterFormClass<TkxSkinLinkLabel, TCustomLabel>("TkxSkinLinkLabel")
      .String("URL", &TkxSkinLinkLabel::SetURL)
      .Boolean("UseUnderLine", &TkxSkinLinkLabel::SetUseUnderLine)
      .Boolean("GlowEffect", &TkxSkinLinkLabel::SetGlowEffect)
      .Integer("GlowSize", &TkxSkinLinkLabel::SetGlowSize)
      .Integer("DefaultActiveFontColor", &TkxSkinLinkLabel::SetDefaultActiveFontColor, ColorIdents())
      .Object("DefaultFont", &TkxSkinLinkLabel::DefaultFont)
      .Boolean("UseSkinFont", &TkxSkinLinkLabel::SetUseSkinFont)
      .Reference<TkxSkinData>("SkinData", &TkxSkinLinkLabel::SetSkinData)
      .String("SkinDataName", &TkxSkinLinkLabel::SetSkinDataName);
}
