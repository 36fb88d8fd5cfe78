#pragma once
// The header control window class ("SysHeader32") and the messages, styles, notifications and
// structures of the header and the list view. Text is UTF-8, so the message numbers are those
// of the 8-bit forms. The list view itself is the class library's; its window answers the LVM_*
// messages listed here.
#include <string>

#include "platform/WinUser.h"

namespace win {

// Registers "SysHeader32" once; any thread may call it any number of times.
void InitCommonControls();
constexpr const char* WC_HEADER = "SysHeader32";

// ---- notifications ------------------------------------------------------------------------------
struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};
constexpr UINT NM_FIRST = 0U;
constexpr UINT NM_CLICK = NM_FIRST - 2, NM_DBLCLK = NM_FIRST - 3, NM_RCLICK = NM_FIRST - 5;

// ---- header -------------------------------------------------------------------------------------
constexpr DWORD HDS_HORZ = 0x0000, HDS_BUTTONS = 0x0002, HDS_HOTTRACK = 0x0004, HDS_HIDDEN = 0x0008,
                HDS_DRAGDROP = 0x0040, HDS_FULLDRAG = 0x0080;
constexpr UINT HDM_FIRST = 0x1200;
constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0, HDM_INSERTITEM = HDM_FIRST + 1, HDM_DELETEITEM = HDM_FIRST + 2,
               HDM_GETITEM = HDM_FIRST + 3, HDM_SETITEM = HDM_FIRST + 4, HDM_LAYOUT = HDM_FIRST + 5,
               HDM_HITTEST = HDM_FIRST + 6, HDM_GETITEMRECT = HDM_FIRST + 7, HDM_ORDERTOINDEX = HDM_FIRST + 15,
               HDM_GETORDERARRAY = HDM_FIRST + 17, HDM_SETORDERARRAY = HDM_FIRST + 18;
constexpr UINT HDI_WIDTH = 0x0001, HDI_HEIGHT = HDI_WIDTH, HDI_TEXT = 0x0002, HDI_FORMAT = 0x0004,
               HDI_LPARAM = 0x0008, HDI_IMAGE = 0x0020, HDI_ORDER = 0x0080;
constexpr int HDF_LEFT = 0x0000, HDF_RIGHT = 0x0001, HDF_CENTER = 0x0002, HDF_JUSTIFYMASK = 0x0003,
              HDF_IMAGE = 0x0800, HDF_STRING = 0x4000;
constexpr UINT HHT_NOWHERE = 0x0001, HHT_ONHEADER = 0x0002, HHT_ONDIVIDER = 0x0004, HHT_ONDIVOPEN = 0x0008,
               HHT_ABOVE = 0x0100, HHT_BELOW = 0x0200, HHT_TORIGHT = 0x0400, HHT_TOLEFT = 0x0800;
constexpr UINT HDN_FIRST = 0U - 300U;
constexpr UINT HDN_ITEMCHANGING = HDN_FIRST - 0, HDN_ITEMCHANGED = HDN_FIRST - 1, HDN_ITEMCLICK = HDN_FIRST - 2,
               HDN_ITEMDBLCLICK = HDN_FIRST - 3, HDN_DIVIDERDBLCLICK = HDN_FIRST - 5,
               HDN_BEGINTRACK = HDN_FIRST - 6, HDN_ENDTRACK = HDN_FIRST - 7, HDN_TRACK = HDN_FIRST - 8,
               HDN_BEGINDRAG = HDN_FIRST - 10, HDN_ENDDRAG = HDN_FIRST - 11;

struct HDITEM {
  UINT mask = 0;
  int cxy = 0;
  const char* pszText = nullptr;  // HDM_GETITEM copies into it (cchTextMax bytes with the end)
  HBITMAP hbm = nullptr;
  int cchTextMax = 0;
  int fmt = 0;
  LPARAM lParam = 0;
  int iImage = 0;
  int iOrder = 0;
};
struct HDHITTESTINFO {
  POINT pt{};
  UINT flags = 0;
  int iItem = -1;
};
struct HDLAYOUT {
  RECT* prc = nullptr;
  WINDOWPOS* pwpos = nullptr;
};
// HDN_* carry this. For HDN_ITEMCHANGING (the user dragging a divider) the parent may lower or
// raise pitem->cxy before the header applies it, or answer nonzero to refuse the change;
// HDN_BEGINTRACK answered nonzero refuses dragging that divider; HDN_ENDDRAG answered nonzero
// refuses the move to pitem->iOrder. The header sends them for the user's actions only.
struct NMHEADER {
  NMHDR hdr;
  int iItem = -1;
  int iButton = 0;
  HDITEM* pitem = nullptr;
};

// ---- list view ----------------------------------------------------------------------------------
constexpr DWORD LVS_ICON = 0x0000, LVS_REPORT = 0x0001, LVS_SMALLICON = 0x0002, LVS_LIST = 0x0003,
                LVS_TYPEMASK = 0x0003, LVS_SINGLESEL = 0x0004, LVS_SHOWSELALWAYS = 0x0008,
                LVS_EDITLABELS = 0x0200, LVS_OWNERDATA = 0x1000, LVS_NOCOLUMNHEADER = 0x4000,
                LVS_NOSORTHEADER = 0x8000;
constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4, LVM_GETNEXTITEM = LVM_FIRST + 12, LVM_HITTEST = LVM_FIRST + 18,
               LVM_GETITEMRECT = LVM_FIRST + 14, LVM_ENSUREVISIBLE = LVM_FIRST + 19, LVM_SCROLL = LVM_FIRST + 20,
               LVM_REDRAWITEMS = LVM_FIRST + 21, LVM_EDITLABEL = LVM_FIRST + 23,
               LVM_GETEDITCONTROL = LVM_FIRST + 24, LVM_GETCOLUMNWIDTH = LVM_FIRST + 29,
               LVM_SETCOLUMNWIDTH = LVM_FIRST + 30, LVM_GETHEADER = LVM_FIRST + 31,
               LVM_GETTOPINDEX = LVM_FIRST + 39, LVM_GETCOUNTPERPAGE = LVM_FIRST + 40,
               LVM_GETITEMSTATE = LVM_FIRST + 44, LVM_SETITEMCOUNT = LVM_FIRST + 47,
               LVM_GETSELECTEDCOUNT = LVM_FIRST + 50, LVM_GETSUBITEMRECT = LVM_FIRST + 56,
               LVM_SUBITEMHITTEST = LVM_FIRST + 57;
// LVM_GETITEMRECT / LVM_GETSUBITEMRECT: the part wanted goes in the rectangle's left.
constexpr LONG LVIR_BOUNDS = 0, LVIR_ICON = 1, LVIR_LABEL = 2, LVIR_SELECTBOUNDS = 3;
constexpr UINT LVIS_FOCUSED = 0x0001, LVIS_SELECTED = 0x0002;
constexpr UINT LVNI_ALL = 0x0000, LVNI_FOCUSED = 0x0001, LVNI_SELECTED = 0x0002;
constexpr UINT LVHT_NOWHERE = 0x0001, LVHT_ONITEMICON = 0x0002, LVHT_ONITEMLABEL = 0x0004,
               LVHT_ONITEMSTATEICON = 0x0008, LVHT_ONITEM = 0x000E, LVHT_ABOVE = 0x0008,
               LVHT_BELOW = 0x0020, LVHT_TORIGHT = 0x0040, LVHT_TOLEFT = 0x0080;
struct LVHITTESTINFO {
  POINT pt{};
  UINT flags = 0;
  int iItem = -1;
  int iSubItem = 0;
};

}  // namespace win
