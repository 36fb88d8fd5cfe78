#include <algorithm>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "lib/kxSkinData.h"
#include "lib/kxSkinRecords.h"
#include "tests/lib/gallery/Gallery.h"

namespace gallery {

TForm* BuildForm(TComponent* Owner, TkxSkinData* SD, const std::string& Filter) {
  std::vector<const Section*> order;
  for (const Section& s : Sections())
    if (Filter.empty() || s.Name.find(Filter) != std::string::npos) order.push_back(&s);
  std::stable_sort(order.begin(), order.end(), [](const Section* a, const Section* b) {
    return a->Order != b->Order ? a->Order < b->Order : a->Name < b->Name;
  });
  const bool skinned = SD && !SD->Empty;
  const TColor face = skinned ? SD->SkinColors()->cBtnFace() : clBtnFace;
  const TColor text = skinned ? SD->SkinColors()->cBtnText() : clBtnText;

  auto* f = new TForm(Owner);
  f->SetBorderStyle(bsNone);
  f->SetColor(face);
  f->SetBounds(0, 0, kFormWidth, 100);
  constexpr int kMargin = 10, kGap = 14, kTitle = 18;
  int x = kMargin, y = kMargin, rowH = 0, n = 0;
  for (const Section* s : order) {
    if (x > kMargin && x + s->Width > kFormWidth - kMargin) x = kMargin, y += rowH + kGap, rowH = 0;
    auto* title = new TLabel(Owner);
    title->SetName("gallery_title" + std::to_string(n));
    title->SetCaption(s->Name);
    title->Font()->SetColor(text);
    title->Font()->SetStyle(TFontStyles{fsBold});
    title->SetTransparent(true);
    title->SetBounds(x, y, s->Width, kTitle - 2);
    title->SetParent(f);
    auto* host = new TPanel(Owner);
    host->SetName("gallery_host" + std::to_string(n++));
    host->SetCaption("");
    host->SetBevelOuter(bvNone);
    host->SetParentColor(true);
    host->SetBounds(x, y + kTitle, s->Width, s->Height);
    host->SetParent(f);
    if (s->Build) s->Build(host, skinned ? SD : nullptr);
    rowH = std::max(rowH, kTitle + s->Height);
    x += s->Width + kGap;
  }
  f->SetBounds(0, 0, kFormWidth, y + rowH + kMargin);
  f->Show();
  return f;
}

}  // namespace gallery
