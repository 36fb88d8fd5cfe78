#pragma once
// The skinned-form component: one per form. It takes over the form's window procedure, keeps the
// system's caption and borders off the window and draws a frame of its own (from the skin data
// when a skin is loaded, else a plain default frame), emulates maximize, minimize, restore and
// roll-up, cuts the window region from the skin's mask, snaps the form to the work area's edges
// and re-skins the form's skinned controls when the skin changes.
//
// The work is spread over several files, one per concern:
//   kxVelara.cpp        construction, destruction, properties, quick buttons, form lookups
//   kxVelaraHook.cpp    the form's window procedure (FormWindowProc) and the private messages
//   kxVelaraFrame.cpp   frame geometry, non-client painting, backgrounds, region, small icon
//   kxVelaraStates.cpp  hit testing, size limits, window states, roll-up, docking, snapping
//   kxVelaraSkin.cpp    skin application, the object table, the skin-change walk, form style
//   kxVelaraObjects.cpp the frame-object host: hot object, capture, timers, caption buttons
//   kxVelaraMenus.cpp   the system and tray menus, popups through the menu engine, menu mode
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "lib/skin/kxSkinValues.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TFont;
class TIcon;
class TMenu;
class TMenuItem;
class TPopupMenu;
class TTimer;
class TkxTrayIcon;
class TkxActiveSkinObject;
class TkxClientInActivePanel;
class TkxFormLayerBorder;
class TkxLayerManager;
class TkxSkinData;
class TkxSkinMainMenuBar;
class TkxSkinMenu;
class TkxSkinPopupMenu;
class TkxSkinStatusBar;
class TkxVelara;

// ---- private messages of the skinned form ----------------------------------------------------
// (KXM_BEFORECHANGESKINDATA 1225, KXM_CHANGESKINDATA 1226, KXM_AFTERCHANGESKINDATA 1227,
// KXM_RESOURCESTRCHANGED 1274, KXM_SKINNABLEFORMCHANGED 1294 and KXM_LAYEREDBORDERSCHANGED 1427
// come with the skin data; KXM_PAINTNCTODC 45513 and KXM_PAINTTODC 48203 with the controls.)
constexpr uint32_t KXM_MENUCLOSED = 1228;
constexpr uint32_t KXM_MDICHILDREFIT = 1230;
constexpr uint32_t KXM_MDICHILDMAXIMIZED = 1231;
constexpr uint32_t KXM_MDICHILDRESTORED = 1232;
constexpr uint32_t KXM_SHOWMAINFORM = 1426;
constexpr uint32_t KXM_SMARTEFFECTSQUERY = 45490;
constexpr uint32_t KXM_SMARTEFFECTSBEGIN = 45491;
constexpr uint32_t KXM_SMARTEFFECTSEND = 45492;
// The lParam that KXM_PAINTTODC carries when it asks for the frame.
constexpr intptr_t KXM_PAINTTODC_FRAME = 16802;

// A frame object's hit code: the system starts nothing on it, so its button gets the plain
// non-client down and up messages.
constexpr int32_t HTOBJECT = 19;

// Scoped: the form's own border icons use the same names (streamed as "biSystemMenu" and so on).
enum class TkxBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biRollUp, biMinimizeToTray };
using TkxBorderIcons = TSet<TkxBorderIcon>;
enum TkxPositionInMonitor : uint8_t { kxpDefault, kxpScreenCenter, kxpDesktopCenter };
enum TkxClientInActiveEffect : uint8_t { kxieSemiTransparent, kxieBlur };

using TkxCaptionPaintEvent = std::function<void(TCanvas* Cnvs, const TRect& R, bool AActive)>;
using TkxPaintEvent = std::function<void(const std::string& IDName, TCanvas* Canvas, const TRect& ObjectRect)>;
using TkxMouseEnterEvent = std::function<void(const std::string& IDName)>;
using TkxMouseLeaveEvent = std::function<void(const std::string& IDName)>;
using TkxMouseUpEvent =
    std::function<void(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect, TMouseButton Button)>;
using TkxMouseDownEvent = TkxMouseUpEvent;
using TkxMouseMoveEvent =
    std::function<void(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect)>;
using TkxActivateCustomObjectEvent = std::function<void(const std::string& IDName, bool& ObjectVisible)>;
using TkxOnAcceptToMDITabsBar = std::function<void(bool& Accept)>;

// ---- quick buttons: small image buttons at the left end of the caption ------------------------

class TkxQuickButtonItem : public TCollectionItem {
public:
  explicit TkxQuickButtonItem(const TItemSlot& Collection);
  void Assign(TPersistent* Source) override;

  int32_t ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int32_t Value);
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  std::string Hint;
  TNotifyEvent OnClick;

  // Run-time state kept by the caption object.
  TRect ItemRect{};
  bool Active = false, Down = false;

private:
  int32_t FImageIndex = -1;
  bool FEnabled = true, FVisible = true;
};

class TkxQuickButtonItems : public TCollection {
public:
  explicit TkxQuickButtonItems(TkxVelara* AVLR);
  TkxQuickButtonItem* Add() { return static_cast<TkxQuickButtonItem*>(TCollection::Add()); }
  TkxQuickButtonItem* Insert(int Index) { return static_cast<TkxQuickButtonItem*>(TCollection::Insert(Index)); }
  TkxQuickButtonItem* Items(int Index) const { return static_cast<TkxQuickButtonItem*>(TCollection::Items(Index)); }
  TkxVelara* VLR;

protected:
  void Update(TCollectionItem* Item) override;
};

// ---- the component ------------------------------------------------------------------------------

class TkxVelara : public TComponent {
public:
  // Raises EInvalidCast when AOwner is not a form.
  explicit TkxVelara(TComponent* AOwner);
  ~TkxVelara() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

  // -- properties that only store (read by the Parts of the frame) --
  bool QuickButtonsShowHint = false;
  bool ClientInActiveEffect = false;
  TkxClientInActiveEffect ClientInActiveEffectType = kxieSemiTransparent;
  bool DisableSystemMenu = false;
  bool AlwaysResize = false;
  TkxPositionInMonitor PositionInMonitor = kxpDefault;
  bool UseFormCursorInNCArea = false;
  int32_t ClientWidth = 0, ClientHeight = 0;
  bool HideCaptionButtons = false;
  bool AlwaysShowInTray = false;
  bool LogoBitMapTransparent = false;
  bool AlwaysMinimizeToTray = false;
  bool MaximizeOnFullScreen = false;
  bool AlphaBlendAnimation = false;
  bool ShowObjectHint = false;
  bool UseDefaultObjectHint = true;
  bool MenusAlphaBlend = false, MenusAlphaBlendAnimation = false;
  uint8_t MenusAlphaBlendValue = 200;
  bool UseDefaultSysMenu = true;
  int32_t MinHeight = 0, MinWidth = 0, MaxHeight = 0, MaxWidth = 0;
  bool Magnetic = false;
  uint8_t MagneticSize = 5;
  // Minimizing uses the form's own minimize instead of the emulation.
  bool MinimizeDefault = false;
  // Set by the skin selection dialog's preview form: the form always counts as active.
  bool PreviewMode = false;

  // -- properties whose setters do more --
  bool UseRibbon() const { return FUseRibbon; }
  void SetUseRibbon(bool Value);
  TkxQuickButtonItems* QuickButtons() const { return FQuickButtons; }
  void SetQuickButtons(TkxQuickButtonItems* Value);
  TCustomImageList* QuickImageList() const { return FQuickImageList; }
  void SetQuickImageList(TCustomImageList* Value);
  TkxSkinStatusBar* StatusBar() const { return FStatusBar; }
  void SetStatusBar(TkxSkinStatusBar* Value);
  int32_t MaxMenuItemsInWindow() const { return FMaxMenuItemsInWindow; }
  void SetMaxMenuItemsInWindow(int32_t Value);  // negative values are ignored
  TBitmap* LogoBitMap() const { return FLogoBitMap; }
  void SetLogoBitMap(TBitmap* Value);
  bool ShowIcon() const { return FShowIcon; }
  void SetShowIcon(bool Value);
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(uint8_t Value);
  TFont* DefCaptionFont() const { return FDefCaptionFont; }
  void SetDefCaptionFont(TFont* Value);
  TFont* DefInActiveCaptionFont() const { return FDefInActiveCaptionFont; }
  void SetDefInActiveCaptionFont(TFont* Value);
  TPopupMenu* SystemMenu() const { return FSystemMenu; }
  void SetSystemMenu(TPopupMenu* Value);
  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value);
  TkxSkinData* MenusSkinData() const { return FMSD; }
  void SetMenusSkinData(TkxSkinData* Value);
  TkxBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TkxBorderIcons Value);

  // -- public properties --
  bool RollUpState() const { return FRollUpState; }
  void SetRollUpState(bool Value);                 // kxVelaraStates.cpp
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);         // kxVelaraStates.cpp
  int32_t RealHeight() const;
  void SetRealHeight(int32_t Value);
  bool SkinnableForm() const { return FSkinnableForm; }
  bool GetSkinnableForm() const { return FSkinnableForm; }

  // -- events --
  TkxCaptionPaintEvent OnCaptionPaint;
  TNotifyEvent OnChangeSkinData, OnBeforeChangeSkinData, OnAfterChangeSkinData;
  TkxMouseUpEvent OnMouseUpEvent;
  TkxMouseDownEvent OnMouseDownEvent;
  TkxMouseMoveEvent OnMouseMoveEvent;
  TkxMouseEnterEvent OnMouseEnterEvent;
  TkxMouseLeaveEvent OnMouseLeaveEvent;
  TkxPaintEvent OnPaintEvent;
  TNotifyEvent OnActivate, OnDeActivate;
  TNotifyEvent OnSkinMenuOpen, OnSkinMenuClose;
  TNotifyEvent OnChangeRollUpState;
  TNotifyEvent OnMainMenuEnter, OnMainMenuExit;
  TNotifyEvent OnMinimizeToTray, OnRestoreFromTray;
  TkxActivateCustomObjectEvent OnActivateCustomObject;
  TNotifyEvent OnMinimize, OnRestore, OnMaximize;
  TShortCutEvent OnShortCut;
  TkxOnAcceptToMDITabsBar OnAcceptToMDITabsBar;

  // The form this component skins (its owner).
  TCustomForm* Form() const { return FForm; }
  std::string GetProductVersion() const { return "7.81"; }

  // ---- the window hook (kxVelaraHook.cpp) ----
  void FormWindowProc(TMessage& Message);
  // The skin draws a layered outer border around the form. Layered borders are not built yet:
  // always false for now.
  bool LayeredFrameActive() const;
  bool HideUntilBorderShown() const;

  // ---- menus (kxVelaraMenus.cpp): the system and tray menus, popups through the form's menu
  // engine, menu mode and the form's short cuts ----
  // The system menu at a screen point, under the system-menu button (else under the caption's
  // left end) or under a screen rect; built (or merged into SystemMenu) afresh each time.
  void ShowSystemMenuAt(TPoint P);
  void ShowSystemMenuUnder();
  void ShowSystemMenuUnder(const TRect& R);
  // The items of the system menu for the form's state now.
  TMenuItem* GetSystemMenuItems();
  void BuildSystemMenu();
  // Any menu through the engine: DoPopupMenu fires OnPopup and closes an open menu first.
  void DoPopupMenu(TPopupMenu* Menu, int32_t X, int32_t Y);
  void PopupSkinMenu(TMenu* Menu, TPoint P);
  void PopupSkinMenu1(TMenu* Menu, const TRect& R, bool PopupUp);
  // Menu mode: a skinned menu or the menu bar owns the keys, which reach it through the
  // application's OnMessage (the menus never take the focus).
  void SkinMenuOpen();
  void SkinMenuClose();
  void EndMainMenu();
  void CloseMainMenuPopup();
  void InstallAppHook();
  void RemoveAppHook();
  void AppMessageHook(win::MSG& Msg, bool& Handled);
  // The first step of the window hook: mouse, activation, move and size messages close menus.
  void CloseMenusOnMessage(TMessage& Message);
  void MenuKeyDown(int32_t CharCode);
  // The form's OnShortCut while the component is on it.
  void FormShortCut(TMessage& Msg, bool& Handled);
  TkxSkinMainMenuBar* MainMenuBar() const { return FMainMenuBar; }
  void SetMainMenuBar(TkxSkinMainMenuBar* Value);
  TkxSkinMenu* SkinMenu = nullptr;           // the form's menu engine (owned)
  TPopupMenu* FSysMenu = nullptr;            // the built system menu (owned)
  TkxSkinPopupMenu* FSysTrayMenu = nullptr;  // the tray menu (owned)
  bool FInAppHook = false;
  TMessageEvent OldAppMessage;

  // ---- frame geometry and painting (kxVelaraFrame.cpp) ----
  void CalcSkinRects();
  void CalcObjectRects();
  void CalcDefRects();
  void PaintNCSkin(win::HDC ADC, bool AUseExternalDC);
  void PaintNCDefault(win::HDC ADC, bool AUseExternalDC);
  void PaintBG(win::HDC DC);
  void PaintBG2(win::HDC DC);
  void PaintBG3(win::HDC DC);
  void PaintBGDefault(win::HDC DC);
  void PaintMDIBGDefault(win::HDC DC);
  void DrawSkinObject(TkxActiveSkinObject* AObject);
  void UpdateFrame(bool AUpdate);
  void UpdateWindowRegion(bool AUpdate);
  bool PointInFormMask(TPoint P);
  void DrawFormIcon(TCanvas* Canvas, int32_t X, int32_t Y);
  void GetSmallIconSize(int32_t& W, int32_t& H);
  // The height of the default caption: 15 for tool windows, else 19.
  int32_t DefaultCaptionHeight() const;
  int32_t DefaultButtonSize() const;
  // A skin rectangle (picture coordinates) of an object placed by the frame picture's corners,
  // mapped to the current size; CalcSkinRects must have run.
  TRect MapSkinRect(const TRect& R) const;

  // ---- hit testing, limits, states, snapping (kxVelaraStates.cpp) ----
  int32_t GetMinWidth();
  int32_t GetMinHeight();
  int32_t GetMaxWidth();
  int32_t GetMaxHeight();
  int32_t SkinHitTest(TPoint P);
  int32_t DefaultHitTest(TPoint P);
  bool IsSizeable() const;
  void ApplyPositionInMonitor();
  TPoint GetPositionInMonitor(int32_t AX, int32_t AY, int32_t AW, int32_t AH);
  void MagneticSnap(int32_t& ALeft, int32_t& ATop, int32_t AWidth, int32_t AHeight);
  void DockMinimized(TPoint& P);
  void RefreshFormSize();

  // ---- skin application and the skin-change walk (kxVelaraSkin.cpp) ----
  void ApplySkin();
  void SetSkinnableForm(bool Value);
  void CreateSkinObjects();
  void CreateDefaultObjects();
  void ClearObjects();
  // The walks over AControl's skinned controls; ASkinData nil means every skinned control.
  static void BeforeChangeControlsSkinData(TkxSkinData* ASkinData, TControl* AControl);
  static void ChangeControlsSkinData(TkxSkinData* ASkinData, TControl* AControl);
  void SetFormStyle(TFormStyle FS);
  void SetFormBorderStyle(TFormBorderStyle BS);
  void EnableShadow(bool AShowShadow, bool AHideFormBefore);
  void ShowClientInActiveEffect();
  void HideClientInActiveEffect();

  // ---- the frame-object host (kxVelaraObjects.cpp) ----
  bool GetFormActive();
  void ScreenToFrame(TPoint& P);
  void UpdateActiveObject(int32_t X, int32_t Y, bool InFrame);
  void ObjectsMouseMove(int32_t X, int32_t Y);
  void ObjectsMouseDown(TMouseButton Button, int32_t X, int32_t Y);
  void ObjectsMouseUp(TMouseButton Button, int32_t X, int32_t Y);
  void ObjectsDblClick();
  void ResetObjectStates();
  void UpdateCaptionActive(bool AAnimate);
  void UpdateCaptionButtons();
  void UpdateObjectHints();
  // -- the frame objects' hints: with ShowObjectHint, SkinHint shows a frame object's hint while
  // the mouse rests on the object and hides it when the mouse leaves (cleared when freed) --
  class TkxSkinHint* SkinHint() const;
  void SetSkinHint(class TkxSkinHint* Value);
  std::unique_ptr<TComponent> FSkinHintLink;
  // --
  int32_t GetIndex(const std::string& AIDName) const;
  void SetEnabled(const std::string& AIDName, bool Value);
  void UserObjectDraw(const std::string& AIDName);
  void LinkMenu(const std::string& AIDName, TMenu* AMenu, bool APopupUp);
  void DoObjectPaint(const std::string& IDName, TCanvas* Canvas, const TRect& ObjectRect);
  void DoObjectMouseUp(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect, TMouseButton Button);
  void DoObjectMouseDown(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect, TMouseButton Button);
  void DoObjectMouseMove(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect);
  void DoObjectMouseEnter(const std::string& IDName);
  void DoObjectMouseLeave(const std::string& IDName);
  // Runs a caption button's command (close, maximize, minimize, roll-up, system menu, tray).
  void DoStdCommand(int32_t Command);
  // Switch the host's timers on (made here, owned by the component, when not made yet): the
  // mouse poll (50 ms) and the morph and animation steps (25 ms each).
  void EnableMouseTimer();
  void EnableMorphTimer();
  void EnableAnimateTimer();
  // A frame object's menu at the screen rect R (below it, or above with APopupUp), through the
  // form's menu engine.
  void PopupObjectMenu(TMenuItem* AItem, const TRect& R, bool APopupUp);
  // What the frame objects need when the skinned menu closes: the first menu button that is down
  // comes up, the first tracking menu strip runs back.
  void ObjectMenuClosed();
  // ---- the tray (kxVelaraTray.cpp) ----
  // Linked at run time, the icon is hidden (unless AlwaysShowInTray), its minimize flag cleared,
  // and it gets the tray menu and RestoreFromTray as its double-click handler where it has none.
  TkxTrayIcon* TrayIcon() const { return FTrayIcon; }
  void SetTrayIcon(TkxTrayIcon* Value);
  // Nothing without a tray icon: minimizes the application into the tray, and back.
  void MinimizeToTray();
  void RestoreFromTray();
  TkxTrayIcon* FTrayIcon = nullptr;

  // ---- state shared by the files above (kept public for the frame objects and the tests) ----
  TkxLayerManager* FLayerManager = nullptr;      // glow windows of the frame objects (owned)
  TkxLayerManager* FMenuLayerManager = nullptr;  // glow windows of the caption-button menus (owned)
  bool FSmartEffectsShow = false;
  bool FClientInActiveDraw = false;
  bool FSkinnableForm = true;
  bool FIsVistaOs = true, FIsLayerEnabled = true;
  bool FHaveShadow = false;
  bool FRollUpBeforeMaximize = false;
  bool FStartShow = true;
  bool HMagnetized = false, VMagnetized = false, HMagnetized2 = false, VMagnetized2 = false;
  TPoint FOnMouseDownCoord{-1, -1};
  TIcon* FIcon = nullptr;  // made on first use
  bool FSkinSupport = false;
  bool FMDIChildMaximized = false;
  bool FFormActive = false;
  bool FInShortCut = false;
  bool FFullDrag = true;
  int32_t FFormWidth = 0, FFormHeight = 0, FFormLeft = 0, FFormTop = 0, FOldFormLeft = 0, FOldFormTop = 0;
  bool FSizeMove = false, FSizing = false;
  bool FRollUpState = false, MaxRollUpState = false;
  TBitmap *RMTop = nullptr, *RMBottom = nullptr, *RMLeft = nullptr, *RMRight = nullptr;
  TColor BlackColor = 0;
  TRect OldBoundsRect{};
  int32_t OldHeight = 0;
  TPoint NewLTPoint{}, NewRBPoint{}, NewRTPoint{}, NewLBPoint{};
  TRect NewClRect{}, NewCaptionRect{}, NewButtonsRect{};
  int32_t NewButtonsOffset = 0;
  bool NewButtonsInLeft = false;
  TRect NewMaskRectArea{};
  TPoint NewHitTestLTPoint{}, NewHitTestRTPoint{}, NewHitTestLBPoint{}, NewHitTestRBPoint{};
  TRect NewDefCaptionRect{};
  TWndMethod OldWindowProc;
  TWindowState FWindowState = wsNormal;
  bool InMenu = false, InMainMenu = false;
  win::HRGN FRgn = nullptr;
  TTimer *MouseTimer = nullptr, *MorphTimer = nullptr, *AnimateTimer = nullptr;  // owned
  int32_t ActiveObject = -1, OldActiveObject = -1, MouseCaptureObject = -1;
  bool FBorderLayerChangeSize = false;
  // The frame objects, owned.
  std::vector<TkxActiveSkinObject*> ObjectList;

private:
  // ---- kxVelara.cpp ----
  TCustomForm* FForm = nullptr;
  bool FUseRibbon = false;
  TkxQuickButtonItems* FQuickButtons = nullptr;
  TCustomImageList* FQuickImageList = nullptr;
  TkxSkinStatusBar* FStatusBar = nullptr;
  int32_t FMaxMenuItemsInWindow = 0;
  TBitmap* FLogoBitMap = nullptr;
  bool FShowIcon = false;
  bool FAlphaBlend = false;
  uint8_t FAlphaBlendValue = 200;
  TFont *FDefCaptionFont = nullptr, *FDefInActiveCaptionFont = nullptr;
  TPopupMenu* FSystemMenu = nullptr;
  TkxSkinMainMenuBar* FMainMenuBar = nullptr;
  TkxSkinData *FSD = nullptr, *FMSD = nullptr;
  TkxBorderIcons FBorderIcons{TkxBorderIcon::biSystemMenu, TkxBorderIcon::biMinimize, TkxBorderIcon::biMaximize,
                             TkxBorderIcon::biRollUp};
  int32_t FRealHeight = 0;
  // The link the form's WindowProc holds to this component: it outlives the component, so a hook
  // installed after this one still reaches the procedure this one replaced (see the destructor).
  struct THookLink {
    TkxVelara* Self = nullptr;
    TWndMethod Old;
    TShortCutEvent OldShortCut;
  };
  struct THookProc;
  struct THookShortCut;
  std::shared_ptr<THookLink> FHookLink;
  TShortCutEvent OldFormShortCut;
  // Whether the form's WindowProc is this component's hook.
  bool HookAtHead() const;
  // Puts FormWindowProc at the head of the form's procedure chain unless it is there already.
  void InstallHook();
  // Repaints the frame (WM_NCPAINT) when the form's window exists.
  void RepaintFrame();
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool DesigningOrLoading() const {
    return ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading);
  }

  // ---- kxVelaraHook.cpp (private helpers of the hook go here) ----
  // Between the skin data's before and change messages the default frame is not painted.
  bool FStopPainting = false;
  // Runs the rows before the replaced procedure; answers whether that procedure still runs.
  bool BeforeOld(TMessage& M, const TWndMethod& Old);
  void AfterOld(TMessage& M);
  void WMSize(TMessage& Message, const TWndMethod& Old);
  void WMSizing(TMessage& Message, const TWndMethod& Old);
  void WMNCActivate(TMessage& Message);
  void WMNCCalcSize(TMessage& Message);
  void PaintFrameTo(win::HDC DC);
  void CaptionDblClick();
  // Showing: the start position, the fade-in through the layer's constant alpha.
  bool FadeWanted() const;
  void StartFadeIn();
  void PlaceOnFirstShow();
  void ShowFadeIn();
  void FadeTimer();

  // ---- kxVelaraFrame.cpp (private helpers of the frame go here) ----
  // FFormWidth and FFormHeight from the form when they are 0.
  void TakeFormSize();
  void PaintLogo(TCanvas* C);
  void PaintBGPicture(win::HDC DC, TBitmap* B, bool Stretch, TkxStretchType Type);
  // Gives the window Rgn (the window owns it from then on) and records it.
  void SetFormRegion(win::HRGN Rgn);

  // ---- kxVelaraStates.cpp (private helpers of the states go here) ----
  // Skin support with a skin loaded: the skin's picture gives the limits.
  bool SkinSupported() const;
  bool IsMainForm() const;
  // The work area (or the whole monitor) of the form's monitor.
  TRect MonitorArea(bool WorkArea) const;
  bool PointInCaption(TPoint P);
  bool NearSizingBorder(TPoint P);
  void DoMinimize();
  void DoMaximize();
  void DoRestore();

  // ---- kxVelaraMenus.cpp (private helpers of the menus go here) ----
  std::string MenuCaption(const std::string& Key, const std::string& Own) const;
  TMenuItem* NewMenuItem(TComponent* Owner, const std::string& Name, const std::string& Key, const std::string& Own,
                         std::function<void()> OnClick);
  void BuildTrayMenu();
  void MergeSystemMenu();
  TkxSkinData* MenuSkin() const;

  // ---- kxVelaraSkin.cpp (private helpers of skin application go here) ----

  // ---- kxVelaraObjects.cpp (private helpers of the object host go here) ----
  void EnsureHostTimers();
  void MouseTimerTick();
  void MorphTimerTick();
  void AnimateTimerTick();

  // ---- layered border, fade-in, client-inactive cover (kxVelaraLayers.cpp) ----
public:
  // The layered outer border, made on first use (owned).
  TkxFormLayerBorder* BorderLayer();
  TkxFormLayerBorder* FBorderLayer = nullptr;
  TkxClientInActivePanel* FInActivePanel = nullptr;  // owned while shown
  // The depths of the border's sizing band around the form when the border shows one, else 0.
  void LayeredBorderBand(int32_t& L, int32_t& T, int32_t& R, int32_t& B);
  // The rows of the window hook for the border, the fade and the messages that concern them.
  void LayersBeforeHide();
  void LayersAfterShowWindow(bool Shown);
  void LayersPosChanged(const win::WINDOWPOS& WP);
  void LayersSize();
  void LayersSizing(const win::RECT& R);
  void LayersExitSizeMove();
  void LayersActivated();
  void LayersApplySkin(bool Before);
  // A visible border takes the form rectangle R ahead of the form.
  void LayersTakeBounds(const TRect& R);
  void LayersShowMainForm();
  void LayersBordersChanged();
  void LayersSmartEffectsEnd();

private:
  // The fade in progress on timer 1: alpha, target, step and the tick of the last step.
  bool FFading = false;
  int32_t FFadeAlpha = 0, FFadeTarget = 0, FFadeStep = 1;
  uint32_t FFadeLast = 0;
  void FadeStepTick();
  bool ShownForBorder() const;
};

// The first skinned-form component of Form; nullptr for no form or none.
TkxVelara* FindSkinForm(TCustomForm* Form);
// Over the main form's MDI children: the first whose component is maximized.
TkxVelara* FindMaximizedChildSkinForm();
// The active MDI child's component; nullptr without a main form or an active child.
TkxVelara* FindActiveChildSkinForm();

// Form streaming of the skinned-form component.
void RegisterVelaraFormClasses();
