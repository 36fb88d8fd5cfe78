// TIcon: .ico files read and written, handles taken and given, copies, drawing, bad files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/Resources.h"
#include "base/Stream.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/Codecs.h"
#include "platform/WinUser.h"

using namespace win;

namespace {

void Put16(img::Bytes& b, uint32_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
void Put32(img::Bytes& b, uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); }

// One picture of an icon file, written here by hand from the file format: pixels top-down as
// 0xAARRGGBB, mask rows top-down ('.' transparent), both stored bottom-up.
struct Pic {
  int w, h, bpp;
  std::vector<uint32_t> px;
  std::vector<std::string> mask;
  img::Bytes Body() const {
    img::Bytes b;
    Put32(b, 40); Put32(b, uint32_t(w)); Put32(b, uint32_t(2 * h)); Put16(b, 1); Put16(b, uint32_t(bpp));
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
      size_t start = b.size();
      for (int x = 0; x < w; ++x)
        for (int k = 0; k < bpp / 8; ++k) b.push_back(uint8_t(px[size_t(y * w + x)] >> (8 * k)));
      while ((b.size() - start) % 4) b.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
      img::Bytes row(((size_t(w) + 31) / 32) * 4, 0);
      for (int x = 0; x < w; ++x)
        if (mask[size_t(y)][size_t(x)] == '.') row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
      b.insert(b.end(), row.begin(), row.end());
    }
    return b;
  }
};

img::Bytes Ico(const std::vector<Pic>& pics) {
  img::Bytes b;
  Put16(b, 0); Put16(b, 1); Put16(b, uint32_t(pics.size()));
  uint32_t at = 6 + 16 * uint32_t(pics.size());
  std::vector<img::Bytes> bodies;
  for (const Pic& p : pics) {
    bodies.push_back(p.Body());
    b.push_back(uint8_t(p.w)); b.push_back(uint8_t(p.h)); b.push_back(0); b.push_back(0);
    Put16(b, 1); Put16(b, uint32_t(p.bpp)); Put32(b, uint32_t(bodies.back().size())); Put32(b, at);
    at += uint32_t(bodies.back().size());
  }
  for (const auto& body : bodies) b.insert(b.end(), body.begin(), body.end());
  return b;
}

// A 3x2 picture with alpha (straight) and a 3x2 one with a mask and no alpha.
const Pic kAlpha{3, 2, 32, {0xFF102030u, 0x80FF0000u, 0x00000000u, 0x40FFFFFFu, 0xFF00FF00u, 0xC0000080u}, {"##.", "###"}};
const Pic kMasked{3, 2, 24, {0x102030u, 0x000000u, 0x405060u, 0x0000FFu, 0x00FF00u, 0x000000u}, {"#.#", "##."}};

struct IconPixels {
  std::vector<uint32_t> color, mask;
  int w = 0, h = 0;
};
std::vector<uint32_t> Read(HBITMAP bm, int* w, int* h) {
  BITMAP info;
  GetObject(bm, sizeof info, &info);
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = info.bmWidth;
  bi.bmiHeader.biHeight = -info.bmHeight;
  bi.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> px(size_t(info.bmWidth) * size_t(info.bmHeight));
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, bm, 0, UINT(info.bmHeight), px.data(), &bi, DIB_RGB_COLORS);
  DeleteDC(dc);
  *w = info.bmWidth;
  *h = info.bmHeight;
  return px;
}
IconPixels PixelsOf(HICON icon) {
  IconPixels out;
  ICONINFO ii;
  if (!GetIconInfo(icon, &ii)) return out;
  int mw = 0, mh = 0;
  out.mask = Read(ii.hbmMask, &mw, &mh);
  if (ii.hbmColor) out.color = Read(ii.hbmColor, &out.w, &out.h);
  DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  return out;
}
// What a picture of the file should give through the handle: colour as stored (24-bit pictures
// with alpha 0) and the mask white where transparent.
void ExpectPicture(HICON icon, const Pic& p) {
  IconPixels got = PixelsOf(icon);
  ASSERT_EQ(got.w, p.w);
  ASSERT_EQ(got.h, p.h);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      const size_t i = size_t(y * p.w + x);
      EXPECT_EQ(got.color[i], p.bpp == 32 ? p.px[i] : p.px[i] & 0xFFFFFF) << x << "," << y;
      EXPECT_EQ(got.mask[i], p.mask[size_t(y)][size_t(x)] == '.' ? 0x00FFFFFFu : 0u) << x << "," << y;
    }
}

void Load(TIcon& icon, const img::Bytes& file) {
  TMemoryStream s;
  s.WriteBuffer(file.data(), int64_t(file.size()));
  s.SetPosition(0);
  icon.LoadFromStream(s);
}

img::Bytes Save(TIcon& icon) {
  TMemoryStream s;
  icon.SaveToStream(s);
  const auto* p = static_cast<const uint8_t*>(s.Memory());
  return img::Bytes(p, p + s.Size());
}

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    path = std::filesystem::temp_directory_path() /
           ("ombrel-ico-" + std::to_string(::getpid()) + "-" + testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

uint32_t Px(TBitmap& b, int x, int y) { return static_cast<uint32_t*>(b.ScanLine(y))[x]; }

TEST(Icon, ReadsPicturesWithAlphaAndWithMaskBottomUp) {
  for (const Pic& p : {kAlpha, kMasked}) {
    SCOPED_TRACE(p.bpp);
    TIcon icon;
    Load(icon, Ico({p}));
    EXPECT_FALSE(icon.Empty());
    EXPECT_EQ(icon.Width(), 3);
    EXPECT_EQ(icon.Height(), 2);
    ExpectPicture(icon.Handle(), p);
    // Written back as the very same file.
    EXPECT_EQ(Save(icon), Ico({p}));
  }
}

TEST(Icon, PalettePicturesAndTheChoiceAmongSizes) {
  // A 4-bit 2x1 picture: indexes 1 and 2 of a 16-entry table.
  img::Bytes body;
  Put32(body, 40); Put32(body, 2); Put32(body, 2); Put16(body, 1); Put16(body, 4);
  for (int i = 0; i < 6; ++i) Put32(body, 0);
  for (int i = 0; i < 16; ++i) Put32(body, i == 1 ? 0x112233u : i == 2 ? 0x445566u : 0);
  Put32(body, 0x12);        // the XOR row: pixel 0 = 1, pixel 1 = 2
  Put32(body, 0x40);        // the AND row: pixel 1 transparent
  img::Bytes file;
  Put16(file, 0); Put16(file, 1); Put16(file, 1);
  file.insert(file.end(), {2, 1, 16, 0});
  Put16(file, 1); Put16(file, 4); Put32(file, uint32_t(body.size())); Put32(file, 22);
  file.insert(file.end(), body.begin(), body.end());
  TIcon icon;
  Load(icon, file);
  ExpectPicture(icon.Handle(), Pic{2, 1, 24, {0x112233u, 0x445566u}, {"#."}});

  // Several sizes: the one nearest the system's icon size, the deepest of equals.
  const int size = GetSystemMetrics(SM_CXICON);
  auto square = [](int n, int bpp, uint32_t c) {
    return Pic{n, n, bpp, std::vector<uint32_t>(size_t(n * n), c), std::vector<std::string>(size_t(n), std::string(size_t(n), '#'))};
  };
  const Pic small = square(16, 32, 0xFF0000FFu), near24 = square(size, 24, 0x00FF00u),
            near32 = square(size, 32, 0xFFFF0000u), big = square(size + 16, 32, 0xFFFFFFFFu);
  Load(icon, Ico({small, near24, near32, big}));
  EXPECT_EQ(icon.Width(), size);
  ExpectPicture(icon.Handle(), near32);
  // Every picture is kept in the file written back.
  EXPECT_EQ(Save(icon), Ico({small, near24, near32, big}));
}

TEST(Icon, HandleRoundTripsThroughAnIcoFile) {
  for (const Pic& p : {kAlpha, kMasked}) {
    SCOPED_TRACE(p.bpp);
    TIcon loaded;
    Load(loaded, Ico({p}));
    // A handle made elsewhere has no file: one is written from its picture.
    TIcon fromHandle;
    fromHandle.SetHandle(CopyIcon(loaded.Handle()));
    img::Bytes file = Save(fromHandle);
    ASSERT_GE(file.size(), 22u);
    EXPECT_EQ(file[2], 1);
    EXPECT_EQ(file[4], 1);
    EXPECT_EQ(file[12], p.bpp) << "32 bits with alpha, 24 without";
    TIcon back;
    Load(back, file);
    ExpectPicture(back.Handle(), p);
  }
}

TEST(Icon, FilesAndPicturesKnowTheIcoExtension) {
  TempDir dir;
  const std::string file = dir.File("a.ICO");
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(Ico({kAlpha}).data()),
                                              std::streamsize(Ico({kAlpha}).size()));
  TPicture pic;
  pic.LoadFromFile(file);
  auto* icon = dynamic_cast<TIcon*>(pic.Graphic());
  ASSERT_NE(icon, nullptr);
  ExpectPicture(icon->Handle(), kAlpha);
  pic.SaveToFile(dir.File("b.ico"));
  TIcon again;
  again.LoadFromFile(dir.File("b.ico"));
  ExpectPicture(again.Handle(), kAlpha);
  again.SaveToFile(dir.File("c.ico"));
  EXPECT_EQ(std::filesystem::file_size(dir.File("c.ico")), Ico({kAlpha}).size());
}

TEST(Icon, AssignCopiesAndHandlesChangeHands) {
  TIcon a;
  Load(a, Ico({kMasked}));
  TIcon b;
  b.Assign(&a);
  ASSERT_FALSE(b.Empty());
  EXPECT_NE(b.Handle(), a.Handle());
  EXPECT_EQ(Save(b), Ico({kMasked}));
  a.Assign(nullptr);
  EXPECT_TRUE(a.Empty());
  ExpectPicture(b.Handle(), kMasked);  // the copy stands alone

  TPicture pic;
  pic.SetGraphic(&b);
  TIcon c;
  c.Assign(&pic);
  ExpectPicture(c.Handle(), kMasked);

  HICON h = c.ReleaseHandle();
  EXPECT_TRUE(c.Empty());
  EXPECT_EQ(c.Width(), 0);
  ExpectPicture(h, kMasked);
  c.SetHandle(h);  // and back: the icon owns it again
  EXPECT_EQ(c.Width(), 3);

  EXPECT_THROW(c.SetHandle(LoadCursor(nullptr, IDC_ARROW)), EInvalidGraphicOperation);
  EXPECT_EQ(c.Handle(), h) << "a refused handle changes nothing";
  EXPECT_THROW(c.SetWidth(8), EInvalidGraphicOperation);
  EXPECT_EQ(c.Width(), 3);
  TIcon empty;
  TMemoryStream s;
  EXPECT_THROW(empty.SaveToStream(s), EInvalidGraphic);
  EXPECT_EQ(s.Size(), 0);
}

TEST(Icon, DrawsBlendedOrThroughItsMask) {
  auto canvasOf = [](uint32_t fill) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) static_cast<uint32_t*>(b->ScanLine(y))[x] = fill;
    return b;
  };
  TIcon alpha, masked;
  Load(alpha, Ico({kAlpha}));
  Load(masked, Ico({kMasked}));
  const uint32_t bg = 0xFF204060u;
  auto dst = canvasOf(bg);
  dst->Canvas()->Draw(1, 1, &alpha);
  // Straight colour over the destination: every channel rounded to nearest, written out here
  // from the rule rather than taken from the layer.
  auto blend = [](uint32_t s, uint32_t d) {
    auto round255 = [](uint32_t p) { return (2 * p + 255) / 510; };
    uint32_t a = s >> 24, out = 0;
    for (int sh = 0; sh < 32; sh += 8) {
      uint32_t sc = sh == 24 ? 255 : (s >> sh) & 0xFF;
      uint32_t v = round255(sc * a) + round255(((d >> sh) & 0xFF) * (255 - a));
      out |= std::min<uint32_t>(v, 255) << sh;
    }
    return out;
  };
  EXPECT_EQ(Px(*dst, 0, 0), bg);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Px(*dst, x + 1, y + 1), blend(kAlpha.px[size_t(y * 3 + x)], bg)) << x << "," << y;

  dst = canvasOf(bg);
  dst->Canvas()->Draw(1, 1, &masked);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      const bool clear = kMasked.mask[size_t(y)][size_t(x)] == '.';
      EXPECT_EQ(Px(*dst, x + 1, y + 1), clear ? bg & 0xFFFFFF : kMasked.px[size_t(y * 3 + x)]) << x << "," << y;
    }
  // Stretched by the nearest pixel; an empty rectangle draws nothing.
  dst = canvasOf(bg);
  dst->Canvas()->StretchDraw(Rect(0, 0, 5, 3), &masked);
  EXPECT_EQ(Px(*dst, 0, 0), kMasked.px[0]);
  EXPECT_EQ(Px(*dst, 4, 2), bg & 0xFFFFFF);
  dst = canvasOf(bg);
  dst->Canvas()->StretchDraw(Rect(2, 2, 2, 3), &masked);
  EXPECT_EQ(Px(*dst, 2, 2), bg);

  // A bitmap assigned an icon is the icon drawn on white.
  TBitmap b;
  b.Assign(&masked);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Canvas()->Pixels(1, 0), clWhite);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), TColor(RGB(0x10, 0x20, 0x30)));
}

TEST(Icon, CorruptFilesRaiseAndLoseNothing) {
  const img::Bytes good = Ico({kMasked});
  const size_t body = 22;  // the picture's header starts here
  auto with = [&](size_t at, std::vector<uint8_t> bytes) {
    img::Bytes b = good;
    for (size_t i = 0; i < bytes.size(); ++i) b[at + i] = bytes[i];
    return b;
  };
  auto u32 = [](uint32_t v) { return std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; };
  img::Bytes png = Ico({kMasked});
  png.resize(body);
  png.insert(png.end(), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
  png.resize(good.size(), 0);
  const std::pair<const char*, img::Bytes> cases[] = {
      {"empty", {}},
      {"short directory", img::Bytes(good.begin(), good.begin() + 4)},
      {"reserved word", with(0, {1})},
      {"a cursor file", with(2, {2})},
      {"no pictures", with(4, {0})},
      {"more pictures than the directory holds", with(4, {9})},
      {"picture past the end", with(18, u32(uint32_t(good.size())))},
      {"picture inside the directory", with(18, u32(6))},
      {"picture size past the end", with(14, u32(uint32_t(good.size())))},
      {"picture size 0", with(14, u32(0))},
      {"header size below 40", with(body, u32(12))},
      {"header size past the picture", with(body, u32(4000))},
      {"width 0", with(body + 4, u32(0))},
      {"negative width", with(body + 4, u32(uint32_t(-3)))},
      {"height 1 (no room for a mask)", with(body + 8, u32(1))},
      {"negative height", with(body + 8, u32(uint32_t(-4)))},
      {"16 bits per pixel", with(body + 14, {16, 0})},
      {"compressed", with(body + 16, u32(1))},
      {"huge width", with(body + 4, u32(0x40000000))},
      {"huge height", with(body + 8, u32(0x7FFFFFFE))},
      {"no AND mask", with(14, u32(uint32_t(good.size() - body - 8)))},
      {"corrupt PNG picture", png},
  };
  for (const auto& [why, bytes] : cases) {
    SCOPED_TRACE(why);
    EXPECT_THROW(img::ReadIco(bytes.data(), bytes.size()), EInvalidGraphic);
    TIcon icon;
    Load(icon, Ico({kAlpha}));
    HICON before = icon.Handle();
    TMemoryStream s;
    s.WriteBuffer("xyz", 3);
    if (!bytes.empty()) s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    s.SetPosition(3);
    EXPECT_THROW(icon.LoadFromStream(s), EInvalidGraphic);
    EXPECT_EQ(s.Position(), 3);
    EXPECT_EQ(icon.Handle(), before);
    EXPECT_EQ(icon.Width(), 3);
    EXPECT_EQ(Save(icon), Ico({kAlpha}));
  }
  // The stream is left just past a good file.
  TMemoryStream s;
  s.WriteBuffer(good.data(), int64_t(good.size()));
  s.WriteBuffer("tail", 4);
  s.SetPosition(0);
  TIcon icon;
  icon.LoadFromStream(s);
  EXPECT_EQ(s.Position(), int64_t(good.size()));
}

}  // namespace

TEST(Icon, TheApplicationIconIsTheEmbeddedMainIcon) {
  const TResource* res = FindResource("MAINICON", TResourceKind::Icon);
  ASSERT_NE(res, nullptr);
  auto pictures = img::ReadIco(res->Data, res->Size);
  ASSERT_EQ(pictures.size(), 4u);
  std::vector<int> sizes;
  for (const auto& p : pictures) sizes.push_back(p.Color.Width);
  EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));
  ASSERT_NE(Application, nullptr);
  TIcon* icon = Application->Icon();
  ASSERT_FALSE(icon->Empty());
  // Drawn over white: rounded corners stay clear, the middle is the icon's own colour.
  TBitmap b;
  b.Assign(icon);
  ASSERT_GT(b.Width(), 0);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_NE(b.Canvas()->Pixels(b.Width() / 2, b.Height() / 2), clWhite);
}
