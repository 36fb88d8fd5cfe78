// The skinned form's menus: the system menu (built, or merged into the application's own, afresh
// at each popup), the tray menu, every popup of the form through its one menu engine, and menu
// mode, in which the keys reach the open menu or the menu bar through the application's
// OnMessage (the menus never take the focus). Multiple-document forms are not built: their
// branches are absent.
#include <algorithm>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxSkinMainMenu.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

constexpr const char* kSysItemNames[] = {"VLR_MINITEM", "VLR_MAXITEM", "VLR_CLOSE",
                                         "VLR_MINTOTRAY", "VLR_ROLLUP", "VLR_RESTORE"};

bool IsSysItemName(const std::string& Name) {
  return std::any_of(std::begin(kSysItemNames), std::end(kSysItemNames), [&](const char* n) { return Name == n; });
}

}  // namespace

// ---- the items ------------------------------------------------------------------------------------

std::string TkxVelara::MenuCaption(const std::string& Key, const std::string& Own) const {
  if (FSD && FSD->ResourceStrData()) return FSD->ResourceStrData()->GetResStr(Key);
  return Own;
}

TMenuItem* TkxVelara::NewMenuItem(TComponent* Owner, const std::string& Name, const std::string& Key,
                                  const std::string& Own, std::function<void()> OnClick) {
  auto* i = new TMenuItem(Owner);
  i->SetName(Name);
  i->SetCaption(Key.empty() ? Own : MenuCaption(Key, Own));
  if (OnClick) i->OnClick = [OnClick = std::move(OnClick)](TObject*) { OnClick(); };
  return i;
}

void TkxVelara::BuildTrayMenu() {
  TMenuItem* root = FSysTrayMenu->Items();
  root->Add(NewMenuItem(this, "TRAY_VLR_RESTORE", "MI_RESTORECAPTION", "&Restore", [this] { RestoreFromTray(); }));
  root->Add(NewMenuItem(this, "", "", cLineCaption, nullptr));
  TMenuItem* close = NewMenuItem(this, "TRAY_VLR_CLOSE", "MI_CLOSECAPTION", "&Close", [this] {
    if (FForm) FForm->Close();
  });
  close->SetShortCut(TextToShortCut(FForm->FormStyle() == fsMDIChild ? "Ctrl+F4" : "Alt+F4"));
  root->Add(close);
}

void TkxVelara::BuildSystemMenu() {
  TMenuItem* root = FSysMenu->Items();
  root->Clear();
  const bool minimized = FWindowState == wsMinimized, maximized = FWindowState == wsMaximized;
  const bool mdiChild = FForm->FormStyle() == fsMDIChild;
  // Each item built only when it applies to the state now: the menu is rebuilt at every popup.
  if (!minimized && FBorderIcons.Contains(TkxBorderIcon::biMinimize))
    root->Add(NewMenuItem(this, "VLR_MINITEM", "MI_MINCAPTION", "Mi&nimize", [this] {
      if (AlwaysMinimizeToTray) MinimizeToTray();
      else SetWindowState(wsMinimized);
    }));
  if (!maximized && FBorderIcons.Contains(TkxBorderIcon::biMaximize))
    root->Add(NewMenuItem(this, "VLR_MAXITEM", "MI_MAXCAPTION", "Ma&ximize", [this] { SetWindowState(wsMaximized); }));
  if (FWindowState != wsNormal || FRollUpState)
    root->Add(NewMenuItem(this, "VLR_RESTORE", "MI_RESTORECAPTION", "&Restore", [this] {
      if (FRollUpState && (MaxRollUpState || FWindowState == wsNormal)) SetRollUpState(false);
      else SetWindowState(wsNormal);
    }));
  if (FBorderIcons.Contains(TkxBorderIcon::biRollUp) && !FRollUpState && !minimized && !(maximized && mdiChild))
    root->Add(NewMenuItem(this, "VLR_ROLLUP", "MI_ROLLUPCAPTION", "Ro&llUp", [this] { SetRollUpState(true); }));
  if (FBorderIcons.Contains(TkxBorderIcon::biMinimizeToTray))
    root->Add(NewMenuItem(this, "VLR_MINTOTRAY", "MI_MINTOTRAYCAPTION", "Minimize to &Tray", [this] { MinimizeToTray(); }));
  if (root->Count() > 0) root->Add(NewMenuItem(this, "", "", cLineCaption, nullptr));
  TMenuItem* close = NewMenuItem(this, "VLR_CLOSE", "MI_CLOSECAPTION", "&Close", [this] { FForm->Close(); });
  close->SetShortCut(TextToShortCut(mdiChild ? "Ctrl+F4" : "Alt+F4"));
  root->Add(close);
}

void TkxVelara::MergeSystemMenu() {
  TMenuItem* root = FSystemMenu->Items();
  // The standard items of the last merge go first, wherever the application moved them.
  for (int32_t i = root->Count() - 1; i >= 0; --i)
    if (IsSysItemName(root->Items(i)->Name())) root->Delete(i);
  const bool minimized = FWindowState == wsMinimized, maximized = FWindowState == wsMaximized;
  const bool mdiChild = FForm->FormStyle() == fsMDIChild;
  // Inserted at the head in the reverse of the order they read in.
  if (FBorderIcons.Contains(TkxBorderIcon::biMinimizeToTray))
    root->Insert(0, NewMenuItem(this, "VLR_MINTOTRAY", "MI_MINTOTRAYCAPTION", "Minimize to &Tray",
                                [this] { MinimizeToTray(); }));
  if (FBorderIcons.Contains(TkxBorderIcon::biRollUp) && !FRollUpState && !minimized && !(maximized && mdiChild))
    root->Insert(0, NewMenuItem(this, "VLR_ROLLUP", "MI_ROLLUPCAPTION", "Ro&llUp", [this] { SetRollUpState(true); }));
  if (!maximized && FBorderIcons.Contains(TkxBorderIcon::biMaximize))
    root->Insert(0, NewMenuItem(this, "VLR_MAXITEM", "MI_MAXCAPTION", "Ma&ximize",
                                [this] { SetWindowState(wsMaximized); }));
  if (FWindowState != wsNormal || FRollUpState)
    root->Insert(0, NewMenuItem(this, "VLR_RESTORE", "MI_RESTORECAPTION", "&Restore", [this] {
      if (FRollUpState && (MaxRollUpState || FWindowState == wsNormal)) SetRollUpState(false);
      else SetWindowState(wsNormal);
    }));
  if (!minimized && FBorderIcons.Contains(TkxBorderIcon::biMinimize))
    root->Insert(0, NewMenuItem(this, "VLR_MINITEM", "MI_MINCAPTION", "Mi&nimize", [this] {
      if (AlwaysMinimizeToTray) MinimizeToTray();
      else SetWindowState(wsMinimized);
    }));
  TMenuItem* close = NewMenuItem(this, "VLR_CLOSE", "MI_CLOSECAPTION", "&Close", [this] { FForm->Close(); });
  close->SetShortCut(TextToShortCut(mdiChild ? "Ctrl+F4" : "Alt+F4"));
  root->Add(close);
}

TMenuItem* TkxVelara::GetSystemMenuItems() {
  if (FSystemMenu) {
    // The items of a menu built before keep the names the merged ones take.
    FSysMenu->Items()->Clear();
    if (UseDefaultSysMenu) MergeSystemMenu();
    return FSystemMenu->Items();
  }
  BuildSystemMenu();
  return FSysMenu->Items();
}

TkxSkinData* TkxVelara::MenuSkin() const { return FMSD ? FMSD : FSD; }

// ---- popups -------------------------------------------------------------------------------------

void TkxVelara::ShowSystemMenuAt(TPoint P) { ShowSystemMenuUnder(TRect{P.x, P.y, P.x, P.y}); }

void TkxVelara::ShowSystemMenuUnder() {
  if (!FForm) return;
  // Under the system-menu button, else under the caption's left end.
  TRect r{FForm->Left() + NewClRect.left, FForm->Top() + NewClRect.top, FForm->Left() + NewClRect.left,
          FForm->Top() + NewClRect.top};
  for (TkxActiveSkinObject* o : ObjectList) {
    TkxStdCommand cmd = cmClose;
    bool isButton = false;
    if (auto* b = dynamic_cast<TkxSkinStdButtonObject*>(o)) {
      cmd = b->Command;
      isButton = true;
    } else if (auto* a = dynamic_cast<TkxSkinAnimateObject*>(o)) {
      cmd = a->Command;
      isButton = true;
    }
    if (isButton && cmd == cmSysMenu && o->Enabled && o->Visible) {
      r = o->ObjectRect;
      OffsetRect(&r, FForm->Left(), FForm->Top());
      break;
    }
  }
  ShowSystemMenuUnder(r);
}

void TkxVelara::ShowSystemMenuUnder(const TRect& R) {
  if (!SkinMenu || !FForm) return;
  // The items of an open system menu are about to be rebuilt: that menu closes first.
  if (SkinMenu->Visible()) SkinMenu->Hide();
  TMenuItem* items = GetSystemMenuItems();
  SkinMenuOpen();
  SkinMenu->Popup(nullptr, MenuSkin(), 0, R, items, false);
  if (!SkinMenu->Visible()) SkinMenuClose();
}

void TkxVelara::PopupObjectMenu(TMenuItem* AItem, const TRect& R, bool APopupUp) {
  if (!SkinMenu || !AItem) return;
  // A menu of the skinned main menu uses that menu's skin.
  TkxSkinData* sd = MenuSkin();
  if (auto* mm = dynamic_cast<TkxSkinMainMenu*>(AItem->GetParentMenu()); mm && mm->SkinData()) sd = mm->SkinData();
  SkinMenuOpen();
  SkinMenu->Popup(nullptr, sd, 0, R, AItem, APopupUp);
  if (!SkinMenu->Visible()) SkinMenuClose();
}

void TkxVelara::DoPopupMenu(TPopupMenu* Menu, int32_t X, int32_t Y) {
  if (!Menu || !SkinMenu) return;
  if (Menu->OnPopup) Menu->OnPopup(this);
  if (SkinMenu->Visible()) SkinMenuClose();
  SkinMenuOpen();
  SkinMenu->Popup(nullptr, FSD, 0, TRect{X, Y, X, Y}, Menu->Items(), false);
  if (!SkinMenu->Visible()) SkinMenuClose();
}

void TkxVelara::PopupSkinMenu(TMenu* Menu, TPoint P) { PopupSkinMenu1(Menu, TRect{P.x, P.y, P.x, P.y}, false); }

void TkxVelara::PopupSkinMenu1(TMenu* Menu, const TRect& R, bool PopupUp) {
  if (!Menu || !SkinMenu) return;
  SkinMenuOpen();
  SkinMenu->Popup(nullptr, MenuSkin(), 0, R, Menu->Items(), PopupUp);
  if (!SkinMenu->Visible()) SkinMenuClose();
}

// ---- menu mode ------------------------------------------------------------------------------------

void TkxVelara::InstallAppHook() {
  if (FInAppHook || !Application) return;
  FInAppHook = true;
  OldAppMessage = Application->OnMessage;
  Application->OnMessage = [this](MSG& Msg, bool& Handled) { AppMessageHook(Msg, Handled); };
}

void TkxVelara::RemoveAppHook() {
  if (!FInAppHook) return;
  FInAppHook = false;
  if (Application) Application->OnMessage = std::move(OldAppMessage);
  OldAppMessage = nullptr;
}

void TkxVelara::AppMessageHook(MSG& Msg, bool& Handled) {
  if (Msg.message == WM_KEYDOWN) {
    const int32_t key = int32_t(Msg.wParam);
    Msg.message = 0;
    Handled = true;
    MenuKeyDown(key);
  } else if (Msg.message == WM_MOUSEWHEEL) {
    Msg.message = 0;
    Handled = true;
  }
}

void TkxVelara::SkinMenuOpen() {
  if (!InMainMenu) InstallAppHook();
  if (InMenu) return;
  InMenu = true;
  if (OnSkinMenuOpen) OnSkinMenuOpen(this);
}

void TkxVelara::SkinMenuClose() {
  if (FMenuLayerManager && FMenuLayerManager->IsVisible) FMenuLayerManager->Hide();
  InMenu = false;
  ObjectMenuClosed();
  RemoveAppHook();
  if (OnSkinMenuClose) OnSkinMenuClose(this);
  if (InMainMenu) {
    InMainMenu = false;
    if (FMainMenuBar) FMainMenuBar->EndMenuMode();
    if (OnMainMenuExit) OnMainMenuExit(this);
  }
}

void TkxVelara::EndMainMenu() {
  InMainMenu = false;
  if (SkinMenu && SkinMenu->Visible()) SkinMenu->Hide();
  if (FMainMenuBar) FMainMenuBar->EndMenuMode();
  RemoveAppHook();
  if (OnMainMenuExit) OnMainMenuExit(this);
}

void TkxVelara::CloseMainMenuPopup() {
  InMenu = false;
  if (FMainMenuBar) FMainMenuBar->ReleaseDownItem();
  if (OnSkinMenuClose) OnSkinMenuClose(this);
}

void TkxVelara::CloseMenusOnMessage(TMessage& Message) {
  if (!IsMenuCloseMessage(Message.Msg)) return;
  // The hint belongs to the hint component, which hides itself on the same messages.
  if (InMainMenu && !InMenu) {
    EndMainMenu();
  } else if (SkinMenu && SkinMenu->Visible()) {
    SkinMenu->Hide();
  } else if (InMenu) {
    SkinMenuClose();
  }
}

void TkxVelara::MenuKeyDown(int32_t CharCode) {
  TkxSkinMainMenuBar* bar = FMainMenuBar;
  if (InMainMenu && bar && bar->ProcessAccel(CharCode)) return;
  const size_t levels = SkinMenu ? SkinMenu->FPopupList.size() : 0;
  if (CharCode == VK_ESCAPE && InMainMenu && !InMenu) {
    EndMainMenu();
    return;
  }
  if (CharCode == VK_LEFT && InMainMenu && levels <= 1) {
    if (bar) bar->PriorMainMenuItem();
    return;
  }
  if (CharCode == VK_RIGHT && InMainMenu) {
    bool leaf = true;
    if (levels > 0) {
      TkxSkinPopupWindow* last = SkinMenu->FPopupList.back();
      const int32_t a = last->ActiveItem;
      if (a >= 0 && a < int32_t(last->ItemList.size()) && last->ItemList[size_t(a)]->MenuItem->Count() > 0)
        leaf = false;
    }
    if (leaf) {
      if (bar) bar->NextMainMenuItem();
      return;
    }
  }
  if (CharCode == VK_RETURN || CharCode == VK_DOWN) {
    if (InMainMenu && bar && bar->OpenActiveItem()) return;
    if (SkinMenu && SkinMenu->Visible() && !SkinMenu->FPopupList.empty())
      SkinMenu->FPopupList.back()->PopupKeyDown(CharCode);
    return;
  }
  if (SkinMenu && SkinMenu->Visible() && !SkinMenu->FPopupList.empty())
    SkinMenu->FPopupList.back()->PopupKeyDown(CharCode);
  if (CharCode == VK_ESCAPE && (!SkinMenu || SkinMenu->FPopupList.empty())) {
    if (InMainMenu) CloseMainMenuPopup();
    else SkinMenuClose();
  }
}

void TkxVelara::FormShortCut(TMessage& Msg, bool& Handled) {
  if (OnShortCut) {
    OnShortCut(Msg, Handled);
    if (Handled) return;
  }
  const TShortCut sc = ShortCutFromKeyMessage(Msg);
  const TShortCut shifts = sc & (scShift | scCtrl | scAlt);
  const int32_t key = int32_t(sc & 0xFF);
  if (shifts == scAlt && key == VK_SPACE) {
    if (!DisableSystemMenu) ShowSystemMenuUnder();
    FInShortCut = false;
    Handled = true;
    return;
  }
  if (FInShortCut) {
    FInShortCut = false;
    Handled = false;
  }
  if (FMainMenuBar && FMainMenuBar->MainMenu()) {
    // Alt+F4 closes the form: never an accelerator of the bar, whatever its captions say.
    if (shifts == scAlt && key != VK_F4 && FMainMenuBar->ProcessAccel(key)) {
      Handled = true;
      return;
    }
    FInShortCut = FMainMenuBar->MainMenu()->IsShortCut(Msg);
    Handled = FInShortCut;
  }
}

void TkxVelara::SetMainMenuBar(TkxSkinMainMenuBar* Value) {
  FMainMenuBar = Value;
  if (Value) Value->FreeNotification(this);
}
