// Drives the modal dialogs and message boxes that the code under test opens on the
// test's own thread: a thread timer looks for new dialog windows of this thread and
// hands each one once to the test's handler, which reads it and presses a button.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>

class DialogDriver {
public:
    using Handler = std::function<void(HWND dialog)>;
    explicit DialogDriver(Handler handler);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK Visit(HWND window, LPARAM param);

    Handler handler_;
    std::set<HWND> seen_;
    UINT_PTR timer_;
};

// The text of a dialog's control, or of a message box's message (control 0xFFFF).
std::string ControlText(HWND dialog, int id);
std::string WindowText(HWND window);
// Presses a button of a dialog the way a click does: WM_COMMAND with the id.
void PressButton(HWND dialog, int id);
