// Reads the lines of a description file from its bytes, with the semantics of a
// text-mode stream: CR LF is one line end, a CR without LF is an ordinary
// character and a Ctrl-Z ends the data. Pure code over bytes.
//
// Line grammar: a name, quoted ("my notes.txt") or bare (up to the first blank),
// blanks, the description up to the line end or the first Ctrl-D, and the tail
// from that Ctrl-D on. The first byte of a name is always part of it, even a
// blank or (behind the opening quote) a double quote. Lines outside the grammar
// keep whatever has a name: an empty line is skipped, a name without a blank
// behind it has an empty description, a quoted name without its closing quote
// runs to the line's end. Nothing is cut, whatever its length.
#pragma once

#include "DescriptionLine.h"

#include <cstddef>
#include <string_view>

class CDescriptionReader {
public:
    // The bytes must stay in place while the reader is used.
    CDescriptionReader(const char* bytes, size_t size);

    // Reads the next entry into line; false at the end of the data.
    bool ReadEntry(DescriptionLine* line);

private:
    const char* m_next;
    const char* m_end;
};

// The first entry named key (folding only A to Z; an empty key names none and
// reads nothing) in
// bytes, exactly as CDescriptionReader reads them, but without taking the
// other lines apart: of each line only its first bytes are looked at, and only
// a line whose name may be key is read whole. This is what one lookup needs;
// readers of many names build a CDescriptionIndex instead. The data ends at
// its first Ctrl-Z: *ended (when given) tells whether one was met, so that a
// caller that hands in a file piece by piece reads no further.
bool FindEntry(const char* bytes, size_t size, std::string_view key, DescriptionLine* line, bool* ended = nullptr);

// The first line feed or Ctrl-Z in [from, to), or to. Looks at sixteen bytes
// (SSE2) or a machine word at a time, since finding line ends is most of what
// looking through a file costs.
const char* FindLineEnd(const char* from, const char* to);

// The first Ctrl-Z in [from, to), or to: where the data of a text file ends.
// (Not memchr: the C runtime's looks at one byte at a time.)
const char* FindCtrlZ(const char* from, const char* to);
