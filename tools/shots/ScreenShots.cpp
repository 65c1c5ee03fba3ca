// The screenshot handshake with the scripts (ScreenShots.h): the request left in the
// folder and the wait, serving this program's windows, until it is served.
#include "ScreenShots.h"

#include <stdio.h>

#include "TestSupport.h"

namespace shots {

namespace {

// One line, flushed at once so that it comes before a child's or Wine's.
void Say(const char* text, const char* name, const char* detail = "") {
    printf(text, name, detail);
    printf("\n");
    fflush(stdout);
}

std::string Environment(const char* name) {
    char value[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

struct WindowSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchShown(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (!IsWindowVisible(window) || lstrcmpA(className, search->className) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

bool g_shooting = false;
bool g_taken = false;

void CALLBACK ShootShown(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_shooting) return;   // the timer fires again while the picture is being taken
    HWND menu = ShownWindow("#32768");
    HWND dialog = menu ? nullptr : ShownWindow("#32770");
    if (!menu && !dialog) return;
    g_shooting = true;
    KillTimer(nullptr, timer);
    if (dialog) SetForegroundWindow(dialog);   // drawn active
    g_taken = TakeWanted();
    if (menu)
        EndMenu();
    else
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

bool ScreenShots::Take(const char* name) {
    // What was just opened draws itself first.
    testsupport::PumpMessages(700);
    if (!Enabled()) {
        testsupport::PumpMessages(3000);   // time to look at it
        return true;
    }
    std::string request = folder_ + "\\" + name + ".request";
    HANDLE file = CreateFileA(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Say("  (could not ask for the screenshot \"%s\": %s not writable)", name, request.c_str());
        missing_.push_back(name);
        return false;
    }
    CloseHandle(file);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
        testsupport::PumpMessages(100);
        if (GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES) {
            Say("  screenshot \"%s\" taken", name);
            return true;
        }
    }
    DeleteFileA(request.c_str());
    Say("  (the screenshot \"%s\" was not taken within 20 s)", name);
    missing_.push_back(name);
    return false;
}

bool Wanted() {
    return !Environment("TOLVANE_SHOTS").empty() && !Environment("TOLVANE_SHOT").empty();
}

bool TakeWanted() {
    if (!Wanted()) return false;
    ScreenShots shots(Environment("TOLVANE_SHOTS"));
    return shots.Take(Environment("TOLVANE_SHOT").c_str());
}

void TakeWhenShown() {
    if (Wanted()) SetTimer(nullptr, 0, 200, ShootShown);
}

bool TakenWhenShown() {
    return g_taken;
}

HWND ShownWindow(const char* className) {
    WindowSearch search = {className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace shots
