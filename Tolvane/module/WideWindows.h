// The wide (Unicode) window functions that the shell extension and the column
// use on Windows NT, where Explorer's windows are Unicode and a file's name may
// hold letters that no ANSI code page has. Windows 95, 98 and Me export most of
// them only as stubs that fail, and this library imports only what Windows 95
// exports, so they are looked up at run time. Wide() is null on Windows 95, 98
// and Me, and wherever one of them is missing: the ANSI functions serve then.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

struct WideWindows {
    LRESULT(WINAPI* sendMessage)(HWND, UINT, WPARAM, LPARAM);
    int(WINAPI* getWindowText)(HWND, LPWSTR, int);
    int(WINAPI* getWindowTextLength)(HWND);
    BOOL(WINAPI* setWindowText)(HWND, LPCWSTR);
    BOOL(WINAPI* insertMenu)(HMENU, UINT, UINT, UINT_PTR, LPCWSTR);
    INT_PTR(WINAPI* dialogBoxParam)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
    UINT(WINAPI* dragQueryFile)(HDROP, UINT, LPWSTR, UINT);
    HPROPSHEETPAGE(WINAPI* createPropertySheetPage)(LPCPROPSHEETPAGEW);
};

const WideWindows* Wide();
