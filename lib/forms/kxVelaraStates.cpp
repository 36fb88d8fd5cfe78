#include "lib/forms/kxVelara.h"

#include "lib/forms/kxFrameObjects.h"

// Placeholders until this file is written.
int32_t TkxVelara::GetMinWidth() { return 0; }
int32_t TkxVelara::GetMinHeight() { return 0; }
int32_t TkxVelara::GetMaxWidth() { return 0; }
int32_t TkxVelara::GetMaxHeight() { return 0; }
int32_t TkxVelara::SkinHitTest(TPoint) { return 0; }
int32_t TkxVelara::DefaultHitTest(TPoint) { return 0; }
bool TkxVelara::IsSizeable() const { return false; }
void TkxVelara::ApplyPositionInMonitor() {  }
TPoint TkxVelara::GetPositionInMonitor(int32_t AX, int32_t AY, int32_t AW, int32_t AH) { return {}; }
void TkxVelara::MagneticSnap(int32_t& ALeft, int32_t& ATop, int32_t AWidth, int32_t AHeight) {  }
void TkxVelara::DockMinimized(TPoint& P) {  }
void TkxVelara::RefreshFormSize() {  }
