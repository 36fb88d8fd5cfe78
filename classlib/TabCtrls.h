#pragma once
// The tab control window class ("SysTabControl32") with its TCM_* messages, and the class
// library's tab control, page control and tab sheet over it.
//
// The window lays out, scrolls, hit-tests and (in a plain look) paints the tabs. A tab is as
// long as the width given by TCM_SETITEMSIZE, or as its text plus padding when that width is 0,
// plus the room of the image list handed over by TCM_SETIMAGELIST: its Width for tabs in a row,
// its Height for side tabs, whether or not the list holds pictures (read at every layout, so a
// list that grows makes the tabs longer). The thickness of a row is the height given by
// TCM_SETITEMSIZE, or the text (or image) height plus padding. Side tabs always wrap into
// columns; top and bottom tabs wrap into rows with TCS_MULTILINE, and the row of the selected
// tab is moved next to the page area. A single row that does not fit scrolls (WM_HSCROLL with
// SB_THUMBPOSITION makes the given tab the first one shown) and shows two small arrows at its
// end.
//
// The selection changes from the mouse and the keyboard are announced to the parent with
// WM_NOTIFY: TCN_SELCHANGING (answer non-zero to refuse) and then TCN_SELCHANGE; TCM_SETCURSEL
// announces nothing. The class library reflects them to the control as CN_NOTIFY.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Set.h"
#include "base/StringList.h"
#include "classlib/Controls.h"

class TCustomImageList;

namespace win {

constexpr const char* kTabControlClassName = "SysTabControl32";
// Registers "SysTabControl32" once; any number of calls.
void InitTabControlClass();
// The window procedure of the class (for controls that put their own class over it).
LRESULT TabControlWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

constexpr DWORD TCS_SCROLLOPPOSITE = 0x0001, TCS_BOTTOM = 0x0002, TCS_RIGHT = 0x0002, TCS_MULTISELECT = 0x0004,
                TCS_FLATBUTTONS = 0x0008, TCS_FORCEICONLEFT = 0x0010, TCS_FORCELABELLEFT = 0x0020,
                TCS_HOTTRACK = 0x0040, TCS_VERTICAL = 0x0080, TCS_TABS = 0x0000, TCS_BUTTONS = 0x0100,
                TCS_SINGLELINE = 0x0000, TCS_MULTILINE = 0x0200, TCS_RIGHTJUSTIFY = 0x0000,
                TCS_FIXEDWIDTH = 0x0400, TCS_RAGGEDRIGHT = 0x0800, TCS_FOCUSONBUTTONDOWN = 0x1000,
                TCS_OWNERDRAWFIXED = 0x2000, TCS_TOOLTIPS = 0x4000, TCS_FOCUSNEVER = 0x8000;

constexpr UINT TCM_FIRST = 0x1300;
// TCM_SETIMAGELIST: lParam is a TCustomImageList* (not owned; nullptr for none); answers the
// previous one. TCM_GETITEMRECT: wParam the tab, lParam a RECT* (the tab as it is laid out,
// without the selected tab's enlargement); FALSE for a bad index. TCM_ADJUSTRECT: wParam FALSE
// turns the window rectangle at lParam into the page area, TRUE the other way round.
// TCM_SETITEMSIZE: lParam MAKELPARAM(width, height), 0 = from the text; answers the previous
// pair. TCM_HITTEST: lParam a TCHITTESTINFO*; answers the tab or -1.
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2, TCM_SETIMAGELIST = TCM_FIRST + 3, TCM_GETITEMCOUNT = TCM_FIRST + 4,
               TCM_GETITEM = TCM_FIRST + 5, TCM_SETITEM = TCM_FIRST + 6, TCM_INSERTITEM = TCM_FIRST + 7,
               TCM_DELETEITEM = TCM_FIRST + 8, TCM_DELETEALLITEMS = TCM_FIRST + 9, TCM_GETITEMRECT = TCM_FIRST + 10,
               TCM_GETCURSEL = TCM_FIRST + 11, TCM_SETCURSEL = TCM_FIRST + 12, TCM_HITTEST = TCM_FIRST + 13,
               TCM_SETITEMEXTRA = TCM_FIRST + 14, TCM_ADJUSTRECT = TCM_FIRST + 40, TCM_SETITEMSIZE = TCM_FIRST + 41,
               TCM_REMOVEIMAGE = TCM_FIRST + 42, TCM_SETPADDING = TCM_FIRST + 43, TCM_GETROWCOUNT = TCM_FIRST + 44,
               TCM_GETCURFOCUS = TCM_FIRST + 47, TCM_SETCURFOCUS = TCM_FIRST + 48,
               TCM_SETMINTABWIDTH = TCM_FIRST + 49, TCM_DESELECTALL = TCM_FIRST + 50,
               TCM_HIGHLIGHTITEM = TCM_FIRST + 51;

constexpr UINT TCIF_TEXT = 0x0001, TCIF_IMAGE = 0x0002, TCIF_RTLREADING = 0x0004, TCIF_PARAM = 0x0008,
               TCIF_STATE = 0x0010;
constexpr DWORD TCIS_BUTTONPRESSED = 0x0001, TCIS_HIGHLIGHTED = 0x0002;

// One tab. Text is UTF-8; TCM_GETITEM copies at most cchTextMax - 1 bytes of whole characters
// and a terminating zero.
struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  char* pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};

constexpr UINT TCHT_NOWHERE = 0x0001, TCHT_ONITEMICON = 0x0002, TCHT_ONITEMLABEL = 0x0004,
               TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;
struct TCHITTESTINFO {
  POINT pt{};
  UINT flags = 0;
};

// The header of the tab control's WM_NOTIFY (wParam the control's id).
struct NMTCHEADER {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};
constexpr UINT TCN_FIRST = UINT(-550);
constexpr UINT TCN_KEYDOWN = TCN_FIRST, TCN_SELCHANGE = TCN_FIRST - 1, TCN_SELCHANGING = TCN_FIRST - 2;

}  // namespace win

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
// Where a point lies relative to the tabs (GetHitTestInfoAt).
enum TTabHitTest { thtAbove, thtBelow, thtNowhere, thtOnItem, thtOnIcon, thtOnLabel, thtToLeft, thtToRight };
using TTabHitTests = TSet<TTabHitTest>;

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TTabGetImageEvent = std::function<void(TObject* Sender, int32_t TabIndex, int32_t& ImageIndex)>;

class TCustomTabControl;

// The tabs' captions (and objects): kept here and mirrored into the window while it exists.
class TTabStrings : public TStrings {
public:
  explicit TTabStrings(TCustomTabControl* Control) : FControl(Control) {}
  int32_t Count() const override { return int32_t(FItems.size()); }
  std::string Get(int32_t Index) const override;
  void Put(int32_t Index, const std::string& S) override;
  TObject* GetObject(int32_t Index) const override;
  void PutObject(int32_t Index, TObject* AObject) override;
  void Insert(int32_t Index, const std::string& S) override;
  void Delete(int32_t Index) override;
  void Clear() override;

private:
  friend class TCustomTabControl;
  std::vector<std::pair<std::string, TObject*>> FItems;
  TCustomTabControl* FControl;
};

class TCustomTabControl : public TWinControl {
public:
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;

  TStrings* Tabs() { return FTabs.get(); }
  void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
  // The selected tab, -1 for none. Setting it announces nothing; an index that names no tab
  // (other than -1) raises the list-index error.
  int32_t TabIndex();
  virtual void SetTabIndex(int32_t Value);

  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition Value);
  // 0 = from the caption (width) or the font (height).
  int32_t TabWidth() const { return FTabWidth; }
  void SetTabWidth(int32_t Value);
  int32_t TabHeight() const { return FTabHeight; }
  void SetTabHeight(int32_t Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TTabStyle Style() const { return FStyle; }
  void SetStyle(TTabStyle Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool RaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(bool Value);
  bool ScrollOpposite() const { return FScrollOpposite; }
  void SetScrollOpposite(bool Value);

  // The tab at a client point, or -1.
  int32_t IndexOfTabAt(int32_t X, int32_t Y);
  TTabHitTests GetHitTestInfoAt(int32_t X, int32_t Y);
  // The tab's rectangle in client coordinates; a bad index raises the list-index error.
  TRect TabRect(int32_t Index);
  // The page area inside the frame, in client coordinates.
  TRect DisplayRect();
  // Scrolls a single row of tabs by Delta tabs (negative: towards the first).
  void ScrollTabs(int32_t Delta);
  int32_t RowCount();
  TCanvas* Canvas() { return FCanvas.get(); }

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TTabGetImageEvent OnGetImageIndex;

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

protected:
  friend class TTabStrings;
  // Asked before the user's change of tab; false keeps the tab (OnChanging).
  virtual bool CanChange();
  // After the user changed the tab (OnChange).
  virtual void Change();
  // The image of a tab: its index, then OnGetImageIndex.
  virtual int32_t GetImageIndex(int32_t ATabIndex);
  // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous tab, as a user's change.
  virtual void SelectNextTab(bool GoForward);
  // A user's change to tab Index: asks CanChange, selects, then Change. False when refused.
  bool ChangeTabByUser(int32_t Index);
  // Selects a tab without any announcement (no range check).
  void SetTabIndexQuiet(int32_t Value);
  void UpdateTabImages();
  void TabsChanged();

  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void PaintWindow(win::HDC DC) override;
  void AdjustClientRect(TRect& Rect) override;

  std::unique_ptr<TTabStrings> FTabs;
  std::unique_ptr<TControlCanvas> FCanvas;
  int32_t FTabIndex = -1;  // the selection while there is no window
  int32_t FLoadedTabIndex = -2;
  bool FMultiLine = false;
  TTabPosition FTabPosition = tpTop;
  int32_t FTabWidth = 0, FTabHeight = 0;
  TCustomImageList* FImages = nullptr;
  TTabStyle FStyle = tsTabs;
  bool FHotTrack = false, FRaggedRight = false, FScrollOpposite = false;
};

class TTabControl : public TCustomTabControl {
public:
  explicit TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}
};

class TPageControl;

// A page of a page control: a panel filling the page area, shown while it is the active page.
class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // The place among the page control's pages; a bad index raises the list-index error.
  int32_t PageIndex() const;
  void SetPageIndex(int32_t Value);
  // The place among the shown tabs; -1 while the tab is hidden or the sheet has no page control.
  int32_t TabIndex() const;
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  bool Highlighted() const { return FHighlighted; }
  void SetHighlighted(bool Value);

  // A page control as the parent makes this one of its pages.
  void SetParent(TWinControl* AParent) override;
  void Dispatch(TMessage& Message) override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
  bool FTabShowing = false;  // in the page control's tabs
  int32_t FImageIndex = 0;
  bool FHighlighted = false;
};

class TPageControl : public TCustomTabControl {
public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int32_t PageCount() const { return int32_t(FPages.size()); }
  // A bad index raises the list-index error.
  TTabSheet* Pages(int32_t Index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  // Shows Page (nullptr: none) without announcing a change. A sheet of another page control
  // raises EInvalidOperation.
  void SetActivePage(TTabSheet* Page);
  int32_t ActivePageIndex() const;
  // -1 shows no page; another index that names no page raises the list-index error.
  void SetActivePageIndex(int32_t Value);
  // The page after (or before) CurPage, going round; CurPage nullptr starts at an end. With
  // CheckTabVisible pages with hidden tabs are passed over. nullptr when there is none.
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
  // Makes the next page active as the user would: OnChanging may refuse, then OnChange.
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
  void SetTabIndex(int32_t Value) override;

protected:
  friend class TTabSheet;
  void Change() override;
  int32_t GetImageIndex(int32_t ATabIndex) override;
  void SelectNextTab(bool GoForward) override { SelectNextPage(GoForward, true); }
  void CreateWnd() override;

  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, int32_t NewIndex);
  void InsertTab(TTabSheet* Page);
  void DeleteTab(TTabSheet* Page);
  void ShowTab(TTabSheet* Page, bool Showing);
  // The active page follows the selected tab.
  void UpdateActivePage();
  void ChangeActivePage(TTabSheet* Page);

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};
