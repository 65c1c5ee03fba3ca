// Finding a window by class, title, parent, process or thread, and waiting for it
// (WindowFinder.h).
#include "WindowFinder.h"

#include "TestSupport.h"
#include "WindowControls.h"

namespace testsupport {

namespace {

struct Search {
    const WindowQuery* query;
    HWND found;
};

bool Matches(HWND window, const WindowQuery& query) {
    if (query.visibleOnly && !IsWindowVisible(window)) return false;
    if (query.processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != query.processId) return false;
    }
    if (query.className && lstrcmpiA(ClassName(window).c_str(), query.className) != 0) return false;
    if (query.title && WindowText(window) != query.title) return false;
    return true;
}

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    Search* search = reinterpret_cast<Search*>(param);
    if (!Matches(window, *search->query)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindWindowBy(const WindowQuery& query) {
    Search search = {&query, nullptr};
    if (query.parent)
        EnumChildWindows(query.parent, Visit, reinterpret_cast<LPARAM>(&search));
    else if (query.thisThread)
        EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(&search));
    else
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindowBy(const WindowQuery& query, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindWindowBy(query);
        if (found || GetTickCount() - start >= timeoutMs) return found;
        PumpMessages(50);
    }
}

HWND FindThreadWindow(const char* title, const char* className) {
    WindowQuery query;
    query.title = title;
    query.className = className;
    query.thisThread = true;
    return FindWindowBy(query);
}

}  // namespace testsupport
