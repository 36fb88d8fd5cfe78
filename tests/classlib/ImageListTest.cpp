// Image lists: adding with masks, drawing enabled and greyed, and the list operations.
#include <gtest/gtest.h>

#include "classlib/graphics/ImageList.h"

namespace {

std::unique_ptr<TBitmap> Strip(int w, int h, TColor c) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(c);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

}  // namespace

TEST(ImageList, AddCutsWideImagesAndMasksTheKeyColour) {
  TImageList il(nullptr);
  il.SetSize(4, 4);
  // Two pictures side by side: a red square with a fuchsia hole at (1,1), then a blue one.
  auto strip = Strip(8, 4, clRed);
  strip->Canvas()->Brush()->SetColor(clBlue);
  strip->Canvas()->FillRect(Rect(4, 0, 8, 4));
  strip->Canvas()->SetPixels(1, 1, clFuchsia);
  EXPECT_EQ(il.AddMasked(strip.get(), clFuchsia), 0);
  EXPECT_EQ(il.Count(), 2);

  auto dst = Strip(10, 10, clWhite);
  il.Draw(dst->Canvas(), 2, 3, 0);
  EXPECT_EQ(dst->Canvas()->Pixels(2, 3), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(3, 4), clWhite);  // the hole shows the destination
  EXPECT_EQ(dst->Canvas()->Pixels(5, 6), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(6, 6), clWhite);
  il.Draw(dst->Canvas(), 0, 0, 1);
  EXPECT_EQ(dst->Canvas()->Pixels(0, 0), clBlue);
  il.Draw(dst->Canvas(), 0, 0, 7);  // out of range: nothing

  // A background colour fills the masked pixels.
  il.SetBkColor(clLime);
  il.Draw(dst->Canvas(), 2, 3, 0);
  EXPECT_EQ(dst->Canvas()->Pixels(3, 4), clLime);

  // Add with a mask bitmap: white = transparent.
  auto mask = Strip(4, 4, clBlack);
  mask->Canvas()->SetPixels(0, 0, clWhite);
  il.SetBkColor(clNone);
  EXPECT_EQ(il.Add(Strip(4, 4, clNavy).get(), mask.get()), 2);
  auto dst2 = Strip(4, 4, clWhite);
  il.Draw(dst2->Canvas(), 0, 0, 2);
  EXPECT_EQ(dst2->Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(dst2->Canvas()->Pixels(1, 0), clNavy);
  EXPECT_EQ(il.Add(nullptr, nullptr), -1);
}

TEST(ImageList, GreyedLookIsEmbossed) {
  TImageList il(nullptr);
  il.SetSize(3, 3);
  // One dark pixel at (1,1); white pixels do not belong to the shape.
  auto pic = Strip(3, 3, clWhite);
  pic->Canvas()->SetPixels(1, 1, clBlack);
  il.Add(pic.get(), nullptr);
  auto dst = Strip(6, 6, clRed);
  il.Draw(dst->Canvas(), 1, 1, 0, false);
  EXPECT_EQ(ColorToRGB(dst->Canvas()->Pixels(2, 2)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ColorToRGB(dst->Canvas()->Pixels(3, 3)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(dst->Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(3, 2), clRed);
}

TEST(ImageList, ReplaceDeleteClearAndGetBitmap) {
  TImageList il(nullptr);
  il.SetSize(2, 2);
  int changes = 0;
  il.OnChange = [&](TObject*) { ++changes; };
  il.Add(Strip(2, 2, clRed).get(), nullptr);
  il.Add(Strip(2, 2, clGreen).get(), nullptr);
  il.Replace(0, Strip(2, 2, clBlue).get(), nullptr);
  TBitmap out;
  il.GetBitmap(0, &out);
  EXPECT_EQ(out.Width(), 2);
  EXPECT_EQ(out.Canvas()->Pixels(1, 1), clBlue);
  EXPECT_THROW(il.Replace(5, Strip(2, 2, clRed).get(), nullptr), EInvalidGraphicOperation);
  EXPECT_THROW(il.Delete(2), EInvalidGraphicOperation);
  il.Delete(0);
  EXPECT_EQ(il.Count(), 1);
  il.GetBitmap(0, &out);
  EXPECT_EQ(out.Canvas()->Pixels(0, 0), clGreen);
  il.Clear();
  EXPECT_EQ(il.Count(), 0);
  EXPECT_EQ(changes, 5);
  il.Add(Strip(2, 2, clRed).get(), nullptr);
  il.SetSize(3, 3);  // a new size empties the list
  EXPECT_EQ(il.Count(), 0);
}

TEST(ImageList, GetIconKeepsThePictureAndItsMask) {
  TImageList il(nullptr);
  il.SetSize(3, 2);
  auto strip = Strip(6, 2, clRed);
  strip->Canvas()->SetPixels(1, 0, clFuchsia);
  strip->Canvas()->Brush()->SetColor(clBlue);
  strip->Canvas()->FillRect(Rect(3, 0, 6, 2));
  il.AddMasked(strip.get(), clFuchsia);
  il.SetBkColor(clLime);  // plays no part in the icon

  TIcon icon;
  il.GetIcon(0, &icon);
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 3);
  EXPECT_EQ(icon.Height(), 2);
  auto dst = Strip(3, 2, clWhite);
  dst->Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(dst->Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(1, 0), clWhite) << "the masked pixel shows what lies below";
  EXPECT_EQ(dst->Canvas()->Pixels(2, 1), clRed);

  // Another picture replaces the icon; a bad index or no icon changes nothing.
  win::HICON first = icon.Handle();
  il.GetIcon(1, &icon);
  EXPECT_NE(icon.Handle(), first);
  dst->Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(dst->Canvas()->Pixels(1, 0), clBlue);
  win::HICON second = icon.Handle();
  il.GetIcon(2, &icon);
  il.GetIcon(-1, &icon);
  il.GetIcon(0, nullptr);
  EXPECT_EQ(icon.Handle(), second);
}
