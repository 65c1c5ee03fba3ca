// The two registry views of 64-bit Windows. There, HKEY_CLASSES_ROOT holds the class
// registrations and the shell's handler keys once for 64-bit programs (Explorer
// among them) and once for 32-bit programs; each program sees its own view unless it
// asks for the other with KEY_WOW64_32KEY or KEY_WOW64_64KEY. Every 32-bit Windows
// has one view only, and Windows 95, NT 4 and 2000 do not know those flags.
#pragma once

#include <windows.h>

// The flag that reaches the view this process does not see by itself, or 0 on a
// Windows with one view (where no flag may be passed).
REGSAM OtherRegistryView();
// True when the process runs with 64-bit pointers (GetCurrentProcess() for this one).
bool IsSixtyFourBitProcess(HANDLE process);
// Copies the path of Tolvane's class registration
// (TOLVANE_SERVER_KEY of Contract.h) in the given view (0: this process's own) into
// path, at most size bytes and always terminated: 1, or 0 when none is registered.
int FindExtensionPathInView(char* path, int size, REGSAM view);
