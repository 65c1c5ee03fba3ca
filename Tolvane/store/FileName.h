// CFileName: the name of a file as the file functions take it, ANSI or wide.
// Windows 95, 98 and Me have ANSI names only, and the exported ANSI functions
// hand them over; the Unicode windows of Windows NT hand over wide names, and a
// name with letters outside the ANSI code page exists only in its wide form.
// Each name goes to the functions of its own form, so the wide ones (present on
// Windows 95 only as stubs that fail) are reached only on Windows NT.
// A view: the text stays with its owner.
#pragma once

#include <windows.h>

class CFileName {
public:
    CFileName(const char* ansi) : m_ansi(ansi), m_wide(nullptr) {}
    CFileName(const wchar_t* wide) : m_ansi(nullptr), m_wide(wide) {}

    bool IsWide() const { return m_wide != nullptr; }
    const char* Ansi() const { return m_ansi; }
    const wchar_t* Wide() const { return m_wide; }
    bool Empty() const { return m_wide ? m_wide[0] == L'\0' : (!m_ansi || m_ansi[0] == '\0'); }

    HANDLE Create(DWORD access, DWORD share, DWORD disposition, DWORD attributes) const;
    DWORD Attributes() const;  // INVALID_FILE_ATTRIBUTES when it cannot be had
    bool SetAttributes(DWORD attributes) const;
    bool Delete() const;

private:
    const char* m_ansi;
    const wchar_t* m_wide;
};

// Puts source in the place of target (both of one form). Windows 95, 98 and
// Me have no MoveFileExA: there the old file is deleted first.
bool MoveFileOver(const CFileName& source, const CFileName& target);
