// The text of the context-menu entry, cut to the width setting byte by byte (or,
// for a wide text, unit by unit).
#pragma once

#include <cstddef>

// The largest width used; larger settings are taken as this.
constexpr unsigned kLargestMenuWidth = 2000;
// The text's buffer. The longest text built takes 2,003 bytes (two quotes,
// kLargestMenuWidth bytes, the zero); the buffer is the menu's own 2,052.
constexpr std::size_t kMenuTextSize = 2052;

// Writes into text (kMenuTextSize bytes) a double quote, at most width bytes of
// description, and a closing double quote. When the description is longer than
// width and more than three bytes were kept, the last three kept bytes become
// "...". Widths above kLargestMenuWidth are taken as kLargestMenuWidth. Nothing
// else is changed: an ampersand stays single, a double-byte character may be cut.
void BuildMenuText(const char* description, unsigned width, char* text);
// The same in UTF-16 units, except that a surrogate pair is never cut in two.
void BuildMenuText(const wchar_t* description, unsigned width, wchar_t* text);
