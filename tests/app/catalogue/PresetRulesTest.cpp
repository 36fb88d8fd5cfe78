// Preset lists per format, the disabling of video presets, preset texts turned into
// conversion values, and the preset code.
#include <gtest/gtest.h>

#include "app/catalogue/Presets.h"
#include "base/Exception.h"

using namespace catalogue;
using R = TPresetRole;

namespace {
TPresetTexts DefaultTexts(const TPresetEntry& e) {
  TPresetTexts t;
  for (R r : kPresetFillOrder) t[RoleIndex(r)] = std::string(e.DefaultText(r));
  return t;
}
}  // namespace

TEST(Presets, DefaultsAndDisablingPerFormat) {
  const TPresetEntry* e = MainPresets().Find(1800);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->DefaultText(R::Resolution), "保持原分辨率");
  EXPECT_EQ(e->DefaultText(R::VideoBitrate), "816 kbps");
  EXPECT_EQ(e->DefaultText(R::FrameRate), "25.00");
  EXPECT_EQ(e->DefaultText(R::AudioBitrate), "128 kbps");
  EXPECT_EQ(e->DefaultText(R::SampleRate), "44100");
  EXPECT_EQ(e->DefaultText(R::Aspect), "保持原视频模式");
  for (R r : kPresetFillOrder) EXPECT_TRUE(PresetEnabled(e, r));

  const TPresetEntry* audio = MainPresets().Find(212);
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(audio->DefaultText(R::Resolution), "该格式无视频");
  EXPECT_EQ(audio->DefaultText(R::AudioBitrate), "7.4 kbps");
  EXPECT_EQ(audio->DefaultText(R::SampleRate), "8000");
  for (R r : kPresetFillOrder) EXPECT_EQ(PresetEnabled(audio, r), !IsVideoRole(r));

  const TPresetEntry* p109 = MainPresets().Find(109);
  EXPECT_EQ(p109->DefaultText(R::FrameRate), "12");
  EXPECT_EQ(p109->DefaultText(R::AudioBitrate), "12 kbps");
  EXPECT_EQ(p109->operator[](R::Aspect).List->Items.size(), 2u);

  // A key without an entry: the lists stay empty and enabled.
  EXPECT_EQ(MainPresets().Find(1799), nullptr);
  for (R r : kPresetFillOrder) EXPECT_TRUE(PresetEnabled(nullptr, r));

  // The settings form's table for the same key is its own.
  const TPresetEntry* s = SettingsPresets().Find(100);
  EXPECT_EQ(s->operator[](R::Resolution).List->Name, "ResA");
  EXPECT_EQ(s->DefaultText(R::VideoBitrate), "816 kbps");
  EXPECT_EQ(SettingsPresets().Find(202)->DefaultText(R::AudioBitrate), "192 kbps");
  EXPECT_TRUE(SettingsPresets().Find(1202)->VideoOff);
  EXPECT_EQ(SettingsPresets().Find(1505), nullptr);
}

TEST(Presets, EveryKindOfTextBecomesItsValue) {
  EXPECT_EQ(FrameSizeOfPreset("保持原分辨率"), "");
  EXPECT_EQ(FrameSizeOfPreset("该格式无视频"), "");
  EXPECT_EQ(FrameSizeOfPreset("1280*720"), "1280*720");
  EXPECT_EQ(FrameRateOfPreset("保持原帧速率"), "");
  EXPECT_EQ(FrameRateOfPreset("无视频"), "");
  EXPECT_EQ(FrameRateOfPreset("29.97"), "29.97");
  EXPECT_EQ(FrameRateOfPreset("15"), "15");
  EXPECT_EQ(VideoBitrateOfPreset("816 kbps"), 816000);
  EXPECT_EQ(VideoBitrateOfPreset("无视频"), -1000);
  EXPECT_EQ(AudioBitrateOfPreset("128 kbps"), 128000);
  EXPECT_EQ(AudioBitrateOfPreset("自动音频比特率"), -1000);
  EXPECT_EQ(SampleRateOfPreset("44100"), "44100");
  EXPECT_EQ(SampleRateOfPreset("自动音频采样率"), "AUTO");
  EXPECT_EQ(AspectOfPreset("保持原视频模式"), "");
  EXPECT_EQ(AspectOfPreset("普通视频4:3模式"), "4:3");
  EXPECT_EQ(AspectOfPreset("宽屏视频16:9模式"), "16:9");
  EXPECT_EQ(AspectOfPreset("宽屏视频37:20模式"), "37:20");
  EXPECT_EQ(AspectOfPreset("宽屏视频47:20模式"), "47:20");
  EXPECT_EQ(AspectOfPreset("无视频"), "");
  EXPECT_EQ(AspectOfPreset("其他"), std::nullopt);

  // Decimal audio bitrates: the product printed with 15 digits is a whole number.
  struct {
    const char* text;
    int value;
  } decimals[] = {{"4.75 kbps", 4750}, {"5.15 kbps", 5150}, {"5.9 kbps", 5900}, {"6.7 kbps", 6700},
                  {"7.4 kbps", 7400},  {"7.95 kbps", 7950}, {"10.2 kbps", 10200}, {"12.2 kbps", 12200}};
  for (auto& d : decimals) EXPECT_EQ(AudioBitrateOfPreset(d.text), d.value) << d.text;

  // Every text of every list of both tables turns into a value without error.
  for (const TPresetTables* t : {&MainPresets(), &SettingsPresets()})
    for (const auto& l : t->Lists())
      for (auto text : l.Items) {
        TConversionFields f;
        EXPECT_NO_THROW(CommitPreset(l.Role, text, f)) << l.Name << " " << text;
        if (l.Role == R::Aspect) {
          EXPECT_TRUE(AspectOfPreset(text).has_value()) << text;
        }
      }
}

TEST(Presets, BitrateTextsThatDoNotParseAreClearErrors) {
  const char* bad[] = {"kbps", "abc kbps", "1.5 kbps", "816", "3000000 kbps"};
  for (const char* b : bad) EXPECT_THROW(VideoBitrateOfPreset(b), EConvertError) << b;
  EXPECT_THROW(AudioBitrateOfPreset("7.1234 kbps"), EConvertError);  // 7123.4 is no whole number
  EXPECT_THROW(AudioBitrateOfPreset("x.5 kbps"), EConvertError);
  try {
    VideoBitrateOfPreset("abc kbps");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "'abc' is not a valid integer value");
  }
}

TEST(Presets, CommittingAllSixUsesTheShownTexts) {
  TConversionFields f;
  f.Video_FrameSize = "1*1";
  CommitPresets(DefaultTexts(*MainPresets().Find(1800)), f);
  EXPECT_EQ(f.Video_FrameSize, "");
  EXPECT_EQ(f.Video_FrameRate, "25.00");
  EXPECT_EQ(f.Video_VideoBitrate, 816000);
  EXPECT_EQ(f.Video_AudioSampleRate, "44100");
  EXPECT_EQ(f.Video_AudioBitrate, 128000);
  EXPECT_EQ(f.Video_FrameAspectRatio, "");

  // Audio only: the disabled video lists count like the others.
  CommitPresets(DefaultTexts(*MainPresets().Find(200)), f);
  EXPECT_EQ(f.Video_FrameSize, "");
  EXPECT_EQ(f.Video_FrameRate, "");
  EXPECT_EQ(f.Video_VideoBitrate, -1000);
  EXPECT_EQ(f.Video_AudioBitrate, 128000);

  // A failing audio bitrate: the fields before it are written, the aspect is not.
  TPresetTexts texts = {"640*480", "816 kbps", "25.00", "bad kbps", "44100", "宽屏视频16:9模式"};
  TConversionFields g;
  EXPECT_THROW(CommitPresets(texts, g), EConvertError);
  EXPECT_EQ(g.Video_FrameSize, "640*480");
  EXPECT_EQ(g.Video_AudioSampleRate, "44100");
  EXPECT_EQ(g.Video_AudioBitrate, -1);
  EXPECT_EQ(g.Video_FrameAspectRatio, "");

  // One list at a time: the field and the row cell's text.
  TConversionFields h;
  EXPECT_EQ(CommitPreset(R::VideoBitrate, "1200 kbps", h), "1200000");
  EXPECT_EQ(h.Video_VideoBitrate, 1200000);
  EXPECT_EQ(CommitPreset(R::Aspect, "宽屏视频16:9模式", h), "16:9");
  EXPECT_EQ(CommitPreset(R::AudioBitrate, "7.95 kbps", h), "7950");
  EXPECT_EQ(PresetRowCell(R::Resolution), 15);
  EXPECT_EQ(PresetRowCell(R::VideoBitrate), 16);
  EXPECT_EQ(PresetRowCell(R::FrameRate), 17);
  EXPECT_EQ(PresetRowCell(R::AudioBitrate), 18);
  EXPECT_EQ(PresetRowCell(R::SampleRate), 19);
  EXPECT_EQ(PresetRowCell(R::Aspect), 20);
}

TEST(Presets, PresetCodeKeepsTwoDigitsPerList) {
  // Resolution 3, video bitrate 12, audio bitrate 0, aspect 1, frame rate 5, sample rate 2.
  std::array<int, kPresetRoleCount> byRole{};
  byRole[RoleIndex(R::Resolution)] = 3;
  byRole[RoleIndex(R::VideoBitrate)] = 12;
  byRole[RoleIndex(R::AudioBitrate)] = 0;
  byRole[RoleIndex(R::Aspect)] = 1;
  byRole[RoleIndex(R::FrameRate)] = 5;
  byRole[RoleIndex(R::SampleRate)] = 2;
  EXPECT_EQ(PresetCode(byRole), "031200010502");
  EXPECT_EQ(ReadPresetCode("031200010502"), byRole);

  // Key 1800's defaults, as a new row records them.
  const TPresetEntry* e = MainPresets().Find(1800);
  std::array<int, kPresetRoleCount> defaults{};
  for (R r : kPresetFillOrder) defaults[RoleIndex(r)] = (*e)[r].Default;
  EXPECT_EQ(PresetCode(defaults), "000310000904");

  // Picking "1200 kbps" (position 4 of V1) rewrites characters 3-4 only.
  EXPECT_EQ(ReplacePresetCodePiece("000310000904", R::VideoBitrate, 4), "000410000904");
  EXPECT_EQ(ReplacePresetCodePiece("000310000904", R::Aspect, 2), "000310020904");
  EXPECT_EQ(ReplacePresetCodePiece("000310000904", R::SampleRate, 15), "000310000915");
  // Codes of the wrong length are patched as far as they go and never grow past twelve.
  EXPECT_EQ(ReplacePresetCodePiece("0003", R::AudioBitrate, 7), "000307");
  EXPECT_EQ(ReplacePresetCodePiece("00031000090499", R::Resolution, 1), "010310000904");

  // A list without a selection gives "0-1"; such a code cannot be read back.
  EXPECT_EQ(PresetCodePiece(-1), "0-1");
  byRole[RoleIndex(R::Aspect)] = -1;
  EXPECT_EQ(PresetCode(byRole), "0312000-10502");
  for (const char* bad : {"0312000-10502", "", "03120001050", "0312000105022", "03120001050x"})
    EXPECT_EQ(ReadPresetCode(bad), std::nullopt) << bad;
}
