#pragma once
// Hints: the hint window, the class the application builds it from, and the information the
// application hands to a control (CM_HINTSHOW) and to Application.OnShowHint before a hint is
// shown. The timing engine itself lives in the application (Forms.h), on the program's clock.
#include <functional>
#include <string>

#include "classlib/Controls.h"

// A popup that shows one hint: never activated, never focused, transparent to the mouse (a
// press goes to the control beneath). The plain look is the info-tip colours (Color, default
// clInfoBk, text clInfoText) in a one-pixel frame (WS_BORDER), the text from (2, 2) with its
// line breaks. A skinned hint derives from it and replaces CreateParams, Paint, CalcHintRect
// and ActivateHint.
class THintWindow : public TCustomControl {
public:
  explicit THintWindow(TComponent* AOwner);
  ~THintWindow() override;

  // Shows AHint in the window, moved and sized to Rect (screen coordinates), on top of every
  // other window and without taking the activation.
  virtual void ActivateHint(TRect Rect, const std::string& AHint);
  // The same with the data a THintInfo carried (nothing in the plain window uses it).
  virtual void ActivateHintData(TRect Rect, const std::string& AHint, void* AData);
  // The window's size for AHint at (0, 0): lines break at line breaks and at MaxWidth.
  virtual TRect CalcHintRect(int32_t MaxWidth, const std::string& AHint, void* AData);
  // Whether a message of the program's queue ends the hint: keys, mouse presses, activation.
  virtual bool IsHintMsg(const win::MSG& Msg);
  // Hides the hint and frees its window (the next activation makes a new one).
  void ReleaseHandle();
  // The window is up.
  bool IsShowing();
  bool CanFocus() override { return false; }
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
};

// The class the application builds its hint window from; a skinned hint installs its own and
// toggles Application.ShowHint so that the application rebuilds the window.
using THintWindowClass = std::function<THintWindow*(TComponent* AOwner)>;
template <typename T>
THintWindowClass HintWindowClassOf() {
  return [](TComponent* AOwner) -> THintWindow* { return new T(AOwner); };
}
THintWindowClass& HintWindowClass();

// What is about to be shown, for the control (CM_HINTSHOW, LParam = &info; a non-zero result
// refuses the hint) and then for Application.OnShowHint. Points and rectangles are in the hint
// control's client coordinates except HintPos (screen).
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint HintPos{};        // the window's top-left on the screen
  int32_t HintMaxWidth = 0;  // lines longer than this break
  TColor HintColor = clInfoBk;
  TRect CursorRect{};      // moving the pointer out of it ends the hint
  TPoint CursorPos{};
  int32_t ReshowTimeout = 0;  // > 0: ask again after so many ms while the pointer stays
  int32_t HideTimeout = 0;    // the hint hides after so many ms (0 or less: stays up)
  std::string HintStr;
  void* HintData = nullptr;
};

using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// A hint "short|long": the part before the first "|" (all of it without one) goes into the hint
// window, the part after it (all of it without one) into Application.Hint, e.g. a status bar.
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);
// How far below the pointer's hot spot a hint starts, so that it does not cover the pointer.
int32_t GetCursorHeightMargin();

// Called by every windowed control for each message it receives: pointer movement starts and
// moves the hint timing, presses, keys and leaving the program's windows end a hint.
void HintMessageHook(TControl* Control, const TMessage& Message);
