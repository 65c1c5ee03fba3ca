// CFont: a GDI font owned by its object and deleted with it.
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CFont, CObject)

CFont::~CFont() { DeleteObject(); }

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) {
    DeleteObject();
    m_hObject = ::CreateFontIndirectA(lpLogFont);
    return m_hObject != nullptr;
}

BOOL CFont::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}
