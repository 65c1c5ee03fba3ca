// hook_library.dll: stands in for Tolvane in the hook-control tests. It has the two
// hook entries and DllGetVersion (5.81) and appends one line per event ("attach",
// "activate", "deactivate", "detach") to the file named by TOLVARD_HOOK_LOG; inside
// Tolvard's companion TolvardHook.exe each line begins with "companion ".
#include <windows.h>
#include <shlwapi.h>

namespace {

void Log(const char* line) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("TOLVARD_HOOK_LOG", path, MAX_PATH)) return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    char host[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, host, MAX_PATH);
    const char* name = host;
    for (const char* at = host; *at; ++at)
        if (*at == '\\') name = at + 1;
    if (lstrcmpiA(name, "TolvardHook.exe") == 0) WriteFile(file, "companion ", 10, &written, nullptr);
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Log("attach");
    if (reason == DLL_PROCESS_DETACH) Log("detach");
    return TRUE;
}

__declspec(dllexport) int WINAPI ActivateExplorerHook() {
    Log("activate");
    return 1;
}

__declspec(dllexport) int WINAPI DeactivateExplorerHook() {
    Log("deactivate");
    return 1;
}

__declspec(dllexport) HRESULT CALLBACK DllGetVersion(DLLVERSIONINFO* info) {
    if (info->cbSize < sizeof(DLLVERSIONINFO)) return E_INVALIDARG;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 81;
    info->dwBuildNumber = 4916;
    info->dwPlatformID = DLLVER_PLATFORM_WINDOWS;
    return S_OK;
}

}
