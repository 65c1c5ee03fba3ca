// Code-page helpers of the store: the ANSI code page's double-byte characters
// and the conversion of descriptions between the ANSI and OEM code pages.
#pragma once

#include <cstddef>

// True when byte starts a double-byte character of the ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);

// Convert length bytes in place, NUL bytes included (they stay NUL bytes).
// (Not OemToAnsi and AnsiToOem: windows.h takes those names for macros.)
void ConvertOemToAnsi(char* text, size_t length);
void ConvertAnsiToOem(char* text, size_t length);
