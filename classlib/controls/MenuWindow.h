#pragma once
// The plain popup menu window: shows a TPopupMenu that nothing skins and tracks it modally.
#include <cstdint>
#include <vector>

#include "classlib/Menus.h"

namespace menus_internal {

// One shown level of the menu (the top one first).
class TMenuLevel;

// Shows Menu's items at the screen point (X, Y) placed by Alignment, and runs its own loop
// (serving sent messages and hand-overs) until an item is chosen or the menu is cancelled.
// Answers the chosen item's command, 0 when cancelled; sets MenuGone when the menu was freed
// meanwhile (then nothing of it may be touched).
uint32_t TrackPopupMenu(TPopupMenu* Menu, int32_t X, int32_t Y, bool& MenuGone);

// The tracking in progress, for tests: the screen rectangle of a shown item (level 0 is the
// top one), and the window of a level. Empty rectangle / nullptr when there is none.
TRect TrackedItemRect(int32_t Level, int32_t Index);
win::HWND TrackedLevelWindow(int32_t Level);
int32_t TrackedLevelCount();

}  // namespace menus_internal
