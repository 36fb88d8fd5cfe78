#include "lib/controls/kxSkinBinding.h"

#include "classlib/Controls.h"
#include "lib/skin/kxResourceStrData.h"

// ---- TkxFreeWatch -------------------------------------------------------------------------------

TkxFreeWatch::TkxFreeWatch(std::function<void()> OnFreed) : TComponent(nullptr), FOnFreed(std::move(OnFreed)) {}

// TComponent's destructor takes this watcher off the target's list.
TkxFreeWatch::~TkxFreeWatch() { FOnFreed = nullptr; }

bool TkxFreeWatch::Watch(TComponent* Value) {
  if (Value == FTarget) return false;
  if (FTarget) FTarget->RemoveFreeNotification(this);
  FTarget = Value;
  if (Value) Value->FreeNotification(this);
  return true;
}

void TkxFreeWatch::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent || AComponent != FTarget) return;
  FTarget = nullptr;
  if (FOnFreed) FOnFreed();
}

TBitmap* SkinActivePicture(const TkxSkinData* SD, int32_t Index) {
  if (!SD || Index < 0 || size_t(Index) >= SD->FActivePictures.size()) return nullptr;
  TBitmap* b = SD->FActivePictures[size_t(Index)].get();
  return b && !b->Empty() ? b : nullptr;
}

// ---- TkxSkinBinding -----------------------------------------------------------------------------

TkxSkinBinding::TkxSkinBinding(TComponent* Host, std::string Name)
    : FSkinDataName(std::move(Name)), FHost(Host), FSkin([this] {
        FIndex = -1;
        SkinDataFreed();
      }) {}

TkxSkinBinding::~TkxSkinBinding() = default;

bool TkxSkinBinding::HostDesigning() const { return FHost->ComponentState().Contains(csDesigning); }

bool TkxSkinBinding::BindSkinData(TkxSkinData* Value) { return FSkin.Set(Value); }

void TkxSkinBinding::SetSkinData(TkxSkinData* Value) {
  BindSkinData(Value);
  if (Value && !Value->Empty && !HostDesigning()) ChangeSkinData();
}

int32_t TkxSkinBinding::LookupSkinIndex() {
  TkxSkinData* sd = SkinData();
  FIndex = !sd || sd->Empty ? -1 : sd->GetControlIndex(FSkinDataName);
  return FIndex;
}

TBitmap* TkxSkinBinding::SkinPicture(int32_t Index) const { return SkinActivePicture(SkinData(), Index); }

TFontCharset TkxSkinBinding::SkinCharset(const TFont* Fallback) const {
  TkxSkinData* sd = SkinData();
  if (sd && sd->ResourceStrData()) return sd->ResourceStrData()->CharSet();
  return Fallback ? Fallback->Charset() : TFontCharset(win::DEFAULT_CHARSET);
}

int32_t TkxSkinBinding::FirstSkinRecord(std::initializer_list<const char*> Names) const {
  TkxSkinData* sd = SkinData();
  if (!sd || sd->Empty) return -1;
  for (const char* n : Names)
    if (const int32_t i = sd->GetControlIndex(n); i != -1) return i;
  return -1;
}
