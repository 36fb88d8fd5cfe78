// The skin data component with skin folders and stored skins: loading, saving, packing, and
// damaged input of every sort.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/Exception.h"
#include "lib/skin/kxSkinFuzz.h"
#include "lib/skin/kxSkinStore.h"
#include "lib/skin/kxzlibcompress.h"
#include "tests/lib/SkinTestUtil.h"

namespace {

using namespace skintest;

TEST(SkinData, FolderLoadsPacksAndUnpacksToTheSameSkin) {
  const std::string dir = WriteSkinFolder();
  TkxSkinData a(nullptr);
  EXPECT_TRUE(a.Empty);
  a.LoadFromFile(dir + "skin.ini");
  ASSERT_FALSE(a.Empty);
  EXPECT_EQ(a.SkinName, "蓝色经典");
  EXPECT_EQ(a.CtrlList.size(), 28u);
  EXPECT_EQ(a.ObjectList.size(), 8u);
  EXPECT_EQ(a.FActivePictures.size(), 2u);
  EXPECT_EQ(a.FActivePictures[1]->Width(), 5);
  EXPECT_EQ(a.FPicture->Height(), 11);
  EXPECT_TRUE(a.FInActivePicture->Empty());
  EXPECT_EQ(a.InActiveEffect, ieDarkness);
  EXPECT_EQ(a.SkinColors()->cBtnFace(), 15790320);
  EXPECT_EQ(a.SkinColors()->cBtnText(), kxclBtnText);
  EXPECT_EQ(a.HintWindow->FontName, "宋体");
  // Each record got its own class and its own section.
  const int32_t lb = a.GetControlIndex("listbox");
  ASSERT_GE(lb, 0);
  auto* listbox = dynamic_cast<TkxDataSkinListBox*>(a.CtrlList[size_t(lb)].get());
  ASSERT_NE(listbox, nullptr);
  EXPECT_EQ(listbox->SkinRect.bottom, 10 + lb);
  EXPECT_EQ(listbox->VScrollBarName, "vscrollbar");
  auto* std = dynamic_cast<TkxDataSkinStdButton*>(a.ObjectList[size_t(a.GetIndex("o_stdbutton"))].get());
  ASSERT_NE(std, nullptr);
  EXPECT_EQ(std->RestoreHint, "Restore");

  // Packed from the folder and from the component: both records decompress to the same skin.
  TkxCompressedStoredSkin fromFolder(nullptr), fromData(nullptr);
  fromFolder.LoadFromIniFile(dir + "skin.ini");
  fromData.LoadFromSkinData(a);
  for (TkxCompressedStoredSkin* s : {&fromFolder, &fromData}) {
    TMemoryStream record;
    s->SaveToCompressStream(record);
    const uint8_t* p = record.Memory();
    EXPECT_EQ(std::memcmp(p, "\x03\x00\x00\x00", 4), 0);
    EXPECT_EQ(int64_t(p[4] | p[5] << 8 | p[6] << 16 | p[7] << 24), record.Size() - 8);
    EXPECT_EQ(p[8], 0x78);
    EXPECT_EQ(p[9], 0xDA);
    TMemoryStream image;
    s->DeCompressToStream(image);
    EXPECT_EQ(std::memcmp(image.Memory(), "\x03\x00\x00\x00\x00" "BM", 7), 0);
    // The inactive picture is empty: its flag 1 is followed at once by the mask's flag 0.
    const uint32_t frameSize = image.Memory()[7] | image.Memory()[8] << 8;
    EXPECT_EQ(image.Memory()[5 + frameSize], 1);
    EXPECT_EQ(image.Memory()[6 + frameSize], 0);

    TkxSkinData b(nullptr);
    b.LoadCompressedStoredSkin(s);
    EXPECT_FALSE(b.Empty);
    EXPECT_EQ(Fingerprint(a), Fingerprint(b));
    ASSERT_EQ(a.CtrlList.size(), b.CtrlList.size());
    for (size_t i = 0; i < a.CtrlList.size(); ++i) {
      EXPECT_EQ(SkinControlKindWord(*a.CtrlList[i]), SkinControlKindWord(*b.CtrlList[i]));
      EXPECT_TRUE(SameSkinKeys(a.CtrlList[i]->KeyTables(), *a.CtrlList[i], *b.CtrlList[i])) << a.CtrlList[i]->IDName;
    }
    for (size_t i = 0; i < a.ObjectList.size(); ++i)
      EXPECT_TRUE(SameSkinKeys(a.ObjectList[i]->KeyTables(), *a.ObjectList[i], *b.ObjectList[i]));
    EXPECT_TRUE(SameSkinKeys(TkxSkinContent::FormInfoKeys(), static_cast<TkxSkinContent&>(a),
                             static_cast<TkxSkinContent&>(b)));
  }

  // A compressed skin file, and the component's own round trip through it.
  fromData.SaveToCompressFile(dir + "skin.skn");
  TkxSkinData c(nullptr);
  c.LoadFromCompressedFile(dir + "skin.skn");
  EXPECT_EQ(Fingerprint(a), Fingerprint(c));
  a.SaveToCompressedFile(dir + "again.skn");
  TkxSkinData d(nullptr);
  d.LoadFromCompressedFile(dir + "again.skn");
  EXPECT_EQ(Fingerprint(a), Fingerprint(d));
}

TEST(SkinData, StoreToDiskWritesAFolderThatLoadsAgain) {
  const std::string dir = WriteSkinFolder();
  TkxSkinData a(nullptr);
  a.LoadFromFile(dir + "skin.ini");
  // A stored skin may carry more pictures than names: every picture still gets a file.
  a.FActivePictures.push_back(std::make_unique<TBitmap>());  // an empty one keeps its place
  a.FActivePictures.push_back(std::make_unique<TBitmap>());
  a.FActivePictures.back()->SetSize(3, 3);
  a.FInActivePictureName = "stale.bmp";  // named, but without a picture
  const std::string out = TempFolder();
  a.StoreToDisk(out + "skin.ini");
  TkxSkinData b(nullptr);
  b.LoadFromFile(out + "skin.ini");
  EXPECT_FALSE(b.Empty);
  ASSERT_EQ(b.FActivePictures.size(), 4u);
  EXPECT_TRUE(b.FActivePictures[2]->Empty());
  EXPECT_EQ(b.FActivePictures[3]->Width(), 3);
  EXPECT_EQ(b.FInActivePictureName, "");
  EXPECT_EQ(Fingerprint(a), Fingerprint(b));
  // Packed and unpacked, the empty picture does not shift the ones after it.
  TkxCompressedStoredSkin stored(nullptr);
  stored.LoadFromSkinData(b);
  TkxSkinData c(nullptr);
  c.LoadCompressedStoredSkin(&stored);
  ASSERT_EQ(c.FActivePictures.size(), 4u);
  EXPECT_TRUE(c.FActivePictures[2]->Empty());
  EXPECT_EQ(Fingerprint(b), Fingerprint(c));
}

TEST(SkinData, SkinFileFormatDetails) {
  // Unknown kind words, words in another case, entries without a colon or with a second one
  // are skipped, and the entries after them still read; a huge count costs nothing.
  std::string text = SkinText();
  const size_t at = text.find("[SKINCONTROLS]");
  const size_t end = text.find("[", at + 1);
  text.replace(at, end - at,
               "[SKINCONTROLS]\r\ncount=2000000000\r\n0=nocolon\r\n1=b1:Button\r\n2=b2:button:x\r\n3=b3:button\r\n"
               "7=b7:edit\r\n07=b07:edit\r\n");
  const std::string dir = WriteSkinFolder("x", text);
  TkxSkinData d(nullptr);
  d.LoadFromFile(dir + "skin.ini");
  ASSERT_EQ(d.CtrlList.size(), 2u);
  EXPECT_EQ(d.CtrlList[0]->IDName, "b3");
  EXPECT_EQ(d.CtrlList[1]->IDName, "b7");

  // The mask and hit-test corrections apply only with a mask; corner points move into the
  // client rect unless the corners coincide.
  struct Case {
    const char* Mask;
    const char* MaskArea;
    const char* HitLT;
    const char* RB;
    TRect WantArea;
    TPoint WantHitLT, WantLT;
  } cases[] = {
      // The hit-test point takes its corner as moved into the client rect, as the file keeps it.
      {"mask.bmp", "0,0,0,0", "0,7", "144,108", {2, 22, 148, 111}, {2, 22}, {2, 22}},
      {"mask.bmp", "10,30,100,100", "5,6", "144,108", {2, 22, 148, 111}, {5, 6}, {2, 22}},
      {"", "0,0,0,0", "0,7", "144,108", {0, 0, 0, 0}, {0, 7}, {2, 22}},
      {"", "0,0,0,0", "0,7", "0,108", {0, 0, 0, 0}, {0, 7}, {0, 22}},
  };
  for (const Case& c : cases) {
    std::string t = SkinText();
    auto set = [&](const std::string& key, const std::string& value) {
      const size_t k = t.find("\r\n" + key + "=", t.find("[FORMINFO]"));
      const size_t e = t.find("\r\n", k + 2);
      t.replace(k, e - k, "\r\n" + key + "=" + value);
    };
    set("lefttoppoint", "0,22");
    set("rightbottompoint", c.RB);
    set("clientrect", "2,22,148,111");
    set("maskrectarea", c.MaskArea);
    t.replace(t.find("mask=mask.bmp"), 13, std::string("mask=") + c.Mask);
    t.insert(t.find("[SKINCOLORS]"), std::string("hittestlefttoppoint=") + c.HitLT + "\r\n");
    const std::string f = WriteSkinFolder("x", t);
    TkxSkinData s(nullptr);
    s.LoadFromFile(f + "skin.ini");
    EXPECT_EQ(s.MaskRectArea.left, c.WantArea.left) << c.Mask << c.MaskArea;
    EXPECT_EQ(s.MaskRectArea.bottom, c.WantArea.bottom) << c.Mask << c.MaskArea;
    EXPECT_EQ(s.HitTestLTPoint.x, c.WantHitLT.x) << c.Mask << c.HitLT;
    EXPECT_EQ(s.HitTestLTPoint.y, c.WantHitLT.y) << c.Mask << c.HitLT;
    EXPECT_EQ(s.LTPoint.x, c.WantLT.x) << c.RB;
    EXPECT_EQ(s.LTPoint.y, c.WantLT.y) << c.RB;
  }
}

// The skin text with the given keys of "FORMINFO" set (replaced where the text has them).
std::string WithFormInfo(const std::vector<std::pair<std::string, std::string>>& Keys) {
  std::string t = SkinText();
  for (const auto& [key, value] : Keys) {
    const size_t k = t.find("\r\n" + key + "=", t.find("[FORMINFO]"));
    if (k != std::string::npos && k < t.find("[SKINCOLORS]")) {
      const size_t e = t.find("\r\n", k + 2);
      t.replace(k, e - k, "\r\n" + key + "=" + value);
    } else {
      t.insert(t.find("[SKINCOLORS]"), key + "=" + value + "\r\n");
    }
  }
  return t;
}

TEST(SkinData, ASkinWithAMaskReadsBackWhatItWrote) {
  // Corners that move into the client rect (2,22,148,111): LT to (2,22), RT to (148,22), LB to
  // (2,0), RB stays (144,108). A hit-test point with a 0 coordinate takes its corner.
  const std::vector<std::pair<std::string, std::string>> corners = {
      {"lefttoppoint", "0,22"}, {"righttoppoint", "150,0"}, {"leftbottompoint", "0,0"},
      {"rightbottompoint", "144,108"}, {"clientrect", "2,22,148,111"}};
  struct Case {
    const char* Key;
    const char* Value;
    TPoint TkxSkinContent::*Field;
    TPoint Want;
  } cases[] = {
      {"hittestlefttoppoint", "0,0", &TkxSkinContent::HitTestLTPoint, {2, 22}},
      {"hittestrighttoppoint", "0,9", &TkxSkinContent::HitTestRTPoint, {148, 22}},
      {"hittestleftbottompoint", "0,0", &TkxSkinContent::HitTestLBPoint, {2, 0}},
      {"hittestrightbottompoint", "5,0", &TkxSkinContent::HitTestRBPoint, {144, 108}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Key) + "=" + c.Value);
    auto keys = corners;
    keys.emplace_back(c.Key, c.Value);
    const std::string dir = WriteSkinFolder("x", WithFormInfo(keys));
    TkxSkinData a(nullptr);
    a.LoadFromFile(dir + "skin.ini");
    ASSERT_FALSE(a.Empty);
    EXPECT_EQ((a.*c.Field).x, c.Want.x);
    EXPECT_EQ((a.*c.Field).y, c.Want.y);
    // Written beside its pictures and read again, and through a stored skin: the same values.
    a.SaveToFile(dir + "again.ini");
    TkxSkinData b(nullptr);
    b.LoadFromFile(dir + "again.ini");
    TkxCompressedStoredSkin stored(nullptr);
    stored.LoadFromSkinData(a);
    TkxSkinData d(nullptr);
    d.LoadCompressedStoredSkin(&stored);
    for (TkxSkinData* r : {&b, &d}) {
      EXPECT_EQ((r->*c.Field).x, c.Want.x);
      EXPECT_EQ((r->*c.Field).y, c.Want.y);
      EXPECT_TRUE(SameSkinKeys(TkxSkinContent::FormInfoKeys(), static_cast<TkxSkinContent&>(a),
                               static_cast<TkxSkinContent&>(*r)));
      EXPECT_EQ(Fingerprint(a), Fingerprint(*r));
    }
  }
}

TEST(SkinData, WrittenTextHasItsSectionsInOrder) {
  const std::string dir = WriteSkinFolder();
  TkxSkinData d(nullptr);
  d.LoadFromFile(dir + "skin.ini");
  // A record of a class without a kind word is written with a bare colon.
  d.ObjectList.push_back(std::make_unique<TkxDataSkinMainMenuItem>("plain"));
  TStringList none;
  TMemIniFile ini(none);
  d.WriteSkinIni(ini);
  TStringList sections;
  ini.ReadSections(sections);
  std::vector<std::string> want{"VERSION", "PICTURES", "FORMINFO", "POPUPWINDOW", "LAYERFRAME", "HINTWINDOW",
                                "SKINCOLORS", "SKINOBJECTS"};
  for (const auto& w : SkinObjectKindWords()) want.push_back("o_" + w);
  want.push_back("plain");
  want.push_back("SKINCONTROLS");
  for (const auto& w : SkinControlKindWords()) want.push_back(w);
  ASSERT_EQ(sections.Count(), int(want.size()));
  for (int i = 0; i < sections.Count(); ++i) EXPECT_EQ(sections[i], want[size_t(i)]);
  EXPECT_EQ(ini.ReadString("SKINOBJECTS", "count", ""), "9");
  EXPECT_EQ(ini.ReadString("SKINOBJECTS", "8", ""), "plain:");
  EXPECT_EQ(ini.ReadString("SKINOBJECTS", "1", ""), "o_mainmenubaritem:mainmenubaritem");
  EXPECT_EQ(ini.ReadString("VERSION", "ver", ""), "1");
  TStringList lines;
  ini.GetStrings(lines);
  EXPECT_NE(lines.Text().find("\r\n\r\n[PICTURES]\r\n"), std::string::npos);
}

TEST(SkinData, LookupsAndPictureLists) {
  const std::string dir = WriteSkinFolder();
  TkxSkinData d(nullptr);
  d.LoadFromFile(dir + "skin.ini");
  d.CtrlList.push_back(std::make_unique<TkxDataSkinButtonControl>("button"));
  EXPECT_EQ(d.GetControlIndex("button"), 3);  // the first of the two
  EXPECT_EQ(d.GetControlIndex("Button"), -1);
  EXPECT_EQ(d.GetIndex("o_caption"), 5);
  EXPECT_EQ(d.GetIndex("nothing"), -1);
  d.AddBitMap(dir + "frame.bmp");
  ASSERT_EQ(d.FActivePicturesNames->Count(), 3);
  EXPECT_EQ(d.FActivePicturesNames->Get(2), "frame.bmp");
  TBitmap* second = d.FActivePictures[1].get();
  d.DeleteBitMap(0);
  EXPECT_EQ(d.FActivePictures.size(), 2u);
  EXPECT_EQ(d.FActivePictures[0].get(), second);
  EXPECT_EQ(d.FActivePicturesNames->Get(0), "图标.bmp");
  EXPECT_THROW(d.DeleteBitMap(2), EListError);
  EXPECT_THROW(d.AddBitMap(dir + "none.bmp"), EkxSkinError);
  EXPECT_EQ(d.FActivePictures.size(), 2u);
  d.FInActivePictureName = "inactive.bmp";
  d.ClearSkin();
  EXPECT_TRUE(d.Empty);
  EXPECT_EQ(d.GetIndex("o_caption"), -1);
  EXPECT_EQ(d.SkinColors()->cBtnFace(), kxclBtnFace);
  EXPECT_EQ(d.FInActivePictureName, "");
}

// ---- damaged input -------------------------------------------------------------------------------

// A skin data component holding a skin, and what it held, to show that a failed load changed
// nothing (not even which objects hold the records and pictures).
struct Held {
  explicit Held(TkxSkinData& D) : Data(D) {
    Print = Fingerprint(D);
    Objects = Pointers(D);
  }
  static std::vector<const void*> Pointers(TkxSkinData& D) {
    std::vector<const void*> p{D.FPicture.get(), D.FMask.get(), D.FInActivePicture.get(), D.PopupWindow.get(),
                               D.SkinColors()};
    for (auto& r : D.CtrlList) p.push_back(r.get());
    for (auto& r : D.ObjectList) p.push_back(r.get());
    for (auto& b : D.FActivePictures) p.push_back(b.get());
    return p;
  }
  // Every object the skin is made of is still the same one; with Full, every value too.
  bool Unchanged(bool Full = true) const {
    return !Data.Empty && !Data.ChangeSkinDataProcess && Pointers(Data) == Objects &&
           (!Full || Fingerprint(Data) == Print);
  }
  TkxSkinData& Data;
  std::string Print;
  std::vector<const void*> Objects;
};

std::string SmallSkinFolder(const std::string& Name) {
  std::string text = "[VERSION]\r\nver=1\r\nskinname=" + Name +
                     "\r\n[PICTURES]\r\npicture=frame.bmp\r\nactivepicturescount=1\r\n"
                     "0=controls.bmp\r\n[FORMINFO]\r\nclientrect=1,1,3,3\r\n[SKINOBJECTS]\r\ncount=1\r\n0=cap:caption\r\n"
                     "[cap]\r\ntextrect=1,2,3,4\r\n[SKINCONTROLS]\r\ncount=2\r\n0=button:button\r\n1=hupdown:updown\r\n"
                     "[button]\r\nskinrect=0,0,5,5\r\nfontname=Arial\r\n[hupdown]\r\nupbuttonrect=0,0,2,2\r\n";
  const std::string dir = TempFolder();
  WriteText(dir + "skin.ini", text);
  SaveBmp(dir + "frame.bmp", 3, 2, 5);
  SaveBmp(dir + "controls.bmp", 2, 2, 6, pf32bit);
  return dir;
}

std::string SmallSkinImage() {
  TMemoryStream image;
  EXPECT_TRUE(BuildSkinImageFromIniFile(SmallSkinFolder("小") + "skin.ini", image));
  return Bytes(image);
}

std::string Record(const std::string& Image) {
  TMemoryStream image, data, record;
  image.WriteBuffer(Image.data(), int64_t(Image.size()));
  CompressStream(image, data);
  const int32_t hdr[2] = {3, int32_t(data.Size())};
  record.WriteBuffer(hdr, 8);
  record.CopyFrom(data, 0);
  return Bytes(record);
}

// Loads Bytes as a compressed skin record into D: answers whether it loaded, and insists that a
// failure is an exception of the skin or stream family.
bool TryRecord(TkxSkinData& D, const std::string& Bytes) {
  TMemoryStream s;
  if (!Bytes.empty()) s.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
  TkxCompressedStoredSkin stored(nullptr);
  try {
    stored.LoadFromCompressStream(s);
    if (stored.Empty()) return false;
    D.LoadCompressedStoredSkin(&stored);
    return true;
  } catch (const EkxSkinError&) {
  } catch (const EZlibError&) {
  } catch (const EConvertError&) {
  } catch (const EStreamError&) {
  }
  return false;
}

class DamagedSkin : public ::testing::Test {
protected:
  void SetUp() override {
    previous = SmallSkinFolder("旧皮肤");
    data.LoadFromFile(previous + "skin.ini");
    held = std::make_unique<Held>(data);
    image = SmallSkinImage();
    record = Record(image);
  }
  // A load either succeeds in full or leaves the previous skin exactly as it was (an image of
  // a later format, which only the version field gives, clears the skin instead).
  void Expect(const std::string& Bytes, const std::string& What, bool LaterVersion = false) {
    if (TryRecord(data, Bytes)) {
      EXPECT_TRUE(LaterVersion || !data.Empty) << What;
      EXPECT_FALSE(data.ChangeSkinDataProcess) << What;
      // The skin just loaded is the one the next case must leave alone.
      if (data.Empty) data.LoadFromFile(previous + "skin.ini");
      held = std::make_unique<Held>(data);
      ++loaded;
    } else {
      ASSERT_TRUE(held->Unchanged(++refused % 64 == 0)) << What;
    }
  }
  std::string previous, image, record;
  TkxSkinData data{nullptr};
  std::unique_ptr<Held> held;
  int loaded = 0, refused = 0;
};

TEST_F(DamagedSkin, RecordCutAtEveryByte) {
  ASSERT_TRUE(TryRecord(data, record));  // whole, it loads
  EXPECT_EQ(data.SkinName, "小");
  data.LoadFromFile(previous + "skin.ini");
  held = std::make_unique<Held>(data);
  for (size_t n = 0; n < record.size(); ++n) Expect(record.substr(0, n), "cut at " + std::to_string(n));
  EXPECT_EQ(loaded, 0);
  EXPECT_TRUE(held->Unchanged());
}

TEST_F(DamagedSkin, RecordWithRandomByteFlips) {
  std::mt19937 rng(2121);
  for (int i = 0; i < 3000; ++i) {
    std::string b = record;
    const size_t at = std::uniform_int_distribution<size_t>(0, b.size() - 1)(rng);
    b[at] = char(uint8_t(b[at]) ^ uint8_t(std::uniform_int_distribution<int>(1, 255)(rng)));
    Expect(b, "flip at " + std::to_string(at));
  }
  EXPECT_GT(refused, 2900);
  EXPECT_TRUE(held->Unchanged());
}

TEST_F(DamagedSkin, ImageCutAtEveryByteAndFlipped) {
  // Inside the zlib stream the image is checked by its own lengths and counts.
  // Every cut through the version, the flags, the pictures and the count; then through the text.
  const size_t pictures = image.find("[VERSION]");
  ASSERT_NE(pictures, std::string::npos);
  for (size_t n = 0; n < image.size(); n += (n < pictures + 8 ? 1 : 13))
    Expect(Record(image.substr(0, n)), "image cut at " + std::to_string(n));
  std::mt19937 rng(2122);
  for (int i = 0; i < 600; ++i) {
    std::string b = image;
    const size_t at = std::uniform_int_distribution<size_t>(0, pictures + 8)(rng);
    b[at] = char(uint8_t(b[at]) ^ uint8_t(std::uniform_int_distribution<int>(1, 255)(rng)));
    int32_t version;
    std::memcpy(&version, b.data(), 4);
    Expect(Record(b), "image flip at " + std::to_string(at), version > 3);
  }
  EXPECT_GT(refused, 0);
}

TEST_F(DamagedSkin, HeaderFieldsOutOfRange) {
  auto with = [&](size_t Offset, int32_t Value) {
    std::string b = record;
    std::memcpy(b.data() + Offset, &Value, 4);
    return b;
  };
  for (int32_t l : {-1, int32_t(record.size()), 0x7FFFFFFF}) Expect(with(4, l), "length " + std::to_string(l));
  // A later version is not read: the stored skin is empty and the component ignores it.
  Expect(with(0, 4), "version 4");
  EXPECT_TRUE(held->Unchanged());
  // An empty record: version 3, length 0.
  Expect(std::string("\x03\0\0\0\0\0\0\0", 8), "empty record");
  // Images whose picture count or BMP length claim more than there is.
  std::string img = image;
  const int32_t huge = 0x10000000;
  std::string countAt = img;
  // The count follows the frame picture (flag 0 + BMP), the two empty flags.
  const uint32_t frame = uint8_t(img[7]) | uint8_t(img[8]) << 8;
  std::memcpy(countAt.data() + 4 + 1 + frame + 2, &huge, 4);
  Expect(Record(countAt), "count");
  std::string bmpLen = img;
  std::memcpy(bmpLen.data() + 7, &huge, 4);
  Expect(Record(bmpLen), "bfSize");
  EXPECT_EQ(loaded, 0);
}

TEST(SkinDataFolder, ARecordNameNoSectionCanHoldIsRefusedAtLoad) {
  const std::string good = WriteSkinFolder("旧皮肤");
  TkxSkinData d(nullptr);
  d.LoadFromFile(good + "skin.ini");
  Held held(d);
  struct Case {
    const char* Section;
    const char* Entry;   // replaces entry "0" of the section
    const char* Quoted;  // how the message names the record
  } cases[] = {
      {"SKINCONTROLS", ":button", "\"\" (entry 0 of SKINCONTROLS, kind button)"},
      {"SKINCONTROLS", "a]b:edit", "\"a]b\" (entry 0 of SKINCONTROLS, kind edit)"},
      {"SKINOBJECTS", "]:caption", "\"]\" (entry 0 of SKINOBJECTS, kind caption)"},
      {"SKINOBJECTS", ":stdbutton", "\"\" (entry 0 of SKINOBJECTS, kind stdbutton)"},
      // Saving these would erase the skin's own sections.
      {"SKINCONTROLS", "FormInfo:panel", "\"FormInfo\" (entry 0 of SKINCONTROLS, kind panel)"},
      {"SKINOBJECTS", "skincolors:caption", "\"skincolors\" (entry 0 of SKINOBJECTS, kind caption)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Entry);
    std::string t = SkinText("新皮肤");
    const size_t k = t.find("\r\n0=", t.find(std::string("[") + c.Section + "]"));
    t.replace(k, t.find("\r\n", k + 2) - k, std::string("\r\n0=") + c.Entry);
    const std::string dir = WriteSkinFolder("新皮肤", t);
    // From a folder and from a stored skin, the load fails naming the record and the skin in
    // force stays as it was.
    try {
      d.LoadFromFile(dir + "skin.ini");
      ADD_FAILURE() << "a skin that could not be saved loaded";
    } catch (const EkxSkinError& e) {
      EXPECT_NE(e.Message.find(c.Quoted), std::string::npos) << e.Message;
    }
    EXPECT_TRUE(held.Unchanged());
    TMemoryStream image;
    ASSERT_TRUE(BuildSkinImageFromIniFile(dir + "skin.ini", image));
    EXPECT_THROW(d.LoadSkinImage(image), EkxSkinError);
    EXPECT_TRUE(held.Unchanged());
  }
  // An entry of an unknown kind creates no record, whatever its name: it is skipped as before.
  std::string t = SkinText("新皮肤");
  t.insert(t.find("[SKINCONTROLS]") + 16, "99=]:nokind\r\n");
  const size_t count = t.find("count=", t.find("[SKINCONTROLS]"));
  t.replace(count, t.find("\r\n", count) - count, "count=100");
  const std::string dir = WriteSkinFolder("新皮肤", t);
  d.LoadFromFile(dir + "skin.ini");
  EXPECT_EQ(d.SkinName, "新皮肤");
  EXPECT_NO_THROW(d.SaveToFile(TempFolder() + "saved.ini"));
}

TEST(SkinDataFolder, MissingPictureAndBadRectLeaveThePreviousSkin) {
  const std::string good = WriteSkinFolder("旧皮肤");
  TkxSkinData d(nullptr);
  d.LoadFromFile(good + "skin.ini");
  Held held(d);

  const std::string missing = WriteSkinFolder("新皮肤");
  std::filesystem::remove(std::filesystem::u8path(missing + "图标.bmp"));
  try {
    d.LoadFromFile(missing + "skin.ini");
    FAIL() << "a skin without its picture loaded";
  } catch (const EkxSkinError& e) {
    EXPECT_NE(e.Message.find(missing + "图标.bmp"), std::string::npos) << e.Message;
  }
  EXPECT_TRUE(held.Unchanged());

  const std::string notBmp = WriteSkinFolder("新皮肤");
  WriteText(notBmp + "frame.bmp", "GIF89a not a bitmap");
  EXPECT_THROW(d.LoadFromFile(notBmp + "skin.ini"), EkxSkinError);
  EXPECT_TRUE(held.Unchanged());

  const std::string emptyRect = WriteSkinFolder("新皮肤", SkinText("新皮肤", "[button]\r\nskinrect=\r\n"));
  std::string text = SkinText("新皮肤");
  text.replace(text.find("skinrect=0,0,75,13"), 18, "skinrect=");  // the "button" record (index 3)
  WriteText(emptyRect + "skin.ini", text);
  try {
    d.LoadFromFile(emptyRect + "skin.ini");
    FAIL() << "an empty rect was accepted";
  } catch (const EConvertError& e) {
    EXPECT_NE(e.Message.find("[button] skinrect"), std::string::npos) << e.Message;
  }
  EXPECT_TRUE(held.Unchanged());

  // Not a skin at all: nothing happens, and no error.
  const std::string notSkin = TempFolder();
  WriteText(notSkin + "skin.ini", "[VERSION]\r\nver=1\r\n[SKINCONTROLS]\r\n");
  d.LoadFromFile(notSkin + "skin.ini");
  d.LoadFromFile(notSkin + "absent.ini");
  EXPECT_TRUE(held.Unchanged());
  // A stored skin from a folder that is no skin keeps what it held.
  TkxCompressedStoredSkin stored(nullptr);
  stored.LoadFromIniFile(good + "skin.ini");
  const std::string before = Bytes(stored.CompressedStream());
  stored.LoadFromIniFile(notSkin + "skin.ini");
  EXPECT_EQ(Bytes(stored.CompressedStream()), before);
  EXPECT_THROW(stored.LoadFromIniFile(missing + "skin.ini"), EkxSkinError);
  EXPECT_EQ(Bytes(stored.CompressedStream()), before);
}

TEST(SkinFuzzEntries, TakeAnyBytes) {
  const std::string img = SmallSkinImage();
  const std::string rec = Record(img);
  const std::string text = SkinText();
  std::vector<std::string> inputs{"", std::string(1, '\3'), rec, img, text, rec.substr(0, 20), img.substr(0, 60),
                                  std::string(300, '\xFF'), "[SKINCONTROLS]\ncount=5\n0=b:button\n[b]\nskinrect=1\n"};
  for (const std::string& in : inputs) {
    auto* p = reinterpret_cast<const uint8_t*>(in.data());
    FuzzSkinRecord(p, in.size());
    FuzzSkinImage(p, in.size());
    FuzzSkinText(p, in.size());
  }
}

TEST(SkinData, SaveToFileKeepsTheFilesOtherSections) {
  const std::string dir = WriteSkinFolder();
  TkxSkinData d(nullptr);
  d.LoadFromFile(dir + "skin.ini");
  const std::string out = TempFolder() + "out.ini";
  WriteText(out, "[MINE]\r\nkey=value\r\n[button]\r\nstale=1\r\n");
  d.SaveToFile(out);
  TMemIniFile ini(out);
  EXPECT_EQ(ini.ReadString("MINE", "key", ""), "value");
  EXPECT_FALSE(ini.ValueExists("button", "stale"));  // the record's section was rewritten
  EXPECT_TRUE(IsSkinIniFile(ini));
}

TEST(StoredSkin, RecordsVersionsAndTheList) {
  const std::string img = SmallSkinImage();
  TkxCompressedStoredSkin s(nullptr);
  EXPECT_TRUE(s.Empty());
  TMemoryStream empty;
  s.SaveToCompressStream(empty);
  EXPECT_EQ(Bytes(empty), std::string("\x03\0\0\0\0\0\0\0", 8));
  const std::string dir = TempFolder();
  s.SaveToCompressFile(dir + "none.skn");
  EXPECT_FALSE(FileExists(dir + "none.skn"));

  // Written and read back from position 0: the same compressed bytes.
  TMemoryStream rec;
  const std::string r = Record(img);
  rec.WriteBuffer(r.data(), int64_t(r.size()));
  s.LoadFromCompressStream(rec);
  TMemoryStream again;
  again.WriteBuffer("xx", 2);
  s.SaveToCompressStream(again);
  EXPECT_EQ(Bytes(again).substr(2), r);

  // Version 4 in a file: the stored skin is empty, and the component ignores the file.
  std::string v4 = r;
  v4[0] = 4;
  WriteText(dir + "v4.skn", v4);
  TkxCompressedStoredSkin s4(nullptr);
  s4.LoadFromCompressFile(dir + "v4.skn");
  EXPECT_TRUE(s4.Empty());
  TkxSkinData d(nullptr);
  d.LoadFromCompressedFile(dir + "v4.skn");
  EXPECT_TRUE(d.Empty);

  // A version-2 image: two more flagged pictures after the mask, read and thrown away.
  std::string v2 = img;
  v2[0] = 2;
  const uint32_t frame = uint8_t(img[7]) | uint8_t(img[8]) << 8;
  const size_t afterMask = 4 + 1 + frame + 2;
  v2.insert(afterMask, std::string("\x01", 1) + std::string("\x00", 1) + img.substr(5, frame));
  TkxSkinData d2(nullptr);
  ASSERT_TRUE(TryRecord(d2, Record(v2)));
  EXPECT_EQ(d2.SkinName, "小");
  EXPECT_EQ(d2.FActivePictures.size(), 1u);
  EXPECT_EQ(d2.FPicture->Width(), 3);

  // An image of a later version clears the skin data.
  std::string v9 = img;
  v9[0] = 9;
  ASSERT_TRUE(TryRecord(d2, Record(v9)));
  EXPECT_TRUE(d2.Empty);
  EXPECT_TRUE(d2.CtrlList.empty());

  // The list names its items.
  TkxCompressedSkinList list(nullptr);
  list.Skins()->Add();
  list.Skins()->Add();
  EXPECT_EQ(list.Skins()->Add()->Name(), "kxSkin2");
  EXPECT_EQ(list.Skins()->GetItem(2)->DisplayName(), "kxSkin2");
  EXPECT_EQ(list.Skins()->GetOwner(), &list);
}

TEST(ZlibStreams, WholeStreamsAndTheirEdges) {
  TMemoryStream src, z, out;
  CompressStream(src, z);
  EXPECT_GT(z.Size(), 0);
  EXPECT_EQ(z.Memory()[0], 0x78);
  EXPECT_EQ(z.Memory()[1], 0xDA);
  DecompressStream(out, z);
  EXPECT_EQ(out.Size(), 0);

  std::string text;
  for (int i = 0; i < 3000; ++i) text += "皮肤数据 " + std::to_string(i * 7919 % 1000) + "\r\n";
  TMemoryStream big, packed, unpacked;
  big.WriteBuffer(text.data(), int64_t(text.size()));
  CompressStream(big, packed);
  DecompressStream(unpacked, packed);
  EXPECT_EQ(Bytes(unpacked), text);

  // Cut short: an error, never a shorter image passed off as whole.
  TMemoryStream cut, sink;
  cut.WriteBuffer(packed.Memory(), packed.Size() - 5);
  EXPECT_THROW(DecompressStream(sink, cut), EDecompressionError);
  // Bytes after the end of the zlib stream end the read.
  TMemoryStream trailing, sink2;
  trailing.WriteBuffer(packed.Memory(), packed.Size());
  trailing.WriteBuffer("garbage", 7);
  DecompressStream(sink2, trailing);
  EXPECT_EQ(Bytes(sink2), text);
}

TEST(ZlibStreams, StreamClassRules) {
  TMemoryStream dest;
  {
    TCompressionStream c(TCompressionLevel::clDefault, dest);
    uint8_t buf[10];
    EXPECT_THROW(c.Read(buf, 10), ECompressionError);
    c.WriteBuffer("0123456789", 10);
    EXPECT_EQ(c.Position(), 10);
    EXPECT_THROW(c.Size(), ECompressionError);
    EXPECT_THROW(c.Seek(5, soFromBeginning), ECompressionError);
  }
  std::string data(5000, 'a');
  for (size_t i = 0; i < data.size(); ++i) data[i] = char('a' + i * 31 % 26);
  TMemoryStream src, z;
  src.WriteBuffer(data.data(), int64_t(data.size()));
  CompressStream(src, z);
  z.SetPosition(0);
  TDecompressionStream d(z);
  EXPECT_THROW(d.Write("x", 1), EDecompressionError);
  d.SetPosition(100);
  EXPECT_EQ(d.Position(), 100);
  char c;
  d.ReadBuffer(&c, 1);
  EXPECT_EQ(c, data[100]);
  EXPECT_THROW(d.SetPosition(50), EDecompressionError);
  EXPECT_THROW(d.Seek(0, soFromEnd), EDecompressionError);
  d.SetPosition(0);
  d.ReadBuffer(&c, 1);
  EXPECT_EQ(c, data[0]);
  d.SetPosition(4000);
  std::vector<char> buf(4096);
  EXPECT_EQ(d.Read(buf.data(), 4096), 1000);
  EXPECT_EQ(d.Read(buf.data(), 4096), 0);
}

}  // namespace
