// A folder window shaped like Explorer's (ExplorerShape.h) in a second process,
// explorer_window.exe, whose list view is read across processes.
#pragma once

#include <windows.h>

#include <string>

class ExplorerWindowProcess {
public:
    // columns: how many column titles its list view has; -1 for no list view.
    ExplorerWindowProcess(const std::string& className, const std::string& caption, int columns);
    ~ExplorerWindowProcess();
    ExplorerWindowProcess(const ExplorerWindowProcess&) = delete;
    ExplorerWindowProcess& operator=(const ExplorerWindowProcess&) = delete;

    HWND Window() const { return window_; }
    HWND ListView() const;   // nullptr when it has none
    // The columns of its list view once it has had the focus (as a click into the file
    // list gives it), waited for up to two seconds to become `expected`; -1 without one.
    int ColumnsAfterFocus(int expected) const;

private:
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

// Expected titles of explorer_window.exe's columns, as the wizard stores them.
extern const char* const kHelperTitles[4];
