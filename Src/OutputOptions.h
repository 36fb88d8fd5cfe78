#pragma once
// Turning the description of a task's file (an option record, or an option text) into engine
// options, in the order the engine needs them.
//
// Option text: the whole text is trimmed, every line break and every "<CRLF>" ends a line;
// each line is cut at its first "=" into a name (lower-cased, not trimmed: a blank before a
// name is part of it) and a value (as it is, further "=" included).
//
// Stream options ("acodec", "vcodec", "scodec", "apre", "vpre", "spre", "s", "vf") are kept
// aside in a stream-defaults list: "def_<name>" entries serve the file's main streams, and
// "<name>=<value>" entries, in text order, serve the extra streams that "newaudio",
// "newvideo" and "newsubtitle" lines add once the file is open.
//
// Every handler's exception passes out unchanged; options applied before it stay applied.
#include <string>
#include <vector>

#include "Src/TaskOptions.h"

class TCustomFFmpeg;
class TStrings;

struct TOptionLine {
  std::string Name;  // lower-cased
  std::string Value;
};

// The lines of an option text (empty lines are dropped).
std::vector<std::string> NormaliseOptionText(const std::string& AText);
// The lines of an option text cut into lower-cased names and values.
std::vector<TOptionLine> SplitOptionText(const std::string& AText);

// The general pass over an option text: every line goes to DispatchOption in text order,
// except the stream lines of the output steps. With AWithCodecs (an input) "acodec",
// "vcodec", "scodec" and "s" lines are dispatched too (forcing a decoder or a raw frame size).
void ApplyExtOptions(TCustomFFmpeg& AEngine, const std::string& AText, bool AWithCodecs);

// Fills AList with the "def_*" entries of the record (a record field wins over the text, the
// first occurrence in the text over later ones) and one pending entry per stream line.
void CollectStreamDefaults(TStrings& AList, const TOutputOptions& AOptions);
// TargetType with NormType and NormDefault.
void MapTargetOptions(TCustomFFmpeg& AEngine, const TOutputOptions& AOptions);
// The remaining record fields, in their fixed order.
void MapOutputOptions(TCustomFFmpeg& AEngine, const TOutputOptions& AOptions);

// Everything an output record sets before its file is opened: the defaults list, the target,
// the default codecs and presets, the general pass over ExtOptions, the record's fields, then
// the default frame size and filters. AList is left holding the pending stream entries that
// ApplyNewStreamOptions consumes once the file is open.
void ApplyOutputRecord(TCustomFFmpeg& AEngine, const TOutputOptions& AOptions, TStrings& AList);

// After the output file is open: one extra stream per "newaudio", "newvideo" and
// "newsubtitle" line of AExtOptions, each taking the next pending values of its options.
void ApplyNewStreamOptions(TCustomFFmpeg& AEngine, const std::string& AExtOptions, TStrings& AList);
// The first pending entry named AName is dispatched and removed; without one, the value of
// "def_" + AName is (an empty value does nothing).
void ApplyStreamOption(TCustomFFmpeg& AEngine, TStrings& AList, const std::string& AName);
