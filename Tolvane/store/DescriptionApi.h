// The exported description functions of Tolvane.dll (plain names, the caller
// removes the arguments). Texts are zero-terminated ANSI strings; path is the
// full path of a file or folder, at most 259 characters. The result is always 0.
#pragma once

// GetDescription writes at most this many bytes (1023 characters and the zero).
#define TOLVANE_DESCRIPTION_MAX 1024

#ifdef __cplusplus
extern "C" {
#endif

// The description of path, or the empty string when it has none.
int __cdecl GetDescription(char* description, const char* path);
// Stores description for path (an empty text keeps an entry with no description).
int __cdecl SetDescription(const char* description, const char* path);
// Removes the description of path.
int __cdecl DelDescription(const char* path);

#ifdef __cplusplus
}

// What GetDescription delivers, for the library's own callers: the exports are for
// other programs.
void ReadDescription(char* description, const char* path);
#endif
