// The hyperlink control of the About box (StaticLink.h): its colours, its cursor, and
// the click that hands its target to the shell.
#include "StaticLink.h"

#include <shellapi.h>

IMPLEMENT_DYNAMIC(CStaticLink, CStatic)

BEGIN_MESSAGE_MAP(CStaticLink, CStatic)
    ON_WM_NCHITTEST()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

const COLORREF CStaticLink::s_unvisitedColor = RGB(0, 0, 255);
const COLORREF CStaticLink::s_visitedColor = RGB(128, 0, 128);
HCURSOR CStaticLink::s_linkCursor = nullptr;

namespace {
bool g_linkCursorTried = false;
}

HINSTANCE CLinkTarget::OpenLink() const {
    if (IsEmpty()) return nullptr;
    return ShellExecuteA(nullptr, "open", *this, nullptr, nullptr, SW_SHOWNORMAL);
}

CStaticLink::CStaticLink(LPCSTR target, BOOL deleteOnDestroy)
    : m_textColor(s_unvisitedColor), m_deleteOnDestroy(deleteOnDestroy) {
    m_target = target ? target : "";
}

CStaticLink::~CStaticLink() { m_underlineFont.DeleteObject(); }

void CStaticLink::PostNcDestroy() {
    if (m_deleteOnDestroy) delete this;
}

LRESULT CStaticLink::OnNcHitTest(POINT) {
    // A static control without SS_NOTIFY lets the mouse through; a link takes it.
    return HTCLIENT;
}

HBRUSH CStaticLink::CtlColor(HDC hDC, UINT) {
    // Only text styles (left, centre, right) look like links.
    if ((GetStyle() & 0xFF) > SS_RIGHT) return nullptr;

    if (!m_underlineFont.m_hObject) {
        // A control without a font of its own draws with the system's GUI font.
        HFONT font = GetFont();
        if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        LOGFONTA logFont;
        if (GetObjectA(font, sizeof logFont, &logFont) == sizeof logFont) {
            logFont.lfUnderline = TRUE;
            // The control gets it too (without a repaint now): a static control that
            // selects its own font after asking for its colours, as Wine's does, then
            // draws underlined as well.
            if (m_underlineFont.CreateFontIndirect(&logFont))
                SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_underlineFont.m_hObject), FALSE);
        }
    }
    if (m_underlineFont.m_hObject) SelectObject(hDC, m_underlineFont.m_hObject);
    SetTextColor(hDC, m_textColor);
    SetBkMode(hDC, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CStaticLink::OnLButtonDown(UINT, POINT) {
    if (m_target.IsEmpty()) GetWindowText(m_target);
    if (m_target.IsEmpty()) return;
    if (reinterpret_cast<INT_PTR>(m_target.OpenLink()) > 32) {
        m_textColor = s_visitedColor;
        Invalidate(TRUE);
    } else {
        MessageBeep(0);
    }
}

BOOL CStaticLink::OnSetCursor(CWnd*, UINT, UINT) {
    if (!s_linkCursor && !g_linkCursorTried) {
        // The hand of the help program, copied so that the module can go again.
        if (HMODULE helper = LoadLibraryA("winhlp32.exe")) {
            if (HCURSOR hand = LoadCursorA(helper, MAKEINTRESOURCEA(106)))
                s_linkCursor = CopyIcon(hand);   // HCURSOR and HICON are the same kind
            FreeLibrary(helper);
        }
        g_linkCursorTried = true;
    }
    if (!s_linkCursor) return FALSE;
    SetCursor(s_linkCursor);
    return TRUE;
}
