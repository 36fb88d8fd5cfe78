// Check boxes and radio buttons, flat and non-flat, in their states.
#include "lib/controls/kxSkinCheckRadio.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

constexpr int kRow = 26, kColumn = 190;

TkxSkinCheckRadioBox* Box(TWinControl* Host, TkxSkinData* SD, int Column, int Row, const std::string& Caption,
                          bool Radio, bool Flat) {
  auto* b = new TkxSkinCheckRadioBox(Host);
  b->SetName("box_" + std::to_string(Column) + "_" + std::to_string(Row));
  b->SetRadio(Radio);
  b->SetSkinDataName(Radio ? "radiobox" : "checkbox");
  b->SetGroupIndex(Radio ? 1 : 0);
  b->SetFlat(Flat);
  b->SetCaption(Caption);
  b->SetBounds(Column * kColumn, Row * kRow, kColumn - 10, 25);
  b->SetParent(Host);
  b->SetSkinData(SD);
  // A non-flat box takes the record's height: centred on its row like the flat ones.
  if (b->Height() != 25) b->SetTop(Row * kRow + (25 - b->Height()) / 2);
  return b;
}

void Hot(TkxSkinCheckRadioBox* B) { B->Perform(CM_MOUSEENTER, 0, 0); }

// A radio group on a panel of its own, so that it does not clear the other column's radios.
TWinControl* GroupHost(TWinControl* Host, int Column, int Row, int Rows) {
  auto* p = new TPanel(Host);
  p->SetName("radio_group_" + std::to_string(Column));
  p->SetCaption("");
  p->SetBevelOuter(bvNone);
  p->SetParentColor(true);
  p->SetBounds(Column * kColumn, Row * kRow, kColumn, Rows * kRow);
  p->SetParent(Host);
  return p;
}

void BuildColumn(TWinControl* Host, TkxSkinData* SD, int Column, bool Flat) {
  const char* look = Flat ? "平面" : "立体";
  int row = 0;
  Box(Host, SD, Column, row++, std::string(look) + " 未选中 unchecked", false, Flat);
  Box(Host, SD, Column, row++, "已选中 checked", false, Flat)->SetChecked(true);
  auto* g = Box(Host, SD, Column, row++, "不确定 grayed", false, Flat);
  g->SetAllowGrayed(true);
  g->SetState(cbGrayed);
  auto* h = Box(Host, SD, Column, row++, "热点 hot", false, Flat);
  h->SetChecked(true);
  Hot(h);
  auto* d = Box(Host, SD, Column, row++, "禁用 disabled", false, Flat);
  d->SetEnabled(false);
  auto* dc = Box(Host, SD, Column, row++, "禁用已选中 disabled on", false, Flat);
  dc->SetChecked(true);
  dc->SetEnabled(false);
  Box(Host, SD, Column, row++, "焦点 focused", false, Flat)->SetCanFocused(true);
  // The radio group, on its own panel.
  TWinControl* group = GroupHost(Host, Column, row, 4);
  Box(group, SD, 0, 0, "单选 一 radio one", true, Flat);
  Box(group, SD, 0, 1, "单选 二 radio two", true, Flat)->SetChecked(true);
  Hot(Box(group, SD, 0, 2, "单选 三 hot", true, Flat));
  Box(group, SD, 0, 3, "禁用 disabled", true, Flat)->SetEnabled(false);
}

gallery::Register checkRadio({"复选框与单选框 check and radio boxes", 30, 3 * kColumn, 11 * kRow + 20,
                              [](TWinControl* host, TkxSkinData* sd) {
                                BuildColumn(host, sd, 0, true);
                                BuildColumn(host, sd, 1, false);
                                // Wrapping, only the flat look does it.
                                auto* w = Box(host, sd, 2, 0, "自动换行的长标题：转换完成后关闭计算机 word wrap", false,
                                              true);
                                w->SetWordWrap(true);
                                w->SetBounds(2 * kColumn, 0, kColumn - 10, 44);
                                w->SetChecked(true);
                                auto* r = Box(host, sd, 2, 2, "未分组 no group", true, true);
                                r->SetGroupIndex(0);
                                r->SetChecked(true);
                              },
                              [](TWinControl* host, TkxSkinData*) {
                                // The focus: the flat column's last check box.
                                for (int i = 0; i < host->ControlCount(); ++i)
                                  if (auto* b = dynamic_cast<TkxSkinCheckRadioBox*>(host->Controls(i));
                                      b && b->Name() == "box_0_6")
                                    b->SetFocus();
                              }});

}  // namespace
