// Dialog data exchange: between a dialog's controls and its members, in both
// directions, with the framework's messages for bad input.
#include <stdio.h>

#include "afxwin.h"

namespace {
const char kParseUIntMessage[] = "Please enter a positive integer.";
const char kUIntRangeFormat[] = "Please enter an integer between %u and %u.";

// An unsigned decimal number with optional blanks around it; nothing else, and
// nothing above 4294967295.
bool ParseUInt(LPCSTR text, UINT* value) {
    while (*text == ' ' || *text == '\t') ++text;
    if (*text < '0' || *text > '9') return false;
    unsigned long long number = 0;
    while (*text >= '0' && *text <= '9') {
        number = number * 10 + static_cast<unsigned>(*text - '0');
        if (number > 0xFFFFFFFFull) return false;
        ++text;
    }
    while (*text == ' ' || *text == '\t') ++text;
    if (*text != '\0') return false;
    *value = static_cast<UINT>(number);
    return true;
}
}  // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_bFail(FALSE), m_idLastControl(0),
      m_bEditLastControl(FALSE) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail() {
    m_bFail = TRUE;
    if (!m_bSaveAndValidate) return;
    HWND hWndLast = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
    if (!hWndLast) return;
    ::SetFocus(hWndLast);
    if (m_bEditLastControl) ::SendMessageA(hWndLast, EM_SETSEL, 0, -1);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    if (pDX->m_bFail) return;
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (!hWndCtrl) return;
    if (pDX->m_bSaveAndValidate) {
        char text[64] = "";
        // Longer text than fits cannot be a number we accept.
        bool fits = ::GetWindowTextLengthA(hWndCtrl) < static_cast<int>(sizeof text);
        if (fits) ::GetWindowTextA(hWndCtrl, text, sizeof text);
        if (!fits || !ParseUInt(text, &value)) {
            AfxMessageBox(kParseUIntMessage);
            pDX->Fail();
        }
    } else {
        char text[16];
        snprintf(text, sizeof text, "%u", value);
        ::SetWindowTextA(hWndCtrl, text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    if (pDX->m_bFail) return;
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (!hWndCtrl) return;
    if (pDX->m_bSaveAndValidate) {
        int length = ::GetWindowTextLengthA(hWndCtrl);
        LPSTR buffer = value.GetBuffer(length);
        if (!buffer) return;
        value.ReleaseBuffer(::GetWindowTextA(hWndCtrl, buffer, length + 1));
    } else {
        ::SetWindowTextA(hWndCtrl, value);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->m_bFail) return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl) return;
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        // 0 clear, 1 checked, 2 indeterminate; anything else shows as clear.
        WPARAM state = (value >= 0 && value <= 2) ? static_cast<WPARAM>(value) : 0;
        ::SendMessageA(hWndCtrl, BM_SETCHECK, state, 0);
    }
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
    if (pDX->m_bFail || !pDX->m_bSaveAndValidate) return;   // checked only on the way in
    if (value >= minVal && value <= maxVal) return;
    char message[96];
    snprintf(message, sizeof message, kUIntRangeFormat, minVal, maxVal);
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    pDX->Fail();
}
