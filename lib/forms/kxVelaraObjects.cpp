#include "lib/forms/kxVelara.h"

#include "lib/forms/kxFrameObjects.h"

// Placeholders until this file is written.
bool TkxVelara::GetFormActive() { return false; }
void TkxVelara::ScreenToFrame(TPoint& P) {  }
void TkxVelara::UpdateActiveObject(int32_t X, int32_t Y, bool InFrame) {  }
void TkxVelara::ObjectsMouseMove(int32_t X, int32_t Y) {  }
void TkxVelara::ObjectsMouseDown(TMouseButton Button, int32_t X, int32_t Y) {  }
void TkxVelara::ObjectsMouseUp(TMouseButton Button, int32_t X, int32_t Y) {  }
void TkxVelara::ObjectsDblClick() {  }
void TkxVelara::ResetObjectStates() {  }
void TkxVelara::UpdateCaptionActive(bool AAnimate) {  }
void TkxVelara::UpdateCaptionButtons() {  }
void TkxVelara::UpdateObjectHints() {  }
int32_t TkxVelara::GetIndex(const std::string& AIDName) const { return 0; }
void TkxVelara::SetEnabled(const std::string& AIDName, bool Value) {  }
void TkxVelara::UserObjectDraw(const std::string& AIDName) {  }
void TkxVelara::LinkMenu(const std::string& AIDName, TMenu* AMenu, bool APopupUp) {  }
void TkxVelara::DoObjectPaint(const std::string& IDName, TCanvas* Canvas, const TRect& ObjectRect) {  }
void TkxVelara::DoObjectMouseUp(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect, TMouseButton Button) {  }
void TkxVelara::DoObjectMouseDown(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect, TMouseButton Button) {  }
void TkxVelara::DoObjectMouseMove(const std::string& IDName, int32_t X, int32_t Y, const TRect& ObjectRect) {  }
void TkxVelara::DoObjectMouseEnter(const std::string& IDName) {  }
void TkxVelara::DoObjectMouseLeave(const std::string& IDName) {  }
void TkxVelara::DoStdCommand(int32_t Command) {  }
