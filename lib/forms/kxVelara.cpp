#include "lib/forms/kxVelara.h"

#include "base/Exception.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxSkinMainMenu.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxTrayIcon.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

// The form's window procedure while the component hooks it, recognised by its type. The
// component clears the link's Self when it goes; a procedure chain that still holds the link (a
// hook installed after the component and not yet removed) then passes every message straight to
// the procedure the component had replaced.
struct TkxVelara::THookProc {
  std::shared_ptr<THookLink> Link;
  void operator()(TMessage& Message) const {
    if (Link->Self)
      Link->Self->FormWindowProc(Message);
    else if (Link->Old)
      Link->Old(Message);
  }
};

struct TkxVelara::THookShortCut {
  std::shared_ptr<THookLink> Link;
  void operator()(TMessage& Msg, bool& Handled) const {
    if (Link->Self) {
      Link->Self->FormShortCut(Msg, Handled);
    } else if (Link->OldShortCut) {
      Link->OldShortCut(Msg, Handled);
    }
  }
};

namespace {

std::unique_ptr<TFont> CaptionFont(TColor Color) {
  auto f = std::make_unique<TFont>();
  f->SetName("Arial");
  f->SetStyle(TFontStyles{fsBold});
  f->SetHeight(14);
  f->SetColor(Color);
  return f;
}

}  // namespace

// ---- quick buttons ---------------------------------------------------------------------------------

TkxQuickButtonItem::TkxQuickButtonItem(const TItemSlot& Collection) : TCollectionItem(Collection) {}

void TkxQuickButtonItem::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TkxQuickButtonItem*>(Source)) {
    FImageIndex = s->FImageIndex;
    Hint = s->Hint;
    FEnabled = s->FEnabled;
    FVisible = s->FVisible;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

void TkxQuickButtonItem::SetImageIndex(int32_t Value) {
  FImageIndex = Value;
  Changed(false);
}

void TkxQuickButtonItem::SetEnabled(bool Value) {
  FEnabled = Value;
  Changed(false);
}

void TkxQuickButtonItem::SetVisible(bool Value) {
  FVisible = Value;
  Changed(false);
}

TkxQuickButtonItems::TkxQuickButtonItems(TkxVelara* AVLR)
    : TCollection(CollectionItemClassOf<TkxQuickButtonItem>(), AVLR), VLR(AVLR) {}

void TkxQuickButtonItems::Update(TCollectionItem*) {
  if (!VLR || VLR->ComponentState().Contains(csDesigning) || VLR->ComponentState().Contains(csLoading)) return;
  TCustomForm* f = VLR->Form();
  if (f && f->HandleAllocated()) SendMessage(f->Handle(), WM_NCPAINT, 0, 0);
}

// ---- construction and destruction ----------------------------------------------------------------

TkxVelara::TkxVelara(TComponent* AOwner) : TComponent(AOwner) {
  // 1. The collection, the layers; the version facts.
  FQuickButtons = new TkxQuickButtonItems(this);
  FLayerManager = new TkxLayerManager(this);
  FMenuLayerManager = new TkxLayerManager(this);
  FIsVistaOs = IsVistaOrLater();
  FIsLayerEnabled = IsWin2000OrLater();
  // 2. The default caption fonts.
  FDefCaptionFont = CaptionFont(clBtnText).release();
  FDefInActiveCaptionFont = CaptionFont(clBtnShadow).release();
  FLogoBitMap = new TBitmap();
  // 3. Mask strips, timers (their handlers belong to the object host).
  RMTop = new TBitmap();
  RMBottom = new TBitmap();
  RMLeft = new TBitmap();
  RMRight = new TBitmap();
  BlackColor = RGB(0, 0, 0);
  auto timer = [this](uint32_t Interval) {
    auto* t = new TTimer(this);
    t->SetEnabled(false);
    t->SetInterval(Interval);
    return t;
  };
  MouseTimer = timer(50);
  MorphTimer = timer(25);
  AnimateTimer = timer(25);
  EnsureHostTimers();
  OldBoundsRect = TRect{};
  // 4. Only a form can carry the component.
  FForm = dynamic_cast<TCustomForm*>(AOwner);
  if (!FForm) {
    // The base destructor frees what was made so far (it owns the layers and timers).
    delete FQuickButtons;
    delete FDefCaptionFont;
    delete FDefInActiveCaptionFont;
    delete FLogoBitMap;
    delete RMTop;
    delete RMBottom;
    delete RMLeft;
    delete RMRight;
    FQuickButtons = nullptr;
    FDefCaptionFont = FDefInActiveCaptionFont = nullptr;
    FLogoBitMap = RMTop = RMBottom = RMLeft = RMRight = nullptr;
    throw EInvalidCast("Invalid class typecast");
  }
  // 5. The form's own frame buttons go; its short cuts reach the component.
  FForm->SetBorderIcons(TBorderIcons{});
  FHookLink = std::make_shared<THookLink>();
  FHookLink->Self = this;
  OldFormShortCut = FForm->OnShortCut;
  FHookLink->OldShortCut = OldFormShortCut;
  FForm->OnShortCut = THookShortCut{FHookLink};
  // The class library's forms neither scroll nor size themselves to their content beyond
  // AutoSize, so there is no AutoScroll to switch off.
  FForm->SetAutoSize(false);
  // 6-7. The system menu, the tray menu and the menu engine every menu of the form pops through.
  FSysMenu = new TPopupMenu(this);
  FSysTrayMenu = new TkxSkinPopupMenu(this);
  FSysTrayMenu->SkinComponent = this;
  BuildTrayMenu();
  SkinMenu = new TkxSkinMenu(this, FForm);
  MagneticSize = 5;
  // 8. The hook.
  if (!Designing()) {
    OldWindowProc = FForm->WindowProc;
    FHookLink->Old = OldWindowProc;
    FForm->WindowProc = THookProc{FHookLink};
    if (FForm->HandleAllocated()) FForm->RecreateWnd();
  }
}

TkxVelara::~TkxVelara() {
  delete FQuickButtons;
  FQuickButtons = nullptr;
  // The application's own message handler comes back when the form goes in menu mode.
  RemoveAppHook();
  ClearObjects();
  if (FForm && FHookLink) {
    FHookLink->Self = nullptr;
    FHookLink->Old = OldWindowProc;
    // At the head of the chain the procedure this component replaced comes back. Below a hook
    // installed later, the link stays in that hook's chain and passes messages on from now on,
    // so removing that hook later restores a working chain.
    if (!Designing() && HookAtHead()) FForm->WindowProc = OldWindowProc;
    if (FForm->OnShortCut.target<THookShortCut>() &&
        FForm->OnShortCut.target<THookShortCut>()->Link == FHookLink)
      FForm->OnShortCut = OldFormShortCut;
  }
  delete FDefCaptionFont;
  delete FDefInActiveCaptionFont;
  delete FLogoBitMap;
  delete RMTop;
  delete RMBottom;
  delete RMLeft;
  delete RMRight;
  // The timers and layer managers are owned components: they go now, while the frame objects'
  // host still exists.
  DestroyComponents();
  MouseTimer = MorphTimer = AnimateTimer = nullptr;
  FLayerManager = FMenuLayerManager = nullptr;
  // FRgn is the window's once SetWindowRgn took it: the window frees it with its handle.
  FRgn = nullptr;
  delete FIcon;
  FIcon = nullptr;
}

bool TkxVelara::HookAtHead() const {
  const auto* h = FForm ? FForm->WindowProc.target<THookProc>() : nullptr;
  return h && h->Link == FHookLink;
}

void TkxVelara::InstallHook() {
  if (!FForm || !FHookLink || HookAtHead()) return;
  FForm->WindowProc = THookProc{FHookLink};
}

void TkxVelara::RepaintFrame() {
  if (FForm && FForm->HandleAllocated()) SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
}

void TkxVelara::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FMSD) FMSD = nullptr;
  if (AComponent == FSystemMenu) FSystemMenu = nullptr;
  if (AComponent == FMainMenuBar) FMainMenuBar = nullptr;
  if (AComponent == SkinMenu) SkinMenu = nullptr;
  if (AComponent == FSysMenu) FSysMenu = nullptr;
  if (AComponent == FSysTrayMenu) FSysTrayMenu = nullptr;
  if (AComponent == FStatusBar) FStatusBar = nullptr;
  if (AComponent == FQuickImageList) FQuickImageList = nullptr;
  if (AComponent == FTrayIcon) FTrayIcon = nullptr;
}

void TkxVelara::Loaded() { TComponent::Loaded(); }

// ---- properties -------------------------------------------------------------------------------------

void TkxVelara::SetUseRibbon(bool Value) {
  FUseRibbon = Value;
  if (Value && !DesigningOrLoading()) SetSkinnableForm(false);
}

void TkxVelara::SetQuickButtons(TkxQuickButtonItems* Value) { FQuickButtons->Assign(Value); }

// The components pointed at may live on other forms: each is asked to tell of its end.
void TkxVelara::SetQuickImageList(TCustomImageList* Value) {
  FQuickImageList = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxVelara::SetStatusBar(TkxSkinStatusBar* Value) {
  FStatusBar = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxVelara::SetMaxMenuItemsInWindow(int32_t Value) {
  if (Value < 0) return;
  FMaxMenuItemsInWindow = Value;
}

void TkxVelara::SetLogoBitMap(TBitmap* Value) {
  if (Value)
    FLogoBitMap->Assign(Value);
  else
    FLogoBitMap->Assign(nullptr);
}

void TkxVelara::SetShowIcon(bool Value) {
  FShowIcon = Value;
  if (!DesigningOrLoading()) RepaintFrame();
}

void TkxVelara::SetAlphaBlend(bool Value) {
  if (FAlphaBlend == Value) return;
  FAlphaBlend = Value;
  if (!ComponentState().Empty() || !FIsLayerEnabled || !FForm || !FForm->HandleAllocated()) return;
  HWND h = FForm->Handle();
  const LONG_PTR ex = GetWindowLongPtr(h, GWL_EXSTYLE);
  if (Value) {
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtr(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAlpha(h, FAlphaBlendValue);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongPtr(h, GWL_EXSTYLE, ex & ~LONG_PTR(WS_EX_LAYERED));
  }
}

void TkxVelara::SetAlphaBlendValue(uint8_t Value) {
  if (FAlphaBlendValue == Value) return;
  FAlphaBlendValue = Value;
  if (FAlphaBlend && ComponentState().Empty() && FIsLayerEnabled && FForm && FForm->HandleAllocated())
    SetLayeredWindowAlpha(FForm->Handle(), Value);
}

void TkxVelara::SetDefCaptionFont(TFont* Value) {
  FDefCaptionFont->Assign(Value);
  if (!DesigningOrLoading() && !FSkinSupport) RepaintFrame();
}

void TkxVelara::SetDefInActiveCaptionFont(TFont* Value) {
  FDefInActiveCaptionFont->Assign(Value);
  if (!DesigningOrLoading() && !FSkinSupport) RepaintFrame();
}

void TkxVelara::SetSystemMenu(TPopupMenu* Value) {
  FSystemMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxVelara::SetSkinData(TkxSkinData* Value) {
  FSD = Value;
  if (FSysTrayMenu) FSysTrayMenu->SetSkinData(Value);
  if (Value) {
    Value->FreeNotification(this);
    FSkinnableForm = Value->SkinnableForm() && !FUseRibbon;
  }
  if (!Designing()) ApplySkin();
}

void TkxVelara::SetMenusSkinData(TkxSkinData* Value) {
  FMSD = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxVelara::SetBorderIcons(TkxBorderIcons Value) {
  FBorderIcons = Value;
  if (DesigningOrLoading()) return;
  UpdateCaptionButtons();
  RepaintFrame();
}

int32_t TkxVelara::RealHeight() const {
  if (FRollUpState) return OldHeight;
  return FFormHeight;
}

void TkxVelara::SetRealHeight(int32_t Value) { OldHeight = Value; }

// ---- form lookups -------------------------------------------------------------------------------------

TkxVelara* FindSkinForm(TCustomForm* Form) {
  if (!Form) return nullptr;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* v = dynamic_cast<TkxVelara*>(Form->Components(i))) return v;
  return nullptr;
}

// The class library has no MDI forms: no main form has MDI children.
TkxVelara* FindMaximizedChildSkinForm() { return nullptr; }
TkxVelara* FindActiveChildSkinForm() { return nullptr; }

// ---- streaming ----------------------------------------------------------------------------------------

void RegisterVelaraFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxQuickButtonItem, TCollectionItem>("TkxQuickButtonItem")
      .Integer("ImageIndex", &TkxQuickButtonItem::SetImageIndex)
      .String("Hint", &TkxQuickButtonItem::Hint)
      .Boolean("Enabled", &TkxQuickButtonItem::SetEnabled)
      .Boolean("Visible", &TkxQuickButtonItem::SetVisible)
      .Event<TNotifyEvent>("OnClick", &TkxQuickButtonItem::OnClick);
  RegisterTrayIconFormClasses();
  using V = TkxVelara;
  RegisterFormClass<TkxVelara, TComponent>("TkxVelara")
      .Reference<TkxTrayIcon>("TrayIcon", &V::SetTrayIcon)
      .Boolean("UseRibbon", &V::SetUseRibbon)
      .Collection("QuickButtons", &V::QuickButtons)
      .Reference<TCustomImageList>("QuickImageList", &V::SetQuickImageList)
      .Boolean("QuickButtonsShowHint", &V::QuickButtonsShowHint)
      .Boolean("ClientInActiveEffect", &V::ClientInActiveEffect)
      .Enum<TkxClientInActiveEffect>("ClientInActiveEffectType", &V::ClientInActiveEffectType,
                                     {{"kxieSemiTransparent", kxieSemiTransparent}, {"kxieBlur", kxieBlur}})
      .Boolean("DisableSystemMenu", &V::DisableSystemMenu)
      .Boolean("AlwaysResize", &V::AlwaysResize)
      .Enum<TkxPositionInMonitor>("PositionInMonitor", &V::PositionInMonitor,
                                  {{"kxpDefault", kxpDefault},
                                   {"kxpScreenCenter", kxpScreenCenter},
                                   {"kxpDesktopCenter", kxpDesktopCenter}})
      .Reference<TkxSkinStatusBar>("StatusBar", &V::SetStatusBar)
      .Boolean("UseFormCursorInNCArea", &V::UseFormCursorInNCArea)
      .Integer("MaxMenuItemsInWindow", &V::SetMaxMenuItemsInWindow)
      .Integer("ClientWidth", &V::ClientWidth)
      .Integer("ClientHeight", &V::ClientHeight)
      .Boolean("HideCaptionButtons", &V::HideCaptionButtons)
      .Boolean("AlwaysShowInTray", &V::AlwaysShowInTray)
      .Object("LogoBitMap", &V::LogoBitMap)
      .Boolean("LogoBitMapTransparent", &V::LogoBitMapTransparent)
      .Boolean("AlwaysMinimizeToTray", &V::AlwaysMinimizeToTray)
      .Boolean("ShowIcon", &V::SetShowIcon)
      .Boolean("MaximizeOnFullScreen", &V::MaximizeOnFullScreen)
      .Boolean("AlphaBlend", &V::SetAlphaBlend)
      .Boolean("AlphaBlendAnimation", &V::AlphaBlendAnimation)
      .Integer("AlphaBlendValue",
               [](V* v, int32_t Value) {
                 if (Value < 0 || Value > 255) throw EFormValueError("AlphaBlendValue is 0..255");
                 v->SetAlphaBlendValue(uint8_t(Value));
               })
      .Boolean("ShowObjectHint", &V::ShowObjectHint)
      .Boolean("UseDefaultObjectHint", &V::UseDefaultObjectHint)
      .Boolean("MenusAlphaBlend", &V::MenusAlphaBlend)
      .Boolean("MenusAlphaBlendAnimation", &V::MenusAlphaBlendAnimation)
      .Integer("MenusAlphaBlendValue",
               [](V* v, int32_t Value) {
                 if (Value < 0 || Value > 255) throw EFormValueError("MenusAlphaBlendValue is 0..255");
                 v->MenusAlphaBlendValue = uint8_t(Value);
               })
      .Object("DefCaptionFont", &V::DefCaptionFont)
      .Object("DefInActiveCaptionFont", &V::DefInActiveCaptionFont)
      .Boolean("UseDefaultSysMenu", &V::UseDefaultSysMenu)
      .Reference<TPopupMenu>("SystemMenu", &V::SetSystemMenu)
      .Reference<TkxSkinMainMenuBar>("MainMenuBar", &V::SetMainMenuBar)
      .Reference<TkxSkinData>("SkinData", &V::SetSkinData)
      .Reference<TkxSkinData>("MenusSkinData", &V::SetMenusSkinData)
      .Integer("MinHeight", &V::MinHeight)
      .Integer("MinWidth", &V::MinWidth)
      .Integer("MaxHeight", &V::MaxHeight)
      .Integer("MaxWidth", &V::MaxWidth)
      .Boolean("Magnetic", &V::Magnetic)
      .Integer("MagneticSize",
               [](V* v, int32_t Value) {
                 if (Value < 0 || Value > 255) throw EFormValueError("MagneticSize is 0..255");
                 v->MagneticSize = uint8_t(Value);
               })
      .Set<TkxBorderIcon>("BorderIcons", &V::SetBorderIcons,
                          {{"biSystemMenu", TkxBorderIcon::biSystemMenu},
                           {"biMinimize", TkxBorderIcon::biMinimize},
                           {"biMaximize", TkxBorderIcon::biMaximize},
                           {"biRollUp", TkxBorderIcon::biRollUp},
                           {"biMinimizeToTray", TkxBorderIcon::biMinimizeToTray}})
      .Event<TkxCaptionPaintEvent>("OnCaptionPaint", &V::OnCaptionPaint)
      .Event<TNotifyEvent>("OnChangeSkinData", &V::OnChangeSkinData)
      .Event<TNotifyEvent>("OnBeforeChangeSkinData", &V::OnBeforeChangeSkinData)
      .Event<TNotifyEvent>("OnAfterChangeSkinData", &V::OnAfterChangeSkinData)
      .Event<TkxMouseUpEvent>("OnMouseUpEvent", &V::OnMouseUpEvent)
      .Event<TkxMouseDownEvent>("OnMouseDownEvent", &V::OnMouseDownEvent)
      .Event<TkxMouseMoveEvent>("OnMouseMoveEvent", &V::OnMouseMoveEvent)
      .Event<TkxMouseEnterEvent>("OnMouseEnterEvent", &V::OnMouseEnterEvent)
      .Event<TkxMouseLeaveEvent>("OnMouseLeaveEvent", &V::OnMouseLeaveEvent)
      .Event<TkxPaintEvent>("OnPaintEvent", &V::OnPaintEvent)
      .Event<TNotifyEvent>("OnActivate", &V::OnActivate)
      .Event<TNotifyEvent>("OnDeActivate", &V::OnDeActivate)
      .Event<TNotifyEvent>("OnSkinMenuOpen", &V::OnSkinMenuOpen)
      .Event<TNotifyEvent>("OnSkinMenuClose", &V::OnSkinMenuClose)
      .Event<TNotifyEvent>("OnChangeRollUpState", &V::OnChangeRollUpState)
      .Event<TNotifyEvent>("OnMainMenuEnter", &V::OnMainMenuEnter)
      .Event<TNotifyEvent>("OnMainMenuExit", &V::OnMainMenuExit)
      .Event<TNotifyEvent>("OnMinimizeToTray", &V::OnMinimizeToTray)
      .Event<TNotifyEvent>("OnRestoreFromTray", &V::OnRestoreFromTray)
      .Event<TkxActivateCustomObjectEvent>("OnActivateCustomObject", &V::OnActivateCustomObject)
      .Event<TNotifyEvent>("OnMinimize", &V::OnMinimize)
      .Event<TNotifyEvent>("OnRestore", &V::OnRestore)
      .Event<TNotifyEvent>("OnMaximize", &V::OnMaximize)
      .Event<TShortCutEvent>("OnShortCut", &V::OnShortCut)
      .Event<TkxOnAcceptToMDITabsBar>("OnAcceptToMDITabsBar", &V::OnAcceptToMDITabsBar);
}
