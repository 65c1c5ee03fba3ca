#include "Module.h"

HINSTANCE g_moduleHandle = nullptr;
LONG g_liveObjects = 0;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) g_moduleHandle = module;
    return TRUE;
}
