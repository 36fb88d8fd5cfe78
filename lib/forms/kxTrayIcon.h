#pragma once
// The tray icon: one icon in the desktop's notification area (through Shell_NotifyIcon), its
// mouse activity as events (a single click told from a double click by the double-click time),
// its skinned popup menu on a right click, icon cycling through an image list, balloon hints,
// and minimizing the application into the tray.
//
// Rules for users: the component hooks the application window (minimize, "TaskbarCreated") and
// its owner's window when the owner is a windowed control (focus and foreground on return) for
// its whole life, whether or not its icon shows or is Enabled. Texts are cut at code points
// (tip 127, balloon text 255, title 63).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "platform/shell/Services.h"

class TkxSkinPopupMenu;

enum TkxBalloonHintIcon { kxbitNone, kxbitInfo, kxbitWarning, kxbitError };
using TkxCycleEvent = std::function<void(TObject* Sender, int32_t NextIndex)>;

// The callback message of the icon.
constexpr win::UINT KXM_TRAYICONNOTIFY = 2048;

class TkxTrayIcon : public TComponent {
public:
  explicit TkxTrayIcon(TComponent* AOwner);
  ~TkxTrayIcon() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  bool DesignPreview() const { return FDesignPreview; }
  void SetDesignPreview(bool Value);
  TCustomImageList* IconList() const { return FIconList; }
  void SetIconList(TCustomImageList* Value);
  bool CycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool Value);
  uint32_t AnimateTimerInterval() const { return FAnimateTimerInterval; }
  void SetAnimateTimerInterval(uint32_t Value);
  // Off: every mouse notification of the icon is ignored, the balloon click included.
  bool Enabled = true;
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(TIcon* Value);
  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool Value);
  int32_t IconIndex() const { return FIconIndex; }
  void SetIconIndex(int32_t Value);
  TkxSkinPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TkxSkinPopupMenu* Value);
  bool PopupByLeftButton = false;
  bool MinimizedOnStart = false;
  // Minimizing the application hides the main form and shows the icon.
  bool MinimizeToTray = true;

  TNotifyEvent OnClick, OnDblClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TkxCycleEvent OnCycle;
  TNotifyEvent OnBalloonHintClick;

  // The hidden window that gets the icon's notifications, and its parent (none here).
  win::HWND Handle() const { return IconData.hWnd; }
  win::HWND WindowHandle() const { return FWindowHandle; }

  bool Refresh() { return ModifyIcon(); }
  static bool BitmapToIcon(TBitmap* Bitmap, TIcon* Icon, TColor MaskColor);
  void ShowMainForm();
  void HideMainForm();
  bool ShowBalloonHint(const std::string& Title, const std::string& Text, TkxBalloonHintIcon IconType);
  bool HideBalloonHint();

  virtual bool UseApplicationIcon() { return true; }
  virtual bool AddIcon();
  virtual bool DeleteIcon();
  virtual bool ModifyIcon();

  win::NOTIFYICONDATA IconData;

protected:
  virtual void DoClick();
  virtual void DoDblClick();
  virtual void DoCycle(int32_t NextIndex);
  virtual void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DoMouseMove(TShiftState Shift, int X, int Y);
  virtual void DoMinimizeToTray();

private:
  friend struct TrayHooks;
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  TWinControl* WindowedOwner() const;
  bool FillIconData();
  void TrayWindowProc(TMessage& Message);
  void AppWindowProc(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);
  void OwnerWindowProc(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);
  void HookAppWindow();
  void UnhookAppWindow();
  void HookOwnerWindow();
  void UnhookOwnerWindow();
  void PopupAtCursor();
  void AnimateTick(TObject* Sender);
  void ClickTimerTick(TObject* Sender);

  bool FDesignPreview = false;
  TCustomImageList* FIconList = nullptr;
  bool FCycleIcons = false;
  uint32_t FAnimateTimerInterval = 0;
  std::string FHint;
  bool FShowHint = true;
  std::unique_ptr<TIcon> FIcon;
  bool FIconVisible = true;
  int32_t FIconIndex = 0;
  TkxSkinPopupMenu* FPopupMenu = nullptr;
  win::HWND FWindowHandle = nullptr;
  TTimer* AnimateTimer = nullptr;
  TTimer* ClickTimer = nullptr;
  bool FClickStart = false, FClickReady = false, IsDblClick = false;
  bool SettingPreview = false;
  bool SettingMDIForm = true;
  win::HWND FAppWindow = nullptr, FOwnerWindow = nullptr;  // the windows hooked
};

void RegisterTrayIconFormClasses();
