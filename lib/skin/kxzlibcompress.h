#pragma once
// Streams that deflate what is written to them into another stream, or inflate another stream
// while they are read, over zlib; and the whole-stream routines of the stored skins.
#include <cstdint>
#include <memory>

#include "base/Events.h"
#include "base/Exception.h"
#include "base/Stream.h"

// Scoped: the colour names clNone and clDefault are taken.
enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

OMBREL_EXCEPTION(EZlibError, Exception)
OMBREL_EXCEPTION(ECompressionError, EZlibError)
OMBREL_EXCEPTION(EDecompressionError, EZlibError)

struct z_stream_s;

class TCustomZlibStream : public TStream {
public:
  ~TCustomZlibStream() override;
  TNotifyEvent OnProgress;

protected:
  // Continues Strm from its present position.
  explicit TCustomZlibStream(TStream& Strm);
  virtual void Progress(TObject* Sender) {
    if (OnProgress) OnProgress(Sender);
  }

  static constexpr int kBufferSize = 8192;
  TStream& FStrm;
  int64_t FStrmPos;
  std::unique_ptr<z_stream_s> FZRec;
  uint8_t FBuffer[kBufferSize];
};

class TCompressionStream : public TCustomZlibStream {
public:
  TCompressionStream(TCompressionLevel CompressionLevel, TStream& Dest);
  // Finishes the zlib stream and writes its rest to Dest. An error on the way cannot leave
  // a destructor: use Finish to see it.
  ~TCompressionStream() override;
  // Finishes the zlib stream now (raising ECompressionError or the destination's write
  // error); later writes are refused.
  void Finish();

  // Raises ECompressionError "Invalid stream operation".
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  // Only (0, soFromCurrent), which answers the bytes written so far.
  int64_t Seek(int64_t Offset, int Origin) override;
  // 0 when nothing was written, else (1 - out / in) x 100.
  float CompressionRate() const;

private:
  bool FFinished = false;
};

class TDecompressionStream : public TCustomZlibStream {
public:
  explicit TDecompressionStream(TStream& Source);
  ~TDecompressionStream() override;

  // Answers the bytes produced: Count unless the zlib stream or the source ended first.
  int64_t Read(void* Buffer, int64_t Count) override;
  // Raises EDecompressionError "Invalid stream operation".
  int64_t Write(const void* Buffer, int64_t Count) override;
  // Forward moves (skipping bytes) and a rewind to 0 (which restarts from the source's
  // position 0); anything else raises EDecompressionError "Invalid stream operation".
  int64_t Seek(int64_t Offset, int Origin) override;
  // True once zlib has seen the end of the compressed stream (with its checksum verified).
  bool StreamEnded() const { return FEnded; }

private:
  bool FEnded = false;
};

// Compresses the whole Source at level 9 into Dest from Dest's position.
void CompressStream(TMemoryStream& Source, TMemoryStream& Dest);
// Decompresses the whole Source and appends the result to Dest. Data that ends before the end
// of the zlib stream raises EDecompressionError rather than passing for a complete image.
void DecompressStream(TStream& Dest, TMemoryStream& Source);
