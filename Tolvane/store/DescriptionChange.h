// One change to a description file: a line read from it given a new
// description or removed, or a new line at its end. The lines that do not
// change are never copied: they are written again from the bytes read.
#pragma once

#include <cstddef>
#include <string_view>

// The entry of a change that adds a line.
const size_t kNewEntry = static_cast<size_t>(-1);

struct DescriptionChange {
    size_t entry;                  // which entry read from the file (0 is the first), or kNewEntry
    char* ownText;                 // heap block holding name and description, or null
    std::string_view name;         // a new entry's name, in ownText; empty for an entry read
    std::string_view description;  // as the file will hold it (OEM when converting), in ownText
    bool removed;
};
