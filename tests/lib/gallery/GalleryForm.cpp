#include <algorithm>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
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
  const TColor shadow = skinned ? SD->SkinColors()->cBtnShadow() : clBtnShadow;

  // A section wider than the form widens the form rather than spilling past its edge.
  constexpr int kMargin = 10, kGap = 14, kTitle = 22;
  int width = kFormWidth;
  for (const Section* s : order) width = std::max(width, s->Width + 2 * kMargin);

  auto* f = new TForm(Owner);
  f->SetBorderStyle(bsNone);
  f->SetColor(face);
  f->SetBounds(0, 0, width, 100);
  int x = kMargin, y = kMargin, rowH = 0, n = 0;
  std::vector<std::pair<const Section*, TWinControl*>> hosts;
  for (const Section* s : order) {
    if (x > kMargin && x + s->Width > width - kMargin) x = kMargin, y += rowH + kGap, rowH = 0;
    // The title in the regular weight: the Chinese faces have no bold, and a title half bold
    // and half regular reads as a fault. A rule under it marks where the section begins.
    auto* title = new TLabel(Owner);
    title->SetName("gallery_title" + std::to_string(n));
    title->SetAutoSize(false);
    title->SetCaption(s->Name);
    title->Font()->SetColor(text);
    title->Font()->SetHeight(-13);
    title->SetTransparent(true);
    title->SetLayout(tlCenter);
    title->SetBounds(x, y, s->Width, kTitle - 4);
    title->SetParent(f);
    auto* rule = new TPanel(Owner);
    rule->SetName("gallery_rule" + std::to_string(n));
    rule->SetCaption("");
    rule->SetBevelOuter(bvNone);
    rule->SetColor(shadow);
    rule->SetBounds(x, y + kTitle - 3, s->Width, 1);
    rule->SetParent(f);
    auto* host = new TPanel(Owner);
    host->SetName("gallery_host" + std::to_string(n++));
    host->SetCaption("");
    host->SetBevelOuter(bvNone);
    host->SetParentColor(true);
    host->SetBounds(x, y + kTitle, s->Width, s->Height);
    host->SetParent(f);
    if (s->Build) s->Build(host, skinned ? SD : nullptr);
    hosts.emplace_back(s, host);
    rowH = std::max(rowH, kTitle + s->Height);
    x += s->Width + kGap;
  }
  f->SetBounds(0, 0, width, y + rowH + kMargin);
  f->Show();
  for (auto& [s, host] : hosts)
    if (s->Shown) s->Shown(host, skinned ? SD : nullptr);
  return f;
}

}  // namespace gallery
