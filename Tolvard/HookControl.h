// Control of the Explorer column hook in Tolvane: finding the library through its
// class registration, loading it, starting and stopping its hook, and asking any
// library for its version.
#pragma once

#include <windows.h>

// Runs the wizard when no Explorer titles are stored, loads Tolvane and starts its hook
// when "EnableExplorer" is on, with the companion for the other registry view's
// library on 64-bit Windows. 0 when Tolvane is not registered, else 1.
int StartExplorerHook();
// Stops the hook and the companion and releases Tolvane. Always 0.
int StopExplorerHook();
// Copies Tolvane's registered path into path (at most size bytes, always terminated): 1, or 0.
int FindExtensionPath(char* path, int size);
// Version of a library from its DllGetVersion: major in the low word, minor in the high
// word; 0 when it cannot be loaded, has no such export or the export fails.
DWORD GetDllVersion(const char* libraryName);
// The same from a file's version resource (its file version), without loading it, so
// also for a library of the other pointer size; 0 when it has none.
DWORD GetFileVersionNumber(const char* path);
// True while the hook's library is loaded by StartExplorerHook (for the frame's tests).
bool IsExplorerHookLoaded();

// The hook for the programs of the other pointer size on 64-bit Windows: started by
// StartExplorerHook with the switch on, stopped by StopExplorerHook (see HookControl.cpp).
void StartCompanion();
void StopCompanion();
bool IsCompanionRunning();
