// The skinned labels on the headless backend: sizes and text placement measured with the box
// test font, the skin's "stdlabel" font from a generated stored skin and the own fonts without
// one, the link label's hover colour, glow offset and its URL opened through the shell's
// recorder, and a picture of the three labels plain and in two skins.
#include <gtest/gtest.h>

#include <filesystem>

#include "classlib/Streaming.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "platform/backend/headless/ShellRecorder.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/InkTestUtil.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;

using inktest::BoxFont;
using inktest::Ink;

// The "stdlabel" record of a loaded skin, given the box font so sizes are exact.
TkxDataSkinStdLabelControl* BoxSkinRecord(TkxSkinData& SD, int Em, TColor Color, TColor Active) {
  int32_t i = SD.GetControlIndex("stdlabel");
  if (i < 0) return nullptr;
  auto* r = dynamic_cast<TkxDataSkinStdLabelControl*>(SD.CtrlList[size_t(i)].get());
  if (!r) return nullptr;
  r->FontName = kTestBoxFontName;
  r->FontHeight = Em;
  r->FontStyle = {};
  r->FontColor = Color;
  r->ActiveFontColor = Active;
  return r;
}

class SkinLabelTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::ResetShellRecorder();
  }
  void TearDown() override {
    headless::ResetShellRecorder();
    ControlTest::TearDown();
  }
  TForm* WhiteForm(int w = 300, int h = 200) {
    TForm* f = NewForm(0, 0, w, h);
    f->SetColor(clWhite);
    return f;
  }
};

TEST_F(SkinLabelTest, StandardLabelSizesToDefaultFontOrOwnFont) {
  TForm* f = WhiteForm();
  auto* l = Make<TkxSkinStdLabel>(f, "l", 5, 5, 10, 10);
  EXPECT_TRUE(l->Transparent());
  EXPECT_EQ(l->SkinDataName(), "stdlabel");
  EXPECT_EQ(l->DefaultFont()->Name(), "Arial");
  EXPECT_EQ(l->DefaultFont()->Height(), 14);
  BoxFont(l->DefaultFont(), 10);
  BoxFont(l->Font(), 20);
  l->SetCaption("abcd");
  // No skin and UseSkinFont: the default font, not the label's Font.
  EXPECT_EQ(l->Width(), 20);
  EXPECT_EQ(l->Height(), 10);
  l->SetUseSkinFont(false);
  l->SetCaption("abc");
  EXPECT_EQ(l->Width(), 30);
  EXPECT_EQ(l->Height(), 20);
  l->SetCaption("");  // still one line
  EXPECT_EQ(l->Height(), 20);
}

TEST_F(SkinLabelTest, EllipsisStylesShortenTheTextThatDoesNotFit) {
  TForm* f = WhiteForm();
  // "abcde f/g h" is 11 cells of 5 pixels in a label 8 cells wide; a cell shows ink unless it
  // holds a space. Cut: "abcde f/"; end ellipsis "abcde..."; path ellipsis keeps the last part,
  // "a.../g h".
  struct Case {
    TkxEllipsType type;
    const char* cells;
  } cases[] = {{kxetNone, "#####.##"}, {kxetEndEllips, "########"}, {kxetPathEllips, "######.#"}};
  int y = 10;
  for (const Case& c : cases) {
    auto* l = Make<TkxSkinStdLabel>(f, "l" + std::to_string(y), 10, y, 40, 12);
    BoxFont(l->DefaultFont(), 10);
    l->SetAutoSize(false);
    l->SetBounds(10, y, 40, 12);
    l->SetCaption("abcde f/g h");
    l->SetEllipsType(c.type);
    EXPECT_EQ(l->EllipsType(), c.type);
    y += 20;
  }
  f->Show();
  Pump();
  y = 10;
  for (const Case& c : cases) {
    std::string cells;
    for (int i = 0; i < 8; ++i) cells += Ink(f->Handle(), TRect{10 + 5 * i, y, 14 + 5 * i, y + 12}, clWhite).right ? '#' : '.';
    EXPECT_EQ(cells, c.cells) << c.type;
    EXPECT_LE(Ink(f->Handle(), TRect{0, y, 120, y + 12}, clWhite).right, 50) << c.type;
    y += 20;
  }
}

TEST_F(SkinLabelTest, TextLabelLinesAlignmentAndLayout) {
  TForm* f = WhiteForm(300, 300);
  auto* t = Make<TkxSkinTextLabel>(f, "t", 10, 10, 100, 100);
  EXPECT_EQ(t->SkinDataName(), "stdlabel");
  BoxFont(t->DefaultFont(), 10);
  t->Lines()->Add("abc");
  // One line: exactly one text line high, as wide as the text.
  EXPECT_EQ(t->Height(), 10);
  EXPECT_EQ(t->Width(), 15);
  t->Lines()->Add("abcdef");
  EXPECT_EQ(t->Height(), 20);
  EXPECT_EQ(t->Width(), 30);
  t->Lines()->Clear();  // no lines: no height, never a negative one
  EXPECT_EQ(t->Height(), 0);
  // Right-justified auto-size keeps the right edge.
  t->Lines()->Add("abcdef");
  t->SetAlignment(taRightJustify);
  t->Lines()->Put(0, "ab");
  EXPECT_EQ(t->Left() + t->Width(), 40);
  EXPECT_EQ(t->Width(), 10);

  // Placement in a fixed box of 100 x 60 at (10, 100).
  t->SetAutoSize(false);
  t->SetBounds(10, 100, 100, 60);
  t->Lines()->Put(0, "abcd");  // 20 pixels wide, ink 8 rows high per line
  f->Show();
  struct Case {
    TAlignment align;
    TTextLayout layout;
    int inkLeft, inkTop;
  } cases[] = {{taLeftJustify, tlTop, 10, 100},  {taRightJustify, tlTop, 90, 100},
               {taCenter, tlCenter, 50, 125},    {taLeftJustify, tlBottom, 10, 150}};
  for (const Case& c : cases) {
    t->SetAlignment(c.align);
    t->SetLayout(c.layout);
    Pump();
    TRect ink = Ink(f->Handle(), TRect{10, 100, 110, 160}, clWhite);
    EXPECT_EQ(ink.left, c.inkLeft) << c.align << "/" << c.layout;
    EXPECT_EQ(ink.top, c.inkTop) << c.align << "/" << c.layout;
    EXPECT_EQ(ink.bottom - ink.top, 8);
  }
}

TEST_F(SkinLabelTest, SkinFontFromALoadedSkinAndOwnFontBackWithout) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  ASSERT_FALSE(sd.Empty);
  ASSERT_NE(BoxSkinRecord(sd, 16, clRed, clGreen), nullptr);
  TForm* f = WhiteForm();
  auto* l = Make<TkxSkinStdLabel>(f, "l", 5, 5, 10, 10);
  auto* t = Make<TkxSkinTextLabel>(f, "t", 5, 40, 10, 10);
  auto* k = Make<TkxSkinLinkLabel>(f, "k", 5, 80, 10, 10);
  for (TFont* d : {l->DefaultFont(), t->DefaultFont(), k->DefaultFont()}) BoxFont(d, 10);
  l->SetCaption("abcd");
  t->Lines()->Add("abcd");
  k->SetCaption("abcd");
  EXPECT_EQ(l->Width(), 20);
  EXPECT_EQ(t->Width(), 20);
  EXPECT_EQ(k->Width(), 20);
  l->SetSkinData(&sd);
  t->SetSkinData(&sd);
  k->SetSkinData(&sd);
  EXPECT_GE(l->Index(), 0);
  // The skin's font: the standard and text labels grow, the link label keeps its size.
  EXPECT_EQ(l->Width(), 32);
  EXPECT_EQ(l->Height(), 16);
  EXPECT_EQ(t->Width(), 32);
  EXPECT_EQ(t->Height(), 16);
  EXPECT_EQ(k->Width(), 20);
  f->Show();
  Pump();
  // The skin's text colour.
  EXPECT_EQ(ctltest::Rgb(headless::PixelAt(f->Handle(), 6, 6)), ctltest::Px(clRed));
  l->SetUseSkinColor(false);
  l->Repaint();
  Pump();
  EXPECT_EQ(ctltest::Rgb(headless::PixelAt(f->Handle(), 6, 6)), ctltest::Px(l->Font()->Color()));

  // The skin emptied: the own fonts again.
  sd.ClearSkin();
  l->ChangeSkinData();
  t->ChangeSkinData();
  EXPECT_EQ(l->Index(), -1);
  EXPECT_EQ(l->Width(), 20);
  EXPECT_EQ(t->Height(), 10);
}

TEST_F(SkinLabelTest, RecordsThatDoNotApplyAndAFreedSkinLeaveTheLabelPlain) {
  auto sd = std::make_unique<TkxSkinData>(nullptr);
  skinlint::LoadGeneratedSkin(1, *sd);
  ASSERT_NE(BoxSkinRecord(*sd, 16, clRed, clGreen), nullptr);
  TForm* f = WhiteForm();
  auto* l = Make<TkxSkinStdLabel>(f, "l", 5, 5, 10, 10);
  BoxFont(l->DefaultFont(), 10);
  l->SetCaption("abcd");
  struct Case {
    const char* name;
    bool skinned;
  } cases[] = {{"nosuchrecord", false}, {"button", false}, {"", false}, {"StdLabel", false}, {"stdlabel", true}};
  for (const Case& c : cases) {
    l->SetSkinDataName(c.name);
    l->SetSkinData(sd.get());
    EXPECT_EQ(l->Index() >= 0, c.skinned) << c.name;
    EXPECT_EQ(l->Width(), c.skinned ? 32 : 20) << c.name;
  }
  f->Show();
  Pump();
  sd.reset();  // freed: the label lets go and draws plain
  EXPECT_EQ(l->SkinData(), nullptr);
  l->ChangeSkinData();
  Pump();
  EXPECT_EQ(l->Index(), -1);
  EXPECT_EQ(l->Width(), 20);
}

TEST_F(SkinLabelTest, LinkLabelOpensItsUrlAfterOnClick) {
  TForm* f = WhiteForm();
  auto* k = Make<TkxSkinLinkLabel>(f, "k", 10, 10, 10, 10);
  EXPECT_EQ(k->Cursor(), crHandPoint);
  EXPECT_TRUE(k->Transparent());
  EXPECT_TRUE(k->Font()->Style().Contains(fsUnderline));
  k->SetCaption("www.example.org");
  std::vector<size_t> launchesAtClick;
  k->OnClick = [&](TObject*) { launchesAtClick.push_back(headless::Launches().size()); };
  f->Show();
  Pump();
  // Without a URL only OnClick runs.
  ClickAt(k, 2, 2);
  EXPECT_EQ(launchesAtClick, std::vector<size_t>{0});
  EXPECT_TRUE(headless::Launches().empty());
  // With one, OnClick first, then the desktop's handler.
  k->SetURL("http://www.example.org/");
  ClickAt(k, 2, 2);
  EXPECT_EQ(launchesAtClick, (std::vector<size_t>{0, 0}));
  ASSERT_EQ(headless::Launches().size(), 1u);
  EXPECT_EQ(headless::Launches()[0], (std::vector<std::string>{"xdg-open", "http://www.example.org/"}));
  // No OnClick at all: the URL still opens.
  k->OnClick = nullptr;
  k->SetURL("mailto:someone@example.org");
  ClickAt(k, 2, 2);
  ASSERT_EQ(headless::Launches().size(), 2u);
  EXPECT_EQ(headless::Launches()[1].back(), "mailto:someone@example.org");
}

TEST_F(SkinLabelTest, LinkLabelHoverColourWithAndWithoutSkin) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(2, sd);
  ASSERT_NE(BoxSkinRecord(sd, 10, clRed, clGreen), nullptr);
  TForm* f = WhiteForm();
  auto* k = Make<TkxSkinLinkLabel>(f, "k", 10, 10, 10, 10);
  BoxFont(k->DefaultFont(), 10, clBlack);
  k->SetDefaultActiveFontColor(clFuchsia);
  k->SetCaption("abcd");
  f->Show();
  Pump();
  auto at = [&] { return ctltest::Rgb(headless::PixelAt(f->Handle(), 11, 11)); };
  EXPECT_EQ(at(), ctltest::Px(clBlack));
  // Underlined across the text (the box font's underline row is its ascent + 1), unless switched off.
  EXPECT_EQ(ctltest::Rgb(headless::PixelAt(f->Handle(), 14, 19)), ctltest::Px(clBlack));
  k->SetUseUnderLine(false);
  Pump();
  EXPECT_EQ(ctltest::Rgb(headless::PixelAt(f->Handle(), 14, 19)), ctltest::Px(clWhite));
  k->SetUseUnderLine(true);
  Pump();
  MoveTo(k, 1, 1);
  EXPECT_TRUE(k->MouseIn());
  EXPECT_EQ(at(), ctltest::Px(clFuchsia));
  MoveTo(f, 200, 150);
  EXPECT_FALSE(k->MouseIn());
  EXPECT_EQ(at(), ctltest::Px(clBlack));
  // With the skin: its colour and its hover colour.
  k->SetSkinData(&sd);
  Pump();
  EXPECT_EQ(at(), ctltest::Px(clRed));
  MoveTo(k, 1, 1);
  EXPECT_EQ(at(), ctltest::Px(clGreen));
  MoveTo(f, 200, 150);
  EXPECT_EQ(at(), ctltest::Px(clRed));
}

TEST_F(SkinLabelTest, GlowMovesTheTextDownAndDisabledTextIsEmbossed) {
  TForm* f = WhiteForm();
  auto* plain = Make<TkxSkinLinkLabel>(f, "plain", 10, 10, 60, 30);
  auto* glow = Make<TkxSkinLinkLabel>(f, "glow", 100, 10, 60, 30);
  for (auto* k : {plain, glow}) {
    k->SetAutoSize(false);
    k->SetUseUnderLine(false);
    BoxFont(k->DefaultFont(), 10);
    k->SetCaption("ab");
  }
  glow->SetGlowEffect(true);
  glow->SetGlowSize(6);
  auto* dis = Make<TkxSkinStdLabel>(f, "dis", 10, 60, 60, 20);
  BoxFont(dis->DefaultFont(), 10);
  dis->SetCaption("a");
  dis->SetEnabled(false);
  f->Show();
  Pump();
  TRect p = Ink(f->Handle(), TRect{10, 10, 70, 40}, clWhite), g = Ink(f->Handle(), TRect{100, 10, 160, 40}, clWhite);
  EXPECT_EQ(p.top, 10);
  EXPECT_EQ(g.top, 16);
  MoveTo(glow, 2, 8);  // the text stays where it was, in the hover colour, with the glow around it
  ASSERT_TRUE(glow->MouseIn());
  EXPECT_EQ(ctltest::Rgb(headless::PixelAt(f->Handle(), 101, 17)), ctltest::Px(glow->DefaultActiveFontColor()));
  EXPECT_NE(ctltest::Rgb(headless::PixelAt(f->Handle(), 101, 14)), ctltest::Px(clWhite));
  EXPECT_EQ(Ink(f->Handle(), TRect{100, 10, 160, 40}, clWhite).top > 10, false);
  // The box "a" covers columns 10..13; the highlight copy shows in column 14 and row 68.
  EXPECT_EQ(ctltest::Rgb(headless::PixelAt(f->Handle(), 10, 60)), ctltest::Px(clBtnShadow));
  EXPECT_EQ(ctltest::Rgb(headless::PixelAt(f->Handle(), 14, 61)), ctltest::Px(clBtnHighlight));
  EXPECT_EQ(ctltest::Rgb(headless::PixelAt(f->Handle(), 11, 68)), ctltest::Px(clBtnHighlight));
}

TEST_F(SkinLabelTest, LabelsReadFromAFormDescription) {
  RegisterSkinDataFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object kxSkinData1: TkxSkinData\n"
      "  end\n"
      "  object l: TkxSkinStdLabel\n"
      "    Caption = 'std'\n"
      "    EllipsType = kxetPathEllips\n"
      "    SkinData = kxSkinData1\n"
      "    UseSkinColor = False\n"
      "  end\n"
      "  object t: TkxSkinTextLabel\n"
      "    Lines.Strings = ('one' 'two')\n"
      "    Alignment = taCenter\n"
      "    Layout = tlBottom\n"
      "    SkinDataName = 'label'\n"
      "  end\n"
      "  object k: TkxSkinLinkLabel\n"
      "    URL = 'http://example.org/'\n"
      "    GlowEffect = True\n"
      "    GlowSize = 6\n"
      "    DefaultActiveFontColor = clRed\n"
      "  end\n"
      "end\n";
  auto* form = new TForm(owner.get());
  ReadFormDescription(form, text, "about.dfm");
  auto* l = dynamic_cast<TkxSkinStdLabel*>(form->FindComponent("l"));
  auto* t = dynamic_cast<TkxSkinTextLabel*>(form->FindComponent("t"));
  auto* k = dynamic_cast<TkxSkinLinkLabel*>(form->FindComponent("k"));
  ASSERT_TRUE(l && t && k);
  EXPECT_EQ(l->EllipsType(), kxetPathEllips);
  EXPECT_EQ(l->SkinData(), form->FindComponent("kxSkinData1"));
  EXPECT_FALSE(l->UseSkinColor());
  EXPECT_EQ(t->Lines()->Count(), 2);
  EXPECT_EQ(t->Alignment(), taCenter);
  EXPECT_EQ(t->Layout(), tlBottom);
  EXPECT_EQ(t->SkinDataName(), "label");
  EXPECT_EQ(k->URL(), "http://example.org/");
  EXPECT_TRUE(k->GlowEffect());
  EXPECT_EQ(k->GlowSize(), 6);
  EXPECT_EQ(k->DefaultActiveFontColor(), clRed);
}

// The three labels plain and in two generated skins, into skin-labels.png in the build folder.
TEST_F(SkinLabelTest, LabelsPicture) {
  TkxSkinData s0(nullptr), s1(nullptr);
  skinlint::LoadGeneratedSkin(0, s0);
  skinlint::LoadGeneratedSkin(5, s1);
  TForm* f = NewForm(0, 0, 480, 300);
  f->SetColor(clBtnFace);
  TkxSkinData* skins[] = {nullptr, &s0, &s1};
  for (int i = 0; i < 3; ++i) {
    const int y = 10 + i * 95;
    auto* head = Make<TkxSkinStdLabel>(f, "h" + std::to_string(i), 10, y, 80, 16);
    head->SetCaption(i == 0 ? "无皮肤" : "皮肤 " + skins[i]->SkinName);
    head->SetSkinData(skins[i]);
    auto* l = Make<TkxSkinStdLabel>(f, "l" + std::to_string(i), 150, y, 120, 16);
    l->SetAutoSize(false);
    l->SetBounds(150, y, 120, 16);
    l->SetEllipsType(kxetEndEllips);
    l->SetCaption("输出文件夹: /home/user/Videos/converted");
    l->SetSkinData(skins[i]);
    auto* d = Make<TkxSkinStdLabel>(f, "d" + std::to_string(i), 290, y, 120, 16);
    d->SetCaption("禁用的标签");
    d->SetEnabled(false);
    d->SetSkinData(skins[i]);
    auto* t = Make<TkxSkinTextLabel>(f, "t" + std::to_string(i), 10, y + 22, 130, 60);
    t->SetAutoSize(false);
    t->SetBounds(10, y + 22, 130, 60);
    t->SetAlignment(taCenter);
    t->SetLayout(tlCenter);
    t->Lines()->Add("视频编码: MPEG-4");
    t->Lines()->Add("比特率: 768 kbps");
    t->SetSkinData(skins[i]);
    auto* k = Make<TkxSkinLinkLabel>(f, "k" + std::to_string(i), 150, y + 30, 120, 30);
    k->SetCaption("http://www.example.org");
    k->SetURL("http://www.example.org");
    k->SetSkinData(skins[i]);
    auto* g = Make<TkxSkinLinkLabel>(f, "g" + std::to_string(i), 290, y + 24, 160, 36);
    g->SetAutoSize(false);
    g->SetBounds(290, y + 24, 160, 36);
    g->SetGlowEffect(true);
    g->SetGlowSize(6);
    g->SetAlignment(taCenter);
    g->SetCaption("mailto:user@example.org");
    g->SetSkinData(skins[i]);
  }
  f->Show();
  Pump();
  // Hover over the glowing link of the last row.
  MoveTo(static_cast<TControl*>(owner->FindComponent("g2")), 80, 15);
  // The form's part of the composed screen, at twice its size so single pixels show.
  int sw = 0, sh = 0;
  const std::vector<uint32_t> screen = headless::ComposeScreen(&sw, &sh);
  ASSERT_GE(sw, 480);
  ASSERT_GE(sh, 300);
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(960, 600);
  for (int y = 0; y < 600; ++y) {
    auto* row = static_cast<uint8_t*>(b.ScanLine(y));
    for (int x = 0; x < 960; ++x) {
      const uint32_t p = screen[size_t(y / 2) * size_t(sw) + size_t(x / 2)];
      row[3 * x] = p & 255, row[3 * x + 1] = (p >> 8) & 255, row[3 * x + 2] = (p >> 16) & 255;
    }
  }
  const std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/skin-labels.png";
  TPngImage png;
  png.Assign(&b);
  png.SaveToFile(path);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
