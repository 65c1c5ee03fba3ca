#include "FileName.h"

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

bool MoveFileOver(const CFileName& source, const CFileName& target) {
    if (source.IsWide() != target.IsWide()) return false;
    // Wide names exist only on Windows NT, which has MoveFileExW.
    if (source.IsWide()) return MoveFileExW(source.Wide(), target.Wide(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (MoveFileExA(source.Ansi(), target.Ansi(), MOVEFILE_REPLACE_EXISTING)) return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    if (target.Attributes() != INVALID_FILE_ATTRIBUTES && !target.Delete()) return false;
    return MoveFileA(source.Ansi(), target.Ansi()) != FALSE;
}
