#pragma once
// The X11 backend: Xlib with the Shape, MIT-SHM and XRandR extensions. The program installs it
// at start-up when a display is set; tests labelled x11 install it under a virtual X server.
// This header carries no X types, so code outside this folder never sees the X headers.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/Backend.h"

namespace win::x11 {

// Connects to the display (nullptr: $DISPLAY); nullptr when no display can be opened.
// useSharedMemory false presents with plain XPutImage even where MIT-SHM works.
std::unique_ptr<backend::Backend> Create(const char* display = nullptr, bool useSharedMemory = true);

// ---- what tests look at, through the same connection ------------------------------------------
// Whether presenting goes through shared memory.
bool UsesSharedMemory(backend::Backend& b);
// The pixels the X server shows for this rect of the screen (root window), 0xAARRGGBB with alpha
// 255 (XGetImage of the root).
std::vector<uint32_t> ReadScreen(backend::Backend& b, const RECT& r);
// The surface's X window id (the native child's for a native child), 0 if none.
uintptr_t NativeWindow(backend::Backend& b, HWND h);
// The bounding and input shapes the X server holds for the surface (window coordinates).
std::vector<RECT> BoundingShape(backend::Backend& b, HWND h);
std::vector<RECT> InputShape(backend::Backend& b, HWND h);
// The surface that has the X input focus, nullptr if none of ours.
HWND FocusedSurface(backend::Backend& b);
// Whether the surface is override-redirect (a popup the window manager never sees).
bool IsOverrideRedirect(backend::Backend& b, HWND h);
// A window property read back as UTF-8 text ("_NET_WM_NAME") or as 32-bit cardinals.
std::string TextProperty(backend::Backend& b, HWND h, const char* name);
std::vector<unsigned long> CardinalProperty(backend::Backend& b, HWND h, const char* name);
// Real input through the XTest extension (false when the server lacks it): pointer motion in
// screen coordinates, buttons (0 left, 1 right, 2 middle), keys by virtual-key code.
bool FakeMotion(backend::Backend& b, int x, int y);
bool FakeButton(backend::Backend& b, int button, bool down);
bool FakeKey(backend::Backend& b, int vk, bool down);
// Waits until the X server has handled every request sent so far.
void Sync(backend::Backend& b);

}  // namespace win::x11
