// A hash index over the names of a description file's lines, so that one file
// read answers many lookups without scanning its lines again. It matches as
// CDescriptionFile::Lookup does: names compared folding only the letters A to Z,
// the first line of a name wins, later ones are never reached. When the file is
// read again, Update finds what changed and mends only that: the lines before
// and after the change keep their entries. Pure code over bytes; its memory is
// checked and a failure is reported, never thrown.
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
    // The same file read again: afterwards the index is over bytes, exactly as
    // Build(bytes, size) would make it. The bytes it is over until then must
    // still be in place. Only the lines from the first to the last byte that
    // differ are taken out and read again, and the places of those behind them
    // moved; a change of most of the file, or one that a later line of the same
    // name as a line taken out could come to the fore by, is built anew. False
    // as Build is.
    bool Update(const char* bytes, size_t size);
    // The line of the first entry named key; false when there is none (an
    // empty key names nothing).
    bool Find(std::string_view key, DescriptionLine* line) const;
    void Clear();

private:
    struct Slot {
        uint32_t hash;
        uint32_t line;  // offset of the line's first byte + 1, with kShadows; 0: a free slot
    };
    // Set in a slot whose line has a later line of the same name behind it.
    static const uint32_t kShadows = 0x80000000u;

    bool Allocate(size_t lines);
    void Insert(size_t offset, std::string_view name);
    bool Remove(size_t offset, std::string_view name, bool* shadowed);
    void Release(size_t at);
    bool ReadLineAt(uint32_t offset, DescriptionLine* line) const;

    const char* m_bytes;
    size_t m_size;
    size_t m_end;    // where the data ends: the first Ctrl-Z, or the size
    size_t m_lines;  // the lines of the data, as Build counts them
    Slot* m_slots;
    size_t m_mask;  // slot count - 1; the count is a power of two
};
