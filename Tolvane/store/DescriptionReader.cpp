// Reading the lines of a description file from its bytes (DescriptionReader.h).
#include "DescriptionReader.h"

#include "PathParts.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

const char* FindLineEnd(const char* from, const char* to) {
#ifdef __SSE2__
    // Sixteen bytes at a time where the processor has SSE2 (every x64 one).
    const __m128i feeds = _mm_set1_epi8('\n');
    const __m128i ctrlZs = _mm_set1_epi8(kCtrlZ);
    while (to - from >= 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, feeds), _mm_cmpeq_epi8(block, ctrlZs)));
        if (hits) return from + __builtin_ctz(static_cast<unsigned>(hits));
        from += 16;
    }
#else
    // A machine word at a time elsewhere (the 32-bit build runs on processors
    // without SSE2).
    typedef size_t Word;
    const Word ones = static_cast<Word>(-1) / 0xFF;  // 0x01 in every byte
    const Word highs = ones * 0x80;
    const Word feeds = ones * static_cast<unsigned char>('\n');
    const Word ctrlZs = ones * static_cast<unsigned char>(kCtrlZ);
    while (static_cast<size_t>(to - from) >= sizeof(Word)) {
        Word word;
        memcpy(&word, from, sizeof word);
        // A byte of x is zero exactly when x - ones borrows into its high bit
        // where x's own high bit is clear.
        Word a = word ^ feeds;
        Word b = word ^ ctrlZs;
        if (((a - ones) & ~a & highs) | ((b - ones) & ~b & highs)) break;
        from += sizeof(Word);
    }
#endif
    while (from != to && *from != '\n' && *from != kCtrlZ) ++from;
    return from;
}

const char* FindCtrlZ(const char* from, const char* to) {
    while ((from = FindLineEnd(from, to)) != to && *from == '\n') ++from;
    return from;
}

namespace {

char FoldAToZ(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether the bytes at p, up to end, may begin a name equal to key: the cheap
// test that rules out nearly every line before it is read whole.
bool MayBeNamed(const char* p, const char* end, std::string_view key) {
    if (p != end && *p == '"') ++p;
    if (static_cast<size_t>(end - p) < key.size()) return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (FoldAToZ(p[i]) != FoldAToZ(key[i])) return false;
    return true;
}

}  // namespace

bool FindEntry(const char* bytes, size_t size, std::string_view key, DescriptionLine* line, bool* ended) {
    *line = DescriptionLine();
    if (ended) *ended = false;
    if (!bytes || key.empty()) return false;
    const char* end = bytes + size;
    for (const char* start = bytes; start != end;) {
        const char* lineEnd = FindLineEnd(start, end);
        bool stop = lineEnd != end && *lineEnd == kCtrlZ;
        const char* next = lineEnd == end || stop ? lineEnd : lineEnd + 1;
        if (MayBeNamed(start, lineEnd, key)) {
            CDescriptionReader reader(start, static_cast<size_t>(next - start));
            if (reader.ReadEntry(line) && EqualNoCase(line->name, key)) return true;
        }
        if (stop) {
            if (ended) *ended = true;
            break;
        }
        start = next;
    }
    *line = DescriptionLine();
    return false;
}
