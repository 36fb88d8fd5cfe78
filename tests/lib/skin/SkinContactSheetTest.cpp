// A contact sheet per stored skin, written as a PNG into the build folder (skin-sheets/): the
// frame at two sizes with its caption, buttons, menu bar and a few controls, then every control
// picture in every state, labelled, at its own size and stretched. The sheets are for looking at;
// the test itself only checks that each was written.
#include <gtest/gtest.h>

#include <filesystem>

#include "lib/skin/kxSkinData.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace skinlint;

class Sheet {
public:
  Sheet(int W, int H, TColor Face) {
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(Face);
    B.Canvas()->FillRect({0, 0, W, H});
    B.Canvas()->Brush()->SetStyle(bsClear);
  }

  // SrcRect of Pic into Dst; the columns left of L and from R on (and the rows above T and from
  // Bo on), relative to SrcRect, keep their size and the part between them is stretched.
  void Nine(TBitmap* Pic, const TRect& Src, const TRect& Dst, int L, int R, int T, int Bo) {
    if (!Pic || IsEmpty(Src) || IsEmpty(Dst)) return;
    const img::RawImage& im = Raw(Pic);
    const int sw = Src.right - Src.left, sh = Src.bottom - Src.top;
    const int dw = Dst.right - Dst.left, dh = Dst.bottom - Dst.top;
    auto map = [](int d, int dn, int s, int lo, int hi) {
      if (lo <= 0 && hi >= s) return d * s / dn;  // whole picture stretched
      if (d < lo) return d;
      if (d >= dn - (s - hi)) return d - (dn - s);
      int mid = dn - lo - (s - hi);
      return mid > 0 ? lo + (d - lo) * (hi - lo) / mid : lo;
    };
    for (int y = 0; y < dh; ++y) {
      if (Dst.top + y < 0 || Dst.top + y >= B.Height()) continue;
      int sy = Src.top + std::clamp(map(y, dh, sh, T, Bo), 0, sh - 1);
      auto* row = static_cast<uint8_t*>(B.ScanLine(Dst.top + y));
      for (int x = 0; x < dw; ++x) {
        if (Dst.left + x < 0 || Dst.left + x >= B.Width()) continue;
        int sx = Src.left + std::clamp(map(x, dw, sw, L, R), 0, sw - 1);
        uint32_t p = im.Pixel(sx, sy);
        uint8_t* d = row + 3 * (Dst.left + x);
        d[0] = p & 255, d[1] = (p >> 8) & 255, d[2] = (p >> 16) & 255;
      }
    }
  }
  void Copy(TBitmap* Pic, const TRect& Src, int X, int Y) {
    Nine(Pic, Src, {X, Y, X + Src.right - Src.left, Y + Src.bottom - Src.top}, 0, 0, 0, 0);
  }
  // The record's picture at the size W x H (W or H 0: its own), by its corner points.
  void Control(TBitmap* Pic, const TRect& Src, const TkxDataSkinCustomControl* C, int X, int Y, int W, int H) {
    const int sw = Src.right - Src.left, sh = Src.bottom - Src.top;
    bool horz = C && (C->RTPoint.x > 0 || C->RBPoint.x > 0), vert = C && (C->LBPoint.y > 0 || C->RBPoint.y > 0);
    int w = horz && W ? W : sw, h = vert && H ? H : sh;
    int L = horz ? C->LTPoint.x : 0, R = horz ? C->RTPoint.x : sw, T = vert ? C->LTPoint.y : 0, Bo = vert ? C->LBPoint.y : sh;
    if (!horz) L = 0, R = sw;
    if (!vert) T = 0, Bo = sh;
    if (horz && !vert) T = 0, Bo = sh;
    Nine(Pic, Src, {X, Y, X + w, Y + h}, horz ? L : -1, horz ? R : sw + 1, vert ? T : -1, vert ? Bo : sh + 1);
  }
  void Text(int X, int Y, const std::string& S, TColor C, int Height = 12, bool Bold = false) {
    TCanvas* c = B.Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(Height);
    c->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
    c->Font()->SetColor(C);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(X, Y, S);
  }
  void Centred(const TRect& R, const std::string& S, TColor C, int Height = 12) {
    TCanvas* c = B.Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(Height);
    c->Font()->SetStyle({});
    TSize e = c->TextExtent(S);
    Text(R.left + (R.right - R.left - e.cx) / 2, R.top + (R.bottom - R.top - e.cy) / 2, S, C, Height);
  }
  void LeftV(const TRect& R, const std::string& S, TColor C, int Height = 12, bool Bold = false) {
    TCanvas* c = B.Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(Height);
    c->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
    TSize e = c->TextExtent(S);
    Text(R.left, R.top + (R.bottom - R.top - e.cy) / 2, S, C, Height, Bold);
  }
  int TextWidth(const std::string& S) { return B.Canvas()->TextExtent(S).cx; }
  void Save(const std::string& File) {
    TPngImage png;
    png.Assign(&B);
    png.SaveToFile(File);
  }
  // A picture with alpha, each pixel Scale x Scale, blended over the sheet.
  void Blend(const img::RawImage& Im, int X, int Y, int Scale = 1) {
    for (int y = 0; y < Im.Height * Scale; ++y) {
      auto* row = static_cast<uint8_t*>(B.ScanLine(Y + y));
      for (int x = 0; x < Im.Width * Scale; ++x) {
        uint32_t p = Im.Pixel(x / Scale, y / Scale);
        double a = (p >> 24) / 255.0;
        uint8_t* d = row + 3 * (X + x);
        for (int c = 0; c < 3; ++c) d[c] = uint8_t(std::lround(d[c] * (1 - a) + ((p >> (8 * c)) & 255) * a));
      }
    }
  }
  TBitmap B;

private:
  const img::RawImage& Raw(TBitmap* Pic) {
    auto& r = Cache[Pic];
    if (r.Empty()) r = Pic->ToRawImage();
    return r;
  }
  std::map<TBitmap*, img::RawImage> Cache;
};

template <typename T>
T* Rec(TkxSkinData& SD, const std::string& Name) {
  int i = SD.GetControlIndex(Name);
  return i < 0 ? nullptr : dynamic_cast<T*>(SD.CtrlList[size_t(i)].get());
}
template <typename T>
T* Obj(TkxSkinData& SD, const std::string& Name) {
  int i = SD.GetIndex(Name);
  return i < 0 ? nullptr : dynamic_cast<T*>(SD.ObjectList[size_t(i)].get());
}

// A window of W x H at (X, Y): frame, caption, caption buttons, menu bar and some controls.
void Window(Sheet& S, TkxSkinData& SD, int X, int Y, int W, int H, bool Active, bool Controls) {
  TBitmap* frame = SD.FPicture.get();
  const int fw = frame->Width(), fh = frame->Height();
  S.Nine(frame, {0, 0, fw, fh}, {X, Y, X + W, Y + H}, SD.LTPoint.x, SD.RTPoint.x, SD.LTPoint.y, SD.LBPoint.y);
  const int dx = W - fw, dy = H - fh;
  (void)dy;
  auto* cap = Obj<TkxDataSkinCaption>(SD, "caption");
  TRect tr = Offset(cap->TextRct, X + cap->SkinRect.left, Y + cap->SkinRect.top);
  tr.right += dx;
  S.LeftV(tr, "OmbrelWMV视频格式转换器", Active ? cap->ActiveFontColor : cap->FontColor, cap->FontHeight, true);
  // Caption buttons from the right end of the buttons rect.
  TRect area = SD.ButtonsRect;
  if (area.left > fw / 2) area = Offset(area, dx, 0);
  int x = X + area.right;
  for (const char* n : {"closebutton", "maxbutton", "minbutton"}) {
    auto* b = Obj<TkxDataSkinStdButton>(SD, n);
    TRect src = Active ? b->SkinRect : b->InActiveSkinRect;
    if (Active && std::string(n) == "closebutton" && Controls) src = b->ActiveSkinRect;
    int w = b->SkinRect.right - b->SkinRect.left;
    S.Copy(Picture(SD, b->ActivePictureIndex), src, x - w, Y + area.top);
    x -= w + SD.ButtonsOffset;
  }
  // Menu bar.
  auto* bar = Rec<TkxDataSkinMainMenuBar>(SD, "mainmenubar");
  auto* item = Obj<TkxDataSkinMainMenuBarItem>(SD, bar->MenuBarItem);
  const int cx = X + SD.ClRect.left, cy = Y + SD.ClRect.top, cw = W - (fw - (SD.ClRect.right - SD.ClRect.left));
  const int bh = bar->SkinRect.bottom - bar->SkinRect.top;
  S.Nine(Picture(SD, bar->PictureIndex), bar->SkinRect, {cx, cy, cx + cw, cy + bh}, bar->ItemsRect.left,
         bar->ItemsRect.right, -1, bh + 1);
  int ix = cx + bar->ItemsRect.left;
  const char* menus[] = {"文件", "编辑", "动作", "功能", "帮助"};
  for (int i = 0; i < 5; ++i) {
    int w = S.TextWidth(menus[i]) + 16;
    TRect src = i == 1 && Active ? item->ActiveSkinRect : i == 2 && Active && Controls ? item->DownRect : item->SkinRect;
    TColor col = i == 1 && Active ? item->ActiveFontColor : i == 2 && Active && Controls ? item->DownFontColor : item->FontColor;
    if (i == 4 && Controls) col = item->UnEnabledFontColor;
    int ih = item->SkinRect.bottom - item->SkinRect.top;
    TRect dst{ix, cy + bar->ItemsRect.top, ix + w, cy + bar->ItemsRect.top + ih};
    S.Nine(Picture(SD, item->ActivePictureIndex), src, dst, item->ItemLO, (src.right - src.left) - item->ItemRO, -1, ih + 1);
    S.Centred(dst, menus[i], col);
    ix += w;
  }
  if (!Controls) return;
  // Tool bar with a flat, a hot and a pressed tool button.
  auto* tp = Rec<TkxDataSkinPanelControl>(SD, "toolpanel");
  const int ty = cy + bh;
  S.Control(Picture(SD, tp->PictureIndex), tp->SkinRect, tp, cx, ty, cw, 48);
  auto* tb = Rec<TkxDataSkinButtonControl>(SD, "resizetoolbutton");
  const char* tools[] = {"添加", "删除", "开始", "停止"};
  TRect states[] = {tb->SkinRect, tb->ActiveSkinRect, tb->DownSkinRect, tb->DisabledSkinRect};
  TColor colours[] = {tb->FontColor, tb->ActiveFontColor, tb->DownFontColor, tb->DisabledFontColor};
  for (int i = 0; i < 4; ++i) {
    int bx = cx + 4 + i * 58;
    S.Control(Picture(SD, tb->PictureIndex), states[i], tb, bx, ty + 4, 56, 40);
    S.Centred({bx, ty + 4, bx + 56, ty + 44}, tools[i], colours[i]);
  }
  // A group box with a few controls.
  auto* gb = Rec<TkxDataSkinPanelControl>(SD, "groupbox");
  const int gx = cx + 8, gy = ty + 56, gw = cw - 16, gh = H - (gy - Y) - 30;
  S.Control(Picture(SD, gb->PictureIndex), gb->SkinRect, gb, gx, gy, gw, gh);
  TRect gc = gb->CaptionRect;
  S.LeftV({gx + gc.left, gy + gc.top, gx + gw - 8, gy + gc.bottom}, "预置选项", gb->FontColor, 12, true);
  auto* btn = Rec<TkxDataSkinButtonControl>(SD, "button");
  TBitmap* bp = Picture(SD, btn->PictureIndex);
  int rx = gx + 12, ry = gy + 34;
  S.Control(bp, btn->SkinRect, btn, rx, ry, 80, 26), S.Centred({rx, ry, rx + 80, ry + 26}, "确定", btn->FontColor);
  S.Control(bp, btn->FocusedSkinRect, btn, rx + 88, ry, 80, 26), S.Centred({rx + 88, ry, rx + 168, ry + 26}, "取消", btn->FontColor);
  S.Control(bp, btn->DisabledSkinRect, btn, rx + 176, ry, 80, 26);
  S.Centred({rx + 176, ry, rx + 256, ry + 26}, "应用", btn->DisabledFontColor);
  auto* ed = Rec<TkxDataSkinEditControl>(SD, "buttonedit");
  S.Control(Picture(SD, ed->PictureIndex), ed->SkinRect, ed, rx, ry + 36, 200, 0);
  S.LeftV(Offset(ed->ClRect, rx, ry + 36), "/home/用户/输出", ed->FontColor);
  auto* cb = Rec<TkxDataSkinComboBox>(SD, "combobox");
  S.Control(Picture(SD, cb->PictureIndex), cb->ActiveSkinRect, cb, rx + 210, ry + 36, 150, 0);
  TRect ct = Offset(cb->ClRect, rx + 210 + 3, ry + 36);
  ct.right = rx + 210 + 150 - (cb->SkinRect.right - cb->ButtonRect.left) - 2;
  S.LeftV(ct, "WMV视频", cb->ActiveFontColor);
  int bx = rx + 210 + 150 - (cb->SkinRect.right - cb->ButtonRect.left);
  S.Copy(Picture(SD, cb->PictureIndex), cb->ActiveButtonRect, bx, ry + 36 + cb->ButtonRect.top);
  auto* ck = Rec<TkxDataSkinCheckRadioControl>(SD, "checkbox");
  auto* rb = Rec<TkxDataSkinCheckRadioControl>(SD, "radiobox");
  int ky = ry + 68;
  S.Copy(Picture(SD, ck->PictureIndex), ck->CheckImageRect, rx, ky + 1);
  S.LeftV({rx + 20, ky, rx + 200, ky + 17}, "完成后关机", ck->FontColor);
  S.Copy(Picture(SD, rb->PictureIndex), rb->CheckImageRect, rx + 130, ky + 1);
  S.LeftV({rx + 150, ky, rx + 300, ky + 17}, "覆盖输出文件", rb->FontColor);
  S.Copy(Picture(SD, rb->PictureIndex), rb->UnEnabledUnCheckImageRect, rx + 260, ky + 1);
  S.LeftV({rx + 280, ky, rx + 400, ky + 17}, "不可用", rb->UnEnabledFontColor);
  // A list with a scroll bar, and a hint.
  auto* lb = Rec<TkxDataSkinListBox>(SD, "listbox");
  auto* vs = Rec<TkxDataSkinScrollBarControl>(SD, "vscrollbar");
  int lx = rx, ly = ky + 26, lw = 240, lh = 84;
  if (ly + lh < gy + gh - 4) {
    TBitmap* lp = Picture(SD, lb->PictureIndex);
    S.Control(lp, lb->SkinRect, lb, lx, ly, lw, lh);
    const char* rows[] = {"clip.avi", "电影.mp4", "音乐.mp3", "record.wmv"};
    TRect itemSrc[] = {lb->SItemRect, lb->FocusItemRect, lb->ActiveItemRect, lb->SItemRect};
    TColor itemCol[] = {lb->FontColor, lb->FocusFontColor, lb->ActiveFontColor, lb->FontColor};
    const int ih = lb->SItemRect.bottom - lb->SItemRect.top, iw = lw - 4 - 17;
    for (int i = 0; i < 4; ++i) {
      TRect dst{lx + 2, ly + 2 + i * ih, lx + 2 + iw, ly + 2 + (i + 1) * ih};
      S.Nine(lp, itemSrc[i], dst, lb->ItemLeftOffset, (lb->SItemRect.right - lb->SItemRect.left) - lb->ItemRightOffset, -1, ih + 1);
      S.LeftV({dst.left + lb->ItemTextRect.left, dst.top, dst.right, dst.bottom}, rows[i], itemCol[i]);
    }
    TBitmap* vp = Picture(SD, vs->PictureIndex);
    S.Control(vp, vs->SkinRect, vs, lx + lw - 2 - 17, ly + 2, 0, lh - 4);
    S.Copy(vp, vs->ThumbRect, lx + lw - 2 - 17, ly + 22);
    auto& h = *SD.HintWindow;
    TBitmap* hp = Picture(SD, h.WindowPictureIndex);
    int hx = lx + lw + 20, hy = ly + 10, hw = 120, hh = 24;
    S.Nine(hp, {0, 0, hp->Width(), hp->Height()}, {hx, hy, hx + hw, hy + hh}, h.LTPoint.x, h.RTPoint.x, h.LTPoint.y, h.LBPoint.y);
    S.LeftV({hx + h.ClRect.left, hy, hx + hw, hy + hh}, "开始转换 (F5)", h.FontColor);
  }
  // A popup menu over the window's right side.
  auto& pw = *SD.PopupWindow;
  auto* mi = Obj<TkxDataSkinMenuItem>(SD, "menuitem");
  TBitmap* pp = Picture(SD, pw.WindowPictureIndex);
  TBitmap* mp = Picture(SD, mi->ActivePictureIndex);
  int px = X + W - 190, py = cy + bh - 2, pwid = 170;
  const int mh = mi->SkinRect.bottom - mi->SkinRect.top;
  const char* items[] = {"添加一个文件", "添加多个文件", "-", "删除选择", "退出"};
  int phh = pw.ItemsRect.top + (pp->Height() - pw.ItemsRect.bottom) + 4 * mh + (mi->DividerRect.bottom - mi->DividerRect.top);
  S.Nine(pp, {0, 0, pp->Width(), pp->Height()}, {px, py, px + pwid, py + phh}, pw.LTPoint.x, pw.RTPoint.x, pw.LTPoint.y, pw.LBPoint.y);
  int iy = py + pw.ItemsRect.top;
  const int iw = pwid - pw.ItemsRect.left - (pp->Width() - pw.ItemsRect.right);
  for (int i = 0; i < 5; ++i) {
    int ixx = px + pw.ItemsRect.left;
    if (items[i][0] == '-') {
      int dh = mi->DividerRect.bottom - mi->DividerRect.top;
      S.Nine(mp, mi->DividerRect, {ixx, iy, ixx + iw, iy + dh}, mi->DividerLO, (mi->DividerRect.right - mi->DividerRect.left) - mi->DividerRO, -1, dh + 1);
      iy += dh;
      continue;
    }
    TRect src = i == 1 ? mi->ActiveSkinRect : mi->SkinRect;
    S.Nine(mp, src, {ixx, iy, ixx + iw, iy + mh}, mi->ItemLO, (src.right - src.left) - mi->ItemRO, -1, mh + 1);
    TColor col = i == 1 ? mi->ActiveFontColor : i == 3 ? mi->UnEnabledFontColor : mi->FontColor;
    S.LeftV({ixx + mi->TextRct.left, iy + mi->TextRct.top, ixx + iw, iy + mi->TextRct.bottom}, items[i], col);
    iy += mh;
  }
}

struct State {
  const char* Label;
  TRect R;
  TColor Text;
  bool HasText;
};

TEST(SkinContactSheet, EverySkinIsDrawnOnASheet) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "skin-sheets";
  fs::create_directories(dir);
  for (int n = 0; n < 11; ++n) {
    TkxSkinData SD(nullptr);
    LoadGeneratedSkin(n, SD);
    const TColor face = SD.SkinColors()->cBtnFace(), text = SD.SkinColors()->cBtnText();
    Sheet S(1160, 2000, face);
    S.Text(12, 8, "kxSkin" + std::to_string(n) + "  " + SD.SkinName, text, 18, true);
    Window(S, SD, 12, 40, 300, 180, false, false);
    Window(S, SD, 330, 40, 810, 420, true, true);
    S.Text(12, 226, "inactive, 300 x 180", text);
    S.Text(12, 244, "active, 810 x 420", text);

    int x = 12, y = 480, rowH = 0;
    auto place = [&](int w, int h) {
      if (x + w > 1148) x = 12, y += rowH + 8, rowH = 0;
      int px = x;
      x += w + 14;
      rowH = std::max(rowH, h);
      return std::pair<int, int>{px, y};
    };
    // Records that share a picture and its rectangles are shown once, under all their names.
    std::map<std::string, std::string> shown;
    auto key = [](const TkxDataSkinControl& c) { return std::to_string(c.PictureIndex) + Str(c.SkinRect); };
    for (const auto& c : SD.CtrlList)
      if (Picture(SD, c->PictureIndex)) {
        std::string& names = shown[key(*c)];
        names += (names.empty() ? "" : ", ") + c->IDName;
      }
    for (const auto& c : SD.CtrlList) {
      TBitmap* pic = Picture(SD, c->PictureIndex);
      if (!pic || shown[key(*c)].empty()) continue;
      std::string title = shown[key(*c)];
      if (title.size() > 60) title = title.substr(0, title.find(", ", 40)) + ", ...";
      shown[key(*c)].clear();
      auto* cc = dynamic_cast<TkxDataSkinCustomControl*>(c.get());
      std::vector<State> states{{"normal", c->SkinRect, 0, false}};
      if (auto* b = dynamic_cast<TkxDataSkinButtonControl*>(c.get())) {
        states = {{"normal", b->SkinRect, b->FontColor, true}, {"hot", b->ActiveSkinRect, b->ActiveFontColor, true},
                  {"down", b->DownSkinRect, b->DownFontColor, true}, {"disabled", b->DisabledSkinRect, b->DisabledFontColor, true},
                  {"focused", b->FocusedSkinRect, b->FontColor, true}};
      } else if (auto* e = dynamic_cast<TkxDataSkinEditControl*>(c.get())) {
        states = {{"normal", e->SkinRect, e->FontColor, true}, {"hot", e->ActiveSkinRect, e->ActiveFontColor, true},
                  {"disabled", e->SkinRect, e->DisabledFontColor, true}, {"btn hot", e->ActiveButtonRect, 0, false},
                  {"btn down", e->DownButtonRect, 0, false}, {"btn off", e->UnEnabledButtonRect, 0, false}};
      } else if (auto* k = dynamic_cast<TkxDataSkinComboBox*>(c.get())) {
        states = {{"normal", k->SkinRect, k->FontColor, true}, {"hot", k->ActiveSkinRect, k->ActiveFontColor, true},
                  {"item", k->SItemRect, k->FontColor, true}, {"hot item", k->ActiveItemRect, k->ActiveFontColor, true},
                  {"focus item", k->FocusItemRect, k->FocusFontColor, true}, {"btn hot", k->ActiveButtonRect, 0, false},
                  {"btn down", k->DownButtonRect, 0, false}, {"btn off", k->UnEnabledButtonRect, 0, false}};
      } else if (auto* l = dynamic_cast<TkxDataSkinListBox*>(c.get())) {
        states = {{"frame", l->SkinRect, 0, false}, {"item", l->SItemRect, l->FontColor, true},
                  {"selected", l->ActiveItemRect, l->ActiveFontColor, true}, {"focused", l->FocusItemRect, l->FocusFontColor, true}};
      } else if (auto* r = dynamic_cast<TkxDataSkinCheckRadioControl*>(c.get())) {
        states = {{"face", r->SkinRect, r->FontColor, true},       {"off", r->UnCheckImageRect, 0, false},
                  {"on", r->CheckImageRect, 0, false},             {"hot off", r->ActiveUnCheckImageRect, 0, false},
                  {"hot on", r->ActiveCheckImageRect, 0, false},   {"dis off", r->UnEnabledUnCheckImageRect, 0, false},
                  {"dis on", r->UnEnabledCheckImageRect, 0, false}, {"grey", r->GrayedCheckImageRect, 0, false},
                  {"hot grey", r->ActiveGrayedCheckImageRect, 0, false}};
      } else if (auto* s = dynamic_cast<TkxDataSkinScrollBarControl*>(c.get())) {
        states = {{"bar", s->SkinRect, 0, false},         {"dec hot", s->ActiveDownButtonRect, 0, false},
                  {"dec down", s->DownDownButtonRect, 0, false}, {"inc hot", s->ActiveUpButtonRect, 0, false},
                  {"inc down", s->DownUpButtonRect, 0, false}, {"thumb", s->ThumbRect, 0, false},
                  {"thumb hot", s->ActiveThumbRect, 0, false}, {"thumb down", s->DownThumbRect, 0, false}};
      } else if (auto* t = dynamic_cast<TkxDataSkinTabControl*>(c.get())) {
        states = {{"page", t->SkinRect, 0, false},           {"tab", t->TabRect, t->FontColor, true},
                  {"active", t->ActiveTabRect, t->ActiveFontColor, true}, {"hot", t->MouseInTabRect, t->MouseInFontColor, true},
                  {"focus", t->FocusTabRect, t->FocusFontColor, true}, {"behind", t->TabsBGRect, 0, false}};
      } else if (auto* u = dynamic_cast<TkxDataSkinUpDownControl*>(c.get())) {
        states = {{"normal", u->SkinRect, 0, false}, {"up hot", u->ActiveUpButtonRect, 0, false},
                  {"dn hot", u->ActiveDownButtonRect, 0, false}, {"up down", u->DownUpButtonRect, 0, false},
                  {"dn down", u->DownDownButtonRect, 0, false}};
      } else if (auto* sl = dynamic_cast<TkxDataSkinSlider*>(c.get())) {
        states = {{"ruler", sl->HRulerRect, 0, false}, {"thumbs", sl->HThumbRect, 0, false}, {"v ruler", sl->VRulerRect, 0, false},
                  {"v thumbs", sl->VThumbRect, 0, false}};
      } else if (auto* p = dynamic_cast<TkxDataSkinPanelControl*>(c.get())) {
        states = {{"normal", p->SkinRect, p->FontColor, true}};
      } else if (auto* lb = dynamic_cast<TkxDataSkinLabelControl*>(c.get())) {
        states = {{"normal", lb->SkinRect, lb->FontColor, true}};
      } else if (auto* sp = dynamic_cast<TkxDataSkinSplitterControl*>(c.get())) {
        states = {{"bar", sp->SkinRect, 0, false}, {"grip", sp->GripperRect, 0, false}};
      }
      // Title, then each state at its size, then the normal state stretched.
      const int sw = c->SkinRect.right - c->SkinRect.left, sh = c->SkinRect.bottom - c->SkinRect.top;
      const bool resizable = cc && (cc->RTPoint.x > 0 || cc->LBPoint.y > 0) && !dynamic_cast<TkxDataSkinUpDownControl*>(c.get());
      int total = 0, tallest = 0;
      for (const State& s : states)
        if (!IsEmpty(s.R)) total += std::max(s.R.right - s.R.left, S.TextWidth(s.Label)) + 6, tallest = std::max(tallest, int(s.R.bottom - s.R.top));
      // Edits and combo boxes keep their height: only their width follows the control.
      const bool oneLine = dynamic_cast<TkxDataSkinEditControl*>(c.get()) && c->IDName != "memo";
      const bool tall = resizable && cc->LBPoint.y > 0 && !oneLine && !dynamic_cast<TkxDataSkinComboBox*>(c.get());
      const int stretchW = resizable ? std::max(sw * 2, 130) : 0, stretchH = tall ? std::max(sh * 2, 60) : sh;
      auto [px, py] = place(std::max(total + stretchW + 10, S.TextWidth(title)), std::max(tallest, stretchH) + 34);
      S.Text(px, py, title, text, 12, true);
      int sx = px;
      for (const State& s : states) {
        if (IsEmpty(s.R)) continue;
        const int w = s.R.right - s.R.left, h = s.R.bottom - s.R.top;
        S.Copy(pic, s.R, sx, py + 16);
        if (s.HasText) {
          TRect area{sx, py + 16, sx + w, py + 16 + h};
          if (cc && (w == sw && h == sh)) area = Offset(cc->ClRect, sx, py + 16);
          if (auto* r = dynamic_cast<TkxDataSkinCheckRadioControl*>(c.get())) area = Offset(r->TextArea, sx, py + 16);
          if (auto* g = dynamic_cast<TkxDataSkinPanelControl*>(c.get()); g && !IsEmpty(g->CaptionRect))
            area = Offset(g->CaptionRect, sx, py + 16);
          S.Centred(area, "文字 Aa", s.Text);
        }
        S.Text(sx, py + 18 + h, s.Label, text, 11);
        sx += std::max(w, S.TextWidth(s.Label)) + 6;
      }
      if (resizable) {
        S.Control(pic, c->SkinRect, cc, sx + 4, py + 16, stretchW, tall ? stretchH : 0);
        int outH = tall ? stretchH : sh;
        int outW = cc->RTPoint.x > 0 ? stretchW : sw;
        S.Text(sx + 4, py + 18 + outH, "stretched", text, 11);
        if (!states.empty() && states[0].HasText && !dynamic_cast<TkxDataSkinCheckRadioControl*>(c.get()))
          S.Centred({sx + 4, py + 16, sx + 4 + outW, py + 16 + outH}, "文字 Aa", states[0].Text);
      }
    }
    // The frame objects' picture as it is.
    y += rowH + 12;
    auto* cap = Obj<TkxDataSkinCaption>(SD, "caption");
    TBitmap* atlas = Picture(SD, cap->ActivePictureIndex);
    S.Text(12, y, "caption buttons (normal, hot, down, inactive, disabled), menu bar items, menu items", text, 12, true);
    S.Copy(atlas, {0, 0, atlas->Width(), atlas->Height()}, 12, y + 18);
    S.B.SetHeight(y + 18 + atlas->Height() + 12);
    S.Save((dir / ("kxSkin" + std::to_string(n) + ".png")).string());
    EXPECT_TRUE(fs::exists(dir / ("kxSkin" + std::to_string(n) + ".png")));
  }
}

TEST(SkinContactSheet, ThePicturesOfTheProgramOnLightAndDark) {
  namespace fs = std::filesystem;
  const fs::path gen = OMBREL_GENERATED_RESOURCES, dir = fs::path(OMBREL_TEST_BUILD_DIR) / "skin-sheets";
  fs::create_directories(dir);
  auto png = [&](const std::string& File) {
    TPngImage p;
    p.LoadFromFile((gen / File).string());
    return p.Image();
  };
  Sheet S(1460, 840, TColor(0xF4F1EE));
  for (int dark = 0; dark < 2; ++dark) {
    const int oy = dark * 420;
    if (dark) {
      S.B.Canvas()->Brush()->SetStyle(bsSolid);
      S.B.Canvas()->Brush()->SetColor(TColor(0x312D2B));
      S.B.Canvas()->FillRect({0, oy, 1460, oy + 420});
    }
    const TColor text = dark ? TColor(0xEEEEEE) : TColor(0x202020);
    S.Text(10, oy + 6, "ImageList1 (44), ImageList2 (7), tool-button glyphs, application icon", text, 12, true);
    S.Blend(png("pictures/ImageList1.png"), 10, oy + 28);
    S.Blend(png("pictures/ImageList2.png"), 10, oy + 70, 2);
    int x = 10;
    for (const char* g : {"add", "remove", "clear", "start", "stop", "pause", "resume", "options", "skin"}) {
      S.Blend(png(std::string("glyphs/") + g + ".png"), x, oy + 150);
      S.Text(x, oy + 186, g, text, 11);
      x += 60;
    }
    TFileStream f((gen / "icons/MAINICON.ico").string(), fmOpenRead);
    std::vector<uint8_t> bytes(size_t(f.Size()));
    f.ReadBuffer(bytes.data(), int64_t(bytes.size()));
    x = 600;
    for (const auto& im : img::ReadIco(bytes.data(), bytes.size())) {
      S.Blend(im.Color, x, oy + 150);
      x += im.Color.Width + 12;
    }
  }
  S.Save((dir / "pictures.png").string());
  EXPECT_TRUE(fs::exists(dir / "pictures.png"));
}

}  // namespace
