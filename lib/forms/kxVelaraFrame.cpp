#include "lib/forms/kxVelara.h"

#include "lib/forms/kxFrameObjects.h"

// Placeholders until this file is written.
void TkxVelara::CalcSkinRects() {  }
void TkxVelara::CalcObjectRects() {  }
void TkxVelara::CalcDefRects() {  }
void TkxVelara::PaintNCSkin(win::HDC, bool) {  }
void TkxVelara::PaintNCDefault(win::HDC, bool) {  }
void TkxVelara::PaintBG(win::HDC DC) {  }
void TkxVelara::PaintBG2(win::HDC DC) {  }
void TkxVelara::PaintBG3(win::HDC DC) {  }
void TkxVelara::PaintBGDefault(win::HDC DC) {  }
void TkxVelara::PaintMDIBGDefault(win::HDC DC) {  }
void TkxVelara::DrawSkinObject(TkxActiveSkinObject* AObject) {  }
void TkxVelara::UpdateFrame(bool AUpdate) {  }
void TkxVelara::UpdateWindowRegion(bool AUpdate) {  }
bool TkxVelara::PointInFormMask(TPoint) { return false; }
void TkxVelara::DrawFormIcon(TCanvas* Canvas, int32_t X, int32_t Y) {  }
void TkxVelara::GetSmallIconSize(int32_t& W, int32_t& H) {  }
int32_t TkxVelara::DefaultCaptionHeight() const { return 0; }
int32_t TkxVelara::DefaultButtonSize() const { return 0; }
