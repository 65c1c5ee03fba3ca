// One line of a description file as the reader finds it: views into the bytes
// that were read, valid as long as those bytes are.
#pragma once

#include <string_view>

struct DescriptionLine {
    std::string_view name;         // without quotes; never empty
    std::string_view description;  // may be empty
    std::string_view tail;         // empty, or from a Ctrl-D to the line's end
};

const char kCtrlD = '\x04';  // starts the tail that other programs keep behind a description
const char kCtrlZ = '\x1a';  // ends the data of a text file
