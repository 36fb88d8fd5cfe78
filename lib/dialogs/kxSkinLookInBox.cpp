// The look-in box of the file dialogs.
#include "lib/dialogs/kxSkinLookInBox.h"

#include <algorithm>

#include "base/Format.h"
#include "lib/dialogs/kxSkinShellList.h"
#include "lib/dialogs/kxSkinShellTree.h"

using namespace win;

// ---- the items --------------------------------------------------------------------------------

TkxItemEx* TkxItemsEx::Items(int32_t Index) const {
  return Index >= 0 && Index < Count() ? FItems[size_t(Index)].get() : nullptr;
}

TkxItemEx* TkxItemsEx::Add() { return Insert(Count()); }

TkxItemEx* TkxItemsEx::Insert(int32_t Index) {
  Index = std::clamp(Index, 0, Count());
  auto it = FItems.insert(FItems.begin() + Index, std::make_unique<TkxItemEx>());
  return it->get();
}

TkxItemEx* TkxItemsEx::AddItem(const std::string& ACaption, int32_t AImageIndex, int32_t ASelectedIndex,
                               int32_t AIndent, std::unique_ptr<TkxShellFolder> AFolder) {
  TkxItemEx* item = Add();
  item->Caption = ACaption;
  item->ImageIndex = AImageIndex;
  item->SelectedImageIndex = ASelectedIndex;
  item->Indent = AIndent;
  item->Data = std::move(AFolder);
  return item;
}

namespace {

// One update of the items, closed on every path.
struct ItemsExUpdate {
  TkxItemsEx* items;
  explicit ItemsExUpdate(TkxItemsEx* i) : items(i) { items->BeginUpdate(); }
  ~ItemsExUpdate() { items->EndUpdate(); }
};

struct Flag {
  bool& f;
  explicit Flag(bool& b) : f(b) { f = true; }
  ~Flag() { f = false; }
};

}  // namespace

// ---- construction -----------------------------------------------------------------------------

TkxCustomShellComboBox::TkxCustomShellComboBox(TComponent* AOwner)
    : TkxSkinCustomComboBox(AOwner), FItemsEx(std::make_unique<TkxItemsEx>()) {
  SHFILEINFO info;
  FImages = reinterpret_cast<HIMAGELIST>(SHGetFileInfo("/", 0, &info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  int cx = 16, cy = 16;
  if (FImages) ImageList_GetIconSize(FImages, &cx, &cy);
  FImageWidth = cx;
  FImageHeight = cy;
  SetOnListBoxDrawItem([this](TCanvas* C, int32_t Index, int32_t, int32_t, TRect R, TOwnerDrawState) {
    const TkxItemEx* item = FItemsEx->Items(Index);
    DrawItem(C, Index, R, item ? item->Indent * FImageWidth / 2 : 0);
  });
  OnComboBoxDrawItem = [this](TCanvas* C, int32_t Index, int32_t, int32_t, TRect R, TOwnerDrawState) {
    DrawItem(C, Index, R, 0);
  };
}

TkxCustomShellComboBox::~TkxCustomShellComboBox() {
  if (FListView && FListView->FComboBox == this) FListView->FComboBox = nullptr;
  if (FTreeView && FTreeView->FComboBox == this) FTreeView->FComboBox = nullptr;
  FItemsEx.reset();
  FRootFolder.reset();
}

void TkxCustomShellComboBox::Loaded() {
  TkxSkinCustomComboBox::Loaded();
  RebuildItems();
}

void TkxCustomShellComboBox::CreateWnd() {
  TkxSkinCustomComboBox::CreateWnd();
  SetUseShellImages(FUseShellImages);
  if (FItemsEx->Count() == 0) RebuildItems();
  SyncCaptions();
}

void TkxCustomShellComboBox::DestroyWnd() {
  ClearItems();
  TkxSkinCustomComboBox::DestroyWnd();
}

void TkxCustomShellComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FListView) FListView = nullptr;
  if (Operation == opRemove && AComponent == FTreeView) FTreeView = nullptr;
}

// ---- properties -------------------------------------------------------------------------------

void TkxCustomShellComboBox::SetRoot(const TRoot& Value) {
  // Root names in any letter case are one root; paths differ by any letter.
  if (RootFolderIndex(Value) >= 0 ? RootFolderIndex(Value) == RootFolderIndex(FRoot) : Value == FRoot) return;
  FOldRoot = FRoot;
  FRoot = Value;
  ResetRoot();
}

void TkxCustomShellComboBox::SetObjectTypes(TShellObjectTypes Value) {
  FObjectTypes = Value;
  ResetRoot();
}

void TkxCustomShellComboBox::SetShellListView(TkxCustomShellListView* Value) {
  if (Value == FListView) return;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->FComboBox = this;
    Value->FreeNotification(this);
  } else if (FListView) {
    FListView->FComboBox = nullptr;
  }
  FListView = Value;
}

std::string TkxCustomShellComboBox::Path() {
  const int32_t i = ItemIndex();
  if (i < 0) return {};
  TkxShellFolder* f = FolderAt(i);
  return f ? f->PathName() : std::string();
}

void TkxCustomShellComboBox::SetPath(const std::string& Value) {
  PItemIDList list = nullptr;
  HRESULT hr = DesktopShellFolder()->ParseDisplayName(nullptr, Value, nullptr, &list, nullptr);
  if (FAILED(hr) || !list) {
    ShellFree(list);
    throw EInvalidPath(Format("Error setting path: \"%s\"", Value));
  }
  try {
    ShowFolderID(list);
  } catch (...) {
    ShellFree(list);
    throw;
  }
  ShellFree(list);
}

TkxShellFolder* TkxCustomShellComboBox::FolderAt(int32_t Index) const {
  const int32_t n = FItemsEx->Count();
  if (n == 0 || Index < 0) return nullptr;
  return FItemsEx->Items(std::min(Index, n - 1))->Data.get();
}

int32_t TkxCustomShellComboBox::IndexOfID(PCItemIDList ID) const {
  for (int32_t i = FItemsEx->Count() - 1; i >= 0; --i) {
    const TkxItemEx* item = FItemsEx->Items(i);
    if (item->Data && SameItemIDLists(ID, item->Data->AbsoluteID())) return i;
  }
  return -1;
}

// ---- building ---------------------------------------------------------------------------------

void TkxCustomShellComboBox::SyncCaptions() {
  TStrings* s = Items();
  s->BeginUpdate();
  try {
    s->Clear();
    for (int32_t i = 0; i < FItemsEx->Count(); ++i) s->Add(FItemsEx->Items(i)->Caption);
  } catch (...) {
    s->EndUpdate();
    throw;
  }
  s->EndUpdate();
}

void TkxCustomShellComboBox::ClearItems() {
  {
    ItemsExUpdate update(FItemsEx.get());
    FItemsEx->Clear();
  }
  SyncCaptions();
}

int32_t TkxCustomShellComboBox::ShellImageIndex(TkxShellFolder* Folder) const {
  return FUseShellImages && Folder ? SystemImageIndex(Folder->AbsoluteID(), false, false) : -1;
}

void TkxCustomShellComboBox::SetUseShellImages(bool Value) {
  FUseShellImages = Value;
  int cx = 16, cy = 16;
  if (Value && FImages) ImageList_GetIconSize(FImages, &cx, &cy);
  FImageWidth = cx;
  FImageHeight = cy;
}

std::unique_ptr<TkxShellFolder> TkxCustomShellComboBox::CreateChildFolder(TkxShellFolder* Parent,
                                                                          PCItemIDList ID) const {
  auto sf = BindShellFolder(Parent ? Parent->ShellFolder() : nullptr, ID, nullptr);
  return std::make_unique<TkxShellFolder>(Parent, ID, std::move(sf));
}

void TkxCustomShellComboBox::RebuildItems() {
  if (ComponentState().Contains(csLoading)) return;
  ItemsExUpdate update(FItemsEx.get());
  ClearItems();
  std::unique_ptr<TkxShellFolder> none;
  FRootFolder = CreateRootFolder(none, FOldRoot, FRoot);
  auto top = std::make_unique<TkxShellFolder>(nullptr, FRootFolder->AbsoluteID(),
                                              FRootFolder->ShellFolder() ? FRootFolder->ShellFolder()->Clone() : nullptr);
  const std::string caption = top->DisplayName();
  const int32_t image = ShellImageIndex(top.get());
  FItemsEx->AddItem(caption, image, image, 0, std::move(top));
  FillItems();
  SyncCaptions();
  SetItemIndex(0);
  if (FUseShellImages) {
    SetUseShellImages(false);
    SetUseShellImages(true);
  }
}

void TkxCustomShellComboBox::FillItems() {
  ItemsExUpdate update(FItemsEx.get());
  InsertChildren(0, FRootFolder.get());
  // Only the desktop named exactly so gets Computer's volumes.
  if (FRoot != "rfDesktop") return;
  PItemIDList computer = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)) || !computer) return;
  const int32_t i = IndexOfID(computer);
  ShellFree(computer);
  if (i != -1) InsertChildren(i, FItemsEx->Items(i)->Data.get());
}

void TkxCustomShellComboBox::InsertChildren(int32_t Index, TkxShellFolder* Folder) {
  IShellFolder* sf = Folder ? Folder->ShellFolder() : nullptr;
  if (!sf) return;
  std::unique_ptr<IEnumIDList> en;
  HRESULT hr = sf->EnumObjects(nullptr, ObjectTypesToEnumFlags(FObjectTypes), &en);
  if (FAILED(hr)) throw EOleSysError(Format("The folder \"%s\" cannot be listed", Folder->DisplayName()), hr);
  if (!en) return;
  std::vector<PItemIDList> ids;
  try {
    for (;;) {
      LPITEMIDLIST id = nullptr;
      ULONG n = 0;
      if (en->Next(1, &id, &n) != S_OK || !id) {
        ShellFree(id);
        break;
      }
      ids.push_back(id);
    }
    std::stable_sort(ids.begin(), ids.end(),
                     [sf](PItemIDList a, PItemIDList b) { return CompareChildren(sf, a, b) < 0; });
    ItemsExUpdate update(FItemsEx.get());
    for (size_t k = 0; k < ids.size(); ++k) {
      auto child = CreateChildFolder(Folder, ids[k]);
      TkxItemEx* item = FItemsEx->Insert(Index + 1 + int32_t(k));
      item->Caption = child->DisplayName();
      item->Indent = child->Level();
      item->ImageIndex = item->SelectedImageIndex = ShellImageIndex(child.get());
      item->Data = std::move(child);
    }
  } catch (...) {
    FreeIDLists(ids);
    throw;
  }
  FreeIDLists(ids);
}

void TkxCustomShellComboBox::InsertChainItem(int32_t Index, std::unique_ptr<TkxShellFolder> Folder) {
  TkxItemEx* item = FItemsEx->Insert(Index);
  item->Caption = Folder->DisplayName();
  item->Indent = Folder->Level();
  item->ImageIndex = ShellImageIndex(Folder.get());
  item->Data = std::move(Folder);
}

void TkxCustomShellComboBox::ShowFolderID(PCItemIDList ID) {
  ItemsExUpdate update(FItemsEx.get());
  RebuildItems();
  std::vector<PItemIDList> ancestors = AncestorIDLists(ID);
  try {
    int32_t i = -1;
    size_t anchor = ancestors.size();
    for (size_t k = ancestors.size(); k-- > 0;) {
      i = IndexOfID(ancestors[k]);
      if (i != -1) {
        anchor = k;
        break;
      }
    }
    if (i == -1) {
      FreeIDLists(ancestors);
      return;
    }
    for (size_t k = anchor + 1; k < ancestors.size(); ++k) {
      PItemIDList last = CopyLastItemID(ancestors[k]);
      std::unique_ptr<TkxShellFolder> f;
      try {
        f = CreateChildFolder(FItemsEx->Items(i)->Data.get(), last);
      } catch (...) {
        ShellFree(last);
        throw;
      }
      ShellFree(last);
      InsertChainItem(i + 1, std::move(f));
      ++i;
    }
    int32_t value = IndexOfID(ID);
    if (value == -1) {
      PItemIDList last = CopyLastItemID(ID);
      std::unique_ptr<TkxShellFolder> f;
      try {
        f = CreateChildFolder(FItemsEx->Items(i)->Data.get(), last);
      } catch (...) {
        ShellFree(last);
        throw;
      }
      ShellFree(last);
      InsertChainItem(i + 1, std::move(f));
      value = i + 1;
    }
    SyncCaptions();
    SetItemIndex(value);
  } catch (...) {
    FreeIDLists(ancestors);
    throw;
  }
  FreeIDLists(ancestors);
}

void TkxCustomShellComboBox::ResetRoot() {
  Flag updating(FUpdating);
  ClearItems();
  RebuildItems();
  if (FTreeView) FTreeView->SetRoot(FRoot);
  if (FListView) FListView->SetRoot(FRoot);
}

// ---- the linked list --------------------------------------------------------------------------

void TkxCustomShellComboBox::FolderIDChanged(PCItemIDList ID) {
  if (FUpdating) return;
  const int32_t i = ItemIndex();
  if (i >= 0) {
    TkxShellFolder* f = FolderAt(i);
    if (f && SameItemIDLists(f->AbsoluteID(), ID)) return;
  }
  Flag updating(FUpdating);
  ShowFolderID(ID);
}

void TkxCustomShellComboBox::Change() {
  if (FItemsEx->UpdateCount() > 0) return;
  TkxSkinCustomComboBox::Change();
  // Moving through the open list sends nothing; closing it on a choice does.
  if (ItemIndex() < 0 || FUpdating || IsPopupVisible()) return;
  TkxShellFolder* f = FolderAt(ItemIndex());
  if (!f) return;
  Flag updating(FUpdating);
  if (FTreeView) FTreeView->SelectByAbsoluteID(f->AbsoluteID());
  if (FListView) FListView->NavigateToID(f->AbsoluteID());
}

void TkxCustomShellComboBox::Click() {
  TkxShellFolder* f = FolderAt(ItemIndex());
  if (!f) {
    // Nothing selected: nothing to show.
    TkxSkinCustomComboBox::Click();
    return;
  }
  Flag updating(FUpdating);
  PItemIDList id = CopyItemIDList(f->AbsoluteID());
  try {
    ShowFolderID(id);
    TkxSkinCustomComboBox::Click();
  } catch (...) {
    ShellFree(id);
    throw;
  }
  ShellFree(id);
}

// ---- drawing ----------------------------------------------------------------------------------

void TkxCustomShellComboBox::DrawItem(TCanvas* Cnvs, int32_t Index, const TRect& TxtRect, int32_t Indent) {
  const TkxItemEx* item = FItemsEx->Items(Index);
  int32_t left = TxtRect.left;
  if (FImages && item) {
    const int32_t x = TxtRect.left + Indent;
    const int32_t y = TxtRect.top + (TxtRect.bottom - TxtRect.top - FImageHeight) / 2;
    if (item->ImageIndex >= 0) ImageList_Draw(FImages, item->ImageIndex, Cnvs->Handle(), x, y, ILD_NORMAL);
    left = x + FImageWidth + 4;
  }
  const std::string text = Index >= 0 && Index < Items()->Count() ? Items()->Get(Index) : std::string();
  const int32_t y = TxtRect.top + (TxtRect.bottom - TxtRect.top) / 2 - Cnvs->TextHeight("Wg") / 2;
  Cnvs->TextOut(left, y, text);
}
