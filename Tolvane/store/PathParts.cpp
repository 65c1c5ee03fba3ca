// Splitting a path into drive, folder, name and extension, and comparing names
// (PathParts.h).
#include "PathParts.h"

#include <cstring>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The first count bytes of text; count is never more than its size. (Unlike
// substr, nothing here can throw: the library runs without exceptions.)
std::string_view Front(std::string_view text, size_t count) { return std::string_view(text.data(), count); }
std::string_view After(std::string_view text, size_t count) {
    text.remove_prefix(count);
    return text;
}

// Index just behind the last separator of path (0 when there is none), stepping
// over double-byte characters as whole characters.
size_t FolderEnd(std::string_view path, LeadByteTest isLeadByte) {
    size_t end = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (isLeadByte && isLeadByte(c) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (IsSeparator(path[i])) end = i + 1;
    }
    return end;
}

// Index of the last full stop of a file name, or npos; double-byte aware.
size_t LastStop(std::string_view name, LeadByteTest isLeadByte) {
    size_t stop = std::string_view::npos;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (isLeadByte && isLeadByte(c) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (name[i] == '.') stop = i;
    }
    return stop;
}

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool SplitPath(const char* path, PathParts* parts, LeadByteTest isLeadByte) {
    *parts = PathParts();
    if (!path) return false;
    std::string_view rest(path);
    if (rest.size() > kMaxPathLength) return false;
    size_t driveLength = rest.size() >= 2 && rest[1] == ':' ? 2 : 0;
    parts->drive = Front(rest, driveLength);
    rest.remove_prefix(driveLength);
    size_t folderEnd = FolderEnd(rest, isLeadByte);
    parts->folder = Front(rest, folderEnd);
    rest.remove_prefix(folderEnd);
    size_t stop = LastStop(rest, isLeadByte);
    if (stop == std::string_view::npos) stop = rest.size();
    parts->name = Front(rest, stop);
    parts->extension = After(rest, stop);
    return true;
}

std::string_view PathKey(std::string_view path, LeadByteTest isLeadByte) {
    if (path.size() > kMaxPathLength) return std::string_view();
    if (path.size() >= 2 && path[1] == ':') path.remove_prefix(2);
    return After(path, FolderEnd(path, isLeadByte));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

bool CopyText(std::string_view text, char* buffer, size_t size) {
    if (text.size() >= size) {
        buffer[0] = '\0';
        return false;
    }
    if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return true;
}
