// The hidden main frame: owner of the tray icon; its lifetime brackets the Explorer hook.
#pragma once

#include "TrayIcon.h"
#include "afx/afxwin.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();

    CTrayIcon m_trayIcon;

    DECLARE_MESSAGE_MAP()
};
