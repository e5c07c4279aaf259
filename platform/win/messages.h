// Message numbers, constant families and message records of the window system.
// The numbers are the classic Win32 / class-library values, so the code and
// its message logs use the numbers the skinned controls are written against.
#pragma once

#include "platform/gfx/types.h"

#include <cstdint>

namespace win {

using gfx::UINT;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
constexpr gfx::BOOL TRUE = 1, FALSE = 0;

// ---- window messages --------------------------------------------------------
constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
               WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A,
               WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
               WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014,
               WM_SYSCOLORCHANGE = 0x0015, WM_SHOWWINDOW = 0x0018, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
               WM_MOUSEACTIVATE = 0x0021, WM_GETMINMAXINFO = 0x0024, WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C,
               WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_WINDOWPOSCHANGING = 0x0046, WM_WINDOWPOSCHANGED = 0x0047,
               WM_NOTIFY = 0x004E, WM_CONTEXTMENU = 0x007B, WM_STYLECHANGING = 0x007C, WM_STYLECHANGED = 0x007D,
               WM_DISPLAYCHANGE = 0x007E, WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083,
               WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086, WM_GETDLGCODE = 0x0087,
               WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3,
               WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5, WM_NCRBUTTONDBLCLK = 0x00A6,
               WM_NCMBUTTONDOWN = 0x00A7, WM_NCMBUTTONUP = 0x00A8, WM_NCMBUTTONDBLCLK = 0x00A9, WM_KEYDOWN = 0x0100,
               WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_DEADCHAR = 0x0103, WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105,
               WM_SYSCHAR = 0x0106, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114,
               WM_VSCROLL = 0x0115, WM_INITMENUPOPUP = 0x0117, WM_MENUCHAR = 0x0120, WM_CTLCOLOREDIT = 0x0133,
               WM_CTLCOLORLISTBOX = 0x0134, WM_CTLCOLORBTN = 0x0135, WM_CTLCOLORSTATIC = 0x0138, WM_MOUSEFIRST = 0x0200,
               WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203,
               WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207,
               WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A, WM_MOUSELAST = 0x020A,
               WM_PARENTNOTIFY = 0x0210, WM_ENTERMENULOOP = 0x0211, WM_EXITMENULOOP = 0x0212, WM_SIZING = 0x0214,
               WM_CAPTURECHANGED = 0x0215, WM_MOVING = 0x0216, WM_ENTERSIZEMOVE = 0x0231, WM_EXITSIZEMOVE = 0x0232,
               WM_MOUSEHOVER = 0x02A1, WM_MOUSELEAVE = 0x02A3, WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302,
               WM_CLEAR = 0x0303, WM_UNDO = 0x0304, WM_PRINT = 0x0317, WM_PRINTCLIENT = 0x0318, WM_USER = 0x0400,
               WM_APP = 0x8000;

// ---- class-library messages (CM_BASE 0xB000: CM_INVALIDATE is 45108) --------
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
               CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
               CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7, CM_PARENTFONTCHANGED = CM_BASE + 8,
               CM_PARENTCOLORCHANGED = CM_BASE + 9, CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
               CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13, CM_FONTCHANGED = CM_BASE + 14,
               CM_CURSORCHANGED = CM_BASE + 15, CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19,
               CM_MOUSELEAVE = CM_BASE + 20, CM_MENUCHANGED = CM_BASE + 21, CM_APPKEYDOWN = CM_BASE + 22,
               CM_APPSYSCOMMAND = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24, CM_SHOWINGCHANGED = CM_BASE + 25,
               CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27, CM_ICONCHANGED = CM_BASE + 29,
               CM_WANTSPECIALKEY = CM_BASE + 30, CM_RELEASE = CM_BASE + 33, CM_SHOWHINTCHANGED = CM_BASE + 34,
               CM_PARENTSHOWHINTCHANGED = CM_BASE + 35, CM_SYSCOLORCHANGE = CM_BASE + 36,
               CM_TABSTOPCHANGED = CM_BASE + 40, CM_CONTROLLISTCHANGE = CM_BASE + 44, CM_CHILDKEY = CM_BASE + 46,
               CM_HINTSHOW = CM_BASE + 48, CM_RECREATEWND = CM_BASE + 51, CM_INVALIDATE = CM_BASE + 52,
               CM_SYSFONTCHANGED = CM_BASE + 53, CM_CONTROLCHANGE = CM_BASE + 54, CM_CHANGED = CM_BASE + 55,
               CM_BORDERCHANGED = CM_BASE + 59, CM_MOUSEWHEEL = CM_BASE + 67, CM_ISSHORTCUT = CM_BASE + 68;
static_assert(CM_INVALIDATE == 45108);

// ---- control notifications reflected to the child (CN_BASE 0xBC00) ---------
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND, CN_DRAWITEM = CN_BASE + WM_DRAWITEM, CN_NOTIFY = CN_BASE + WM_NOTIFY,
               CN_KEYDOWN = CN_BASE + WM_KEYDOWN, CN_KEYUP = CN_BASE + WM_KEYUP, CN_CHAR = CN_BASE + WM_CHAR,
               CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN, CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
               CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT, CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
               CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN, CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;

// ---- window styles ----------------------------------------------------------
constexpr uint32_t WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_MINIMIZE = 0x20000000,
                   WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000, WS_CLIPSIBLINGS = 0x04000000,
                   WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000, WS_CAPTION = 0x00C00000,
                   WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000, WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000,
                   WS_SYSMENU = 0x00080000, WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                   WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000, WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr uint32_t WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_NOPARENTNOTIFY = 0x00000004, WS_EX_TOPMOST = 0x00000008,
                   WS_EX_TRANSPARENT = 0x00000020, WS_EX_TOOLWINDOW = 0x00000080, WS_EX_WINDOWEDGE = 0x00000100,
                   WS_EX_CLIENTEDGE = 0x00000200, WS_EX_CONTROLPARENT = 0x00010000, WS_EX_APPWINDOW = 0x00040000,
                   WS_EX_LAYERED = 0x00080000, WS_EX_NOACTIVATE = 0x08000000;
constexpr uint32_t CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_SAVEBITS = 0x0800,
                   CS_DROPSHADOW = 0x00020000;

// ---- GetWindowLong / GetWindow / GetAncestor --------------------------------
constexpr int GWL_WNDPROC = -4, GWL_HWNDPARENT = -8, GWL_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20,
              GWL_USERDATA = -21;
constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5;
constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;

// ---- hit-test codes -----------------------------------------------------------
constexpr int HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
              HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8, HTMAXBUTTON = 9,
              HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16,
              HTBOTTOMRIGHT = 17, HTBORDER = 18, HTOBJECT = 19, HTCLOSE = 20, HTHELP = 21;

// ---- WM_SIZING edges
constexpr int WMSZ_LEFT = 1, WMSZ_RIGHT = 2, WMSZ_TOP = 3, WMSZ_TOPLEFT = 4, WMSZ_TOPRIGHT = 5, WMSZ_BOTTOM = 6,
              WMSZ_BOTTOMLEFT = 7, WMSZ_BOTTOMRIGHT = 8;

// ---- system commands ----------------------------------------------------------
constexpr UINT SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060,
               SC_KEYMENU = 0xF100, SC_RESTORE = 0xF120;

// ---- SetWindowPos / ShowWindow -----------------------------------------------
constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
               SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_SHOWWINDOW = 0x0040, SWP_HIDEWINDOW = 0x0080,
               SWP_NOCOPYBITS = 0x0100, SWP_NOOWNERZORDER = 0x0200, SWP_NOSENDCHANGING = 0x0400;
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_MAXIMIZE = 3,
              SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8,
              SW_RESTORE = 9;
constexpr UINT SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;

// ---- activation, mouse-activation, dialog codes ---------------------------------
constexpr UINT WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
constexpr int MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;
constexpr UINT DLGC_WANTARROWS = 0x0001, DLGC_WANTTAB = 0x0002, DLGC_WANTALLKEYS = 0x0004, DLGC_WANTMESSAGE = 0x0004,
               DLGC_HASSETSEL = 0x0008, DLGC_DEFPUSHBUTTON = 0x0010, DLGC_UNDEFPUSHBUTTON = 0x0020,
               DLGC_RADIOBUTTON = 0x0040, DLGC_WANTCHARS = 0x0080, DLGC_STATIC = 0x0100, DLGC_BUTTON = 0x2000;

// ---- RedrawWindow -------------------------------------------------------------
constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004, RDW_VALIDATE = 0x0008,
               RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020, RDW_NOCHILDREN = 0x0040, RDW_ALLCHILDREN = 0x0080,
               RDW_UPDATENOW = 0x0100, RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400, RDW_NOFRAME = 0x0800;

// ---- mouse key state, TrackMouseEvent, PeekMessage -----------------------------
constexpr UINT MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008, MK_MBUTTON = 0x0010;
constexpr UINT TME_HOVER = 0x0001, TME_LEAVE = 0x0002, TME_CANCEL = 0x80000000;
constexpr UINT PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001;
constexpr int WHEEL_DELTA = 120;

// ---- scroll bars -----------------------------------------------------------------
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
              SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_BOTTOM = 7,
              SB_ENDSCROLL = 8;
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;

// ---- virtual keys ----------------------------------------------------------------
constexpr uint16_t VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_MBUTTON = 0x04, VK_BACK = 0x08, VK_TAB = 0x09,
                   VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13,
                   VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
                   VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D,
                   VK_DELETE = 0x2E, VK_LWIN = 0x5B, VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A,
                   VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F4 = 0x73,
                   VK_F10 = 0x79, VK_F24 = 0x87, VK_NUMLOCK = 0x90, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1,
                   VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5;

// ---- input method (the layer's convention): WM_IME_COMPOSITION carries the
// preedit as a NUL-terminated UTF-8 pointer in lParam (nullptr or "" ends it)
// and the cursor inside it, in code points, in wParam; committed text comes
// as WM_CHAR, one per code point.
constexpr UINT WM_IME_STARTCOMPOSITION = 0x010D, WM_IME_ENDCOMPOSITION = 0x010E, WM_IME_COMPOSITION = 0x010F;

// ---- more window messages the ported code names
constexpr UINT WM_QUERYENDSESSION = 0x0011, WM_USERCHANGED = 0x0054, WM_SYNCPAINT = 0x0088, WM_QUERYNEWPALETTE = 0x030F,
               WM_PALETTECHANGED = 0x0311;

// ---- edit, list box and common-control messages (served by the control cores)
constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3, EM_SETRECTNP = 0x00B4,
               EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_REPLACESEL = 0x00C2, EM_LIMITTEXT = 0x00C5,
               EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_LINEFROMCHAR = 0x00C9, EM_SETPASSWORDCHAR = 0x00CC,
               EM_EMPTYUNDOBUFFER = 0x00CD, EM_SETREADONLY = 0x00CF, EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4,
               EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7;
constexpr UINT EC_LEFTMARGIN = 1, EC_RIGHTMARGIN = 2;
constexpr uint32_t ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004, ES_PASSWORD = 0x0020,
                   ES_AUTOHSCROLL = 0x0080, ES_READONLY = 0x0800;
constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182, LB_RESETCONTENT = 0x0184,
               LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186, LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188,
               LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B, LB_GETTOPINDEX = 0x018E,
               LB_FINDSTRING = 0x018F, LB_GETSELCOUNT = 0x0190, LB_SETTOPINDEX = 0x0197, LB_GETITEMRECT = 0x0198,
               LB_GETITEMDATA = 0x0199, LB_SETITEMDATA = 0x019A, LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1,
               LB_FINDSTRINGEXACT = 0x01A2, LB_ITEMFROMPOINT = 0x01A9;
constexpr int LB_ERR = -1;
constexpr UINT LVM_FIRST = 0x1000, LVM_SETIMAGELIST = LVM_FIRST + 3, LVM_GETITEMCOUNT = LVM_FIRST + 4,
               LVM_GETHEADER = LVM_FIRST + 31, LVM_GETTOPINDEX = LVM_FIRST + 39, LVM_GETCOUNTPERPAGE = LVM_FIRST + 40,
               LVM_EDITLABELW = LVM_FIRST + 118;
constexpr UINT HDM_FIRST = 0x1200, HDM_GETITEMCOUNT = HDM_FIRST + 0, HDM_HITTEST = HDM_FIRST + 6,
               HDM_GETITEMRECT = HDM_FIRST + 7, HDM_GETORDERARRAY = HDM_FIRST + 17;
constexpr UINT HHT_NOWHERE = 0x0001, HHT_ONHEADER = 0x0002, HHT_ONDIVIDER = 0x0004, HHT_ONDIVOPEN = 0x0008;
constexpr UINT TVM_FIRST = 0x1100, TVM_GETCOUNT = TVM_FIRST + 5, TVM_SETIMAGELIST = TVM_FIRST + 9,
               TVM_GETVISIBLECOUNT = TVM_FIRST + 16;
constexpr UINT TCM_FIRST = 0x1300, TCM_GETITEMRECT = TCM_FIRST + 10, TCM_SETCURSEL = TCM_FIRST + 12,
               TCM_ADJUSTRECT = TCM_FIRST + 40, TCM_SETITEMSIZE = TCM_FIRST + 41;

// ---- packing helpers (coordinates are signed 16-bit halves) -----------------------
constexpr uint16_t LOWORD(uintptr_t v) { return uint16_t(v & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t v) { return uint16_t((v >> 16) & 0xFFFF); }
constexpr int GET_X_LPARAM(LPARAM l) { return int16_t(uint16_t(l & 0xFFFF)); }
constexpr int GET_Y_LPARAM(LPARAM l) { return int16_t(uint16_t((l >> 16) & 0xFFFF)); }
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return LPARAM(int32_t(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16)); }
constexpr int16_t GET_WHEEL_DELTA_WPARAM(WPARAM w) { return int16_t(HIWORD(w)); }

// ---- the message record -----------------------------------------------------------
// TMessage carries a message through procedures and handlers; the typed views
// below read the same record with named fields.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
  uint16_t WParamLo() const { return LOWORD(WParam); }
  uint16_t WParamHi() const { return HIWORD(WParam); }
  uint16_t LParamLo() const { return LOWORD(uintptr_t(LParam)); }
  uint16_t LParamHi() const { return HIWORD(uintptr_t(LParam)); }
};

struct TWMMouse {
  TMessage& m;
  explicit TWMMouse(TMessage& msg) : m(msg) {}
  UINT Keys() const { return UINT(m.WParam); }
  int XPos() const { return GET_X_LPARAM(m.LParam); }
  int YPos() const { return GET_Y_LPARAM(m.LParam); }
};
struct TWMKey {
  TMessage& m;
  explicit TWMKey(TMessage& msg) : m(msg) {}
  uint16_t CharCode() const { return LOWORD(m.WParam); }
  // Handlers swallow a key by zeroing it; only the low word is the key.
  void SetCharCode(uint16_t c) { m.WParam = (m.WParam & ~WPARAM(0xFFFF)) | c; }
  LPARAM KeyData() const { return m.LParam; }
};
struct TWMNCHitTest {
  TMessage& m;
  explicit TWMNCHitTest(TMessage& msg) : m(msg) {}
  int XPos() const { return GET_X_LPARAM(m.LParam); }
  int YPos() const { return GET_Y_LPARAM(m.LParam); }
};

}  // namespace win
