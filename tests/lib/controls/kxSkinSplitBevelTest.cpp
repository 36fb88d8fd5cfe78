// The skinned splitter and bevel: thickness from the record or DefaultSize, the bar and gripper
// pixels of a loaded skin, transparency, the bevel's colours and divider line, missing records,
// freed skin data, form streaming, and a picture of both in two skins and plain.
#include <gtest/gtest.h>

#include <filesystem>

#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;
using skinlint::LoadGeneratedSkin;
using skinlint::Picture;

class SkinSplitBevel : public ControlTest {
protected:
  TkxDataSkinSplitterControl* SplitterRecord(TkxSkinData& SD, const std::string& Name) {
    int32_t i = SD.GetControlIndex(Name);
    return i < 0 ? nullptr : dynamic_cast<TkxDataSkinSplitterControl*>(SD.CtrlList[size_t(i)].get());
  }
  TkxDataSkinBevel* BevelRecord(TkxSkinData& SD) {
    int32_t i = SD.GetControlIndex("bevel");
    return i < 0 ? nullptr : dynamic_cast<TkxDataSkinBevel*>(SD.CtrlList[size_t(i)].get());
  }
  uint32_t At(TForm* F, TControl* C, int X, int Y) {
    return Rgb(headless::PixelAt(F->Handle(), C->Left() + X, C->Top() + Y));
  }
  void Paint(TForm* F) {
    F->Repaint();
    Pump();
  }
};

TEST_F(SkinSplitBevel, SplitterThicknessComesFromTheRecordOrDefaultSize) {
  TkxSkinData SD(nullptr);
  LoadGeneratedSkin(0, SD);
  ASSERT_NE(SplitterRecord(SD, "vsplitter"), nullptr);
  const int vw = RectWidth(SplitterRecord(SD, "vsplitter")->SkinRect);
  const int hh = RectHeight(SplitterRecord(SD, "hsplitter")->SkinRect);
  TkxSkinData empty(nullptr);
  struct Case {
    TkxSkinData* sd;
    TAlign align;
    const char* name;
    bool transparent;
    int expected;
    int index;  // -1 plain, 1 skinned
  } cases[] = {
      {nullptr, alLeft, "vsplitter", false, 10, -1}, {&empty, alLeft, "vsplitter", false, 10, -1},
      {&SD, alLeft, "vsplitter", false, vw, 1},      {&SD, alRight, "vsplitter", false, vw, 1},
      {&SD, alTop, "hsplitter", false, hh, 1},       {&SD, alBottom, "hsplitter", false, hh, 1},
      {&SD, alLeft, "nosuch", false, 10, -1},        {&SD, alLeft, "", false, 10, -1},
      {&SD, alLeft, "vsplitter", true, 10, 1},       {&SD, alTop, "hsplitter", true, 10, 1},
  };
  TForm* f = NewForm(0, 0, 300, 200);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " align " << c.align << " transparent " << c.transparent);
    auto* s = new TkxSkinSplitter(owner.get());
    s->SetAlign(c.align);
    s->SetParent(f);
    s->SetSkinDataName(c.name);
    s->SetTransparent(c.transparent);
    s->SetSkinData(c.sd);
    if (!c.sd) s->ChangeSkinData();
    EXPECT_EQ(c.align == alTop || c.align == alBottom ? s->Height() : s->Width(), c.expected);
    EXPECT_EQ(s->SkinIndex() >= 0, c.index >= 0);
    delete s;
  }
  // Another DefaultSize shows at the next change.
  auto* s = new TkxSkinSplitter(owner.get());
  s->SetParent(f);
  s->SetDefaultSize(4);
  s->ChangeSkinData();
  EXPECT_EQ(s->Width(), 4);
  EXPECT_EQ(s->SkinDataName(), "vsplitter");
  EXPECT_TRUE(s->ControlStyle().Contains(csOpaque));
  s->SetTransparent(true);
  EXPECT_FALSE(s->ControlStyle().Contains(csOpaque));
  s->SetTransparent(false);
  EXPECT_TRUE(s->ControlStyle().Contains(csOpaque));
}

TEST_F(SkinSplitBevel, DesignedSplitterNamesItsRecordByOrientation) {
  TForm* f = NewForm(0, 0, 200, 100);
  auto* s = Make<TkxSkinSplitter>(f, "S", 0, 0, 5, 100);
  s->SetSkinDataName("mine");
  s->SetAlign(alTop);
  EXPECT_EQ(s->SkinDataName(), "mine");  // a running program keeps the name it was given
  s->SetDesigning(true);
  s->SetAlign(alBottom);
  EXPECT_EQ(s->SkinDataName(), "hsplitter");
  s->SetAlign(alRight);
  EXPECT_EQ(s->SkinDataName(), "vsplitter");
}

TEST_F(SkinSplitBevel, SplitterDrawsTheBarAlongItsLengthAndTheGripperInTheMiddle) {
  for (int n : {0, 7}) {
    for (bool vertical : {true, false}) {
      SCOPED_TRACE(testing::Message() << "skin " << n << (vertical ? " vertical" : " horizontal"));
      TkxSkinData SD(nullptr);
      LoadGeneratedSkin(n, SD);
      auto* rec = SplitterRecord(SD, vertical ? "vsplitter" : "hsplitter");
      ASSERT_NE(rec, nullptr);
      TBitmap* pic = Picture(SD, rec->PictureIndex);
      ASSERT_NE(pic, nullptr);
      TForm* f = NewForm(0, 0, 300, 201);
      auto* side = Make<TPanel>(f, "Side", 0, 0, 60, 60);
      side->SetAlign(vertical ? alLeft : alTop);
      auto* s = new TkxSkinSplitter(owner.get());
      s->SetBounds(vertical ? 70 : 0, vertical ? 0 : 70, 5, 5);
      s->SetAlign(vertical ? alLeft : alTop);
      s->SetSkinDataName(vertical ? "vsplitter" : "hsplitter");
      s->SetParent(f);
      s->SetSkinData(&SD);
      f->Show();
      Paint(f);
      const int len = vertical ? s->Height() : s->Width();
      ASSERT_GT(len, 100);
      auto src = [&](int along, int across) {
        return Px(vertical ? pic->Canvas()->Pixels(rec->SkinRect.left + across, rec->SkinRect.top + along)
                           : pic->Canvas()->Pixels(rec->SkinRect.left + along, rec->SkinRect.top + across));
      };
      auto grip = [&](int along, int across) {
        return Px(vertical ? pic->Canvas()->Pixels(rec->GripperRect.left + across, rec->GripperRect.top + along)
                           : pic->Canvas()->Pixels(rec->GripperRect.left + along, rec->GripperRect.top + across));
      };
      auto dst = [&](int along, int across) { return vertical ? At(f, s, across, along) : At(f, s, along, across); };
      const int thick = vertical ? RectWidth(rec->SkinRect) : RectHeight(rec->SkinRect);
      const int srcLen = vertical ? RectHeight(rec->SkinRect) : RectWidth(rec->SkinRect);
      const int head = vertical ? rec->LTPoint.y : rec->LTPoint.x;
      const int tail = srcLen - (vertical ? rec->LBPoint.y : rec->RTPoint.x);
      const int gripLen = vertical ? RectHeight(rec->GripperRect) : RectWidth(rec->GripperRect);
      const int gripAt = len / 2 - gripLen / 2;
      for (int a = 0; a < thick; ++a) {
        for (int k = 0; k < head; ++k) EXPECT_EQ(dst(k, a), src(k, a)) << "head " << k << "," << a;
        for (int k = 1; k <= tail; ++k) EXPECT_EQ(dst(len - k, a), src(srcLen - k, a)) << "tail " << k << "," << a;
        for (int k = 0; k < gripLen; ++k) EXPECT_EQ(dst(gripAt + k, a), grip(k, a)) << "grip " << k << "," << a;
      }
      owner = std::make_unique<TComponent>(nullptr);
    }
  }
}

TEST_F(SkinSplitBevel, SplitterFallsBackToThePlainBar) {
  TkxSkinData SD(nullptr);
  LoadGeneratedSkin(0, SD);
  TForm* f = NewForm(0, 0, 200, 100);
  f->SetColor(clBlue);
  auto* s = new TkxSkinSplitter(owner.get());
  s->SetParent(f);
  s->SetSkinData(&SD);
  s->SetColor(clRed);
  f->Show();

  // Aligned to the client area the skinned splitter paints as the plain one.
  s->SetAlign(alClient);
  Paint(f);
  EXPECT_EQ(At(f, s, 3, 50), Px(clRed));

  // A record whose picture index names no picture: the plain bar too.
  s->SetAlign(alLeft);
  SplitterRecord(SD, "vsplitter")->PictureIndex = 999;
  s->ChangeSkinData();
  Paint(f);
  EXPECT_EQ(At(f, s, 2, 50), Px(clRed));

  // Transparent: nothing is drawn, the form shows through.
  s->SetTransparent(true);
  Paint(f);
  EXPECT_EQ(At(f, s, 2, 50), Px(clBlue));
}

TEST_F(SkinSplitBevel, BevelTakesItsColoursFromTheSkin) {
  TkxSkinData SD(nullptr), empty(nullptr);
  LoadGeneratedSkin(3, SD);
  TkxDataSkinBevel* rec = BevelRecord(SD);
  ASSERT_NE(rec, nullptr);
  ASSERT_NE(rec->LightColor, rec->DarkColor);
  TForm* f = NewForm(0, 0, 200, 100);
  auto* b = Make<TkxSkinBevel>(f, "B", 10, 10, 100, 10);
  EXPECT_EQ(b->SkinDataName(), "bevel");
  b->SetSkinData(&SD);
  EXPECT_GE(b->SkinIndex(), 0);
  EXPECT_EQ(b->LightColor, rec->LightColor);
  EXPECT_EQ(b->DarkColor, rec->DarkColor);

  // A missing record or an empty skin gives the system colours back.
  b->SetSkinDataName("nosuch");
  b->ChangeSkinData();
  EXPECT_EQ(b->SkinIndex(), -1);
  EXPECT_EQ(b->LightColor, clBtnHighlight);
  EXPECT_EQ(b->DarkColor, clBtnShadow);
  b->SetSkinDataName("bevel");
  b->SetSkinData(&empty);
  EXPECT_EQ(b->SkinIndex(), -1);
  EXPECT_EQ(b->DarkColor, clBtnShadow);
  // A record of another class keeps the colours.
  b->SetSkinData(&SD);
  b->SetSkinDataName("vsplitter");
  b->ChangeSkinData();
  EXPECT_EQ(b->DarkColor, rec->DarkColor);
}

TEST_F(SkinSplitBevel, BevelDrawsItsShapesAndTheDivider) {
  TkxSkinData SD(nullptr);
  LoadGeneratedSkin(3, SD);
  TForm* f = NewForm(0, 0, 200, 100);
  f->SetColor(clWhite);
  auto* b = Make<TkxSkinBevel>(f, "B", 20, 20, 100, 10);
  b->SetSkinData(&SD);
  f->Show();
  const uint32_t dark = Px(b->DarkColor), light = Px(b->LightColor), back = Px(clWhite);

  // Divider across a top line, 100 x 10: the frame (2, 4, 98, 5).
  b->SetShape(bsTopLine);
  b->SetDividerMode(true);
  Paint(f);
  EXPECT_EQ(At(f, b, 2, 4), dark);
  EXPECT_EQ(At(f, b, 50, 4), dark);
  EXPECT_EQ(At(f, b, 97, 4), dark);
  EXPECT_EQ(At(f, b, 98, 4), light);
  EXPECT_EQ(At(f, b, 2, 5), dark);
  EXPECT_EQ(At(f, b, 50, 5), light);
  EXPECT_EQ(At(f, b, 98, 5), light);
  EXPECT_EQ(At(f, b, 1, 4), back);
  EXPECT_EQ(At(f, b, 99, 5), back);
  EXPECT_EQ(At(f, b, 50, 0), back);
  EXPECT_EQ(At(f, b, 50, 6), back);

  // Raised swaps the colours.
  b->SetStyle(bsRaised);
  Paint(f);
  EXPECT_EQ(At(f, b, 50, 4), light);
  EXPECT_EQ(At(f, b, 50, 5), dark);

  // A box divider, 100 x 10: the vertical frame (49, 2, 50, 8).
  b->SetStyle(bsLowered);
  b->SetShape(bsBox);
  Paint(f);
  EXPECT_EQ(At(f, b, 49, 5), dark);
  EXPECT_EQ(At(f, b, 50, 5), light);
  EXPECT_EQ(At(f, b, 0, 5), back);

  // Without the divider the shapes draw their own lines.
  b->SetDividerMode(false);
  struct Case {
    TBevelShape shape;
    int x, y;
    bool isDark;
  } cases[] = {{bsBox, 0, 5, true},          {bsBox, 50, 0, true},           {bsBox, 99, 5, false},
               {bsBox, 50, 9, false},        {bsTopLine, 50, 0, true},       {bsTopLine, 50, 1, false},
               {bsBottomLine, 50, 8, true},  {bsBottomLine, 50, 9, false},   {bsLeftLine, 0, 5, true},
               {bsLeftLine, 1, 5, false},    {bsRightLine, 98, 5, true},     {bsRightLine, 99, 5, false},
               {bsFrame, 0, 5, true},        {bsFrame, 1, 5, false},         {bsFrame, 98, 5, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "shape " << c.shape << " at " << c.x << "," << c.y);
    b->SetShape(c.shape);
    Paint(f);
    EXPECT_EQ(At(f, b, c.x, c.y), c.isDark ? dark : light);
  }
  b->SetShape(bsSpacer);
  Paint(f);
  EXPECT_EQ(At(f, b, 0, 5), back);
}

TEST_F(SkinSplitBevel, FreedSkinDataIsCleared) {
  TForm* f = NewForm(0, 0, 200, 100);
  auto* s = Make<TkxSkinSplitter>(f, "S", 0, 0, 5, 100);
  auto* b = Make<TkxSkinBevel>(f, "B", 20, 20, 50, 50);
  {
    auto* SD = new TkxSkinData(nullptr);
    LoadGeneratedSkin(0, *SD);
    s->SetSkinData(SD);
    b->SetSkinData(SD);
    ASSERT_GE(s->SkinIndex(), 0);
    ASSERT_NE(b->DarkColor, clBtnShadow);
    f->Show();
    Paint(f);
    delete SD;
  }
  EXPECT_EQ(s->SkinData(), nullptr);
  EXPECT_EQ(b->SkinData(), nullptr);
  EXPECT_EQ(s->SkinIndex(), -1);
  Paint(f);  // paints plain, reading nothing of the freed skin
  s->ChangeSkinData();
  b->ChangeSkinData();
  EXPECT_EQ(s->Width(), 10);
  EXPECT_EQ(b->DarkColor, clBtnShadow);
  EXPECT_EQ(b->LightColor, clBtnHighlight);
}

TEST_F(SkinSplitBevel, AreReadFromAFormDescription) {
  RegisterSkinDataFormClasses();
  auto* f = new TForm(owner.get());
  ReadFormDescription(f,
                      "object F: TForm\n  BorderStyle = bsNone\n  ClientWidth = 200\n  ClientHeight = 100\n"
                      "  object SD: TkxSkinData\n  end\n"
                      "  object S: TkxSkinSplitter\n    Align = alTop\n    SkinDataName = 'hsplitter'\n"
                      "    DefaultSize = 7\n    Transparent = True\n    MinSize = 20\n    SkinData = SD\n  end\n"
                      "  object B: TkxSkinBevel\n    Shape = bsTopLine\n    DividerMode = True\n"
                      "    SkinData = SD\n  end\nend\n",
                      "skin.dfm");
  auto* s = dynamic_cast<TkxSkinSplitter*>(f->FindComponent("S"));
  auto* b = dynamic_cast<TkxSkinBevel*>(f->FindComponent("B"));
  ASSERT_NE(s, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(s->SkinDataName(), "hsplitter");
  EXPECT_EQ(s->DefaultSize(), 7);
  EXPECT_TRUE(s->Transparent());
  EXPECT_EQ(s->MinSize(), 20);
  EXPECT_EQ(s->SkinData(), f->FindComponent("SD"));
  EXPECT_EQ(s->Height(), 7);
  EXPECT_TRUE(b->DividerMode());
  EXPECT_EQ(b->Shape(), bsTopLine);
  EXPECT_EQ(b->SkinData(), f->FindComponent("SD"));
}

// Two skins and the plain look side by side, written to the build folder.
TEST_F(SkinSplitBevel, PictureOfBothInTwoSkinsAndPlain) {
  TkxSkinData s0(nullptr), s7(nullptr);
  LoadGeneratedSkin(0, s0);
  LoadGeneratedSkin(7, s7);
  TForm* f = NewForm(0, 0, 630, 220);
  f->SetColor(clBtnFace);
  TkxSkinData* skins[] = {nullptr, &s0, &s7};
  for (int i = 0; i < 3; ++i) {
    auto* host = Make<TPanel>(f, "Host" + std::to_string(i), 10 + i * 205, 10, 200, 200);
    host->SetBevelOuter(bvNone);
    if (skins[i]) host->SetColor(skins[i]->SkinColors()->cBtnFace());
    auto* left = Make<TPanel>(host, "L" + std::to_string(i), 0, 0, 60, 200);
    left->SetAlign(alLeft);
    left->SetCaption(i == 0 ? "plain" : i == 1 ? "kxSkin0" : "kxSkin7");
    auto* vs = Make<TkxSkinSplitter>(host, "VS" + std::to_string(i), 61, 0, 5, 200);
    vs->SetAlign(alLeft);
    vs->SetSkinData(skins[i]);
    vs->ChangeSkinData();
    auto* top = Make<TPanel>(host, "T" + std::to_string(i), 0, 0, 100, 70);
    top->SetAlign(alTop);
    auto* hs = Make<TkxSkinSplitter>(host, "HS" + std::to_string(i), 0, 71, 100, 5);
    hs->SetAlign(alTop);
    hs->SetSkinDataName("hsplitter");
    hs->SetSkinData(skins[i]);
    hs->ChangeSkinData();
    int y = 100;
    for (TBevelShape shape : {bsBox, bsTopLine, bsFrame}) {
      auto* b = Make<TkxSkinBevel>(host, "B" + std::to_string(i) + std::to_string(y), 80, y, 80, 24);
      b->SetShape(shape);
      b->SetSkinData(skins[i]);
      y += 30;
    }
    auto* d = Make<TkxSkinBevel>(host, "D" + std::to_string(i), 170, 100, 24, 84);
    d->SetDividerMode(true);
    d->SetSkinData(skins[i]);
  }
  f->Show();
  Paint(f);
  const std::filesystem::path file = std::filesystem::path(OMBREL_TEST_BUILD_DIR) / "skin-splitbevel.png";
  ASSERT_TRUE(headless::SaveScreenPng(file.string()));
  EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace
