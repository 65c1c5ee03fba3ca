// Finding a window by what a test knows of it: its class and/or title, top-level
// or a child of a given window, optionally of one process or of this thread, and
// waiting for it to come.
#pragma once

#include <windows.h>

namespace testsupport {

struct WindowQuery {
    const char* className = nullptr;   // nullptr: any class
    const char* title = nullptr;       // nullptr: any title
    HWND parent = nullptr;             // nullptr: top-level windows; else its children (all levels)
    DWORD processId = 0;               // 0: any process
    bool thisThread = false;           // top-level windows of the calling thread only
    bool visibleOnly = true;
};

// The first window that matches, or nullptr.
HWND FindWindowBy(const WindowQuery& query);
// Waits up to timeoutMs for such a window, pumping this thread's messages
// meanwhile; nullptr when none came.
HWND WaitForWindowBy(const WindowQuery& query, DWORD timeoutMs);

// A visible top-level window of this thread with this title (and class, when given).
HWND FindThreadWindow(const char* title, const char* className = "#32770");

}  // namespace testsupport
