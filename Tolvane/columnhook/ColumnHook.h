// The Explorer column hook: window recognition, subclassing of shell views and
// the description column of their list views. Every variable here exists once
// per process into which the library is loaded; only the hook's handle for
// CallNextHookEx is shared between processes (ExplorerHook.cpp).
#pragma once

#include <windows.h>

#include "RegistrySettings.h"

extern "C" {
int ActivateExplorerHook(void);
int DeactivateExplorerHook(void);
}

// The kinds of window the hook tells apart, by class. The numbers are the ones the
// design gives them (kinds 3 to 5 are the hosts of a shell view); the hook compares
// kinds one by one, never by range.
enum class WindowKind : int {
    None = 0,
    ListView = 1,
    ShellView = 2,
    ExplorerFrame = 3,
    CabinetFrame = 4,
    DialogHost = 5,
};

WindowKind ClassifyWindow(HWND window);

LRESULT CALLBACK ExplorerHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FolderViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DialogViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam);

void AddDescriptionColumn(HWND listView);
bool IsDetailsFileView(HWND listView);
void LoadExplorerTitles();
// The text of the row's first column as the view shows it (at most 259 characters).
void GetItemLabel(HWND listView, int row, char* label /* 260 bytes */);
// The text of a description cell: the description of the file at path, at most
// 259 characters, or the empty text when it has none; in the path's form.
void LookupDescription(const char* path, char* description /* 260 bytes */);
void LookupDescription(const wchar_t* path, wchar_t* description /* 260 characters */);

// Whether the display order is reset after an insertion: comctl32 4.70 up to,
// but not including, 5.00.
inline bool ColumnOrderNeedsReset(DWORD major, DWORD minor) {
    return major == 4 && minor >= 70;
}

// Process-wide state of the hook.
extern HHOOK HookHandle;
extern WNDPROC SavedViewProc;
extern HWND PendingListView;
extern int DescriptionColumn;

// The learned Explorer texts, loaded once per process by LoadExplorerTitles.
struct ExplorerTitles {
    char prefix[kLearnedTextSize];
    int prefixLength;
    char name[kLearnedTextSize];
    char size[kLearnedTextSize];
    char type[kLearnedTextSize];
    char modified[kLearnedTextSize];
    bool loaded;
};
extern ExplorerTitles g_learnedTitles;
