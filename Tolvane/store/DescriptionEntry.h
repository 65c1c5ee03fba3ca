// One entry of a description list: a line of the description file.
#pragma once

#include <string>

struct DescriptionEntry {
    std::string name;         // the file's name, without quotes
    std::string description;  // in the ANSI code page while in memory
    std::string tail;         // empty, or from a Ctrl-D on; never interpreted
    DescriptionEntry* next;   // null for the last entry
    // The description's bytes as read from an OEM file, written back as they
    // were while the description is not set anew: not every OEM character has
    // an ANSI twin, so converting there and back would change them.
    std::string fileText;
    bool keepFileText;
};
