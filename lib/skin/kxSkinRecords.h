#pragma once
// The records of a skin: one control record per skinned-control look, the frame object records
// (caption, caption buttons, menu items, ...) and the four single records (popup window, layered
// frame, hint window, colours). Each record reads and writes its own INI section; the controls,
// forms and menus read the public fields directly.
//
// Every class lists its keys in a TkxKeyTable (Keys()); LoadFromFile reads the parent's keys
// first, then its own; SaveToFile erases the section (in the base class) and writes them in
// the same manner. A malformed rect or point raises EConvertError and ends the load there.
#include <memory>
#include <string>
#include <vector>

#include "lib/skin/kxSkinKeys.h"

// ---- control records ---------------------------------------------------------------------------

class TkxDataSkinControl : public TObject {
public:
  explicit TkxDataSkinControl(const std::string& AIDName) : IDName(AIDName) {}
  virtual void LoadFromFile(TCustomIniFile& IniFile);
  virtual void SaveToFile(TCustomIniFile& IniFile);
  // The key tables of this record's class and its ancestors, ancestors first.
  virtual std::vector<const TkxKeyTable*> KeyTables() const { return {&Keys()}; }
  static const TkxKeyTable& Keys();

  std::string IDName;
  int32_t PictureIndex = -1;
  int32_t MaskPictureIndex = -1;
  TRect SkinRect{};
};

// Adds a class's own keys after its parent's.
template <typename Self, typename Parent>
class TkxSkinRecordKind : public Parent {
public:
  using Parent::Parent;
  void LoadFromFile(TCustomIniFile& IniFile) override {
    Parent::LoadFromFile(IniFile);
    LoadSkinKeys(IniFile, this->IDName, Self::Keys(), *this);
  }
  void SaveToFile(TCustomIniFile& IniFile) override {
    Parent::SaveToFile(IniFile);
    SaveSkinKeys(IniFile, this->IDName, Self::Keys(), *this);
  }
  std::vector<const TkxKeyTable*> KeyTables() const override {
    auto t = Parent::KeyTables();
    t.push_back(&Self::Keys());
    return t;
  }
};

#define KX_SKIN_RECORD(Self, Parent)     \
  class Self : public TkxSkinRecordKind<Self, Parent> { \
  public:                                \
    using TkxSkinRecordKind::TkxSkinRecordKind; \
    static const TkxKeyTable& Keys();

// The nine-part geometry with which a control resizes its picture.
KX_SKIN_RECORD(TkxDataSkinCustomControl, TkxDataSkinControl)
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  TRect ClRect{};
  bool StretchEffect = false;
  TkxStretchType StretchType = kxstFull;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
};

// ---- kinds on the base record ----
KX_SKIN_RECORD(TkxDataSkinBevel, TkxDataSkinControl)
  TColor LightColor = 0, DarkColor = 0;
};

// Tree views, list views and rich edits: the font of the items and the background.
KX_SKIN_RECORD(TkxDataSkinTreeView, TkxDataSkinControl)
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, BGColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinListView, TkxDataSkinControl)
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, BGColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinRichEdit, TkxDataSkinControl)
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, BGColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinStdLabelControl, TkxDataSkinControl)
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinSlider, TkxDataSkinControl)
  TRect HRulerRect{}, HThumbRect{}, VRulerRect{}, VThumbRect{};
  int32_t EdgeSize = 0;
  TColor BGColor = 0, PointsColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinMainMenuBar, TkxDataSkinControl)
  TRect ItemsRect{};
  std::string MenuBarItem, CloseButton, MaxButton, MinButton, SysMenuButton;
  TColor TrackMarkColor = 0, TrackMarkActiveColor = 0;
  bool StretchEffect = false, ItemTransparent = false;
};
KX_SKIN_RECORD(TkxDataSkinTabControl, TkxDataSkinControl)
  TRect TabRect{}, ActiveTabRect{}, FocusTabRect{}, MouseInTabRect{}, ClRect{}, TabsBGRect{};
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  int32_t TabLeftOffset = 0, TabRightOffset = 0;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
  std::string UpDown;
  int32_t BGPictureIndex = -1;
  bool TabStretchEffect = false, ShowFocus = false;
  int32_t FocusOffsetX = 0, FocusOffsetY = 0;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false, StretchEffect = false;
  TkxStretchType StretchType = kxstFull;
  TRect CloseButtonRect{}, CloseButtonActiveRect{}, CloseButtonDownRect{};
  bool ButtonTransparent = false;
  TColor ButtonTransparentColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinGridControl, TkxDataSkinControl)
  TRect FixedCellRect{}, SelectCellRect{}, FocusCellRect{};
  int32_t FixedCellLeftOffset = 0, FixedCellRightOffset = 0;
  TRect FixedCellTextRect{};
  int32_t CellLeftOffset = 0, CellRightOffset = 0;
  TRect CellTextRect{};
  TColor LinesColor = 0, BGColor = 0;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, SelectFontColor = 0, FocusFontColor = 0;
  std::string FixedFontName;
  TFontStyles FixedFontStyle;
  int32_t FixedFontHeight = 0;
  TColor FixedFontColor = 0;
  bool FixedCellStretchEffect = false, CellStretchEffect = false, ShowFocus = false;
  int32_t BGPictureIndex = -1;
};

// ---- button, box, panel and bar kinds ----
KX_SKIN_RECORD(TkxDataSkinButtonControl, TkxDataSkinCustomControl)
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
  TRect ActiveSkinRect{}, DownSkinRect{}, DisabledSkinRect{}, FocusedSkinRect{};
  bool Morphing = false;
  TkxMorphKind MorphKind = mkDefault;
  TRect AnimateSkinRect{};
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool ShowFocus = false;
  TRect MenuMarkerFlatRect{}, MenuMarkerRect{}, MenuMarkerActiveRect{}, MenuMarkerDownRect{};
  TColor MenuMarkerTransparentColor = 0;
  int32_t GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int32_t GlowLayerOffsetLeft = 0, GlowLayerOffsetRight = 0, GlowLayerOffsetTop = 0, GlowLayerOffsetBottom = 0;
  int32_t GlowLayerShowOffsetX = 0, GlowLayerShowOffsetY = 0, GlowLayerAlphaBlendValue = 0;
};
KX_SKIN_RECORD(TkxDataSkinMenuButtonControl, TkxDataSkinButtonControl)
  TRect TrackButtonRect{};
};
KX_SKIN_RECORD(TkxDataSkinCheckRadioControl, TkxDataSkinCustomControl)
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, UnEnabledFontColor = 0;
  TRect ActiveSkinRect{}, CheckImageArea{}, TextArea{};
  TRect CheckImageRect{}, UnCheckImageRect{}, ActiveCheckImageRect{}, ActiveUnCheckImageRect{};
  TRect UnEnabledCheckImageRect{}, UnEnabledUnCheckImageRect{}, GrayedCheckImageRect{}, ActiveGrayedCheckImageRect{};
  bool Morphing = false;
  TkxMorphKind MorphKind = mkDefault;
  TColor FrameFontColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinLabelControl, TkxDataSkinCustomControl)
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinPanelControl, TkxDataSkinCustomControl)
  TRect CaptionRect{};
  TAlignment Alignment = taCenter;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0;
  int32_t BGPictureIndex = -1;
  TRect CheckImageRect{}, UnCheckImageRect{}, MarkFrameRect{}, FrameRect{};
  int32_t FrameLeftOffset = 0, FrameRightOffset = 0;
  TRect FrameTextRect{}, GripperRect{};
  bool GripperTransparent = false;
  TColor GripperTransparentColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinExPanelControl, TkxDataSkinCustomControl)
  TRect RollHSkinRect{}, RollVSkinRect{};
  int32_t RollLeftOffset = 0, RollRightOffset = 0, RollTopOffset = 0, RollBottomOffset = 0;
  TRect RollVCaptionRect{}, RollHCaptionRect{};
  TRect CloseButtonRect{}, CloseButtonActiveRect{}, CloseButtonDownRect{};
  TRect HRollButtonRect{}, HRollButtonActiveRect{}, HRollButtonDownRect{};
  TRect HRestoreButtonRect{}, HRestoreButtonActiveRect{}, HRestoreButtonDownRect{};
  TRect VRollButtonRect{}, VRollButtonActiveRect{}, VRollButtonDownRect{};
  TRect VRestoreButtonRect{}, VRestoreButtonActiveRect{}, VRestoreButtonDownRect{};
  TRect CaptionRect{};
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0;
  bool ButtonsTransparent = false;
  TColor ButtonsTransparentColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinSplitterControl, TkxDataSkinCustomControl)
  TRect GripperRect{};
  bool GripperTransparent = false;
  TColor GripperTransparentColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinGaugeControl, TkxDataSkinCustomControl)
  TRect ProgressArea{}, ProgressRect{};
  bool Vertical = false;
  int32_t BeginOffset = 0, EndOffset = 0;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0;
  bool ProgressTransparent = false;
  TColor ProgressTransparentColor = 0;
  bool ProgressStretch = false;
  TRect AnimationSkinRect{};
  int32_t AnimationCountFrames = 0, AnimationTimerInterval = 0;
  TRect ProgressAnimationSkinRect{};
  int32_t ProgressAnimationCountFrames = 0, ProgressAnimationTimerInterval = 0;
  int32_t AnimationBeginOffset = 0, AnimationEndOffset = 0;
};
KX_SKIN_RECORD(TkxDataSkinTrackBarControl, TkxDataSkinCustomControl)
  TRect ActiveSkinRect{}, TrackArea{}, ButtonRect{}, ActiveButtonRect{};
  bool Vertical = false, ButtonTransparent = false;
  TColor ButtonTransparentColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinScrollBoxControl, TkxDataSkinCustomControl)
  int32_t BGPictureIndex = -1;
};
KX_SKIN_RECORD(TkxDataSkinControlBar, TkxDataSkinCustomControl)
  TRect ItemRect{};
  int32_t BGPictureIndex = -1;
  TRect HGripRect{}, VGripRect{};
  int32_t GripOffset1 = 0, GripOffset2 = 0;
  bool ItemStretchEffect = false;
  int32_t ItemOffset1 = 0, ItemOffset2 = 0;
  bool ItemTransparent = false;
  TColor ItemTransparentColor = 0;
  bool GripTransparent = false;
  TColor GripTransparentColor = 0;
};

// ---- list, edit, scroll and up/down kinds ----
KX_SKIN_RECORD(TkxDataSkinListBox, TkxDataSkinCustomControl)
  TRect SItemRect{}, ActiveItemRect{}, FocusItemRect{};
  int32_t ItemLeftOffset = 0, ItemRightOffset = 0;
  TRect ItemTextRect{};
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0;
  TRect CaptionRect{};
  std::string CaptionFontName;
  TFontStyles CaptionFontStyle;
  int32_t CaptionFontHeight = 0;
  TColor CaptionFontColor = 0;
  TRect UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
  TRect CheckButtonRect{}, ActiveCheckButtonRect{}, DownCheckButtonRect{};
  std::string HScrollBarName, VScrollBarName, BothScrollBarName;
  bool ShowFocus = false;
  TRect DisabledButtonsRect{}, ButtonsArea{};
};
KX_SKIN_RECORD(TkxDataSkinCheckListBox, TkxDataSkinListBox)
  TRect UnCheckImageRect{}, CheckImageRect{}, ItemCheckRect{};
};
KX_SKIN_RECORD(TkxDataSkinComboBox, TkxDataSkinCustomControl)
  TRect SItemRect{}, ActiveItemRect{}, FocusItemRect{};
  int32_t ItemLeftOffset = 0, ItemRightOffset = 0;
  TRect ItemTextRect{};
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, FocusFontColor = 0, ActiveFontColor = 0;
  TRect ButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnEnabledButtonRect{};
  bool ItemStretchEffect = false, FocusItemStretchEffect = false;
  TRect ActiveSkinRect{};
  std::string ListBoxName;
  bool ShowFocus = false;
};
KX_SKIN_RECORD(TkxDataSkinEditControl, TkxDataSkinCustomControl)
  TRect ActiveSkinRect{};
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, DisabledFontColor = 0, ActiveFontColor = 0;
  TRect ButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnEnabledButtonRect{};
};
KX_SKIN_RECORD(TkxDataSkinMemoControl, TkxDataSkinEditControl)
  TColor BGColor = 0, ActiveBGColor = 0;
};
KX_SKIN_RECORD(TkxDataSkinSpinEditControl, TkxDataSkinCustomControl)
  TRect ActiveSkinRect{};
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, DisabledFontColor = 0;
  TRect UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
};
KX_SKIN_RECORD(TkxDataSkinScrollBarControl, TkxDataSkinCustomControl)
  TRect TrackArea{};
  TRect UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
  TRect ThumbRect{}, ActiveThumbRect{}, DownThumbRect{};
  int32_t ThumbOffset1 = 0, ThumbOffset2 = 0;
  TRect GlyphRect{}, ActiveGlyphRect{}, DownGlyphRect{};
  bool GlyphTransparent = false;
  TColor GlyphTransparentColor = 0;
  bool ThumbTransparent = false;
  TColor ThumbTransparentColor = 0;
  bool ThumbStretchEffect = false;
  int32_t ThumbMinSize = 0, ThumbMinPageSize = 0;
};
// Never resizes: its geometry is zero after every load and before every save.
KX_SKIN_RECORD(TkxDataSkinUpDownControl, TkxDataSkinCustomControl)
  TRect UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
  void LoadFromFile(TCustomIniFile& IniFile) override;
  void SaveToFile(TCustomIniFile& IniFile) override;

private:
  void ZeroGeometry();
};

// ---- frame object records ----------------------------------------------------------------------

class TkxDataSkinObject : public TObject {
public:
  explicit TkxDataSkinObject(const std::string& AIDName) : IDName(AIDName) {}
  virtual void LoadFromFile(TCustomIniFile& IniFile);
  virtual void SaveToFile(TCustomIniFile& IniFile);
  virtual std::vector<const TkxKeyTable*> KeyTables() const { return {&Keys()}; }
  static const TkxKeyTable& Keys();

  std::string IDName, Hint;
  bool SkinRectInAPicture = false;
  TRect SkinRect{}, ActiveSkinRect{};
  int32_t ActivePictureIndex = -1, ActiveMaskPictureIndex = -1;
  TRect InActiveSkinRect{};
  bool Morphing = false;
  TkxMorphKind MorphKind = mkDefault;
  int32_t GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int32_t GlowLayerOffsetX = 0, GlowLayerOffsetY = 0, GlowLayerAlphaBlendValue = 255;
};

// Only "skinrect": none of the object keys are read or written for it.
class TkxDataUserObject : public TkxDataSkinObject {
public:
  using TkxDataSkinObject::TkxDataSkinObject;
  void LoadFromFile(TCustomIniFile& IniFile) override;
  void SaveToFile(TCustomIniFile& IniFile) override;
  std::vector<const TkxKeyTable*> KeyTables() const override { return {&Keys()}; }
  static const TkxKeyTable& Keys();
};

KX_SKIN_RECORD(TkxDataSkinButton, TkxDataSkinObject)
  TRect DownRect{}, DisableSkinRect{};
};

// Sets RestoreHint to "Restore" for the maximize, minimize and roll-up buttons that give none.
void ApplyRestoreHint(const std::string& Hint, TkxStdCommand Command, std::string& RestoreHint);

KX_SKIN_RECORD(TkxDataSkinStdButton, TkxDataSkinButton)
  TkxStdCommand Command = cmClose;
  std::string RestoreHint;
  TRect RestoreRect{}, RestoreActiveRect{}, RestoreDownRect{}, RestoreInActiveRect{};
  void LoadFromFile(TCustomIniFile& IniFile) override;
};
class TkxDataSkinMainMenuBarButton : public TkxDataSkinStdButton {
public:
  using TkxDataSkinStdButton::TkxDataSkinStdButton;
};

// "morphing" is read with the object keys but always ends false.
KX_SKIN_RECORD(TkxDataSkinAnimate, TkxDataSkinObject)
  int32_t CountFrames = 0;
  bool Cycle = false, ButtonStyle = false;
  int32_t TimerInterval = 0;
  TkxStdCommand Command = cmClose;
  TRect DownSkinRect{};
  std::string RestoreHint;
  TRect RestoreRect{}, RestoreActiveRect{}, RestoreDownRect{}, RestoreInActiveRect{};
  void LoadFromFile(TCustomIniFile& IniFile) override;
};

// An empty active check, radio or arrow picture falls back to the normal one when read.
KX_SKIN_RECORD(TkxDataSkinMenuItem, TkxDataSkinObject)
  TRect DividerRect{};
  int32_t DividerLO = 0, DividerRO = 0, ItemLO = 0, ItemRO = 0;
  std::string FontName;
  int32_t FontHeight = 0;
  TFontStyles FontStyle;
  TColor UnEnabledFontColor = 0, FontColor = 0, ActiveFontColor = 0;
  TRect TextRct{}, ImageRct{};
  bool UseImageColor = false;
  TColor ImageColor = 0, ActiveImageColor = 0;
  bool StretchEffect = false, DividerStretchEffect = false, InActiveStretchEffect = false;
  TRect AnimateSkinRect{};
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false, InActiveTransparent = false;
  TRect CheckImageRect{}, ActiveCheckImageRect{}, RadioImageRect{}, ActiveRadioImageRect{};
  TRect ArrowImageRect{}, ActiveArrowImageRect{};
  void LoadFromFile(TCustomIniFile& IniFile) override;
};

KX_SKIN_RECORD(TkxDataSkinMainMenuItem, TkxDataSkinObject)
  TRect DownRect{};
  std::string FontName;
  int32_t FontHeight = 0;
  TFontStyles FontStyle;
  TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, UnEnabledFontColor = 0;
  TRect TextRct{};
  int32_t ItemLO = 0, ItemRO = 0;
  bool StretchEffect = false;
  TRect AnimateSkinRect{};
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false;
};
class TkxDataSkinMainMenuBarItem : public TkxDataSkinMainMenuItem {
public:
  using TkxDataSkinMainMenuItem::TkxDataSkinMainMenuItem;
};

KX_SKIN_RECORD(TkxDataSkinCaption, TkxDataSkinObject)
  std::string FontName;
  int32_t FontHeight = 0;
  TFontStyles FontStyle;
  TColor FontColor = 0, ActiveFontColor = 0, ShadowColor = 0, ActiveShadowColor = 0;
  bool Shadow = false;
  TAlignment Alignment = taLeftJustify;
  TRect TextRct{}, FrameRect{}, ActiveFrameRect{};
  int32_t FrameLeftOffset = 0, FrameRightOffset = 0;
  TRect FrameTextRect{};
  bool Light = false;
  TColor LightColor = 0, ActiveLightColor = 0;
  bool StretchEffect = false;
  TRect AnimateSkinRect{};
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false, FullFrame = false, GlowEffect = false, VistaGlowEffect = false;
  bool VistaGlowInActiveEffect = false, GlowInActiveEffect = false;
  int32_t GlowSize = 0;
  TColor GlowColor = 0, GlowActiveColor = 0;
  int32_t GlowOffset = 0;
  bool ReflectionEffect = false;
  TColor ReflectionColor = 0, ReflectionActiveColor = 0;
  int32_t ReflectionOffset = 0;
};

#undef KX_SKIN_RECORD

// ---- single records ----------------------------------------------------------------------------

class TkxDataSkinPopupWindow : public TObject {
public:
  void LoadFromFile(TCustomIniFile& IniFile);
  void SaveToFile(TCustomIniFile& IniFile);
  static const TkxKeyTable& Keys();
  static constexpr const char* Section = "POPUPWINDOW";

  int32_t WindowPictureIndex = -1, MaskPictureIndex = -1;
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  TRect ItemsRect{};
  TColor ScrollMarkerColor = 0, ScrollMarkerActiveColor = 0;
  bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false, StretchEffect = false;
  TkxStretchType StretchType = kxstFull;
};

class TkxDataSkinLayerFrame : public TObject {
public:
  void LoadFromFile(TCustomIniFile& IniFile);
  void SaveToFile(TCustomIniFile& IniFile);
  static const TkxKeyTable& Keys();
  static constexpr const char* Section = "LAYERFRAME";

  int32_t PictureIndex = -1, MaskPictureIndex = -1, InActivePictureIndex = -1, InActiveMaskPictureIndex = -1;
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  TRect ClRect{};
  int32_t AlphaBlendValue = 255, InActiveAlphaBlendValue = 255;
  TRect BorderRect{};
  bool HitTestEnable = false;
};

// Created with FontHeight 12, while a section without "fontheight" reads 14.
class TkxDataSkinHintWindow : public TObject {
public:
  void LoadFromFile(TCustomIniFile& IniFile);
  void SaveToFile(TCustomIniFile& IniFile);
  static const TkxKeyTable& Keys();
  static constexpr const char* Section = "HINTWINDOW";

  int32_t WindowPictureIndex = -1, MaskPictureIndex = -1;
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  TRect ClRect{};
  std::string FontName = "Arial";
  TFontStyles FontStyle;
  int32_t FontHeight = 12;
  TColor FontColor = 0;
  bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false, StretchEffect = false;
  TkxStretchType StretchType = kxstFull;
};

// The system colours (the high byte FF with the colour index) that SetColorsToDefault gives.
constexpr TColor kxclBtnFace = TColor(0xFF00000Fu), kxclBtnText = TColor(0xFF000012u), kxclWindow = TColor(0xFF000005u),
                 kxclWindowText = TColor(0xFF000008u), kxclHighLight = TColor(0xFF00000Du),
                 kxclHighLightText = TColor(0xFF00000Eu), kxclBtnHighLight = TColor(0xFF000014u),
                 kxclBtnShadow = TColor(0xFF000010u);

// The skin's eight colours. Saving does not erase the section first.
class TkxSkinColors : public TObject {
public:
  void LoadFromFile(TCustomIniFile& IniFile);
  void SaveToFile(TCustomIniFile& IniFile);
  void SetColorsToDefault();
  static const TkxKeyTable& Keys();
  static constexpr const char* Section = "SKINCOLORS";

  TColor cBtnFace() const { return FcBtnFace; }
  TColor cBtnText() const { return FcBtnText; }
  TColor cWindow() const { return FcWindow; }
  TColor cWindowText() const { return FcWindowText; }
  TColor cHighLight() const { return FcHighLight; }
  TColor cHighLightText() const { return FcHighLightText; }
  TColor cBtnHighLight() const { return FcBtnHighLight; }
  TColor cBtnShadow() const { return FcBtnShadow; }
  void SetcBtnFace(TColor V) { FcBtnFace = V; }
  void SetcBtnText(TColor V) { FcBtnText = V; }
  void SetcWindow(TColor V) { FcWindow = V; }
  void SetcWindowText(TColor V) { FcWindowText = V; }
  void SetcHighLight(TColor V) { FcHighLight = V; }
  void SetcHighLightText(TColor V) { FcHighLightText = V; }
  void SetcBtnHighLight(TColor V) { FcBtnHighLight = V; }
  void SetcBtnShadow(TColor V) { FcBtnShadow = V; }

  TColor FcBtnFace = 0, FcBtnText = 0, FcWindow = 0, FcWindowText = 0, FcHighLight = 0, FcHighLightText = 0,
         FcBtnHighLight = 0, FcBtnShadow = 0;
};

// ---- kind words --------------------------------------------------------------------------------

// The record of kind Word named IDName, or nullptr when Word (compared exactly) names no kind.
// Whether a record name can name the record's section in the skin text: not empty once blanks
// are trimmed, without "]" and without a line break, and not one of the skin text's own
// sections ("FORMINFO", "SKINCOLORS", ... in any case), which saving the record would erase.
bool IsSkinRecordName(const std::string& IDName);
std::unique_ptr<TkxDataSkinControl> CreateSkinControlRecord(const std::string& Word, const std::string& IDName);
std::unique_ptr<TkxDataSkinObject> CreateSkinObjectRecord(const std::string& Word, const std::string& IDName);
// The word of the first kind (derived kinds first) the record is an instance of; "" for none.
std::string SkinControlKindWord(const TkxDataSkinControl& Record);
std::string SkinObjectKindWord(const TkxDataSkinObject& Record);
// Every kind word, in the order in which the writer tests them.
const std::vector<std::string>& SkinControlKindWords();
const std::vector<std::string>& SkinObjectKindWords();
