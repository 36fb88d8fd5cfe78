#pragma once
// The window services: window classes and windows, messages and the message queue, input,
// focus and activation, painting, scroll info and the screen. Names, numbers and structures
// follow the documented Win32 ones so that code written against them reads unchanged.
// Text is UTF-8 everywhere; WM_CHAR carries one Unicode code point in wParam.
#include <functional>

#include "platform/WinTypes.h"

namespace win {

using LPVOID = void*;
using HANDLE = void*;
using HHOOK = void*;
using LPCSTR = const char*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// ---- messages ---------------------------------------------------------------------------------
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_SYNCPAINT = 0x0088;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_KEYLAST = 0x0109;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_NCMOUSEHOVER = 0x02A0;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_NCMOUSELEAVE = 0x02A2;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// WM_ACTIVATE
constexpr WORD WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
// WM_MOUSEACTIVATE answers
constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;
// WM_SIZE
constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2, SIZE_MAXSHOW = 3, SIZE_MAXHIDE = 4;
// WM_SIZING edges
constexpr WPARAM WMSZ_LEFT = 1, WMSZ_RIGHT = 2, WMSZ_TOP = 3, WMSZ_TOPLEFT = 4, WMSZ_TOPRIGHT = 5,
                 WMSZ_BOTTOM = 6, WMSZ_BOTTOMLEFT = 7, WMSZ_BOTTOMRIGHT = 8;
// WM_NCCALCSIZE answers
constexpr LRESULT WVR_ALIGNTOP = 0x10, WVR_VALIDRECTS = 0x400;
// Mouse key state in wParam
constexpr WPARAM MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_SHIFT = 0x04, MK_CONTROL = 0x08, MK_MBUTTON = 0x10;
constexpr int WHEEL_DELTA = 120;
constexpr short GET_WHEEL_DELTA_WPARAM(WPARAM w) { return short(HIWORD(w)); }

// Hit-test codes
constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2,
                  HTSYSMENU = 3, HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7,
                  HTMINBUTTON = 8, HTREDUCE = 8, HTMAXBUTTON = 9, HTZOOM = 9, HTLEFT = 10, HTRIGHT = 11,
                  HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16,
                  HTBOTTOMRIGHT = 17, HTBORDER = 18, HTOBJECT = 19, HTCLOSE = 20, HTHELP = 21;

// WM_SYSCOMMAND
constexpr WPARAM SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
                 SC_NEXTWINDOW = 0xF040, SC_PREVWINDOW = 0xF050, SC_CLOSE = 0xF060, SC_VSCROLL = 0xF070,
                 SC_HSCROLL = 0xF080, SC_MOUSEMENU = 0xF090, SC_KEYMENU = 0xF100, SC_RESTORE = 0xF120,
                 SC_TASKLIST = 0xF130, SC_DEFAULT = 0xF160;

// ---- styles -----------------------------------------------------------------------------------
constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
                WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000, WS_SIZEBOX = WS_THICKFRAME,
                WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                      WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_NOPARENTNOTIFY = 0x00000004,
                WS_EX_TOPMOST = 0x00000008, WS_EX_ACCEPTFILES = 0x00000010, WS_EX_TRANSPARENT = 0x00000020,
                WS_EX_MDICHILD = 0x00000040, WS_EX_TOOLWINDOW = 0x00000080, WS_EX_WINDOWEDGE = 0x00000100,
                WS_EX_CLIENTEDGE = 0x00000200, WS_EX_CONTEXTHELP = 0x00000400, WS_EX_RIGHT = 0x00001000,
                WS_EX_RTLREADING = 0x00002000, WS_EX_LEFTSCROLLBAR = 0x00004000,
                WS_EX_CONTROLPARENT = 0x00010000, WS_EX_STATICEDGE = 0x00020000, WS_EX_APPWINDOW = 0x00040000,
                WS_EX_LAYERED = 0x00080000, WS_EX_NOACTIVATE = 0x08000000;
constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_OWNDC = 0x0020,
               CS_CLASSDC = 0x0040, CS_PARENTDC = 0x0080, CS_NOCLOSE = 0x0200, CS_SAVEBITS = 0x0800,
               CS_GLOBALCLASS = 0x4000, CS_DROPSHADOW = 0x00020000;

// ---- window longs, GetWindow, ShowWindow, SetWindowPos --------------------------------------
constexpr int GWL_STYLE = -16, GWL_EXSTYLE = -20, GWLP_WNDPROC = -4, GWL_WNDPROC = -4, GWLP_HINSTANCE = -6,
              GWLP_HWNDPARENT = -8, GWLP_ID = -12, GWL_ID = -12, GWLP_USERDATA = -21, GWL_USERDATA = -21;
constexpr int GCL_STYLE = -26, GCLP_HCURSOR = -12, GCLP_HBRBACKGROUND = -10, GCLP_WNDPROC = -24;
constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4,
               GW_CHILD = 5, GW_ENABLEDPOPUP = 6;
constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
              SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7,
              SW_SHOWNA = 8, SW_RESTORE = 9, SW_SHOWDEFAULT = 10;
constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
               SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_DRAWFRAME = 0x0020,
               SWP_SHOWWINDOW = 0x0040, SWP_HIDEWINDOW = 0x0080, SWP_NOCOPYBITS = 0x0100,
               SWP_NOOWNERZORDER = 0x0200, SWP_NOREPOSITION = 0x0200, SWP_NOSENDCHANGING = 0x0400,
               SWP_DEFERERASE = 0x2000, SWP_ASYNCWINDOWPOS = 0x4000;
inline const HWND HWND_TOP = reinterpret_cast<HWND>(0);
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(-3);
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(0xFFFF);
constexpr int CW_USEDEFAULT = int(0x80000000);

// ---- painting ---------------------------------------------------------------------------------
constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004,
               RDW_VALIDATE = 0x0008, RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020,
               RDW_NOCHILDREN = 0x0040, RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100,
               RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400, RDW_NOFRAME = 0x0800;
constexpr DWORD DCX_WINDOW = 0x1, DCX_CACHE = 0x2, DCX_NORESETATTRS = 0x4, DCX_CLIPCHILDREN = 0x8,
                DCX_CLIPSIBLINGS = 0x10, DCX_PARENTCLIP = 0x20, DCX_EXCLUDERGN = 0x40,
                DCX_INTERSECTRGN = 0x80, DCX_LOCKWINDOWUPDATE = 0x400, DCX_VALIDATE = 0x200000;
constexpr UINT SW_SCROLLCHILDREN = 0x1, SW_INVALIDATE = 0x2, SW_ERASE = 0x4;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint{};
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32]{};
};

// ---- scroll bars ------------------------------------------------------------------------------
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
constexpr WORD SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
               SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4,
               SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8,
               SIF_TRACKPOS = 0x10, SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0, nMax = 0;
  UINT nPage = 0;
  int nPos = 0, nTrackPos = 0;
};

// ---- structures of messages -------------------------------------------------------------------
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt{};
};

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0, cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};

struct WNDCLASSEX {
  UINT cbSize = sizeof(WNDCLASSEX);
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0, cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
  HICON hIconSm = nullptr;
};

struct CREATESTRUCT {
  LPVOID lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0, cx = 0, y = 0, x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3]{};
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  POINT ptReserved{};
  POINT ptMaxSize{};
  POINT ptMaxPosition{};
  POINT ptMinTrackSize{};
  POINT ptMaxTrackSize{};
};

constexpr DWORD TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_NONCLIENT = 0x10, TME_QUERY = 0x40000000,
                TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};

constexpr DWORD MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1, MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor{};
  RECT rcWork{};
  DWORD dwFlags = 0;
};

// PeekMessage
constexpr UINT PM_NOREMOVE = 0, PM_REMOVE = 1, PM_NOYIELD = 2;

// ---- keys -------------------------------------------------------------------------------------
constexpr int VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08,
              VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
              VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
              VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
              VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SELECT = 0x29, VK_PRINT = 0x2A, VK_SNAPSHOT = 0x2C,
              VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C,
              VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SEPARATOR = 0x6C,
              VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F2 = 0x71,
              VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77,
              VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B, VK_NUMLOCK = 0x90,
              VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3,
              VK_LMENU = 0xA4, VK_RMENU = 0xA5;
// The punctuation keys of a US keyboard.
constexpr int VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE,
              VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE;
// Bit 29 of a key message's lParam: the Alt key was down.
constexpr LPARAM KF_ALTDOWN_LPARAM = LPARAM(1) << 29;

// ---- dialog codes -----------------------------------------------------------------------------
constexpr LRESULT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4,
                  DLGC_WANTMESSAGE = 0x4, DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10,
                  DLGC_UNDEFPUSHBUTTON = 0x20, DLGC_RADIOBUTTON = 0x40, DLGC_WANTCHARS = 0x80,
                  DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;

// ---- system metrics and parameters ------------------------------------------------------------
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
              SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CXFIXEDFRAME = 7, SM_CYDLGFRAME = 8,
              SM_CYFIXEDFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12,
              SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15, SM_CXFULLSCREEN = 16,
              SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21, SM_SWAPBUTTON = 23,
              SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32,
              SM_CXSIZEFRAME = 32, SM_CYFRAME = 33, SM_CYSIZEFRAME = 33, SM_CXMINTRACK = 34,
              SM_CYMINTRACK = 35, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXEDGE = 45,
              SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52,
              SM_CYSMSIZE = 53, SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55, SM_CXMAXTRACK = 59,
              SM_CYMAXTRACK = 60, SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62, SM_CXDRAG = 68,
              SM_CYDRAG = 69, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_MOUSEWHEELPRESENT = 75,
              SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77, SM_CXVIRTUALSCREEN = 78,
              SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80;
constexpr UINT SPI_GETWORKAREA = 0x0030, SPI_GETDRAGFULLWINDOWS = 0x0026, SPI_GETWHEELSCROLLLINES = 0x0068,
              SPI_GETMOUSEHOVERWIDTH = 0x0062, SPI_GETMOUSEHOVERHEIGHT = 0x0064, SPI_GETMOUSEHOVERTIME = 0x0066;

// ---- cursors ----------------------------------------------------------------------------------
// The standard cursor identifiers; LoadCursor(nullptr, IDC_xxx) answers a stable handle for each.
inline LPCSTR MAKEINTRESOURCE(uintptr_t id) { return reinterpret_cast<LPCSTR>(id); }
inline const LPCSTR IDC_ARROW = MAKEINTRESOURCE(32512);
inline const LPCSTR IDC_IBEAM = MAKEINTRESOURCE(32513);
inline const LPCSTR IDC_WAIT = MAKEINTRESOURCE(32514);
inline const LPCSTR IDC_CROSS = MAKEINTRESOURCE(32515);
inline const LPCSTR IDC_UPARROW = MAKEINTRESOURCE(32516);
inline const LPCSTR IDC_SIZENWSE = MAKEINTRESOURCE(32642);
inline const LPCSTR IDC_SIZENESW = MAKEINTRESOURCE(32643);
inline const LPCSTR IDC_SIZEWE = MAKEINTRESOURCE(32644);
inline const LPCSTR IDC_SIZENS = MAKEINTRESOURCE(32645);
inline const LPCSTR IDC_SIZEALL = MAKEINTRESOURCE(32646);
inline const LPCSTR IDC_NO = MAKEINTRESOURCE(32648);
inline const LPCSTR IDC_HAND = MAKEINTRESOURCE(32649);
inline const LPCSTR IDC_APPSTARTING = MAKEINTRESOURCE(32650);
inline const LPCSTR IDC_HELP = MAKEINTRESOURCE(32651);

constexpr UINT MB_OK = 0x0, MB_ICONHAND = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30,
               MB_ICONASTERISK = 0x40;

// Layered windows
constexpr DWORD LWA_COLORKEY = 0x1, LWA_ALPHA = 0x2;
constexpr DWORD ULW_COLORKEY = 0x1, ULW_ALPHA = 0x2, ULW_OPAQUE = 0x4;
struct BLENDFUNCTION;  // platform/Gdi.h

// ---- window classes and windows ---------------------------------------------------------------
ATOM RegisterClass(const WNDCLASS* wc);
ATOM RegisterClassEx(const WNDCLASSEX* wc);
BOOL UnregisterClass(LPCSTR className, HINSTANCE inst);
BOOL GetClassInfo(HINSTANCE inst, LPCSTR className, WNDCLASS* out);
int GetClassName(HWND h, char* buf, int max);
DWORD GetClassLong(HWND h, int index);
DWORD SetClassLong(HWND h, int index, LONG value);
ULONG_PTR GetClassLongPtr(HWND h, int index);
ULONG_PTR SetClassLongPtr(HWND h, int index, LONG_PTR value);

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE inst, LPVOID param);
inline HWND CreateWindow(LPCSTR cls, LPCSTR name, DWORD style, int x, int y, int w, int h, HWND parent,
                         HMENU menu, HINSTANCE inst, LPVOID param) {
  return CreateWindowEx(0, cls, name, style, x, y, w, h, parent, menu, inst, param);
}
BOOL DestroyWindow(HWND h);
// Destroys the window once the dispatch that is running now has unwound: a window may ask for
// its own end from inside one of its handlers and still finish that handler safely.
BOOL DestroyWindowLater(HWND h);
// Runs Fn on this thread once the dispatch that is running now has unwound (at once when none
// runs): an object whose handler ends it frees itself after that handler returned.
void RunAfterDispatch(std::function<void()> Fn);
BOOL IsWindow(HWND h);
BOOL IsWindowVisible(HWND h);
BOOL IsWindowEnabled(HWND h);
BOOL EnableWindow(HWND h, BOOL enable);
BOOL IsChild(HWND parent, HWND h);
BOOL IsIconic(HWND h);
BOOL IsZoomed(HWND h);
HWND GetParent(HWND h);
HWND SetParent(HWND child, HWND newParent);
HWND GetAncestor(HWND h, UINT flags);
HWND GetWindow(HWND h, UINT cmd);
HWND GetTopWindow(HWND h);
HWND GetDesktopWindow();
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC fn, LPARAM lp);
BOOL EnumWindows(WNDENUMPROC fn, LPARAM lp);
HWND FindWindow(LPCSTR className, LPCSTR windowName);
DWORD GetWindowThreadProcessId(HWND h, DWORD* pid);

BOOL GetWindowRect(HWND h, RECT* r);
BOOL GetClientRect(HWND h, RECT* r);
BOOL SetWindowPos(HWND h, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND h, int x, int y, int w, int h2, BOOL repaint);
BOOL ShowWindow(HWND h, int cmd);
BOOL BringWindowToTop(HWND h);
BOOL ScreenToClient(HWND h, POINT* p);
BOOL ClientToScreen(HWND h, POINT* p);
int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count);
HWND WindowFromPoint(POINT p);
// A real native subwindow at a child window's place (made on the first call), for libraries
// that draw into a window of their own (SDL_WINDOWID): an X window id; 0 for a top-level or
// where the backend has no native windows (headless).
uintptr_t GetNativeWindowHandle(HWND child);
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint);
constexpr UINT CWP_ALL = 0, CWP_SKIPINVISIBLE = 1, CWP_SKIPDISABLED = 2, CWP_SKIPTRANSPARENT = 4;
HWND ChildWindowFromPointEx(HWND parent, POINT clientPoint, UINT flags);
// Takes ownership of rgn (a region of the graphics services), in window coordinates; nullptr removes it.
int SetWindowRgn(HWND h, HRGN rgn, BOOL redraw);
// Copies the window region into rgn; ERROR (0) when the window has none.
int GetWindowRgn(HWND h, HRGN rgn);

LONG_PTR GetWindowLongPtr(HWND h, int index);
LONG_PTR SetWindowLongPtr(HWND h, int index, LONG_PTR value);
inline LONG GetWindowLong(HWND h, int index) { return LONG(GetWindowLongPtr(h, index)); }
inline LONG SetWindowLong(HWND h, int index, LONG value) { return LONG(SetWindowLongPtr(h, index, value)); }
LRESULT CallWindowProc(WNDPROC proc, HWND h, UINT msg, WPARAM w, LPARAM l);
LRESULT DefWindowProc(HWND h, UINT msg, WPARAM w, LPARAM l);

BOOL SetProp(HWND h, LPCSTR name, HANDLE data);
HANDLE GetProp(HWND h, LPCSTR name);
HANDLE RemoveProp(HWND h, LPCSTR name);

int GetWindowText(HWND h, char* buf, int max);
int GetWindowTextLength(HWND h);
BOOL SetWindowText(HWND h, LPCSTR text);

// ---- messages ---------------------------------------------------------------------------------
LRESULT SendMessage(HWND h, UINT msg, WPARAM w, LPARAM l);
BOOL PostMessage(HWND h, UINT msg, WPARAM w, LPARAM l);
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM w, LPARAM l);
BOOL GetMessage(MSG* msg, HWND h, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG* msg, HWND h, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);
BOOL WaitMessage();
BOOL InSendMessage();
DWORD GetMessageTime();
DWORD GetMessagePos();
BOOL IsDialogMessage(HWND dlg, MSG* msg);
// Serves what other threads wait for (their SendMessage calls and base/'s hand-overs) without
// retrieving any message; every waiting loop of the user-interface thread calls it.
void ServeCrossThreadCalls();

UINT_PTR SetTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC fn);
BOOL KillTimer(HWND h, UINT_PTR id);

// ---- input ------------------------------------------------------------------------------------
HWND SetCapture(HWND h);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND h);
HWND GetFocus();
HWND SetActiveWindow(HWND h);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND h);
HWND GetForegroundWindow();
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
HCURSOR SetCursor(HCURSOR c);
HCURSOR GetCursor();
HCURSOR LoadCursor(HINSTANCE inst, LPCSTR name);
BOOL GetCursorPos(POINT* p);
BOOL SetCursorPos(int x, int y);
UINT GetDoubleClickTime();
BOOL CreateCaret(HWND h, HBITMAP bmp, int w, int hgt);
BOOL DestroyCaret();
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* p);
BOOL ShowCaret(HWND h);
BOOL HideCaret(HWND h);

// ---- painting ---------------------------------------------------------------------------------
BOOL InvalidateRect(HWND h, const RECT* r, BOOL erase);
BOOL InvalidateRgn(HWND h, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND h, const RECT* r);
BOOL ValidateRgn(HWND h, HRGN rgn);
BOOL GetUpdateRect(HWND h, RECT* r, BOOL erase);
int GetUpdateRgn(HWND h, HRGN rgn, BOOL erase);
BOOL UpdateWindow(HWND h);
BOOL RedrawWindow(HWND h, const RECT* r, HRGN rgn, UINT flags);
HDC BeginPaint(HWND h, PAINTSTRUCT* ps);
BOOL EndPaint(HWND h, const PAINTSTRUCT* ps);
HDC GetDC(HWND h);
HDC GetDCEx(HWND h, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND h);
int ReleaseDC(HWND h, HDC dc);
HWND WindowFromDC(HDC dc);
BOOL LockWindowUpdate(HWND h);
BOOL ScrollWindow(HWND h, int dx, int dy, const RECT* scroll, const RECT* clip);
int ScrollWindowEx(HWND h, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   RECT* updateRect, UINT flags);
BOOL SetLayeredWindowAttributes(HWND h, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND h, COLORREF* key, BYTE* alpha, DWORD* flags);
// Gives a WS_EX_LAYERED window its whole content: srcDC's pixels at srcPt (32-bit, premultiplied
// when ULW_ALPHA), placed at dstPt (screen) with the size given; any of them may be nullptr.
BOOL UpdateLayeredWindow(HWND h, HDC dstDC, const POINT* dstPt, const SIZE* size, HDC srcDC,
                         const POINT* srcPt, COLORREF key, const BLENDFUNCTION* blend, DWORD flags);

// ---- scroll info ------------------------------------------------------------------------------
int SetScrollInfo(HWND h, int bar, const SCROLLINFO* si, BOOL redraw);
BOOL GetScrollInfo(HWND h, int bar, SCROLLINFO* si);
int SetScrollPos(HWND h, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND h, int bar);
BOOL SetScrollRange(HWND h, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND h, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND h, int bar, BOOL show);

// ---- screen -----------------------------------------------------------------------------------
int GetSystemMetrics(int index);
BOOL SystemParametersInfo(UINT action, UINT uiParam, LPVOID pv, UINT winIni);
HMONITOR MonitorFromWindow(HWND h, DWORD flags);
HMONITOR MonitorFromPoint(POINT p, DWORD flags);
HMONITOR MonitorFromRect(const RECT* r, DWORD flags);
BOOL GetMonitorInfo(HMONITOR m, MONITORINFO* mi);
BOOL MessageBeep(UINT type);

struct OSVERSIONINFO {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFO);
  DWORD dwMajorVersion = 0, dwMinorVersion = 0, dwBuildNumber = 0, dwPlatformId = 0;
  char szCSDVersion[128]{};
};
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
// The layer reports Windows 6.1 (build 7601), always.
BOOL GetVersionEx(OSVERSIONINFO* vi);
DWORD GetVersion();

}  // namespace win
