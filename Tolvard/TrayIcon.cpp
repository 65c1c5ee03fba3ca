// The icon in the notification area (TrayIcon.h): its record for the shell, the mouse
// events that reach the notification window, the menu, and the icon put back after
// Explorer restarts.
#include "TrayIcon.h"

#include <shellapi.h>
#include <string.h>

IMPLEMENT_DYNAMIC(CTrayIcon, CCmdTarget)

LRESULT CTrayNotifyHook::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_pOwner->m_record.uCallbackMessage && m_hWndHooked == m_pOwner->m_record.hWnd)
        m_pOwner->HandleTrayEvent(wParam, lParam);
    else if (message == WM_TASKBARCREATED)
        m_pOwner->RestoreAfterTaskbarRestart(wParam, lParam);
    return CSubclassWnd::HandleMessage(message, wParam, lParam);
}

CTrayIcon::CTrayIcon(UINT id) {
    ZeroMemory(&m_record, sizeof m_record);
    m_record.cbSize = sizeof m_record;
    m_record.uID = id;
    m_notifyHook.m_pOwner = this;
    m_parentHook.m_pOwner = this;
    LoadTip(id);
}

CTrayIcon::~CTrayIcon() { SetTrayIcon(0u); }

void CTrayIcon::LoadTip(UINT resourceId) {
    // At most 63 characters and the zero; a missing string leaves an empty tip.
    m_record.szTip[0] = '\0';
    LoadStringA(AfxGetResourceHandle(), resourceId, m_record.szTip, sizeof m_record.szTip);
}

void CTrayIcon::AttachNotifyWindow(CWnd* pNotifyWnd, UINT callbackMessage) {
    HWND window = pNotifyWnd ? pNotifyWnd->GetSafeHwnd() : nullptr;
    m_record.hWnd = window;
    m_record.uCallbackMessage = callbackMessage;
    m_notifyHook.AttachToWindow(window);
    CWnd* topLevel = pNotifyWnd ? pNotifyWnd->GetTopLevelParent() : nullptr;
    if (topLevel && topLevel->GetSafeHwnd() != window) m_parentHook.AttachToWindow(topLevel->GetSafeHwnd());
}

BOOL CTrayIcon::SetTrayIcon(UINT resourceId) {
    if (resourceId == 0) return SetTrayIcon(static_cast<HICON>(nullptr), nullptr);
    LoadTip(resourceId);
    // The small picture of the icon resource, as the notification area shows it.
    HICON icon = static_cast<HICON>(LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    return SetTrayIcon(icon, nullptr);
}

BOOL CTrayIcon::SetTrayIcon(HICON icon, LPCSTR tip) {
    m_record.uFlags = 0;
    DWORD operation;
    m_wantedIcon = icon;
    if (icon) {
        operation = m_record.hIcon ? NIM_MODIFY : NIM_ADD;
        m_record.hIcon = icon;
        m_record.uFlags = NIF_ICON;
    } else {
        if (!m_record.hIcon) return TRUE;
        operation = NIM_DELETE;
    }
    if (tip) lstrcpynA(m_record.szTip, tip, sizeof m_record.szTip);
    if (m_record.szTip[0]) m_record.uFlags |= NIF_TIP;
    if (m_record.uCallbackMessage && m_record.hWnd) m_record.uFlags |= NIF_MESSAGE;

    BOOL result = Shell_NotifyIconA(operation, reinterpret_cast<PNOTIFYICONDATAA>(&m_record));
    if (operation == NIM_DELETE || !result) m_record.hIcon = nullptr;
    return result;
}

LRESULT CTrayIcon::HandleTrayEvent(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != m_record.uID) return 0;
    if (mouseMessage != WM_RBUTTONUP && mouseMessage != WM_LBUTTONDBLCLK) return 0;

    HMENU menu = LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_record.uID));
    if (!menu) return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        return 0;
    }
    if (mouseMessage == WM_RBUTTONUP) {
        SetMenuDefaultItem(popup, 0, TRUE);
        POINT cursor = {};
        GetCursorPos(&cursor);
        SetForegroundWindow(m_record.hWnd);
        TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, m_record.hWnd, nullptr);
    } else {
        SendMessageA(m_record.hWnd, WM_COMMAND, GetMenuItemID(popup, 0), 0);
    }
    DestroyMenu(menu);
    return 1;
}

LRESULT CTrayIcon::RestoreAfterTaskbarRestart(WPARAM, LPARAM) {
    HICON icon = m_record.hIcon ? m_record.hIcon : m_wantedIcon;
    m_record.hIcon = nullptr;
    if (icon) SetTrayIcon(icon, nullptr);
    return 0;
}
