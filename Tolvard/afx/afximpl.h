// Internals shared by the framework's source files.
#pragma once

#include "afxwin.h"

// Per-thread state: the current-message record and the window being created.
struct AFX_THREAD_STATE {
    MSG m_lastSentMsg;
    CWnd* m_pWndInit;   // the next unknown window that reaches AfxWndProc/AfxDlgProc is this one
};
AFX_THREAD_STATE* AfxGetThreadState();

// Window handle to object: the permanent objects and the temporary ones of FromHandle.
CMapPtrToPtr& AfxPermanentWindowMap();
CMapPtrToPtr& AfxTemporaryWindowMap();
