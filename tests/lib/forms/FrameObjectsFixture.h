#pragma once
// A shown, active form of the test skin's frame size with a skinned-form component and the test
// skin's frame objects placed as the form lays them out, for the frame-object tests. The objects
// are built here from the skin's records (whatever the component built itself is replaced), so
// each test starts from fresh objects in the skin's order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "tests/classlib/ControlTestFixture.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "tests/lib/forms/FormTestSkin.h"

namespace formtest {

// The object the form makes for a record (the caption buttons' class before the plain button's).
inline TkxActiveSkinObject* MakeObject(TkxVelara* V, TkxDataSkinObject* R) {
  if (dynamic_cast<TkxDataSkinStdButton*>(R)) return new TkxSkinStdButtonObject(V, R);
  if (dynamic_cast<TkxDataSkinButton*>(R)) return new TkxSkinButtonObject(V, R);
  if (dynamic_cast<TkxDataSkinCaption*>(R)) return new TkxSkinCaptionObject(V, R);
  if (dynamic_cast<TkxDataSkinAnimate*>(R)) return new TkxSkinAnimateObject(V, R);
  if (dynamic_cast<TkxDataUserObject*>(R)) return new TkxUserObject(V, R);
  return nullptr;
}

class FrameObjectTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    sd = new TkxSkinData(owner.get());
    FillFormTestSkin(*sd);
    form = new TForm(owner.get());
    form->SetBorderStyle(bsSingle);
    form->SetBounds(100, 100, kFrameW, kFrameH);
    form->SetCaption("Caption");
    vlr = new TkxVelara(form);
    vlr->SetSkinData(sd);
    form->Show();
    Pump();
    RebuildObjects();
  }
  void TearDown() override {
    ClearObjects();
    ControlTest::TearDown();
  }

  void ClearObjects() {
    if (!vlr) return;
    for (TkxActiveSkinObject* O : vlr->ObjectList) delete O;
    vlr->ObjectList.clear();
    vlr->ActiveObject = vlr->OldActiveObject = vlr->MouseCaptureObject = -1;
  }
  void RebuildObjects() {
    ClearObjects();
    for (auto& R : sd->ObjectList)
      if (TkxActiveSkinObject* O = MakeObject(vlr, R.get())) {
        O->ObjectRect = PlaceOf(O->IDName);
        vlr->ObjectList.push_back(O);
      }
    vlr->NewClRect = kClRect;
  }

  TkxActiveSkinObject* Obj(const std::string& Name) {
    const int32_t I = vlr->GetIndex(Name);
    return I == -1 ? nullptr : vlr->ObjectList[size_t(I)];
  }
  template <typename T>
  T* As(const std::string& Name) {
    return dynamic_cast<T*>(Obj(Name));
  }
  // The centre of an object in window coordinates, and on the screen.
  TPoint Centre(const std::string& Name) {
    const TRect R = PlaceOf(Name);
    return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
  }
  TPoint ScreenCentre(const std::string& Name) {
    TPoint P = Centre(Name);
    return TPoint{P.x + form->Left(), P.y + form->Top()};
  }
  // Makes the object under its centre hot, as the mouse over it does.
  void Hover(const std::string& Name) {
    const TPoint P = Centre(Name);
    win::headless::MoveMouse(P.x + form->Left(), P.y + form->Top());
    Pump();
    vlr->UpdateActiveObject(P.x, P.y, true);
  }
  std::string HotName() {
    const int32_t I = vlr->ActiveObject;
    return I < 0 ? std::string("none") : vlr->ObjectList[size_t(I)]->IDName;
  }
  // One timer period at a time: the layer posts one WM_TIMER per timer however long the step.
  void Step(int ms) {
    clock.Advance(uint64_t(ms));
    Pump();
  }
  void Run(int ms) {
    for (; ms > 0; ms -= 25) Step(std::min(ms, 25));
  }
  // Every object event, in order, as "event:IDName".
  void LogEvents() {
    vlr->OnMouseEnterEvent = [this](const std::string& N) { events.push_back("enter:" + N); };
    vlr->OnMouseLeaveEvent = [this](const std::string& N) { events.push_back("leave:" + N); };
    vlr->OnMouseDownEvent = [this](const std::string& N, int32_t, int32_t, const TRect&, TMouseButton) {
      events.push_back("down:" + N);
    };
    vlr->OnMouseUpEvent = [this](const std::string& N, int32_t, int32_t, const TRect&, TMouseButton) {
      events.push_back("up:" + N);
    };
    form->OnClose = [this](TObject*, TCloseAction&) { events.push_back("close"); };
  }

  TkxSkinData* sd = nullptr;
  TForm* form = nullptr;
  TkxVelara* vlr = nullptr;
  std::vector<std::string> events;
};

}  // namespace formtest
