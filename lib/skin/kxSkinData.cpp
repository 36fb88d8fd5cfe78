#include "lib/skin/kxSkinData.h"

#include <algorithm>

#include "base/Files.h"
#include "base/Format.h"
#include "base/Text.h"
#include "classlib/Forms.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinStore.h"

// ---- pictures ----------------------------------------------------------------------------------

namespace {

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

constexpr int64_t kMinBmpSize = 14 + 12;  // file header and the smallest info header

}  // namespace

void ReadSkinPicture(TStream& Stream, TBitmap& Bitmap) {
  const int64_t start = Stream.Position();
  const int64_t left = Stream.Size() - start;
  uint8_t head[26];
  if (left < kMinBmpSize || Stream.Read(head, sizeof head) != int64_t(sizeof head) || head[0] != 'B' || head[1] != 'M')
    throw EkxSkinError("A picture of the skin is damaged: no BMP image where one should begin");
  const int64_t size = U32(head + 2);
  if (size < kMinBmpSize || size > left)
    throw EkxSkinError(Format("A picture of the skin is damaged: its BMP image claims %d bytes where %d remain", size, left));
  TMemoryStream image;
  Stream.SetPosition(start);
  image.CopyFrom(Stream, size);
  // A 0 x 0 image stands for an empty picture, so the pictures after it keep their places.
  const uint32_t infoSize = U32(head + 14);
  const int64_t width = infoSize == 12 ? (head[18] | head[19] << 8) : int32_t(U32(head + 18));
  const int64_t height = infoSize == 12 ? (head[20] | head[21] << 8) : int32_t(U32(head + 22));
  if (width == 0 || height == 0) {
    Bitmap.SetSize(0, 0);
  } else {
    image.SetPosition(0);
    try {
      Bitmap.LoadFromStream(image);
    } catch (const Exception& e) {
      throw EkxSkinError("A picture of the skin is not a valid BMP image: " + e.Message);
    }
  }
  Stream.SetPosition(start + size);
}

void WriteSkinPicture(TStream& Stream, TBitmap& Bitmap) {
  if (!Bitmap.Empty()) {
    Bitmap.SaveToStream(Stream);
    return;
  }
  uint8_t b[54] = {'B', 'M'};
  Put32(b + 2, 54);
  Put32(b + 10, 54);
  Put32(b + 14, 40);
  b[26] = 1;   // planes
  b[28] = 24;  // bits per pixel
  Stream.WriteBuffer(b, sizeof b);
}

void LoadSkinPictureFile(const std::string& FileName, TBitmap& Bitmap) {
  try {
    TMemoryStream m;
    m.LoadFromFile(FileName);
    ReadSkinPicture(m, Bitmap);
  } catch (const Exception& e) {
    throw EkxSkinError("The skin picture \"" + FileName + "\" cannot be loaded: " + e.Message);
  }
}

// ---- content -----------------------------------------------------------------------------------

TkxSkinContent::TkxSkinContent()
    : FSkinColors(std::make_unique<TkxSkinColors>()),
      PopupWindow(std::make_unique<TkxDataSkinPopupWindow>()),
      LayerFrame(std::make_unique<TkxDataSkinLayerFrame>()),
      HintWindow(std::make_unique<TkxDataSkinHintWindow>()),
      FPicture(std::make_unique<TBitmap>()),
      FInActivePicture(std::make_unique<TBitmap>()),
      FMask(std::make_unique<TBitmap>()),
      FActivePicturesNames(std::make_unique<TStringList>()) {}
TkxSkinContent::~TkxSkinContent() = default;
TkxSkinContent::TkxSkinContent(TkxSkinContent&&) noexcept = default;
TkxSkinContent& TkxSkinContent::operator=(TkxSkinContent&&) noexcept = default;

std::vector<const TkxKeyTable*> TkxSkinContent::FormInfoKeys() {
  using T = TkxSkinContent;
  // Read before the mask and hit-test corrections.
  static const TkxKeyTable before{
      Key<&T::LTPoint>("lefttoppoint", 1),
      Key<&T::RTPoint>("righttoppoint", 2),
      Key<&T::LBPoint>("leftbottompoint", 3),
      Key<&T::RBPoint>("rightbottompoint", 4),
      Key<&T::ClRect>("clientrect", 5),
      IntKey<&T::BGPictureIndex>("bgpictureindex", -1, 6),
      IntKey<&T::MDIBGPictureIndex>("mdibgpictureindex", -1, 7),
      Key<&T::LeftStretch>("leftstretch", 8),
      Key<&T::RightStretch>("rightstretch", 9),
      Key<&T::TopStretch>("topstretch", 10),
      Key<&T::BottomStretch>("bottomstretch", 11),
      Key<&T::StretchEffect>("stretcheffect", 12),
      Key<&T::StretchType>("stretchtype", 13),
      Key<&T::MDIBGStretchEffect>("mdibgstretcheffect", 14),
      Key<&T::MDIBGStretchType>("mdibgstretchtype", 15),
      Key<&T::MaskRectArea>("maskrectarea", 16),
      Key<&T::HitTestLTPoint>("hittestlefttoppoint", 17),
      Key<&T::HitTestRTPoint>("hittestrighttoppoint", 18),
      Key<&T::HitTestLBPoint>("hittestleftbottompoint", 19),
      Key<&T::HitTestRBPoint>("hittestrightbottompoint", 20),
  };
  static const TkxKeyTable after{
      Key<&T::ButtonsRect>("buttonsrect", 1),
      Key<&T::CaptionRect>("captionrect", 2),
      IntKey<&T::ButtonsOffset>("buttonsoffset", 0, 3),
      Key<&T::CapButtonsInLeft>("buttonsinleft", 4),
      Key<&T::MainMenuPopupUp>("mainmenupopupup", 5),
      IntKey<&T::BorderW>("borderwidth", 0, 6),
      Key<&T::AutoRenderingInActiveImage>("autorenderinginactiveimage", 10, 7),
      Key<&T::InActiveEffect>("inactiveeffect", 11, 8),
      IntKey<&T::FormMinWidth>("formminwidth", 0, 7, 9),
      Key<&T::MDITabsTransparent>("mditabstransparent", 8, 10),
      Key<&T::MainMenuBarTransparent>("mainmenubartransparent", 9, 11),
  };
  return {&before, &after};
}

// ---- the skin file format ----------------------------------------------------------------------

void SplitObjectEntry(const std::string& Entry, std::string& IDName, std::string& Kind) {
  const size_t colon = Entry.find(':');
  if (colon == std::string::npos) {
    IDName.clear();
    Kind.clear();
    return;
  }
  IDName = Entry.substr(0, colon);
  Kind = Entry.substr(colon + 1);
}

namespace {

bool EmptyRect(const TRect& R) { return R.right - R.left <= 0 || R.bottom - R.top <= 0; }

// The entries "0", "1", ... below count that exist, in numeric order: a huge count costs
// nothing, since the missing entries would be skipped anyway.
std::vector<std::pair<int32_t, std::string>> ListEntries(TCustomIniFile& IniFile, const std::string& Section) {
  const int32_t count = IniFile.ReadInteger(Section, "count", 0);
  TStringList keys;
  IniFile.ReadSection(Section, keys);
  std::vector<int32_t> numbers;
  for (int32_t i = 0; i < keys.Count(); ++i) {
    int32_t n;
    if (TryStrToInt(keys[i], n) && n >= 0 && n < count && IntToStr(n) == keys[i]) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  std::vector<std::pair<int32_t, std::string>> entries;
  for (int32_t n : numbers) entries.emplace_back(n, IniFile.ReadString(Section, IntToStr(n), ""));
  return entries;
}

template <typename Rec, typename Create>
void ReadList(TCustomIniFile& IniFile, const std::string& Section, std::vector<std::unique_ptr<Rec>>& List, Create Make) {
  for (const auto& [number, entry] : ListEntries(IniFile, Section)) {
    std::string id, kind;
    SplitObjectEntry(entry, id, kind);
    std::unique_ptr<Rec> r = Make(kind, id);
    if (!r) continue;  // an unknown kind word: nothing is read for it
    // The record's name is the name of its section: a skin whose record could never be
    // written back is refused here, rather than loaded and failing at every save.
    if (!IsSkinRecordName(id))
      throw EkxSkinError(Format("The skin record \"%s\" (entry %d of %s, kind %s) has a name that cannot be a "
                                "section name: it is empty, holds \"]\" or names one of the skin's own sections",
                                id, number, Section, kind));
    r->LoadFromFile(IniFile);
    List.push_back(std::move(r));
  }
}

template <typename Rec, typename Word>
void WriteList(TCustomIniFile& IniFile, const std::string& Section, std::vector<std::unique_ptr<Rec>>& List, Word KindWord) {
  IniFile.EraseSection(Section);
  IniFile.WriteInteger(Section, "count", int32_t(List.size()));
  for (size_t i = 0; i < List.size(); ++i) {
    IniFile.WriteString(Section, IntToStr(int32_t(i)), List[i]->IDName + ":" + KindWord(*List[i]));
    List[i]->SaveToFile(IniFile);
  }
}

}  // namespace

void ReadFormInfo(TCustomIniFile& IniFile, TkxSkinContent& C) {
  const auto tables = TkxSkinContent::FormInfoKeys();
  LoadSkinKeys(IniFile, "FORMINFO", *tables[0], C);
  if (!C.FMaskName.empty()) {
    if (EmptyRect(C.MaskRectArea)) {
      C.MaskRectArea = C.ClRect;
    } else {
      C.MaskRectArea.left = std::min(C.MaskRectArea.left, C.ClRect.left);
      C.MaskRectArea.top = std::min(C.MaskRectArea.top, C.ClRect.top);
      C.MaskRectArea.right = std::max(C.MaskRectArea.right, C.ClRect.right);
      C.MaskRectArea.bottom = std::max(C.MaskRectArea.bottom, C.ClRect.bottom);
    }
  }
  LoadSkinKeys(IniFile, "FORMINFO", *tables[1], C);
  if (C.RBPoint.x != C.LTPoint.x && C.RBPoint.y != C.LTPoint.y) {
    C.LTPoint.x = std::max(C.LTPoint.x, C.ClRect.left);
    C.LBPoint.x = std::max(C.LBPoint.x, C.ClRect.left);
    C.LTPoint.y = std::max(C.LTPoint.y, C.ClRect.top);
    C.RTPoint.y = std::max(C.RTPoint.y, C.ClRect.top);
    C.RTPoint.x = std::min(C.RTPoint.x, C.ClRect.right);
    C.RBPoint.x = std::min(C.RBPoint.x, C.ClRect.right);
    C.LBPoint.y = std::min(C.LBPoint.y, C.ClRect.bottom);
    C.RBPoint.y = std::min(C.RBPoint.y, C.ClRect.bottom);
  }
  // A hit-test point with a 0 coordinate takes its corner as the corner finally is: the file
  // keeps only the moved corners, so taking the corner as read would not survive a save.
  if (!C.FMaskName.empty()) {
    auto fix = [](TPoint& hit, const TPoint& corner) {
      if (hit.x == 0 || hit.y == 0) hit = corner;
    };
    fix(C.HitTestLTPoint, C.LTPoint);
    fix(C.HitTestRTPoint, C.RTPoint);
    fix(C.HitTestLBPoint, C.LBPoint);
    fix(C.HitTestRBPoint, C.RBPoint);
  }
}

void WriteFormInfo(TCustomIniFile& IniFile, TkxSkinContent& C) {
  for (const TkxKeyTable* t : TkxSkinContent::FormInfoKeys()) SaveSkinKeys(IniFile, "FORMINFO", *t, C);
}

void ReadObjects(TCustomIniFile& IniFile, TkxSkinContent& C) {
  ReadList(IniFile, "SKINOBJECTS", C.ObjectList, CreateSkinObjectRecord);
}

void WriteObjects(TCustomIniFile& IniFile, TkxSkinContent& C) {
  WriteList(IniFile, "SKINOBJECTS", C.ObjectList, SkinObjectKindWord);
}

void ReadControls(TCustomIniFile& IniFile, TkxSkinContent& C) {
  ReadList(IniFile, "SKINCONTROLS", C.CtrlList, CreateSkinControlRecord);
}

void WriteControls(TCustomIniFile& IniFile, TkxSkinContent& C) {
  WriteList(IniFile, "SKINCONTROLS", C.CtrlList, SkinControlKindWord);
}

void ReadActivePictures(TCustomIniFile& IniFile, TkxSkinContent& C, const std::string& Folder) {
  const int32_t first = C.FActivePicturesNames->Count();
  ReadStrings(IniFile, "PICTURES", "activepictures", *C.FActivePicturesNames);
  for (int32_t i = first; i < C.FActivePicturesNames->Count(); ++i) {
    auto b = std::make_unique<TBitmap>();
    LoadSkinPictureFile(Folder + C.FActivePicturesNames->Get(i), *b);
    C.FActivePictures.push_back(std::move(b));
  }
}

void WriteActivePictures(TCustomIniFile& IniFile, TkxSkinContent& C) {
  WriteStrings(IniFile, "PICTURES", "activepictures", *C.FActivePicturesNames);
}

void ReadSkinIni(TCustomIniFile& IniFile, TkxSkinContent& C, const std::string* Folder) {
  C.SkinName = IniFile.ReadString("VERSION", "skinname", "");
  C.SkinAuthor = IniFile.ReadString("VERSION", "skinauthor", "");
  C.AuthorEmail = IniFile.ReadString("VERSION", "authoremail", "");
  C.AuthorURL = IniFile.ReadString("VERSION", "authorurl", "");
  C.SkinComments = IniFile.ReadString("VERSION", "skincomments", "");
  C.FPictureName = IniFile.ReadString("PICTURES", "picture", "");
  C.FInActivePictureName = IniFile.ReadString("PICTURES", "inactivepicture", "");
  C.FMaskName = IniFile.ReadString("PICTURES", "mask", "");
  if (Folder) {
    if (!C.FPictureName.empty()) LoadSkinPictureFile(*Folder + C.FPictureName, *C.FPicture);
    if (!C.FInActivePictureName.empty()) LoadSkinPictureFile(*Folder + C.FInActivePictureName, *C.FInActivePicture);
    if (!C.FMaskName.empty()) LoadSkinPictureFile(*Folder + C.FMaskName, *C.FMask);
  }
  if (Folder) ReadActivePictures(IniFile, C, *Folder);
  else ReadStrings(IniFile, "PICTURES", "activepictures", *C.FActivePicturesNames);
  ReadFormInfo(IniFile, C);
  C.PopupWindow->LoadFromFile(IniFile);
  C.LayerFrame->LoadFromFile(IniFile);
  C.HintWindow->LoadFromFile(IniFile);
  C.FSkinColors->LoadFromFile(IniFile);
  ReadObjects(IniFile, C);
  ReadControls(IniFile, C);
}

void WriteSkinIni(TMemIniFile& IniFile, TkxSkinContent& C) {
  IniFile.EraseSection("VERSION");
  IniFile.WriteInteger("VERSION", "ver", 1);
  IniFile.WriteString("VERSION", "skinname", C.SkinName);
  IniFile.WriteString("VERSION", "skinauthor", C.SkinAuthor);
  IniFile.WriteString("VERSION", "authoremail", C.AuthorEmail);
  IniFile.WriteString("VERSION", "authorurl", C.AuthorURL);
  IniFile.WriteString("VERSION", "skincomments", C.SkinComments);
  IniFile.EraseSection("PICTURES");
  IniFile.WriteString("PICTURES", "picture", C.FPictureName);
  IniFile.WriteString("PICTURES", "inactivepicture", C.FInActivePictureName);
  IniFile.WriteString("PICTURES", "mask", C.FMaskName);
  WriteActivePictures(IniFile, C);
  IniFile.EraseSection("FORMINFO");
  WriteFormInfo(IniFile, C);
  C.PopupWindow->SaveToFile(IniFile);
  C.LayerFrame->SaveToFile(IniFile);
  C.HintWindow->SaveToFile(IniFile);
  IniFile.EraseSection(TkxSkinColors::Section);
  C.FSkinColors->SaveToFile(IniFile);
  WriteObjects(IniFile, C);
  WriteControls(IniFile, C);
}

// ---- the component -----------------------------------------------------------------------------

TkxSkinData::TkxSkinData(TComponent* AOwner) : TComponent(AOwner) {}

TkxSkinData::~TkxSkinData() { Empty = true; }

namespace {
bool Designing(const TComponent* C) { return C->ComponentState().Contains(csDesigning); }
bool Reading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }
}  // namespace

void TkxSkinData::SetSkinnableForm(bool Value) {
  if (Value == FSkinnableForm) return;
  FSkinnableForm = Value;
  if (!Designing(this) && !Reading(this)) SendSkinDataMessage(KXM_SKINNABLEFORMCHANGED);
}

void TkxSkinData::SetShowLayeredBorders(bool Value) {
  if (Value == FShowLayeredBorders) return;
  FShowLayeredBorders = Value;
  if (!Designing(this) && !Reading(this)) SendSkinDataMessage(KXM_LAYEREDBORDERSCHANGED);
}

void TkxSkinData::SetCompressedStoredSkin(TkxCompressedStoredSkin* Value) {
  FCompressedStoredSkin = Value;
  if (Value) Value->FreeNotification(this);
  if (!Designing(this) && Value) LoadCompressedStoredSkin(Value);
}

void TkxSkinData::SetResourceStrData(TkxResourceStrData* Value) {
  FResourceStrData = Value;
  if (Value) Value->FreeNotification(this);
  if (!Designing(this)) SendSkinDataMessage(KXM_RESOURCESTRCHANGED);
}

void TkxSkinData::SetSkinList(TkxCompressedSkinList* Value) {
  FCompressedSkinList = Value;
  if (Value) Value->FreeNotification(this);
  if (Designing(this) || !Value) return;
  if (FCompressedSkinIndex >= 0 && FCompressedSkinIndex < Value->Skins()->Count())
    LoadCompressedStoredSkin(Value->Skins()->GetItem(FCompressedSkinIndex)->Skin());
}

void TkxSkinData::SetSkinIndex(int32_t Value) {
  if (Value == FCompressedSkinIndex) return;
  if (!FCompressedSkinList) {
    FCompressedSkinIndex = Value;
    return;
  }
  if (Value < 0 || Value >= FCompressedSkinList->Skins()->Count()) return;
  // The index names the skin in force: a skin that fails to load leaves both as they were.
  if (!Designing(this)) LoadCompressedStoredSkin(FCompressedSkinList->Skins()->GetItem(Value)->Skin());
  FCompressedSkinIndex = Value;
}

void TkxSkinData::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FCompressedStoredSkin) FCompressedStoredSkin = nullptr;
  if (AComponent == FResourceStrData) FResourceStrData = nullptr;
  if (AComponent == FCompressedSkinList) FCompressedSkinList = nullptr;
}

void TkxSkinData::SendSkinDataMessage(uint32_t M) {
  const auto wp = win::WPARAM(reinterpret_cast<uintptr_t>(this));
  TCustomForm* owner = dynamic_cast<TCustomForm*>(Owner());
  const bool ownerFirst = owner && !FShowLayeredBorders;
  if (ownerFirst) win::SendMessage(owner->Handle(), M, wp, 1000);
  // Handles, not form pointers: a receiver may destroy a form, and a send to a window that is
  // gone is a no-op.
  std::vector<win::HWND> handles;
  if (Screen) {
    handles.reserve(size_t(Screen->FormCount()));
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if ((ownerFirst && f == owner) || f->ClassName() == "TkxFormLayerWindow") continue;
      handles.push_back(f->Handle());
    }
  }
  if (FShowLayeredBorders && LayerFrame->PictureIndex != -1) std::reverse(handles.begin(), handles.end());
  for (win::HWND h : handles) win::SendMessage(h, M, wp, 1000);
}

void TkxSkinData::Apply(TkxSkinContent&& Content, bool Read) {
  Empty = true;
  ChangeSkinDataProcess = true;
  SendSkinDataMessage(KXM_BEFORECHANGESKINDATA);
  if (Read) {
    static_cast<TkxSkinContent&>(*this) = std::move(Content);
    Empty = false;
  } else {
    ClearAll();
  }
  SendSkinDataMessage(KXM_CHANGESKINDATA);
  ChangeSkinDataProcess = false;
  SendSkinDataMessage(KXM_AFTERCHANGESKINDATA);
}

void TkxSkinData::LoadFromFile(const std::string& FileName) {
  TMemIniFile ini(FileName);
  if (!IsSkinIniFile(ini)) return;
  const std::string folder = ExtractFilePath(FileName);
  TkxSkinContent content;
  content.FSkinColors->SetColorsToDefault();
  ReadSkinIni(ini, content, &folder);
  Apply(std::move(content), true);
}

void TkxSkinData::LoadSkinImage(TMemoryStream& Image) {
  Image.SetPosition(0);
  auto readInt = [&]() {
    uint8_t b[4];
    if (Image.Read(b, 4) != 4) throw EkxSkinError("The stored skin is damaged: it ends early");
    return int32_t(U32(b));
  };
  const int32_t version = readInt();
  if (version > 3) {
    // A skin of a later format: the skin data is cleared rather than misread.
    Apply(TkxSkinContent(), false);
    return;
  }
  TkxSkinContent content;
  content.FSkinColors->SetColorsToDefault();
  TBitmap skipped;
  TBitmap* frames[5] = {content.FPicture.get(), content.FInActivePicture.get(), content.FMask.get(), &skipped, &skipped};
  for (int i = 0; i < (version == 2 ? 5 : 3); ++i) {
    uint8_t flag;
    if (Image.Read(&flag, 1) != 1) throw EkxSkinError("The stored skin is damaged: it ends early");
    if (flag == 0) ReadSkinPicture(Image, *frames[i]);
  }
  const int32_t count = readInt();
  if (count > 0 && int64_t(count) > (Image.Size() - Image.Position()) / kMinBmpSize)
    throw EkxSkinError(Format("The stored skin is damaged: it claims %d pictures, more than it can hold", count));
  for (int32_t i = 0; i < count; ++i) {
    auto b = std::make_unique<TBitmap>();
    ReadSkinPicture(Image, *b);
    content.FActivePictures.push_back(std::move(b));
  }
  TStringList lines;
  lines.LoadFromStream(Image);
  TMemIniFile ini(lines);
  ReadSkinIni(ini, content, nullptr);
  Apply(std::move(content), true);
}

void TkxSkinData::LoadCompressedStoredSkin(TkxCompressedStoredSkin* AStoredSkin) {
  if (!AStoredSkin || AStoredSkin->Empty()) return;
  TMemoryStream image;
  AStoredSkin->DeCompressToStream(image);
  LoadSkinImage(image);
}

void TkxSkinData::LoadFromCompressedFile(const std::string& FileName) {
  TkxCompressedStoredSkin stored(nullptr);
  stored.LoadFromCompressFile(FileName);
  if (!stored.Empty()) LoadCompressedStoredSkin(&stored);
}

void TkxSkinData::SaveToCompressedFile(const std::string& FileName) {
  TkxCompressedStoredSkin stored(nullptr);
  stored.LoadFromSkinData(*this);
  stored.SaveToCompressFile(FileName);
}

void TkxSkinData::WriteSkinIni(TMemIniFile& IniFile) { ::WriteSkinIni(IniFile, *this); }

void TkxSkinData::SaveToFile(const std::string& FileName) {
  TMemIniFile ini(FileName);
  WriteSkinIni(ini);
  ini.UpdateFile();
}

void TkxSkinData::StoreToDisk(const std::string& AFileName) {
  // The text must name exactly the pictures written beside it, or the folder would not load
  // again: frame pictures without a name get one, names without a picture go, and the active
  // pictures and their names are made one list of equal length.
  struct Frame {
    TBitmap* Bitmap;
    std::string* Name;
    const char* Default;
  } frames[] = {{FPicture.get(), &FPictureName, "picture.bmp"},
                {FInActivePicture.get(), &FInActivePictureName, "inactivepicture.bmp"},
                {FMask.get(), &FMaskName, "mask.bmp"}};
  for (Frame& f : frames) {
    if (f.Bitmap->Empty()) f.Name->clear();
    else if (f.Name->empty()) *f.Name = f.Default;
  }
  while (FActivePicturesNames->Count() > int32_t(FActivePictures.size()))
    FActivePicturesNames->Delete(FActivePicturesNames->Count() - 1);
  for (int32_t i = FActivePicturesNames->Count(); i < int32_t(FActivePictures.size()); ++i) {
    std::string name;
    for (int n = i;; ++n) {
      name = Format("activepicture%d.bmp", n);
      if (FActivePicturesNames->IndexOf(name) < 0) break;
    }
    FActivePicturesNames->Add(name);
  }
  SaveToFile(AFileName);
  const std::string folder = ExtractFilePath(AFileName);
  for (Frame& f : frames)
    if (!f.Bitmap->Empty()) f.Bitmap->SaveToFile(folder + *f.Name);
  for (size_t i = 0; i < FActivePictures.size(); ++i) {
    TFileStream file(folder + FActivePicturesNames->Get(int32_t(i)), fmCreate);
    WriteSkinPicture(file, *FActivePictures[i]);
  }
}

void TkxSkinData::ClearObjects() {
  ObjectList.clear();
  CtrlList.clear();
  FActivePictures.clear();
  LayerFrame->PictureIndex = -1;
  PopupWindow->WindowPictureIndex = -1;
  HintWindow->WindowPictureIndex = -1;
  FActivePicturesNames->Clear();
  FSkinColors->SetColorsToDefault();
}

void TkxSkinData::ClearAll() {
  ClearObjects();
  FPicture->SetSize(0, 0);
  FMask->SetSize(0, 0);
  FInActivePicture->SetSize(0, 0);
  FPictureName.clear();
  FMaskName.clear();
  // Cleared with its picture, so a later save does not name a picture it cannot write.
  FInActivePictureName.clear();
  Empty = true;
}

void TkxSkinData::ClearSkin() {
  ClearAll();
  SendSkinDataMessage(KXM_BEFORECHANGESKINDATA);
  SendSkinDataMessage(KXM_CHANGESKINDATA);
  SendSkinDataMessage(KXM_AFTERCHANGESKINDATA);
}

int32_t TkxSkinData::GetIndex(const std::string& AIDName) const {
  for (size_t i = 0; i < ObjectList.size(); ++i)
    if (ObjectList[i]->IDName == AIDName) return int32_t(i);
  return -1;
}

int32_t TkxSkinData::GetControlIndex(const std::string& AIDName) const {
  for (size_t i = 0; i < CtrlList.size(); ++i)
    if (CtrlList[i]->IDName == AIDName) return int32_t(i);
  return -1;
}

void TkxSkinData::AddBitMap(const std::string& FileName) {
  auto b = std::make_unique<TBitmap>();
  LoadSkinPictureFile(FileName, *b);
  FActivePicturesNames->Add(ExtractFileName(FileName));
  FActivePictures.push_back(std::move(b));
}

void TkxSkinData::DeleteBitMap(int32_t Index) {
  if (Index < 0 || Index >= FActivePicturesNames->Count() || Index >= int32_t(FActivePictures.size()))
    throw EListError(Format("List index out of bounds (%d)", Index));
  FActivePicturesNames->Delete(Index);
  FActivePictures.erase(FActivePictures.begin() + Index);
}
