// The splitter: the drag that resizes the neighbour aligned against it (live or at release),
// its limits, the refusal through OnCanResize, the cursor by orientation and form streaming.
#include <gtest/gtest.h>

#include "classlib/ExtCtrls.h"
#include "classlib/Streaming.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace ctltest;

class Splitter : public ControlTest {
protected:
  // A 300 x 100 form: a panel aligned Side, the splitter against it, a client panel.
  void Build(TAlign Side, int Size = 100) {
    form = NewForm(100, 100, 300, 100);
    side = new TPanel(owner.get());
    side->SetAlign(Side);
    if (Side == alLeft || Side == alRight) side->SetWidth(Size); else side->SetHeight(Size);
    side->SetParent(form);
    split = new TSplitter(owner.get());
    if (Side == alRight) split->SetLeft(0);
    if (Side == alLeft) split->SetLeft(Size + 1);
    if (Side == alTop) split->SetTop(Size + 1);
    if (Side == alBottom) split->SetTop(0);
    // Across the bar it is 3 pixels thick; bottom-aligned controls line up from their bottom.
    if (Side == alTop || Side == alBottom) split->SetHeight(3);
    split->SetAlign(Side);
    split->SetParent(form);
    client = new TPanel(owner.get());
    client->SetAlign(alClient);
    client->SetParent(form);
    form->Show();
    Pump();
  }
  // Presses on the splitter's middle, moves by (dx, dy) in steps, and releases.
  void Drag(int dx, int dy, bool release = true) {
    TPoint p = split->ClientToScreen(TPoint{split->Width() / 2, split->Height() / 2});
    headless::MoveMouse(p.x, p.y);
    headless::ButtonDown();
    Pump();
    for (int i = 1; i <= 4; ++i) {
      headless::MoveMouse(p.x + dx * i / 4, p.y + dy * i / 4);
      Pump();
    }
    if (release) {
      headless::ButtonUp();
      Pump();
    }
  }
  TForm* form = nullptr;
  TPanel *side = nullptr, *client = nullptr;
  TSplitter* split = nullptr;
};

TEST_F(Splitter, DefaultsAndTheCursorFollowTheOrientation) {
  Build(alLeft);
  EXPECT_EQ(split->Width(), 3);
  EXPECT_EQ(split->MinSize(), 30);
  EXPECT_EQ(split->Cursor(), crHSplit);
  EXPECT_EQ(split->Left(), 100);
  split->SetAlign(alTop);
  EXPECT_EQ(split->Cursor(), crVSplit);
  split->SetAlign(alRight);
  EXPECT_EQ(split->Cursor(), crHSplit);
  // A cursor of the user's own stays.
  split->SetCursor(crHandPoint);
  split->SetAlign(alBottom);
  EXPECT_EQ(split->Cursor(), crHandPoint);
}

TEST_F(Splitter, LiveDragResizesTheNeighbourWithinItsLimits) {
  struct Case {
    TAlign side;
    int dx, dy;
    int expected;
  } cases[] = {
      {alLeft, 40, 0, 140},    {alLeft, -90, 0, 30},    {alLeft, 250, 0, 267},  // 300 - 3 - 30 for the client
      {alRight, -40, 0, 140},  {alRight, 90, 0, 30},    {alTop, 0, 20, 50},
      {alTop, 0, -40, 30},     {alTop, 0, 90, 67},      {alBottom, 0, -20, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "side " << c.side << " by " << c.dx << "," << c.dy);
    const bool horz = c.side == alLeft || c.side == alRight;
    Build(c.side, horz ? 100 : 30);
    split->SetResizeStyle(rsUpdate);
    int moved = 0;
    split->OnMoved = [&](TObject*) { ++moved; };
    Drag(c.dx, c.dy, false);
    // Live: the neighbour already has its size while the button is still down.
    EXPECT_EQ(horz ? side->Width() : side->Height(), c.expected);
    headless::ButtonUp();
    Pump();
    EXPECT_EQ(horz ? side->Width() : side->Height(), c.expected);
    // OnMoved comes only when the size changed.
    EXPECT_EQ(moved > 0, c.expected != (horz ? 100 : 30));
    EXPECT_EQ(split->SizingControl(), nullptr);
    // The splitter stays against the neighbour's edge and the client fills the rest.
    if (c.side == alLeft) {
      EXPECT_EQ(split->Left(), c.expected);
    } else if (c.side == alRight) {
      EXPECT_EQ(split->Left(), 300 - c.expected - 3);
    } else if (c.side == alTop) {
      EXPECT_EQ(split->Top(), c.expected);
    }
    if (horz) {
      EXPECT_EQ(client->Width(), 300 - c.expected - 3);
    } else {
      EXPECT_EQ(client->Height(), 100 - c.expected - 3);
    }
    owner = std::make_unique<TComponent>(nullptr);
  }
}

TEST_F(Splitter, OtherStylesResizeOnlyAtTheRelease) {
  Build(alLeft);
  ASSERT_EQ(split->ResizeStyle(), rsPattern);
  int moved = 0;
  split->OnMoved = [&](TObject*) { ++moved; };
  Drag(50, 0, false);
  EXPECT_EQ(side->Width(), 100);
  EXPECT_EQ(moved, 0);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(side->Width(), 150);
  EXPECT_EQ(moved, 1);
}

TEST_F(Splitter, OnCanResizeRefusesOrChangesTheSize) {
  Build(alLeft);
  split->SetResizeStyle(rsUpdate);
  std::vector<int> asked;
  split->OnCanResize = [&](TObject* Sender, int32_t& NewSize, bool& Accept) {
    EXPECT_EQ(Sender, split);
    asked.push_back(NewSize);
    Accept = NewSize <= 120;
  };
  Drag(60, 0);
  EXPECT_FALSE(asked.empty());
  EXPECT_EQ(side->Width(), 115);  // steps of 15: 115 accepted, 130 and beyond refused

  split->OnCanResize = [&](TObject*, int32_t& NewSize, bool&) { NewSize = 10 * (NewSize / 10); };
  Drag(-37, 0);
  EXPECT_EQ(side->Width() % 10, 0);
}

TEST_F(Splitter, WithoutANeighbourOrWithItFreedTheDragDoesNothing) {
  form = NewForm(100, 100, 300, 100);
  split = Make<TSplitter>(form, "S", 0, 0, 3, 100);
  split->SetAlign(alLeft);
  form->Show();
  Pump();
  Drag(40, 0);
  EXPECT_EQ(split->Left(), 0);

  owner = std::make_unique<TComponent>(nullptr);
  Build(alLeft);
  split->SetResizeStyle(rsUpdate);
  Drag(10, 0, false);
  ASSERT_EQ(split->SizingControl(), side);
  delete side;
  EXPECT_EQ(split->SizingControl(), nullptr);
  headless::MoveMouse(300, 150);
  Pump();
  headless::ButtonUp();
  Pump();
}

TEST_F(Splitter, PaintsItsColourAndTheBevel) {
  Build(alLeft);
  split->SetColor(clRed);
  split->SetWidth(5);
  form->Repaint();
  Pump();
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), split->Left() + 2, 50)), Px(clRed));
  split->SetBeveled(true);
  form->Repaint();
  Pump();
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), split->Left(), 50)), Px(clBtnHighlight));
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), split->Left() + 4, 50)), Px(clBtnShadow));
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), split->Left() + 2, 50)), Px(clRed));
}

TEST_F(Splitter, IsReadFromAFormDescription) {
  auto* f = new TForm(owner.get());
  ReadFormDescription(f,
                      "object F: TForm\n  BorderStyle = bsNone\n  ClientWidth = 200\n  ClientHeight = 100\n"
                      "  object S: TSplitter\n    Align = alTop\n    MinSize = 50\n    ResizeStyle = rsUpdate\n"
                      "    Beveled = True\n  end\nend\n",
                      "split.dfm");
  auto* s = dynamic_cast<TSplitter*>(f->FindComponent("S"));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Align(), alTop);
  EXPECT_EQ(s->MinSize(), 50);
  EXPECT_EQ(s->ResizeStyle(), rsUpdate);
  EXPECT_TRUE(s->Beveled());
  EXPECT_EQ(s->Cursor(), crVSplit);
  EXPECT_EQ(s->Width(), 200);
  EXPECT_THROW(ReadFormDescription(new TForm(owner.get()),
                                   "object G: TForm\n  object S: TSplitter\n    ResizeStyle = rsWobble\n  end\nend\n",
                                   "bad.dfm"),
               std::exception);
}

}  // namespace
