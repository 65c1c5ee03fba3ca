// TolvardHook.exe HANDLE LIBRARY: Tolvane's column hook for the programs of the other
// pointer size on 64-bit Windows. A hook reaches only processes of its own pointer
// size, so Tolvard starts this companion, built for the other size, beside that
// size's Tolvane.dll (see StartCompanion in HookControl.cpp).
//
// HANDLE is Tolvard's process handle, inherited, in decimal; LIBRARY the full path of
// the Tolvane.dll to hook with. The companion loads the library, activates its hook
// and ends as soon as Tolvard ends, or when Tolvard posts WM_QUIT to its thread;
// then it deactivates the hook. It shows nothing.
// Exit code: 0 after a normal end, 2 for a bad command line or handle, 3 when the
// library does not load or lacks its hook entries.
#include <windows.h>

namespace {

typedef int (WINAPI* HookEntry)();

const char* SkipBlanks(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    return text;
}

// The handle's decimal number, then the path (in quotes or up to the end).
bool ParseCommandLine(const char* text, HANDLE* tolvard, char (&library)[MAX_PATH]) {
    text = SkipBlanks(text);
    ULONG_PTR number = 0;
    const char* digits = text;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (text - digits >= 10) return false;   // more than 32 bits
        number = number * 10 + static_cast<ULONG_PTR>(*text - '0');
    }
    if (text == digits || number == 0 || (*text != ' ' && *text != '\t')) return false;
    *tolvard = reinterpret_cast<HANDLE>(number);
    text = SkipBlanks(text);
    char end = '\0';
    if (*text == '"') {
        end = '"';
        ++text;
    }
    int length = 0;
    for (; text[length] && text[length] != end; ++length)
        if (length >= MAX_PATH - 1) return false;
    if (length == 0 || (end && text[length] != end)) return false;
    lstrcpynA(library, text, length + 1);
    return true;
}

// Serves this thread's messages until Tolvard ends or WM_QUIT comes.
void WaitForTheEnd(HANDLE tolvard) {
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &tolvard, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) return;   // Tolvard ended, or the wait failed
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    HANDLE tolvard = nullptr;
    char library[MAX_PATH] = {};
    if (!commandLine || !ParseCommandLine(commandLine, &tolvard, library)) return 2;
    DWORD state = WaitForSingleObject(tolvard, 0);
    if (state == WAIT_OBJECT_0) return 0;   // Tolvard has already gone
    if (state != WAIT_TIMEOUT) return 2;    // not a handle to wait on

    HMODULE tolvane = LoadLibraryA(library);
    if (!tolvane) return 3;
    HookEntry activate = reinterpret_cast<HookEntry>(
        reinterpret_cast<void*>(GetProcAddress(tolvane, "ActivateExplorerHook")));
    HookEntry deactivate = reinterpret_cast<HookEntry>(
        reinterpret_cast<void*>(GetProcAddress(tolvane, "DeactivateExplorerHook")));
    if (!activate || !deactivate) {
        FreeLibrary(tolvane);
        return 3;
    }
    activate();
    // Only now the first look at the message queue, which makes it (so that Tolvard's
    // WM_QUIT has somewhere to go; Tolvard asks again until it has) and tells Tolvard,
    // waiting in WaitForInputIdle, that this hook is in place: Tolvard starts its own
    // after it, so that its own is the one the system calls first (see StartCompanion).
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    WaitForTheEnd(tolvard);
    deactivate();
    FreeLibrary(tolvane);
    CloseHandle(tolvard);
    return 0;
}
