// Writes lines of a description file: the name (quoted when it holds a blank),
// one blank, the description, the tail and CR LF. Pure code over bytes.
#pragma once

#include <string>
#include <string_view>

// True when a line written for this name reads back with the same name: it is
// not empty, holds no line feed or Ctrl-Z, and fits one of the two name forms.
// Every name the reader delivers can be written.
bool CanWriteName(std::string_view name);

// Appends the line of one entry to image. The name must pass CanWriteName.
void AppendDescriptionLine(std::string* image, std::string_view name,
                           std::string_view description, std::string_view tail);

// What a new description becomes before it is stored: every CR, LF and Ctrl-Z
// turns into a blank, so that one description stays one line and never ends
// the file's data early.
std::string CleanDescription(std::string_view text);
