// DllMain and the library's module-wide state (Module.h): the module handle, stored
// when the library is attached to a process, and the count of live COM objects.
#include "Module.h"

HINSTANCE g_moduleHandle = nullptr;
LONG g_liveObjects = 0;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) g_moduleHandle = module;
    return TRUE;
}
