#pragma once
// A skinned control's tie to its skin data, in one place for every skinned control: the windowed
// and graphic bases (kxSkinCtrls.h) and the classes built directly over class-library controls
// (list view, tree view, edits, labels, page control, splitter, bevel).
//
// TkxSkinBinding holds the skin data pointer and lets go of it when the skin data is freed (a
// watcher of its own hears the free notification, so the control needs no Notification for
// it), moves the free notification along when the control is pointed at another skin data,
// looks the control's record up by SkinDataName, and is what the skin-change walk of a form
// (the skinned-form component's) finds. A control keeps only its own rule for when and how to
// re-skin: ChangeSkinData, and SetSkinData where its rule on assignment differs from the usual
// one. The pointer is let go when the skin data is freed, whoever owns either; a skin data only
// moved to another owner stays bound.
//
// TkxComponentLink<T> is the same free-notification mechanics for any other component a control
// points at (image lists, scroll bars): the pointer clears itself when that component is freed.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "base/Component.h"
#include "lib/skin/kxSkinData.h"

// The component that hears, for a link, that the component it points at is freed. Not owned by
// anyone: it lives inside the link, and leaving the target's list is part of its destruction.
class TkxFreeWatch final : public TComponent {
public:
  explicit TkxFreeWatch(std::function<void()> OnFreed);
  ~TkxFreeWatch() override;
  TkxFreeWatch(const TkxFreeWatch&) = delete;
  TkxFreeWatch& operator=(const TkxFreeWatch&) = delete;

  // Watches Value instead of the component watched so far; false when it was watched already.
  bool Watch(TComponent* Value);

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TComponent* FTarget = nullptr;
  std::function<void()> FOnFreed;
};

// A pointer to a component that turns null when the component is freed. OnFreed (optional) runs
// right after, for whatever else the holder kept from it.
template <typename T>
class TkxComponentLink {
public:
  explicit TkxComponentLink(std::function<void()> OnFreed = {})
      : FWatch([this, OnFreed = std::move(OnFreed)] {
          FPtr = nullptr;
          if (OnFreed) OnFreed();
        }) {}
  TkxComponentLink(const TkxComponentLink&) = delete;
  TkxComponentLink& operator=(const TkxComponentLink&) = delete;

  T* Get() const { return FPtr; }
  operator T*() const { return FPtr; }
  T* operator->() const { return FPtr; }
  // Points at Value; false when it already did.
  bool Set(T* Value) {
    if (!FWatch.Watch(Value)) return false;
    FPtr = Value;
    return true;
  }

private:
  T* FPtr = nullptr;
  TkxFreeWatch FWatch;
};

// The skin's active picture at Index; nullptr without skin data, for -1, an index past the list or
// an empty picture.
TBitmap* SkinActivePicture(const TkxSkinData* SD, int32_t Index);

class TkxSkinBinding {
public:
  // Host: the control itself (for its component state); Name: the record name it starts with.
  TkxSkinBinding(TComponent* Host, std::string Name);
  virtual ~TkxSkinBinding();
  TkxSkinBinding(const TkxSkinBinding&) = delete;
  TkxSkinBinding& operator=(const TkxSkinBinding&) = delete;

  TkxSkinData* SkinData() const { return FSkin.Get(); }
  // The usual rule: follow Value, and re-skin when it holds a skin (outside design time).
  virtual void SetSkinData(TkxSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  virtual void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
  // The index of the control's record in the skin data's control list; -1: the plain look.
  int32_t SkinIndex() const { return FIndex; }

  // What the skin-change walk asks. By default a control hears the changes of its own skin data.
  virtual bool HearsSkinChange(const TkxSkinData* SD) const { return SkinData() == SD; }
  // Before the skin is replaced: the record index no longer holds.
  virtual void BeforeChangeSkinData() { FIndex = -1; }
  virtual void ChangeSkinData() = 0;

  // The skin's active picture at Index; nullptr for -1, an index past the list or an empty picture.
  TBitmap* SkinPicture(int32_t Index) const;
  // The character set of the skin's strings; without them Fallback's (the default one without a
  // font).
  TFontCharset SkinCharset(const TFont* Fallback) const;

protected:
  // Points the binding at Value, moving the free notification from the old skin data to the new
  // one; false when Value already was the skin data.
  bool BindSkinData(TkxSkinData* Value);
  // FIndex looked up again: SkinDataName's record, -1 without skin data, with an empty one or
  // without such a record.
  int32_t LookupSkinIndex();
  // The record at FIndex when it is of class R, else nullptr.
  template <typename R>
  R* SkinRecord() const {
    return SkinRecordAt<R>(FIndex);
  }
  template <typename R>
  R* SkinRecordAt(int32_t Index) const {
    TkxSkinData* sd = SkinData();
    if (!sd || Index < 0 || size_t(Index) >= sd->CtrlList.size()) return nullptr;
    return dynamic_cast<R*>(sd->CtrlList[size_t(Index)].get());
  }
  // The record of that name when it is of class R; nullptr without skin data or with an empty one.
  template <typename R>
  R* SkinRecordNamed(const std::string& Name) const {
    TkxSkinData* sd = SkinData();
    if (!sd || sd->Empty) return nullptr;
    return SkinRecordAt<R>(sd->GetControlIndex(Name));
  }
  // The index of the first of Names the skin holds a record of (of any class), -1 for none.
  int32_t FirstSkinRecord(std::initializer_list<const char*> Names) const;
  // Runs after the skin data was freed and the binding let go of it (FIndex is -1 by then): for
  // anything else the control kept from it.
  virtual void SkinDataFreed() {}
  bool HostDesigning() const;

  std::string FSkinDataName;
  int32_t FIndex = -1;

private:
  TComponent* FHost;
  TkxComponentLink<TkxSkinData> FSkin;
};
