// The watcher of unexpected modal windows. Code under test that shows a message box or
// a dialog nobody answers would hold its test until ctest ends it, minutes later, with
// nothing said about why (under Wine's null driver nobody sees the box). Every test
// program (tolvane_test, through TestMain.cpp) runs this watcher on a thread of its
// own: a dialog or message box of the test's process (class "#32770", visible, top
// level) that no DialogDriver has taken on for kUnexpectedAfterMs is reported (a
// failure of the running test), naming the window's caption and text, and closed.
//
// The windows that a DialogDriver matches are expected ones: the driver claims them
// here, from the test's thread, while it drives them.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// How long a dialog may stay open without a driver before it counts as unexpected:
// drivers look every 30 ms, so this is long only for a machine under load.
const DWORD kUnexpectedAfterMs = 5000;

// A driver takes the window on (ExpectModalWindow) until it lets it go (ForgetModalWindow).
void ExpectModalWindow(HWND window);
void ForgetModalWindow(HWND window);

// The test programs' main starts the watcher before the first test and stops it after
// the last, so that no failure comes when GoogleTest has already summed up. `report`
// gets what the watcher says of an unexpected window (there: a failure of the running
// test), on the watcher's thread.
void StartModalWatcher(void (*report)(const std::string& message));
void StopModalWatcher();

// What the watcher says of a window: its caption and the texts it shows (for a message
// box its message), read without waiting on the window's thread for long.
std::string DescribeModalWindow(HWND window);

}  // namespace testsupport
