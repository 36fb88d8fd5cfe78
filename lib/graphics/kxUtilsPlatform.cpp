#include "lib/graphics/kxUtilsPlatform.h"

#include <algorithm>
#include <atomic>

#include "classlib/Forms.h"
#include "lib/graphics/kxBitmap.h"
#include "platform/Gdi.h"

bool RectInRect(const TRect& A, const TRect& B) {
  return PtInRectRule(B, A.left, A.top) && PtInRectRule(B, A.right, A.bottom);
}

bool IsItemRectVisible(const TRect& A, const TRect& B) {
  return PtInRectRule(B, B.left + 1, A.top) || PtInRectRule(B, B.right - 1, A.bottom);
}

TRect IntersectRects(const TRect& A, const TRect& B) {
  TRect r{std::max(A.left, B.left), std::max(A.top, B.top), std::min(A.right, B.right),
          std::min(A.bottom, B.bottom)};
  if (r.right <= r.left || r.bottom <= r.top) return TRect{0, 0, 0, 0};
  return r;
}

// ---- Versions ---------------------------------------------------------------------------------
void GetWindowsVersion(int32_t& Major, int32_t& Minor) {
  win::DWORD v = win::GetVersion();
  Major = int32_t(v & 0xFF);
  Minor = int32_t((v >> 8) & 0xFF);
}

bool IsWin2000OrLater(int32_t Major, int32_t Minor) {
  return Major > 5 || (Major == 5 && Minor >= 0 && Minor <= 2);
}
bool IsWinXPOrLater(int32_t Major, int32_t Minor) { return Major > 5 || (Major == 5 && Minor == 1); }
bool IsVistaOrLater(int32_t Major, int32_t /*Minor*/) { return Major > 5; }

bool IsWin2000OrLater() {
  int32_t ma, mi;
  GetWindowsVersion(ma, mi);
  return IsWin2000OrLater(ma, mi);
}
bool IsWinXPOrLater() {
  int32_t ma, mi;
  GetWindowsVersion(ma, mi);
  return IsWinXPOrLater(ma, mi);
}
bool IsVistaOrLater() {
  int32_t ma, mi;
  GetWindowsVersion(ma, mi);
  return IsVistaOrLater(ma, mi);
}

// ---- Start-up state ---------------------------------------------------------------------------
namespace {

TkxPlatformFacts ProbeFacts() {
  TkxPlatformFacts f;
  f.MMXAvailable = HasMMX();
  // The window-manager entries are part of our own layer, so they are always there.
  f.MonitorFromWindowEntry = &win::MonitorFromWindow;
  f.GetMonitorInfoEntry = &win::GetMonitorInfo;
  f.SetLayeredWindowAttributesEntry = &win::SetLayeredWindowAttributes;
  f.UpdateLayeredWindowEntry = &win::UpdateLayeredWindow;
  if (IsWin2000OrLater()) {
    f.TransparentBltEntry = &win::TransparentBlt;
    f.TransparentBltAvailable = true;
  }
  win::OSVERSIONINFO vi;
  f.IsWinNTPlatform = win::GetVersionEx(&vi) && vi.dwPlatformId == win::VER_PLATFORM_WIN32_NT;
  return f;
}

// Set by FinalizeUtilsUnit, so that the next start-up call binds the entries again.
std::atomic<bool> gFinalized{false};

}  // namespace

TkxPlatformFacts& PlatformFacts() {
  // The program has no start-up step of its own for the skin library: the first use probes.
  static TkxPlatformFacts facts = ProbeFacts();
  return facts;
}

void InitializeUtilsUnit() {
  // The effects unit starts first: its keyed draw path is chosen before the keyed blit is bound.
  InitializeEffectsUnit();
  TkxPlatformFacts& f = PlatformFacts();
  if (gFinalized.exchange(false)) f = ProbeFacts();
}

void FinalizeUtilsUnit() {
  TkxPlatformFacts& f = PlatformFacts();
  f.TransparentBltEntry = nullptr;
  f.TransparentBltAvailable = false;
  f.GetScrollBarInfoEntry = nullptr;
  f.MonitorFromWindowEntry = nullptr;
  f.GetMonitorInfoEntry = nullptr;
  gFinalized = true;
}

bool HasTransparentBlt() { return PlatformFacts().TransparentBltAvailable; }

int32_t GetScrollBarInfoSafe(win::HWND Handle, int32_t idObject, SCROLLBARINFO& Info) {
  if (auto entry = PlatformFacts().GetScrollBarInfoEntry) return entry(Handle, idObject, &Info);
  Info.rgstate[0] = STATE_SYSTEM_INVISIBLE;
  return 0;
}

bool HasMultipleMonitors() {
  const TkxPlatformFacts& f = PlatformFacts();
  return win::GetSystemMetrics(win::SM_CMONITORS) > 1 && f.MonitorFromWindowEntry && f.GetMonitorInfoEntry;
}

void GetScreenWorkArea(bool WorkArea, TRect& R) {
  if (WorkArea) {
    win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &R, 0);
    return;
  }
  if (Screen)
    R = TRect{0, 0, Screen->Width(), Screen->Height()};
  else
    R = TRect{0, 0, win::GetSystemMetrics(win::SM_CXSCREEN), win::GetSystemMetrics(win::SM_CYSCREEN)};
}

void GetMonitorWorkArea(win::HWND Handle, bool WorkArea, TRect& R) {
  if (!HasMultipleMonitors()) {
    GetScreenWorkArea(WorkArea, R);
    return;
  }
  const TkxPlatformFacts& f = PlatformFacts();
  win::HMONITOR m = f.MonitorFromWindowEntry(Handle, win::MONITOR_DEFAULTTONEAREST);
  win::MONITORINFO mi;
  mi.cbSize = sizeof(win::MONITORINFO);
  if (!f.GetMonitorInfoEntry(m, &mi)) return;
  R = WorkArea ? mi.rcWork : mi.rcMonitor;
}
