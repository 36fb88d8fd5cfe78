#pragma once
// The frame objects of a skinned form: caption buttons, picture buttons that may drop a menu,
// frame-strip animations, user-drawn areas and the caption text. Each is a plain object (not a
// window) that knows its rectangle on the form window, draws itself into a canvas whose origin
// is the window's top-left and reacts to the mouse events the form routes to it.
//
//   kxFrameObjects.cpp   the base, user object, animation, button and standard button
//   kxCaptionObject.cpp  the caption text object and the quick buttons
#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "lib/skin/kxSkinKeys.h"

class TBitmap;
class TCanvas;
class TMenuItem;
class TkxDataSkinObject;
class TkxDataSkinCaption;
class TkxSkinData;
class TkxVelara;
class TkxLayerManager;

class TkxActiveSkinObject : public TObject {
public:
  // ARecord is the object's skin record, or nullptr for the default look's buttons; it is
  // copied, never changed.
  TkxActiveSkinObject(TkxVelara* AParent, TkxDataSkinObject* AData);
  ~TkxActiveSkinObject() override = default;

  virtual bool PointInMask(int32_t X, int32_t Y);
  virtual void ShowLayer();
  virtual void HideLayer();
  virtual bool CanMorphing();
  virtual void Draw(TCanvas* Cnvs, bool UpDate);
  virtual void DblClick() {}
  virtual void MouseDown(int32_t X, int32_t Y, TMouseButton Button);
  virtual void MouseUp(int32_t X, int32_t Y, TMouseButton Button);
  virtual void MouseMove(int32_t X, int32_t Y);
  virtual void MouseEnter();
  virtual void MouseLeave();

  bool EnableMorphing();
  // One morph step towards the hot (Active) or the normal image, then a redraw.
  void DoMorphing();
  void ReDraw();

  // The morph factor, kept in whole fifths so that both directions take exactly five steps:
  // 0 shows the normal image, 5 the hot one.
  double MorphKf() const { return FMorphSteps / 5.0; }
  void SetMorphKf(double Value);
  int32_t FMorphSteps = 0;

  TkxVelara* Parent;
  bool FMouseIn = false;
  TBitmap* Picture = nullptr;
  TBitmap* ActivePicture = nullptr;
  TBitmap* ActiveMaskPicture = nullptr;
  TkxSkinData* SD = nullptr;
  std::string IDName, Hint;
  TRect SkinRect{}, ActiveSkinRect{}, InActiveSkinRect{};
  TRect ObjectRect{};
  bool Active = false;
  bool Morphing = false;
  TkxMorphKind MorphKind = mkDefault;
  bool Enabled = true, Visible = true;
  bool SkinRectInAPicture = false;
  int32_t GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int32_t GlowLayerOffsetX = 0, GlowLayerOffsetY = 0;
  int32_t GlowLayerAlphaBlendValue = 255;

  // ObjectRect on the screen (the glow layer and menus open there).
  TRect ScreenRect();

protected:
  // Draws the morph between the normal image (from Src at SrcRect) and the hot one.
  void DrawMorph(TCanvas* Cnvs, TBitmap* NormalSrc, const TRect& NormalRect, TBitmap* HotSrc, const TRect& HotRect);
  bool MorphDue();
  // The form's skin when it is loaded; nullptr for none or an empty one.
  TkxSkinData* UsableSkin();
  // Copies SrcRect of Src onto ObjectRect of Cnvs (stretched); nothing for no picture or rect.
  void CopyToObject(TCanvas* Cnvs, TBitmap* Src, const TRect& SrcRect);
  // Shows or hides the glow on the given layer manager (the menu buttons keep their own).
  void ShowLayerOn(TkxLayerManager* Manager);
  void HideLayerOn(TkxLayerManager* Manager);
};

class TkxUserObject : public TkxActiveSkinObject {
public:
  using TkxActiveSkinObject::TkxActiveSkinObject;
  void Draw(TCanvas* Cnvs, bool UpDate) override;
};

class TkxSkinAnimateObject : public TkxActiveSkinObject {
public:
  TkxSkinAnimateObject(TkxVelara* AParent, TkxDataSkinObject* AData);
  void ShowLayer() override;
  void HideLayer() override;
  void Draw(TCanvas* Cnvs, bool UpDate) override;
  void DblClick() override;
  void MouseDown(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseUp(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  void Start();
  void Stop();
  void ChangeFrame();
  // Runs the object's command (a caption button drawn as a strip).
  void DoCommand();
  // Drops the attached menu under (or above) the object.
  void TrackMenu();
  // The form is in the state this button's command flips back (maximized, minimized, rolled up).
  bool InRestoreState();
  int32_t Frame() const { return FFrame; }
  void SetFrame(int32_t Value);

  int32_t FFrame = 1;
  int32_t FInc = 0;
  int32_t TimerInterval = 0;
  TMenuItem* MenuItem = nullptr;
  bool FPopupUp = false, FDown = false, FMenuTracking = false;
  int32_t CountFrames = 0;
  bool Cycle = false, ButtonStyle = false;
  bool Increment = true;
  TkxStdCommand Command = cmClose;
  TRect DownSkinRect{};
  TRect RestoreRect{}, RestoreActiveRect{}, RestoreInActiveRect{}, RestoreDownRect{};
  std::string RestoreHint, FTempHint;
};

class TkxSkinButtonObject : public TkxActiveSkinObject {
public:
  TkxSkinButtonObject(TkxVelara* AParent, TkxDataSkinObject* AData);
  void ShowLayer() override;
  void HideLayer() override;
  bool CanMorphing() override;
  void Draw(TCanvas* Cnvs, bool UpDate) override;
  void MouseDown(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseUp(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  bool Down() const { return FDown; }
  void SetDown(bool Value);
  // Drops the attached menu under (or above) the button.
  void TrackMenu();

  bool FDown = false;
  bool FPopupUp = false;
  TRect DisableSkinRect{}, DownRect{};
  TMenuItem* MenuItem = nullptr;
};

class TkxSkinStdButtonObject : public TkxSkinButtonObject {
public:
  TkxSkinStdButtonObject(TkxVelara* AParent, TkxDataSkinObject* AData);
  bool PointInMask(int32_t X, int32_t Y) override;
  void ShowLayer() override;
  void HideLayer() override;
  bool CanMorphing() override;
  void Draw(TCanvas* Cnvs, bool UpDate) override;
  void DblClick() override;
  void MouseDown(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseUp(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseEnter() override;

  // The default look (no skin): a navy frame and a glyph per command.
  void DefaultDraw(TCanvas* Cnvs);
  void DoCommand();
  bool InRestoreState();
  // The system-menu button that shows the form's icon.
  bool IsIconButton();

  bool FSkinSupport = false;
  TkxStdCommand Command = cmClose;
  TRect RestoreRect{}, RestoreActiveRect{}, RestoreInActiveRect{}, RestoreDownRect{};
  std::string RestoreHint, FTempHint;
};

class TkxSkinCaptionObject : public TkxActiveSkinObject {
public:
  // Needs its record.
  TkxSkinCaptionObject(TkxVelara* AParent, TkxDataSkinObject* AData);
  void Draw(TCanvas* Cnvs, bool UpDate) override;
  void MouseDown(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseUp(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseMove(int32_t X, int32_t Y) override;
  void MouseEnter() override;
  void MouseLeave() override;

  bool EnableAnimation();
  // The caption text: the window text (and an MDI main form's maximized child's, when MDI comes).
  std::string CaptionText();
  // Where the text goes, relative to the object's top-left.
  TRect TextRect();
  // Finds the hot quick button at a window point and repaints the frame when it changed.
  void TrackQuickButtons(int32_t X, int32_t Y);
  bool HasQuickButtons();

private:
  void SetCaptionFont(TCanvas* C, TColor Color);
  // One text pass (plate, light and shadow copies, the text with its effect) shifted by DX, DY.
  void DrawCaptionText(TCanvas* C, const TRect& TR, int32_t DX, int32_t DY, bool AActive);
  // The caption's background of ObjectRect's size from S of P, ends kept, middle filled.
  std::unique_ptr<TBitmap> Background(TBitmap* P, const TRect& S);
  TRect AnimationFrameRect(int32_t N);
  void DrawQuickButtons(TCanvas* Cnvs);
  void RepaintFrame();

public:

  int32_t ActiveQuickButton = -1, OldActiveQuickButton = -1;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0;
  TColor ShadowColor = 0, ActiveShadowColor = 0;
  bool Shadow = false;
  TColor LightColor = 0, ActiveLightColor = 0;
  bool Light = false;
  TAlignment Alignment = taLeftJustify;
  TRect TextRct{};
  TRect FrameRect{}, ActiveFrameRect{};
  int32_t FrameLeftOffset = 0, FrameRightOffset = 0;
  TRect FrameTextRect{};
  bool StretchEffect = false;
  bool FullFrame = false;
  int32_t FIncTime = 0;
  TRect AnimateSkinRect{};
  int32_t FrameCount = 0;
  int32_t AnimateInterval = 0;
  int32_t CurrentFrame = 0;
  bool InActiveAnimation = false;
  bool VistaGlowEffect = false, VistaGlowInActiveEffect = false;
  bool GlowEffect = false, GlowInActiveEffect = false;
  int32_t GlowSize = 0;
  TColor GlowColor = 0, GlowActiveColor = 0;
  int32_t GlowOffset = 0;
  bool ReflectionEffect = false;
  TColor ReflectionColor = 0, ReflectionActiveColor = 0;
  int32_t ReflectionOffset = 0;
};
