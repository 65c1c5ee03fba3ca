// The driver of modal windows (DialogDriver.h): its timer, the windows it matches and
// hands to its handler, and the one still open after its timeout, closed.
#include "DialogDriver.h"

#include <stdio.h>

#include <sstream>

#include "ModalWatcher.h"
#include "WindowControls.h"

namespace testsupport {

namespace {
// The drivers alive on this thread, by their timer's id.
// Each removes itself when it goes, so nothing is left between tests.
std::map<UINT_PTR, DialogDriver*>& DriverOfTimer() {
    static std::map<UINT_PTR, DialogDriver*> drivers;
    return drivers;
}
}  // namespace

DialogDriver::DialogDriver(Caller caller, Match match, Handler handler, DWORD timeoutMs)
    : caller_(caller), match_(std::move(match)), handler_(std::move(handler)), timeoutMs_(timeoutMs) {
    timer_ = SetTimer(nullptr, 0, 30, Tick);
    DriverOfTimer()[timer_] = this;
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    DriverOfTimer().erase(timer_);
    for (const auto& seen : firstSeen_) ForgetModalWindow(seen.first);
}

DialogDriver::Match DialogDriver::AnyDialog() {
    return [](HWND window) { return ClassName(window) == "#32770"; };
}

DialogDriver::Match DialogDriver::Titled(const std::string& title, const char* className) {
    std::string wanted = className ? className : "";
    return [title, wanted](HWND window) {
        return WindowText(window) == title && (wanted.empty() || lstrcmpiA(ClassName(window).c_str(), wanted.c_str()) == 0);
    };
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = DriverOfTimer().find(timer);
    if (found != DriverOfTimer().end()) found->second->OnTick();
}

BOOL CALLBACK DialogDriver::Visit(HWND window, LPARAM param) {
    DialogDriver* driver = reinterpret_cast<DialogDriver*>(param);
    if (!IsWindowVisible(window) || driver->done_.count(window) || !driver->match_(window)) return TRUE;
    // A matched window is an expected one: the watcher of unexpected windows leaves it to us.
    if (driver->firstSeen_.insert(std::make_pair(window, GetTickCount())).second) ExpectModalWindow(window);
    driver->busy_ = true;
    bool done = driver->handler_(window);
    driver->busy_ = false;
    if (done) {
        driver->done_.insert(window);
        ++driver->handled_;
    }
    return FALSE;   // one window per tick: the handler's button press changes the set
}

void DialogDriver::OnTick() {
    if (busy_) return;
    EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(this));
    CloseStuck();
}

void DialogDriver::CloseStuck() {
    const DWORD now = GetTickCount();
    for (auto seen = firstSeen_.begin(); seen != firstSeen_.end();) {
        HWND window = seen->first;
        if (!IsWindow(window)) {   // gone: a later window may get its handle
            done_.erase(window);
            ForgetModalWindow(window);
            seen = firstSeen_.erase(seen);
            continue;
        }
        if (IsWindowVisible(window) && now - seen->second > timeoutMs_) {
            if (!timedOut_) {
                std::ostringstream message;
                message << "the window \"" << WindowText(window) << "\" was still open after " << timeoutMs_
                        << " ms; closed it";
                (caller_.fail ? caller_.fail : PrintFailure)(caller_, message.str());
            }
            timedOut_ = true;
            seen->second = now;   // closed again only after another timeout
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        ++seen;
    }
}

void PrintFailure(const Caller& caller, const std::string& message) {
    fprintf(stderr, "%s(%d): %s\n", caller.file, caller.line, message.c_str());
    fflush(stderr);
}

bool DriveModalWindow(Caller caller, const std::string& title, const std::function<void()>& open,
                      const std::function<void(HWND)>& drive, DWORD timeoutMs) {
    DialogDriver driver(
        caller, DialogDriver::Titled(title),
        [&](HWND window) {
            if (driver.Handled() == 0) drive(window);
            return true;
        },
        timeoutMs);
    open();
    return driver.Handled() > 0 && !driver.TimedOut();
}

}  // namespace testsupport
