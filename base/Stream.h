#pragma once
// Streams of bytes: the abstract TStream, streams over a file descriptor or a named file,
// and streams over memory. Positions and sizes are 64-bit.
//
// Read and Write move as many bytes as they can and answer how many; ReadBuffer and
// WriteBuffer insist on the whole count and raise EReadError "Stream read error" or
// EWriteError "Stream write error" otherwise, so a read past the end never yields garbage.
#include <cstdint>
#include <string>
#include <vector>

#include "base/Object.h"

// Seek origins.
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

class TStream : public TObject {
public:
  // Reads up to Count bytes into Buffer; answers how many were read (0 at the end).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes up to Count bytes; answers how many were written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position and answers the new one.
  virtual int64_t Seek(int64_t Offset, int Origin) = 0;

  int64_t Position() { return Seek(0, soFromCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soFromBeginning); }
  virtual int64_t Size();
  // Streams that cannot change their size ignore it.
  virtual void SetSize(int64_t NewSize);

  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes from Source's current position, as the class library does, with
  // one special value: a Count of 0 copies the WHOLE of Source from its start, whatever its
  // position. A caller that computed a byte count must not pass 0 meaning "nothing".
  // A negative Count, or a Source that ends early, raises EReadError. Answers the bytes copied.
  int64_t CopyFrom(TStream& Source, int64_t Count);
};

// A stream over an open file descriptor that it does not own.
class THandleStream : public TStream {
public:
  explicit THandleStream(int AHandle) : FHandle(AHandle) {}
  int Handle() const { return FHandle; }
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, int Origin) override;
  // Raises EStreamError when the file cannot take the size.
  void SetSize(int64_t NewSize) override;

protected:
  int FHandle;
};

// Open modes. fmCreate creates the file or empties an existing one, and opens it for
// reading and writing; the others open an existing file and never create or truncate it.
constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
// Share modes are accepted and ignored: POSIX has no mandatory sharing rules.
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

// A stream over a named file (UTF-8 path) that it opens and closes itself. Failing to open
// raises EFOpenError "Cannot open file "<name>". <reason>"; failing to create raises
// EFCreateError "Cannot create file "<name>". <reason>". A folder is never opened as a file.
class TFileStream : public THandleStream {
public:
  TFileStream(const std::string& AFileName, uint16_t Mode);
  ~TFileStream() override;
  const std::string& FileName() const { return FFileName; }

private:
  std::string FFileName;
};

// A stream over bytes in memory. The position may be set past the end: reading there gives
// nothing, writing there fills the gap with zeros.
class TMemoryStream : public TStream {
public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, int Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  // New bytes are zero; a position past the new end moves to the end.
  void SetSize(int64_t NewSize) override;

  uint8_t* Memory() { return FData.data(); }
  const uint8_t* Memory() const { return FData.data(); }
  void Clear();
  // Replaces the content with the whole of Stream (from its start); the position goes to 0.
  void LoadFromStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
  // Writes the whole content, whatever the position.
  void SaveToStream(TStream& Stream);
  void SaveToFile(const std::string& FileName);

protected:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

// A memory stream whose bytes are also seen as a string.
class TStringStream : public TMemoryStream {
public:
  explicit TStringStream(const std::string& AString = std::string());
  std::string DataString() const;
  void WriteString(const std::string& S) { WriteBuffer(S.data(), static_cast<int64_t>(S.size())); }
  // Up to Count bytes from the position, as a string.
  std::string ReadString(int64_t Count);
};
