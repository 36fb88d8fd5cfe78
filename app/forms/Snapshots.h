#pragma once
// Snapshots of the preview: the picture now shown, saved into the snapshot folder as
// <previewed file's base name>_<n>.<ext>, n the smallest number from 1 whose name is free for
// that extension. BMP files are 24-bit; JPG, GIF and PNG go through the class library's
// picture classes. The folder and the type are the caller's (they are looked up in the
// settings at every snapshot, never cached here).
#include <optional>
#include <string>

class TBitmap;

namespace snapshots {

enum class TSnapshotType { Bmp, Jpg, Gif, Png };

// "BMP", "JPG", "GIF", "PNG": the type's text as the settings store it.
const char* SnapshotTypeText(TSnapshotType AType);
// The stored text back to a type; nullopt for any other text (compared exactly).
std::optional<TSnapshotType> SnapshotTypeFromText(const std::string& AText);
// ".bmp", ".jpg", ".gif", ".png".
const char* SnapshotExtension(TSnapshotType AType);

// AFolder/ABaseName_n.ext with the smallest n from 1 for which nothing (file or folder) of
// that name exists.
std::string FreeSnapshotName(const std::string& AFolder, const std::string& ABaseName, TSnapshotType AType);

// Saves a copy of ABitmap (which stays as it is) as AType under AFileName. The picture is encoded before the file is
// made, and a file that cannot be written completely is removed again, so a failure leaves no
// partial file; it raises the class library's exception with the reason.
void SaveSnapshot(TBitmap& ABitmap, const std::string& AFileName, TSnapshotType AType);

// One snapshot of AFrame for the previewed file APreviewFile: "" when the frame is empty (no
// file open, no video), else the name of the file written. Raises as SaveSnapshot.
std::string TakeSnapshot(TBitmap& AFrame, const std::string& APreviewFile, const std::string& AFolder,
                         TSnapshotType AType);

}  // namespace snapshots
