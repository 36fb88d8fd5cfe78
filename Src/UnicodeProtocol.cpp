#include "Src/UnicodeProtocol.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <mutex>

#include "Src/FFmpegStubs.h"

const char* const UnicodeURLPrefix = "unicode:utf8:";

namespace {

constexpr size_t kPrefixLen = 13;
constexpr int kIOBufferSize = 32768;
const std::string kPassThrough = ":unicode:stream:gopher:http:pipe:rtp:tcp:udp:";

std::atomic<bool> gRegistered{false};
std::mutex gConverterLock;
TCodePageRoundTrip gConverter;

// An open file. A reading file may be put to rest (its descriptor closed, its position kept)
// and opens again at its next read or seek, so that files waiting for their turn hold none.
struct TUnicodeFile {
  int fd = -1;
  bool writing = false;
  std::string name;
  off_t pos = 0;  // while at rest
};

int ErrnoCode() { return AVERROR(errno ? errno : EIO); }

int EnsureOpen(TUnicodeFile* AFile) {
  if (AFile->fd >= 0) return 0;
  const int fd = ::open(AFile->name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrnoCode();
  if (::lseek(fd, AFile->pos, SEEK_SET) < 0) {
    const int r = ErrnoCode();
    ::close(fd);
    return r;
  }
  AFile->fd = fd;
  return 0;
}

// A name the libraries open with a protocol of their own ("pipe:", "http://") rather than a file.
bool HasProtocol(const std::string& AName) {
  const size_t colon = AName.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  for (size_t i = 0; i < colon; ++i)
    if (!std::isalnum(static_cast<unsigned char>(AName[i])) && AName[i] != '+' && AName[i] != '-' && AName[i] != '.')
      return false;
  return true;
}

bool IsRegularFile(const std::string& AName) {
  struct stat st;
  return !HasProtocol(AName) && ::stat(AName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void SetCodePageRoundTrip(TCodePageRoundTrip AConverter) {
  std::lock_guard g(gConverterLock);
  gConverter = std::move(AConverter);
}

bool NeedsUnicodeURL(const std::string& AFileName) {
  const size_t colon = AFileName.find(':');
  if (colon != std::string::npos) {
    const std::string word = ":" + AFileName.substr(0, colon) + ":";
    if (kPassThrough.find(word) != std::string::npos) return false;
  }
  std::lock_guard g(gConverterLock);
  return gConverter ? gConverter(AFileName) != AFileName : false;
}

std::string UnicodeFileURL(const std::string& AFileName) {
  return NeedsUnicodeURL(AFileName) ? UnicodeURLPrefix + AFileName : AFileName;
}

bool IsUnicodeURL(const std::string& AName) {
  return AName.size() > kPrefixLen && AName.compare(0, kPrefixLen, UnicodeURLPrefix) == 0;
}

std::string DecodeFileURL(const std::string& AName) {
  if (!IsUnicodeURL(AName)) return AName;
  return AName.substr(kPrefixLen);
}

void RegisterUnicodeProtocol() { gRegistered = true; }
bool UnicodeProtocolRegistered() { return gRegistered; }

int UnicodeOpen(void** AHandle, const std::string& AURL, int AFlags) noexcept {
  *AHandle = nullptr;
  try {
    const std::string name = DecodeFileURL(AURL);
    const bool rd = AFlags & AVIO_FLAG_READ;
    const bool wr = AFlags & AVIO_FLAG_WRITE;
    if (!rd && !wr) return AVERROR(EINVAL);
    // Only a write open may create or empty the file: an input is never changed.
    int oflags = O_CLOEXEC;
    if (wr)
      oflags |= (rd ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    else
      oflags |= O_RDONLY;
    const int fd = ::open(name.c_str(), oflags, 0666);
    if (fd < 0) return ErrnoCode();
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      return AVERROR(EISDIR);
    }
    *AHandle = new TUnicodeFile{fd, wr, name};
    return 0;
  } catch (...) {
    return AVERROR(ENOMEM);
  }
}

int UnicodeRead(void* AHandle, uint8_t* ABuf, int ASize) noexcept {
  auto* f = static_cast<TUnicodeFile*>(AHandle);
  if (!f || ASize < 0) return AVERROR(EINVAL);
  if (const int r = EnsureOpen(f); r < 0) return r;
  for (;;) {
    const ssize_t n = ::read(f->fd, ABuf, static_cast<size_t>(ASize));
    if (n > 0) return static_cast<int>(n);
    if (n == 0) return ASize == 0 ? 0 : AVERROR_EOF;
    if (errno != EINTR) return ErrnoCode();
  }
}

int UnicodeWrite(void* AHandle, uint8_t* ABuf, int ASize) noexcept {
  auto* f = static_cast<TUnicodeFile*>(AHandle);
  if (!f || ASize < 0) return AVERROR(EINVAL);
  int done = 0;
  while (done < ASize) {
    const ssize_t n = ::write(f->fd, ABuf + done, static_cast<size_t>(ASize - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrnoCode();
    }
    done += static_cast<int>(n);
  }
  return done;
}

int64_t UnicodeSeek(void* AHandle, int64_t APos, int AWhence) noexcept {
  auto* f = static_cast<TUnicodeFile*>(AHandle);
  if (!f) return AVERROR(EINVAL);
  if (const int r = EnsureOpen(f); r < 0) return r;
  const int whence = AWhence & ~AVSEEK_FORCE;
  if (whence == AVSEEK_SIZE) {
    struct stat st;
    if (fstat(f->fd, &st) != 0) return ErrnoCode();
    return st.st_size;
  }
  if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return AVERROR(EINVAL);
  const off_t r = ::lseek(f->fd, APos, whence);
  return r < 0 ? ErrnoCode() : r;
}

int UnicodeClose(void* AHandle) noexcept {
  auto* f = static_cast<TUnicodeFile*>(AHandle);
  if (!f) return 0;
  if (f->fd < 0) {
    delete f;
    return 0;
  }
  const int r = ::close(f->fd);
  const int err = errno;
  delete f;
  return r == 0 ? 0 : AVERROR(err);
}

int OpenUnicodeIO(AVIOContext** APB, const std::string& AURL, int AFlags) {
  *APB = nullptr;
  void* h = nullptr;
  if (int r = UnicodeOpen(&h, AURL, AFlags); r < 0) return r;
  auto* buf = static_cast<unsigned char*>(AVUtilStubs.av_malloc(kIOBufferSize));
  const bool wr = AFlags & AVIO_FLAG_WRITE;
  AVIOContext* pb = buf ? AVFormatStubs.avio_alloc_context(buf, kIOBufferSize, wr ? 1 : 0, h, UnicodeRead,
                                                            wr ? UnicodeWrite : nullptr, UnicodeSeek)
                        : nullptr;
  if (!pb) {
    AVUtilStubs.av_free(buf);
    UnicodeClose(h);
    return AVERROR(ENOMEM);
  }
  *APB = pb;
  return 0;
}

void SuspendUnicodeIO(AVIOContext* APB) {
  if (!IsUnicodeIO(APB) || APB->write_flag) return;
  auto* f = static_cast<TUnicodeFile*>(APB->opaque);
  if (!f || f->fd < 0) return;
  const off_t pos = ::lseek(f->fd, 0, SEEK_CUR);
  if (pos < 0) return;  // keep it open rather than lose the place
  f->pos = pos;
  ::close(f->fd);
  f->fd = -1;
}

bool IsUnicodeIO(const AVIOContext* APB) {
  return APB && APB->read_packet == &UnicodeRead && APB->seek == &UnicodeSeek;
}

void CloseUnicodeIO(AVIOContext** APB) {
  AVIOContext* pb = *APB;
  if (!pb) return;
  if (pb->write_flag) AVFormatStubs.avio_flush(pb);
  UnicodeClose(pb->opaque);
  AVUtilStubs.av_freep(&pb->buffer);
  AVFormatStubs.avio_context_free(APB);
}

int OpenInputURL(AVFormatContext** ACtx, const std::string& AURL, const AVInputFormat* AFormat,
                 AVDictionary** AOptions) {
  // Files go through our own I/O too, so that a waiting task can put its descriptor to rest.
  if (!IsUnicodeURL(AURL) && !IsRegularFile(AURL))
    return AVFormatStubs.avformat_open_input(ACtx, AURL.c_str(), AFormat, AOptions);
  AVIOContext* pb = nullptr;
  if (int r = OpenUnicodeIO(&pb, AURL, AVIO_FLAG_READ); r < 0) {
    AVFormatStubs.avformat_free_context(*ACtx);
    *ACtx = nullptr;
    return r;
  }
  if (!*ACtx) *ACtx = AVFormatStubs.avformat_alloc_context();
  if (!*ACtx) {
    CloseUnicodeIO(&pb);
    return AVERROR(ENOMEM);
  }
  (*ACtx)->pb = pb;
  // The context keeps the "unicode:" name as its url, so DecodeFileURL(ctx->url) still works.
  const int r = AVFormatStubs.avformat_open_input(ACtx, AURL.c_str(), AFormat, AOptions);
  if (r < 0) CloseUnicodeIO(&pb);  // the failed open freed the context but not our I/O
  return r;
}

void CloseInputURL(AVFormatContext** ACtx) {
  if (!*ACtx) return;
  AVIOContext* pb = ((*ACtx)->flags & AVFMT_FLAG_CUSTOM_IO) ? (*ACtx)->pb : nullptr;
  AVFormatStubs.avformat_close_input(ACtx);
  if (IsUnicodeIO(pb)) CloseUnicodeIO(&pb);
}

int OpenOutputURL(AVFormatContext* ACtx, const std::string& AURL, AVDictionary** AOptions) {
  if (IsUnicodeURL(AURL)) return OpenUnicodeIO(&ACtx->pb, AURL, AVIO_FLAG_WRITE);
  return AVFormatStubs.avio_open2(&ACtx->pb, AURL.c_str(), AVIO_FLAG_WRITE, &ACtx->interrupt_callback, AOptions);
}

void CloseOutputURL(AVFormatContext* ACtx) {
  if (!ACtx || !ACtx->pb) return;
  if (IsUnicodeIO(ACtx->pb))
    CloseUnicodeIO(&ACtx->pb);
  else
    AVFormatStubs.avio_closep(&ACtx->pb);
}
