// CWnd: a window object attached to a handle, the handle map, subclassing, and the
// default handling of the messages the maps leave alone.
#include <new>

#include "afximpl.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        // The window outlives its object: destroy it, or it would reach a dead object.
        // Derived classes' OnDestroy and PostNcDestroy are no longer reachable here.
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd) Detach();
}

// ---------------------------------------------------------------------------
// Handle maps

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    void* pObject = nullptr;
    if (!hWnd || !AfxPermanentWindowMap().Lookup(hWnd, pObject)) return nullptr;
    return static_cast<CWnd*>(pObject);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
    void* pObject = nullptr;
    if (AfxTemporaryWindowMap().Lookup(hWnd, pObject)) return static_cast<CWnd*>(pObject);
    CWnd* pTemp = new (std::nothrow) CWnd;
    if (!pTemp) return nullptr;
    if (!AfxTemporaryWindowMap().SetAt(hWnd, pTemp)) {
        delete pTemp;
        return nullptr;
    }
    pTemp->m_hWnd = hWnd;
    return pTemp;
}

void CWnd::DeleteTempMap() {
    CMapPtrToPtr& temps = AfxTemporaryWindowMap();
    POSITION pos = temps.GetStartPosition();
    while (pos) {
        void* key;
        void* value;
        temps.GetNextAssoc(pos, key, value);
        CWnd* pTemp = static_cast<CWnd*>(value);
        pTemp->m_hWnd = nullptr;   // a temporary object never owns its window
        delete pTemp;
    }
    temps.RemoveAll();
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!hWndNew || m_hWnd) return FALSE;
    if (!AfxPermanentWindowMap().SetAt(hWndNew, this)) return FALSE;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd) {
        void* pObject = nullptr;
        if (AfxPermanentWindowMap().Lookup(hWnd, pObject) && pObject == this)
            AfxPermanentWindowMap().RemoveKey(hWnd);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || FromHandlePermanent(hWnd) || !Attach(hWnd)) return FALSE;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    if (!old) {   // not a window of this process
        Detach();
        return FALSE;
    }
    m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (!pParent || !pParent->m_hWnd) return FALSE;
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd && m_pfnSuper)
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---------------------------------------------------------------------------
// Creation and destruction

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&) { return TRUE; }

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                    LPVOID lpParam) {
    CREATESTRUCTA cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = hMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }

    AFX_THREAD_STATE* state = AfxGetThreadState();
    state->m_pWndInit = this;
    HWND hWnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                cs.lpCreateParams);
    if (state->m_pWndInit == this) {
        // No message reached the object: it never had a window, so end it here.
        state->m_pWndInit = nullptr;
        PostNcDestroy();
        return FALSE;
    }
    // Otherwise a failed creation has already sent WM_NCDESTROY (and PostNcDestroy).
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

void CWnd::OnNcDestroy() {
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        // The main window is gone: the program's message loop ends.
        PostQuitMessage(0);
        pApp->m_pMainWnd = nullptr;
    }
    WNDPROC ours = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    Default();
    // Put the previous procedure back if nobody replaced ours meanwhile.
    if (m_pfnSuper && m_pfnSuper != ::DefWindowProcA &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == ours)
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    Detach();
    PostNcDestroy();
}

// ---------------------------------------------------------------------------
// Message dispatch

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC &&
        ReflectCtlColor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                        message - WM_CTLCOLORMSGBOX, pResult))
        return TRUE;
    return DispatchFromMap(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectCtlColor(HWND hWndChild, HDC hDC, UINT nCtlColor, LRESULT* pResult) {
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild || pChild == this) return FALSE;
    LRESULT brush = 0;
    if (!pChild->DispatchFromMap(WM_REFLECT_BASE + AFX_WM_CTLCOLOR, reinterpret_cast<WPARAM>(hDC),
                                 nCtlColor, &brush) ||
        !brush)
        return FALSE;
    *pResult = brush;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    // Menus and accelerators (code 0 and 1) are plain commands.
    if (nCode == 1) nCode = CN_COMMAND;
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG* pMsg = AfxGetCurrentMessage();
    return DefWindowProc(pMsg->message, pMsg->wParam, pMsg->lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
LRESULT CWnd::OnNcHitTest(POINT) { return Default(); }

// ---------------------------------------------------------------------------
// Wrappers

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
void CWnd::SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

void CWnd::GetWindowText(CString& rString) const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    LPSTR buffer = rString.GetBuffer(length);
    if (!buffer) return;
    int got = ::GetWindowTextA(m_hWnd, buffer, length + 1);
    rString.ReleaseBuffer(got);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
void CWnd::SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::GetTopLevelParent() const {
    HWND hWnd = m_hWnd;
    if (!hWnd) return nullptr;
    // Up the parents of child windows; a top-level window is its own top-level parent.
    while (GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) {
        HWND parent = ::GetParent(hWnd);
        if (!parent) break;
        hWnd = parent;
    }
    return FromHandle(hWnd);
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)); }
int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}
