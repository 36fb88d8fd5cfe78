#include "base/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "base/Exception.h"

namespace {

std::string ErrnoText(int err) {
  char buf[256];
  // GNU strerror_r answers a pointer that may or may not be `buf`.
  const char* text = strerror_r(err, buf, sizeof buf);
  return text ? std::string(text) : std::string("Unknown error");
}

constexpr int64_t kCopyBufferSize = 0xF000;

}  // namespace

// ---- TStream --------------------------------------------------------------------------

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soFromCurrent);
  const int64_t size = Seek(0, soFromEnd);
  Seek(pos, soFromBeginning);
  return size;
}

void TStream::SetSize(int64_t NewSize) { (void)NewSize; }

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count < 0) throw EReadError("Stream read error");
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  const int64_t result = Count;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(Count, kCopyBufferSize)));
  while (Count > 0) {
    const int64_t n = std::min(Count, kCopyBufferSize);
    Source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
  }
  return result;
}

// ---- THandleStream --------------------------------------------------------------------

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FHandle < 0) return 0;
  auto* p = static_cast<uint8_t*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(Count - done, 1 << 30));
    const ssize_t n = ::read(FHandle, p + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0 || FHandle < 0) return 0;
  const auto* p = static_cast<const uint8_t*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(Count - done, 1 << 30));
    const ssize_t n = ::write(FHandle, p + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Seek(int64_t Offset, int Origin) {
  const int whence = Origin == soFromCurrent ? SEEK_CUR : (Origin == soFromEnd ? SEEK_END : SEEK_SET);
  return static_cast<int64_t>(::lseek(FHandle, static_cast<off_t>(Offset), whence));
}

void THandleStream::SetSize(int64_t NewSize) {
  if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EStreamError("Cannot set the stream size. " + ErrnoText(NewSize < 0 ? EINVAL : errno));
  if (Position() > NewSize) Seek(0, soFromEnd);
}

// ---- TFileStream ----------------------------------------------------------------------

TFileStream::TFileStream(const std::string& AFileName, uint16_t Mode) : THandleStream(-1), FFileName(AFileName) {
  if ((Mode & fmCreate) == fmCreate) {
    FHandle = ::open(AFileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FHandle < 0) throw EFCreateError("Cannot create file \"" + AFileName + "\". " + ErrnoText(errno));
    return;
  }
  int flags;
  switch (Mode & 3) {
    case fmOpenRead: flags = O_RDONLY; break;
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: throw EFOpenError("Cannot open file \"" + AFileName + "\". " + ErrnoText(EINVAL));
  }
  FHandle = ::open(AFileName.c_str(), flags | O_CLOEXEC);
  if (FHandle < 0) throw EFOpenError("Cannot open file \"" + AFileName + "\". " + ErrnoText(errno));
  struct stat st;
  if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(FHandle);
    FHandle = -1;
    throw EFOpenError("Cannot open file \"" + AFileName + "\". " + ErrnoText(EISDIR));
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

// ---- TMemoryStream --------------------------------------------------------------------

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  const int64_t size = Size();
  if (Count <= 0 || FPosition < 0 || FPosition >= size) return 0;
  const int64_t n = std::min(Count, size - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition < 0 || Count > std::numeric_limits<int64_t>::max() - FPosition) return 0;
  const int64_t end = FPosition + Count;
  if (end > Size()) {
    try {
      if (static_cast<uint64_t>(end) > FData.max_size()) return 0;
      FData.resize(static_cast<size_t>(end));
    } catch (const std::bad_alloc&) {
      return 0;
    } catch (const std::length_error&) {
      return 0;
    }
  }
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, int Origin) {
  const int64_t base = Origin == soFromCurrent ? FPosition : (Origin == soFromEnd ? Size() : 0);
  int64_t pos;
  if (!__builtin_add_overflow(base, Offset, &pos)) FPosition = pos;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Invalid stream size");
  FData.resize(static_cast<size_t>(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  const int64_t count = Stream.Size();
  if (count < 0) throw EReadError("Stream read error");
  // Read into a fresh buffer, so a failed read leaves the old content whole.
  std::vector<uint8_t> data(static_cast<size_t>(count));
  Stream.ReadBuffer(data.data(), count);
  FData.swap(data);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TMemoryStream::SaveToStream(TStream& Stream) { Stream.WriteBuffer(FData.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(f);
}

// ---- TStringStream --------------------------------------------------------------------

TStringStream::TStringStream(const std::string& AString) { FData.assign(AString.begin(), AString.end()); }

std::string TStringStream::DataString() const {
  return std::string(reinterpret_cast<const char*>(FData.data()), FData.size());
}

std::string TStringStream::ReadString(int64_t Count) {
  if (Count <= 0 || FPosition < 0 || FPosition >= Size()) return {};
  const int64_t n = std::min(Count, Size() - FPosition);
  std::string s(reinterpret_cast<const char*>(FData.data() + FPosition), static_cast<size_t>(n));
  FPosition += n;
  return s;
}
