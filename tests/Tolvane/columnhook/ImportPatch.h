// Watching what a loaded library passes to a Windows function: its import of the
// function is pointed at a stand-in, which notes the arguments and calls the real one.
// It lets the tests see an argument that Wine ignores, such as CallNextHookEx's hook
// handle, which Windows 95, 98 and Me follow.
#pragma once

#include <windows.h>

// Points module's import of dll!function at replacement and returns the address it
// held, or null (nothing changed) when the module does not import the function by name.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);
