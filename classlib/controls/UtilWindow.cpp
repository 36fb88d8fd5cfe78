// AllocateHWnd: a hidden window per method. The method lives on the heap and is shared with any
// call running it, so the window may be released from inside its own method.
#include "classlib/UtilWindow.h"

#include <memory>

using namespace win;

namespace {

using TMethodRef = std::shared_ptr<TWndMethod>;

TMethodRef* Holder(HWND h) { return reinterpret_cast<TMethodRef*>(GetWindowLongPtr(h, GWLP_USERDATA)); }

LRESULT UtilWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TMethodRef* holder = Holder(h);
  if (!holder || !*holder || !**holder) return DefWindowProc(h, msg, w, l);
  TMethodRef method = *holder;  // stays alive while it runs
  TMessage M;
  M.Msg = msg;
  M.WParam = w;
  M.LParam = l;
  (*method)(M);
  return M.Result;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  static bool registered = false;
  if (!registered) {
    WNDCLASS wc;
    wc.lpfnWndProc = UtilWndProc;
    wc.lpszClassName = "TPUtilWindow";
    RegisterClass(&wc);
    registered = true;
  }
  HWND h = CreateWindowEx(WS_EX_TOOLWINDOW, "TPUtilWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                          nullptr);
  if (!h) throw EOutOfResources("Cannot create a hidden window");
  SetWindowLongPtr(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TMethodRef(std::make_shared<TWndMethod>(std::move(Method)))));
  return h;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd || !IsWindow(Wnd)) return;
  std::unique_ptr<TMethodRef> holder(Holder(Wnd));
  SetWindowLongPtr(Wnd, GWLP_USERDATA, 0);
  DestroyWindow(Wnd);
}
