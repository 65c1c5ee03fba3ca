// Command and string ids the framework knows by number. Plain #defines only, so
// that resource scripts can include this file as well as C++ code.
#pragma once

#define AFX_IDS_APP_TITLE       0xE000  // 57344: the application's name
#define ID_APP_ABOUT            0xE140  // 57664
#define ID_APP_EXIT             0xE141  // 57665
