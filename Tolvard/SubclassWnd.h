// Lets ordinary objects see a window's messages before its own procedure does.
// Several objects may hook one window: the newest sees a message first and passes
// it on (HandleMessage of this base) to the next older one, the oldest to the
// procedure the window had before it was hooked. Only windows of the calling thread.
#pragma once

#include "afx/afxwin.h"

class CSubclassWnd : public CObject {
    DECLARE_DYNAMIC(CSubclassWnd)
public:
    CSubclassWnd();
    ~CSubclassWnd() override;   // unhooks first

    // With a window: becomes its newest hook (an object hooking another window is
    // unhooked from that one first). With nullptr: unhooks. FALSE only when the
    // window's procedure cannot be replaced (a window of another process).
    BOOL AttachToWindow(HWND hWnd);
    // Passes the message on along the chain; derived classes override it, do their
    // work and call this to pass the message on.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes the message being handled right now on along the chain (this class's
    // HandleMessage, not an override).
    LRESULT PassCurrentMessage();

    HWND GetHookedWindow() const { return m_hWndHooked; }

protected:
    HWND m_hWndHooked;
    WNDPROC m_pfnOriginal;
    CSubclassWnd* m_pNextHook;

    friend LRESULT CALLBACK SubclassHookProc(HWND, UINT, WPARAM, LPARAM);
};

// The one procedure installed in hooked windows.
LRESULT CALLBACK SubclassHookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The process-wide map from a hooked window to its newest hook.
CMapPtrToPtr& HookMap();
