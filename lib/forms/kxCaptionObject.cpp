#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"

// Placeholders until this file is written.
TkxSkinCaptionObject::TkxSkinCaptionObject(TkxVelara* AParent, TkxDataSkinObject* AData)
    : TkxActiveSkinObject(AParent, AData) {}
void TkxSkinCaptionObject::Draw(TCanvas*, bool) {}
void TkxSkinCaptionObject::MouseDown(int32_t, int32_t, TMouseButton) {}
void TkxSkinCaptionObject::MouseUp(int32_t, int32_t, TMouseButton) {}
void TkxSkinCaptionObject::MouseMove(int32_t, int32_t) {}
void TkxSkinCaptionObject::MouseEnter() {}
void TkxSkinCaptionObject::MouseLeave() {}
bool TkxSkinCaptionObject::EnableAnimation() { return false; }
