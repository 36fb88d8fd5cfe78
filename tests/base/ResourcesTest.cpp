#include "base/Resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "base/Exception.h"

namespace fs = std::filesystem;

// The files of a folder that must be embedded byte for byte, by path below the folder.
std::set<std::string> ExpectEmbedded(const fs::path& root) {
  std::set<std::string> onDisk;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    std::string rel = fs::relative(e.path(), root).generic_string();
    onDisk.insert(rel);
    const TResource* r = FindResourceFile(rel);
    EXPECT_NE(r, nullptr) << rel;
    if (!r) continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(r->Size, bytes.size()) << rel;
    if (r->Size == bytes.size()) {
      EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), r->Data)) << rel;
    }
  }
  return onDisk;
}

// Both the committed files and what the build draws (the skins, pictures and the icon), each
// equal to its file.
TEST(Resources, EveryFileUnderResourcesIsEmbeddedByteForByte) {
  std::set<std::string> onDisk = ExpectEmbedded(fs::path(OMBREL_SOURCE_DIR) / "resources");
#ifdef OMBREL_GENERATED_RESOURCES
  onDisk.merge(ExpectEmbedded(OMBREL_GENERATED_RESOURCES));
#endif
  std::set<std::string> embedded;
  std::string prev;
  for (const TResource& r : EmbeddedResources()) {
    EXPECT_LT(prev, std::string(r.Path)) << "table sorted by path, no duplicates";
    prev = r.Path;
    if (!std::string_view(r.Path).starts_with("zz-test/")) embedded.insert(r.Path);  // the test below's
  }
  EXPECT_EQ(embedded, onDisk);
#ifdef OMBREL_GENERATED_RESOURCES
  EXPECT_TRUE(onDisk.count("icons/MAINICON.ico"));
  for (int i = 0; i <= 10; ++i) EXPECT_TRUE(onDisk.count("skins/kxSkin" + std::to_string(i) + ".skn")) << i;
#endif
}

TEST(Resources, ARegisteredTableJoinsTheLookupAndKnownPathsKeepTheirBytes) {
  static const uint8_t bytes[] = {1, 2, 3};
  static const uint8_t other[] = {9};
  static const TResource table[] = {{"zz-test/extra.dat", bytes, 3}, {"zz-test/late.dat", other, 1}};
  static const TResource again[] = {{"zz-test/extra.dat", other, 1}};
  RegisterResources(table);
  RegisterResources(again);
  const TResource* r = FindResourceFile("zz-test/extra.dat");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Size, 3u);
  EXPECT_EQ(r->Data, bytes);
  const TResource* late = FindResource("LATE.DAT", TResourceKind::Data);
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(late->Data, other);
  EXPECT_NE(FindResourceFile("icons/MAINICON.ico"), nullptr) << "the earlier tables stay";
}

TEST(Resources, LookupByNameAndKind) {
  const TResource* icon = FindResourceFile("icons/MAINICON.ico");
  ASSERT_NE(icon, nullptr);
  struct Case {
    std::string_view name;
    TResourceKind kind;
    const TResource* want;
  } cases[] = {
      {"MAINICON", TResourceKind::Icon, icon},
      {"mainicon", TResourceKind::Icon, icon},  // names ignore ASCII case
      {"MainIcon", TResourceKind::Icon, icon},
      {"MAINICON", TResourceKind::Bitmap, nullptr},  // the kind decides the extension
      {"MAINICON.ico", TResourceKind::Data, icon},   // data resources are named with theirs
      {"MAINICON", TResourceKind::Data, nullptr},
      {"MAINICO", TResourceKind::Icon, nullptr},
      {"icons/MAINICON", TResourceKind::Icon, nullptr},  // names, not paths
      {"", TResourceKind::Icon, nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(FindResource(c.name, c.kind), c.want) << c.name;
  EXPECT_EQ(FindResourceFile("icons/mainicon.ico"), nullptr);  // paths are exact
  EXPECT_EQ(FindResourceFile("MAINICON.ico"), nullptr);
  EXPECT_EQ(FindResourceFile(""), nullptr);
}

TEST(Resources, StreamCopiesTheBytesAndMissingNamesRaise) {
  TResourceStream s("MAINICON", TResourceKind::Icon);
  const TResource* r = FindResource("MAINICON", TResourceKind::Icon);
  ASSERT_EQ(s.Size(), int64_t(r->Size));
  EXPECT_EQ(s.Position(), 0);
  EXPECT_TRUE(std::equal(r->Data, r->Data + r->Size, s.Memory()));
  try {
    TResourceStream missing("KX_NOSUCH", TResourceKind::Bitmap);
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message, "Resource KX_NOSUCH not found");
  }
}

TEST(Resources, BitmapBitsBeginAtTheInfoHeader) {
  // A 1x1 24-bit .bmp: file header (14 bytes), info header (40), one padded row.
  uint8_t bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24};
  TResource good{"x.bmp", bmp, sizeof bmp};
  auto bits = BitmapResourceBits(good);
  ASSERT_EQ(bits.size(), sizeof bmp - 14);
  EXPECT_EQ(bits[0], 40);   // biSize
  EXPECT_EQ(bits[14], 24);  // biBitCount, where a reader of the module's bytes looks for it
  TResource shortOne{"x.bmp", bmp, 10};
  EXPECT_TRUE(BitmapResourceBits(shortOne).empty());
  uint8_t notBmp[20] = {'P', 'K'};
  TResource other{"x.bmp", notBmp, sizeof notBmp};
  EXPECT_TRUE(BitmapResourceBits(other).empty());
}
