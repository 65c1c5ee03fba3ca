// Reading the lines of a description file from its bytes (DescriptionReader.h).
#include "DescriptionReader.h"

#include <cstring>

namespace {

const char* Find(const char* from, const char* to, char c) {
    const void* found = std::memchr(from, c, static_cast<size_t>(to - from));
    return found ? static_cast<const char*>(found) : to;
}

std::string_view View(const char* from, const char* to) {
    return std::string_view(from, static_cast<size_t>(to - from));
}

}  // namespace

CDescriptionReader::CDescriptionReader(const char* bytes, size_t size)
    : m_next(bytes), m_end(bytes ? Find(bytes, bytes + size, kCtrlZ) : bytes) {}

bool CDescriptionReader::ReadEntry(DescriptionLine* line) {
    *line = DescriptionLine();
    while (m_next != m_end) {
        const char* start = m_next;
        const char* lineEnd = Find(start, m_end, '\n');
        m_next = lineEnd == m_end ? m_end : lineEnd + 1;
        // The CR of a CR LF belongs to the line end; any other CR is a character.
        if (lineEnd != m_end && lineEnd > start && lineEnd[-1] == '\r') --lineEnd;
        if (start == lineEnd) continue;  // an empty line holds no entry

        const char* p = start;
        const char* nameEnd;
        if (*p == '"') {
            ++p;
            if (p == lineEnd) continue;  // a lone quote: no name at all
            nameEnd = Find(p + 1, lineEnd, '"');
        } else {
            nameEnd = Find(p + 1, lineEnd, ' ');
        }
        line->name = View(p, nameEnd);
        if (nameEnd == lineEnd) return true;  // nothing behind the name

        p = *nameEnd == '"' ? nameEnd + 1 : nameEnd;
        while (p != lineEnd && *p == ' ') ++p;
        if (p == lineEnd) return true;

        // The first byte belongs to the description even when it is a Ctrl-D.
        const char* descriptionEnd = Find(p + 1, lineEnd, kCtrlD);
        line->description = View(p, descriptionEnd);
        line->tail = View(descriptionEnd, lineEnd);
        return true;
    }
    return false;
}
