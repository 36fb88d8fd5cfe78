// The skin selection dialog driven to each of its results over the embedded skins: OK at once,
// a previewed change then Cancel, a double click, the keyboard, the stored-skin run, the runs
// with nothing to list, and pictures of the dialog previewing another skin.
#include "lib/dialogs/kxSelectSkinDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "classlib/Graphics.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinListBoxes.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/SkinTestUtil.h"
#include "tests/lib/dialogs/DialogInput.h"

namespace {

using namespace win;
namespace fs = std::filesystem;
using dlgtest::DialogInput;

class SelectSkinTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    list = new TkxCompressedSkinList(owner.get());
    LoadEmbeddedSkinList(*list);
    ASSERT_EQ(list->Skins()->Count(), 11);
    // The application's skin: skin 0 of the list, for the frame and the controls.
    app = new TkxSkinData(owner.get());
    app->SetSkinIndex(0);
    app->SetSkinList(list);
    ASSERT_FALSE(app->Empty);
    dialog = new TkxSelectSkinDialog(owner.get());
    dialog->SetSkinList(list);
    dialog->SetSkinData(app);
    dialog->SetCtrlSkinData(app);
    forms = Screen->FormCount();
  }
  void TearDown() override {
    EXPECT_EQ(Screen->FormCount(), forms) << "a dialog form outlived its run";
    ControlTest::TearDown();
  }
  static TkxSelectSkinDlgForm& Form(TCustomForm& d) { return dynamic_cast<TkxSelectSkinDlgForm&>(d); }
  static void ClickName(TkxSelectSkinDlgForm& f, int32_t i, bool twice = false) {
    const TRect r = f.SkinsListBox->ItemRect(i);
    DialogInput::Click(f.SkinsListBox->ListBox, r.left + 20, (r.top + r.bottom) / 2);
    if (twice) DialogInput::Click(f.SkinsListBox->ListBox, r.left + 20, (r.top + r.bottom) / 2);
  }

  TkxCompressedSkinList* list = nullptr;
  TkxSkinData* app = nullptr;
  TkxSelectSkinDialog* dialog = nullptr;
  DialogInput input;
  int forms = 0;
};

// The dialog's results by the way it ends: OK at once keeps the start, a previewed change then
// Cancel reports nothing, a double click is OK, keys preview as clicks do. The application's skin
// never changes.
TEST_F(SelectSkinTest, EachWayOutGivesItsResultAndTheApplicationSkinStays) {
  const std::string appSkin = skintest::Fingerprint(*app);
  struct Case {
    const char* name;
    int32_t start;
    std::function<void(TkxSelectSkinDlgForm&)> play;
    bool result;
    int32_t index;
    int32_t previewed;  // the preview's skin index when the dialog ends
  };
  const Case cases[] = {
      {"OK at once", 3, [](TkxSelectSkinDlgForm& f) { DialogInput::ClickCentre(f.OpenButton); }, true, 3, 3},
      {"Enter at once", 3, [](TkxSelectSkinDlgForm&) { DialogInput::Key(VK_RETURN); }, true, 3, 3},
      {"entry 5 then Cancel", 3,
       [](TkxSelectSkinDlgForm& f) {
         ClickName(f, 5);
         EXPECT_EQ(f.PreviewSkinData->SkinIndex(), 5);
         DialogInput::ClickCentre(f.CancelButton);
       },
       false, -1, 5},
      {"entry 5 then Escape", 3,
       [](TkxSelectSkinDlgForm& f) {
         ClickName(f, 5);
         DialogInput::Key(VK_ESCAPE);
       },
       false, -1, 5},
      {"double click on 7", 0, [](TkxSelectSkinDlgForm& f) { ClickName(f, 7, true); }, true, 7, 7},
      {"Down twice then OK", 2,
       [](TkxSelectSkinDlgForm& f) {
         DialogInput::Key(VK_DOWN);
         DialogInput::Key(VK_DOWN);
         EXPECT_EQ(f.SkinsListBox->ItemIndex(), 4);
         DialogInput::ClickCentre(f.OpenButton);
       },
       true, 4, 4},
      {"closed", 1, [](TkxSelectSkinDlgForm& f) { f.Close(); }, false, -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int32_t previewed = -2;
    input.Then([&](TCustomForm& d) {
      TkxSelectSkinDlgForm& f = Form(d);
      EXPECT_EQ(dialog->DialogForm(), &f);
      EXPECT_EQ(f.Caption(), "Select skin");
      EXPECT_TRUE(f.VLR->BorderIcons().Empty());
      EXPECT_EQ(f.SkinsListBox->Items()->Count(), 11);
      EXPECT_EQ(f.SkinsListBox->ItemIndex(), c.start);
      EXPECT_EQ(f.PreviewSkinData->SkinIndex(), c.start);
      EXPECT_FALSE(f.PreviewSkinData->Empty);
      EXPECT_EQ(f.ActiveControl(), f.SkinsListBox->ListBox);
      c.play(f);
      previewed = f.PreviewSkinData->SkinIndex();
    });
    EXPECT_EQ(dialog->Execute(c.start), c.result);
    EXPECT_EQ(dialog->SelectedSkinIndex(), c.index);
    EXPECT_EQ(dialog->SelectedSkin(), nullptr);
    EXPECT_EQ(previewed, c.previewed);
    EXPECT_EQ(dialog->DialogForm(), nullptr);
    EXPECT_EQ(app->SkinIndex(), 0);
    EXPECT_EQ(skintest::Fingerprint(*app), appSkin);
  }
}

// Setting the highlighted name in code does not preview; a start outside the list highlights and
// loads nothing, and OK reports that same index.
TEST_F(SelectSkinTest, OnlyUserChangesPreviewAndAStartOutsideTheListLoadsNothing) {
  input.Then([&](TCustomForm& d) {
    TkxSelectSkinDlgForm& f = Form(d);
    f.SkinsListBox->SetItemIndex(6);
    input.Pump();
    EXPECT_EQ(f.PreviewSkinData->SkinIndex(), 2);
    input.ClickCentre(f.OpenButton);
  });
  EXPECT_TRUE(dialog->Execute(2));
  EXPECT_EQ(dialog->SelectedSkinIndex(), 2);
  for (int32_t start : {-1, 11}) {
    SCOPED_TRACE(start);
    input.Then([&](TCustomForm& d) {
      TkxSelectSkinDlgForm& f = Form(d);
      EXPECT_EQ(f.SkinsListBox->ItemIndex(), -1);
      EXPECT_TRUE(f.PreviewSkinData->Empty);
      input.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog->Execute(start));
    EXPECT_EQ(dialog->SelectedSkinIndex(), start);
  }
}

// Nothing to list: no skin list, an empty one, no stored skins. The run shows nothing (a dialog
// would fail the helper, which has no script) and answers false, changing no result.
TEST_F(SelectSkinTest, NothingToListShowsNothingAndAnswersFalse) {
  input.Then([&](TCustomForm& d) { DialogInput::Key(VK_RETURN); });
  ASSERT_TRUE(dialog->Execute(4));
  ASSERT_EQ(dialog->SelectedSkinIndex(), 4);
  TkxCompressedSkinList empty(nullptr);
  dialog->SetSkinList(&empty);
  EXPECT_FALSE(dialog->Execute(0));
  dialog->SetSkinList(nullptr);
  EXPECT_FALSE(dialog->Execute(0));
  EXPECT_EQ(dialog->SelectedSkinIndex(), 4);
  // The owner holds no stored skins.
  EXPECT_FALSE(dialog->Execute(static_cast<TkxCompressedStoredSkin*>(nullptr)));
  EXPECT_EQ(input.Played(), 1);
}

// The stored-skin run lists the stored skins its owner holds (by description, else by name),
// starts at the given one (the first when it is not among them) and reports the previewed one.
TEST_F(SelectSkinTest, StoredSkinRunReportsThePreviewedStoredSkin) {
  auto* holder = new TComponent(owner.get());
  auto* runner = new TkxSelectSkinDialog(holder);
  std::vector<TkxCompressedStoredSkin*> stored;
  for (int i : {0, 1, 2}) {
    auto* s = new TkxCompressedStoredSkin(holder);
    s->SetName("Stored" + std::to_string(i));
    if (i != 1) s->SetDescription("皮肤 " + std::to_string(i));
    s->LoadFromCompressFile(skinlint::GeneratedSkinFile(i));
    stored.push_back(s);
  }
  TkxCompressedStoredSkin stranger(nullptr);
  struct Case {
    TkxCompressedStoredSkin* start;
    int32_t startEntry;
    int32_t pick;  // -1: OK at once
    bool ok;
  };
  const Case cases[] = {{stored[1], 1, -1, true}, {&stranger, 0, 2, true}, {stored[2], 2, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.startEntry);
    input.Then([&](TCustomForm& d) {
      TkxSelectSkinDlgForm& f = Form(d);
      EXPECT_EQ(f.SkinsListBox->Items()->Count(), 3);
      EXPECT_EQ(f.SkinsListBox->Items()->Get(0), "皮肤 0");
      EXPECT_EQ(f.SkinsListBox->Items()->Get(1), "Stored1");
      EXPECT_EQ(f.SkinsListBox->ItemIndex(), c.startEntry);
      EXPECT_EQ(f.SelectedSkin(), stored[size_t(c.startEntry)]);
      if (c.pick >= 0) {
        ClickName(f, c.pick);
        EXPECT_EQ(f.SelectedSkin(), stored[size_t(c.pick)]);
      }
      input.ClickCentre(c.ok ? f.OpenButton : f.CancelButton);
    });
    EXPECT_EQ(runner->Execute(c.start), c.ok);
    EXPECT_EQ(runner->SelectedSkin(), c.ok ? stored[size_t(c.pick >= 0 ? c.pick : c.startEntry)] : nullptr);
    EXPECT_EQ(runner->SelectedSkinIndex(), -1);
  }
}

// The client area: 420 x 240 without a frame skin, the layout of the Part's controls, and the
// captions from the string table (a missing key gives an empty caption).
TEST_F(SelectSkinTest, LayoutAndCaptions) {
  dialog->SetSkinData(nullptr);
  TkxResourceStrData strs(nullptr);
  TkxSkinData ctrl(nullptr);
  TStringList lines;
  for (const char* l : {"MSG_BTN_OK=确定", "MSG_PREVIEWSKIN=预览"}) lines.Add(l);
  strs.SetResStrings(&lines);
  ctrl.SetResourceStrData(&strs);
  dialog->SetCtrlSkinData(&ctrl);
  dialog->Title = "选择皮肤";
  input.Then([&](TCustomForm& d) {
    TkxSelectSkinDlgForm& f = Form(d);
    // 420 wide, or wider when the preview's minimum width would cut it at the right edge.
    EXPECT_EQ(f.ClientWidth(), std::max(420, 190 + std::max(220, f.PreviewVLR->GetMinWidth()) + 10));
    EXPECT_EQ(f.ClientHeight(), 240);
    EXPECT_EQ(f.Caption(), "选择皮肤");
    EXPECT_EQ(f.SkinsListBox->BoundsRect(), (TRect{10, 10, 180, 180}));
    // 220 x 170 at (190, 10), but a skinned frame never goes below its skin's minimum size.
    EXPECT_EQ(f.PreviewForm->BoundsRect(),
              (TRect{190, 10, 190 + std::max(220, f.PreviewVLR->GetMinWidth()),
                     10 + std::max(170, f.PreviewVLR->GetMinHeight())}));
    EXPECT_EQ(f.OpenButton->BoundsRect(), (TRect{260, 200, 330, 225}));
    EXPECT_EQ(f.CancelButton->BoundsRect(), (TRect{340, 200, 410, 225}));
    EXPECT_FALSE(f.PreviewForm->Enabled());
    EXPECT_TRUE(f.PreviewVLR->PreviewMode);
    EXPECT_EQ(f.OpenButton->Caption(), "确定");
    EXPECT_EQ(f.CancelButton->Caption(), "");
    EXPECT_EQ(f.PreviewForm->Caption(), "预览");
    EXPECT_EQ(f.PreviewButton->Caption(), "");
    input.Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dialog->Execute(0));
}

// The dialog previewing another skin, as a person sees it, written to dialogs/selectskin-*.png
// in the build folder: the light skin previewing the dark one, the dark the light, and the plain
// look a third.
TEST_F(SelectSkinTest, PicturesOfTheDialogPreviewingAnotherSkin) {
  headless::SetMonitors({{{0, 0, 900, 600}, {0, 0, 900, 600}, true}});
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "dialogs";
  fs::create_directories(dir);
  struct Look {
    const char* name;
    int32_t own;      // -1: plain
    int32_t preview;  // the entry clicked
  };
  for (const Look& l : {Look{"kxSkin0", 0, 1}, Look{"kxSkin1", 1, 0}, Look{"plain", -1, 2}}) {
    SCOPED_TRACE(l.name);
    std::unique_ptr<TkxSkinData> sd;
    if (l.own >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(l.own, *sd);
    }
    dialog->SetSkinData(sd.get());
    dialog->SetCtrlSkinData(sd.get());
    input.Then([&](TCustomForm& d) {
      TkxSelectSkinDlgForm& f = Form(d);
      ClickName(f, l.preview);
      input.Pump();
      int sw = 0, sh = 0;
      const std::vector<uint32_t> screen = headless::ComposeScreen(&sw, &sh);
      TBitmap b;
      b.SetPixelFormat(pf24bit);
      b.SetSize(d.Width() + 20, d.Height() + 20);
      for (int y = 0; y < b.Height(); ++y) {
        auto* row = static_cast<uint8_t*>(b.ScanLine(y));
        for (int x = 0; x < b.Width(); ++x) {
          const int sx = d.Left() - 10 + x, sy = d.Top() - 10 + y;
          const uint32_t p = sx >= 0 && sy >= 0 && sx < sw && sy < sh ? screen[size_t(sy) * size_t(sw) + size_t(sx)] : 0;
          row[3 * x] = p & 255, row[3 * x + 1] = (p >> 8) & 255, row[3 * x + 2] = (p >> 16) & 255;
        }
      }
      TPngImage png;
      png.Assign(&b);
      const fs::path file = dir / ("selectskin-" + std::string(l.name) + ".png");
      png.SaveToFile(file.string());
      EXPECT_TRUE(fs::exists(file));
      input.ClickCentre(f.CancelButton);
    });
    EXPECT_FALSE(dialog->Execute(l.own >= 0 ? l.own : 0));
    dialog->SetSkinData(nullptr);
    dialog->SetCtrlSkinData(nullptr);
  }
}

}  // namespace
