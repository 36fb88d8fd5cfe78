#pragma once
// The graphics classes of the class library: colours, fonts, pens, brushes, the canvas over a
// device context, bitmaps and the picture formats, and pictures chosen by file extension.
// Image lists are in classlib/graphics/ImageList.h.
//
// Decisions where the platform this library imitates leaves the behaviour open:
//  - TBitmap's rows are top-down: ScanLine(0) is the top row and ScanLine(y + 1) follows
//    ScanLine(y) in memory, Stride() bytes later (rows padded to 4 bytes).
//  - A resized bitmap keeps its old pixels where old and new rectangles overlap (anchored at the
//    top-left corner); the rest is filled with the canvas brush colour (white by default).
//  - 15 and 16-bit pixel formats have no device-independent bitmap in the graphics layer: a
//    16-bit BMP file loads as pf24bit with its colours exactly, and asking for pf15bit or
//    pf16bit raises EInvalidGraphicOperation.
//  - HandleType records bmDIB or bmDDB; the pixels always live in a DIB section, so both give
//    the same pixels and ScanLine works in either.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Events.h"
#include "base/Set.h"
#include "base/Sync.h"
#include "classlib/graphics/GraphicsError.h"
#include "classlib/graphics/RawImage.h"
#include "platform/Gdi.h"

class TStream;

// ---- Geometry ----------------------------------------------------------------------------------
using TRect = win::RECT;
using TPoint = win::POINT;
using TSize = win::SIZE;
inline TRect Rect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline TPoint Point(int32_t X, int32_t Y) { return TPoint{X, Y}; }

// ---- Colours -----------------------------------------------------------------------------------
// 0x00BBGGRR, or a system colour 0x80000000 | COLOR_xxx (negative as a 32-bit integer).
using TColor = int32_t;

constexpr TColor clSystemColor = TColor(0x80000000u);
constexpr TColor SysColor(int index) { return TColor(0x80000000u | uint32_t(index)); }
constexpr TColor clScrollBar = SysColor(win::COLOR_SCROLLBAR), clBackground = SysColor(win::COLOR_BACKGROUND),
                 clActiveCaption = SysColor(win::COLOR_ACTIVECAPTION),
                 clInactiveCaption = SysColor(win::COLOR_INACTIVECAPTION), clMenu = SysColor(win::COLOR_MENU),
                 clWindow = SysColor(win::COLOR_WINDOW), clWindowFrame = SysColor(win::COLOR_WINDOWFRAME),
                 clMenuText = SysColor(win::COLOR_MENUTEXT), clWindowText = SysColor(win::COLOR_WINDOWTEXT),
                 clCaptionText = SysColor(win::COLOR_CAPTIONTEXT),
                 clActiveBorder = SysColor(win::COLOR_ACTIVEBORDER),
                 clInactiveBorder = SysColor(win::COLOR_INACTIVEBORDER),
                 clAppWorkSpace = SysColor(win::COLOR_APPWORKSPACE), clHighlight = SysColor(win::COLOR_HIGHLIGHT),
                 clHighlightText = SysColor(win::COLOR_HIGHLIGHTTEXT), clBtnFace = SysColor(win::COLOR_BTNFACE),
                 clBtnShadow = SysColor(win::COLOR_BTNSHADOW), clGrayText = SysColor(win::COLOR_GRAYTEXT),
                 clBtnText = SysColor(win::COLOR_BTNTEXT),
                 clInactiveCaptionText = SysColor(win::COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SysColor(win::COLOR_BTNHIGHLIGHT), cl3DDkShadow = SysColor(win::COLOR_3DDKSHADOW),
                 cl3DLight = SysColor(win::COLOR_3DLIGHT), clInfoText = SysColor(win::COLOR_INFOTEXT),
                 clInfoBk = SysColor(win::COLOR_INFOBK), clHotLight = SysColor(win::COLOR_HOTLIGHT),
                 clGradientActiveCaption = SysColor(win::COLOR_GRADIENTACTIVECAPTION),
                 clGradientInactiveCaption = SysColor(win::COLOR_GRADIENTINACTIVECAPTION),
                 clMenuHighlight = SysColor(win::COLOR_MENUHILIGHT), clMenuBar = SysColor(win::COLOR_MENUBAR);

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clLtGray = 0xC0C0C0,
                 clDkGray = 0x808080, clWhite = 0xFFFFFF, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                 clCream = 0xF0FBFF, clMedGray = 0xA4A0A0, clNone = 0x1FFFFFFF, clDefault = 0x20000000;

// The RGB value of a colour, resolving system colours through the platform's table.
win::COLORREF ColorToRGB(TColor Color);

// ---- Fonts, pens, brushes ---------------------------------------------------------------------
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// A font, pen or brush: changes are announced through OnChange, and the platform object
// (Handle) is made on demand and remade after a change. Not shared between threads unless the
// owning canvas is locked.
class TGraphicsObject : public TPersistent {
public:
  TNotifyEvent OnChange;

protected:
  // Lets go of the platform object, tells OnChange, then deletes the old object.
  void Changed();
  virtual void FreeHandle() = 0;
  // Gives up the handle: the caller deletes what comes back (nullptr when not owned).
  virtual win::HGDIOBJ TakeHandle() = 0;
};

class TFont : public TGraphicsObject {
public:
  TFont();
  ~TFont() override;
  void Assign(TPersistent* Source) override;

  // Made from the properties on first use; owned by the font.
  win::HFONT Handle();
  // Adopts the properties of an outside font (the handle stays the caller's).
  void SetHandle(win::HFONT Value);

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  // Negative: the em size in pixels; positive: the cell height.
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t Value);
  // Points at PixelsPerInch: Size = -Height * 72 / PixelsPerInch, rounded.
  int32_t Size() const;
  void SetSize(int32_t Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  int32_t PixelsPerInch = 96;

protected:
  void FreeHandle() override;
  win::HGDIOBJ TakeHandle() override;

private:
  std::string FName = "MS Sans Serif";
  int32_t FHeight = -11;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontCharset FCharset = win::DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  win::HFONT FHandle = nullptr;
};

class TPen : public TGraphicsObject {
public:
  TPen() = default;
  ~TPen() override;
  void Assign(TPersistent* Source) override;
  win::HPEN Handle();

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);

protected:
  void FreeHandle() override;
  win::HGDIOBJ TakeHandle() override;

private:
  TColor FColor = clBlack;
  int32_t FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  win::HPEN FHandle = nullptr;
};

class TBrush : public TGraphicsObject {
public:
  TBrush() = default;
  ~TBrush() override;
  void Assign(TPersistent* Source) override;
  win::HBRUSH Handle();

  TColor Color() const { return FColor; }
  // Setting a colour on a clear brush makes it solid, as the class library does.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);

protected:
  void FreeHandle() override;
  win::HGDIOBJ TakeHandle() override;

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  win::HBRUSH FHandle = nullptr;
  bool FOwnsHandle = false;
};

// ---- Canvas ------------------------------------------------------------------------------------
class TGraphic;
class TBitmap;

using TCopyMode = uint32_t;  // a raster operation
constexpr TCopyMode cmBlackness = win::BLACKNESS, cmDstInvert = win::DSTINVERT, cmMergeCopy = win::MERGECOPY,
                    cmMergePaint = win::MERGEPAINT, cmNotSrcCopy = win::NOTSRCCOPY,
                    cmNotSrcErase = win::NOTSRCERASE, cmPatCopy = win::PATCOPY, cmPatInvert = win::PATINVERT,
                    cmPatPaint = win::PATPAINT, cmSrcAnd = win::SRCAND, cmSrcCopy = win::SRCCOPY,
                    cmSrcErase = win::SRCERASE, cmSrcInvert = win::SRCINVERT, cmSrcPaint = win::SRCPAINT,
                    cmWhiteness = win::WHITENESS;

// Drawing on a device context with a pen, a brush and a font. The canvas selects them into the
// DC before each operation that needs them. A canvas used by more than one thread is held with
// Lock/Unlock (a recursive lock) around each group of operations.
class TCanvas : public TPersistent {
public:
  TCanvas();
  ~TCanvas() override;

  // The DC; a canvas without one asks CreateHandle (a bitmap's canvas makes a memory DC) and
  // raises EInvalidGraphicOperation "Canvas does not allow drawing" when none comes.
  win::HDC Handle();
  // Draws on an outside DC (the canvas does not free it); nullptr detaches it.
  void SetHandle(win::HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() { return FFont.get(); }
  TPen* Pen() { return FPen.get(); }
  TBrush* Brush() { return FBrush.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TCopyMode CopyMode = cmSrcCopy;

  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);
  void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Rectangle(const TRect& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
  void RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3);
  void Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Ellipse(const TRect& R) { Ellipse(R.left, R.top, R.right, R.bottom); }
  void Polygon(const std::vector<TPoint>& Points);
  void Polyline(const std::vector<TPoint>& Points);
  void MoveTo(int32_t X, int32_t Y);
  void LineTo(int32_t X, int32_t Y);
  TPoint PenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.x, Value.y); }
  // -1 (CLR_INVALID) outside the DC's surface or clip.
  TColor Pixels(int32_t X, int32_t Y);
  void SetPixels(int32_t X, int32_t Y, TColor Value);

  // Text at (X, Y) (top-left of the cell); the pen position moves to its right end.
  void TextOut(int32_t X, int32_t Y, const std::string& Text);
  // Text at (X, Y) clipped to R; an opaque brush fills R first.
  void TextRect(const TRect& R, int32_t X, int32_t Y, const std::string& Text);
  TSize TextExtent(const std::string& Text);
  int32_t TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int32_t TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

  void Draw(int32_t X, int32_t Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);
  // Copies Source of Canvas into Dest, stretching, with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies Source of Bitmap into Dest with the pixels of colour Color replaced by the brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
  TRect ClipRect();

  void Lock();
  void Unlock();
  bool TryLock();
  int32_t LockCount() const { return FLockCount; }
  // Deselects the pen, brush and font so that they are selected afresh.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void CreateHandle() {}
  // Detaches the DC (a derived canvas frees its own first).
  virtual void FreeContext();
  void Changing();
  void Changed();
  enum StateBit { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
  void RequiredState(int State);
  void DeselectHandles();
  win::HDC FHandle = nullptr;

private:
  void FontChanged(TObject*);
  void PenChanged(TObject*);
  void BrushChanged(TObject*);
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  int FState = 0;
  TCriticalSection FLock;
  int32_t FLockCount = 0;
  win::HGDIOBJ FOldPen = nullptr, FOldBrush = nullptr, FOldFont = nullptr;
};

// ---- Graphics ----------------------------------------------------------------------------------
// A picture of any format that can be drawn on a canvas and read from and written to files.
class TGraphic : public TPersistent {
public:
  virtual bool Empty() const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual void SetWidth(int32_t Value) = 0;
  virtual void SetHeight(int32_t Value) = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);

  // Reading fails with EInvalidGraphic (or a stream error) and leaves the graphic unchanged.
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  // Draws the picture stretched into R of the canvas.
  virtual void Draw(TCanvas* ACanvas, const TRect& R) = 0;
  // A new, empty graphic of the same class.
  virtual std::unique_ptr<TGraphic> NewEmpty() const = 0;

  TNotifyEvent OnChange;

protected:
  virtual void Changed();
  bool FTransparent = false;
  bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A picture in a top-down DIB section (see the decisions at the top of this file).
class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FWidth <= 0 || FHeight <= 0; }
  int32_t Width() const override { return FWidth; }
  int32_t Height() const override { return FHeight; }
  void SetWidth(int32_t Value) override { SetSize(Value, FHeight); }
  void SetHeight(int32_t Value) override { SetSize(FWidth, Value); }
  // Negative sizes count as 0; a size of 0 in either direction leaves the bitmap empty.
  void SetSize(int32_t AWidth, int32_t AHeight);

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the pixels (palette formats take the nearest colour of their palette).
  void SetPixelFormat(TPixelFormat Value);
  TBitmapHandleType HandleType() const { return FHandleType; }
  void SetHandleType(TBitmapHandleType Value);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);

  // The first byte of row Row; EInvalidGraphicOperation "Scan line index out of range" outside.
  void* ScanLine(int32_t Row);
  size_t Stride() const;

  // The DIB section; nullptr while empty.
  win::HBITMAP Handle() const { return FHandle; }
  // Takes a bitmap made elsewhere: its pixels are copied into a DIB of the same depth
  // (24 or 32 bits for a device bitmap) and the handle is then freed.
  void SetHandle(win::HBITMAP Value);
  // Gives the DIB section to the caller, who must free it; the bitmap becomes empty.
  win::HBITMAP ReleaseHandle();
  // A palette made from the colour table (nullptr for 24 and 32 bits); owned by the bitmap.
  win::HPALETTE Palette();
  // Replaces the colour table by the palette's entries (the handle stays the caller's).
  void SetPalette(win::HPALETTE Value);

  TCanvas* Canvas();
  // Frees the canvas's memory DC; the pixels stay.
  void Dormant();
  // The DIB section is the bitmap's only copy of its pixels, so there is nothing else to free.
  void FreeImage() {}

  void SetTransparent(bool Value) override;
  // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set.
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  void LoadFromStream(TStream& Stream) override;
  // A BMP file of the bitmap's own pixel format, rows bottom-up.
  void SaveToStream(TStream& Stream) override;
  // The embedded bitmap resource of this name (resources/**/ResName.bmp, any ASCII case); the
  // module handle is ignored, the executable holds every resource. Raises EResNotFound
  // "Resource %s not found".
  void LoadFromResourceName(uintptr_t Instance, const std::string& ResName);

  void Draw(TCanvas* ACanvas, const TRect& R) override;
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TBitmap>(); }

  // The pixels as a device-independent picture, and back (the codecs' view of a bitmap).
  img::RawImage ToRawImage() const;
  void LoadRawImage(const img::RawImage& Image);

private:
  friend class TBitmapCanvas;
  // Makes a new DIB of the given size and format, filled from `init` where given.
  void NewImage(int32_t W, int32_t H, TPixelFormat PF, const img::RawImage* Init);
  void FreeDib();
  void DetachCanvas();

  int32_t FWidth = 0, FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TBitmapHandleType FHandleType = bmDIB;
  win::HBITMAP FHandle = nullptr;
  uint8_t* FBits = nullptr;
  std::vector<uint32_t> FColors;  // colour table, 0x00RRGGBB
  win::HPALETTE FPalette = nullptr;
  std::unique_ptr<TBitmapCanvas> FCanvas;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
};

// The canvas of a bitmap: a memory DC made on first use with the bitmap selected into it.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
  ~TBitmapCanvas() override;

protected:
  void CreateHandle() override;
  void FreeContext() override;

private:
  friend class TBitmap;
  TBitmap* FBitmap;
  win::HDC FOwnDC = nullptr;
  win::HGDIOBJ FOldBitmap = nullptr;
};

// ---- Icons ---------------------------------------------------------------------------------------
// An icon: a picture with a mask, or with alpha, behind a platform icon handle the TIcon owns.
// Read from .ico files (the picture nearest the system's icon size, the deepest at that size);
// an icon read from a file is written back as that same file, every picture kept; one given by
// handle is written as a one-picture file (32 bits with alpha, else 24 bits, with its mask).
class TIcon : public TGraphic {
public:
  TIcon();
  ~TIcon() override;
  // Copies the icon (a new handle of the same picture).
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FHandle == nullptr; }
  int32_t Width() const override { return FWidth; }
  int32_t Height() const override { return FHeight; }
  // An icon's size is that of its picture: these raise EInvalidGraphicOperation.
  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;
  // An icon draws through its mask or alpha, always.
  bool Transparent() const override { return true; }

  // nullptr while empty.
  win::HICON Handle() const { return FHandle; }
  // Takes an icon made elsewhere; the TIcon destroys it in the end. nullptr empties the icon;
  // a handle that is not an icon raises EInvalidGraphicOperation and changes nothing.
  void SetHandle(win::HICON Value);
  // Gives the handle to the caller, who must destroy it; the icon becomes empty.
  win::HICON ReleaseHandle();

  // An .ico file; a corrupt one raises EInvalidGraphic and leaves the icon and the stream
  // position as they were.
  void LoadFromStream(TStream& Stream) override;
  // EInvalidGraphic for an empty icon.
  void SaveToStream(TStream& Stream) override;

  // Draws the icon stretched into R (nearest pixel), blended or through its mask.
  void Draw(TCanvas* ACanvas, const TRect& R) override;
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TIcon>(); }

private:
  // Takes `h` (with its size and the file it came from, if any) in place of the current icon.
  void Replace(win::HICON h, std::vector<uint8_t> data);
  win::HICON FHandle = nullptr;
  int32_t FWidth = 0, FHeight = 0;
  std::vector<uint8_t> FData;  // the .ico file it was read from
};

// ---- Picture formats other than BMP ------------------------------------------------------------
// A picture kept in its decoded form and drawn through a bitmap made from it.
class TCodecImage : public TGraphic {
public:
  TCodecImage();
  ~TCodecImage() override;
  void Assign(TPersistent* Source) override;
  bool Empty() const override { return FImage.Empty(); }
  int32_t Width() const override { return FImage.Width; }
  int32_t Height() const override { return FImage.Height; }
  // A picture read from a file is not resized; these raise EInvalidGraphicOperation.
  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  void Draw(TCanvas* ACanvas, const TRect& R) override;
  const img::RawImage& Image() const { return FImage; }

protected:
  void AssignTo(TPersistent* Dest) override;
  virtual img::RawImage Decode(const uint8_t* Data, size_t Size) = 0;
  virtual img::Bytes Encode(const img::RawImage& Image) = 0;
  virtual const char* FormatName() const = 0;
  void SetImage(img::RawImage Image);

private:
  TBitmap* Bitmap();
  img::RawImage FImage;
  std::unique_ptr<TBitmap> FBitmap;  // made for drawing on first use
};

class TJPEGImage : public TCodecImage {
public:
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TJPEGImage>(); }
  int32_t CompressionQuality = 90;  // 1..100
  bool Grayscale = false;

protected:
  img::RawImage Decode(const uint8_t* Data, size_t Size) override;
  img::Bytes Encode(const img::RawImage& Image) override;
  const char* FormatName() const override { return "JPEG"; }
};

class TPngImage : public TCodecImage {
public:
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TPngImage>(); }

protected:
  img::RawImage Decode(const uint8_t* Data, size_t Size) override;
  img::Bytes Encode(const img::RawImage& Image) override;
  const char* FormatName() const override { return "PNG"; }
};

class TGIFImage : public TCodecImage {
public:
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TGIFImage>(); }

protected:
  img::RawImage Decode(const uint8_t* Data, size_t Size) override;
  img::Bytes Encode(const img::RawImage& Image) override;
  const char* FormatName() const override { return "GIF"; }
};

// ---- Picture -----------------------------------------------------------------------------------
// Holds one graphic of any format.
class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Takes a copy of Value (nullptr empties the picture).
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap; a picture holding another format (or nothing) gets a new empty
  // bitmap in its place, as the class library does.
  TBitmap* Bitmap();
  int32_t Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int32_t Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // Chooses the class by the extension (.bmp, .jpg, .jpeg, .png, .gif, .ico, case-insensitive);
  // another extension raises EInvalidGraphic "Unknown picture file extension (.xyz)". On any
  // failure the picture keeps what it held.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  TNotifyEvent OnChange;

private:
  void Changed(TObject*);
  std::unique_ptr<TGraphic> FGraphic;
};

// The class that reads files of this extension (".bmp", ".JPG", ...), or nullptr.
std::unique_ptr<TGraphic> CreateGraphicForExtension(const std::string& Ext);
