#pragma once
// The skinned tree view: the class library's tree view with the skin's tree font and colours
// ("treeview" record) and two external skinned scroll bars in place of its own. The tree keeps
// the bars in step with its scroll state (shown only while needed) and scrolls itself when the
// user moves them. The nodes are painted by the tree view itself.
#include <cstdint>
#include <memory>
#include <string>

#include "classlib/TreeViews.h"
#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinBinding.h"
#include "lib/controls/kxSkinScrollBar.h"

class TkxSkinCustomTreeView : public TCustomTreeView, public TkxSkinBinding {
public:
  explicit TkxSkinCustomTreeView(TComponent* AOwner);
  ~TkxSkinCustomTreeView() override;

  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  // Attaching a bar enables and hides it and takes its OnChange; the bars then show while the
  // tree's content needs them.
  TkxSkinScrollBar* VScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(TkxSkinScrollBar* Value);
  TkxSkinScrollBar* HScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(TkxSkinScrollBar* Value);

  // Reads the skin again: font and colours from the record, then the bars.
  void ChangeSkinData() override;
  // A tree without skin data follows every change too.
  bool HearsSkinChange(const TkxSkinData* SD) const override { return SkinData() == SD || !SkinData(); }
  // Mirrors the tree's scroll state into the attached bars.
  void UpDateScrollBars();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Change(TTreeNode* Node) override;

private:
  void Attach(TkxSkinScrollBar*& Field, TkxSkinScrollBar* Value, bool Vertical);
  void Detach(TkxSkinScrollBar* Bar);
  void BarChanged(bool Vertical);

  std::unique_ptr<TFont> FDefaultFont;
  TColor FDefaultColor = clWindow;
  bool FUseSkinFont = true;
  TkxSkinScrollBar* FVScrollBar = nullptr;
  TkxSkinScrollBar* FHScrollBar = nullptr;
  bool FInCheckScrollBars = false;
};

class TkxSkinTreeView : public TkxSkinCustomTreeView {
public:
  explicit TkxSkinTreeView(TComponent* AOwner) : TkxSkinCustomTreeView(AOwner) {}
};

// Form streaming of the tree view.
void RegisterSkinTreeViewFormClasses();
