// Drives the modal windows (dialogs, message boxes, property sheets, wizards) that
// the code under test opens on the test's own thread, while that code runs their
// message loop. A thread timer looks every 30 ms at this thread's visible top-level
// windows; each one that `match` accepts goes to `handler`, which reads it and
// presses a button. The handler returns true when it is done with that window, and
// false to be called with it again on a later tick (for instance while the window
// is not active yet). A window that is still open `timeoutMs` after it was first
// matched is stuck: the driver closes it (WM_CLOSE) and fails the test at the
// caller's line, so that a wrong turn cannot hang the test. The windows a driver
// matches are the expected ones; any other dialog fails the test (ModalWatcher.h).
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>

namespace testsupport {

// Where the test made the driver: its failures name this line, through `fail`.
struct Caller {
    const char* file;
    int line;
    void (*fail)(const Caller& caller, const std::string& message);
};
// A failure of the running GoogleTest test at the caller's line. Defined by
// test_support, which the tools do not link: they pass TOOL_HERE.
void FailTest(const Caller& caller, const std::string& message);
// The failure on stderr, for programs without GoogleTest.
void PrintFailure(const Caller& caller, const std::string& message);
#define TEST_HERE (::testsupport::Caller{__FILE__, __LINE__, ::testsupport::FailTest})
#define TOOL_HERE (::testsupport::Caller{__FILE__, __LINE__, ::testsupport::PrintFailure})

class DialogDriver {
public:
    using Match = std::function<bool(HWND)>;
    using Handler = std::function<bool(HWND)>;
    static const DWORD kDefaultTimeoutMs = 15000;

    DialogDriver(Caller caller, Match match, Handler handler, DWORD timeoutMs = kDefaultTimeoutMs);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    int Handled() const { return handled_; }   // windows the handler finished
    bool TimedOut() const { return timedOut_; }

    // Matches: any dialog or message box (class "#32770"); a window with this title
    // (and class, when given).
    static Match AnyDialog();
    static Match Titled(const std::string& title, const char* className = nullptr);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
    static BOOL CALLBACK Visit(HWND window, LPARAM param);
    void OnTick();
    void CloseStuck();

    Caller caller_;
    Match match_;
    Handler handler_;
    DWORD timeoutMs_;
    UINT_PTR timer_ = 0;
    bool busy_ = false;                 // a handler that runs a nested loop is not re-entered
    bool timedOut_ = false;
    int handled_ = 0;
    std::set<HWND> done_;
    std::map<HWND, DWORD> firstSeen_;   // matched windows, when first matched
};

// Runs open(), which shows a modal window on this thread and returns when it has
// closed. drive(window) is called once with the visible top-level window of this
// thread with that title; drive must close it. False (the window closed, the test
// failed at the caller's line) when it stayed open longer than timeoutMs; false too
// when no such window appeared.
bool DriveModalWindow(Caller caller, const std::string& title, const std::function<void()>& open,
                      const std::function<void(HWND)>& drive,
                      DWORD timeoutMs = DialogDriver::kDefaultTimeoutMs);

}  // namespace testsupport
