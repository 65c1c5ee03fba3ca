#include "Module.h"

HINSTANCE g_ModuleHandle = nullptr;
LONG g_LiveObjects = 0;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) g_ModuleHandle = module;
    return TRUE;
}
