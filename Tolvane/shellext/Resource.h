// Resource and control ids of the edit dialog (138) and the property page (132).
#pragma once

#define IDD_EDIT_DIALOG         138
#define IDD_PROPERTY_PAGE       132

#define IDC_DESCRIPTION         1001
#define IDC_LONG_NAME           1002
#define IDC_ANSI_FONT           1003
#define IDC_SHORT_DESCRIPTION   1004
#define IDC_FOLDER              1005
#define IDC_SHORT_NAME          1007
#define IDC_LONG_AS_SHORT       1008
#define IDC_VERSION             1009
#define IDC_FRAME               1012
#define IDC_SHORT_DESC_LABEL    1013
#define IDC_SHORT_NAME_LABEL    1014
#define IDC_SHORT_GROUP         1015
#define IDC_WEB_PAGE            1016
#define IDC_MAIL_ADDRESS        1017
// Beside each description field: shown when the field holds a description cut
// to fit, or none because it could not be read.
#define IDC_DESCRIPTION_NOTE    1018
#define IDC_SHORT_NOTE          1019

// The property sheet's Apply button, a child of the page's parent window.
#define IDC_SHEET_APPLY         0x3021
