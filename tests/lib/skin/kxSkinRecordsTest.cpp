// Skin records: round trips of every kind, their key counts, and the rules of single kinds.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>

#include "base/StringList.h"
#include "lib/skin/kxSkinRecords.h"

namespace {

std::unique_ptr<TMemIniFile> Ini(const std::string& Text = "") {
  TStringList l;
  l.SetText(Text);
  return std::make_unique<TMemIniFile>(l);
}

std::vector<std::string> SectionKeys(TMemIniFile& Ini, const std::string& Section) {
  TStringList keys;
  Ini.ReadSection(Section, keys);
  std::vector<std::string> v;
  for (int i = 0; i < keys.Count(); ++i) v.push_back(keys[i]);
  return v;
}

// Gives every key of the record a value that differs from its default (rects and points
// non-negative, since their text keeps digits only).
template <typename Rec>
void Randomize(const std::vector<const TkxKeyTable*>& Tables, Rec& Record, std::mt19937& Rng) {
  void* R = kxkeys::KeyBase(Record);
  auto num = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(Rng); };
  for (const TkxKeyTable* t : Tables) {
    for (const TkxSkinKey& k : t->Keys()) {
      switch (k.Kind) {
        case TkxValueKind::Integer: k.Ref<int32_t>(R) = num(-2000000000, 2000000000); break;
        case TkxValueKind::String: k.Ref<std::string>(R) = "名称" + std::to_string(num(0, 99999)); break;
        case TkxValueKind::Flag: k.Ref<bool>(R) = true; break;
        case TkxValueKind::Rect: {
          int l = num(0, 500), tp = num(0, 500);
          k.Ref<TRect>(R) = TRect{l, tp, l + num(1, 500), tp + num(1, 500)};
          break;
        }
        case TkxValueKind::Point: k.Ref<TPoint>(R) = TPoint{num(1, 900), num(1, 900)}; break;
        case TkxValueKind::FontStyles: k.Ref<TFontStyles>(R) = TFontStyles::FromBits(uint64_t(num(1, 15))); break;
        case TkxValueKind::Alignment: k.Ref<TAlignment>(R) = TAlignment(num(0, 2)); break;
        case TkxValueKind::StretchType: k.Ref<TkxStretchType>(R) = TkxStretchType(num(1, 2)); break;
        case TkxValueKind::MorphKind: k.Ref<TkxMorphKind>(R) = TkxMorphKind(num(1, 6)); break;
        case TkxValueKind::InActiveEffect: k.Ref<TkxInActiveEffect>(R) = TkxInActiveEffect(num(1, 5)); break;
        case TkxValueKind::Command: k.Ref<TkxStdCommand>(R) = TkxStdCommand(num(0, 6)); break;
      }
    }
  }
}

size_t KeyCount(const std::vector<const TkxKeyTable*>& Tables) {
  size_t n = 0;
  for (auto* t : Tables) n += t->Keys().size();
  return n;
}

// Keys a saved section holds, per kind: the base record's 3, the geometry's 11, then the kind's own.
const std::map<std::string, size_t> kControlKeyCounts = {
    {"bevel", 3 + 2},           {"treeview", 3 + 5},          {"listview", 3 + 5},       {"richedit", 3 + 5},
    {"stdlabel", 3 + 5},        {"slider", 3 + 7},            {"mainmenubar", 3 + 10},   {"tab", 3 + 36},
    {"grid", 3 + 25},           {"button", 45},               {"menubutton", 45 + 1},    {"checkradio", 14 + 20},
    {"label", 14 + 4},          {"panel", 14 + 17},           {"expanel", 14 + 30},      {"splitter", 14 + 3},
    {"gauge", 14 + 20},         {"trackbar", 14 + 7},         {"scrollbox", 14 + 1},     {"controlbar", 14 + 13},
    {"listbox", 14 + 32},       {"checklistbox", 14 + 32 + 3}, {"combobox", 14 + 21},    {"edit", 14 + 11},
    {"memo", 14 + 11 + 2},      {"spinedit", 14 + 13},        {"scrollbar", 14 + 22},    {"updown", 14 + 6},
};
const std::map<std::string, size_t> kObjectKeyCounts = {
    {"menuitem", 14 + 30}, {"mainmenubaritem", 14 + 16}, {"mainmenubarbutton", 14 + 2 + 6}, {"stdbutton", 14 + 2 + 6},
    {"button", 14 + 2},    {"caption", 14 + 36},         {"userobject", 1},                 {"animate", 14 + 11},
};

TEST(SkinRecords, EveryControlKindRoundTripsWithItsKeyCount) {
  ASSERT_EQ(SkinControlKindWords().size(), 28u);
  std::mt19937 rng(21);
  for (const std::string& word : SkinControlKindWords()) {
    SCOPED_TRACE(word);
    auto a = CreateSkinControlRecord(word, "rec_" + word);
    ASSERT_TRUE(a);
    EXPECT_EQ(SkinControlKindWord(*a), word);
    Randomize(a->KeyTables(), *a, rng);
    auto ini = Ini("[rec_" + word + "]\nstray=1\n");
    a->SaveToFile(*ini);
    auto keys = SectionKeys(*ini, a->IDName);
    EXPECT_EQ(keys.size(), kControlKeyCounts.at(word));
    EXPECT_EQ(keys.size(), KeyCount(a->KeyTables()));
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).count("stray"), 0u) << "saving erases the section";
    auto b = CreateSkinControlRecord(word, a->IDName);
    b->LoadFromFile(*ini);
    EXPECT_TRUE(SameSkinKeys(a->KeyTables(), *a, *b));
    // Loading twice changes nothing more.
    b->LoadFromFile(*ini);
    EXPECT_TRUE(SameSkinKeys(a->KeyTables(), *a, *b));
  }
}

TEST(SkinRecords, EveryObjectKindRoundTripsWithItsKeyCount) {
  ASSERT_EQ(SkinObjectKindWords().size(), 8u);
  std::mt19937 rng(22);
  for (const std::string& word : SkinObjectKindWords()) {
    SCOPED_TRACE(word);
    auto a = CreateSkinObjectRecord(word, "obj_" + word);
    ASSERT_TRUE(a);
    EXPECT_EQ(SkinObjectKindWord(*a), word);
    Randomize(a->KeyTables(), *a, rng);
    if (word == "animate") a->Morphing = false;
    auto ini = Ini();
    a->SaveToFile(*ini);
    auto keys = SectionKeys(*ini, a->IDName);
    EXPECT_EQ(keys.size(), kObjectKeyCounts.at(word));
    auto b = CreateSkinObjectRecord(word, a->IDName);
    b->LoadFromFile(*ini);
    EXPECT_TRUE(SameSkinKeys(a->KeyTables(), *a, *b));
  }
}

TEST(SkinRecords, SingleRecordsRoundTrip) {
  std::mt19937 rng(23);
  auto check = [&](auto& a, auto& b, size_t count) {
    using T = std::decay_t<decltype(a)>;
    Randomize({&T::Keys()}, a, rng);
    auto ini = Ini(std::string("[") + T::Section + "]\nstray=1\n");
    a.SaveToFile(*ini);
    EXPECT_EQ(SectionKeys(*ini, T::Section).size(), count + (std::is_same_v<T, TkxSkinColors> ? 1 : 0)) << T::Section;
    b.LoadFromFile(*ini);
    EXPECT_TRUE(SameSkinKeys({&T::Keys()}, a, b)) << T::Section;
  };
  TkxDataSkinPopupWindow p1, p2;
  check(p1, p2, 15);
  TkxDataSkinLayerFrame l1, l2;
  check(l1, l2, 13);
  TkxDataSkinHintWindow h1, h2;
  check(h1, h2, 17);
  // The colours' section is not erased on save: a stray key stays.
  TkxSkinColors c1, c2;
  check(c1, c2, 8);
}

TEST(SkinRecords, MissingKeysGiveTheDefaults) {
  auto ini = Ini("[listbox]\n[stdlabel]\n[combobox]\n[controlbar]\n[HINTWINDOW]\nfontname=x\n[SKINCOLORS]\ncbtnface=255\n");
  TkxDataSkinListBox lb("listbox");
  lb.LoadFromFile(*ini);
  EXPECT_EQ(lb.PictureIndex, -1);
  EXPECT_EQ(lb.MaskPictureIndex, -1);
  EXPECT_EQ(lb.VScrollBarName, "vscrollbar");
  EXPECT_EQ(lb.HScrollBarName, "hscrollbar");
  EXPECT_EQ(lb.BothScrollBarName, "bothhscrollbar");
  EXPECT_EQ(lb.FontName, "Arial");
  EXPECT_EQ(lb.FontHeight, 14);
  TkxDataSkinStdLabelControl sl("stdlabel");
  sl.LoadFromFile(*ini);
  EXPECT_EQ(sl.ActiveFontColor, 16711680);
  TkxDataSkinComboBox cb("combobox");
  cb.LoadFromFile(*ini);
  EXPECT_EQ(cb.ListBoxName, "");
  TkxDataSkinControlBar bar("controlbar");
  bar.LoadFromFile(*ini);
  EXPECT_EQ(bar.ItemOffset1, 3);
  EXPECT_EQ(bar.ItemOffset2, 3);
  TkxDataSkinButtonControl bt("nosection");
  bt.LoadFromFile(*ini);
  EXPECT_EQ(bt.AnimateInterval, 25);
  EXPECT_EQ(bt.GlowLayerAlphaBlendValue, 255);
  EXPECT_EQ(bt.GlowLayerPictureIndex, -1);
  TkxDataSkinHintWindow hw;
  EXPECT_EQ(hw.FontHeight, 12);
  hw.LoadFromFile(*ini);
  EXPECT_EQ(hw.FontHeight, 14);
  TkxSkinColors colours;
  EXPECT_EQ(colours.cBtnFace(), 0);
  colours.LoadFromFile(*ini);
  EXPECT_EQ(colours.cBtnFace(), 255);
  EXPECT_EQ(colours.cBtnText(), TColor(0xFF000012u));
  EXPECT_EQ(colours.cBtnShadow(), TColor(0xFF000010u));
  colours.SetColorsToDefault();
  EXPECT_EQ(colours.cBtnFace(), -16777201);
}

TEST(SkinRecords, WriteOrderWhereItDiffersFromReading) {
  struct Case {
    const char* Word;
    std::vector<std::string> Sequence;  // keys that must appear in this order
  } cases[] = {
      {"button", {"glowlayeroffsetleft", "glowlayeroffsetright", "glowlayeroffsettop", "glowlayeroffsetbottom"}},
      {"grid", {"celltextrect", "linescolor", "bgcolor", "bgpictureindex", "fontname"}},
      {"checkradio", {"fontcolor", "framefontcolor", "activefontcolor"}},
      {"combobox", {"unenabledbuttonrect", "listboxname", "itemstretcheffect"}},
      {"controlbar", {"gripoffset2", "itemoffset1", "itemoffset2", "itemstretcheffect", "itemtransparent"}},
      {"checklistbox", {"uncheckimagerect", "checkimagerect"}},
      {"mainmenubar", {"closebutton", "minbutton", "maxbutton", "sysmenubutton"}},
      {"listbox", {"vscrollbarname", "hscrollbarname", "bothhscrollbarname"}},
  };
  for (const Case& c : cases) {
    auto r = CreateSkinControlRecord(c.Word, "r");
    auto ini = Ini();
    r->SaveToFile(*ini);
    auto keys = SectionKeys(*ini, "r");
    // The checklistbox's own keys come after the list box's, where "checkimagerect" does not occur.
    size_t at = 0;
    for (const std::string& k : c.Sequence) {
      auto it = std::find(keys.begin() + long(at), keys.end(), k);
      ASSERT_NE(it, keys.end()) << c.Word << ": " << k << " missing or out of order";
      at = size_t(it - keys.begin()) + 1;
    }
  }
  // The base keys and the geometry always lead.
  auto r = CreateSkinControlRecord("button", "r");
  auto ini = Ini();
  r->SaveToFile(*ini);
  auto keys = SectionKeys(*ini, "r");
  EXPECT_EQ(keys[0], "pictureindex");
  EXPECT_EQ(keys[2], "skinrect");
  EXPECT_EQ(keys[3], "lefttoppoint");
  EXPECT_EQ(keys[13], "stretchtype");
  EXPECT_EQ(keys[14], "fontname");
}

TEST(SkinRecords, UpDownNeverResizes) {
  auto ini = Ini("[hupdown]\nrightbottompoint=5,6\nclientrect=1,2,3,4\nupbuttonrect=1,1,9,9\n");
  TkxDataSkinUpDownControl ud("hupdown");
  ud.LoadFromFile(*ini);
  EXPECT_EQ(ud.RBPoint.x, 0);
  EXPECT_EQ(ud.ClRect.right, 0);
  EXPECT_EQ(ud.UpButtonRect.right, 9);
  ud.RBPoint = TPoint{7, 7};
  ud.SaveToFile(*ini);
  EXPECT_EQ(ini->ReadString("hupdown", "rightbottompoint", ""), "0,0");
  EXPECT_EQ(ini->ReadString("hupdown", "clientrect", ""), "0,0,0,0");
}

TEST(SkinRecords, ObjectRules) {
  auto ini = Ini(
      "[max]\nhint=Maximize\ncommand=cmmaximize\n"
      "[maxlower]\nhint=maximize\ncommand=cmmaximize\n"
      "[roll]\nhint=Roll Up\ncommand=cmrollup\n"
      "[rollclose]\nhint=Roll Up\ncommand=cmclose\n"
      "[nocmd]\n[capcmd]\ncommand=cmMinimize\n"
      "[anim]\nmorphing=1\n"
      "[menu1]\ncheckimagerect=1,1,9,9\nactivecheckimagerect=5,5,5,20\nradioimagerect=2,2,8,8\n"
      "activeradioimagerect=0,0,10,10\narrowimagerect=3,3,7,7\n"
      "[user]\nhint=ignored\nskinrect=1,2,3,4\n"
      "[bar]\nunenabledfontcolor=77\n");
  auto std = [&](const char* id) {
    TkxDataSkinStdButton b(id);
    b.LoadFromFile(*ini);
    return std::make_pair(b.Command, b.RestoreHint);
  };
  EXPECT_EQ(std("max").second, "Restore");
  EXPECT_EQ(std("maxlower").second, "");
  EXPECT_EQ(std("roll").second, "Restore");
  EXPECT_EQ(std("rollclose").second, "");
  EXPECT_EQ(std("nocmd").first, cmDefault);
  EXPECT_EQ(std("capcmd").first, cmMinimizeToTray);

  TkxDataSkinAnimate an("anim");
  an.LoadFromFile(*ini);
  EXPECT_FALSE(an.Morphing);
  EXPECT_EQ(an.CountFrames, 1);
  EXPECT_EQ(an.TimerInterval, 50);

  TkxDataSkinMenuItem mi("menu1");
  mi.LoadFromFile(*ini);
  EXPECT_EQ(mi.ActiveCheckImageRect.right, 9);   // (5,5,5,20) is empty: the normal rect
  EXPECT_EQ(mi.ActiveRadioImageRect.right, 10);  // kept
  EXPECT_EQ(mi.ActiveArrowImageRect.right, 7);   // absent: the normal rect

  TkxDataUserObject uo("user");
  uo.LoadFromFile(*ini);
  EXPECT_EQ(uo.Hint, "");
  EXPECT_EQ(uo.SkinRect.bottom, 4);
  uo.SaveToFile(*ini);
  EXPECT_EQ(SectionKeys(*ini, "user"), std::vector<std::string>{"skinrect"});

  // "unenabledfontColor" is written with its capital and read in any case.
  TkxDataSkinMainMenuBarItem item("bar");
  item.LoadFromFile(*ini);
  EXPECT_EQ(item.UnEnabledFontColor, 77);
  item.SaveToFile(*ini);
  auto keys = SectionKeys(*ini, "bar");
  EXPECT_NE(std::find(keys.begin(), keys.end(), "unenabledfontColor"), keys.end());
  // The misspelled keys the stored skins use are kept as spelled.
  TkxDataSkinButton ob("ob");
  ob.SaveToFile(*ini);
  EXPECT_TRUE(ini->ValueExists("ob", "disableskinrsect"));
  TkxDataSkinCaption cap("cap");
  cap.SaveToFile(*ini);
  EXPECT_TRUE(ini->ValueExists("cap", "reflactioncolor"));
  EXPECT_TRUE(ini->ValueExists("cap", "reflactionactivecolor"));
}

TEST(SkinRecords, ClassTestsAndKindWords) {
  // A check-list record passes as a list box, a memo as an edit, a menu-bar button as a std button.
  auto cl = CreateSkinControlRecord("checklistbox", "c");
  EXPECT_NE(dynamic_cast<TkxDataSkinListBox*>(cl.get()), nullptr);
  EXPECT_NE(dynamic_cast<TkxDataSkinCustomControl*>(cl.get()), nullptr);
  auto memo = CreateSkinControlRecord("memo", "m");
  EXPECT_NE(dynamic_cast<TkxDataSkinEditControl*>(memo.get()), nullptr);
  auto mb = CreateSkinObjectRecord("mainmenubarbutton", "b");
  EXPECT_NE(dynamic_cast<TkxDataSkinStdButton*>(mb.get()), nullptr);
  EXPECT_EQ(CreateSkinControlRecord("Button", "x"), nullptr);
  EXPECT_EQ(CreateSkinObjectRecord("stdbutton:x", "x"), nullptr);
  // A record of a class without a word of its own (the main-menu item base) has none.
  TkxDataSkinMainMenuItem base("mm");
  EXPECT_EQ(SkinObjectKindWord(base), "");
  // A rect that is present but empty fails the load at that key.
  auto ini = Ini("[button]\nskinrect=\n");
  TkxDataSkinButtonControl b("button");
  EXPECT_THROW(b.LoadFromFile(*ini), EConvertError);
}

}  // namespace
