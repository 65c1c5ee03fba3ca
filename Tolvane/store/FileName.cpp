// The file functions of a name's own form, ANSI or wide (FileName.h).
#include "FileName.h"

#include "PathParts.h"

HANDLE CFileName::Create(DWORD access, DWORD share, DWORD disposition, DWORD attributes) const {
    if (m_wide) return CreateFileW(m_wide, access, share, nullptr, disposition, attributes, nullptr);
    return CreateFileA(m_ansi, access, share, nullptr, disposition, attributes, nullptr);
}

DWORD CFileName::Attributes() const {
    return m_wide ? GetFileAttributesW(m_wide) : GetFileAttributesA(m_ansi);
}

bool CFileName::SetAttributes(DWORD attributes) const {
    return (m_wide ? SetFileAttributesW(m_wide, attributes) : SetFileAttributesA(m_ansi, attributes)) != FALSE;
}

bool CFileName::Delete() const { return (m_wide ? DeleteFileW(m_wide) : DeleteFileA(m_ansi)) != FALSE; }

bool CFileName::MoveTo(const CFileName& target) const {
    if (IsWide() != target.IsWide()) return false;
    return (m_wide ? MoveFileW(m_wide, target.m_wide) : MoveFileA(m_ansi, target.m_ansi)) != FALSE;
}

bool CFileName::MoveTo(const CFileName& target, DWORD flags) const {
    if (IsWide() != target.IsWide()) return false;
    return (m_wide ? MoveFileExW(m_wide, target.m_wide, flags) : MoveFileExA(m_ansi, target.m_ansi, flags)) != FALSE;
}

void CFilePath::Clear() {
    m_wide = false;
    m_ansiPath[0] = '\0';
    m_widePath[0] = L'\0';
}

bool CFilePath::Set(const CFileName& name) {
    Clear();
    if (name.IsWide()) {
        m_wide = true;
        if (CopyText(name.Wide(), m_widePath, MAX_PATH)) return true;
    } else if (name.Ansi() && CopyText(name.Ansi(), m_ansiPath, MAX_PATH)) {
        return true;
    }
    Clear();
    return false;
}

char* CFilePath::AnsiBuffer() {
    Clear();
    return m_ansiPath;
}

wchar_t* CFilePath::WideBuffer() {
    Clear();
    m_wide = true;
    return m_widePath;
}
