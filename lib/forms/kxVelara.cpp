#include "lib/forms/kxVelara.h"

#include "lib/forms/kxFrameObjects.h"

// Placeholders until this file is written.
TkxQuickButtonItem::TkxQuickButtonItem(const TItemSlot& Collection) : TCollectionItem(Collection) {}
void TkxQuickButtonItem::Assign(TPersistent* Source) { TCollectionItem::Assign(Source); }
void TkxQuickButtonItem::SetImageIndex(int32_t Value) { FImageIndex = Value; }
void TkxQuickButtonItem::SetEnabled(bool Value) { FEnabled = Value; }
void TkxQuickButtonItem::SetVisible(bool Value) { FVisible = Value; }
TkxQuickButtonItems::TkxQuickButtonItems(TkxVelara* AVLR)
    : TCollection(CollectionItemClassOf<TkxQuickButtonItem>(), AVLR), VLR(AVLR) {}
void TkxQuickButtonItems::Update(TCollectionItem*) {}

TkxVelara::TkxVelara(TComponent* AOwner) : TComponent(AOwner) { FForm = dynamic_cast<TCustomForm*>(AOwner); }
TkxVelara::~TkxVelara() = default;
void TkxVelara::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
}
void TkxVelara::Loaded() { TComponent::Loaded(); }
void TkxVelara::SetUseRibbon(bool Value) { FUseRibbon = Value; }
void TkxVelara::SetQuickButtons(TkxQuickButtonItems*) {}
void TkxVelara::SetQuickImageList(TCustomImageList* Value) { FQuickImageList = Value; }
void TkxVelara::SetStatusBar(TkxSkinStatusBar* Value) { FStatusBar = Value; }
void TkxVelara::SetMaxMenuItemsInWindow(int32_t Value) { FMaxMenuItemsInWindow = Value; }
void TkxVelara::SetLogoBitMap(TBitmap*) {}
void TkxVelara::SetShowIcon(bool Value) { FShowIcon = Value; }
void TkxVelara::SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
void TkxVelara::SetAlphaBlendValue(uint8_t Value) { FAlphaBlendValue = Value; }
void TkxVelara::SetDefCaptionFont(TFont*) {}
void TkxVelara::SetDefInActiveCaptionFont(TFont*) {}
void TkxVelara::SetSystemMenu(TPopupMenu* Value) { FSystemMenu = Value; }
void TkxVelara::SetSkinData(TkxSkinData* Value) { FSD = Value; }
void TkxVelara::SetMenusSkinData(TkxSkinData* Value) { FMSD = Value; }
void TkxVelara::SetBorderIcons(TkxBorderIcons Value) { FBorderIcons = Value; }
int32_t TkxVelara::RealHeight() const { return FRealHeight; }
void TkxVelara::SetRealHeight(int32_t Value) { FRealHeight = Value; }

TkxVelara* FindSkinForm(TCustomForm*) { return nullptr; }
TkxVelara* FindMaximizedChildSkinForm() { return nullptr; }
TkxVelara* FindActiveChildSkinForm() { return nullptr; }
void RegisterVelaraFormClasses() {}
