#pragma once
// The headless backend: memory surfaces, injected input, screen composition, a message spy and
// recorders. It is the default backend and the one the tests drive.
//
// Input is injected into the queue of the calling thread (the user-interface thread of a test)
// and goes through the same hit-test, capture, double-click and activation code as real input
// when the queue hands it out; ProcessPending() runs the queue until nothing is left.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend/Backend.h"

namespace win::headless {

// ---- input ------------------------------------------------------------------------------------
void MoveMouse(int x, int y);
void ButtonDown(int button = 0);  // 0 left, 1 right, 2 middle; at the current pointer position
void ButtonUp(int button = 0);
void Click(int x, int y, int button = 0);  // move, down, up
void Wheel(int delta);                      // WHEEL_DELTA per notch; positive away from the user
void KeyDown(int vk);
void KeyUp(int vk);
void PressKey(int vk);         // down and up
void TypeChar(uint32_t codePoint);  // a WM_CHAR with no key (text input)
// Retrieves, translates and dispatches every message waiting now (timers only when due);
// answers how many were dispatched. Stops at WM_QUIT, which stays queued.
int ProcessPending();

// ---- the message spy --------------------------------------------------------------------------
struct SpyEntry {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};
// Records every message the layer hands to a window's procedure (sent or dispatched).
void Spy(HWND h);
void StopSpy(HWND h);
std::vector<SpyEntry> SpyLog(HWND h);
std::vector<UINT> SpyMessages(HWND h);
// The whole log in order, across all spied windows.
std::vector<SpyEntry> SpyLogAll();
void ClearSpy();

// ---- pixels -----------------------------------------------------------------------------------
// The window's pixels (its window rect) as they are in its top-level's back buffer.
std::vector<uint32_t> ReadPixels(HWND h, int* width, int* height);
uint32_t PixelAt(HWND h, int x, int y);  // window coordinates; 0 outside
// The screen composed from every displayed surface in z-order (opaque windows with alpha 255,
// layered ones blended), B,G,R,A pixels of the primary monitor's size.
std::vector<uint32_t> ComposeScreen(int* width, int* height);
bool SaveScreenPng(const std::string& path);

// ---- switches and recorders -------------------------------------------------------------------
void SetLayeredAvailable(bool available);
struct LayeredRecord {
  std::vector<uint32_t> pixels;  // premultiplied B,G,R,A
  int width = 0, height = 0;
  BYTE alpha = 255;
  int updates = 0;
};
// The last per-pixel content given to a layered window; nullptr when none.
const LayeredRecord* LayeredContent(HWND h);
bool IsDisplayed(HWND h);  // whether the surface is on screen
BYTE SurfaceAlpha(HWND h);
void SetMonitors(const std::vector<backend::MonitorDesc>& monitors);
std::vector<UINT> Beeps();
HCURSOR CurrentCursor();
HWND PointerGrab();
std::string Clipboard();

// The backend object itself (installed by default).
backend::Backend& DefaultBackend();

// Puts the backend back to its start: spy, recorders, pointer at (0,0), one 1920x1080 monitor
// with a 40-pixel task bar, layered windows unavailable.
void Reset();

}  // namespace win::headless
