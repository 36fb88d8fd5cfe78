#pragma once
// The skinned list view: the class library's list view with the skin's font and colours, its
// column header painted from a button record of the skin ("resizetoolbutton") through a
// replaced window procedure of the header window, and two external skinned scroll bars in place
// of its own. The view keeps the bars in step with its scroll state (shown only while needed)
// and scrolls itself when the user moves them. The items are painted by the list view itself.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "classlib/ListViews.h"
#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinViewBinding.h"
#include "lib/controls/kxSkinScrollBar.h"

// Paints a header section in place of the caption and image: Cnvs is an off-screen bitmap as
// large as the section (its background already drawn), R is (0, 0, width, height).
using TkxDrawHeaderSectionEvent =
    std::function<void(TObject* Sender, TCanvas* Cnvs, TListColumn* Column, bool Pressed, const TRect& R)>;

// Asks a list view to paint its column header into the device context in wParam.
constexpr uint32_t KXM_PAINTHEADERTODC = 45512;

class TkxSkinCustomListView : public TCustomListView, public TkxSkinViewBinding {
public:
  explicit TkxSkinCustomListView(TComponent* AOwner);
  ~TkxSkinCustomListView() override;

  // Read at every header paint.
  const std::string& HeaderSkinDataName() const { return FHeaderSkinDataName; }
  void SetHeaderSkinDataName(const std::string& Value) { FHeaderSkinDataName = Value; }

  // The header record's index as last read, -1 for the default look of the header.
  int32_t HeaderSkinIndex() const { return FHIndex; }
  // The header window while its window procedure is replaced, else null.
  win::HWND SkinHeaderHandle() const { return FHeaderHandle; }
  // The header section pressed (-1 none), whether it is down, and whether a divider is held.
  int32_t ActiveSection() const { return FActiveSection; }
  bool HeaderDown() const { return FHeaderDown; }
  bool DividerDown() const { return FDevDown; }
  // Header paints so far (for the header's live redraw).
  uint32_t HeaderPaintCount() const { return FHeaderPaints; }

  TkxDrawHeaderSectionEvent OnDrawHeaderSection;

  // Reads the skin again: font and colours from the record, then the bars and the header.
  void ChangeSkinData() override;
  // Mirrors the view's scroll state into the attached bars.
  void UpDateScrollBars() override;

  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Change(TListItem* Item, TItemChange AChange) override;

private:
  static win::LRESULT HeaderThunk(win::HWND h, win::UINT Msg, win::WPARAM W, win::LPARAM L);
  win::LRESULT HeaderWndProc(win::UINT Msg, win::WPARAM W, win::LPARAM L);
  void SubclassHeader(win::HWND H);
  void ReleaseHeader();
  void RedrawHeader();
  void PaintHeader(win::HDC DC);
  void ReadHeaderRecord();
  void DrawHeaderSection(TCanvas* Cnvs, TListColumn* Column, const TRect& R, bool Pressed);
  void DrawHeaderRest(TCanvas* Cnvs, const TRect& R);
  std::vector<TRect> SectionRects();
  int32_t ItemHeight0();
  bool ShowBar(TkxSkinScrollBar* Bar, bool Show);
  void BarChanged(bool Vertical) override { Vertical ? VScrollChanged() : HScrollChanged(); }
  void VScrollChanged();
  void HScrollChanged();

  bool FDevDown = false;
  std::string FHeaderSkinDataName = "resizetoolbutton";
  bool FInCheckScrollBars = false;
  bool FromSB = false;
  int32_t FOldVScrollBarPos = 0, FOldHScrollBarPos = 0;
  win::HWND FHeaderHandle = nullptr;
  win::WNDPROC FDefHeaderProc = nullptr;
  int32_t FActiveSection = -1;
  bool FHeaderDown = false;
  uint32_t FHeaderPaints = 0;

  // The header record as last read.
  int32_t FHIndex = -1;
  TPoint HLTPt{}, HRTPt{}, HLBPt{}, HRBPt{};
  TRect HSkinRect{}, HClRect{};
  TBitmap* HPicture = nullptr;  // not owned
  TColor HFontColor = clBtnText, HDownFontColor = clBtnText;
  TRect HActiveSkinRect{}, HDownSkinRect{};
  bool HStretchEffect = false, HLeftStretch = false, HTopStretch = false, HRightStretch = false,
       HBottomStretch = false;
  TkxStretchType HStretchType = kxstFull;
};

class TkxSkinListView : public TkxSkinCustomListView {
public:
  explicit TkxSkinListView(TComponent* AOwner) : TkxSkinCustomListView(AOwner) {}
};

// Form streaming of the list view.
void RegisterSkinListViewFormClasses();
