// The program's icon in the notification area: its record for the shell, the mouse
// callbacks caught on the notification window, the tray menu, and the icon's return
// after Explorer restarts.
#pragma once

#include "SubclassWnd.h"
#include "afx/afxwin.h"

// NOTIFYICONDATAA as every shell since Windows 95 knows it: 88 bytes on 32-bit Windows.
// The headers' own structure has grown since, so the first version is spelt out here.
struct TrayIconRecord {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};
#if !defined(_WIN64)
static_assert(sizeof(TrayIconRecord) == 88, "NOTIFYICONDATAA of the first shell");
#endif
static_assert(sizeof(TrayIconRecord) == NOTIFYICONDATAA_V1_SIZE, "NOTIFYICONDATAA of the first shell");

// The registered "TaskbarCreated" message: Explorer broadcasts it when its taskbar is
// (re)created.
extern const UINT WM_TASKBARCREATED;

class CTrayIcon;

// Hooks a window for its tray icon: hands the icon's callbacks and "TaskbarCreated" to it.
class CTrayNotifyHook : public CSubclassWnd {
public:
    CTrayIcon* m_pOwner = nullptr;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CTrayIcon : public CCmdTarget {
    DECLARE_DYNAMIC(CTrayIcon)
public:
    explicit CTrayIcon(UINT id);
    ~CTrayIcon() override;   // removes the icon

    // The window that gets the icon's callback message; hooked, with its top-level
    // parent when that is another window.
    void AttachNotifyWindow(CWnd* pNotifyWnd, UINT callbackMessage);
    // Shows icon and tip resource id; 0 removes the icon.
    BOOL SetTrayIcon(UINT resourceId);
    // Adds, changes or removes (no icon) the icon; a tip of at most 63 characters.
    BOOL SetTrayIcon(HICON icon, LPCSTR tip);

    // The menu on a right click, its first command on a double click. 1 when it acted.
    virtual LRESULT HandleTrayEvent(WPARAM iconId, LPARAM mouseMessage);
    // Adds the icon again if it was shown, or wanted but refused (no taskbar yet). 0.
    virtual LRESULT RestoreAfterTaskbarRestart(WPARAM wParam, LPARAM lParam);

    const TrayIconRecord& Record() const { return m_record; }

private:
    TrayIconRecord m_record;
    // The icon last asked for, also when the shell refused it: a program started before
    // the taskbar exists gets its icon when "TaskbarCreated" comes.
    HICON m_wantedIcon = nullptr;
    CTrayNotifyHook m_notifyHook;
    CTrayNotifyHook m_parentHook;

    void LoadTip(UINT resourceId);
    friend class CTrayNotifyHook;
};
