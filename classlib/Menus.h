#pragma once
// Menus as a model: a tree of menu items under a main menu or a popup menu, with no native
// menus behind them. Skinned menus read the tree and draw it themselves; a popup menu that
// nothing skins is shown by the plain popup window (classlib/controls/MenuWindow.cpp).
//
// Ownership: an item is owned by a component (the form, for items read from a description) and
// held by its parent item; freeing an item frees its sub-items and takes it out of its parent.
// Every item has a command number, unique in the program, by which DispatchCommand finds it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "classlib/ActnList.h"
#include "classlib/Controls.h"

class TCustomImageList;
class TMenu;
class TMenuItem;

OMBREL_EXCEPTION(EMenuError, Exception)

// ---- short cuts -------------------------------------------------------------------------------
// A short cut is a virtual-key code in the low byte with the shift keys in the high bits.
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(win::WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, win::WORD& Key, TShiftState& Shift);
// "Ctrl+O", "Shift+Ctrl+F4", "Alt+Enter", "Del"; "" for 0 or a key with no name.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse, case-insensitively and with the shift names in any order; 0 for text that is no
// short cut.
TShortCut TextToShortCut(const std::string& Text);
// The short cut a key message (WM_KEYDOWN, WM_SYSKEYDOWN or their CN_ forms) gives with the
// shift keys held now.
TShortCut ShortCutFromKeyMessage(const TMessage& Message);
// The caption without its accelerator marks ("&Open" -> "Open", "&&" -> "&").
std::string StripHotkey(const std::string& Text);

// The caption of a separator line.
inline constexpr const char* cLineCaption = "-";

enum TMenuItemAutoFlag { maAutomatic, maManual, maParent };
using TMenuAutoFlag = TMenuItemAutoFlag;
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;

// The link of a menu item: it shows every property of a TCustomAction.
class TMenuActionLink : public TActionLink {
public:
  explicit TMenuActionLink(TMenuItem* AClient);
  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsVisibleLinked() override;
  bool IsShortCutLinked() override;
  bool IsGroupIndexLinked() override;
  bool IsAutoCheckLinked() override;
  void SetCaption(const std::string& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const std::string& Value) override;
  void SetImageIndex(int32_t Value) override;
  void SetVisible(bool Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetGroupIndex(int32_t Value) override;
  void SetAutoCheck(bool Value) override;

protected:
  TMenuItem* FClient;
};

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // ---- the tree ----
  int32_t Count() const { return int32_t(FItems.size()); }
  // Raises EListError for an index outside 0..Count-1.
  TMenuItem* Items(int32_t Index) const;
  TMenuItem* Parent() const { return FParent; }
  // Adding raises EMenuError for an item that already has a parent and for this item itself
  // or one of its parents; an index outside 0..Count raises EListError. Either leaves the
  // tree as it was.
  void Add(TMenuItem* Item);
  void Insert(int32_t Index, TMenuItem* Item);
  // Frees the sub-item at Index (EListError outside 0..Count-1).
  void Delete(int32_t Index);
  // Takes Item out (without freeing it); nothing happens for an item that is not a sub-item.
  void Remove(TMenuItem* Item);
  int32_t IndexOf(const TMenuItem* Item) const;
  // Frees every sub-item.
  void Clear();
  // The position in the parent, -1 without one; setting it moves the item (EListError outside
  // the parent's range).
  int32_t MenuIndex() const;
  void SetMenuIndex(int32_t Value);
  // The menu the tree belongs to, or nullptr.
  TMenu* GetParentMenu() const;
  // The sub-item (at any depth) with that command or short cut, or nullptr.
  TMenuItem* Find(uint32_t Value, TFindItemKind Kind);

  // ---- properties ----
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool IsLine() const { return FCaption == cLineCaption; }
  bool Checked() const { return FChecked; }
  // Checking a radio item unchecks the radio items of the same parent and GroupIndex.
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t Value);
  // A click toggles Checked (a radio item: checks it).
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  // The default item of its menu, drawn bold.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  // Made empty on first use.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  bool HasBitmap() const;
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value) { FImageIndex = Value; }
  TMenuItemAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
  void SetAutoLineReduction(TMenuItemAutoFlag Value) { FAutoLineReduction = Value; }
  // Whether separators are reduced here: maParent asks the parent item, then the menu.
  bool IsLineReduced() const;
  uint32_t Command() const { return FCommand; }

  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TMenuActionLink* ActionLink() const { return FActionLink.get(); }
  // Lets the linked action update itself (its OnUpdate) before the item is shown or used.
  void InitiateAction();

  // When enabled: the auto check, then OnClick, or the linked action when no OnClick is set.
  virtual void Click();
  // Hides the separators that would show first, last or right after another shown separator,
  // and shows the other separators again; true when a visibility changed.
  bool RethinkLines();

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  friend class TMenu;
  friend class TMenuActionLink;
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void DoActionChange(TObject* Sender);
  void TurnSiblingsOff();
  // Where Item may go: EMenuError for a reinsertion or a loop.
  void CheckInsert(TMenuItem* Item) const;

private:
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // only on a menu's root item
  std::string FCaption, FHint;
  bool FChecked = false, FEnabled = true, FVisible = true, FRadioItem = false, FAutoCheck = false,
       FDefault = false;
  int32_t FGroupIndex = 0, FImageIndex = -1;
  TShortCut FShortCut = 0;
  TMenuItemAutoFlag FAutoLineReduction = maParent;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TMenuActionLink> FActionLink;
  uint32_t FCommand;
};

class TMenu : public TComponent {
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  // The root item: the menu's top-level items are its sub-items.
  TMenuItem* Items() const { return FItems; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TMenuAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
  void SetAutoLineReduction(TMenuAutoFlag Value) { FAutoLineReduction = Value == maParent ? maAutomatic : Value; }
  // Clicks the item with that command; false when there is none.
  bool DispatchCommand(uint32_t ACommand);
  TMenuItem* FindItem(uint32_t Value, TFindItemKind Kind);
  // Clicks the enabled item whose short cut the key message (WM_KEYDOWN, WM_SYSKEYDOWN or their
  // CN_ forms) gives with the shift keys held now; true when it did.
  virtual bool IsShortCut(TMessage& Message);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  TMenuAutoFlag FAutoLineReduction = maAutomatic;
};

class TMainMenu : public TMenu {
public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
  bool AutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool Value) { FAutoMerge = Value; }

private:
  bool FAutoMerge = false;
};

class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
  ~TPopupMenu() override;
  // Fires OnPopup, then shows the menu at the screen point (the plain popup window, which runs
  // until the menu closes and then clicks the chosen item). Skinned menus override it.
  virtual void Popup(int32_t X, int32_t Y);
  // The control whose context menu this is, set before Popup by the control.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  // Whether a control's right click or menu key opens it.
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TTrackButton TrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
  // Where the last Popup showed the menu.
  TPoint PopupPoint() const { return FPopupPoint; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup(TObject* Sender);

private:
  TComponent* FPopupComponent = nullptr;
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TTrackButton FTrackButton = tbRightButton;
  TPoint FPopupPoint{-1, -1};
};
