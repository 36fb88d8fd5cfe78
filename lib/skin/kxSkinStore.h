#pragma once
// Stored skins: a whole skin (its pictures and its INI text) in one zlib stream, alone or in a
// list of stored skins that a form description carries.
//
// The compressed skin record, as files and the "Skin" property hold it (little-endian):
//   int32 version (3; a reader refuses greater values), int32 L, L bytes of zlib data.
// The skin image the data inflates to:
//   int32 version, then for the frame picture, the inactive frame picture and the mask a flag
//   byte (1 = empty, nothing follows; 0 = a BMP follows) and the BMP (version 2 has two more
//   flagged pictures, skipped), int32 count, count BMPs, and the INI text to the end.
// Every length and count is checked against the bytes there are: a damaged record or image
// raises EkxSkinError (or EDecompressionError) and never reads past its end.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Component.h"
#include "base/Stream.h"

class TkxSkinData;

class TkxCompressedStoredSkin : public TComponent {
public:
  explicit TkxCompressedStoredSkin(TComponent* AOwner);
  ~TkxCompressedStoredSkin() override;

  const std::string& Description() const { return FDescription; }
  void SetDescription(const std::string& Value) { FDescription = Value; }
  // The INI skin file the data came from, without its folder. While designing, setting it
  // loads that file.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value);
  const std::string& CompressedFileName() const { return FCompressedFileName; }
  void SetCompressedFileName(const std::string& Value);
  bool Empty() const { return FCompressedStream.Size() == 0; }
  // The zlib data alone (no version, no length).
  TMemoryStream& CompressedStream() { return FCompressedStream; }

  // Each load replaces the compressed data only once the new data is complete; a failed load
  // leaves the former data.
  void LoadFromSkinData(TkxSkinData& ASkinData);
  // A file that is no skin changes nothing.
  void LoadFromIniFile(const std::string& AFileName);
  void LoadFromCompressFile(const std::string& AFileName);
  // Nothing is written, and no file created, for an empty stored skin.
  void SaveToCompressFile(const std::string& AFileName);
  // Reads a compressed skin record from position 0 of the stream. A version above 3 leaves
  // the stored skin empty.
  void LoadFromCompressStream(TStream& Stream);
  // Reads the compressed skin record embedded as "skins/<ResName>.skn" (the skins the build
  // draws, base/Resources.h). A missing resource, or one that is not a whole skin record whose
  // data inflates, raises EkxSkinError naming it and leaves the former data.
  void LoadFromResource(const std::string& ResName);
  // Writes the record at the stream's position (an empty stored skin writes 3 and 0).
  void SaveToCompressStream(TStream& Stream);
  // Appends the skin image to S. Data that does not inflate completely raises
  // EDecompressionError.
  void DeCompressToStream(TMemoryStream& S);

  // The "CompressedData" property of form descriptions: the zlib data as it is.
  void ReadCompressedData(TStream& Stream);
  void WriteCompressedData(TStream& Stream);

private:
  std::string FFileName, FCompressedFileName;
  mutable TMemoryStream FCompressedStream;  // Size() is not const
  std::string FDescription;
};

// Builds a skin image from an INI skin file and its BMP files (the text is taken unchanged).
// Answers false, writing nothing, when the file is no skin.
bool BuildSkinImageFromIniFile(const std::string& FileName, TMemoryStream& Image);
// Builds a skin image from a skin data component.
void BuildSkinImage(TkxSkinData& SkinData, TMemoryStream& Image);

class TkxCompressedSkinList;

class TkxSkinListItem : public TCollectionItem {
public:
  // Named "kxSkin" followed by its index.
  explicit TkxSkinListItem(const TItemSlot& Collection);
  ~TkxSkinListItem() override;
  void Assign(TPersistent* Source) override;

  const std::string& Description() const { return FDescription; }
  void SetDescription(const std::string& Value);
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value);
  const std::string& CompressedFileName() const { return FCompressedFileName; }
  void SetCompressedFileName(const std::string& Value);
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  // The embedded skin the item holds ("kxSkin3"): setting it loads that resource
  // (TkxCompressedStoredSkin::LoadFromResource), so a form description can name its skins
  // instead of carrying their bytes.
  const std::string& ResourceName() const { return FResourceName; }
  void SetResourceName(const std::string& Value);
  TkxCompressedStoredSkin* Skin() const { return FSkin; }
  std::string DisplayName() override { return FName; }

  // The "Skin" property: the compressed skin record of Skin().
  void ReadSkin(TStream& Stream);
  void WriteSkin(TStream& Stream);

private:
  bool Designing() const;
  TkxCompressedStoredSkin* FSkin;
  std::string FDescription, FFileName, FCompressedFileName, FName, FResourceName;
};

class TkxSkinListItems : public TCollection {
public:
  explicit TkxSkinListItems(TkxCompressedSkinList* ASkinList);
  TkxSkinListItem* GetItem(int Index) const { return static_cast<TkxSkinListItem*>(Items(Index)); }
  TkxSkinListItem* Add() { return static_cast<TkxSkinListItem*>(TCollection::Add()); }
  TkxCompressedSkinList* SkinList() const { return FSkinList; }

private:
  TkxCompressedSkinList* FSkinList;
};

class TkxCompressedSkinList : public TComponent {
public:
  explicit TkxCompressedSkinList(TComponent* AOwner);
  ~TkxCompressedSkinList() override;
  TkxSkinListItems* Skins() const { return FSkins.get(); }
  void SetSkins(TkxSkinListItems* Value) { FSkins->Assign(Value); }

private:
  std::unique_ptr<TkxSkinListItems> FSkins;
};

// Replaces the items of List by the skins embedded in the program, in the order of the
// embedded index "skins.txt" (lines "kxSkinN=description"): each item named and described by
// its line and holding that skin. A missing index or skin raises EkxSkinError; List is then
// left as it was.
void LoadEmbeddedSkinList(TkxCompressedSkinList& List);
