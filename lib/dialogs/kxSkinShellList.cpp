// The shell file list view.
#include "lib/dialogs/kxSkinShellList.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <numeric>

#include "base/Format.h"
#include "base/NameOrder.h"
#include "base/Text.h"
#include "classlib/Forms.h"
#include "lib/dialogs/kxSkinLookInBox.h"
#include "lib/dialogs/kxSkinShellTree.h"
#include "lib/skin/kxResourceStrData.h"
#include "platform/shell/Shell.h"

using namespace win;

// ---- the mask ---------------------------------------------------------------------------------

namespace {

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }

size_t CodePointLen(const std::string& s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  // A stray byte or a cut sequence counts as one character of its own.
  for (size_t k = 1; k < n; ++k)
    if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

// "[abc]", "[a-z]", "[!x]": the set at Pattern[p] (p at "["); false for an unclosed set, which
// then stands for a plain "[".
bool MatchSet(const std::string& Pattern, size_t& p, char c, bool& Hit) {
  size_t q = p + 1;
  bool negate = q < Pattern.size() && Pattern[q] == '!';
  if (negate) ++q;
  bool hit = false, any = false;
  while (q < Pattern.size() && Pattern[q] != ']') {
    any = true;
    char lo = FoldAscii(Pattern[q]), hi = lo;
    if (q + 2 < Pattern.size() && Pattern[q + 1] == '-' && Pattern[q + 2] != ']') {
      hi = FoldAscii(Pattern[q + 2]);
      q += 2;
    }
    const char f = FoldAscii(c);
    if (f >= lo && f <= hi) hit = true;
    ++q;
  }
  if (q >= Pattern.size() || !any) return false;
  Hit = negate ? !hit : hit;
  p = q + 1;
  return true;
}

bool WildMatch(const std::string& Pat, size_t p, const std::string& Name, size_t n) {
  while (p < Pat.size()) {
    const char pc = Pat[p];
    if (pc == '*') {
      while (p < Pat.size() && Pat[p] == '*') ++p;
      if (p == Pat.size()) return true;
      for (size_t k = n; k <= Name.size(); k += k < Name.size() ? CodePointLen(Name, k) : 1)
        if (WildMatch(Pat, p, Name, k)) return true;
      return false;
    }
    if (n >= Name.size()) return false;
    if (pc == '?') {
      n += CodePointLen(Name, n);
      ++p;
      continue;
    }
    if (pc == '[') {
      size_t q = p;
      bool hit = false;
      if (MatchSet(Pat, q, Name[n], hit)) {
        if (!hit) return false;
        p = q;
        ++n;
        continue;
      }
    }
    if (FoldAscii(pc) != FoldAscii(Name[n])) return false;
    ++p;
    ++n;
  }
  return n == Name.size();
}

}  // namespace

bool ShellMaskAccepts(const std::string& Mask, const std::string& Name) {
  std::string token;
  for (size_t i = 0; i < Mask.size(); ++i) {
    const char c = Mask[i];
    const bool sep = c == ';' || c == '|';
    if (!sep) token += c;
    if (sep || i + 1 == Mask.size()) {
      if ((token.find('.') != std::string::npos && WildMatch(token, 0, Name, 0)) || token == "*") return true;
      token.clear();
    }
  }
  return false;
}

// ---- the system icons -------------------------------------------------------------------------

std::unique_ptr<TCustomImageList> SystemImages(bool Small) {
  HIMAGELIST list = SystemImageList(Small);
  int cx = 0, cy = 0;
  if (!list || !ImageList_GetIconSize(list, &cx, &cy) || cx <= 0 || cy <= 0) return nullptr;
  std::unique_ptr<TCustomImageList> out(TCustomImageList::CreateSize(cx, cy));
  const int n = ImageList_GetImageCount(list);
  for (int i = 0; i < n; ++i) {
    const uint32_t* px = ImageList_Pixels(list, i);
    TBitmap image, mask;
    image.SetPixelFormat(pf24bit);
    image.SetSize(cx, cy);
    mask.SetPixelFormat(pf24bit);
    mask.SetSize(cx, cy);
    for (int y = 0; y < cy; ++y) {
      auto* row = static_cast<uint8_t*>(image.ScanLine(y));
      auto* mrow = static_cast<uint8_t*>(mask.ScanLine(y));
      for (int x = 0; x < cx; ++x) {
        const uint32_t p = px ? px[size_t(y) * size_t(cx) + size_t(x)] : 0;
        // B,G,R,A straight; half-covered edge pixels count as the picture.
        row[3 * x] = uint8_t(p), row[3 * x + 1] = uint8_t(p >> 8), row[3 * x + 2] = uint8_t(p >> 16);
        const uint8_t m = (p >> 24) >= 96 ? 0 : 255;
        mrow[3 * x] = mrow[3 * x + 1] = mrow[3 * x + 2] = m;
      }
    }
    out->Add(&image, &mask);
  }
  return out;
}

// ---- entries ----------------------------------------------------------------------------------

TkxCustomShellListView::Entry::Entry(Entry&& O) noexcept
    : ID(O.ID), Name(std::move(O.Name)), Key(std::move(O.Key)), Folder(O.Folder), KindRank(O.KindRank),
      BaseRank(O.BaseRank), Item(std::move(O.Item)) {
  O.ID = nullptr;
}

TkxCustomShellListView::Entry& TkxCustomShellListView::Entry::operator=(Entry&& O) noexcept {
  if (this != &O) {
    ShellFree(ID);
    ID = O.ID;
    O.ID = nullptr;
    Name = std::move(O.Name);
    Key = std::move(O.Key);
    Folder = O.Folder;
    KindRank = O.KindRank;
    BaseRank = O.BaseRank;
    Item = std::move(O.Item);
  }
  return *this;
}

TkxCustomShellListView::Entry::~Entry() { ShellFree(ID); }

// ---- construction -----------------------------------------------------------------------------

TkxCustomShellListView::TkxCustomShellListView(TComponent* AOwner) : TkxSkinCustomListView(AOwner) {
  SetOwnerData(true);
  FSmallImages = SystemImages(true);
  FLargeImages = SystemImages(false);
  // Given now, so that the rows have their height before the window exists.
  if (FSmallImages) SetSmallImages(FSmallImages.get());
  if (FLargeImages) SetLargeImages(FLargeImages.get());
  SetHideSelection(false);
  OnDataFind = [this](TObject*, TItemFind Find, const std::string& S, TPoint, void*, int32_t Start,
                      TSearchDirection, bool Wrap, int32_t& Index) { Index = FindItem(Find, S, Start, Wrap); };
}

TkxCustomShellListView::~TkxCustomShellListView() {
  if (FComboBox && FComboBox->FListView == this) FComboBox->FListView = nullptr;
  if (FTreeView && FTreeView->FListView == this) FTreeView->FListView = nullptr;
  // The image lists are ours and go before the list view lets go of them.
  SetSmallImages(nullptr);
  SetLargeImages(nullptr);
  FFolders.clear();
  FRootFolder.reset();
}

void TkxCustomShellListView::CreateWnd() {
  TkxSkinCustomListView::CreateWnd();
  if (!HandleAllocated()) return;
  if (FSmallImages) SetSmallImages(FSmallImages.get());
  if (FLargeImages) SetLargeImages(FLargeImages.get());
  if (!FRootFolder) MakeRootFolder();
  RebuildList();
}

void TkxCustomShellListView::DestroyWnd() {
  ClearFolderItems();
  TkxSkinCustomListView::DestroyWnd();
}

void TkxCustomShellListView::Loaded() {
  TkxSkinCustomListView::Loaded();
  FillFolderItems();
  SetAutoRefresh(FAutoRefresh);
}

void TkxCustomShellListView::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomListView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FComboBox) FComboBox = nullptr;
  if (AComponent == FTreeView) FTreeView = nullptr;
  if (AComponent == FNotifier) FNotifier = nullptr;
}

// ---- properties -------------------------------------------------------------------------------

std::string TkxCustomShellListView::Path() const { return FRootFolder ? FRootFolder->PathName() : std::string(); }

void TkxCustomShellListView::SetPath(const std::string& Value) {
  PItemIDList list = nullptr;
  HRESULT hr = DesktopShellFolder()->ParseDisplayName(nullptr, Value, nullptr, &list, nullptr);
  if (FAILED(hr) || !list) {
    ShellFree(list);
    throw EInvalidPath(Format("Error setting path: \"%s\"", Value));
  }
  try {
    OpenFolderID(list);
  } catch (...) {
    ShellFree(list);
    throw;
  }
  ShellFree(list);
}

void TkxCustomShellListView::SetRoot(const TRoot& Value) {
  if (RootFolderIndex(Value) >= 0 ? RootFolderIndex(Value) == RootFolderIndex(FRoot) : Value == FRoot) return;
  FOldRoot = FRoot;
  FRoot = Value;
  MakeRootFolder();
  FSettingRoot = true;
  RebuildList();
}

void TkxCustomShellListView::SetMask(const std::string& Value) {
  if (Value == FMask) return;
  FMask = Value;
  RebuildList();
}

void TkxCustomShellListView::SetObjectTypes(TShellObjectTypes Value) {
  FObjectTypes = Value;
  if (!ComponentState().Contains(csLoading)) RebuildList();
}

void TkxCustomShellListView::SetSorted(bool Value) {
  if (Value == FSorted) return;
  FSorted = Value;
  FillFolderItems();
}

void TkxCustomShellListView::SetViewStyle(TViewStyle Value) {
  TkxSkinCustomListView::SetViewStyle(Value);
  if (Value == vsReport) BuildColumns();
}

void TkxCustomShellListView::SetAutoRefresh(bool Value) {
  FAutoRefresh = Value;
  if (ComponentState().Contains(csLoading)) return;
  delete FNotifier;
  FNotifier = nullptr;
  if (!Value || !FRootFolder) return;
  FNotifier = new TkxShellChangeNotifier(this);
  FNotifier->SetWatchSubTree(false);
  FNotifier->SetOnChange([this] { Refresh(); });
  FNotifier->SetRoot(FRootFolder->PathName());
}

void TkxCustomShellListView::SetShellComboBox(TkxCustomShellComboBox* Value) {
  if (Value == FComboBox) return;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->FListView = this;
    Value->FreeNotification(this);
  } else if (FComboBox) {
    FComboBox->FListView = nullptr;
  }
  FComboBox = Value;
}

void TkxCustomShellListView::SetShellTreeView(TkxCustomShellTreeView* Value) {
  if (Value == FTreeView) return;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->FListView = this;
    Value->FreeNotification(this);
  } else if (FTreeView) {
    FTreeView->FListView = nullptr;
  }
  FTreeView = Value;
}

// ---- folders ----------------------------------------------------------------------------------

void TkxCustomShellListView::MakeRootFolder() {
  // The shown objects point at the old root: they go only once the new root is made, so a root
  // that fails leaves the list as it was.
  std::unique_ptr<TkxShellFolder> none;
  std::unique_ptr<TkxShellFolder> root = CreateRootFolder(none, FOldRoot, FRoot);
  ClearFolderItems();
  FRootFolder = std::move(root);
}

void TkxCustomShellListView::OpenFolderID(PCItemIDList ID) {
  if (FUpdating) return;
  if (FRootFolder && SameItemIDLists(FRootFolder->AbsoluteID(), ID)) return;
  std::unique_ptr<TkxShellFolder> root = CreateFolderFromAbsoluteID(ID);
  ClearFolderItems();
  FSettingRoot = false;
  FRootFolder = std::move(root);
  RebuildList();
  if (OnPathChanged) OnPathChanged(this);
}

void TkxCustomShellListView::NavigateToID(PCItemIDList ID) {
  if (FUpdating) return;
  if (!FRootFolder || !SameItemIDLists(FRootFolder->AbsoluteID(), ID)) OpenFolderID(ID);
}

void TkxCustomShellListView::Back() {
  if (!FRootFolder) return;
  PItemIDList parent = CopyItemIDList(FRootFolder->AbsoluteID());
  StripLastItemID(parent);
  try {
    OpenFolderID(parent);
  } catch (...) {
    ShellFree(parent);
    throw;
  }
  ShellFree(parent);
}

void TkxCustomShellListView::Refresh() {
  if (!FRootFolder) return;
  const int32_t index = ItemIndex();
  ClearSelection();
  PItemIDList copy = CopyItemIDList(FRootFolder->AbsoluteID());
  ClearFolderItems();
  FRootFolder.reset();
  try {
    OpenFolderID(copy);
  } catch (...) {
    ShellFree(copy);
    throw;
  }
  ShellFree(copy);
  if (index >= 0 && index < Items()->Count()) SetItemIndex(index);
}

void TkxCustomShellListView::RebuildList() {
  if (FUpdating) return;
  FUpdating = true;
  const bool refresh = FAutoRefresh;
  try {
    SetAutoRefresh(false);
    SyncLinkedControls();
    FillFolderItems();
    if (ViewStyle() == vsReport) BuildColumns();
    SetAutoRefresh(refresh);
  } catch (...) {
    FAutoRefresh = refresh;
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TkxCustomShellListView::SyncLinkedControls() {
  try {
    if (FSettingRoot) {
      if (FTreeView) FTreeView->SetRoot(FRoot);
    } else if (FRootFolder) {
      if (FTreeView) FTreeView->SelectByAbsoluteID(FRootFolder->AbsoluteID());
      if (FComboBox) FComboBox->FolderIDChanged(FRootFolder->AbsoluteID());
    }
  } catch (...) {
    FSettingRoot = false;
    throw;
  }
  FSettingRoot = false;
}

void TkxCustomShellListView::ClearFolderItems() {
  if (!ComponentState().Contains(csDestroying)) Items()->SetCount(0);
  FFolders.clear();
}

std::unique_ptr<TkxShellFolder> TkxCustomShellListView::MakeItem(const Entry& E) const {
  std::unique_ptr<IShellFolder> sf;
  // Only a folder binds to a folder object; a file would fail after a look at the disk.
  if (E.Folder || E.KindRank != 5) sf = BindShellFolder(FRootFolder->ShellFolder(), E.ID, nullptr);
  return std::make_unique<TkxShellFolder>(FRootFolder.get(), E.ID, std::move(sf));
}

TkxShellFolder* TkxCustomShellListView::ItemFolder(int32_t Index) {
  if (Index < 0 || Index >= int32_t(FFolders.size()) || !FRootFolder) return nullptr;
  Entry& e = FFolders[size_t(Index)];
  if (!e.Item) e.Item = MakeItem(e);
  return e.Item.get();
}

std::string TkxCustomShellListView::ItemName(int32_t Index) const {
  return Index >= 0 && Index < int32_t(FFolders.size()) ? FFolders[size_t(Index)].Name : std::string();
}

bool TkxCustomShellListView::ItemIsFolder(int32_t Index) const {
  return Index >= 0 && Index < int32_t(FFolders.size()) && FFolders[size_t(Index)].Folder;
}

int32_t TkxCustomShellListView::MadeItemCount() const {
  return int32_t(std::count_if(FFolders.begin(), FFolders.end(), [](const Entry& e) { return bool(e.Item); }));
}

namespace {

// The cursor shown while a folder is read, put back on every path.
struct BusyCursor {
  TCursor saved = Screen ? Screen->Cursor() : crDefault;
  BusyCursor() {
    if (Screen) Screen->SetCursor(crHourGlass);
  }
  ~BusyCursor() {
    if (Screen) Screen->SetCursor(saved);
  }
};

struct ItemsUpdate {
  TListItems* items;
  explicit ItemsUpdate(TListItems* i) : items(i) { items->BeginUpdate(); }
  ~ItemsUpdate() { items->EndUpdate(); }
};

// The kind of an identifier as the shell's order ranks it (folders before files).
int KindRankOf(PCItemIDList ID, bool* fileSystem, std::string* name) {
  const auto* p = reinterpret_cast<const BYTE*>(ID);
  const USHORT cb = ItemIdCb(p);
  *fileSystem = false;
  if (cb < 4) return 0;
  const auto kind = shell::ItemKind(p[2]);
  if (kind == shell::ItemKind::FsDir || kind == shell::ItemKind::FsFile) {
    *fileSystem = true;
    name->assign(reinterpret_cast<const char*>(p + 4), cb - 4u);
    return kind == shell::ItemKind::FsDir ? 4 : 5;
  }
  return 0;
}

bool IsZipName(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot);
  for (char& c : ext) c = FoldAscii(c);
  return ext == ".ZIP";
}

}  // namespace

void TkxCustomShellListView::FillFolderItems() {
  if ((ComponentState().Contains(csLoading) && !HandleAllocated()) || !FRootFolder) return;
  ItemsUpdate update(Items());
  ClearFolderItems();
  BusyCursor busy;
  IShellFolder* sf = FRootFolder->ShellFolder();
  // A folder that cannot be bound (gone, or never a folder) lists nothing.
  std::unique_ptr<IEnumIDList> en;
  if (!sf || FAILED(sf->EnumObjects(nullptr, ObjectTypesToEnumFlags(FObjectTypes), &en)) || !en) return;
  FRootPath.clear();
  FRootIsFileSystem = shell::PathOfIdList(FRootFolder->AbsoluteID(), &FRootPath);
  for (;;) {
    LPITEMIDLIST id = nullptr;
    ULONG fetched = 0;
    if (en->Next(1, &id, &fetched) != S_OK || !id) {
      ShellFree(id);
      break;
    }
    Entry e;
    e.ID = id;
    bool fs = false;
    e.KindRank = KindRankOf(id, &fs, &e.Name);
    if (fs) {
      // The identifier holds the name and the kind: no look at the disk here.
      e.Folder = e.KindRank == 4 && !IsZipName(e.Name);
    } else {
      // Computer, Home, the user folders and the volumes: few, and all folders.
      e.Item = MakeItem(e);
      e.Folder = e.Item->IsFolder();
      e.Name = e.Item->DisplayName();
    }
    bool canAdd = e.Folder || ShellMaskAccepts(FMask, e.Name);
    if (OnAddFolder) {
      if (!e.Item) e.Item = MakeItem(e);
      OnAddFolder(this, e.Item.get(), canAdd);
    }
    if (canAdd) FFolders.push_back(std::move(e));
  }
  OrderByBase();
  Items()->SetCount(int32_t(FFolders.size()));
}

// Folders first, then the shell's own order: for a directory's children that is the name order of
// NameOrder.h, whose keys are made once per name; other folders ask the shell.
void TkxCustomShellListView::OrderByBase() {
  std::vector<int32_t> order(FFolders.size());
  std::iota(order.begin(), order.end(), 0);
  bool allPlain = true;
  for (Entry& e : FFolders) {
    if (e.KindRank >= 4) e.Key = NameSortKey(e.Name);
    else allPlain = false;
  }
  if (allPlain) {
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
      const Entry& x = FFolders[size_t(a)];
      const Entry& y = FFolders[size_t(b)];
      if (x.Folder != y.Folder) return x.Folder;
      if (x.KindRank != y.KindRank) return x.KindRank < y.KindRank;
      if (x.Key != y.Key) return x.Key < y.Key;
      return x.Name < y.Name;
    });
  } else {
    IShellFolder* sf = FRootFolder->ShellFolder();
    std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
      const Entry& x = FFolders[size_t(a)];
      const Entry& y = FFolders[size_t(b)];
      if (x.Folder != y.Folder) return x.Folder;
      return CompareChildren(sf, x.ID, y.ID) < 0;
    });
  }
  for (size_t k = 0; k < order.size(); ++k) FFolders[size_t(order[k])].BaseRank = int32_t(k);
  if (!FSorted) return;
  std::vector<Entry> sorted(FFolders.size());
  for (size_t k = 0; k < order.size(); ++k) sorted[k] = std::move(FFolders[size_t(order[k])]);
  FFolders = std::move(sorted);
}

std::string TkxCustomShellListView::EntryPath(const Entry& E) const {
  if (FRootIsFileSystem && E.KindRank >= 4) return FRootPath == "/" ? "/" + E.Name : FRootPath + "/" + E.Name;
  PItemIDList abs = ConcatItemIDLists(FRootFolder->AbsoluteID(), E.ID);
  std::string path;
  shell::PathOfIdList(abs, &path);
  ShellFree(abs);
  return path;
}

// ---- header sorts -----------------------------------------------------------------------------

void TkxCustomShellListView::ColClick(TListColumn* Column) {
  TkxSkinCustomListView::ColClick(Column);
  if (Column) ColumnClicked(Column->Index());
}

void TkxCustomShellListView::ColumnClicked(int32_t Column) {
  if (Columns()->Count() < 4 && Column != 0) return;
  FOldSortColumn = FSortColumn;
  FSortColumn = Column;
  if (FSortColumn == FOldSortColumn && FSortColumn != -1) FSortDirection = !FSortDirection;
  else FSortDirection = false;
  if (!FRootFolder) return;
  ItemsUpdate update(Items());
  SortByColumn(FSortColumn, FSortDirection);
  Invalidate();
}

// Each object's sort value is read once. A file that is gone (or cannot be read) sorts as size and
// date -1 instead of failing the sort; a folder whose objects carry no date in the shell's fifth
// column is ordered by the base order, as the shell has no dates to give.
void TkxCustomShellListView::SortByColumn(int32_t C, bool Descending) {
  struct Value {
    int64_t size = -1;
    double time = -1.0;
    std::string type;
    bool dated = false;
  };
  std::vector<Value> v(FFolders.size());
  bool anyDated = false;
  if (C >= 1 && C <= 3) {
    IShellFolder2* f2 = FRootFolder->ShellFolder2();
    IShellDetails* d = f2 ? nullptr : FRootFolder->ShellDetails();
    auto detail = [&](PCItemIDList id, UINT k, SHELLDETAILS* sd) {
      return f2 ? SUCCEEDED(f2->GetDetailsOf(id, k, sd)) : d && SUCCEEDED(d->GetDetailsOf(id, k, sd));
    };
    for (size_t i = 0; i < FFolders.size(); ++i) {
      const Entry& e = FFolders[i];
      SHELLDETAILS sd;
      if (detail(e.ID, 4, &sd))
        v[i].dated = StrRetToText(e.ID, sd.str).find(':') != std::string::npos;
      anyDated = anyDated || v[i].dated;
      if (C == 2) {
        if (detail(e.ID, 2, &sd)) v[i].type = NameSortKey(StrRetToText(e.ID, sd.str));
        continue;
      }
      struct stat st {};
      const std::string path = EntryPath(e);
      if (path.empty() || stat(path.c_str(), &st) != 0) continue;
      v[i].size = S_ISDIR(st.st_mode) ? -1 : int64_t(st.st_size);
      // The shell's date keeps two-second steps.
      v[i].time = double(st.st_mtime - st.st_mtime % 2);
    }
  }
  const bool byBase = C >= 4 || C < 0 || (C >= 1 && !anyDated);
  std::vector<int32_t> order(FFolders.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
    const Entry& x = FFolders[size_t(a)];
    const Entry& y = FFolders[size_t(b)];
    if (!byBase && x.Folder != y.Folder) return x.Folder;
    if (!byBase) {
      const Value& p = v[size_t(a)];
      const Value& q = v[size_t(b)];
      switch (C) {
        case 0:
          if (x.Key != y.Key) return x.Key < y.Key;
          break;
        case 1:
          if (!x.Folder && p.size != q.size) return p.size < q.size;
          break;
        case 2:
          if (p.type != q.type) return p.type < q.type;
          break;
        case 3:
          if (p.time != q.time) return p.time < q.time;
          break;
        default: break;
      }
    }
    return x.BaseRank < y.BaseRank;
  });
  // Every tie is broken by the base order, so descending is the exact reverse: folders last.
  if (Descending) std::reverse(order.begin(), order.end());
  std::vector<Entry> sorted(FFolders.size());
  for (size_t k = 0; k < order.size(); ++k) sorted[k] = std::move(FFolders[size_t(order[k])]);
  FFolders = std::move(sorted);
}

// ---- owner data -------------------------------------------------------------------------------

bool TkxCustomShellListView::OwnerDataFetch(TListItem* Item) {
  const int32_t i = Item->Index();
  // The range first: a paint may ask for a row the list no longer has.
  if (i < 0 || i >= int32_t(FFolders.size())) return true;
  TkxShellFolder* f = ItemFolder(i);
  if (!f) return true;
  Item->SetCaption(FFolders[size_t(i)].Name);
  Item->SetImageIndex(f->ImageIndex(ViewStyle() == vsIcon));
  if (ViewStyle() == vsReport) {
    const int32_t n = Columns()->Count();
    try {
      f->LoadColumnDetails(FRootFolder.get(), Handle(), n);
      for (int32_t k = 1; k < n; ++k) Item->SubItems()->Add(f->Details(k));
    } catch (const Exception&) {
      // A row whose object is gone shows its name only.
    }
  }
  return true;
}

int32_t TkxCustomShellListView::FindItem(TItemFind Find, const std::string& Text, int32_t StartIndex,
                                         bool Wrap) const {
  if ((Find != ifPartialString && Find != ifExactString) || StartIndex == -1) return -1;
  const int32_t n = int32_t(FFolders.size());
  if (n == 0 || StartIndex < 0 || StartIndex >= n) return -1;
  std::string want = Text;
  for (char& c : want) c = FoldAscii(c);
  int32_t i = StartIndex;
  do {
    const std::string& name = FFolders[size_t(i)].Name;
    if (name.size() >= want.size()) {
      bool same = true;
      for (size_t k = 0; k < want.size() && same; ++k) same = FoldAscii(name[k]) == want[k];
      if (same) return i;
    }
    if (++i >= n) {
      if (!Wrap) return -1;
      i = 0;
    }
  } while (i != StartIndex);
  return -1;
}

// ---- columns ----------------------------------------------------------------------------------

int32_t TkxCustomShellListView::CharWidth() {
  TBitmap b;
  b.SetSize(1, 1);
  b.Canvas()->Font()->Assign(Font());
  return std::max(1, b.Canvas()->TextWidth("X"));
}

bool TkxCustomShellListView::AddDetailColumn(int Fmt, int Chars, const std::string& Caption,
                                             std::vector<std::string>& Added) {
  if (Caption.empty()) return true;
  for (const std::string& a : Added)
    if (CompareText(a, Caption) == 0) return false;
  TListColumn* c = Columns()->Add();
  c->SetCaption(Caption);
  c->SetAlignment(Fmt == 1 ? taRightJustify : Fmt == 2 ? taCenter : taLeftJustify);
  c->SetWidth(Chars * CharWidth());
  Added.push_back(Caption);
  return true;
}

void TkxCustomShellListView::AddDefaultColumns(int N) {
  struct Def {
    const char* key;
    const char* caption;
    TAlignment align;
    int chars;
  };
  static const Def defs[4] = {{"FLV_NAME", "Name", taLeftJustify, 25},
                              {"FLV_SIZE", "Size", taRightJustify, 10},
                              {"FLV_TYPE", "Type", taLeftJustify, 10},
                              {"FLV_MODIFIED", "Modified", taLeftJustify, 14}};
  TkxResourceStrData* strs = SkinData() ? SkinData()->ResourceStrData() : nullptr;
  for (int i = 0; i < std::min(N, 4); ++i) {
    TListColumn* c = Columns()->Add();
    c->SetCaption(strs ? strs->GetResStr(defs[i].key) : std::string(defs[i].caption));
    c->SetAlignment(defs[i].align);
    c->SetWidth(defs[i].chars * CharWidth());
  }
}

void TkxCustomShellListView::BuildColumns() {
  if (!FRootFolder || !FRootFolder->ShellFolder()) return;
  Columns()->BeginUpdate();
  try {
    std::vector<std::string> added;
    Columns()->Clear();
    FRootFolder->SetViewHandle(HandleAllocated() ? Handle() : nullptr);
    SHELLDETAILS sd;
    if (IShellFolder2* f2 = FRootFolder->ShellFolder2()) {
      bool seenOn = false;
      for (UINT i = 0;; ++i) {
        if (FAILED(f2->GetDetailsOf(nullptr, i, &sd))) break;
        DWORD state = 0;
        f2->GetDefaultColumnState(i, &state);
        const bool on = (state & SHCOLSTATE_ONBYDEFAULT) != 0;
        if (seenOn && !on) break;
        seenOn = seenOn || on;
        AddDetailColumn(sd.fmt, sd.cxChar, StrRetToText(nullptr, sd.str), added);
      }
    } else if (IShellDetails* d = FRootFolder->ShellDetails()) {
      for (UINT i = 0;; ++i)
        if (FAILED(d->GetDetailsOf(nullptr, i, &sd)) || !AddDetailColumn(sd.fmt, sd.cxChar, StrRetToText(nullptr, sd.str), added))
          break;
    } else {
      AddDefaultColumns(FRootFolder->Properties().Contains(fpFileSystem) ? 4 : 1);
    }
  } catch (...) {
    Columns()->EndUpdate();
    throw;
  }
  Columns()->EndUpdate();
}

// ---- selection --------------------------------------------------------------------------------

TkxShellFolder* TkxCustomShellListView::SelectedFolder() {
  const int32_t i = ItemIndex();
  return i >= 0 ? ItemFolder(i) : nullptr;
}

std::string TkxCustomShellListView::GetSelectedFile() {
  const int32_t i = ItemIndex();
  if (i < 0 || i >= int32_t(FFolders.size()) || FFolders[size_t(i)].Folder) return {};
  TkxShellFolder* f = ItemFolder(i);
  return f ? f->FullObjectName() : std::string();
}

void TkxCustomShellListView::GetSelectedFiles(TStrings* AFiles) {
  AFiles->Clear();
  for (int32_t i = GetNextIndex(-1, LVNI_SELECTED); i >= 0; i = GetNextIndex(i, LVNI_SELECTED)) {
    if (i >= int32_t(FFolders.size()) || FFolders[size_t(i)].Folder) continue;
    TkxShellFolder* f = ItemFolder(i);
    AFiles->Add(f ? f->FullObjectName() : std::string());
  }
}

void TkxCustomShellListView::EditSelectedName() {
  const int32_t i = ItemIndex();
  if (i >= 0) EditItem(i);
}

// ---- keys, mouse, menus -----------------------------------------------------------------------

void TkxCustomShellListView::KeyDown(WORD& Key, TShiftState Shift) {
  TkxSkinCustomListView::KeyDown(Key, Shift);
  if (!FAutoNavigate) return;
  switch (Key) {
    case VK_BACK:
      if (!IsEditing()) Back();
      break;
    case VK_RETURN:
      if (Shift.Contains(ssAlt)) {
        if (TkxShellFolder* f = SelectedFolder()) InvokeContextMenuVerb(f, "properties");
        Key = 0;
      } else if (ItemIndex() >= 0 && ItemIsFolder(ItemIndex())) {
        if (TkxShellFolder* f = SelectedFolder()) {
          PItemIDList id = CopyItemIDList(f->AbsoluteID());
          try {
            OpenFolderID(id);
          } catch (...) {
            ShellFree(id);
            throw;
          }
          ShellFree(id);
        }
      }
      break;
    case VK_F5: Refresh(); break;
    default: break;
  }
}

void TkxCustomShellListView::DblClick() {
  if (FAutoNavigate && ItemIndex() >= 0 && ItemIsFolder(ItemIndex())) {
    if (TkxShellFolder* f = SelectedFolder()) {
      // The folder's item goes with the old list: open a copy of its list.
      PItemIDList id = CopyItemIDList(f->AbsoluteID());
      try {
        OpenFolderID(id);
      } catch (...) {
        ShellFree(id);
        throw;
      }
      ShellFree(id);
    }
  }
  TkxSkinCustomListView::DblClick();
}

void TkxCustomShellListView::ShowContextMenu(TPoint P) {
  TkxShellFolder* f = SelectedFolder();
  if (!f) return;
  ShowShellContextMenu(this, f, P);
  Refresh();
}

void TkxCustomShellListView::WndProc(TMessage& Message) {
  if (ActiveContextMenu && (Message.Msg == WM_INITMENUPOPUP || Message.Msg == WM_DRAWITEM ||
                            Message.Msg == WM_MEASUREITEM || Message.Msg == WM_MENUCHAR)) {
    ActiveContextMenu->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
    Message.Result = 0;
  }
  if (Message.Msg == WM_CONTEXTMENU && FAutoContext && ItemIndex() >= 0) {
    TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    // From the keyboard: at the selected item.
    if (p.x == -1 && p.y == -1) {
      const TRect r = ItemRect(ItemIndex(), drLabel);
      p = TPoint{r.left, r.bottom};
    } else {
      p = ScreenToClient(p);
    }
    ShowContextMenu(p);
    Message.Result = 1;
    return;
  }
  TkxSkinCustomListView::WndProc(Message);
}

void TkxCustomShellListView::ExecuteCommand(const std::string& Verb, bool& Handled) {
  if (CompareText(Verb, "rename") == 0) {
    EditSelectedName();
    Handled = true;
  } else if (CompareText(Verb, "open") == 0) {
    TkxShellFolder* f = SelectedFolder();
    if (!f) return;
    // Any length of folder; put back whatever the verb's outcome.
    char* cwd = getcwd(nullptr, 0);
    FSavedPath = cwd != nullptr;
    FSavePath = cwd ? cwd : "";
    free(cwd);
    const std::string path = f->PathName();
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && chdir(slash == 0 ? "/" : path.substr(0, slash).c_str()) != 0) {
      // The folder cannot be entered: the shell runs the verb from where we are.
    }
  }
}

void TkxCustomShellListView::CommandCompleted(const std::string& Verb, bool Succeeded) {
  if (CompareText(Verb, "open") == 0) {
    if (FSavedPath && chdir(FSavePath.c_str()) != 0) {
      // The old folder is gone; nothing to go back to.
    }
    FSavedPath = false;
    return;
  }
  if (Succeeded && (CompareText(Verb, "delete") == 0 || CompareText(Verb, "paste") == 0)) Refresh();
}

void TkxCustomShellListView::Edit(TListItem* Item, std::string& S) {
  const int32_t i = Item ? Item->Index() : -1;
  if (i < 0 || i >= int32_t(FFolders.size())) return;
  TkxShellFolder* f = ItemFolder(i);
  if (!f) return;
  f->Rename(S);
  // The shown name follows the object's new identifier.
  Entry& e = FFolders[size_t(i)];
  e.Name = f->DisplayName();
  e.Key = NameSortKey(e.Name);
  ShellFree(e.ID);
  e.ID = CopyItemIDList(f->RelativeID());
  UpdateItems(i, i);
  if (FTreeView && FTreeView->Selected()) FTreeView->Refresh(FTreeView->Selected());
}
