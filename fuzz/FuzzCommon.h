#pragma once
// Shared ground of the fuzz targets: each defines LLVMFuzzerTestOneInput over one parser of
// outside input. A target lets through only the errors its parser documents (the project's
// Exception family); anything else, like a crash, a leak or a sanitizer report, is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

namespace fuzz {

// Hands out the input piece by piece: numbers from the front, the rest as text.
class TReader {
public:
  TReader(const uint8_t* AData, size_t ASize) : FData(AData), FSize(ASize) {}
  bool Empty() const { return FPos >= FSize; }
  uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
  template <typename T>
  T Number() {
    T v{};
    uint8_t bytes[sizeof(T)] = {};
    for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = Byte();
    std::memcpy(&v, bytes, sizeof(T));
    return v;
  }
  // Text up to the next NUL byte (or the end).
  std::string Text() {
    const size_t b = FPos;
    while (FPos < FSize && FData[FPos] != 0) ++FPos;
    std::string s(reinterpret_cast<const char*>(FData + b), FPos - b);
    if (FPos < FSize) ++FPos;
    return s;
  }
  std::string Rest() {
    std::string s(reinterpret_cast<const char*>(FData + FPos), FSize - FPos);
    FPos = FSize;
    return s;
  }

private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};

// Stops the run with a message the fuzzer reports as a crash.
[[noreturn]] void Fail(const std::string& AWhat);

}  // namespace fuzz
