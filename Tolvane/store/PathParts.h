// Splitting a path into drive, folder, name and extension, and comparing names
// the way every part of Tolvane compares them: only the letters A to Z fold.
// ANSI paths and wide ones alike. Pure code over bytes (no Windows headers, no
// allocation), shared by the store, the shell extension and the column hook.
#pragma once

#include <cstddef>
#include <string_view>

// The longest path the store accepts (a buffer of MAX_PATH holds it and its zero).
const size_t kMaxPathLength = 259;

// The length of a zero-terminated text, ANSI or wide.
template <class Char>
size_t TextLength(const Char* text) {
    size_t length = 0;
    while (text[length]) ++length;
    return length;
}

// Tells whether a byte starts a double-byte character of the ANSI code page;
// such a pair is never split, so its second byte is never taken for a separator.
typedef bool (*LeadByteTest)(unsigned char byte);

// The parts are views into the split path, which must outlive them. They follow
// each other in the path, so drive and folder, and name and extension, are
// contiguous too. Char is char for ANSI paths and wchar_t for wide (UTF-16) ones.
template <class Char>
struct BasicPathParts {
    typedef std::basic_string_view<Char> View;
    View drive;      // "C:" when the second character is a colon, else empty
    View folder;     // up to and including the last '\' or '/', else empty
    View name;       // the file's own name before its last full stop
    View extension;  // from the last full stop on, the stop included; may be empty

    // The file's own name, extension included: the key of its description.
    View FileName() const { return View(name.data(), name.size() + extension.size()); }
    // Drive and folder: where its description file is.
    View FolderPath() const { return View(drive.data(), drive.size() + folder.size()); }
};
typedef BasicPathParts<char> PathParts;
typedef BasicPathParts<wchar_t> WidePathParts;

// Splits path into parts. Returns false, with all parts empty, when path is null
// or longer than kMaxPathLength. isLeadByte may be null (single-byte code page);
// a wide path has no double-byte characters.
bool SplitPath(const char* path, PathParts* parts, LeadByteTest isLeadByte = nullptr);
bool SplitPath(const wchar_t* path, WidePathParts* parts);

// The file's own name of path (the key), or empty when the path ends in a
// separator or is too long. Cheaper than SplitPath when only the key is needed.
std::string_view PathKey(std::string_view path, LeadByteTest isLeadByte = nullptr);
std::wstring_view PathKey(std::wstring_view path);

// True when a and b are equal, folding only the letters A to Z.
bool EqualNoCase(std::string_view a, std::string_view b);
bool EqualNoCase(std::wstring_view a, std::wstring_view b);

// Copies text into buffer (size characters, at least 1) with a terminating zero;
// false, with the buffer empty, when it does not fit.
bool CopyText(std::string_view text, char* buffer, size_t size);
bool CopyText(std::wstring_view text, wchar_t* buffer, size_t size);
