// AfxMessageBox: a message box modal to what the user sees, with the application's
// name as its caption, from a text or a string resource.
#include "afxwin.h"

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
    // The owner: the main window's active popup (a dialog in front of it), else the
    // thread's active window, so that the box is modal to what the user sees.
    HWND owner = nullptr;
    if (CWnd* pMain = AfxGetMainWnd()) owner = ::GetLastActivePopup(pMain->m_hWnd);
    if (!owner) owner = ::GetActiveWindow();
    return ::MessageBoxA(owner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
