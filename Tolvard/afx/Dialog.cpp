// CDialog: modal dialogs made from a resource, run in a modal loop of their own so
// that their messages go through the message maps, with data exchange at OK.
#include "afximpl.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd),
      m_bInModalLoop(FALSE), m_nModalResult(-1) {}

// The dialog manager calls this for the dialog's own messages once our window
// procedure has passed them on; only WM_INITDIALOG is ours to answer here.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) {
        // The first message of a dialog that DoModal is making: take its window over,
        // so that the rest of its messages go through AfxWndProc and the message maps.
        AFX_THREAD_STATE* state = AfxGetThreadState();
        if (!state->m_pWndInit) return FALSE;
        pWnd = state->m_pWndInit;
        state->m_pWndInit = nullptr;
        if (!pWnd->SubclassWindow(hWnd)) return FALSE;
        if (message == WM_INITDIALOG) {
            // Taken over by this very message: it did not pass through AfxWndProc.
            return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam) ? TRUE : FALSE;
        }
        return FALSE;
    }
    if (message != WM_INITDIALOG) return FALSE;
    CDialog* pDialog = DYNAMIC_DOWNCAST(CDialog, pWnd);
    return pDialog ? pDialog->OnInitDialog() : TRUE;
}

INT_PTR CDialog::DoModal() {
    // The owner: the given parent, else the main window's active popup (a dialog
    // opened from a dialog belongs to that one).
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        if (CWnd* pMain = AfxGetMainWnd()) owner = ::GetLastActivePopup(pMain->m_hWnd);
    }
    BOOL enableOwner = FALSE;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        enableOwner = TRUE;
    }

    m_nModalResult = -1;
    m_bInModalLoop = TRUE;   // EndDialog in OnInitDialog ends the dialog at once
    AfxGetThreadState()->m_pWndInit = this;
    HWND hWnd = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                   AfxDlgProc, 0);
    AfxGetThreadState()->m_pWndInit = nullptr;

    if (hWnd && m_hWnd == hWnd) {
        if (!::IsWindowVisible(hWnd)) ::ShowWindow(hWnd, SW_SHOWNORMAL);
        MSG msg;
        while (m_bInModalLoop && m_hWnd) {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                PostQuitMessage(static_cast<int>(msg.wParam));   // for the outer loop
                break;
            }
            CWinApp* pApp = AfxGetApp();
            if (pApp && msg.hwnd == nullptr && pApp->PreTranslateMessage(&msg)) continue;
            if (PreTranslateMessage(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    m_bInModalLoop = FALSE;

    if (enableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    } else if (hWnd && ::IsWindow(hWnd)) {
        ::DestroyWindow(hWnd);
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bInModalLoop = FALSE;
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);   // wakes the modal loop
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    // Tab, arrows, Enter and Escape of the dialog's controls.
    if (m_hWnd && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::IsDialogMessageA(m_hWnd, pMsg);
    return FALSE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFail;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;   // the exchange has shown its message
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
