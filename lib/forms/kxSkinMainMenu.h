#pragma once
// The skinned menu bar: a control aligned to the top of a skinned form that shows the top-level
// items of a main menu and drops their sub-menus through the form's menu engine. Items that do
// not fit hide behind a marker at the right end, which drops them as one menu. The bar draws
// from the skin's "mainmenubar" record and the item record it names, or in a plain look.
//
// Menu mode: a click on an item with sub-items, an Alt tap or an accelerator starts it; the form
// then hands the keys to the bar (the menus never take the focus). Multiple-document forms (the
// merged child menu, the maximized child's buttons) are not built.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classlib/Menus.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/skin/kxSkinValues.h"

class TBitmap;
class TCanvas;
class TFont;
class TTimer;
class TkxDataSkinObject;
class TkxSkinData;
class TkxSkinMainMenuBar;
class TkxVelara;

// A main menu that carries its skin data: the frame's button objects that drop one of its
// menus use that skin.
class TkxSkinMainMenu : public TMainMenu {
public:
  explicit TkxSkinMainMenu(TComponent* AOwner) : TMainMenu(AOwner) {}
  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TkxVelara* VLR = nullptr;

private:
  TkxSkinData* FSD = nullptr;
};

using TkxMenuBarItemEvent = std::function<void(TMenuItem* MenuItem)>;

// What the bar's items share: the hot state, the morph between the normal and the hot image.
class TkxMenuBarObject : public TObject {
public:
  TkxMenuBarObject(TkxSkinMainMenuBar* AParent, TkxDataSkinObject* AData);

  // The morph kept in fifths so that both directions take exactly five steps.
  double MorphKf() const { return FMorphSteps / 5.0; }
  void SetMorphKf(double Value);
  bool EnableMorphing() const;
  void DoMorphing();

  virtual void ReDraw();
  virtual void Draw(TCanvas* Cnvs) {}
  virtual void MouseDown(int32_t X, int32_t Y, TMouseButton Button) {}
  virtual void MouseUp(int32_t X, int32_t Y, TMouseButton Button) {}
  virtual void DblClick() {}
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool CanMorphing() const;

  TkxSkinMainMenuBar* Parent;
  bool FMouseIn = false;
  TBitmap* Picture = nullptr;  // not owned
  bool FDown = false;
  std::string IDName;
  TRect SkinRect{}, ActiveSkinRect{}, DownRect{}, ObjectRect{};
  bool Active = false, Enabled = true, Visible = true, Morphing = false;
  TkxMorphKind MorphKind = mkDefault;

protected:
  int32_t FMorphSteps = 0;
};

class TkxSkinMainMenuBarItem : public TkxMenuBarObject {
public:
  TkxSkinMainMenuBarItem(TkxSkinMainMenuBar* AParent, TkxDataSkinObject* AData);

  void ReDraw() override;
  void Draw(TCanvas* Cnvs) override;
  void MouseDown(int32_t X, int32_t Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void DefaultDraw(TCanvas* Cnvs);
  bool EnableAnimation() const;
  // Pressed: the item's sub-menu drops; released: the item's look comes back.
  void SetDown(bool Value);
  void TrackMenu();

  bool FSkinSupport = false;
  bool OldEnabled = true;
  TMenuItem* MenuItem = nullptr;
  std::string FontName;
  int32_t FontHeight = 0;
  TFontStyles FontStyle;
  TColor UnEnabledFontColor = 0, FontColor = 0, ActiveFontColor = 0, DownFontColor = 0;
  TRect TextRct{};
  int32_t LO = 0, RO = 0;
  bool StretchEffect = false;
  TRect AnimateSkinRect{};
  int32_t FrameCount = 0, AnimateInterval = 0, CurrentFrame = 0;
  bool InActiveAnimation = false;

private:
  // The place on the bar from the item before it and the caption's width; hides an item that
  // does not fit and shows one that fits again. False when the item is hidden.
  bool Place(TCanvas* Cnvs, TFont* Font);
  void DrawSource(TCanvas* Cnvs, const TRect& Src, bool Hot);
  void DrawCaption(TCanvas* C, const TRect& R, TColor Color, bool Centre);
};

class TkxSkinMainMenuBar : public TkxSkinControl {
public:
  explicit TkxSkinMainMenuBar(TComponent* AOwner);
  ~TkxSkinMainMenuBar() override;

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;
  void BeforeChangeSkinData() override;

  TMainMenu* MainMenu() const { return FMainMenu; }
  void SetMainMenu(TMainMenu* Value);
  TkxVelara* Velara() const { return FVelara; }
  void SetVelara(TkxVelara* Value);
  bool ScrollMenu = true;
  bool UseSkinFont = true;
  TFont* DefItemFont() const { return FDefItemFont; }
  void SetDefItemFont(TFont* Value);
  int32_t DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int32_t Value);
  int32_t DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int32_t Value);
  bool PopupToUp = false;
  TkxMenuBarItemEvent OnItemMouseEnter, OnItemMouseLeave;

  void CreateMenu();
  void UpDateItems();
  void UpDateEnabledItems();

  // ---- what the skinned form calls ----
  void StartMenuMode();
  // The item whose accelerator the key is gets hot and drops its menu or runs; false for none.
  bool ProcessAccel(int32_t VK);
  void NextMainMenuItem();
  void PriorMainMenuItem();
  // Enter or Down: drops the hot item's menu or runs it; false when there was nothing to open.
  bool OpenActiveItem();
  void ReleaseDownItem();
  void EndMenuMode();

  // ---- the parts the items and the tests reach ----
  void CalcItemsRect();
  void TestActive(int32_t X, int32_t Y);
  void DrawObject(TkxMenuBarObject* O);
  void PaintBar(win::HDC DC);
  // The screen rect of a rect in the bar's client coordinates.
  TRect ToScreen(const TRect& R) const;
  TRect MarkerRect() const;
  void PopupHiddenItems();
  TkxSkinMainMenuBarItem* Item(int32_t I) const;
  int32_t ItemCount() const { return int32_t(ObjectList.size()); }

  std::vector<TkxMenuBarObject*> ObjectList;  // owned
  TTimer *MouseTimer = nullptr, *MorphTimer = nullptr, *AnimateTimer = nullptr;  // owned
  bool FSkinSupport = false;
  bool MenuActive = false;
  bool Scroll = false, MarkerActive = false;
  int32_t ActiveObject = -1, OldActiveObject = -1, MouseCaptureObject = -1;
  TRect NewItemsRect{};
  // From the "mainmenubar" record.
  TRect BarSkinRect{}, ItemsRect{};
  std::string MenuBarItem;
  TColor TrackMarkColor = 0, TrackMarkActiveColor = 0;
  TBitmap* Picture = nullptr;  // not owned
  bool StretchEffect = false, ItemTransparent = false;

protected:
  void Paint() override {}
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

private:
  void ClearObjects();
  void MouseTimerTick();
  void MorphTimerTick();
  void AnimateTimerTick();
  void DrawMarker(TCanvas* C);
  bool Usable(int32_t I) const;
  TMainMenu* FMainMenu = nullptr;
  TkxVelara* FVelara = nullptr;
  TFont* FDefItemFont = nullptr;  // owned
  int32_t FDefaultWidth = 0, FDefaultHeight = 22;
};

// Form streaming of the main menu and the menu bar.
void RegisterSkinMainMenuFormClasses();
