#pragma once
// The program's stored skins: one layout template drawn in eleven palettes.
#include <string>
#include <vector>

#include "lib/skin/kxSkinData.h"
#include "tools/skins/Paint.h"

namespace skingen {

struct Style {
  const char* Description;  // shown by the skin selection dialog
  bool Dark;
  uint32_t Face, Text, Accent, Field, CaptionTop, CaptionBottom;
  bool HighContrast = false;
};

const std::vector<Style>& Styles();

// Fills an empty skin data component with skin number Index.
void BuildSkin(const Style& S, TkxSkinData& SD);

// The frame picture's size and caption height, shared with nobody but kept in one place.
constexpr int kFrameW = 240, kFrameH = 160, kCaptionH = 30, kBorder = 4;

}  // namespace skingen
