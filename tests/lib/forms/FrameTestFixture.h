#pragma once
// Forms with a skinned-form component on the headless backend, for the frame and state tests: a
// monitor of known size, a frame skin made in code whose geometry the tests reason about, and
// frame objects the test places itself (the list is emptied before each case and at the end).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "tests/classlib/ControlTestFixture.h"

namespace frametest {

using namespace win;

// A 100 x 60 frame picture: corners at (30, 25), (70, 25), (30, 55), (70, 55), the client part
// (5, 25, 95, 55), sizing zones' inner corners at (10, 10), (90, 10), (10, 50), (90, 50), a
// 4-pixel sizing border, no mask.
inline void MakeFrameSkin(TkxSkinData& SD) {
  SD.FPicture->SetPixelFormat(pf24bit);
  SD.FPicture->SetSize(100, 60);
  SD.FPicture->Canvas()->Brush()->SetColor(TColor(0x806040));
  SD.FPicture->Canvas()->FillRect(TRect{0, 0, 100, 60});
  SD.LTPoint = TPoint{30, 25};
  SD.RTPoint = TPoint{70, 25};
  SD.LBPoint = TPoint{30, 55};
  SD.RBPoint = TPoint{70, 55};
  SD.ClRect = TRect{5, 25, 95, 55};
  SD.HitTestLTPoint = TPoint{10, 10};
  SD.HitTestRTPoint = TPoint{90, 10};
  SD.HitTestLBPoint = TPoint{10, 50};
  SD.HitTestRBPoint = TPoint{90, 50};
  SD.BorderW = 4;
  SD.Empty = false;
}

class FrameTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 728}, true}});
  }
  void TearDown() override {
    for (TkxVelara* v : velaras) {
      DropObjects(v);
      // A component that did not make its mask strips at construction does not free them, nor
      // the icon copy: the frame made them on first use.
      if (std::find(bareVelaras.begin(), bareVelaras.end(), v) != bareVelaras.end()) {
        for (TBitmap** b : {&v->RMTop, &v->RMBottom, &v->RMLeft, &v->RMRight}) {
          delete *b;
          *b = nullptr;
        }
        delete v->FIcon;
        v->FIcon = nullptr;
      }
    }
    velaras.clear();
    ControlTest::TearDown();
  }

  TkxVelara* NewSkinForm(TFormBorderStyle BS = bsSizeable, int x = 50, int y = 50, int w = 200, int h = 100) {
    auto* f = new TForm(owner.get());
    f->SetBorderStyle(BS);
    f->SetBounds(x, y, w, h);
    auto* v = new TkxVelara(f);
    DropObjects(v);
    velaras.push_back(v);
    if (!v->RMTop) bareVelaras.push_back(v);
    return v;
  }
  static void DropObjects(TkxVelara* v) {
    for (TkxActiveSkinObject* o : v->ObjectList) delete o;
    v->ObjectList.clear();
    v->ActiveObject = -1;
  }
  // The form's current size as the frame's size.
  static void Fit(TkxVelara* v) {
    v->FFormWidth = 0;
    v->FFormHeight = 0;
  }
  // A standard caption button of the default look.
  static TkxSkinStdButtonObject* AddButton(TkxVelara* v, TkxStdCommand Command, TRect SkinRect = TRect{0, 0, 1, 1}) {
    auto* b = new TkxSkinStdButtonObject(v, nullptr);
    b->Command = Command;
    b->SkinRectInAPicture = true;
    b->SkinRect = SkinRect;
    b->Visible = true;
    v->ObjectList.push_back(b);
    return b;
  }
  TkxSkinCaptionObject* AddCaption(TkxVelara* v, TRect SkinRect) {
    auto rec = std::make_unique<TkxDataSkinCaption>("caption");
    rec->SkinRect = SkinRect;
    auto* c = new TkxSkinCaptionObject(v, rec.get());
    c->SkinRect = SkinRect;
    c->SkinRectInAPicture = false;
    c->Visible = true;
    v->ObjectList.push_back(c);
    records.push_back(std::move(rec));
    return c;
  }

  std::vector<TkxVelara*> velaras, bareVelaras;
  std::vector<std::unique_ptr<TkxDataSkinObject>> records;
};

}  // namespace frametest
