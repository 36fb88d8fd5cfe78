#pragma once
// The list box over the standard "LISTBOX" window class. The window keeps the items, the
// selection, the top index and the scroll info; Items is a TStrings over it. Owner-drawn lists
// draw each item in DrawItem (OnDrawItem), reached by the reflected CN_DRAWITEM.
#include <memory>
#include <string>

#include "base/Set.h"
#include "base/StringList.h"
#include "classlib/Controls.h"
#include "platform/StdControls.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TDrawItemEvent = std::function<void(TWinControl* Control, int32_t Index, TRect Rect, TOwnerDrawState State)>;

class TCustomListBox;

class TListBoxStrings : public TStrings {
public:
  explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) {}
  int32_t Count() const override;
  std::string Get(int32_t Index) const override;
  void Put(int32_t Index, const std::string& S) override;
  TObject* GetObject(int32_t Index) const override;
  void PutObject(int32_t Index, TObject* AObject) override;
  void Insert(int32_t Index, const std::string& S) override;
  void Delete(int32_t Index) override;
  void Clear() override;
  // A sorted list answers the place the string took.
  int32_t AddObject(const std::string& S, TObject* AObject) override;
  int32_t Add(const std::string& S) override { return AddObject(S, nullptr); }

private:
  win::HWND Window() const;
  TCustomListBox* FListBox;
};

class TCustomListBox : public TWinControl {
public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* Items() { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int32_t Count() { return FItems->Count(); }
  // -1 when nothing is selected; in a multi-selection list, the focused item.
  int32_t ItemIndex();
  void SetItemIndex(int32_t Value);
  int32_t SelCount();
  bool Selected(int32_t Index);
  void SetSelected(int32_t Index, bool Value);
  int32_t TopIndex();
  void SetTopIndex(int32_t Value);
  TRect ItemRect(int32_t Index);
  // The item at a client point; with Existing, -1 where there is none, else the nearest.
  int32_t ItemAtPos(TPoint Pos, bool Existing);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  int32_t Columns() const { return FColumns; }
  void SetColumns(int32_t Value);
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  int32_t ItemHeight();
  void SetItemHeight(int32_t Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value) { FIntegralHeight = Value; }
  TCanvas* Canvas() { return FCanvas.get(); }

  void Clear() { FItems->Clear(); }
  void ClearSelection();
  void SelectAll();
  void DeleteSelected();

  void Dispatch(TMessage& Message) override;
  TDrawItemEvent OnDrawItem;

protected:
  friend class TListBoxStrings;
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void PaintWindow(win::HDC DC) override;
  // Draws item Index in Rect; the default fills it and writes the item's text.
  virtual void DrawItem(int32_t Index, TRect Rect, TOwnerDrawState State);
  void CNDrawItem(TMessage& Message);
  // The index given must name an item, or the list-index error is raised.
  void CheckIndex(int32_t Index);
  void ApplyColumns();

  std::unique_ptr<TListBoxStrings> FItems;
  std::unique_ptr<TStringList> FSaveItems;  // items kept while there is no window
  std::unique_ptr<TControlCanvas> FCanvas;
  std::vector<bool> FSaveSelected;
  int32_t FSaveItemIndex = -1, FSaveTopIndex = 0;
  bool FSorted = false, FMultiSelect = false, FExtendedSelect = true, FIntegralHeight = false;
  int32_t FColumns = 0;
  TListBoxStyle FStyle = lbStandard;
  int32_t FItemHeight = 16;
  TBorderStyle FBorderStyle = bsSingle;
};

class TListBox : public TCustomListBox {
public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};
