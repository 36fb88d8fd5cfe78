#pragma once
// The form's part of a skin change for the control tests, until the skinned form does it: the
// walk over the form's skinned controls around the skin data's change messages.
#include "classlib/Forms.h"
#include "lib/controls/kxSkinBinding.h"
#include "lib/skin/kxSkinData.h"

namespace skinchange {

// From now on Form walks its controls for SD's KXM_BEFORECHANGESKINDATA and KXM_CHANGESKINDATA,
// before its own window procedure sees them. Answers that procedure, to be put back.
inline auto FollowSkinChanges(TForm* Form, TkxSkinData* SD) {
  auto old = Form->WindowProc;
  Form->WindowProc = [Form, SD, old](TMessage& m) {
    if (m.Msg == KXM_BEFORECHANGESKINDATA) BeforeChangeSkinDataWalk(Form, SD);
    if (m.Msg == KXM_CHANGESKINDATA) ChangeSkinDataWalk(Form, SD);
    old(m);
  };
  return old;
}

}  // namespace skinchange
