// The two registry views of 64-bit Windows (RegistryViews.h): which one is the other
// for this process, whether a process is 64-bit, and Tolvane's class registration read
// in either view.
#include "RegistryViews.h"

#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"

namespace {

typedef BOOL (WINAPI* IsWow64ProcessEntry)(HANDLE, PBOOL);

// A 32-bit process on 64-bit Windows. IsWow64Process is missing before XP and on
// those systems nothing runs under WOW64.
bool RunsUnderWow64(HANDLE process) {
    IsWow64ProcessEntry isWow64 = reinterpret_cast<IsWow64ProcessEntry>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(process, &wow64) && wow64;
}

}  // namespace

REGSAM OtherRegistryView() {
#ifdef _WIN64
    return KEY_WOW64_32KEY;
#else
    return RunsUnderWow64(GetCurrentProcess()) ? KEY_WOW64_64KEY : 0;
#endif
}

bool IsSixtyFourBitProcess(HANDLE process) {
#ifndef _WIN64
    // A 32-bit program on a 32-bit Windows: every process there is 32-bit.
    if (OtherRegistryView() == 0) return false;
#endif
    return !RunsUnderWow64(process);
}

int FindExtensionPathInView(char* path, int size, REGSAM view) {
    if (!path || size <= 0) return 0;
    CRegistryKey key;
    bool opened = view ? key.OpenWith(HKEY_CLASSES_ROOT, TOLVANE_SERVER_KEY, KEY_QUERY_VALUE | view)
                       : key.Open(HKEY_CLASSES_ROOT, TOLVANE_SERVER_KEY);
    if (!opened) return 0;
    char found[MAX_PATH] = {};
    LONG length = sizeof found;
    LONG result = RegQueryValueA(key.Handle(), "", found, &length);
    // An empty default value names no library: treat it as not registered.
    if (result != ERROR_SUCCESS || found[0] == '\0') return 0;
    found[MAX_PATH - 1] = '\0';
    strncpy(path, found, size);
    path[size - 1] = '\0';  // strncpy leaves a cut path unterminated
    return 1;
}
