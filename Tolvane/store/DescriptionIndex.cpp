// The hash index over a description file's names (DescriptionIndex.h).
#include "DescriptionIndex.h"

#include "DescriptionReader.h"
#include "PathParts.h"

#include <cstdlib>
#include <cstring>

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

}  // namespace

CDescriptionIndex::CDescriptionIndex() : m_bytes(nullptr), m_end(0), m_slots(nullptr), m_mask(0) {}

CDescriptionIndex::~CDescriptionIndex() {
    Clear();
}

void CDescriptionIndex::Clear() {
    free(m_slots);
    m_slots = nullptr;
    m_mask = 0;
    m_bytes = nullptr;
    m_end = 0;
}

bool CDescriptionIndex::Build(const char* bytes, size_t size) {
    Clear();
    if (!bytes) size = 0;
    if (size >= 0xffffffffu) return false;  // offsets are kept in 32 bits
    const void* ctrlZ = size ? memchr(bytes, kCtrlZ, size) : nullptr;
    size_t end = ctrlZ ? static_cast<size_t>(static_cast<const char*>(ctrlZ) - bytes) : size;

    // At most one entry per line: at least twice as many slots keeps the probes short.
    size_t lines = 0;
    for (const char* p = bytes; p && p < bytes + end;) {
        const void* feed = memchr(p, '\n', static_cast<size_t>(bytes + end - p));
        if (!feed) break;
        if (++lines > kMaxLines) return false;
        p = static_cast<const char*>(feed) + 1;
    }
    if (end > 0 && bytes[end - 1] != '\n') ++lines;  // the last line has no line feed
    if (lines > kMaxLines) return false;
    size_t count = 16;
    while (count < 2 * lines) {
        if (count > (static_cast<size_t>(-1) / sizeof(Slot)) / 2) return false;
        count *= 2;
    }
    Slot* slots = static_cast<Slot*>(calloc(count, sizeof(Slot)));
    if (!slots) return false;
    m_slots = slots;
    m_mask = count - 1;
    m_bytes = bytes;
    m_end = end;

    CDescriptionReader reader(bytes, end);
    DescriptionLine line;
    while (reader.ReadEntry(&line)) {
        // A name starts its line, or follows the quote that does.
        size_t offset = static_cast<size_t>(line.name.data() - bytes);
        if (offset > 0 && bytes[offset - 1] == '"') --offset;
        uint32_t hash = FoldedHash(line.name);
        for (size_t at = hash & m_mask;; at = (at + 1) & m_mask) {
            Slot& slot = m_slots[at];
            if (slot.line == 0) {
                slot.hash = hash;
                slot.line = static_cast<uint32_t>(offset) + 1;
                break;
            }
            DescriptionLine earlier;
            // An earlier line of the same name keeps its place: the first one wins.
            if (slot.hash == hash && ReadLineAt(slot.line - 1, &earlier) && EqualNoCase(earlier.name, line.name))
                break;
        }
    }
    return true;
}

bool CDescriptionIndex::Find(std::string_view key, DescriptionLine* line) const {
    if (key.empty() || !m_slots) return false;
    uint32_t hash = FoldedHash(key);
    for (size_t at = hash & m_mask;; at = (at + 1) & m_mask) {
        const Slot& slot = m_slots[at];
        if (slot.line == 0) return false;
        if (slot.hash == hash && ReadLineAt(slot.line - 1, line) && EqualNoCase(line->name, key)) return true;
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
