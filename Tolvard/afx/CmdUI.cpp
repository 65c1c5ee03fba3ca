// CCmdUI: one menu item's state (enabled, checked) asked of the command targets while
// a menu opens.
#include "afxwin.h"

CCmdUI::CCmdUI() : m_nID(0), m_nIndex(0), m_hMenu(nullptr), m_bEnableChanged(FALSE) {}

void CCmdUI::Enable(BOOL bOn) {
    if (m_hMenu)
        EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
    if (m_hMenu)
        CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler) {
    if (m_nID == 0 || !pTarget) return TRUE;
    m_bEnableChanged = FALSE;
    BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHandler && !m_bEnableChanged) {
        int probe = 0;   // any non-null pointer: only ask whether a command handler exists
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, nullptr, &probe));
    }
    return handled;
}
