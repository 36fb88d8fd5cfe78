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
#include "lib/controls/kxSkinViewBinding.h"
#include "lib/controls/kxSkinScrollBar.h"

class TkxSkinCustomTreeView : public TCustomTreeView, public TkxSkinViewBinding {
public:
  explicit TkxSkinCustomTreeView(TComponent* AOwner);
  ~TkxSkinCustomTreeView() override;


  // Reads the skin again: font and colours from the record, then the bars.
  void ChangeSkinData() override;
  // A tree without skin data follows every change too.
  bool HearsSkinChange(const TkxSkinData* SD) const override { return SkinData() == SD || !SkinData(); }
  // Mirrors the tree's scroll state into the attached bars.
  void UpDateScrollBars() override;

  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Change(TTreeNode* Node) override;

private:
  void BarChanged(bool Vertical) override;

  bool FInCheckScrollBars = false;
};

class TkxSkinTreeView : public TkxSkinCustomTreeView {
public:
  explicit TkxSkinTreeView(TComponent* AOwner) : TkxSkinCustomTreeView(AOwner) {}
};

// Form streaming of the tree view.
void RegisterSkinTreeViewFormClasses();
