// The edit, the memo and the list box read from a form description.
#include <gtest/gtest.h>

#include "classlib/EditCtrls.h"
#include "classlib/ListBoxes.h"
#include "classlib/Streaming.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

class TEditForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("edtChange", this, &TEditForm1::edtChange);
    T.Field("edt", edt);
    T.Field("mmoLog", mmoLog);
    T.Field("ListBox1", ListBox1);
    T.Field("MaskEdit1", MaskEdit1);
  }
  void edtChange(TObject*) { ++Changes; }
  TEdit* edt = nullptr;
  TMemo* mmoLog = nullptr;
  TListBox* ListBox1 = nullptr;
  TMaskEdit* MaskEdit1 = nullptr;
  int Changes = 0;
};

const char* kForm =
    "object EditForm1: TEditForm1\n"
    "  BorderStyle = bsNone\n"
    "  ClientWidth = 400\n"
    "  ClientHeight = 300\n"
    "  object edt: TEdit\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 120\n"
    "    Height = 21\n"
    "    CharCase = ecUpperCase\n"
    "    MaxLength = 5\n"
    "    PasswordChar = '*'\n"
    "    Text = 'abc'\n"
    "    OnChange = edtChange\n"
    "  end\n"
    "  object mmoLog: TMemo\n"
    "    Left = 8\n"
    "    Top = 40\n"
    "    Width = 200\n"
    "    Height = 100\n"
    "    Lines.Strings = (\n"
    "      'first'\n"
    "      '第二')\n"
    "    ScrollBars = ssVertical\n"
    "    WordWrap = False\n"
    "    ReadOnly = True\n"
    "  end\n"
    "  object ListBox1: TListBox\n"
    "    Left = 220\n"
    "    Top = 8\n"
    "    Width = 150\n"
    "    Height = 120\n"
    "    Items.Strings = (\n"
    "      'pear'\n"
    "      'apple')\n"
    "    Sorted = True\n"
    "    MultiSelect = True\n"
    "    Style = lbOwnerDrawFixed\n"
    "    ItemHeight = 18\n"
    "    Columns = 2\n"
    "  end\n"
    "  object MaskEdit1: TMaskEdit\n"
    "    Left = 220\n"
    "    Top = 140\n"
    "    EditMask = '!99/99/00;1;_'\n"
    "  end\n"
    "end\n";

class FormReaderEdit : public ctltest::ControlTest {};

TEST_F(FormReaderEdit, ReadsEditMemoAndListBox) {
  auto* form = new TEditForm1(owner.get());
  ReadFormDescription(form, kForm, "edit.dfm");
  ASSERT_TRUE(form->edt && form->mmoLog && form->ListBox1 && form->MaskEdit1);

  EXPECT_EQ(form->edt->Text(), "ABC");
  EXPECT_EQ(form->edt->MaxLength(), 5);
  EXPECT_EQ(form->edt->PasswordChar(), uint32_t('*'));
  EXPECT_EQ(form->edt->CharCase(), ecUpperCase);
  form->edt->SetText("xyz");
  EXPECT_EQ(form->Changes, 1);

  EXPECT_EQ(form->mmoLog->Lines()->Count(), 2);
  EXPECT_EQ(form->mmoLog->Lines()->Get(1), "第二");
  EXPECT_EQ(form->mmoLog->ScrollBars(), ssVertical);
  EXPECT_FALSE(form->mmoLog->WordWrap());
  EXPECT_TRUE(form->mmoLog->ReadOnly());

  TListBox* lb = form->ListBox1;
  EXPECT_TRUE(lb->Sorted());
  EXPECT_TRUE(lb->MultiSelect());
  EXPECT_EQ(lb->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(lb->ItemHeight(), 18);
  EXPECT_EQ(lb->Columns(), 2);
  EXPECT_EQ(lb->Items()->Get(0), "apple");

  EXPECT_EQ(form->MaskEdit1->EditMask(), "!99/99/00;1;_");
}

}  // namespace
