// Control of the Explorer column hook in Tolvane (HookControl.h): the library found
// through its class registration, loaded, its hook started and stopped, the companion
// for the other registry view on 64-bit Windows, and the version of any library.
#include "HookControl.h"

#include "ExplorerWizard.h"
#include "RegistryViews.h"

#include <shlwapi.h>
#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"
#include "RegistrySettings.h"

namespace {

typedef int (WINAPI* HookEntry)();
typedef HRESULT (CALLBACK* DllGetVersionEntry)(DLLVERSIONINFO*);

HMODULE g_hookLibrary = nullptr;
HookEntry g_activateHook = nullptr;
HookEntry g_deactivateHook = nullptr;

// The companion that runs the hook of the other pointer size (see StartCompanion).
const char kCompanionName[] = "TolvardHook.exe";
const DWORD kCompanionStopMs = 5000;
const DWORD kCompanionStartMs = 10000;
HANDLE g_companion = nullptr;
DWORD g_companionThread = 0;

// The wizard has run to its end once the first column's title can be read, as the
// column reads it.
bool TitlesLearned() {
    CRegistryKey key;
    char title[kLearnedTextSize];
    return key.Open(HKEY_CURRENT_USER, TOLVARD_EXPLORER_KEY) &&
           ReadColumnTitle(key.Handle(), kColumnName, title) == ERROR_SUCCESS;
}

}  // namespace

int FindExtensionPath(char* path, int size) { return FindExtensionPathInView(path, size, 0); }

// A hook reaches only the processes of its own pointer size. On 64-bit Windows the
// library registered in the other view gets its hook from a companion of that size,
// TolvardHook.exe beside it, for as long as this process runs: the companion waits
// on an inherited handle of this process and ends with it, or earlier at WM_QUIT.
// Without such a registration or companion, or where the system cannot run it,
// only this process's own hook runs.
// The system calls the most recent hook first, and in a process of the other pointer
// size that hook's library cannot be loaded: Wine ends the chain there, and the
// hook after it never runs (seen with a 64-bit program: the companion's 32-bit hook,
// set last, kept this process's hook from every 64-bit program, Explorer's size). So
// this waits until the companion's hook is in place (the companion looks at its
// message queue only after it, which ends WaitForInputIdle), and the caller then sets
// its own, which serves Explorer, as the most recent one.
void StartCompanion() {
    if (g_companion && WaitForSingleObject(g_companion, 0) == WAIT_TIMEOUT) return;
    StopCompanion();
    REGSAM other = OtherRegistryView();
    char library[MAX_PATH] = {};
    if (!other || !FindExtensionPathInView(library, sizeof library, other)) return;
    char program[MAX_PATH] = {};
    lstrcpyA(program, library);
    char* name = strrchr(program, '\\');
    name = name ? name + 1 : program;
    if ((name - program) + lstrlenA(kCompanionName) >= MAX_PATH) return;
    lstrcpyA(name, kCompanionName);
    if (GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES) return;

    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        return;
    // Handles hold 32 significant bits on 64-bit Windows, also between 32- and 64-bit processes.
    char command[2 * MAX_PATH + 32];
    wsprintfA(command, "\"%s\" %lu \"%s\"", program, static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self)),
              library);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started;
    ZeroMemory(&started, sizeof started);
    if (CreateProcessA(program, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
        CloseHandle(started.hThread);
        g_companion = started.hProcess;
        g_companionThread = started.dwThreadId;
        // As designed: the result is not used. A companion that fails ends (exit code
        // 3) and one that is slow is waited for no longer; this hook then goes on.
        WaitForInputIdle(g_companion, kCompanionStartMs);
    } else {
        OutputDebugStringA("Tolvard: the companion for the other registry view does not start\n");
    }
    CloseHandle(self);
}

// Asks the companion to end (its hook with it) and waits for it; one that does not
// answer in time is ended, which removes its hook as well.
void StopCompanion() {
    if (!g_companion) return;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(g_companion, 0) == WAIT_TIMEOUT && GetTickCount() - start < kCompanionStopMs) {
        // Fails until the companion has made its message queue: asked again then.
        PostThreadMessageA(g_companionThread, WM_QUIT, 0, 0);
        WaitForSingleObject(g_companion, 50);
    }
    if (WaitForSingleObject(g_companion, 0) == WAIT_TIMEOUT) TerminateProcess(g_companion, 1);
    CloseHandle(g_companion);
    g_companion = nullptr;
    g_companionThread = 0;
}

bool IsCompanionRunning() { return g_companion && WaitForSingleObject(g_companion, 0) == WAIT_TIMEOUT; }

int StartExplorerHook() {
    if (!TitlesLearned()) RunExplorerWizard();

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

    // The switch as the tray menu shows it.
    const bool switchedOn = IsSwitchOn(kExplorerSwitch);
    OutputDebugStringA("jetzt wird eingetragen\n");

    if (!switchedOn) return 1;
    StartCompanion();
    if (!g_hookLibrary) return 1;

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
    StopCompanion();
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

DWORD GetFileVersionNumber(const char* path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(const_cast<char*>(path), &ignored);
    if (size == 0) return 0;
    void* data = HeapAlloc(GetProcessHeap(), 0, size);
    if (!data) return 0;
    DWORD version = 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(const_cast<char*>(path), 0, size, data) &&
        VerQueryValueA(data, const_cast<char*>("\\"), reinterpret_cast<void**>(&info), &length) && info &&
        length >= sizeof(VS_FIXEDFILEINFO))
        version = HIWORD(info->dwFileVersionMS) | (static_cast<DWORD>(LOWORD(info->dwFileVersionMS)) << 16);
    HeapFree(GetProcessHeap(), 0, data);
    return version;
}
