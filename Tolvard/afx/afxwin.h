// The framework's window classes: command targets with message maps, windows,
// frames, dialogs with data exchange, and the application object.
#pragma once

#include <windows.h>

#include "afx.h"
#include "afxmsg.h"
#include "afxres.h"

class CWinApp;
class CWnd;
class CDataExchange;

// ---------------------------------------------------------------------------
// Command targets: objects with a message map.

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Runs the handler for command nID with notification nCode (CN_COMMAND, or
    // CN_UPDATE_COMMAND_UI with the CCmdUI in pExtra). With a non-null pHandlerInfo
    // it only answers whether there is a handler. TRUE when handled.
    virtual BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, void* pHandlerInfo);

    // Runs the handler of a plain message (not WM_COMMAND) from the message map.
    BOOL DispatchFromMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The entry of the table chain starting at pMap that handles the message (and,
// for WM_COMMAND, the notification code and command id); nullptr when none does.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode,
                                            UINT nID);

// The state of one menu item while its menu is about to open.
class CCmdUI {
public:
    CCmdUI();

    UINT m_nID;          // the item's command id
    UINT m_nIndex;       // its position in m_hMenu
    HMENU m_hMenu;       // the menu that holds it
    BOOL m_bEnableChanged;

    virtual ~CCmdUI() {}
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 clear, 1 check

    // Asks pTarget's handlers for the item's state. Without a handler, and with
    // bDisableIfNoHandler, the item is enabled exactly when its command has a handler.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};

// ---------------------------------------------------------------------------
// Windows.

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    ~CWnd() override;   // destroys a window that is still attached

    HWND m_hWnd;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a window: a permanent one, or for FromHandle a
    // temporary one that lives until the message loop's next turn.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();

    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Routes the window's messages through this object's message map; the
    // procedure it had before gets what the map does not handle.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                          HWND hWndParent, HMENU hMenu, LPVOID lpParam = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual BOOL DestroyWindow();

    // Thin wrappers of the window functions.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL ShowWindow(int nCmdShow);
    void UpdateWindow();
    void SetWindowText(LPCSTR lpszString);
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    CWnd* GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, LPCSTR lpszString);
    DWORD GetStyle() const;
    void Invalidate(BOOL bErase = TRUE);
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);
    CWnd* GetParent() const;
    CWnd* GetTopLevelParent() const;
    CWnd* SetFocus();
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL SetForegroundWindow();
    HFONT GetFont() const;
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // The message being handled on this thread (see AfxGetCurrentMessage).
    static const MSG* GetCurrentMessage();

    // Message dispatch: WindowProc hands a message to the map (OnWndMsg) and,
    // when nothing handles it, to DefWindowProc (the procedure the window had).
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called after the window's last message; a heap object deletes itself here.
    virtual void PostNcDestroy();

    // The default handling of the message being handled now.
    LRESULT Default();

    // Handlers of the ON_WM_* entries; each one's default is the window's own.
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnClose();
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnLButtonDown(UINT nFlags, POINT point);
    LRESULT OnNcHitTest(POINT point);

protected:
    // A colour request of child hWndChild: its object, if it has ON_WM_CTLCOLOR_REFLECT,
    // answers with a brush. FALSE when the child leaves it to the parent.
    BOOL ReflectCtlColor(HWND hWndChild, HDC hDC, UINT nCtlColor, LRESULT* pResult);

    WNDPROC m_pfnSuper;   // the procedure the window had before this object took it

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};

// The window procedure of every window the framework created or subclassed.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Hands a message to pWnd with the thread's current-message record set to it, and
// puts the record back afterwards.
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The thread's record of the message being handled: window, message, wParam,
// lParam, time and cursor point. Saved and restored around every message the
// framework dispatches, so that a nested message leaves the outer one's record.
MSG* AfxGetCurrentMessage();

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    CStatic() {}
};

class CFont : public CObject {
    DECLARE_DYNAMIC(CFont)
public:
    CFont() : m_hObject(nullptr) {}
    ~CFont() override;

    HFONT m_hObject;
    operator HFONT() const { return m_hObject; }
    HFONT GetSafeHandle() const { return m_hObject; }

    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    BOOL DeleteObject();
};

// ---------------------------------------------------------------------------
// Frames.

#define FWS_ADDTOTITLE 0x00008000L   // frame style bit: the title carries a document name

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();

    // Creates the frame from resource set nIDResource: the title is the first
    // newline-separated field of its string, the menu is required, the icon and
    // accelerator table are used when present. On failure the frame object has
    // already deleted itself (as after a destroyed window) and FALSE comes back.
    virtual BOOL LoadFrame(UINT nIDResource,
                           DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, void* pContext = nullptr);

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // Commands go to the frame's own table first, then to the application's.
    BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, void* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override;   // deletes the frame

    BOOL m_bAutoMenuEnable;   // items without a command handler are disabled
    HACCEL m_hAccelTable;

    // Sets each item's state through the update handlers before a popup opens.
    void OnInitMenuPopup(HMENU hPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnClose();
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------
// Dialogs and data exchange.

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog modally and returns the value given to EndDialog (-1 when
    // the dialog could not be made). Without a parent, the main window owns it.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Runs DoDataExchange: TRUE reads the controls into the members (and checks
    // them), FALSE puts the members into the controls. FALSE when a check failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();   // UpdateData(FALSE); TRUE: focus on the first tab stop
    virtual void OnOK();           // UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel();       // EndDialog(IDCANCEL)
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    UINT m_nIDHelp;
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    BOOL m_bInModalLoop;
    INT_PTR m_nModalResult;

    DECLARE_MESSAGE_MAP()
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;   // TRUE: controls to members
    CWnd* m_pDlgWnd;
    BOOL m_bFail;              // a check failed: later exchanges do nothing
    int m_idLastControl;
    BOOL m_bEditLastControl;

    HWND PrepareCtrl(int nIDC);       // remembers the control for Fail
    HWND PrepareEditCtrl(int nIDC);
    // Marks the exchange failed and puts the focus back on the last control
    // (an edit gets its text selected).
    void Fail();
};

// Each one with the framework's message on bad input, and the focus back on the field.
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);

// ---------------------------------------------------------------------------
// The application.

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    // Without a name the application takes string AFX_IDS_APP_TITLE, else the
    // program's file name. There is one application object per program.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance;
    LPSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCSTR m_pszAppName;
    LPCSTR m_pszExeName;
    LPCSTR m_pszRegistryKey;   // set by SetRegistryKey
    LPCSTR m_pszProfileName;
    CWnd* m_pMainWnd;
    UINT m_nNumPreviewPages;   // read by LoadStdProfileSettings
    MSG m_msgCur;

    virtual BOOL InitInstance();
    virtual int Run();            // the message loop; ends with ExitInstance's result
    virtual int ExitInstance();   // the exit code of WM_QUIT
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    BOOL PumpMessage();           // one message; FALSE on WM_QUIT

    // Profile values go to HKEY_CURRENT_USER\Software\<key>\<application>\<section>.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    // The value as a REG_DWORD, or nDefault when it is missing or of another kind.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    BOOL Enable3dControls();   // the system draws dialogs in 3D already: nothing to do

    // The ID_APP_EXIT command: closes the main window.
    void OnAppExit();

    // Program file name and application name (AfxWinInit calls it).
    void InitNames();

protected:
    // HKEY_CURRENT_USER\Software\<key>\<application>\<section>, opened (and, for
    // writing, created); nullptr when there is no registry key or it fails.
    HKEY GetSectionKey(LPCSTR lpszSection, BOOL bCreate);

    DECLARE_MESSAGE_MAP()

private:
    CString m_strAppName;
    CString m_strExeName;
    CString m_strRegistryKey;
};

// Sets the application's instance, command line and names; AfxWinMain calls it,
// and so can a test program that has no WinMain.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// WinMain's work: AfxWinInit, then InitInstance, Run and ExitInstance of the application.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
LPCSTR AfxGetAppName();

// A message box owned by the active window of the program, with the application's
// name as its caption.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
