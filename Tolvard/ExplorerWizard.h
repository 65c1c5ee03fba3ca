// The first-run wizard that learns Explorer's caption prefix and column titles and
// stores them under TOLVARD_EXPLORER_KEY (Contract.h) for the column hook.
#pragma once

#include <windows.h>

#include "RegistrySettings.h"   // ExplorerColumn
const int kTitleSize = 100;  // 99 characters and the terminating zero

// The learned titles; they keep their last contents for the program's life.
extern char g_columnTitles[kColumnCount][kTitleSize];

// Runs the three pages. 1 when the run completed, 0 when the user cancelled.
int RunExplorerWizard();
// Ends a wizard page by its buttons: Next (IDOK) with 1, Cancel with 2, Back with
// IDC_WIZARD_BACK. TRUE when the command was one of them.
BOOL EndWizardPage(HWND page, WPARAM command);
// First top-level window of class "ExploreWClass" or "CabinetWClass", or null.
HWND FindExplorerWindow();
// First descendant of the window of class "SysListView32", or null.
HWND FindExplorerListView(HWND explorer);
// Reads the window's caption into caption (260 bytes) and stores the prefix in front of
// its first dash as "ExplorerTitlePrefix". 1 when stored, else 0.
int StoreTitlePrefix(HWND explorer, char* caption);
// Reads the titles of the list view's first four columns (page 132 when they cannot be
// read) and stores them. Always 1.
int ReadColumnTitles(HWND listView);

// The ways of reading the titles out of the list view's process; each fills
// g_columnTitles and returns true, or returns false having changed nothing.
bool ReadTitlesThroughSharedMemory(HWND listView);   // Windows 95, 98 and Me
bool ReadTitlesInListViewProcess(HWND listView);     // NT family
