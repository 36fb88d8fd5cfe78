// TGraphic, the picture formats other than BMP, and TPicture.
#include <algorithm>
#include <cctype>

#include "base/Stream.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/Codecs.h"

// ---- TGraphic --------------------------------------------------------------------------------
void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed();
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed();
  else
    FModified = false;
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  // Encode first, so that a picture that cannot be written leaves an existing file alone.
  TMemoryStream data;
  SaveToStream(data);
  TFileStream stream(FileName, fmCreate);
  stream.WriteBuffer(data.Memory(), data.Size());
}

// ---- TCodecImage -----------------------------------------------------------------------------
TCodecImage::TCodecImage() = default;
TCodecImage::~TCodecImage() = default;

void TCodecImage::SetImage(img::RawImage Image) {
  FImage = std::move(Image);
  FBitmap.reset();
  Changed();
}

void TCodecImage::SetWidth(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of a " + std::string(FormatName()) + " image"); }
void TCodecImage::SetHeight(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of a " + std::string(FormatName()) + " image"); }

void TCodecImage::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (!Source) {
    SetImage(img::RawImage());
    return;
  }
  if (auto* c = dynamic_cast<TCodecImage*>(Source)) {
    auto* jd = dynamic_cast<TJPEGImage*>(this);
    auto* js = dynamic_cast<TJPEGImage*>(Source);
    if (jd && js) {
      jd->CompressionQuality = js->CompressionQuality;
      jd->Grayscale = js->Grayscale;
    }
    FTransparent = c->FTransparent;
    SetImage(c->FImage);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    SetImage(b->ToRawImage());
    return;
  }
  if (auto* p = dynamic_cast<TPicture*>(Source)) {
    Assign(p->Graphic());
    return;
  }
  TGraphic::Assign(Source);
}

void TCodecImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    b->LoadRawImage(FImage);
    if (FImage.TransparentIndex >= 0 && size_t(FImage.TransparentIndex) < FImage.Palette.size()) {
      uint32_t c = FImage.Palette[size_t(FImage.TransparentIndex)];
      b->SetTransparentColor(TColor(win::RGB(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c))));
      b->SetTransparent(true);
    }
    return;
  }
  TGraphic::AssignTo(Dest);
}

TBitmap* TCodecImage::Bitmap() {
  if (!FBitmap) {
    FBitmap = std::make_unique<TBitmap>();
    AssignTo(FBitmap.get());
  }
  return FBitmap.get();
}

void TCodecImage::Draw(TCanvas* ACanvas, const TRect& R) {
  if (Empty()) return;
  Bitmap()->Draw(ACanvas, R);
}

void TCodecImage::LoadFromStream(TStream& Stream) {
  const int64_t start = Stream.Position();
  const int64_t left = Stream.Size() - start;
  if (left <= 0) throw EInvalidGraphic(std::string(FormatName()) + " image is not valid: no data");
  std::vector<uint8_t> data(static_cast<size_t>(left));
  Stream.ReadBuffer(data.data(), left);
  try {
    SetImage(Decode(data.data(), data.size()));
  } catch (...) {
    Stream.SetPosition(start);
    throw;
  }
}

void TCodecImage::SaveToStream(TStream& Stream) {
  img::Bytes file = Encode(FImage);
  Stream.WriteBuffer(file.data(), int64_t(file.size()));
}

img::RawImage TJPEGImage::Decode(const uint8_t* Data, size_t Size) { return img::ReadJpeg(Data, Size); }
img::Bytes TJPEGImage::Encode(const img::RawImage& Image) { return img::WriteJpeg(Image, CompressionQuality, Grayscale); }
img::RawImage TPngImage::Decode(const uint8_t* Data, size_t Size) { return img::ReadPng(Data, Size); }
img::Bytes TPngImage::Encode(const img::RawImage& Image) { return img::WritePng(Image); }
img::RawImage TGIFImage::Decode(const uint8_t* Data, size_t Size) { return img::ReadGif(Data, Size); }
img::Bytes TGIFImage::Encode(const img::RawImage& Image) { return img::WriteGif(Image); }

// ---- TPicture --------------------------------------------------------------------------------
namespace {
std::string LowerExt(const std::string& s) {
  std::string e = s;
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return e;
}
}  // namespace

std::unique_ptr<TGraphic> CreateGraphicForExtension(const std::string& Ext) {
  const std::string e = LowerExt(Ext);
  if (e == "bmp") return std::make_unique<TBitmap>();
  if (e == "jpg" || e == "jpeg") return std::make_unique<TJPEGImage>();
  if (e == "png") return std::make_unique<TPngImage>();
  if (e == "gif") return std::make_unique<TGIFImage>();
  if (e == "ico") return std::make_unique<TIcon>();
  return nullptr;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  std::unique_ptr<TGraphic> g;
  if (Value) {
    g = Value->NewEmpty();
    g->Assign(Value);
    g->OnChange = [this](TObject* s) { Changed(s); };
  }
  FGraphic = std::move(g);
  Changed(this);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(FGraphic.get())) {
    FGraphic = std::make_unique<TBitmap>();
    FGraphic->OnChange = [this](TObject* s) { Changed(s); };
    Changed(this);
  }
  return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::LoadFromFile(const std::string& FileName) {
  const size_t dot = FileName.rfind('.');
  const size_t slash = FileName.rfind('/');
  std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : FileName.substr(dot + 1);
  std::unique_ptr<TGraphic> g = CreateGraphicForExtension(ext);
  if (!g) throw EInvalidGraphic("Unknown picture file extension (." + LowerExt(ext) + ")");
  g->LoadFromFile(FileName);
  g->OnChange = [this](TObject* s) { Changed(s); };
  FGraphic = std::move(g);
  Changed(this);
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (!FGraphic) throw EInvalidGraphic("Cannot save an empty picture");
  FGraphic->SaveToFile(FileName);
}
