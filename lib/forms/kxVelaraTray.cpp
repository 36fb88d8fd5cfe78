// The skinned form's side of the tray: its TrayIcon link, minimizing to the tray and back.
#include "classlib/Forms.h"
#include "lib/forms/kxTrayIcon.h"
#include "lib/forms/kxVelara.h"

void TkxVelara::SetTrayIcon(TkxTrayIcon* Value) {
  FTrayIcon = Value;
  if (!FTrayIcon) return;
  FTrayIcon->FreeNotification(this);
  if (!AlwaysShowInTray) FTrayIcon->SetIconVisible(false);
  FTrayIcon->MinimizeToTray = false;
  if (ComponentState().Contains(csDesigning)) return;
  if (!FTrayIcon->PopupMenu()) FTrayIcon->SetPopupMenu(FSysTrayMenu);
  if (!FTrayIcon->OnDblClick) FTrayIcon->OnDblClick = [this](TObject*) { RestoreFromTray(); };
}

void TkxVelara::MinimizeToTray() {
  if (!FTrayIcon) return;
  FTrayIcon->MinimizeToTray = true;
  if (Application) Application->Minimize();
  if (OnMinimizeToTray) OnMinimizeToTray(this);
}

void TkxVelara::RestoreFromTray() {
  if (!FTrayIcon) return;
  FTrayIcon->MinimizeToTray = false;
  FTrayIcon->ShowMainForm();
  if (Application) Application->Restore();
  if (!AlwaysShowInTray) FTrayIcon->SetIconVisible(false);
  if (OnRestoreFromTray) OnRestoreFromTray(this);
}
