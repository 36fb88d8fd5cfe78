#pragma once
// The skinned page control and its tab sheets. The class library's tab window keeps laying out,
// scrolling and hit-testing the tabs; the page control corrects the rectangles it reports and
// paints the frame, the tab row and every tab itself, from the skin's "tab" record or in a plain
// look. It adds close buttons on the tabs, tab images from its own image list, a centred or
// shifted row, hiding of the tabs and of the border, paging with the mouse wheel and owner
// drawing of the tabs' content. The sheets paint their background from a wall paper or from
// the page control's skin.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "classlib/TabCtrls.h"
#include "lib/skin/kxSkinData.h"
#include "lib/graphics/kxUtils.h"
#include "lib/controls/kxSkinCtrls.h"

class TCustomImageList;
class TImageList;
class TkxSkinPageControl;
class TkxSkinUpDown;


// Owner drawing of one tab's content: the page index (among all pages), the whole tab bitmap,
// whether it is the selected tab and whether the mouse is over it, and the bitmap's canvas
// (before side tabs are turned).
using TkxDrawSkinTabEvent =
    std::function<void(int32_t TabIndex, const TRect& Rct, bool Active, bool MouseIn, TCanvas* Cnvs)>;
// Asked before a page is closed by its close button; Sender is the page.
using TkxCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TkxSkinCustomTabSheet : public TTabSheet {
public:
  explicit TkxSkinCustomTabSheet(TComponent* AOwner);
  ~TkxSkinCustomTabSheet() override;

  TBitmap* WallPaper() const { return FWallPaper.get(); }
  void SetWallPaper(TBitmap* Value);
  // Fills the sheet's background: the wall paper, the skin's background picture, the skin's
  // client picture, or the button face.
  void PaintBG(win::HDC DC);

  void Dispatch(TMessage& Message) override;

  // The close button in the coordinates of the tab's bitmap (turned with side tabs), set when
  // the tab is painted; its hover and press state.
  TRect ButtonRect{};
  bool ButtonMouseIn = false;
  bool ButtonMouseDown = false;

protected:
  TkxSkinPageControl* SkinPageControl() const;

private:
  std::unique_ptr<TBitmap> FWallPaper;
};

class TkxSkinTabSheet : public TkxSkinCustomTabSheet {
public:
  explicit TkxSkinTabSheet(TComponent* AOwner) : TkxSkinCustomTabSheet(AOwner) {}
};

class TkxSkinPageControl : public TPageControl, public TkxSkinBinding {
public:
  explicit TkxSkinPageControl(TComponent* AOwner);
  ~TkxSkinPageControl() override;

  // ---- properties ----
  bool MouseWheelSupport() const { return FMouseWheelSupport; }
  void SetMouseWheelSupport(bool Value) { FMouseWheelSupport = Value; }
  bool TabExtededDraw() const { return FTabExtendedDraw; }
  void SetTabExtededDraw(bool Value);
  int32_t TabsOffset() const { return FTabsOffset; }
  void SetTabsOffset(int32_t Value);
  int32_t TabMargin() const { return FTabMargin; }
  void SetTabMargin(int32_t Value);
  int32_t TabSpacing() const { return FTabSpacing; }
  void SetTabSpacing(int32_t Value);
  TkxButtonLayout TabLayout() const { return FTabLayout; }
  void SetTabLayout(TkxButtonLayout Value);
  bool TextInHorizontal() const { return FTextInHorizontal; }
  void SetTextInHorizontal(bool Value);
  bool TabsInCenter() const { return FTabsInCenter; }
  // Refused (stays off) while TabWidth is 0.
  void SetTabsInCenter(bool Value);
  bool FreeOnClose() const { return FFreeOnClose; }
  void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
  bool ShowCloseButtons() const { return FShowCloseButtons; }
  void SetShowCloseButtons(bool Value);
  // The tab images (not owned). The tab window gets a stand-in list instead, sized so that
  // every tab keeps room for an image and a close button.
  TCustomImageList* Images() const { return FTabImages; }
  void SetImages(TCustomImageList* Value);
  bool TabsBGTransparent() const { return FTabsBGTransparent; }
  void SetTabsBGTransparent(bool Value);
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  int32_t DefaultItemHeight() const { return FDefaultItemHeight; }
  void SetDefaultItemHeight(int32_t Value);
  // Re-skins when another skin data holding a skin is given (outside design time).
  void SetSkinData(TkxSkinData* Value) override;

  // The tab window's own settings, kept in step with the room and the row height.
  void SetTabPosition(TTabPosition Value);
  void SetTabWidth(int32_t Value);
  void SetTabHeight(int32_t Value);
  void SetMultiLine(bool Value);

  TkxCloseEvent OnClose;
  TNotifyEvent OnAfterClose;
  TkxDrawSkinTabEvent OnDrawSkinTab;

  // ---- operations ----
  void ChangeSkinData() override;
  void UpDateTabs();
  void HideTabs();
  void ShowTabs();
  void HideBorderAndTabs();
  void ShowBorderAndTabs();
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

  // ---- state, readable for tests and the sheets ----
  int32_t CloseSize() const { return FCloseSize; }
  bool TabsHidden() const { return FHideTabs; }
  bool BorderHidden() const { return FHideBorder; }
  // Visible-tab index of the tab under the mouse, -1 for none.
  int32_t ActiveTabIndex() const { return FActiveTabIndex; }
  // Page index of the tab under the mouse.
  int32_t ActiveTab() const { return FActiveTab; }
  // The stand-in list that reserves room in every tab.
  TCustomImageList* TempImages() const;
  // The corrected rectangle of the i-th visible tab.
  TRect GetTabRect(int32_t Index);
  int32_t GetFirstTabOffset();
  // The page area (the corrected TCM_ADJUSTRECT).
  TRect PageRect() { return DisplayRect(); }
  // The skinned up/down that scrolls a single row with tabs out of view; nullptr otherwise.
  TkxSkinUpDown* Scroller() const { return FSkinUpDown; }
  bool ScrollerShown() const { return FSkinUpDown != nullptr; }
  // The visible tabs scrolled out at the start of the row.
  int32_t TabsScrolledOut();

  // The copy of the "tab" record the control paints from (skin-picture coordinates).
  void GetSkinData();
  TRect CloseButtonRect{}, ClosebuttonActiveRect{}, CloseButtonDownRect{};
  bool ButtonTransparent = false;
  TColor ButtonTransparentColor = clNone;
  TRect SkinRect{}, ClRect{}, TabRect{}, ActiveTabRect{}, FocusTabRect{}, MouseInTabRect{}, TabsBGRect{};
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  int32_t TabLeftOffset = 0, TabRightOffset = 0;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = clBtnText, ActiveFontColor = clBtnText, FocusFontColor = clBtnText, MouseInFontColor = clBtnText;
  std::string UpDown;
  int32_t BGPictureIndex = -1;
  bool TabStretchEffect = false, ShowFocus = false;
  int32_t FocusOffsetX = 0, FocusOffsetY = 0;
  bool StretchEffect = false, LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  TkxStretchType StretchType = kxstFull;
  TBitmap* Picture = nullptr;  // the skin's, never owned

  // Covers W x H of Canvas with P by the record's stretch settings (tiled from the top-left
  // without them).
  void FillBackground(TCanvas* Canvas, TBitmap* P, int32_t W, int32_t H, int32_t StretchW, int32_t StretchH);

protected:
  void SkinDataFreed() override { Picture = nullptr; }
  void CreateWnd() override;
  void PaintWindow(win::HDC DC) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void Change() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;

private:
  bool Vertical() const { return TabPosition() == tpLeft || TabPosition() == tpRight; }
  int32_t VisibleTabCount() const;
  // The page of the i-th visible tab, nullptr when there is none.
  TTabSheet* PageOfTab(int32_t Index) const;
  TkxSkinCustomTabSheet* SkinPage(int32_t PageIndex) const;
  int32_t CurrentTabHeight() const;
  void SetTabSize(int32_t W, int32_t H);
  void UpdateRoom();
  void UpdateScrollerPosition();
  void CheckScroll();
  void FreeScroller();
  int32_t TabsOutOfView();
  void ScrollerChange(TObject* Sender);
  void CloseActivePage();
  void TestActive(int32_t X, int32_t Y, bool HasPoint);
  // The close button of the hovered tab in client coordinates; empty when there is none.
  TRect HoverButtonRect(bool LessOffset);
  void RepaintTabs() { Invalidate(); }
  void AdjustPageRect(TRect& R);
  TRect FrameRect();
  TRect ActiveTabExtension();
  void PaintTabs(TCanvas* C);
  void PaintTab(int32_t PageIndex, const TRect& R, bool Active, bool MouseIn, TCanvas* C);
  void DrawCloseButton(TCanvas* C, const TRect& CR, TkxSkinCustomTabSheet* Page);
  void ApplyFonts();

  bool FMouseWheelSupport = false;
  bool FTabExtendedDraw = false;
  int32_t FTabMargin = -1, FTabSpacing = 1;
  TkxButtonLayout FTabLayout = blGlyphLeft;
  bool FTextInHorizontal = false;
  bool FHideTabs = false, FHideBorder = false;
  TTabPosition FOldTabPosition = tpTop;
  bool FOldMultiLine = false;
  int32_t FOldTabHeight = -1;
  int32_t FCloseSize = 14;
  bool FFreeOnClose = false;
  bool FShowCloseButtons = false, FTabsBGTransparent = false;
  int32_t FActiveTab = -1, FOldActiveTab = -1;
  int32_t FActiveTabIndex = -1, FOldActiveTabIndex = -1;
  TkxComponentLink<TCustomImageList> FTabImages{[this] { Invalidate(); }};
  std::unique_ptr<TImageList> FTempImages;
  bool FTabsInCenter = false;
  int32_t FTabsOffset = 0;
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  int32_t FDefaultItemHeight = 20;
  TkxSkinUpDown* FSkinUpDown = nullptr;  // owned by this control
  bool FInCheckScroll = false, FInScrollerChange = false, FDestroying = false;
};

// Form streaming of the page control and its sheets.
void RegisterSkinPageControlFormClasses();
