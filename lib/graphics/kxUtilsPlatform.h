#pragma once
// The skin engine's probing of optional system features (the window-manager entries the forms
// and layers use, the keyed blit, monitors, the scroll-bar information call), the version
// tests, and the rectangle functions every drawing routine of the engine uses.
#include <cstdint>

#include "lib/graphics/kxCpu.h"
#include "platform/WinTypes.h"
#include "platform/WinUser.h"

using TRect = win::RECT;
using TPoint = win::POINT;

// ---- Rectangles (left and top inclusive, right and bottom exclusive) --------------------------
inline int32_t RectWidth(const TRect& R) { return R.right - R.left; }
inline int32_t RectHeight(const TRect& R) { return R.bottom - R.top; }
inline bool IsEmptyRect(const TRect& R) { return RectWidth(R) <= 0 || RectHeight(R) <= 0; }
inline void NullRect(TRect& R) { R = TRect{0, 0, 0, 0}; }
inline bool IsEqualRects(const TRect& A, const TRect& B) {
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}
inline bool HasZeroCoordinate(const TPoint& P) { return P.x == 0 || P.y == 0; }
// Right and bottom edges included.
inline bool IsPointInsideRect(const TRect& R, const TPoint& P) {
  return R.left <= P.x && P.x <= R.right && R.top <= P.y && P.y <= R.bottom;
}
// Both corners of A inside B by the point-in-rectangle rule (right and bottom excluded), so a
// rectangle never lies in itself.
bool RectInRect(const TRect& A, const TRect& B);
bool IsItemRectVisible(const TRect& A, const TRect& B);
// The point-in-rectangle rule of the platform: left and top inclusive, right and bottom not.
inline bool PtInRectRule(const TRect& R, int32_t X, int32_t Y) {
  return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom;
}
// The common part of A and B; (0,0,0,0) when they do not meet.
TRect IntersectRects(const TRect& A, const TRect& B);

// ---- Versions ---------------------------------------------------------------------------------
void GetWindowsVersion(int32_t& Major, int32_t& Minor);
// The tests on given numbers; the ones without arguments ask the layer (which reports 6.1).
bool IsWin2000OrLater(int32_t Major, int32_t Minor);
bool IsWinXPOrLater(int32_t Major, int32_t Minor);
bool IsVistaOrLater(int32_t Major, int32_t Minor);
bool IsWin2000OrLater();
bool IsWinXPOrLater();
bool IsVistaOrLater();

// ---- Start-up state ---------------------------------------------------------------------------
// The scroll-bar information record of the optional scroll-bar call.
constexpr uint32_t STATE_SYSTEM_INVISIBLE = 0x8000;
struct SCROLLBARINFO {
  uint32_t cbSize = sizeof(SCROLLBARINFO);
  win::RECT rcScrollBar{};
  int32_t dxyLineButton = 0;
  int32_t xyThumbTop = 0;
  int32_t xyThumbBottom = 0;
  int32_t reserved = 0;
  uint32_t rgstate[6] = {};
};

using TMonitorFromWindowProc = win::HMONITOR (*)(win::HWND, win::DWORD);
using TGetMonitorInfoProc = win::BOOL (*)(win::HMONITOR, win::MONITORINFO*);
using TGetScrollBarInfoProc = win::BOOL (*)(win::HWND, int32_t, SCROLLBARINFO*);
using TSetLayeredWindowAttributesProc = win::BOOL (*)(win::HWND, win::COLORREF, win::BYTE, win::DWORD);
using TUpdateLayeredWindowProc = win::BOOL (*)(win::HWND, win::HDC, const win::POINT*, const win::SIZE*,
                                               win::HDC, const win::POINT*, win::COLORREF,
                                               const win::BLENDFUNCTION*, win::DWORD);
using TTransparentBltProc = win::BOOL (*)(win::HDC, int, int, int, int, win::HDC, int, int, int, int, win::UINT);

// What the utilities unit's start-up probes: the processor's vector unit, the optional entries
// of the layer (nil where the layer lacks the call: it has no scroll-bar information call, so
// that entry stays nil) and the platform kind. Probed on the first use of PlatformFacts, once,
// whichever thread comes first; no start-up call is needed before it. Readers take the fields
// as they are; FinalizeUtilsUnit clears the keyed blit and the monitor entries.
struct TkxPlatformFacts {
  bool MMXAvailable = false;
  TMonitorFromWindowProc MonitorFromWindowEntry = nullptr;
  TGetMonitorInfoProc GetMonitorInfoEntry = nullptr;
  TGetScrollBarInfoProc GetScrollBarInfoEntry = nullptr;
  TSetLayeredWindowAttributesProc SetLayeredWindowAttributesEntry = nullptr;
  TUpdateLayeredWindowProc UpdateLayeredWindowEntry = nullptr;
  TTransparentBltProc TransparentBltEntry = nullptr;
  bool TransparentBltAvailable = false;
  bool IsWinNTPlatform = false;
};
TkxPlatformFacts& PlatformFacts();

// The utilities unit's start-up: starts the effects unit (whose first choice of the keyed draw
// path is made as before the keyed blit is bound) and probes the facts if nothing has yet.
// Harmless to call again; after FinalizeUtilsUnit it binds the entries anew.
void InitializeUtilsUnit();
void FinalizeUtilsUnit();

bool HasTransparentBlt();

// The system call's result when the entry exists; otherwise the bar reads as invisible and the
// result is 0.
int32_t GetScrollBarInfoSafe(win::HWND Handle, int32_t idObject, SCROLLBARINFO& Info);
bool HasMultipleMonitors();
void GetScreenWorkArea(bool WorkArea, TRect& R);
void GetMonitorWorkArea(win::HWND Handle, bool WorkArea, TRect& R);
