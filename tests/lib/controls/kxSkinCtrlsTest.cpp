// The skinned-control bases: record binding, resize modes and snapped sizes, the mapping of skin
// rectangles, painting through one image (skinned and plain), the window shape from a mask, the
// parent-background broadcast, skin changes at run time and records that cannot be drawn.
#include <gtest/gtest.h>

#include "classlib/Streaming.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxVelara.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;
using ctltest::Px;
using ctltest::Rgb;

// Colours of the test picture: corners, edges and centre each their own.
constexpr TColor kCorner = TColor(0x0000C0), kEdge = TColor(0x00C000), kCentre = TColor(0xC00000),
                 kTopLeft = TColor(0x102030), kBottomRight = TColor(0x302010);

std::unique_ptr<TBitmap> TestPicture() {
  // 30 x 20; corners (5 px) red, edges green, centre blue; the outermost corner pixels marked.
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(30, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) {
      bool cx = x < 5 || x >= 25, cy = y < 5 || y >= 15;
      b->Canvas()->SetPixels(x, y, cx && cy ? kCorner : cx || cy ? kEdge : kCentre);
    }
  b->Canvas()->SetPixels(0, 0, kTopLeft);
  b->Canvas()->SetPixels(29, 19, kBottomRight);
  return b;
}

std::unique_ptr<TBitmap> LeftHalfMask() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(30, 20);
  b->Canvas()->Brush()->SetColor(clWhite);
  b->Canvas()->FillRect(TRect{0, 0, 30, 20});
  b->Canvas()->Brush()->SetColor(clBlack);
  b->Canvas()->FillRect(TRect{0, 0, 15, 20});
  return b;
}

void AddRecord(TkxSkinData& SD, const std::string& Name, TPoint LT, TPoint RT, TPoint LB, TPoint RB,
               TRect Skin = {0, 0, 30, 20}, int32_t Pic = 0, int32_t Mask = -1) {
  auto r = std::make_unique<TkxDataSkinCustomControl>(Name);
  r->PictureIndex = Pic;
  r->MaskPictureIndex = Mask;
  r->SkinRect = Skin;
  r->LTPoint = LT, r->RTPoint = RT, r->LBPoint = LB, r->RBPoint = RB;
  r->ClRect = TRect{5, 5, 25, 15};
  SD.CtrlList.push_back(std::move(r));
}

// A skin built in code: one picture, a mask, and records of every resize mode and of every way
// a record can fail to be drawable.
void FillTestSkin(TkxSkinData& SD) {
  SD.FActivePictures.push_back(TestPicture());
  SD.FActivePictures.push_back(LeftHalfMask());
  AddRecord(SD, "nine", {5, 5}, {25, 5}, {5, 15}, {25, 15});
  AddRecord(SD, "horz", {5, 0}, {25, 0}, {0, 0}, {0, 0});
  AddRecord(SD, "vert", {0, 5}, {0, 0}, {0, 15}, {0, 0});
  AddRecord(SD, "fixed", {0, 0}, {0, 0}, {0, 0}, {0, 0});
  AddRecord(SD, "masked", {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0, 30, 20}, 0, 1);
  AddRecord(SD, "empty", {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0, 0, 0});
  AddRecord(SD, "nopicture", {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0, 30, 20}, 99);
  AddRecord(SD, "outside", {0, 0}, {0, 0}, {0, 0}, {0, 0}, {20, 10, 60, 40});
  auto plain = std::make_unique<TkxDataSkinControl>("plain");
  plain->SkinRect = TRect{0, 0, 30, 20};
  SD.CtrlList.push_back(std::move(plain));
  SD.Empty = false;
}

class Probe : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int heard = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == KXM_PARENTBGCHANGED) ++heard;
    TCustomControl::Dispatch(m);
  }
};
class GraphicProbe : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  int heard = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == KXM_PARENTBGCHANGED) ++heard;
    TGraphicControl::Dispatch(m);
  }
};

// A parent that centres its skinned children, as the skinned tool bar does.
class CentringHost : public TCustomControl, public TkxSkinControlHost {
public:
  using TCustomControl::TCustomControl;
  bool adjust = true;
  bool AdjustControls() const override { return adjust; }
  TRect GetSkinClientRect() override { return TRect{0, 10, 200, 51}; }
};

class SkinCtrlsTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    sd = new TkxSkinData(owner.get());
    FillTestSkin(*sd);
    form = NewForm(100, 100, 300, 200);
    form->SetColor(clWhite);
  }
  TkxSkinCustomControl* Skinned(const std::string& Record, int x, int y, int w, int h) {
    auto* c = new TkxSkinCustomControl(owner.get());
    c->SetSkinDataName(Record);
    c->SetBounds(x, y, w, h);
    c->SetParent(form);
    c->SetSkinData(sd);
    return c;
  }
  uint32_t At(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint{x, y});
    TPoint f = form->ScreenToClient(p);
    return Rgb(headless::PixelAt(form->Handle(), f.x, f.y));
  }
  void ShowForm() {
    form->Show();
    Pump();
  }

  TkxSkinData* sd = nullptr;
  TForm* form = nullptr;
};

TEST_F(SkinCtrlsTest, ResizeModesSnapTheSizeTheSkinAllows) {
  struct Case {
    const char* record;
    int mode, w, h;
    TRect client;
  } cases[] = {
      {"nine", 1, 100, 50, {5, 5, 95, 45}},
      {"horz", 2, 100, 20, {5, 5, 95, 15}},
      {"vert", 3, 30, 50, {5, 5, 25, 45}},
      {"fixed", 0, 30, 20, {5, 5, 25, 15}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.record);
    auto* c = Skinned(k.record, 10, 10, 40, 40);
    c->SetBounds(10, 10, 100, 50);
    EXPECT_EQ(c->SkinIndex(), sd->GetControlIndex(k.record));
    EXPECT_EQ(c->ResizeMode, k.mode);
    EXPECT_EQ(c->Width(), k.w);
    EXPECT_EQ(c->Height(), k.h);
    EXPECT_EQ(c->RealClientRect(), k.client);
    EXPECT_EQ(c->RealClientWidth(), RectWidth(k.client));
  }
}

TEST_F(SkinCtrlsTest, ASkinnedToolBarCentresItsChildrenVertically) {
  auto* host = Make<CentringHost>(form, "host", 0, 0, 200, 60);
  auto* c = new TkxSkinCustomControl(owner.get());
  c->SetParent(host);
  c->SetSkinData(sd);
  c->SetSkinDataName("fixed");
  c->SetBounds(5, 0, 30, 20);
  EXPECT_EQ(c->Top(), 10 + 41 / 2 - 20 / 2);
  auto* g = new TkxGraphicSkinCustomControl(owner.get());
  g->SetParent(host);
  g->SetBounds(50, 0, 30, 21);  // unskinned: centred all the same
  EXPECT_EQ(g->Top(), 10 + 20 - 10);
  host->adjust = false;
  g->SetBounds(50, 3, 30, 21);
  EXPECT_EQ(g->Top(), 3);
}

TEST_F(SkinCtrlsTest, AnEmptySkinDataIsOnlyStored) {
  auto* empty = new TkxSkinData(owner.get());
  auto* c = new TkxSkinCustomControl(owner.get());
  c->SetSkinDataName("fixed");
  c->SetBounds(0, 0, 70, 70);
  c->SetParent(form);
  c->SetSkinData(empty);
  EXPECT_EQ(c->SkinData(), empty);
  EXPECT_EQ(c->Width(), 70);
  FillTestSkin(*empty);  // filled behind its back: nothing happens until a paint or a change
  EXPECT_EQ(c->Width(), 70);
  c->ChangeSkinData();
  EXPECT_EQ(c->Width(), 30);
}

TEST_F(SkinCtrlsTest, AMaskSmallerThanTheImageShapesNothing) {
  auto small = std::make_unique<TBitmap>();
  small->SetPixelFormat(pf24bit);
  small->SetSize(10, 10);
  sd->FActivePictures.push_back(std::move(small));
  AddRecord(*sd, "smallmask", {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0, 30, 20}, 0, 2);
  auto* c = Skinned("smallmask", 10, 10, 30, 20);
  ShowForm();
  EXPECT_NE(c->SkinIndex(), -1);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(c->Handle(), r), 0);
  DeleteObject(r);
  EXPECT_EQ(At(c, 29, 19), Px(kBottomRight));
}

TEST_F(SkinCtrlsTest, UnskinnedControlsTakeAnySizeAndTheirDefaultSizeAfterASkinChange) {
  auto* c = Skinned("nosuchrecord", 0, 0, 77, 33);
  EXPECT_EQ(c->SkinIndex(), -1);
  c->SetBounds(0, 0, 123, 45);
  EXPECT_EQ(c->Width(), 123);
  EXPECT_EQ(c->Height(), 45);
  c->SetDefaultWidth(60);  // unskinned: applied at once
  EXPECT_EQ(c->Width(), 60);

  auto* f = Skinned("fixed", 0, 0, 50, 50);
  EXPECT_EQ(f->Width(), 30);
  f->SetDefaultWidth(90);  // skinned: only stored
  f->SetDefaultHeight(40);
  EXPECT_EQ(f->Width(), 30);
  f->SetSkinDataName("nosuchrecord");  // repaints nothing, resizes nothing by itself
  EXPECT_EQ(f->Width(), 30);
  f->ChangeSkinData();
  EXPECT_EQ(f->Width(), 90);
  EXPECT_EQ(f->Height(), 40);
}

TEST_F(SkinCtrlsTest, SkinRectanglesMapIntoTheResizedControl) {
  struct Case {
    const char* record;
    TRect in, out;
  } cases[] = {
      // nine parts, 100 x 50 from 30 x 20: dw 70, dh 30
      {"nine", {1, 1, 4, 4}, {1, 1, 4, 4}},          // in the left-top corner
      {"nine", {26, 1, 29, 4}, {96, 1, 99, 4}},      // right-top
      {"nine", {1, 16, 4, 19}, {1, 46, 4, 49}},      // left-bottom
      {"nine", {26, 16, 29, 19}, {96, 46, 99, 49}},  // right-bottom
      {"nine", {1, 1, 29, 19}, {1, 1, 99, 49}},      // from left-top to right-bottom
      {"nine", {1, 1, 29, 4}, {1, 1, 99, 4}},        // along the top
      {"nine", {1, 16, 29, 19}, {1, 46, 99, 49}},    // along the bottom
      {"nine", {1, 1, 4, 19}, {1, 1, 4, 49}},        // down the left
      {"nine", {26, 1, 29, 19}, {96, 1, 99, 49}},    // down the right
      {"nine", {10, 8, 12, 10}, {10, 8, 12, 10}},    // in the middle
      // Touching the right border of the right-top corner is not inside it, and not spanning
      // either: it stays where it is.
      {"nine", {26, 1, 30, 4}, {26, 1, 30, 4}},
      // Touching the corner's bottom-right point: falls through to the spanning tests.
      {"nine", {1, 1, 5, 5}, {1, 1, 5, 5}},
      {"nine", {1, 1, 30, 5}, {1, 1, 100, 5}},
      // three parts across, 100 wide: dw 70
      {"horz", {2, 0, 28, 10}, {2, 0, 98, 10}},
      {"horz", {26, 0, 29, 10}, {96, 0, 99, 10}},
      {"horz", {2, 0, 4, 10}, {2, 0, 4, 10}},
      // three parts downwards, 50 high: dh 30
      {"vert", {0, 2, 10, 18}, {0, 2, 10, 48}},
      {"vert", {0, 16, 10, 19}, {0, 46, 10, 49}},
      {"vert", {0, 2, 10, 4}, {0, 2, 10, 4}},
      // fixed: unchanged
      {"fixed", {3, 3, 9, 9}, {3, 3, 9, 9}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.record) + " " + skinlint::Str(k.in));
    auto* c = Skinned(k.record, 0, 0, 100, 50);
    TRect r{};
    c->SkinRectToControlRect(k.in, r);
    EXPECT_EQ(r, k.out);
  }
}

TEST_F(SkinCtrlsTest, PaintsTheDefaultLookWithoutASkinAndTheRecordWithOne) {
  auto* plain = new TkxSkinCustomControl(owner.get());
  plain->SetBounds(150, 10, 40, 30);
  plain->SetParent(form);
  auto* nine = Skinned("nine", 10, 10, 100, 50);
  auto* fixed = Skinned("fixed", 10, 100, 30, 20);
  ShowForm();
  EXPECT_EQ(At(plain, 0, 0), Px(clBtnFace));
  EXPECT_EQ(At(plain, 39, 29), Px(clBtnFace));
  // Corners copied, edges and centre filled to the new size.
  EXPECT_EQ(At(nine, 0, 0), Px(kTopLeft));
  EXPECT_EQ(At(nine, 99, 49), Px(kBottomRight));
  EXPECT_EQ(At(nine, 97, 2), Px(kCorner));
  EXPECT_EQ(At(nine, 50, 2), Px(kEdge));
  EXPECT_EQ(At(nine, 50, 25), Px(kCentre));
  EXPECT_EQ(At(fixed, 0, 0), Px(kTopLeft));
  EXPECT_EQ(At(fixed, 29, 19), Px(kBottomRight));
}

TEST_F(SkinCtrlsTest, ForcedBackgroundPaintsTheBorderStripsAndTheCentre) {
  auto* c = Skinned("nine", 10, 10, 100, 50);
  c->SetForcebackGround(true);
  ShowForm();
  EXPECT_EQ(At(c, 0, 0), Px(kTopLeft));
  EXPECT_EQ(At(c, 99, 49), Px(kBottomRight));
  EXPECT_EQ(At(c, 50, 2), Px(kEdge));
  EXPECT_EQ(At(c, 50, 25), Px(kCentre));
  // Without the centre the form's white shows through; an empty client part tiles nothing.
  c->SetDrawbackGround(false);
  c->Repaint();
  Pump();
  EXPECT_EQ(At(c, 99, 49), Px(kBottomRight));
  static_cast<TkxDataSkinCustomControl*>(sd->CtrlList[size_t(sd->GetControlIndex("nine"))].get())->ClRect =
      TRect{5, 5, 5, 5};
  c->SetDrawbackGround(true);
  c->Repaint();
  Pump();
  EXPECT_EQ(At(c, 0, 0), Px(kTopLeft));
}

TEST_F(SkinCtrlsTest, RecordsThatCannotBeDrawnFallBackToTheDefaultLook) {
  std::vector<TkxSkinCustomControl*> cs;
  const char* names[] = {"empty", "nopicture", "outside", "plain", "nosuchrecord"};
  int x = 0;
  for (const char* n : names) {
    cs.push_back(Skinned(n, x, 0, 40, 30));
    x += 50;
  }
  auto* g = new TkxGraphicSkinCustomControl(owner.get());
  g->SetSkinDataName("nopicture");
  g->SetBounds(0, 100, 40, 30);
  g->SetParent(form);
  g->SetSkinData(sd);
  ShowForm();
  for (auto* c : cs) {
    SCOPED_TRACE(c->SkinDataName());
    EXPECT_EQ(c->SkinIndex(), -1);
    EXPECT_EQ(c->Width(), 40);  // not snapped: unskinned
    EXPECT_EQ(At(c, 5, 5), Px(clBtnFace));
  }
  EXPECT_EQ(g->SkinIndex(), -1);
  EXPECT_EQ(At(g, 5, 5), Px(clBtnFace));
  // A control of no size paints nothing and does not fail.
  cs[0]->SetBounds(0, 0, 0, 0);
  cs[0]->Repaint();
  Pump();
}

TEST_F(SkinCtrlsTest, TheMaskShapesTheWindow) {
  auto* c = Skinned("masked", 10, 10, 30, 20);
  ShowForm();
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(c->Handle(), r), 0);
  EXPECT_TRUE(PtInRegion(r, 2, 2));    // black in the mask: inside
  EXPECT_FALSE(PtInRegion(r, 20, 2));  // white: outside
  // Setting the shape again hands the window a new region; the window frees the old one.
  c->ChangeSkinData();
  c->ChangeSkinData();
  ASSERT_NE(GetWindowRgn(c->Handle(), r), 0);
  EXPECT_TRUE(PtInRegion(r, 2, 2));
  EXPECT_FALSE(PtInRegion(r, 20, 2));
  Pump();
  // Where the form shows through the shape, it is the form's own white.
  EXPECT_EQ(At(c, 0, 0), Px(kTopLeft));
  EXPECT_EQ(At(c, 29, 19), Px(clWhite));
  DeleteObject(r);
  // Without a record the shape goes.
  c->SetSkinDataName("nosuchrecord");
  c->ChangeSkinData();
  r = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(c->Handle(), r), 0);
  DeleteObject(r);
}

TEST_F(SkinCtrlsTest, TheBroadcastReachesWindowedAndGraphicChildren) {
  auto* parent = Skinned("nine", 0, 0, 200, 100);
  auto* win = Make<Probe>(parent, "win", 10, 10, 20, 20);
  auto* gfx = Make<GraphicProbe>(parent, "gfx", 40, 10, 20, 20);
  auto* skinnedGfx = new TkxGraphicSkinCustomControl(owner.get());
  skinnedGfx->SetParent(parent);
  parent->BroadcastParentBGChanged();
  EXPECT_EQ(win->heard, 1);  // before the broadcast returned
  EXPECT_EQ(gfx->heard, 1);
  EXPECT_NE(win->Handle(), nullptr);
  // A skinned resize with a stretched centre broadcasts too.
  static_cast<TkxDataSkinCustomControl*>(sd->CtrlList[size_t(sd->GetControlIndex("nine"))].get())->StretchEffect =
      true;
  parent->SetBounds(0, 0, 180, 90);
  EXPECT_EQ(win->heard, 2);
  EXPECT_EQ(gfx->heard, 2);
}

TEST_F(SkinCtrlsTest, TheGraphicTwinSnapsAndDrawsOnItsParent) {
  auto* g = new TkxGraphicSkinCustomControl(owner.get());
  g->SetSkinDataName("horz");
  g->SetParent(form);
  g->SetSkinData(sd);
  g->SetBounds(20, 20, 100, 60);
  EXPECT_EQ(g->ResizeMode, 2);
  EXPECT_EQ(g->Width(), 100);
  EXPECT_EQ(g->Height(), 20);
  EXPECT_TRUE(g->ControlStyle().Contains(csOpaque));
  auto* m = new TkxGraphicSkinCustomControl(owner.get());
  m->SetSkinDataName("masked");  // the mask is not read: a full rectangle
  m->SetParent(form);
  m->SetSkinData(sd);
  m->SetBounds(20, 60, 30, 20);
  ShowForm();
  EXPECT_EQ(At(g, 0, 0), Px(kTopLeft));
  EXPECT_EQ(At(g, 99, 19), Px(kBottomRight));
  EXPECT_EQ(At(g, 50, 10), Px(kCentre));
  EXPECT_EQ(At(m, 29, 19), Px(kBottomRight));
  // Ignored, not failed.
  EXPECT_EQ(g->Perform(KXM_PARENTBGCHANGED, 0, 0), 0);
}

TEST_F(SkinCtrlsTest, MouseEnterAndLeaveReachTheEvents) {
  auto* c = Skinned("nine", 10, 10, 60, 40);
  auto* g = new TkxGraphicSkinCustomControl(owner.get());
  g->SetBounds(100, 10, 40, 40);
  g->SetParent(form);
  std::vector<std::string> log;
  c->OnMouseEnter = [&](TObject*) { log.push_back("c+"); };
  c->OnMouseLeave = [&](TObject*) { log.push_back("c-"); };
  g->OnMouseEnter = [&](TObject*) { log.push_back("g+"); };
  g->OnMouseLeave = [&](TObject*) { log.push_back("g-"); };
  ShowForm();
  MoveTo(c, 5, 5);
  MoveTo(g, 5, 5);
  MoveTo(form, 250, 150);
  EXPECT_EQ(log, (std::vector<std::string>{"c+", "c-", "g+", "g-"}));
}

TEST_F(SkinCtrlsTest, RemovedSkinDataIsForgotten) {
  auto* c = Skinned("nine", 10, 10, 60, 40);
  auto* sd2 = new TkxSkinData(nullptr);
  FillTestSkin(*sd2);
  c->SetSkinData(sd2);
  EXPECT_EQ(c->SkinData(), sd2);
  delete sd2;
  EXPECT_EQ(c->SkinData(), nullptr);
  ShowForm();
  EXPECT_EQ(At(c, 5, 5), Px(clBtnFace));
}

// With a stored skin: the control draws its record's picture and follows the skin data's
// change messages through the form's walk.
TEST_F(SkinCtrlsTest, StoredSkinsDrawTheRecordAndFollowASkinChange) {
  auto* stored = new TkxSkinData(form);
  stored->SetShowLayeredBorders(false);
  // The form's skinned-form component walks the controls on the skin data's messages.
  new TkxVelara(form);
  auto* c = new TkxSkinCustomControl(owner.get());
  c->SetSkinDataName("panel");
  c->SetBounds(10, 10, 120, 80);
  c->SetParent(form);
  c->SetSkinData(stored);
  ShowForm();
  EXPECT_EQ(At(c, 3, 3), Px(clBtnFace));

  auto expectRecord = [&](int skin) {
    SCOPED_TRACE(skin);
    int i = stored->GetControlIndex("panel");
    ASSERT_GE(i, 0);
    auto* r = dynamic_cast<TkxDataSkinCustomControl*>(stored->CtrlList[size_t(i)].get());
    ASSERT_NE(r, nullptr);
    TBitmap* pic = skinlint::Picture(*stored, r->PictureIndex);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(c->SkinIndex(), i);
    Pump();
    // The left-top corner is copied as it is, whatever the mode.
    EXPECT_EQ(At(c, 0, 0), Px(pic->Canvas()->Pixels(r->SkinRect.left, r->SkinRect.top)));
    const int w = c->Width(), h = c->Height();
    EXPECT_EQ(At(c, w - 1, h - 1),
              Px(pic->Canvas()->Pixels(r->SkinRect.right - 1, r->SkinRect.bottom - 1)));
  };
  skinlint::LoadGeneratedSkin(0, *stored);
  expectRecord(0);
  skinlint::LoadGeneratedSkin(3, *stored);
  expectRecord(3);
  stored->ClearSkin();
  Pump();
  EXPECT_EQ(c->SkinIndex(), -1);
  EXPECT_EQ(At(c, 3, 3), Px(clBtnFace));
}

TEST_F(SkinCtrlsTest, FormsStreamTheSkinnedBases) {
  RegisterSkinControlFormClasses();
  const std::string text =
      "object Main: TForm\n"
      "  object sd: TkxSkinData\n"
      "  end\n"
      "  object box: TkxSkinCustomControl\n"
      "    Left = 4\n"
      "    Top = 5\n"
      "    Width = 60\n"
      "    Height = 30\n"
      "    SkinData = sd\n"
      "    SkinDataName = 'panel'\n"
      "    HintTitle = '提示'\n"
      "    HintImageIndex = 3\n"
      "    DefaultWidth = 70\n"
      "    UseSkinFont = False\n"
      "    DefaultFont.Name = 'Tahoma'\n"
      "  end\n"
      "  object gbox: TkxGraphicSkinCustomControl\n"
      "    SkinData = sd\n"
      "    SkinDataName = 'button'\n"
      "    DefaultHeight = 25\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "main.dfm");
  auto* box = dynamic_cast<TkxSkinCustomControl*>(f->FindComponent("box"));
  auto* gbox = dynamic_cast<TkxGraphicSkinCustomControl*>(f->FindComponent("gbox"));
  ASSERT_NE(box, nullptr);
  ASSERT_NE(gbox, nullptr);
  EXPECT_EQ(box->SkinData(), f->FindComponent("sd"));
  EXPECT_EQ(box->SkinDataName(), "panel");
  EXPECT_EQ(box->HintTitle(), "提示");
  EXPECT_EQ(box->HintImageIndex(), 3);
  EXPECT_EQ(box->Width(), 70);
  EXPECT_FALSE(box->UseSkinFont());
  EXPECT_EQ(box->DefaultFont()->Name(), "Tahoma");
  EXPECT_EQ(box->Parent(), f);
  EXPECT_EQ(gbox->SkinDataName(), "button");
  EXPECT_EQ(gbox->Height(), 25);
  EXPECT_EQ(gbox->SkinData(), f->FindComponent("sd"));
}

}  // namespace
