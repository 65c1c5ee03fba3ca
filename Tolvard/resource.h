// Resource and command ids of Tolvard.exe (Tolvard.rc).
#pragma once

#include "afx/afxres.h"   // ID_APP_ABOUT, ID_APP_EXIT

#define IDR_MAINFRAME        128   // frame resource set: string, menu, accelerators, icon
#define IDR_TRAYICON         101   // tray icon, its tip and its menu

#define IDD_WIZARD_WELCOME   130
#define IDD_WIZARD_CONFIRM   131
#define IDD_WIZARD_TITLES    132

#define IDC_WELCOME_BACK       3   // the welcome page's Back, always disabled
#define IDC_EXPLORER_CAPTION 1002
#define IDC_WIZARD_BACK      1003
#define IDC_TITLE_NAME       1008
#define IDC_TITLE_SIZE       1009
#define IDC_TITLE_TYPE       1010
#define IDC_TITLE_MODIFIED   1011

#define ID_TOGGLE_PROPERTY  32771
#define ID_TOGGLE_CONTEXT   32773
#define ID_TOGGLE_EXPLORER  32774
#define ID_OPTIONS          32775
