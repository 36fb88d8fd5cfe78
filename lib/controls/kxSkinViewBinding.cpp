#include "lib/controls/kxSkinViewBinding.h"

#include "lib/controls/kxSkinCtrls.h"

TkxSkinViewBinding::TkxSkinViewBinding(TControl* View, std::string Name)
    : TkxSkinBinding(View, std::move(Name)), FDefaultFont(std::make_unique<TFont>()), FView(View) {
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->OnChange = [this](TObject*) {
    if (FIndex == -1) FView->Font()->Assign(FDefaultFont.get());
  };
}

TkxSkinViewBinding::~TkxSkinViewBinding() {
  FDefaultFont->OnChange = nullptr;
  // The bars may outlive the view: they must not call back into it.
  for (TkxSkinScrollBar* b : {FVScrollBar.Get(), FHScrollBar.Get()})
    if (b) b->OnChange = nullptr;
}

void TkxSkinViewBinding::ShowDefaultLook() {
  FView->SetColor(FDefaultColor);
  FView->Font()->Assign(FDefaultFont.get());
}

void TkxSkinViewBinding::SetDefaultColor(TColor Value) {
  FDefaultColor = Value;
  if (FIndex == -1) FView->SetColor(Value);
}

void TkxSkinViewBinding::RealignBars() {
  for (TkxSkinScrollBar* b : {FVScrollBar.Get(), FHScrollBar.Get()})
    if (b && b->Align() != alNone && b->Parent()) b->Parent()->Realign();
}

bool TkxSkinViewBinding::AnswerFrameMessage(TMessage& Message) {
  switch (Message.Msg) {
    case win::WM_NCCALCSIZE:
    case win::WM_NCPAINT: Message.Result = 0; return true;
    case KXM_PAINTNCTODC: Message.Result = KX_PAINTNCTODC_ANSWER; return true;
    default: return false;
  }
}

void TkxSkinViewBinding::BarsFollowVisible(bool Visible) {
  for (TkxSkinScrollBar* b : {FVScrollBar.Get(), FHScrollBar.Get()})
    if (b) b->SetVisible(Visible);
}

void TkxSkinViewBinding::Attach(TkxComponentLink<TkxSkinScrollBar>& Field, TkxSkinScrollBar* Value, bool Vertical) {
  TkxSkinScrollBar* old = Field;
  if (!Field.Set(Value)) return;
  // The old bar no longer serves the view, unless it still serves the other direction.
  if (old && old != FVScrollBar.Get() && old != FHScrollBar.Get()) old->OnChange = nullptr;
  if (Value) {
    Value->SetEnabled(true);
    Value->SetVisible(false);
    Value->OnChange = [this, Vertical](TObject*) { BarChanged(Vertical); };
  }
  UpDateScrollBars();
}
