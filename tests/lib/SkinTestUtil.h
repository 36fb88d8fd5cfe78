#pragma once
// A skin written as INI text plus BMP files into a temporary folder, and helpers to compare
// skins, for the skin data tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "base/Files.h"
#include "base/Format.h"
#include "base/Stream.h"
#include "base/StringList.h"
#include "lib/skin/kxSkinData.h"

namespace skintest {

inline std::string TempFolder() {
  static int n = 0;
  auto dir = std::filesystem::temp_directory_path() /
             ("ombrel_skin_" + std::to_string(::getpid()) + "_" + std::to_string(++n));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string() + "/";
}

// A small picture with a pattern of its own (seed), in the given pixel format.
inline void SaveBmp(const std::string& Path, int W, int H, int Seed, TPixelFormat Format = pf24bit) {
  TBitmap b;
  b.SetPixelFormat(Format);
  b.SetSize(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) b.Canvas()->SetPixels(x, y, TColor(((x * 37 + y * 11 + Seed * 101) * 2654435761u) & 0xFFFFFF));
  b.SaveToFile(Path);
}

// The text of a skin naming every control and object kind, with a value or two each.
inline std::string SkinText(const std::string& Name = "蓝色经典", const std::string& ExtraControls = "") {
  std::string t = "[VERSION]\r\nver=1\r\nskinname=" + Name +
                  "\r\nskinauthor=Ombrel\r\nauthorurl=http://example.org/\r\n"
                  "[PICTURES]\r\npicture=frame.bmp\r\ninactivepicture=\r\nmask=mask.bmp\r\n"
                  "activepicturescount=2\r\n0=controls.bmp\r\n1=图标.bmp\r\n"
                  "[FORMINFO]\r\nlefttoppoint=4,28\r\nrighttoppoint=146,28\r\nleftbottompoint=4,109\r\n"
                  "rightbottompoint=146,109\r\nclientrect=4,28,146,109\r\nbuttonsrect=100,4,146,24\r\n"
                  "captionrect=4,4,100,24\r\nborderwidth=4\r\ninactiveeffect=iedarkness\r\nmaskrectarea=0,0,0,0\r\n"
                  "[SKINCOLORS]\r\ncbtnface=15790320\r\n"
                  "[POPUPWINDOW]\r\nwindowpictureindex=1\r\nitemsrect=2,2,20,20\r\n"
                  "[HINTWINDOW]\r\nfontname=宋体\r\n";
  t += "[SKINOBJECTS]\r\ncount=" + std::to_string(SkinObjectKindWords().size()) + "\r\n";
  for (size_t i = 0; i < SkinObjectKindWords().size(); ++i)
    t += std::to_string(i) + "=o_" + SkinObjectKindWords()[i] + ":" + SkinObjectKindWords()[i] + "\r\n";
  for (size_t i = 0; i < SkinObjectKindWords().size(); ++i)
    t += "[o_" + SkinObjectKindWords()[i] + "]\r\nhint=Maximize\r\ncommand=cmmaximize\r\nskinrect=0," +
         std::to_string(i) + ",10,20\r\nactivepictureindex=0\r\n";
  t += "[SKINCONTROLS]\r\ncount=" + std::to_string(SkinControlKindWords().size()) + "\r\n";
  for (size_t i = 0; i < SkinControlKindWords().size(); ++i)
    t += std::to_string(i) + "=" + SkinControlKindWords()[i] + ":" + SkinControlKindWords()[i] + "\r\n";
  for (size_t i = 0; i < SkinControlKindWords().size(); ++i)
    t += "[" + SkinControlKindWords()[i] + "]\r\npictureindex=0\r\nskinrect=0,0,75," + std::to_string(10 + i) +
         "\r\nlefttoppoint=3,3\r\nrightbottompoint=72,22\r\nfontname=Arial\r\nfontheight=" + std::to_string(i) + "\r\n";
  return t + ExtraControls;
}

inline void WriteText(const std::string& Path, const std::string& Text) {
  TFileStream f(Path, fmCreate);
  f.WriteBuffer(Text.data(), int64_t(Text.size()));
}

// A skin folder: skin.ini, frame.bmp, mask.bmp, controls.bmp and 图标.bmp.
inline std::string WriteSkinFolder(const std::string& Name = "蓝色经典", const std::string& Text = "") {
  const std::string dir = TempFolder();
  WriteText(dir + "skin.ini", Text.empty() ? SkinText(Name) : Text);
  SaveBmp(dir + "frame.bmp", 15, 11, 1);
  SaveBmp(dir + "mask.bmp", 15, 11, 2, pf1bit);
  SaveBmp(dir + "controls.bmp", 9, 7, 3, pf32bit);
  SaveBmp(dir + "图标.bmp", 5, 4, 4, pf8bit);
  return dir;
}

inline std::string PictureBytes(TBitmap& B) {
  if (B.Empty()) return "empty";
  TMemoryStream s;
  B.SaveToStream(s);
  return std::string(reinterpret_cast<const char*>(s.Memory()), size_t(s.Size()));
}

// The whole skin text a component writes, then every picture: equal exactly when the skins are.
inline std::string Fingerprint(TkxSkinData& D) {
  TStringList none;
  TMemIniFile ini(none);
  D.WriteSkinIni(ini);
  TStringList lines;
  ini.GetStrings(lines);
  std::string f = lines.Text();
  f += PictureBytes(*D.FPicture) + PictureBytes(*D.FInActivePicture) + PictureBytes(*D.FMask);
  for (auto& b : D.FActivePictures) f += PictureBytes(*b);
  return f;
}

inline std::string Bytes(TMemoryStream& S) { return std::string(reinterpret_cast<const char*>(S.Memory()), size_t(S.Size())); }

}  // namespace skintest
