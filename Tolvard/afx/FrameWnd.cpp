// CFrameWnd: a frame made from a resource set (menu, icon, accelerators, title), command
// routing from the frame to the application, and the update of its menus' items.
#include <stdio.h>
#include <string.h>

#include "afximpl.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_INITMENUPOPUP()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() : m_bAutoMenuEnable(TRUE), m_hAccelTable(nullptr) {}

namespace {
// One window class per frame icon, with AfxWndProc as its procedure.
LPCSTR RegisterFrameClass(UINT nIDResource, char (&name)[32]) {
    HINSTANCE instance = AfxGetInstanceHandle();
    snprintf(name, sizeof name, "AfxFrame:%u", nIDResource);
    WNDCLASSA existing;
    if (GetClassInfoA(instance, name, &existing)) return name;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) ? name : nullptr;
}
}  // namespace

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, void*) {
    // The title is the string's first field; the rest are document fields, unused here.
    CString title;
    title.LoadString(nIDResource);
    if (LPCSTR newline = strchr(title, '\n')) {
        CString first;
        int length = static_cast<int>(newline - static_cast<LPCSTR>(title));
        if (LPSTR buffer = first.GetBuffer(length)) {
            memcpy(buffer, static_cast<LPCSTR>(title), length);
            first.ReleaseBuffer(length);
        }
        title = first;
    }

    char className[32];
    HMENU menu = LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
    if (!menu || !RegisterFrameClass(nIDResource, className)) {
        if (menu) DestroyMenu(menu);
        PostNcDestroy();
        return FALSE;
    }
    m_hAccelTable = LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));

    HWND parent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    if (!CreateEx(0, className, title, dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, parent, menu)) {
        // CreateEx has ended the object (PostNcDestroy); only the menu is left to free.
        if (IsMenu(menu)) DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) { return CWnd::PreCreateWindow(cs); }

BOOL CFrameWnd::OnCmdMsg(UINT nID, UINT nCode, void* pExtra, void* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (m_hAccelTable && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg) != 0;
    return FALSE;
}

void CFrameWnd::PostNcDestroy() { delete this; }

void CFrameWnd::OnInitMenuPopup(HMENU hPopupMenu, UINT, BOOL bSysMenu) {
    if (bSysMenu) return;   // the system menu keeps its own states
    CCmdUI state;
    state.m_hMenu = hPopupMenu;
    int count = GetMenuItemCount(hPopupMenu);
    for (int index = 0; index < count; ++index) {
        UINT id = GetMenuItemID(hPopupMenu, index);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;   // separator or submenu
        state.m_nID = id;
        state.m_nIndex = static_cast<UINT>(index);
        // System commands (0xF000 and up) are left alone.
        state.DoUpdate(this, m_bAutoMenuEnable && id < 0xF000);
    }
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::OnDestroy() {
    // The accelerator table came from a resource and needs no freeing; a menu of the
    // window goes with it.
    Default();
}
