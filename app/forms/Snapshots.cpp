#include "app/forms/Snapshots.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/Exception.h"
#include "base/Files.h"
#include "base/Stream.h"
#include "classlib/Graphics.h"

namespace snapshots {

namespace {

struct TTypeInfo {
  TSnapshotType Type;
  const char* Text;
  const char* Ext;
};

constexpr TTypeInfo kTypes[] = {
    {TSnapshotType::Bmp, "BMP", ".bmp"},
    {TSnapshotType::Jpg, "JPG", ".jpg"},
    {TSnapshotType::Gif, "GIF", ".gif"},
    {TSnapshotType::Png, "PNG", ".png"},
};

const TTypeInfo& Info(TSnapshotType AType) {
  for (const auto& t : kTypes)
    if (t.Type == AType) return t;
  return kTypes[0];
}

// Anything of that name, a folder or a dangling link too, takes the name: writing over it
// would fail or destroy something.
bool NameTaken(const std::string& APath) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(APath, ec));
}

}  // namespace

const char* SnapshotTypeText(TSnapshotType AType) { return Info(AType).Text; }
const char* SnapshotExtension(TSnapshotType AType) { return Info(AType).Ext; }

std::optional<TSnapshotType> SnapshotTypeFromText(const std::string& AText) {
  for (const auto& t : kTypes)
    if (AText == t.Text) return t.Type;
  return std::nullopt;
}

std::string FreeSnapshotName(const std::string& AFolder, const std::string& ABaseName, TSnapshotType AType) {
  const std::string stem = IncludeTrailingPathDelimiter(AFolder) + ABaseName + "_";
  for (uint64_t n = 1;; ++n) {
    std::string name = stem + std::to_string(n) + SnapshotExtension(AType);
    if (!NameTaken(name)) return name;
  }
}

void SaveSnapshot(TBitmap& ABitmap, const std::string& AFileName, TSnapshotType AType) {
  // The frame is an opaque picture: 24 bits whatever the player's copy holds, so no format
  // takes its fourth byte for transparency.
  TBitmap copy;
  copy.Assign(&ABitmap);
  copy.SetPixelFormat(pf24bit);

  std::unique_ptr<TGraphic> image;
  switch (AType) {
    case TSnapshotType::Bmp: break;
    case TSnapshotType::Jpg: image = std::make_unique<TJPEGImage>(); break;
    case TSnapshotType::Gif: image = std::make_unique<TGIFImage>(); break;
    case TSnapshotType::Png: image = std::make_unique<TPngImage>(); break;
  }
  TMemoryStream data;
  if (image) {
    image->Assign(&copy);
    image->SaveToStream(data);
  } else {
    copy.SaveToStream(data);
  }

  try {
    TFileStream file(AFileName, fmCreate);
    errno = 0;
    try {
      file.WriteBuffer(data.Memory(), data.Size());
    } catch (const EWriteError&) {
      // The stream says only that the write failed; the user needs the file and the reason.
      const int err = errno;
      std::string msg = "Cannot write file \"" + AFileName + "\"";
      if (err != 0) msg += ". " + std::error_code(err, std::generic_category()).message();
      throw EWriteError(msg);
    }
  } catch (...) {
    DeleteFile(AFileName);
    throw;
  }
}

std::string TakeSnapshot(TBitmap& AFrame, const std::string& APreviewFile, const std::string& AFolder,
                         TSnapshotType AType) {
  if (AFrame.Width() <= 0 || AFrame.Height() <= 0) return "";
  const std::string base = ChangeFileExt(ExtractFileName(APreviewFile), "");
  std::string name = FreeSnapshotName(AFolder, base, AType);
  SaveSnapshot(AFrame, name, AType);
  return name;
}

}  // namespace snapshots
