// The frame-object host: the hot object under the mouse, the pressed object holding the mouse,
// forwarding of the mouse, the mouse poll and the morph and animation steps, the caption's
// activation, the caption buttons' states and hints, the objects by name and their events.
#include <algorithm>

#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxSkinHint.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

bool IsCaption(TkxActiveSkinObject* O) { return dynamic_cast<TkxSkinCaptionObject*>(O) != nullptr; }

// The form's link to its hint component: forgets the component when it is freed.
class TkxHintLink final : public TComponent {
public:
  TkxHintLink() : TComponent(nullptr) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == Hint) Hint = nullptr;
  }
  TkxSkinHint* Hint = nullptr;
};

// The caption buttons' hints: the string-table key and the library's own text.
struct TkxObjectHint {
  TkxStdCommand Command;
  const char* Key;
  const char* Text;
};
constexpr TkxObjectHint kObjectHints[] = {
    {cmClose, "CLOSEBUTTON_HINT", "Close"},           {cmMaximize, "MAXBUTTON_HINT", "Maximize"},
    {cmMinimize, "MINBUTTON_HINT", "Minimize"},       {cmSysMenu, "MENUBUTTON_HINT", "System menu"},
    {cmRollUp, "ROLLUPBUTTON_HINT", "Roll Up"},       {cmMinimizeToTray, "TRAYBUTTON_HINT", "Minimize to Tray"},
};

}  // namespace

// ---- activity and coordinates -------------------------------------------------------------------

bool TkxVelara::GetFormActive() {
  if (PreviewMode) return true;
  if (!FForm) return false;
  // MDI forms keep their own flag (their activation comes through the MDI client).
  if (FForm->FormStyle() == fsMDIForm || FForm->FormStyle() == fsMDIChild) return FFormActive;
  return FForm->Active();
}

void TkxVelara::ScreenToFrame(TPoint& P) {
  if (!FForm) return;
  // MDI children take the point through their client origin once MDI support comes.
  P.x -= FForm->Left();
  P.y -= FForm->Top();
}

// ---- the hot object -----------------------------------------------------------------------------

void TkxVelara::UpdateActiveObject(int32_t X, int32_t Y, bool InFrame) {
  // The hook switches the mouse poll on right after this call: its handler must be in place.
  EnsureHostTimers();
  if (ObjectList.empty() || !FForm || !GetFormActive() || FSizeMove || FBorderLayerChangeSize || PreviewMode) return;
  if (FForm->FormStyle() == fsMDIChild && FWindowState == wsMaximized) return;
  if (FForm->BorderStyle() == bsNone) return;
  const int32_t Count = int32_t(ObjectList.size());
  OldActiveObject = ActiveObject;
  // A caption may span the whole bar: a button lying on it wins over it.
  int32_t Found = -1, FoundCaption = -1;
  for (int32_t i = 0; i < Count; ++i) {
    TkxActiveSkinObject* O = ObjectList[size_t(i)];
    if (O->Enabled && O->Visible && PtInRectRule(O->ObjectRect, X, Y) &&
        O->PointInMask(X - O->ObjectRect.left, Y - O->ObjectRect.top)) {
      if (!IsCaption(O)) {
        Found = i;
        break;
      }
      if (FoundCaption == -1) FoundCaption = i;
    }
  }
  if (Found == -1) Found = FoundCaption;
  ActiveObject = InFrame ? Found : -1;
  // A pressed object keeps the mouse: no other object turns hot meanwhile.
  if (MouseCaptureObject != -1 && MouseCaptureObject != Found) ActiveObject = -1;
  if (ActiveObject >= Count) ActiveObject = -1;
  if (OldActiveObject >= Count) OldActiveObject = -1;
  if (ActiveObject == OldActiveObject) return;
  if (OldActiveObject != -1) {
    TkxActiveSkinObject* O = ObjectList[size_t(OldActiveObject)];
    if (O->Enabled && O->Visible) O->MouseLeave();
    if (OldActiveObject < int32_t(ObjectList.size())) {
      O = ObjectList[size_t(OldActiveObject)];
      if (ShowObjectHint && SkinHint() && !O->Hint.empty()) SkinHint()->HideHint();
    }
  }
  if (ActiveObject != -1 && ActiveObject < int32_t(ObjectList.size())) {
    TkxActiveSkinObject* O = ObjectList[size_t(ActiveObject)];
    if (O->Enabled && O->Visible) {
      O->MouseEnter();
      if (ActiveObject < int32_t(ObjectList.size()) && O == ObjectList[size_t(ActiveObject)] && ShowObjectHint &&
          SkinHint() && !O->Hint.empty())
        SkinHint()->ActivateHint2(O->Hint);
    }
  }
}

TkxSkinHint* TkxVelara::SkinHint() const {
  auto* link = static_cast<TkxHintLink*>(FSkinHintLink.get());
  return link ? link->Hint : nullptr;
}

void TkxVelara::SetSkinHint(TkxSkinHint* Value) {
  if (!FSkinHintLink) FSkinHintLink = std::make_unique<TkxHintLink>();
  auto* link = static_cast<TkxHintLink*>(FSkinHintLink.get());
  if (link->Hint == Value) return;
  if (link->Hint) link->Hint->RemoveFreeNotification(link);
  link->Hint = Value;
  if (Value) Value->FreeNotification(link);
}

// ---- forwarding ---------------------------------------------------------------------------------

void TkxVelara::ObjectsMouseMove(int32_t X, int32_t Y) {
  const int32_t Count = int32_t(ObjectList.size());
  const int32_t I = MouseCaptureObject != -1 ? MouseCaptureObject : ActiveObject;
  if (I >= 0 && I < Count) ObjectList[size_t(I)]->MouseMove(X, Y);
}

void TkxVelara::ObjectsMouseDown(TMouseButton Button, int32_t X, int32_t Y) {
  if (ActiveObject < 0 || ActiveObject >= int32_t(ObjectList.size())) return;
  TkxActiveSkinObject* O = ObjectList[size_t(ActiveObject)];
  // The caption does not take the mouse, so the form's own dragging goes on.
  if (!IsCaption(O) && FForm && FForm->HandleAllocated()) SetCapture(FForm->Handle());
  MouseCaptureObject = ActiveObject;
  O->MouseDown(X, Y, Button);
}

void TkxVelara::ObjectsMouseUp(TMouseButton Button, int32_t X, int32_t Y) {
  if (MouseCaptureObject < 0 || MouseCaptureObject >= int32_t(ObjectList.size())) {
    MouseCaptureObject = -1;
    return;
  }
  TkxActiveSkinObject* O = ObjectList[size_t(MouseCaptureObject)];
  // Cleared before the release runs: a close command may end the form and this component.
  MouseCaptureObject = -1;
  if (!IsCaption(O)) ReleaseCapture();
  O->MouseUp(X, Y, Button);
}

void TkxVelara::ObjectsDblClick() {
  if (ActiveObject >= 0 && ActiveObject < int32_t(ObjectList.size())) ObjectList[size_t(ActiveObject)]->DblClick();
}

void TkxVelara::ResetObjectStates() {
  EnsureHostTimers();
  for (TkxActiveSkinObject* O : ObjectList) {
    if (auto* A = dynamic_cast<TkxSkinAnimateObject*>(O)) {
      A->FMouseIn = false;
      A->Active = false;
      A->FFrame = 1;
    } else if (!IsCaption(O)) {
      O->Active = false;
      O->FMouseIn = false;
      O->FMorphSteps = 0;
    }
  }
}

// ---- timers -------------------------------------------------------------------------------------

// The component makes the timers; their handlers are the host's, put in place on first use here
// (and the timers made here when the component has not made them).
void TkxVelara::EnsureHostTimers() {
  if (ComponentState().Contains(csDestroying)) return;
  auto Make = [this](TTimer*& T, uint32_t Interval, void (TkxVelara::*Tick)()) {
    if (!T) {
      T = new TTimer(this);
      T->SetEnabled(false);
      T->SetInterval(Interval);
    }
    if (!T->OnTimer) T->SetOnTimer([this, Tick](TObject*) { (this->*Tick)(); });
  };
  Make(MouseTimer, 50, &TkxVelara::MouseTimerTick);
  Make(MorphTimer, 25, &TkxVelara::MorphTimerTick);
  Make(AnimateTimer, 25, &TkxVelara::AnimateTimerTick);
}

void TkxVelara::EnableMouseTimer() {
  EnsureHostTimers();
  if (MouseTimer) MouseTimer->SetEnabled(true);
}

void TkxVelara::EnableMorphTimer() {
  EnsureHostTimers();
  if (MorphTimer) MorphTimer->SetEnabled(true);
}

void TkxVelara::EnableAnimateTimer() {
  EnsureHostTimers();
  if (AnimateTimer) AnimateTimer->SetEnabled(true);
}

void TkxVelara::MouseTimerTick() {
  if (!FForm || !GetFormActive()) return;
  TPoint P{};
  GetCursorPos(&P);
  if (!FForm->HandleAllocated() || WindowFromPoint(P) != FForm->Handle()) {
    MouseTimer->SetEnabled(false);
    UpdateActiveObject(-1, -1, false);
    return;
  }
  if (FSizeMove || FBorderLayerChangeSize) {
    MouseTimer->SetEnabled(false);
    return;
  }
  ScreenToFrame(P);
  if (!PtInRectRule(NewClRect, P.x, P.y))
    UpdateActiveObject(P.x, P.y, true);
  else if (ActiveObject != -1)
    UpdateActiveObject(-1, -1, true);
}

void TkxVelara::MorphTimerTick() {
  bool Stepped = false;
  for (size_t i = 0; i < ObjectList.size(); ++i) {
    TkxActiveSkinObject* O = ObjectList[i];
    if (O->EnableMorphing() && O->CanMorphing()) {
      O->DoMorphing();
      Stepped = true;
    }
  }
  if (!Stepped) MorphTimer->SetEnabled(false);
}

void TkxVelara::AnimateTimerTick() {
  bool Stepped = false;
  for (size_t i = 0; i < ObjectList.size(); ++i) {
    TkxActiveSkinObject* O = ObjectList[i];
    if (auto* A = dynamic_cast<TkxSkinAnimateObject*>(O)) {
      if (A->Active && !(A->FDown && !IsEmptyRect(A->DownSkinRect))) {
        A->ChangeFrame();
        Stepped = true;
      }
    } else if (auto* C = dynamic_cast<TkxSkinCaptionObject*>(O); C && C->EnableAnimation()) {
      if (C->FIncTime < C->AnimateInterval) {
        C->FIncTime += 25;
        Stepped = true;
      } else if (C->Active && C->CurrentFrame <= C->FrameCount) {
        ++C->CurrentFrame;
        DrawSkinObject(C);
        C->FIncTime = 25;
        Stepped = true;
      } else if (!C->Active && C->CurrentFrame > 0) {
        --C->CurrentFrame;
        DrawSkinObject(C);
        C->FIncTime = 25;
        Stepped = true;
      }
    }
  }
  if (!Stepped) AnimateTimer->SetEnabled(false);
}

// ---- the caption and the caption buttons ------------------------------------------------------

void TkxVelara::UpdateCaptionActive(bool AAnimate) {
  const bool A = GetFormActive();
  for (TkxActiveSkinObject* O : ObjectList) {
    auto* C = dynamic_cast<TkxSkinCaptionObject*>(O);
    if (!C || C->Active == A) continue;
    C->Active = A;
    if (AAnimate) {
      if (C->EnableAnimation()) {
        C->FIncTime = 25;
        C->CurrentFrame = A ? 1 : (C->InActiveAnimation ? C->FrameCount : 0);
        EnableAnimateTimer();
      }
      if (FForm && FForm->HandleAllocated()) SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
      if (C->EnableMorphing()) EnableMorphTimer();
    } else if (C->EnableMorphing()) {
      C->SetMorphKf(A ? 1.0 : 0.0);
    }
    break;
  }
  if (A) {
    if (OnActivate) OnActivate(this);
  } else if (OnDeActivate) {
    OnDeActivate(this);
  }
}

void TkxVelara::UpdateCaptionButtons() {
  // Skin application switches the mouse poll on after laying out the buttons.
  EnsureHostTimers();
  if (ObjectList.empty()) return;
  for (TkxActiveSkinObject* O : ObjectList) {
    auto* S = dynamic_cast<TkxSkinStdButtonObject*>(O);
    auto* A = dynamic_cast<TkxSkinAnimateObject*>(O);
    if (!S && !A) continue;
    if (HideCaptionButtons) {
      O->Enabled = false;
      O->Visible = !O->SkinRectInAPicture;
      continue;
    }
    if (A && !A->ButtonStyle) continue;
    const TkxStdCommand Command = S ? S->Command : A->Command;
    bool On = false;
    switch (Command) {
      case cmMaximize: On = FBorderIcons.Contains(TkxBorderIcon::biMaximize); break;
      case cmMinimize: On = FBorderIcons.Contains(TkxBorderIcon::biMinimize); break;
      case cmRollUp: On = FBorderIcons.Contains(TkxBorderIcon::biRollUp); break;
      case cmMinimizeToTray: On = FBorderIcons.Contains(TkxBorderIcon::biMinimizeToTray); break;
      case cmSysMenu: On = FBorderIcons.Contains(TkxBorderIcon::biSystemMenu) && !DisableSystemMenu; break;
      case cmDefault: {
        bool ObjectVisible = false;
        if (OnActivateCustomObject) OnActivateCustomObject(O->IDName, ObjectVisible);
        O->Visible = ObjectVisible;
        continue;
      }
      case cmClose: continue;
    }
    O->Enabled = On;
    // A button drawn into the frame picture cannot be hidden: it only stops answering.
    O->Visible = O->SkinRectInAPicture ? On : true;
  }
  UpdateObjectHints();
}

void TkxVelara::UpdateObjectHints() {
  if (!UseDefaultObjectHint || !FSD) return;
  TkxResourceStrData* Strings = FSD->ResourceStrData();
  auto Text = [Strings](const char* Key, const char* Own) { return Strings ? Strings->GetResStr(Key) : std::string(Own); };
  for (TkxActiveSkinObject* O : ObjectList) {
    auto* S = dynamic_cast<TkxSkinStdButtonObject*>(O);
    auto* A = dynamic_cast<TkxSkinAnimateObject*>(O);
    if (!S && !A) continue;
    const TkxStdCommand Command = S ? S->Command : A->Command;
    auto It = std::find_if(std::begin(kObjectHints), std::end(kObjectHints),
                           [Command](const TkxObjectHint& H) { return H.Command == Command; });
    if (It == std::end(kObjectHints)) continue;  // a custom button keeps its hint
    O->Hint = Text(It->Key, It->Text);
    const std::string Restore = Text("RESTORE_HINT", "Restore");
    (S ? S->FTempHint : A->FTempHint) = O->Hint;
    (S ? S->RestoreHint : A->RestoreHint) = Restore;
  }
}

// ---- objects by name ----------------------------------------------------------------------------

int32_t TkxVelara::GetIndex(const std::string& AIDName) const {
  for (size_t i = 0; i < ObjectList.size(); ++i)
    if (ObjectList[i]->IDName == AIDName) return int32_t(i);
  return -1;
}

void TkxVelara::SetEnabled(const std::string& AIDName, bool Value) {
  const int32_t I = GetIndex(AIDName);
  if (I != -1) ObjectList[size_t(I)]->Enabled = Value;
}

void TkxVelara::UserObjectDraw(const std::string& AIDName) {
  const int32_t I = GetIndex(AIDName);
  if (I == -1 || !FForm) return;
  if (auto* U = dynamic_cast<TkxUserObject*>(ObjectList[size_t(I)])) U->Draw(FForm->Canvas(), true);
}

void TkxVelara::LinkMenu(const std::string& AIDName, TMenu* AMenu, bool APopupUp) {
  const int32_t I = GetIndex(AIDName);
  if (I == -1) return;
  TMenuItem* Items = AMenu ? AMenu->Items() : nullptr;
  if (auto* B = dynamic_cast<TkxSkinButtonObject*>(ObjectList[size_t(I)])) {
    B->MenuItem = Items;
    B->FPopupUp = APopupUp;
  } else if (auto* A = dynamic_cast<TkxSkinAnimateObject*>(ObjectList[size_t(I)]); A && A->ButtonStyle) {
    A->MenuItem = Items;
    A->FPopupUp = APopupUp;
  }
}

// ---- menus of the objects -----------------------------------------------------------------------

void TkxVelara::ObjectMenuClosed() {
  for (TkxActiveSkinObject* O : ObjectList) {
    auto* B = dynamic_cast<TkxSkinButtonObject*>(O);
    if (B && B->MenuItem && B->FDown) {
      B->SetDown(false);
      break;
    }
  }
  for (TkxActiveSkinObject* O : ObjectList) {
    auto* A = dynamic_cast<TkxSkinAnimateObject*>(O);
    if (A && A->MenuItem && A->FMenuTracking) {
      A->Active = true;
      A->FFrame = A->CountFrames;
      A->FDown = false;
      A->FMenuTracking = false;
      A->Increment = false;
      EnableAnimateTimer();
      break;
    }
  }
}

// ---- commands -----------------------------------------------------------------------------------

void TkxVelara::DoStdCommand(int32_t Command) {
  switch (TkxStdCommand(Command)) {
    case cmClose:
      UpdateActiveObject(-1, -1, false);
      if (FForm) FForm->Close();
      break;
    case cmMaximize:
      UpdateActiveObject(-1, -1, false);
      SetWindowState(WindowState() == wsMaximized ? wsNormal : wsMaximized);
      break;
    case cmMinimize:
      UpdateActiveObject(-1, -1, false);
      if (AlwaysMinimizeToTray)
        MinimizeToTray();
      else
        SetWindowState(WindowState() == wsMinimized ? wsNormal : wsMinimized);
      break;
    case cmSysMenu: ShowSystemMenuUnder(); break;
    case cmDefault: break;
    case cmRollUp: SetRollUpState(!RollUpState()); break;
    case cmMinimizeToTray:
      UpdateActiveObject(-1, -1, false);
      MinimizeToTray();
      break;
  }
}

// ---- the objects' events ------------------------------------------------------------------------

void TkxVelara::DoObjectPaint(const std::string& IDName, TCanvas* Canvas, const TRect& ObjectRect) {
  if (OnPaintEvent) OnPaintEvent(IDName, Canvas, ObjectRect);
}

void TkxVelara::DoObjectMouseUp(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect,
                                TMouseButton Button) {
  if (OnMouseUpEvent) OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TkxVelara::DoObjectMouseDown(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect,
                                  TMouseButton Button) {
  if (OnMouseDownEvent) OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
}

void TkxVelara::DoObjectMouseMove(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect) {
  if (OnMouseMoveEvent) OnMouseMoveEvent(IDName, X, Y, ObjectRect);
}

void TkxVelara::DoObjectMouseEnter(const std::string& IDName) {
  if (OnMouseEnterEvent) OnMouseEnterEvent(IDName);
}

void TkxVelara::DoObjectMouseLeave(const std::string& IDName) {
  if (OnMouseLeaveEvent) OnMouseLeaveEvent(IDName);
}
