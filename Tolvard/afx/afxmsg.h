// Message maps. A class that handles messages writes DECLARE_MESSAGE_MAP() in its
// declaration and a table in its source file:
//
//   BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
//       ON_WM_CREATE()
//       ON_COMMAND(ID_APP_ABOUT, OnShowAbout)
//       ON_UPDATE_COMMAND_UI(ID_SWITCH, OnUpdateSwitch)
//       ON_REGISTERED_MESSAGE(WM_TASKBARCREATED, OnTaskbarCreated)
//   END_MESSAGE_MAP()
//
// Each entry cracks its message once into the handler's typed arguments; a message
// without an entry goes to the base class's table, and at the end of the chain to
// the window's default procedure. Handlers are named bare (OnShowAbout) or with a
// base class (CWinApp::OnAppExit).
#pragma once

#include <windows.h>

class CCmdTarget;
class CCmdUI;
class CWnd;

// Calls the handler: the object, the message's two parameters, and the CCmdUI of
// an update request. The result is the message's result (TRUE for commands).
typedef LRESULT (*AFX_PMSG)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, void* pExtra);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;             // window message; WM_COMMAND for commands; 0 ends the table
    UINT nCode;                // CN_COMMAND, CN_UPDATE_COMMAND_UI or a notification code
    UINT nID;                  // first command id
    UINT nLastID;              // last command id
    const UINT* pnRegistered;  // registered message: where its number is kept
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();   // nullptr for CCmdTarget's own table
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define CN_COMMAND               0u           // a command (menu, accelerator, button click)
#define CN_UPDATE_COMMAND_UI     0xFFFFFFFFu  // the state of a command's menu item is asked for
#define AFX_WM_REGISTERED        0xC000u      // nMessage of ON_REGISTERED_MESSAGE entries
#define WM_REFLECT_BASE          0xBC00u      // a parent hands a message back to its child
#define AFX_WM_CTLCOLOR          0x0019u      // WM_CTLCOLOR* as one message, for reflection

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static_assert(sizeof(ThisClass) > 0, ""); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, 0, nullptr, nullptr}}; \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap; \
    }

// One entry for window message msg; `call` is the handler call on `self`.
#define AFX_WINDOW_ENTRY(msg, call) \
    {(msg), 0, 0, 0, nullptr, \
     [](CCmdTarget* target, WPARAM wParam, LPARAM lParam, void*) -> LRESULT { \
         ThisClass* self = static_cast<ThisClass*>(target); \
         (void)wParam; (void)lParam; (void)self; \
         call; \
     }},

// Commands and their menu-item state: void memberFxn(); void memberFxn(CCmdUI*).
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, \
     [](CCmdTarget* target, WPARAM, LPARAM, void*) -> LRESULT { \
         static_cast<ThisClass*>(target)->memberFxn(); \
         return TRUE; \
     }},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), nullptr, \
     [](CCmdTarget* target, WPARAM, LPARAM, void* pExtra) -> LRESULT { \
         static_cast<ThisClass*>(target)->memberFxn(static_cast<CCmdUI*>(pExtra)); \
         return TRUE; \
     }},

// Any message: LRESULT memberFxn(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) \
    AFX_WINDOW_ENTRY(message, return self->memberFxn(wParam, lParam))
// A message number from RegisterWindowMessage, kept in a UINT variable:
// LRESULT memberFxn(WPARAM, LPARAM).
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    {AFX_WM_REGISTERED, 0, 0, 0, &(nMessageVariable), \
     [](CCmdTarget* target, WPARAM wParam, LPARAM lParam, void*) -> LRESULT { \
         return static_cast<ThisClass*>(target)->memberFxn(wParam, lParam); \
     }},
// A message posted to the thread with no window (in the application's table):
// void memberFxn(WPARAM, LPARAM).
#define ON_THREAD_MESSAGE(message, memberFxn) \
    AFX_WINDOW_ENTRY(message, self->memberFxn(wParam, lParam); return 0)

// Window messages with their usual handlers.
#define ON_WM_CREATE() \
    AFX_WINDOW_ENTRY(WM_CREATE, return self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
#define ON_WM_DESTROY() AFX_WINDOW_ENTRY(WM_DESTROY, self->OnDestroy(); return 0)
#define ON_WM_NCDESTROY() AFX_WINDOW_ENTRY(WM_NCDESTROY, self->OnNcDestroy(); return 0)
#define ON_WM_CLOSE() AFX_WINDOW_ENTRY(WM_CLOSE, self->OnClose(); return 0)
#define ON_WM_TIMER() \
    AFX_WINDOW_ENTRY(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(wParam)); return 0)
#define ON_WM_SETCURSOR() \
    AFX_WINDOW_ENTRY(WM_SETCURSOR, \
        return self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                 LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_LBUTTONDOWN() \
    AFX_WINDOW_ENTRY(WM_LBUTTONDOWN, \
        self->OnLButtonDown(static_cast<UINT>(wParam), AfxPointFromLParam(lParam)); return 0)
#define ON_WM_NCHITTEST() \
    AFX_WINDOW_ENTRY(WM_NCHITTEST, return self->OnNcHitTest(AfxPointFromLParam(lParam)))
#define ON_WM_INITMENUPOPUP() \
    AFX_WINDOW_ENTRY(WM_INITMENUPOPUP, \
        self->OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam)); \
        return 0)
// The colour request of a child control, handed back to the control by its parent:
// HBRUSH CtlColor(HDC, UINT nCtlColor). A null brush leaves the colours to the parent.
#define ON_WM_CTLCOLOR_REFLECT() \
    AFX_WINDOW_ENTRY(WM_REFLECT_BASE + AFX_WM_CTLCOLOR, \
        return reinterpret_cast<LRESULT>( \
            self->CtlColor(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam))))

inline POINT AfxPointFromLParam(LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return point;
}
