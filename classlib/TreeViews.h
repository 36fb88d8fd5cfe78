#pragma once
// The tree view. The control keeps everything itself: the nodes (TTreeNodes, TTreeNode), their
// expansion with buttons and dotted lines, images and state images, the selection, label editing
// in an inner edit, the keyboard, the mouse and all item painting. Its window keeps scroll info
// in the platform's manner whether or not it shows bars of its own (a skin strips WS_VSCROLL and
// WS_HSCROLL and mirrors the info into bars of its own): vertical 0..rows-1 in expanded visible
// rows with the page of whole rows that fit and the top row as position, horizontal 0..widest-1
// in pixels with the client width as page; 0..0 when everything fits. It answers TVM_GETCOUNT and
// TVM_GETVISIBLECOUNT, and scrolls on WM_VSCROLL/WM_HSCROLL and the wheel.
//
// Items[i] counts every node in display order (parents before their children, collapsed or not).
// A bad index raises the library's list-index error (EListError) and changes nothing.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/Set.h"
#include "classlib/Controls.h"

class TCustomImageList;
class TCustomTreeView;
class TTreeNodes;
class TLabelEditor;

// Misuse of nodes: moving a node under itself, or handing one tree's node to another.
OMBREL_EXCEPTION(ETreeViewError, Exception)

enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
enum THitTest {
  htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight,
  htOnStateIcon, htToLeft, htToRight
};
using THitTests = TSet<THitTest>;

class TTreeNode;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
// Answers < 0, 0 or > 0 as the first node sorts before, with or after the second.
using TTVCompare = std::function<int(TTreeNode* Node1, TTreeNode* Node2)>;

class TTreeNode : public TPersistent {
public:
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return FOwner; }
  TCustomTreeView* TreeView() const;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  int32_t SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int32_t Value);
  // An index into the tree's StateImages; -1 shows none.
  int32_t StateIndex() const { return FStateIndex; }
  void SetStateIndex(int32_t Value);
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }

  // Whether the node shows an expand button; a node's first child sets it, its last one going
  // clears it. A node may claim children it does not have yet and add them in OnExpanding.
  bool HasChildren() const { return FHasChildren; }
  void SetHasChildren(bool Value);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  // Expanding asks OnExpanding, which may refuse (or add the children); a node that still has
  // no children afterwards loses its button. Collapsing asks OnCollapsing.
  void Expand(bool Recurse);
  void Collapse(bool Recurse);

  // nullptr for a top-level node.
  TTreeNode* Parent() const;
  // 0 for a top-level node.
  int32_t Level() const;
  // The position among its siblings.
  int32_t Index() const;
  // The position in Items (display order).
  int32_t AbsoluteIndex() const;
  int32_t Count() const { return int32_t(FChildren.size()); }
  // Child Index; raises EListError for a bad index.
  TTreeNode* Item(int32_t Index) const;
  int32_t IndexOf(const TTreeNode* Value) const;
  bool HasAsParent(const TTreeNode* Value) const;

  TTreeNode* GetFirstChild() const;
  TTreeNode* GetLastChild() const;
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  TTreeNode* GetNextChild(const TTreeNode* Value) const;
  TTreeNode* GetPrevChild(const TTreeNode* Value) const;
  // The next and previous node in display order, expanded or not.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  // The next and previous node a user can see (every parent expanded).
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  // Whether every parent is expanded (the node has a row, scrolled into view or not).
  bool IsVisible() const;

  bool Selected() const;
  // Selecting asks OnChanging, which may refuse.
  void SetSelected(bool Value);
  // The node with the keyboard focus: in this single-selection tree, the selected node.
  bool Focused() const { return Selected(); }
  void SetFocused(bool Value) { SetSelected(Value); }
  bool Deleting() const { return FDeleting; }

  // Deletes the node with its subtree (OnDeletion for each, children first).
  void Delete();
  void DeleteChildren();
  // Expands the parents and scrolls the node's row into view.
  void MakeVisible();
  // The node's row (or, with TextOnly, its label) in client coordinates; empty when the node
  // has no row.
  TRect DisplayRect(bool TextOnly) const;
  // Starts label editing (OnEditing may refuse; a read-only tree refuses); true when started.
  bool EditText();
  void EndEdit(bool Cancel);
  bool IsEditing() const;

  // Moves the node with its subtree; ETreeViewError when the place lies inside the node itself.
  void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
  // Orders the children (and with Recurse all descendants); a stable sort.
  bool CustomSort(const TTVCompare& Compare, bool Recurse = false);
  bool AlphaSort(bool Recurse = false);

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  explicit TTreeNode(TTreeNodes* AOwner);
  // The tree's row of this node, or -1.
  int32_t Row() const;

  TTreeNodes* FOwner;
  TTreeNode* FParent = nullptr;  // the hidden root for a top-level node
  std::vector<std::unique_ptr<TTreeNode>> FChildren;
  std::string FText;
  int32_t FImageIndex = 0, FSelectedIndex = 0, FStateIndex = -1;
  void* FData = nullptr;
  bool FHasChildren = false, FExpanded = false, FDeleting = false;
  // Measured label width (-1: not measured), and the row found at the last layout.
  mutable int32_t FTextWidth = -1;
  int32_t FRow = -1;
  uint32_t FRowGeneration = 0;
  // Cleared when the node goes, for code that calls out to handlers and must look again.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TTreeNodes : public TPersistent {
public:
  explicit TTreeNodes(TCustomTreeView* AOwner);
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return FOwner; }
  // Every node, collapsed or not.
  int32_t Count() const;
  // Node Index in display order; raises EListError for a bad index.
  TTreeNode* Item(int32_t Index) const;
  TTreeNode* GetFirstNode() const;

  // After Sibling's last sibling (nullptr: the last top-level node).
  TTreeNode* Add(TTreeNode* Sibling, const std::string& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
  // Before Sibling's first sibling.
  TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S) { return AddObjectFirst(Sibling, S, nullptr); }
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr);
  // The last (first) child of Parent (nullptr: at the top level).
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S) { return AddChildObjectFirst(Parent, S, nullptr); }
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr);
  // Just before Sibling (nullptr: after the last top-level node).
  TTreeNode* Insert(TTreeNode* Sibling, const std::string& S) { return InsertObject(Sibling, S, nullptr); }
  TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);

  void Delete(TTreeNode* Node);
  void Clear();
  // Painting and scroll updates wait for the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int32_t UpdateCount() const { return FUpdateCount; }
  // Orders the top-level nodes (with Recurse, all of them).
  bool CustomSort(const TTVCompare& Compare, bool Recurse = false);
  bool AlphaSort(bool Recurse = false);

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  // Raises ETreeViewError for a node of another tree.
  void CheckOwn(const TTreeNode* Node) const;
  TTreeNode* InternalAdd(TTreeNode* Parent, size_t Position, const std::string& S, void* Ptr);
  void Flatten() const;

  TCustomTreeView* FOwner;
  std::unique_ptr<TTreeNode> FRoot;  // hidden; its children are the top-level nodes
  int32_t FUpdateCount = 0;
  mutable std::vector<TTreeNode*> FFlat;  // display order, rebuilt after a structural change
  mutable bool FFlatValid = false;
};

class TCustomTreeView : public TCustomControl {
public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() { return FItems.get(); }

  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  // Whether top-level nodes get lines and buttons of their own.
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool Value);
  int32_t Indent() const { return FIndent; }
  void SetIndent(int32_t Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool RightClickSelect() const { return FRightClickSelect; }
  void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Selecting a node by the keyboard or the mouse also expands it.
  bool AutoExpand() const { return FAutoExpand; }
  void SetAutoExpand(bool Value) { FAutoExpand = Value; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

  TTreeNode* Selected() const { return FSelected; }
  // Asks OnChanging first; nullptr clears the selection.
  void SetSelected(TTreeNode* Value);
  // The node in the top row.
  TTreeNode* TopItem();
  void SetTopItem(TTreeNode* Value);
  // Rows of the current height that fit whole in the client area (at least 1).
  int32_t VisibleCount();
  int32_t ItemHeight();
  // The node of the row at a client point (anywhere along the row), or nullptr.
  TTreeNode* GetNodeAt(int32_t X, int32_t Y);
  THitTests GetHitTestInfoAt(int32_t X, int32_t Y);
  bool IsEditing() const { return FEditNode != nullptr; }
  TTreeNode* EditingNode() const { return FEditNode; }
  void FullExpand();
  void FullCollapse();
  bool CustomSort(const TTVCompare& Compare, bool Recurse = false) { return FItems->CustomSort(Compare, Recurse); }
  bool AlphaSort(bool Recurse = false) { return FItems->AlphaSort(Recurse); }

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVExpandedEvent OnDeletion;

protected:
  friend class TTreeNode;
  friend class TTreeNodes;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

  // The hooks a derived tree refines; each default fires its event.
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual bool CanEdit(TTreeNode* Node);
  // The end of label editing: Cancelled (Escape) changes nothing; otherwise OnEdited may change
  // the text before it becomes the node's.
  virtual void Edit(TTreeNode* Node, bool Cancelled, const std::string& Text);
  virtual void Delete(TTreeNode* Node);
  virtual void GetImageIndex(TTreeNode* Node);
  virtual void GetSelectedIndex(TTreeNode* Node);

  // ---- layout ----
  const std::vector<TTreeNode*>& Rows();
  // The node's indentation in columns of Indent pixels (the button sits in the last one).
  int32_t Depth(const TTreeNode* Node) const;
  int32_t LabelWidth(const TTreeNode* Node);
  // The label rectangle of a node in row coordinates (x scrolled, y from the row's top).
  TRect LabelRect(const TTreeNode* Node, int32_t RowTop);
  // The right edge of a node's row content in unscrolled pixels.
  int32_t RowExtent(const TTreeNode* Node);
  void StructureChanged();
  void LayoutChanged();
  void UpdateScrollInfo();
  void SetTopRow(int32_t Value);
  void SetHScroll(int32_t Value);
  int32_t MaxTopRow();
  void ScrollIntoView(TTreeNode* Node);
  void InvalidateNode(TTreeNode* Node);

  // ---- the operations behind the node methods ----
  bool SelectNode(TTreeNode* Node, bool ByUser);
  void ExpandNode(TTreeNode* Node, bool Recurse);
  void CollapseNode(TTreeNode* Node, bool Recurse);
  void ToggleNode(TTreeNode* Node);
  void DeleteNode(TTreeNode* Node);
  // Moves the selection off a subtree that is going away.
  void SelectionLeaving(TTreeNode* Node);
  void FireDeletion(TTreeNode* Node);
  bool BeginEdit(TTreeNode* Node);
  void EndEdit(bool Cancel);
  void NodeTextChanged(TTreeNode* Node);

  void MouseButton(TMessage& Message);
  void Scroll(win::UINT Msg, win::WPARAM WParam);

  std::unique_ptr<TTreeNodes> FItems;
  TTreeNode* FSelected = nullptr;
  TTreeNode* FEditNode = nullptr;
  TLabelEditor* FEditor = nullptr;  // owned as a component
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  bool FShowButtons = true, FShowLines = true, FShowRoot = true;
  bool FHideSelection = true, FRightClickSelect = false, FReadOnly = false, FAutoExpand = false;
  TBorderStyle FBorderStyle = bsSingle;
  int32_t FIndent = 19;
  int32_t FItemHeight = 0;  // 0: measure again
  int32_t FTopRow = 0, FHScroll = 0;
  int32_t FWheelRest = 0;
  std::vector<TTreeNode*> FRows;
  bool FRowsValid = false;
  uint32_t FRowGeneration = 0;
  bool FUpdatingBars = false;
  bool FEnding = false;
  bool FDestroying = false;
};

class TTreeView : public TCustomTreeView {
public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};
