#pragma once
// The one table that maps the encoder names and option names of the format catalogue and
// the presets (written for the libraries of 2010) onto what the installed libraries offer.
#include <string>
#include <utility>
#include <vector>

struct TEncoderAlias {
  const char* OldName;  // the name the catalogue, presets and users give
  const char* NewName;  // the encoder used instead; nullptr: no encoder exists
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

// An option given by its old name or value turned into the names and values the current
// libraries take (several when one old flag set becomes several private options). Names
// the table does not know come back unchanged, as one pair.
std::vector<std::pair<std::string, std::string>> TranslateCodecOption(const std::string& AName,
                                                                      const std::string& AValue);
