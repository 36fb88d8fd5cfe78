// Reading forms from descriptions: creation, properties, events, references, the Loaded order,
// and bad input that must leave nothing behind.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "classlib/Streaming.h"

namespace {

enum TTstAlign { taNone, taTop, taClient };
enum TTstOption { toOne, toTwo, toThree };
using TValueEvent = std::function<void(TObject*, int)>;

struct LoadRecord {
  std::string Name;
  bool Loading;
  bool Reading;
  bool BuddySet;
};
std::vector<LoadRecord> gLoadLog;
int gLive = 0;

class TTstFont : public TPersistent {
public:
  std::string Name;
  int Size = 8;
};

class TTstItem : public TCollectionItem {
public:
  explicit TTstItem(const TItemSlot& Collection) : TCollectionItem(Collection) {}
  std::string Caption;
  int Value = 0;
  TComponent* Link = nullptr;
};

class TTstBox : public TComponent {
public:
  explicit TTstBox(TComponent* AOwner) : TComponent(AOwner), Items(CollectionItemClassOf<TTstItem>(), this) { ++gLive; }
  ~TTstBox() override {
    SetParentBox(nullptr);
    for (TTstBox* k : Kids) k->ParentBox = nullptr;
    --gLive;
  }
  void SetParentBox(TTstBox* P) {
    if (ParentBox) std::erase(ParentBox->Kids, this);
    ParentBox = P;
    if (P) P->Kids.push_back(this);
  }
  void SetBuddy(TTstBox* B) {
    Buddy = B;
    if (B) B->FreeNotification(this);
  }
  void SetSkinList(TTstBox* L) {
    SkinList = L;
    LoadedSkin = SkinIndex;  // the list loads the entry chosen by SkinIndex
  }
  void Loaded() override {
    gLoadLog.push_back({Name(), ComponentState().Contains(csLoading), ComponentState().Contains(csReading), Buddy != nullptr});
    if (FailInLoaded) throw Exception("cannot finish loading");
    TComponent::Loaded();
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == Buddy) Buddy = nullptr;
    if (AComponent == SkinList) SkinList = nullptr;
  }

  TTstBox* ParentBox = nullptr;
  std::vector<TTstBox*> Kids;
  int Left = 0;
  std::string Caption;
  bool Visible = true;
  TTstAlign Align = taNone;
  TSet<TTstOption> Options;
  double Ratio = 0;
  TStringList Lines;
  TCollection Items;
  TTstFont Font;
  TTstBox* Buddy = nullptr;
  TTstBox* SkinList = nullptr;
  int SkinIndex = -1;
  int LoadedSkin = -2;
  bool FailInLoaded = false;
  TNotifyEvent OnClick;
  TValueEvent OnValue;
  std::string Data;
};

class TTstOther : public TComponent {
public:
  using TComponent::TComponent;
};

class TTstForm : public TTstBox, public IFormBindings {
public:
  using TTstBox::TTstBox;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("BoxClick", this, &TTstForm::BoxClick);
    T.Add<TValueEvent>("ValueChanged", [this](TObject*, int v) { LastValue = v; });
    T.Field("Panel", Panel);
    T.Field("Box1", Box1);
    T.Field("Box2", Box2);
  }
  void BoxClick(TObject* Sender) { Clicks.push_back(Sender); }

  TTstBox* Panel = nullptr;
  TTstBox* Box1 = nullptr;
  TTstBox* Box2 = nullptr;
  std::vector<TObject*> Clicks;
  int LastValue = 0;
  size_t CreatedWithLoadLog = 0;  // what the after-read step saw
  int CreatedWithPending = -1;
};

// A form whose class makes one component itself; its description changes it with "inherited".
class TTstInheritedForm : public TTstForm {
public:
  explicit TTstInheritedForm(TComponent* AOwner) : TTstForm(AOwner) {
    auto* b = new TTstBox(this);
    b->SetName("Box1");
  }
};

void RegisterTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TTstFont, TPersistent>("TTstFont").String("Name", &TTstFont::Name).Integer("Size", &TTstFont::Size);
  RegisterFormClass<TTstItem, TCollectionItem>("TTstItem")
      .String("Caption", &TTstItem::Caption)
      .Integer("Value", &TTstItem::Value)
      .Reference<TComponent>("Link", &TTstItem::Link);
  RegisterFormClass<TTstBox, TComponent>("TTstBox")
      .Integer("Left", &TTstBox::Left)
      .String("Caption", &TTstBox::Caption)
      .Boolean("Visible", &TTstBox::Visible)
      .Enum<TTstAlign>("Align", &TTstBox::Align, {{"taNone", taNone}, {"taTop", taTop}, {"taClient", taClient}})
      .Set<TTstOption>("Options", &TTstBox::Options, {{"toOne", toOne}, {"toTwo", toTwo}, {"toThree", toThree}})
      .Float("Ratio", &TTstBox::Ratio)
      .Strings("Lines", [](TTstBox* b) { return &b->Lines; })
      .Collection("Items", [](TTstBox* b) { return &b->Items; })
      .Object("Font", [](TTstBox* b) { return &b->Font; })
      .Reference<TTstBox>("Buddy", &TTstBox::SetBuddy)
      .Integer("SkinIndex", &TTstBox::SkinIndex)
      .Reference<TTstBox>("SkinList", &TTstBox::SetSkinList)
      .Event<TNotifyEvent>("OnClick", &TTstBox::OnClick)
      .Event<TValueEvent>("OnValue", &TTstBox::OnValue)
      .Binary("Data",
              [](TTstBox* b, TStream& s) {
                b->Data.resize(static_cast<size_t>(s.Size()));
                s.ReadBuffer(b->Data.data(), s.Size());
              })
      .Boolean("FailInLoaded", &TTstBox::FailInLoaded)
      .PlaceInside([](TTstBox* b, TComponent* container) {
        if (auto* p = dynamic_cast<TTstBox*>(container)) b->SetParentBox(p);
      });
  RegisterFormClass<TTstForm, TTstBox>("TTstForm").AfterRead([](TTstForm* f) {
    f->CreatedWithLoadLog = gLoadLog.size();
    f->CreatedWithPending = PendingFormReferenceCount();
  });
  RegisterFormClass<TTstOther, TComponent>("TTstOther");
}

class FormReader : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterTestClasses();
    gLoadLog.clear();
    gLive = 0;
    pending = PendingFormReferenceCount();
  }
  void TearDown() override { EXPECT_EQ(PendingFormReferenceCount(), pending); }
  int pending = 0;
};

std::string FixturePath(const std::string& name) { return std::string(OMBREL_SOURCE_DIR) + "/tests/classlib/forms/" + name; }

TEST_F(FormReader, ReadsNestedComponentsEventsReferencesAndCollections) {
  auto form = std::make_unique<TTstForm>(nullptr);
  ReadFormFile(form.get(), FixturePath("TstMain.txt"));

  EXPECT_EQ(form->Name(), "TstForm1");
  EXPECT_EQ(form->Caption, "Main\r\nwindow");
  EXPECT_EQ(form->Left, 10);
  ASSERT_EQ(form->ComponentCount(), 4);
  TTstBox* panel = form->Panel;
  TTstBox* box1 = form->Box1;
  TTstBox* box2 = form->Box2;
  auto* list1 = dynamic_cast<TTstBox*>(form->FindComponent("List1"));
  ASSERT_TRUE(panel && box1 && box2 && list1);
  EXPECT_EQ(form->Components(0), panel);
  EXPECT_EQ(form->Components(1), box1);
  for (int i = 0; i < form->ComponentCount(); ++i) EXPECT_EQ(form->Components(i)->Owner(), form.get());

  // Nested blocks are placed inside the block around them.
  EXPECT_EQ(form->Kids, (std::vector<TTstBox*>{panel, box2, list1}));
  EXPECT_EQ(panel->Kids, (std::vector<TTstBox*>{box1}));

  EXPECT_EQ(panel->Align, taTop);
  EXPECT_EQ(panel->Options, (TSet<TTstOption>{toOne, toThree}));
  EXPECT_DOUBLE_EQ(panel->Ratio, 0.25);
  EXPECT_EQ(panel->Font.Name, "Arial");
  EXPECT_EQ(panel->Font.Size, 14);
  ASSERT_EQ(panel->Lines.Count(), 2);
  EXPECT_EQ(panel->Lines[0], "你好");

  EXPECT_EQ(box1->Caption, "你好");
  EXPECT_FALSE(box2->Visible);
  EXPECT_EQ(box2->Data, std::string("\x00\x01\xff", 3));

  // References: forward, dotted through the form's name, and the form itself.
  EXPECT_EQ(form->Buddy, box2);
  EXPECT_EQ(box1->Buddy, box2);
  EXPECT_EQ(box2->Buddy, form.get());
  // SkinIndex is stored while reading; the SkinList setter runs when references are fixed up,
  // so it sees the index although the description names the list first.
  EXPECT_EQ(box1->SkinList, list1);
  EXPECT_EQ(box1->LoadedSkin, 3);

  ASSERT_EQ(box1->Items.Count(), 2);
  auto* item0 = static_cast<TTstItem*>(box1->Items.Items(0));
  auto* item1 = static_cast<TTstItem*>(box1->Items.Items(1));
  EXPECT_EQ(item0->Caption, "first");
  EXPECT_EQ(item0->Value, -1);
  EXPECT_EQ(item0->Link, panel);
  EXPECT_EQ(item1->Value, 16);

  // Events reach the form's handlers.
  ASSERT_TRUE(form->OnClick && box2->OnClick && box1->OnValue);
  EXPECT_FALSE(panel->OnClick);
  box2->OnClick(box2);
  form->OnClick(form.get());
  EXPECT_EQ(form->Clicks, (std::vector<TObject*>{box2, form.get()}));
  box1->OnValue(box1, 42);
  EXPECT_EQ(form->LastValue, 42);

  // Loaded: every component in creation order, after the references, with csReading gone and
  // csLoading still set until its own inherited Loaded; afterwards nobody is loading.
  std::vector<std::string> order;
  for (const LoadRecord& r : gLoadLog) {
    order.push_back(r.Name);
    EXPECT_TRUE(r.Loading) << r.Name;
    EXPECT_FALSE(r.Reading) << r.Name;
  }
  EXPECT_EQ(order, (std::vector<std::string>{"TstForm1", "Panel", "Box1", "Box2", "List1"}));
  EXPECT_TRUE(gLoadLog[2].BuddySet);
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
  for (int i = 0; i < form->ComponentCount(); ++i) {
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csReading));
  }
  EXPECT_EQ(FindFormInstance("tstform1"), form.get());
  // The after-read step (a form's OnCreate) ran last, once every component was loaded.
  EXPECT_EQ(form->CreatedWithLoadLog, 5u);
  form.reset();
  EXPECT_EQ(FindFormInstance("TstForm1"), nullptr);
  EXPECT_EQ(gLive, 0);
}

// Each bad line sits inside Box1, after Panel and Box1 were created; a following Other1 is
// created too when the fault is only found while fixing up references.
TEST_F(FormReader, BadInputNamesFileLineAndPropertyAndCreatesNothing) {
  struct Case {
    const char* bad;
    int line;
    const char* property;
    const char* problem;
  };
  const Case cases[] = {
      {"object Box3: TTstNope\nend", 4, "", "unknown class TTstNope"},
      {"Capton = 'x'", 4, "Capton", "unknown property Capton of class TTstBox"},
      {"Left = 'ten'", 4, "Left", "an integer expected"},
      {"Left = 99999999999", 4, "Left", "out of range"},
      {"Align = taLeft", 4, "Align", "not one of taNone, taTop, taClient"},
      {"Options = [toOne, toFour]", 4, "Options", "toFour"},
      {"Visible = 1", 4, "Visible", "True or False"},
      {"Font.Colour = 1", 4, "Font.Colour", "unknown property Colour of class TTstFont"},
      {"Left.X = 1", 4, "Left.X", "no sub-properties"},
      {"Font = 1", 4, "Font", "sub-properties"},
      {"Lines = ( 'a' 1 )", 4, "Lines", "a list of strings holds an integer"},
      {"Data = 'abc'", 4, "Data", "binary data"},
      {"OnClick = Nope", 4, "OnClick", "no handler named \"Nope\""},
      {"OnClick = ValueChanged", 4, "OnClick", "does not fit"},
      {"Buddy = Nobody", 4, "Buddy", "no component named Nobody"},
      {"Buddy = Other1", 4, "Buddy", "Other1 is a TTstOther"},
      {"Buddy = TstForm1.Nobody", 4, "Buddy", "no component named TstForm1.Nobody"},
      {"Items = <\n item\n Caption = 'a'\n end\n item\n Nope = 1\n end>", 9, "Nope", "unknown property Nope"},
      {"Items = <\n item\n Link = NoForm.X\n end>", 6, "Link", "only a component's own properties"},
      {"object Panel: TTstBox\nend", 4, "", "Panel"},
      {"object Box2: TTstOther\nend", 4, "", "field Box2"},
      {"inherited Gone: TTstBox\nend", 4, "", "inherited component Gone does not exist"},
      {"A = 'unterminated", 4, "", "unterminated string"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bad);
    gLive = 0;
    std::string text = std::string(
                           "object TstForm1: TTstForm\n"
                           "  object Panel: TTstBox\n"
                           "    object Box1: TTstBox\n") +
                       c.bad +
                       "\n"
                       "    end\n"
                       "  end\n"
                       "  object Other1: TTstOther\n"
                       "  end\n"
                       "end\n";
    auto form = std::make_unique<TTstForm>(nullptr);
    try {
      ReadFormDescription(form.get(), text, "bad.dfm");
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.FileName, "bad.dfm");
      EXPECT_EQ(e.Line, c.line);
      EXPECT_EQ(e.Property, c.property);
      EXPECT_NE(e.Problem.find(c.problem), std::string::npos) << e.Message;
      std::string where = "bad.dfm:" + std::to_string(c.line) + ": " + (*c.property ? std::string(c.property) + ": " : "");
      EXPECT_EQ(e.Message.rfind(where, 0), 0u) << e.Message;
    }
    EXPECT_EQ(form->ComponentCount(), 0);
    EXPECT_EQ(gLive, 1);  // the form alone
    EXPECT_TRUE(form->Kids.empty());
    EXPECT_EQ(form->Panel, nullptr);
    EXPECT_EQ(form->Box1, nullptr);
    EXPECT_FALSE(form->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form->ComponentState().Contains(csReading));
    EXPECT_EQ(FindFormInstance("TstForm1"), nullptr);
  }
}

TEST_F(FormReader, RootOfAnotherClassIsRefused) {
  TTstOther other(nullptr);
  EXPECT_THROW(ReadFormDescription(&other, "object F: TTstForm\nend\n", "f.dfm"), EFormError);
  EXPECT_EQ(other.Name(), "");
}

TEST_F(FormReader, FailureInLoadedFreesEverythingCreated) {
  auto form = std::make_unique<TTstForm>(nullptr);
  gLive = 1;
  EXPECT_THROW(ReadFormDescription(form.get(),
                                   "object TstForm1: TTstForm\n"
                                   "  object Box1: TTstBox\n"
                                   "    FailInLoaded = True\n"
                                   "  end\n"
                                   "  object Box2: TTstBox\n"
                                   "  end\n"
                                   "end\n",
                                   "l.dfm"),
               Exception);
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(gLive, 1);
  EXPECT_EQ(form->Box1, nullptr);
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
}

TEST_F(FormReader, InheritedBlocksChangeComponentsTheFormMadeItself) {
  auto form = std::make_unique<TTstInheritedForm>(nullptr);
  TComponent* own = form->FindComponent("Box1");
  ReadFormDescription(form.get(),
                      "inherited Derived1: TTstInheritedForm\n"
                      "  inherited Box1: TTstBox\n"
                      "    Caption = 'changed'\n"
                      "    object Inner: TTstBox\n"
                      "    end\n"
                      "  end\n"
                      "end\n",
                      "i.dfm");
  ASSERT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->FindComponent("Box1"), own);
  EXPECT_EQ(static_cast<TTstBox*>(own)->Caption, "changed");
  EXPECT_EQ(static_cast<TTstBox*>(own)->Kids.size(), 1u);
  std::vector<std::string> order;
  for (const LoadRecord& r : gLoadLog) order.push_back(r.Name);
  EXPECT_EQ(order, (std::vector<std::string>{"Derived1", "Box1", "Inner"}));
  EXPECT_FALSE(own->ComponentState().Contains(csLoading));
}

TEST_F(FormReader, ReferencesToAFormThatDoesNotExistYetWaitForIt) {
  auto a = std::make_unique<TTstForm>(nullptr);
  ReadFormDescription(a.get(),
                      "object FormA: TTstForm\n"
                      "  Buddy = FormB.Box9\n"
                      "end\n",
                      "a.dfm");
  EXPECT_EQ(a->Buddy, nullptr);
  EXPECT_EQ(PendingFormReferenceCount(), pending + 1);

  auto b = std::make_unique<TTstForm>(nullptr);
  ReadFormDescription(b.get(),
                      "object FormB: TTstForm\n"
                      "  Buddy = FormA\n"
                      "  object Box9: TTstBox\n"
                      "  end\n"
                      "end\n",
                      "b.dfm");
  EXPECT_EQ(PendingFormReferenceCount(), pending);
  EXPECT_EQ(b->CreatedWithPending, pending);  // A's reference was fixed before B's OnCreate
  EXPECT_EQ(a->Buddy, b->FindComponent("Box9"));
  EXPECT_EQ(b->Buddy, a.get());  // an existing form is found at once
  b.reset();
  EXPECT_EQ(a->Buddy, nullptr);
}

TEST_F(FormReader, AWaitingReferenceGoesWithItsHolder) {
  auto c = std::make_unique<TTstForm>(nullptr);
  ReadFormDescription(c.get(), "object FormC: TTstForm\n  object Box1: TTstBox\n    Buddy = FormD.Box1\n  end\nend\n", "c.dfm");
  EXPECT_EQ(PendingFormReferenceCount(), pending + 1);
  c.reset();
  EXPECT_EQ(PendingFormReferenceCount(), pending);
  auto d = std::make_unique<TTstForm>(nullptr);
  ReadFormDescription(d.get(), "object FormD: TTstForm\n  object Box1: TTstBox\n  end\nend\n", "d.dfm");
  EXPECT_NE(d->Box1, nullptr);
}

TEST_F(FormReader, ExplicitHandlerTable) {
  THandlerTable table;
  int clicks = 0;
  table.Add<TNotifyEvent>("Clicked", [&](TObject*) { ++clicks; });
  TTstBox* field = nullptr;
  table.Field("B", field);
  TTstBox root(nullptr);
  ReadFormDescription(&root, "object R: TTstBox\n  object B: TTstBox\n    OnClick = clicked\n  end\nend\n", "h.dfm", &table);
  ASSERT_NE(field, nullptr);
  ASSERT_TRUE(field->OnClick);
  field->OnClick(field);
  EXPECT_EQ(clicks, 1);
}

// A collection given twice keeps the second value; the references of the items it replaced
// must not be fixed up into freed items.
TEST_F(FormReader, ACollectionGivenTwiceDropsTheReferencesOfItsOldItems) {
  TTstBox root(nullptr);
  ReadFormDescription(&root,
                      "object R: TTstBox\n"
                      "  Items = <\n"
                      "    item\n"
                      "      Link = B\n"
                      "    end>\n"
                      "  Items = <\n"
                      "    item\n"
                      "      Value = 2\n"
                      "    end\n"
                      "    item\n"
                      "      Link = R\n"
                      "    end>\n"
                      "  object B: TTstBox\n"
                      "  end\n"
                      "end\n",
                      "twice.dfm");
  ASSERT_EQ(root.Items.Count(), 2);
  EXPECT_EQ(static_cast<TTstItem*>(root.Items.Items(0))->Value, 2);
  EXPECT_EQ(static_cast<TTstItem*>(root.Items.Items(0))->Link, nullptr);
  EXPECT_EQ(static_cast<TTstItem*>(root.Items.Items(1))->Link, &root);
}

TEST_F(FormReader, MissingFile) {
  TTstForm form(nullptr);
  try {
    ReadFormFile(&form, FixturePath("NoSuchForm.txt"));
    FAIL() << "no error";
  } catch (const EFormError& e) {
    EXPECT_NE(e.Message.find("NoSuchForm.txt"), std::string::npos);
  }
}

}  // namespace
