// The hidden main frame (MainFrame.h): made, it puts the tray icon up and starts the
// Explorer hook; destroyed, it stops the hook.
#include "MainFrame.h"

#include "HookControl.h"
#include "resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_trayIcon(IDR_TRAYICON) {}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) { return CFrameWnd::PreCreateWindow(cs); }

int CMainFrame::OnCreate(LPCREATESTRUCT) {
    // The icon's callbacks come to this frame as WM_USER.
    m_trayIcon.AttachNotifyWindow(this, WM_USER);
    m_trayIcon.SetTrayIcon(IDR_TRAYICON);
    StartExplorerHook();
    // No view, status bar or tool bar: the framework's own creation handling is not wanted.
    return 0;
}

void CMainFrame::OnDestroy() {
    CFrameWnd::OnDestroy();
    StopExplorerHook();
}
