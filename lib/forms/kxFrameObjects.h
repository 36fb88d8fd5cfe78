#pragma once
// The frame objects of a skinned form: caption buttons, picture buttons that may drop a menu,
// frame-strip animations, user-drawn areas and the caption text. Each is a plain object (not a
// window) that knows its rectangle on the form window, draws itself into a canvas whose origin
// is the window's top-left and reacts to the mouse events the form routes to it.
//
//   kxFrameObjects.cpp   the base, user object, animation, button and standard button
//   kxCaptionObject.cpp  the caption text object and the quick buttons
#include <cstdint>
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

class TkxActiveSkinObject {
public:
  // ARecord is the object's skin record, or nullptr for the default look's buttons; it is
  // copied, never changed.
  TkxActiveSkinObject(TkxVelara* AParent, TkxDataSkinObject* AData);
  virtual ~TkxActiveSkinObject() = default;

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

protected:
  // Draws the morph between the normal image (from Src at SrcRect) and the hot one.
  void DrawMorph(TCanvas* Cnvs, TBitmap* NormalSrc, const TRect& NormalRect, TBitmap* HotSrc, const TRect& HotRect);
  bool MorphDue();
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
