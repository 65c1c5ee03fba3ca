// Message maps, command routing from the frame to the application, menu-item
// updates, the current-message record and the application's loop, on real windows.
#include <gtest/gtest.h>

#include "AfxTestIds.h"
#include "TestApp.h"
#include "DialogDriver.h"
#include "WindowControls.h"

namespace {

TEST(RuntimeClass, NamesBasesAndDynamicCreation) {
    EXPECT_STREQ("CTestFrame", RUNTIME_CLASS(CTestFrame)->m_lpszClassName);
    EXPECT_TRUE(RUNTIME_CLASS(CDerivedFrame)->IsDerivedFrom(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(RUNTIME_CLASS(CWnd)->IsDerivedFrom(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CDialog)->CreateObject());   // not dynamically creatable

    CObject* made = RUNTIME_CLASS(CDerivedFrame)->CreateObject();
    ASSERT_NE(nullptr, made);
    EXPECT_STREQ("CDerivedFrame", made->GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CDialog, made));
    EXPECT_NE(nullptr, DYNAMIC_DOWNCAST(CTestFrame, made));
    delete made;
    EXPECT_EQ(0, CTestFrame::liveFrames);
}

TEST(PointerMap, ManyEntriesAcrossBlocksAndBuckets) {
    CMapPtrToPtr map(3);
    for (int i = 1; i <= 100; ++i) ASSERT_TRUE(map.SetAt(reinterpret_cast<void*>(i * 16), reinterpret_cast<void*>(i)));
    EXPECT_EQ(100, map.GetCount());
    ASSERT_TRUE(map.SetAt(reinterpret_cast<void*>(16), reinterpret_cast<void*>(7)));   // replaces
    EXPECT_EQ(100, map.GetCount());
    for (int i = 2; i <= 100; i += 2) EXPECT_TRUE(map.RemoveKey(reinterpret_cast<void*>(i * 16)));
    EXPECT_FALSE(map.RemoveKey(reinterpret_cast<void*>(32)));
    EXPECT_EQ(50, map.GetCount());

    int visited = 0;
    long long sum = 0;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        void* key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        ++visited;
        sum += reinterpret_cast<intptr_t>(value);
    }
    EXPECT_EQ(50, visited);
    EXPECT_EQ(7 + (3 + 99) * 49 / 2, sum);   // 7 for key 16, then 3, 5, ..., 99

    void* value = nullptr;
    EXPECT_TRUE(map.Lookup(reinterpret_cast<void*>(16), value));
    EXPECT_EQ(reinterpret_cast<void*>(7), value);
    EXPECT_FALSE(map.Lookup(reinterpret_cast<void*>(48 + 16), value));
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(nullptr, map.GetStartPosition());
}

TEST(String, CopiesLoadsAndBuffers) {
    CString text("abc");
    CString copy = text;
    copy += "def";
    EXPECT_STREQ("abc", text);
    EXPECT_STREQ("abcdef", copy);
    copy = copy;   // self-assignment keeps the text
    EXPECT_STREQ("abcdef", copy);
    EXPECT_TRUE(copy.LoadString(IDR_TESTFRAME));
    EXPECT_STREQ("Test Frame\n\nTest\n\n\nAfxTest.Document\nTest Document", copy);
    EXPECT_FALSE(copy.LoadString(4711));
    EXPECT_TRUE(copy.IsEmpty());
    LPSTR buffer = text.GetBuffer(10);
    ASSERT_NE(nullptr, buffer);
    lstrcpyA(buffer, "0123456789");
    text.ReleaseBuffer();
    EXPECT_EQ(10, text.GetLength());
    EXPECT_TRUE(text == "0123456789");
}

TEST(Frame, LoadFrameTakesTitleMenuAndNamesFromResources) {
    EXPECT_STREQ("AfxTest", AfxGetAppName());   // from string AFX_IDS_APP_TITLE
    CTestFrame* frame = MakeFrame<CTestFrame>();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(1, frame->creates);
    EXPECT_EQ(frame, CWnd::FromHandlePermanent(frame->m_hWnd));
    EXPECT_EQ("Test Frame", testsupport::WindowText(frame->m_hWnd));
    EXPECT_NE(nullptr, GetMenu(frame->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(frame->m_hWnd));
    EXPECT_EQ(frame, frame->GetTopLevelParent());

    HWND hWnd = frame->m_hWnd;
    frame->DestroyWindow();   // the frame deletes itself after its last message
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(0, CTestFrame::liveFrames);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(Frame, LoadFrameWithoutMenuFailsAndEndsTheObject) {
    CTestFrame* frame = new CTestFrame;
    EXPECT_FALSE(frame->LoadFrame(IDR_NOMENU));
    EXPECT_EQ(0, CTestFrame::liveFrames);
}

TEST(MessageMap, MostDerivedEntryWinsAndBaseEntriesAreReached) {
    CDerivedFrame* frame = MakeFrame<CDerivedFrame>();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(22, SendMessageA(frame->m_hWnd, WM_APP, 1, 2));        // CDerivedFrame's
    EXPECT_EQ(11, SendMessageA(frame->m_hWnd, WM_APP + 1, 3, 4));    // CTestFrame's
    EXPECT_EQ(WM_APP + 1, frame->lastMessage);
    EXPECT_EQ(3u, frame->lastWParam);
    EXPECT_EQ(4, frame->lastLParam);
    EXPECT_EQ(1005, SendMessageA(frame->m_hWnd, g_testRegisteredMessage, 5, 0));
    // Nobody's: the window's default procedure answers.
    char title[32] = "";
    EXPECT_EQ(10, SendMessageA(frame->m_hWnd, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)));
    EXPECT_STREQ("Test Frame", title);
    frame->DestroyWindow();
    EXPECT_EQ(0, CTestFrame::liveFrames);
}

TEST(CommandRouting, FrameFirstThenApplication) {
    CTestFrame* frame = MakeFrame<CTestFrame>();
    ASSERT_NE(nullptr, frame);
    theTestApp.appCommands = theTestApp.bothInApp = 0;

    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FRAME_COMMAND, 0);
    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_APP_COMMAND, 0);
    SendMessageA(frame->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_APP_COMMAND, 1), 0);   // accelerator
    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_BOTH_COMMAND, 0);
    EXPECT_EQ(0, SendMessageA(frame->m_hWnd, WM_COMMAND, ID_ORPHAN_COMMAND, 0));

    EXPECT_EQ(1, frame->frameCommands);
    EXPECT_EQ(2, theTestApp.appCommands);
    EXPECT_EQ(1, frame->bothInFrame);
    EXPECT_EQ(0, theTestApp.bothInApp);
    frame->DestroyWindow();
}

TEST(CommandRouting, MenuPopupGetsCheckMarksAndStatesFromUpdateHandlers) {
    CTestFrame* frame = MakeFrame<CTestFrame>();
    ASSERT_NE(nullptr, frame);
    HMENU popup = GetSubMenu(GetMenu(frame->m_hWnd), 0);
    ASSERT_NE(nullptr, popup);
    auto state = [popup](UINT id) { return GetMenuState(popup, id, MF_BYCOMMAND); };

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        frame->frameCheck = round;
        theTestApp.appCheck = 1 - round;
        SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, FALSE));
        EXPECT_EQ(round ? MF_CHECKED : 0u, state(ID_FRAME_COMMAND) & MF_CHECKED);
        EXPECT_EQ(round ? 0u : MF_CHECKED, state(ID_APP_COMMAND) & MF_CHECKED);
        EXPECT_EQ(0u, state(ID_BOTH_COMMAND) & MF_CHECKED);    // the frame's update handler
        EXPECT_EQ(0u, state(ID_APP_COMMAND) & MF_GRAYED);
        EXPECT_EQ(0u, state(ID_APP_EXIT) & MF_GRAYED);          // the application's exit command
        EXPECT_EQ(static_cast<UINT>(MF_GRAYED), state(ID_ORPHAN_COMMAND) & MF_GRAYED);   // no handler
    }
    frame->DestroyWindow();
}

TEST(CurrentMessage, NestedMessagesLeaveTheOuterRecord) {
    CTestFrame* frame = MakeFrame<CTestFrame>();
    ASSERT_NE(nullptr, frame);
    frame->onApp = [](CTestFrame* self) {
        SendMessageA(self->m_hWnd, WM_APP + 1, 77, 88);
        const MSG* inner = CWnd::GetCurrentMessage();
        EXPECT_EQ(static_cast<UINT>(WM_APP), inner->message);
    };
    SendMessageA(frame->m_hWnd, WM_APP + 0, 5, 6);   // CTestFrame itself handles WM_APP
    EXPECT_EQ(static_cast<UINT>(WM_APP), frame->recordSeenAfterNested.message);
    EXPECT_EQ(5u, frame->recordSeenAfterNested.wParam);
    EXPECT_EQ(6, frame->recordSeenAfterNested.lParam);
    EXPECT_EQ(frame->m_hWnd, frame->recordSeenAfterNested.hwnd);
    frame->DestroyWindow();
}

TEST(CurrentMessage, NestedMessageBoxLeavesTheOuterRecord) {
    CTestFrame* frame = MakeFrame<CTestFrame>();
    ASSERT_NE(nullptr, frame);
    static HWND s_frame;
    static std::string s_boxText;
    s_frame = frame->m_hWnd;
    s_boxText.clear();
    // While the box is open, another message reaches the frame; then the box closes.
    testsupport::DialogDriver driver(TEST_HERE, testsupport::DialogDriver::Titled("AfxTest", "#32770"), [](HWND box) {
        s_boxText = testsupport::MessageBoxText(box);
        SendMessageA(s_frame, WM_APP + 1, 9, 9);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    frame->onApp = [](CTestFrame*) { AfxMessageBox("Nested"); };
    SendMessageA(frame->m_hWnd, WM_APP, 1, 2);
    EXPECT_EQ("Nested", s_boxText);
    EXPECT_EQ(static_cast<UINT>(WM_APP + 1), frame->lastMessage);   // the nested one came in
    EXPECT_EQ(static_cast<UINT>(WM_APP), frame->recordSeenAfterNested.message);
    EXPECT_EQ(1u, frame->recordSeenAfterNested.wParam);
    EXPECT_EQ(2, frame->recordSeenAfterNested.lParam);
    frame->DestroyWindow();
}

TEST(Application, ThreadMessageReachesTheApplicationsTable) {
    theTestApp.pings = 0;
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_USER + 1, 12, 34));
    for (int i = 0; i < 50 && theTestApp.pings == 0; ++i) {
        MSG peek;
        if (!PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) break;
        theTestApp.PumpMessage();
    }
    EXPECT_EQ(1, theTestApp.pings);
    EXPECT_EQ(12u, theTestApp.pingWParam);
    EXPECT_EQ(34, theTestApp.pingLParam);
}

TEST(Application, ExitCommandClosesTheMainWindowAndEndsTheLoop) {
    CTestFrame* frame = MakeFrame<CTestFrame>();
    ASSERT_NE(nullptr, frame);
    theTestApp.m_pMainWnd = frame;
    HWND hWnd = frame->m_hWnd;
    PostMessageA(hWnd, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(0, theTestApp.Run());   // returns with WM_QUIT's code
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(nullptr, theTestApp.m_pMainWnd);
    EXPECT_EQ(0, CTestFrame::liveFrames);
}

TEST(Application, TemporaryWindowObjectsLastUntilTheLoopTurns) {
    HWND desktop = GetDesktopWindow();
    CWnd* temp = CWnd::FromHandle(desktop);
    ASSERT_NE(nullptr, temp);
    EXPECT_EQ(desktop, temp->m_hWnd);
    EXPECT_EQ(temp, CWnd::FromHandle(desktop));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(desktop));
    CWnd::DeleteTempMap();
    EXPECT_TRUE(IsWindow(desktop));   // a temporary object never destroys its window
}

}  // namespace
