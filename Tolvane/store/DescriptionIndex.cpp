// The hash index over a description file's names (DescriptionIndex.h).
#include "DescriptionIndex.h"

#include "DescriptionReader.h"
#include "PathParts.h"

#include <cstring>
#include <new>

namespace {

// FNV-1a over the name with a to z folded, so that names that match hash alike.
uint32_t FoldedHash(std::string_view name) {
    uint32_t hash = 2166136261u;
    for (char c : name) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 'a' && byte <= 'z') byte = static_cast<unsigned char>(byte - 'a' + 'A');
        hash = (hash ^ byte) * 16777619u;
    }
    return hash;
}

// Where the data of bytes ends: at the first Ctrl-Z, or at its size.
size_t DataEnd(const char* bytes, size_t size) {
    const void* ctrlZ = size ? memchr(bytes, kCtrlZ, size) : nullptr;
    return ctrlZ ? static_cast<size_t>(static_cast<const char*>(ctrlZ) - bytes) : size;
}

// Lines as Build counts them: every line feed, and a last line without one.
size_t CountLines(const char* bytes, size_t size) {
    size_t lines = 0;
    for (const char* p = bytes; p && p < bytes + size;) {
        const void* feed = memchr(p, '\n', static_cast<size_t>(bytes + size - p));
        if (!feed) break;
        ++lines;
        p = static_cast<const char*>(feed) + 1;
    }
    if (size > 0 && bytes[size - 1] != '\n') ++lines;
    return lines;
}

// The first offset of a line: where its name starts, or the quote before it.
size_t LineOffset(const char* bytes, const DescriptionLine& line) {
    size_t offset = static_cast<size_t>(line.name.data() - bytes);
    return offset > 0 && bytes[offset - 1] == '"' ? offset - 1 : offset;
}

typedef size_t Word;

// How many bytes a and b have alike from their start, comparing a machine word
// at a time: finding what changed costs about one pass over what did not.
size_t CommonPrefix(const char* a, const char* b, size_t size) {
    size_t at = 0;
    for (; size - at >= sizeof(Word); at += sizeof(Word)) {
        Word x, y;
        memcpy(&x, a + at, sizeof x);
        memcpy(&y, b + at, sizeof y);
        if (x != y) break;
    }
    while (at < size && a[at] == b[at]) ++at;
    return at;
}

// How many bytes the two ranges have alike at their ends.
size_t CommonSuffix(const char* aEnd, const char* bEnd, size_t size) {
    size_t at = 0;
    for (; size - at >= sizeof(Word); at += sizeof(Word)) {
        Word x, y;
        memcpy(&x, aEnd - at - sizeof(Word), sizeof x);
        memcpy(&y, bEnd - at - sizeof(Word), sizeof y);
        if (x != y) break;
    }
    while (at < size && aEnd[-1 - static_cast<ptrdiff_t>(at)] == bEnd[-1 - static_cast<ptrdiff_t>(at)]) ++at;
    return at;
}

}  // namespace

CDescriptionIndex::CDescriptionIndex()
    : m_bytes(nullptr), m_size(0), m_end(0), m_lines(0), m_slots(nullptr), m_mask(0) {}

CDescriptionIndex::~CDescriptionIndex() {
    Clear();
}

void CDescriptionIndex::Clear() {
    delete[] m_slots;
    m_slots = nullptr;
    m_mask = 0;
    m_bytes = nullptr;
    m_size = 0;
    m_end = 0;
    m_lines = 0;
}

// Room for lines at one entry per line: at least twice as many slots keeps the
// probes short.
bool CDescriptionIndex::Allocate(size_t lines) {
    if (lines > kMaxLines) return false;
    size_t count = 16;
    while (count < 2 * lines) count *= 2;
    m_slots = new (std::nothrow) Slot[count]();
    if (!m_slots) return false;
    m_mask = count - 1;
    return true;
}

bool CDescriptionIndex::Build(const char* bytes, size_t size) {
    Clear();
    if (!bytes) size = 0;
    if (size >= 0x7fffffffu) return false;  // offsets are kept in 31 bits
    size_t end = DataEnd(bytes, size);
    size_t lines = CountLines(bytes, end);
    if (!Allocate(lines)) return false;
    m_bytes = bytes;
    m_size = size;
    m_end = end;
    m_lines = lines;

    CDescriptionReader reader(bytes, end);
    DescriptionLine line;
    while (reader.ReadEntry(&line)) Insert(LineOffset(bytes, line), line.name);
    return true;
}

// Enters the line at offset under its name, keeping the first line of a name.
void CDescriptionIndex::Insert(size_t offset, std::string_view name) {
    uint32_t hash = FoldedHash(name);
    uint32_t entry = static_cast<uint32_t>(offset) + 1;
    for (size_t at = hash & m_mask;; at = (at + 1) & m_mask) {
        Slot& slot = m_slots[at];
        if (slot.line == 0) {
            slot.hash = hash;
            slot.line = entry;
            return;
        }
        DescriptionLine other;
        uint32_t otherEntry = slot.line & ~kShadows;
        if (slot.hash != hash || !ReadLineAt(otherEntry - 1, &other) || !EqualNoCase(other.name, name)) continue;
        // One of the two comes first; it stays, and shadows the other.
        slot.line = (otherEntry < entry ? otherEntry : entry) | kShadows;
        return;
    }
}

// Takes the line at offset out, if it is the one entered under its name (a
// later line of a name is not); shadowed: a later line of its name was behind it.
bool CDescriptionIndex::Remove(size_t offset, std::string_view name, bool* shadowed) {
    uint32_t hash = FoldedHash(name);
    uint32_t entry = static_cast<uint32_t>(offset) + 1;
    for (size_t at = hash & m_mask; m_slots[at].line != 0; at = (at + 1) & m_mask) {
        if ((m_slots[at].line & ~kShadows) != entry) continue;
        *shadowed = (m_slots[at].line & kShadows) != 0;
        Release(at);
        return true;
    }
    *shadowed = false;
    return false;
}

// Frees a slot and moves later slots of its probe run back into the gap, so
// that every entry stays reachable from its hash without markers of the dead.
void CDescriptionIndex::Release(size_t at) {
    size_t gap = at;
    for (size_t next = (gap + 1) & m_mask; m_slots[next].line != 0; next = (next + 1) & m_mask) {
        size_t home = m_slots[next].hash & m_mask;
        // The entry at next may move to the gap when its home is not in (gap, next].
        bool between = gap <= next ? (gap < home && home <= next) : (gap < home || home <= next);
        if (between) continue;
        m_slots[gap] = m_slots[next];
        gap = next;
    }
    m_slots[gap] = Slot{0, 0};
}

bool CDescriptionIndex::Update(const char* bytes, size_t size) {
    if (!m_slots) return Build(bytes, size);
    if (!bytes) size = 0;
    if (size >= 0x7fffffffu) {
        Clear();
        return false;
    }
    const char* old = m_bytes;
    size_t oldSize = m_size, oldEnd = m_end;

    // What differs lies between what the bytes have alike at their beginning
    // and at their end. Found first over all the bytes, so that where the new
    // data ends (its first Ctrl-Z) is looked for only where one can have come
    // or gone, not in a pass of its own.
    size_t shorterRaw = size < oldSize ? size : oldSize;
    size_t rawPrefix = CommonPrefix(old, bytes, shorterRaw);
    size_t rawSuffix = CommonSuffix(old + oldSize, bytes + size, shorterRaw - rawPrefix);
    size_t end;
    if (oldEnd < rawPrefix) {
        end = oldEnd;  // the same Ctrl-Z, in front of all that changed
    } else {
        size_t middleEnd = size - rawSuffix;
        size_t inMiddle = rawPrefix + DataEnd(bytes + rawPrefix, middleEnd - rawPrefix);
        if (inMiddle != middleEnd)
            end = inMiddle;
        else if (oldEnd == oldSize)
            end = size;  // the old bytes had none, so their common end has none
        else if (oldEnd >= oldSize - rawSuffix)
            end = oldEnd + size - oldSize;  // the old first one, in the common end
        else
            end = middleEnd + DataEnd(bytes + middleEnd, rawSuffix);
    }
    size_t shorter = end < oldEnd ? end : oldEnd;
    size_t prefix = rawPrefix < shorter ? rawPrefix : shorter;
    size_t suffix = end == size && oldEnd == oldSize ? rawSuffix
                                                      : CommonSuffix(old + oldEnd, bytes + end, shorter - prefix);
    // The whole lines around the bytes that differ are what changed.
    size_t from = prefix;
    while (from > 0 && old[from - 1] != '\n') --from;
    // The first line start inside the common end: the line feed before it is
    // common to both, so it starts a line in both.
    const void* feed = suffix ? memchr(old + oldEnd - suffix, '\n', suffix) : nullptr;
    size_t oldTo = feed ? static_cast<size_t>(static_cast<const char*>(feed) - old) + 1 : oldEnd;
    size_t newTo = end - (oldEnd - oldTo);

    // Most of the file changed: building anew costs no more.
    if (oldTo - from > oldEnd / 2 || newTo - from > end / 2) return Build(bytes, size);
    size_t lines = m_lines - CountLines(old + from, oldTo - from) + CountLines(bytes + from, newTo - from);
    if (lines > kMaxLines || 2 * lines > m_mask + 1) return Build(bytes, size);

    {
        CDescriptionReader reader(old + from, oldTo - from);
        DescriptionLine line;
        while (reader.ReadEntry(&line)) {
            bool shadowed = false;
            // A later line of the same name would now come first: find it anew.
            if (Remove(LineOffset(old, line), line.name, &shadowed) && shadowed) return Build(bytes, size);
        }
    }
    // The lines behind the change move by the change in length.
    if (end != oldEnd) {
        for (size_t at = 0; at <= m_mask; ++at) {
            uint32_t entry = m_slots[at].line & ~kShadows;
            if (entry != 0 && entry - 1 >= oldTo)
                m_slots[at].line = static_cast<uint32_t>(m_slots[at].line + (end - oldEnd));
        }
    }
    m_bytes = bytes;
    m_size = size;
    m_end = end;
    m_lines = lines;
    CDescriptionReader reader(bytes + from, newTo - from);
    DescriptionLine line;
    while (reader.ReadEntry(&line)) Insert(LineOffset(bytes, line), line.name);
    return true;
}

bool CDescriptionIndex::Find(std::string_view key, DescriptionLine* line) const {
    if (key.empty() || !m_slots) return false;
    uint32_t hash = FoldedHash(key);
    for (size_t at = hash & m_mask;; at = (at + 1) & m_mask) {
        const Slot& slot = m_slots[at];
        if (slot.line == 0) return false;
        if (slot.hash == hash && ReadLineAt((slot.line & ~kShadows) - 1, line) && EqualNoCase(line->name, key))
            return true;
    }
}

// Reads the one line that starts at offset, with its line feed, exactly as the
// whole file's reading found it.
bool CDescriptionIndex::ReadLineAt(uint32_t offset, DescriptionLine* line) const {
    const char* start = m_bytes + offset;
    const void* feed = memchr(start, '\n', m_end - offset);
    size_t length = feed ? static_cast<size_t>(static_cast<const char*>(feed) - start) + 1 : m_end - offset;
    CDescriptionReader reader(start, length);
    return reader.ReadEntry(line);
}
