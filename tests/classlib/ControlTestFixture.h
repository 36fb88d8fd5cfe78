#pragma once
// Common ground of the control tests: the headless backend and a stepped clock (from the window
// tests), forms without a frame placed on the screen, and probe controls that log what they hear.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "tests/platform/WindowTestFixture.h"

namespace ctltest {

using namespace win;

inline std::string MsgName(UINT m) {
  switch (m) {
    case CM_MOUSEENTER: return "enter";
    case CM_MOUSELEAVE: return "leave";
    case CM_ENTER: return "CM_ENTER";
    case CM_EXIT: return "CM_EXIT";
    case CM_FOCUSCHANGED: return "focuschanged";
    case CM_CANCELMODE: return "cancelmode";
    case CM_DIALOGKEY: return "dialogkey";
    case CM_DIALOGCHAR: return "dialogchar";
    default: return std::to_string(m);
  }
}

// Every probe writes "<Name>:<event>" into one shared log, so orders across controls show.
inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

template <typename Base>
class Probe : public Base {
public:
  explicit Probe(TComponent* AOwner) : Base(AOwner) {}
  std::vector<UINT> Watch{CM_MOUSEENTER, CM_MOUSELEAVE, CM_ENTER, CM_EXIT, CM_CANCELMODE};
  TColor Fill = clNone;
  int FocusChanged = 0;
  TControl* LastFocus = nullptr;
  TControl* CancelSender = nullptr;

  void Dispatch(TMessage& m) override {
    if (std::find(Watch.begin(), Watch.end(), m.Msg) != Watch.end()) Log().push_back(this->Name() + ":" + MsgName(m.Msg));
    if (m.Msg == CM_FOCUSCHANGED) {
      ++FocusChanged;
      LastFocus = reinterpret_cast<TControl*>(m.LParam);
    }
    if (m.Msg == CM_CANCELMODE) CancelSender = reinterpret_cast<TControl*>(m.LParam);
    Base::Dispatch(m);
  }

protected:
  void Paint() override {
    if (Fill == clNone) return;
    this->Canvas()->Brush()->SetColor(Fill);
    this->Canvas()->FillRect(TRect{0, 0, this->Width(), this->Height()});
  }
};

using GraphicProbe = Probe<TGraphicControl>;
using WinProbe = Probe<TCustomControl>;

inline uint32_t Rgb(uint32_t pixel) { return pixel & 0xFFFFFF; }
// A TColor as the headless back buffer stores it (B,G,R in the low three bytes, little-endian).
inline uint32_t Px(TColor c) {
  COLORREF r = ColorToRGB(c);
  return (uint32_t(GetRValue(r)) << 16) | (uint32_t(GetGValue(r)) << 8) | GetBValue(r);
}

class ControlTest : public wintest::WindowTest {
protected:
  void SetUp() override {
    WindowTest::SetUp();
    Log().clear();
  }
  void TearDown() override {
    owner.reset();
    Log().clear();
    WindowTest::TearDown();
  }

  // A frameless form at (x, y), so client and screen coordinates differ only by the offset.
  TForm* NewForm(int x = 100, int y = 100, int w = 200, int h = 100) {
    auto* f = new TForm(owner.get());
    f->SetBorderStyle(bsNone);
    f->SetBounds(x, y, w, h);
    return f;
  }
  template <typename T>
  T* Make(TWinControl* parent, const std::string& name, int x, int y, int w, int h) {
    auto* c = new T(owner.get());
    c->SetName(name);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    return c;
  }
  // Moves the pointer to a client point of a control.
  void MoveTo(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint{x, y});
    headless::MoveMouse(p.x, p.y);
    Pump();
  }
  void ClickAt(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint{x, y});
    headless::Click(p.x, p.y);
    Pump();
  }

  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
};

}  // namespace ctltest
