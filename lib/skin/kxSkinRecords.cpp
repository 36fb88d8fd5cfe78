#include "lib/skin/kxSkinRecords.h"

#include <functional>

#include "base/Text.h"

namespace {

bool IsEmptyRect(const TRect& R) { return R.right - R.left <= 0 || R.bottom - R.top <= 0; }

}  // namespace

// ---- control records ---------------------------------------------------------------------------

void TkxDataSkinControl::LoadFromFile(TCustomIniFile& IniFile) { LoadSkinKeys(IniFile, IDName, Keys(), *this); }

void TkxDataSkinControl::SaveToFile(TCustomIniFile& IniFile) {
  // A saved section holds exactly the keys of its record.
  IniFile.EraseSection(IDName);
  SaveSkinKeys(IniFile, IDName, Keys(), *this);
}

const TkxKeyTable& TkxDataSkinControl::Keys() {
  using T = TkxDataSkinControl;
  static const TkxKeyTable t{
      IntKey<&T::PictureIndex>("pictureindex", -1, 1),
      IntKey<&T::MaskPictureIndex>("maskpictureindex", -1, 2),
      Key<&T::SkinRect>("skinrect", 3),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinCustomControl::Keys() {
  using T = TkxDataSkinCustomControl;
  static const TkxKeyTable t{
      Key<&T::LTPoint>("lefttoppoint", 1),        Key<&T::RTPoint>("righttoppoint", 2),
      Key<&T::LBPoint>("leftbottompoint", 3),     Key<&T::RBPoint>("rightbottompoint", 4),
      Key<&T::ClRect>("clientrect", 5),           Key<&T::LeftStretch>("leftstretch", 6),
      Key<&T::TopStretch>("topstretch", 7),       Key<&T::RightStretch>("rightstretch", 8),
      Key<&T::BottomStretch>("bottomstretch", 9), Key<&T::StretchEffect>("stretcheffect", 10),
      Key<&T::StretchType>("stretchtype", 11),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinBevel::Keys() {
  using T = TkxDataSkinBevel;
  static const TkxKeyTable t{IntKey<&T::LightColor>("lightcolor", 0, 1), IntKey<&T::DarkColor>("darkcolor", 0, 2)};
  return t;
}

#define KX_VIEW_KEYS(T)                                                                              \
  const TkxKeyTable& T::Keys() {                                                                     \
    static const TkxKeyTable t{StrKey<&T::FontName>("fontname", "Arial", 1),                         \
                               Key<&T::FontStyle>("fontstyle", 3),                                   \
                               IntKey<&T::FontHeight>("fontheight", 14, 2),                          \
                               IntKey<&T::FontColor>("fontcolor", 0, 4),                             \
                               IntKey<&T::BGColor>("bgcolor", 0, 5)};                                \
    return t;                                                                                        \
  }
KX_VIEW_KEYS(TkxDataSkinTreeView)
KX_VIEW_KEYS(TkxDataSkinListView)
KX_VIEW_KEYS(TkxDataSkinRichEdit)
#undef KX_VIEW_KEYS

const TkxKeyTable& TkxDataSkinStdLabelControl::Keys() {
  using T = TkxDataSkinStdLabelControl;
  static const TkxKeyTable t{
      StrKey<&T::FontName>("fontname", "Arial", 1), Key<&T::FontStyle>("fontstyle", 3),
      IntKey<&T::FontHeight>("fontheight", 14, 2),  IntKey<&T::FontColor>("fontcolor", 0, 4),
      IntKey<&T::ActiveFontColor>("activefontcolor", 16711680, 5),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinSlider::Keys() {
  using T = TkxDataSkinSlider;
  static const TkxKeyTable t{
      Key<&T::HRulerRect>("hrulerrect", 2),         Key<&T::HThumbRect>("hthumbrect", 3),
      Key<&T::VRulerRect>("vrulerrect", 4),         Key<&T::VThumbRect>("vthumbrect", 5),
      IntKey<&T::EdgeSize>("edgesize", 0, 6),       IntKey<&T::BGColor>("bgcolor", 0, 1),
      IntKey<&T::PointsColor>("pointscolor", 0, 7),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinMainMenuBar::Keys() {
  using T = TkxDataSkinMainMenuBar;
  static const TkxKeyTable t{
      Key<&T::ItemsRect>("itemsrect", 1),
      StrKey<&T::MenuBarItem>("menubaritem", "", 2),
      StrKey<&T::CloseButton>("closebutton", "", 3),
      StrKey<&T::MaxButton>("maxbutton", "", 5),
      StrKey<&T::MinButton>("minbutton", "", 4),
      StrKey<&T::SysMenuButton>("sysmenubutton", "", 6),
      IntKey<&T::TrackMarkColor>("trackmarkcolor", 0, 7),
      IntKey<&T::TrackMarkActiveColor>("trackmarkactivecolor", 0, 8),
      Key<&T::StretchEffect>("stretcheffect", 9),
      Key<&T::ItemTransparent>("itemtransparent", 10),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinTabControl::Keys() {
  using T = TkxDataSkinTabControl;
  static const TkxKeyTable t{
      Key<&T::TabRect>("tabrect", 1),
      Key<&T::ActiveTabRect>("activetabrect", 2),
      Key<&T::FocusTabRect>("focustabrect", 3),
      Key<&T::MouseInTabRect>("mouseintabrect", 4),
      Key<&T::ClRect>("clientrect", 5),
      Key<&T::TabsBGRect>("tabsbgrect", 13),
      Key<&T::LTPoint>("lefttoppoint", 7),
      Key<&T::RTPoint>("righttoppoint", 8),
      Key<&T::LBPoint>("leftbottompoint", 9),
      Key<&T::RBPoint>("rightbottompoint", 10),
      IntKey<&T::TabLeftOffset>("tableftoffset", 0, 11),
      IntKey<&T::TabRightOffset>("tabrightoffset", 0, 12),
      StrKey<&T::FontName>("fontname", "Arial", 21),
      Key<&T::FontStyle>("fontstyle", 23),
      IntKey<&T::FontHeight>("fontheight", 14, 22),
      IntKey<&T::FontColor>("fontcolor", 0, 24),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 25),
      IntKey<&T::FocusFontColor>("focusfontcolor", 0, 26),
      IntKey<&T::MouseInFontColor>("mouseinfontcolor", 0, 27),
      StrKey<&T::UpDown>("updown", "", 28),
      IntKey<&T::BGPictureIndex>("bgpictureindex", -1, 6),
      Key<&T::TabStretchEffect>("tabstretcheffect", 14),
      Key<&T::ShowFocus>("showfocus", 29),
      IntKey<&T::FocusOffsetX>("focusoffsetx", 0, 30),
      IntKey<&T::FocusOffsetY>("focusoffsety", 0, 31),
      Key<&T::LeftStretch>("leftstretch", 15),
      Key<&T::TopStretch>("topstretch", 16),
      Key<&T::RightStretch>("rightstretch", 17),
      Key<&T::BottomStretch>("bottomstretch", 18),
      Key<&T::StretchEffect>("stretcheffect", 19),
      Key<&T::StretchType>("stretchtype", 20),
      Key<&T::CloseButtonRect>("closebuttonrect", 32),
      Key<&T::CloseButtonActiveRect>("closebuttonactiverect", 33),
      Key<&T::CloseButtonDownRect>("closebuttondownrect", 34),
      Key<&T::ButtonTransparent>("buttontransparent", 35),
      IntKey<&T::ButtonTransparentColor>("buttontransparentcolor", 0, 36),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinGridControl::Keys() {
  using T = TkxDataSkinGridControl;
  static const TkxKeyTable t{
      Key<&T::FixedCellRect>("fixedcellrect", 1),
      Key<&T::SelectCellRect>("selectcellrect", 2),
      Key<&T::FocusCellRect>("focuscellrect", 3),
      IntKey<&T::FixedCellLeftOffset>("fixedcellleftoffset", 0, 4),
      IntKey<&T::FixedCellRightOffset>("fixedcellrightoffset", 0, 5),
      Key<&T::FixedCellTextRect>("fixedcelltextrect", 6),
      IntKey<&T::CellLeftOffset>("cellleftoffset", 0, 7),
      IntKey<&T::CellRightOffset>("cellrightoffset", 0, 8),
      Key<&T::CellTextRect>("celltextrect", 9),
      IntKey<&T::LinesColor>("linescolor", 0, 11),
      IntKey<&T::BGColor>("bgcolor", 0, 12),
      StrKey<&T::FontName>("fontname", "Arial", 13),
      Key<&T::FontStyle>("fontstyle", 15),
      IntKey<&T::FontHeight>("fontheight", 14, 14),
      IntKey<&T::FontColor>("fontcolor", 0, 16),
      IntKey<&T::SelectFontColor>("selectfontcolor", 0, 17),
      IntKey<&T::FocusFontColor>("focusfontcolor", 0, 18),
      StrKey<&T::FixedFontName>("fixedfontname", "Arial", 19),
      Key<&T::FixedFontStyle>("fixedfontstyle", 21),
      IntKey<&T::FixedFontHeight>("fixedfontheight", 14, 20),
      IntKey<&T::FixedFontColor>("fixedfontcolor", 0, 22),
      Key<&T::FixedCellStretchEffect>("fixedcellstretcheffect", 24),
      Key<&T::CellStretchEffect>("cellstretcheffect", 23),
      Key<&T::ShowFocus>("showfocus", 25),
      IntKey<&T::BGPictureIndex>("bgpictureindex", -1, 10, 12.5),  // written after "bgcolor"
  };
  return t;
}

const TkxKeyTable& TkxDataSkinButtonControl::Keys() {
  using T = TkxDataSkinButtonControl;
  static const TkxKeyTable t{
      StrKey<&T::FontName>("fontname", "Arial", 1),
      Key<&T::FontStyle>("fontstyle", 3),
      IntKey<&T::FontHeight>("fontheight", 14, 2),
      IntKey<&T::FontColor>("fontcolor", 0, 4),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 5),
      IntKey<&T::DownFontColor>("downfontcolor", 0, 6),
      IntKey<&T::DisabledFontColor>("disabledfontcolor", 0, 7),
      Key<&T::ActiveSkinRect>("activeskinrect", 8),
      Key<&T::DownSkinRect>("downskinrect", 9),
      Key<&T::DisabledSkinRect>("disabledskinrect", 11),
      Key<&T::FocusedSkinRect>("focusedskinrect", 10),
      Key<&T::Morphing>("morphing", 12),
      Key<&T::MorphKind>("morphkind", 13),
      Key<&T::AnimateSkinRect>("animateskinrect", 14),
      IntKey<&T::FrameCount>("framecount", 0, 15),
      IntKey<&T::AnimateInterval>("animateinterval", 25, 16),
      Key<&T::ShowFocus>("showfocus", 17),
      Key<&T::MenuMarkerFlatRect>("menumarkerflatrect", 18),
      Key<&T::MenuMarkerRect>("menumarkerrect", 19),
      Key<&T::MenuMarkerActiveRect>("menumarkeractiverect", 20),
      Key<&T::MenuMarkerDownRect>("menumarkerdownrect", 21),
      IntKey<&T::MenuMarkerTransparentColor>("menumarkertransparentcolor", 0, 22),
      IntKey<&T::GlowLayerPictureIndex>("glowlayerpictureindex", -1, 23),
      IntKey<&T::GlowLayerMaskPictureIndex>("glowlayermaskpictureindex", -1, 24),
      IntKey<&T::GlowLayerOffsetLeft>("glowlayeroffsetleft", 0, 25),
      IntKey<&T::GlowLayerOffsetRight>("glowlayeroffsetright", 0, 27, 25.5),  // written before "...top"
      IntKey<&T::GlowLayerOffsetTop>("glowlayeroffsettop", 0, 26),
      IntKey<&T::GlowLayerOffsetBottom>("glowlayeroffsetbottom", 0, 28),
      IntKey<&T::GlowLayerShowOffsetX>("glowlayershowoffsetx", 0, 29),
      IntKey<&T::GlowLayerShowOffsetY>("glowlayershowoffsety", 0, 30),
      IntKey<&T::GlowLayerAlphaBlendValue>("glowlayeralphablendvalue", 255, 31),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinMenuButtonControl::Keys() {
  using T = TkxDataSkinMenuButtonControl;
  static const TkxKeyTable t{Key<&T::TrackButtonRect>("trackbuttonrect", 1)};
  return t;
}

const TkxKeyTable& TkxDataSkinCheckRadioControl::Keys() {
  using T = TkxDataSkinCheckRadioControl;
  static const TkxKeyTable t{
      StrKey<&T::FontName>("fontname", "Arial", 1),
      Key<&T::FontStyle>("fontstyle", 3),
      IntKey<&T::FontHeight>("fontheight", 14, 2),
      IntKey<&T::FontColor>("fontcolor", 0, 4),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 5),
      IntKey<&T::UnEnabledFontColor>("unenabledfontcolor", 0, 6),
      Key<&T::ActiveSkinRect>("activeskinrect", 8),
      Key<&T::CheckImageArea>("checkimagearea", 9),
      Key<&T::TextArea>("textarea", 10),
      Key<&T::CheckImageRect>("checkimagerect", 11),
      Key<&T::UnCheckImageRect>("uncheckimagerect", 12),
      Key<&T::ActiveCheckImageRect>("activecheckimagerect", 13),
      Key<&T::ActiveUnCheckImageRect>("activeuncheckimagerect", 14),
      Key<&T::UnEnabledCheckImageRect>("unenabledcheckimagerect", 15),
      Key<&T::UnEnabledUnCheckImageRect>("unenableduncheckimagerect", 16),
      Key<&T::GrayedCheckImageRect>("grayedcheckimagerect", 17),
      Key<&T::ActiveGrayedCheckImageRect>("activegrayedcheckimagerect", 18),
      Key<&T::Morphing>("morphing", 19),
      Key<&T::MorphKind>("morphkind", 20),
      IntKey<&T::FrameFontColor>("framefontcolor", 0, 7, 4.5),  // written right after "fontcolor"
  };
  return t;
}

const TkxKeyTable& TkxDataSkinLabelControl::Keys() {
  using T = TkxDataSkinLabelControl;
  static const TkxKeyTable t{
      StrKey<&T::FontName>("fontname", "Arial", 1), Key<&T::FontStyle>("fontstyle", 3),
      IntKey<&T::FontHeight>("fontheight", 14, 2),  IntKey<&T::FontColor>("fontcolor", 0, 4),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinPanelControl::Keys() {
  using T = TkxDataSkinPanelControl;
  static const TkxKeyTable t{
      Key<&T::CaptionRect>("captionrect", 2),
      Key<&T::Alignment>("alignment", 3),
      StrKey<&T::FontName>("fontname", "Arial", 4),
      Key<&T::FontStyle>("fontstyle", 6),
      IntKey<&T::FontHeight>("fontheight", 14, 5),
      IntKey<&T::FontColor>("fontcolor", 0, 7),
      IntKey<&T::BGPictureIndex>("bgpictureindex", -1, 1),
      Key<&T::CheckImageRect>("checkimagerect", 8),
      Key<&T::UnCheckImageRect>("uncheckimagerect", 9),
      Key<&T::MarkFrameRect>("markframerect", 10),
      Key<&T::FrameRect>("framerect", 11),
      IntKey<&T::FrameLeftOffset>("frameleftoffset", 0, 13),
      IntKey<&T::FrameRightOffset>("framerightoffset", 0, 14),
      Key<&T::FrameTextRect>("frametextrect", 12),
      Key<&T::GripperRect>("gripperrect", 15),
      Key<&T::GripperTransparent>("grippertransparent", 16),
      IntKey<&T::GripperTransparentColor>("grippertransparentcolor", 0, 17),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinExPanelControl::Keys() {
  using T = TkxDataSkinExPanelControl;
  static const TkxKeyTable t{
      Key<&T::RollHSkinRect>("rollhskinrect", 1),
      Key<&T::RollVSkinRect>("rollvskinrect", 2),
      IntKey<&T::RollLeftOffset>("rollleftoffset", 0, 3),
      IntKey<&T::RollRightOffset>("rollrightoffset", 0, 4),
      IntKey<&T::RollTopOffset>("rolltopoffset", 0, 5),
      IntKey<&T::RollBottomOffset>("rollbottomoffset", 0, 6),
      Key<&T::RollVCaptionRect>("rollvcaptionrect", 7),
      Key<&T::RollHCaptionRect>("rollhcaptionrect", 8),
      Key<&T::CloseButtonRect>("closebuttonrect", 9),
      Key<&T::CloseButtonActiveRect>("closebuttonactiverect", 10),
      Key<&T::CloseButtonDownRect>("closebuttondownrect", 11),
      Key<&T::HRollButtonRect>("hrollbuttonrect", 12),
      Key<&T::HRollButtonActiveRect>("hrollbuttonactiverect", 13),
      Key<&T::HRollButtonDownRect>("hrollbuttondownrect", 14),
      Key<&T::HRestoreButtonRect>("hrestorebuttonrect", 15),
      Key<&T::HRestoreButtonActiveRect>("hrestorebuttonactiverect", 16),
      Key<&T::HRestoreButtonDownRect>("hrestorebuttondownrect", 17),
      Key<&T::VRollButtonRect>("vrollbuttonrect", 18),
      Key<&T::VRollButtonActiveRect>("vrollbuttonactiverect", 19),
      Key<&T::VRollButtonDownRect>("vrollbuttondownrect", 20),
      Key<&T::VRestoreButtonRect>("vrestorebuttonrect", 21),
      Key<&T::VRestoreButtonActiveRect>("vrestorebuttonactiverect", 22),
      Key<&T::VRestoreButtonDownRect>("vrestorebuttondownrect", 23),
      Key<&T::CaptionRect>("captionrect", 24),
      StrKey<&T::FontName>("fontname", "Arial", 25),
      Key<&T::FontStyle>("fontstyle", 27),
      IntKey<&T::FontHeight>("fontheight", 14, 26),
      IntKey<&T::FontColor>("fontcolor", 0, 28),
      Key<&T::ButtonsTransparent>("buttonstransparent", 29),
      IntKey<&T::ButtonsTransparentColor>("buttonstransparentcolor", 0, 30),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinSplitterControl::Keys() {
  using T = TkxDataSkinSplitterControl;
  static const TkxKeyTable t{
      Key<&T::GripperRect>("gripperrect", 1),
      Key<&T::GripperTransparent>("grippertransparent", 2),
      IntKey<&T::GripperTransparentColor>("grippertransparentcolor", 0, 3),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinGaugeControl::Keys() {
  using T = TkxDataSkinGaugeControl;
  static const TkxKeyTable t{
      Key<&T::ProgressArea>("progressarea", 1),
      Key<&T::ProgressRect>("progressrect", 2),
      Key<&T::Vertical>("vertical", 5),
      IntKey<&T::BeginOffset>("beginoffset", 0, 3),
      IntKey<&T::EndOffset>("endoffset", 0, 4),
      StrKey<&T::FontName>("fontname", "Arial", 6),
      Key<&T::FontStyle>("fontstyle", 8),
      IntKey<&T::FontHeight>("fontheight", 14, 7),
      IntKey<&T::FontColor>("fontcolor", 0, 9),
      Key<&T::ProgressTransparent>("progresstransparent", 10),
      IntKey<&T::ProgressTransparentColor>("progresstransparentcolor", 0, 11),
      Key<&T::ProgressStretch>("progressstretch", 12),
      Key<&T::AnimationSkinRect>("animationskinrect", 13),
      IntKey<&T::AnimationCountFrames>("animationcountframes", 0, 14),
      IntKey<&T::AnimationTimerInterval>("animationtimerinterval", 0, 15),
      Key<&T::ProgressAnimationSkinRect>("progressanimationskinrect", 16),
      IntKey<&T::ProgressAnimationCountFrames>("progressanimationcountframes", 0, 17),
      IntKey<&T::ProgressAnimationTimerInterval>("progressanimationtimerinterval", 0, 18),
      IntKey<&T::AnimationBeginOffset>("animationbeginoffset", 0, 19),
      IntKey<&T::AnimationEndOffset>("animationendoffset", 0, 20),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinTrackBarControl::Keys() {
  using T = TkxDataSkinTrackBarControl;
  static const TkxKeyTable t{
      Key<&T::ActiveSkinRect>("activeskinrect", 1),
      Key<&T::TrackArea>("trackarea", 2),
      Key<&T::ButtonRect>("buttonrect", 3),
      Key<&T::ActiveButtonRect>("activebuttonrect", 4),
      Key<&T::Vertical>("vertical", 5),
      Key<&T::ButtonTransparent>("buttontransparent", 6),
      IntKey<&T::ButtonTransparentColor>("buttontransparentcolor", 0, 7),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinScrollBoxControl::Keys() {
  using T = TkxDataSkinScrollBoxControl;
  static const TkxKeyTable t{IntKey<&T::BGPictureIndex>("bgpictureindex", -1, 1)};
  return t;
}

const TkxKeyTable& TkxDataSkinControlBar::Keys() {
  using T = TkxDataSkinControlBar;
  static const TkxKeyTable t{
      Key<&T::ItemRect>("itemrect", 1),
      IntKey<&T::BGPictureIndex>("bgpictureindex", -1, 2),
      Key<&T::HGripRect>("hgriprect", 3),
      Key<&T::VGripRect>("vgriprect", 4),
      IntKey<&T::GripOffset1>("gripoffset1", 0, 5),
      IntKey<&T::GripOffset2>("gripoffset2", 0, 6),
      Key<&T::ItemStretchEffect>("itemstretcheffect", 7),
      IntKey<&T::ItemOffset1>("itemoffset1", 3, 8, 6.1),  // both offsets are written before
      IntKey<&T::ItemOffset2>("itemoffset2", 3, 9, 6.2),  // "itemstretcheffect"
      Key<&T::ItemTransparent>("itemtransparent", 10),
      IntKey<&T::ItemTransparentColor>("itemtransparentcolor", 0, 11),
      Key<&T::GripTransparent>("griptransparent", 12),
      IntKey<&T::GripTransparentColor>("griptransparentcolor", 0, 13),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinListBox::Keys() {
  using T = TkxDataSkinListBox;
  static const TkxKeyTable t{
      Key<&T::SItemRect>("itemrect", 1),
      Key<&T::ActiveItemRect>("activeitemrect", 2),
      Key<&T::FocusItemRect>("focusitemrect", 3),
      IntKey<&T::ItemLeftOffset>("itemleftoffset", 0, 4),
      IntKey<&T::ItemRightOffset>("itemrightoffset", 0, 5),
      Key<&T::ItemTextRect>("itemtextrect", 6),
      StrKey<&T::FontName>("fontname", "Arial", 7),
      Key<&T::FontStyle>("fontstyle", 9),
      IntKey<&T::FontHeight>("fontheight", 14, 8),
      IntKey<&T::FontColor>("fontcolor", 0, 10),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 11),
      IntKey<&T::FocusFontColor>("focusfontcolor", 0, 12),
      Key<&T::CaptionRect>("captionrect", 13),
      StrKey<&T::CaptionFontName>("captionfontname", "Arial", 14),
      Key<&T::CaptionFontStyle>("captionfontstyle", 16),
      IntKey<&T::CaptionFontHeight>("captionfontheight", 14, 15),
      IntKey<&T::CaptionFontColor>("captionfontcolor", 0, 17),
      Key<&T::UpButtonRect>("upbuttonrect", 18),
      Key<&T::ActiveUpButtonRect>("activeupbuttonrect", 19),
      Key<&T::DownUpButtonRect>("downupbuttonrect", 20),
      Key<&T::DownButtonRect>("downbuttonrect", 21),
      Key<&T::ActiveDownButtonRect>("activedownbuttonrect", 22),
      Key<&T::DownDownButtonRect>("downdownbuttonrect", 23),
      Key<&T::CheckButtonRect>("checkbuttonrect", 24),
      Key<&T::ActiveCheckButtonRect>("activecheckbuttonrect", 25),
      Key<&T::DownCheckButtonRect>("downcheckbuttonrect", 26),
      StrKey<&T::HScrollBarName>("hscrollbarname", "hscrollbar", 28),
      StrKey<&T::VScrollBarName>("vscrollbarname", "vscrollbar", 27),
      StrKey<&T::BothScrollBarName>("bothhscrollbarname", "bothhscrollbar", 29),
      Key<&T::ShowFocus>("showfocus", 30),
      Key<&T::DisabledButtonsRect>("disabledbuttonsrect", 31),
      Key<&T::ButtonsArea>("buttonsarea", 32),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinCheckListBox::Keys() {
  using T = TkxDataSkinCheckListBox;
  static const TkxKeyTable t{
      Key<&T::UnCheckImageRect>("uncheckimagerect", 3, 1.5),  // written before "checkimagerect"
      Key<&T::CheckImageRect>("checkimagerect", 2),
      Key<&T::ItemCheckRect>("itemcheckrect", 1),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinComboBox::Keys() {
  using T = TkxDataSkinComboBox;
  static const TkxKeyTable t{
      Key<&T::SItemRect>("itemrect", 2),
      Key<&T::ActiveItemRect>("activeitemrect", 3),
      Key<&T::FocusItemRect>("focusitemrect", 4),
      IntKey<&T::ItemLeftOffset>("itemleftoffset", 0, 5),
      IntKey<&T::ItemRightOffset>("itemrightoffset", 0, 6),
      Key<&T::ItemTextRect>("itemtextrect", 7),
      StrKey<&T::FontName>("fontname", "Arial", 8),
      Key<&T::FontStyle>("fontstyle", 10),
      IntKey<&T::FontHeight>("fontheight", 14, 9),
      IntKey<&T::FontColor>("fontcolor", 0, 11),
      IntKey<&T::FocusFontColor>("focusfontcolor", 0, 12),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 13),
      Key<&T::ButtonRect>("buttonrect", 15),
      Key<&T::ActiveButtonRect>("activebuttonrect", 16),
      Key<&T::DownButtonRect>("downbuttonrect", 17),
      Key<&T::UnEnabledButtonRect>("unenabledbuttonrect", 18),
      Key<&T::ItemStretchEffect>("itemstretcheffect", 19),
      Key<&T::FocusItemStretchEffect>("focusitemstretcheffect", 20),
      Key<&T::ActiveSkinRect>("activeskinrect", 1),
      StrKey<&T::ListBoxName>("listboxname", "", 14, 18.5),  // written after "unenabledbuttonrect"
      Key<&T::ShowFocus>("showfocus", 21),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinEditControl::Keys() {
  using T = TkxDataSkinEditControl;
  static const TkxKeyTable t{
      Key<&T::ActiveSkinRect>("activeskinrect", 1),
      StrKey<&T::FontName>("fontname", "Arial", 2),
      Key<&T::FontStyle>("fontstyle", 4),
      IntKey<&T::FontHeight>("fontheight", 14, 3),
      IntKey<&T::FontColor>("fontcolor", 0, 5),
      IntKey<&T::DisabledFontColor>("disabledfontcolor", 0, 6),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 7),
      Key<&T::ButtonRect>("buttonrect", 8),
      Key<&T::ActiveButtonRect>("activebuttonrect", 9),
      Key<&T::DownButtonRect>("downbuttonrect", 10),
      Key<&T::UnEnabledButtonRect>("unenabledbuttonrect", 11),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinMemoControl::Keys() {
  using T = TkxDataSkinMemoControl;
  static const TkxKeyTable t{IntKey<&T::BGColor>("bgcolor", 0, 1), IntKey<&T::ActiveBGColor>("activebgcolor", 0, 2)};
  return t;
}

const TkxKeyTable& TkxDataSkinSpinEditControl::Keys() {
  using T = TkxDataSkinSpinEditControl;
  static const TkxKeyTable t{
      Key<&T::ActiveSkinRect>("activeskinrect", 1),
      StrKey<&T::FontName>("fontname", "Arial", 2),
      Key<&T::FontStyle>("fontstyle", 4),
      IntKey<&T::FontHeight>("fontheight", 14, 3),
      IntKey<&T::FontColor>("fontcolor", 0, 5),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 6),
      IntKey<&T::DisabledFontColor>("disabledfontcolor", 0, 7),
      Key<&T::UpButtonRect>("upbuttonrect", 8),
      Key<&T::ActiveUpButtonRect>("activeupbuttonrect", 9),
      Key<&T::DownUpButtonRect>("downupbuttonrect", 10),
      Key<&T::DownButtonRect>("downbuttonrect", 11),
      Key<&T::ActiveDownButtonRect>("activedownbuttonrect", 12),
      Key<&T::DownDownButtonRect>("downdownbuttonrect", 13),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinScrollBarControl::Keys() {
  using T = TkxDataSkinScrollBarControl;
  static const TkxKeyTable t{
      Key<&T::TrackArea>("trackarea", 1),
      Key<&T::UpButtonRect>("upbuttonrect", 2),
      Key<&T::ActiveUpButtonRect>("activeupbuttonrect", 3),
      Key<&T::DownUpButtonRect>("downupbuttonrect", 4),
      Key<&T::DownButtonRect>("downbuttonrect", 5),
      Key<&T::ActiveDownButtonRect>("activedownbuttonrect", 6),
      Key<&T::DownDownButtonRect>("downdownbuttonrect", 7),
      Key<&T::ThumbRect>("thumbrect", 8),
      Key<&T::ActiveThumbRect>("activethumbrect", 9),
      Key<&T::DownThumbRect>("downthumbrect", 10),
      IntKey<&T::ThumbOffset1>("thumboffset1", 0, 11),
      IntKey<&T::ThumbOffset2>("thumboffset2", 0, 12),
      Key<&T::GlyphRect>("glyphrect", 18),
      Key<&T::ActiveGlyphRect>("activeglyphrect", 19),
      Key<&T::DownGlyphRect>("downglyphrect", 20),
      Key<&T::GlyphTransparent>("glyphtransparent", 21),
      IntKey<&T::GlyphTransparentColor>("glyphtransparentcolor", 0, 22),
      Key<&T::ThumbTransparent>("thumbtransparent", 13),
      IntKey<&T::ThumbTransparentColor>("thumbtransparentcolor", 0, 14),
      Key<&T::ThumbStretchEffect>("thumbstretcheffect", 15),
      IntKey<&T::ThumbMinSize>("thumbminsize", 0, 16),
      IntKey<&T::ThumbMinPageSize>("thumbminpagesize", 0, 17),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinUpDownControl::Keys() {
  using T = TkxDataSkinUpDownControl;
  static const TkxKeyTable t{
      Key<&T::UpButtonRect>("upbuttonrect", 1),         Key<&T::ActiveUpButtonRect>("activeupbuttonrect", 2),
      Key<&T::DownUpButtonRect>("downupbuttonrect", 3), Key<&T::DownButtonRect>("downbuttonrect", 4),
      Key<&T::ActiveDownButtonRect>("activedownbuttonrect", 5),
      Key<&T::DownDownButtonRect>("downdownbuttonrect", 6),
  };
  return t;
}

void TkxDataSkinUpDownControl::ZeroGeometry() {
  LTPoint = RTPoint = LBPoint = RBPoint = TPoint{0, 0};
  ClRect = TRect{0, 0, 0, 0};
}

void TkxDataSkinUpDownControl::LoadFromFile(TCustomIniFile& IniFile) {
  TkxSkinRecordKind::LoadFromFile(IniFile);
  ZeroGeometry();
}

void TkxDataSkinUpDownControl::SaveToFile(TCustomIniFile& IniFile) {
  ZeroGeometry();
  TkxSkinRecordKind::SaveToFile(IniFile);
}

// ---- frame object records ----------------------------------------------------------------------

void TkxDataSkinObject::LoadFromFile(TCustomIniFile& IniFile) { LoadSkinKeys(IniFile, IDName, Keys(), *this); }

void TkxDataSkinObject::SaveToFile(TCustomIniFile& IniFile) {
  IniFile.EraseSection(IDName);
  SaveSkinKeys(IniFile, IDName, Keys(), *this);
}

const TkxKeyTable& TkxDataSkinObject::Keys() {
  using T = TkxDataSkinObject;
  static const TkxKeyTable t{
      StrKey<&T::Hint>("hint", "", 1),
      IntKey<&T::ActivePictureIndex>("activepictureindex", -1, 2),
      IntKey<&T::ActiveMaskPictureIndex>("activemaskpictureindex", -1, 3),
      Key<&T::SkinRectInAPicture>("skinrectinapicture", 4),
      Key<&T::SkinRect>("skinrect", 5),
      Key<&T::ActiveSkinRect>("activeskinrect", 6),
      Key<&T::InActiveSkinRect>("inactiveskinrect", 7),
      Key<&T::Morphing>("morphing", 8),
      Key<&T::MorphKind>("morphkind", 9),
      IntKey<&T::GlowLayerPictureIndex>("glowlayerpictureindex", -1, 10),
      IntKey<&T::GlowLayerMaskPictureIndex>("glowlayermaskpictureindex", -1, 11),
      IntKey<&T::GlowLayerOffsetX>("glowlayeroffsetx", 0, 12),
      IntKey<&T::GlowLayerOffsetY>("glowlayeroffsety", 0, 13),
      IntKey<&T::GlowLayerAlphaBlendValue>("glowlayeralphablendvalue", 255, 14),
  };
  return t;
}

const TkxKeyTable& TkxDataUserObject::Keys() {
  using T = TkxDataUserObject;
  static const TkxKeyTable t{Key<&T::SkinRect>("skinrect", 1)};
  return t;
}

void TkxDataUserObject::LoadFromFile(TCustomIniFile& IniFile) { LoadSkinKeys(IniFile, IDName, Keys(), *this); }

void TkxDataUserObject::SaveToFile(TCustomIniFile& IniFile) {
  IniFile.EraseSection(IDName);
  SaveSkinKeys(IniFile, IDName, Keys(), *this);
}

const TkxKeyTable& TkxDataSkinButton::Keys() {
  using T = TkxDataSkinButton;
  // "disableskinrsect" is the key's spelling in every stored skin.
  static const TkxKeyTable t{Key<&T::DownRect>("downrect", 1), Key<&T::DisableSkinRect>("disableskinrsect", 2)};
  return t;
}

void ApplyRestoreHint(const std::string& Hint, TkxStdCommand Command, std::string& RestoreHint) {
  if (!RestoreHint.empty()) return;
  if ((Hint == "Maximize" && Command == cmMaximize) || (Hint == "Minimize" && Command == cmMinimize) ||
      ((Hint == "RollUp" || Hint == "Roll Up") && Command == cmRollUp))
    RestoreHint = "Restore";
}

const TkxKeyTable& TkxDataSkinStdButton::Keys() {
  using T = TkxDataSkinStdButton;
  static const TkxKeyTable t{
      Key<&T::Command>("command", 1),
      Key<&T::RestoreRect>("restorerect", 2),
      Key<&T::RestoreActiveRect>("restoreactiverect", 3),
      Key<&T::RestoreDownRect>("restoredownrect", 4),
      Key<&T::RestoreInActiveRect>("restoreinactiverect", 5),
      StrKey<&T::RestoreHint>("restorehint", "", 6),
  };
  return t;
}

void TkxDataSkinStdButton::LoadFromFile(TCustomIniFile& IniFile) {
  TkxSkinRecordKind::LoadFromFile(IniFile);
  ApplyRestoreHint(Hint, Command, RestoreHint);
}

const TkxKeyTable& TkxDataSkinAnimate::Keys() {
  using T = TkxDataSkinAnimate;
  static const TkxKeyTable t{
      IntKey<&T::CountFrames>("countframes", 1, 1),
      Key<&T::Cycle>("cycle", 2),
      Key<&T::ButtonStyle>("buttonstyle", 3),
      IntKey<&T::TimerInterval>("timerinterval", 50, 4),
      Key<&T::Command>("command", 5),
      Key<&T::DownSkinRect>("downskinrect", 6),
      Key<&T::RestoreRect>("restorerect", 7),
      Key<&T::RestoreActiveRect>("restoreactiverect", 8),
      Key<&T::RestoreDownRect>("restoredownrect", 9),
      Key<&T::RestoreInActiveRect>("restoreinactiverect", 10),
      StrKey<&T::RestoreHint>("restorehint", "", 11),
  };
  return t;
}

void TkxDataSkinAnimate::LoadFromFile(TCustomIniFile& IniFile) {
  TkxDataSkinObject::LoadFromFile(IniFile);
  Morphing = false;
  LoadSkinKeys(IniFile, IDName, Keys(), *this);
  ApplyRestoreHint(Hint, Command, RestoreHint);
}

const TkxKeyTable& TkxDataSkinMenuItem::Keys() {
  using T = TkxDataSkinMenuItem;
  static const TkxKeyTable t{
      IntKey<&T::ItemLO>("itemleftoffset", 0, 1),
      IntKey<&T::ItemRO>("itemrightoffset", 0, 2),
      Key<&T::DividerRect>("dividerrect", 3),
      IntKey<&T::DividerLO>("dividerleftoffset", 0, 4),
      IntKey<&T::DividerRO>("dividerrightoffset", 0, 5),
      Key<&T::TextRct>("textrect", 6),
      Key<&T::ImageRct>("imagerect", 7),
      StrKey<&T::FontName>("fontname", "Arial", 8),
      IntKey<&T::FontHeight>("fontheight", 14, 9),
      Key<&T::FontStyle>("fontstyle", 10),
      IntKey<&T::FontColor>("fontcolor", 0, 11),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 12),
      IntKey<&T::UnEnabledFontColor>("unenabledfontcolor", 0, 13),
      Key<&T::StretchEffect>("stretcheffect", 14),
      Key<&T::InActiveStretchEffect>("inactivestretcheffect", 15),
      Key<&T::DividerStretchEffect>("dividerstretcheffect", 16),
      Key<&T::AnimateSkinRect>("animateskinrect", 17),
      IntKey<&T::FrameCount>("framecount", 0, 18),
      IntKey<&T::AnimateInterval>("animateinterval", 25, 19),
      Key<&T::InActiveAnimation>("inactiveanimation", 20),
      Key<&T::UseImageColor>("useimagecolor", 21),
      IntKey<&T::ImageColor>("imagecolor", 0, 22),
      IntKey<&T::ActiveImageColor>("activeimagecolor", 0, 23),
      Key<&T::InActiveTransparent>("inactivetransparent", 24),
      Key<&T::CheckImageRect>("checkimagerect", 25),
      Key<&T::ActiveCheckImageRect>("activecheckimagerect", 26),
      Key<&T::RadioImageRect>("radioimagerect", 27),
      Key<&T::ActiveRadioImageRect>("activeradioimagerect", 28),
      Key<&T::ArrowImageRect>("arrowimagerect", 29),
      Key<&T::ActiveArrowImageRect>("activearrowimagerect", 30),
  };
  return t;
}

void TkxDataSkinMenuItem::LoadFromFile(TCustomIniFile& IniFile) {
  TkxSkinRecordKind::LoadFromFile(IniFile);
  if (IsEmptyRect(ActiveCheckImageRect)) ActiveCheckImageRect = CheckImageRect;
  if (IsEmptyRect(ActiveRadioImageRect)) ActiveRadioImageRect = RadioImageRect;
  if (IsEmptyRect(ActiveArrowImageRect)) ActiveArrowImageRect = ArrowImageRect;
}

const TkxKeyTable& TkxDataSkinMainMenuItem::Keys() {
  using T = TkxDataSkinMainMenuItem;
  static const TkxKeyTable t{
      IntKey<&T::ItemLO>("itemleftoffset", 0, 1),
      IntKey<&T::ItemRO>("itemrightoffset", 0, 2),
      Key<&T::DownRect>("downrect", 3),
      Key<&T::TextRct>("textrect", 4),
      StrKey<&T::FontName>("fontname", "Arial", 5),
      IntKey<&T::FontHeight>("fontheight", 14, 6),
      Key<&T::FontStyle>("fontstyle", 7),
      IntKey<&T::FontColor>("fontcolor", 0, 8),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 9),
      IntKey<&T::DownFontColor>("downfontcolor", 0, 10),
      IntKey<&T::UnEnabledFontColor>("unenabledfontColor", 0, 11),  // spelled so in stored skins
      Key<&T::StretchEffect>("stretcheffect", 12),
      Key<&T::AnimateSkinRect>("animateskinrect", 13),
      IntKey<&T::FrameCount>("framecount", 0, 14),
      IntKey<&T::AnimateInterval>("animateinterval", 25, 15),
      Key<&T::InActiveAnimation>("inactiveanimation", 16),
  };
  return t;
}

const TkxKeyTable& TkxDataSkinCaption::Keys() {
  using T = TkxDataSkinCaption;
  static const TkxKeyTable t{
      Key<&T::TextRct>("textrect", 1),
      StrKey<&T::FontName>("fontname", "Arial", 2),
      IntKey<&T::FontHeight>("fontheight", 14, 3),
      Key<&T::FontStyle>("fontstyle", 4),
      IntKey<&T::FontColor>("fontcolor", 0, 5),
      IntKey<&T::ActiveFontColor>("activefontcolor", 0, 6),
      Key<&T::Alignment>("alignment", 7),
      Key<&T::Light>("light", 8),
      IntKey<&T::LightColor>("lightcolor", 0, 9),
      IntKey<&T::ActiveLightColor>("activelightcolor", 0, 10),
      Key<&T::Shadow>("shadow", 11),
      IntKey<&T::ShadowColor>("shadowcolor", 0, 12),
      IntKey<&T::ActiveShadowColor>("activeshadowcolor", 0, 13),
      Key<&T::FrameRect>("framerect", 14),
      Key<&T::ActiveFrameRect>("activeframerect", 15),
      Key<&T::FrameTextRect>("frametextrect", 16),
      IntKey<&T::FrameLeftOffset>("frameleftoffset", 0, 17),
      IntKey<&T::FrameRightOffset>("framerightoffset", 0, 18),
      Key<&T::StretchEffect>("stretcheffect", 19),
      Key<&T::AnimateSkinRect>("animateskinrect", 20),
      IntKey<&T::FrameCount>("framecount", 0, 21),
      IntKey<&T::AnimateInterval>("animateinterval", 25, 22),
      Key<&T::InActiveAnimation>("inactiveanimation", 23),
      Key<&T::FullFrame>("fullframe", 24),
      Key<&T::VistaGlowEffect>("vistagloweffect", 25),
      Key<&T::VistaGlowInActiveEffect>("vistaglowinactiveeffect", 26),
      Key<&T::GlowEffect>("gloweffect", 27),
      Key<&T::GlowInActiveEffect>("glowinactiveeffect", 28),
      IntKey<&T::GlowSize>("glowsize", 3, 29),
      IntKey<&T::GlowColor>("glowcolor", 0, 30),
      IntKey<&T::GlowActiveColor>("glowactivecolor", 0, 31),
      IntKey<&T::GlowOffset>("glowoffset", 0, 32),
      Key<&T::ReflectionEffect>("reflectioneffect", 33),
      IntKey<&T::ReflectionColor>("reflactioncolor", 0, 34),  // "reflaction": the stored skins' spelling
      IntKey<&T::ReflectionActiveColor>("reflactionactivecolor", 0, 35),
      IntKey<&T::ReflectionOffset>("reflectionoffset", 0, 36),
  };
  return t;
}

// ---- single records ----------------------------------------------------------------------------

const TkxKeyTable& TkxDataSkinPopupWindow::Keys() {
  using T = TkxDataSkinPopupWindow;
  static const TkxKeyTable t{
      IntKey<&T::WindowPictureIndex>("windowpictureindex", -1, 1),
      IntKey<&T::MaskPictureIndex>("maskpictureindex", -1, 2),
      Key<&T::LTPoint>("lefttoppoint", 3),
      Key<&T::RTPoint>("righttoppoint", 4),
      Key<&T::LBPoint>("leftbottompoint", 5),
      Key<&T::RBPoint>("rightbottompoint", 6),
      Key<&T::ItemsRect>("itemsrect", 7),
      IntKey<&T::ScrollMarkerColor>("scrollmarkercolor", 0, 8),
      IntKey<&T::ScrollMarkerActiveColor>("scrollmarkeractivecolor", 0, 9),
      Key<&T::LeftStretch>("leftstretch", 10),
      Key<&T::RightStretch>("rightstretch", 11),
      Key<&T::TopStretch>("topstretch", 12),
      Key<&T::BottomStretch>("bottomstretch", 13),
      Key<&T::StretchEffect>("stretcheffect", 14),
      Key<&T::StretchType>("stretchtype", 15),
  };
  return t;
}
void TkxDataSkinPopupWindow::LoadFromFile(TCustomIniFile& IniFile) { LoadSkinKeys(IniFile, Section, Keys(), *this); }
void TkxDataSkinPopupWindow::SaveToFile(TCustomIniFile& IniFile) {
  IniFile.EraseSection(Section);
  SaveSkinKeys(IniFile, Section, Keys(), *this);
}

const TkxKeyTable& TkxDataSkinLayerFrame::Keys() {
  using T = TkxDataSkinLayerFrame;
  static const TkxKeyTable t{
      IntKey<&T::PictureIndex>("pictureindex", -1, 1),
      IntKey<&T::MaskPictureIndex>("maskpictureindex", -1, 2),
      IntKey<&T::InActivePictureIndex>("inactivepictureindex", -1, 3),
      IntKey<&T::InActiveMaskPictureIndex>("inactivemaskpictureindex", -1, 4),
      Key<&T::LTPoint>("lefttoppoint", 5),
      Key<&T::RTPoint>("righttoppoint", 6),
      Key<&T::LBPoint>("leftbottompoint", 7),
      Key<&T::RBPoint>("rightbottompoint", 8),
      Key<&T::ClRect>("clientrect", 9),
      IntKey<&T::AlphaBlendValue>("alphablendvalue", 255, 10),
      IntKey<&T::InActiveAlphaBlendValue>("inactivealphablendvalue", 255, 11),
      Key<&T::BorderRect>("borderrect", 12),
      Key<&T::HitTestEnable>("hittestenable", 13),
  };
  return t;
}
void TkxDataSkinLayerFrame::LoadFromFile(TCustomIniFile& IniFile) { LoadSkinKeys(IniFile, Section, Keys(), *this); }
void TkxDataSkinLayerFrame::SaveToFile(TCustomIniFile& IniFile) {
  IniFile.EraseSection(Section);
  SaveSkinKeys(IniFile, Section, Keys(), *this);
}

const TkxKeyTable& TkxDataSkinHintWindow::Keys() {
  using T = TkxDataSkinHintWindow;
  static const TkxKeyTable t{
      IntKey<&T::WindowPictureIndex>("windowpictureindex", -1, 1),
      IntKey<&T::MaskPictureIndex>("maskpictureindex", -1, 2),
      Key<&T::LTPoint>("lefttoppoint", 3),
      Key<&T::RTPoint>("righttoppoint", 4),
      Key<&T::LBPoint>("leftbottompoint", 5),
      Key<&T::RBPoint>("rightbottompoint", 6),
      Key<&T::ClRect>("clientrect", 7),
      StrKey<&T::FontName>("fontname", "Arial", 8),
      IntKey<&T::FontHeight>("fontheight", 14, 9),
      Key<&T::FontStyle>("fontstyle", 10),
      IntKey<&T::FontColor>("fontcolor", 0, 11),
      Key<&T::LeftStretch>("leftstretch", 12),
      Key<&T::RightStretch>("rightstretch", 13),
      Key<&T::TopStretch>("topstretch", 14),
      Key<&T::BottomStretch>("bottomstretch", 15),
      Key<&T::StretchEffect>("stretcheffect", 16),
      Key<&T::StretchType>("stretchtype", 17),
  };
  return t;
}
void TkxDataSkinHintWindow::LoadFromFile(TCustomIniFile& IniFile) { LoadSkinKeys(IniFile, Section, Keys(), *this); }
void TkxDataSkinHintWindow::SaveToFile(TCustomIniFile& IniFile) {
  IniFile.EraseSection(Section);
  SaveSkinKeys(IniFile, Section, Keys(), *this);
}

const TkxKeyTable& TkxSkinColors::Keys() {
  using T = TkxSkinColors;
  static const TkxKeyTable t{
      IntKey<&T::FcBtnFace>("cbtnface", kxclBtnFace, 1),
      IntKey<&T::FcBtnText>("cbtntext", kxclBtnText, 2),
      IntKey<&T::FcWindow>("cwindow", kxclWindow, 3),
      IntKey<&T::FcWindowText>("cwindowtext", kxclWindowText, 4),
      IntKey<&T::FcHighLight>("chighlight", kxclHighLight, 5),
      IntKey<&T::FcHighLightText>("chighlighttext", kxclHighLightText, 6),
      IntKey<&T::FcBtnHighLight>("cbtnhighlight", kxclBtnHighLight, 7),
      IntKey<&T::FcBtnShadow>("cbtnshadow", kxclBtnShadow, 8),
  };
  return t;
}
void TkxSkinColors::LoadFromFile(TCustomIniFile& IniFile) { LoadSkinKeys(IniFile, Section, Keys(), *this); }
void TkxSkinColors::SaveToFile(TCustomIniFile& IniFile) { SaveSkinKeys(IniFile, Section, Keys(), *this); }
void TkxSkinColors::SetColorsToDefault() {
  FcBtnFace = kxclBtnFace;
  FcBtnText = kxclBtnText;
  FcWindow = kxclWindow;
  FcWindowText = kxclWindowText;
  FcHighLight = kxclHighLight;
  FcHighLightText = kxclHighLightText;
  FcBtnHighLight = kxclBtnHighLight;
  FcBtnShadow = kxclBtnShadow;
}

// ---- kind words --------------------------------------------------------------------------------

namespace {

template <typename Base>
struct KindRow {
  std::string Word;
  std::function<std::unique_ptr<Base>(const std::string&)> Create;
  std::function<bool(const Base&)> IsInstance;
};

template <typename Base, typename T>
KindRow<Base> Row(const char* Word) {
  return {Word, [](const std::string& id) -> std::unique_ptr<Base> { return std::make_unique<T>(id); },
          [](const Base& r) { return dynamic_cast<const T*>(&r) != nullptr; }};
}

// Derived kinds come before their bases, so each record is written with its own class's word.
const std::vector<KindRow<TkxDataSkinControl>>& ControlKinds() {
  using B = TkxDataSkinControl;
  static const std::vector<KindRow<B>> rows{
      Row<B, TkxDataSkinPanelControl>("panel"),         Row<B, TkxDataSkinExPanelControl>("expanel"),
      Row<B, TkxDataSkinMenuButtonControl>("menubutton"), Row<B, TkxDataSkinButtonControl>("button"),
      Row<B, TkxDataSkinCheckRadioControl>("checkradio"), Row<B, TkxDataSkinGaugeControl>("gauge"),
      Row<B, TkxDataSkinSplitterControl>("splitter"),   Row<B, TkxDataSkinTrackBarControl>("trackbar"),
      Row<B, TkxDataSkinLabelControl>("label"),         Row<B, TkxDataSkinStdLabelControl>("stdlabel"),
      Row<B, TkxDataSkinUpDownControl>("updown"),       Row<B, TkxDataSkinGridControl>("grid"),
      Row<B, TkxDataSkinTabControl>("tab"),             Row<B, TkxDataSkinMainMenuBar>("mainmenubar"),
      Row<B, TkxDataSkinControlBar>("controlbar"),      Row<B, TkxDataSkinMemoControl>("memo"),
      Row<B, TkxDataSkinEditControl>("edit"),           Row<B, TkxDataSkinCheckListBox>("checklistbox"),
      Row<B, TkxDataSkinListBox>("listbox"),            Row<B, TkxDataSkinComboBox>("combobox"),
      Row<B, TkxDataSkinScrollBarControl>("scrollbar"), Row<B, TkxDataSkinSpinEditControl>("spinedit"),
      Row<B, TkxDataSkinScrollBoxControl>("scrollbox"), Row<B, TkxDataSkinTreeView>("treeview"),
      Row<B, TkxDataSkinBevel>("bevel"),                Row<B, TkxDataSkinSlider>("slider"),
      Row<B, TkxDataSkinListView>("listview"),          Row<B, TkxDataSkinRichEdit>("richedit"),
  };
  return rows;
}

const std::vector<KindRow<TkxDataSkinObject>>& ObjectKinds() {
  using B = TkxDataSkinObject;
  static const std::vector<KindRow<B>> rows{
      Row<B, TkxDataSkinMenuItem>("menuitem"),
      Row<B, TkxDataSkinMainMenuBarItem>("mainmenubaritem"),
      Row<B, TkxDataSkinMainMenuBarButton>("mainmenubarbutton"),
      Row<B, TkxDataSkinStdButton>("stdbutton"),
      Row<B, TkxDataSkinButton>("button"),
      Row<B, TkxDataSkinCaption>("caption"),
      Row<B, TkxDataUserObject>("userobject"),
      Row<B, TkxDataSkinAnimate>("animate"),
  };
  return rows;
}

template <typename Base>
std::unique_ptr<Base> CreateOf(const std::vector<KindRow<Base>>& Rows, const std::string& Word, const std::string& ID) {
  for (const auto& r : Rows)
    if (r.Word == Word) return r.Create(ID);
  return nullptr;
}

template <typename Base>
std::string WordOf(const std::vector<KindRow<Base>>& Rows, const Base& Record) {
  for (const auto& r : Rows)
    if (r.IsInstance(Record)) return r.Word;
  return {};
}

template <typename Base>
std::vector<std::string> WordsOf(const std::vector<KindRow<Base>>& Rows) {
  std::vector<std::string> w;
  for (const auto& r : Rows) w.push_back(r.Word);
  return w;
}

}  // namespace

bool IsSkinRecordName(const std::string& IDName) {
  // The same rule the INI writer applies to section names, which it trims first.
  if (Trim(IDName).empty() || IDName.find_first_of("]\r\n") != std::string::npos) return false;
  // Section names compare without regard to case.
  for (const char* own : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS", TkxDataSkinPopupWindow::Section,
                          TkxDataSkinLayerFrame::Section, TkxDataSkinHintWindow::Section, TkxSkinColors::Section})
    if (SameText(Trim(IDName), own)) return false;
  return true;
}

std::unique_ptr<TkxDataSkinControl> CreateSkinControlRecord(const std::string& Word, const std::string& IDName) {
  return CreateOf(ControlKinds(), Word, IDName);
}
std::unique_ptr<TkxDataSkinObject> CreateSkinObjectRecord(const std::string& Word, const std::string& IDName) {
  return CreateOf(ObjectKinds(), Word, IDName);
}
std::string SkinControlKindWord(const TkxDataSkinControl& Record) { return WordOf(ControlKinds(), Record); }
std::string SkinObjectKindWord(const TkxDataSkinObject& Record) { return WordOf(ObjectKinds(), Record); }
const std::vector<std::string>& SkinControlKindWords() {
  static const std::vector<std::string> w = WordsOf(ControlKinds());
  return w;
}
const std::vector<std::string>& SkinObjectKindWords() {
  static const std::vector<std::string> w = WordsOf(ObjectKinds());
  return w;
}
