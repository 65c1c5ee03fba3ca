// Tolvard.exe as a program on a desktop with a notification area (run-with-tray.sh):
// its icon is shown, a second start ends after its splash, "TaskbarCreated" brings a
// lost icon back, Ping shows its box, and Exit removes the icon and stops the hook.
#include "TrayIcon.h"
#include "resource.h"

#include "HookLibrary.h"
#include "LearnedTitles.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "WindowFinder.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <string>

namespace {

using namespace testsupport;

// Waits up to timeoutMs for a top-level window of the process (a visible one, when
// the class is given).
HWND WaitForWindow(HANDLE process, const char* className, const char* title, DWORD timeoutMs = 20000) {
    testsupport::WindowQuery query;
    query.processId = GetProcessId(process);
    query.className = className;
    query.title = title;
    query.visibleOnly = className != nullptr;
    return testsupport::WaitForWindowBy(query, timeoutMs);
}

// Is there an icon of this window and id in the notification area? Changing nothing
// succeeds exactly for an icon the shell holds.
bool IconShown(HWND window, UINT id) {
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = window;
    probe.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The frame's window exists while its creation still runs: wait for the hook's start.
bool WaitForEvents(const RegisteredHookLibrary& library, const std::string& events) {
    for (int tries = 0; tries < 200; ++tries) {
        if (library.Events() == events) return true;
        Sleep(50);
    }
    return false;
}

class TolvardProcess {
public:
    TolvardProcess() {
        process_ = testsupport::StartProcess("\"" + testsupport::DistFile("Tolvard.exe") + "\"");
    }
    ~TolvardProcess() {
        if (!process_) return;
        if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
    HANDLE Handle() const { return process_; }
    // Closes the splash (the About box) at once, as a user may.
    bool CloseSplash() {
        HWND splash = WaitForWindow(process_, "#32770", nullptr);
        if (!splash) return false;
        PostMessageA(splash, WM_COMMAND, IDOK, 0);
        return true;
    }
    HWND Frame() { return WaitForWindow(process_, nullptr, "Tolvard"); }
    bool Ended(DWORD timeoutMs) { return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0; }

private:
    HANDLE process_ = nullptr;
};

// The Wine desktop's taskbar, which its explorer makes some seconds after it starts,
// later on a busy machine.
HWND WaitForTaskbar() {
    HWND taskbar = nullptr;
    for (DWORD start = GetTickCount(); !taskbar && GetTickCount() - start < 30000; Sleep(200))
        taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    return taskbar;
}

class TrayProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitForTaskbar()) << "no notification area on this desktop";
    }
    testsupport::CleanSettings clean_;
    testsupport::LearnedTitles learned_;
    RegisteredHookLibrary library_;
};

TEST_F(TrayProcessTest, IconComesAndGoesWithTheProgram) {
    TolvardProcess tolvard;
    ASSERT_TRUE(tolvard.Handle());
    ASSERT_TRUE(tolvard.CloseSplash());
    HWND frame = tolvard.Frame();
    ASSERT_TRUE(frame);
    // The splash reads the library's version; then the frame starts the hook.
    EXPECT_TRUE(WaitForEvents(library_, "attach\ndetach\nattach\nactivate\n")) << library_.Events();
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_TRUE(IconShown(frame, 101));

    // Explorer restarted: its new taskbar knows no icons until the programs add them again.
    NOTIFYICONDATAA lost = {};
    lost.cbSize = NOTIFYICONDATAA_V1_SIZE;
    lost.hWnd = frame;
    lost.uID = 101;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    ASSERT_FALSE(IconShown(frame, 101));
    SendMessageA(frame, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconShown(frame, 101));

    PostMessageA(frame, WM_COMMAND, 57665 /* ID_APP_EXIT */, 0);
    ASSERT_TRUE(tolvard.Ended(10000));
    EXPECT_FALSE(IconShown(frame, 101));
    EXPECT_EQ("attach\ndetach\nattach\nactivate\ndeactivate\ndetach\n", library_.Events());
}

TEST_F(TrayProcessTest, SecondInstanceEndsAfterItsSplashAndLeavesTheFirstAlone) {
    TolvardProcess first;
    ASSERT_TRUE(first.CloseSplash());
    HWND frame = first.Frame();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(WaitForEvents(library_, "attach\ndetach\nattach\nactivate\n")) << library_.Events();

    TolvardProcess second;
    ASSERT_TRUE(second.CloseSplash());   // the second start shows the About box too
    EXPECT_TRUE(second.Ended(10000));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(IconShown(frame, 101));
    // The second one only read the version for its splash.
    EXPECT_EQ("attach\ndetach\nattach\nactivate\nattach\ndetach\n", library_.Events());

    PostMessageA(frame, WM_COMMAND, 57665, 0);
    EXPECT_TRUE(first.Ended(10000));
}

TEST_F(TrayProcessTest, PingToTheMainThreadShowsAPingBox) {
    TolvardProcess tolvard;
    ASSERT_TRUE(tolvard.CloseSplash());
    HWND frame = tolvard.Frame();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(WaitForEvents(library_, "attach\ndetach\nattach\nactivate\n")) << library_.Events();
    DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    ASSERT_TRUE(PostThreadMessageA(thread, WM_USER + 1, 0, 0));
    HWND box = WaitForWindow(tolvard.Handle(), "#32770", nullptr, 10000);
    ASSERT_TRUE(box);
    EXPECT_EQ("Tolvard", WindowText(box));
    EXPECT_EQ("Ping", MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    PostMessageA(frame, WM_COMMAND, 57665, 0);
    EXPECT_TRUE(tolvard.Ended(10000));
}

// CTrayIcon in this process, on a plain window: add, change, the callback hook, and
// removal by its destructor while the window lives on.
TEST(TrayIconInTheNotificationArea, AddChangeAndRemoveByDestructor) {
    ASSERT_TRUE(WaitForTaskbar());
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    {
        CTrayIcon icon(IDR_TRAYICON);
        EXPECT_STREQ("Tolvard", icon.Record().szTip);
        icon.AttachNotifyWindow(CWnd::FromHandle(window), WM_USER);
        ASSERT_TRUE(icon.SetTrayIcon(IDR_TRAYICON));
        EXPECT_TRUE(icon.Record().hIcon);
        EXPECT_TRUE(IconShown(window, IDR_TRAYICON));

        HICON other = LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
        EXPECT_TRUE(icon.SetTrayIcon(other, "changed"));   // a change, not a second add
        EXPECT_EQ(other, icon.Record().hIcon);
        EXPECT_STREQ("changed", icon.Record().szTip);

        // The shell lost it; "TaskbarCreated" on the window brings it back.
        NOTIFYICONDATAA lost = {};
        lost.cbSize = NOTIFYICONDATAA_V1_SIZE;
        lost.hWnd = window;
        lost.uID = IDR_TRAYICON;
        ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
        SendMessageA(window, WM_TASKBARCREATED, 0, 0);
        EXPECT_TRUE(IconShown(window, IDR_TRAYICON));
        EXPECT_EQ(other, icon.Record().hIcon);
    }
    EXPECT_FALSE(IconShown(window, IDR_TRAYICON));
    DestroyWindow(window);
}

// The shell refuses the first add (here: another icon of the same window and id is in
// the way, as when there is no taskbar yet); the icon comes when "TaskbarCreated" does.
TEST(TrayIconInTheNotificationArea, RefusedAddIsRetriedWhenTheTaskbarComes) {
    ASSERT_TRUE(WaitForTaskbar());
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    NOTIFYICONDATAA squatter = {};
    squatter.cbSize = NOTIFYICONDATAA_V1_SIZE;
    squatter.hWnd = window;
    squatter.uID = IDR_TRAYICON;
    squatter.uFlags = NIF_ICON;
    squatter.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &squatter));
    {
        CTrayIcon icon(IDR_TRAYICON);
        icon.AttachNotifyWindow(CWnd::FromHandle(window), WM_USER);
        EXPECT_FALSE(icon.SetTrayIcon(IDR_TRAYICON));
        EXPECT_EQ(nullptr, icon.Record().hIcon);

        ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &squatter));
        SendMessageA(window, WM_TASKBARCREATED, 0, 0);
        EXPECT_TRUE(icon.Record().hIcon);
        EXPECT_TRUE(IconShown(window, IDR_TRAYICON));
    }
    EXPECT_FALSE(IconShown(window, IDR_TRAYICON));
    DestroyWindow(window);
}

}  // namespace
