#include "AboutDlg.h"

#include <stdio.h>

#include <new>

#include "HookControl.h"
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

    if (m_closeTime != 0) m_timerId = SetTimer(ABOUT_TIMER_ID, m_closeTime, nullptr);
    return TRUE;
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
