#include "tools/skins/Icons.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/skins/Paint.h"

namespace skingen {

namespace {

const RGB kWhite = Hex(0xFFFFFF);

std::unique_ptr<TkxBitmap> Transparent(int w, int h) {
  auto b = std::make_unique<TkxBitmap>();
  b->SetSize(w, h);
  b->Clear(0);
  b->AlphaBlend = true;
  return b;
}

// Pictograms drawn in white on a coloured tile, in a 32 x 32 cell at (ox, 0).
enum Picto { Film, Note, Play, Phone, Monitor, Player, Handheld, Bolt, Disc, Waves, Clapper, Reel, Smart };

void Pictogram(Painter& p, double ox, int kind, RGB c) {
  auto L = [&](double x0, double y0, double x1, double y1, double w) { p.Line(ox + x0, y0, ox + x1, y1, w, c); };
  switch (kind) {
    case Film:
      p.RoundFrame(ox + 8, 8, ox + 24, 24, 2, 2, c);
      for (int i = 0; i < 3; ++i) p.Fill(int(ox) + 10, 11 + i * 4, int(ox) + 12, 13 + i * 4, c), p.Fill(int(ox) + 20, 11 + i * 4, int(ox) + 22, 13 + i * 4, c);
      break;
    case Note:
      p.Circle(ox + 12, 21, 3.2, c), p.Circle(ox + 21, 19, 3.2, c);
      L(15, 21, 15, 9, 1.8), L(24, 19, 24, 7.5, 1.8), L(15, 9.5, 24, 8, 2.4);
      break;
    case Play: p.Polygon({{ox + 12, 8.5}, {ox + 24, 16}, {ox + 12, 23.5}}, c); break;
    case Phone:
      p.RoundFrame(ox + 11, 6, ox + 21, 26, 2.5, 1.8, c);
      p.Circle(ox + 16, 22.5, 1.2, c);
      break;
    case Monitor:
      p.RoundFrame(ox + 6, 8, ox + 26, 21, 1.5, 1.8, c);
      L(16, 21, 16, 24, 1.8), L(11, 24.5, 21, 24.5, 1.8);
      L(10, 12, 10, 17, 1.6), L(13, 12, 13, 17, 1.6), L(10, 14.5, 13, 14.5, 1.4);
      p.RoundFrame(ox + 16, 12, ox + 21, 17, 1.5, 1.5, c);
      break;
    case Player:
      p.RoundFrame(ox + 10, 6, ox + 22, 26, 2.5, 1.8, c);
      p.Fill(int(ox) + 12, 8, int(ox) + 20, 13, c);
      p.Ring(ox + 16, 19.5, 3.6, 1.6, c);
      break;
    case Handheld:
      p.RoundFrame(ox + 5, 10, ox + 27, 22, 5, 1.8, c);
      p.Fill(int(ox) + 12, 13, int(ox) + 20, 19, c);
      p.Circle(ox + 9, 16, 1.4, c), p.Circle(ox + 23, 16, 1.4, c);
      break;
    case Bolt: p.Polygon({{ox + 18, 6}, {ox + 10, 17}, {ox + 15.5, 17}, {ox + 13, 26}, {ox + 22, 14}, {ox + 16.5, 14}}, c); break;
    case Disc: p.Ring(ox + 16, 16, 9, 2, c), p.Ring(ox + 16, 16, 3.2, 1.6, c); break;
    case Waves:
      for (int i = 0; i < 5; ++i) {
        static const double h[5] = {6, 12, 16, 10, 7};
        p.RoundRect(ox + 7 + i * 4, 16 - h[i] / 2, ox + 9.5 + i * 4, 16 + h[i] / 2, 1.2, c);
      }
      break;
    case Clapper:
      p.RoundFrame(ox + 7, 13, ox + 25, 25, 1.5, 1.8, c);
      p.Polygon({{ox + 7, 8}, {ox + 24, 6}, {ox + 24.6, 10}, {ox + 7.6, 12}}, c);
      break;
    case Reel:
      p.Ring(ox + 16, 16, 9, 1.8, c);
      for (int i = 0; i < 5; ++i) {
        double a = i * 2 * M_PI / 5 - M_PI / 2;
        p.Circle(ox + 16 + 5 * std::cos(a), 16 + 5 * std::sin(a), 1.7, c);
      }
      break;
    default:  // smart phone with signal
      p.RoundFrame(ox + 9, 7, ox + 19, 26, 2.5, 1.8, c);
      p.Circle(ox + 14, 22.5, 1.2, c);
      L(22, 14, 22, 11, 1.6), L(25, 14, 25, 8, 1.6);
      break;
  }
}

// A tile whose picture has a hue of its own; white is kept for the pictogram.
void Tile(Painter& p, int ox, RGB top, RGB bottom) {
  p.RoundRect(ox + 1.5, 1.5, ox + 30.5, 30.5, 6.5, Mix(bottom, Hex(0), 0.25));
  p.RoundRect(ox + 2.5, 2.5, ox + 29.5, 29.5, 5.5, [&](double t) { return Mix(top, bottom, t); });
}

struct TileDef {
  int Picto;
  uint32_t Top, Bottom;
};

// The category list shows pictures 30, 0, 29, 1, 10, 13, 2, 3, 4, 5, 40, 11 and 18.
TileDef IconOf(int index) {
  switch (index) {
    case 30: return {Play, 0x4A8FE7, 0x2563C4};      // WMV
    case 0: return {Film, 0x5C7CFA, 0x3B5BDB};       // common video
    case 29: return {Waves, 0x22B8CF, 0x1098AD};     // ASF stream
    case 1: return {Note, 0xF76707, 0xD9480F};       // common audio
    case 10: return {Clapper, 0x7950F2, 0x5F3DC4};   // MP4
    case 13: return {Reel, 0x20C997, 0x0CA678};      // AVI
    case 2: return {Monitor, 0x495057, 0x212529};    // HD
    case 3: return {Player, 0xADB5BD, 0x6C7A89};     // iPod
    case 4: return {Phone, 0x343A40, 0x15181B};      // iPhone
    case 5: return {Handheld, 0x364FC7, 0x1C2F8F};   // PSP
    case 40: return {Smart, 0x37B24D, 0x2B8A3E};     // smart phones
    case 11: return {Bolt, 0xF03E3E, 0xC92A2A};      // Flash
    case 18: return {Disc, 0xAE3EC9, 0x862E9C};      // MPG
    default: break;
  }
  static const uint32_t hues[][2] = {{0x4C6EF5, 0x364FC7}, {0x15AABF, 0x0C8599}, {0x40C057, 0x2F9E44},
                                     {0xFAB005, 0xE67700}, {0xFA5252, 0xE03131}, {0xBE4BDB, 0x9C36B5},
                                     {0x868E96, 0x495057}};
  const auto& h = hues[index % 7];
  return {index % 13, h[0], h[1]};
}

}  // namespace

std::unique_ptr<TkxBitmap> ImageListStrip(int List) {
  const int n = List == 1 ? kImageList1Count : kImageList2Count;
  auto b = Transparent(32 * n, 32);
  Painter p(*b);
  for (int i = 0; i < n; ++i) {
    TileDef d = List == 1 ? IconOf(i)
                          : (i % 2 == 0 ? TileDef{Film, 0x4A8FE7, 0x2563C4}
                                        : TileDef{i == 1 ? Film : i % 13, uint32_t(0x20C997 + 0x10 * i), 0x0CA678});
    Tile(p, 32 * i, Hex(d.Top), Hex(d.Bottom));
    Pictogram(p, 32 * i, d.Picto, kWhite);
  }
  return b;
}

const std::vector<Glyph>& ToolGlyphs() {
  static const std::vector<Glyph> g = {{"add", 0},   {"remove", 1}, {"clear", 2},   {"start", 3}, {"stop", 4},
                                       {"pause", 5}, {"resume", 6}, {"options", 7}, {"skin", 8}};
  return g;
}

std::unique_ptr<TkxBitmap> ToolGlyph(int Kind, int Size) {
  auto b = Transparent(Size, Size);
  Painter p(*b);
  const double s = Size / 32.0;
  auto S = [&](double v) { return v * s; };
  // A dark rim keeps each glyph visible on light and dark tool bars alike.
  auto disc = [&](RGB c) {
    p.Circle(S(16), S(16), S(14), Mix(c, Hex(0), 0.35));
    p.Circle(S(16), S(16), S(13), c);
  };
  switch (Kind) {
    case 0:
      disc(Hex(0x2F9E44));
      p.Line(S(16), S(9), S(16), S(23), S(3.2), kWhite), p.Line(S(9), S(16), S(23), S(16), S(3.2), kWhite);
      break;
    case 1:
      disc(Hex(0xE03131));
      p.Line(S(9), S(16), S(23), S(16), S(3.2), kWhite);
      break;
    case 2: {
      RGB c = Hex(0x5C6B7A), rim = Mix(c, Hex(0), 0.35);
      p.RoundRect(S(8), S(9), S(24), S(12), S(1), rim);
      p.Polygon({{S(9), S(13)}, {S(23), S(13)}, {S(21.5), S(29)}, {S(10.5), S(29)}}, rim);
      p.Polygon({{S(10.2), S(14)}, {S(21.8), S(14)}, {S(20.6), S(28)}, {S(11.4), S(28)}}, c);
      p.RoundRect(S(13), S(5.5), S(19), S(9), S(1), rim);
      for (int i = 0; i < 3; ++i) p.Line(S(13 + 3 * i), S(17), S(13.3 + 2.7 * i), S(25), S(1.4), kWhite);
      break;
    }
    case 3:
      disc(Hex(0x2F9E44));
      p.Polygon({{S(12.5), S(9)}, {S(23.5), S(16)}, {S(12.5), S(23)}}, kWhite);
      break;
    case 4:
      disc(Hex(0xE03131));
      p.RoundRect(S(10.5), S(10.5), S(21.5), S(21.5), S(1.5), kWhite);
      break;
    case 5:
      disc(Hex(0xF08C00));
      p.RoundRect(S(10.5), S(9.5), S(14.5), S(22.5), S(1), kWhite), p.RoundRect(S(17.5), S(9.5), S(21.5), S(22.5), S(1), kWhite);
      break;
    case 6:
      disc(Hex(0x1C7ED6));
      p.RoundRect(S(10), S(9.5), S(13), S(22.5), S(1), kWhite);
      p.Polygon({{S(15), S(9)}, {S(24), S(16)}, {S(15), S(23)}}, kWhite);
      break;
    case 7: {
      RGB c = Hex(0x5C6B7A), rim = Mix(c, Hex(0), 0.35);
      std::vector<Pt> gear;
      for (int i = 0; i < 48; ++i) {
        double a = i * 2 * M_PI / 48;
        double r = (i / 3) % 2 == 0 ? 13.5 : 10.5;
        gear.push_back({S(16 + r * std::cos(a)), S(16 + r * std::sin(a))});
      }
      p.Polygon(gear, rim);
      for (auto& g : gear) g = {S(16) + (g.x - S(16)) * 0.88, S(16) + (g.y - S(16)) * 0.88};
      p.Polygon(gear, c);
      p.Circle(S(16), S(16), S(4.2), kWhite);
      break;
    }
    case kRenameGlyph: {
      disc(Hex(0x1C7ED6));
      // A pencil across the disc, its point down to the left.
      RGB wood = Hex(0xFFD43B);
      p.Polygon({{S(19), S(8)}, {S(24), S(13)}, {S(13.5), S(23.5)}, {S(8.5), S(18.5)}}, kWhite);
      p.Polygon({{S(19.8), S(9.6)}, {S(22.4), S(12.2)}, {S(13.2), S(21.4)}, {S(10.6), S(18.8)}}, wood);
      p.Polygon({{S(8.5), S(18.5)}, {S(13.5), S(23.5)}, {S(7), S(25)}}, kWhite);
      break;
    }
    default: {
      RGB c = Hex(0xE9C46A), rim = Mix(c, Hex(0), 0.4);
      p.Circle(S(16), S(16), S(14), rim);
      p.Circle(S(16), S(16), S(13), c);
      p.Circle(S(21), S(21), S(3.2), rim);
      RGB dots[4] = {Hex(0xE03131), Hex(0x2F9E44), Hex(0x1C7ED6), Hex(0x7048E8)};
      for (int i = 0; i < 4; ++i) {
        double a = M_PI * (1.0 + i * 0.42);
        p.Circle(S(16 + 7.5 * std::cos(a)), S(14 + 7.5 * std::sin(a)), S(2.6), dots[i]);
      }
      break;
    }
  }
  return b;
}

std::unique_ptr<TkxBitmap> AppIcon(int Size) {
  auto b = Transparent(Size, Size);
  Painter p(*b);
  const double s = Size / 32.0;
  auto S = [&](double v) { return v * s; };
  const bool small = Size <= 16;
  p.RoundRect(S(1), S(1), S(31), S(31), S(7), Hex(0x1F4FA8));
  p.RoundRect(S(1) + (small ? 0.7 : 1), S(1) + (small ? 0.7 : 1), S(31) - (small ? 0.7 : 1), S(31) - (small ? 0.7 : 1),
              S(6.2), [&](double t) { return Mix(Hex(0x4C9BF5), Hex(0x6A48D8), t); });
  // A film frame with a play mark and the arrow of conversion.
  p.RoundFrame(S(6), S(8), S(26), S(24), S(2.5), std::max(1.2, S(2)), kWhite);
  if (!small)
    for (int i = 0; i < 3; ++i) {
      p.RoundRect(S(8.5), S(10.5 + i * 4.3), S(10.5), S(12.5 + i * 4.3), S(0.4), kWhite);
      p.RoundRect(S(21.5), S(10.5 + i * 4.3), S(23.5), S(12.5 + i * 4.3), S(0.4), kWhite);
    }
  p.Polygon({{S(13), S(11)}, {S(20.5), S(16)}, {S(13), S(21)}}, Hex(0xFFD43B));
  return b;
}

namespace {

// Src over Dst at (X, Y), by Src's own alpha.
void Compose(TkxBitmap& Dst, TkxBitmap& Src, int X, int Y) {
  Painter p(Dst);
  for (int y = 0; y < Src.Height(); ++y)
    for (int x = 0; x < Src.Width(); ++x) {
      TkxColor c = *Src.PixelAddress(x, y);
      p.Blend(X + x, Y + y, {PixelRed(c) / 255.0, PixelGreen(c) / 255.0, PixelBlue(c) / 255.0}, PixelAlpha(c) / 255.0);
    }
}

// A soft elliptic shadow under a picture: black at Alpha in the middle, fading to the rim.
void Shadow(Painter& p, double cx, double cy, double rx, double ry, double Alpha) {
  for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y)
    for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
      double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry, d = dx * dx + dy * dy;
      if (d < 1) p.Blend(x, y, Hex(0), Alpha * (1 - d));
    }
}

}  // namespace

const std::vector<GroupGlyph>& GroupGlyphs() {
  // The groups' on / off pictures: Add 3/2, Start 5/4, Pause 7/6, Resume 9/8, Stop 11/10,
  // Clear 13/12, Remove 15/14, Rename 16/17.
  static const std::vector<GroupGlyph> g = {
      {2, 0, false},  {3, 0, true},  {4, 3, false},  {5, 3, true},   {6, 5, false},  {7, 5, true},
      {8, 6, false},  {9, 6, true},  {10, 4, false}, {11, 4, true},  {12, 2, false}, {13, 2, true},
      {14, 1, false}, {15, 1, true}, {16, kRenameGlyph, true}, {17, kRenameGlyph, false}};
  return g;
}

std::unique_ptr<TkxBitmap> DisabledLook(TkxBitmap& On) {
  auto b = Transparent(On.Width(), On.Height());
  for (int y = 0; y < On.Height(); ++y)
    for (int x = 0; x < On.Width(); ++x) {
      TkxColor c = *On.PixelAddress(x, y);
      // Grey by luminance, lifted towards a light grey so the shape stays readable but quiet.
      double l = (0.2126 * PixelRed(c) + 0.7152 * PixelGreen(c) + 0.0722 * PixelBlue(c)) / 255.0;
      double g = 0.45 + 0.45 * l;
      *b->PixelAddress(x, y) = ToPixel({g, g, g}, PixelAlpha(c) / 255.0 * 0.6);
    }
  return b;
}

std::unique_ptr<TkxBitmap> EmptyListPicture() {
  const int w = kEmptyListWidth, h = kEmptyListHeight;
  auto b = Transparent(w, h);
  Painter p(*b);
  const RGB line = Hex(0x9AA5B1);
  // A dashed drop zone, with rounded corners drawn whole.
  const double x0 = 12, y0 = 12, x1 = w - 12, y1 = h - 12, r = 14, lw = 2;
  for (double x = x0 + r; x < x1 - r; x += 14) p.Line(x, y0 + 1, std::min(x + 8, x1 - r), y0 + 1, lw, line);
  for (double x = x0 + r; x < x1 - r; x += 14) p.Line(x, y1 - 1, std::min(x + 8, x1 - r), y1 - 1, lw, line);
  for (double y = y0 + r; y < y1 - r; y += 14) p.Line(x0 + 1, y, x0 + 1, std::min(y + 8, y1 - r), lw, line);
  for (double y = y0 + r; y < y1 - r; y += 14) p.Line(x1 - 1, y, x1 - 1, std::min(y + 8, y1 - r), lw, line);
  for (int i = 0; i < 8; ++i) {
    double a0 = i * M_PI / 16, a1 = (i + 1) * M_PI / 16;
    auto arc = [&](double cx, double cy, double base) {
      p.Line(cx + (r - 1) * std::cos(base + a0), cy + (r - 1) * std::sin(base + a0), cx + (r - 1) * std::cos(base + a1),
             cy + (r - 1) * std::sin(base + a1), lw, line);
    };
    arc(x0 + r, y0 + r, M_PI), arc(x1 - r, y0 + r, 1.5 * M_PI), arc(x1 - r, y1 - r, 0), arc(x0 + r, y1 - r, 0.5 * M_PI);
  }
  // In the middle a film frame with its sprocket holes and a play mark ...
  const double cx = w / 2.0, cy = h / 2.0 - 6;
  const RGB film = Hex(0x7B8794), soft = Hex(0xDDE3EA);
  p.RoundRect(cx - 56, cy - 42, cx + 56, cy + 42, 10, film);
  p.RoundRect(cx - 38, cy - 34, cx + 38, cy + 34, 4, soft);
  for (int i = 0; i < 5; ++i) {
    p.RoundRect(cx - 51, cy - 34 + i * 14.5, cx - 43, cy - 26 + i * 14.5, 1.5, soft);
    p.RoundRect(cx + 43, cy - 34 + i * 14.5, cx + 51, cy - 26 + i * 14.5, 1.5, soft);
  }
  p.Polygon({{cx - 11, cy - 16}, {cx + 17, cy}, {cx - 11, cy + 16}}, film);
  // ... and the add button's glyph on its corner: what to press to fill the list.
  auto add = ToolGlyph(0, 44);
  Compose(*b, *add, int(cx + 34), int(cy + 20));
  return b;
}

std::unique_ptr<TkxBitmap> AboutPicture() {
  auto b = Transparent(53, 57);
  Painter p(*b);
  Shadow(p, 26.5, 53.5, 21, 3, 0.35);
  auto icon = AppIcon(53);
  Compose(*b, *icon, 0, 0);
  return b;
}

std::unique_ptr<TkxBitmap> SettingsPicture() {
  auto b = Transparent(128, 128);
  Painter p(*b);
  Shadow(p, 64, 118, 54, 7, 0.3);
  // The folder: its back with the tab, then the front leaf a little lower.
  const RGB back = Hex(0xE8A317), front = Hex(0xFFC94A);
  p.RoundRect(10, 18, 52, 34, 6, Mix(back, Hex(0), 0.1));
  p.RoundRect(10, 26, 118, 110, 8, back);
  // The clapperboard stands in the folder, behind the front leaf.
  const RGB slate = Hex(0x2B3035), stripe = Hex(0xF1F3F5);
  p.RoundRect(26, 40, 86, 84, 4, slate);
  std::vector<Pt> arm = {{24, 27}, {84, 17}, {86.5, 29}, {26.5, 39}};
  p.Polygon(arm, slate);
  for (int i = 0; i < 4; ++i) {
    double t0 = 0.08 + i * 0.24, t1 = t0 + 0.12;
    auto at = [&](double t, double s) { return Pt{24 + 60 * t + 2.5 * s, 27 - 10 * t + 12 * s}; };
    p.Polygon({at(t0, 0.15), at(t1, 0.15), at(t1 - 0.04, 0.85), at(t0 - 0.04, 0.85)}, stripe);
  }
  for (int i = 0; i < 4; ++i) p.Polygon({{30.0 + i * 14, 41}, {37.0 + i * 14, 41}, {33.0 + i * 14, 47}, {26.0 + i * 14, 47}}, stripe);
  p.RoundRect(10, 52, 118, 110, 8, [&](double t) { return Mix(front, back, t * 0.6); });
  p.Line(14, 53.5, 114, 53.5, 1.5, Mix(front, Hex(0xFFFFFF), 0.5));
  // The disc leans on the folder's front at the right.
  const double dx = 90, dy = 84, dr = 30;
  p.Circle(dx, dy + 1.5, dr + 1, Mix(Hex(0x495057), Hex(0), 0.2));
  for (int y = int(dy - dr); y <= int(dy + dr); ++y)
    for (int x = int(dx - dr); x <= int(dx + dr); ++x) {
      double ex = x + 0.5 - dx, ey = y + 0.5 - dy, d = std::sqrt(ex * ex + ey * ey);
      if (d > dr) continue;
      // A silver face with a faint rainbow sweep.
      double a = std::atan2(ey, ex);
      RGB sweep{0.5 + 0.5 * std::cos(2 * a), 0.5 + 0.5 * std::cos(2 * a + 2.1), 0.5 + 0.5 * std::cos(2 * a + 4.2)};
      RGB c = Mix(Hex(0xE9ECEF), sweep, 0.18 * (d / dr));
      p.Blend(x, y, c, std::clamp(dr - d, 0.0, 1.0));
    }
  p.Ring(dx, dy, dr, 1.2, Hex(0xADB5BD));
  p.Circle(dx, dy, 9, Hex(0xCED4DA));
  p.Ring(dx, dy, 9, 1, Hex(0x868E96));
  // The hole shows through.
  for (int y = int(dy - 4); y <= int(dy + 4); ++y)
    for (int x = int(dx - 4); x <= int(dx + 4); ++x) {
      double ex = x + 0.5 - dx, ey = y + 0.5 - dy;
      if (ex * ex + ey * ey <= 3.6 * 3.6) *b->PixelAddress(x, y) = 0;
    }
  return b;
}

std::unique_ptr<TkxBitmap> SettingsImageStrip() {
  // Categories: common video, common audio, HD, iPod, iPhone, PSP, 3GP, Apple, Xbox, PMP, MP4,
  // Flash; the ones the main window also lists keep its pictures.
  const TileDef defs[kSettingsImageCount] = {
      IconOf(0),  IconOf(1), IconOf(2), IconOf(3), IconOf(4), IconOf(5), {Smart, 0x15AABF, 0x0C8599},
      {Play, 0x868E96, 0x495057}, {Handheld, 0x40C057, 0x2F9E44}, {Player, 0xFD7E14, 0xE8590C}, IconOf(10), IconOf(11)};
  auto b = Transparent(32 * kSettingsImageCount, 32);
  Painter p(*b);
  for (int i = 0; i < kSettingsImageCount; ++i) {
    Tile(p, 32 * i, Hex(defs[i].Top), Hex(defs[i].Bottom));
    Pictogram(p, 32 * i, defs[i].Picto, kWhite);
  }
  return b;
}

std::vector<uint8_t> BellWav() {
  // 0.8 s at 22050 Hz: a struck bell's partials, the higher ones dying sooner.
  const int rate = 22050, n = rate * 8 / 10;
  struct Partial {
    double Freq, Amp, Decay;
  } partials[] = {{1046.5, 0.55, 4.0}, {2093.0, 0.25, 7.0}, {2637.0, 0.18, 9.0}, {3136.0, 0.10, 12.0}, {523.25, 0.12, 3.0}};
  std::vector<uint8_t> out;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) { out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8)); };
  auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
  tag("RIFF"), u32(36 + 2 * n), tag("WAVE");
  tag("fmt "), u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
  tag("data"), u32(2 * n);
  for (int i = 0; i < n; ++i) {
    double t = double(i) / rate, v = 0;
    for (const Partial& q : partials) v += q.Amp * std::exp(-q.Decay * t) * std::sin(2 * M_PI * q.Freq * t);
    v *= std::min(1.0, t / 0.003);                      // no click at the strike
    v *= std::min(1.0, (n - 1 - i) / (0.02 * rate));    // nor at the end
    u16(uint16_t(int16_t(std::lround(std::clamp(v * 0.8, -1.0, 1.0) * 32767))));
  }
  return out;
}

}  // namespace skingen
