// The application object (TolvardApp.h): start-up with the splash and the single
// instance, and the tray menu's commands and their check marks.
#include "TolvardApp.h"

#include "AboutDlg.h"
#include "Contract.h"
#include "HookControl.h"
#include "MainFrame.h"
#include "OptionsDlg.h"
#include "RegistrySettings.h"
#include "ShellHandlerKeys.h"
#include "TrayIcon.h"
#include "resource.h"

// Registered before InitInstance runs, so that the frame's hooks know it from the start.
const UINT WM_TASKBARCREATED = RegisterWindowMessageA("TaskbarCreated");

namespace {

// A switch's menu item: checked while the switch is on. Its one reader is the one
// the hook control asks too, so the menu and the column never disagree.
void ShowSwitch(CCmdUI* pCmdUI, FeatureSwitch feature) {
    pCmdUI->SetCheck(IsSwitchOn(feature));
    pCmdUI->Enable(TRUE);
}

// Turns a switch over and returns its new state. The value is written first,
// whatever happens afterwards to what the switch controls.
bool FlipSwitch(FeatureSwitch feature) {
    bool on = !IsSwitchOn(feature);
    WriteSwitch(feature, on);
    return on;
}

}  // namespace

BEGIN_MESSAGE_MAP(CTolvardApp, CWinApp)
    ON_THREAD_MESSAGE(WM_USER + 1, OnPing)
    ON_COMMAND(ID_APP_ABOUT, OnShowAbout)
    ON_UPDATE_COMMAND_UI(ID_TOGGLE_CONTEXT, OnUpdateContextMenu)
    ON_COMMAND(ID_TOGGLE_CONTEXT, OnToggleContextMenu)
    ON_UPDATE_COMMAND_UI(ID_TOGGLE_PROPERTY, OnUpdatePropertySheet)
    ON_COMMAND(ID_TOGGLE_PROPERTY, OnTogglePropertySheet)
    ON_UPDATE_COMMAND_UI(ID_TOGGLE_EXPLORER, OnUpdateExplorer)
    ON_COMMAND(ID_TOGGLE_EXPLORER, OnToggleExplorer)
    ON_COMMAND(ID_OPTIONS, OnOptions)
END_MESSAGE_MAP()

CTolvardApp::CTolvardApp() {}

BOOL CTolvardApp::InitInstance() {
    ShowAboutBox(5000);
    // One instance per desktop: any top-level window titled "Tolvard" counts.
    if (FindWindowA(nullptr, "Tolvard")) return FALSE;
    Enable3dControls();
    SetRegistryKey(TOLVARD_VENDOR);   // the profile: TOLVARD_KEY
    LoadStdProfileSettings(0);

    CMainFrame* frame = new CMainFrame;
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr))
        return FALSE;   // the frame has deleted itself
    // As designed: the frame is hidden and updated before and again after it becomes
    // the main window; it is never shown, only its messages and the icon matter.
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();
    m_pMainWnd = frame;
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();
    return TRUE;
}

void CTolvardApp::ShowAboutBox(UINT closeTime) {
    CAboutDialog about(kAboutLinks, kAboutLinkCount, closeTime);
    about.DoModal();
}

void CTolvardApp::OnPing(WPARAM, LPARAM) { AfxMessageBox("Ping", MB_OK); }

void CTolvardApp::OnShowAbout() { ShowAboutBox(0); }

void CTolvardApp::OnUpdateContextMenu(CCmdUI* pCmdUI) { ShowSwitch(pCmdUI, kContextMenuSwitch); }

void CTolvardApp::OnToggleContextMenu() {
    if (FlipSwitch(kContextMenuSwitch))
        RegisterShellHandler(kContextMenuHandlers);
    else
        UnregisterShellHandler(kContextMenuHandlers);
}

void CTolvardApp::OnUpdatePropertySheet(CCmdUI* pCmdUI) { ShowSwitch(pCmdUI, kPropertyPageSwitch); }

void CTolvardApp::OnTogglePropertySheet() {
    if (FlipSwitch(kPropertyPageSwitch))
        RegisterShellHandler(kPropertySheetHandlers);
    else
        UnregisterShellHandler(kPropertySheetHandlers);
}

void CTolvardApp::OnUpdateExplorer(CCmdUI* pCmdUI) { ShowSwitch(pCmdUI, kExplorerSwitch); }

void CTolvardApp::OnToggleExplorer() {
    if (FlipSwitch(kExplorerSwitch))
        StartExplorerHook();
    else
        StopExplorerHook();
}

void CTolvardApp::OnOptions() {
    COptionsDialog options;
    options.DoModal();
}
