// Office lists and combo boxes: a category list with group headers and a selected item, format
// combo boxes closed in both looks, and one with its drop-down open.
#include <string>

#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinOfficeCombo.h"
#include "platform/backend/Backend.h"
#include "platform/backend/headless/Headless.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

// Two small pictures standing for a film and a note, as the format list shows them.
TCustomImageList* Pictures(TWinControl* Host) {
  auto* il = new TCustomImageList(Host);
  il->SetSize(32, 32);
  const TColor colors[2][2] = {{TColor(0x2060C0), TColor(0xF0F0F0)}, {TColor(0x30A040), TColor(0xFFFFFF)}};
  for (const auto& c : colors) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(32, 32);
    TCanvas* cv = b.Canvas();
    cv->Brush()->SetColor(clFuchsia);
    cv->FillRect(TRect{0, 0, 32, 32});
    cv->Brush()->SetColor(c[0]);
    cv->FillRect(TRect{3, 6, 29, 26});
    cv->Brush()->SetColor(c[1]);
    for (int y = 8; y < 26; y += 6) {
      cv->FillRect(TRect{5, y, 8, y + 3});
      cv->FillRect(TRect{24, y, 27, y + 3});
    }
    il->AddMasked(&b, clFuchsia);
  }
  return il;
}

struct Format {
  const char* title;
  const char* caption;
};
constexpr Format kFormats[] = {
    {"MP4 - MPEG-4视频格式(*.mp4)", "常用于手机和网络的视频格式"},
    {"AVI - 音视频交错格式(*.avi)", "Windows 常用视频格式"},
    {"WMV - Windows媒体视频(*.wmv)", "Windows Media Player 播放"},
    {"MP3 - MPEG音频第三层(*.mp3)", "最常用的音乐格式"},
    {"FLV - Flash视频格式(*.flv)", "网页视频常用格式"},
};

void FillFormats(TkxSkinOfficeItems* Items, bool Headers) {
  if (Headers) {
    TkxSkinOfficeItem* h = Items->Add();
    h->SetHeader(true);
    h->SetCaption("视频 video");
  }
  for (int i = 0; i < 5; ++i) {
    if (Headers && i == 3) {
      TkxSkinOfficeItem* h = Items->Add();
      h->SetHeader(true);
      h->SetCaption("音频 audio");
    }
    TkxSkinOfficeItem* it = Items->Add();
    it->SetTitle(kFormats[i].title);
    it->SetCaption(kFormats[i].caption);
    it->SetImageIndex(i % 2);
  }
}

TkxSkinOfficeComboBox* FormatCombo(TWinControl* Host, TkxSkinData* SD, TCustomImageList* IL, const std::string& Name,
                                   int x, int y, int w, bool Tool) {
  auto* c = new TkxSkinOfficeComboBox(Host);
  c->SetName(Name);
  c->SetToolButtonStyle(Tool);
  c->SetBounds(x, y, w, Tool ? 48 : 41);
  c->SetParent(Host);
  c->SetImages(IL);
  c->SetListBoxItemHeight(60);
  c->SetListBoxHeaderHeight(20);
  c->SetListBoxShowLines(true);
  c->SetDropDownCount(4);
  FillFormats(c->Items(), true);
  c->SetSkinData(SD);
  c->SetItemIndex(1);
  return c;
}

gallery::Register officeLists({"分类与格式列表 office lists", 60, 740, 330, [](TWinControl* host, TkxSkinData* sd) {
  TCustomImageList* il = Pictures(host);
  // The category list: headers, one item selected, lines between rows.
  auto* list = new TkxSkinOfficeListBox(host);
  list->SetName("category_list");
  list->SetBounds(0, 0, 170, 300);
  list->SetParent(host);
  list->SetImages(il);
  list->SetItemHeight(44);
  list->SetShowLines(true);
  const char* categories[] = {"常用视频", "手机视频", "高清视频", "网络视频", "常用音频", "无损音频"};
  for (int i = 0; i < 6; ++i) {
    if (i == 0 || i == 4) {
      TkxSkinOfficeItem* h = list->Items()->Add();
      h->SetHeader(true);
      h->SetCaption(i == 0 ? "视频 video" : "音频 audio");
    }
    TkxSkinOfficeItem* it = list->Items()->Add();
    it->SetCaption(categories[i]);
    it->SetImageIndex(i < 4 ? 0 : 1);
    if (i == 3) it->SetEnabled(false);
  }
  list->SetSkinData(sd);
  list->SetItemIndex(2);

  // Closed: the tool-button look the main window uses, and the field look.
  FormatCombo(host, sd, il, "format_tool", 190, 0, 260, true);
  auto* field = FormatCombo(host, sd, il, "format_field", 190, 60, 260, false);
  field->SetShowItemTitle(false);
  field->SetShowItemImage(false);
  auto* titled = FormatCombo(host, sd, il, "format_field_titled", 190, 112, 260, false);
  titled->SetBounds(190, 112, 260, 48);
  // The one that drops down once the form shows.
  FormatCombo(host, sd, il, "format_open", 470, 0, 260, true);
}, [](TWinControl* host, TkxSkinData*) {
  // On a real server the open list would lie over the form rows that the X11 check compares with
  // the form's back buffer; there the list stays closed. It drops without the focus, which
  // another section's focused control keeps.
  if (&win::backend::Current() != &win::headless::DefaultBackend()) return;
  for (int i = 0; i < host->ControlCount(); ++i)
    if (auto* c = dynamic_cast<TkxSkinOfficeComboBox*>(host->Controls(i)); c && c->Name() == "format_open") {
      c->DropDown();
    }
}});

}  // namespace
