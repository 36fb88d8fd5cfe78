#include "tools/skins/Skins.h"

#include <algorithm>
#include <memory>

namespace skingen {

const std::vector<Style>& Styles() {
  // Face, text, accent, field (edits and lists), caption top and bottom.
  static const std::vector<Style> styles = {
      {"经典蓝", false, 0xEEF2F8, 0x1B2430, 0x2F6FD0, 0xFFFFFF, 0x306CC6, 0x2657A6},
      {"石墨黑", true, 0x2B2D31, 0xE6E7EA, 0x4C8DF6, 0x1F2023, 0x232427, 0x1B1C1F},
      {"银色灰", false, 0xECEDEF, 0x202124, 0x56677A, 0xFFFFFF, 0xD9DCE1, 0xBFC4CB},
      {"深海蓝", true, 0x1B2538, 0xE3EAF5, 0x3DA5F4, 0x131B2A, 0x142036, 0x0E1828},
      {"薄荷绿", false, 0xEDF7F2, 0x17302A, 0x1E8A62, 0xFFFFFF, 0x3DB489, 0x2A9470},
      {"森林绿", true, 0x1F2A22, 0xE2ECE4, 0x5DBB63, 0x151D17, 0x18241B, 0x111A13},
      {"典雅紫", false, 0xF3F0FA, 0x241B36, 0x6A48B8, 0xFFFFFF, 0x8062C9, 0x6748AE},
      {"琥珀黄", false, 0xFBF6EC, 0x2E2210, 0xA8660A, 0xFFFFFF, 0xF2BF52, 0xE0A330},
      {"热情红", false, 0xFBF1EF, 0x2E1714, 0xB8321F, 0xFFFFFF, 0xC13F2E, 0xA83325},
      {"樱花粉", false, 0xFDF2F6, 0x33161F, 0xC2416F, 0xFFFFFF, 0xE88BAE, 0xD9709A},
      {"高对比", true, 0x000000, 0xFFFFFF, 0xFFD800, 0x000000, 0x000000, 0x000000, true},
  };
  return styles;
}

namespace {

const RGB kBlack = Hex(0), kWhite = Hex(0xFFFFFF);

// Every colour a skin uses, derived from its style so that the palette stays one family.
struct Palette {
  RGB face, text, accent, field, capTop, capBot;
  RGB border, frameLine, btnTop, btnBot, hotTop, hotBot, downTop, downBot, disFace, disBorder;
  RGB btnText, hotText, downText, disText, fieldText, fieldDisText;
  RGB sel, selText, selSoft, selSoftText, hover, hoverText;
  RGB capText, capTextInactive, menu, menuText, menuDis, hint, hintText, header, headerText;
  RGB tool, track, thumb, thumbHot, thumbDown, tab, tabText, glyph, link;
  RGB capHot, capDown, closeHot, closeDown, capGlyphInactive;
  bool dark, hc;
};

RGB Worst(RGB text, RGB a, RGB b, double ratio) { return WithContrast(WithContrast(text, a, ratio), b, ratio); }

Palette MakePalette(const Style& s) {
  Palette p;
  p.dark = s.Dark, p.hc = s.HighContrast;
  p.face = Hex(s.Face), p.text = Hex(s.Text), p.accent = Hex(s.Accent), p.field = Hex(s.Field);
  p.capTop = Hex(s.CaptionTop), p.capBot = Hex(s.CaptionBottom);
  const RGB toward = s.Dark ? kWhite : kBlack;
  p.border = s.HighContrast ? kWhite : Mix(p.face, toward, s.Dark ? 0.30 : 0.30);
  p.frameLine = s.HighContrast ? p.accent : s.Dark ? Mix(p.face, kWhite, 0.22) : Mix(p.capBot, kBlack, 0.25);
  if (s.HighContrast) {
    p.btnTop = p.btnBot = kBlack;
    p.hotTop = p.hotBot = Mix(kBlack, p.accent, 0.25);
    p.downTop = p.downBot = p.accent;
    p.disFace = kBlack, p.disBorder = Hex(0x9A9A9A);
  } else if (s.Dark) {
    p.btnTop = Mix(p.face, kWhite, 0.13), p.btnBot = Mix(p.face, kWhite, 0.07);
    p.hotTop = Mix(p.btnTop, p.accent, 0.22), p.hotBot = Mix(p.btnBot, p.accent, 0.22);
    p.downTop = Mix(p.face, p.accent, 0.45), p.downBot = Mix(p.face, p.accent, 0.50);
    p.disFace = Mix(p.face, kWhite, 0.04), p.disBorder = Mix(p.face, kWhite, 0.16);
  } else {
    p.btnTop = Mix(p.face, kWhite, 0.85), p.btnBot = Mix(p.face, kBlack, 0.03);
    p.hotTop = Mix(p.btnTop, p.accent, 0.10), p.hotBot = Mix(p.btnBot, p.accent, 0.16);
    p.downTop = Mix(p.face, p.accent, 0.30), p.downBot = Mix(p.face, p.accent, 0.22);
    p.disFace = Mix(p.face, kWhite, 0.35), p.disBorder = Mix(p.face, kBlack, 0.14);
  }
  p.btnText = Worst(p.text, p.btnTop, p.btnBot, 4.5);
  p.hotText = Worst(p.text, p.hotTop, p.hotBot, 4.5);
  p.downText = Worst(s.HighContrast ? kBlack : p.text, p.downTop, p.downBot, 4.5);
  p.disText = WithContrast(Mix(p.text, p.disFace, 0.55), p.disFace, 3.0);
  p.fieldText = WithContrast(p.text, p.field, 4.5);
  p.fieldDisText = WithContrast(Mix(p.text, p.field, 0.55), p.field, 3.0);
  p.sel = p.accent;
  p.selText = WithContrast(Contrast(kWhite, p.sel) >= Contrast(kBlack, p.sel) ? kWhite : kBlack, p.sel, 4.5);
  p.selSoft = s.HighContrast ? Mix(kBlack, p.accent, 0.35) : Mix(p.field, p.accent, s.Dark ? 0.28 : 0.16);
  p.selSoftText = WithContrast(p.text, p.selSoft, 4.5);
  p.hover = s.HighContrast ? Mix(kBlack, p.accent, 0.2) : Mix(p.field, p.accent, s.Dark ? 0.14 : 0.08);
  p.hoverText = WithContrast(p.text, p.hover, 4.5);
  RGB capBase = Contrast(kWhite, p.capBot) >= Contrast(kBlack, p.capBot) ? kWhite : kBlack;
  p.capText = Worst(capBase, p.capTop, p.capBot, 4.5);
  p.capTextInactive = Worst(Mix(capBase, p.capBot, 0.35), p.capTop, p.capBot, 4.5);
  p.capHot = s.HighContrast ? Mix(kBlack, p.accent, 0.35) : Mix(p.capBot, capBase, 0.18);
  p.capDown = s.HighContrast ? p.accent : Mix(p.capBot, capBase, 0.30);
  p.closeHot = Hex(0xD83B2D), p.closeDown = Hex(0xB02A1E);
  // On a red caption the usual red would not show: the close button darkens the caption instead.
  if (Contrast(p.closeHot, p.capBot) < 1.6) p.closeHot = Mix(p.capBot, kBlack, 0.35), p.closeDown = Mix(p.capBot, kBlack, 0.5);
  p.capGlyphInactive = Mix(p.capText, p.capBot, 0.4);
  p.menu = s.HighContrast ? kBlack : (s.Dark ? Mix(p.face, kWhite, 0.05) : Mix(p.face, kWhite, 0.75));
  p.menuText = WithContrast(p.text, p.menu, 4.5);
  p.menuDis = WithContrast(Mix(p.text, p.menu, 0.55), p.menu, 3.0);
  p.hint = s.HighContrast ? kBlack : (s.Dark ? Mix(p.face, kWhite, 0.10) : Mix(kWhite, p.accent, 0.06));
  p.hintText = WithContrast(p.text, p.hint, 4.5);
  p.header = s.HighContrast ? Mix(kBlack, p.accent, 0.3) : Mix(p.face, p.accent, s.Dark ? 0.22 : 0.12);
  p.headerText = WithContrast(p.text, p.header, 4.5);
  p.tool = s.HighContrast ? kBlack : (s.Dark ? Mix(p.face, kWhite, 0.03) : Mix(p.face, kWhite, 0.45));
  p.track = s.HighContrast ? kBlack : Mix(p.face, toward, 0.06);
  p.thumb = s.HighContrast ? Hex(0xBDBDBD) : Mix(p.face, toward, 0.28);
  p.thumbHot = s.HighContrast ? kWhite : Mix(p.face, toward, 0.40);
  p.thumbDown = p.accent;
  p.tab = s.HighContrast ? kBlack : Mix(p.face, toward, 0.07);
  p.tabText = WithContrast(p.text, p.tab, 4.5);
  p.glyph = s.HighContrast ? kWhite : Mix(p.text, p.face, 0.25);
  p.link = WithContrast(p.accent, p.face, 4.5);
  return p;
}

std::unique_ptr<TkxBitmap> NewBitmap(int w, int h, RGB fill) {
  auto b = std::make_unique<TkxBitmap>();
  b->SetSize(w, h);
  Painter(*b).Fill(0, 0, w, h, fill);
  return b;
}

// A chevron centred in the cell; dir 0 left, 1 right, 2 up, 3 down.
void Chevron(Painter& p, double cx, double cy, double s, int dir, RGB c, double w = 1.5) {
  double a = s, b = s / 2;
  switch (dir) {
    case 0: p.Line(cx + b / 2, cy - a, cx - b / 2, cy, w, c), p.Line(cx - b / 2, cy, cx + b / 2, cy + a, w, c); break;
    case 1: p.Line(cx - b / 2, cy - a, cx + b / 2, cy, w, c), p.Line(cx + b / 2, cy, cx - b / 2, cy + a, w, c); break;
    case 2: p.Line(cx - a, cy + b / 2, cx, cy - b / 2, w, c), p.Line(cx, cy - b / 2, cx + a, cy + b / 2, w, c); break;
    default: p.Line(cx - a, cy - b / 2, cx, cy + b / 2, w, c), p.Line(cx, cy + b / 2, cx + a, cy - b / 2, w, c); break;
  }
}

// A rounded box with a one-pixel border and a vertical gradient, over what is there.
void Box(Painter& p, double x0, double y0, double x1, double y1, double r, RGB border, RGB top, RGB bottom) {
  p.RoundRect(x0, y0, x1, y1, r, border);
  p.RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(0.0, r - 1), [&](double t) { return Mix(top, bottom, t); });
}

class Builder {
public:
  Builder(const Style& s, TkxSkinData& sd) : S(s), P(MakePalette(s)), SD(sd) {}
  void Build();

private:
  int AddPicture(const std::string& Name, TkxBitmap& B) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->Assign(&B);
    bmp->SetPixelFormat(pf24bit);
    SD.FActivePictures.push_back(std::move(bmp));
    SD.FActivePicturesNames->Add(Name);
    return int(SD.FActivePictures.size()) - 1;
  }
  template <typename T>
  T* Control(const std::string& Kind, const std::string& Name) {
    auto r = CreateSkinControlRecord(Kind, Name);
    T* t = dynamic_cast<T*>(r.get());
    SD.CtrlList.push_back(std::move(r));
    return t;
  }
  template <typename T>
  T* Object(const std::string& Kind, const std::string& Name) {
    auto r = CreateSkinObjectRecord(Kind, Name);
    T* t = dynamic_cast<T*>(r.get());
    SD.ObjectList.push_back(std::move(r));
    return t;
  }
  template <typename T>
  void Font(T* r, RGB c) {
    r->FontName = "Arial";
    r->FontHeight = 12;
    r->FontColor = ToTColor(c);
  }
  static void NinePart(TkxDataSkinCustomControl* r, int w, int h, int m, TRect cl) {
    r->LTPoint = {m, m}, r->RTPoint = {w - m, m}, r->LBPoint = {m, h - m}, r->RBPoint = {w - m, h - m};
    r->ClRect = cl;
    r->LeftStretch = r->TopStretch = r->RightStretch = r->BottomStretch = true;
    r->StretchEffect = true;
  }
  static void Horizontal(TkxDataSkinCustomControl* r, int w, int l, int rr, TRect cl) {
    r->LTPoint = {l, 0}, r->RTPoint = {w - rr, 0};
    r->ClRect = cl;
    r->StretchEffect = true;
  }

  void Frame();
  void Objects();
  void Buttons();
  void Panels();
  void CheckRadio();
  void Edits();
  void Lists();
  void ScrollBars();
  void Others();
  void Singles();

  const Style& S;
  Palette P;
  TkxSkinData& SD;
  int FramePic = -1;
};

// ---- frame ------------------------------------------------------------------------------------
void Builder::Frame() {
  auto b = NewBitmap(kFrameW, kFrameH, P.face);
  Painter p(*b);
  p.Fill(0, 0, kFrameW, kFrameH, P.capBot);
  p.FillV(1, 1, kFrameW - 1, kCaptionH, P.capTop, P.capBot);
  p.Fill(kBorder, kCaptionH, kFrameW - kBorder, kFrameH - kBorder, P.face);
  // The outer line, and a faint line where the client starts on light captions.
  p.Fill(0, 0, kFrameW, 1, P.frameLine), p.Fill(0, kFrameH - 1, kFrameW, kFrameH, P.frameLine);
  p.Fill(0, 0, 1, kFrameH, P.frameLine), p.Fill(kFrameW - 1, 0, kFrameW, kFrameH, P.frameLine);
  SD.FPicture->Assign(b.get());
  SD.FPicture->SetPixelFormat(pf24bit);
  SD.FPictureName = "frame.bmp";
  SD.LTPoint = {kBorder, kCaptionH}, SD.RTPoint = {kFrameW - kBorder, kCaptionH};
  SD.LBPoint = {kBorder, kFrameH - kBorder}, SD.RBPoint = {kFrameW - kBorder, kFrameH - kBorder};
  SD.ClRect = {kBorder, kCaptionH, kFrameW - kBorder, kFrameH - kBorder};
  SD.CaptionRect = {kBorder, 0, kFrameW - kBorder, kCaptionH};
  SD.ButtonsRect = {kFrameW - 1 - 3 * 34, 1, kFrameW - 1, kCaptionH - 1};
  SD.ButtonsOffset = 0;
  SD.BorderW = kBorder;
  SD.TopStretch = SD.LeftStretch = SD.RightStretch = SD.BottomStretch = true;
  SD.HitTestLTPoint = SD.LTPoint, SD.HitTestRTPoint = SD.RTPoint;
  SD.HitTestLBPoint = SD.LBPoint, SD.HitTestRBPoint = SD.RBPoint;
}

// ---- frame objects: caption, caption buttons, menu bar item, menu item --------------------------
void Builder::Objects() {
  constexpr int CW = 34, CH = kCaptionH - 2;
  constexpr int AW = 5 * CW, MenuY = 4 * CH;
  auto b = NewBitmap(AW, MenuY + 22 + 22 * 2 + 7, P.menu);
  Painter p(*b);
  // Every caption-button cell starts as the caption band it is drawn over (rows 1 .. 28).
  for (int row = 0; row < 4; ++row)
    for (int y = 0; y < CH; ++y) {
      RGB c = Mix(P.capTop, P.capBot, double(y) / (kCaptionH - 2));
      p.Fill(0, row * CH + y, AW, row * CH + y + 1, c);
    }
  enum { Close, Max, Restore, Min };
  auto glyph = [&](int kind, int cell, int row, RGB c) {
    double x = cell * CW + CW / 2.0, y = row * CH + CH / 2.0;
    switch (kind) {
      case Close: p.Line(x - 5, y - 5, x + 5, y + 5, 1.4, c), p.Line(x + 5, y - 5, x - 5, y + 5, 1.4, c); break;
      case Max: p.RoundFrame(x - 5, y - 5, x + 5, y + 5, 1, 1.2, c); break;
      case Restore:
        p.RoundFrame(x - 5, y - 3, x + 3, y + 5, 1, 1.2, c);
        p.Line(x - 2.5, y - 5.4, x + 5.4, y - 5.4, 1.2, c), p.Line(x + 5.4, y - 5.4, x + 5.4, y + 2.5, 1.2, c);
        break;
      default: p.Line(x - 5, y + 0.5, x + 5, y + 0.5, 1.2, c); break;
    }
  };
  RGB dis = Mix(P.capText, P.capBot, 0.6);
  for (int kind = 0; kind < 4; ++kind) {
    int row = kind;
    RGB hot = kind == Close ? P.closeHot : P.capHot, down = kind == Close ? P.closeDown : P.capDown;
    p.Fill(1 * CW, row * CH, 2 * CW, row * CH + CH, hot);
    p.Fill(2 * CW, row * CH, 3 * CW, row * CH + CH, down);
    RGB onHot = kind == Close ? kWhite : WithContrast(P.capText, hot, 4.5);
    RGB onDown = kind == Close ? kWhite : WithContrast(P.capText, down, 4.5);
    glyph(kind, 0, row, P.capText);
    glyph(kind, 1, row, onHot);
    glyph(kind, 2, row, onDown);
    glyph(kind, 3, row, P.capGlyphInactive);
    glyph(kind, 4, row, dis);
  }
  auto cell = [&](int c, int row) { return TRect{c * CW, row * CH, c * CW + CW, row * CH + CH}; };
  // Menu bar items: normal, hot and pressed (rows MenuY .. MenuY + 22).
  p.Fill(0, MenuY, AW, MenuY + 22, P.face);
  // Mixed from the bar's own face: the field-based hover tint vanishes on a light bar.
  const RGB barHot = Mix(P.face, P.accent, 0.18), barDown = Mix(P.face, P.accent, 0.32);
  p.RoundRect(41, MenuY + 2, 79, MenuY + 20, 3, barHot);
  p.RoundRect(81, MenuY + 2, 119, MenuY + 20, 3, barDown);
  // Menu items: normal, hot, and the divider.
  const int MI = MenuY + 22;
  p.Fill(0, MI, AW, MI + 44, P.menu);
  p.RoundRect(2, MI + 22 + 1, 118, MI + 44 - 1, 3, P.sel);
  p.Fill(0, MI + 44, AW, MI + 51, P.menu);
  p.Fill(4, MI + 47, 116, MI + 48, Mix(P.menu, P.border, 0.8));
  const int pic = AddPicture("objects.bmp", *b);

  auto* cap = Object<TkxDataSkinCaption>("caption", "caption");
  cap->SkinRect = {0, 0, kFrameW - 2, kCaptionH - 2};
  cap->FontName = "Arial", cap->FontHeight = 13, cap->FontStyle = TFontStyles{fsBold};
  cap->FontColor = ToTColor(P.capTextInactive), cap->ActiveFontColor = ToTColor(P.capText);
  cap->Alignment = taLeftJustify;
  cap->TextRct = {10, 2, kFrameW - 2 - 3 * CW - 6, kCaptionH - 3};
  cap->ActivePictureIndex = pic;
  cap->StretchEffect = true;

  struct Btn {
    const char* Name;
    TkxStdCommand Cmd;
    int Row;
    const char* Hint;
  };
  for (const Btn& bt : {Btn{"closebutton", cmClose, Close, "关闭"}, Btn{"maxbutton", cmMaximize, Max, "最大化"},
                        Btn{"minbutton", cmMinimize, Min, "最小化"}}) {
    auto* o = Object<TkxDataSkinStdButton>("stdbutton", bt.Name);
    o->Hint = bt.Hint;
    o->Command = bt.Cmd;
    o->SkinRectInAPicture = true;
    o->ActivePictureIndex = pic;
    o->SkinRect = cell(0, bt.Row), o->ActiveSkinRect = cell(1, bt.Row), o->DownRect = cell(2, bt.Row);
    o->InActiveSkinRect = cell(3, bt.Row), o->DisableSkinRect = cell(4, bt.Row);
    if (bt.Cmd == cmMaximize) {
      o->RestoreHint = "还原";
      o->RestoreRect = cell(0, Restore), o->RestoreActiveRect = cell(1, Restore);
      o->RestoreDownRect = cell(2, Restore), o->RestoreInActiveRect = cell(3, Restore);
    }
  }

  auto* mb = Object<TkxDataSkinMainMenuBarItem>("mainmenubaritem", "menubaritem");
  mb->SkinRectInAPicture = true;
  mb->ActivePictureIndex = pic;
  mb->SkinRect = {0, MenuY, 40, MenuY + 22}, mb->ActiveSkinRect = {40, MenuY, 80, MenuY + 22};
  mb->DownRect = {80, MenuY, 120, MenuY + 22};
  mb->FontName = "Arial", mb->FontHeight = 12;
  mb->FontColor = ToTColor(WithContrast(P.text, P.face, 4.5));
  mb->ActiveFontColor = ToTColor(WithContrast(P.text, barHot, 4.5));
  mb->DownFontColor = ToTColor(WithContrast(P.text, barDown, 4.5));
  mb->UnEnabledFontColor = ToTColor(WithContrast(Mix(P.text, P.face, 0.55), P.face, 3.0));
  mb->TextRct = {6, 2, 34, 20};
  mb->ItemLO = 5, mb->ItemRO = 5;
  mb->StretchEffect = true;

  auto* mi = Object<TkxDataSkinMenuItem>("menuitem", "menuitem");
  mi->SkinRectInAPicture = true;
  mi->ActivePictureIndex = pic;
  mi->SkinRect = {0, MI, 120, MI + 22}, mi->ActiveSkinRect = {0, MI + 22, 120, MI + 44};
  mi->DividerRect = {0, MI + 44, 120, MI + 51};
  mi->DividerLO = 5, mi->DividerRO = 5, mi->ItemLO = 5, mi->ItemRO = 5;
  mi->FontName = "Arial", mi->FontHeight = 12;
  mi->FontColor = ToTColor(P.menuText), mi->ActiveFontColor = ToTColor(P.selText);
  mi->UnEnabledFontColor = ToTColor(P.menuDis);
  mi->TextRct = {28, 2, 110, 20};
  mi->ImageRct = {6, 3, 22, 19};
  mi->UseImageColor = true;
  mi->ImageColor = ToTColor(P.menuText), mi->ActiveImageColor = ToTColor(P.selText);
  mi->StretchEffect = mi->DividerStretchEffect = mi->InActiveStretchEffect = true;
}

// ---- buttons ----------------------------------------------------------------------------------
void Builder::Buttons() {
  constexpr int W = 75, H = 25;
  {
    auto b = NewBitmap(5 * W, H, P.face);
    Painter p(*b);
    Box(p, 0, 0, W, H, 4, P.border, P.btnTop, P.btnBot);
    Box(p, W, 0, 2 * W, H, 4, P.hc ? P.accent : Mix(P.border, P.accent, 0.6), P.hotTop, P.hotBot);
    Box(p, 2 * W, 0, 3 * W, H, 4, P.hc ? P.accent : Mix(P.border, P.accent, 0.8), P.downTop, P.downBot);
    Box(p, 3 * W, 0, 4 * W, H, 4, P.disBorder, P.disFace, P.disFace);
    Box(p, 4 * W, 0, 5 * W, H, 4, P.accent, P.btnTop, P.btnBot);
    p.RoundFrame(4 * W + 1, 1, 5 * W - 1, H - 1, 3, 1, Mix(P.btnTop, P.accent, 0.45));
    const int pic = AddPicture("button.bmp", *b);
    for (const char* name : {"button", "resizebutton", "combobutton", "editbutton", "menuitembutton",
                             "officequickbutton"}) {
      auto* r = Control<TkxDataSkinButtonControl>("button", name);
      r->PictureIndex = pic;
      r->SkinRect = {0, 0, W, H};
      NinePart(r, W, H, 5, {5, 5, W - 5, H - 5});
      r->ActiveSkinRect = {W, 0, 2 * W, H}, r->DownSkinRect = {2 * W, 0, 3 * W, H};
      r->DisabledSkinRect = {3 * W, 0, 4 * W, H}, r->FocusedSkinRect = {4 * W, 0, 5 * W, H};
      Font(r, P.btnText);
      r->ActiveFontColor = ToTColor(P.hotText), r->DownFontColor = ToTColor(P.downText);
      r->DisabledFontColor = ToTColor(P.disText);
    }
  }
  {
    // Tool buttons lie flat on the tool bar until the mouse comes.
    constexpr int T = 40;
    auto b = NewBitmap(4 * T, T, P.tool);
    Painter p(*b);
    Box(p, T, 0, 2 * T, T, 4, P.hc ? P.accent : Mix(P.border, P.accent, 0.5), P.hotTop, P.hotBot);
    Box(p, 2 * T, 0, 3 * T, T, 4, P.hc ? P.accent : Mix(P.border, P.accent, 0.8), P.downTop, P.downBot);
    const int pic = AddPicture("toolbutton.bmp", *b);
    RGB toolText = WithContrast(P.text, P.tool, 4.5);
    auto fill = [&](TkxDataSkinButtonControl* r) {
      r->PictureIndex = pic;
      r->SkinRect = {0, 0, T, T};
      NinePart(r, T, T, 5, {5, 5, T - 5, T - 5});
      r->ActiveSkinRect = {T, 0, 2 * T, T}, r->DownSkinRect = {2 * T, 0, 3 * T, T};
      r->DisabledSkinRect = {3 * T, 0, 4 * T, T};
      Font(r, toolText);
      r->ActiveFontColor = ToTColor(P.hotText), r->DownFontColor = ToTColor(P.downText);
      r->DisabledFontColor = ToTColor(WithContrast(Mix(P.text, P.tool, 0.55), P.tool, 3.0));
    };
    for (const char* name : {"toolbutton", "bigtoolbutton", "htracktoolbutton", "vtracktoolbutton"})
      fill(Control<TkxDataSkinButtonControl>("button", name));
    // The resizable tool button also heads the job list's columns: at rest it keeps a faint
    // line on its right, which parts the header's sections (and sits between tool buttons).
    p.Fill(T - 1, 6, T, T - 6, P.hc ? P.border : Mix(P.border, P.tool, 0.55));
    const int resizePic = AddPicture("resizetoolbutton.bmp", *b);
    auto* resize = Control<TkxDataSkinButtonControl>("button", "resizetoolbutton");
    fill(resize);
    resize->PictureIndex = resizePic;
    for (const char* name : {"toolmenubutton", "bigtoolmenubutton", "toolmenutrackbutton", "bigtoolmenutrackbutton"}) {
      auto* r = Control<TkxDataSkinMenuButtonControl>("menubutton", name);
      fill(r);
      r->TrackButtonRect = {T - 15, 0, T, T};
    }
  }
}

// ---- panels, group boxes, tool bars, status bar --------------------------------------------------
void Builder::Panels() {
  {
    auto b = NewBitmap(60, 60, P.face);
    Painter p(*b);
    p.RoundFrame(0, 0, 60, 60, 3, 1, P.border);
    const int pic = AddPicture("panel.bmp", *b);
    auto* r = Control<TkxDataSkinPanelControl>("panel", "panel");
    r->PictureIndex = pic, r->SkinRect = {0, 0, 60, 60};
    NinePart(r, 60, 60, 4, {3, 3, 57, 57});
    Font(r, WithContrast(P.text, P.face, 4.5));
    auto* sb = Control<TkxDataSkinScrollBoxControl>("scrollbox", "scrollbox");
    sb->PictureIndex = pic, sb->SkinRect = {0, 0, 60, 60};
    NinePart(sb, 60, 60, 4, {3, 3, 57, 57});
  }
  {
    constexpr int W = 80, H = 60, HB = 22;
    auto b = NewBitmap(W, H, P.face);
    Painter p(*b);
    p.RoundRect(0, 0, W, H, 3, P.border);
    p.RoundRect(1, 1, W - 1, H - 1, 2, P.face);
    p.RoundRect(1, 1, W - 1, HB + 2, 2, P.header);
    p.Fill(1, HB, W - 1, HB + 1, Mix(P.header, P.border, 0.7));
    p.Fill(1, HB + 1, W - 1, HB + 3, P.face);
    const int pic = AddPicture("groupbox.bmp", *b);
    auto* r = Control<TkxDataSkinPanelControl>("panel", "groupbox");
    r->PictureIndex = pic, r->SkinRect = {0, 0, W, H};
    r->LTPoint = {10, HB + 2}, r->RTPoint = {W - 10, HB + 2}, r->LBPoint = {10, H - 4}, r->RBPoint = {W - 10, H - 4};
    r->ClRect = {3, HB + 2, W - 3, H - 3};
    r->LeftStretch = r->TopStretch = r->RightStretch = r->BottomStretch = r->StretchEffect = true;
    r->CaptionRect = {8, 1, W - 8, HB};
    r->Alignment = taLeftJustify;
    Font(r, P.headerText);
    r->FontStyle = TFontStyles{fsBold};
  }
  {
    constexpr int W = 60, H = 40;
    auto b = NewBitmap(W, H, P.tool);
    Painter p(*b);
    p.Fill(0, H - 1, W, H, Mix(P.tool, P.border, 0.8));
    const int pic = AddPicture("toolpanel.bmp", *b);
    for (const char* name : {"toolpanel", "resizetoolpanel", "bigtoolpanel"}) {
      auto* r = Control<TkxDataSkinPanelControl>("panel", name);
      r->PictureIndex = pic, r->SkinRect = {0, 0, W, H};
      NinePart(r, W, H, 3, {0, 0, W, H - 1});
      Font(r, WithContrast(P.text, P.tool, 4.5));
    }
  }
  {
    constexpr int W = 60, H = 21;
    RGB bar = P.hc ? kBlack : Mix(P.face, P.dark ? kBlack : P.border, 0.25);
    auto b = NewBitmap(W, H, bar);
    Painter p(*b);
    p.Fill(0, 0, W, 1, P.border);
    // Size grip dots.
    const int g = AddPicture("statusbar.bmp", *b);
    auto* r = Control<TkxDataSkinPanelControl>("panel", "statusbar");
    r->PictureIndex = g, r->SkinRect = {0, 0, W, H};
    NinePart(r, W, H, 3, {3, 2, W - 3, H - 1});
    Font(r, WithContrast(P.text, bar, 4.5));
  }
  {
    // Header rows of menus and the office list.
    constexpr int W = 60, H = 20;
    auto b = NewBitmap(W, H, P.menu);
    Painter p(*b);
    p.Fill(0, 0, W, H, P.header);
    p.Fill(0, H - 1, W, H, Mix(P.header, P.accent, 0.5));
    const int pic = AddPicture("header.bmp", *b);
    for (const char* name : {"menuheader", "label"}) {
      auto* r = Control<TkxDataSkinLabelControl>("label", name);
      r->PictureIndex = pic, r->SkinRect = {0, 0, W, H};
      Horizontal(r, W, 4, 4, {6, 0, W - 6, H - 1});
      Font(r, P.headerText);
      r->FontStyle = TFontStyles{fsBold};
    }
  }
}

// ---- check and radio boxes ----------------------------------------------------------------------
void Builder::CheckRadio() {
  constexpr int W = 80, H = 17, B = 15;
  for (int radio = 0; radio < 2; ++radio) {
    auto bmp = NewBitmap(W + 8 * B, H, P.face);
    Painter p(*bmp);
    // 0 unchecked, 1 checked, 2 hot unchecked, 3 hot checked, 4 disabled unchecked,
    // 5 disabled checked, 6 grayed, 7 hot grayed.
    for (int i = 0; i < 8; ++i) {
      double x = W + i * B, y = 1;
      bool hot = i == 2 || i == 3 || i == 7, dis = i == 4 || i == 5, on = i == 1 || i == 3 || i == 5;
      bool grey = i == 6 || i == 7;
      RGB border = dis ? P.disBorder : hot ? P.accent : Mix(P.border, P.text, 0.25);
      RGB fill = dis ? P.disFace : hot ? P.hover : P.field;
      RGB mark = dis ? Mix(P.accent, P.disFace, 0.55) : P.accent;
      if (radio) {
        p.Circle(x + B / 2.0, y + B / 2.0, B / 2.0 - 0.5, border);
        p.Circle(x + B / 2.0, y + B / 2.0, B / 2.0 - 1.5, fill);
        if (on) p.Circle(x + B / 2.0, y + B / 2.0, 3.6, mark);
        if (grey) p.Circle(x + B / 2.0, y + B / 2.0, 3, Mix(fill, P.text, 0.45));
      } else if (on) {
        p.RoundRect(x + 0.5, y + 0.5, x + B - 0.5, y + B - 0.5, 3, mark);
        RGB tick = dis ? P.disFace : WithContrast(kWhite, mark, 3.0);
        p.Line(x + 3.5, y + 7.8, x + 6.3, y + 10.6, 1.8, tick), p.Line(x + 6.3, y + 10.6, x + 11.6, y + 4.6, 1.8, tick);
      } else {
        Box(p, x + 0.5, y + 0.5, x + B - 0.5, y + B - 0.5, 3, border, fill, fill);
        if (grey) p.RoundRect(x + 4, y + 4, x + B - 4, y + B - 4, 1.5, Mix(fill, P.text, 0.45));
      }
    }
    const int pic = AddPicture(radio ? "radiobox.bmp" : "checkbox.bmp", *bmp);
    auto* r = Control<TkxDataSkinCheckRadioControl>("checkradio", radio ? "radiobox" : "checkbox");
    r->PictureIndex = pic, r->SkinRect = {0, 0, W, H};
    Horizontal(r, W, 20, 20, {20, 0, W - 20, H});
    r->CheckImageArea = {0, 1, B, 1 + B}, r->TextArea = {19, 0, W, H};
    auto img = [&](int i) { return TRect{W + i * B, 1, W + i * B + B, 1 + B}; };
    r->UnCheckImageRect = img(0), r->CheckImageRect = img(1);
    r->ActiveUnCheckImageRect = img(2), r->ActiveCheckImageRect = img(3);
    r->UnEnabledUnCheckImageRect = img(4), r->UnEnabledCheckImageRect = img(5);
    r->GrayedCheckImageRect = img(6), r->ActiveGrayedCheckImageRect = img(7);
    RGB t = WithContrast(P.text, P.face, 4.5);
    Font(r, t);
    r->ActiveFontColor = ToTColor(t), r->FrameFontColor = ToTColor(t);
    r->UnEnabledFontColor = ToTColor(WithContrast(Mix(P.text, P.face, 0.55), P.face, 3.0));
  }
}

// ---- edits and combo box ------------------------------------------------------------------------
void Builder::Edits() {
  constexpr int H = 21;
  RGB focusBorder = P.accent, hotBorder = P.hc ? P.accent : Mix(P.border, P.accent, 0.5);
  {
    constexpr int W = 100;
    auto b = NewBitmap(2 * W, H, P.face);
    Painter p(*b);
    Box(p, 0, 0, W, H, 3, P.border, P.field, P.field);
    Box(p, W, 0, 2 * W, H, 3, focusBorder, P.field, P.field);
    p.RoundFrame(W + 1, 1, 2 * W - 1, H - 1, 2, 1, Mix(P.field, P.accent, 0.35));
    const int pic = AddPicture("edit.bmp", *b);
    auto* r = Control<TkxDataSkinEditControl>("edit", "edit");
    r->PictureIndex = pic, r->SkinRect = {0, 0, W, H}, r->ActiveSkinRect = {W, 0, 2 * W, H};
    NinePart(r, W, H, 4, {4, 3, W - 4, H - 3});
    Font(r, P.fieldText);
    r->ActiveFontColor = ToTColor(P.fieldText), r->DisabledFontColor = ToTColor(P.fieldDisText);
    auto* m = Control<TkxDataSkinMemoControl>("memo", "memo");
    m->PictureIndex = pic, m->SkinRect = {0, 0, W, H}, m->ActiveSkinRect = {W, 0, 2 * W, H};
    NinePart(m, W, H, 4, {4, 3, W - 4, H - 3});
    Font(m, P.fieldText);
    m->ActiveFontColor = ToTColor(P.fieldText), m->DisabledFontColor = ToTColor(P.fieldDisText);
    m->BGColor = m->ActiveBGColor = ToTColor(P.field);
  }
  // The drop button of edits and combo boxes: normal inside the control, then hot, pressed and
  // disabled beside it.
  auto dropButton = [&](Painter& p, int x, int y, int w, int h, int state, bool dots) {
    RGB bg = state == 1 ? P.hover : state == 2 ? P.selSoft : P.field;
    p.Fill(x, y, x + w, y + h, P.field);
    if (state == 1 || state == 2) p.RoundRect(x + 1, y + 1, x + w - 1, y + h - 1, 2, bg);
    RGB g = state == 3 ? Mix(P.glyph, P.field, 0.55) : state == 2 ? P.selSoftText : P.glyph;
    if (dots)
      for (int i = -1; i <= 1; ++i) p.Circle(x + w / 2.0 + i * 4, y + h / 2.0 + 0.5, 1.2, g);
    else
      Chevron(p, x + w / 2.0, y + h / 2.0, 3.5, 3, g, 1.5);
  };
  {
    constexpr int W = 120, BW = 18;
    auto b = NewBitmap(W + 3 * BW, H, P.face);
    Painter p(*b);
    Box(p, 0, 0, W, H, 3, P.border, P.field, P.field);
    dropButton(p, W - 2 - BW, 2, BW, H - 4, 0, true);
    for (int s = 1; s <= 3; ++s) dropButton(p, W + (s - 1) * BW, 2, BW, H - 4, s, true);
    const int pic = AddPicture("buttonedit.bmp", *b);
    auto* r = Control<TkxDataSkinEditControl>("edit", "buttonedit");
    r->PictureIndex = pic, r->SkinRect = {0, 0, W, H};
    r->LTPoint = {4, 4}, r->RTPoint = {W - BW - 4, 4}, r->LBPoint = {4, H - 4}, r->RBPoint = {W - BW - 4, H - 4};
    r->ClRect = {4, 3, W - BW - 4, H - 3};
    r->LeftStretch = r->TopStretch = r->RightStretch = r->BottomStretch = r->StretchEffect = true;
    r->ButtonRect = {W - 2 - BW, 2, W - 2, H - 2};
    r->ActiveButtonRect = {W, 2, W + BW, H - 2}, r->DownButtonRect = {W + BW, 2, W + 2 * BW, H - 2};
    r->UnEnabledButtonRect = {W + 2 * BW, 2, W + 3 * BW, H - 2};
    Font(r, P.fieldText);
    r->ActiveFontColor = ToTColor(P.fieldText), r->DisabledFontColor = ToTColor(P.fieldDisText);
  }
  {
    constexpr int W = 120, BW = 18, IW = 60, IH = 18;
    auto b = NewBitmap(std::max(W + 3 * BW, 3 * IW), 2 * H + IH, P.face);
    Painter p(*b);
    Box(p, 0, 0, W, H, 3, P.border, P.field, P.field);
    dropButton(p, W - 2 - BW, 2, BW, H - 4, 0, false);
    Box(p, 0, H, W, 2 * H, 3, hotBorder, P.field, P.field);
    dropButton(p, W - 2 - BW, H + 2, BW, H - 4, 0, false);
    for (int s = 1; s <= 3; ++s) dropButton(p, W + (s - 1) * BW, 2, BW, H - 4, s, false);
    p.Fill(0, 2 * H, 3 * IW, 2 * H + IH, P.field);
    p.RoundRect(IW + 1, 2 * H, 2 * IW - 1, 2 * H + IH, 2, P.hover);
    p.RoundRect(2 * IW + 1, 2 * H, 3 * IW - 1, 2 * H + IH, 2, P.sel);
    const int pic = AddPicture("combobox.bmp", *b);
    auto* r = Control<TkxDataSkinComboBox>("combobox", "combobox");
    r->PictureIndex = pic, r->SkinRect = {0, 0, W, H}, r->ActiveSkinRect = {0, H, W, 2 * H};
    r->LTPoint = {4, 4}, r->RTPoint = {W - BW - 4, 4}, r->LBPoint = {4, H - 4}, r->RBPoint = {W - BW - 4, H - 4};
    r->ClRect = {3, 2, W - BW - 3, H - 2};
    r->LeftStretch = r->TopStretch = r->RightStretch = r->BottomStretch = r->StretchEffect = true;
    r->ButtonRect = {W - 2 - BW, 2, W - 2, H - 2};
    r->ActiveButtonRect = {W, 2, W + BW, H - 2}, r->DownButtonRect = {W + BW, 2, W + 2 * BW, H - 2};
    r->UnEnabledButtonRect = {W + 2 * BW, 2, W + 3 * BW, H - 2};
    r->SItemRect = {0, 2 * H, IW, 2 * H + IH}, r->ActiveItemRect = {IW, 2 * H, 2 * IW, 2 * H + IH};
    r->FocusItemRect = {2 * IW, 2 * H, 3 * IW, 2 * H + IH};
    r->ItemLeftOffset = 3, r->ItemRightOffset = 3, r->ItemTextRect = {4, 0, IW - 4, IH};
    r->ItemStretchEffect = r->FocusItemStretchEffect = true;
    Font(r, P.fieldText);
    r->ActiveFontColor = ToTColor(P.hoverText), r->FocusFontColor = ToTColor(P.selText);
    r->ListBoxName = "listbox";
  }
}

// ---- lists --------------------------------------------------------------------------------------
void Builder::Lists() {
  constexpr int W = 100, H = 100, IW = 60, IH = 18;
  auto b = NewBitmap(W + IW, H, P.face);
  Painter p(*b);
  Box(p, 0, 0, W, H, 3, P.border, P.field, P.field);
  p.Fill(W, 0, W + IW, 3 * IH, P.field);
  p.RoundRect(W + 1, IH, W + IW - 1, 2 * IH, 2, P.selSoft);
  p.RoundRect(W + 1, 2 * IH, W + IW - 1, 3 * IH, 2, P.sel);
  const int pic = AddPicture("listbox.bmp", *b);
  auto* r = Control<TkxDataSkinListBox>("listbox", "listbox");
  r->PictureIndex = pic, r->SkinRect = {0, 0, W, H};
  NinePart(r, W, H, 4, {2, 2, W - 2, H - 2});
  r->SItemRect = {W, 0, W + IW, IH}, r->ActiveItemRect = {W, IH, W + IW, 2 * IH};
  r->FocusItemRect = {W, 2 * IH, W + IW, 3 * IH};
  r->ItemLeftOffset = 3, r->ItemRightOffset = 3, r->ItemTextRect = {4, 0, IW - 4, IH};
  Font(r, P.fieldText);
  r->ActiveFontColor = ToTColor(P.selSoftText), r->FocusFontColor = ToTColor(P.selText);
  r->HScrollBarName = "hscrollbar", r->VScrollBarName = "vscrollbar", r->BothScrollBarName = "bothhscrollbar";

  for (const char* name : {"listview"}) {
    auto* v = Control<TkxDataSkinListView>("listview", name);
    v->FontName = "Arial", v->FontHeight = 12;
    v->FontColor = ToTColor(P.fieldText), v->BGColor = ToTColor(P.field);
  }
  auto* t = Control<TkxDataSkinTreeView>("treeview", "treeview");
  t->FontName = "Arial", t->FontHeight = 12;
  t->FontColor = ToTColor(P.fieldText), t->BGColor = ToTColor(P.field);
}

// ---- scroll bars --------------------------------------------------------------------------------
TRect Swap(const TRect& r) { return {r.top, r.left, r.bottom, r.right}; }

void Builder::ScrollBars() {
  constexpr int W = 100, H = 17, A = 17, TL = 30;
  for (int vertical = 0; vertical < 2; ++vertical) {
    auto b = NewBitmap(W, 3 * H, P.track);
    Painter p(*b);
    RGB arrow = P.glyph;
    // The bar: arrows at both ends on the track.
    Chevron(p, A / 2.0, H / 2.0, 3.5, 0, arrow);
    Chevron(p, W - A / 2.0, H / 2.0, 3.5, 1, arrow);
    // Hot and pressed arrow buttons: decreasing, then increasing.
    for (int i = 0; i < 4; ++i) {
      double x = i * A;
      bool down = i % 2 == 1;
      p.RoundRect(x + 1, H + 1, x + A - 1, 2 * H - 1, 3, down ? P.thumbDown : Mix(P.track, P.thumb, 0.55));
      RGB g = down ? WithContrast(arrow, P.thumbDown, 3.0) : arrow;
      Chevron(p, x + A / 2.0, H + H / 2.0, 3.5, i < 2 ? 0 : 1, g);
    }
    // Thumbs: normal, hot, pressed.
    RGB th[3] = {P.thumb, P.thumbHot, P.thumbDown};
    for (int i = 0; i < 3; ++i) p.RoundRect(i * TL + 1, 2 * H + 4, i * TL + TL - 1, 3 * H - 4, 4.5, th[i]);
    std::unique_ptr<TkxBitmap> out = std::move(b);
    if (vertical) {
      auto t = std::make_unique<TkxBitmap>();
      t->SetSize(out->Height(), out->Width());
      for (int y = 0; y < out->Height(); ++y)
        for (int x = 0; x < out->Width(); ++x) *t->PixelAddress(y, x) = *out->PixelAddress(x, y);
      out = std::move(t);
    }
    const int pic = AddPicture(vertical ? "vscrollbar.bmp" : "hscrollbar.bmp", *out);
    auto rect = [&](TRect r) { return vertical ? Swap(r) : r; };
    for (const char* name : vertical ? std::vector<const char*>{"vscrollbar"}
                                     : std::vector<const char*>{"hscrollbar", "bothhscrollbar"}) {
      auto* r = Control<TkxDataSkinScrollBarControl>("scrollbar", name);
      r->PictureIndex = pic, r->SkinRect = rect({0, 0, W, H});
      if (vertical)
        r->LTPoint = {0, 20}, r->LBPoint = {0, W - 20};
      else
        r->LTPoint = {20, 0}, r->RTPoint = {W - 20, 0};
      r->ClRect = rect({A, 0, W - A, H});
      r->StretchEffect = true;
      r->TrackArea = rect({A, 0, W - A, H});
      r->DownButtonRect = rect({0, 0, A, H}), r->UpButtonRect = rect({W - A, 0, W, H});
      r->ActiveDownButtonRect = rect({0, H, A, 2 * H}), r->DownDownButtonRect = rect({A, H, 2 * A, 2 * H});
      r->ActiveUpButtonRect = rect({2 * A, H, 3 * A, 2 * H}), r->DownUpButtonRect = rect({3 * A, H, 4 * A, 2 * H});
      r->ThumbRect = rect({0, 2 * H, TL, 3 * H}), r->ActiveThumbRect = rect({TL, 2 * H, 2 * TL, 3 * H});
      r->DownThumbRect = rect({2 * TL, 2 * H, 3 * TL, 3 * H});
      r->ThumbOffset1 = r->ThumbOffset2 = 6;
      r->ThumbStretchEffect = true;
    }
  }
}

// ---- slider, tabs, up/down, splitters, menu bar, bevel, label -------------------------------------
void Builder::Others() {
  {
    // The ruler runs along row 0..10, the thumbs (normal, hot) beside each other below it.
    constexpr int W = 100, RH = 10, T = 14;
    auto b = NewBitmap(W + RH, W, P.face);
    Painter p(*b);
    RGB groove = P.hc ? Hex(0x808080) : Mix(P.face, P.dark ? kWhite : kBlack, 0.16);
    p.RoundRect(0, 2, W, RH - 2, 3, groove);
    p.RoundRect(W + 2, 0, W + RH - 2, W, 3, groove);
    for (int i = 0; i < 2; ++i) {
      double cx = i * T + T / 2.0, cy = RH + T / 2.0;
      p.Circle(cx, cy, T / 2.0 - 0.5, i ? Mix(P.accent, P.dark ? kWhite : kBlack, 0.18) : P.accent);
      p.Circle(cx, cy, 2.5, P.hc ? kBlack : kWhite);
      double vx = 2 * T + i * T + T / 2.0;
      p.Circle(vx, cy, T / 2.0 - 0.5, i ? Mix(P.accent, P.dark ? kWhite : kBlack, 0.18) : P.accent);
      p.Circle(vx, cy, 2.5, P.hc ? kBlack : kWhite);
    }
    const int pic = AddPicture("slider.bmp", *b);
    auto* r = Control<TkxDataSkinSlider>("slider", "slider");
    r->PictureIndex = pic, r->SkinRect = {0, 0, W, RH};
    r->HRulerRect = {0, 0, W, RH}, r->HThumbRect = {0, RH, 2 * T, RH + T};
    r->VRulerRect = {W, 0, W + RH, W}, r->VThumbRect = {2 * T, RH, 4 * T, RH + T};
    r->EdgeSize = 4;
    r->BGColor = ToTColor(P.face), r->PointsColor = ToTColor(P.border);
  }
  {
    constexpr int W = 100, H = 80, TW = 60, TH = 22;
    auto b = NewBitmap(W + 4 * TW, H, P.face);
    Painter p(*b);
    p.RoundFrame(0, 0, W, H, 3, 1, P.border);
    auto tab = [&](int x, RGB fill, bool selected, bool hot) {
      p.Fill(x, 0, x + TW, TH, P.face);
      p.RoundRect(x, 0, x + TW, TH + 4, 3, P.border);
      p.RoundRect(x + 1, 1, x + TW - 1, TH + 4, 2, fill);
      if (selected) p.RoundRect(x + 1, 1, x + TW - 1, 4, 1.5, P.accent);
      if (hot && !selected) p.Fill(x + 2, 1, x + TW - 2, 3, Mix(fill, P.accent, 0.5));
      p.Fill(x, TH, x + TW, TH + 4, P.face);
      if (!selected) p.Fill(x, TH - 1, x + TW, TH, P.border);
    };
    tab(W, P.tab, false, false);
    tab(W + TW, P.face, true, false);
    tab(W + 2 * TW, P.hover, false, true);
    tab(W + 3 * TW, P.face, true, false);
    p.Fill(W, TH, W + TW, 2 * TH, P.face);
    p.Fill(W, 2 * TH - 1, W + TW, 2 * TH, P.border);
    const int pic = AddPicture("tab.bmp", *b);
    auto* r = Control<TkxDataSkinTabControl>("tab", "tab");
    r->PictureIndex = pic, r->SkinRect = {0, 0, W, H};
    r->LTPoint = {4, 4}, r->RTPoint = {W - 4, 4}, r->LBPoint = {4, H - 4}, r->RBPoint = {W - 4, H - 4};
    r->ClRect = {3, 3, W - 3, H - 3};
    r->LeftStretch = r->TopStretch = r->RightStretch = r->BottomStretch = r->StretchEffect = true;
    r->TabRect = {W, 0, W + TW, TH}, r->ActiveTabRect = {W + TW, 0, W + 2 * TW, TH};
    r->MouseInTabRect = {W + 2 * TW, 0, W + 3 * TW, TH}, r->FocusTabRect = {W + 3 * TW, 0, W + 4 * TW, TH};
    r->TabsBGRect = {W, TH, W + TW, 2 * TH};
    r->TabLeftOffset = r->TabRightOffset = 4;
    r->TabStretchEffect = true;
    r->FontName = "Arial", r->FontHeight = 12;
    RGB t = WithContrast(P.text, P.face, 4.5);
    r->FontColor = ToTColor(P.tabText), r->ActiveFontColor = ToTColor(t), r->FocusFontColor = ToTColor(t);
    r->MouseInFontColor = ToTColor(P.hoverText);
    r->UpDown = "hupdown";
  }
  for (int vertical = 0; vertical < 2; ++vertical) {
    constexpr int B = 16;
    auto b = NewBitmap(4 * B, 2 * B, P.face);
    Painter p(*b);
    auto draw = [&](int x, int y, int dir, int state) {
      RGB fill = state == 2 ? P.sel : state == 1 ? P.hover : P.btnTop;
      Box(p, x, y, x + B, y + B, 3, state ? P.accent : P.border, fill, state ? fill : P.btnBot);
      Chevron(p, x + B / 2.0, y + B / 2.0, 3, dir, state == 2 ? P.selText : P.glyph, 1.4);
    };
    int dec = vertical ? 3 : 0, inc = vertical ? 2 : 1;
    // Vertical: the up (increasing) button on top.
    TRect up, down, aUp, aDown, dUp, dDown;
    if (vertical) {
      draw(0, 0, inc, 0), draw(0, B, dec, 0);
      draw(B, 0, inc, 1), draw(B, B, dec, 1), draw(2 * B, 0, inc, 2), draw(2 * B, B, dec, 2);
      up = {0, 0, B, B}, down = {0, B, B, 2 * B}, aUp = {B, 0, 2 * B, B}, aDown = {B, B, 2 * B, 2 * B};
      dUp = {2 * B, 0, 3 * B, B}, dDown = {2 * B, B, 3 * B, 2 * B};
    } else {
      draw(0, 0, dec, 0), draw(B, 0, inc, 0);
      draw(0, B, dec, 1), draw(B, B, inc, 1), draw(2 * B, B, dec, 2), draw(3 * B, B, inc, 2);
      down = {0, 0, B, B}, up = {B, 0, 2 * B, B}, aDown = {0, B, B, 2 * B}, aUp = {B, B, 2 * B, 2 * B};
      dDown = {2 * B, B, 3 * B, 2 * B}, dUp = {3 * B, B, 4 * B, 2 * B};
    }
    const int pic = AddPicture(vertical ? "vupdown.bmp" : "hupdown.bmp", *b);
    auto* r = Control<TkxDataSkinUpDownControl>("updown", vertical ? "vupdown" : "hupdown");
    r->PictureIndex = pic, r->SkinRect = vertical ? TRect{0, 0, B, 2 * B} : TRect{0, 0, 2 * B, B};
    r->UpButtonRect = up, r->DownButtonRect = down, r->ActiveUpButtonRect = aUp, r->ActiveDownButtonRect = aDown;
    r->DownUpButtonRect = dUp, r->DownDownButtonRect = dDown;
  }
  for (int vertical = 0; vertical < 2; ++vertical) {
    // The bar is plain; its grip lies beside it in the picture.
    constexpr int L = 40, T = 6, G = 20;
    int w = vertical ? T : L + G, h = vertical ? L + G : T;
    auto b = NewBitmap(w, h, P.face);
    Painter p(*b);
    for (int i = -2; i <= 2; ++i)
      p.Circle(vertical ? T / 2.0 : L + G / 2.0 + i * 3.5, vertical ? L + G / 2.0 + i * 3.5 : T / 2.0, 1, P.border);
    const int pic = AddPicture(vertical ? "vsplitter.bmp" : "hsplitter.bmp", *b);
    auto* r = Control<TkxDataSkinSplitterControl>("splitter", vertical ? "vsplitter" : "hsplitter");
    r->PictureIndex = pic;
    if (vertical) {
      r->SkinRect = {0, 0, T, L}, r->GripperRect = {0, L, T, L + G};
      r->LTPoint = {0, 8}, r->LBPoint = {0, L - 8}, r->ClRect = {0, 8, T, L - 8};
    } else {
      r->SkinRect = {0, 0, L, T}, r->GripperRect = {L, 0, L + G, T};
      r->LTPoint = {8, 0}, r->RTPoint = {L - 8, 0}, r->ClRect = {8, 0, L - 8, T};
    }
    r->StretchEffect = true;
  }
  {
    constexpr int W = 100, H = 24;
    auto b = NewBitmap(W, H, P.face);
    const int pic = AddPicture("menubar.bmp", *b);
    auto* r = Control<TkxDataSkinMainMenuBar>("mainmenubar", "mainmenubar");
    r->PictureIndex = pic, r->SkinRect = {0, 0, W, H};
    r->ItemsRect = {2, 1, W - 2, H - 1};
    r->MenuBarItem = "menubaritem";
    r->TrackMarkColor = ToTColor(WithContrast(P.text, P.face, 4.5)), r->TrackMarkActiveColor = ToTColor(P.link);
    r->StretchEffect = true;
  }
  auto* bevel = Control<TkxDataSkinBevel>("bevel", "bevel");
  bevel->LightColor = ToTColor(P.dark ? Mix(P.face, kWhite, 0.12) : kWhite);
  bevel->DarkColor = ToTColor(P.border);
  auto* lbl = Control<TkxDataSkinStdLabelControl>("stdlabel", "stdlabel");
  lbl->FontName = "Arial", lbl->FontHeight = 12;
  lbl->FontColor = ToTColor(WithContrast(P.text, P.face, 4.5)), lbl->ActiveFontColor = ToTColor(P.link);
}

// ---- popup window, hint, colours ------------------------------------------------------------------
void Builder::Singles() {
  {
    constexpr int W = 40, H = 40;
    auto b = NewBitmap(W, H, P.menu);
    Painter p(*b);
    p.Fill(0, 0, W, H, P.hc ? P.accent : Mix(P.menu, P.border, 0.9));
    p.Fill(1, 1, W - 1, H - 1, P.menu);
    const int pic = AddPicture("popup.bmp", *b);
    auto& w = *SD.PopupWindow;
    w.WindowPictureIndex = pic;
    w.LTPoint = {3, 3}, w.RTPoint = {W - 3, 3}, w.LBPoint = {3, H - 3}, w.RBPoint = {W - 3, H - 3};
    w.ItemsRect = {3, 3, W - 3, H - 3};
    w.ScrollMarkerColor = ToTColor(P.menuText), w.ScrollMarkerActiveColor = ToTColor(WithContrast(P.accent, P.menu, 4.5));
    w.TopStretch = w.LeftStretch = w.RightStretch = w.BottomStretch = w.StretchEffect = true;
  }
  {
    constexpr int W = 40, H = 24;
    auto b = NewBitmap(W, H, P.hint);
    Painter p(*b);
    p.Fill(0, 0, W, H, P.hc ? P.accent : Mix(P.hint, P.border, 0.9));
    p.Fill(1, 1, W - 1, H - 1, P.hint);
    const int pic = AddPicture("hint.bmp", *b);
    auto& h = *SD.HintWindow;
    h.WindowPictureIndex = pic;
    h.LTPoint = {3, 3}, h.RTPoint = {W - 3, 3}, h.LBPoint = {3, H - 3}, h.RBPoint = {W - 3, H - 3};
    h.ClRect = {5, 3, W - 5, H - 3};
    h.FontName = "Arial", h.FontHeight = 12, h.FontColor = ToTColor(P.hintText);
    h.TopStretch = h.LeftStretch = h.RightStretch = h.BottomStretch = h.StretchEffect = true;
  }
  auto& c = *SD.FSkinColors;
  c.FcBtnFace = ToTColor(P.face);
  c.FcBtnText = ToTColor(WithContrast(P.text, P.face, 4.5));
  c.FcWindow = ToTColor(P.field);
  c.FcWindowText = ToTColor(P.fieldText);
  c.FcHighLight = ToTColor(P.sel);
  c.FcHighLightText = ToTColor(P.selText);
  c.FcBtnHighLight = ToTColor(P.dark ? Mix(P.face, kWhite, 0.15) : kWhite);
  c.FcBtnShadow = ToTColor(WithContrast(P.border, P.face, 3.0));
}

void Builder::Build() {
  SD.SkinName = S.Description;
  SD.SkinAuthor = "Ombrel";
  Frame();
  Objects();
  Buttons();
  Panels();
  CheckRadio();
  Edits();
  Lists();
  ScrollBars();
  Others();
  Singles();
  SD.Empty = false;
}

}  // namespace

void BuildSkin(const Style& S, TkxSkinData& SD) { Builder(S, SD).Build(); }

}  // namespace skingen
