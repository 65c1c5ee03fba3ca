// Splitting a path into drive, folder, name and extension, and comparing names
// (PathParts.h).
#include "PathParts.h"

#include <cstring>

namespace {

template <class Char>
bool IsSeparator(Char c) { return c == '\\' || c == '/'; }

// The first count characters of text; count is never more than its size. (Unlike
// substr, nothing here can throw: the library runs without exceptions.)
template <class Char>
std::basic_string_view<Char> Front(std::basic_string_view<Char> text, size_t count) {
    return std::basic_string_view<Char>(text.data(), count);
}
template <class Char>
std::basic_string_view<Char> After(std::basic_string_view<Char> text, size_t count) {
    text.remove_prefix(count);
    return text;
}

// Whether the character at i starts a double-byte pair that is never split; a
// wide path has none.
bool StartsPair(std::string_view text, size_t i, LeadByteTest isLeadByte) {
    return isLeadByte && isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
}
bool StartsPair(std::wstring_view, size_t, LeadByteTest) { return false; }

// Index just behind the last separator of path (0 when there is none), stepping
// over double-byte characters as whole characters.
template <class Char>
size_t FolderEnd(std::basic_string_view<Char> path, LeadByteTest isLeadByte) {
    size_t end = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (StartsPair(path, i, isLeadByte)) {
            ++i;
            continue;
        }
        if (IsSeparator(path[i])) end = i + 1;
    }
    return end;
}

// Index of the last full stop of a file name, or npos; double-byte aware.
template <class Char>
size_t LastStop(std::basic_string_view<Char> name, LeadByteTest isLeadByte) {
    size_t stop = std::basic_string_view<Char>::npos;
    for (size_t i = 0; i < name.size(); ++i) {
        if (StartsPair(name, i, isLeadByte)) {
            ++i;
            continue;
        }
        if (name[i] == '.') stop = i;
    }
    return stop;
}

template <class Char>
Char FoldCase(Char c) { return (c >= 'a' && c <= 'z') ? static_cast<Char>(c - 'a' + 'A') : c; }

template <class Char>
bool Split(const Char* path, BasicPathParts<Char>* parts, LeadByteTest isLeadByte) {
    typedef std::basic_string_view<Char> View;
    *parts = BasicPathParts<Char>();
    if (!path) return false;
    View rest(path, TextLength(path));
    if (rest.size() > kMaxPathLength) return false;
    size_t driveLength = rest.size() >= 2 && rest[1] == ':' ? 2 : 0;
    parts->drive = Front(rest, driveLength);
    rest.remove_prefix(driveLength);
    size_t folderEnd = FolderEnd(rest, isLeadByte);
    parts->folder = Front(rest, folderEnd);
    rest.remove_prefix(folderEnd);
    size_t stop = LastStop(rest, isLeadByte);
    if (stop == View::npos) stop = rest.size();
    parts->name = Front(rest, stop);
    parts->extension = After(rest, stop);
    return true;
}

template <class Char>
std::basic_string_view<Char> Key(std::basic_string_view<Char> path, LeadByteTest isLeadByte) {
    if (path.size() > kMaxPathLength) return std::basic_string_view<Char>();
    if (path.size() >= 2 && path[1] == ':') path.remove_prefix(2);
    return After(path, FolderEnd(path, isLeadByte));
}

template <class Char>
bool Equal(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

template <class Char>
bool Copy(std::basic_string_view<Char> text, Char* buffer, size_t size) {
    if (text.size() >= size) {
        buffer[0] = 0;
        return false;
    }
    if (!text.empty()) std::memcpy(buffer, text.data(), text.size() * sizeof(Char));
    buffer[text.size()] = 0;
    return true;
}

}  // namespace

bool SplitPath(const char* path, PathParts* parts, LeadByteTest isLeadByte) { return Split(path, parts, isLeadByte); }
bool SplitPath(const wchar_t* path, WidePathParts* parts) { return Split(path, parts, nullptr); }

std::string_view PathKey(std::string_view path, LeadByteTest isLeadByte) { return Key(path, isLeadByte); }
std::wstring_view PathKey(std::wstring_view path) { return Key(path, nullptr); }

bool EqualNoCase(std::string_view a, std::string_view b) { return Equal(a, b); }
bool EqualNoCase(std::wstring_view a, std::wstring_view b) { return Equal(a, b); }

bool CopyText(std::string_view text, char* buffer, size_t size) { return Copy(text, buffer, size); }
bool CopyText(std::wstring_view text, wchar_t* buffer, size_t size) { return Copy(text, buffer, size); }
