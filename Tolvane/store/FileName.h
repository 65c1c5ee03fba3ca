// CFileName: the name of a file as the file functions take it, ANSI or wide, and
// CFilePath, one held. Windows 95, 98 and Me have ANSI names only, and the
// exported ANSI functions hand them over; the Unicode windows of Windows NT hand
// over wide names, and a name with letters outside the ANSI code page exists
// only in its wide form. Each name goes to the functions of its own form, so the
// wide ones (present on Windows 95 only as stubs that fail) are reached only on
// Windows NT.
#pragma once

#include <windows.h>

// A view: the text stays with its owner.
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
    bool Exists() const { return Attributes() != INVALID_FILE_ATTRIBUTES; }
    bool SetAttributes(DWORD attributes) const;
    bool Delete() const;
    // MoveFile, and MoveFileEx with flags, to target (a name of the same form).
    bool MoveTo(const CFileName& target) const;
    bool MoveTo(const CFileName& target, DWORD flags) const;

private:
    const char* m_ansi;
    const wchar_t* m_wide;
};

// A path of either form, held: at most MAX_PATH - 1 characters.
class CFilePath {
public:
    CFilePath() { Clear(); }
    void Clear();
    // A copy of name; false, and empty, when it does not fit.
    bool Set(const CFileName& name);
    CFileName Name() const { return m_wide ? CFileName(m_widePath) : CFileName(m_ansiPath); }
    bool Empty() const { return Name().Empty(); }

    // For builders of paths: the buffer of the form given, which becomes the path's.
    char* AnsiBuffer();
    wchar_t* WideBuffer();

private:
    bool m_wide;
    char m_ansiPath[MAX_PATH];
    wchar_t m_widePath[MAX_PATH];
};
