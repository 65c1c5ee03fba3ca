#include "Ticker.h"

namespace {
Ticker* g_ticker = nullptr;

struct Search {
    const char* caption;
    const char* className;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    Search* search = reinterpret_cast<Search*>(param);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && TextOf(window) == search->caption &&
        (!search->className || lstrcmpiA(className, search->className) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

Ticker::Ticker(std::function<bool()> step) : step_(std::move(step)) {
    g_ticker = this;
    timer_ = SetTimer(nullptr, 0, 30, Tick);
}

Ticker::~Ticker() {
    KillTimer(nullptr, timer_);
    g_ticker = nullptr;
}

void CALLBACK Ticker::Tick(HWND, UINT, UINT_PTR, DWORD) {
    static bool busy = false;   // a step that opens a nested loop is not re-entered
    if (!g_ticker || busy) return;
    busy = true;
    bool more = g_ticker->step_();
    busy = false;
    if (!more && g_ticker) {
        KillTimer(nullptr, g_ticker->timer_);
        g_ticker->timer_ = 0;
    }
}

HWND FindThreadWindow(const char* caption, const char* className) {
    Search search = {caption, className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string MessageBoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }
