// Numbers and records of the control cores' message surface that the window
// system does not define itself: edit, list box, list view, header, tree view
// and tab control messages, their notifications and styles. The values are the
// classic Win32 ones, so ported code sends the numbers it was written against.
#pragma once

#include "platform/win/handles.h"

#include <cstdint>

namespace ctl {

using win::HWND;
using win::LPARAM;
using win::LRESULT;
using win::UINT;
using win::WPARAM;

// ---- edit -----------------------------------------------------------------------
constexpr uint32_t ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010, ES_NOHIDESEL = 0x0100;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2, EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EN_CHANGE = 0x0300;
// The input-method preedit messages (win/messages.h has the convention).
using win::WM_IME_COMPOSITION, win::WM_IME_ENDCOMPOSITION, win::WM_IME_STARTCOMPOSITION;

// ---- list box ---------------------------------------------------------------------
constexpr UINT LB_SELECTSTRING = 0x018C, LB_GETSELITEMS = 0x0191, LB_GETHORIZONTALEXTENT = 0x0193,
               LB_SETHORIZONTALEXTENT = 0x0194, LB_SETCOLUMNWIDTH = 0x0195, LB_SELITEMRANGE = 0x019B,
               LB_SETCARETINDEX = 0x019E, LB_GETCARETINDEX = 0x019F;
using win::LB_ADDSTRING, win::LB_INSERTSTRING, win::LB_DELETESTRING, win::LB_RESETCONTENT, win::LB_SETSEL,
    win::LB_SETCURSEL, win::LB_GETSEL, win::LB_GETCURSEL, win::LB_GETTEXT, win::LB_GETTEXTLEN, win::LB_GETCOUNT,
    win::LB_GETTOPINDEX, win::LB_FINDSTRING, win::LB_GETSELCOUNT, win::LB_SETTOPINDEX, win::LB_GETITEMRECT,
    win::LB_GETITEMDATA, win::LB_SETITEMDATA, win::LB_SETITEMHEIGHT, win::LB_GETITEMHEIGHT, win::LB_FINDSTRINGEXACT,
    win::LB_ITEMFROMPOINT, win::LB_ERR;
constexpr uint32_t LBS_NOTIFY = 0x0001, LBS_SORT = 0x0002, LBS_MULTIPLESEL = 0x0008, LBS_OWNERDRAWFIXED = 0x0010,
                   LBS_NOINTEGRALHEIGHT = 0x0100, LBS_MULTICOLUMN = 0x0200, LBS_EXTENDEDSEL = 0x0800;

// ---- owner drawing (the cores perform CN_DRAWITEM on themselves) -------------------
constexpr UINT ODT_LISTBOX = 2, ODT_LISTVIEW = 102;
constexpr UINT ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4;
constexpr UINT ODS_SELECTED = 0x0001, ODS_GRAYED = 0x0002, ODS_DISABLED = 0x0004, ODS_CHECKED = 0x0008,
               ODS_FOCUS = 0x0010;
struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem;
  gfx::HDC hDC;
  win::RECT rcItem;
  uintptr_t itemData = 0;
};

// ---- notifications ------------------------------------------------------------------
struct NMHDR {
  HWND hwndFrom;
  uintptr_t idFrom = 0;
  UINT code = 0;
};

// ---- header -------------------------------------------------------------------------
using win::HDM_FIRST, win::HDM_GETITEMCOUNT, win::HDM_HITTEST, win::HDM_GETITEMRECT, win::HDM_GETORDERARRAY;
using win::HHT_NOWHERE, win::HHT_ONHEADER, win::HHT_ONDIVIDER, win::HHT_ONDIVOPEN;
constexpr UINT HHT_ABOVE = 0x0100, HHT_BELOW = 0x0200, HHT_TORIGHT = 0x0400, HHT_TOLEFT = 0x0800;
constexpr UINT HDN_ITEMCHANGED = UINT(-321), HDN_ITEMCLICK = UINT(-322), HDN_DIVIDERDBLCLICK = UINT(-325),
               HDN_BEGINTRACK = UINT(-326), HDN_ENDTRACK = UINT(-327), HDN_TRACK = UINT(-328);
struct HDHITTESTINFO {
  win::POINT pt;
  UINT flags = 0;
  int iItem = -1;
};
struct NMHEADER {
  NMHDR hdr;
  int iItem = -1;
  int iButton = 0;
  int cxy = 0;  // the section's width (track notifications)
};

// ---- list view -----------------------------------------------------------------------
using win::LVM_FIRST, win::LVM_SETIMAGELIST, win::LVM_GETITEMCOUNT, win::LVM_GETHEADER, win::LVM_GETTOPINDEX,
    win::LVM_GETCOUNTPERPAGE, win::LVM_EDITLABELW;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12, LVM_GETITEMRECT = LVM_FIRST + 14, LVM_HITTEST = LVM_FIRST + 18,
               LVM_ENSUREVISIBLE = LVM_FIRST + 19, LVM_SCROLL = LVM_FIRST + 20, LVM_GETEDITCONTROL = LVM_FIRST + 24,
               LVM_GETCOLUMNWIDTH = LVM_FIRST + 29, LVM_SETCOLUMNWIDTH = LVM_FIRST + 30,
               LVM_SETITEMCOUNT = LVM_FIRST + 47, LVM_GETSELECTEDCOUNT = LVM_FIRST + 50,
               LVM_CANCELEDITLABEL = LVM_FIRST + 179;
constexpr int LVSIL_NORMAL = 0, LVSIL_SMALL = 1, LVSIL_STATE = 2;
constexpr UINT LVNI_ALL = 0, LVNI_FOCUSED = 1, LVNI_SELECTED = 2;
constexpr int LVIR_BOUNDS = 0, LVIR_ICON = 1, LVIR_LABEL = 2, LVIR_SELECTBOUNDS = 3;
constexpr UINT LVHT_NOWHERE = 1, LVHT_ONITEMICON = 2, LVHT_ONITEMLABEL = 4, LVHT_ONITEM = 6;
struct LVHITTESTINFO {
  win::POINT pt;
  UINT flags = 0;
  int iItem = -1;
  int iSubItem = 0;
};

// ---- tree view ------------------------------------------------------------------------
using win::TVM_FIRST, win::TVM_GETCOUNT, win::TVM_SETIMAGELIST, win::TVM_GETVISIBLECOUNT;
constexpr UINT TVM_EXPAND = TVM_FIRST + 2, TVM_GETITEMRECT = TVM_FIRST + 4, TVM_GETINDENT = TVM_FIRST + 6,
               TVM_SETINDENT = TVM_FIRST + 7, TVM_GETNEXTITEM = TVM_FIRST + 10, TVM_SELECTITEM = TVM_FIRST + 11,
               TVM_HITTEST = TVM_FIRST + 17, TVM_ENSUREVISIBLE = TVM_FIRST + 20, TVM_ENDEDITLABELNOW = TVM_FIRST + 22,
               TVM_SETITEMHEIGHT = TVM_FIRST + 27, TVM_GETITEMHEIGHT = TVM_FIRST + 28, TVM_EDITLABELW = TVM_FIRST + 65;
constexpr int TVSIL_NORMAL = 0, TVSIL_STATE = 2;
constexpr UINT TVGN_ROOT = 0, TVGN_NEXT = 1, TVGN_PREVIOUS = 2, TVGN_PARENT = 3, TVGN_CHILD = 4, TVGN_FIRSTVISIBLE = 5,
               TVGN_NEXTVISIBLE = 6, TVGN_PREVIOUSVISIBLE = 7, TVGN_CARET = 9, TVGN_LASTVISIBLE = 10;
constexpr UINT TVE_COLLAPSE = 1, TVE_EXPAND = 2, TVE_TOGGLE = 3;
constexpr UINT TVHT_NOWHERE = 0x0001, TVHT_ONITEMICON = 0x0002, TVHT_ONITEMLABEL = 0x0004, TVHT_ONITEMINDENT = 0x0008,
               TVHT_ONITEMBUTTON = 0x0010, TVHT_ONITEMRIGHT = 0x0020, TVHT_ONITEM = 0x0046;
struct TVHITTESTINFO {
  win::POINT pt;
  UINT flags = 0;
  void* hItem = nullptr;
};

// ---- tab control ------------------------------------------------------------------------
using win::TCM_FIRST, win::TCM_GETITEMRECT, win::TCM_SETCURSEL, win::TCM_ADJUSTRECT, win::TCM_SETITEMSIZE;
constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3, TCM_GETITEMCOUNT = TCM_FIRST + 4, TCM_GETCURSEL = TCM_FIRST + 11,
               TCM_HITTEST = TCM_FIRST + 13, TCM_SETPADDING = TCM_FIRST + 43, TCM_GETROWCOUNT = TCM_FIRST + 44;
constexpr UINT TCN_SELCHANGE = UINT(-551), TCN_SELCHANGING = UINT(-552);
constexpr UINT TCHT_NOWHERE = 1, TCHT_ONITEMICON = 2, TCHT_ONITEMLABEL = 4, TCHT_ONITEM = 6;
struct TCHITTESTINFO {
  win::POINT pt;
  UINT flags = 0;
};

}  // namespace ctl
