// The modal description edit dialog (resource 138) that the context-menu entry opens.
#pragma once

#include <windows.h>

#include "SelectedFile.h"

// Runs the dialog for the file (which must stay valid while it is open): a
// Unicode dialog for a wide name, an ANSI one for an ANSI name. The dialog's
// parameter is the SelectedFile.
void ShowEditDialog(HWND owner, const SelectedFile& file);

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
