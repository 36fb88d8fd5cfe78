#pragma once
// The standard edit and list box window classes ("EDIT" and "LISTBOX"), their messages, styles
// and notifications, the owner-draw structure, and the clipboard. Positions and lengths of the
// edit count code points of its UTF-8 text; a line break counts as the two characters CR LF.
#include <string>

#include "platform/WinUser.h"

namespace win {

// Registers the "EDIT" and "LISTBOX" classes once; any thread may call it any number of times.
void InitStandardControls();

// ---- edit ---------------------------------------------------------------------------------------
constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004,
                ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010, ES_PASSWORD = 0x0020,
                ES_AUTOVSCROLL = 0x0040, ES_AUTOHSCROLL = 0x0080, ES_NOHIDESEL = 0x0100,
                ES_OEMCONVERT = 0x0400, ES_READONLY = 0x0800, ES_WANTRETURN = 0x1000, ES_NUMBER = 0x2000;
constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3,
               EM_SETRECTNP = 0x00B4, EM_SCROLL = 0x00B5, EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7,
               EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB,
               EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4, EM_LIMITTEXT = 0x00C5,
               EM_SETLIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_LINEFROMCHAR = 0x00C9,
               EM_EMPTYUNDOBUFFER = 0x00CD, EM_GETFIRSTVISIBLELINE = 0x00CE, EM_SETREADONLY = 0x00CF,
               EM_SETPASSWORDCHAR = 0x00CC, EM_GETPASSWORDCHAR = 0x00D2, EM_SETMARGINS = 0x00D3,
               EM_GETMARGINS = 0x00D4, EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6,
               EM_CHARFROMPOS = 0x00D7;
constexpr WPARAM EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2, EC_USEFONTINFO = 0xFFFF;
// Notification codes in the high word of WM_COMMAND's wParam.
constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
               EN_ERRSPACE = 0x0500, EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;
// The caret's blink timer on an edit window (a private id, clear of the controls' timer 1).
constexpr UINT_PTR kEditCaretTimer = 0xE0C7;
constexpr UINT kCaretBlinkMs = 530;

// ---- list box -------------------------------------------------------------------------------------
constexpr DWORD LBS_NOTIFY = 0x0001, LBS_SORT = 0x0002, LBS_NOREDRAW = 0x0004, LBS_MULTIPLESEL = 0x0008,
                LBS_OWNERDRAWFIXED = 0x0010, LBS_OWNERDRAWVARIABLE = 0x0020, LBS_HASSTRINGS = 0x0040,
                LBS_USETABSTOPS = 0x0080, LBS_NOINTEGRALHEIGHT = 0x0100, LBS_MULTICOLUMN = 0x0200,
                LBS_WANTKEYBOARDINPUT = 0x0400, LBS_EXTENDEDSEL = 0x0800, LBS_DISABLENOSCROLL = 0x1000,
                LBS_NODATA = 0x2000, LBS_NOSEL = 0x4000;
constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
               LB_SELITEMRANGEEX = 0x0183, LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186,
               LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188, LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A,
               LB_GETCOUNT = 0x018B, LB_SELECTSTRING = 0x018C, LB_DIR = 0x018D, LB_GETTOPINDEX = 0x018E,
               LB_FINDSTRING = 0x018F, LB_GETSELCOUNT = 0x0190, LB_GETSELITEMS = 0x0191,
               LB_SETTABSTOPS = 0x0192, LB_GETHORIZONTALEXTENT = 0x0193, LB_SETHORIZONTALEXTENT = 0x0194,
               LB_SETCOLUMNWIDTH = 0x0195, LB_SETTOPINDEX = 0x0197, LB_GETITEMRECT = 0x0198,
               LB_GETITEMDATA = 0x0199, LB_SETITEMDATA = 0x019A, LB_SELITEMRANGE = 0x019B,
               LB_SETANCHORINDEX = 0x019C, LB_GETANCHORINDEX = 0x019D, LB_SETCARETINDEX = 0x019E,
               LB_GETCARETINDEX = 0x019F, LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1,
               LB_FINDSTRINGEXACT = 0x01A2, LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2;
constexpr WORD LBN_ERRSPACE = WORD(-2), LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SELCANCEL = 3,
               LBN_SETFOCUS = 4, LBN_KILLFOCUS = 5;
// Type-ahead: characters typed within this many milliseconds of each other search together.
constexpr DWORD kListBoxTypeAheadMs = 1000;

// ---- owner draw ----------------------------------------------------------------------------------
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODA_DRAWENTIRE = 0x1, ODA_SELECT = 0x2, ODA_FOCUS = 0x4;
constexpr UINT ODS_SELECTED = 0x1, ODS_GRAYED = 0x2, ODS_DISABLED = 0x4, ODS_CHECKED = 0x8, ODS_FOCUS = 0x10;
struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem{};
  ULONG_PTR itemData = 0;
};

// ---- clipboard -----------------------------------------------------------------------------------
// Text only, UTF-8, kept by the backend (the headless one keeps it in memory). Open/Close bracket
// a sequence of calls as on the platform the controls were written for; the text calls work
// without them too.
constexpr UINT CF_TEXT = 1, CF_UNICODETEXT = 13;
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
BOOL IsClipboardFormatAvailable(UINT format);
// Puts text on the clipboard (replacing what it held).
BOOL SetClipboardText(const std::string& text);
// The clipboard's text, or "" when it holds none.
std::string GetClipboardText();

}  // namespace win

namespace win::detail {
// The non-client area of a standard control: the sunken edge of WS_EX_CLIENTEDGE and the plain
// scroll bars of WS_VSCROLL/WS_HSCROLL; other frames go to DefWindowProc. Answers WM_NCPAINT.
LRESULT PaintSunkenFrame(HWND h, WPARAM updateRgn);
// The parts of a plain scroll bar laid out in `bar`: arrow buttons at both ends, the track
// between them and a thumb sized by the page (square without a page). span is the number of
// positions the thumb travels (Max - Min + 1 - Page, or Max - Min without a page); there is no
// thumb when it is 0 or the track is too short for one.
struct ScrollBarParts {
  RECT bar{}, less{}, more{}, thumb{};
  bool hasThumb = false;
  int trackStart = 0, trackLength = 0, thumbLength = 0;
  long span = 0;
};
void LayoutScrollBar(const RECT& bar, bool vertical, int nMin, int nMax, UINT nPage, int nPos, ScrollBarParts* p);
// Which part is held down while drawing.
constexpr int ScrollBarNoPart = 0, ScrollBarLess = 1, ScrollBarMore = 2, ScrollBarTrackLess = 3,
              ScrollBarTrackMore = 4, ScrollBarThumb = 5;
void DrawScrollBar(HDC dc, const ScrollBarParts& p, bool vertical, bool enabled, int pressedPart);
// One arrow button (up or left when `less`), raised, or flat and shifted while pressed.
void DrawScrollArrow(HDC dc, const RECT& r, bool vertical, bool less, bool enabled, bool pressed);
// Draws the shown scroll bars into a window DC (StdScrollBars.cpp).
void PaintScrollBars(HWND h, HDC windowDC);
// WM_NCLBUTTONDOWN on HTVSCROLL/HTHSCROLL (screen point): a line, a page, or the start of a
// thumb drag; false for any other hit code.
bool ScrollBarPress(HWND h, WPARAM hit, POINT screen);
// WM_MOUSEMOVE and WM_LBUTTONUP (client point) while a thumb is dragged; false otherwise.
bool ScrollBarTrack(HWND h, UINT msg, LPARAM clientPt);
// Repaints the bars after the scroll info changed, when the window shows any.
void RedrawScrollBars(HWND h);
}  // namespace win::detail

namespace win {
// ---- tree view ----------------------------------------------------------------------------------
// The messages the class library's tree view answers (its window class is its own).
constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5, TVM_GETINDENT = TV_FIRST + 6, TVM_SETINDENT = TV_FIRST + 7,
               TVM_GETVISIBLECOUNT = TV_FIRST + 16, TVM_GETITEMHEIGHT = TV_FIRST + 28;
}  // namespace win
