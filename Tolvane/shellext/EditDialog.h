// The modal description edit dialog (resource 138) that the context-menu entry opens.
#pragma once

#include <windows.h>

// Runs the dialog for the file at path (which must stay valid while it is open).
void ShowEditDialog(HWND owner, const char* path);

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
