// Skin application: the frame objects made from the skin's object records, the form's size and
// frame for the skin, and the walks that tell the form's skinned controls about a skin change.
// Multiple-document forms are not built: their steps are absent. The layered border's steps are
// in kxVelaraLayers.cpp.
#include "classlib/ExtCtrls.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/controls/kxSkinPageControl.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/controls/kxSkinTreeView.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

// The skinned-control classes the change walk re-skins, in the order they are tested: the first
// that matches decides. Anything else is skipped.
template <typename T>
TkxSkinBinding* As(TControl* C) {
  if (auto* t = dynamic_cast<T*>(C)) return static_cast<TkxSkinBinding*>(t);
  return nullptr;
}
using TReskinnable = TkxSkinBinding* (*)(TControl*);
constexpr TReskinnable kReskinned[] = {
    &As<TkxSkinControl>,       &As<TkxGraphicSkinControl>, &As<TkxSkinPageControl>,
    &As<TkxSkinCustomEdit>,    &As<TkxSkinStdLabel>,       &As<TkxSkinLinkLabel>,
    &As<TkxSkinTextLabel>,     &As<TkxSkinCustomTreeView>, &As<TkxSkinBevel>,
    &As<TkxSkinCustomListView>, &As<TkxSkinSplitter>,
};

TkxSkinBinding* Reskinnable(TControl* C) {
  for (TReskinnable as : kReskinned)
    if (TkxSkinBinding* b = as(C)) return b;
  return nullptr;
}

bool Hears(TkxSkinBinding* B, TkxSkinData* SD) { return B && (!SD || B->HearsSkinChange(SD)); }

void BeforeWalk(TkxSkinData* SD, TControl* C) {
  if (TkxSkinBinding* b = As<TkxSkinControl>(C); Hears(b, SD)) b->BeforeChangeSkinData();
  auto* w = dynamic_cast<TWinControl*>(C);
  if (!w) return;
  // By index: a control's answer may add or drop controls.
  for (int i = 0; i < w->ControlCount(); ++i) BeforeWalk(SD, w->Controls(i));
}

void ChangeWalk(TkxSkinData* SD, TControl* C) {
  if (TkxSkinBinding* b = Reskinnable(C); Hears(b, SD)) b->ChangeSkinData();
  auto* w = dynamic_cast<TWinControl*>(C);
  if (!w) return;
  for (int i = 0; i < w->ControlCount(); ++i) ChangeWalk(SD, w->Controls(i));
}

// The frame object a skin record makes; nullptr for records of menus, the menu bar and any
// other kind.
TkxActiveSkinObject* ObjectFor(TkxVelara* Form, TkxDataSkinObject* R) {
  if (dynamic_cast<TkxDataSkinMainMenuItem*>(R) || dynamic_cast<TkxDataSkinMenuItem*>(R) ||
      dynamic_cast<TkxDataSkinMainMenuBarButton*>(R))
    return nullptr;
  if (dynamic_cast<TkxDataSkinStdButton*>(R)) return new TkxSkinStdButtonObject(Form, R);
  if (dynamic_cast<TkxDataSkinButton*>(R)) return new TkxSkinButtonObject(Form, R);
  if (dynamic_cast<TkxDataSkinCaption*>(R)) return new TkxSkinCaptionObject(Form, R);
  if (dynamic_cast<TkxDataSkinAnimate*>(R)) return new TkxSkinAnimateObject(Form, R);
  if (dynamic_cast<TkxDataUserObject*>(R)) return new TkxUserObject(Form, R);
  return nullptr;
}

}  // namespace

void TkxVelara::ApplySkin() {
  if (!FForm) return;
  // 1-3.
  if (FUseRibbon) FSkinnableForm = false;
  OldActiveObject = ActiveObject = MouseCaptureObject = -1;
  FSkinSupport = FSD && !FSD->Empty;
  if (FLayerManager && FLayerManager->IsVisible) FLayerManager->Hide();
  if (FMenuLayerManager && FMenuLayerManager->IsVisible) FMenuLayerManager->Hide();
  LayersApplySkin(true);
  // 4. The frame objects.
  if (FSkinSupport && FSkinnableForm) {
    CreateSkinObjects();
    UpdateCaptionButtons();
  } else {
    ClearObjects();
    FFormWidth = FForm->Width();
    FFormHeight = FForm->Height();
    UpdateWindowRegion(true);
  }
  // 5. The form's own frame buttons show only on its own frame.
  if (FSkinnableForm) {
    if (!FForm->BorderIcons().Empty()) FForm->SetBorderIcons(TBorderIcons{});
  } else {
    TBorderIcons icons;
    if (!HideCaptionButtons) icons.Include(biSystemMenu);
    if (FBorderIcons.Contains(TkxBorderIcon::biMinimize)) icons.Include(biMinimize);
    if (FBorderIcons.Contains(TkxBorderIcon::biMaximize)) icons.Include(biMaximize);
    FForm->SetBorderIcons(icons);
  }
  // 6-7. The size within the limits.
  const int32_t minW = GetMinWidth(), minH = GetMinHeight();
  if (FForm->Width() < minW && FForm->Height() < minH)
    FForm->SetBounds(FForm->Left(), FForm->Top(), minW, minH);
  else if (FForm->Height() < minH)
    FForm->SetHeight(minH);
  else if (FForm->Width() < minW)
    FForm->SetWidth(minW);
  else
    RefreshFormSize();
  if ((FRollUpState || FWindowState == wsMinimized) && FForm->Height() != minH) FForm->SetHeight(minH);
  if (FWindowState == wsMinimized && FForm->Width() != minW) FForm->SetWidth(minW);
  // 8-10.
  FFormWidth = FForm->Width();
  FFormHeight = FForm->Height();
  if (FSkinSupport) UpdateFrame(true);
  FForm->Invalidate();
  UpdateCaptionActive(true);
  EnableMouseTimer();
  if (OnChangeSkinData) OnChangeSkinData(this);
  // 11.
  if (!FRollUpState) {
    if (ClientWidth > 0) FForm->SetClientWidth(ClientWidth);
    if (ClientHeight > 0) FForm->SetClientHeight(ClientHeight);
  }
  // 12.
  LayersApplySkin(false);
}

void TkxVelara::CreateSkinObjects() {
  ClearObjects();
  if (!FSD) return;
  for (const auto& r : FSD->ObjectList)
    if (TkxActiveSkinObject* o = ObjectFor(this, r.get())) ObjectList.push_back(o);
}

void TkxVelara::CreateDefaultObjects() {
  ClearObjects();
  static constexpr struct {
    TkxStdCommand Command;
    const char* IDName;
  } kDefaults[] = {{cmClose, "closebutton"},   {cmMaximize, "maxbutton"},      {cmMinimize, "minbutton"},
                   {cmRollUp, "rollupbutton"}, {cmSysMenu, "sysmenubutton"}, {cmMinimizeToTray, "traybutton"}};
  for (const auto& d : kDefaults) {
    auto* b = new TkxSkinStdButtonObject(this, nullptr);
    b->Command = d.Command;
    b->IDName = d.IDName;
    b->SkinRectInAPicture = true;
    b->SkinRect = b->ActiveSkinRect = b->DownRect = TRect{0, 0, 1, 1};
    ObjectList.push_back(b);
  }
  UpdateCaptionButtons();
}

void TkxVelara::ClearObjects() {
  // Indexes into the list go with it.
  ActiveObject = OldActiveObject = MouseCaptureObject = -1;
  std::vector<TkxActiveSkinObject*> objects;
  objects.swap(ObjectList);
  for (TkxActiveSkinObject* o : objects) delete o;
}

void TkxVelara::SetSkinnableForm(bool Value) {
  if (!FForm) return;
  FFormActive = GetFormActive();
  if (Designing()) return;
  // A maximized form is restored for the switch and maximized again in its new frame.
  bool wasMaximized = false;
  if (FWindowState == wsMaximized && FSkinnableForm) {
    FForm->Hide();
    SetWindowState(wsNormal);
    wasMaximized = true;
  } else if (FForm->WindowState() == wsMaximized && !FSkinnableForm) {
    FForm->SetWindowState(wsNormal);
    FForm->Hide();
    wasMaximized = true;
  }
  FSkinnableForm = Value && !FUseRibbon;
  ApplySkin();
  ChangeControlsSkinData(nullptr, FForm);
  InstallHook();
  // The client area follows the frame that now draws: the layer asks for it again. (Leaving the
  // window as it was when the skinned frame comes back would keep the form's own client rect.)
  if (FForm->HandleAllocated()) FForm->RecreateWnd();
  if (wasMaximized) {
    if (!FSkinnableForm)
      FForm->SetWindowState(wsMaximized);
    else
      SetWindowState(wsMaximized);
    FForm->Show();
  }
}

void TkxVelara::BeforeChangeControlsSkinData(TkxSkinData* ASkinData, TControl* AControl) {
  if (AControl) BeforeWalk(ASkinData, AControl);
}

void TkxVelara::ChangeControlsSkinData(TkxSkinData* ASkinData, TControl* AControl) {
  if (AControl) ChangeWalk(ASkinData, AControl);
}

void TkxVelara::SetFormStyle(TFormStyle FS) {
  if (!FForm || (FS != fsNormal && FS != fsStayOnTop)) return;
  FForm->SetFormStyle(FS);
  ChangeControlsSkinData(nullptr, FForm);
}

void TkxVelara::SetFormBorderStyle(TFormBorderStyle BS) {
  if (!FForm) return;
  FForm->SetBorderStyle(BS);
  ChangeControlsSkinData(nullptr, FForm);
}

// The drop shadow is the window class's CS_DROPSHADOW; on this platform it is a hint to the
// display only.
void TkxVelara::EnableShadow(bool AShowShadow, bool AHideFormBefore) {
  if (!FForm || !FIsLayerEnabled || AShowShadow == FHaveShadow) return;
  FHaveShadow = AShowShadow;
  if (AHideFormBefore) FForm->Hide();
  HWND h = FForm->Handle();
  const DWORD style = GetClassLong(h, GCL_STYLE);
  SetClassLong(h, GCL_STYLE, LONG(AShowShadow ? style | CS_DROPSHADOW : style & ~DWORD(CS_DROPSHADOW)));
  if (AHideFormBefore) FForm->Show();
}
