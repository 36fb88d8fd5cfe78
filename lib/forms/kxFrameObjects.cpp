#include "lib/forms/kxFrameObjects.h"

#include "lib/forms/kxVelara.h"

// Placeholders until this file is written.
TkxActiveSkinObject::TkxActiveSkinObject(TkxVelara* AParent, TkxDataSkinObject*) : Parent(AParent) {}
bool TkxActiveSkinObject::PointInMask(int32_t, int32_t) { return true; }
void TkxActiveSkinObject::ShowLayer() {}
void TkxActiveSkinObject::HideLayer() {}
bool TkxActiveSkinObject::CanMorphing() { return false; }
void TkxActiveSkinObject::Draw(TCanvas*, bool) {}
void TkxActiveSkinObject::MouseDown(int32_t, int32_t, TMouseButton) {}
void TkxActiveSkinObject::MouseUp(int32_t, int32_t, TMouseButton) {}
void TkxActiveSkinObject::MouseMove(int32_t, int32_t) {}
void TkxActiveSkinObject::MouseEnter() {}
void TkxActiveSkinObject::MouseLeave() {}
bool TkxActiveSkinObject::EnableMorphing() { return false; }
void TkxActiveSkinObject::DoMorphing() {}
void TkxActiveSkinObject::ReDraw() {}
void TkxActiveSkinObject::SetMorphKf(double) {}
void TkxActiveSkinObject::DrawMorph(TCanvas*, TBitmap*, const TRect&, TBitmap*, const TRect&) {}
bool TkxActiveSkinObject::MorphDue() { return false; }

void TkxUserObject::Draw(TCanvas*, bool) {}

TkxSkinAnimateObject::TkxSkinAnimateObject(TkxVelara* AParent, TkxDataSkinObject* AData)
    : TkxActiveSkinObject(AParent, AData) {}
void TkxSkinAnimateObject::ShowLayer() {}
void TkxSkinAnimateObject::HideLayer() {}
void TkxSkinAnimateObject::Draw(TCanvas*, bool) {}
void TkxSkinAnimateObject::DblClick() {}
void TkxSkinAnimateObject::MouseDown(int32_t, int32_t, TMouseButton) {}
void TkxSkinAnimateObject::MouseUp(int32_t, int32_t, TMouseButton) {}
void TkxSkinAnimateObject::MouseEnter() {}
void TkxSkinAnimateObject::MouseLeave() {}
void TkxSkinAnimateObject::Start() {}
void TkxSkinAnimateObject::Stop() {}
void TkxSkinAnimateObject::ChangeFrame() {}
void TkxSkinAnimateObject::SetFrame(int32_t Value) { FFrame = Value; }

TkxSkinButtonObject::TkxSkinButtonObject(TkxVelara* AParent, TkxDataSkinObject* AData)
    : TkxActiveSkinObject(AParent, AData) {}
void TkxSkinButtonObject::ShowLayer() {}
void TkxSkinButtonObject::HideLayer() {}
bool TkxSkinButtonObject::CanMorphing() { return false; }
void TkxSkinButtonObject::Draw(TCanvas*, bool) {}
void TkxSkinButtonObject::MouseDown(int32_t, int32_t, TMouseButton) {}
void TkxSkinButtonObject::MouseUp(int32_t, int32_t, TMouseButton) {}
void TkxSkinButtonObject::MouseEnter() {}
void TkxSkinButtonObject::MouseLeave() {}
void TkxSkinButtonObject::SetDown(bool Value) { FDown = Value; }

TkxSkinStdButtonObject::TkxSkinStdButtonObject(TkxVelara* AParent, TkxDataSkinObject* AData)
    : TkxSkinButtonObject(AParent, AData) {}
bool TkxSkinStdButtonObject::PointInMask(int32_t, int32_t) { return true; }
void TkxSkinStdButtonObject::ShowLayer() {}
void TkxSkinStdButtonObject::HideLayer() {}
bool TkxSkinStdButtonObject::CanMorphing() { return false; }
void TkxSkinStdButtonObject::Draw(TCanvas*, bool) {}
void TkxSkinStdButtonObject::DblClick() {}
void TkxSkinStdButtonObject::MouseDown(int32_t, int32_t, TMouseButton) {}
void TkxSkinStdButtonObject::MouseUp(int32_t, int32_t, TMouseButton) {}
void TkxSkinStdButtonObject::MouseEnter() {}
void TkxSkinStdButtonObject::DefaultDraw(TCanvas*) {}
