#pragma once
// Ready-made option groups of the conversion engine: disc targets (VCD, SVCD, DVD, DV, DV50
// for the PAL, NTSC and film norms), the built-in x264 presets and preset files, and the
// name of the video statistics file.
#include <cstdint>
#include <string>

class TCustomFFmpeg;

struct TOptionsPreset {
  const char* Name;
  const char* Value;  // option lines "name=value", each ending with LF
};

// The built-in presets, in table order (36).
const TOptionsPreset* BuiltinPresets();
int32_t BuiltinPresetCount();
// The Value of the first built-in preset whose name equals AName ignoring case, else "".
std::string FindBuiltinPreset(const std::string& AName);

// Norms of the targets.
enum TTargetNorm { tnPAL, tnNTSC, tnFilm, tnUnknown };

// Applies a target: ATarget "vcd", "svcd", "dvd", "dv" or "dv50"; ANorm "pal", "ntsc",
// "film", or anything else to find the norm from the frame rate and then the inputs;
// ADefaultNorm "film", "ntsc" or anything else for PAL, used when nothing decides.
// Raises FFmpegException "frame_rate is invalid." when the norm is to be found without a
// frame rate, "Unknown target type" for another target; the handlers' refusals pass out.
void SetTarget(TCustomFFmpeg& AEngine, const std::string& ATarget, const std::string& ANorm,
               const std::string& ADefaultNorm);
// The norm SetTarget finds for ANorm (same rules and failure), without applying anything.
TTargetNorm DetermineTargetNorm(TCustomFFmpeg& AEngine, const std::string& ANorm, const std::string& ADefaultNorm,
                                bool& AGuessed);

// The folder the statistics files go to: the program's folder when it is writable, else
// the user's configuration folder of the program. With its trailing "/".
std::string VStatsFolder();
// The name "vstats_hhnnss.log" in VStatsFolder() for the current local time; a name this
// process has already handed out gets a number ("vstats_hhnnss-2.log"), so two tasks
// started within the same second do not write into one file.
std::string NewVStatsFileName();
