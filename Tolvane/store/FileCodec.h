// How one description file holds names and descriptions, and the conversion of
// callers' texts into it and out of it. Callers hand over ANSI texts (the
// exported functions, and everything on Windows 95, 98 and Me) or wide ones (the
// Unicode windows of Windows NT).
//
// A UTF-8 file holds every letter. A file in the code pages holds names in the
// ANSI code page and descriptions in the ANSI or the OEM one: a letter that its
// code page lacks cannot go into it, and such a name or text is refused rather
// than written with a stand-in letter. Names are matched in the file's own form,
// so a lookup converts its key once and compares bytes.
#pragma once

#include <cstddef>
#include <string_view>

#include "PathParts.h"
#include "TextEncoding.h"

struct FileCodec {
    bool utf8;  // names and descriptions in UTF-8
    bool oem;   // otherwise: descriptions in the OEM code page (setting "Ansi" is "0")
};

enum ConversionResult {
    kConverted,
    kNotHeld,   // the file cannot hold a letter of it (or it is no name at all)
    kNoMemory,
};

// A file's own name as the description file holds it. Names are at most
// kMaxPathLength characters, three bytes each in UTF-8.
struct EncodedName {
    char bytes[3 * kMaxPathLength + 1];
    size_t size;
    std::string_view View() const { return std::string_view(bytes, size); }
};

// A name that holds '?' names no file: Windows puts '?' for each letter that a
// conversion to the ANSI code page lost, and no file name may hold one. So it is
// never matched and never written.
ConversionResult EncodeName(std::string_view ansiName, FileCodec codec, EncodedName* name);
ConversionResult EncodeName(std::wstring_view name, FileCodec codec, EncodedName* encoded);

// How the description file names the file of a path.
enum class NameForm {
    Own,    // by its own name
    Short,  // by its 8.3 short name: the file's code page cannot hold its own
    None,   // not at all: no key, or neither name can be held
};

// The key of a path: its last component as the file holds names. An ANSI one is
// held or not; a wide one that the file cannot hold is described under the
// file's short name, where the file system keeps one (every 4DOS-compatible
// reader finds that), else not at all.
NameForm EncodePathKey(const char* path, FileCodec codec, EncodedName* key);
NameForm EncodePathKey(const wchar_t* path, FileCodec codec, EncodedName* key);

// A description as the file holds it, in a new[] block of its own (*bytes, *size).
ConversionResult EncodeDescription(std::string_view ansiText, FileCodec codec, char** bytes, size_t* size);
ConversionResult EncodeDescription(std::wstring_view text, FileCodec codec, char** bytes, size_t* size);

// The most characters a description's file bytes become in each form, so that a
// caller can make room before DecodeDescription.
size_t DecodedRoom(size_t fileBytes, bool wide);
// The file's description bytes as a caller's text, zero-terminated; text has
// room for DecodedRoom characters, *length gets the characters written (a zero
// byte in the file stays one). The ANSI form takes what WideCharToMultiByte
// makes of a letter that the ANSI code page lacks: *lossy (may be null) tells
// that a letter was lost so. False when memory ran out.
bool DecodeDescription(std::string_view fileBytes, FileCodec codec, char* text, size_t* length, bool* lossy);
bool DecodeDescription(std::string_view fileBytes, FileCodec codec, wchar_t* text, size_t* length);

// The description as a cell shows it, with no memory but the stack: up to its
// first zero byte, at most room - 1 characters (room at most kMaxPathLength + 1)
// and never a character cut in two, zero-terminated.
void DecodeDescriptionWithin(std::string_view fileBytes, FileCodec codec, char* text, size_t room);
void DecodeDescriptionWithin(std::string_view fileBytes, FileCodec codec, wchar_t* text, size_t room);
