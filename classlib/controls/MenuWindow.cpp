// The plain popup menu: one popup window per open level (WS_POPUP, never activated, so the
// keyboard focus stays where it was), drawn in the system colours, and a modal tracking loop
// that takes the keyboard and watches the mouse until an item is chosen or the menu cancelled.
#include "classlib/controls/MenuWindow.h"

#include <algorithm>

#include "base/MainThread.h"
#include "classlib/Forms.h"
#include "classlib/graphics/ImageList.h"

using namespace win;

namespace menus_internal {

namespace {

constexpr int kBorder = 3;         // the raised frame around the items
constexpr int kSeparatorHeight = 9;
constexpr int kMinItemHeight = 20;
constexpr int kCheckColumn = 22;   // check mark, radio dot, bitmap or image
constexpr int kArrowColumn = 18;   // the sub-menu arrow
constexpr int kShortCutGap = 24;   // between the caption and the short cut
const char kClassName[] = "OmbrelPopupMenu";

}  // namespace

class TMenuLevel {
public:
  TMenuItem* Parent = nullptr;       // the item whose sub-items are shown
  std::vector<TMenuItem*> Items;     // the shown ones
  std::vector<TRect> Rects;          // client rectangles
  HWND Handle = nullptr;
  int32_t Hot = -1;
  int32_t Width = 0, Height = 0;
  int32_t CheckWidth = 0;            // the column left of the captions
};

namespace {

// Watches the menu and every shown item: freeing any of them while the menu is open closes it.
class TTracker : public TComponent {
public:
  explicit TTracker(TPopupMenu* AMenu) : TComponent(nullptr), Menu(AMenu) {
    Menu->FreeNotification(this);
    // The menu font of the system: 9 points of the user-interface face.
    Font.SetName("宋体");
    Font.SetHeight(-12);
    Font.SetColor(clMenuText);
  }
  ~TTracker() override {
    for (auto& l : Levels)
      if (l->Handle && IsWindow(l->Handle)) DestroyWindow(l->Handle);
  }
  void Watch(TComponent* C) { C->FreeNotification(this); }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == Menu) {
      MenuGone = true;
      Menu = nullptr;
    }
    // Every pointer into the tree may be stale now: forget the levels' items and close.
    for (auto& l : Levels) {
      l->Items.clear();
      l->Rects.clear();
      l->Parent = nullptr;
      l->Hot = -1;
    }
    Chosen = 0;
    Done = true;
  }

  TPopupMenu* Menu;
  std::vector<std::unique_ptr<TMenuLevel>> Levels;
  TFont Font;
  bool Done = false, MenuGone = false;
  uint32_t Chosen = 0;
};

TTracker* g_tracker = nullptr;

TMenuLevel* LevelOf(HWND h) {
  if (!g_tracker) return nullptr;
  for (auto& l : g_tracker->Levels)
    if (l->Handle == h) return l.get();
  return nullptr;
}

int32_t LevelIndex(TMenuLevel* L) {
  for (size_t i = 0; i < g_tracker->Levels.size(); ++i)
    if (g_tracker->Levels[i].get() == L) return int32_t(i);
  return -1;
}

bool Selectable(TMenuItem* I) { return !I->IsLine(); }

TCustomImageList* ImagesOf(TMenuItem* I) {
  TMenu* m = I->GetParentMenu();
  return m ? m->Images() : nullptr;
}

std::string ItemText(TMenuItem* I) { return I->Caption(); }

// ---- layout and painting ----

void Measure(TMenuLevel& L) {
  HDC dc = GetDC(nullptr);
  TCanvas cv;
  cv.SetHandle(dc);
  cv.Font()->Assign(&g_tracker->Font);
  int captionW = 0, shortcutW = 0, textH = cv.TextHeight("Ag国");
  int check = kCheckColumn;
  bool arrows = false;
  for (TMenuItem* i : L.Items) {
    if (i->IsLine()) continue;
    TFontStyles st = i->Default() ? TFontStyles{fsBold} : TFontStyles{};
    cv.Font()->SetStyle(st);
    captionW = std::max(captionW, cv.TextWidth(StripHotkey(ItemText(i))));
    if (i->ShortCut()) shortcutW = std::max(shortcutW, cv.TextWidth(ShortCutToText(i->ShortCut())));
    if (i->Count() > 0) arrows = true;
    if (TCustomImageList* il = ImagesOf(i); il && i->ImageIndex() >= 0) check = std::max(check, il->Width() + 6);
    if (i->HasBitmap()) check = std::max(check, i->Bitmap()->Width() + 6);
  }
  cv.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  int itemH = std::max(kMinItemHeight, textH + 6);
  int w = check + captionW + (shortcutW ? kShortCutGap + shortcutW : 0) + (arrows ? kArrowColumn : 8) + 8;
  L.Rects.clear();
  int y = kBorder;
  for (TMenuItem* i : L.Items) {
    int h = i->IsLine() ? kSeparatorHeight : itemH;
    L.Rects.push_back(TRect{kBorder, y, kBorder + w, y + h});
    y += h;
  }
  L.Width = w + 2 * kBorder;
  L.CheckWidth = check;
  L.Height = y + kBorder;
}

void DrawCheck(TCanvas* cv, const TRect& box, bool radio, TColor color) {
  int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
  cv->Pen()->SetColor(color);
  cv->Brush()->SetColor(color);
  if (radio) {
    cv->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
    return;
  }
  // A tick three pixels thick.
  for (int d = 0; d < 3; ++d) {
    cv->MoveTo(cx - 4, cy - 1 + d);
    cv->LineTo(cx - 2, cy + 1 + d);
    cv->LineTo(cx + 4, cy - 5 + d);
  }
}

void DrawArrow(TCanvas* cv, const TRect& r, TColor color) {
  int cx = r.right - kArrowColumn / 2 - 1, cy = (r.top + r.bottom) / 2;
  cv->Pen()->SetColor(color);
  cv->Brush()->SetColor(color);
  cv->Polygon({TPoint{cx - 2, cy - 4}, TPoint{cx + 2, cy}, TPoint{cx - 2, cy + 4}});
}

void PaintItem(TCanvas* cv, TMenuLevel& L, size_t n) {
  TMenuItem* i = L.Items[n];
  TRect r = L.Rects[n];
  bool hot = int32_t(n) == L.Hot;
  if (i->OnDrawItem) {
    cv->Brush()->SetColor(hot ? clHighlight : clMenu);
    cv->FillRect(r);
    cv->Font()->SetColor(hot ? clHighlightText : clMenuText);
    i->OnDrawItem(i, cv, r, hot);
    return;
  }
  if (i->IsLine()) {
    int y = (r.top + r.bottom) / 2 - 1;
    cv->Pen()->SetColor(clBtnShadow);
    cv->MoveTo(r.left + 1, y);
    cv->LineTo(r.right - 1, y);
    cv->Pen()->SetColor(clBtnHighlight);
    cv->MoveTo(r.left + 1, y + 1);
    cv->LineTo(r.right - 1, y + 1);
    return;
  }
  bool enabled = i->Enabled();
  cv->Brush()->SetColor(hot ? clHighlight : clMenu);
  cv->FillRect(r);
  TColor text = !enabled ? clGrayText : hot ? clHighlightText : clMenuText;
  // The check column: an image (framed when checked), a bitmap, or the check mark.
  int check = L.CheckWidth;
  TCustomImageList* il = ImagesOf(i);
  TRect box{r.left, r.top, r.left + check, r.bottom};
  bool picture = false;
  if (il && i->ImageIndex() >= 0 && i->ImageIndex() < il->Count()) {
    il->Draw(cv, box.left + (check - il->Width()) / 2, box.top + (box.bottom - box.top - il->Height()) / 2,
             i->ImageIndex(), enabled);
    picture = true;
  } else if (i->HasBitmap()) {
    TBitmap* b = i->Bitmap();
    cv->Draw(box.left + (check - b->Width()) / 2, box.top + (box.bottom - box.top - b->Height()) / 2, b);
    picture = true;
  }
  if (i->Checked()) {
    if (picture) {
      TRect f{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
      Frame3D(cv, f, clBtnShadow, clBtnHighlight, 1);
    } else {
      DrawCheck(cv, box, i->RadioItem(), text);
    }
  }
  cv->Font()->SetStyle(i->Default() ? TFontStyles{fsBold} : TFontStyles{});
  TRect t{box.right, r.top, r.right - (i->Count() > 0 ? kArrowColumn : 8), r.bottom};
  auto drawText = [&](TColor c, int dx) {
    cv->Font()->SetColor(c);
    cv->TextExtent(" ");  // selects the font and its colour
    SetBkMode(cv->Handle(), TRANSPARENT);
    TRect tt{t.left + dx, t.top + dx, t.right + dx, t.bottom + dx};
    std::string caption = ItemText(i);
    DrawText(cv->Handle(), caption.c_str(), int(caption.size()), &tt, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (i->ShortCut()) {
      std::string sc = ShortCutToText(i->ShortCut());
      DrawText(cv->Handle(), sc.c_str(), int(sc.size()), &tt, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
  };
  // Disabled text is embossed: a highlight copy one pixel down and right, then the grey text.
  if (!enabled && !hot) drawText(clBtnHighlight, 1);
  drawText(text, 0);
  if (i->Count() > 0) DrawArrow(cv, r, text);
}

void PaintLevel(TMenuLevel& L, HDC dc) {
  TCanvas cv;
  cv.SetHandle(dc);
  cv.Font()->Assign(&g_tracker->Font);
  TRect all{0, 0, L.Width, L.Height};
  cv.Brush()->SetColor(clMenu);
  cv.FillRect(all);
  TRect f = all;
  Frame3D(&cv, f, clBtnFace, cl3DDkShadow, 1);
  Frame3D(&cv, f, clBtnHighlight, clBtnShadow, 1);
  for (size_t n = 0; n < L.Items.size(); ++n) PaintItem(&cv, L, n);
  cv.SetHandle(nullptr);
}

void InvalidateItem(TMenuLevel& L, int32_t n) {
  if (n < 0 || n >= int32_t(L.Rects.size()) || !L.Handle) return;
  RECT r = L.Rects[size_t(n)];
  InvalidateRect(L.Handle, &r, FALSE);
}

// ---- opening and closing levels ----

void CloseLevelsFrom(size_t From) {
  while (g_tracker->Levels.size() > From) {
    HWND h = g_tracker->Levels.back()->Handle;
    g_tracker->Levels.pop_back();
    if (h && IsWindow(h)) DestroyWindow(h);
  }
  if (!g_tracker->Levels.empty() && From > 0) {
    // The item whose sub-menu closed stays hot.
    TMenuLevel& L = *g_tracker->Levels.back();
    InvalidateItem(L, L.Hot);
  }
}

void SetHot(TMenuLevel& L, int32_t n) {
  if (n == L.Hot) return;
  InvalidateItem(L, L.Hot);
  L.Hot = n;
  InvalidateItem(L, n);
}

TRect WorkAreaAt(TPoint P) {
  HMONITOR m = MonitorFromPoint(POINT{P.x, P.y}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi;
  mi.cbSize = sizeof(mi);
  if (m && GetMonitorInfo(m, &mi)) return mi.rcWork;
  return TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Opens the sub-items of Parent. For the first level (X, Y) is the popup point; for a sub-menu
// Beside is the screen rectangle of the item it opens from.
bool OpenLevel(TMenuItem* Parent, TPoint At, const TRect* Beside) {
  if (Parent->IsLineReduced()) Parent->RethinkLines();
  auto level = std::make_unique<TMenuLevel>();
  level->Parent = Parent;
  for (int32_t k = 0; k < Parent->Count(); ++k) {
    TMenuItem* i = Parent->Items(k);
    i->InitiateAction();
    if (g_tracker->Done) return false;  // an update freed something
    if (i->Visible()) level->Items.push_back(i);
  }
  if (level->Items.empty()) return false;
  for (TMenuItem* i : level->Items) g_tracker->Watch(i);
  Measure(*level);
  TRect area = WorkAreaAt(At);
  int w = level->Width, h = level->Height, x, y;
  if (Beside) {
    x = Beside->right;
    if (x + w > area.right) x = Beside->left - w;  // no room on the right: to the left
    y = Beside->top - kBorder;
  } else {
    x = At.x;
    TPopupAlignment a = g_tracker->Menu ? g_tracker->Menu->Alignment() : paLeft;
    if (a == paRight) x -= w;
    else if (a == paCenter) x -= w / 2;
    y = At.y;
    if (x + w > area.right) x = std::max(area.left, x - w);
  }
  if (y + h > area.bottom) y = Beside ? area.bottom - h : y - h;  // no room below: above the point
  x = std::max(area.left, std::min(x, area.right - w));
  y = std::max(area.top, y);
  HWND owner = nullptr;
  if (TCustomForm* f = Screen ? Screen->ActiveForm() : nullptr; f && f->HandleAllocated()) owner = f->Handle();
  level->Handle = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, "",
                                 WS_POPUP, x, y, w, h, owner, nullptr, nullptr, nullptr);
  if (!level->Handle) return false;
  HWND hwnd = level->Handle;
  g_tracker->Levels.push_back(std::move(level));
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateWindow(hwnd);
  return true;
}

// Opens the sub-menu of the hot item of level n (its click first, so it can fill the sub-menu).
void OpenSubMenu(size_t n, bool SelectFirst) {
  TMenuLevel& L = *g_tracker->Levels[n];
  if (L.Hot < 0) return;
  TMenuItem* item = L.Items[size_t(L.Hot)];
  if (item->Count() == 0 || !item->Enabled()) return;
  if (g_tracker->Levels.size() > n + 1 && g_tracker->Levels[n + 1]->Parent == item) return;  // already open
  CloseLevelsFrom(n + 1);
  item->Click();
  if (g_tracker->Done) return;
  TRect r = L.Rects[size_t(L.Hot)];
  POINT tl{r.left, r.top}, br{r.right, r.bottom};
  ClientToScreen(L.Handle, &tl);
  ClientToScreen(L.Handle, &br);
  TRect beside{tl.x, tl.y, br.x, br.y};
  if (OpenLevel(item, TPoint{tl.x, tl.y}, &beside) && SelectFirst) {
    TMenuLevel& sub = *g_tracker->Levels.back();
    for (size_t k = 0; k < sub.Items.size(); ++k)
      if (Selectable(sub.Items[k])) {
        SetHot(sub, int32_t(k));
        break;
      }
  }
}

void Choose(TMenuItem* Item) {
  g_tracker->Chosen = Item->Command();
  g_tracker->Done = true;
}

void Cancel() {
  g_tracker->Chosen = 0;
  g_tracker->Done = true;
}

// Enter, a click or an accelerator on an item: a sub-menu opens, an enabled command is chosen.
void Activate(size_t n, int32_t k, bool FromKeyboard) {
  TMenuLevel& L = *g_tracker->Levels[n];
  TMenuItem* item = L.Items[size_t(k)];
  SetHot(L, k);
  if (item->Count() > 0) {
    OpenSubMenu(n, FromKeyboard);
    return;
  }
  if (item->Enabled() && !item->IsLine()) Choose(item);
}

void MoveHot(TMenuLevel& L, int Step) {
  int32_t n = int32_t(L.Items.size());
  if (n == 0) return;
  int32_t k = L.Hot;
  for (int32_t tries = 0; tries < n; ++tries) {
    k = k < 0 ? (Step > 0 ? 0 : n - 1) : (k + Step + n) % n;
    if (Selectable(L.Items[size_t(k)])) {
      SetHot(L, k);
      return;
    }
  }
}

void HandleKey(WPARAM Key) {
  size_t deepest = g_tracker->Levels.size() - 1;
  TMenuLevel& L = *g_tracker->Levels[deepest];
  switch (Key) {
    case VK_UP: MoveHot(L, -1); break;
    case VK_DOWN: MoveHot(L, 1); break;
    case VK_RIGHT: OpenSubMenu(deepest, true); break;
    case VK_LEFT:
      if (deepest > 0) CloseLevelsFrom(deepest);
      break;
    case VK_ESCAPE:
      if (deepest > 0) CloseLevelsFrom(deepest);
      else Cancel();
      break;
    case VK_RETURN:
      if (L.Hot >= 0) Activate(deepest, L.Hot, true);
      break;
    case VK_MENU: case VK_F10: Cancel(); break;
    default: break;
  }
}

void HandleChar(uint32_t Ch) {
  size_t deepest = g_tracker->Levels.size() - 1;
  TMenuLevel& L = *g_tracker->Levels[deepest];
  for (size_t k = 0; k < L.Items.size(); ++k)
    if (Selectable(L.Items[k]) && IsAccel(Ch, L.Items[k]->Caption())) {
      Activate(deepest, int32_t(k), true);
      return;
    }
}

int32_t ItemAt(TMenuLevel& L, POINT P) {
  for (size_t k = 0; k < L.Rects.size(); ++k)
    if (PtInRect(&L.Rects[k], P)) return int32_t(k);
  return -1;
}

void MouseMove(TMenuLevel& L, POINT P) {
  int32_t k = ItemAt(L, P);
  int32_t n = LevelIndex(&L);
  if (k < 0) {
    // Off the items: the hot item stays only while its sub-menu is open.
    if (size_t(n) + 1 >= g_tracker->Levels.size()) SetHot(L, -1);
    return;
  }
  if (!Selectable(L.Items[size_t(k)])) {
    SetHot(L, -1);
    CloseLevelsFrom(size_t(n) + 1);
    return;
  }
  if (k == L.Hot && size_t(n) + 1 < g_tracker->Levels.size()) return;
  SetHot(L, k);
  CloseLevelsFrom(size_t(n) + 1);
  if (L.Items[size_t(k)]->Count() > 0) OpenSubMenu(size_t(n), false);
}

LRESULT MenuWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  TMenuLevel* L = LevelOf(h);
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (L) PaintLevel(*L, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return TRUE;
    case WM_MOUSEMOVE:
      if (L) MouseMove(*L, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
      return 0;
    case WM_LBUTTONUP: case WM_RBUTTONUP:
      if (L) {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        int32_t k = ItemAt(*L, p);
        if (k >= 0) Activate(size_t(LevelIndex(L)), k, false);
      }
      return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

void RegisterMenuClass() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASS wc;
  wc.style = CS_SAVEBITS | CS_DBLCLKS;
  wc.lpfnWndProc = MenuWndProc;
  wc.lpszClassName = kClassName;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(&wc);
}

bool IsMenuWindow(HWND h) {
  for (auto& l : g_tracker->Levels)
    if (l->Handle == h) return true;
  return false;
}

bool IsButtonDown(UINT m) {
  switch (m) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDBLCLK:
      return true;
  }
  return false;
}

}  // namespace

uint32_t TrackPopupMenu(TPopupMenu* Menu, int32_t X, int32_t Y, bool& MenuGone) {
  MenuGone = false;
  if (!Menu || g_tracker) return 0;  // one menu at a time
  RegisterMenuClass();
  TTracker tracker(Menu);
  g_tracker = &tracker;
  struct Reset {
    ~Reset() { g_tracker = nullptr; }
  } reset;
  // A pressed mouse button belongs to whoever has the capture; the menu watches on its own.
  if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
  if (!OpenLevel(Menu->Items(), TPoint{X, Y}, nullptr)) {
    MenuGone = tracker.MenuGone;
    return 0;
  }
  HWND activeBefore = GetActiveWindow();
  while (!tracker.Done) {
    MSG m;
    if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      ServeMainThread(0);
      if (tracker.Done) break;
      WaitMessage();
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));  // the loop above ours ends too
      Cancel();
      break;
    }
    switch (m.message) {
      case WM_KEYDOWN: case WM_SYSKEYDOWN: HandleKey(m.wParam); continue;
      case WM_CHAR: case WM_SYSCHAR: HandleChar(uint32_t(m.wParam)); continue;
      case WM_KEYUP: case WM_SYSKEYUP: continue;
      default: break;
    }
    // A press anywhere else closes the menu and is used up by it.
    if (IsButtonDown(m.message) && !IsMenuWindow(m.hwnd)) {
      Cancel();
      continue;
    }
    DispatchMessage(&m);
    if (!tracker.Done && GetActiveWindow() != activeBefore) Cancel();  // the program lost activation
  }
  for (auto& l : tracker.Levels)
    if (l->Handle && IsWindow(l->Handle)) DestroyWindow(l->Handle);
  tracker.Levels.clear();
  MenuGone = tracker.MenuGone;
  return tracker.Chosen;
}

TRect TrackedItemRect(int32_t Level, int32_t Index) {
  if (!g_tracker || Level < 0 || Level >= int32_t(g_tracker->Levels.size())) return TRect{};
  TMenuLevel& L = *g_tracker->Levels[size_t(Level)];
  if (Index < 0 || Index >= int32_t(L.Rects.size())) return TRect{};
  RECT r = L.Rects[size_t(Index)];
  POINT tl{r.left, r.top}, br{r.right, r.bottom};
  ClientToScreen(L.Handle, &tl);
  ClientToScreen(L.Handle, &br);
  return TRect{tl.x, tl.y, br.x, br.y};
}

HWND TrackedLevelWindow(int32_t Level) {
  if (!g_tracker || Level < 0 || Level >= int32_t(g_tracker->Levels.size())) return nullptr;
  return g_tracker->Levels[size_t(Level)]->Handle;
}

int32_t TrackedLevelCount() { return g_tracker ? int32_t(g_tracker->Levels.size()) : 0; }

}  // namespace menus_internal
