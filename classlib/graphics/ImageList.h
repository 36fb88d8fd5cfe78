#pragma once
// Image lists: many pictures of one size, each with a mask, drawn by index.
//
// The greyed look (Draw with Enabled false) is the embossed look of this era's controls: every
// pixel of the picture that is neither masked nor white is drawn in clBtnShadow, over a copy of
// the same shape in clBtnHighlight shifted one pixel right and down (so the highlight may reach
// one pixel past the picture's right and bottom edges). BkColor is not used for it.
#include <cstdint>
#include <vector>

#include "base/Component.h"
#include "classlib/Graphics.h"

class TCustomImageList : public TComponent {
public:
  explicit TCustomImageList(TComponent* AOwner);
  // A list of pictures of the given size (16 x 16 by default).
  static TCustomImageList* CreateSize(int32_t AWidth, int32_t AHeight);

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  // Changing the size empties the list, as the platform's image lists do.
  void SetWidth(int32_t Value) { SetSize(Value, FHeight); }
  void SetHeight(int32_t Value) { SetSize(FWidth, Value); }
  void SetSize(int32_t AWidth, int32_t AHeight);
  int32_t Count() const { return int32_t(FImages.size()); }

  // Adds Image (cut into Image.Width / Width pictures when it is wider, at least one); Mask
  // (white = transparent, anything else = opaque) may be nullptr for opaque pictures. Parts of
  // a picture the image does not cover are transparent. Answers the index of the first picture,
  // -1 for a missing or empty image.
  int32_t Add(TBitmap* Image, TBitmap* Mask);
  // As Add, with the pixels of MaskColor transparent (clDefault: the bottom-left pixel's colour).
  int32_t AddMasked(TBitmap* Image, TColor MaskColor);
  // Replaces picture Index (one picture, from the left of Image); EInvalidGraphicOperation for a
  // bad index.
  void Replace(int32_t Index, TBitmap* Image, TBitmap* Mask);
  // Removes picture Index; -1 removes all; another bad index raises EInvalidGraphicOperation.
  void Delete(int32_t Index);
  void Clear();

  // Draws picture Index at (X, Y) of Canvas; an index outside the list draws nothing.
  void Draw(TCanvas* Canvas, int32_t X, int32_t Y, int32_t Index, bool Enabled = true);
  // Sizes Image to the list's size and draws picture Index on it.
  void GetBitmap(int32_t Index, TBitmap* Image);
  // Makes Image an icon of picture Index: its pixels with its mask (BkColor plays no part). An
  // index outside the list or a nullptr Image changes nothing.
  void GetIcon(int32_t Index, TIcon* Image);

  // Masked pixels take this colour when drawn; clNone leaves them transparent.
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);

  TNotifyEvent OnChange;

private:
  struct Picture {
    std::vector<uint32_t> Pixels;  // 0x00RRGGBB, Width x Height
    std::vector<uint8_t> Mask;     // 1 = transparent
  };
  void Change();
  // Pictures cut from Image; `maskOf(x, y, rgb)` decides transparency.
  template <typename MaskFn>
  std::vector<Picture> Cut(TBitmap* Image, bool all, MaskFn maskOf) const;

  int32_t FWidth = 16, FHeight = 16;
  TColor FBkColor = clNone;
  std::vector<Picture> FImages;
};

class TImageList : public TCustomImageList {
public:
  using TCustomImageList::TCustomImageList;
};
