// Published properties of the graphics classes: fonts, pens, brushes, bitmaps, icons, pictures and
// image lists.
//
// Binary data formats (ours, written by the resource tools):
//   TBitmap "Data":     a 32-bit little-endian byte count, then one BMP file image of that size.
//   TPicture "Data":    a length byte and the graphic's class name (TBitmap, TJPEGImage,
//                       TPngImage, TGIFImage, TIcon; length 0 for an empty picture), then the file
//                       image of that format up to the end of the data.
//   TIcon "Data":       one .ico file image; no bytes at all for no icon.
//   TImageList "Bitmap": one BMP holding the pictures side by side, optionally followed by a
//                       second BMP of the same size with the mask (white = transparent).
#include "base/Text.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"

namespace {

std::unique_ptr<TGraphic> GraphicForClassName(const std::string& name) {
  static const std::pair<const char*, const char*> kinds[] = {
      {"TBitmap", ".bmp"}, {"TJPEGImage", ".jpg"}, {"TPngImage", ".png"}, {"TPNGObject", ".png"}, {"TGIFImage", ".gif"},
      {"TIcon", ".ico"}};
  for (auto& [cls, ext] : kinds)
    if (SameText(name, cls)) return CreateGraphicForExtension(ext);
  return nullptr;
}

void ReadBitmapData(TBitmap* b, TStream& s) {
  uint32_t size = 0;
  if (s.Size() < 4) throw EFormValueError("bitmap data too short");
  s.ReadBuffer(&size, 4);
  if (static_cast<int64_t>(size) != s.Size() - 4)
    throw EFormValueError("bitmap data holds " + std::to_string(s.Size() - 4) + " bytes but announces " + std::to_string(size));
  b->LoadFromStream(s);
}

void ReadPictureData(TPicture* p, TStream& s) {
  uint8_t len = 0;
  if (s.Size() < 1) throw EFormValueError("picture data too short");
  s.ReadBuffer(&len, 1);
  if (len == 0) {
    p->SetGraphic(nullptr);
    return;
  }
  if (s.Size() - 1 < len) throw EFormValueError("picture data too short");
  std::string cls(len, '\0');
  s.ReadBuffer(cls.data(), len);
  std::unique_ptr<TGraphic> g = GraphicForClassName(cls);
  if (!g) throw EFormValueError("unknown picture class " + cls);
  g->LoadFromStream(s);
  p->SetGraphic(g.get());
}

void ReadIconData(TIcon* icon, TStream& s) {
  if (s.Size() == 0) {
    icon->SetHandle(nullptr);
    return;
  }
  icon->LoadFromStream(s);
}

void ReadImageListBitmap(TCustomImageList* list, TStream& s) {
  TBitmap image, mask;
  image.LoadFromStream(s);
  bool hasMask = s.Position() < s.Size();
  if (hasMask) {
    mask.LoadFromStream(s);
    if (mask.Width() != image.Width() || mask.Height() != image.Height())
      throw EFormValueError("the mask is not the size of the pictures");
  }
  if (s.Position() != s.Size()) throw EFormValueError("unexpected bytes after the image list's pictures");
  // The pictures are cut from this bitmap: one larger than it would only be padding, and a
  // stored size out of proportion to its bitmap would ask for gigabytes.
  if (list->Width() > image.Width() || list->Height() > image.Height())
    throw EFormValueError("pictures of " + std::to_string(list->Width()) + "x" + std::to_string(list->Height()) +
                          " do not fit the image list's bitmap of " + std::to_string(image.Width()) + "x" +
                          std::to_string(image.Height()));
  list->Clear();
  list->Add(&image, hasMask ? &mask : nullptr);
}

}  // namespace

const TIdentMap& ColorIdents() {
  static const TIdentMap m = {
      {"clBlack", clBlack},
      {"clMaroon", clMaroon},
      {"clGreen", clGreen},
      {"clOlive", clOlive},
      {"clNavy", clNavy},
      {"clPurple", clPurple},
      {"clTeal", clTeal},
      {"clGray", clGray},
      {"clSilver", clSilver},
      {"clRed", clRed},
      {"clLime", clLime},
      {"clYellow", clYellow},
      {"clBlue", clBlue},
      {"clFuchsia", clFuchsia},
      {"clAqua", clAqua},
      {"clLtGray", clLtGray},
      {"clDkGray", clDkGray},
      {"clWhite", clWhite},
      {"clMoneyGreen", clMoneyGreen},
      {"clSkyBlue", clSkyBlue},
      {"clCream", clCream},
      {"clMedGray", clMedGray},
      {"clNone", clNone},
      {"clDefault", clDefault},
      {"clScrollBar", clScrollBar},
      {"clBackground", clBackground},
      {"clActiveCaption", clActiveCaption},
      {"clInactiveCaption", clInactiveCaption},
      {"clMenu", clMenu},
      {"clWindow", clWindow},
      {"clWindowFrame", clWindowFrame},
      {"clMenuText", clMenuText},
      {"clWindowText", clWindowText},
      {"clCaptionText", clCaptionText},
      {"clActiveBorder", clActiveBorder},
      {"clInactiveBorder", clInactiveBorder},
      {"clAppWorkSpace", clAppWorkSpace},
      {"clHighlight", clHighlight},
      {"clHighlightText", clHighlightText},
      {"clBtnFace", clBtnFace},
      {"clBtnShadow", clBtnShadow},
      {"clGrayText", clGrayText},
      {"clBtnText", clBtnText},
      {"clInactiveCaptionText", clInactiveCaptionText},
      {"clBtnHighlight", clBtnHighlight},
      {"cl3DDkShadow", cl3DDkShadow},
      {"cl3DLight", cl3DLight},
      {"clInfoText", clInfoText},
      {"clInfoBk", clInfoBk},
      {"clHotLight", clHotLight},
      {"clGradientActiveCaption", clGradientActiveCaption},
      {"clGradientInactiveCaption", clGradientInactiveCaption},
      {"clMenuHighlight", clMenuHighlight},
      {"clMenuBar", clMenuBar},
  };
  return m;
}

void RegisterGraphicsFormClasses() {
  RegisterFormClass<TGraphicsObject, TPersistent>("TGraphicsObject");
  RegisterFormClass<TFont, TGraphicsObject>("TFont")
      .String("Name", &TFont::SetName)
      .Integer("Height", &TFont::SetHeight)
      .Integer("Size", &TFont::SetSize)
      .Integer("Color", &TFont::SetColor, ColorIdents())
      .Integer("Charset", [](TFont* f, int32_t v) {
        if (v < 0 || v > 255) throw EFormValueError("a character set is 0..255");
        f->SetCharset(static_cast<TFontCharset>(v));
      }, {{"ANSI_CHARSET", win::ANSI_CHARSET}, {"DEFAULT_CHARSET", win::DEFAULT_CHARSET},
                   {"SYMBOL_CHARSET", win::SYMBOL_CHARSET}, {"GB2312_CHARSET", win::GB2312_CHARSET},
                   {"CHINESEBIG5_CHARSET", win::CHINESEBIG5_CHARSET}, {"OEM_CHARSET", win::OEM_CHARSET}})
      .Enum<TFontPitch>("Pitch", &TFont::SetPitch, {{"fpDefault", fpDefault}, {"fpVariable", fpVariable}, {"fpFixed", fpFixed}})
      .Set<TFontStyle>("Style", &TFont::SetStyle,
                       {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}});
  RegisterFormClass<TPen, TGraphicsObject>("TPen")
      .Integer("Color", &TPen::SetColor, ColorIdents())
      .Integer("Width", &TPen::SetWidth)
      .Enum<TPenStyle>("Style", &TPen::SetStyle,
                       {{"psSolid", psSolid}, {"psDash", psDash}, {"psDot", psDot}, {"psDashDot", psDashDot},
                        {"psDashDotDot", psDashDotDot}, {"psClear", psClear}, {"psInsideFrame", psInsideFrame}});
  RegisterFormClass<TBrush, TGraphicsObject>("TBrush")
      .Integer("Color", &TBrush::SetColor, ColorIdents())
      .Enum<TBrushStyle>("Style", &TBrush::SetStyle,
                         {{"bsSolid", bsSolid}, {"bsClear", bsClear}, {"bsHorizontal", bsHorizontal},
                          {"bsVertical", bsVertical}, {"bsFDiagonal", bsFDiagonal}, {"bsBDiagonal", bsBDiagonal},
                          {"bsCross", bsCross}, {"bsDiagCross", bsDiagCross}});
  RegisterFormClass<TGraphic, TPersistent>("TGraphic");
  RegisterFormClass<TBitmap, TGraphic>("TBitmap").Binary("Data", ReadBitmapData);
  RegisterFormClass<TPicture, TPersistent>("TPicture").Binary("Data", ReadPictureData);
  RegisterFormClass<TIcon, TGraphic>("TIcon").Binary("Data", ReadIconData);
  RegisterFormClass<TCustomImageList, TComponent>("TCustomImageList")
      .Integer("Width", &TCustomImageList::SetWidth)
      .Integer("Height", &TCustomImageList::SetHeight)
      .Integer("BkColor", &TCustomImageList::SetBkColor, ColorIdents())
      .Binary("Bitmap", ReadImageListBitmap)
      .Event<TNotifyEvent>("OnChange", &TCustomImageList::OnChange);
  RegisterFormClass<TImageList, TCustomImageList>("TImageList");
}
