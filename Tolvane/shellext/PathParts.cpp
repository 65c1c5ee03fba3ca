#include "PathParts.h"

#include <cstring>

namespace {

void CopyPart(char* part, const char* begin, const char* end) {
    std::size_t length = static_cast<std::size_t>(end - begin);
    if (length > MAX_PATH - 1) length = MAX_PATH - 1;
    std::memcpy(part, begin, length);
    part[length] = '\0';
}

char FoldAtoZ(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(const char* first, const char* second) {
    for (; *first && *second; ++first, ++second)
        if (FoldAtoZ(*first) != FoldAtoZ(*second)) return false;
    return *first == *second;
}

}  // namespace

void SplitPath(const char* path, PathParts* parts) {
    const char* rest = path;
    if (path[0] != '\0' && path[1] == ':') rest = path + 2;
    CopyPart(parts->drive, path, rest);

    // Walk by characters so that a trail byte equal to \ is not taken for one.
    const char* nameStart = rest;
    const char* lastDot = nullptr;
    for (const char* at = rest; *at;) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*at)) && at[1]) {
            at += 2;
            continue;
        }
        if (*at == '\\' || *at == '/') {
            nameStart = at + 1;
            lastDot = nullptr;
        } else if (*at == '.') {
            lastDot = at;
        }
        ++at;
    }
    const char* end = nameStart + std::strlen(nameStart);
    const char* extensionStart = lastDot ? lastDot : end;
    CopyPart(parts->folder, rest, nameStart);
    CopyPart(parts->name, nameStart, extensionStart);
    CopyPart(parts->extension, extensionStart, end);
}

void FileNameOf(const PathParts& parts, char* fileName) {
    lstrcpynA(fileName, parts.name, MAX_PATH);
    const std::size_t used = std::strlen(fileName);
    lstrcpynA(fileName + used, parts.extension, static_cast<int>(MAX_PATH - used));
}

bool SameFileName(const PathParts& first, const PathParts& second) {
    return EqualFolded(first.name, second.name) && EqualFolded(first.extension, second.extension);
}
