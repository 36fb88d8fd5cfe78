// Controls and forms read from a description: placement inside the enclosing control, the
// control properties and events, and OnCreate after every component is loaded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Text.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "classlib/Streaming.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

class TCtlForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("FormCreate", this, &TCtlForm1::FormCreate);
    T.Add("HostClick", this, &TCtlForm1::HostClick);
    T.Field("Host", Host);
    T.Field("Inner", Inner);
  }
  void FormCreate(TObject*) {
    ++Creates;
    LoadingAtCreate = ComponentState().Contains(csLoading) || Inner->ComponentState().Contains(csLoading);
  }
  void HostClick(TObject* Sender) { Clicked = Sender; }

  TCustomControl* Host = nullptr;
  TWinControl* Inner = nullptr;
  int Creates = 0;
  bool LoadingAtCreate = true;
  TObject* Clicked = nullptr;
};

const char* kForm =
    "object CtlForm1: TCtlForm1\n"
    "  BorderStyle = bsNone\n"
    "  Caption = '主窗口'\n"
    "  ClientWidth = 300\n"
    "  ClientHeight = 200\n"
    "  Font.Name = 'Arial'\n"
    "  Font.Height = -14\n"
    "  Color = clBtnFace\n"
    "  KeyPreview = True\n"
    "  BorderIcons = [biSystemMenu, biMinimize]\n"
    "  ActiveControl = Inner\n"
    "  OnCreate = FormCreate\n"
    "  object Host: TCustomControl\n"
    "    Align = alTop\n"
    "    Height = 40\n"
    "    Constraints.MinHeight = 30\n"
    "    Cursor = crHandPoint\n"
    "    OnClick = HostClick\n"
    "    object Inner: TWinControl\n"
    "      Left = 5\n"
    "      Top = 6\n"
    "      Width = 50\n"
    "      Height = 20\n"
    "      Anchors = [akLeft, akTop, akRight]\n"
    "      TabOrder = 0\n"
    "    end\n"
    "  end\n"
    "end\n";

class FormReaderControls : public ctltest::ControlTest {};

TEST_F(FormReaderControls, ReadsAFormWithNestedControls) {
  auto* form = new TCtlForm1(owner.get());
  ReadFormDescription(form, kForm, "ctl.dfm");

  EXPECT_EQ(form->Caption(), "主窗口");
  // Without a border the client area is the whole window.
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->ClientHeight(), 200);
  EXPECT_EQ(form->Width(), 300);
  EXPECT_EQ(form->Height(), 200);
  EXPECT_EQ(form->Font()->Name(), "Arial");
  EXPECT_EQ(form->Color(), clBtnFace);
  EXPECT_EQ(form->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize}));
  ASSERT_NE(form->Host, nullptr);
  ASSERT_NE(form->Inner, nullptr);
  EXPECT_EQ(form->Host->Parent(), form);
  EXPECT_EQ(form->Inner->Parent(), form->Host);
  EXPECT_EQ(form->Inner->Owner(), form);
  EXPECT_EQ(form->Host->Align(), alTop);
  EXPECT_EQ(form->Host->Width(), form->ClientWidth());  // aligned to the top of the client area
  EXPECT_EQ(form->Host->Constraints()->MinHeight(), 30);
  EXPECT_EQ(form->Inner->Left(), 5);
  EXPECT_EQ(form->Inner->Anchors(), (TAnchors{akLeft, akTop, akRight}));
  EXPECT_EQ(form->ActiveControl(), form->Inner);

  // OnCreate ran once, after every component had finished loading.
  EXPECT_EQ(form->Creates, 1);
  EXPECT_FALSE(form->LoadingAtCreate);

  ASSERT_TRUE(form->Host->OnClick);
  form->Host->OnClick(form->Host);
  EXPECT_EQ(form->Clicked, form->Host);
}

TEST_F(FormReaderControls, ClientSizeHoldsWhateverTheBorderAndOrder) {
  struct Case {
    const char* props;
    bool frameless;
    bool windowFirst;  // the form's window exists before the read
  } cases[] = {
      {"  BorderStyle = bsNone\n  ClientWidth = 300\n  ClientHeight = 200\n", true, false},
      {"  ClientHeight = 200\n  ClientWidth = 300\n  BorderStyle = bsNone\n", true, false},
      {"  BorderStyle = bsSingle\n  ClientWidth = 300\n  ClientHeight = 200\n", false, false},
      {"  ClientHeight = 200\n  ClientWidth = 300\n", false, false},
      {"  BorderStyle = bsNone\n  ClientWidth = 300\n  ClientHeight = 200\n", true, true},
      {"  ClientHeight = 200\n  ClientWidth = 300\n", false, true},
  };
  for (const Case& c : cases) {
    auto* form = new TForm(owner.get());
    if (c.windowFirst) form->HandleNeeded();
    ReadFormDescription(form, std::string("object F: TForm\n") + c.props + "end\n", "size.dfm");
    EXPECT_EQ(form->ClientWidth(), 300) << c.props;
    EXPECT_EQ(form->ClientHeight(), 200) << c.props;
    if (c.frameless) {
      EXPECT_EQ(form->Width(), 300) << c.props;
      EXPECT_EQ(form->Height(), 200) << c.props;
    } else {
      EXPECT_GT(form->Width(), 300) << c.props;
      EXPECT_GT(form->Height(), 200) << c.props;
    }
    delete form;
  }
}

// A size no screen could show (found by fuzzing) reads without asking for gigabytes: the form's
// window is kept at a size the window layer can hold.
TEST_F(FormReaderControls, AHugeClientSizeGivesAWindowOfBoundedSize) {
  auto* form = new TForm(owner.get());
  ReadFormDescription(form, "object F: TForm\n  ClientWidth = 000000000595002193\n  ClientHeight = 100\nend\n",
                      "huge.dfm");
  form->HandleNeeded();
  win::RECT r;
  win::GetWindowRect(form->Handle(), &r);
  EXPECT_LE(r.right - r.left, std::max(4096, 2 * win::GetSystemMetrics(win::SM_CXVIRTUALSCREEN)));
  EXPECT_GT(r.right - r.left, 1000);
}

TEST_F(FormReaderControls, BadControlPropertyCreatesNothing) {
  auto* form = new TCtlForm1(owner.get());
  std::string text = kForm;
  text.replace(text.find("Align = alTop"), 13, "Align = alMiddle");
  try {
    ReadFormDescription(form, text, "ctl.dfm");
    FAIL() << "no error";
  } catch (const EFormError& e) {
    EXPECT_EQ(e.Line, 14);
    EXPECT_EQ(e.Property, "Align");
  }
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_EQ(form->Host, nullptr);
  EXPECT_EQ(form->Creates, 0);
}

}  // namespace

namespace {

// A BMP file image, as a picture's data holds it after the class name.
std::string BmpFile(int w, int h, TColor color) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Canvas()->SetPixels(x, y, color);
  TMemoryStream s;
  b.SaveToStream(s);
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

std::string HexBytes(const std::string& bytes) {
  std::string s;
  for (unsigned char c : bytes) s += IntToHex(c, 2);
  return s;
}

class TStdForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("FormCreate", this, &TStdForm1::FormCreate);
    T.Add("Clicked", this, &TStdForm1::Clicked);
    T.Add("TimerTick", this, &TStdForm1::TimerTick);
    T.Field("Panel1", Panel1);
    T.Field("Label1", Label1);
    T.Field("Button1", Button1);
    T.Field("Bevel1", Bevel1);
    T.Field("Image1", Image1);
    T.Field("GroupBox1", GroupBox1);
    T.Field("CheckBox1", CheckBox1);
    T.Field("CheckBox2", CheckBox2);
    T.Field("Radio1", Radio1);
    T.Field("Radio2", Radio2);
    T.Field("Timer1", Timer1);
  }
  void FormCreate(TObject*) { ++Creates; }
  void Clicked(TObject* Sender) { Clicks.push_back(dynamic_cast<TComponent*>(Sender)->Name()); }
  void TimerTick(TObject*) { ++Ticks; }

  TPanel* Panel1 = nullptr;
  TLabel* Label1 = nullptr;
  TButton* Button1 = nullptr;
  TBevel* Bevel1 = nullptr;
  TImage* Image1 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TCheckBox* CheckBox1 = nullptr;
  TCheckBox* CheckBox2 = nullptr;
  TRadioButton* Radio1 = nullptr;
  TRadioButton* Radio2 = nullptr;
  TTimer* Timer1 = nullptr;
  int Creates = 0, Ticks = 0;
  std::vector<std::string> Clicks;
};

std::vector<std::string> StdFormLines() {
  return {
      "object StdForm1: TStdForm1",
      "  BorderStyle = bsNone",
      "  ClientWidth = 400",
      "  ClientHeight = 300",
      "  OnCreate = FormCreate",
      "  object Panel1: TPanel",
      "    Height = 150",
      "    Align = alTop",
      "    Alignment = taLeftJustify",
      "    BevelInner = bvLowered",
      "    BevelOuter = bvNone",
      "    BevelWidth = 2",
      "    BorderWidth = 3",
      "    BorderStyle = bsSingle",
      "    Caption = '面板'",
      "    OnClick = Clicked",
      "    object Label1: TLabel",
      "      Left = 8",
      "      Top = 8",
      "      Width = 60",
      "      Height = 20",
      "      AutoSize = False",
      "      Caption = '&Name'",
      "      Alignment = taRightJustify",
      "      Layout = tlCenter",
      "      WordWrap = True",
      "      Transparent = True",
      "      ShowAccelChar = False",
      "      FocusControl = CheckBox1",
      "      OnClick = Clicked",
      "    end",
      "    object Button1: TButton",
      "      Left = 80",
      "      Top = 8",
      "      Caption = 'OK'",
      "      Default = True",
      "      Cancel = True",
      "      ModalResult = 1",
      "      TabOrder = 0",
      "      OnClick = Clicked",
      "    end",
      "    object Bevel1: TBevel",
      "      Left = 8",
      "      Top = 40",
      "      Shape = bsTopLine",
      "      Style = bsRaised",
      "    end",
      "    object Image1: TImage",
      "      Left = 8",
      "      Top = 60",
      "      Picture.Data = {" + HexBytes(std::string("\x07TBitmap") + BmpFile(3, 2, clRed)) + "}",
      "      Stretch = True",
      "      Center = True",
      "      Proportional = True",
      "      Transparent = True",
      "    end",
      "  end",
      "  object GroupBox1: TGroupBox",
      "    Align = alClient",
      "    Caption = 'Options'",
      "    object CheckBox1: TCheckBox",
      "      Left = 10",
      "      Top = 20",
      "      OnClick = Clicked",
      "      AllowGrayed = True",
      "      State = cbGrayed",
      "      Alignment = taLeftJustify",
      "    end",
      "    object CheckBox2: TCheckBox",
      "      Left = 10",
      "      Top = 40",
      "      Checked = True",
      "    end",
      "    object Radio1: TRadioButton",
      "      Left = 10",
      "      Top = 60",
      "      Checked = True",
      "      Alignment = taLeftJustify",
      "    end",
      "    object Radio2: TRadioButton",
      "      Left = 10",
      "      Top = 80",
      "      Checked = True",
      "      OnClick = Clicked",
      "    end",
      "  end",
      "  object Timer1: TTimer",
      "    Interval = 250",
      "    OnTimer = TimerTick",
      "  end",
      "end",
  };
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\n";
  return s;
}

TEST_F(FormReaderControls, ReadsEveryStandardControlWithItsPropertiesAndEvents) {
  auto* form = new TStdForm1(owner.get());
  ReadFormDescription(form, JoinLines(StdFormLines()), "std.dfm");
  ASSERT_EQ(form->Creates, 1);

  // Nesting: the panel and the group box hold their blocks' controls; the form owns them all.
  ASSERT_TRUE(form->Panel1 && form->Label1 && form->Button1 && form->Bevel1 && form->Image1);
  ASSERT_TRUE(form->GroupBox1 && form->CheckBox1 && form->CheckBox2 && form->Radio1 && form->Radio2);
  ASSERT_NE(form->Timer1, nullptr);
  for (TControl* c : {static_cast<TControl*>(form->Label1), static_cast<TControl*>(form->Button1),
                      static_cast<TControl*>(form->Bevel1), static_cast<TControl*>(form->Image1)})
    EXPECT_EQ(c->Parent(), form->Panel1) << c->Name();
  for (TControl* c : {static_cast<TControl*>(form->CheckBox1), static_cast<TControl*>(form->CheckBox2),
                      static_cast<TControl*>(form->Radio1), static_cast<TControl*>(form->Radio2)})
    EXPECT_EQ(c->Parent(), form->GroupBox1) << c->Name();
  EXPECT_EQ(form->Panel1->Parent(), form);
  EXPECT_EQ(form->GroupBox1->Parent(), form);
  EXPECT_EQ(form->Timer1->Owner(), form);

  // Panel.
  TPanel* p = form->Panel1;
  EXPECT_EQ(p->BoundsRect(), (TRect{0, 0, 400, 150}));
  EXPECT_EQ(p->Alignment(), taLeftJustify);
  EXPECT_EQ(p->BevelInner(), bvLowered);
  EXPECT_EQ(p->BevelOuter(), bvNone);
  EXPECT_EQ(p->BevelWidth(), 2);
  EXPECT_EQ(p->BorderWidth(), 3);
  EXPECT_EQ(p->BorderStyle(), bsSingle);
  EXPECT_EQ(p->Caption(), "面板");
  EXPECT_EQ(form->GroupBox1->BoundsRect(), (TRect{0, 150, 400, 300}));
  EXPECT_EQ(form->GroupBox1->Caption(), "Options");

  // Label, with its focus control read before that control existed.
  TLabel* l = form->Label1;
  EXPECT_FALSE(l->AutoSize());
  EXPECT_EQ(l->BoundsRect(), (TRect{8, 8, 68, 28}));
  EXPECT_EQ(l->Caption(), "&Name");
  EXPECT_EQ(l->Alignment(), taRightJustify);
  EXPECT_EQ(l->Layout(), tlCenter);
  EXPECT_TRUE(l->WordWrap());
  EXPECT_TRUE(l->Transparent());
  EXPECT_FALSE(l->ShowAccelChar());
  EXPECT_EQ(l->FocusControl(), form->CheckBox1);

  // Button.
  TButton* b = form->Button1;
  EXPECT_TRUE(b->Default());
  EXPECT_TRUE(b->Cancel());
  EXPECT_EQ(b->ModalResult(), mrOk);
  EXPECT_EQ(b->Caption(), "OK");

  // Bevel and image.
  EXPECT_EQ(form->Bevel1->Shape(), bsTopLine);
  EXPECT_EQ(form->Bevel1->Style(), bsRaised);
  TImage* im = form->Image1;
  auto* bmp = dynamic_cast<TBitmap*>(im->Picture()->Graphic());
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Width(), 3);
  EXPECT_EQ(bmp->Height(), 2);
  EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), clRed);
  EXPECT_TRUE(im->Stretch());
  EXPECT_TRUE(im->Center());
  EXPECT_TRUE(im->Proportional());
  EXPECT_TRUE(im->Transparent());

  // Check boxes and radio buttons: the later checked radio button of a group wins.
  EXPECT_TRUE(form->CheckBox1->AllowGrayed());
  EXPECT_EQ(form->CheckBox1->State(), cbGrayed);
  EXPECT_EQ(form->CheckBox1->Alignment(), taLeftJustify);
  EXPECT_TRUE(form->CheckBox2->Checked());
  EXPECT_FALSE(form->Radio1->Checked());
  EXPECT_EQ(form->Radio1->Alignment(), taLeftJustify);
  EXPECT_TRUE(form->Radio2->Checked());

  // States read while loading clicked nothing; the events are bound.
  EXPECT_TRUE(form->Clicks.empty());
  form->Panel1->Click();
  form->Label1->Click();
  form->Button1->Click();
  form->CheckBox1->SetState(cbUnchecked);
  form->Radio1->SetChecked(true);  // unbound: no entry
  form->Radio2->SetChecked(true);
  EXPECT_EQ(form->Clicks, (std::vector<std::string>{"Panel1", "Label1", "Button1", "CheckBox1", "Radio2"}));
  EXPECT_EQ(form->ModalResult(), mrOk);  // the button's click set it

  // The timer runs with the interval and handler read.
  EXPECT_EQ(form->Timer1->Interval(), 250u);
  EXPECT_TRUE(form->Timer1->Enabled());
  clock.Advance(249);
  Pump();
  EXPECT_EQ(form->Ticks, 0);
  clock.Advance(1);
  Pump();
  EXPECT_EQ(form->Ticks, 1);
}

TEST_F(FormReaderControls, BadStandardControlInputNamesItsPlaceAndCreatesNothing) {
  struct Case {
    std::string line;         // the line of the description to replace
    std::string replacement;  // what goes there instead
    std::string property;     // the property the error names ("" for none)
  } cases[] = {
      {"      Shape = bsTopLine", "      Shap = bsTopLine", "Shap"},
      {"      Layout = tlCenter", "      Layout = tlMiddle", "Layout"},
      {"    BevelOuter = bvNone", "    BevelOuter = bvDeep", "BevelOuter"},
      {"    BorderStyle = bsSingle", "    BorderStyle = bsSizeable", "BorderStyle"},
      {"    BevelWidth = 2", "    BevelWidth = 0", "BevelWidth"},
      {"    BorderWidth = 3", "    BorderWidth = -1", "BorderWidth"},
      {"      State = cbGrayed", "      State = cbMaybe", "State"},
      {"      Alignment = taLeftJustify", "      Alignment = taCenter", "Alignment"},  // a check box
      {"      Style = bsRaised", "      Style = bsLowered3D", "Style"},
      {"      ModalResult = 1", "      ModalResult = mrPerhaps", "ModalResult"},
      {"      Default = True", "      Default = 7", "Default"},
      {"      Stretch = True", "      Stretch = 'yes'", "Stretch"},
      {"    Interval = 250", "    Interval = -1", "Interval"},
      {"    OnTimer = TimerTick", "    OnTimer = NoSuchHandler", "OnTimer"},
      {"      FocusControl = CheckBox1", "      FocusControl = Timer1", "FocusControl"},  // not a control
      {"      FocusControl = CheckBox1", "      FocusControl = Bevel1", "FocusControl"},  // not windowed
      {"      FocusControl = CheckBox1", "      FocusControl = Nowhere", "FocusControl"},
      {"      Center = True", "      Picture.Data = {0754426974}", "Picture.Data"},
      {"    object Radio1: TRadioButton", "    object Radio1: TRadioBox", ""},
  };
  for (const Case& c : cases) {
    auto lines = StdFormLines();
    auto it = std::find(lines.begin(), lines.end(), c.line);
    ASSERT_NE(it, lines.end()) << c.line;
    int line = int(it - lines.begin()) + 1;
    *it = c.replacement;
    auto* form = new TStdForm1(owner.get());
    try {
      ReadFormDescription(form, JoinLines(lines), "std.dfm");
      ADD_FAILURE() << "no error for " << c.replacement;
    } catch (const EFormError& e) {
      EXPECT_EQ(e.FileName, "std.dfm") << c.replacement;
      EXPECT_EQ(e.Line, line) << c.replacement << ": " << e.what();
      EXPECT_EQ(e.Property, c.property) << c.replacement << ": " << e.what();
      std::string what = e.what();
      EXPECT_NE(what.find("std.dfm:" + std::to_string(line) + ":"), std::string::npos) << what;
    }
    EXPECT_EQ(form->ComponentCount(), 0) << c.replacement;
    EXPECT_EQ(form->ControlCount(), 0) << c.replacement;
    EXPECT_EQ(form->Panel1, nullptr) << c.replacement;
    EXPECT_EQ(form->Timer1, nullptr) << c.replacement;
    EXPECT_EQ(form->Creates, 0) << c.replacement;
    delete form;
  }
  // A timer a failed read made went with it (a running one would call into a freed form).
  clock.Advance(1000);
  Pump();
}

}  // namespace

namespace {

// The .ico file image of the built-in 32x32 application icon.
std::string AppIconFile() {
  TIcon icon;
  icon.SetHandle(win::CopyIcon(win::LoadIcon(nullptr, win::IDI_APPLICATION)));
  TMemoryStream s;
  icon.SaveToStream(s);
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

TEST_F(FormReaderControls, FormIconIsReadFromItsIcoFileImage) {
  struct Case {
    std::string data;
    int width;  // -1: the read fails on the icon's line
  } cases[] = {
      {HexBytes(AppIconFile()), 32},
      {"", 0},                       // no icon
      {"0000010001002020", -1},      // a directory that ends early
      {HexBytes("\x07TBitmap"), -1},  // not an icon file
  };
  for (const Case& c : cases) {
    std::string text = "object F: TForm\n"
                       "  Caption = 'x'\n"
                       "  Icon.Data = {" + c.data + "}\n"
                       "  object P: TPanel\n"
                       "  end\n"
                       "end\n";
    auto* form = new TForm(owner.get());
    if (c.width < 0) {
      try {
        ReadFormDescription(form, text, "icon.dfm");
        ADD_FAILURE() << "no error for " << c.data;
      } catch (const EFormError& e) {
        EXPECT_EQ(e.Line, 3) << c.data;
        EXPECT_EQ(e.Property, "Icon.Data") << c.data;
      }
      EXPECT_EQ(form->ComponentCount(), 0) << c.data;
      EXPECT_TRUE(form->Icon()->Empty()) << c.data;
    } else {
      ReadFormDescription(form, text, "icon.dfm");
      EXPECT_EQ(form->Icon()->Empty(), c.width == 0) << c.data;
      EXPECT_EQ(form->Icon()->Width(), c.width) << c.data;
      EXPECT_EQ(form->Icon()->Height(), c.width) << c.data;
      if (c.width) {
        EXPECT_NE(form->Icon()->Handle(), nullptr);
      }
    }
    delete form;
  }
}

TEST_F(FormReaderControls, AnImageCanHoldAnIcon) {
  auto* form = new TForm(owner.get());
  ReadFormDescription(form,
                      "object F: TForm\n"
                      "  object I: TImage\n"
                      "    Picture.Data = {" + HexBytes("\x05TIcon" + AppIconFile()) + "}\n"
                      "  end\n"
                      "end\n",
                      "image.dfm");
  auto* image = dynamic_cast<TImage*>(form->FindComponent("I"));
  ASSERT_NE(image, nullptr);
  auto* icon = dynamic_cast<TIcon*>(image->Picture()->Graphic());
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->Width(), 32);
  EXPECT_NE(icon->Handle(), nullptr);
}

}  // namespace
