// One entry of a description list: a line of the description file.
#pragma once

#include <string_view>

struct DescriptionEntry {
    // Views into the loaded bytes, or into ownText once the entry is set anew.
    std::string_view name;         // the file's name, without quotes
    std::string_view description;  // as the file holds it: in the OEM code page when converting
    std::string_view tail;         // empty, or from a Ctrl-D on; never interpreted
    char* ownText;                 // heap copy of name and description, or null
    bool removed;                  // deleted: not written, never found
};
