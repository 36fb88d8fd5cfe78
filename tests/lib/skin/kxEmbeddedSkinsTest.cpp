// The skins the build draws, as the program carries them: embedded resources loaded by name,
// the skin list made from their index, a skin data component switching between them by
// SkinIndex, and the refusal of a missing or damaged resource.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/Resources.h"
#include "base/Stream.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "tests/lib/SkinLint.h"

namespace {

std::string Bytes(TMemoryStream& S) { return std::string(reinterpret_cast<const char*>(S.Memory()), size_t(S.Size())); }

// The compressed data of the drawn file kxSkinN.skn.
std::string DrawnData(int Index) {
  TkxCompressedStoredSkin s(nullptr);
  s.LoadFromCompressFile(skinlint::GeneratedSkinFile(Index));
  return Bytes(s.CompressedStream());
}

TEST(EmbeddedSkins, TheListHoldsTheElevenDrawnSkinsAndSkinIndexLoadsEach) {
  TkxCompressedSkinList list(nullptr);
  LoadEmbeddedSkinList(list);
  TkxCompressedSkinList drawn(nullptr);
  skinlint::LoadGeneratedSkinList(drawn);
  ASSERT_EQ(list.Skins()->Count(), 11);
  ASSERT_EQ(drawn.Skins()->Count(), 11);
  for (int i = 0; i < 11; ++i) {
    TkxSkinListItem* item = list.Skins()->GetItem(i);
    EXPECT_EQ(item->Name(), "kxSkin" + std::to_string(i));
    EXPECT_EQ(item->ResourceName(), item->Name());
    EXPECT_EQ(item->Description(), drawn.Skins()->GetItem(i)->Description());
    EXPECT_EQ(Bytes(item->Skin()->CompressedStream()), DrawnData(i)) << "embedded kxSkin" << i << " is its drawn file";
  }

  TkxSkinData sd(nullptr);
  sd.SetSkinIndex(4);  // stored while there is no list
  sd.SetSkinList(&list);
  EXPECT_EQ(sd.SkinName, list.Skins()->GetItem(4)->Description());
  for (int i : {0, 10, 7}) {
    sd.SetSkinIndex(i);
    EXPECT_EQ(sd.SkinIndex(), i);
    EXPECT_EQ(sd.SkinName, list.Skins()->GetItem(i)->Description());
  }
  sd.SetSkinList(nullptr);
}

TEST(EmbeddedSkins, AMissingOrDamagedResourceRaisesAndKeepsTheFormerSkin) {
  // Damaged records: the header cut short, a length beyond the data, data that does not inflate,
  // a record that inflates only in part, and an empty record.
  static const uint8_t shortHeader[] = {3, 0, 0};
  static const uint8_t longClaim[] = {3, 0, 0, 0, 100, 0, 0, 0, 0x78, 0xDA};
  static const uint8_t notZlib[] = {3, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 'c', 'd'};
  static const uint8_t empty[] = {3, 0, 0, 0, 0, 0, 0, 0};
  // Made and registered once per process: the table keeps pointing at these bytes.
  static const std::vector<uint8_t> cut = [] {
    TMemoryStream record;
    TkxCompressedStoredSkin s(nullptr);
    s.LoadFromResource("kxSkin1");
    s.SaveToCompressStream(record);
    std::vector<uint8_t> c(record.Memory(), record.Memory() + record.Size() - 40);
    int32_t len = int32_t(c.size()) - 8;  // a consistent header over truncated zlib data
    std::memcpy(c.data() + 4, &len, 4);
    return c;
  }();
  static const TResource table[] = {
      {"zz-skins/kxBadCut.skn", cut.data(), cut.size()},
      {"zz-skins/kxBadEmpty.skn", empty, sizeof empty},
      {"zz-skins/kxBadLength.skn", longClaim, sizeof longClaim},
      {"zz-skins/kxBadShort.skn", shortHeader, sizeof shortHeader},
      {"zz-skins/kxBadZlib.skn", notZlib, sizeof notZlib},
  };
  static const bool registered = (RegisterResources(table), true);
  (void)registered;

  TkxCompressedStoredSkin stored(nullptr);
  stored.LoadFromResource("kxSkin2");
  const std::string former = Bytes(stored.CompressedStream());
  TkxSkinData sd(nullptr);
  sd.LoadCompressedStoredSkin(&stored);
  const std::string skinName = sd.SkinName;

  for (const char* name : {"kxNoSuchSkin", "kxBadShort", "kxBadLength", "kxBadZlib", "kxBadCut", "kxBadEmpty"}) {
    SCOPED_TRACE(name);
    try {
      stored.LoadFromResource(name);
      ADD_FAILURE() << "loaded";
    } catch (const EkxSkinError& e) {
      EXPECT_NE(e.Message.find(name), std::string::npos) << e.Message;
    }
    EXPECT_EQ(Bytes(stored.CompressedStream()), former);
  }
  sd.LoadCompressedStoredSkin(&stored);
  EXPECT_EQ(sd.SkinName, skinName);

  // An item naming a damaged skin raises and keeps what it held.
  TkxCompressedSkinList list(nullptr);
  TkxSkinListItem* item = list.Skins()->Add();
  item->SetResourceName("kxSkin5");
  EXPECT_THROW(item->SetResourceName("kxBadZlib"), EkxSkinError);
  EXPECT_EQ(item->ResourceName(), "kxSkin5");
  EXPECT_EQ(Bytes(item->Skin()->CompressedStream()), DrawnData(5));
}

TEST(EmbeddedSkins, AFormDescriptionNamesItsSkinsAndGetsItsSkinAtLoading) {
  RegisterSkinDataFormClasses();
  auto text = [](const std::string& second) {
    return "object Main: TForm\n"
           "  object kxSkinData1: TkxSkinData\n"
           "    SkinList = list\n"
           "    SkinIndex = 1\n"
           "  end\n"
           "  object list: TkxCompressedSkinList\n"
           "    Skins = <\n"
           "      item\n"
           "        Description = 'A'\n"
           "        Name = 'kxSkin0'\n"
           "        ResourceName = 'kxSkin0'\n"
           "      end\n"
           "      item\n"
           "        Description = 'B'\n"
           "        Name = 'kxSkin1'\n"
           "        ResourceName = '" +
           second +
           "'\n"
           "      end>\n"
           "  end\n"
           "end\n";
  };
  TForm owner(nullptr);
  auto* f = new TForm(&owner);
  ReadFormDescription(f, text("kxSkin9"), "main.dfm");
  auto* sd = dynamic_cast<TkxSkinData*>(f->FindComponent("kxSkinData1"));
  ASSERT_NE(sd, nullptr);
  EXPECT_EQ(sd->SkinIndex(), 1);
  TkxCompressedSkinList drawn(nullptr);
  skinlint::LoadGeneratedSkinList(drawn);
  EXPECT_EQ(sd->SkinName, drawn.Skins()->GetItem(9)->Description()) << "the skin the item names, loaded";

  auto* g = new TForm(&owner);
  EXPECT_THROW(ReadFormDescription(g, text("kxMissing"), "main.dfm"), Exception);
}

}  // namespace
