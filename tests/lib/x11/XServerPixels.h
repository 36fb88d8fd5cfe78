#pragma once
// The X server's pixels of a window, read over a connection of the test's own, the way any X
// client would see them, and input faked through that connection. This header carries no X types, so the tests never see the X headers.
#include <cstdint>
#include <vector>

namespace xpixels {

// Whether $DISPLAY can be opened.
bool Available();
// The default screen's depth (24 or 32 hold the back buffer's colours exactly) and size.
int ScreenDepth();
int ScreenWidth();
int ScreenHeight();
// Rows [Top, Top + Height) of the window, all Width columns, as 0xFFRRGGBB (XGetImage of the
// window, which must be on the screen there); empty when the server refuses.
std::vector<uint32_t> WindowRows(uintptr_t Window, int Width, int Top, int Height);
// Where the X server has the window's top-left pixel, in root coordinates; false when it cannot say.
bool WindowOrigin(uintptr_t Window, int* X, int* Y);
// The window that has the server's input focus (0 for none or no display).
uintptr_t FocusedWindow();

// Input through the XTest extension, as a user's would arrive: the pointer to a screen point,
// a left click there (Count clicks in a row make a double click), a key by its key name
// ("Return", "Tab"). False when the server has no XTest.
bool ClickAt(int X, int Y, int Count = 1);
bool PressKey(const char* KeyName);

}  // namespace xpixels
