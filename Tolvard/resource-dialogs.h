// Ids of the About box and the options dialog (AboutDlg.rc, OptionsDlg.rc).
#pragma once

#define IDD_ABOUTBOX            100
#define IDC_PROGRAM_VERSION    1004
#define IDC_WEB_LINK           1005
#define IDC_MAIL_LINK          1006
#define IDC_TOLVANE_VERSION    1007
#define IDC_COMCTL_VERSION     1008
#define IDC_TOLVANE_LABEL      1009
#define IDC_OTHER_TOLVANE_LABEL 1010
#define IDC_OTHER_TOLVANE_VERSION 1011

#define IDD_OPTIONS             133
#define IDC_CONTEXT_WIDTH      1012
#define IDC_ANSI               1013
#define IDC_COLUMN_NAME        1014
