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
