// Writes lines of a description file: the name (quoted when it holds a blank),
// one blank, the description, the tail and CR LF. Pure code over bytes, with
// no allocation: a line is handed out as the pieces to write one after another.
#pragma once

#include <cstddef>
#include <string_view>

// True when a line written for this name reads back with the same name: it is
// not empty, holds no line feed or Ctrl-Z, and fits one of the two name forms.
// Every name the reader delivers can be written.
bool CanWriteName(std::string_view name);

// One line of a description file, as pieces: views of the name,
// description and tail given and of constant texts.
struct DescriptionLinePieces {
    std::string_view pieces[6];
    int count;
};

// The line of one entry. The name must pass CanWriteName.
DescriptionLinePieces WrittenLine(std::string_view name, std::string_view description,
                                  std::string_view tail);

// What a new description becomes before it is stored, in place: every CR, LF
// and Ctrl-Z turns into a blank, so that one description stays one line and
// never ends the file's data early. Wide texts alike, before they are encoded.
void CleanDescription(char* text, size_t length);
void CleanDescription(wchar_t* text, size_t length);
