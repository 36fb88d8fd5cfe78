#include "lib/forms/kxVelara.h"

#include "lib/forms/kxFrameObjects.h"

// Placeholders until this file is written.
void TkxVelara::FormWindowProc(TMessage& Message) {  }
bool TkxVelara::LayeredFrameActive() const { return false; }
bool TkxVelara::HideUntilBorderShown() const { return false; }
void TkxVelara::ShowSystemMenuAt(TPoint) {  }
void TkxVelara::ShowSystemMenuUnder() {  }
