#include "lib/dialogs/kxSkinShellTree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "base/Format.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/graphics/ImageList.h"
#include "lib/dialogs/kxSkinLookInBox.h"
#include "lib/dialogs/kxSkinShellList.h"

using namespace win;

namespace {

// Restores a value on every path out of a scope.
template <typename T>
class Restore {
public:
  Restore(T& Ref, T Value) : FRef(Ref), FOld(Ref) { FRef = Value; }
  ~Restore() { FRef = FOld; }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

private:
  T& FRef;
  T FOld;
};

class NodesUpdate {
public:
  explicit NodesUpdate(TTreeNodes* N) : FNodes(N) { FNodes->BeginUpdate(); }
  ~NodesUpdate() { FNodes->EndUpdate(); }
  NodesUpdate(const NodesUpdate&) = delete;
  NodesUpdate& operator=(const NodesUpdate&) = delete;

private:
  TTreeNodes* FNodes;
};

class HourGlass {
public:
  HourGlass() : FOld(Screen ? Screen->Cursor() : crDefault) {
    if (Screen) Screen->SetCursor(crHourGlass);
  }
  ~HourGlass() {
    if (Screen) Screen->SetCursor(FOld);
  }
  HourGlass(const HourGlass&) = delete;
  HourGlass& operator=(const HourGlass&) = delete;

private:
  TCursor FOld;
};

struct OwnedList {
  PItemIDList P = nullptr;
  OwnedList() = default;
  explicit OwnedList(PItemIDList Q) : P(Q) {}
  ~OwnedList() { ShellFree(P); }
  OwnedList(const OwnedList&) = delete;
  OwnedList& operator=(const OwnedList&) = delete;
};

// The absolute list of a node's item, made from its parent's list and its own relative one.
PItemIDList NodeAbsoluteID(TkxShellFolder* Item) {
  if (!Item) return nullptr;
  return Item->Parent() ? ConcatItemIDLists(Item->Parent()->AbsoluteID(), Item->RelativeID())
                        : CopyItemIDList(Item->RelativeID());
}

std::string CurrentDirectory() {
  std::vector<char> buf(512);
  for (;;) {
    if (getcwd(buf.data(), buf.size())) return buf.data();
    if (errno != ERANGE) return std::string();
    buf.resize(buf.size() * 2);
  }
}

std::string FolderPart(const std::string& Path) {
  const size_t slash = Path.rfind('/');
  return slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
}

bool SameText(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(A[i]) != lower(B[i])) return false;
  }
  return true;
}

// Whether anything (a file or a folder) is still at a path.
bool PathExists(const std::string& Path) {
  struct stat st;
  return !Path.empty() && lstat(Path.c_str(), &st) == 0;
}

}  // namespace

// ---- construction -----------------------------------------------------------------------------

TkxCustomShellTreeView::TkxCustomShellTreeView(TComponent* AOwner) : TkxSkinCustomTreeView(AOwner) {
  SetShowRoot(false);
  SetRightClickSelect(true);
  FShellImages = new TCustomImageList(this);
  // An idle notifier: no change method, so no thread runs.
  FNotifier = new TkxShellChangeNotifier(this);
  FRoot = "rfDesktop";
  ApplyShellImages();
}

TkxCustomShellTreeView::~TkxCustomShellTreeView() {
  if (FListView && FListView->FTreeView == this) FListView->FTreeView = nullptr;
  if (FComboBox && FComboBox->FTreeView == this) FComboBox->FTreeView = nullptr;
  // The nodes' items go before the tree's own teardown, which no longer reaches this class.
  FAutoRefresh = false;
  delete FNotifier;
  FNotifier = nullptr;
  ClearNodes();
  FRootFolder.reset();
}

void TkxCustomShellTreeView::Loaded() {
  TkxSkinCustomTreeView::Loaded();
  CreateRoot();
}

// ---- window life ------------------------------------------------------------------------------

void TkxCustomShellTreeView::CreateWnd() {
  TkxSkinCustomTreeView::CreateWnd();
  ClearNodes();
  if (!OwnImages()) SetUseShellImages(FUseShellImages);
  if (FLoadingRoot) return;
  CreateRoot();
  if (!FPath.empty()) {
    // A folder that has gone since does not stop the window from being made: the root shows
    // and the stored path is dropped.
    try {
      SetPath(FPath);
    } catch (const EInvalidPath&) {
    }
  }
}

void TkxCustomShellTreeView::DestroyWnd() {
  ClearNodes();
  TkxSkinCustomTreeView::DestroyWnd();
}

void TkxCustomShellTreeView::ClearNodes() {
  {
    NodesUpdate update(Items());
    for (int32_t i = 0; i < Items()->Count(); ++i) {
      TTreeNode* n = Items()->Item(i);
      delete ItemOf(n);
      n->SetData(nullptr);
    }
  }
  Items()->Clear();
}

// ---- images -----------------------------------------------------------------------------------

bool TkxCustomShellTreeView::OwnImages() const { return Images() && Images() != FShellImages; }

void TkxCustomShellTreeView::ApplyShellImages() {
  // The shared list keeps straight alpha; the tree's image list keeps a mask, so the edges are
  // blended over the tree's colour here.
  FShellImages->Clear();
  HIMAGELIST list = SystemImageList(true);
  int cx = 16, cy = 16;
  ImageList_GetIconSize(list, &cx, &cy);
  FShellImages->SetSize(cx, cy);
  const COLORREF bg = ColorToRGB(Color());
  const int bgR = GetRValue(bg), bgG = GetGValue(bg), bgB = GetBValue(bg);
  const int count = ImageList_GetImageCount(list);
  for (int i = 0; i < count; ++i) {
    const uint32_t* px = ImageList_Pixels(list, i);
    TBitmap image, mask;
    image.SetPixelFormat(pf24bit);
    image.SetSize(cx, cy);
    mask.SetPixelFormat(pf24bit);
    mask.SetSize(cx, cy);
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x) {
        const uint32_t p = px ? px[y * cx + x] : 0;
        const int a = int(p >> 24), r = int((p >> 16) & 0xFF), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
        auto mix = [a](int c, int back) { return (c * a + back * (255 - a) + 127) / 255; };
        image.Canvas()->SetPixels(x, y, TColor(RGB(mix(r, bgR), mix(g, bgG), mix(b, bgB))));
        mask.Canvas()->SetPixels(x, y, a < 24 ? clWhite : clBlack);
      }
    FShellImages->Add(&image, &mask);
  }
}

void TkxCustomShellTreeView::ChangeSkinData() {
  TkxSkinCustomTreeView::ChangeSkinData();
  if (FShellImages) ApplyShellImages();
}

void TkxCustomShellTreeView::SetUseShellImages(bool Value) {
  FUseShellImages = Value;
  if (OwnImages()) return;
  SetImages(FUseShellImages ? FShellImages : nullptr);
}

void TkxCustomShellTreeView::GetImageIndex(TTreeNode* Node) {
  // With the shell's pictures the indexes set on the nodes are used as they are.
  if (OwnImages()) TkxSkinCustomTreeView::GetImageIndex(Node);
}

void TkxCustomShellTreeView::GetSelectedIndex(TTreeNode* Node) {
  if (OwnImages()) TkxSkinCustomTreeView::GetSelectedIndex(Node);
}

// ---- building ---------------------------------------------------------------------------------

void TkxCustomShellTreeView::CreateRoot() {
  if (ComponentState().Contains(csLoading)) return;
  std::string failure;
  bool failed = false;
  try {
    FRootFolder = CreateRootFolder(FRootFolder, FOldRoot, FRoot);
  } catch (const Exception& E) {
    failure = E.Message;
    failed = true;
  }
  if (FRootFolder) {
    Restore<bool> loading(FLoadingRoot, true);
    ClearNodes();
    TTreeNode* node = Items()->Add(nullptr, "");
    auto* item = new TkxShellFolder(nullptr, FRootFolder->AbsoluteID(),
                                    FRootFolder->ShellFolder() ? FRootFolder->ShellFolder()->Clone() : nullptr);
    node->SetData(item);
    node->SetText(ItemDisplayName(DesktopFolder()->ShellFolder(), item->AbsoluteID(), 0));
    if (ShowsShellImages()) {
      node->SetImageIndex(SystemImageIndex(item->AbsoluteID(), false, false));
      node->SetSelectedIndex(SystemImageIndex(item->AbsoluteID(), false, true));
    }
    node->SetHasChildren(item->SubFolders());
    node->Expand(false);
    node->SetSelected(true);
  }
  if (failed) throw Exception(failure);
}

void TkxCustomShellTreeView::PopulateNode(TTreeNode* Node) {
  HourGlass wait;
  NodesUpdate update(Items());
  TkxShellFolder* item = ItemOf(Node);
  if (!item || !item->ShellFolder()) return;
  std::unique_ptr<IEnumIDList> list;
  HRESULT hr;
  try {
    hr = item->ShellFolder()->EnumObjects(nullptr, ObjectTypesToEnumFlags(FObjectTypes), &list);
  } catch (const Exception&) {
    return;
  }
  if (FAILED(hr) || !list) return;
  for (;;) {
    LPITEMIDLIST id = nullptr;
    ULONG fetched = 0;
    if (list->Next(1, &id, &fetched) != S_OK || !id) {
      ShellFree(id);
      break;
    }
    OwnedList owned(id);
    TTreeNode* child = Items()->AddChild(Node, "");
    AddFolderNode(child, id, Node);
  }
  Node->CustomSort([](TTreeNode* A, TTreeNode* B) {
    TkxShellFolder* a = ItemOf(A);
    TkxShellFolder* b = ItemOf(B);
    if (!a || !b || !a->ParentShellFolder()) return 0;
    const HRESULT r = a->ParentShellFolder()->CompareIDs(0, a->RelativeID(), b->RelativeID());
    return int(int16_t(uint16_t(r & 0xFFFF)));
  });
}

void TkxCustomShellTreeView::AddFolderNode(TTreeNode* Node, PCItemIDList RelativeID, TTreeNode* ParentNode) {
  TkxShellFolder* parent = ItemOf(ParentNode);
  std::unique_ptr<IShellFolder> sf =
      parent && parent->ShellFolder() ? BindShellFolder(parent->ShellFolder(), RelativeID, nullptr) : nullptr;
  auto* item = new TkxShellFolder(parent, RelativeID, std::move(sf));
  Node->SetData(item);
  Node->SetText(item->DisplayName());
  if (ShowsShellImages()) {
    Node->SetImageIndex(SystemImageIndex(item->AbsoluteID(), false, false));
    Node->SetSelectedIndex(SystemImageIndex(item->AbsoluteID(), false, true));
  }
  if (Node->SelectedIndex() == 0) Node->SetSelectedIndex(Node->ImageIndex());
  bool children = item->SubFolders();
  if (FObjectTypes.Contains(otNonFolders) && item->ShellFolder())
    children = FolderHasSubItems(item->ShellFolder(), ObjectTypesToEnumFlags(FObjectTypes));
  Node->SetHasChildren(children);
  bool canAdd = true;
  if (OnAddFolder) OnAddFolder(this, item, canAdd);
  if (!canAdd) Node->Delete();
}

// ---- the class library's hooks ----------------------------------------------------------------

bool TkxCustomShellTreeView::CanExpand(TTreeNode* Node) {
  if (ComponentState().Contains(csDesigning) && Node->Level() > 0) return true;
  const bool allow = TkxSkinCustomTreeView::CanExpand(Node);
  if (allow) {
    TkxShellFolder* item = ItemOf(Node);
    if (item && item->IsFolder()) {
      if (Node->HasChildren() && Node->Count() == 0) PopulateNode(Node);
    } else if (item) {
      const std::string path = item->PathName();
      ShellExecute(HandleAllocated() ? Handle() : nullptr, "", path, "", FolderPart(path), 0);
    }
  }
  Node->SetHasChildren(Node->Count() > 0);
  return allow;
}

bool TkxCustomShellTreeView::CanChange(TTreeNode* Node) {
  const bool allow = TkxSkinCustomTreeView::CanChange(Node);
  if (!allow || FUpdating || !Node || !ItemOf(Node)) return allow;
  // The linked controls show the node's folder (a file's parent folder).
  TkxShellFolder* item = ItemOf(Node);
  if (!item->IsFolder() && Node->Parent() && ItemOf(Node->Parent())) item = ItemOf(Node->Parent());
  if (FComboBox || FListView) {
    PItemIDList id = CopyItemIDList(item->AbsoluteID());
    try {
      Restore<bool> updating(FUpdating, true);
      if (FComboBox) FComboBox->FolderIDChanged(id);
      if (FListView) FListView->NavigateToID(id);
    } catch (...) {
      ShellFree(id);
      throw;
    }
    ShellFree(id);
  }
  const bool refresh = FAutoRefresh;
  SetAutoRefresh(false);
  FNodeToMonitor = Node;
  try {
    SetAutoRefresh(refresh);
  } catch (...) {
    FNodeToMonitor = nullptr;
    throw;
  }
  FNodeToMonitor = nullptr;
  return allow;
}

void TkxCustomShellTreeView::Edit(TTreeNode* Node, bool Cancelled, const std::string& Text) {
  if (Cancelled || Text.empty() || !Node) return;
  std::string s = Text;
  if (OnEdited) OnEdited(this, Node, s);
  TkxShellFolder* item = ItemOf(Node);
  if (!item) return;
  // A refused name raises here, and the node keeps its text.
  if (item->Rename(s)) Node->SetText(s);
  if (TTreeNode* parent = Node->Parent()) Refresh(parent);
}

void TkxCustomShellTreeView::Delete(TTreeNode* Node) {
  delete ItemOf(Node);
  Node->SetData(nullptr);
  TkxSkinCustomTreeView::Delete(Node);
}

void TkxCustomShellTreeView::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
      // The shell's menu draws nothing of its own; the tree's own popup keeps its messages.
      if (ActiveContextMenu) {
        ActiveContextMenu->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
        Message.Result = 0;
        return;
      }
      break;
    case WM_CONTEXTMENU:
      if (FAutoContext && (!PopupMenu() || !PopupMenu()->AutoPopup())) {
        TPoint p{int16_t(Message.LParam & 0xFFFF), int16_t((Message.LParam >> 16) & 0xFFFF)};
        if (Message.LParam == -1) {
          // From the keyboard: at the selected node.
          const TRect r = Selected() ? Selected()->DisplayRect(true) : TRect{0, 0, 0, 0};
          p = TPoint{r.left, r.bottom};
        } else {
          p = ScreenToClient(p);
        }
        ShowShellContextMenu(this, SelectedFolder(), p);
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TkxSkinCustomTreeView::WndProc(Message);
}

// ---- verbs ------------------------------------------------------------------------------------

void TkxCustomShellTreeView::ExecuteCommand(const std::string& Verb, bool& Handled) {
  if (SameText(Verb, "rename") && Selected()) {
    Selected()->EditText();
    Handled = true;
  } else if (SameText(Verb, "open") && SelectedFolder()) {
    FSavePath = CurrentDirectory();
    FSavedPath = true;
    const std::string dir = FolderPart(SelectedFolder()->PathName());
    if (!dir.empty() && chdir(dir.c_str()) != 0) {
      // The shell runs the command from wherever we are.
    }
  }
}

void TkxCustomShellTreeView::CommandCompleted(const std::string& Verb, bool Succeeded) {
  // The directory changed for "open" goes back whether or not the command worked.
  if (SameText(Verb, "open") && FSavedPath) {
    FSavedPath = false;
    if (!FSavePath.empty() && chdir(FSavePath.c_str()) != 0) {
    }
  }
  if (!Succeeded || !Selected()) return;
  if (SameText(Verb, "delete")) {
    // Only a node whose file or folder has really gone is removed.
    TTreeNode* node = Selected();
    TkxShellFolder* item = ItemOf(node);
    if (item && !PathExists(item->PathName())) node->Delete();
  } else if (SameText(Verb, "paste")) {
    Refresh(Selected());
  }
}

// ---- selection and paths ----------------------------------------------------------------------

TkxShellFolder* TkxCustomShellTreeView::SelectedFolder() const { return ItemOf(Selected()); }

std::string TkxCustomShellTreeView::Path() const {
  TkxShellFolder* item = SelectedFolder();
  return item ? item->PathName() : std::string();
}

TTreeNode* TkxCustomShellTreeView::FindNodeByID(PCItemIDList ID, TTreeNode* StartNode) {
  if (!StartNode || !ID) return nullptr;
  IShellFolder* desktop = DesktopFolder()->ShellFolder();
  const int32_t level = StartNode->Level();
  for (TTreeNode* n = StartNode; n; n = n->GetNext()) {
    if (n != StartNode && n->Level() <= level) break;
    TkxShellFolder* item = ItemOf(n);
    if (item && desktop->CompareIDs(0, item->AbsoluteID(), ID) == 0) return n;
  }
  return nullptr;
}

void TkxCustomShellTreeView::SelectByAbsoluteID(PCItemIDList ID) {
  // While the tree itself moves, a linked control calling back changes nothing.
  if (ComponentState().Contains(csLoading) || !ID || FUpdating) return;
  if (SelectedFolder() && SameItemIDLists(SelectedFolder()->AbsoluteID(), ID)) return;
  Restore<bool> updating(FUpdating, true);
  NodesUpdate update(Items());
  std::vector<PItemIDList> ancestors = AncestorIDLists(ID);
  try {
    TTreeNode* current = Items()->GetFirstNode();
    for (PItemIDList a : ancestors) {
      if (TTreeNode* n = FindNodeByID(a, current)) {
        current = n;
        current->Expand(false);
      }
    }
    SetSelected(FindNodeByID(ID, current));
    if (TkxShellFolder* sel = SelectedFolder()) {
      if (FListView) FListView->NavigateToID(sel->AbsoluteID());
      if (FComboBox) FComboBox->FolderIDChanged(sel->AbsoluteID());
    }
  } catch (...) {
    FreeIDLists(ancestors);
    throw;
  }
  FreeIDLists(ancestors);
}

void TkxCustomShellTreeView::SetPath(const std::string& Value) {
  FPath = Value;
  std::unique_ptr<IShellFolder> desktop = DesktopShellFolder();
  LPITEMIDLIST id = nullptr;
  if (FAILED(desktop->ParseDisplayName(nullptr, Value, nullptr, &id, nullptr)) || !id) {
    ShellFree(id);
    // A path that does not parse is not kept: a later window would fail to show it.
    FPath.clear();
    throw EInvalidPath(Format("Error setting path: \"%s\"", Value));
  }
  OwnedList owned(id);
  SelectByAbsoluteID(id);
  if (TTreeNode* node = Selected()) {
    node->Expand(false);
    // The selection moved while updating: let the notifier follow now.
    CanChange(node);
  }
  FPath = Value;
}

void TkxCustomShellTreeView::ExpandMyComputer() {
  LPITEMIDLIST id = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, 17, &id)) || !id) {
    ShellFree(id);
    return;
  }
  OwnedList owned(id);
  SelectByAbsoluteID(id);
  if (Selected()) Selected()->Expand(false);
}

// ---- refresh ----------------------------------------------------------------------------------

void TkxCustomShellTreeView::Refresh(TTreeNode* Node) {
  TkxShellFolder* item = ItemOf(Node);
  if (!item || !item->ShellFolder()) return;
  OwnedList top(NodeAbsoluteID(ItemOf(TopItem())));
  OwnedList selected(NodeAbsoluteID(SelectedFolder()));
  NodesUpdate update(Items());
  HourGlass wait;
  TTreeNode* parentNode = Node->Parent();
  TTreeNode* fresh = Items()->Insert(Node, "");
  auto* freshItem = new TkxShellFolder(ItemOf(parentNode), item->RelativeID(), item->ShellFolder()->Clone());
  fresh->SetData(freshItem);
  PopulateNode(fresh);
  fresh->SetImageIndex(SystemImageIndex(freshItem->AbsoluteID(), false, false));
  fresh->SetSelectedIndex(SystemImageIndex(freshItem->AbsoluteID(), false, true));
  fresh->SetHasChildren(freshItem->SubFolders() || fresh->Count() > 0);
  fresh->SetText(freshItem->DisplayName());
  // The expanded nodes of the old subtree, parents first, so that each is found below one
  // already filled.
  std::vector<PItemIDList> expanded;
  const int32_t level = Node->Level();
  for (TTreeNode* n = Node; n; n = n->GetNext()) {
    if (n != Node && n->Level() <= level) break;
    if (n->Expanded() && ItemOf(n)) expanded.push_back(CopyItemIDList(ItemOf(n)->AbsoluteID()));
  }
  try {
    for (PItemIDList id : expanded)
      if (TTreeNode* match = FindNodeByID(id, fresh)) match->Expand(false);
  } catch (...) {
    FreeIDLists(expanded);
    throw;
  }
  FreeIDLists(expanded);
  {
    // The selection leaves the old subtree without the linked work of a user's move.
    Restore<bool> updating(FUpdating, true);
    Node->Delete();
    if (selected.P) SetSelected(FindNodeByID(selected.P, Items()->GetFirstNode()));
  }
  if (top.P)
    if (TTreeNode* t = FindNodeByID(top.P, Items()->GetFirstNode())) SetTopItem(t);
}

void TkxCustomShellTreeView::RefreshSelected() {
  if (Selected()) Refresh(Selected());
}

// ---- root, object types, notifier -------------------------------------------------------------

void TkxCustomShellTreeView::SetRoot(const TRoot& Value) {
  if (SameText(Value, FRoot)) return;
  FOldRoot = FRoot;
  FRoot = Value;
  RootChanged();
}

void TkxCustomShellTreeView::SetObjectTypes(TShellObjectTypes Value) {
  FObjectTypes = Value;
  RootChanged();
}

void TkxCustomShellTreeView::RootChanged() {
  if (FUpdating) return;
  Restore<bool> updating(FUpdating, true);
  CreateRoot();
  if (FListView) FListView->SetRoot(FRoot);
}

// ---- links ------------------------------------------------------------------------------------

void TkxCustomShellTreeView::SetShellListView(TkxCustomShellListView* Value) {
  if (Value == FListView) return;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->FTreeView = this;
    Value->FreeNotification(this);
  } else if (FListView) {
    FListView->FTreeView = nullptr;
  }
  FListView = Value;
}

void TkxCustomShellTreeView::SetShellComboBox(TkxCustomShellComboBox* Value) {
  if (Value == FComboBox) return;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->FTreeView = this;
    Value->FreeNotification(this);
  } else if (FComboBox) {
    FComboBox->FTreeView = nullptr;
  }
  FComboBox = Value;
}

void TkxCustomShellTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomTreeView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FListView) FListView = nullptr;
  if (AComponent == FComboBox) FComboBox = nullptr;
}

bool TkxCustomShellTreeView::Watching() const { return FNotifier && FNotifier->Watching(); }

void TkxCustomShellTreeView::SetAutoRefresh(bool Value) {
  FAutoRefresh = Value;
  if (ComponentState().Contains(csLoading)) return;
  delete FNotifier;
  FNotifier = nullptr;
  if (!Value) return;
  FNotifier = new TkxShellChangeNotifier(this);
  FNotifier->SetWatchSubTree(false);
  TkxShellFolder* watched = FNodeToMonitor ? ItemOf(FNodeToMonitor) : FRootFolder.get();
  FNotifier->SetRoot(watched ? watched->PathName() : std::string());
  FNotifier->SetOnChange([this] { RefreshSelected(); });
}
