#include "DialogDriver.h"

namespace {
DialogDriver* g_driver = nullptr;
}

DialogDriver::DialogDriver(Handler handler) : handler_(std::move(handler)) {
    g_driver = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    g_driver = nullptr;
}

BOOL CALLBACK DialogDriver::Visit(HWND window, LPARAM param) {
    DialogDriver* driver = reinterpret_cast<DialogDriver*>(param);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (!driver->seen_.insert(window).second) return TRUE;
    driver->handler_(window);
    return FALSE;  // one dialog per tick: the handler's button press changes the set
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver) EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(g_driver));
}

std::string ControlText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    if (window) GetWindowTextA(window, text, sizeof text);
    return text;
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
