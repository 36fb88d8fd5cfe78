#pragma once
// The skin data component: one loaded skin (frame pictures, numbered active pictures, frame
// geometry, single records, frame object and control records) and the announcement of every
// change to the application's forms.
//
// A load reads the whole skin aside first: a skin that cannot be read (a picture that is
// missing or no BMP, a malformed rect, a damaged stored skin) raises an exception naming what
// is wrong and leaves the previous skin in force, without a message. Only a skin read in full
// is put in place, between KXM_BEFORECHANGESKINDATA and KXM_CHANGESKINDATA.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/IniFile.h"
#include "base/Stream.h"
#include "base/StringList.h"
#include "classlib/Graphics.h"
#include "lib/skin/kxSkinRecords.h"

class TkxCompressedStoredSkin;
class TkxCompressedSkinList;
class TkxResourceStrData;

constexpr uint32_t KXM_BEFORECHANGESKINDATA = 1225;
constexpr uint32_t KXM_CHANGESKINDATA = 1226;
constexpr uint32_t KXM_AFTERCHANGESKINDATA = 1227;
constexpr uint32_t KXM_RESOURCESTRCHANGED = 1274;
constexpr uint32_t KXM_SKINNABLEFORMCHANGED = 1294;
constexpr uint32_t KXM_LAYEREDBORDERSCHANGED = 1427;

// A skin that cannot be loaded: a missing or unreadable picture, a damaged stored skin.
OMBREL_EXCEPTION(EkxSkinError, Exception)

// Everything a load produces. TkxSkinData holds one; a load fills a fresh one and only then
// takes it over whole.
struct TkxSkinContent {
  TkxSkinContent();
  ~TkxSkinContent();
  TkxSkinContent(TkxSkinContent&&) noexcept;
  TkxSkinContent& operator=(TkxSkinContent&&) noexcept;

  std::unique_ptr<TkxSkinColors> FSkinColors;
  // "FORMINFO"
  TRect ButtonsRect{}, CaptionRect{};
  int32_t ButtonsOffset = 0;
  bool CapButtonsInLeft = false;
  bool AutoRenderingInActiveImage = false;
  TkxInActiveEffect InActiveEffect = ieBrightness;
  std::unique_ptr<TkxDataSkinPopupWindow> PopupWindow;
  std::unique_ptr<TkxDataSkinLayerFrame> LayerFrame;
  std::unique_ptr<TkxDataSkinHintWindow> HintWindow;
  // The frame picture, the frame picture of an inactive form and the frame mask; an empty
  // bitmap means none.
  std::unique_ptr<TBitmap> FPicture, FInActivePicture, FMask;
  // The numbered pictures: a record's picture index is a position here, -1 for none.
  std::vector<std::unique_ptr<TBitmap>> FActivePictures;
  std::string FPictureName, FInActivePictureName, FMaskName;
  std::unique_ptr<TStringList> FActivePicturesNames;
  std::vector<std::unique_ptr<TkxDataSkinObject>> ObjectList;
  std::vector<std::unique_ptr<TkxDataSkinControl>> CtrlList;
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  int32_t BGPictureIndex = -1, MDIBGPictureIndex = -1;
  bool MainMenuPopupUp = false;
  TRect MaskRectArea{};
  TPoint HitTestLTPoint{}, HitTestRTPoint{}, HitTestLBPoint{}, HitTestRBPoint{};
  TRect ClRect{};
  int32_t BorderW = 0;
  int32_t FormMinWidth = 0;
  bool MDITabsTransparent = false, MainMenuBarTransparent = false;
  bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false, StretchEffect = false;
  TkxStretchType StretchType = kxstFull;
  bool MDIBGStretchEffect = false;
  TkxStretchType MDIBGStretchType = kxstFull;
  // "VERSION"
  std::string SkinName, SkinAuthor, AuthorURL, AuthorEmail, SkinComments;

  // The keys of "FORMINFO": those before the mask and hit-test corrections, and those after.
  static std::vector<const TkxKeyTable*> FormInfoKeys();
};

class TkxSkinData : public TComponent, public TkxSkinContent {
public:
  explicit TkxSkinData(TComponent* AOwner);
  ~TkxSkinData() override;

  // ---- published properties ----
  bool SkinnableForm() const { return FSkinnableForm; }
  void SetSkinnableForm(bool Value);
  bool AnimationForAllWindows() const { return FAnimationForAllWindows; }
  void SetAnimationForAllWindows(bool Value) { FAnimationForAllWindows = Value; }
  bool EnableSkinEffects() const { return FEnableSkinEffects; }
  void SetEnableSkinEffects(bool Value) { FEnableSkinEffects = Value; }
  bool ShowButtonGlowFrames() const { return FShowButtonGlowFrames; }
  void SetShowButtonGlowFrames(bool Value) { FShowButtonGlowFrames = Value; }
  bool ShowCaptionButtonGlowFrames() const { return FShowCaptionButtonGlowFrames; }
  void SetShowCaptionButtonGlowFrames(bool Value) { FShowCaptionButtonGlowFrames = Value; }
  bool ShowLayeredBorders() const { return FShowLayeredBorders; }
  void SetShowLayeredBorders(bool Value);
  TkxCompressedStoredSkin* CompressedStoredSkin() const { return FCompressedStoredSkin; }
  void SetCompressedStoredSkin(TkxCompressedStoredSkin* Value);
  TkxResourceStrData* ResourceStrData() const { return FResourceStrData; }
  void SetResourceStrData(TkxResourceStrData* Value);
  TkxCompressedSkinList* SkinList() const { return FCompressedSkinList; }
  void SetSkinList(TkxCompressedSkinList* Value);
  int32_t SkinIndex() const { return FCompressedSkinIndex; }
  void SetSkinIndex(int32_t Value);
  TkxSkinColors* SkinColors() const { return FSkinColors.get(); }

  // ---- loading and saving ----
  // Loads an INI skin file and the BMP files it names from the file's folder. A file that is
  // no skin (a required section without keys) changes nothing and sends nothing.
  void LoadFromFile(const std::string& FileName);
  // Writes the skin text into the INI file, keeping its other sections.
  void SaveToFile(const std::string& FileName);
  // SaveToFile, then every picture as a BMP file beside it.
  void StoreToDisk(const std::string& AFileName);
  void SaveToCompressedFile(const std::string& FileName);
  void LoadFromCompressedFile(const std::string& FileName);
  void LoadCompressedStoredSkin(TkxCompressedStoredSkin* AStoredSkin);
  // Loads a decompressed skin image (the inner form of a stored skin) from its start.
  void LoadSkinImage(TMemoryStream& Image);
  // The whole skin text.
  void WriteSkinIni(TMemIniFile& IniFile);

  // ---- clearing ----
  void ClearSkin();  // empties the skin and announces it
  void ClearAll();   // empties it silently
  void ClearObjects();

  // ---- lookups: the first record whose IDName equals AIDName exactly; -1 for none ----
  int32_t GetIndex(const std::string& AIDName) const;
  int32_t GetControlIndex(const std::string& AIDName) const;

  // ---- active pictures ----
  void AddBitMap(const std::string& FileName);
  // Raises EListError for an index outside the lists. Records keep their picture indexes.
  void DeleteBitMap(int32_t Index);

  // Sends M to the forms: the owner form first unless layered borders show, never to the
  // layered border windows, in reverse order when a layered frame is shown.
  void SendSkinDataMessage(uint32_t M);

  bool Empty = true;
  bool ChangeSkinDataProcess = false;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  // Puts a completely read skin in place with the three messages.
  void Apply(TkxSkinContent&& Content, bool Read);

  TkxCompressedSkinList* FCompressedSkinList = nullptr;
  int32_t FCompressedSkinIndex = 0;
  bool FSkinnableForm = true;
  bool FEnableSkinEffects = true;
  TkxCompressedStoredSkin* FCompressedStoredSkin = nullptr;
  TkxResourceStrData* FResourceStrData = nullptr;
  bool FShowButtonGlowFrames = true, FShowCaptionButtonGlowFrames = true, FShowLayeredBorders = true;
  bool FAnimationForAllWindows = false;
};

// ---- the skin file format (the readers and writers of the skin text) ----
// Splits "IDName:kind" at its first colon; without a colon both are empty.
void SplitObjectEntry(const std::string& Entry, std::string& IDName, std::string& Kind);
// Reads the skin text into Content. With Folder set, the pictures are loaded from it (names
// relative to it); without, only the names are taken (a stored skin brings its pictures).
void ReadSkinIni(TCustomIniFile& IniFile, TkxSkinContent& Content, const std::string* Folder);
void WriteSkinIni(TMemIniFile& IniFile, TkxSkinContent& Content);
// Appends the list "activepictures" of "PICTURES" to the names and loads each picture from
// Folder + name.
void ReadActivePictures(TCustomIniFile& IniFile, TkxSkinContent& Content, const std::string& Folder);
void WriteActivePictures(TCustomIniFile& IniFile, TkxSkinContent& Content);
// "FORMINFO" with its corrections: with a mask named, the mask area takes in the client rect;
// the corners move into the client rect; then, with a mask named, zero hit-test points take
// their (moved) corners, so that what is written reads back the same.
void ReadFormInfo(TCustomIniFile& IniFile, TkxSkinContent& Content);
void WriteFormInfo(TCustomIniFile& IniFile, TkxSkinContent& Content);
void ReadObjects(TCustomIniFile& IniFile, TkxSkinContent& Content);
void WriteObjects(TCustomIniFile& IniFile, TkxSkinContent& Content);
void ReadControls(TCustomIniFile& IniFile, TkxSkinContent& Content);
void WriteControls(TCustomIniFile& IniFile, TkxSkinContent& Content);

// ---- pictures in skins ----
// Reads one BMP image of exactly its bfSize bytes from the stream's position, checked against
// what the stream holds; a 0 x 0 image gives an empty bitmap. Raises EkxSkinError.
void ReadSkinPicture(TStream& Stream, TBitmap& Bitmap);
// Writes a complete BMP image; an empty bitmap is written as a 0 x 0 image.
void WriteSkinPicture(TStream& Stream, TBitmap& Bitmap);
// Loads a BMP file; raises EkxSkinError naming the file when it is missing or no BMP.
void LoadSkinPictureFile(const std::string& FileName, TBitmap& Bitmap);
