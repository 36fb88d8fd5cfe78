// The graphics classes read from form descriptions: font sub-properties, bitmap and picture
// data, image lists with their pictures.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/Text.h"
#include "classlib/Graphics.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"

namespace {

class TTstPainted : public TComponent {
public:
  using TComponent::TComponent;
  void SetImages(TCustomImageList* L) {
    Images = L;
    if (L) L->FreeNotification(this);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == Images) Images = nullptr;
  }
  TFont Font;
  TPicture Picture;
  TBitmap Glyph;
  TCustomImageList* Images = nullptr;
};

void RegisterPainted() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TTstPainted, TComponent>("TTstPainted")
      .Object("Font", [](TTstPainted* p) { return &p->Font; })
      .Object("Picture", [](TTstPainted* p) { return &p->Picture; })
      .Object("Glyph", [](TTstPainted* p) { return &p->Glyph; })
      .Reference<TCustomImageList>("Images", &TTstPainted::SetImages);
}

std::string Hex(const std::string& bytes) {
  std::string s;
  for (size_t i = 0; i < bytes.size(); ++i) {
    s += IntToHex(static_cast<uint8_t>(bytes[i]), 2);
    if (i % 32 == 31) s += "\n      ";
  }
  return s;
}

// A BMP file image of a W x H picture filled with Color, the right half white.
std::string Bmp(int w, int h, TColor color) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Canvas()->SetPixels(x, y, x < w / 2 ? color : clWhite);
  TMemoryStream s;
  b.SaveToStream(s);
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

std::string LengthPrefixed(const std::string& bytes) {
  uint32_t n = static_cast<uint32_t>(bytes.size());
  return std::string(reinterpret_cast<const char*>(&n), 4) + bytes;
}

std::string Description(const std::string& pictureData, const std::string& glyphData, const std::string& listData) {
  return "object P: TTstPainted\n"
         "  Font.Name = 'Arial'\n"
         "  Font.Height = -14\n"
         "  Font.Color = clBtnFace\n"
         "  Font.Style = [fsBold, fsUnderline]\n"
         "  Font.Charset = GB2312_CHARSET\n"
         "  Picture.Data = {\n      " +
         Hex(pictureData) +
         "}\n"
         "  Glyph.Data = {\n      " +
         Hex(glyphData) +
         "}\n"
         "  Images = ImageList1\n"
         "  object ImageList1: TImageList\n"
         "    Width = 2\n"
         "    Height = 2\n"
         "    BkColor = clRed\n"
         "    Bitmap = {\n      " +
         Hex(listData) +
         "}\n"
         "  end\n"
         "end\n";
}

TEST(FormReaderGraphics, FontPictureBitmapAndImageList) {
  RegisterPainted();
  std::string picture = std::string("\x07TBitmap") + Bmp(3, 5, clRed);
  std::string glyph = LengthPrefixed(Bmp(4, 1, clBlue));
  std::string list = Bmp(4, 2, clGreen) + Bmp(4, 2, clBlack);
  TTstPainted p(nullptr);
  ReadFormDescription(&p, Description(picture, glyph, list), "g.dfm");

  EXPECT_EQ(p.Font.Name(), "Arial");
  EXPECT_EQ(p.Font.Height(), -14);
  EXPECT_EQ(p.Font.Color(), clBtnFace);
  EXPECT_EQ(p.Font.Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(p.Font.Charset(), win::GB2312_CHARSET);

  auto* pic = dynamic_cast<TBitmap*>(p.Picture.Graphic());
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->Width(), 3);
  EXPECT_EQ(pic->Height(), 5);
  EXPECT_EQ(pic->Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(p.Glyph.Width(), 4);
  EXPECT_EQ(p.Glyph.Canvas()->Pixels(0, 0), clBlue);

  ASSERT_NE(p.Images, nullptr);
  EXPECT_EQ(p.Images, p.FindComponent("ImageList1"));
  EXPECT_EQ(p.Images->Count(), 2);
  EXPECT_EQ(p.Images->Width(), 2);
  EXPECT_EQ(p.Images->BkColor(), clRed);
}

TEST(FormReaderGraphics, BadBinaryDataIsReportedWithItsProperty) {
  RegisterPainted();
  std::string goodPicture = std::string("\x07TBitmap") + Bmp(3, 5, clRed);
  std::string goodGlyph = LengthPrefixed(Bmp(4, 1, clBlue));
  std::string goodList = Bmp(4, 2, clGreen);
  struct Case {
    std::string picture, glyph, list;
    int line;
    const char* property;
  };
  const Case cases[] = {
      {std::string("\x05TIcon") + Bmp(1, 1, clRed), goodGlyph, goodList, 7, "Picture.Data"},
      {std::string("\x07TBitmap") + "BMnonsense", goodGlyph, goodList, 7, "Picture.Data"},
      {goodPicture, LengthPrefixed(Bmp(4, 1, clBlue)) + "x", goodList, 0, "Glyph.Data"},
      {goodPicture, goodGlyph, Bmp(4, 2, clGreen) + Bmp(2, 2, clBlack), 0, "Bitmap"},
      {goodPicture, goodGlyph, "BM", 0, "Bitmap"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property);
    TTstPainted p(nullptr);
    try {
      ReadFormDescription(&p, Description(c.picture, c.glyph, c.list), "g.dfm");
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.Property, c.property) << e.Message;
      if (c.line) {
        EXPECT_EQ(e.Line, c.line);
      }
    }
    EXPECT_EQ(p.ComponentCount(), 0);
    EXPECT_EQ(p.Images, nullptr);
  }
}

// A picture size out of proportion to the bitmap (30000 pictures of 16 x 30000 over a 30000 x 1
// bitmap: some 4.5 GB) is refused, and so is any picture larger than its bitmap.
TEST(FormReaderGraphics, ImageListPicturesMustFitTheirBitmap) {
  RegisterPainted();
  struct Case {
    int width, height, bmpWidth, bmpHeight;
    bool fits;
  };
  const Case cases[] = {
      {16, 30000, 30000, 1, false}, {16, 16, 8, 16, false}, {16, 16, 48, 16, true}, {16, 16, 40, 20, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const std::string text = "object P: TTstPainted\n"
                             "  object ImageList1: TImageList\n"
                             "    Width = " + std::to_string(c.width) + "\n"
                             "    Height = " + std::to_string(c.height) + "\n"
                             "    Bitmap = {\n      " + Hex(Bmp(c.bmpWidth, c.bmpHeight, clGreen)) + "}\n"
                             "  end\n"
                             "end\n";
    TTstPainted p(nullptr);
    if (c.fits) {
      ReadFormDescription(&p, text, "l.dfm");
      auto* list = dynamic_cast<TCustomImageList*>(p.FindComponent("ImageList1"));
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(list->Count(), c.bmpWidth / c.width);
      continue;
    }
    try {
      ReadFormDescription(&p, text, "l.dfm");
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.Property, "Bitmap");
      EXPECT_NE(e.Message.find("do not fit the image list's bitmap"), std::string::npos) << e.Message;
    }
    EXPECT_EQ(p.ComponentCount(), 0);
  }
}

}  // namespace
