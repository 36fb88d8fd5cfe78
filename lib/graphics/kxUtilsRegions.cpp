// Window regions from mask pictures: black pixels are inside the window. A whole mask at its
// own size, or a nine-part mask resized with the same cut as the skin pictures.
#include <cstring>

#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsGeometry.h"
#include "platform/WinUser.h"

using namespace win;
using namespace kxgeom;

TkxFBitmap::TkxFBitmap(HBITMAP HBmp) {
  BITMAP bm{};
  if (!HBmp || !GetObject(HBmp, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0) return;
  Width = bm.bmWidth;
  Height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  Gap = Width % 4;
  RowInc = Width * 3 + Gap;
  Size = RowInc * Height;
  bmHeader.biSize = 40;
  bmHeader.biWidth = Width;
  bmHeader.biHeight = -Height;
  bmHeader.biPlanes = 1;
  bmHeader.biBitCount = 24;
  bmHeader.biCompression = BI_RGB;
  bmInfo.bmiHeader = bmHeader;
  void* bits = nullptr;
  Handle = CreateDIBSection(nullptr, &bmInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!Handle) {
    Width = Height = Size = 0;
    return;
  }
  Bits = static_cast<uint8_t*>(bits);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, HBmp, 0, UINT(Height), Bits, &bmInfo, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  Pixels.resize(size_t(Height));
  for (int32_t y = 0; y < Height; ++y) Pixels[size_t(y)] = reinterpret_cast<TFBColor*>(Bits + ptrdiff_t(y) * RowInc);
  hDC = CreateCompatibleDC(nullptr);
  FOldBitmap = SelectObject(hDC, Handle);
}

TkxFBitmap::~TkxFBitmap() {
  if (hDC) {
    SelectObject(hDC, FOldBitmap);
    DeleteDC(hDC);
  }
  if (Handle) DeleteObject(Handle);
}

int32_t RegionFromMask(TBitmap* Mask, int32_t XOffset, int32_t YOffset, std::vector<uint8_t>& Data) {
  Data.clear();
  if (!Mask || Mask->Empty()) return 0;
  // A real frame mask easily has more runs than any fixed list would hold.
  std::vector<RECT> runs;
  {
    TkxFBitmap fb(Mask->Handle());
    for (int32_t y = 0; y < fb.Height; ++y) {
      const TFBColor* row = fb.Pixels[size_t(y)];
      int32_t x = 0;
      while (x < fb.Width) {
        if (row[x].b | row[x].g | row[x].r) {
          ++x;
          continue;
        }
        int32_t x0 = x;
        while (x < fb.Width && !(row[x].b | row[x].g | row[x].r)) ++x;
        runs.push_back(RECT{x0 + XOffset, y + YOffset, x + XOffset, y + YOffset + 1});
      }
    }
  }
  const size_t size = sizeof(RGNDATAHEADER) + sizeof(RECT) * runs.size();
  Data.assign(size, 0);
  RGNDATAHEADER h;
  h.dwSize = sizeof(RGNDATAHEADER);
  h.iType = RDH_RECTANGLES;
  h.nCount = DWORD(runs.size());
  h.nRgnSize = 0;
  h.rcBound = RECT{XOffset, YOffset, XOffset + Mask->Width(), YOffset + Mask->Height()};
  std::memcpy(Data.data(), &h, sizeof(h));
  if (!runs.empty()) std::memcpy(Data.data() + sizeof(h), runs.data(), sizeof(RECT) * runs.size());
  return int32_t(size);
}

namespace {
HRGN RegionOf(TBitmap* Mask, int32_t XOffset, int32_t YOffset) {
  std::vector<uint8_t> data;
  int32_t size = RegionFromMask(Mask, XOffset, YOffset, data);
  if (size == 0) return nullptr;
  return ExtCreateRegion(nullptr, DWORD(size), reinterpret_cast<const RGNDATA*>(data.data()));
}

// a := a | b, either may be missing; b is freed.
HRGN Unite(HRGN a, HRGN b) {
  if (!a) return b;
  if (!b) return a;
  CombineRgn(a, a, b, RGN_OR);
  DeleteObject(b);
  return a;
}
// A window given an empty region would vanish: a mask without black pixels gives no region.
HRGN DropEmpty(HRGN Rgn) {
  RECT box;
  if (Rgn && GetRgnBox(Rgn, &box) == NULLREGION) {
    DeleteObject(Rgn);
    return nullptr;
  }
  return Rgn;
}

}  // namespace

void MaskToRegion(HRGN& Rgn, TBitmap* Mask) { Rgn = DropEmpty(RegionOf(Mask, 0, 0)); }

void SplitNinePartMask(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                       TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                       const TRect& NewClRect, TBitmap* Mask, TBitmap* TopMask, TBitmap* LeftMask,
                       TBitmap* RightMask, TBitmap* BottomMask, int32_t NewWidth, int32_t) {
  if (!Mask || Mask->Empty()) return;
  const int32_t MW = Mask->Width(), MH = Mask->Height();
  const TPoint &LT = LTPoint, &RT = RTPoint, &LB = LBPoint, &RB = RBPoint;
  const TRect& Cl = ClRect;
  const TRect whole{0, 0, MW, MH};
  auto copyAt = [&](TBitmap* D, int32_t x, int32_t y, const TRect& S) {
    CopyPiece(D, TRect{x, y, x + (S.right - S.left), y + (S.bottom - S.top)}, Mask, S);
  };
  if (TopMask && NewWidth > 0 && Cl.top > 0) {
    TopMask->SetSize(NewWidth, Cl.top);
    if (RT.x != LT.x) TilePiece(TopMask, Mask, Piece(whole, LT.x, 0, RT.x, Cl.top), NewLTPoint.x, NewRTPoint.x, true, 0);
    copyAt(TopMask, 0, 0, Piece(whole, 0, 0, LT.x, Cl.top));
    copyAt(TopMask, NewRTPoint.x, 0, Piece(whole, RT.x, 0, MW, Cl.top));
  }
  const int32_t bottomH = MH - Cl.bottom;
  if (BottomMask && NewWidth >= 1 && bottomH >= 1) {
    BottomMask->SetSize(NewWidth, bottomH);
    if (RB.x != LB.x)
      TilePiece(BottomMask, Mask, Piece(whole, LB.x, Cl.bottom, RB.x, MH), NewLBPoint.x, NewRBPoint.x, true, 0);
    copyAt(BottomMask, 0, 0, Piece(whole, 0, Cl.bottom, LB.x, MH));
    copyAt(BottomMask, NewRBPoint.x, 0, Piece(whole, RB.x, Cl.bottom, MW, MH));
  }
  const int32_t v = NewClRect.bottom - NewClRect.top;
  auto side = [&](TBitmap* D, int32_t x0, int32_t x1, int32_t topY, int32_t bottomY) {
    if (!D || x1 - x0 <= 0 || v <= 0) return;
    D->SetSize(x1 - x0, v);
    if (bottomY != topY) TilePiece(D, Mask, Piece(whole, x0, topY, x1, bottomY), 0, v, false, 0);
    if (topY > Cl.top) copyAt(D, 0, 0, Piece(whole, x0, Cl.top, x1, topY));
    if (Cl.bottom > bottomY) copyAt(D, 0, v - (Cl.bottom - bottomY), Piece(whole, x0, bottomY, x1, Cl.bottom));
  };
  side(LeftMask, 0, Cl.left, LT.y, LB.y);
  side(RightMask, Cl.right, MW, RT.y, RB.y);
}

void RegionFromNinePartMask(HRGN& Rgn, TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint,
                            const TRect& ClRect, TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint,
                            TPoint NewRBPoint, const TRect& NewClRect, TBitmap* Mask, int32_t NewWidth,
                            int32_t NewHeight) {
  Rgn = nullptr;
  if (NewRTPoint.x < NewLTPoint.x || NewLBPoint.y < NewLTPoint.y) return;
  TBitmap top, left, right, bottom;
  for (TBitmap* b : {&top, &left, &right, &bottom})
    if (Mask) b->SetPixelFormat(Mask->PixelFormat() == pf24bit ? pf24bit : pf32bit);
  SplitNinePartMask(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                    NewClRect, Mask, &top, &left, &right, &bottom, NewWidth, NewHeight);
  HRGN tb = Unite(RegionOf(&top, 0, 0), RegionOf(&bottom, 0, NewClRect.bottom));
  HRGN lr = Unite(RegionOf(&left, 0, NewClRect.top), RegionOf(&right, NewClRect.right, NewClRect.top));
  HRGN all = Unite(tb, lr);
  if (HasArea(NewClRect)) all = Unite(all, CreateRectRgn(NewClRect.left, NewClRect.top, NewClRect.right, NewClRect.bottom));
  Rgn = DropEmpty(all);
}
