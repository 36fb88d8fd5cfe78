// Build-time generator of the program's skins and pictures:
//   skingen OUTPUT_FOLDER
// writes, below OUTPUT_FOLDER (the build's generated resources):
//   skins/kxSkin0.skn .. kxSkin10.skn   the stored skins, as compressed skin records
//   skins/skins.txt                     "kxSkinN=description" per line (UTF-8)
//   pictures/ImageList1.png|.bmp        the category list's 44 pictures, 32 x 32 each, in a strip
//   pictures/ImageList2.png|.bmp        the format list's 7 pictures
//   glyphs/<name>.png|.bmp              the main tool bar's glyphs, 32 x 32
//   icons/MAINICON.ico                  the application icon, 16, 32, 48 and 256 pixels
//   pictures/Form1Image1.png|.bmp       the main window's empty-list picture
//   pictures/Form1Image2..17.png|.bmp   the main window's command groups' on and off glyphs
//   pictures/Form2Image1.png|.bmp       the about box's picture, 53 x 57
//   pictures/Form6Image1.png            the settings form's picture, 128 x 128
//   pictures/Form6ImageList1.png|.bmp   the settings form's 12 category pictures, in a strip
// BMP files are 32 bits with alpha; every picture is drawn here, nothing is read.
//   skingen --beside EXE_FOLDER
// writes the files the program finds beside its executable: sounds/ring001.wav (the finish
// sound) and help.chm (the help file the help command opens).
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/Stream.h"
#include "classlib/graphics/Codecs.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "tools/skins/Icons.h"
#include "tools/skins/Skins.h"

namespace {

img::RawImage ToRaw(TkxBitmap& B) {
  img::RawImage im;
  im.Allocate(B.Width(), B.Height(), 32);
  im.HasAlpha = true;
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x) {
      TkxColor c = *B.PixelAddress(x, y);
      uint8_t* d = im.Row(y) + 4 * x;
      d[0] = PixelBlue(c), d[1] = PixelGreen(c), d[2] = PixelRed(c), d[3] = PixelAlpha(c);
    }
  return im;
}

void WriteFile(const std::filesystem::path& Path, const img::Bytes& Bytes) {
  TFileStream f(Path.string(), fmCreate);
  f.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
}

void WritePicture(const std::filesystem::path& Stem, TkxBitmap& B) {
  img::RawImage im = ToRaw(B);
  WriteFile(Stem.string() + ".png", img::WritePng(im));
  WriteFile(Stem.string() + ".bmp", img::WriteBmp(im));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 3 && std::string(argv[1]) == "--beside")) {
    std::fprintf(stderr, "usage: skingen OUTPUT_FOLDER | skingen --beside EXE_FOLDER\n");
    return 2;
  }
  namespace fs = std::filesystem;
  if (argc == 3 && std::string(argv[1]) == "--beside") {
    try {
      const fs::path exe = argv[2];
      fs::create_directories(exe / "sounds");
      WriteFile(exe / "sounds" / "ring001.wav", skingen::BellWav());
      const std::string help =
          "<!DOCTYPE html>\n<html lang=\"zh\"><head><meta charset=\"utf-8\"><title>帮助</title></head>\n"
          "<body><h1>OmbrelWMV视频格式转换器</h1><p>添加文件，选择分类和格式，然后点击“开始”。</p></body></html>\n";
      WriteFile(exe / "help.chm", img::Bytes(help.begin(), help.end()));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "skingen: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  const fs::path out = argv[1];
  try {
    for (const char* sub : {"skins", "pictures", "glyphs", "icons"}) fs::create_directories(out / sub);
    InitializeEffectsUnit();

    std::string list;
    const auto& styles = skingen::Styles();
    for (size_t i = 0; i < styles.size(); ++i) {
      TkxSkinData sd(nullptr);
      skingen::BuildSkin(styles[i], sd);
      TkxCompressedStoredSkin stored(nullptr);
      stored.LoadFromSkinData(sd);
      const std::string name = "kxSkin" + std::to_string(i);
      TFileStream f((out / "skins" / (name + ".skn")).string(), fmCreate);
      stored.SaveToCompressStream(f);
      list += name + "=" + styles[i].Description + "\n";
    }
    TFileStream lf((out / "skins" / "skins.txt").string(), fmCreate);
    lf.WriteBuffer(list.data(), int64_t(list.size()));

    for (int l = 1; l <= 2; ++l) {
      auto strip = skingen::ImageListStrip(l);
      WritePicture(out / "pictures" / ("ImageList" + std::to_string(l)), *strip);
    }
    for (const auto& g : skingen::ToolGlyphs()) {
      auto b = skingen::ToolGlyph(g.Kind, 32);
      WritePicture(out / "glyphs" / g.Name, *b);
    }
    WritePicture(out / "pictures" / "Form1Image1", *skingen::EmptyListPicture());
    for (const auto& g : skingen::GroupGlyphs()) {
      auto on = skingen::ToolGlyph(g.Kind, 32);
      auto b = g.On ? std::move(on) : skingen::DisabledLook(*on);
      WritePicture(out / "pictures" / ("Form1Image" + std::to_string(g.Image)), *b);
    }
    WritePicture(out / "pictures" / "Form2Image1", *skingen::AboutPicture());
    WriteFile(out / "pictures" / "Form6Image1.png", img::WritePng(ToRaw(*skingen::SettingsPicture())));
    WritePicture(out / "pictures" / "Form6ImageList1", *skingen::SettingsImageStrip());
    std::vector<img::IconImage> icons;
    for (int size : {16, 32, 48, 256}) {
      auto b = skingen::AppIcon(size);
      img::IconImage ic;
      ic.Color = ToRaw(*b);
      ic.Mask.assign(size_t(size) * size, 0);
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) ic.Mask[size_t(y) * size + x] = PixelAlpha(*b->PixelAddress(x, y)) == 0;
      ic.BitCount = 32;
      icons.push_back(std::move(ic));
    }
    WriteFile(out / "icons" / "MAINICON.ico", img::WriteIco(icons));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skingen: %s\n", e.what());
    return 1;
  }
  return 0;
}
