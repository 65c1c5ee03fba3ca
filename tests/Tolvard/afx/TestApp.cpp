// The framework tests' application object and frame (TestApp.h).
#include "TestApp.h"

#include "AfxTestIds.h"

CTestApp theTestApp;

namespace {
// The names come from the resources, as in a program's WinMain.
struct InitApp {
    InitApp() { AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW); }
} g_initApp;
}  // namespace

UINT g_testRegisteredMessage = RegisterWindowMessageA("AfxTestRegisteredMessage");

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_THREAD_MESSAGE(WM_USER + 1, OnPing)
    ON_COMMAND(ID_APP_COMMAND, OnAppCommand)
    ON_UPDATE_COMMAND_UI(ID_APP_COMMAND, OnUpdateAppCommand)
    ON_COMMAND(ID_BOTH_COMMAND, OnBothInApp)
    ON_UPDATE_COMMAND_UI(ID_BOTH_COMMAND, OnUpdateBoth)
END_MESSAGE_MAP()

int CTestFrame::liveFrames = 0;
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_FRAME_COMMAND, OnFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_FRAME_COMMAND, OnUpdateFrameCommand)
    ON_COMMAND(ID_BOTH_COMMAND, OnBothInFrame)
    ON_UPDATE_COMMAND_UI(ID_BOTH_COMMAND, OnUpdateBoth)
    ON_MESSAGE(WM_APP, OnApp)
    ON_MESSAGE(WM_APP + 1, OnAppPlusOne)
    ON_REGISTERED_MESSAGE(g_testRegisteredMessage, OnRegistered)
END_MESSAGE_MAP()

LRESULT CTestFrame::OnApp(WPARAM wParam, LPARAM lParam) {
    lastMessage = WM_APP;
    lastWParam = wParam;
    lastLParam = lParam;
    if (onApp) {
        onApp(this);
        recordSeenAfterNested = *GetCurrentMessage();
    }
    return 10;
}

IMPLEMENT_DYNCREATE(CDerivedFrame, CTestFrame)

BEGIN_MESSAGE_MAP(CDerivedFrame, CTestFrame)
    ON_MESSAGE(WM_APP, OnAppInDerived)
END_MESSAGE_MAP()
