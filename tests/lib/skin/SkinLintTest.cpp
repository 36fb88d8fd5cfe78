// The program's stored skins, as the build draws them: each loads through the skin data
// component, holds every record the forms ask for with the right kind, points only into
// pictures it has, and draws every text readably on the face under it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "base/Stream.h"
#include "base/StringList.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace skinlint;

TEST(SkinLint, ElevenSkinsWithDescriptionsLoadThroughTheSkinList) {
  TkxCompressedSkinList list(nullptr);
  LoadGeneratedSkinList(list);
  ASSERT_EQ(list.Skins()->Count(), 11);
  std::set<std::string> descriptions;
  for (int i = 0; i < 11; ++i) {
    TkxSkinListItem* item = list.Skins()->GetItem(i);
    EXPECT_EQ(item->Name(), "kxSkin" + std::to_string(i));
    EXPECT_FALSE(item->Description().empty());
    EXPECT_LE(item->Description().size(), 12u) << "a short name: " << item->Description();
    descriptions.insert(item->Description());
    EXPECT_FALSE(item->Skin()->Empty());
  }
  EXPECT_EQ(descriptions.size(), 11u) << "every skin has a name of its own";

  TkxSkinData sd(nullptr);
  sd.SetSkinList(&list);
  for (int i = 0; i < 11; ++i) {
    SCOPED_TRACE("kxSkin" + std::to_string(i));
    sd.SetSkinIndex(i);
    ASSERT_FALSE(sd.Empty);
    EXPECT_EQ(sd.SkinName, list.Skins()->GetItem(i)->Description());
    EXPECT_FALSE(sd.FPicture->Empty());
  }
  sd.SetSkinList(nullptr);
}

class EachSkin : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override { LoadGeneratedSkin(GetParam(), SD); }
  TkxSkinData SD{nullptr};
};

TEST_P(EachSkin, HoldsEveryRecordOfTheChecklistWithItsKind) {
  for (const auto& [name, kind] : ControlChecklist()) {
    int i = SD.GetControlIndex(name);
    ASSERT_GE(i, 0) << "control record " << name;
    EXPECT_EQ(SkinControlKindWord(*SD.CtrlList[size_t(i)]), kind) << name;
  }
  for (const auto& [name, kind] : ObjectChecklist()) {
    int i = SD.GetIndex(name);
    ASSERT_GE(i, 0) << "object record " << name;
    EXPECT_EQ(SkinObjectKindWord(*SD.ObjectList[size_t(i)]), kind) << name;
  }
  // The caption buttons carry the commands the form places by.
  std::set<TkxStdCommand> commands;
  for (auto& o : SD.ObjectList)
    if (auto* b = dynamic_cast<TkxDataSkinStdButton*>(o.get())) {
      EXPECT_TRUE(b->SkinRectInAPicture) << b->IDName;
      commands.insert(b->Command);
    }
  EXPECT_EQ(commands, (std::set<TkxStdCommand>{cmClose, cmMaximize, cmMinimize}));
  // Names that records give to other records.
  auto* bar = dynamic_cast<TkxDataSkinMainMenuBar*>(SD.CtrlList[size_t(SD.GetControlIndex("mainmenubar"))].get());
  ASSERT_NE(bar, nullptr);
  ASSERT_GE(SD.GetIndex(bar->MenuBarItem), 0);
  EXPECT_EQ(SkinObjectKindWord(*SD.ObjectList[size_t(SD.GetIndex(bar->MenuBarItem))]), "mainmenubaritem");
  auto* combo = dynamic_cast<TkxDataSkinComboBox*>(SD.CtrlList[size_t(SD.GetControlIndex("combobox"))].get());
  EXPECT_EQ(combo->ListBoxName, "listbox");
  auto* tab = dynamic_cast<TkxDataSkinTabControl*>(SD.CtrlList[size_t(SD.GetControlIndex("tab"))].get());
  EXPECT_EQ(tab->UpDown, "hupdown");
  auto* list = dynamic_cast<TkxDataSkinListBox*>(SD.CtrlList[size_t(SD.GetControlIndex("listbox"))].get());
  for (const std::string& n : {list->HScrollBarName, list->VScrollBarName, list->BothScrollBarName})
    EXPECT_GE(SD.GetControlIndex(n), 0) << n;
  // The single sections: menu and hint windows with pictures, and the skin's own colours.
  EXPECT_TRUE(HasPicture(SD, SD.PopupWindow->WindowPictureIndex));
  EXPECT_TRUE(HasPicture(SD, SD.HintWindow->WindowPictureIndex));
  for (TColor c : {SD.SkinColors()->cBtnFace(), SD.SkinColors()->cBtnText(), SD.SkinColors()->cWindow(),
                   SD.SkinColors()->cWindowText(), SD.SkinColors()->cHighLight(), SD.SkinColors()->cHighLightText(),
                   SD.SkinColors()->cBtnHighLight(), SD.SkinColors()->cBtnShadow()})
    EXPECT_EQ(uint32_t(c) >> 24, 0u) << "a colour of the skin, not a system colour";
}

TEST_P(EachSkin, RecordsPointIntoPicturesItHas) {
  const auto problems = RectProblems(SD);
  for (const auto& p : problems) ADD_FAILURE() << p;
  EXPECT_TRUE(problems.empty());
}

TEST_P(EachSkin, TextIsReadableOnEveryFace) {
  const auto faces = TextFaces(SD);
  EXPECT_GT(faces.size(), 40u);
  for (const TextFace& f : faces) {
    double worst = WorstContrast(f);
    EXPECT_GE(worst, f.Ratio) << f.What << ": text " << std::hex << f.Text << " reaches only " << worst;
  }
}

// A picture changed in place, the same bitmap at the same size (as a later skin's bitmap may
// take the address of a freed one), is read afresh by the next listing of the faces.
TEST(SkinLint, FacesReadEachPictureAsItIsWhenListed) {
  TkxSkinData sd(nullptr);
  LoadGeneratedSkin(0, sd);
  auto find = [](const std::vector<TextFace>& Faces, const std::string& What) -> const TextFace* {
    for (const TextFace& f : Faces)
      if (f.What == What) return &f;
    return nullptr;
  };
  const auto before = TextFaces(sd);
  const TextFace* face = find(before, "button normal");
  ASSERT_NE(face, nullptr);
  ASSERT_GE(WorstContrast(*face), face->Ratio);
  TBitmap* pic = Picture(sd, sd.CtrlList[size_t(sd.GetControlIndex("button"))]->PictureIndex);
  ASSERT_NE(pic, nullptr);
  pic->Canvas()->Brush()->SetColor(TColor(face->Text));
  pic->Canvas()->FillRect(TRect{0, 0, pic->Width(), pic->Height()});
  const auto after = TextFaces(sd);
  const TextFace* again = find(after, "button normal");
  ASSERT_NE(again, nullptr);
  EXPECT_DOUBLE_EQ(WorstContrast(*again), 1.0) << "the text on a face of its own colour";
  EXPECT_GE(WorstContrast(*face), face->Ratio) << "an earlier listing keeps the pixels it read";
}

TEST_P(EachSkin, NinePartEdgesAreUniformSoStretchingShowsNoSeam) {
  // Along a stretched or tiled edge every row (or column) repeats, so no size shows a seam.
  for (const auto& p : SeamProblems(SD)) ADD_FAILURE() << p;
}

INSTANTIATE_TEST_SUITE_P(Generated, EachSkin, ::testing::Range(0, 11),
                         [](const ::testing::TestParamInfo<int>& i) { return "kxSkin" + std::to_string(i.param); });

TEST(SkinLint, LightAndDarkSkinsAndOneHighContrast) {
  int dark = 0, light = 0;
  for (int i = 0; i < 11; ++i) {
    TkxSkinData sd(nullptr);
    LoadGeneratedSkin(i, sd);
    double l = Luminance(ColorToRGB(sd.SkinColors()->cBtnFace()));
    (l < 0.2 ? dark : light)++;
    if (sd.SkinName == "高对比") {
      EXPECT_GE(Contrast(ColorToRGB(sd.SkinColors()->cBtnText()), ColorToRGB(sd.SkinColors()->cBtnFace())), 15.0);
    }
  }
  EXPECT_GE(dark, 3);
  EXPECT_GE(light, 6);
}

TEST(SkinLint, PicturesOfTheProgram) {
  namespace fs = std::filesystem;
  const fs::path gen = OMBREL_GENERATED_RESOURCES;
  struct Case {
    const char* File;
    int W, H;
  } cases[] = {{"pictures/ImageList1.png", 44 * 32, 32}, {"pictures/ImageList2.png", 7 * 32, 32},
               {"glyphs/add.png", 32, 32},            {"glyphs/skin.png", 32, 32}};
  for (const Case& c : cases) {
    TPngImage png;
    png.LoadFromFile((gen / c.File).string());
    EXPECT_EQ(png.Width(), c.W) << c.File;
    EXPECT_EQ(png.Height(), c.H) << c.File;
  }
  TFileStream f((gen / "icons/MAINICON.ico").string(), fmOpenRead);
  std::vector<uint8_t> bytes(size_t(f.Size()));
  f.ReadBuffer(bytes.data(), int64_t(bytes.size()));
  std::set<int> sizes;
  for (const auto& im : img::ReadIco(bytes.data(), bytes.size())) {
    EXPECT_EQ(im.Color.Width, im.Color.Height);
    EXPECT_TRUE(im.Color.HasAlpha);
    sizes.insert(im.Color.Width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
}

}  // namespace
