// Controls and forms read from a description: placement inside the enclosing control, the
// control properties and events, and OnCreate after every component is loaded.
#include <gtest/gtest.h>

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
  } cases[] = {
      {"  BorderStyle = bsNone\n  ClientWidth = 300\n  ClientHeight = 200\n", true},
      {"  ClientHeight = 200\n  ClientWidth = 300\n  BorderStyle = bsNone\n", true},
      {"  BorderStyle = bsSingle\n  ClientWidth = 300\n  ClientHeight = 200\n", false},
      {"  ClientHeight = 200\n  ClientWidth = 300\n", false},
  };
  for (const Case& c : cases) {
    auto* form = new TForm(owner.get());
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
