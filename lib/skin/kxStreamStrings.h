#pragma once
// Strings inside stream records, and rects given as text of four numbers.
//
// A stream string is a 32-bit little-endian count N of UTF-16 code units followed by the
// 2 x N bytes of those units; in memory the string is UTF-8.
#include <string>

#include "base/Stream.h"
#include "classlib/Graphics.h"

// Raises EReadError when the count is negative or more than the stream still holds; the
// stream position is then unspecified and S is unchanged.
void ReadStreamString(TStream& Stream, std::string& S);
void WriteStreamString(TStream& Stream, const std::string& S);
// Removes the first token and its separator (blank ( ) , : ; =) from S and answers the token;
// both are trimmed.
std::string CutToken(std::string& S);
// Four numbers separated by any separators of CutToken; (0,0,0,0) when that fails.
void TokenStrToRect(const std::string& S, TRect& Rect);
