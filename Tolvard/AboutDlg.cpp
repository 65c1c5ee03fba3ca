// The About box (AboutDlg.h): the versions it shows, the library of the other registry
// view on 64-bit Windows, its two links and the timer that ends the splash.
#include "AboutDlg.h"

#include <stdio.h>

#include <new>

#include "HookControl.h"
#include "RegistryViews.h"
#include "StaticLink.h"
#include "resource-dialogs.h"
#include "Version.h"

const AboutLink kAboutLinks[] = {
    {IDC_WEB_LINK, nullptr},   // the control shows the web address and opens it
    {IDC_MAIL_LINK, "mailto:tolvard@varnoke.test"},
};
const UINT kAboutLinkCount = sizeof kAboutLinks / sizeof kAboutLinks[0];

BEGIN_MESSAGE_MAP(CAboutDialog, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

void FormatDllVersion(DWORD version, char (&text)[16]) {
    snprintf(text, sizeof text, "%2d.%02d", static_cast<int>(LOWORD(version) & 0xFF),
             static_cast<int>(HIWORD(version)));
}

CAboutDialog::CAboutDialog(const AboutLink* links, UINT linkCount, UINT closeTime)
    : CDialog(IDD_ABOUTBOX), m_timerId(0), m_links(links), m_linkCount(linkCount),
      m_closeTime(closeTime) {}

BOOL CAboutDialog::OnInitDialog() {
    // The links delete themselves when the dialog's controls are destroyed.
    for (UINT i = 0; i < m_linkCount; ++i) {
        CStaticLink* link = new (std::nothrow) CStaticLink(m_links[i].target, TRUE);
        if (link && !link->SubclassDlgItem(m_links[i].controlId, this)) delete link;
    }
    CDialog::OnInitDialog();

    SetDlgItemText(IDC_PROGRAM_VERSION, TOLVARD_VERSION_SHORT);

    char text[16];
    char path[MAX_PATH];
    if (FindExtensionPath(path, sizeof path)) {
        FormatDllVersion(GetDllVersion(path), text);
        SetDlgItemText(IDC_TOLVANE_VERSION, text);
    }
    FormatDllVersion(GetDllVersion("comctl32.dll"), text);
    SetDlgItemText(IDC_COMCTL_VERSION, text);
    ShowOtherLibrary();

    if (m_closeTime != 0) m_timerId = SetTimer(ABOUT_TIMER_ID, m_closeTime, nullptr);
    return TRUE;
}

// On 64-bit Windows both libraries are installed, each registered in its own view.
// The other one cannot be loaded into this process: its version resource tells.
void CAboutDialog::ShowOtherLibrary() {
    REGSAM other = OtherRegistryView();
    if (!other) {
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_OTHER_TOLVANE_LABEL), SW_HIDE);
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_OTHER_TOLVANE_VERSION), SW_HIDE);
        return;
    }
    bool sixtyFourBit = IsSixtyFourBitProcess(GetCurrentProcess());
    SetDlgItemText(IDC_TOLVANE_LABEL, sixtyFourBit ? "Tolvane.DLL (64-bit):" : "Tolvane.DLL (32-bit):");
    SetDlgItemText(IDC_OTHER_TOLVANE_LABEL, sixtyFourBit ? "Tolvane.DLL (32-bit):" : "Tolvane.DLL (64-bit):");
    char path[MAX_PATH];
    if (FindExtensionPathInView(path, sizeof path, other)) {
        char text[16];
        FormatDllVersion(GetFileVersionNumber(path), text);
        SetDlgItemText(IDC_OTHER_TOLVANE_VERSION, text);
    }
}

void CAboutDialog::OnTimer(UINT_PTR nIDEvent) {
    CDialog::OnTimer(nIDEvent);
    if (nIDEvent == ABOUT_TIMER_ID) EndDialog(-1);
}

BOOL CAboutDialog::DestroyWindow() {
    if (m_timerId) {
        KillTimer(m_timerId);
        m_timerId = 0;
    }
    return CDialog::DestroyWindow();
}
