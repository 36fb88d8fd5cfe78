// The skinned list view as the job list uses it: a 25-column report view whose external bars
// follow the view (the vertical one exactly while the items overflow the page, the horizontal
// one while the columns do), bars scrolling the view and the view's keys and wheel moving the
// bars, the header painted through its replaced window procedure in the default look and from
// the skin's button record, divider drags redrawing live, skin changes, lifetimes and streaming.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxVelara.h"
#include "platform/Gdi.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;

// The job list's columns: the first eight shown, the others hidden (width 0, MaxWidth 1).
const int kJobWidths[25] = {80, 70, 70, 80, 70, 0, 80, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

class SkinListViewTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(0, 0, 860, 360);
    lv = Make<TkxSkinListView>(form, "lv", 10, 10, 804, 300);
    lv->SetViewStyle(vsReport);
    lv->SetGridLines(true);
    lv->SetRowSelect(true);
    lv->SetReadOnly(true);
    for (int i = 0; i < 25; ++i) {
      TListColumn* c = lv->Columns()->Add();
      c->SetCaption("列" + std::to_string(i));
      if (kJobWidths[i] == 0) c->SetMaxWidth(1);
      c->SetWidth(kJobWidths[i]);
    }
    vbar = Make<TkxSkinScrollBar>(form, "vbar", 814, 10, 19, 300);
    vbar->SetKind(sbVertical);
    vbar->SetSkinDataName("vscrollbar");
    hbar = Make<TkxSkinScrollBar>(form, "hbar", 10, 310, 804, 19);
    form->Show();
    Pump();
  }
  void Attach() {
    lv->SetVScrollBar(vbar);
    lv->SetHScrollBar(hbar);
    Pump();
  }
  void AddRows(int n) {
    for (int i = 0; i < n; ++i) {
      TListItem* it = lv->Items()->Add();
      it->SetCaption("/home/user/视频/clip" + std::to_string(lv->Items()->Count()) + ".avi");
      for (int s = 0; s < 24; ++s) it->SubItems()->Add(std::to_string(s));
    }
    Pump();
  }
  int PerPage() { return int(SendMessage(lv->Handle(), LVM_GETCOUNTPERPAGE, 0, 0)); }
  HWND Header() { return lv->HeaderHandle(); }
  uint32_t HeaderPixel(int x, int y) { return Rgb(headless::PixelAt(Header(), x, y)); }
  RECT SectionRect(int i) {
    RECT r{};
    SendMessage(Header(), HDM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    return r;
  }

  TForm* form = nullptr;
  TkxSkinListView* lv = nullptr;
  TkxSkinScrollBar *vbar = nullptr, *hbar = nullptr;
};

TEST_F(SkinListViewTest, HasNoBorderNorBarsOfItsOwn) {
  EXPECT_EQ(lv->ClientWidth(), 804);
  EXPECT_EQ(lv->ClientHeight(), 300);
  EXPECT_EQ(GetWindowLong(lv->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  EXPECT_EQ(SendMessage(lv->Handle(), KXM_PAINTNCTODC, 0, 0), KX_PAINTNCTODC_ANSWER);
  EXPECT_EQ(lv->Font()->Name(), "Arial");
  EXPECT_EQ(lv->Font()->Height(), 14);
  EXPECT_EQ(lv->Color(), clWindow);
}

TEST_F(SkinListViewTest, AttachingABarEnablesHidesAndTakesItsChange) {
  vbar->SetEnabled(false);
  lv->SetVScrollBar(vbar);
  EXPECT_TRUE(vbar->Enabled());
  EXPECT_FALSE(vbar->Visible());
  EXPECT_TRUE(bool(vbar->OnChange));
}

// The vertical bar shows exactly while the count per page is below the item count, with the
// view's range, page and position.
TEST_F(SkinListViewTest, VerticalBarShowsExactlyWhenItemsOverflowThePage) {
  Attach();
  const int per = PerPage();
  ASSERT_GT(per, 5);
  struct Case {
    int total;
    bool shown;
  };
  for (const Case& c : {Case{0, false}, Case{1, false}, Case{per - 1, false}, Case{per, false},
                        Case{per + 1, true}, Case{50, true}}) {
    lv->Items()->Clear();
    AddRows(c.total);
    EXPECT_EQ(vbar->Visible(), c.shown) << c.total << " items, " << per << " per page";
    if (!c.shown) continue;
    EXPECT_EQ(vbar->Min(), 0);
    EXPECT_EQ(vbar->Max(), c.total - 1);
    EXPECT_EQ(vbar->PageSize(), per);
    EXPECT_EQ(vbar->LargeChange(), per);
    EXPECT_EQ(vbar->SmallChange(), 1);
    EXPECT_EQ(vbar->Position(), lv->TopIndex());
  }
  // Deleting rows back to one page hides it again.
  while (lv->Items()->Count() > per) lv->Items()->Delete(0);
  Pump();
  EXPECT_FALSE(vbar->Visible());
}

// The horizontal bar shows while the columns are wider than the view, and leaves the corner to
// the vertical bar while both show.
TEST_F(SkinListViewTest, HorizontalBarShowsWhenColumnsOverflow) {
  Attach();
  AddRows(3);
  EXPECT_FALSE(hbar->Visible()) << "530 pixels of columns in 804";
  lv->Column(0)->SetWidth(600);
  Pump();
  const int total = 600 + 70 + 70 + 80 + 70 + 80 + 80;
  EXPECT_TRUE(hbar->Visible());
  EXPECT_EQ(hbar->Max(), total - 1);
  EXPECT_EQ(hbar->PageSize(), 804);
  EXPECT_FALSE(hbar->Both());
  AddRows(60);
  EXPECT_TRUE(vbar->Visible());
  EXPECT_TRUE(hbar->Both());
  lv->Column(0)->SetWidth(80);
  Pump();
  EXPECT_FALSE(hbar->Visible());
}

TEST_F(SkinListViewTest, BarsScrollTheView) {
  Attach();
  AddRows(100);
  lv->Column(0)->SetWidth(700);
  Pump();
  ASSERT_TRUE(vbar->Visible());
  ASSERT_TRUE(hbar->Visible());
  vbar->SetPosition(10);
  EXPECT_EQ(lv->TopIndex(), 10);
  vbar->SetPosition(7);
  EXPECT_EQ(lv->TopIndex(), 7);
  // The bar's increasing arrow steps one row.
  ClickAt(vbar, 9, 300 - 5);
  EXPECT_EQ(vbar->Position(), 8);
  EXPECT_EQ(lv->TopIndex(), 8);
  vbar->SetPosition(vbar->Max());
  EXPECT_EQ(lv->TopIndex(), 100 - PerPage());
  EXPECT_EQ(vbar->Position(), lv->TopIndex());

  hbar->SetPosition(120);
  EXPECT_EQ(GetScrollPos(lv->Handle(), SB_HORZ), 120);
  RECT hr{};
  GetWindowRect(Header(), &hr);
  POINT o{0, 0};
  ClientToScreen(lv->Handle(), &o);
  EXPECT_EQ(hr.left - o.x, -120) << "the header follows the columns";
  hbar->SetPosition(20);
  EXPECT_EQ(GetScrollPos(lv->Handle(), SB_HORZ), 20);
}

// Keys and the wheel scroll the view; the bars follow at the key press or the repaint after it.
TEST_F(SkinListViewTest, TheViewsOwnScrollingMovesTheBars) {
  Attach();
  AddRows(100);
  lv->SetFocus();
  lv->SetItemIndex(0);
  Pump();
  struct Step {
    const char* what;
    std::function<void()> act;
  };
  const std::vector<Step> steps{
      {"page down", [] { headless::PressKey(VK_NEXT); }},
      {"page down again", [] { headless::PressKey(VK_NEXT); }},
      {"end", [] { headless::PressKey(VK_END); }},
      {"wheel up", [] { headless::Wheel(WHEEL_DELTA); }},
      {"home", [] { headless::PressKey(VK_HOME); }},
      {"wheel down twice", [] {
         headless::Wheel(-WHEEL_DELTA);
         headless::Wheel(-WHEEL_DELTA);
       }},
  };
  int last = -1;
  for (const Step& s : steps) {
    const POINT c{10 + 400, 10 + 150};
    headless::MoveMouse(c.x, c.y);
    s.act();
    Pump();
    EXPECT_EQ(vbar->Position(), lv->TopIndex()) << s.what;
    EXPECT_NE(lv->TopIndex(), last) << s.what << " scrolled";
    last = lv->TopIndex();
  }
  // The bar's next move scrolls from where the view is, not from where the bar was.
  const int top = lv->TopIndex();
  vbar->SetPosition(top + 2);
  EXPECT_EQ(lv->TopIndex(), top + 2);
}

// The bars scroll by the difference of positions, so rows past 65535 are reached too.
TEST_F(SkinListViewTest, RowsPastSixteenBitsAreReached) {
  Attach();
  lv->Items()->BeginUpdate();
  for (int i = 0; i < 66000; ++i) lv->Items()->Add()->SetCaption("r");
  lv->Items()->EndUpdate();
  Pump();
  ASSERT_TRUE(vbar->Visible());
  vbar->SetPosition(65536 + 100);
  EXPECT_EQ(lv->TopIndex(), 65636);
  vbar->SetPosition(65000);
  EXPECT_EQ(lv->TopIndex(), 65000);
}

// In the list style the items run in columns: only the horizontal bar, in columns, shown while
// the items overflow the page; it scrolls the view a column per step. In the icon style both
// bars count pixels.
TEST_F(SkinListViewTest, ListAndIconStylesMirrorTheirOwnUnits) {
  Attach();
  AddRows(3);
  lv->SetViewStyle(vsList);
  Pump();
  EXPECT_FALSE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible());
  // Rows are added in the report style, where a row's text does not lay out the whole list again.
  lv->SetViewStyle(vsReport);
  AddRows(150);
  lv->SetViewStyle(vsList);
  Pump();
  ASSERT_LT(PerPage(), 153);
  EXPECT_FALSE(vbar->Visible());
  ASSERT_TRUE(hbar->Visible());
  int mn = 0, mx = 0;
  GetScrollRange(lv->Handle(), SB_HORZ, &mn, &mx);
  EXPECT_EQ(hbar->Max(), mx);
  hbar->SetPosition(2);
  EXPECT_EQ(GetScrollPos(lv->Handle(), SB_HORZ), 2);
  hbar->SetPosition(1);
  EXPECT_EQ(GetScrollPos(lv->Handle(), SB_HORZ), 1);

  lv->SetViewStyle(vsIcon);
  Pump();
  ASSERT_TRUE(vbar->Visible());
  GetScrollRange(lv->Handle(), SB_VERT, &mn, &mx);
  EXPECT_EQ(vbar->Max(), mx);
  EXPECT_EQ(vbar->PageSize(), 300);
  vbar->SetPosition(90);
  EXPECT_EQ(GetScrollPos(lv->Handle(), SB_VERT), 90);
}

TEST_F(SkinListViewTest, HidingTheViewHidesTheBars) {
  Attach();
  AddRows(100);
  lv->Column(0)->SetWidth(700);
  Pump();
  lv->SetVisible(false);
  EXPECT_FALSE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible());
  lv->SetVisible(true);
  Pump();
  EXPECT_TRUE(vbar->Visible());
  EXPECT_TRUE(hbar->Visible());
}

// An empty view that is resized keeps its bars as they are; the next paint synchronises.
TEST_F(SkinListViewTest, AFreedBarIsForgottenAndTheViewOutlivesIt) {
  Attach();
  AddRows(100);
  delete vbar;
  vbar = nullptr;
  EXPECT_EQ(lv->VScrollBar(), nullptr);
  headless::PressKey(VK_NEXT);
  Pump();
  EXPECT_EQ(lv->HScrollBar(), hbar);
  // And a bar outlives the view.
  delete lv;
  lv = nullptr;
  hbar->SetPosition(5);
  EXPECT_FALSE(bool(hbar->OnChange));
}

// ---- the header ---------------------------------------------------------------------------------

TEST_F(SkinListViewTest, TheHeaderIsSubclassedAndWiderThanAsked) {
  ASSERT_NE(Header(), nullptr);
  EXPECT_EQ(lv->SkinHeaderHandle(), Header());
  RECT r{};
  GetClientRect(Header(), &r);
  EXPECT_EQ(r.right, 804 + 25);
  // A new header (the view style goes and comes back) is subclassed in its turn.
  lv->SetViewStyle(vsList);
  EXPECT_EQ(lv->SkinHeaderHandle(), nullptr);
  lv->SetViewStyle(vsReport);
  ASSERT_NE(Header(), nullptr);
  EXPECT_EQ(lv->SkinHeaderHandle(), Header());
  // Without column headers nothing is subclassed.
  lv->SetShowColumnHeaders(false);
  EXPECT_EQ(lv->SkinHeaderHandle(), nullptr);
}

// The default look: each section framed in the button shadow over the button face, the part
// right of the last section the same; a pressed section navy over a blue-grey until released.
TEST_F(SkinListViewTest, TheHeaderDrawsTheDefaultLookAndThePressedSection) {
  lv->Column(1)->SetCaption("");
  Pump();
  const RECT s1 = SectionRect(1);
  const int mx = (s1.left + s1.right) / 2, my = (s1.top + s1.bottom) / 2;
  EXPECT_EQ(HeaderPixel(s1.left, my), Px(clBtnShadow));
  EXPECT_EQ(HeaderPixel(s1.right - 1, my), Px(clBtnShadow));
  EXPECT_EQ(HeaderPixel(mx, 0), Px(clBtnShadow));
  EXPECT_EQ(HeaderPixel(mx, my), Px(clBtnFace));
  const RECT last = SectionRect(7);
  EXPECT_EQ(HeaderPixel(last.right + 40, my), Px(clBtnFace));
  EXPECT_EQ(HeaderPixel(last.right + 40, 0), Px(clBtnShadow));
  // The rest runs one pixel past the header's right end: no right edge shows there.
  EXPECT_EQ(HeaderPixel(829 - 1, my), Px(clBtnFace));

  POINT p{mx, my};
  ClientToScreen(Header(), &p);
  headless::MoveMouse(p.x, p.y);
  headless::ButtonDown();
  Pump();
  EXPECT_TRUE(lv->HeaderDown());
  EXPECT_EQ(lv->ActiveSection(), 1);
  EXPECT_EQ(HeaderPixel(mx, my), Px(TColor(0xB59385)));
  EXPECT_EQ(HeaderPixel(s1.left, my), Px(TColor(0x800000)));
  headless::ButtonUp();
  Pump();
  EXPECT_FALSE(lv->HeaderDown());
  EXPECT_EQ(lv->ActiveSection(), -1);
  EXPECT_EQ(HeaderPixel(mx, my), Px(clBtnFace));
}

// A press on a divider and a drag: the column follows and the header is painted again at
// every move, not only at the release.
TEST_F(SkinListViewTest, ADividerDragRedrawsTheHeaderOnEveryMove) {
  const RECT s0 = SectionRect(0);
  POINT p{s0.right - 1, 5};
  ClientToScreen(Header(), &p);
  headless::MoveMouse(p.x, p.y);
  headless::ButtonDown();
  Pump();
  EXPECT_TRUE(lv->DividerDown());
  EXPECT_FALSE(lv->HeaderDown());
  for (int step = 1; step <= 4; ++step) {
    const uint32_t before = lv->HeaderPaintCount();
    headless::MoveMouse(p.x + 7 * step, p.y);
    Pump();
    EXPECT_GT(lv->HeaderPaintCount(), before) << "move " << step;
    EXPECT_EQ(lv->Column(0)->Width(), 80 + 7 * step);
    // The moved divider is drawn where it now is.
    EXPECT_EQ(HeaderPixel(80 + 7 * step - 1, 8), Px(clBtnShadow));
  }
  headless::ButtonUp();
  Pump();
  EXPECT_FALSE(lv->DividerDown());
  EXPECT_EQ(lv->Column(0)->Width(), 108);
}

TEST_F(SkinListViewTest, TheHeaderPaintsIntoAGivenDeviceContext) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(830, 20);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(TRect{0, 0, 830, 20});
  SendMessage(lv->Handle(), KXM_PAINTHEADERTODC, reinterpret_cast<WPARAM>(b.Canvas()->Handle()), 0);
  EXPECT_EQ(Rgb(b.Canvas()->Pixels(0, 5)), Rgb(ColorToRGB(clBtnShadow)));
  EXPECT_EQ(Rgb(b.Canvas()->Pixels(700, 8)), Rgb(ColorToRGB(clBtnFace)));
}

// With an image, a caption that fits is aligned with its image by the column's alignment; one
// too wide starts after the image at the section's left, cut with "...".
TEST_F(SkinListViewTest, ASectionImageAndItsCaption) {
  auto* images = new TImageList(owner.get());
  images->SetSize(16, 16);
  TBitmap red;
  red.SetPixelFormat(pf24bit);
  red.SetSize(16, 16);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(TRect{0, 0, 16, 16});
  ASSERT_EQ(images->Add(&red, nullptr), 0);
  lv->SetSmallImages(images);
  lv->Column(0)->SetImageIndex(0);
  lv->Column(0)->SetAlignment(taRightJustify);
  lv->Column(0)->SetWidth(150);
  lv->Column(0)->SetCaption("文");
  Pump();
  const RECT s0 = SectionRect(0);
  const int my = (s0.top + s0.bottom) / 2;
  EXPECT_EQ(HeaderPixel(5 + 8, my), Px(clBtnFace)) << "right-aligned: the image is not at the left";
  lv->Column(0)->SetCaption(std::string(40, 'W'));
  Pump();
  EXPECT_EQ(HeaderPixel(5 + 8, my), Px(clRed)) << "cut: the image at the left";
  // The text is cut before the section's end: the last pixels of its text area stay plain.
  for (int x = s0.right - 8; x < s0.right - 1; ++x) EXPECT_EQ(HeaderPixel(x, my), Px(clBtnFace)) << x;
}

TEST_F(SkinListViewTest, OnDrawHeaderSectionReplacesCaptionDrawing) {
  std::vector<std::string> drawn;
  lv->OnDrawHeaderSection = [&](TObject*, TCanvas* c, TListColumn* col, bool, const TRect& r) {
    drawn.push_back(col->Caption());
    c->Brush()->SetColor(clLime);
    c->FillRect(r);
  };
  InvalidateRect(Header(), nullptr, TRUE);
  Pump();
  ASSERT_GE(drawn.size(), 7u);
  EXPECT_EQ(drawn[0], "列0");
  EXPECT_EQ(HeaderPixel(40, 8), Px(clLime));
}

// ---- skins --------------------------------------------------------------------------------------

class SkinListViewSkinTest : public SkinListViewTest {
protected:
  TkxSkinData* Skin(int n) {
    auto* sd = new TkxSkinData(owner.get());
    skinlint::LoadGeneratedSkin(n, *sd);
    return sd;
  }
};

// The list-view record gives the font and colours; the header draws from the button record,
// and a record of another kind leaves it in the default look.
TEST_F(SkinListViewSkinTest, SkinGivesFontColoursAndTheHeaderPicture) {
  TkxSkinData* sd = Skin(0);
  const int li = sd->GetControlIndex("listview");
  ASSERT_NE(li, -1);
  auto* rec = dynamic_cast<TkxDataSkinListView*>(sd->CtrlList[size_t(li)].get());
  ASSERT_NE(rec, nullptr);
  lv->Column(1)->SetCaption("");
  lv->SetSkinData(sd);
  Pump();
  EXPECT_EQ(lv->SkinIndex(), li);
  EXPECT_EQ(lv->Color(), rec->BGColor);
  EXPECT_EQ(lv->Font()->Color(), rec->FontColor);
  if (!rec->FontName.empty()) {
    EXPECT_EQ(lv->Font()->Name(), rec->FontName);
  }

  const int hi = sd->GetControlIndex("resizetoolbutton");
  ASSERT_NE(hi, -1);
  auto* hrec = dynamic_cast<TkxDataSkinButtonControl*>(sd->CtrlList[size_t(hi)].get());
  ASSERT_NE(hrec, nullptr);
  EXPECT_EQ(lv->HeaderSkinIndex(), hi);
  // The section's left-top pixel comes from the record's picture.
  TBitmap* pic = sd->FActivePictures[size_t(hrec->PictureIndex)].get();
  const RECT s1 = SectionRect(1);
  const uint32_t corner = Rgb(pic->Canvas()->Pixels(hrec->SkinRect.left, hrec->SkinRect.top));
  EXPECT_EQ(HeaderPixel(s1.left, 0), Px(TColor(corner)))
      << skinlint::Str(hrec->SkinRect) << " LB " << hrec->LBPoint.x << "," << hrec->LBPoint.y << " section "
      << s1.left << "," << s1.top << "-" << s1.right << "," << s1.bottom << " bpp " << int(pic->PixelFormat());
  std::vector<uint32_t> skinned;
  for (int x = s1.left; x < s1.right; ++x) skinned.push_back(HeaderPixel(x, 8));

  // The same header from a record of another kind: the default look.
  lv->SetHeaderSkinDataName("listview");
  InvalidateRect(Header(), nullptr, TRUE);
  Pump();
  EXPECT_EQ(HeaderPixel((s1.left + s1.right) / 2, 8), Px(clBtnFace));
  EXPECT_EQ(HeaderPixel(s1.left, 8), Px(clBtnShadow));
  // And from a skin without the record.
  lv->SetHeaderSkinDataName("no such record");
  InvalidateRect(Header(), nullptr, TRUE);
  Pump();
  EXPECT_EQ(lv->HeaderSkinIndex(), -1);
  EXPECT_EQ(HeaderPixel((s1.left + s1.right) / 2, 8), Px(clBtnFace));
  lv->SetHeaderSkinDataName("resizetoolbutton");
  InvalidateRect(Header(), nullptr, TRUE);
  Pump();
  std::vector<uint32_t> again;
  for (int x = s1.left; x < s1.right; ++x) again.push_back(HeaderPixel(x, 8));
  EXPECT_EQ(again, skinned);
}

TEST_F(SkinListViewSkinTest, WithoutARecordTheDefaultsHold) {
  TkxSkinData* sd = Skin(3);
  lv->SetSkinDataName("no such record");
  lv->SetDefaultColor(clYellow);
  lv->SetSkinData(sd);
  EXPECT_EQ(lv->SkinIndex(), -1);
  EXPECT_EQ(lv->Color(), clYellow);
  lv->DefaultFont()->SetHeight(20);
  EXPECT_EQ(lv->Font()->Height(), 20);
  lv->SetDefaultColor(clAqua);
  EXPECT_EQ(lv->Color(), clAqua);
  // Skinned, the default colour no longer reaches the view.
  lv->SetSkinDataName("listview");
  lv->ChangeSkinData();
  ASSERT_NE(lv->SkinIndex(), -1);
  const TColor skinned = lv->Color();
  lv->SetDefaultColor(clFuchsia);
  EXPECT_EQ(lv->Color(), skinned);
  // The skin data freed: forgotten.
  delete sd;
  EXPECT_EQ(lv->SkinData(), nullptr);
  lv->ChangeSkinData();
  EXPECT_EQ(lv->Color(), clFuchsia);
}

TEST_F(SkinListViewSkinTest, EveryGeneratedSkinPaintsTheHeader) {
  AddRows(60);
  Attach();
  for (int n = 0; n <= 10; ++n) {
    TkxSkinData* sd = Skin(n);
    vbar->SetSkinData(sd);
    hbar->SetSkinData(sd);
    lv->SetSkinData(sd);
    Pump();
    EXPECT_NE(lv->HeaderSkinIndex(), -1) << n;
    EXPECT_TRUE(vbar->Visible()) << n;
    lv->SetSkinData(nullptr);
    vbar->SetSkinData(nullptr);
    hbar->SetSkinData(nullptr);
    delete sd;
  }
}

// The form's walk after a skin change reaches the view.
TEST_F(SkinListViewSkinTest, TheSkinChangeWalkReachesTheView) {
  TkxSkinData* sd = Skin(2);
  lv->SetSkinData(sd);
  const TColor skinned = lv->Color();
  sd->ClearSkin();
  TkxVelara::ChangeControlsSkinData(sd, form);
  EXPECT_EQ(lv->SkinIndex(), -1);
  EXPECT_EQ(lv->Color(), clWindow);
  skinlint::LoadGeneratedSkin(2, *sd);
  TkxVelara::ChangeControlsSkinData(sd, form);
  EXPECT_NE(lv->SkinIndex(), -1);
  EXPECT_EQ(lv->Color(), skinned);
}

// ---- streaming ----------------------------------------------------------------------------------

TEST_F(SkinListViewTest, ReadsItsPropertiesFromAFormDescription) {
  RegisterSkinControlFormClasses();
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, R"(object F: TForm
  object vb: TkxSkinScrollBar
    Kind = sbVertical
  end
  object lvFiles: TkxSkinListView
    ViewStyle = vsReport
    HeaderSkinDataName = 'toolbutton'
    SkinDataName = 'mylist'
    DefaultColor = clInfoBk
    UseSkinFont = False
    VScrollBar = vb
    Columns = <
      item
        Caption = '文件'
        Width = 120
      end>
  end
end
)", "main.dfm");
  auto* l = dynamic_cast<TkxSkinListView*>(f->FindComponent("lvFiles"));
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->HeaderSkinDataName(), "toolbutton");
  EXPECT_EQ(l->SkinDataName(), "mylist");
  EXPECT_EQ(l->DefaultColor(), clInfoBk);
  EXPECT_EQ(l->Color(), clInfoBk);
  EXPECT_FALSE(l->UseSkinFont());
  EXPECT_EQ(l->VScrollBar(), f->FindComponent("vb"));
  EXPECT_EQ(l->Columns()->Count(), 1);
}

}  // namespace
