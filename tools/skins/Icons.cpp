#include "tools/skins/Icons.h"

#include <cmath>

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

}  // namespace skingen
