#include "DescriptionApi.h"

#include "AnsiText.h"
#include "DescriptionFile.h"
#include "DescriptionSettings.h"
#include "FileImage.h"
#include "PathParts.h"

#include <cstring>

namespace {

// Hands out a description as the file holds it: up to its first zero byte, OEM
// text converted to ANSI, no description when it equals the path (ignoring
// case), and at most 1023 characters, never ending in the first half of a
// double-byte character.
void HandOutDescription(std::string_view fileText, bool converts, const char* path, char* description) {
    const void* zero = memchr(fileText.data(), '\0', fileText.size());
    size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - fileText.data()) : fileText.size();
    // The head that is handed out, and a byte more, so that a double-byte
    // character is never converted apart at the cut.
    char text[TOLVANE_DESCRIPTION_MAX + 1];
    size_t head = length < sizeof text ? length : sizeof text;
    if (head) memcpy(text, fileText.data(), head);
    if (converts && head) OemToCharBuffA(text, text, static_cast<DWORD>(head));
    if (length <= kMaxPathLength && EqualNoCase(std::string_view(text, length), path)) return;
    if (length >= TOLVANE_DESCRIPTION_MAX) {
        length = 0;
        while (length < TOLVANE_DESCRIPTION_MAX - 1) {
            size_t step = IsAnsiLeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
            if (length + step > TOLVANE_DESCRIPTION_MAX - 1) break;
            length += step;
        }
    }
    memcpy(description, text, length);
    description[length] = '\0';
}

}  // namespace

// In one pass: the settings, then the file read piece by piece up to the one
// entry asked for, whose description alone is copied (FindEntryInFile). It
// finds what CDescriptionFile's Load and Lookup find.
void ReadDescription(char* description, const char* path) {
    if (!description) return;
    // The caller may pass the path in the output buffer: take it out first.
    char ownPath[kMaxPathLength + 1];
    bool usable = path && CopyText(path, ownPath, sizeof ownPath);
    description[0] = '\0';
    if (!usable) return;
    PathParts parts;
    if (!SplitPath(ownPath, &parts, IsAnsiLeadByte)) return;
    // Settings are read anew at every call.
    DescriptionSettings settings;
    if (!ReadDescriptionSettings(parts.FolderPath(), &settings)) return;
    CByteBuffer window;
    DescriptionLine line;
    bool found = false;
    if (FindEntryInFile(settings.filePath, PathKey(ownPath, IsAnsiLeadByte), &window, &line, &found) == kFileRead &&
        found)
        HandOutDescription(line.description, settings.Converts(), ownPath, description);
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
