// The skin data component among forms: the change messages, their order and the states the
// receivers see, the skin list and index, and a main window's description that carries skins.
#include <gtest/gtest.h>

#include "classlib/Streaming.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/skin/kxSkinStore.h"
#include "lib/skin/kxzlibcompress.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinTestUtil.h"

namespace skintest {

struct Heard {
  std::string Form;
  uint32_t Msg;
  bool Empty, Changing;
};
inline std::vector<Heard>& Log() {
  static std::vector<Heard> l;
  return l;
}

class LogForm : public TForm {
public:
  explicit LogForm(TComponent* AOwner) : TForm(AOwner) {}
  std::function<void(uint32_t)> OnSkinMessage;
  void Dispatch(TMessage& M) override {
    if (M.Msg >= KXM_BEFORECHANGESKINDATA && M.Msg <= KXM_LAYEREDBORDERSCHANGED && M.LParam == 1000) {
      auto* d = reinterpret_cast<TkxSkinData*>(M.WParam);
      Log().push_back({Name(), uint32_t(M.Msg), d->Empty, d->ChangeSkinDataProcess});
      if (OnSkinMessage) OnSkinMessage(uint32_t(M.Msg));
    }
    TForm::Dispatch(M);
  }
};

// The class of the layered border windows, which the skin data never tells.
class TkxFormLayerWindow : public LogForm {
public:
  using LogForm::LogForm;
};

class SkinMessages : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    Log().clear();
    a = Form<LogForm>("FormA");
    layer = Form<TkxFormLayerWindow>("Layer");
    b = Form<LogForm>("FormB");
    folder = WriteSkinFolder();
  }
  template <typename T>
  T* Form(const std::string& Name) {
    auto* f = new T(owner.get());
    f->SetName(Name);
    return f;
  }
  std::vector<std::string> Order(uint32_t Msg) {
    std::vector<std::string> o;
    for (const Heard& h : Log())
      if (h.Msg == Msg) o.push_back(h.Form);
    return o;
  }
  LogForm *a, *b;
  TkxFormLayerWindow* layer;
  std::string folder;
};

TEST_F(SkinMessages, ALoadTellsEveryFormInOrderWithItsStates) {
  // Owned by form B, layered borders off: B hears first and only once; the layer window never.
  auto* data = new TkxSkinData(b);
  data->SetShowLayeredBorders(false);
  Log().clear();
  data->LoadFromFile(folder + "skin.ini");
  ASSERT_EQ(Log().size(), 6u);  // two forms, three messages
  for (uint32_t m : {KXM_BEFORECHANGESKINDATA, KXM_CHANGESKINDATA, KXM_AFTERCHANGESKINDATA})
    EXPECT_EQ(Order(m), (std::vector<std::string>{"FormB", "FormA"})) << m;
  EXPECT_EQ(Log()[0].Msg, KXM_BEFORECHANGESKINDATA);
  EXPECT_EQ(Log()[2].Msg, KXM_CHANGESKINDATA);
  EXPECT_EQ(Log()[4].Msg, KXM_AFTERCHANGESKINDATA);
  for (const Heard& h : Log()) {
    const bool wantEmpty = h.Msg == KXM_BEFORECHANGESKINDATA, wantChanging = h.Msg != KXM_AFTERCHANGESKINDATA;
    EXPECT_EQ(h.Empty, wantEmpty) << h.Msg;
    EXPECT_EQ(h.Changing, wantChanging) << h.Msg;
  }
  // A load that fails says nothing at all.
  Log().clear();
  const std::string broken = WriteSkinFolder("坏");
  std::filesystem::remove(std::filesystem::u8path(broken + "controls.bmp"));
  EXPECT_THROW(data->LoadFromFile(broken + "skin.ini"), EkxSkinError);
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(data->Empty);
  // Clearing tells everyone too.
  data->ClearSkin();
  EXPECT_EQ(Log().size(), 6u);
  EXPECT_TRUE(Log().back().Empty);
}

TEST_F(SkinMessages, LayeredBordersAndReverseOrder) {
  auto* data = new TkxSkinData(b);  // ShowLayeredBorders is on at creation
  Log().clear();
  data->SetShowLayeredBorders(true);
  EXPECT_TRUE(Log().empty());
  data->SetShowLayeredBorders(false);
  EXPECT_EQ(Order(KXM_LAYEREDBORDERSCHANGED), (std::vector<std::string>{"FormB", "FormA"}));
  data->SetShowLayeredBorders(true);
  // Without a layered frame in the skin: the screen's order, the owner at its place.
  Log().clear();
  data->LoadFromFile(folder + "skin.ini");
  EXPECT_EQ(Order(KXM_CHANGESKINDATA), (std::vector<std::string>{"FormA", "FormB"}));
  // With one: the reverse.
  const std::string layered = WriteSkinFolder("层", SkinText("层") + "[LAYERFRAME]\r\npictureindex=0\r\n");
  data->LoadFromFile(layered + "skin.ini");
  Log().clear();
  data->SetSkinnableForm(false);
  EXPECT_EQ(Order(KXM_SKINNABLEFORMCHANGED), (std::vector<std::string>{"FormB", "FormA"}));
  Log().clear();
  data->SetResourceStrData(nullptr);  // announced even for nil
  EXPECT_EQ(Order(KXM_RESOURCESTRCHANGED).size(), 2u);
}

TEST_F(SkinMessages, AFormDestroyedDuringTheBroadcastIsSkipped) {
  TkxSkinData data(nullptr);
  a->OnSkinMessage = [&](uint32_t m) {
    if (m == KXM_BEFORECHANGESKINDATA && b) {
      delete b;
      b = nullptr;
    }
  };
  data.LoadFromFile(folder + "skin.ini");
  EXPECT_EQ(Order(KXM_AFTERCHANGESKINDATA), (std::vector<std::string>{"FormA"}));
  EXPECT_FALSE(data.Empty);
}

TEST_F(SkinMessages, SkinListAndIndex) {
  auto* list = new TkxCompressedSkinList(owner.get());
  for (const char* name : {"零", "一", "二"}) {
    auto* item = list->Skins()->Add();
    item->SetDescription(name);
    item->Skin()->LoadFromIniFile(WriteSkinFolder(name) + "skin.ini");
  }
  TkxSkinData data(nullptr);
  data.SetSkinIndex(5);  // no list: stored as it is
  EXPECT_EQ(data.SkinIndex(), 5);
  data.SetSkinList(list);
  EXPECT_TRUE(data.Empty);  // 5 is outside the list
  data.SetSkinIndex(2);
  EXPECT_EQ(data.SkinName, "二");
  Log().clear();
  data.SetSkinIndex(3);  // outside the list: ignored
  data.SetSkinIndex(2);  // unchanged: nothing
  EXPECT_EQ(data.SkinIndex(), 2);
  EXPECT_TRUE(Log().empty());
  // An item whose stored skin is damaged: refused, the index and the skin stay.
  TMemoryStream bad;
  const char junk[] = "\x03\0\0\0\x04\0\0\0\x78\xDA\x01\x02";
  bad.WriteBuffer(junk, 12);
  list->Skins()->GetItem(1)->Skin()->LoadFromCompressStream(bad);
  EXPECT_THROW(data.SetSkinIndex(1), EZlibError);
  EXPECT_EQ(data.SkinIndex(), 2);
  EXPECT_EQ(data.SkinName, "二");
  // Freeing the list clears the reference.
  delete list;
  EXPECT_EQ(data.SkinList(), nullptr);
}

std::string Hex(const std::string& B) {
  static const char* d = "0123456789ABCDEF";
  std::string h;
  for (unsigned char c : B) {
    h += d[c >> 4];
    h += d[c & 15];
  }
  return h;
}

TEST_F(SkinMessages, AMainWindowDescriptionCarriesItsSkins) {
  RegisterSkinDataFormClasses();
  std::string records[2];
  const char* names[2] = {"经典", "银色"};
  for (int i = 0; i < 2; ++i) {
    TkxCompressedStoredSkin s(nullptr);
    s.LoadFromIniFile(WriteSkinFolder(names[i]) + "skin.ini");
    TMemoryStream r;
    s.SaveToCompressStream(r);
    records[i] = Bytes(r);
  }
  const std::string text =
      "object Main: TForm\n"
      "  object kxSkinData1: TkxSkinData\n"
      "    ShowLayeredBorders = False\n"
      "    SkinIndex = 1\n"
      "    SkinList = kxCompressedSkinList1\n"
      "    ResourceStrData = kxResourceStrData1\n"
      "  end\n"
      "  object kxCompressedSkinList1: TkxCompressedSkinList\n"
      "    Skins = <\n"
      "      item\n"
      "        Description = '" + std::string(names[0]) + "'\n"
      "        Skin = {" + Hex(records[0]) + "}\n"
      "      end\n"
      "      item\n"
      "        Description = '" + std::string(names[1]) + "'\n"
      "        Name = 'kxSkin1'\n"
      "        Skin = {" + Hex(records[1]) + "}\n"
      "      end>\n"
      "  end\n"
      "  object kxSkinData2: TkxSkinData\n"
      "    CompressedStoredSkin = kxCompressedStoredSkin1\n"
      "  end\n"
      "  object kxCompressedStoredSkin1: TkxCompressedStoredSkin\n"
      "    Description = '单独'\n"
      "    CompressedData = {" + Hex(records[0].substr(8)) + "}\n"
      "  end\n"
      "  object kxResourceStrData1: TkxResourceStrData\n"
      "    CharSet = DEFAULT_CHARSET\n"
      "  end\n"
      "end\n";
  auto* form = new LogForm(owner.get());
  Log().clear();
  ReadFormDescription(form, text, "main.dfm");
  auto* data = dynamic_cast<TkxSkinData*>(form->FindComponent("kxSkinData1"));
  ASSERT_NE(data, nullptr);
  EXPECT_FALSE(data->ShowLayeredBorders());
  EXPECT_EQ(data->SkinIndex(), 1);
  EXPECT_FALSE(data->Empty);
  EXPECT_EQ(data->SkinName, "银色");
  ASSERT_NE(data->SkinList(), nullptr);
  EXPECT_EQ(data->SkinList()->Skins()->GetItem(0)->Name(), "kxSkin0");
  EXPECT_EQ(data->SkinList()->Skins()->GetItem(1)->Description(), "银色");
  ASSERT_NE(data->ResourceStrData(), nullptr);
  EXPECT_EQ(data->ResourceStrData()->GetResStr("CLOSEBUTTON_HINT"), "Close");
  EXPECT_FALSE(Order(KXM_RESOURCESTRCHANGED).empty());
  auto* single = dynamic_cast<TkxSkinData*>(form->FindComponent("kxSkinData2"));
  ASSERT_NE(single, nullptr);
  EXPECT_EQ(single->SkinName, "经典");
  ASSERT_NE(single->CompressedStoredSkin(), nullptr);
  EXPECT_EQ(single->CompressedStoredSkin()->Description(), "单独");
  EXPECT_FALSE(Order(KXM_AFTERCHANGESKINDATA).empty());
}

TEST(ResourceStrings, LookupsAndReplacement) {
  TkxResourceStrData r(nullptr);
  EXPECT_EQ(r.ResStrings()->Count(), 131);
  EXPECT_EQ(r.CharSet(), 1);
  EXPECT_EQ(r.GetResStr("mi_mincaption"), "Mi&nimize");
  EXPECT_EQ(r.GetResStr("FLV_LOOKIN"), "Look in: ");
  EXPECT_EQ(r.GetResStr("FIND_REPLACE_ALL"), "Replace All");
  EXPECT_EQ(r.GetResStr("PRNDLG_WARNING"), "There are no printers in your system!");
  EXPECT_EQ(r.GetResStr("NO_SUCH_NAME"), "");
  TStringList three;
  three.Add("MSG_BTN_OK=确定");
  three.Add("msg_btn_ok=second");
  three.Add("FORMULA=a=b");
  three.Add("EMPTY=");
  three.Add("NOEQUALS");
  r.SetResStrings(&three);
  EXPECT_EQ(r.ResStrings()->Count(), 5);
  EXPECT_EQ(r.GetResStr("MSG_BTN_OK"), "确定");
  EXPECT_EQ(r.GetResStr("formula"), "a=b");
  EXPECT_EQ(r.GetResStr("EMPTY"), "");
  EXPECT_EQ(r.GetResStr("NOEQUALS"), "");
  EXPECT_EQ(r.GetResStr(""), "");
  EXPECT_EQ(r.GetResStr("MSG_BTN_CANCEL"), "");
}

}  // namespace skintest
