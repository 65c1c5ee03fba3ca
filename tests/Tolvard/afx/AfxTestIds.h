// Resource ids of the framework tests (AfxTest.rc).
#pragma once

#define IDR_TESTFRAME     128   // string, menu, accelerators: a complete frame set
#define IDR_NOMENU        129   // a string only: frame creation must fail
#define ID_FRAME_COMMAND  32800 // handled by the frame
#define ID_APP_COMMAND    32801 // handled by the application
#define ID_BOTH_COMMAND   32802 // handled by both: the frame wins
#define ID_ORPHAN_COMMAND 32803 // handled by nobody
#define IDD_EXCHANGE      200
#define IDC_NUMBER        1001
#define IDC_NAME          1002
#define IDC_FLAG          1003
