// The application object and a frame of the framework tests.
#pragma once

#include "afxwin.h"

class CTestApp : public CWinApp {
public:
    int appCommands = 0;
    int bothInApp = 0;
    int appCheck = 0;
    int pings = 0;
    WPARAM pingWParam = 0;
    LPARAM pingLParam = 0;

    void OnAppCommand() { ++appCommands; }
    void OnBothInApp() { ++bothInApp; }
    void OnUpdateAppCommand(CCmdUI* ui) { ui->SetCheck(appCheck); }
    void OnUpdateBoth(CCmdUI* ui) { ui->SetCheck(1); }   // never reached: the frame's wins
    void OnPing(WPARAM wParam, LPARAM lParam) {
        ++pings;
        pingWParam = wParam;
        pingLParam = lParam;
    }

    DECLARE_MESSAGE_MAP()
};

extern CTestApp theTestApp;

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
public:
    CTestFrame() { ++liveFrames; }
    ~CTestFrame() override { --liveFrames; }
    static int liveFrames;

    int creates = 0;
    int frameCommands = 0;
    int bothInFrame = 0;
    int frameCheck = 0;
    UINT lastMessage = 0;
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;
    // Called inside the WM_APP handler (for nesting tests).
    void (*onApp)(CTestFrame*) = nullptr;
    MSG recordSeenAfterNested = {};

    int OnCreate(LPCREATESTRUCT cs) {
        ++creates;
        return CFrameWnd::OnCreate(cs);
    }
    void OnFrameCommand() { ++frameCommands; }
    void OnBothInFrame() { ++bothInFrame; }
    void OnUpdateFrameCommand(CCmdUI* ui) { ui->SetCheck(frameCheck); }
    void OnUpdateBoth(CCmdUI* ui) { ui->SetCheck(0); }
    LRESULT OnApp(WPARAM wParam, LPARAM lParam);
    LRESULT OnAppPlusOne(WPARAM wParam, LPARAM lParam) {
        lastMessage = WM_APP + 1;
        lastWParam = wParam;
        lastLParam = lParam;
        return 11;
    }
    LRESULT OnRegistered(WPARAM wParam, LPARAM) { return 1000 + static_cast<LRESULT>(wParam); }

    DECLARE_MESSAGE_MAP()
};

// Derived once more: its own table first, then CTestFrame's, CFrameWnd's, CWnd's.
class CDerivedFrame : public CTestFrame {
    DECLARE_DYNCREATE(CDerivedFrame)
public:
    LRESULT OnAppInDerived(WPARAM, LPARAM) { return 22; }
    DECLARE_MESSAGE_MAP()
};

extern UINT g_testRegisteredMessage;

// A frame made from resource set IDR_TESTFRAME, or nullptr.
template <class Frame>
Frame* MakeFrame() {
    Frame* frame = new Frame;
    return frame->LoadFrame(128) ? frame : nullptr;
}
