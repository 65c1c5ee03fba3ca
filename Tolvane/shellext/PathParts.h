// Splitting a full path into drive, folder, name and extension, and comparing
// a file's long and short names.
#pragma once

#include <windows.h>

struct PathParts {
    char drive[MAX_PATH];       // "C:" or empty
    char folder[MAX_PATH];      // up to and including the last \ or /
    char name[MAX_PATH];        // the file's own name up to its last full stop
    char extension[MAX_PATH];   // from the last full stop on, or empty
};

// Double-byte characters of the ANSI code page are never split. Parts that
// would not fit are cut, never overrun.
void SplitPath(const char* path, PathParts* parts);

// Name and extension of the file joined (the file's own name).
void FileNameOf(const PathParts& parts, char* fileName /* MAX_PATH */);

// Equal when the name parts and the extension parts are equal, the letters A
// to Z compared without regard to case and every other byte exactly.
bool SameFileName(const PathParts& first, const PathParts& second);
