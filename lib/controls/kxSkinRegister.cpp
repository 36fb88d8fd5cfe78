#include "lib/controls/kxSkinRegister.h"

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinListBoxes.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/controls/kxSkinMenuButton.h"
#include "lib/controls/kxSkinOfficeCombo.h"
#include "lib/controls/kxSkinPageControl.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/controls/kxSkinScrollBox.h"
#include "lib/controls/kxSkinSlider.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/controls/kxSkinToolBar.h"
#include "lib/controls/kxSkinTreeView.h"
#include "lib/controls/kxSkinUpDown.h"

void RegisterSkinDataFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxCompressedStoredSkin, TComponent>("TkxCompressedStoredSkin")
      .String("Description", &TkxCompressedStoredSkin::SetDescription)
      .String("FileName", &TkxCompressedStoredSkin::SetFileName)
      .String("CompressedFileName", &TkxCompressedStoredSkin::SetCompressedFileName)
      .Binary("CompressedData", &TkxCompressedStoredSkin::ReadCompressedData);
  RegisterFormClass<TkxSkinListItem, TCollectionItem>("TkxSkinListItem")
      .String("Description", &TkxSkinListItem::SetDescription)
      .String("FileName", &TkxSkinListItem::SetFileName)
      .String("CompressedFileName", &TkxSkinListItem::SetCompressedFileName)
      .String("Name", &TkxSkinListItem::SetName)
      .String("ResourceName", &TkxSkinListItem::SetResourceName)
      .Binary("Skin", &TkxSkinListItem::ReadSkin);
  RegisterFormClass<TkxCompressedSkinList, TComponent>("TkxCompressedSkinList")
      .Collection("Skins", &TkxCompressedSkinList::Skins);
  RegisterFormClass<TkxResourceStrData, TComponent>("TkxResourceStrData")
      .Strings("ResStrings", &TkxResourceStrData::ResStrings)
      .Integer("CharSet", [](TkxResourceStrData* r, int32_t v) {
        if (v < 0 || v > 255) throw EFormValueError("a character set is 0..255");
        r->SetCharSet(TFontCharset(v));
      }, TIdentMap{{"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2}, {"GB2312_CHARSET", 134}});
  RegisterFormClass<TkxSkinData, TComponent>("TkxSkinData")
      .Boolean("SkinnableForm", &TkxSkinData::SetSkinnableForm)
      .Boolean("AnimationForAllWindows", &TkxSkinData::SetAnimationForAllWindows)
      .Boolean("EnableSkinEffects", &TkxSkinData::SetEnableSkinEffects)
      .Boolean("ShowButtonGlowFrames", &TkxSkinData::SetShowButtonGlowFrames)
      .Boolean("ShowCaptionButtonGlowFrames", &TkxSkinData::SetShowCaptionButtonGlowFrames)
      .Boolean("ShowLayeredBorders", &TkxSkinData::SetShowLayeredBorders)
      .Reference<TkxCompressedStoredSkin>("CompressedStoredSkin", &TkxSkinData::SetCompressedStoredSkin)
      .Reference<TkxResourceStrData>("ResourceStrData", &TkxSkinData::SetResourceStrData)
      .Reference<TkxCompressedSkinList>("SkinList", &TkxSkinData::SetSkinList)
      .Integer("SkinIndex", &TkxSkinData::SetSkinIndex);
  RegisterSkinSplitBevelFormClasses();
  RegisterSkinLabelFormClasses();
  RegisterSkinCheckRadioFormClasses();
  RegisterSkinButtonFormClasses();
  RegisterSkinMenuButtonFormClasses();
  RegisterSkinPanelFormClasses();
  RegisterSkinToolBarFormClasses();
  RegisterSkinPageControlFormClasses();
  RegisterSkinUpDownFormClasses();
  RegisterSkinSliderFormClasses();
  RegisterSkinScrollBarFormClasses();
  RegisterSkinScrollBoxFormClasses();
  RegisterSkinEditFormClasses();
  RegisterSkinListViewFormClasses();
  RegisterSkinTreeViewFormClasses();
  RegisterSkinOfficeComboFormClasses();
  RegisterSkinListBoxFormClasses();
  RegisterSkinComboBoxFormClasses();
}

void RegisterSkinControlFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinDataFormClasses();
  RegisterFormClass<TkxSkinControl, TCustomControl>("TkxSkinControl")
      .String("HintTitle", &TkxSkinControl::SetHintTitle)
      .Integer("HintImageIndex", &TkxSkinControl::SetHintImageIndex)
      .Reference<TCustomImageList>("HintImageList", &TkxSkinControl::SetHintImageList)
      .Reference<TkxSkinData>("SkinData", &TkxSkinControl::SetSkinData)
      .String("SkinDataName", &TkxSkinControl::SetSkinDataName)
      .Event<TNotifyEvent>("OnMouseEnter", &TkxSkinControl::OnMouseEnter)
      .Event<TNotifyEvent>("OnMouseLeave", &TkxSkinControl::OnMouseLeave);
  RegisterFormClass<TkxSkinCustomControl, TkxSkinControl>("TkxSkinCustomControl")
      .Object("DefaultFont", &TkxSkinCustomControl::DefaultFont)
      .Integer("DefaultWidth", &TkxSkinCustomControl::SetDefaultWidth)
      .Integer("DefaultHeight", &TkxSkinCustomControl::SetDefaultHeight)
      .Boolean("UseSkinFont", &TkxSkinCustomControl::SetUseSkinFont);
  RegisterFormClass<TkxGraphicSkinControl, TGraphicControl>("TkxGraphicSkinControl")
      .String("HintTitle", &TkxGraphicSkinControl::SetHintTitle)
      .Integer("HintImageIndex", &TkxGraphicSkinControl::SetHintImageIndex)
      .Reference<TCustomImageList>("HintImageList", &TkxGraphicSkinControl::SetHintImageList)
      .Reference<TkxSkinData>("SkinData", &TkxGraphicSkinControl::SetSkinData)
      .String("SkinDataName", &TkxGraphicSkinControl::SetSkinDataName)
      .Event<TNotifyEvent>("OnMouseEnter", &TkxGraphicSkinControl::OnMouseEnter)
      .Event<TNotifyEvent>("OnMouseLeave", &TkxGraphicSkinControl::OnMouseLeave);
  RegisterFormClass<TkxGraphicSkinCustomControl, TkxGraphicSkinControl>("TkxGraphicSkinCustomControl")
      .Object("DefaultFont", &TkxGraphicSkinCustomControl::DefaultFont)
      .Integer("DefaultWidth", &TkxGraphicSkinCustomControl::SetDefaultWidth)
      .Integer("DefaultHeight", &TkxGraphicSkinCustomControl::SetDefaultHeight)
      .Boolean("UseSkinFont", &TkxGraphicSkinCustomControl::SetUseSkinFont);
}
