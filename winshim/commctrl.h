// Win32 stand-in: the common-control declarations the framework uses (up-down control,
// list-view and tree-view notifications).
#pragma once
#include "windows.h"

#define UDM_SETRANGE (WM_USER + 101)
#define UDM_GETRANGE (WM_USER + 102)
#define UDS_WRAP 0x0001
#define UDS_SETBUDDYINT 0x0002

#define NM_DBLCLK (0U - 3U)
#define LVN_ITEMCHANGED (0U - 101U)
#define LVN_GETDISPINFOA (0U - 150U)
#define LVN_GETDISPINFOW (0U - 177U)
#define TVN_SELCHANGEDA (0U - 402U)
#define TVN_SELCHANGEDW (0U - 451U)
#define UDN_DELTAPOS (0U - 722U)

#define LVIF_TEXT 0x0001
#define LVIF_STATE 0x0008
#define LVIS_SELECTED 0x0002
#define LVIS_STATEIMAGEMASK 0xF000
#define INDEXTOSTATEIMAGEMASK(i) ((i) << 12)

// The up-down control's position-change notification.
struct NMUPDOWN {
  NMHDR hdr;
  int iPos;
  int iDelta;
};
typedef NMUPDOWN* LPNMUPDOWN;

struct LVITEMA {
  UINT mask;
  int iItem;
  int iSubItem;
  UINT state;
  UINT stateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
  int iIndent;
};

struct LVITEMW {
  UINT mask;
  int iItem;
  int iSubItem;
  UINT state;
  UINT stateMask;
  LPWSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
  int iIndent;
};

struct NMLISTVIEW {
  NMHDR hdr;
  int iItem;
  int iSubItem;
  UINT uNewState;
  UINT uOldState;
  UINT uChanged;
  POINT ptAction;
  LPARAM lParam;
};
typedef NMLISTVIEW* LPNMLISTVIEW;

struct NMLVDISPINFOA {
  NMHDR hdr;
  LVITEMA item;
};

struct NMLVDISPINFOW {
  NMHDR hdr;
  LVITEMW item;
};
