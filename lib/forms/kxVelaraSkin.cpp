#include "lib/forms/kxVelara.h"

#include "lib/forms/kxFrameObjects.h"

// Placeholders until this file is written.
void TkxVelara::ApplySkin() {  }
void TkxVelara::SetSkinnableForm(bool Value) {  }
void TkxVelara::CreateSkinObjects() {  }
void TkxVelara::CreateDefaultObjects() {  }
void TkxVelara::ClearObjects() {  }
void TkxVelara::BeforeChangeControlsSkinData(TkxSkinData* ASkinData, TControl* AControl) {  }
void TkxVelara::ChangeControlsSkinData(TkxSkinData* ASkinData, TControl* AControl) {  }
void TkxVelara::SetFormStyle(TFormStyle FS) {  }
void TkxVelara::SetFormBorderStyle(TFormBorderStyle BS) {  }
void TkxVelara::EnableShadow(bool AShowShadow, bool AHideFormBefore) {  }
void TkxVelara::ShowClientInActiveEffect() {  }
void TkxVelara::HideClientInActiveEffect() {  }
