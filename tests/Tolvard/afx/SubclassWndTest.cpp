// The subclass chain of CSubclassWnd on real windows of this thread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SubclassWnd.h"
#include "TestApp.h"
#include "DialogDriver.h"
#include "WindowControls.h"

namespace {

// Who saw which message, in order: "new", "old" or "window".
std::vector<std::string> g_seen;
std::vector<MSG> g_windowMessages;

LRESULT CALLBACK PlainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP || message == WM_NCDESTROY) {
        g_seen.push_back("window");
        MSG msg = {hWnd, message, wParam, lParam, 0, {0, 0}};
        g_windowMessages.push_back(msg);
        if (message >= WM_APP) return 1000 + static_cast<LRESULT>(wParam);
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class CRecordingHook : public CSubclassWnd {
public:
    explicit CRecordingHook(const char* name) : name_(name) {}
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCDESTROY || message >= WM_APP) g_seen.push_back(name_);
        if (message == WM_APP + 5) return 5;   // kept: not passed on
        if (message == WM_APP + 6 && opensBox) {
            // A message box while the message is handled; meanwhile another message
            // comes in. Then the message being handled is passed on.
            AfxMessageBox("Hooked");
            return PassCurrentMessage();
        }
        return CSubclassWnd::HandleMessage(message, wParam, lParam);
    }
    WNDPROC Original() const { return m_pfnOriginal; }
    CSubclassWnd* Next() const { return m_pNextHook; }
    bool opensBox = false;

private:
    std::string name_;
};

class SubclassChain : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PlainWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SubclassChainTest";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "SubclassChainTest", "chain", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, window);
        g_seen.clear();
        g_windowMessages.clear();
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
    }
    WNDPROC Procedure() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }
    CSubclassWnd* Head() const {
        void* head = nullptr;
        return HookMap().Lookup(window, head) ? static_cast<CSubclassWnd*>(head) : nullptr;
    }
    HWND window = nullptr;
};

TEST_F(SubclassChain, NewestHookSeesMessagesFirstThenOlderThenTheWindow) {
    CRecordingHook older("old"), newer("new");
    EXPECT_TRUE(older.AttachToWindow(window));
    EXPECT_TRUE(newer.AttachToWindow(window));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(SubclassHookProc), Procedure());
    EXPECT_EQ(&newer, Head());
    EXPECT_EQ(&older, newer.Next());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(PlainWindowProc), newer.Original());
    EXPECT_EQ(newer.Original(), older.Original());

    EXPECT_EQ(1003, SendMessageA(window, WM_APP, 3, 0));
    EXPECT_EQ((std::vector<std::string>{"new", "old", "window"}), g_seen);
    g_seen.clear();
    EXPECT_EQ(5, SendMessageA(window, WM_APP + 5, 0, 0));   // the newest keeps it
    EXPECT_EQ(std::vector<std::string>{"new"}, g_seen);
}

TEST_F(SubclassChain, UnhookingTheOlderLeavesTheNewerAsHead) {
    CRecordingHook older("old"), newer("new");
    older.AttachToWindow(window);
    newer.AttachToWindow(window);
    EXPECT_TRUE(older.AttachToWindow(nullptr));
    EXPECT_EQ(nullptr, older.GetHookedWindow());
    EXPECT_EQ(&newer, Head());
    EXPECT_EQ(nullptr, newer.Next());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(SubclassHookProc), Procedure());
    SendMessageA(window, WM_APP, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"new", "window"}), g_seen);
}

TEST_F(SubclassChain, UnhookingTheNewerMakesTheOlderTheHeadAndTheLastRestoresTheProcedure) {
    CRecordingHook older("old"), newer("new");
    older.AttachToWindow(window);
    newer.AttachToWindow(window);
    newer.AttachToWindow(nullptr);
    EXPECT_EQ(&older, Head());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(SubclassHookProc), Procedure());
    SendMessageA(window, WM_APP, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"old", "window"}), g_seen);

    older.AttachToWindow(nullptr);
    EXPECT_EQ(nullptr, Head());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(PlainWindowProc), Procedure());
    EXPECT_EQ(nullptr, older.Original());
}

TEST_F(SubclassChain, DestroyedWindowDetachesEveryHookBeforeItsProcedureSeesNcDestroy) {
    CRecordingHook older("old"), newer("new");
    older.AttachToWindow(window);
    newer.AttachToWindow(window);
    DestroyWindow(window);
    EXPECT_EQ(std::vector<std::string>{"window"}, g_seen);   // no hook saw WM_NCDESTROY
    ASSERT_FALSE(g_windowMessages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), g_windowMessages.back().message);
    EXPECT_EQ(nullptr, older.GetHookedWindow());
    EXPECT_EQ(nullptr, newer.GetHookedWindow());
    EXPECT_EQ(nullptr, newer.Original());
    EXPECT_EQ(nullptr, Head());
    // The destructors that follow find nothing to undo.
}

TEST_F(SubclassChain, DestroyingAHookObjectUnhooksItAndAnotherWindowMovesIt) {
    {
        CRecordingHook temporary("temp");
        temporary.AttachToWindow(window);
    }
    EXPECT_EQ(nullptr, Head());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(PlainWindowProc), Procedure());

    HWND second = CreateWindowExA(0, "SubclassChainTest", "second", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, second);
    CRecordingHook hook("hook");
    hook.AttachToWindow(window);
    hook.AttachToWindow(second);   // leaves the first window's chain first
    EXPECT_EQ(reinterpret_cast<WNDPROC>(PlainWindowProc), Procedure());
    EXPECT_EQ(nullptr, Head());
    EXPECT_EQ(second, hook.GetHookedWindow());
    DestroyWindow(second);
    EXPECT_EQ(nullptr, hook.GetHookedWindow());

    EXPECT_FALSE(hook.AttachToWindow(GetDesktopWindow()));   // not ours to subclass
    EXPECT_EQ(nullptr, hook.GetHookedWindow());
}

TEST_F(SubclassChain, PassCurrentMessageAfterANestedMessageBoxPassesTheOuterMessage) {
    CRecordingHook older("old"), newer("new");
    older.AttachToWindow(window);
    newer.AttachToWindow(window);
    newer.opensBox = true;
    static HWND s_window;
    s_window = window;
    std::string boxText;
    testsupport::DialogDriver driver(TEST_HERE, testsupport::DialogDriver::Titled("AfxTest", "#32770"), [&](HWND box) {
        boxText = testsupport::MessageBoxText(box);
        SendMessageA(s_window, WM_APP + 1, 7, 8);   // goes through the chain meanwhile

        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    EXPECT_EQ(1001, SendMessageA(window, WM_APP + 6, 1, 2));
    EXPECT_EQ("Hooked", boxText);
    EXPECT_EQ((std::vector<std::string>{"new", "new", "old", "window", "old", "window"}), g_seen);
    ASSERT_EQ(2u, g_windowMessages.size());
    EXPECT_EQ(static_cast<UINT>(WM_APP + 1), g_windowMessages[0].message);
    EXPECT_EQ(static_cast<UINT>(WM_APP + 6), g_windowMessages[1].message);
    EXPECT_EQ(1u, g_windowMessages[1].wParam);
    EXPECT_EQ(2, g_windowMessages[1].lParam);
}

TEST(SubclassFrame, HookedFrameLosesItsHooksThenEndsItsObject) {
    CTestFrame* frame = MakeFrame<CTestFrame>();
    ASSERT_NE(nullptr, frame);
    HWND hWnd = frame->m_hWnd;
    WNDPROC framework = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    CRecordingHook hook("hook");
    hook.AttachToWindow(hWnd);
    g_seen.clear();
    EXPECT_EQ(10, SendMessageA(hWnd, WM_APP, 0, 0));   // through the hook to the frame's map
    EXPECT_EQ(std::vector<std::string>{"hook"}, g_seen);
    EXPECT_EQ(framework, hook.Original());
    frame->DestroyWindow();
    EXPECT_EQ(0, CTestFrame::liveFrames);
    EXPECT_EQ(nullptr, hook.GetHookedWindow());
}

}  // namespace
