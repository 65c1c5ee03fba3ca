// Drives windows that the code under test opens on the test's own thread (modal
// dialogs, message boxes): a thread timer calls the test's step every 30 ms while
// any message loop of the thread runs, until the step returns false.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class Ticker {
public:
    explicit Ticker(std::function<bool()> step);
    ~Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::function<bool()> step_;
    UINT_PTR timer_;
};

// A visible top-level window of this thread with that caption (and class, if given).
HWND FindThreadWindow(const char* caption, const char* className = "#32770");
std::string TextOf(HWND window);
// The message of a message box.
std::string MessageBoxText(HWND box);
