// The exported description functions GetDescription, SetDescription and
// DelDescription (DescriptionApi.h), each one load, lookup or change, and close of a
// folder's description file.
#include "DescriptionApi.h"

#include "AnsiText.h"
#include "DescriptionFile.h"
#include "PathParts.h"

#include <cstring>

void ReadDescription(char* description, const char* path) {
    if (!description) return;
    // The caller may pass the path in the output buffer: take it out first.
    char ownPath[kMaxPathLength + 1];
    bool usable = path && CopyText(path, ownPath, sizeof ownPath);
    description[0] = '\0';
    if (!usable) return;
    CDescriptionFile file;
    file.Load(ownPath);
    const char* found = file.FindDescription(ownPath);
    if (!found || EqualNoCase(found, ownPath)) {
        file.Close();
        return;
    }
    // At most 1023 characters, never ending in the first half of a double-byte character.
    size_t length = strlen(found);
    if (length >= TOLVANE_DESCRIPTION_MAX) {
        length = 0;
        while (length < TOLVANE_DESCRIPTION_MAX - 1) {
            size_t step = IsAnsiLeadByte(static_cast<unsigned char>(found[length])) ? 2 : 1;
            if (length + step > TOLVANE_DESCRIPTION_MAX - 1) break;
            length += step;
        }
    }
    memcpy(description, found, length);
    description[length] = '\0';
    // As designed: each export closes its list twice; the second Close does nothing
    // (Close is idempotent), and callers of the DLL's exports have always seen it so.
    file.Close();
    file.Close();
}

extern "C" int __cdecl GetDescription(char* description, const char* path) {
    ReadDescription(description, path);
    return 0;
}

extern "C" int __cdecl SetDescription(const char* description, const char* path) {
    if (!description || !path) return 0;
    CDescriptionFile file;
    file.Load(path);
    file.SetEntry(path, description);
    file.Close();
    file.Close();
    return 0;
}

extern "C" int __cdecl DelDescription(const char* path) {
    if (!path) return 0;
    CDescriptionFile file;
    file.Load(path);
    file.DeleteEntry(path);
    file.Close();
    file.Close();
    return 0;
}
