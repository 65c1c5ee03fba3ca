// CWinApp: the application object, its message loop, the profile functions over the
// registry and AfxWinInit.
#include <stdio.h>
#include <string.h>

#include "afximpl.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp* AfxGetApp() { return g_pApp; }
CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() {
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

LPCSTR AfxGetAppName() { return g_pApp && g_pApp->m_pszAppName ? g_pApp->m_pszAppName : ""; }

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_hInstance(nullptr), m_lpCmdLine(nullptr), m_nCmdShow(SW_SHOWNORMAL), m_pszAppName(nullptr),
      m_pszExeName(nullptr), m_pszRegistryKey(nullptr), m_pszProfileName(nullptr),
      m_pMainWnd(nullptr), m_nNumPreviewPages(0), m_msgCur() {
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return FALSE;
    pApp->m_hInstance = hInstance ? hInstance : GetModuleHandleA(nullptr);
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    pApp->InitNames();
    return TRUE;
}

void CWinApp::InitNames() {
    // The program's file name without folder and extension.
    char path[MAX_PATH] = "";
    GetModuleFileNameA(m_hInstance, path, sizeof path);
    LPSTR name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    if (LPSTR dot = strrchr(name, '.')) *dot = '\0';
    m_strExeName = name;
    m_pszExeName = m_strExeName;

    if (!m_pszAppName) {
        if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE)) m_strAppName = m_strExeName;
        m_pszAppName = m_strAppName;
    }
    if (!m_pszProfileName) m_pszProfileName = m_pszAppName;
}

BOOL CWinApp::InitInstance() { return TRUE; }

BOOL CWinApp::PumpMessage() {
    if (!GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;   // WM_QUIT
    if (!PreTranslateMessage(&m_msgCur)) {
        TranslateMessage(&m_msgCur);
        DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

int CWinApp::Run() {
    if (!m_pMainWnd) PostQuitMessage(0);   // nothing to wait for
    while (PumpMessage()) CWnd::DeleteTempMap();
    CWnd::DeleteTempMap();
    return ExitInstance();
}

int CWinApp::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == nullptr) {
        // A thread message: the application's table answers it.
        LRESULT ignored;
        if (DispatchFromMap(pMsg->message, pMsg->wParam, pMsg->lParam, &ignored)) return TRUE;
    }
    return m_pMainWnd && m_pMainWnd->m_hWnd && m_pMainWnd->PreTranslateMessage(pMsg);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

BOOL CWinApp::Enable3dControls() { return TRUE; }

// ---------------------------------------------------------------------------
// Profile

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    if (!m_pszProfileName) m_pszProfileName = m_pszAppName;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection, BOOL bCreate) {
    if (!m_pszRegistryKey || !*m_pszRegistryKey || !m_pszProfileName || !lpszSection) return nullptr;
    char path[512];
    int length = snprintf(path, sizeof path, "Software\\%s\\%s\\%s", m_pszRegistryKey,
                          m_pszProfileName, lpszSection);
    if (length < 0 || length >= static_cast<int>(sizeof path)) return nullptr;
    HKEY key = nullptr;
    LONG result = bCreate ? RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                          : RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    return result == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    HKEY key = GetSectionKey(lpszSection, FALSE);
    if (!key) return static_cast<UINT>(nDefault);
    DWORD value = 0, type = 0, size = sizeof value;
    LONG result = RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(nDefault);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    HKEY key = GetSectionKey(lpszSection, TRUE);
    if (!key) return FALSE;
    DWORD value = static_cast<DWORD>(nValue);
    LONG result = RegSetValueExA(key, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof value);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    // There are no documents: no recent-file list, whatever nMaxMRU asks for.
    (void)nMaxMRU;
    m_nNumPreviewPages = GetProfileInt("Settings", "PreviewPages", 0);
}
