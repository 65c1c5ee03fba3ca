// The application object: start-up, the splash, and the tray menu's commands.
#pragma once

#include "afx/afxwin.h"

class CTolvardApp : public CWinApp {
public:
    CTolvardApp();

    BOOL InitInstance() override;

    // Runs the About box; closeTime in milliseconds, 0: it stays until closed.
    void ShowAboutBox(UINT closeTime);

    void OnPing(WPARAM wParam, LPARAM lParam);
    void OnShowAbout();
    void OnUpdateContextMenu(CCmdUI* pCmdUI);
    void OnToggleContextMenu();
    void OnUpdatePropertySheet(CCmdUI* pCmdUI);
    void OnTogglePropertySheet();
    void OnUpdateExplorer(CCmdUI* pCmdUI);
    void OnToggleExplorer();
    void OnOptions();

    DECLARE_MESSAGE_MAP()
};
