#pragma once
// The 2D graphics services: GDI objects (bitmaps, pens, brushes, fonts, regions, palettes),
// device contexts, blits, primitives, regions and text, with the documented Win32 names.
//
// Rules every caller may rely on (they are not all stated by the Win32 documentation):
//  - 32-bit pixels are B,G,R,A in memory (uint32_t 0xAARRGGBB). Every primitive that makes a
//    pixel (SetPixel, FillRect, lines, Rectangle, text, PatBlt, TransparentBlt) writes alpha 0 into
//    a 32-bit target; BitBlt/StretchBlt between 32-bit surfaces copy all four bytes.
//  - StretchBlt samples the nearest source pixel: column sx + floor(i*sw/dw), rows alike; extents of
//    different signs mirror the picture.
//  - Lines do not draw their end pixel; Rectangle and FillRect exclude right and bottom.
//  - Text is UTF-8; every character count of the text functions is a count of bytes (-1 means
//    NUL-terminated) and every per-character array has one entry per code point.
//  - Objects may be created and used on any thread; a DC or object that two threads share needs
//    the callers' own lock.
#include <cstddef>
#include <string_view>

#include "platform/WinTypes.h"

namespace win {

using HANDLE = void*;

// ---- Bitmaps -------------------------------------------------------------------------------
#pragma pack(push, 1)
struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
#pragma pack(pop)

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// A colour table of more than one entry follows bmiHeader in the caller's buffer.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {0, 0, 0};
  HANDLE dshSection = nullptr;
  DWORD dsOffset = 0;
};

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;

struct PALETTEENTRY {
  BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};

// ---- Pens, brushes, fonts --------------------------------------------------------------------
struct LOGPEN {
  UINT lopnStyle = 0;
  POINT lopnWidth;
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  ULONG_PTR lbHatch = 0;
};

constexpr int LF_FACESIZE = 32;
struct LOGFONT {
  LONG lfHeight = 0;  // < 0: em size in pixels; > 0: cell height (ascent + descent); 0: default
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  // UTF-8, NUL-terminated; room for LF_FACESIZE - 1 code points of any script.
  char lfFaceName[LF_FACESIZE * 4] = {};
};
using LOGFONTW = LOGFONT;
// Copies a UTF-8 face name into lfFaceName, cutting it only between code points.
void SetLogFontFaceName(LOGFONT* lf, std::string_view name);

struct TEXTMETRIC {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  WCHAR tmFirstChar = 0x20;
  WCHAR tmLastChar = 0xFFFC;
  WCHAR tmDefaultChar = 0x1F;
  WCHAR tmBreakChar = 0x20;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TEXTMETRICW = TEXTMETRIC;

// The reserved face name of the built-in test font: every printable glyph is a box, so layout is
// exact. Em size e (|lfHeight|, 16 when 0): cell height e, ascent e*4/5, advance lfWidth or e/2
// (e for ideographs); the box covers columns 0..advance-2 and rows 0..ascent-1 of the cell;
// spaces and control characters draw nothing. Underline: row ascent+1 (ascent when descent < 2).
constexpr const char* kTestBoxFontName = "OmbrelTestBox";

constexpr LONG FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_REGULAR = 400,
               FW_MEDIUM = 500, FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, GB2312_CHARSET = 134,
               CHINESEBIG5_CHARSET = 136, OEM_CHARSET = 255;
constexpr BYTE OUT_DEFAULT_PRECIS = 0, OUT_TT_PRECIS = 4, CLIP_DEFAULT_PRECIS = 0,
               DEFAULT_QUALITY = 0, NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4,
               CLEARTYPE_QUALITY = 5, DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2,
               FF_DONTCARE = 0, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30;

// ---- Blending, regions ----------------------------------------------------------------------
struct BLENDFUNCTION {
  BYTE BlendOp = 0;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;
};
constexpr BYTE AC_SRC_OVER = 0;
constexpr BYTE AC_SRC_ALPHA = 1;

struct RGNDATAHEADER {
  DWORD dwSize = 32;
  DWORD iType = 1;
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound;
};
static_assert(sizeof(RGNDATAHEADER) == 32);
// nCount RECTs follow rdh in the caller's buffer.
struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};
constexpr DWORD RDH_RECTANGLES = 1;

constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = ERROR;
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr int ALTERNATE = 1, WINDING = 2;

// ---- Constants ------------------------------------------------------------------------------
// Raster operations (ROP3).
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                SRCINVERT = 0x00660046, SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008,
                NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226,
                PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
// Binary raster operations of pens (ROP2).
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4,
              R2_MASKPENNOT = 5, R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9,
              R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12, R2_COPYPEN = 13,
              R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4,
              STRETCH_DELETESCANS = COLORONCOLOR;
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr int MM_TEXT = 1;

constexpr UINT PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4,
               PS_NULL = 5, PS_INSIDEFRAME = 6, PS_STYLE_MASK = 0xF;
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL, BS_HATCHED = 2, BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3,
              HS_CROSS = 4, HS_DIAGCROSS = 5;

constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3,
              BLACK_BRUSH = 4, NULL_BRUSH = 5, HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6,
              BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11,
              ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14,
              DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17, DC_BRUSH = 18,
              DC_PEN = 19;

constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6,
                OBJ_BITMAP = 7, OBJ_REGION = 8, OBJ_MEMDC = 10;

// GetDeviceCaps indexes.
constexpr int HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24,
              RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90, SIZEPALETTE = 104;

// System colours (GetSysColor).
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_DESKTOP = 1,
              COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4,
              COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
              COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
              COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
              COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_3DFACE = 15,
              COLOR_BTNSHADOW = 16, COLOR_3DSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
              COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20, COLOR_3DHIGHLIGHT = 20,
              COLOR_3DHILIGHT = 20, COLOR_BTNHILIGHT = 20, COLOR_3DDKSHADOW = 21,
              COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26,
              COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
              COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;
constexpr int kSysColorCount = 31;

// Text.
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
               TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;
constexpr UINT ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4;
constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
               DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20,
               DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80, DT_NOCLIP = 0x100,
               DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
               DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000,
               DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000,
               DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000,
               DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000;

// DrawEdge.
constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4,
               BDR_SUNKENINNER = 0x8, BDR_OUTER = 0x3, BDR_INNER = 0xC,
               EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
               EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
               EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
               EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8,
               BF_TOPLEFT = BF_TOP | BF_LEFT, BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
               BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM, BF_MIDDLE = 0x800,
               BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000;

// ---- Objects --------------------------------------------------------------------------------
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* lp);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HFONT CreateFontIndirect(const LOGFONT* lf);
inline HFONT CreateFontIndirectW(const LOGFONT* lf) { return CreateFontIndirect(lf); }
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName);
inline HFONT CreateFontW(int h, int w, int e, int o, int wt, DWORD i, DWORD u, DWORD s, DWORD cs,
                         DWORD op, DWORD cp, DWORD q, DWORD pf, const char* face) {
  return CreateFont(h, w, e, o, wt, i, u, s, cs, op, cp, q, pf, face);
}
HPALETTE CreatePalette(const LOGPALETTE* lp);
UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* entries);
HPALETTE SelectPalette(HDC hdc, HPALETTE pal, BOOL forceBackground);
UINT RealizePalette(HDC hdc);

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);  // regions: returns the region type, as documented
BOOL DeleteObject(HGDIOBJ obj);
int GetObject(HGDIOBJ obj, int size, void* buffer);
inline int GetObjectW(HGDIOBJ obj, int size, void* buffer) { return GetObject(obj, size, buffer); }
DWORD GetObjectType(HGDIOBJ obj);
inline DWORD GetObjectType(HDC dc) { return GetObjectType(reinterpret_cast<HGDIOBJ>(dc)); }
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
COLORREF GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);

// ---- Device contexts --------------------------------------------------------------------------
HDC CreateCompatibleDC(HDC hdc);
// "DISPLAY" gives an information DC over the screen (GetDeviceCaps, GetDIBits); other drivers fail.
HDC CreateDC(const char* driver, const char* device, const char* output, const void* initData);
inline HDC CreateDCW(const char* d, const char* dev, const char* o, const void* i) {
  return CreateDC(d, dev, o, i);
}
BOOL DeleteDC(HDC hdc);
int GetDeviceCaps(HDC hdc, int index);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int saved);  // saved < 0: relative to the newest state

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC hdc, POINT* p);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC hdc, POINT* p);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL LPtoDP(HDC hdc, POINT* pts, int count);
BOOL DPtoLP(HDC hdc, POINT* pts, int count);
int GetMapMode(HDC hdc);
int SetMapMode(HDC hdc, int mode);  // MM_TEXT only

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC hdc, POINT* p);

// Clipping: regions given and returned in device coordinates of the DC; boxes in logical ones.
int SelectClipRgn(HDC hdc, HRGN rgn);  // NULL removes the clip region
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC hdc, int dx, int dy);
int GetClipBox(HDC hdc, RECT* r);
int GetClipRgn(HDC hdc, HRGN rgn);  // 1 and a copy, 0 when none, -1 on error
BOOL PtVisible(HDC hdc, int x, int y);
BOOL RectVisible(HDC hdc, const RECT* r);

// ---- Blits ----------------------------------------------------------------------------------
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
BOOL AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend);
BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                    UINT transparentColor);
int StretchDIBits(HDC hdc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT startScan, UINT lines, void* bits, BITMAPINFO* bmi,
              UINT usage);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);

// ---- Primitives -----------------------------------------------------------------------------
int FillRect(HDC hdc, const RECT* r, HBRUSH brush);  // brush may be (HBRUSH)(COLOR_xxx + 1)
int FrameRect(HDC hdc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* r);
BOOL DrawFocusRect(HDC hdc, const RECT* r);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* pts, int count);
BOOL Polygon(HDC hdc, const POINT* pts, int count);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ew, int eh);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL DrawEdge(HDC hdc, RECT* r, UINT edge, UINT flags);

// ---- Regions --------------------------------------------------------------------------------
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* r);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ew, int eh);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode);
HRGN ExtCreateRegion(const void* xform, DWORD size, const RGNDATA* data);
int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* r);
int GetRgnBox(HRGN rgn, RECT* r);
BOOL EqualRgn(HRGN a, HRGN b);
DWORD GetRegionData(HRGN rgn, DWORD size, RGNDATA* data);
BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int w, int h);
BOOL PaintRgn(HDC hdc, HRGN rgn);

// ---- Icons and cursors ----------------------------------------------------------------------
// An icon is a colour bitmap with a 1-bit mask (1 = transparent), or, without a colour bitmap, a
// monochrome icon whose mask is twice as tall: the AND mask above, the XOR mask below. Icons
// keep private copies of their bitmaps and never change after creation; handles are unique
// while alive and may be used from any thread. HCURSOR is HICON: the standard cursors
// (LoadCursor(nullptr, IDC_xxx)) have no pictures, so GetIconInfo and DrawIconEx refuse them.
struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0;  // icons: always the centre
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;
  HBITMAP hbmColor = nullptr;
};

constexpr UINT DI_MASK = 0x1, DI_IMAGE = 0x2, DI_NORMAL = 0x3;
constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;
constexpr UINT LR_DEFAULTCOLOR = 0x0, LR_COPYRETURNORG = 0x4, LR_COPYDELETEORG = 0x8;
inline const char* const IDI_APPLICATION = reinterpret_cast<const char*>(uintptr_t(32512));
inline const char* const IDI_HAND = reinterpret_cast<const char*>(uintptr_t(32513));
inline const char* const IDI_QUESTION = reinterpret_cast<const char*>(uintptr_t(32514));
inline const char* const IDI_EXCLAMATION = reinterpret_cast<const char*>(uintptr_t(32515));
inline const char* const IDI_ASTERISK = reinterpret_cast<const char*>(uintptr_t(32516));
inline const char* const IDI_ERROR = IDI_HAND;
inline const char* const IDI_WARNING = IDI_EXCLAMATION;
inline const char* const IDI_INFORMATION = IDI_ASTERISK;

// Copies the bitmaps (any depth; the mask is reduced to 1 bit by the nearest of black and
// white). A 32-bit colour bitmap whose alpha is not 0 everywhere makes an icon with alpha, its
// colour not premultiplied. NULL without a valid mask, or with a colour bitmap that is given but
// not valid.
HICON CreateIconIndirect(const ICONINFO* info);
// New copies of the mask (1 bit) and colour (32 bits, alpha as created) bitmaps, owned by the
// caller (DeleteObject each); the icon is unchanged by whatever happens to them.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// Draws the icon at (x, y) with size cx x cy (0: the icon's own width or height), sampling the
// nearest pixel as StretchBlt does. An icon with alpha is blended (DI_IMAGE; DI_MASK alone copies
// the mask); otherwise DI_NORMAL ANDs the mask and then XORs the colour, and DI_MASK or DI_IMAGE
// alone copies that one bitmap. Both are bitwise on 32-bit targets, so a pixel the mask leaves
// transparent keeps its colour but gets alpha 0, as every primitive gives. A flicker-free brush
// fills the rectangle first. `step` (animated cursors) is ignored.
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFreeBrush,
                UINT flags);
// TRUE also for the shared icons of LoadIcon, which stay.
BOOL DestroyIcon(HICON icon);
// IMAGE_ICON only: a new icon of size cx x cy (0: the same), scaled by the nearest pixel.
// LR_COPYRETURNORG answers the icon itself when the size is unchanged; LR_COPYDELETEORG destroys
// the original once the copy is made.
HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags);
inline HICON CopyIcon(HICON icon) { return static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 0, 0, 0)); }
// With no instance: IDI_APPLICATION, a shared, built-in 32x32 application icon with alpha, and
// the four standard icons of the message boxes (IDI_WARNING, IDI_ERROR, IDI_INFORMATION,
// IDI_QUESTION and their older names), shared 32x32 pictures with alpha from the embedded
// resources. Anything else (there are no icon resources) answers NULL.
HICON LoadIcon(HINSTANCE instance, const char* name);

// ---- Text -----------------------------------------------------------------------------------
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm);
inline BOOL GetTextMetricsW(HDC hdc, TEXTMETRIC* tm) { return GetTextMetrics(hdc, tm); }
BOOL GetTextExtentPoint32(HDC hdc, const char* text, int bytes, SIZE* size);
inline BOOL GetTextExtentPoint32W(HDC hdc, const char* t, int n, SIZE* s) {
  return GetTextExtentPoint32(hdc, t, n, s);
}
BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths);
inline BOOL GetCharWidth(HDC hdc, UINT first, UINT last, INT* widths) {
  return GetCharWidth32(hdc, first, last, widths);
}
inline BOOL GetCharWidthW(HDC hdc, UINT first, UINT last, INT* widths) {
  return GetCharWidth32(hdc, first, last, widths);
}
int GetTextFace(HDC hdc, int size, char* name);
BOOL TextOut(HDC hdc, int x, int y, const char* text, int bytes);
inline BOOL TextOutW(HDC hdc, int x, int y, const char* t, int n) { return TextOut(hdc, x, y, t, n); }
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text, UINT bytes,
                const INT* dx);
inline BOOL ExtTextOutW(HDC hdc, int x, int y, UINT o, const RECT* r, const char* t, UINT n,
                        const INT* dx) {
  return ExtTextOut(hdc, x, y, o, r, t, n, dx);
}
int DrawText(HDC hdc, const char* text, int bytes, RECT* rect, UINT format);
inline int DrawTextW(HDC hdc, const char* t, int n, RECT* r, UINT f) { return DrawText(hdc, t, n, r, f); }
inline int DrawText(HDC hdc, std::string_view text, RECT* rect, UINT format) {
  return DrawText(hdc, text.data(), int(text.size()), rect, format);
}

}  // namespace win
