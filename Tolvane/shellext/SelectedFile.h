// The file that the menu entry, the edit dialog and the property page work on:
// its full path, wide where the shell hands over wide names (Windows NT, whose
// file names may hold letters that no ANSI code page has), ANSI on Windows 95,
// 98 and Me. The form decides which functions the dialog and the page use.
#pragma once

#include <windows.h>

struct SelectedFile {
    bool wide;
    char ansi[MAX_PATH];
    wchar_t unicode[MAX_PATH];

    bool Empty() const { return wide ? unicode[0] == L'\0' : ansi[0] == '\0'; }
    void Clear() {
        wide = false;
        ansi[0] = '\0';
        unicode[0] = L'\0';
    }
};
