// The store's code-page helpers (AnsiText.h): double-byte characters of the ANSI code
// page, and descriptions converted between the ANSI and OEM code pages.
#include "AnsiText.h"

#include <windows.h>

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// The ...BuffA forms take a length, so a NUL byte does not end the conversion,
// and may convert in place.
void ConvertOemToAnsi(char* text, size_t length) {
    if (length) OemToCharBuffA(text, text, static_cast<DWORD>(length));
}

void ConvertAnsiToOem(char* text, size_t length) {
    if (length) CharToOemBuffA(text, text, static_cast<DWORD>(length));
}
