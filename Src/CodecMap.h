#pragma once
// The one table that maps the encoder names and option names of the format catalogue and
// the presets (written for the libraries of 2010) onto what the installed libraries offer.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TEncoderAlias {
  const char* OldName;  // the name the catalogue, presets and users give
  const char* NewName;  // the encoder used instead; nullptr: no encoder exists
  const char* Tag = nullptr;  // fourcc the output gets when none is asked for and the muxer files it
};

// Every alias, for the tests and the log.
const std::vector<TEncoderAlias>& EncoderAliases();

// The encoder name to look up for AName: the alias's new name, or AName itself. AUnavailable
// is set when the table knows that no encoder exists for the name.
std::string MapEncoderName(const std::string& AName, bool& AUnavailable);

// The MPEG program-stream muxers refuse AAC audio, which the old libraries accepted. For
// such a muxer and an AAC encoder name (after aliasing) the answer is "mp2"; otherwise
// empty (no change).
std::string MuxerAudioReplacement(const std::string& AMuxerName, const std::string& AEncoderName);
bool IsProgramStreamMuxer(const std::string& AMuxerName);

// The fourcc an output of the encoder AName (as given, before aliasing) takes when none is
// asked for, or nullptr.
const char* EncoderDefaultTag(const std::string& AName);

// The bit rate nearest to ABitrate that the MP2 encoder accepts at ASampleRate (MPEG-1 rates
// from 32 kHz, the half-rate table below); 0 and negative rates come back unchanged.
int32_t FitMp2Bitrate(int32_t ASampleRate, int32_t ABitrate);

// The picture size an encoder takes for a wanted size: AWidth x AHeight becomes the size of the
// coded picture, AInnerWidth x AInnerHeight the size of the picture inside it (smaller only when
// the rest is padding). Encoders with a fixed list of sizes (H.263) take the smallest that
// holds the picture, which is fitted in keeping its aspect ratio; otherwise the size is
// rounded down to a whole number of chroma samples (AChromaShiftW/H as the pixel format's
// log2 subsampling). Answers whether anything changed.
bool FitFrameSize(const std::string& AEncoderName, int AChromaShiftW, int AChromaShiftH, int32_t& AWidth,
                  int32_t& AHeight, int32_t& AInnerWidth, int32_t& AInnerHeight);

// An option given by its old name or value turned into the names and values the current
// libraries take (several when one old flag set becomes several private options). Names
// the table does not know come back unchanged, as one pair.
std::vector<std::pair<std::string, std::string>> TranslateCodecOption(const std::string& AName,
                                                                      const std::string& AValue);
