// The gallery of skinned controls drawn in the plain look and in each generated skin, written
// as gallery/gallery-plain.png and gallery/gallery-kxSkinN.png into the build folder for a
// person to look at. GALLERY_FILTER=<text> keeps only the sections whose name holds the text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "classlib/Graphics.h"
#include "lib/skin/kxSkinData.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

using namespace ctltest;

class Gallery : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    // A tall screen, so the whole form and any popup of it are composed.
    headless::SetMonitors({{{0, 0, 1400, 4000}, {0, 0, 1400, 4000}, true}});
  }

  // The form's rectangle of the composed screen into a PNG.
  static void Save(TForm* F, const std::string& Path) {
    int sw = 0, sh = 0;
    const std::vector<uint32_t> screen = headless::ComposeScreen(&sw, &sh);
    const int w = std::min(F->Width(), sw), h = std::min(F->Height(), sh);
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      auto* row = static_cast<uint8_t*>(b.ScanLine(y));
      for (int x = 0; x < w; ++x) {
        const uint32_t p = screen[size_t(y) * size_t(sw) + size_t(x)];
        row[3 * x] = p & 255, row[3 * x + 1] = (p >> 8) & 255, row[3 * x + 2] = (p >> 16) & 255;
      }
    }
    TPngImage png;
    png.Assign(&b);
    png.SaveToFile(Path);
    EXPECT_TRUE(std::filesystem::exists(Path));
  }
};

TEST_F(Gallery, EveryControlInThePlainLookAndEachSkin) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "gallery";
  fs::create_directories(dir);
  const char* filter = std::getenv("GALLERY_FILTER");
  for (int n = -1; n < 11; ++n) {
    auto keep = std::make_unique<TComponent>(nullptr);
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
      ASSERT_FALSE(sd->Empty);
    }
    TForm* f = gallery::BuildForm(keep.get(), sd.get(), filter ? filter : "");
    Pump();
    Save(f, (dir / (n < 0 ? std::string("gallery-plain.png") : "gallery-kxSkin" + std::to_string(n) + ".png")).string());
    keep.reset();  // the controls go before their skin data
    Pump();
  }
}

}  // namespace
