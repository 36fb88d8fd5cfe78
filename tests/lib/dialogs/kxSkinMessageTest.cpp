// The skinned message box, driven through its modal loop: the buttons with their roles and
// results, the texts with and without a skin string table, the layout, the show-again box, the
// positions, the wrapping of a message wider than the screen, the Help button, and pictures of
// the dialogs in the light and dark skins and the plain look.
#include "lib/dialogs/kxSkinMessage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "classlib/ExtCtrls.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "platform/backend/headless/ShellRecorder.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/dialogs/DialogInput.h"

namespace {

using namespace win;
namespace fs = std::filesystem;
using dlgtest::DialogInput;
using dlgtest::Find;

const char* const kAllNames[] = {"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll",
                                 "YesToAll", "Help", "Close"};

class SkinMessageTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::ResetShellRecorder();
    forms = Screen->FormCount();
  }
  void TearDown() override {
    EXPECT_EQ(Screen->FormCount(), forms) << "a dialog form outlived its call";
    ControlTest::TearDown();
  }
  // The buttons of a shown dialog, left to right.
  static std::vector<TkxSkinButton*> Buttons(TCustomForm& d) {
    std::vector<TkxSkinButton*> v;
    for (const char* n : kAllNames)
      if (auto* b = Find<TkxSkinButton>(d, n)) v.push_back(b);
    std::sort(v.begin(), v.end(), [](auto* a, auto* b) { return a->Left() < b->Left(); });
    return v;
  }

  TkxSkinMessage msg{nullptr};
  DialogInput input;
  int forms = 0;
};

// Buttons to roles and results: the fixed order, the default and cancel kinds (none when that
// kind is absent), Enter and Escape, and a click on each button.
TEST_F(SkinMessageTest, ButtonsStandInTheirOrderWithTheirRolesAndResults) {
  struct Case {
    TMsgDlgButtons buttons;
    std::vector<std::string> order;
    const char* def;     // nullptr: no default button
    const char* cancel;  // nullptr: no cancel button
    int32_t enter, escape;  // mrNone: the key leaves the dialog open
  };
  const Case cases[] = {
      {{mbOK, mbCancel}, {"OK", "Cancel"}, "OK", "Cancel", mrOk, mrCancel},
      {{mbCancel, mbNo, mbYes}, {"Yes", "No", "Cancel"}, "Yes", "Cancel", mrYes, mrCancel},
      {{mbNo, mbYes}, {"Yes", "No"}, "Yes", "No", mrYes, mrNo},
      {{mbOK}, {"OK"}, "OK", "OK", mrOk, mrOk},
      {{mbIgnore, mbRetry, mbAbort}, {"Abort", "Retry", "Ignore"}, "Retry", nullptr, mrRetry, mrNone},
      // No default: Enter presses the button that has the focus, the first.
      {{mbClose, mbYesToAll, mbNoToAll, mbAll, mbHelp}, {"All", "NoToAll", "YesToAll", "Help", "Close"}, nullptr,
       nullptr, mrAll, mrNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.order.front());
    // The layout, and each button clicked in turn.
    for (size_t k = 0; k <= c.order.size(); ++k) {
      std::vector<std::string> order;
      int32_t clicked = -1;
      input.Then([&](TCustomForm& d) {
        const auto bs = Buttons(d);
        for (size_t i = 0; i < bs.size(); ++i) {
          order.push_back(bs[i]->Name());
          EXPECT_EQ(bs[i]->Width(), 70);
          EXPECT_EQ(bs[i]->Height(), 25);
          EXPECT_EQ(bs[i]->Top(), d.ClientHeight() - 35);
          if (i > 0) {
            EXPECT_EQ(bs[i]->Left(), bs[i - 1]->Left() + 80);
          }
          EXPECT_EQ(bs[i]->Default(), c.def && bs[i]->Name() == c.def) << bs[i]->Name();
          EXPECT_EQ(bs[i]->Cancel(), c.cancel && bs[i]->Name() == c.cancel) << bs[i]->Name();
        }
        // Centred under the text.
        const int32_t row = int32_t(bs.size()) * 80 - 10;
        EXPECT_EQ(bs.front()->Left(), (d.ClientWidth() - row) / 2);
        if (k < bs.size()) {
          clicked = bs[k]->ModalResult();
          input.ClickCentre(bs[k]);
          if (bs[k]->Name() == "Help") input.Key(VK_ESCAPE);  // Help leaves it open; nothing cancels
        }
        if (d.ModalResult() == mrNone) d.Close();
      });
      const int32_t r = msg.MessageDlg("Go on?", mtConfirmation, c.buttons, 0);
      EXPECT_EQ(order, c.order);
      if (k < c.order.size()) {
        EXPECT_EQ(r, clicked == mrNone ? mrCancel : clicked) << c.order[k];
      }
    }
    // Enter and Escape.
    for (int key : {VK_RETURN, VK_ESCAPE}) {
      const int32_t want = key == VK_RETURN ? c.enter : c.escape;
      input.Then([&](TCustomForm& d) {
        input.Key(key);
        if (want == mrNone) {
          EXPECT_EQ(d.ModalResult(), mrNone) << "the key closed a dialog without that role";
          d.Close();
        }
      });
      EXPECT_EQ(msg.MessageDlg("Go on?", mtConfirmation, c.buttons, 0), want == mrNone ? mrCancel : want);
    }
  }
}

// The texts: English defaults without a string table; with one, every button kind and type
// takes its own key, a missing key gives an empty caption and only the check box falls back.
TEST_F(SkinMessageTest, TextsComeFromTheSkinStringsWithNoFallBackButTheCheckBox) {
  // Defaults.
  for (int k = mbYes; k <= mbClose; ++k) EXPECT_FALSE(msg.MessageButtonCaption(TMsgDlgBtn(k)).empty());
  EXPECT_EQ(msg.MessageButtonCaption(mbNoToAll), "N&oToAll");
  EXPECT_EQ(msg.MessageButtonCaption(mbClose), "Close");
  EXPECT_EQ(msg.MessageTypeCaption(mtWarning), "Warning");
  EXPECT_EQ(msg.MessageTypeCaption(mtConfirmation), "Confirm");
  EXPECT_EQ(msg.MessageTypeCaption(mtCustom), "");
  msg.ShowAgainFlag = true;
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(d.Caption(), "Warning");
    EXPECT_EQ(Find<TkxSkinButton>(d, "OK")->Caption(), "OK");
    EXPECT_EQ(Find<TkxSkinButton>(d, "Cancel")->Caption(), "Cancel");
    EXPECT_EQ(Find<TkxSkinCheckRadioBox>(d, "checkbox")->Caption(), "Do not display this message again");
    EXPECT_EQ(Find<TkxSkinStdLabel>(d, "Message")->Caption(), "Overwrite it?");
    input.Key(VK_RETURN);
  });
  EXPECT_EQ(msg.MessageDlg("Overwrite it?", mtWarning, {mbOK, mbCancel}, 0), mrOk);

  // A string table without the OK, warning and show-again lines.
  TkxResourceStrData strs(nullptr);
  TkxSkinData sd(nullptr);
  TStringList lines;
  for (const char* l : {"MSG_BTN_CANCEL=取消", "MSG_BTN_CLOSE=关闭", "MSG_CAP_ERROR=错误"}) lines.Add(l);
  strs.SetResStrings(&lines);
  sd.SetResourceStrData(&strs);
  msg.SetCtrlSkinData(&sd);
  EXPECT_EQ(msg.MessageButtonCaption(mbClose), "关闭");
  EXPECT_EQ(msg.MessageButtonCaption(mbOK), "");
  EXPECT_EQ(msg.MessageTypeCaption(mtError), "错误");
  EXPECT_EQ(msg.MessageTypeCaption(mtWarning), "");
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(d.Caption(), "");
    EXPECT_EQ(Find<TkxSkinButton>(d, "OK")->Caption(), "");
    EXPECT_EQ(Find<TkxSkinButton>(d, "Cancel")->Caption(), "取消");
    EXPECT_EQ(Find<TkxSkinButton>(d, "Close")->Caption(), "关闭");
    EXPECT_EQ(Find<TkxSkinCheckRadioBox>(d, "checkbox")->Caption(), "Do not display this message again");
    input.Key(VK_ESCAPE);
  });
  EXPECT_EQ(msg.MessageDlg("Overwrite it?", mtWarning, {mbOK, mbCancel, mbClose}, 0), mrCancel);
  // The caption variants and mtCustom never look a title up.
  Application->SetTitle("视频转换器");
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(d.Caption(), "视频转换器");
    input.Key(VK_RETURN);
  });
  EXPECT_EQ(msg.MessageDlg("x", mtCustom, {mbOK}, 0), mrOk);
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(d.Caption(), "提示");
    input.Key(VK_RETURN);
  });
  EXPECT_EQ(msg.MessageDlg2("x", "提示", mtWarning, {mbOK}, 0), mrOk);
  // Freeing the skin data lets go of it.
  msg.SetCtrlSkinData(nullptr);
  {
    auto* gone = new TkxSkinData(owner.get());
    msg.SetSkinData(gone);
    msg.SetCtrlSkinData(gone);
    delete gone;
  }
  EXPECT_EQ(msg.SkinData(), nullptr);
  EXPECT_EQ(msg.CtrlSkinData(), nullptr);
}

// The layout without a skin: the label at (50, 15), the buttons 25 below it and 10 above the
// bottom, the client width from the label or the row; the check box between them; an empty set
// gives no buttons; the type icon keeps to top 10 while a list image may sit higher.
TEST_F(SkinMessageTest, SizesFollowTheLabelTheRowAndTheCheckBox) {
  struct Case {
    const char* text;
    TMsgDlgButtons buttons;
    bool box;
  };
  const Case cases[] = {{"Short", {mbOK, mbCancel}, false},
                        {"A message wider than its two buttons, by far, on one line", {mbYes, mbNo}, false},
                        {"Short", {mbYes, mbNo, mbCancel, mbAbort, mbRetry}, true},
                        {"Only the label decides", {}, false},
                        {"第一行\n第二行\n第三行", {mbOK}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    msg.ShowAgainFlag = c.box;
    input.Then([&](TCustomForm& d) {
      auto* label = Find<TkxSkinStdLabel>(d, "Message");
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->Left(), 50);
      EXPECT_EQ(label->Top(), 15);
      const auto bs = Buttons(d);
      const int32_t n = int32_t(bs.size()), row = n ? n * 80 - 10 : 0;
      auto* box = Find<TkxSkinCheckRadioBox>(d, "checkbox");
      EXPECT_EQ(box != nullptr, c.box);
      const int32_t boxPart = c.box ? 40 : 0;
      EXPECT_EQ(d.ClientHeight(), 25 + label->Height() + 50 + boxPart);
      int32_t width = std::max(label->Left() + label->Width(), row) + 40;
      if (box) {
        EXPECT_EQ(box->Top(), label->Top() + label->Height() + 25);
        EXPECT_EQ(box->Height(), 30);
        EXPECT_EQ(box->Left(), 5);
        width = std::max(width, box->Width() + 5);
      }
      EXPECT_EQ(d.ClientWidth(), width);
      for (auto* b : bs) {
        EXPECT_EQ(b->Top(), label->Top() + label->Height() + 25 + boxPart);
        EXPECT_EQ(b->Top() + b->Height(), d.ClientHeight() - 10);
      }
      auto* image = Find<TImage>(d, "Image");
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(image->BoundsRect(),
                (TRect{5, std::max(10, 15 + label->Height() / 2 - 16), 37, std::max(10, 15 + label->Height() / 2 - 16) + 32}));
      EXPECT_FALSE(image->Picture()->Graphic() == nullptr || image->Picture()->Graphic()->Empty()) << "no icon";
      d.Close();
    });
    msg.MessageDlg(c.text, mtInformation, c.buttons, 0);
  }
  // mtCustom: no icon. An image list: its picture at top 15 + label height / 2 - 16, even
  // above 10; an index outside the list or no list: no picture at all.
  msg.ShowAgainFlag = false;
  input.Then([&](TCustomForm& d) {
    auto* image = Find<TImage>(d, "Image");
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->Picture()->Graphic() == nullptr || image->Picture()->Graphic()->Empty());
    d.Close();
  });
  msg.MessageDlg("Custom", mtCustom, {mbOK}, 0);
  TImageList images(nullptr);
  images.SetWidth(24);
  images.SetHeight(24);
  TBitmap glyph;
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(24, 24);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(TRect{0, 0, 24, 24});
  images.Add(&glyph, nullptr);
  for (int32_t index : {0, 1, -1}) {
    SCOPED_TRACE(index);
    input.Then([&](TCustomForm& d) {
      auto* image = Find<TImage>(d, "Image");
      if (index != 0) {
        EXPECT_EQ(image, nullptr);
      } else {
        ASSERT_NE(image, nullptr);
        const int32_t h = Find<TkxSkinStdLabel>(d, "Message")->Height();
        EXPECT_EQ(image->BoundsRect(), (TRect{5, 15 + h / 2 - 16, 29, 15 + h / 2 - 16 + 24}));
        EXPECT_LT(image->Top(), 10);
      }
      input.Key(VK_RETURN);
    });
    EXPECT_EQ(msg.CustomMessageDlg("Picture", "提示", &images, index, {mbOK}, 0), mrOk);
  }
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(Find<TImage>(d, "Image"), nullptr);
    input.Key(VK_RETURN);
  });
  EXPECT_EQ(msg.CustomMessageDlg("Picture", "提示", nullptr, 0, {mbOK}, 0), mrOk);
}

// The button height: the "button" record's when it is a push-button record, 25 for a record of
// another kind.
TEST_F(SkinMessageTest, ButtonHeightComesOnlyFromAPushButtonRecord) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  ASSERT_FALSE(sd.Empty);
  const int32_t i = sd.GetControlIndex("button");
  ASSERT_GE(i, 0);
  auto* rec = dynamic_cast<TkxDataSkinButtonControl*>(sd.CtrlList[size_t(i)].get());
  ASSERT_NE(rec, nullptr);
  const int32_t skinHeight = rec->SkinRect.bottom - rec->SkinRect.top;
  msg.SetCtrlSkinData(&sd);
  for (const char* name : {"button", "stdlabel", "no such record"}) {
    SCOPED_TRACE(name);
    msg.ButtonSkinDataName = name;
    const int32_t want = std::string(name) == "button" ? skinHeight : 25;
    input.Then([&](TCustomForm& d) {
      auto* ok = Find<TkxSkinButton>(d, "OK");
      EXPECT_EQ(ok->DefaultHeight(), want);
      EXPECT_EQ(ok->Top(), d.ClientHeight() - want - 10);
      input.Key(VK_RETURN);
    });
    EXPECT_EQ(msg.MessageDlg("Height", mtWarning, {mbOK}, 0), mrOk);
  }
  msg.SetCtrlSkinData(nullptr);
}

// The show-again box starts checked when ShowAgainFlagValue is false; every way out writes back
// the negation of its state (an exception too); the Wide methods show no box and leave it.
TEST_F(SkinMessageTest, ShowAgainValueGoesBackOnEveryWayOutButNotFromTheWideMethods) {
  msg.ShowAgainFlag = true;
  msg.ShowAgainFlagValue = false;
  bool started = false;
  // Closed with the box still checked: stays false.
  input.Then([&](TCustomForm& d) {
    started = Find<TkxSkinCheckRadioBox>(d, "checkbox")->Checked();
    input.Key(VK_RETURN);
  });
  EXPECT_EQ(msg.MessageDlg("Again?", mtInformation, {mbOK}, 0), mrOk);
  EXPECT_TRUE(started);
  EXPECT_FALSE(msg.ShowAgainFlagValue);
  // Unchecked by a click, then Escape: true.
  input.Then([&](TCustomForm& d) {
    auto* box = Find<TkxSkinCheckRadioBox>(d, "checkbox");
    input.ClickCentre(box);
    EXPECT_FALSE(box->Checked());
    input.Key(VK_ESCAPE);
  });
  EXPECT_EQ(msg.MessageDlg2("Again?", "提示", mtInformation, {mbOK, mbCancel}, 0), mrCancel);
  EXPECT_TRUE(msg.ShowAgainFlagValue);
  // The next box starts unchecked; checked again and the window closed: false.
  input.Then([&](TCustomForm& d) {
    auto* box = Find<TkxSkinCheckRadioBox>(d, "checkbox");
    started = box->Checked();
    input.ClickCentre(box);
    d.Close();
  });
  EXPECT_EQ(msg.CustomMessageDlg("Again?", "提示", nullptr, 0, {mbYes, mbNo}, 0), mrCancel);
  EXPECT_FALSE(started);
  EXPECT_FALSE(msg.ShowAgainFlagValue);
  // An exception while the dialog shows: written back, the form freed, the exception passed on.
  input.Then([&](TCustomForm& d) {
    input.ClickCentre(Find<TkxSkinCheckRadioBox>(d, "checkbox"));
    throw std::runtime_error("in the dialog");
  });
  EXPECT_THROW(msg.MessageDlg("Again?", mtInformation, {mbOK}, 0), std::runtime_error);
  EXPECT_TRUE(msg.ShowAgainFlagValue);
  // The Wide methods: no box, the value stays.
  for (int pos : {0, 1}) {
    input.Then([&](TCustomForm& d) {
      EXPECT_EQ(Find<TkxSkinCheckRadioBox>(d, "checkbox"), nullptr);
      input.Key(VK_RETURN);
    });
    EXPECT_EQ(pos ? msg.WideMessageDlgPos("宽", mtWarning, {mbOK}, 0, 10, 10) : msg.WideMessageDlg("宽", mtWarning, {mbOK}, 0),
              mrOk);
    EXPECT_TRUE(msg.ShowAgainFlagValue);
  }
  // Without ShowAgainFlag: no box, nothing written.
  msg.ShowAgainFlag = false;
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(Find<TkxSkinCheckRadioBox>(d, "checkbox"), nullptr);
    input.Key(VK_RETURN);
  });
  msg.MessageDlg("No box", mtInformation, {mbOK}, 0);
  EXPECT_TRUE(msg.ShowAgainFlagValue);
}

// A caption wider than the rest widens the client area to its width + 60.
TEST_F(SkinMessageTest, AWideCheckBoxCaptionWidensTheDialog) {
  msg.ShowAgainFlag = true;
  TkxResourceStrData strs(nullptr);
  TkxSkinData sd(nullptr);
  TStringList lines;
  lines.Add("MSG_CAP_SHOWFLAG=Never, ever, under any circumstances show this particular message to me again");
  lines.Add("MSG_BTN_OK=OK");
  strs.SetResStrings(&lines);
  sd.SetResourceStrData(&strs);
  msg.SetCtrlSkinData(&sd);
  input.Then([&](TCustomForm& d) {
    auto* box = Find<TkxSkinCheckRadioBox>(d, "checkbox");
    TBitmap b;
    b.Canvas()->Font()->Assign(msg.DefaultFont());
    const int32_t w = b.Canvas()->TextWidth(box->Caption());
    EXPECT_EQ(d.ClientWidth(), w + 60);
    EXPECT_EQ(box->Width(), w + 55);
    input.Key(VK_RETURN);
  });
  EXPECT_EQ(msg.MessageDlg("Hi", mtInformation, {mbOK}, 0), mrOk);
  msg.SetCtrlSkinData(nullptr);
}

// Positions: X = -10000 is a position, below it the dialog is centred whatever OnSetShowPos
// writes; only the two positioned non-wide methods call OnSetShowPos.
TEST_F(SkinMessageTest, XBelowMinusTenThousandCentresWhateverOnSetShowPosWrites) {
  int calls = 0;
  TPoint moveTo{300, 200};
  msg.OnSetShowPos = [&](int32_t& x, int32_t& y, int32_t w, int32_t h) {
    ++calls;
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    x = moveTo.x, y = moveTo.y;
  };
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  TPoint at{};
  TSize size{};
  auto record = [&](TCustomForm& d) {
    at = TPoint{d.Left(), d.Top()};
    size = TSize{d.Width(), d.Height()};
    input.Key(VK_RETURN);
  };
  // Centred: -10001, whatever the event writes.
  input.Then(record);
  msg.MessageDlgPos("Centre", mtWarning, {mbOK}, 0, -10001, 40);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(at, (TPoint{(sw - size.cx) / 2, (sh - size.cy) / 2}));
  input.Then(record);
  msg.CustomMessageDlgPos("Centre", "提示", nullptr, 0, {mbOK}, 0, -20000, 40);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(at, (TPoint{(sw - size.cx) / 2, (sh - size.cy) / 2}));
  // A position: the event moves it.
  input.Then(record);
  msg.MessageDlgPos("Placed", mtWarning, {mbOK}, 0, 10, 20);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(at, moveTo);
  // -10000 is a position, kept without the event.
  msg.OnSetShowPos = nullptr;
  input.Then(record);
  msg.MessageDlgPos("Far", mtWarning, {mbOK}, 0, -10000, 20);
  EXPECT_EQ(at, (TPoint{-10000, 20}));
  // The Wide positioned method never calls it; the centred methods neither.
  msg.OnSetShowPos = [&](int32_t&, int32_t&, int32_t, int32_t) { ++calls; };
  input.Then(record);
  msg.WideMessageDlgPos("Wide", mtWarning, {mbOK}, 0, 30, 40);
  EXPECT_EQ(at, (TPoint{30, 40}));
  input.Then(record);
  msg.MessageDlg("Plain", mtWarning, {mbOK}, 0);
  EXPECT_EQ(calls, 3);
}

// A message wider than the work area wraps, between Chinese characters too, so the dialog keeps
// to the work area and shows all of it; a row of buttons wider than the dialog starts at its left
// margin, not outside the client area.
TEST_F(SkinMessageTest, ALongChineseMessageWrapsAndNoButtonStartsLeftOfTheClientArea) {
  headless::SetMonitors({{{0, 0, 800, 600}, {0, 0, 800, 560}, true}});
  std::string text;
  for (int i = 0; i < 60; ++i) text += "转换完成后文件保存在输出文件夹中。";
  for (bool chinese : {true, false}) {
    SCOPED_TRACE(chinese);
    std::string latin;
    for (int i = 0; i < 60; ++i) latin += "The conversion wrote the file. ";
    input.Then([&](TCustomForm& d) {
      auto* label = Find<TkxSkinStdLabel>(d, "Message");
      EXPECT_LE(d.Width(), 800);
      EXPECT_TRUE(label->WordWrap());
      EXPECT_LE(label->Left() + label->Width() + 40, d.ClientWidth());
      TBitmap b;
      b.Canvas()->Font()->Assign(msg.DefaultFont());
      const int32_t line = b.Canvas()->TextHeight("转A");
      EXPECT_GT(label->Height(), 3 * line) << "not wrapped onto several lines";
      EXPECT_LE(d.Height(), 600);
      input.Key(VK_RETURN);
    });
    EXPECT_EQ(msg.MessageDlg(chinese ? text : latin, mtInformation, {mbOK}, 0), mrOk);
  }
  // Twelve buttons need 950 pixels; the dialog can have at most 800.
  TMsgDlgButtons all;
  for (int k = mbYes; k <= mbClose; ++k) all.Include(TMsgDlgBtn(k));
  input.Then([&](TCustomForm& d) {
    const auto bs = Buttons(d);
    ASSERT_EQ(bs.size(), 12u);
    EXPECT_LE(d.Width(), 800);
    EXPECT_EQ(bs.front()->Left(), 10);
    input.Key(VK_RETURN);
  });
  EXPECT_EQ(msg.MessageDlg("Many", mtInformation, all, 0), mrOk);
}

// Help opens the help file with the desktop's handler and leaves the dialog open; without a
// file of its own it uses the application's, and with none it does nothing.
TEST_F(SkinMessageTest, HelpOpensTheHelpFileAndKeepsTheDialogOpen) {
  // Only a file that is there is handed to the desktop.
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "dialogs";
  fs::create_directories(dir);
  const std::string own = (dir / "help.html").string(), app = (dir / "app-help.html").string();
  for (const std::string& f : {own, app}) std::ofstream(f) << "<html></html>";
  for (const std::string& file : {own, std::string()}) {
    SCOPED_TRACE(file);
    headless::ResetShellRecorder();
    Application->SetHelpFile("");
    input.Then([&](TCustomForm& d) {
      EXPECT_EQ(static_cast<TkxMessageForm&>(d).HelpContext, 42);
      input.ClickCentre(Find<TkxSkinButton>(d, "Help"));
      EXPECT_EQ(d.ModalResult(), mrNone);
      EXPECT_TRUE(d.Visible());
      input.ClickCentre(Find<TkxSkinButton>(d, "OK"));
    });
    EXPECT_EQ(msg.MessageDlgHelp("Help?", mtConfirmation, {mbOK, mbHelp}, 42, file), mrOk);
    const auto launches = headless::Launches();
    if (file.empty()) {
      EXPECT_TRUE(launches.empty());
    } else {
      ASSERT_EQ(launches.size(), 1u);
      EXPECT_EQ(launches[0].back(), file);
    }
  }
  Application->SetHelpFile(app);
  input.Then([&](TCustomForm& d) {
    input.ClickCentre(Find<TkxSkinButton>(d, "Help"));
    input.ClickCentre(Find<TkxSkinButton>(d, "OK"));
  });
  msg.MessageDlg("Help?", mtConfirmation, {mbOK, mbHelp}, 1);
  ASSERT_FALSE(headless::Launches().empty());
  EXPECT_EQ(headless::Launches().back().back(), app);
  // A help file that is not there launches nothing, and the dialog stays open all the same.
  headless::ResetShellRecorder();
  input.Then([&](TCustomForm& d) {
    input.ClickCentre(Find<TkxSkinButton>(d, "Help"));
    EXPECT_TRUE(d.Visible());
    input.ClickCentre(Find<TkxSkinButton>(d, "OK"));
  });
  EXPECT_EQ(msg.MessageDlgHelp("Help?", mtConfirmation, {mbOK, mbHelp}, 1, (dir / "missing.html").string()), mrOk);
  EXPECT_TRUE(headless::Launches().empty());
  Application->SetHelpFile("");
}

// The dialogs as a person sees them, in the light and dark skins and the plain look, written to
// dialogs/message-*.png in the build folder: a "提示" box with Chinese text and the show-again
// box, and a warning with OK and Cancel.
TEST_F(SkinMessageTest, PicturesOfTheDialogs) {
  headless::SetMonitors({{{0, 0, 1000, 700}, {0, 0, 1000, 700}, true}});
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "dialogs";
  fs::create_directories(dir);
  for (int n : {-1, 0, 1}) {
    std::unique_ptr<TkxResourceStrData> strs;  // outlives the skin data that points at it
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
      ASSERT_FALSE(sd->Empty);
      strs = std::make_unique<TkxResourceStrData>(nullptr);
      sd->SetResourceStrData(strs.get());
    }
    msg.SetSkinData(sd.get());
    msg.SetCtrlSkinData(sd.get());
    const std::string look = n < 0 ? std::string("plain") : "kxSkin" + std::to_string(n);
    auto shoot = [&](const std::string& name) {
      return [&, name](TCustomForm& d) {
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
        const fs::path file = dir / ("message-" + name + "-" + look + ".png");
        png.SaveToFile(file.string());
        EXPECT_TRUE(fs::exists(file));
        input.Key(VK_RETURN);
      };
    };
    msg.ShowAgainFlag = true;
    msg.ShowAgainFlagValue = false;
    input.Then(shoot("tip"));
    msg.MessageDlg2("文件“视频.mp4”已经在任务列表中了。\n是否仍要再添加一次？", "提示", mtInformation, {mbYes, mbNo}, 0);
    msg.ShowAgainFlag = false;
    input.Then(shoot("warning"));
    msg.MessageDlg("The file /home/user/Videos/clip.mp4 already exists.\nDo you want to replace it?", mtWarning,
                   {mbOK, mbCancel}, 0);
    msg.SetSkinData(nullptr);
    msg.SetCtrlSkinData(nullptr);
  }
}

}  // namespace
