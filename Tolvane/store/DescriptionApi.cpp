// The exported description functions GetDescription, SetDescription and
// DelDescription (DescriptionApi.h), each one load, lookup or change, and close of a
// folder's description file.
#include "DescriptionApi.h"

#include "AnsiText.h"
#include "DescriptionFile.h"
#include "DescriptionSettings.h"
#include "FileCodec.h"
#include "FileImage.h"
#include "PathParts.h"

#include <cstring>
#include <new>

namespace {

// Hands out a description as the file holds it, in the ANSI form: up to its
// first zero byte, no description when it equals the path (ignoring case), and
// at most 1023 characters, never ending in the first half of a double-byte
// character.
void HandOutDescription(std::string_view fileText, FileCodec codec, const char* path, char* description) {
    char* text = new (std::nothrow) char[DecodedRoom(fileText.size(), false)];
    size_t length = 0;
    if (!text) return;
    if (!DecodeDescription(fileText, codec, text, &length, nullptr)) {
        delete[] text;
        return;
    }
    length = strlen(text);
    if (length <= kMaxPathLength && EqualNoCase(std::string_view(text, length), path)) {
        delete[] text;
        return;
    }
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
    delete[] text;
}

// The name as a file of the given form holds it, or none.
std::string_view KeyIn(const char* path, FileCodec codec, EncodedName* name) {
    return EncodePathKey(path, codec, name) == NameForm::None ? std::string_view() : name->View();
}

}  // namespace

// In one pass: the settings, then the file read piece by piece up to the one
// entry asked for, whose description alone is copied (FindEntryInFile). It
// finds what CDescriptionFile's Load and FindDescription find: the file's
// encoding is told as the file is read, and the name looked for in the form
// that encoding holds it.
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
    EncodedName codePageName, utf8Name;
    std::string_view codePageKey = KeyIn(ownPath, FileCodec{false, false}, &codePageName);
    std::string_view utf8Key = KeyIn(ownPath, FileCodec{true, false}, &utf8Name);
    CByteBuffer window, text;
    FileEncoding encoding;
    bool found = false;
    if (FindEntryInFile(CFileName(settings.filePath), codePageKey, utf8Key, &window, &text, &encoding, &found) !=
            kFileRead ||
        !found)
        return;
    const bool utf8 = encoding.encoding == TextEncoding::Utf8;
    HandOutDescription(std::string_view(text.Data(), text.Size()), FileCodec{utf8, !utf8 && settings.Converts()},
                       ownPath, description);
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
