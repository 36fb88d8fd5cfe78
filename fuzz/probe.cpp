// The media probe on small files from outside: opening, the stream and file reports, decoding
// and stepping between pictures, and the copy to a bitmap. The file lives in memory (a memfd
// reached through its /proc path), so runs touch no disk.
#include <sys/mman.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "Src/AVProbe.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "base/Exception.h"
#include "classlib/Graphics.h"
#include "fuzz/FuzzCommon.h"

namespace {

std::unique_ptr<TAVProbe>& Probe() {
  static std::unique_ptr<TAVProbe> probe;
  return probe;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  GetFFLogger()->SetLogLevel(llQuiet);
  Probe() = std::make_unique<TAVProbe>(nullptr);
  if (!Probe()->LoadAVLib()) fuzz::Fail("media libraries: " + FFLoader().LastErrMsg());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
  // Play lists and concatenation lists make the libraries open other files by name.
  if (bytes.find("#EXTM3U") != std::string_view::npos || bytes.find("ffconcat") != std::string_view::npos) return 0;
  const int fd = memfd_create("probe", 0);
  if (fd < 0) fuzz::Fail("memfd_create");
  for (size_t done = 0; done < Size;) {
    const ssize_t n = write(fd, Data + done, Size - done);
    if (n <= 0) fuzz::Fail("write to memfd");
    done += static_cast<size_t>(n);
  }
  TAVProbe& p = *Probe();
  try {
    if (p.LoadFile("/proc/self/fd/" + std::to_string(fd))) {
      p.FileInfoText();
      p.FileStreamInfo();
      p.FirstAudioStreamInfo();
      p.FirstVideoStreamInfo();
      p.FirstSubtitleStreamInfo();
      if (p.VideoStreamCount() > 0) {
        TBitmap bmp;
        for (int i = 0; i < 3 && p.Decode(); ++i) {
        }
        p.CopyToBitmap(&bmp);
        p.DecodeNextKeyFrame();
        p.DecodePreviousKeyFrame();
        p.DecodePreviousFrame();
        p.CopyToBitmap(&bmp);
        p.Seek(0);
        p.Decode();
      }
    }
  } catch (const Exception&) {
  }
  p.CloseFile();
  close(fd);
  return 0;
}
