// The graphics classes over the GDI layer: bitmaps, canvas drawing, pictures and files.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/Stream.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/Codecs.h"

namespace {

uint32_t Px(TBitmap& b, int x, int y) { return static_cast<uint32_t*>(b.ScanLine(y))[x]; }

// A 32-bit bitmap filled with one colour through the canvas.
std::unique_ptr<TBitmap> Filled(int w, int h, TColor c) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(c);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    path = std::filesystem::temp_directory_path() /
           ("ombrel-gfx-" + std::to_string(::getpid()) + "-" + testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

void WriteBytes(const std::string& file, const img::Bytes& b) {
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

}  // namespace

TEST(Colors, SystemColoursResolveThroughThePlatformTable) {
  EXPECT_EQ(ColorToRGB(clBtnFace), win::GetSysColor(win::COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clWindowText), win::GetSysColor(win::COLOR_WINDOWTEXT));
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
  EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
}

TEST(GraphicsObjects, ChangesAreAnnouncedAndFontSizeFollowsHeight) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject*) { ++changes; };
  f.SetSize(9);
  EXPECT_EQ(f.Height(), -12);
  EXPECT_EQ(f.Size(), 9);
  f.SetStyle({fsBold});
  f.SetColor(clRed);
  f.SetName("Arial");
  EXPECT_EQ(changes, 4);
  f.SetName("Arial");  // no change, no event
  EXPECT_EQ(changes, 4);
  TFont g;
  g.Assign(&f);
  EXPECT_EQ(g.Name(), "Arial");
  EXPECT_TRUE(g.Style().Contains(fsBold));
  EXPECT_EQ(g.Color(), clRed);

  TBrush b;
  b.SetStyle(bsClear);
  b.SetColor(clBlue);  // a colour makes a clear brush solid again
  EXPECT_EQ(b.Style(), bsSolid);
}

// A listener that asks for the handle while hearing of a change (a control handing its font to
// its window) gets a live object of the new values, not the old one about to be deleted.
TEST(GraphicsObjects, AListenerAskingForTheHandleGetsALiveObjectOfTheNewValues) {
  TFont f;
  f.SetHeight(12);
  win::HFONT before = f.Handle();
  win::HFONT heard = nullptr;
  f.OnChange = [&](TObject*) { heard = f.Handle(); };
  f.SetHeight(20);
  ASSERT_NE(heard, nullptr);
  EXPECT_EQ(heard, f.Handle());
  win::LOGFONTW lf{};
  ASSERT_NE(win::GetObject(heard, sizeof lf, &lf), 0);
  EXPECT_EQ(lf.lfHeight, 20);
  EXPECT_EQ(win::GetObject(before, sizeof lf, &lf), 0) << "the old object is deleted";

  TPen p;
  win::HPEN pen = nullptr;
  p.OnChange = [&](TObject*) { pen = p.Handle(); };
  p.SetWidth(3);
  win::LOGPEN lp{};
  ASSERT_NE(win::GetObject(pen, sizeof lp, &lp), 0);
  EXPECT_EQ(lp.lopnWidth.x, 3);
}

TEST(Bitmap, RowsAreTopDownAndScanLineIsChecked) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  EXPECT_THROW(b.ScanLine(0), EInvalidGraphicOperation);
  b.SetPixelFormat(pf24bit);
  b.SetSize(5, 3);
  EXPECT_EQ(b.Stride(), 16u);
  EXPECT_EQ(static_cast<uint8_t*>(b.ScanLine(1)) - static_cast<uint8_t*>(b.ScanLine(0)), 16);
  EXPECT_THROW(b.ScanLine(3), EInvalidGraphicOperation);
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
  // Pixel (0, 0) drawn by GDI is the first bytes of ScanLine(0).
  b.Canvas()->SetPixels(0, 0, TColor(0x030201));
  const uint8_t* row = static_cast<uint8_t*>(b.ScanLine(0));
  EXPECT_EQ(row[0], 0x03);
  EXPECT_EQ(row[2], 0x01);
  EXPECT_THROW(b.SetPixelFormat(pf16bit), EInvalidGraphicOperation);
}

TEST(Bitmap, ResizeKeepsOverlapAndFillsTheRestWithTheBrush) {
  auto b = Filled(4, 3, clRed);
  b->Canvas()->Brush()->SetColor(clBlue);
  b->SetSize(6, 2);
  EXPECT_EQ(Px(*b, 3, 1), 0xFF0000u);  // kept (COLORREF red -> pixel 0x00FF0000)
  EXPECT_EQ(Px(*b, 4, 0), 0x0000FFu);  // new: the brush
  EXPECT_EQ(Px(*b, 5, 1), 0x0000FFu);
  b->SetSize(0, 5);
  EXPECT_TRUE(b->Empty());
  // The canvas still draws after the DIB was replaced.
  b->SetSize(2, 2);
  b->Canvas()->SetPixels(1, 1, clLime);
  EXPECT_EQ(Px(*b, 1, 1), 0x00FF00u);
}

TEST(Bitmap, PixelFormatConversionAndPalette) {
  auto b = Filled(3, 2, clWhite);
  b->Canvas()->SetPixels(0, 0, clBlack);
  b->SetPixelFormat(pf1bit);
  EXPECT_TRUE(b->Monochrome());
  EXPECT_NE(b->Palette(), nullptr);
  const uint8_t* r0 = static_cast<uint8_t*>(b->ScanLine(0));
  EXPECT_EQ(r0[0] & 0xE0, 0x60);  // black, white, white
  b->SetPixelFormat(pf24bit);
  EXPECT_EQ(b->Palette(), nullptr);
  EXPECT_EQ(b->Canvas()->Pixels(0, 0), clBlack);
  EXPECT_EQ(b->Canvas()->Pixels(1, 0), clWhite);
}

TEST(Bitmap, StreamRoundTripAtEveryPixelFormat) {
  for (TPixelFormat pf : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(int(pf));
    TBitmap b;
    b.SetPixelFormat(pf);
    b.SetSize(7, 5);
    b.Canvas()->Brush()->SetColor(clBlack);
    b.Canvas()->FillRect(Rect(0, 0, 7, 5));
    b.Canvas()->Pen()->SetColor(clWhite);
    b.Canvas()->MoveTo(0, 1);
    b.Canvas()->LineTo(7, 1);
    b.Canvas()->SetPixels(6, 4, clWhite);
    TMemoryStream ms;
    ms.WriteBuffer("xy", 2);  // the picture need not start the stream
    b.SaveToStream(ms);
    ms.WriteBuffer("tail", 4);
    ms.SetPosition(2);
    TBitmap c;
    c.LoadFromStream(ms);
    EXPECT_EQ(ms.Position(), ms.Size() - 4);  // stops right after the picture
    EXPECT_EQ(c.PixelFormat(), pf);
    ASSERT_EQ(c.Width(), 7);
    ASSERT_EQ(c.Height(), 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) ASSERT_EQ(c.Canvas()->Pixels(x, y), b.Canvas()->Pixels(x, y)) << x << "," << y;
    EXPECT_EQ(c.Canvas()->Pixels(3, 1), clWhite);
    EXPECT_EQ(c.Canvas()->Pixels(3, 2), clBlack);
  }
}

TEST(Bitmap, CorruptStreamRaisesAndLosesNothing) {
  auto good = Filled(4, 4, clGreen);
  TMemoryStream ms;
  good->SaveToStream(ms);
  TMemoryStream cut;
  cut.WriteBuffer(ms.Memory(), ms.Size() - 5);
  cut.SetPosition(0);
  TBitmap fresh;
  EXPECT_THROW(fresh.LoadFromStream(cut), EInvalidGraphic);
  EXPECT_TRUE(fresh.Empty());
  EXPECT_EQ(cut.Position(), 0);
  auto kept = Filled(2, 2, clRed);
  cut.SetPosition(0);
  EXPECT_THROW(kept->LoadFromStream(cut), EInvalidGraphic);
  EXPECT_EQ(kept->Width(), 2);
  EXPECT_EQ(Px(*kept, 1, 1), 0xFF0000u);
  TMemoryStream empty;
  EXPECT_THROW(fresh.LoadFromStream(empty), EInvalidGraphic);
  EXPECT_THROW(fresh.SaveToStream(empty), EInvalidGraphic);
  EXPECT_THROW(fresh.LoadFromResourceName(0, "NOPE"), EResNotFound);
}

TEST(Canvas, PrimitivesLandWhereTheGdiRulesSay) {
  auto b = Filled(10, 10, clWhite);
  TCanvas* c = b->Canvas();
  EXPECT_EQ(Px(*b, 0, 0), 0x00FFFFFFu);  // GDI fills leave alpha 0
  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(2, 3, 5, 6));  // [2,5) x [3,6)
  EXPECT_EQ(c->Pixels(2, 3), clRed);
  EXPECT_EQ(c->Pixels(4, 5), clRed);
  EXPECT_EQ(c->Pixels(5, 5), clWhite);
  EXPECT_EQ(c->Pixels(4, 6), clWhite);
  // A line leaves out its end pixel; the pen position follows it.
  c->Pen()->SetColor(clBlue);
  c->MoveTo(0, 8);
  c->LineTo(4, 8);
  EXPECT_EQ(c->Pixels(3, 8), clBlue);
  EXPECT_EQ(c->Pixels(4, 8), clWhite);
  EXPECT_EQ(c->PenPos().x, 4);
  // Changing the pen between operations takes effect at once.
  c->Pen()->SetColor(clLime);
  c->LineTo(4, 9);
  EXPECT_EQ(c->Pixels(4, 8), clLime);
  // Rectangle: pen outline inside, brush interior; right and bottom excluded.
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clYellow);
  c->Rectangle(6, 0, 10, 4);
  EXPECT_EQ(c->Pixels(6, 0), clBlack);
  EXPECT_EQ(c->Pixels(9, 3), clBlack);
  EXPECT_EQ(c->Pixels(7, 1), clYellow);
  // A clear brush leaves the interior alone.
  c->Brush()->SetStyle(bsClear);
  c->Rectangle(0, 0, 3, 3);
  EXPECT_EQ(c->Pixels(1, 1), clWhite);
  EXPECT_EQ(c->Pixels(-1, 0), TColor(-1));
  TRect clip = c->ClipRect();
  EXPECT_TRUE(clip == Rect(0, 0, 10, 10));
}

TEST(Canvas, DrawStretchDrawAndCopyRect) {
  auto dst = Filled(8, 8, clWhite);
  auto src = Filled(2, 2, clRed);
  src->Canvas()->SetPixels(1, 0, clBlue);
  dst->Canvas()->Draw(3, 4, src.get());
  EXPECT_EQ(dst->Canvas()->Pixels(3, 4), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(4, 4), clBlue);
  EXPECT_EQ(dst->Canvas()->Pixels(5, 4), clWhite);
  EXPECT_EQ(dst->Canvas()->Pixels(2, 4), clWhite);
  // Doubling repeats each pixel.
  dst->Canvas()->StretchDraw(Rect(0, 0, 4, 2), src.get());
  EXPECT_EQ(dst->Canvas()->Pixels(1, 0), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(2, 0), clBlue);
  EXPECT_EQ(dst->Canvas()->Pixels(3, 0), clBlue);
  EXPECT_EQ(dst->Canvas()->Pixels(3, 1), clRed);
  dst->Canvas()->CopyRect(Rect(6, 6, 7, 7), src->Canvas(), Rect(1, 0, 2, 1));
  EXPECT_EQ(dst->Canvas()->Pixels(6, 6), clBlue);
  EXPECT_EQ(dst->Canvas()->Pixels(7, 7), clWhite);
  // Drawing on an outside DC.
  TCanvas outside;
  EXPECT_THROW(outside.FillRect(Rect(0, 0, 1, 1)), EInvalidGraphicOperation);
  outside.SetHandle(dst->Canvas()->Handle());
  outside.Brush()->SetColor(clGreen);
  outside.FillRect(Rect(0, 7, 1, 8));
  outside.SetHandle(nullptr);
  EXPECT_EQ(dst->Canvas()->Pixels(0, 7), clGreen);
}

TEST(Canvas, TransparentDrawSkipsTheKeyColour) {
  auto glyph = Filled(3, 3, clFuchsia);  // bottom-left decides the automatic key
  glyph->Canvas()->SetPixels(1, 1, clNavy);
  glyph->SetTransparent(true);
  EXPECT_EQ(glyph->TransparentColor(), clFuchsia);
  auto dst = Filled(5, 5, clWhite);
  dst->Canvas()->Draw(1, 1, glyph.get());
  EXPECT_EQ(dst->Canvas()->Pixels(2, 2), clNavy);
  EXPECT_EQ(dst->Canvas()->Pixels(1, 1), clWhite);
  EXPECT_EQ(dst->Canvas()->Pixels(3, 3), clWhite);

  // A fixed key: now the navy pixel is the hole.
  glyph->SetTransparentColor(clNavy);
  EXPECT_EQ(glyph->TransparentMode(), tmFixed);
  auto dst2 = Filled(5, 5, clWhite);
  dst2->Canvas()->Draw(0, 0, glyph.get());
  EXPECT_EQ(dst2->Canvas()->Pixels(1, 1), clWhite);
  EXPECT_EQ(dst2->Canvas()->Pixels(0, 0), clFuchsia);

  // BrushCopy puts the brush where the key colour was.
  auto dst3 = Filled(3, 3, clWhite);
  dst3->Canvas()->Brush()->SetColor(clGreen);
  dst3->Canvas()->BrushCopy(Rect(0, 0, 3, 3), glyph.get(), Rect(0, 0, 3, 3), clFuchsia);
  EXPECT_EQ(dst3->Canvas()->Pixels(0, 0), clGreen);
  EXPECT_EQ(dst3->Canvas()->Pixels(1, 1), clNavy);
}

TEST(Bitmap, AssignIsDeepAndHandleCanBeTakenOver) {
  auto a = Filled(3, 2, clRed);
  a->SetTransparent(true);
  TBitmap b;
  b.Assign(a.get());
  a->Canvas()->SetPixels(0, 0, clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  win::HBITMAP h = a->ReleaseHandle();
  EXPECT_TRUE(a->Empty());
  TBitmap c;
  c.SetHandle(h);  // takes it over and frees it
  EXPECT_EQ(c.Width(), 3);
  EXPECT_EQ(c.Canvas()->Pixels(0, 0), clBlue);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(Picture, LoadsAndSavesEveryFormatByExtension) {
  TempDir dir;
  auto src = Filled(6, 4, clWhite);
  src->Canvas()->Brush()->SetColor(clRed);
  src->Canvas()->FillRect(Rect(0, 0, 3, 4));
  for (const char* ext : {"bmp", "png", "jpg", "gif", "JPEG"}) {
    SCOPED_TRACE(ext);
    TPicture pic;
    pic.Bitmap()->Assign(src.get());
    if (std::string(ext) != "bmp") {
      auto g = CreateGraphicForExtension(ext);
      ASSERT_TRUE(g);
      g->Assign(src.get());
      pic.SetGraphic(g.get());
    }
    const std::string file = dir.File(std::string("p.") + ext);
    pic.SaveToFile(file);
    TPicture back;
    back.LoadFromFile(file);
    ASSERT_NE(back.Graphic(), nullptr);
    EXPECT_EQ(back.Width(), 6);
    EXPECT_EQ(back.Height(), 4);
    TBitmap shown;
    shown.Assign(back.Graphic());
    const win::COLORREF left = ColorToRGB(shown.Canvas()->Pixels(1, 1));
    const win::COLORREF right = ColorToRGB(shown.Canvas()->Pixels(4, 1));
    EXPECT_GT(win::GetRValue(left), 200);
    EXPECT_LT(win::GetBValue(left), 60);
    EXPECT_GT(win::GetBValue(right), 200);
  }
  TPicture pic;
  EXPECT_THROW(pic.LoadFromFile(dir.File("x.tif")), EInvalidGraphic);
  EXPECT_THROW(pic.SaveToFile(dir.File("none.bmp")), EInvalidGraphic);
}

TEST(Picture, PngAlphaSurvivesIntoTheBitmap) {
  img::RawImage im;
  im.Allocate(2, 1, 32);
  im.HasAlpha = true;
  im.Row(0)[3] = 0x40;
  im.Row(0)[4 + 2] = 0xFF;
  im.Row(0)[4 + 3] = 0xFF;
  TempDir dir;
  WriteBytes(dir.File("a.png"), img::WritePng(im));
  TPicture pic;
  pic.LoadFromFile(dir.File("a.png"));
  TBitmap b;
  b.Assign(pic.Graphic());
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(Px(b, 0, 0) >> 24, 0x40u);
  EXPECT_EQ(Px(b, 1, 0), 0xFFFF0000u);
}

TEST(Picture, CorruptFileOfEachKindRaisesAndKeepsThePicture) {
  TempDir dir;
  auto src = Filled(16, 16, clTeal);
  img::RawImage raw = src->ToRawImage();
  const std::pair<const char*, img::Bytes> files[] = {
      {"c.bmp", img::WriteBmp(raw)}, {"c.png", img::WritePng(raw)}, {"c.jpg", img::WriteJpeg(raw, 80)}, {"c.gif", img::WriteGif(raw)}};
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    img::Bytes cut(bytes.begin(), bytes.begin() + long(bytes.size() / 2));
    WriteBytes(dir.File(name), cut);
    TPicture pic;
    pic.Bitmap()->Assign(src.get());
    EXPECT_THROW(pic.LoadFromFile(dir.File(name)), EInvalidGraphic);
    ASSERT_NE(pic.Graphic(), nullptr);
    EXPECT_EQ(pic.Width(), 16);
    auto g = CreateGraphicForExtension(std::filesystem::path(name).extension().string());
    EXPECT_THROW(g->LoadFromFile(dir.File(name)), EInvalidGraphic);
    EXPECT_TRUE(g->Empty());
  }
}

TEST(Graphics, BitmapsMadeAndDrawnOnFourThreadsAtOnce) {
  // Each worker makes its own bitmaps and draws them; all four also draw into one shared
  // bitmap, each holding its canvas lock.
  auto shared = Filled(40, 10, clWhite);
  std::atomic<int> failures{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&, t] {
      const TColor colour = TColor(0x101010 * (t + 1));
      for (int round = 0; round < 20; ++round) {
        TBitmap own;
        own.SetPixelFormat(round % 2 ? pf24bit : pf32bit);
        own.SetSize(10, 10);
        own.Canvas()->Brush()->SetColor(colour);
        own.Canvas()->FillRect(Rect(0, 0, 10, 10));
        TBitmap copy;
        copy.Assign(&own);
        copy.SetSize(12, 10);
        if (copy.Canvas()->Pixels(9, 9) != colour || copy.Canvas()->Pixels(11, 0) != clWhite) ++failures;
        shared->Canvas()->Lock();
        shared->Canvas()->Draw(t * 10, 0, &own);
        shared->Canvas()->Unlock();
      }
    });
  }
  for (auto& w : workers) w.join();
  EXPECT_EQ(failures.load(), 0);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(shared->Canvas()->Pixels(t * 10 + 5, 5), TColor(0x101010 * (t + 1)));
}

TEST(Canvas, TextWithTheBoxTestFont) {
  // Em 10: cell 10 high, advance 5, each glyph a box over columns 0..3 and rows 0..7.
  auto b = Filled(30, 20, clWhite);
  TCanvas* c = b->Canvas();
  c->Font()->SetName(win::kTestBoxFontName);
  c->Font()->SetHeight(-10);
  c->Font()->SetColor(clRed);
  EXPECT_EQ(c->TextWidth("ab"), 10);
  EXPECT_EQ(c->TextHeight("ab"), 10);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(2, 3, "ab");
  EXPECT_EQ(c->Pixels(2, 3), clRed);
  EXPECT_EQ(c->Pixels(5, 10), clRed);
  EXPECT_EQ(c->Pixels(6, 3), clWhite);   // the gap between the boxes
  EXPECT_EQ(c->Pixels(7, 3), clRed);
  EXPECT_EQ(c->Pixels(2, 11), clWhite);  // below the box
  EXPECT_EQ(c->PenPos().x, 12);
  // TextRect clips to its rectangle and, with an opaque brush, fills it first.
  c->Brush()->SetColor(clYellow);
  c->TextRect(Rect(20, 0, 23, 20), 20, 3, "a");
  EXPECT_EQ(c->Pixels(20, 0), clYellow);
  EXPECT_EQ(c->Pixels(22, 3), clRed);
  EXPECT_EQ(c->Pixels(23, 3), clWhite);
}
