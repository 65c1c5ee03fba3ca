// The watcher of unexpected modal windows (see ModalWatcher.h): a thread that looks at
// the process's dialogs four times a second, reports one that no driver claims, and
// closes it.
#include "ModalWatcher.h"

#include <stdio.h>

#include <map>
#include <vector>

namespace testsupport {

namespace {

const DWORD kLookEveryMs = 250;
const DWORD kCloseAgainMs = 1000;

// The windows the drivers have claimed; read by the watcher's thread.
class Claims {
public:
    Claims() { InitializeCriticalSection(&lock_); }
    void Add(HWND window) {
        EnterCriticalSection(&lock_);
        ++claimed_[window];
        LeaveCriticalSection(&lock_);
    }
    void Remove(HWND window) {
        EnterCriticalSection(&lock_);
        auto found = claimed_.find(window);
        if (found != claimed_.end() && --found->second == 0) claimed_.erase(found);
        LeaveCriticalSection(&lock_);
    }
    bool Has(HWND window) {
        EnterCriticalSection(&lock_);
        bool has = claimed_.count(window) != 0;
        LeaveCriticalSection(&lock_);
        return has;
    }

private:
    CRITICAL_SECTION lock_;
    std::map<HWND, int> claimed_;   // two drivers may match one window
};

Claims& TheClaims() {
    static Claims claims;
    return claims;
}

// A window's text through WM_GETTEXT, given up after a second: the window's thread
// may be busy, and the watcher must never hang on it.
std::string TextOf(HWND window) {
    char text[512] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &copied))
        return "<text not readable>";
    text[sizeof text - 1] = '\0';
    return text;
}

bool IsDialogClass(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") != 0 || !IsWindowVisible(child)) return TRUE;
    std::string text = TextOf(child);
    if (text.empty()) return TRUE;
    std::string& all = *reinterpret_cast<std::string*>(param);
    if (!all.empty()) all += " | ";
    all += text;
    return TRUE;
}

BOOL CALLBACK CollectOwnDialogs(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && IsDialogClass(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

class Watcher {
public:
    // The desktop first, on this thread: in a program that has shown no window yet,
    // Wine starts the desktop's process (explorer.exe) at the first use of the
    // desktop, and the watcher's thread must not be the one that does that while the
    // test's thread loads libraries (seen: a program that stopped in its first test
    // for good, with explorer.exe as its child). Then one look, on the watcher's
    // thread, before the tests begin.
    void Start(void (*report)(const std::string& message)) {
        if (thread_) return;
        report_ = report;
        GetDesktopWindow();
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        if (thread_) WaitForSingleObject(ready_, 30000);
    }
    void Stop() {
        if (!thread_) return;
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(stop_);
        CloseHandle(ready_);
        thread_ = stop_ = ready_ = nullptr;
        seen_.clear();
    }

private:
    struct Seen {
        DWORD unclaimedSince;
        bool reported = false;
        int closeStep = 0;
        DWORD lastClose = 0;
    };

    static DWORD WINAPI Run(LPVOID self) {
        Watcher* watcher = static_cast<Watcher*>(self);
        watcher->Look();
        SetEvent(watcher->ready_);
        while (WaitForSingleObject(watcher->stop_, kLookEveryMs) == WAIT_TIMEOUT) watcher->Look();
        return 0;
    }

    void Look() {
        std::vector<HWND> dialogs;
        EnumWindows(CollectOwnDialogs, reinterpret_cast<LPARAM>(&dialogs));
        const DWORD now = GetTickCount();
        std::map<HWND, Seen> still;
        for (HWND window : dialogs) {
            if (TheClaims().Has(window)) continue;
            auto known = seen_.find(window);
            Seen seen = known != seen_.end() ? known->second : Seen{now};
            if (!seen.reported && now - seen.unclaimedSince >= kUnexpectedAfterMs) {
                Report(window);
                seen.reported = true;
            }
            if (seen.reported && (seen.closeStep == 0 || now - seen.lastClose >= kCloseAgainMs)) {
                Close(window, seen.closeStep++);
                seen.lastClose = now;
            }
            still[window] = seen;
        }
        seen_.swap(still);
    }

    void Report(HWND window) const {
        char seconds[16];
        snprintf(seconds, sizeof seconds, "%lu", static_cast<unsigned long>(kUnexpectedAfterMs / 1000));
        std::string message = std::string("an unexpected modal window stayed open for ") + seconds +
                              " s with no DialogDriver to answer it: " + DescribeModalWindow(window) + "; closed it";
        if (report_) {
            report_(message);
        } else {
            fprintf(stderr, "%s\n", message.c_str());
            fflush(stderr);
        }
    }

    // WM_CLOSE answers most dialogs (as Cancel); a message box with OK alone may want
    // its button: Cancel, then OK.
    static void Close(HWND window, int step) {
        switch (step) {
        case 0:
            PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        case 1:
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            break;
        default:
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            break;
        }
    }

    void (*report_)(const std::string& message) = nullptr;
    HANDLE stop_ = nullptr;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    std::map<HWND, Seen> seen_;   // only the watcher's thread touches it
};

}  // namespace

void ExpectModalWindow(HWND window) { TheClaims().Add(window); }
void ForgetModalWindow(HWND window) { TheClaims().Remove(window); }

namespace {
Watcher g_watcher;
}  // namespace

void StartModalWatcher(void (*report)(const std::string& message)) { g_watcher.Start(report); }
void StopModalWatcher() { g_watcher.Stop(); }

std::string DescribeModalWindow(HWND window) {
    std::string texts;
    EnumChildWindows(window, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return "\"" + TextOf(window) + "\": \"" + texts + "\"";
}

}  // namespace testsupport
