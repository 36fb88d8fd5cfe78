#pragma once
// Skinned popup menus. A menu opens as a chain of levels, one popup window per level
// (TkxSkinPopupWindow), each listing one menu item's sub-items as TkxSkinMenuItem entries. The
// engine (TkxSkinMenu, one per skinned form) owns the chain: it opens and closes levels, waits
// before it opens a sub-menu under the mouse, runs a chosen command and tells the form and the
// control that popped the menu. TkxSkinPopupMenu is the popup menu component that shows itself
// through that engine.
//
// The levels never take the activation or the focus (on X11 they are override-redirect windows):
// the keys stay with the form, which hands them to the deepest level (PopupKeyDown).
//
// The windows draw in two looks: from the skin's popup-window and menu-item records when the
// engine's skin data has them, else a plain look of system colours.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Menus.h"
#include "lib/forms/kxVelara.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TFont;
class TTimer;
class TkxDataSkinMenuItem;
class TkxDataSkinPopupWindow;
class TkxSkinData;
class TkxSkinMenu;
class TkxSkinPopupWindow;

// After a command of a menu ran: sent to the control that popped the menu.
#include "lib/controls/kxSkinMenuSeam.h"  // KXM_MENUCOMMAND

// The plain marks of the items, in Color: a check mark three pixels thick, a right-pointing
// triangle 4 x 7, and a 6 x 6 dot, each with its top-left at (X, Y).
void DrawMenuCheckMark(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawMenuSubArrow(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawMenuRadioMark(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);

// ---- one entry of an open level -----------------------------------------------------------------

class TkxSkinMenuItem : public TObject {
public:
  TkxSkinMenuItem(TkxSkinPopupWindow* AParent, TMenuItem* AMenuItem, TkxDataSkinMenuItem* AData);
  ~TkxSkinMenuItem() override;

  // The morph between the normal (0) and the hot image (1), kept in fifths so that both
  // directions take exactly five steps.
  double MorphKf() const { return FMorphSteps / 5.0; }
  void SetMorphKf(double Value);

  bool EnableMorphing() const;
  bool EnableAnimation() const;
  // Whether a morph step is left; an item outside the shown range is reset instead.
  virtual bool CanMorphing();
  void DoMorphing();
  // A state change: starts the morph or animation, or draws at once.
  void ReDraw();

  void MouseDown(int32_t X, int32_t Y);
  // Kb: keys selected the item.
  void MouseEnter(bool Kb);
  void MouseLeave();

  void Draw(TCanvas* Cnvs);
  void DefaultDraw(TCanvas* Cnvs);
  // Draws onto the window at once (a state change between full paints).
  void DrawOnWindow();

  bool IsSeparator() const;
  bool IsHeader() const;
  int32_t ItemHeight() const;

  TkxSkinPopupWindow* Parent;
  TkxDataSkinMenuItem* MI;
  TBitmap* ActivePicture = nullptr;  // not owned
  TMenuItem* MenuItem;
  TRect ObjectRect{};
  bool Active = false, Down = false;
  bool FVisible = true;
  bool WaitCommand = false;
  int32_t CurrentFrame = 0;
  // The record's item rects as this item uses them: emptied when the record names no usable
  // picture (the shared record itself is never written).
  TRect SkinRect{}, ActiveSkinRect{};

private:
  void DrawSkinItem(TBitmap* B, bool Act, bool AnimationFrame);
  TRect GetAnimateFrameRect() const;
  void DrawSkinHeader(TCanvas* C, const TRect& R);
  void DrawMarkPicture(TCanvas* C, const TRect& Box, const TRect& Src);
  void SetupFont(TCanvas* C) const;
  int32_t FMorphSteps = 0;
};

// ---- one level ----------------------------------------------------------------------------------

class TkxSkinPopupWindow : public TCustomControl {
public:
  TkxSkinPopupWindow(TComponent* AOwner, TkxSkinMenu* AParentMenu, TkxDataSkinPopupWindow* AData);
  ~TkxSkinPopupWindow() override;

  // Lists AItem's visible sub-items from StartIndex on and shows the window for the screen rect
  // R: beside it for a sub-menu (PopupByItem), above it when PopupUp, else below it.
  void Show(const TRect& R, TMenuItem* AItem, int32_t StartIndex, bool PopupByItem, bool PopupUp);
  // The same with AItem2's sub-items after AItem's in one list.
  void Show2(const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, int32_t StartIndex, bool PopupByItem,
             bool PopupUp);
  void Hide();
  void PaintMenu(win::HDC DC);
  // One key for this level (the form hands it to the deepest level).
  void PopupKeyDown(int32_t CharCode);
  // Closes the levels below this one and releases its pressed items.
  void CloseSubMenus();
  // Stops the timers and the fade: the level is closed and only waits to be freed.
  void Retire();

  void Dispatch(TMessage& Message) override;

  TkxSkinMenu* ParentMenu;
  TkxDataSkinPopupWindow* PW = nullptr;
  TkxSkinData* SD = nullptr;
  TkxDataSkinMenuItem* DSMI = nullptr;
  TBitmap *WindowPicture = nullptr, *MaskPicture = nullptr;  // not owned
  std::vector<TkxSkinMenuItem*> ItemList;                    // owned
  int32_t ActiveItem = -1, OldActiveItem = -1;
  int32_t VisibleStartIndex = 0, VisibleCount = 0;
  bool Scroll = false, Scroll2 = false;
  int32_t ScrollCode = 0;
  TPoint NewLTPoint{}, NewRTPoint{}, NewLBPoint{}, NewRBPoint{};
  TRect NewItemsRect{};
  win::HRGN FRgn = nullptr;
  int32_t ShowX = 0, ShowY = 0;
  int32_t OMX = -1, OMY = -1;
  TCustomImageList* ImgL = nullptr;
  int32_t GlyphWidth = 19;
  TTimer *MouseTimer = nullptr, *MorphTimer = nullptr;  // owned
  TBitmap* FPaintBuffer = nullptr;                      // owned

  // The parts of the window's behaviour tests and the form reach.
  int32_t CalcWidth();
  int32_t CalcHeight(bool Two);
  void CalcSize(bool Two);
  void PlaceItems();
  int32_t GetShowY(const TRect& R, bool PopupByItem, bool PopupUp, bool& Beside);
  int32_t GetShowX(const TRect& R, bool PopupByItem, bool Beside);
  void TestActive(TPoint P);
  void MouseTimerTick();
  void MorphTimerTick();
  bool CanScroll(int32_t Code) const;
  void ScrollUp(bool Wrap);
  void ScrollDown(bool Wrap);
  int32_t LastPageStartIndex() const;
  void SelectNextItem();
  void SelectPrevItem();
  void DrawItemBackground(TCanvas* C, const TRect& R);
  // The fade of the first level, run on a timer.
  bool Fading() const { return FFading; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void CreateItems(TMenuItem* AItem, TMenuItem* AItem2, int32_t StartIndex, bool Two);
  void ShowLevel(const TRect& R, bool PopupByItem, bool PopupUp);
  void SetMaskRegion();
  void DrawBackground(TBitmap* B, bool Centre);
  void DrawUpMarker(TCanvas* C);
  void DrawDownMarker(TCanvas* C);
  void RedrawMarkers();
  void StartScroll();
  void StopScroll();
  bool ProcessAccel(int32_t CharCode);
  bool PointInItems(int32_t X, int32_t Y) const;
  bool Usable(int32_t I) const;
  void FadeTick();
  void StopFade();
  bool FFading = false;
  int32_t FFadeAlpha = 0, FFadeStep = 1, FFadeTarget = 0;
  uint64_t FLastFadeTick = 0;
  bool FScrollTimer = false;
};

// ---- the engine ---------------------------------------------------------------------------------

class TkxSkinMenu : public TComponent {
public:
  TkxSkinMenu(TComponent* AOwner, TCustomForm* AForm);
  ~TkxSkinMenu() override;

  void Popup(TControl* APopupCtrl, TkxSkinData* ASkinData, int32_t StartIndex, const TRect& R, TMenuItem* AItem,
             bool PopupUp);
  void Popup2(TControl* APopupCtrl, TkxSkinData* ASkinData, int32_t StartIndex, const TRect& R, TMenuItem* AItem,
              TMenuItem* AItem2, bool PopupUp);
  // Closes the whole menu and tells the form.
  void Hide();
  // Closes the levels from Level on; Level 0 closes the menu with its notifications.
  void CloseLevels(int32_t Level);
  int32_t IndexOfWindow(const TkxSkinPopupWindow* W) const;
  void ActivateItem(TkxSkinPopupWindow* W, TkxSkinMenuItem* Item, bool Kb, bool Click);
  void GetWorkArea(TRect& R);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  bool Visible() const { return FVisible; }
  bool First() const { return FFirst; }
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  int32_t DefaultMenuItemHeight() const { return FDefaultMenuItemHeight; }
  void SetDefaultMenuItemHeight(int32_t Value) { FDefaultMenuItemHeight = Value > 0 ? Value : 1; }
  TFont* DefaultMenuItemFont() const { return FDefaultMenuItemFont; }
  void SetDefaultMenuItemFont(TFont* Value);
  TCustomForm* Form() const { return FForm; }

  // The open levels, the first at index 0 (owned).
  std::vector<TkxSkinPopupWindow*> FPopupList;
  TkxSkinData* SkinData = nullptr;
  TRect WorkArea{};
  TControl* PopupCtrl = nullptr;
  TControl* DCtrl = nullptr;
  TTimer* WaitTimer = nullptr;  // owned
  TkxSkinMenuItem* WItem = nullptr;
  bool AlphaBlend = false;
  uint8_t AlphaBlendValue = 150;
  bool AlphaBlendAnimation = false;
  int32_t MaxMenuItemsInWindow = 0;
  TNotifyEvent OnMenuClose;

private:
  void PopupLevel(const TRect& R, TMenuItem* AItem, bool PopupUp, bool PopupByItem, int32_t StartIndex);
  void PopupLevel2(const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, bool PopupUp, bool PopupByItem,
                   int32_t StartIndex);
  TkxSkinPopupWindow* NewLevel();
  void WaitTimerTick();
  // Takes a closed level off the screen and frees it once the message that closed it is done.
  void ReleaseLevel(TkxSkinPopupWindow* W);
  void Tell(TControl* C, uint32_t Msg);
  TCustomForm* FForm;
  // The menu whose command runs once the levels are closed; cleared when it is freed meanwhile.
  TMenu* FCommandMenu = nullptr;
  bool FVisible = false, FFirst = false;
  bool FUseSkinFont = true;
  int32_t FDefaultMenuItemHeight = 20;
  TFont* FDefaultMenuItemFont = nullptr;  // owned
};

// ---- the popup menu component -------------------------------------------------------------------

class TkxSkinPopupMenu : public TPopupMenu {
public:
  explicit TkxSkinPopupMenu(TComponent* AOwner);
  ~TkxSkinPopupMenu() override;

  // The menu with its top-left at the screen point; the class library's own context menus come
  // here too.
  void Popup(int32_t X, int32_t Y) override;
  // Below the screen rect R, or above it.
  void PopupFromRect(const TRect& R, bool APopupUp);
  // At a point for ACtrl, which hears KXM_MENUCLOSED and KXM_MENUCOMMAND; shown only with skin
  // data.
  void Popup2(TControl* ACtrl, int32_t X, int32_t Y);
  void PopupFromRect2(TControl* ACtrl, const TRect& R, bool APopupUp);

  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value);
  TNotifyEvent OnMenuClose;
  TCustomForm* ComponentForm = nullptr;
  TComponent* SkinComponent = nullptr;
  TPoint PopupPoint() const { return FPopupPoint; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void DoSkinPopup(TControl* ACtrl, const TRect& R, bool APopupUp, bool NeedSkinData);
  TkxSkinData* FSD = nullptr;
  TPoint FPopupPoint{-1, -1};
};

// ---- helpers ------------------------------------------------------------------------------------

// Whether a message to the skinned form's window closes its open menu.
bool IsMenuCloseMessage(uint32_t Msg);
// The first component AComponent owns that is a skinned-form component, else nullptr.
TkxVelara* FindVelara(TComponent* AComponent);

// Form streaming of the popup menu component.
void RegisterSkinMenuFormClasses();
