#include "tests/lib/x11/XServerPixels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace xpixels {

namespace {
Display* Connection() {
  static Display* d = XOpenDisplay(nullptr);  // held for the whole run
  return d;
}
}  // namespace

bool Available() { return Connection() != nullptr; }
int ScreenDepth() { return Available() ? DefaultDepth(Connection(), DefaultScreen(Connection())) : 0; }
int ScreenWidth() { return Available() ? DisplayWidth(Connection(), DefaultScreen(Connection())) : 0; }
int ScreenHeight() { return Available() ? DisplayHeight(Connection(), DefaultScreen(Connection())) : 0; }

std::vector<uint32_t> WindowRows(uintptr_t Window, int Width, int Top, int Height) {
  std::vector<uint32_t> out;
  Display* d = Connection();
  if (!d || !Window || Width <= 0 || Height <= 0 || Top < 0) return out;
  // A rectangle off the screen is an error of the request, not of the program: catch it.
  XSync(d, False);
  auto old = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XImage* img = XGetImage(d, Window, 0, Top, unsigned(Width), unsigned(Height), AllPlanes, ZPixmap);
  XSync(d, False);
  XSetErrorHandler(old);
  if (!img) return out;
  out.resize(size_t(Width) * size_t(Height));
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x)
      out[size_t(y) * size_t(Width) + size_t(x)] = uint32_t(XGetPixel(img, x, y)) | 0xFF000000u;
  XDestroyImage(img);
  return out;
}

bool ClickAt(int X, int Y, int Count) {
  Display* d = Connection();
  int ev = 0, err = 0, major = 0, minor = 0;
  if (!d || !XTestQueryExtension(d, &ev, &err, &major, &minor)) return false;
  XTestFakeMotionEvent(d, DefaultScreen(d), X, Y, CurrentTime);
  for (int i = 0; i < Count; ++i) {
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
  }
  XFlush(d);
  return true;
}

bool PressKey(const char* KeyName) {
  Display* d = Connection();
  int ev = 0, err = 0, major = 0, minor = 0;
  if (!d || !XTestQueryExtension(d, &ev, &err, &major, &minor)) return false;
  const KeyCode code = XKeysymToKeycode(d, XStringToKeysym(KeyName));
  if (code == 0) return false;
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  XFlush(d);
  return true;
}

bool WindowOrigin(uintptr_t Window, int* X, int* Y) {
  Display* d = Connection();
  if (!d || !Window) return false;
  XSync(d, False);
  ::Window child = 0;
  return XTranslateCoordinates(d, ::Window(Window), DefaultRootWindow(d), 0, 0, X, Y, &child) != 0;
}

uintptr_t FocusedWindow() {
  Display* d = Connection();
  if (!d) return 0;
  XSync(d, False);
  ::Window w = 0;
  int revert = 0;
  XGetInputFocus(d, &w, &revert);
  return w == PointerRoot ? 0 : uintptr_t(w);
}

}  // namespace xpixels
