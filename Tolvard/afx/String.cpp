// CString: a small string class with the operations Tolvard uses.
#include "afx.h"

#include <stdlib.h>
#include <string.h>

#include "afxwin.h"

namespace {
char g_emptyString[1] = "";
}

CString::CString() : m_pchData(g_emptyString), m_nLength(0), m_nAllocLength(0) {}

CString::CString(LPCSTR text) : CString() { operator=(text); }

CString::CString(const CString& other) : CString() { Assign(other.m_pchData, other.m_nLength); }

CString::~CString() {
    if (m_nAllocLength) free(m_pchData);
}

CString& CString::operator=(const CString& other) {
    if (this != &other) Assign(other.m_pchData, other.m_nLength);
    return *this;
}

CString& CString::operator=(LPCSTR text) {
    if (!text) text = "";
    Assign(text, static_cast<int>(strlen(text)));
    return *this;
}

CString& CString::operator+=(LPCSTR text) {
    if (!text || !*text) return *this;
    int added = static_cast<int>(strlen(text));
    int oldLength = m_nLength;
    if (GetBuffer(oldLength + added)) {
        memmove(m_pchData + oldLength, text, added);
        ReleaseBuffer(oldLength + added);
    }
    return *this;
}

void CString::Empty() { Assign("", 0); }

int CString::Compare(LPCSTR text) const { return strcmp(m_pchData, text ? text : ""); }

BOOL CString::Assign(LPCSTR text, int length) {
    // text may point into our own buffer: GetBuffer keeps the contents, memmove copes.
    if (text >= m_pchData && text <= m_pchData + m_nLength && m_nAllocLength) {
        memmove(m_pchData, text, length);
        ReleaseBuffer(length);
        return TRUE;
    }
    if (!GetBuffer(length)) return FALSE;
    memcpy(m_pchData, text, length);
    ReleaseBuffer(length);
    return TRUE;
}

LPSTR CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength < 0) return nullptr;
    if (nMinBufLength > m_nAllocLength) {
        char* grown = static_cast<char*>(m_nAllocLength ? realloc(m_pchData, nMinBufLength + 1)
                                                         : malloc(nMinBufLength + 1));
        if (!grown) return nullptr;
        if (!m_nAllocLength) memcpy(grown, m_pchData, m_nLength + 1);
        m_pchData = grown;
        m_nAllocLength = nMinBufLength;
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength) {
    if (!m_nAllocLength) return;   // still the shared empty string
    if (nNewLength < 0) nNewLength = static_cast<int>(strnlen(m_pchData, m_nAllocLength));
    if (nNewLength > m_nAllocLength) nNewLength = m_nAllocLength;
    m_pchData[nNewLength] = '\0';
    m_nLength = nNewLength;
}

BOOL CString::LoadString(UINT nID) {
    // A string resource holds at most 4095 characters in practice; grow until it fits.
    for (int size = 256; size <= 65536; size *= 2) {
        LPSTR buffer = GetBuffer(size);
        if (!buffer) break;
        int got = ::LoadStringA(AfxGetResourceHandle(), nID, buffer, size + 1);
        if (got < size) {
            ReleaseBuffer(got);
            return got > 0;
        }
    }
    Empty();
    return FALSE;
}
