#pragma once
// What the skin lint checks, shared by the lint test and the contact sheets: the record names
// the program's forms ask for, the skins the build draws, where each record's rectangles must
// lie, and which text colour is drawn on which face.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Stream.h"
#include "base/StringList.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/Codecs.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"

#ifndef OMBREL_GENERATED_RESOURCES
#error "the skin lint reads the generated resources"
#endif

namespace skinlint {

using Names = std::vector<std::pair<std::string, std::string>>;

// Record name and kind word.
inline const Names& ControlChecklist() {
  static const Names n = {
      {"button", "button"},         {"resizebutton", "button"},      {"toolbutton", "button"},
      {"resizetoolbutton", "button"}, {"toolmenubutton", "menubutton"}, {"combobutton", "button"},
      {"editbutton", "button"},     {"menuitembutton", "button"},    {"panel", "panel"},
      {"groupbox", "panel"},        {"toolpanel", "panel"},          {"resizetoolpanel", "panel"},
      {"statusbar", "panel"},       {"checkbox", "checkradio"},      {"radiobox", "checkradio"},
      {"stdlabel", "stdlabel"},     {"label", "label"},              {"menuheader", "label"},
      {"edit", "edit"},             {"buttonedit", "edit"},          {"memo", "memo"},
      {"combobox", "combobox"},     {"listbox", "listbox"},          {"hscrollbar", "scrollbar"},
      {"vscrollbar", "scrollbar"},  {"bothhscrollbar", "scrollbar"}, {"listview", "listview"},
      {"treeview", "treeview"},     {"slider", "slider"},            {"tab", "tab"},
      {"hupdown", "updown"},        {"vupdown", "updown"},           {"scrollbox", "scrollbox"},
      {"bevel", "bevel"},           {"hsplitter", "splitter"},       {"vsplitter", "splitter"},
      {"mainmenubar", "mainmenubar"}};
  return n;
}
inline const Names& ObjectChecklist() {
  static const Names n = {{"caption", "caption"},     {"closebutton", "stdbutton"}, {"maxbutton", "stdbutton"},
                          {"minbutton", "stdbutton"}, {"menuitem", "menuitem"},     {"menubaritem", "mainmenubaritem"}};
  return n;
}

inline std::string GeneratedSkinFile(int Index) {
  return std::string(OMBREL_GENERATED_RESOURCES) + "/skins/kxSkin" + std::to_string(Index) + ".skn";
}

// The skin list as the main window carries it: items kxSkin0.. with their descriptions.
inline void LoadGeneratedSkinList(TkxCompressedSkinList& List) {
  TStringList lines;
  lines.LoadFromFile(std::string(OMBREL_GENERATED_RESOURCES) + "/skins/skins.txt");
  for (int i = 0; i < lines.Count(); ++i) {
    if (lines.Names(i).empty()) continue;
    TkxSkinListItem* item = List.Skins()->Add();
    item->SetName(lines.Names(i));
    item->SetDescription(lines.ValueFromIndex(i));
    item->Skin()->LoadFromCompressFile(std::string(OMBREL_GENERATED_RESOURCES) + "/skins/" + lines.Names(i) + ".skn");
  }
}

inline void LoadGeneratedSkin(int Index, TkxSkinData& SD) {
  TkxCompressedStoredSkin stored(nullptr);
  stored.LoadFromCompressFile(GeneratedSkinFile(Index));
  SD.LoadCompressedStoredSkin(&stored);
}

inline bool HasPicture(const TkxSkinData& SD, int Index) {
  return Index >= 0 && size_t(Index) < SD.FActivePictures.size() && !SD.FActivePictures[size_t(Index)]->Empty();
}
inline TBitmap* Picture(const TkxSkinData& SD, int Index) {
  return HasPicture(SD, Index) ? SD.FActivePictures[size_t(Index)].get() : nullptr;
}

inline bool IsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
inline bool Inside(const TRect& R, int W, int H) {
  return R.left >= 0 && R.top >= 0 && R.right <= W && R.bottom <= H && R.left < R.right && R.top < R.bottom;
}
inline TRect Offset(TRect R, int X, int Y) { return {R.left + X, R.top + Y, R.right + X, R.bottom + Y}; }
inline std::string Str(const TRect& R) {
  return "(" + std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) + "," +
         std::to_string(R.bottom) + ")";
}

// Keys whose rectangles are relative to the record's own image rather than to the picture.
inline bool RelativeKey(const std::string& Key) {
  static const std::vector<std::string> keys = {"clientrect", "itemtextrect", "checkimagearea", "textarea",
                                                "textrect",   "imagerect",    "itemsrect",      "trackbuttonrect",
                                                "frametextrect", "buttonsarea"};
  return std::find(keys.begin(), keys.end(), Key) != keys.end();
}

template <typename R>
void RectsOf(R& Record, const std::vector<const TkxKeyTable*>& Tables,
             std::vector<std::pair<std::string, TRect>>& Out) {
  for (const TkxKeyTable* t : Tables)
    for (const TkxSkinKey& k : t->Keys())
      if (k.Kind == TkxValueKind::Rect) Out.emplace_back(k.Key, k.Ref<TRect>(kxkeys::KeyBase(Record)));
}

// Every rectangle of every record lies in the picture it names (relative ones in the record's
// own image); an empty result means none is out.
inline std::vector<std::string> RectProblems(const TkxSkinData& SD) {
  std::vector<std::string> out;
  auto check = [&](const std::string& Who, TBitmap* Pic, const TRect& Skin,
                   const std::vector<std::pair<std::string, TRect>>& Rects, bool RelativeSkinRect = false) {
    if (!Pic) {
      out.push_back(Who + ": no picture");
      return;
    }
    const int sw = Skin.right - Skin.left, sh = Skin.bottom - Skin.top;
    for (const auto& [key, r] : Rects) {
      if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) continue;
      bool ok = RelativeKey(key) ? Inside(r, sw, sh) : Inside(r, Pic->Width(), Pic->Height());
      if (key == "skinrect" && RelativeSkinRect) ok = true;
      if (!ok) out.push_back(Who + "." + key + " " + Str(r) + " outside");
    }
  };
  for (const auto& c : SD.CtrlList) {
    std::vector<std::pair<std::string, TRect>> rects;
    RectsOf(*c, c->KeyTables(), rects);
    bool pictureless = dynamic_cast<TkxDataSkinListView*>(c.get()) || dynamic_cast<TkxDataSkinTreeView*>(c.get()) ||
                       dynamic_cast<TkxDataSkinBevel*>(c.get()) || dynamic_cast<TkxDataSkinStdLabelControl*>(c.get());
    if (pictureless && c->PictureIndex == -1) continue;
    if (IsEmpty(c->SkinRect)) out.push_back(c->IDName + ": empty skinrect");
    check(c->IDName, Picture(SD, c->PictureIndex), c->SkinRect, rects);
    if (auto* cc = dynamic_cast<TkxDataSkinCustomControl*>(c.get())) {
      const int sw = c->SkinRect.right - c->SkinRect.left, sh = c->SkinRect.bottom - c->SkinRect.top;
      for (TPoint p : {cc->LTPoint, cc->RTPoint, cc->LBPoint, cc->RBPoint})
        if (p.x < 0 || p.y < 0 || p.x > sw || p.y > sh) out.push_back(c->IDName + ": corner point outside");
    }
  }
  for (const auto& o : SD.ObjectList) {
    std::vector<std::pair<std::string, TRect>> rects;
    RectsOf(*o, o->KeyTables(), rects);
    TBitmap* active = Picture(SD, o->ActivePictureIndex);
    if (!o->SkinRectInAPicture) {
      if (!Inside(o->SkinRect, SD.FPicture->Width(), SD.FPicture->Height()))
        out.push_back(o->IDName + ".skinrect outside the frame picture");
      if (!active) continue;  // a frame-only object
    }
    check(o->IDName, active, o->SkinRect, rects, !o->SkinRectInAPicture);
  }
  auto single = [&](const char* Who, int Index, const TRect& Area) {
    TBitmap* pic = Picture(SD, Index);
    if (!pic) out.push_back(std::string(Who) + ": no picture");
    else if (!Inside(Area, pic->Width(), pic->Height())) out.push_back(std::string(Who) + ": area outside");
  };
  single("POPUPWINDOW", SD.PopupWindow->WindowPictureIndex, SD.PopupWindow->ItemsRect);
  single("HINTWINDOW", SD.HintWindow->WindowPictureIndex, SD.HintWindow->ClRect);
  if (!Inside(SD.ClRect, SD.FPicture->Width(), SD.FPicture->Height())) out.push_back("FORMINFO clientrect outside");
  if (!Inside(SD.ButtonsRect, SD.FPicture->Width(), SD.FPicture->Height())) out.push_back("FORMINFO buttonsrect outside");
  return out;
}

// ---- contrast ---------------------------------------------------------------------------------

inline double Channel(double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
// Relative luminance of a COLORREF (0x00BBGGRR).
inline double Luminance(uint32_t Ref) {
  return 0.2126 * Channel((Ref & 255) / 255.0) + 0.7152 * Channel(((Ref >> 8) & 255) / 255.0) +
         0.0722 * Channel(((Ref >> 16) & 255) / 255.0);
}
inline double Contrast(uint32_t A, uint32_t B) {
  double a = Luminance(A), b = Luminance(B);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// A text colour and the face it is drawn on: an area of a picture (its pixels as they were when
// the faces were listed), or a plain colour.
struct TextFace {
  std::string What;
  uint32_t Text;  // COLORREF
  std::shared_ptr<const img::RawImage> Pic;
  TRect Area{};
  uint32_t Solid = 0;
  double Ratio = 4.5;
};

inline uint32_t Ref(TColor C) { return ColorToRGB(C); }

// The lowest contrast of the text against any pixel of its face.
inline double WorstContrast(const TextFace& F) {
  if (!F.Pic) return Contrast(F.Text, F.Solid);
  const img::RawImage& im = *F.Pic;
  double worst = 1e9;
  for (int y = std::max(0, F.Area.top); y < std::min(im.Height, F.Area.bottom); ++y)
    for (int x = std::max(0, F.Area.left); x < std::min(im.Width, F.Area.right); ++x) {
      uint32_t p = im.Pixel(x, y);  // 0xAARRGGBB
      uint32_t ref = ((p >> 16) & 255) | (p & 0xFF00) | ((p & 255) << 16);
      worst = std::min(worst, Contrast(F.Text, ref));
    }
  return worst;
}

inline std::vector<TextFace> TextFaces(const TkxSkinData& SD) {
  std::vector<TextFace> out;
  // Each picture is read once per listing. The pixels travel with the faces, so nothing keyed by
  // a bitmap's address outlives the skin (a later skin's bitmap may take the same address).
  std::map<const TBitmap*, std::shared_ptr<const img::RawImage>> pixels;
  auto add = [&](const std::string& What, TColor Text, TBitmap* Pic, TRect Area, double Ratio = 4.5) {
    if (!Pic || IsEmpty(Area)) return;
    auto& im = pixels[Pic];
    if (!im) im = std::make_shared<const img::RawImage>(Pic->ToRawImage());
    out.push_back({What, Ref(Text), im, Area, 0, Ratio});
  };
  auto solid = [&](const std::string& What, TColor Text, TColor Face, double Ratio = 4.5) {
    out.push_back({What, Ref(Text), nullptr, {}, Ref(Face), Ratio});
  };
  auto in = [](const TRect& State, const TRect& Part) {
    return IsEmpty(State) ? TRect{} : Offset(Part, State.left, State.top);
  };
  for (const auto& c : SD.CtrlList) {
    const std::string n = c->IDName;
    TBitmap* pic = Picture(SD, c->PictureIndex);
    if (auto* b = dynamic_cast<TkxDataSkinButtonControl*>(c.get())) {
      add(n + " normal", b->FontColor, pic, in(b->SkinRect, b->ClRect));
      add(n + " hot", b->ActiveFontColor, pic, in(b->ActiveSkinRect, b->ClRect));
      add(n + " pressed", b->DownFontColor, pic, in(b->DownSkinRect, b->ClRect));
      add(n + " focused", b->FontColor, pic, in(b->FocusedSkinRect, b->ClRect));
      add(n + " disabled", b->DisabledFontColor, pic, in(b->DisabledSkinRect, b->ClRect), 3.0);
    } else if (auto* r = dynamic_cast<TkxDataSkinCheckRadioControl*>(c.get())) {
      add(n + " text", r->FontColor, pic, in(r->SkinRect, r->TextArea));
      add(n + " hot", r->ActiveFontColor, pic, in(r->SkinRect, r->TextArea));
      add(n + " on the parent", r->FrameFontColor, pic, in(r->SkinRect, r->TextArea));
      add(n + " disabled", r->UnEnabledFontColor, pic, in(r->SkinRect, r->TextArea), 3.0);
    } else if (auto* e = dynamic_cast<TkxDataSkinEditControl*>(c.get())) {
      add(n + " text", e->FontColor, pic, in(e->SkinRect, e->ClRect));
      add(n + " hot", e->ActiveFontColor, pic, in(e->ActiveSkinRect, e->ClRect));
      add(n + " disabled", e->DisabledFontColor, pic, in(e->SkinRect, e->ClRect), 3.0);
    } else if (auto* cb = dynamic_cast<TkxDataSkinComboBox*>(c.get())) {
      add(n + " text", cb->FontColor, pic, in(cb->SkinRect, cb->ClRect));
      add(n + " hot", cb->ActiveFontColor, pic, in(cb->ActiveSkinRect, cb->ClRect));
      add(n + " item", cb->FontColor, pic, in(cb->SItemRect, cb->ItemTextRect));
      add(n + " hot item", cb->ActiveFontColor, pic, in(cb->ActiveItemRect, cb->ItemTextRect));
      add(n + " focused item", cb->FocusFontColor, pic, in(cb->FocusItemRect, cb->ItemTextRect));
    } else if (auto* l = dynamic_cast<TkxDataSkinListBox*>(c.get())) {
      add(n + " text", l->FontColor, pic, in(l->SkinRect, l->ClRect));
      add(n + " item", l->FontColor, pic, in(l->SItemRect, l->ItemTextRect));
      add(n + " selected item", l->ActiveFontColor, pic, in(l->ActiveItemRect, l->ItemTextRect));
      add(n + " focused item", l->FocusFontColor, pic, in(l->FocusItemRect, l->ItemTextRect));
    } else if (auto* p = dynamic_cast<TkxDataSkinPanelControl*>(c.get())) {
      add(n + " caption", p->FontColor, pic, IsEmpty(p->CaptionRect) ? in(p->SkinRect, p->ClRect) : p->CaptionRect);
    } else if (auto* lb = dynamic_cast<TkxDataSkinLabelControl*>(c.get())) {
      add(n + " text", lb->FontColor, pic, in(lb->SkinRect, lb->ClRect));
    } else if (auto* t = dynamic_cast<TkxDataSkinTabControl*>(c.get())) {
      auto inner = [&](const TRect& r) {
        return IsEmpty(r) ? TRect{} : TRect{r.left + t->TabLeftOffset, r.top + 4, r.right - t->TabRightOffset, r.bottom - 2};
      };
      add(n + " tab", t->FontColor, pic, inner(t->TabRect));
      add(n + " selected tab", t->ActiveFontColor, pic, inner(t->ActiveTabRect));
      add(n + " hot tab", t->MouseInFontColor, pic, inner(t->MouseInTabRect));
      add(n + " focused tab", t->FocusFontColor, pic, inner(t->FocusTabRect));
    } else if (auto* s = dynamic_cast<TkxDataSkinStdLabelControl*>(c.get())) {
      solid(n + " text", s->FontColor, SD.SkinColors()->cBtnFace());
      solid(n + " link", s->ActiveFontColor, SD.SkinColors()->cBtnFace());
    } else if (auto* v = dynamic_cast<TkxDataSkinListView*>(c.get())) {
      solid(n + " text", v->FontColor, v->BGColor);
    } else if (auto* tv = dynamic_cast<TkxDataSkinTreeView*>(c.get())) {
      solid(n + " text", tv->FontColor, tv->BGColor);
    }
  }
  for (const auto& o : SD.ObjectList) {
    const std::string n = o->IDName;
    TBitmap* pic = Picture(SD, o->ActivePictureIndex);
    if (auto* cap = dynamic_cast<TkxDataSkinCaption*>(o.get())) {
      TBitmap* frame = SD.FPicture.get();
      add(n + " inactive", cap->FontColor, frame, in(cap->SkinRect, cap->TextRct));
      add(n + " active", cap->ActiveFontColor, frame, in(cap->SkinRect, cap->TextRct));
    } else if (auto* mi = dynamic_cast<TkxDataSkinMenuItem*>(o.get())) {
      add(n + " text", mi->FontColor, pic, in(mi->SkinRect, mi->TextRct));
      add(n + " hot", mi->ActiveFontColor, pic, in(mi->ActiveSkinRect, mi->TextRct));
      add(n + " disabled", mi->UnEnabledFontColor, pic, in(mi->SkinRect, mi->TextRct), 3.0);
    } else if (auto* mb = dynamic_cast<TkxDataSkinMainMenuItem*>(o.get())) {
      add(n + " text", mb->FontColor, pic, in(mb->SkinRect, mb->TextRct));
      add(n + " hot", mb->ActiveFontColor, pic, in(mb->ActiveSkinRect, mb->TextRct));
      add(n + " pressed", mb->DownFontColor, pic, in(mb->DownRect, mb->TextRct));
      add(n + " disabled", mb->UnEnabledFontColor, pic, in(mb->SkinRect, mb->TextRct), 3.0);
    }
  }
  add("hint", SD.HintWindow->FontColor, Picture(SD, SD.HintWindow->WindowPictureIndex), SD.HintWindow->ClRect);
  const TkxSkinColors& k = *SD.SkinColors();
  solid("colours: button text", k.cBtnText(), k.cBtnFace());
  solid("colours: window text", k.cWindowText(), k.cWindow());
  solid("colours: highlight text", k.cHighLightText(), k.cHighLight());
  solid("colours: disabled tool-button caption", k.cBtnShadow(), k.cBtnFace(), 3.0);
  return out;
}

// ---- seams ----------------------------------------------------------------------------------------

// The edge strips of every resizable picture repeat along the edge (so tiling or stretching
// them shows no seam); edges that are tiled rather than stretched also repeat across.
inline std::vector<std::string> SeamProblems(const TkxSkinData& SD) {
  std::vector<std::string> out;
  auto uniform = [&](const std::string& Who, TBitmap* Pic, const TRect& Strip, bool AlongX) {
    if (IsEmpty(Strip)) return;
    img::RawImage im = Pic->ToRawImage();
    for (int y = Strip.top; y < Strip.bottom; ++y)
      for (int x = Strip.left; x < Strip.right; ++x) {
        uint32_t first = AlongX ? im.Pixel(Strip.left, y) : im.Pixel(x, Strip.top);
        if (im.Pixel(x, y) != first) {
          out.push_back(Who + " strip " + Str(Strip) + " changes at " + std::to_string(x) + "," + std::to_string(y));
          return;
        }
      }
  };
  auto nine = [&](const std::string& Who, TBitmap* Pic, const TRect& S, TPoint LT, TPoint RT, TPoint LB, TPoint RB,
                  bool LeftStretch, bool RightStretch) {
    if (!Pic || IsEmpty(S)) return;
    const int w = S.right - S.left, h = S.bottom - S.top;
    const bool horz = RT.x > 0 || RT.y > 0, vert = LB.x > 0 || LB.y > 0;
    if (horz) {  // top and bottom strips between the corners repeat along x
      uniform(Who + " top", Pic, Offset(TRect{LT.x, 0, RT.x, vert ? LT.y : h}, S.left, S.top), true);
      if (vert) uniform(Who + " bottom", Pic, Offset(TRect{LB.x, LB.y, RB.x, h}, S.left, S.top), true);
    }
    if (vert) {  // left and right strips between the corners repeat along y
      int lw = horz ? LT.x : w;
      if (!LeftStretch) uniform(Who + " left", Pic, Offset(TRect{0, LT.y, lw, LB.y}, S.left, S.top), false);
      if (horz && !RightStretch) uniform(Who + " right", Pic, Offset(TRect{RT.x, RT.y, w, RB.y}, S.left, S.top), false);
    }
  };
  for (const auto& c : SD.CtrlList) {
    auto* cc = dynamic_cast<TkxDataSkinCustomControl*>(c.get());
    if (!cc || dynamic_cast<TkxDataSkinUpDownControl*>(c.get())) continue;
    TBitmap* pic = Picture(SD, c->PictureIndex);
    std::vector<TRect> states = {c->SkinRect};
    if (auto* b = dynamic_cast<TkxDataSkinButtonControl*>(c.get()))
      states.insert(states.end(), {b->ActiveSkinRect, b->DownSkinRect, b->DisabledSkinRect, b->FocusedSkinRect});
    if (auto* e = dynamic_cast<TkxDataSkinEditControl*>(c.get())) states.push_back(e->ActiveSkinRect);
    if (auto* e = dynamic_cast<TkxDataSkinComboBox*>(c.get())) states.push_back(e->ActiveSkinRect);
    for (const TRect& s : states)
      nine(c->IDName, pic, s, cc->LTPoint, cc->RTPoint, cc->LBPoint, cc->RBPoint, cc->LeftStretch, cc->RightStretch);
  }
  nine("frame", SD.FPicture.get(), {0, 0, SD.FPicture->Width(), SD.FPicture->Height()}, SD.LTPoint, SD.RTPoint,
       SD.LBPoint, SD.RBPoint, false, false);
  return out;
}

}  // namespace skinlint
