// A hash index over the names of a description file's lines, so that one file
// read answers many lookups without scanning its lines again. It matches as
// CDescriptionFile::Lookup does: names compared folding only the letters A to Z,
// the first line of a name wins, later ones are never reached. Pure code over
// bytes; its memory comes from malloc and a failure is reported, never thrown.
#pragma once

#include "DescriptionLine.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

class CDescriptionIndex {
public:
    CDescriptionIndex();
    ~CDescriptionIndex();
    CDescriptionIndex(const CDescriptionIndex&) = delete;
    CDescriptionIndex& operator=(const CDescriptionIndex&) = delete;

    // More lines than this are not indexed: the index stays within 16 MB.
    static const size_t kMaxLines = 1u << 20;

    // Indexes the lines of bytes, which must stay in place while the index is
    // used. False when its memory could not be had, or the data has more than
    // kMaxLines lines: the index is then empty.
    bool Build(const char* bytes, size_t size);
    // The line of the first entry named key; false when there is none (an
    // empty key names nothing).
    bool Find(std::string_view key, DescriptionLine* line) const;
    void Clear();

private:
    struct Slot {
        uint32_t hash;
        uint32_t line;  // offset of the line's first byte + 1; 0: a free slot
    };
    bool ReadLineAt(uint32_t offset, DescriptionLine* line) const;

    const char* m_bytes;
    size_t m_end;  // where the data ends: the first Ctrl-Z, or the size
    Slot* m_slots;
    size_t m_mask;  // slot count - 1; the count is a power of two
};
