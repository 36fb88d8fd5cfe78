// List boxes (plain, with caption and buttons, overflowing with a selection, disabled) and combo
// boxes (fixed, edit, tool-button looks, disabled, and one with its list dropped down).
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinListBoxes.h"
#include "platform/backend/Backend.h"
#include "platform/backend/headless/Headless.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

const char* const kFormats[] = {"MP4 视频 (*.mp4)", "AVI 视频 (*.avi)", "WMV 视频 (*.wmv)", "MKV 视频 (*.mkv)",
                                "FLV 视频 (*.flv)", "3GP 手机视频", "MP3 音频 (*.mp3)", "WAV 音频 (*.wav)",
                                "AAC 音频 (*.aac)", "OGG 音频 (*.ogg)"};

TkxSkinListBox* List(TWinControl* Host, TkxSkinData* SD, const std::string& Name, int X, int Y, int Items) {
  auto* l = new TkxSkinListBox(Host);
  l->SetName(Name);
  l->SetBounds(X, Y, 140, 120);
  l->SetParent(Host);
  for (int i = 0; i < Items; ++i) l->Items()->Add(kFormats[i % 10]);
  l->SetSkinData(SD);
  return l;
}

TkxSkinComboBox* Combo(TWinControl* Host, TkxSkinData* SD, const std::string& Name, int X, int Y) {
  auto* c = new TkxSkinComboBox(Host);
  c->SetName(Name);
  c->SetBounds(X, Y, 140, 20);
  c->SetParent(Host);
  for (const char* s : kFormats) c->Items()->Add(s);
  c->SetSkinData(SD);
  return c;
}

gallery::Register lists({"列表与组合框 list and combo boxes", 60, 610, 400,
                         [](TWinControl* host, TkxSkinData* sd) {
  List(host, sd, "list_plain", 0, 0, 4);
  auto* cap = List(host, sd, "list_caption", 155, 0, 4);
  cap->SetCaption("输出格式");
  cap->SetCaptionMode(true);
  cap->SetItemIndex(1);
  auto* sel = List(host, sd, "list_selected", 310, 0, 10);
  sel->SetItemIndex(2);
  auto* dis = List(host, sd, "list_disabled", 465, 0, 4);
  dis->SetItemIndex(0);
  dis->SetEnabled(false);

  auto* fixed = Combo(host, sd, "combo_fixed", 0, 140);
  fixed->SetItemIndex(0);
  auto* edit = Combo(host, sd, "combo_edit", 155, 140);
  edit->SetStyle(kxcbEditStyle);
  edit->SetItemIndex(2);
  auto* tool = Combo(host, sd, "combo_tool", 310, 140);
  tool->SetToolButtonStyle(true);
  tool->SetItemIndex(6);
  auto* off = Combo(host, sd, "combo_disabled", 465, 140);
  off->SetItemIndex(1);
  off->SetEnabled(false);
  auto* dropped = Combo(host, sd, "combo_dropped", 0, 180);
  dropped->SetItemIndex(3);
  auto* focused = Combo(host, sd, "combo_focused", 310, 180);
  focused->SetItemIndex(4);
},
                         [](TWinControl* host, TkxSkinData*) {
  for (int i = 0; i < host->ControlCount(); ++i) {
    auto* c = dynamic_cast<TkxSkinComboBox*>(host->Controls(i));
    if (!c) continue;
    if (c->Name() == "combo_focused") c->SetFocus();
  }
  // On a real server the open list would lie over the form rows that the X11 check compares with
  // the form's back buffer; there the list stays closed.
  if (&win::backend::Current() != &win::headless::DefaultBackend()) return;
  for (int i = 0; i < host->ControlCount(); ++i) {
    auto* c = dynamic_cast<TkxSkinComboBox*>(host->Controls(i));
    if (c && c->Name() == "combo_dropped") {
      c->DropDown();
      // The pointer rests on the fourth row of the open list.
      c->ListBox()->SetItemIndex(5);
    }
  }
}});

}  // namespace
