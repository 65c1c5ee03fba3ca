// The application and its hidden frame in the test's own process: start-up, the tray
// callbacks and menu commands posted to the frame, the check marks, the switches'
// registry keys (HKEY_CLASSES_ROOT of the test prefix), Ping, and Exit.
#include "HookControl.h"
#include "MainFrame.h"
#include "TolvardApp.h"
#include "resource.h"

#include "DialogDriver.h"
#include "HookLibrary.h"
#include "LearnedTitles.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "WindowControls.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

CTolvardApp theApp;

namespace {

using namespace testsupport;
using contract::kSettingsKey;

const std::string kClassId = std::string(contract::kClassIdText) + '\0';

std::string Setting(const char* value) {
    std::string data;
    DWORD type = 0;
    if (!testsupport::ReadRegValue(HKEY_CURRENT_USER, kSettingsKey, value, &data, &type)) return "<missing>";
    if (type != REG_DWORD || data.size() != 4) return "<not a DWORD>";
    return std::to_string(*reinterpret_cast<const DWORD*>(data.data()));
}

// A handler key's default value in this program's own registry view, or in the
// 32-bit view that 32-bit programs of a 64-bit Windows read (on a 32-bit Windows, the
// one view).
std::string HandlerKey(const char* key, REGSAM view = 0) {
    std::string data;
    if (!testsupport::ReadRegValue(HKEY_CLASSES_ROOT, key, "", &data, nullptr, view)) return "<missing>";
    return data;
}

void RemoveHandlerKeys() {
    for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_32KEY)}) {
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, contract::kContextHandlerKey, view);
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, contract::kPropertyHandlerKey, view);
    }
}

// Hands each dialog to the test's list and closes it (OK).
struct DialogLog {
    explicit DialogLog(testsupport::Caller caller)
        : driver(caller, DialogDriver::AnyDialog(), [this](HWND dialog) {
              std::string text = MessageBoxText(dialog);
              seen.push_back(WindowText(dialog) + (text.empty() ? "" : ":" + text));
              PostCommand(dialog, IDOK);
              return true;
          }) {}
    std::vector<std::string> seen;
    DialogDriver driver;
};

// Pumps this thread's messages through the application, as its message loop does,
// until the queue is empty. False when WM_QUIT came.
bool PumpApplication() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!theApp.PumpMessage()) return false;
    }
    return true;
}

class TrayAppTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitCommonControls();
        AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_HIDE);
    }

    void SetUp() override {
        RemoveHandlerKeys();
    }

    void TearDown() override {
        if (Frame()) DestroyWindow(Frame()->GetSafeHwnd());
        theApp.m_pMainWnd = nullptr;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {}
        StopExplorerHook();
        RemoveHandlerKeys();
    }

    // Runs the start-up as the program does; the splash is closed at once.
    bool Start() {
        DialogLog dialogs(TEST_HERE);
        BOOL started = theApp.InitInstance();
        splash_ = dialogs.seen;
        return started && Frame();
    }

    // Start, with the splash's look at the library's version left out of the log.
    bool StartAndClearLog() {
        bool started = Start();
        std::string events = library_.Events();
        library_.ClearEvents();
        return started && events == "attach\ndetach\nattach\nactivate\n";
    }

    static CMainFrame* Frame() { return static_cast<CMainFrame*>(theApp.m_pMainWnd); }
    static HWND FrameWindow() { return Frame()->GetSafeHwnd(); }

    void Command(UINT id) {
        PostMessageA(FrameWindow(), WM_COMMAND, id, 0);
        PumpApplication();
    }

    testsupport::CleanSettings clean_;
    testsupport::LearnedTitles learned_;
    RegisteredHookLibrary library_;
    std::vector<std::string> splash_;
};

TEST_F(TrayAppTest, StartUpMakesAHiddenFrameWithTheIconRecordAndStartsTheHook) {
    ASSERT_TRUE(Start());
    ASSERT_EQ(1u, splash_.size());   // the About box, closed here at once

    EXPECT_EQ("Tolvard", WindowText(FrameWindow()));
    EXPECT_FALSE(IsWindowVisible(FrameWindow()));
    EXPECT_EQ(FindWindowA(nullptr, "Tolvard"), FrameWindow());
    // The splash reads the library's version, then the frame starts the hook.
    EXPECT_EQ("attach\ndetach\nattach\nactivate\n", library_.Events());

    const TrayIconRecord& record = Frame()->m_trayIcon.Record();
    EXPECT_EQ(sizeof(TrayIconRecord), record.cbSize);
    EXPECT_EQ(FrameWindow(), record.hWnd);
    EXPECT_EQ(101u, record.uID);
    EXPECT_EQ(static_cast<UINT>(WM_USER), record.uCallbackMessage);
    EXPECT_STREQ("Tolvard", record.szTip);
    // The null driver has no notification area: the failed add forgets the icon.
    EXPECT_EQ(nullptr, record.hIcon);
}

TEST_F(TrayAppTest, TipIsCutToItsFieldAndAFailedAddForgetsTheIcon) {
    ASSERT_TRUE(Start());
    CTrayIcon& icon = Frame()->m_trayIcon;
    HICON picture = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYICON));
    ASSERT_TRUE(picture);
    // No notification area here: the add fails and the record holds no icon afterwards.
    EXPECT_FALSE(icon.SetTrayIcon(picture, std::string(100, 'T').c_str()));
    EXPECT_EQ(std::string(63, 'T'), icon.Record().szTip);
    EXPECT_EQ(nullptr, icon.Record().hIcon);
    EXPECT_EQ(static_cast<UINT>(NIF_ICON | NIF_TIP | NIF_MESSAGE), icon.Record().uFlags);
    // Nothing shown, nothing to remove.
    EXPECT_TRUE(icon.SetTrayIcon(0u));
    // With no icon wanted, "TaskbarCreated" adds nothing.
    SendMessageA(FrameWindow(), WM_TASKBARCREATED, 0, 0);
    EXPECT_EQ(nullptr, icon.Record().hIcon);
    EXPECT_NE(0u, WM_TASKBARCREATED);
}

TEST_F(TrayAppTest, SecondStartEndsWhileAWindowTitledTolvardExists) {
    HWND other = CreateWindowExA(0, "STATIC", "Tolvard", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    EXPECT_FALSE(Start());
    EXPECT_EQ(1u, splash_.size());   // the splash still shows
    EXPECT_EQ(nullptr, Frame());
    EXPECT_EQ("attach\ndetach\n", library_.Events());   // the splash's version only
    DestroyWindow(other);
}

// On 64-bit Windows (this test program is 64-bit there) each switch changes the handler
// key in both registry views: the 64-bit Explorer's and the 32-bit programs'. A 32-bit
// Windows has one view, which KEY_WOW64_32KEY reads as well: the test holds on both.
TEST_F(TrayAppTest, SwitchesFlipTheirProfileValuesAndHandlerKeys) {
    ASSERT_TRUE(StartAndClearLog());
    // Keys left from before are emptied and removed by the first click.
    for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_32KEY)})
        testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kContextHandlerKey, "", contract::kClassIdText, true,
                                  view);
    for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_32KEY)})
        ASSERT_EQ(kClassId, HandlerKey(contract::kContextHandlerKey, view));

    struct Switch {
        UINT command;
        const char* setting;
        const char* handlerKey;
    };
    for (const Switch& flip : {Switch{ID_TOGGLE_CONTEXT, contract::kEnableContext, contract::kContextHandlerKey},
                               Switch{ID_TOGGLE_PROPERTY, contract::kEnableProperty, contract::kPropertyHandlerKey}}) {
        SCOPED_TRACE(flip.setting);
        Command(flip.command);
        EXPECT_EQ("0", Setting(flip.setting));
        EXPECT_EQ("<missing>", HandlerKey(flip.handlerKey));
        EXPECT_EQ("<missing>", HandlerKey(flip.handlerKey, KEY_WOW64_32KEY));
        Command(flip.command);
        EXPECT_EQ("1", Setting(flip.setting));
        EXPECT_EQ(kClassId, HandlerKey(flip.handlerKey));
        EXPECT_EQ(kClassId, HandlerKey(flip.handlerKey, KEY_WOW64_32KEY));
    }
    // The class registration is not touched.
    char path[MAX_PATH];
    EXPECT_EQ(1, FindExtensionPath(path, sizeof path));

    Command(ID_TOGGLE_EXPLORER);
    EXPECT_EQ("0", Setting(contract::kEnableExplorer));
    EXPECT_EQ("deactivate\ndetach\n", library_.Events());
    EXPECT_FALSE(IsExplorerHookLoaded());
    Command(ID_TOGGLE_EXPLORER);
    EXPECT_EQ("1", Setting(contract::kEnableExplorer));
    EXPECT_EQ("deactivate\ndetach\nattach\nactivate\n", library_.Events());
}

// The states the tray menu's items had while it was open.
struct MenuSnapshot {
    std::vector<std::string> items;   // "text[checked]" per item
    UINT defaultItem = static_cast<UINT>(-1);
};

MenuSnapshot* g_snapshot = nullptr;

void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !g_snapshot) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
    if (!menu) return;
    for (int index = 0; index < GetMenuItemCount(menu); ++index) {
        char text[64] = {};
        GetMenuStringA(menu, index, text, sizeof text, MF_BYPOSITION);
        UINT state = text[0] ? GetMenuState(menu, index, MF_BYPOSITION) : 0;   // separators: no state
        g_snapshot->items.push_back(std::string(text) + ((state & MF_CHECKED) ? "[x]" : "") +
                                    ((state & MF_GRAYED) ? "[grey]" : ""));
    }
    g_snapshot->defaultItem = GetMenuDefaultItem(menu, TRUE, 0);
    KillTimer(nullptr, timer);
    EndMenu();
}

TEST_F(TrayAppTest, RightClickShowsTheMenuWithCheckMarksFromTheProfile) {
    ASSERT_TRUE(Start());
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableProperty, 0);
    // EnableContext missing: on. EnableExplorer 256: on, as the hook control reads it.
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, 256);

    MenuSnapshot snapshot;
    g_snapshot = &snapshot;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadOpenMenu);
    LRESULT handled = SendMessageA(FrameWindow(), WM_USER, 101, WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    g_snapshot = nullptr;

    EXPECT_EQ(0, handled);   // the frame's own answer; the hook's is not passed on
    EXPECT_EQ((std::vector<std::string>{"&About Tolvard...", "", "&context menu extention[x]",
                                        "&property sheet extension", "&Explorer extension[x]", "",
                                        "&options", "", "E&xit Tolvard"}),
              snapshot.items);
    EXPECT_EQ(0u, snapshot.defaultItem);
}

TEST_F(TrayAppTest, DoubleClickOpensTheAboutBoxOtherMouseEventsDoNothing) {
    ASSERT_TRUE(Start());
    DialogLog dialogs(TEST_HERE);
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE}) {
        SendMessageA(FrameWindow(), WM_USER, 101, mouse);
    }
    // Another icon's double click is not ours.
    SendMessageA(FrameWindow(), WM_USER, 102, WM_LBUTTONDBLCLK);
    testsupport::PumpMessages(300);
    EXPECT_TRUE(dialogs.seen.empty());

    EXPECT_EQ(1, Frame()->m_trayIcon.HandleTrayEvent(101, WM_LBUTTONDBLCLK));
    EXPECT_EQ(1u, dialogs.seen.size());
    EXPECT_EQ(0, Frame()->m_trayIcon.HandleTrayEvent(101, WM_LBUTTONDOWN));
}

TEST_F(TrayAppTest, AboutAndOptionsCommandsOpenTheirDialogsOwnedByTheFrame) {
    ASSERT_TRUE(Start());
    std::vector<std::string> seen;
    DialogDriver driver(TEST_HERE, DialogDriver::AnyDialog(), [&](HWND dialog) {
        seen.push_back(WindowText(dialog) + (GetWindow(dialog, GW_OWNER) == FrameWindow() ? " (frame)" : ""));
        PostCommand(dialog, IDCANCEL);
        return true;
    });
    Command(ID_APP_ABOUT);
    Command(ID_OPTIONS);
    EXPECT_EQ((std::vector<std::string>{"About Tolvard (frame)", "Notavell Options (frame)"}), seen);
}

TEST_F(TrayAppTest, PingThreadMessageShowsAPingBox) {
    ASSERT_TRUE(Start());
    DialogLog dialogs(TEST_HERE);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 1, 0, 0);
    PumpApplication();
    EXPECT_EQ((std::vector<std::string>{"Tolvard:Ping"}), dialogs.seen);
}

TEST_F(TrayAppTest, ExitDestroysTheFrameAndStopsTheHook) {
    ASSERT_TRUE(StartAndClearLog());
    HWND frame = FrameWindow();
    PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    bool quit = false;
    for (int turns = 0; turns < 100 && !quit; ++turns) quit = !PumpApplication();
    EXPECT_TRUE(quit);   // the main window's end ends the message loop
    EXPECT_FALSE(IsWindow(frame));
    theApp.m_pMainWnd = nullptr;
    EXPECT_EQ("deactivate\ndetach\n", library_.Events());
    EXPECT_FALSE(IsExplorerHookLoaded());
}

}  // namespace
