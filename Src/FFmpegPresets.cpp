#include "Src/FFmpegPresets.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLogger.h"
#include "Src/MyUtils.h"
#include "base/Files.h"
#include "base/Format.h"
#include "base/Text.h"

namespace {

// The x264 presets by their old file names. Four are the historical texts; old option names
// in them (flags2, directpred, partitions) are translated by SetAVOption. The others are
// today's libx264 equivalents: the speed presets map onto libx264's "preset", the first-pass
// variants add its fast first pass, the lossless ones a constant quantiser of 0.
const TOptionsPreset kPresets[] = {
    {"libx264-baseline", "coder=0\nbf=0\nflags2=-wpred-dct8x8\nwpredp=0\n"},
    {"libx264-default",
     "coder=1\nflags=+loop\ncmp=+chroma\npartitions=+parti8x8+parti4x4+partp8x8+partb8x8\nme_method=hex\nsubq=7\n"
     "me_range=16\ng=250\nkeyint_min=25\nsc_threshold=40\ni_qfactor=0.71\nb_strategy=1\nqcomp=0.6\nqmin=10\n"
     "qmax=51\nqdiff=4\nbf=3\nrefs=3\ndirectpred=1\ntrellis=1\nflags2=+mixed_refs+wpred+dct8x8+fastpskip\n"
     "wpredp=2\n"},
    {"libx264-fast", "preset=fast\n"},
    {"libx264-fast_firstpass", "preset=fast\nfastfirstpass=1\n"},
    {"libx264-faster", "preset=faster\n"},
    {"libx264-faster_firstpass", "preset=faster\nfastfirstpass=1\n"},
    {"libx264-fastfirstpass", "preset=medium\nfastfirstpass=1\n"},
    {"libx264-hq", "preset=slow\n"},
    {"libx264-ipod320", "coder=0\nbf=0\nflags2=-wpred-dct8x8\nlevel=13\nmaxrate=768000\nbufsize=3000000\nwpredp=0\n"},
    {"libx264-ipod640",
     "coder=0\nbf=0\nflags2=-wpred-dct8x8\nlevel=30\nmaxrate=10000000\nbufsize=10000000\nwpredp=0\n"},
    {"libx264-lossless_fast", "qp=0\npreset=fast\n"},
    {"libx264-lossless_max", "qp=0\npreset=placebo\n"},
    {"libx264-lossless_medium", "qp=0\npreset=medium\n"},
    {"libx264-lossless_slow", "qp=0\npreset=slow\n"},
    {"libx264-lossless_slower", "qp=0\npreset=slower\n"},
    {"libx264-lossless_ultrafast", "qp=0\npreset=ultrafast\n"},
    {"libx264-main", "flags2=-dct8x8\n"},
    {"libx264-max", "preset=placebo\n"},
    {"libx264-medium", "preset=medium\n"},
    {"libx264-medium_firstpass", "preset=medium\nfastfirstpass=1\n"},
    {"libx264-normal", "preset=medium\n"},
    {"libx264-placebo", "preset=placebo\n"},
    {"libx264-placebo_firstpass", "preset=placebo\nfastfirstpass=1\n"},
    {"libx264-slow", "preset=slow\n"},
    {"libx264-slow_firstpass", "preset=slow\nfastfirstpass=1\n"},
    {"libx264-slower", "preset=slower\n"},
    {"libx264-slower_firstpass", "preset=slower\nfastfirstpass=1\n"},
    {"libx264-slowfirstpass", "preset=slow\nfastfirstpass=0\n"},
    {"libx264-superfast", "preset=superfast\n"},
    {"libx264-superfast_firstpass", "preset=superfast\nfastfirstpass=1\n"},
    {"libx264-ultrafast", "preset=ultrafast\n"},
    {"libx264-ultrafast_firstpass", "preset=ultrafast\nfastfirstpass=1\n"},
    {"libx264-veryfast", "preset=veryfast\n"},
    {"libx264-veryfast_firstpass", "preset=veryfast\nfastfirstpass=1\n"},
    {"libx264-veryslow", "preset=veryslow\n"},
    {"libx264-veryslow_firstpass", "preset=veryslow\nfastfirstpass=1\n"},
};

// Frame rates by norm; the undetermined norm has none.
const char* const kFrameRates[] = {"25", "30000/1001", "24000/1001", ""};

int32_t NormOfRate(int64_t AMilliFps) {
  if (AMilliFps == 25000) return tnPAL;
  if (AMilliFps == 29970 || AMilliFps == 23976) return tnNTSC;
  return tnUnknown;
}

// round(num * 1000 / den); 0 for no rate.
int64_t MilliFps(AVRational ARate) {
  if (ARate.num <= 0 || ARate.den <= 0) return 0;
  return static_cast<int64_t>(std::nearbyint(static_cast<double>(ARate.num) * 1000.0 / ARate.den));
}

std::string ReadPresetFile(const std::string& AFileName) {
  std::FILE* f = std::fopen(AFileName.c_str(), "rb");
  if (!f) throw FFmpegException(Format("Preset \"%s\" not found", AFileName));
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) throw FFmpegException(Format("Preset \"%s\" could not be read", AFileName));
  return text;
}

}  // namespace

const TOptionsPreset* BuiltinPresets() { return kPresets; }
int32_t BuiltinPresetCount() { return static_cast<int32_t>(std::size(kPresets)); }

std::string FindBuiltinPreset(const std::string& AName) {
  for (const TOptionsPreset& p : kPresets)
    if (SameText(AName, p.Name)) return p.Value;
  return {};
}

// ---- targets ----------------------------------------------------------------------------

TTargetNorm DetermineTargetNorm(TCustomFFmpeg& AEngine, const std::string& ANorm, const std::string& ADefaultNorm,
                                bool& AGuessed) {
  AGuessed = false;
  if (ANorm == "pal") return tnPAL;
  if (ANorm == "ntsc") return tnNTSC;
  if (ANorm == "film") return tnFilm;

  AGuessed = true;
  if (AEngine.Fframe_rate.den == 0) throw FFmpegException("frame_rate is invalid.");
  int32_t norm = NormOfRate(MilliFps(AEngine.Fframe_rate));
  // The inputs' video streams in order; the stream's average rate stands for the old codec
  // time base, which streams no longer carry.
  for (int32_t i = 0; norm == tnUnknown && i < AEngine.nb_input_files(); ++i) {
    const AVFormatContext* ic = AEngine.InputFile(i);
    if (!ic) continue;
    for (unsigned s = 0; norm == tnUnknown && s < ic->nb_streams; ++s) {
      const AVStream* st = ic->streams[s];
      if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
      const AVRational rate = st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0 ? st->avg_frame_rate
                                                                                       : st->r_frame_rate;
      norm = NormOfRate(MilliFps(rate));
    }
  }
  if (norm == tnUnknown) norm = ADefaultNorm == "film" ? tnFilm : ADefaultNorm == "ntsc" ? tnNTSC : tnPAL;
  return static_cast<TTargetNorm>(norm);
}

void SetTarget(TCustomFFmpeg& AEngine, const std::string& ATarget, const std::string& ANorm,
               const std::string& ADefaultNorm) {
  TCustomFFmpeg& E = AEngine;
  bool guessed = false;
  const TTargetNorm norm = DetermineTargetNorm(E, ANorm, ADefaultNorm, guessed);
  if (guessed && E.Fverbose > 0)
    GetFFLogger()->Log(&E, llVerbose, Format("Assuming %s for target.", norm == tnPAL ? "PAL" : "NTSC"));

  const bool pal = norm == tnPAL;
  const char* rate = kFrameRates[norm];
  const char* gop = pal ? "15" : "18";
  auto avOption = [&E](const char* AName, const char* AValue) {
    // The target's options are known to the libraries; one refused is a broken set-up.
    if (!E.SetAVOption(AName, AValue))
      throw FFmpegException(Format("Invalid option or argument: \"%s\" = \"%s\"", AName, AValue));
  };
  auto assumeAspect = [&E](const char* AText) {
    if (E.Fframe_aspect_ratio != 0) return;
    GetFFLogger()->Log(&E, llInfo, Format("Assuming %s for aspect ratio", AText));
    E.OptAspect(AText);
  };

  if (ATarget == "vcd") {
    E.OptCodec("vcodec", "mpeg1video");
    E.OptCodec("acodec", "mp2");
    E.SetFormat("vcd");
    E.OptFrameSize(pal ? "352x288" : "352x240");
    E.OptFrameRate(rate);
    avOption("g", gop);
    avOption("b", "1150000");
    avOption("maxrate", "1150000");
    avOption("minrate", "1150000");
    avOption("bufsize", "327680");
    avOption("ab", "224000");
    avOption("packetsize", "2324");
    avOption("muxrate", "1411200");
    E.Faudio_sample_rate = 44100;
    E.Faudio_channels = 2;
    // The VCD standard's fixed preload of 0.44 s.
    E.Fmux_preload = 0.44f;
    assumeAspect("4:3");
  } else if (ATarget == "svcd") {
    E.OptCodec("vcodec", "mpeg2video");
    E.OptCodec("acodec", "mp2");
    E.SetFormat("svcd");
    E.OptFrameSize(pal ? "480x576" : "480x480");
    E.OptFrameRate(rate);
    avOption("g", gop);
    avOption("b", "2040000");
    avOption("maxrate", "2516000");
    avOption("minrate", "0");
    avOption("bufsize", "1835008");
    avOption("flags", "+scan_offset");
    avOption("ab", "224000");
    avOption("packetsize", "2324");
    E.Faudio_sample_rate = 44100;
    if (E.Faudio_channels == 1) E.Faudio_channels = 2;
    assumeAspect("4:3");
  } else if (ATarget == "dvd") {
    E.OptCodec("vcodec", "mpeg2video");
    E.OptCodec("acodec", "ac3");
    E.SetFormat("dvd");
    E.OptFrameSize(pal ? "720x576" : "720x480");
    E.OptFrameRate(rate);
    avOption("g", gop);
    avOption("b", "6000000");
    avOption("maxrate", "9000000");
    avOption("minrate", "0");
    avOption("bufsize", "1835008");
    avOption("packetsize", "2048");
    avOption("muxrate", "10080000");
    avOption("ab", "448000");
    E.Faudio_sample_rate = 48000;
    if (E.Faudio_channels == 1) E.Faudio_channels = 2;
    assumeAspect("16:9");
  } else if (ATarget == "dv" || ATarget == "dv50") {
    E.SetFormat("dv");
    E.OptFrameSize(pal ? "720x576" : "720x480");
    E.DispatchOption("pix_fmt", ATarget == "dv50" ? "yuv422p" : pal ? "yuv420p" : "yuv411p");
    E.OptFrameRate(rate);
    E.Faudio_sample_rate = 48000;
    E.Faudio_channels = 2;
  } else {
    throw FFmpegException("Unknown target type");
  }
}

void TCustomFFmpeg::OptTarget(const std::string& AValue) {
  std::string target = Trim(AValue);
  std::string norm = "auto";
  for (const char* n : {"pal", "ntsc", "film"}) {
    const std::string prefix = std::string(n) + "-";
    if (target.rfind(prefix, 0) == 0) {
      norm = n;
      target.erase(0, prefix.size());
      break;
    }
  }
  SetTarget(*this, target, norm, "ntsc");
}

// ---- presets ----------------------------------------------------------------------------

void TCustomFFmpeg::ApplyPreset(const std::string& AName, const std::string& AValue) {
  if (AName.empty() || AValue.empty()) return;
  std::string name = AValue;
  std::string text;
  bool builtin = false;
  if (AName[0] != 'f') {
    text = FindBuiltinPreset(name);
    builtin = !text.empty();
    if (!builtin) {
      // "vpre slow" with a pending "libx264" means "libx264-slow"; each option letter looks
      // at the codec name of its own kind only.
      const std::string* pending = AName[0] == 'v'   ? &Fvideo_codec_name
                                   : AName[0] == 'a' ? &Faudio_codec_name
                                   : AName[0] == 's' ? &Fsubtitle_codec_name
                                                     : nullptr;
      if (pending && !pending->empty()) {
        name = *pending + "-" + AValue;
        text = FindBuiltinPreset(name);
        builtin = !text.empty();
      }
    }
  }
  if (!builtin) {
    if (!FileExists(AValue)) throw FFmpegException(Format("Preset \"%s\" not found", AValue));
    text = ReadPresetFile(AValue);
  }

  text = StringReplace(StringReplace(Trim(text), "\r\n", "\n", rfReplaceAll), "\r", "\n", rfReplaceAll);
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(std::string_view(text).substr(pos, end - pos));
    pos = end + 1;
    if (line.empty()) continue;
    const size_t eq = line.find('=');
    const std::string key = eq == std::string::npos ? line : Trim(std::string_view(line).substr(0, eq));
    const std::string value = eq == std::string::npos ? std::string() : Trim(std::string_view(line).substr(eq + 1));
    if (key.empty() || value.empty()) throw FFmpegException(Format("%s: Invalid syntax: \"%s\"", name, line));
    const std::string lower = LowerCase(key);
    if (lower == "acodec" || lower == "vcodec" || lower == "scodec") {
      OptCodec(lower, value);
    } else if (!SetAVOption(key, value)) {
      throw FFmpegException(
          Format("%s: Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"", name, line, key, value));
    }
  }
}

// ---- statistics file --------------------------------------------------------------------

std::string VStatsFolder() {
  const std::string exe = GetExeFolder();
  if (::access(exe.c_str(), W_OK) == 0) return exe;
  std::string config = GetEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.empty()) config = GetEnvironmentVariable("HOME") + "/.config";
  const std::string folder = IncludeTrailingPathDelimiter(config) + "ombrel/";
  ForceDirectories(folder);
  return folder;
}

std::string NewVStatsFileName() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  const std::string stem = VStatsFolder() + Format("vstats_%.2d%.2d%.2d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  static std::mutex lock;
  static std::map<std::string, int> handedOut;
  std::lock_guard lk(lock);
  const int n = ++handedOut[stem];
  return n == 1 ? stem + ".log" : Format("%s-%d.log", stem, n);
}

void TCustomFFmpeg::SetVStats() { Fvstats_filename = NewVStatsFileName(); }
