// The window procedure that hands messages to the objects, and the per-thread state
// it keeps.
#include "afximpl.h"

namespace {
thread_local AFX_THREAD_STATE t_threadState;
}

AFX_THREAD_STATE* AfxGetThreadState() { return &t_threadState; }

MSG* AfxGetCurrentMessage() { return &t_threadState.m_lastSentMsg; }

const MSG* CWnd::GetCurrentMessage() { return AfxGetCurrentMessage(); }

CMapPtrToPtr& AfxPermanentWindowMap() {
    static CMapPtrToPtr map;
    return map;
}

CMapPtrToPtr& AfxTemporaryWindowMap() {
    static CMapPtrToPtr map;
    return map;
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG& current = t_threadState.m_lastSentMsg;
    MSG saved = current;
    current.hwnd = hWnd;
    current.message = message;
    current.wParam = wParam;
    current.lParam = lParam;
    current.time = static_cast<DWORD>(GetMessageTime());
    DWORD pos = GetMessagePos();
    current.pt.x = static_cast<short>(LOWORD(pos));
    current.pt.y = static_cast<short>(HIWORD(pos));

    // After WM_NCDESTROY pWnd may be gone (PostNcDestroy deletes heap objects).
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);

    current = saved;
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) {
        // The first message of a window that CWnd::CreateEx is making.
        pWnd = t_threadState.m_pWndInit;
        if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
        t_threadState.m_pWndInit = nullptr;
        pWnd->Attach(hWnd);
        pWnd->m_pfnSuper = ::DefWindowProcA;
    }
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}
