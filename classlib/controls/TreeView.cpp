// The tree view: nodes, expansion, selection, label editing, keyboard, mouse, scrolling and the
// plain look (dotted lines, +/- boxes, images, the highlighted label).
#include "classlib/TreeViews.h"

#include <algorithm>
#include <climits>
#include <exception>

#include "base/Format.h"
#include "base/Text.h"
#include "classlib/EditCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "platform/Gdi.h"
#include "platform/StdControls.h"

using namespace win;

namespace {

[[noreturn]] void ListIndexError(int32_t Index) {
  throw EListError(Format("List index out of bounds (%d)", Index));
}

// Keeps a node's liveness flag across calls into handlers that may delete it.
using AliveFlag = std::shared_ptr<bool>;
bool Alive(const AliveFlag& f) { return f && *f; }

}  // namespace

// ---- TTreeNode ----------------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode() { *FAlive = false; }

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->Owner(); }

void TTreeNode::SetText(const std::string& Value) {
  if (Value == FText) return;
  FText = Value;
  FTextWidth = -1;
  TreeView()->NodeTextChanged(this);
}

void TTreeNode::SetImageIndex(int32_t Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  TreeView()->LayoutChanged();
}

void TTreeNode::SetSelectedIndex(int32_t Value) {
  if (Value == FSelectedIndex) return;
  FSelectedIndex = Value;
  TreeView()->LayoutChanged();
}

void TTreeNode::SetStateIndex(int32_t Value) {
  if (Value == FStateIndex) return;
  FStateIndex = Value;
  TreeView()->LayoutChanged();
}

void TTreeNode::SetHasChildren(bool Value) {
  if (Value == FHasChildren) return;
  FHasChildren = Value;
  if (!Value && FChildren.empty()) FExpanded = false;
  TreeView()->StructureChanged();
}

void TTreeNode::SetExpanded(bool Value) {
  if (Value) TreeView()->ExpandNode(this, false);
  else TreeView()->CollapseNode(this, false);
}

void TTreeNode::Expand(bool Recurse) { TreeView()->ExpandNode(this, Recurse); }
void TTreeNode::Collapse(bool Recurse) { TreeView()->CollapseNode(this, Recurse); }

TTreeNode* TTreeNode::Parent() const { return FParent == FOwner->FRoot.get() ? nullptr : FParent; }

int32_t TTreeNode::Level() const {
  int32_t level = 0;
  for (const TTreeNode* p = FParent; p && p != FOwner->FRoot.get(); p = p->FParent) ++level;
  return level;
}

int32_t TTreeNode::Index() const { return FParent ? FParent->IndexOf(this) : -1; }

int32_t TTreeNode::AbsoluteIndex() const {
  FOwner->Flatten();
  auto it = std::find(FOwner->FFlat.begin(), FOwner->FFlat.end(), this);
  return it == FOwner->FFlat.end() ? -1 : int32_t(it - FOwner->FFlat.begin());
}

TTreeNode* TTreeNode::Item(int32_t Index) const {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  return FChildren[size_t(Index)].get();
}

int32_t TTreeNode::IndexOf(const TTreeNode* Value) const {
  for (size_t i = 0; i < FChildren.size(); ++i)
    if (FChildren[i].get() == Value) return int32_t(i);
  return -1;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
  if (!Value) return false;
  for (const TTreeNode* p = Parent(); p; p = p->Parent())
    if (p == Value) return true;
  return false;
}

TTreeNode* TTreeNode::GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front().get(); }
TTreeNode* TTreeNode::GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back().get(); }

TTreeNode* TTreeNode::GetNextSibling() const {
  if (!FParent) return nullptr;
  int32_t i = FParent->IndexOf(this);
  return i >= 0 && i + 1 < FParent->Count() ? FParent->FChildren[size_t(i + 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  if (!FParent) return nullptr;
  int32_t i = FParent->IndexOf(this);
  return i > 0 ? FParent->FChildren[size_t(i - 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* Value) const {
  return Value && Value->FParent == this ? Value->GetNextSibling() : nullptr;
}

TTreeNode* TTreeNode::GetPrevChild(const TTreeNode* Value) const {
  return Value && Value->FParent == this ? Value->GetPrevSibling() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front().get();
  for (const TTreeNode* n = this; n && n != FOwner->FRoot.get(); n = n->FParent)
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* s = GetPrevSibling();
  if (!s) return Parent();
  while (!s->FChildren.empty()) s = s->FChildren.back().get();
  return s;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  int32_t r = Row();
  const auto& rows = TreeView()->Rows();
  return r >= 0 && size_t(r + 1) < rows.size() ? rows[size_t(r + 1)] : nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  int32_t r = Row();
  return r > 0 ? TreeView()->Rows()[size_t(r - 1)] : nullptr;
}

bool TTreeNode::IsVisible() const {
  for (const TTreeNode* p = Parent(); p; p = p->Parent())
    if (!p->FExpanded) return false;
  return true;
}

int32_t TTreeNode::Row() const {
  TCustomTreeView* t = TreeView();
  t->Rows();
  return FRowGeneration == t->FRowGeneration ? FRow : -1;
}

bool TTreeNode::Selected() const { return TreeView()->FSelected == this; }

void TTreeNode::SetSelected(bool Value) {
  TCustomTreeView* t = TreeView();
  if (Value) t->SelectNode(this, false);
  else if (t->FSelected == this) t->SelectNode(nullptr, false);
}

void TTreeNode::Delete() { TreeView()->DeleteNode(this); }

void TTreeNode::DeleteChildren() {
  if (FChildren.empty()) return;
  TCustomTreeView* t = TreeView();
  if (t->FEditNode && t->FEditNode->HasAsParent(this)) t->EndEdit(true);
  // The selection leaves once, for this node, rather than hopping from child to child.
  bool selectionMoves = t->FSelected && t->FSelected->HasAsParent(this);
  if (selectionMoves) t->FSelected = this;
  AliveFlag alive = FAlive;
  FOwner->BeginUpdate();
  std::exception_ptr err;
  try {
    while (Alive(alive) && !FChildren.empty()) t->DeleteNode(FChildren.back().get());
  } catch (...) {
    err = std::current_exception();
  }
  FOwner->EndUpdate();
  if (selectionMoves && Alive(alive)) t->Change(t->FSelected);
  if (err) std::rethrow_exception(err);
}

void TTreeNode::MakeVisible() {
  TCustomTreeView* t = TreeView();
  AliveFlag alive = FAlive;
  std::vector<TTreeNode*> chain;
  for (TTreeNode* p = Parent(); p; p = p->Parent()) chain.push_back(p);
  for (auto it = chain.rbegin(); it != chain.rend() && Alive(alive); ++it)
    if (!(*it)->FExpanded) t->ExpandNode(*it, false);
  if (Alive(alive)) t->ScrollIntoView(this);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TCustomTreeView* t = TreeView();
  int32_t r = Row();
  if (r < 0) return TRect{};
  int32_t h = t->ItemHeight(), top = (r - t->FTopRow) * h;
  if (TextOnly) return t->LabelRect(this, top);
  return TRect{0, top, t->ClientWidth(), top + h};
}

bool TTreeNode::EditText() { return TreeView()->BeginEdit(this); }

void TTreeNode::EndEdit(bool Cancel) {
  TCustomTreeView* t = TreeView();
  if (t->FEditNode == this) t->EndEdit(Cancel);
}

bool TTreeNode::IsEditing() const { return TreeView()->FEditNode == this; }

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  FOwner->CheckOwn(Destination);
  if (FDeleting) return;
  TTreeNode* root = FOwner->FRoot.get();
  TTreeNode* newParent = root;
  TTreeNode* before = nullptr;
  bool first = false;
  switch (Mode) {
    case naAdd: newParent = Destination ? Destination->FParent : root; break;
    case naAddFirst: newParent = Destination ? Destination->FParent : root; first = true; break;
    case naAddChild: newParent = Destination ? Destination : root; break;
    case naAddChildFirst: newParent = Destination ? Destination : root; first = true; break;
    case naInsert:
      newParent = Destination ? Destination->FParent : root;
      before = Destination;
      break;
  }
  if (newParent == this || (newParent != root && newParent->HasAsParent(this)))
    throw ETreeViewError("A node cannot be moved under itself or one of its descendants");
  if (newParent->FDeleting) throw ETreeViewError("A node cannot be moved under a node being deleted");
  if (before == this) return;

  TTreeNode* oldParent = FParent;
  auto it = std::find_if(oldParent->FChildren.begin(), oldParent->FChildren.end(),
                         [this](const std::unique_ptr<TTreeNode>& p) { return p.get() == this; });
  std::unique_ptr<TTreeNode> self = std::move(*it);
  oldParent->FChildren.erase(it);
  if (oldParent != root && oldParent->FChildren.empty()) {
    oldParent->FHasChildren = false;
    oldParent->FExpanded = false;
  }
  size_t pos = newParent->FChildren.size();
  if (first) pos = 0;
  else if (before) pos = size_t(std::max(0, newParent->IndexOf(before)));
  newParent->FChildren.insert(newParent->FChildren.begin() + std::ptrdiff_t(pos), std::move(self));
  FParent = newParent;
  if (newParent != root) newParent->FHasChildren = true;
  TreeView()->StructureChanged();
}

bool TTreeNode::CustomSort(const TTVCompare& Compare, bool Recurse) {
  if (!Compare) return false;
  std::vector<TTreeNode*> todo{this};
  while (!todo.empty()) {
    TTreeNode* n = todo.back();
    todo.pop_back();
    std::stable_sort(n->FChildren.begin(), n->FChildren.end(),
                     [&](const std::unique_ptr<TTreeNode>& a, const std::unique_ptr<TTreeNode>& b) {
                       return Compare(a.get(), b.get()) < 0;
                     });
    if (Recurse)
      for (auto& c : n->FChildren) todo.push_back(c.get());
  }
  TreeView()->StructureChanged();
  return true;
}

bool TTreeNode::AlphaSort(bool Recurse) {
  return CustomSort([](TTreeNode* a, TTreeNode* b) { return CompareText(a->Text(), b->Text()); }, Recurse);
}

// ---- TTreeNodes ---------------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner), FRoot(new TTreeNode(this)) {
  FRoot->FExpanded = true;
}

TTreeNodes::~TTreeNodes() = default;

void TTreeNodes::CheckOwn(const TTreeNode* Node) const {
  if (Node && Node->FOwner != this) throw ETreeViewError("The node belongs to another tree");
}

void TTreeNodes::Flatten() const {
  if (FFlatValid) return;
  FFlat.clear();
  std::vector<std::pair<TTreeNode*, size_t>> stack{{FRoot.get(), 0}};
  while (!stack.empty()) {
    auto& [n, i] = stack.back();
    if (i >= n->FChildren.size()) {
      stack.pop_back();
      continue;
    }
    TTreeNode* c = n->FChildren[i++].get();
    FFlat.push_back(c);
    if (!c->FChildren.empty()) stack.emplace_back(c, 0);
  }
  FFlatValid = true;
}

int32_t TTreeNodes::Count() const {
  Flatten();
  return int32_t(FFlat.size());
}

TTreeNode* TTreeNodes::Item(int32_t Index) const {
  Flatten();
  if (Index < 0 || size_t(Index) >= FFlat.size()) ListIndexError(Index);
  return FFlat[size_t(Index)];
}

TTreeNode* TTreeNodes::GetFirstNode() const { return FRoot->GetFirstChild(); }

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, size_t Position, const std::string& S, void* Ptr) {
  if (Parent->FDeleting) throw ETreeViewError("A node cannot be added to a node being deleted");
  std::unique_ptr<TTreeNode> n(new TTreeNode(this));
  n->FParent = Parent;
  n->FText = S;
  n->FData = Ptr;
  TTreeNode* raw = n.get();
  Position = std::min(Position, Parent->FChildren.size());
  Parent->FChildren.insert(Parent->FChildren.begin() + std::ptrdiff_t(Position), std::move(n));
  if (Parent != FRoot.get()) Parent->FHasChildren = true;
  if (Parent == FRoot.get() || (Parent->FExpanded && Parent->IsVisible())) {
    FOwner->StructureChanged();
  } else {
    // No row appears (a node filled before it opens, say): only the button may show.
    FFlatValid = false;
    if (FUpdateCount == 0 && FOwner->HandleAllocated()) FOwner->Invalidate();
  }
  return raw;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  CheckOwn(Sibling);
  TTreeNode* parent = Sibling ? Sibling->FParent : FRoot.get();
  return InternalAdd(parent, parent->FChildren.size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  CheckOwn(Sibling);
  return InternalAdd(Sibling ? Sibling->FParent : FRoot.get(), 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
  CheckOwn(Parent);
  TTreeNode* p = Parent ? Parent : FRoot.get();
  return InternalAdd(p, p->FChildren.size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr) {
  CheckOwn(Parent);
  return InternalAdd(Parent ? Parent : FRoot.get(), 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  CheckOwn(Sibling);
  if (!Sibling) return InternalAdd(FRoot.get(), FRoot->FChildren.size(), S, Ptr);
  TTreeNode* parent = Sibling->FParent;
  return InternalAdd(parent, size_t(std::max(0, parent->IndexOf(Sibling))), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
  CheckOwn(Node);
  if (Node) FOwner->DeleteNode(Node);
}

void TTreeNodes::Clear() {
  if (FRoot->FChildren.empty()) return;
  TCustomTreeView* t = FOwner;
  if (t->FEditNode) t->EndEdit(true);
  bool hadSelection = t->FSelected != nullptr;
  t->FSelected = nullptr;
  BeginUpdate();
  std::exception_ptr err;
  try {
    while (!FRoot->FChildren.empty()) t->DeleteNode(FRoot->FChildren.back().get());
  } catch (...) {
    err = std::current_exception();
  }
  t->FTopRow = 0;
  t->FHScroll = 0;
  EndUpdate();
  if (hadSelection && !t->FSelected) t->Change(nullptr);
  if (err) std::rethrow_exception(err);
}

void TTreeNodes::BeginUpdate() { ++FUpdateCount; }

void TTreeNodes::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) FOwner->StructureChanged();
}

bool TTreeNodes::CustomSort(const TTVCompare& Compare, bool Recurse) { return FRoot->CustomSort(Compare, Recurse); }
bool TTreeNodes::AlphaSort(bool Recurse) { return FRoot->AlphaSort(Recurse); }

// ---- TCustomTreeView: properties ------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TTreeNodes>(this)) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(FColor);
}

TCustomTreeView::~TCustomTreeView() {
  // The nodes go without OnDeletion: the handlers' owner may already be half destroyed. A tree
  // that owns its nodes' data frees it in its own destructor.
  FDestroying = true;
  FEditNode = nullptr;
  FSelected = nullptr;
  FItems->FRoot->FChildren.clear();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  // Bars of its own, shown only while the content overflows; a skin strips them and reads the
  // scroll info instead.
  Params.Style |= WS_VSCROLL | WS_HSCROLL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
  TCustomControl::CreateWnd();
  StructureChanged();
}

void TCustomTreeView::SetShowButtons(bool Value) {
  if (Value == FShowButtons) return;
  FShowButtons = Value;
  LayoutChanged();
}

void TCustomTreeView::SetShowLines(bool Value) {
  if (Value == FShowLines) return;
  FShowLines = Value;
  LayoutChanged();
}

void TCustomTreeView::SetShowRoot(bool Value) {
  if (Value == FShowRoot) return;
  FShowRoot = Value;
  LayoutChanged();
}

void TCustomTreeView::SetIndent(int32_t Value) {
  Value = std::clamp(Value, 0, 1000);
  if (Value == FIndent) return;
  FIndent = Value;
  LayoutChanged();
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  FItemHeight = 0;
  LayoutChanged();
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
  if (Value == FStateImages) return;
  if (FStateImages) FStateImages->RemoveFreeNotification(this);
  FStateImages = Value;
  if (FStateImages) FStateImages->FreeNotification(this);
  FItemHeight = 0;
  LayoutChanged();
}

void TCustomTreeView::SetHideSelection(bool Value) {
  if (Value == FHideSelection) return;
  FHideSelection = Value;
  if (HandleAllocated()) Invalidate();
}

void TCustomTreeView::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (Value && FEditNode) EndEdit(true);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomTreeView::SetSelected(TTreeNode* Value) { SelectNode(Value, false); }

TTreeNode* TCustomTreeView::TopItem() {
  const auto& rows = Rows();
  size_t top = size_t(std::clamp(FTopRow, 0, MaxTopRow()));
  return top < rows.size() ? rows[top] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
  if (!Value) return;
  FItems->CheckOwn(Value);
  AliveFlag alive = Value->FAlive;
  if (!Value->IsVisible()) {
    std::vector<TTreeNode*> chain;
    for (TTreeNode* p = Value->Parent(); p; p = p->Parent()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend() && Alive(alive); ++it)
      if (!(*it)->FExpanded) ExpandNode(*it, false);
  }
  if (!Alive(alive)) return;
  int32_t r = Value->Row();
  if (r >= 0) SetTopRow(r);
}

int32_t TCustomTreeView::ItemHeight() {
  if (FItemHeight > 0) return FItemHeight;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont->Handle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  int32_t h = std::max<int32_t>(1, tm.tmHeight) + 4;
  if (FImages) h = std::max(h, FImages->Height() + 2);
  if (FStateImages) h = std::max(h, FStateImages->Height() + 2);
  h = std::max(h, 12);
  // An even height keeps the dotted lines of one row meeting those of the next.
  if (h % 2) ++h;
  FItemHeight = h;
  return h;
}

int32_t TCustomTreeView::VisibleCount() { return std::max(1, ClientHeight() / ItemHeight()); }

// ---- layout ---------------------------------------------------------------------------------------

const std::vector<TTreeNode*>& TCustomTreeView::Rows() {
  if (FRowsValid) return FRows;
  FRows.clear();
  ++FRowGeneration;
  std::vector<std::pair<TTreeNode*, size_t>> stack{{FItems->FRoot.get(), 0}};
  while (!stack.empty()) {
    auto& [n, i] = stack.back();
    if (i >= n->FChildren.size()) {
      stack.pop_back();
      continue;
    }
    TTreeNode* c = n->FChildren[i++].get();
    c->FRow = int32_t(FRows.size());
    c->FRowGeneration = FRowGeneration;
    FRows.push_back(c);
    if (c->FExpanded && !c->FChildren.empty()) stack.emplace_back(c, 0);
  }
  FRowsValid = true;
  return FRows;
}

int32_t TCustomTreeView::Depth(const TTreeNode* Node) const {
  return Node->Level() + (FShowRoot && (FShowLines || FShowButtons) ? 1 : 0);
}

int32_t TCustomTreeView::LabelWidth(const TTreeNode* Node) {
  if (Node->FTextWidth >= 0) return Node->FTextWidth;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont->Handle());
  SIZE sz{};
  GetTextExtentPoint32(dc, Node->FText.data(), int(Node->FText.size()), &sz);
  SelectObject(dc, old);
  DeleteDC(dc);
  Node->FTextWidth = std::max<int32_t>(0, sz.cx);
  return Node->FTextWidth;
}

TRect TCustomTreeView::LabelRect(const TTreeNode* Node, int32_t RowTop) {
  int32_t x = Depth(Node) * FIndent - FHScroll;
  if (FStateImages && Node->FStateIndex >= 0) x += FStateImages->Width();
  if (FImages) x += FImages->Width() + 2;
  return TRect{x, RowTop, x + LabelWidth(Node) + 4, RowTop + ItemHeight()};
}

int32_t TCustomTreeView::RowExtent(const TTreeNode* Node) {
  return LabelRect(Node, 0).right + FHScroll + 1;
}

void TCustomTreeView::StructureChanged() {
  if (FDestroying) return;
  FRowsValid = false;
  FItems->FFlatValid = false;
  LayoutChanged();
}

void TCustomTreeView::LayoutChanged() {
  if (FDestroying || FItems->FUpdateCount > 0) return;
  UpdateScrollInfo();
  if (HandleAllocated()) Invalidate();
}

void TCustomTreeView::NodeTextChanged(TTreeNode* Node) {
  (void)Node;
  LayoutChanged();
}

int32_t TCustomTreeView::MaxTopRow() { return std::max(0, int32_t(Rows().size()) - VisibleCount()); }

void TCustomTreeView::UpdateScrollInfo() {
  // Without a window nothing reads the info; the top row is clamped when the window comes.
  if (FDestroying || FUpdatingBars || !HandleAllocated() || FItems->FUpdateCount > 0) return;
  FUpdatingBars = true;
  HWND h = FHandle;
  // Showing or hiding a bar of its own changes the client area, and with it the other bar's need.
  for (int pass = 0; pass < 3; ++pass) {
    const auto& rows = Rows();
    int32_t n = int32_t(rows.size()), page = VisibleCount();
    FTopRow = std::clamp(FTopRow, 0, std::max(0, n - page));
    int32_t widest = 0;
    for (TTreeNode* r : rows) widest = std::max(widest, RowExtent(r));
    int32_t cw = std::max(0, ClientWidth());
    FHScroll = std::clamp(FHScroll, 0, std::max(0, widest - cw));
    SCROLLINFO v, hz;
    v.fMask = hz.fMask = SIF_ALL;
    bool needV = n > page, needH = widest > cw;
    if (needV) {
      v.nMax = n - 1;
      v.nPage = UINT(page);
      v.nPos = FTopRow;
    }
    if (needH) {
      hz.nMax = widest - 1;
      hz.nPage = UINT(std::max(1, cw));
      hz.nPos = FHScroll;
    }
    SetScrollInfo(h, SB_VERT, &v, FALSE);
    SetScrollInfo(h, SB_HORZ, &hz, FALSE);
    DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
    bool hasV = style & WS_VSCROLL, hasH = style & WS_HSCROLL;
    if (needV == hasV && needH == hasH) break;
    TCreateParams p;
    CreateParams(p);
    bool wantV = needV && (p.Style & WS_VSCROLL), wantH = needH && (p.Style & WS_HSCROLL);
    if (wantV == hasV && wantH == hasH) break;
    if (wantV != hasV) ShowScrollBar(h, SB_VERT, wantV);
    if (wantH != hasH) ShowScrollBar(h, SB_HORZ, wantH);
  }
  detail::RedrawScrollBars(h);
  FUpdatingBars = false;
}

void TCustomTreeView::SetTopRow(int32_t Value) {
  Value = std::clamp(Value, 0, MaxTopRow());
  if (Value == FTopRow) return;
  FTopRow = Value;
  if (FEditNode) EndEdit(false);
  UpdateScrollInfo();
  if (HandleAllocated()) Invalidate();
}

void TCustomTreeView::SetHScroll(int32_t Value) {
  int32_t widest = 0;
  for (TTreeNode* r : Rows()) widest = std::max(widest, RowExtent(r));
  Value = std::clamp(Value, 0, std::max(0, widest - ClientWidth()));
  if (Value == FHScroll) return;
  if (FEditNode) EndEdit(false);
  FHScroll = Value;
  UpdateScrollInfo();
  if (HandleAllocated()) Invalidate();
}

void TCustomTreeView::ScrollIntoView(TTreeNode* Node) {
  int32_t r = Node ? Node->Row() : -1;
  if (r < 0) return;
  int32_t page = VisibleCount();
  if (r < FTopRow) SetTopRow(r);
  else if (r >= FTopRow + page) SetTopRow(r - page + 1);
}

void TCustomTreeView::InvalidateNode(TTreeNode* Node) {
  (void)Node;
  if (HandleAllocated() && FItems->FUpdateCount == 0) Invalidate();
}

TTreeNode* TCustomTreeView::GetNodeAt(int32_t X, int32_t Y) {
  (void)X;
  if (Y < 0) return nullptr;
  const auto& rows = Rows();
  int64_t r = int64_t(FTopRow) + Y / ItemHeight();
  return r < int64_t(rows.size()) ? rows[size_t(r)] : nullptr;
}

THitTests TCustomTreeView::GetHitTestInfoAt(int32_t X, int32_t Y) {
  THitTests r;
  TRect cr = ClientRect();
  if (X < 0) r.Include(htToLeft);
  else if (X >= cr.right) r.Include(htToRight);
  if (Y < 0) r.Include(htAbove);
  else if (Y >= cr.bottom) r.Include(htBelow);
  if (!r.Empty()) return r;
  TTreeNode* n = GetNodeAt(X, Y);
  if (!n) return r.Include(htNowhere);
  int32_t d = Depth(n), x = d * FIndent - FHScroll;
  if (X < x) {
    bool onButton = FShowButtons && n->FHasChildren && d >= 1 && X >= x - FIndent;
    return r.Include(onButton ? htOnButton : htOnIndent);
  }
  if (FStateImages && n->FStateIndex >= 0) {
    x += FStateImages->Width();
    if (X < x) return r.Include(htOnStateIcon).Include(htOnItem);
  }
  if (FImages) {
    x += FImages->Width() + 2;
    if (X < x) return r.Include(htOnIcon).Include(htOnItem);
  }
  if (X < LabelRect(n, 0).right) return r.Include(htOnLabel).Include(htOnItem);
  return r.Include(htOnRight);
}

void TCustomTreeView::FullExpand() {
  for (size_t i = 0; i < FItems->FRoot->FChildren.size(); ++i) ExpandNode(FItems->FRoot->FChildren[i].get(), true);
}

void TCustomTreeView::FullCollapse() {
  for (size_t i = 0; i < FItems->FRoot->FChildren.size(); ++i) CollapseNode(FItems->FRoot->FChildren[i].get(), true);
}

// ---- hooks ------------------------------------------------------------------------------------------

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, Node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool allow = true;
  if (OnEditing) OnEditing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, bool Cancelled, const std::string& Text) {
  if (Cancelled || !Node) return;
  std::string s = Text;
  AliveFlag alive = Node->FAlive;
  if (OnEdited) OnEdited(this, Node, s);
  if (Alive(alive)) Node->SetText(s);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
  if (OnDeletion) OnDeletion(this, Node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node) {
  if (OnGetImageIndex) OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, Node);
}

// ---- operations ------------------------------------------------------------------------------------

bool TCustomTreeView::SelectNode(TTreeNode* Node, bool ByUser) {
  FItems->CheckOwn(Node);
  if (Node && Node->FDeleting) return false;
  if (Node == FSelected) {
    if (Node) ScrollIntoView(Node);
    return true;
  }
  AliveFlag alive = Node ? Node->FAlive : nullptr;
  if (!CanChange(Node)) return false;
  if (Node && !Alive(alive)) return false;
  FSelected = Node;
  if (Node) {
    Node->MakeVisible();
    if (ByUser && FAutoExpand && Alive(alive) && !Node->FExpanded) ExpandNode(Node, false);
  }
  InvalidateNode(Node);
  Change(FSelected);
  return true;
}

void TCustomTreeView::ExpandNode(TTreeNode* Node, bool Recurse) {
  if (!Node || Node->FDeleting) return;
  FItems->CheckOwn(Node);
  AliveFlag alive = Node->FAlive;
  if (!Node->FExpanded && Node->FHasChildren) {
    if (CanExpand(Node) && Alive(alive)) {
      if (Node->FChildren.empty()) {
        // Nothing to show after all: the button goes.
        Node->FHasChildren = false;
        StructureChanged();
      } else {
        Node->FExpanded = true;
        StructureChanged();
        Expand(Node);
      }
    }
  }
  if (!Recurse) return;
  for (size_t i = 0; Alive(alive) && i < Node->FChildren.size(); ++i) ExpandNode(Node->FChildren[i].get(), true);
}

void TCustomTreeView::CollapseNode(TTreeNode* Node, bool Recurse) {
  if (!Node || Node->FDeleting) return;
  FItems->CheckOwn(Node);
  AliveFlag alive = Node->FAlive;
  if (Node->FExpanded) {
    if (CanCollapse(Node) && Alive(alive) && Node->FExpanded) {
      Node->FExpanded = false;
      bool selectionHidden = FSelected && FSelected->HasAsParent(Node);
      if (FEditNode && FEditNode->HasAsParent(Node)) EndEdit(false);
      StructureChanged();
      if (selectionHidden && Alive(alive)) SelectNode(Node, false);
      if (Alive(alive)) Collapse(Node);
    }
  }
  if (!Recurse) return;
  for (size_t i = 0; Alive(alive) && i < Node->FChildren.size(); ++i) CollapseNode(Node->FChildren[i].get(), true);
}

void TCustomTreeView::ToggleNode(TTreeNode* Node) {
  if (Node->FExpanded) CollapseNode(Node, false);
  else ExpandNode(Node, false);
}

void TCustomTreeView::DeleteNode(TTreeNode* Node) {
  if (!Node || Node->FDeleting) return;
  FItems->CheckOwn(Node);
  if (FEditNode && (FEditNode == Node || FEditNode->HasAsParent(Node))) EndEdit(true);
  // The subtree, children before their parents: the order of the deletion notices.
  std::vector<TTreeNode*> doomed;
  std::vector<std::pair<TTreeNode*, size_t>> stack{{Node, 0}};
  while (!stack.empty()) {
    auto& [n, i] = stack.back();
    if (i < n->FChildren.size()) {
      TTreeNode* c = n->FChildren[i++].get();
      stack.emplace_back(c, 0);
      continue;
    }
    doomed.push_back(n);
    stack.pop_back();
  }
  for (TTreeNode* d : doomed) d->FDeleting = true;
  // The selection goes to the next sibling, else the previous one, else the parent.
  bool selectionMoves = FSelected && (FSelected == Node || FSelected->HasAsParent(Node));
  if (selectionMoves) {
    TTreeNode* to = Node->GetNextSibling();
    if (!to) to = Node->GetPrevSibling();
    if (!to) to = Node->Parent();
    FSelected = to;
  }
  std::exception_ptr err;
  if (!FDestroying)
    for (TTreeNode* d : doomed) {
      try {
        Delete(d);
      } catch (...) {
        if (!err) err = std::current_exception();
      }
    }
  TTreeNode* parent = Node->FParent;
  auto& kids = parent->FChildren;
  auto it = std::find_if(kids.begin(), kids.end(), [Node](const std::unique_ptr<TTreeNode>& p) { return p.get() == Node; });
  if (it != kids.end()) kids.erase(it);
  if (parent != FItems->FRoot.get() && kids.empty()) {
    parent->FHasChildren = false;
    parent->FExpanded = false;
  }
  StructureChanged();
  if (selectionMoves) {
    if (FSelected) ScrollIntoView(FSelected);
    Change(FSelected);
  }
  if (err) std::rethrow_exception(err);
}

bool TCustomTreeView::BeginEdit(TTreeNode* Node) {
  if (!Node) return false;
  FItems->CheckOwn(Node);
  if (FReadOnly || Node->FDeleting || !Showing()) return false;
  if (FEditNode == Node) return true;
  if (FEditNode) EndEdit(false);
  AliveFlag alive = Node->FAlive;
  if (!CanEdit(Node) || !Alive(alive)) return false;
  Node->MakeVisible();
  if (!Alive(alive) || Node->Row() < 0) return false;
  if (!FEditor) {
    FEditor = new TLabelEditor(this);
    FEditor->OnFinish = [this](bool AAccept) {
      if (IsEditing()) EndEdit(!AAccept);
    };
    FEditor->SetVisible(false);
    FEditor->SetParent(this);
  }
  FEditNode = Node;
  TRect r = Node->DisplayRect(true);
  int32_t cw = ClientWidth();
  int32_t left = std::max(0, r.left - 1);
  int32_t width = std::max<int32_t>(LabelWidth(Node) + 24, 48);
  width = std::max(24, std::min(width, cw - left));
  FEditor->SetBounds(left, r.top - 2, width, ItemHeight() + 4);
  FEditor->SetText(Node->Text());
  FEditor->SetVisible(true);
  FEditor->BringToFront();
  if (FEditor->CanFocus()) FEditor->SetFocus();
  FEditor->SelectAll();
  Invalidate();
  return true;
}

void TCustomTreeView::EndEdit(bool Cancel) {
  if (!FEditNode || FEnding || !FEditor) return;
  FEnding = true;
  TTreeNode* node = FEditNode;
  AliveFlag alive = node->FAlive;
  FEditNode = nullptr;
  std::string text = FEditor->Text();
  bool hadFocus = FEditor->Focused();
  try {
    if (hadFocus && CanFocus()) SetFocus();
    FEditor->SetVisible(false);
  } catch (...) {
    FEnding = false;
    throw;
  }
  FEnding = false;
  if (HandleAllocated()) Invalidate();
  if (Alive(alive)) Edit(node, Cancel, text);
}

// ---- input ------------------------------------------------------------------------------------------

void TCustomTreeView::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  const auto& rows = Rows();
  if (rows.empty()) return;
  int32_t n = int32_t(rows.size());
  int32_t cur = FSelected ? FSelected->Row() : -1;
  int32_t page = std::max(1, VisibleCount() - 1);
  TTreeNode* to = nullptr;
  switch (Key) {
    case VK_UP: to = rows[size_t(std::max(0, cur - 1))]; break;
    case VK_DOWN: to = rows[size_t(std::min(n - 1, cur + 1))]; break;
    case VK_HOME: to = rows.front(); break;
    case VK_END: to = rows.back(); break;
    case VK_PRIOR: to = rows[size_t(std::max(0, cur - page))]; break;
    case VK_NEXT: to = rows[size_t(std::clamp(cur + page, 0, n - 1))]; break;
    case VK_LEFT:
      if (!FSelected) return;
      if (FSelected->FExpanded && FSelected->FHasChildren) CollapseNode(FSelected, false);
      else to = FSelected->Parent();
      break;
    case VK_RIGHT:
      if (!FSelected) return;
      if (FSelected->FHasChildren && !FSelected->FExpanded) ExpandNode(FSelected, false);
      else if (FSelected->FExpanded) to = FSelected->GetFirstChild();
      break;
    case VK_ADD:
      if (FSelected) ExpandNode(FSelected, false);
      break;
    case VK_SUBTRACT:
      if (FSelected) CollapseNode(FSelected, false);
      break;
    case VK_MULTIPLY:
      if (FSelected) ExpandNode(FSelected, true);
      break;
    default: return;
  }
  if (to) SelectNode(to, true);
}

bool TCustomTreeView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  FWheelRest += WheelDelta;
  int notches = FWheelRest / WHEEL_DELTA;
  FWheelRest -= notches * WHEEL_DELTA;
  if (notches == 0) return true;
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  int32_t step = int32_t(std::min<UINT>(lines, UINT(VisibleCount())));
  SetTopRow(FTopRow - notches * std::max(1, step));
  return true;
}

void TCustomTreeView::MouseButton(TMessage& Message) {
  if (CanFocus() && !Focused()) SetFocus();
  int32_t x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
  THitTests ht = GetHitTestInfoAt(x, y);
  TTreeNode* node = GetNodeAt(x, y);
  if (!node) return;
  if (Message.Msg == WM_RBUTTONDOWN) {
    if (FRightClickSelect && ht.Contains(htOnItem)) SelectNode(node, true);
    return;
  }
  if (ht.Contains(htOnButton)) {
    ToggleNode(node);
    return;
  }
  if (!ht.Contains(htOnItem)) return;
  AliveFlag alive = node->FAlive;
  SelectNode(node, true);
  if (Message.Msg == WM_LBUTTONDBLCLK && Alive(alive) && node->FHasChildren) ToggleNode(node);
}

void TCustomTreeView::Scroll(UINT Msg, WPARAM WParam) {
  bool vert = Msg == WM_VSCROLL;
  int32_t pos = vert ? FTopRow : FHScroll;
  int32_t page = vert ? VisibleCount() : std::max(1, ClientWidth());
  int32_t line = vert ? 1 : 8;
  switch (LOWORD(WParam)) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = INT_MAX / 2; break;
    case SB_THUMBPOSITION: case SB_THUMBTRACK: {
      // The message carries 16 bits; a sender that first set the whole position with
      // SetScrollInfo(SIF_POS) reaches positions past 65535 too.
      pos = HIWORD(WParam);
      SCROLLINFO si;
      si.fMask = SIF_POS;
      if (GetScrollInfo(FHandle, vert ? SB_VERT : SB_HORZ, &si) && (si.nPos & 0xFFFF) == pos) pos = si.nPos;
      break;
    }
    default: return;
  }
  if (vert) SetTopRow(pos);
  else SetHScroll(pos);
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) {
    FImages = nullptr;
    FItemHeight = 0;
    LayoutChanged();
  }
  if (AComponent == FStateImages) {
    FStateImages = nullptr;
    FItemHeight = 0;
    LayoutChanged();
  }
  if (AComponent == FEditor) {
    FEditor = nullptr;
    FEditNode = nullptr;
  }
}

void TCustomTreeView::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case TVM_GETCOUNT: Message.Result = FItems->Count(); return;
    case TVM_GETVISIBLECOUNT: Message.Result = VisibleCount(); return;
    case TVM_GETINDENT: Message.Result = FIndent; return;
    case TVM_SETINDENT: SetIndent(int32_t(Message.WParam)); return;
    case TVM_GETITEMHEIGHT: Message.Result = ItemHeight(); return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case WM_VSCROLL: case WM_HSCROLL:
      Scroll(Message.Msg, Message.WParam);
      Message.Result = 0;
      return;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: MouseButton(Message); break;
    case WM_MOUSEMOVE: case WM_LBUTTONUP:
      if (FHandle && detail::ScrollBarTrack(FHandle, Message.Msg, Message.LParam)) return;
      break;
    case WM_NCLBUTTONDOWN:
      if (FHandle && detail::ScrollBarPress(FHandle, Message.WParam,
                                            POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}))
        return;
      break;
    case WM_NCPAINT: Message.Result = detail::PaintSunkenFrame(FHandle, Message.WParam); return;
    case WM_ERASEBKGND: Message.Result = 1; return;  // painted with the rows
    case WM_SIZE:
      TCustomControl::Dispatch(Message);
      if (FEditNode) EndEdit(false);
      UpdateScrollInfo();
      Invalidate();
      return;
    case WM_SETFOCUS: case WM_KILLFOCUS: case CM_ENABLEDCHANGED: case CM_COLORCHANGED:
      TCustomControl::Dispatch(Message);
      if (HandleAllocated()) Invalidate();
      return;
    case CM_FONTCHANGED: {
      TCustomControl::Dispatch(Message);
      FItemHeight = 0;
      FItems->Flatten();
      for (TTreeNode* n : FItems->FFlat) n->FTextWidth = -1;
      LayoutChanged();
      return;
    }
  }
  TCustomControl::Dispatch(Message);
}

// ---- painting ----------------------------------------------------------------------------------------

namespace {

// Dotted lines: every other pixel, on a pattern fixed to the content so scrolling keeps it.
void DottedV(HDC dc, int x, int y1, int y2, int phase, COLORREF c) {
  for (int y = y1; y < y2; ++y)
    if (((x + y + phase) & 1) == 0) SetPixel(dc, x, y, c);
}
void DottedH(HDC dc, int x1, int x2, int y, int phase, COLORREF c) {
  for (int x = x1; x < x2; ++x)
    if (((x + y + phase) & 1) == 0) SetPixel(dc, x, y, c);
}
void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
  RECT rc{l, t, r, b};
  HBRUSH br = CreateSolidBrush(c);
  FillRect(dc, &rc, br);
  DeleteObject(br);
}

}  // namespace

void TCustomTreeView::Paint() {
  HDC dc = Canvas()->Handle();
  if (!dc) return;
  RECT cr = ClientRect();
  Fill(dc, cr.left, cr.top, cr.right, cr.bottom, ColorToRGB(FColor));
  const auto& rows = Rows();
  int32_t h = ItemHeight();
  int phase = FHScroll & 1;
  COLORREF lineColor = ColorToRGB(clGrayText);
  COLORREF textColor = ColorToRGB(Enabled() ? FFont->Color() : clGrayText);
  HGDIOBJ oldFont = SelectObject(dc, FFont->Handle());
  SetBkMode(dc, TRANSPARENT);
  bool focused = Focused();
  for (int32_t r = FTopRow; r < int32_t(rows.size()); ++r) {
    int32_t top = (r - FTopRow) * h;
    if (top >= cr.bottom) break;
    TTreeNode* n = rows[size_t(r)];
    int32_t d = Depth(n), cy = top + h / 2;
    if (FShowLines && d >= 1) {
      int32_t cx = (d - 1) * FIndent + FIndent / 2 - FHScroll;
      bool above = n->Parent() != nullptr || n->GetPrevSibling() != nullptr;
      bool below = n->GetNextSibling() != nullptr;
      if (above) DottedV(dc, cx, top, cy, phase, lineColor);
      if (below) DottedV(dc, cx, cy, top + h, phase, lineColor);
      DottedH(dc, cx, d * FIndent - FHScroll - 1, cy, phase, lineColor);
      // The lines of ancestors whose siblings continue below this row.
      for (TTreeNode* a = n->Parent(); a; a = a->Parent()) {
        int32_t ad = Depth(a);
        if (ad < 1) break;
        if (a->GetNextSibling()) DottedV(dc, (ad - 1) * FIndent + FIndent / 2 - FHScroll, top, top + h, phase, lineColor);
      }
    }
    if (FShowButtons && n->FHasChildren && d >= 1) {
      int32_t cx = (d - 1) * FIndent + FIndent / 2 - FHScroll;
      COLORREF frame = ColorToRGB(clBtnShadow), sign = ColorToRGB(clWindowText);
      Fill(dc, cx - 4, cy - 4, cx + 5, cy + 5, ColorToRGB(clWindow));
      Fill(dc, cx - 4, cy - 4, cx + 5, cy - 3, frame);
      Fill(dc, cx - 4, cy + 4, cx + 5, cy + 5, frame);
      Fill(dc, cx - 4, cy - 4, cx - 3, cy + 5, frame);
      Fill(dc, cx + 4, cy - 4, cx + 5, cy + 5, frame);
      Fill(dc, cx - 2, cy, cx + 3, cy + 1, sign);
      if (!n->FExpanded) Fill(dc, cx, cy - 2, cx + 1, cy + 3, sign);
    }
    int32_t x = d * FIndent - FHScroll;
    if (FStateImages && n->FStateIndex >= 0) {
      FStateImages->Draw(Canvas(), x, top + (h - FStateImages->Height()) / 2, n->FStateIndex, Enabled());
      x += FStateImages->Width();
    }
    bool selected = n == FSelected;
    if (FImages) {
      AliveFlag alive = n->FAlive;
      if (selected) GetSelectedIndex(n);
      else GetImageIndex(n);
      // A handler that changed the tree leaves this paint to the next one.
      if (!Alive(alive) || !FRowsValid) break;
      int32_t index = selected ? n->FSelectedIndex : n->FImageIndex;
      FImages->Draw(Canvas(), x, top + (h - FImages->Height()) / 2, index, Enabled());
      SelectObject(dc, FFont->Handle());
      SetBkMode(dc, TRANSPARENT);
    }
    TRect lr = LabelRect(n, top);
    COLORREF fg = textColor;
    if (selected && n != FEditNode) {
      if (focused) {
        Fill(dc, lr.left, lr.top, lr.right, lr.bottom, ColorToRGB(clHighlight));
        fg = ColorToRGB(clHighlightText);
      } else if (!FHideSelection) {
        Fill(dc, lr.left, lr.top, lr.right, lr.bottom, ColorToRGB(clBtnFace));
        fg = ColorToRGB(clBtnText);
      }
    }
    SetTextColor(dc, fg);
    RECT tr{lr.left + 2, lr.top, lr.right, lr.bottom};
    DrawText(dc, n->FText, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (selected && focused) {
      RECT fr = lr;
      DrawFocusRect(dc, &fr);
    }
  }
  SelectObject(dc, oldFont);
}
