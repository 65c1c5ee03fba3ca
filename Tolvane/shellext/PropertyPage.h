// The "Description" property page (resource 132) and its page callback.
#pragma once

#include <windows.h>
#include <prsht.h>

INT_PTR CALLBACK PropertyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
UINT CALLBACK PropertyPageCallback(HWND window, UINT message, PROPSHEETPAGEA* page);
// The same for a page made wide (CreatePropertySheetPageW).
UINT CALLBACK PropertyPageCallbackW(HWND window, UINT message, PROPSHEETPAGEW* page);
