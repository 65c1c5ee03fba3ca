// The text of the context-menu entry (MenuText.h): the description in double quotes,
// cut to the width setting.
#include "MenuText.h"

#include <cstring>

namespace {

bool IsHighSurrogate(char) { return false; }
bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

template <class Char>
void Build(const Char* description, unsigned width, Char* text) {
    if (width > kLargestMenuWidth) width = kLargestMenuWidth;
    std::size_t length = 0;
    while (description[length] && length <= width) ++length;  // no need to count further
    std::size_t kept = length < width ? length : width;
    // A letter of two units stays whole or goes whole.
    if (length > width && kept > 0 && IsHighSurrogate(description[kept - 1])) --kept;
    text[0] = '"';
    std::memcpy(text + 1, description, kept * sizeof(Char));
    if (length > width && kept > 3)
        for (std::size_t i = kept - 3; i < kept; ++i) text[1 + i] = '.';
    text[1 + kept] = '"';
    text[2 + kept] = 0;
}

}  // namespace

void BuildMenuText(const char* description, unsigned width, char* text) { Build(description, width, text); }
void BuildMenuText(const wchar_t* description, unsigned width, wchar_t* text) { Build(description, width, text); }
