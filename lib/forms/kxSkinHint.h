#pragma once
// The skinned hint: TkxSkinHint installs TkxSkinHintWindow as the class library's hint window
// class, so every tooltip of the program is drawn from the skin's hint-window record (a nine-part
// picture, optionally shaped by its mask) or, without one, in a plain info-tip look. It takes
// Application.OnShowHint to give a skinned control's hint title and picture to the window, breaks
// hint lines at its LineSeparator, and shows hints by program: at a point, at the cursor after the
// application's hint pause, or beside a rectangle.
//
// Rules its users rely on:
// - One TkxSkinHint is active at a time: the first active one among the main form's components
//   drives every hint window. Without a main form or an active one, hint windows show nothing.
// - A component has at most one pending request (waiting to show or waiting to hide); every new
//   request and HideHint cancel it. The fade-in runs on a timer of the window, never blocking.
#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Hints.h"
#include "lib/controls/kxSkinBinding.h"

class TCustomImageList;
class TFont;
class TTimer;
class TkxSkinData;
class TkxSkinHint;

class TkxSkinHintWindow : public THintWindow {
public:
  explicit TkxSkinHintWindow(TComponent* AOwner);
  ~TkxSkinHintWindow() override;

  // The class library's entry: AHint with the window's top-left at Rect's top-left (the window
  // takes its own size). It shows the driving component's title and picture when it has any.
  void ActivateHint(TRect Rect, const std::string& AHint) override;
  // The same with a bold title line and a picture beside the text.
  void ActivateHintEx(TRect Rect, const std::string& AHintTitle, const std::string& AHint, int32_t AImageIndex,
                      TCustomImageList* AImageList);
  // AHint centred on ARect, just below it, or just above it when ATop.
  void ActivateHintFromRect(TRect ARect, const std::string& AHint, bool ATop);
  // The size the window takes for AHint (so the application places it where it fits).
  TRect CalcHintRect(int32_t MaxWidth, const std::string& AHint, void* AData) override;
  void Dispatch(TMessage& Message) override;

  // The fade-in running from the last activation: whether it runs, and the alpha reached.
  bool Fading() const { return FFading; }
  int32_t FadeAlpha() const { return FFadeAlpha; }

  // The component driving this activation, and the skin of this hint (none: the plain look);
  // both let go when freed, as a shown hint may outlive them.
  TkxComponentLink<TkxSkinHint> FspHint;
  TkxComponentLink<TkxSkinData> FSD;
  TRect NewClRect{};
  TPoint NewLTPoint{}, NewRTPoint{}, NewLBPoint{}, NewRBPoint{};
  bool FOldAlphaBlend = false;
  uint8_t FOldAlphaBlendValue = 0;
  bool AExtendedStyle = false;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

private:
  // Steps 1 to 10 of an activation once the component and the text are known: font, size,
  // place (TopLeft, or centred on FromRect when FromRect is given), alpha, region, show, fade.
  void Show(TPoint TopLeft, const TRect* FromRect, bool ATop, const std::string& AHint);
  // FSD from the driving component's skin: set, loaded and holding a hint picture.
  void ChooseSkin();
  void PrepareFont(TCanvas* C);
  void CalcHintSize(const std::string& Text, int32_t& W, int32_t& H);
  void CalcExtendedSize(const std::string& Text, int32_t& W, int32_t& H);
  // The skinned look's frame around a text area of W x H (both grow to the window's size).
  void FitSkinFrame(int32_t& W, int32_t& H, int32_t Extra);
  void SetHintRegion();
  void PaintBackground(TBitmap* B);
  void PaintExtended(TBitmap* B);
  TBitmap* HintPicture() const;
  bool ValidImage() const;
  void StopFade();
  void FadeTick();

  // The title and picture of an extended hint, kept by the window itself so that what it paints
  // does not depend on which component asked.
  std::string FTitle;
  int32_t FImageIndex = -1;
  TkxComponentLink<TCustomImageList> FImageList;
  int32_t FTitleHeight = 0;
  win::HRGN FRgn = nullptr;  // held by the window once set
  bool FFading = false;
  int32_t FFadeAlpha = 0, FFadeStep = 1, FFadeTarget = 0;
  uint64_t FLastFadeTick = 0;
};

class TkxSkinHint : public TComponent {
public:
  explicit TkxSkinHint(TComponent* AOwner);
  ~TkxSkinHint() override;

  // ---- published properties ----
  const std::string& LineSeparator() const { return FLineSeparator; }
  void SetLineSeparator(const std::string& Value) { FLineSeparator = Value; }
  TkxSkinData* SkinData() const { return FSD.Get(); }
  void SetSkinData(TkxSkinData* Value) { FSD.Set(Value); }
  bool Active() const { return FActive; }
  // On: every other active TkxSkinHint of the main form goes inactive, and this one takes
  // Application.OnShowHint. Off changes nothing else.
  void SetActive(bool Value);
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(int32_t Value);
  bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  // Called after the component's own Application.OnShowHint handling.
  TShowHintEvent OnShowHint;

  // ---- hints by program ----
  void ActivateHint(TPoint P, const std::string& AHint);
  void ActivateHintEx(TPoint P, const std::string& AHintTitle, const std::string& AHint, int32_t AImageIndex,
                      TCustomImageList* AImageList);
  // At the cursor after Application.HintPause, hidden after Application.HintHidePause.
  void ActivateHint2(const std::string& AHint);
  void ActivateHintEx2(const std::string& AHintTitle, const std::string& AHint, int32_t AImageIndex,
                       TCustomImageList* AImageList);
  // Beside AFromRect (below it, or above it with ATop) after HintPause, hidden after HintHidePause.
  void ActivateHint3(TRect AFromRect, const std::string& AHint, bool ATop);
  bool IsVisible();
  void HideHint();
  // How far below the cursor's hot spot a hint starts.
  int32_t GetCursorHeightMargin();
  // AHint with every LineSeparator turned into a line break, in one pass from left to right.
  std::string ReplaceLineSeparators(const std::string& AHint) const;

  // A request is waiting (to show or to hide).
  bool Pending() const;

  // The component's own hint window (owned).
  TkxSkinHintWindow* HW = nullptr;
  // Title and picture of the hint being prepared or shown; the hint windows read them.
  std::string FHintTitle;
  int32_t FHintImageIndex = 0;
  TkxComponentLink<TCustomImageList> FHintImageList;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ApplicationShowHint(std::string& HintStr, bool& CanShow, THintInfo& HintInfo);
  void InstallShowHintHandler();
  enum class TPendingKind { None, Show, ShowEx, ShowFromRect, Hide };
  void StartTimer(TPendingKind Kind, int32_t Interval);
  void TimerExpired();
  TPoint HintPointAtCursor();

  std::string FLineSeparator = "@";
  TkxComponentLink<TkxSkinData> FSD;
  bool FActive = true;
  bool FAlphaBlend = false, FAlphaBlendAnimation = false;
  uint8_t FAlphaBlendValue = 0;
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  TTimer* HintTimer = nullptr;  // owned; one for the component's life, disabled when idle
  TPendingKind FPending = TPendingKind::None;
  std::string HintText;
  TRect FromRect{};
  bool Top = false;
};

// The first active TkxSkinHint among the main form's components; nullptr without a main form.
TkxSkinHint* FindSkinHint();

// Form streaming of the hint component.
void RegisterSkinHintFormClasses();
