#pragma once
// What the skinned list view and tree view share over the class library's views: the skin binding
// with the font and colours read from their record (or the default font and colour without one),
// and the two external skinned scroll bars that stand in for their own. A bar attached is enabled
// and hidden and hands its moves to the view; it lets go of the view when either goes first.
#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "lib/controls/kxSkinBinding.h"
#include "lib/controls/kxSkinScrollBar.h"

class TkxSkinViewBinding : public TkxSkinBinding {
public:
  TkxSkinViewBinding(TControl* View, std::string Name);
  ~TkxSkinViewBinding() override;

  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  // Attaching a bar enables and hides it and takes its OnChange; the bars then show while the
  // view's content needs them.
  TkxSkinScrollBar* VScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(TkxSkinScrollBar* Value) { Attach(FVScrollBar, Value, true); }
  TkxSkinScrollBar* HScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(TkxSkinScrollBar* Value) { Attach(FHScrollBar, Value, false); }

  // Mirrors the view's scroll state into the attached bars.
  virtual void UpDateScrollBars() = 0;

protected:
  // The view in its default font and colour (from the constructor of the view, once it is built).
  void ShowDefaultLook();
  // The view's font and colours from its record of class R, the default ones without a record;
  // the skin's character set either way.
  template <typename R>
  void ReadViewSkin() {
    if (FIndex == -1) {
      ShowDefaultLook();
    } else if (auto* r = SkinRecord<R>()) {
      TFont* f = FView->Font();
      if (FUseSkinFont) {
        if (!r->FontName.empty()) f->SetName(r->FontName);
        f->SetStyle(r->FontStyle);
        if (r->FontHeight != 0) f->SetHeight(r->FontHeight);
      } else {
        f->Assign(FDefaultFont.get());
      }
      f->SetColor(r->FontColor);
      FView->SetColor(r->BGColor);
    }
    FView->Font()->SetCharset(SkinCharset(FDefaultFont.get()));
  }
  // The bars may have changed their size with the skin: the parents of aligned bars lay them out
  // again.
  void RealignBars();
  // What both views answer themselves: no non-client area, so no border and never a bar of the
  // view's own. True when Message was answered.
  bool AnswerFrameMessage(TMessage& Message);
  // The attached bars show and hide with the view.
  void BarsFollowVisible(bool Visible);
  // The user moved a bar: the view scrolls to its position.
  virtual void BarChanged(bool Vertical) = 0;

  std::unique_ptr<TFont> FDefaultFont;
  TColor FDefaultColor = clWindow;
  bool FUseSkinFont = true;
  TkxComponentLink<TkxSkinScrollBar> FVScrollBar, FHScrollBar;

private:
  void Attach(TkxComponentLink<TkxSkinScrollBar>& Field, TkxSkinScrollBar* Value, bool Vertical);

  TControl* FView;
};
