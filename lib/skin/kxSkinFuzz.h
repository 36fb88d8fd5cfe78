#pragma once
// Entry points for fuzz targets over the skin parsers: each takes arbitrary bytes, must never
// crash or read out of bounds, and swallows the exceptions a damaged input raises.
#include <cstddef>
#include <cstdint>

// Bytes as a compressed skin record (version, length, zlib data), loaded into a skin data
// component.
void FuzzSkinRecord(const uint8_t* Data, size_t Size);
// Bytes as a decompressed skin image (pictures, then the INI text), loaded the same way.
void FuzzSkinImage(const uint8_t* Data, size_t Size);
// Bytes as the INI text of a skin file, read into a skin without pictures and written back.
void FuzzSkinText(const uint8_t* Data, size_t Size);
