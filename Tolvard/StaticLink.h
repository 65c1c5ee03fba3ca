// A static text control turned into a hyperlink: underlined, blue until opened and
// purple after, with the hand cursor; a click hands the target to the shell.
#pragma once

#include "afx/afxwin.h"

// A link target: a string that can be opened by the shell.
class CLinkTarget : public CString {
public:
    CLinkTarget& operator=(LPCSTR text) { CString::operator=(text); return *this; }
    // ShellExecuteA's result (above 32 on success), or nullptr for an empty target.
    HINSTANCE OpenLink() const;
};

class CStaticLink : public CStatic {
    DECLARE_DYNAMIC(CStaticLink)
public:
    // target may be nullptr: the control's text becomes the target at the first click.
    CStaticLink(LPCSTR target = nullptr, BOOL deleteOnDestroy = FALSE);
    ~CStaticLink() override;

    CLinkTarget m_target;
    COLORREF m_textColor;
    CFont m_underlineFont;
    BOOL m_deleteOnDestroy;

    static const COLORREF s_unvisitedColor;   // blue
    static const COLORREF s_visitedColor;     // purple
    static HCURSOR s_linkCursor;              // the hand of winhlp32.exe, loaded once

    void PostNcDestroy() override;

    LRESULT OnNcHitTest(POINT point);
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor);
    void OnLButtonDown(UINT nFlags, POINT point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    DECLARE_MESSAGE_MAP()
};
