#include "HookControl.h"

#include "ExplorerWizard.h"

#include <shlwapi.h>
#include <string.h>

const char kTolvaneClassId[] = "{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}";

namespace {

const char kServerKey[] = "CLSID\\{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}\\InProcServer32";
const char kExplorerKey[] = "SOFTWARE\\Varnoke\\Tolvard\\Explorer";
const char kSettingsKey[] = "SOFTWARE\\Varnoke\\Tolvard\\Settings";

typedef int (WINAPI* HookEntry)();
typedef HRESULT (CALLBACK* DllGetVersionEntry)(DLLVERSIONINFO*);

HMODULE g_hookLibrary = nullptr;
HookEntry g_activateHook = nullptr;
HookEntry g_deactivateHook = nullptr;

// Reads one value of a HKCU key into a 50-byte buffer; false when the key or value
// cannot be read.
bool ReadSmallValue(const char* keyName, const char* valueName, BYTE (&data)[50]) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, keyName, &key) != ERROR_SUCCESS) return false;
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, valueName, nullptr, &type, data, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace

int FindExtensionPath(char* path, int size) {
    if (!path || size <= 0) return 0;
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, kServerKey, &key) != ERROR_SUCCESS) return 0;
    char found[MAX_PATH] = {};
    LONG length = sizeof found;
    LONG result = RegQueryValueA(key, "", found, &length);
    RegCloseKey(key);
    // An empty default value names no library: treat it as not registered.
    if (result != ERROR_SUCCESS || found[0] == '\0') return 0;
    found[MAX_PATH - 1] = '\0';
    strncpy(path, found, size);
    path[size - 1] = '\0';  // strncpy leaves a cut path unterminated
    return 1;
}

int StartExplorerHook() {
    BYTE explorerName[50] = {};
    if (!ReadSmallValue(kExplorerKey, "ExplorerName", explorerName)) RunExplorerWizard();

    OutputDebugStringA("Tolvard: looking for the path of Tolvane\n");
    char path[MAX_PATH] = {};
    if (!FindExtensionPath(path, sizeof path)) {
        MessageBoxA(nullptr, "Tolvane isn't installed!\nPlease install Tolvane before using Tolvard.",
                    "Tolvard", MB_OK);
        return 0;
    }

    OutputDebugStringA("LoadLibrary\n");
    HMODULE library = LoadLibraryA(path);
    if (library) {
        // A second start without a stop in between would leak the first load.
        if (g_hookLibrary) StopExplorerHook();
        g_hookLibrary = library;
    }
    OutputDebugStringA("Regedit\n");

    BYTE enableExplorer[50] = {};
    bool switchRead = ReadSmallValue(kSettingsKey, "EnableExplorer", enableExplorer);
    OutputDebugStringA("jetzt wird eingetragen\n");

    if (!g_hookLibrary) return 1;
    if (switchRead && enableExplorer[0] == 0) return 1;

    g_activateHook = reinterpret_cast<HookEntry>(
        reinterpret_cast<void*>(GetProcAddress(g_hookLibrary, "ActivateExplorerHook")));
    g_deactivateHook = reinterpret_cast<HookEntry>(
        reinterpret_cast<void*>(GetProcAddress(g_hookLibrary, "DeactivateExplorerHook")));
    if (g_activateHook && g_deactivateHook) {
        g_activateHook();
    } else {
        // Without both entries nothing was started, so there is nothing to stop later.
        g_activateHook = nullptr;
        g_deactivateHook = nullptr;
    }
    return 1;
}

int StopExplorerHook() {
    if (g_deactivateHook) g_deactivateHook();
    if (g_hookLibrary) FreeLibrary(g_hookLibrary);
    g_hookLibrary = nullptr;
    g_activateHook = nullptr;
    g_deactivateHook = nullptr;
    return 0;
}

bool IsExplorerHookLoaded() { return g_hookLibrary != nullptr; }

DWORD GetDllVersion(const char* libraryName) {
    HMODULE library = LoadLibraryA(libraryName);
    if (!library) return 0;
    DWORD version = 0;
    DllGetVersionEntry getVersion = reinterpret_cast<DllGetVersionEntry>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
    if (getVersion) {
        DLLVERSIONINFO info;
        ZeroMemory(&info, sizeof info);
        info.cbSize = sizeof info;
        if (getVersion(&info) >= 0)
            version = (info.dwMajorVersion & 0xFFFF) | ((info.dwMinorVersion & 0xFFFF) << 16);
    }
    FreeLibrary(library);
    return version;
}
