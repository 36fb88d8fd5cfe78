// The screen: system metrics, the work area, monitors, the cursor position, the version answer
// and MessageBeep.
#include "platform/backend/Backend.h"
#include "platform/window/WindowImpl.h"

namespace win {
namespace detail {

namespace {
std::vector<backend::MonitorDesc> MonitorList() {
  auto list = backend::Current().Monitors();
  if (list.empty()) list.push_back(backend::MonitorDesc{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1080}, true});
  return list;
}
const backend::MonitorDesc& Primary(const std::vector<backend::MonitorDesc>& l) {
  for (const auto& m : l)
    if (m.primary) return m;
  return l.front();
}
// Monitor handles are their index plus one, so that no handle is null.
HMONITOR Handle(size_t i) { return reinterpret_cast<HMONITOR>(uintptr_t(i + 1)); }
RECT VirtualScreen() {
  auto l = MonitorList();
  RECT r = l.front().monitor;
  for (const auto& m : l) UnionRect(&r, &r, &m.monitor);
  return r;
}
long DistanceSq(const RECT& r, POINT p) {
  long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
  long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
  return dx * dx + dy * dy;
}
}  // namespace

RECT PrimaryWorkArea() {
  auto l = MonitorList();
  return Primary(l).work;
}

}  // namespace detail

using namespace detail;

int GetSystemMetrics(int index) {
  auto l = MonitorList();
  const auto& p = Primary(l);
  switch (index) {
    case SM_CXSCREEN: return p.monitor.right - p.monitor.left;
    case SM_CYSCREEN: return p.monitor.bottom - p.monitor.top;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 17;
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CYSMCAPTION: return 15;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXSMSIZE: case SM_CYSMSIZE: return 12;
    case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXMAXTRACK: return VirtualScreen().right - VirtualScreen().left + 12;
    case SM_CYMAXTRACK: return VirtualScreen().bottom - VirtualScreen().top + 12;
    case SM_CXMAXIMIZED: return p.work.right - p.work.left + 8;
    case SM_CYMAXIMIZED: return p.work.bottom - p.work.top + 8;
    case SM_CXFULLSCREEN: return p.work.right - p.work.left;
    case SM_CYFULLSCREEN: return p.work.bottom - p.work.top - 19;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_SWAPBUTTON: return 0;
    case SM_XVIRTUALSCREEN: return VirtualScreen().left;
    case SM_YVIRTUALSCREEN: return VirtualScreen().top;
    case SM_CXVIRTUALSCREEN: return VirtualScreen().right - VirtualScreen().left;
    case SM_CYVIRTUALSCREEN: return VirtualScreen().bottom - VirtualScreen().top;
    case SM_CMONITORS: return int(l.size());
  }
  return 0;
}

BOOL SystemParametersInfo(UINT action, UINT, LPVOID pv, UINT) {
  switch (action) {
    case SPI_GETWORKAREA:
      if (!pv) return FALSE;
      *static_cast<RECT*>(pv) = PrimaryWorkArea();
      return TRUE;
    case SPI_GETDRAGFULLWINDOWS:
      if (!pv) return FALSE;
      *static_cast<BOOL*>(pv) = TRUE;
      return TRUE;
    case SPI_GETWHEELSCROLLLINES:
      if (!pv) return FALSE;
      *static_cast<UINT*>(pv) = 3;
      return TRUE;
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT:
      if (!pv) return FALSE;
      *static_cast<UINT*>(pv) = 4;
      return TRUE;
    case SPI_GETMOUSEHOVERTIME:
      if (!pv) return FALSE;
      *static_cast<UINT*>(pv) = 400;
      return TRUE;
  }
  return FALSE;
}

HMONITOR MonitorFromPoint(POINT p, DWORD flags) {
  auto l = MonitorList();
  size_t best = 0;
  long bestD = -1;
  for (size_t i = 0; i < l.size(); ++i) {
    if (PtInRect(&l[i].monitor, p)) return Handle(i);
    long d = DistanceSq(l[i].monitor, p);
    if (bestD < 0 || d < bestD) { bestD = d; best = i; }
  }
  if (flags == MONITOR_DEFAULTTONULL) return nullptr;
  if (flags == MONITOR_DEFAULTTONEAREST) return Handle(best);
  for (size_t i = 0; i < l.size(); ++i)
    if (l[i].primary) return Handle(i);
  return Handle(0);
}

HMONITOR MonitorFromRect(const RECT* r, DWORD flags) {
  if (!r) return nullptr;
  auto l = MonitorList();
  long bestArea = 0;
  size_t best = 0;
  for (size_t i = 0; i < l.size(); ++i) {
    RECT inter;
    if (IntersectRect(&inter, r, &l[i].monitor)) {
      long a = long(inter.right - inter.left) * (inter.bottom - inter.top);
      if (a > bestArea) { bestArea = a; best = i; }
    }
  }
  if (bestArea > 0) return Handle(best);
  return MonitorFromPoint(POINT{(r->left + r->right) / 2, (r->top + r->bottom) / 2}, flags);
}

HMONITOR MonitorFromWindow(HWND h, DWORD flags) {
  RECT r;
  if (!GetWindowRect(h, &r)) return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR m, MONITORINFO* mi) {
  if (!m || !mi || mi->cbSize < sizeof(MONITORINFO)) return FALSE;
  auto l = MonitorList();
  size_t i = reinterpret_cast<uintptr_t>(m) - 1;
  if (i >= l.size()) return FALSE;
  mi->rcMonitor = l[i].monitor;
  mi->rcWork = l[i].work;
  mi->dwFlags = l[i].primary ? MONITORINFOF_PRIMARY : 0;
  return TRUE;
}

BOOL GetCursorPos(POINT* p) {
  if (!p) return FALSE;
  *p = backend::Current().CursorPos();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  backend::Current().SetCursorPos(POINT{x, y});
  return TRUE;
}

BOOL MessageBeep(UINT type) {
  backend::Current().Beep(type);
  return TRUE;
}

BOOL GetVersionEx(OSVERSIONINFO* vi) {
  if (!vi || vi->dwOSVersionInfoSize < sizeof(OSVERSIONINFO)) return FALSE;
  vi->dwMajorVersion = 6;
  vi->dwMinorVersion = 1;
  vi->dwBuildNumber = 7601;
  vi->dwPlatformId = VER_PLATFORM_WIN32_NT;
  vi->szCSDVersion[0] = 0;
  return TRUE;
}

DWORD GetVersion() { return 6u | (1u << 8) | (7601u << 16); }

}  // namespace win
