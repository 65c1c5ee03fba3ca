// CSubclassWnd (SubclassWnd.h): the map of hooked windows to their newest hook, and the
// window procedure that hands a message down the chain of hooks.
#include "SubclassWnd.h"

IMPLEMENT_DYNAMIC(CSubclassWnd, CObject)

CMapPtrToPtr& HookMap() {
    static CMapPtrToPtr map(10);
    return map;
}

namespace {
CSubclassWnd* HeadOf(HWND hWnd) {
    void* head = nullptr;
    return HookMap().Lookup(hWnd, head) ? static_cast<CSubclassWnd*>(head) : nullptr;
}

// Takes the window's chain apart from the newest hook to the oldest.
void RemoveAllHooks(HWND hWnd) {
    while (CSubclassWnd* head = HeadOf(hWnd)) head->AttachToWindow(nullptr);
}
}  // namespace

CSubclassWnd::CSubclassWnd() : m_hWndHooked(nullptr), m_pfnOriginal(nullptr), m_pNextHook(nullptr) {}

CSubclassWnd::~CSubclassWnd() {
    if (m_hWndHooked) AttachToWindow(nullptr);
}

BOOL CSubclassWnd::AttachToWindow(HWND hWnd) {
    if (hWnd) {
        // One window at a time: a hook moving to another window leaves the old chain first.
        if (m_hWndHooked) AttachToWindow(nullptr);
        CSubclassWnd* older = HeadOf(hWnd);
        if (!HookMap().SetAt(hWnd, this)) return FALSE;
        m_pNextHook = older;
        if (older) {
            m_pfnOriginal = older->m_pfnOriginal;
        } else {
            m_pfnOriginal = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassHookProc)));
            if (!m_pfnOriginal) {
                // Not a window of this process (or no window at all): stay unhooked.
                HookMap().RemoveKey(hWnd);
                m_pNextHook = nullptr;
                return FALSE;
            }
        }
        m_hWndHooked = hWnd;
        return TRUE;
    }

    if (m_hWndHooked) {
        CSubclassWnd* head = HeadOf(m_hWndHooked);
        if (head != this) {
            // Somewhere behind the head: unlink, the map and the procedure stay.
            for (CSubclassWnd* hook = head; hook; hook = hook->m_pNextHook) {
                if (hook->m_pNextHook == this) {
                    hook->m_pNextHook = m_pNextHook;
                    break;
                }
            }
        } else if (m_pNextHook) {
            HookMap().SetAt(m_hWndHooked, m_pNextHook);
        } else {
            HookMap().RemoveKey(m_hWndHooked);
            SetWindowLongPtrA(m_hWndHooked, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOriginal));
        }
        m_pfnOriginal = nullptr;
        m_pNextHook = nullptr;
    }
    m_hWndHooked = nullptr;
    return TRUE;
}

LRESULT CSubclassWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pNextHook) return m_pNextHook->HandleMessage(message, wParam, lParam);
    if (!m_pfnOriginal) return ::DefWindowProcA(m_hWndHooked, message, wParam, lParam);
    return CallWindowProcA(m_pfnOriginal, m_hWndHooked, message, wParam, lParam);
}

LRESULT CSubclassWnd::PassCurrentMessage() {
    // This class's own version: an override that passes the message on this way
    // must not get it back.
    const MSG* current = AfxGetCurrentMessage();
    return CSubclassWnd::HandleMessage(current->message, current->wParam, current->lParam);
}

LRESULT CALLBACK SubclassHookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG* current = AfxGetCurrentMessage();
    MSG saved = *current;
    current->hwnd = hWnd;
    current->message = message;
    current->wParam = wParam;
    current->lParam = lParam;

    LRESULT result;
    CSubclassWnd* head = HeadOf(hWnd);
    if (!head) {
        // Nobody hooks the window any more (someone kept our procedure): default handling.
        result = ::DefWindowProcA(hWnd, message, wParam, lParam);
    } else if (message == WM_NCDESTROY) {
        // The hooks let go of the window before its own procedure sees its last message.
        WNDPROC original = head->m_pfnOriginal;
        RemoveAllHooks(hWnd);
        result = CallWindowProcA(original, hWnd, message, wParam, lParam);
    } else {
        result = head->HandleMessage(message, wParam, lParam);
    }

    *current = saved;
    return result;
}
