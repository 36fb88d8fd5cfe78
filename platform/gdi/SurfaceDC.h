#pragma once
// The hook by which the window layer gets device contexts over its own pixel buffers.
//
// A surface DC draws into an external 32-bit top-down buffer (B,G,R,A bytes) the caller owns and
// keeps alive until ReleaseSurfaceDC. Two things the caller controls and the DC's user cannot see:
//  - the device origin: where the DC's device point (0,0) lies in the buffer (a child window's
//    client origin inside its top-level's back buffer). GetWindowOrgEx/GetViewportOrgEx do not
//    show it; SelectClipRgn and GetClipRgn work relative to it, as on a window DC.
//  - the visible region, in buffer coordinates: every pixel drawn through the DC lies inside it
//    (and inside the buffer). Without one, the whole buffer is visible.
// The usual state (origins, clip region, SaveDC, selected objects) belongs to the DC's user.
#include <cstdint>

#include "platform/Gdi.h"

namespace win {

struct SurfaceDesc {
  void* pixels = nullptr;  // first byte of the top row
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes from one row to the next, at least 4*width
};

// NULL when the description is unusable (no pixels, a size <= 0, a stride < 4*width).
HDC CreateSurfaceDC(const SurfaceDesc& surface, POINT deviceOrigin = {}, HRGN visible = nullptr);
// Replaces the visible region (copied; NULL: the whole buffer). FALSE for a non-surface DC.
BOOL SetSurfaceDCVisibleRgn(HDC hdc, HRGN visible);
BOOL SetSurfaceDCOrigin(HDC hdc, POINT deviceOrigin);
// Points the DC at another buffer (after the back buffer was reallocated); state is kept.
BOOL SetSurfaceDCBuffer(HDC hdc, const SurfaceDesc& surface);
BOOL ReleaseSurfaceDC(HDC hdc);  // the same as DeleteDC
bool IsSurfaceDC(HDC hdc);

// An information DC over the screen: GetDeviceCaps answers, drawing does nothing.
// Both GetDC(NULL) and CreateDC("DISPLAY") give one.
HDC CreateScreenDC();
// The window layer tells the graphics layer the screen size for HORZRES/VERTRES (default 1920x1080).
void SetScreenSizeForDeviceCaps(int width, int height);

}  // namespace win
