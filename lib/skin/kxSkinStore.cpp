#include "lib/skin/kxSkinStore.h"

#include "base/Files.h"
#include "base/Format.h"
#include "base/IniFile.h"
#include "base/Resources.h"
#include "base/StringList.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxzlibcompress.h"

namespace {

constexpr int32_t kSkinVersion = 3;

void WriteInt(TStream& S, int32_t V) {
  const uint8_t b[4] = {uint8_t(V), uint8_t(V >> 8), uint8_t(V >> 16), uint8_t(V >> 24)};
  S.WriteBuffer(b, 4);
}

bool ReadInt(TStream& S, int32_t& V) {
  uint8_t b[4];
  if (S.Read(b, 4) != 4) return false;
  V = int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
  return true;
}

// Reads a compressed skin record from the stream's position into Data. False for a version
// this reader does not know; a record that is cut short or claims more than there is raises.
bool ReadSkinRecord(TStream& S, TMemoryStream& Data) {
  int32_t version, length;
  if (!ReadInt(S, version)) throw EkxSkinError("The stored skin is damaged: it ends within its header");
  if (version > kSkinVersion) return false;
  if (!ReadInt(S, length)) throw EkxSkinError("The stored skin is damaged: it ends within its header");
  const int64_t left = S.Size() - S.Position();
  if (length < 0 || length > left)
    throw EkxSkinError(Format("The stored skin is damaged: it claims %d bytes of data where %d remain", length, left));
  // A length of 0 is an empty stored skin (CopyFrom would read 0 as "everything").
  if (length > 0) Data.CopyFrom(S, length);
  return true;
}

void WriteFrame(TMemoryStream& Image, TBitmap& Bitmap) {
  const uint8_t flag = Bitmap.Empty() ? 1 : 0;
  Image.WriteBuffer(&flag, 1);
  if (!flag) WriteSkinPicture(Image, Bitmap);
}

std::string WithoutFolder(const std::string& Path) { return ExtractFileName(Path); }

}  // namespace

void BuildSkinImage(TkxSkinData& SkinData, TMemoryStream& Image) {
  WriteInt(Image, kSkinVersion);
  WriteFrame(Image, *SkinData.FPicture);
  WriteFrame(Image, *SkinData.FInActivePicture);
  WriteFrame(Image, *SkinData.FMask);
  WriteInt(Image, int32_t(SkinData.FActivePictures.size()));
  for (auto& b : SkinData.FActivePictures) WriteSkinPicture(Image, *b);
  TStringList none;
  TMemIniFile ini(none);
  SkinData.WriteSkinIni(ini);
  TStringList lines;
  ini.GetStrings(lines);
  lines.SaveToStream(Image);
}

bool BuildSkinImageFromIniFile(const std::string& FileName, TMemoryStream& Image) {
  TStringList lines;
  lines.LoadFromFile(FileName);
  TMemIniFile ini(lines);
  if (!IsSkinIniFile(ini)) return false;
  const std::string folder = ExtractFilePath(FileName);
  TMemoryStream image;
  WriteInt(image, kSkinVersion);
  for (const char* key : {"picture", "inactivepicture", "mask"}) {
    TBitmap b;
    const std::string name = ini.ReadString("PICTURES", key, "");
    if (!name.empty()) LoadSkinPictureFile(folder + name, b);
    WriteFrame(image, b);
  }
  TStringList names;
  ReadStrings(ini, "PICTURES", "activepictures", names);
  WriteInt(image, names.Count());
  for (int32_t i = 0; i < names.Count(); ++i) {
    TBitmap b;
    LoadSkinPictureFile(folder + names[i], b);
    WriteSkinPicture(image, b);
  }
  lines.SaveToStream(image);
  Image.CopyFrom(image, 0);
  return true;
}

// ---- TkxCompressedStoredSkin -------------------------------------------------------------------

TkxCompressedStoredSkin::TkxCompressedStoredSkin(TComponent* AOwner) : TComponent(AOwner) {}
TkxCompressedStoredSkin::~TkxCompressedStoredSkin() = default;

void TkxCompressedStoredSkin::SetFileName(const std::string& Value) {
  const auto st = ComponentState();
  if (st.Contains(csDesigning) && !st.Contains(csLoading)) {
    LoadFromIniFile(Value);
    FFileName = WithoutFolder(Value);
  } else {
    FFileName = Value;
  }
}

void TkxCompressedStoredSkin::SetCompressedFileName(const std::string& Value) {
  const auto st = ComponentState();
  if (st.Contains(csDesigning) && !st.Contains(csLoading)) {
    LoadFromCompressFile(Value);
    FCompressedFileName = WithoutFolder(Value);
  } else {
    FCompressedFileName = Value;
  }
}

void TkxCompressedStoredSkin::LoadFromSkinData(TkxSkinData& ASkinData) {
  TMemoryStream image, data;
  BuildSkinImage(ASkinData, image);
  CompressStream(image, data);
  FCompressedStream.LoadFromStream(data);
}

void TkxCompressedStoredSkin::LoadFromIniFile(const std::string& AFileName) {
  TMemoryStream image, data;
  if (!BuildSkinImageFromIniFile(AFileName, image)) return;
  CompressStream(image, data);
  FCompressedStream.LoadFromStream(data);
}

void TkxCompressedStoredSkin::LoadFromCompressFile(const std::string& AFileName) {
  TFileStream file(AFileName, fmOpenRead);
  TMemoryStream data;
  if (!ReadSkinRecord(file, data)) data.Clear();
  FCompressedStream.LoadFromStream(data);
}

void TkxCompressedStoredSkin::SaveToCompressFile(const std::string& AFileName) {
  if (Empty()) return;
  TMemoryStream record;
  SaveToCompressStream(record);
  record.SaveToFile(AFileName);
}

void TkxCompressedStoredSkin::LoadFromCompressStream(TStream& Stream) {
  Stream.SetPosition(0);
  TMemoryStream data;
  if (!ReadSkinRecord(Stream, data)) data.Clear();
  FCompressedStream.LoadFromStream(data);
}

void TkxCompressedStoredSkin::LoadFromResource(const std::string& ResName) {
  const TResource* r = FindResource(ResName + ".skn", TResourceKind::Data);
  if (!r) throw EkxSkinError(Format("The skin resource %s is missing", ResName));
  TMemoryStream record, data;
  record.WriteBuffer(r->Data, int64_t(r->Size));
  record.SetPosition(0);
  try {
    if (!ReadSkinRecord(record, data) || data.Size() == 0) throw EkxSkinError("no skin data");
    // Inflated once here, so a damaged resource is refused now and not when a skin data
    // component later loads it.
    TMemoryStream image;
    DecompressStream(image, data);
  } catch (const Exception& e) {
    throw EkxSkinError(Format("The skin resource %s is damaged: %s", ResName, e.Message));
  }
  FCompressedStream.LoadFromStream(data);
}

void TkxCompressedStoredSkin::SaveToCompressStream(TStream& Stream) {
  WriteInt(Stream, kSkinVersion);
  WriteInt(Stream, int32_t(FCompressedStream.Size()));
  if (!Empty()) Stream.WriteBuffer(FCompressedStream.Memory(), FCompressedStream.Size());
}

void TkxCompressedStoredSkin::DeCompressToStream(TMemoryStream& S) { DecompressStream(S, FCompressedStream); }

void TkxCompressedStoredSkin::ReadCompressedData(TStream& Stream) {
  TMemoryStream data;
  Stream.SetPosition(0);
  if (Stream.Size() > 0) data.CopyFrom(Stream, 0);
  FCompressedStream.LoadFromStream(data);
}

void TkxCompressedStoredSkin::WriteCompressedData(TStream& Stream) {
  if (!Empty()) Stream.WriteBuffer(FCompressedStream.Memory(), FCompressedStream.Size());
}

// ---- the skin list -----------------------------------------------------------------------------

TkxSkinListItem::TkxSkinListItem(const TItemSlot& Collection)
    : TCollectionItem(Collection), FSkin(new TkxCompressedStoredSkin(nullptr)) {
  FName = Format("kxSkin%d", Index());
}

TkxSkinListItem::~TkxSkinListItem() { delete FSkin; }

void TkxSkinListItem::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TkxSkinListItem*>(Source);
  if (!s) {
    TCollectionItem::Assign(Source);
    return;
  }
  FDescription = s->FDescription;
  FFileName = s->FFileName;
  FCompressedFileName = s->FCompressedFileName;
  FName = s->FName;
  FResourceName = s->FResourceName;
  TMemoryStream record;
  s->FSkin->SaveToCompressStream(record);
  FSkin->LoadFromCompressStream(record);
}

bool TkxSkinListItem::Designing() const {
  auto* items = dynamic_cast<TkxSkinListItems*>(Collection());
  if (!items || !items->SkinList()) return false;
  const auto st = items->SkinList()->ComponentState();
  return st.Contains(csDesigning) && !st.Contains(csLoading);
}

void TkxSkinListItem::SetDescription(const std::string& Value) { FDescription = Value; }

void TkxSkinListItem::SetResourceName(const std::string& Value) {
  if (!Value.empty()) FSkin->LoadFromResource(Value);
  FResourceName = Value;
}

void TkxSkinListItem::SetFileName(const std::string& Value) {
  if (Designing()) {
    FSkin->LoadFromIniFile(Value);
    FFileName = WithoutFolder(Value);
  } else {
    FFileName = Value;
  }
}

void TkxSkinListItem::SetCompressedFileName(const std::string& Value) {
  if (Designing()) {
    FSkin->LoadFromCompressFile(Value);
    FCompressedFileName = WithoutFolder(Value);
  } else {
    FCompressedFileName = Value;
  }
}

void TkxSkinListItem::ReadSkin(TStream& Stream) { FSkin->LoadFromCompressStream(Stream); }
void TkxSkinListItem::WriteSkin(TStream& Stream) { FSkin->SaveToCompressStream(Stream); }

TkxSkinListItems::TkxSkinListItems(TkxCompressedSkinList* ASkinList)
    : TCollection(CollectionItemClassOf<TkxSkinListItem>(), ASkinList), FSkinList(ASkinList) {}

TkxCompressedSkinList::TkxCompressedSkinList(TComponent* AOwner)
    : TComponent(AOwner), FSkins(std::make_unique<TkxSkinListItems>(this)) {}

TkxCompressedSkinList::~TkxCompressedSkinList() = default;

void LoadEmbeddedSkinList(TkxCompressedSkinList& List) {
  const TResource* index = FindResource("skins.txt", TResourceKind::Data);
  if (!index) throw EkxSkinError("The skin resource skins.txt is missing");
  TStringList lines;
  lines.SetText(std::string(reinterpret_cast<const char*>(index->Data), index->Size));
  TkxSkinListItems items(&List);
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string name = lines.Names(i);
    if (name.empty()) continue;
    TkxSkinListItem* item = items.Add();
    item->SetName(name);
    item->SetDescription(lines.ValueFromIndex(i));
    item->SetResourceName(name);
  }
  List.SetSkins(&items);
}
