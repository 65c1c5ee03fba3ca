#include "AnsiText.h"

#include <windows.h>

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// The ...BuffA forms take a length, so a NUL byte does not end the conversion,
// and may convert in place.
void OemToAnsi(std::string* text) {
    if (!text->empty()) OemToCharBuffA(&(*text)[0], &(*text)[0], static_cast<DWORD>(text->size()));
}

void AnsiToOem(std::string* text) {
    if (!text->empty()) CharToOemBuffA(&(*text)[0], &(*text)[0], static_cast<DWORD>(text->size()));
}
