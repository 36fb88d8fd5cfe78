#include "lib/skin/kxzlibcompress.h"

#include <zlib.h>

#include <cstring>

namespace {

int CheckCompressResult(int Code) {
  if (Code < 0) throw ECompressionError("error");
  return Code;
}

int CheckDecompressResult(int Code) {
  // Z_NEED_DICT is positive but means the data cannot be inflated here: without this check the
  // read loop would wait for progress that never comes.
  if (Code < 0 || Code == Z_NEED_DICT) throw EDecompressionError("compression error");
  return Code;
}

[[noreturn]] void InvalidCompression() { throw ECompressionError("Invalid stream operation"); }
[[noreturn]] void InvalidDecompression() { throw EDecompressionError("Invalid stream operation"); }

constexpr int kLevels[] = {Z_NO_COMPRESSION, Z_BEST_SPEED, Z_DEFAULT_COMPRESSION, Z_BEST_COMPRESSION};

}  // namespace

TCustomZlibStream::TCustomZlibStream(TStream& Strm)
    : FStrm(Strm), FStrmPos(Strm.Position()), FZRec(std::make_unique<z_stream_s>()) {
  std::memset(FZRec.get(), 0, sizeof(z_stream_s));
}

TCustomZlibStream::~TCustomZlibStream() = default;

// ---- TCompressionStream ---------------------------------------------------------------------

TCompressionStream::TCompressionStream(TCompressionLevel CompressionLevel, TStream& Dest) : TCustomZlibStream(Dest) {
  FZRec->next_out = FBuffer;
  FZRec->avail_out = kBufferSize;
  CheckCompressResult(deflateInit(FZRec.get(), kLevels[int(CompressionLevel)]));
}

void TCompressionStream::Finish() {
  if (FFinished) return;
  FFinished = true;
  try {
    FZRec->next_in = nullptr;
    FZRec->avail_in = 0;
    if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
    while (CheckCompressResult(deflate(FZRec.get(), Z_FINISH)) != Z_STREAM_END && FZRec->avail_out == 0) {
      FStrm.WriteBuffer(FBuffer, kBufferSize);
      FZRec->next_out = FBuffer;
      FZRec->avail_out = kBufferSize;
    }
    if (FZRec->avail_out < unsigned(kBufferSize)) FStrm.WriteBuffer(FBuffer, kBufferSize - FZRec->avail_out);
  } catch (...) {
    deflateEnd(FZRec.get());
    throw;
  }
  deflateEnd(FZRec.get());
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
    // zlib's state is freed by Finish; the caller who cares calls Finish itself.
  }
}

int64_t TCompressionStream::Read(void*, int64_t) { InvalidCompression(); }

int64_t TCompressionStream::Write(const void* Buffer, int64_t Count) {
  if (FFinished) InvalidCompression();
  int64_t left = Count;
  auto* p = static_cast<const uint8_t*>(Buffer);
  if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
  while (left > 0) {
    // zlib counts in 32 bits: hand large buffers over in chunks.
    const uInt chunk = uInt(left > (1 << 30) ? (1 << 30) : left);
    FZRec->next_in = const_cast<Bytef*>(p);
    FZRec->avail_in = chunk;
    while (FZRec->avail_in > 0) {
      CheckCompressResult(deflate(FZRec.get(), Z_NO_FLUSH));
      if (FZRec->avail_out == 0) {
        FStrm.WriteBuffer(FBuffer, kBufferSize);
        FZRec->next_out = FBuffer;
        FZRec->avail_out = kBufferSize;
        FStrmPos = FStrm.Position();
        Progress(this);
      }
    }
    p += chunk;
    left -= chunk;
  }
  return Count;
}

int64_t TCompressionStream::Seek(int64_t Offset, int Origin) {
  if (Offset == 0 && Origin == soFromCurrent) return int64_t(FZRec->total_in);
  InvalidCompression();
}

float TCompressionStream::CompressionRate() const {
  if (FZRec->total_in == 0) return 0;
  return float((1.0 - double(FZRec->total_out) / double(FZRec->total_in)) * 100.0);
}

// ---- TDecompressionStream -------------------------------------------------------------------

TDecompressionStream::TDecompressionStream(TStream& Source) : TCustomZlibStream(Source) {
  FZRec->next_in = FBuffer;
  FZRec->avail_in = 0;
  CheckDecompressResult(inflateInit(FZRec.get()));
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(FZRec.get()); }

int64_t TDecompressionStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  auto* out = static_cast<uint8_t*>(Buffer);
  int64_t produced = 0;
  if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
  while (produced < Count && !FEnded) {
    if (FZRec->avail_in == 0) {
      const int64_t got = FStrm.Read(FBuffer, kBufferSize);
      if (got <= 0) break;  // the source ran out
      FZRec->next_in = FBuffer;
      FZRec->avail_in = uInt(got);
      FStrmPos = FStrm.Position();
      Progress(this);
    }
    const int64_t room = Count - produced;
    const uInt chunk = uInt(room > (1 << 30) ? (1 << 30) : room);
    FZRec->next_out = out + produced;
    FZRec->avail_out = chunk;
    const int code = CheckDecompressResult(inflate(FZRec.get(), Z_NO_FLUSH));
    produced += chunk - FZRec->avail_out;
    // The end of the zlib stream ends the read even when source bytes follow it.
    if (code == Z_STREAM_END) FEnded = true;
  }
  return produced;
}

int64_t TDecompressionStream::Write(const void*, int64_t) { InvalidDecompression(); }

int64_t TDecompressionStream::Seek(int64_t Offset, int Origin) {
  const int64_t done = int64_t(FZRec->total_out);
  if (Offset == 0 && Origin == soFromBeginning) {
    CheckDecompressResult(inflateReset(FZRec.get()));
    FZRec->next_in = FBuffer;
    FZRec->avail_in = 0;
    FEnded = false;
    FStrm.SetPosition(0);
    FStrmPos = 0;
    return 0;
  }
  int64_t skip;
  if (Origin == soFromCurrent && Offset >= 0) skip = Offset;
  else if (Origin == soFromBeginning && Offset > done) skip = Offset - done;
  else if (Origin == soFromBeginning && Offset == done) skip = 0;
  else InvalidDecompression();
  uint8_t chunk[kBufferSize];
  while (skip > 0) {
    const int64_t n = skip > kBufferSize ? kBufferSize : skip;
    ReadBuffer(chunk, n);
    skip -= n;
  }
  return int64_t(FZRec->total_out);
}

// ---- whole streams --------------------------------------------------------------------------

void CompressStream(TMemoryStream& Source, TMemoryStream& Dest) {
  TCompressionStream z(TCompressionLevel::clMax, Dest);
  Source.SetPosition(0);
  if (Source.Size() > 0) z.CopyFrom(Source, 0);
  z.Finish();
}

void DecompressStream(TStream& Dest, TMemoryStream& Source) {
  Source.SetPosition(0);
  TDecompressionStream z(Source);
  uint8_t step[4096];
  for (;;) {
    const int64_t n = z.Read(step, sizeof step);
    if (n <= 0) break;
    Dest.WriteBuffer(step, n);
  }
  if (!z.StreamEnded()) throw EDecompressionError("compression error: the compressed data ends before its end");
}
