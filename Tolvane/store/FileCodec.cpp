// Callers' ANSI and wide texts into a description file's own form and back
// (FileCodec.h), through Windows' code-page conversions and the UTF-8 codec.
#include "FileCodec.h"

#include "AnsiText.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

// Texts longer than this are not converted: three bytes a character must still
// fit the sizes that the conversion functions take.
const size_t kLongestText = 64 * 1024 * 1024;

// (A loop, not find: the wide find would import wmemchr, which the C runtime
// of Windows 95 and NT 4 lacks.)
template <class Char>
bool HoldsQuestionMark(std::basic_string_view<Char> name) {
    for (Char c : name)
        if (c == '?') return true;
    return false;
}

// A block of count T, or null.
template <class T>
T* Allocate(size_t count) {
    return new (std::nothrow) T[count];
}

int AnsiToWide(UINT codePage, const char* text, size_t length, wchar_t* out) {
    if (length == 0) return 0;
    return MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), out, static_cast<int>(length));
}

// Wide text in a code page, into out (room for 2 bytes a unit, as double-byte
// code pages need). The number of bytes.
int WideToCodePage(UINT codePage, const wchar_t* text, size_t length, char* out) {
    if (length == 0) return 0;
    return WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), out, static_cast<int>(2 * length),
                               nullptr, nullptr);
}

// True when the code-page bytes read back as the wide text: no letter was
// lost to a stand-in ('?', or a look-alike such as A for A-macron).
bool ReadsBackAs(UINT codePage, const char* bytes, int size, const wchar_t* text, size_t length,
                 wchar_t* scratch /* length units */) {
    if (length == 0) return size == 0;
    if (size <= 0) return false;
    int back = MultiByteToWideChar(codePage, 0, bytes, size, scratch, static_cast<int>(length));
    return back == static_cast<int>(length) && std::memcmp(scratch, text, length * sizeof(wchar_t)) == 0;
}

// Wide text in a code page, refused when a letter would be lost.
ConversionResult WideToHeldCodePage(UINT codePage, const wchar_t* text, size_t length, char* out, size_t* size) {
    *size = 0;
    if (length == 0) return kConverted;
    wchar_t* scratch = Allocate<wchar_t>(length);
    if (!scratch) return kNoMemory;
    int written = WideToCodePage(codePage, text, length, out);
    bool held = written > 0 && ReadsBackAs(codePage, out, written, text, length, scratch);
    delete[] scratch;
    if (!held) return kNotHeld;
    *size = static_cast<size_t>(written);
    return kConverted;
}

}  // namespace

ConversionResult EncodeName(std::string_view ansiName, FileCodec codec, EncodedName* name) {
    name->size = 0;
    if (ansiName.empty() || ansiName.size() > kMaxPathLength || HoldsQuestionMark(ansiName)) return kNotHeld;
    if (!codec.utf8) {
        // As designed: names are never converted in a file of the code pages.
        std::memcpy(name->bytes, ansiName.data(), ansiName.size());
        name->size = ansiName.size();
        return kConverted;
    }
    wchar_t wide[kMaxPathLength];
    int units = AnsiToWide(CP_ACP, ansiName.data(), ansiName.size(), wide);
    if (units <= 0) return kNotHeld;
    return EncodeName(std::wstring_view(wide, static_cast<size_t>(units)), codec, name);
}

ConversionResult EncodeName(std::wstring_view wideName, FileCodec codec, EncodedName* name) {
    name->size = 0;
    if (wideName.empty() || wideName.size() > kMaxPathLength || HoldsQuestionMark(wideName)) return kNotHeld;
    if (codec.utf8) return Utf16ToUtf8(wideName, name->bytes, &name->size) ? kConverted : kNotHeld;
    // Twice the units fit: the ANSI form of a name takes at most two bytes a letter.
    wchar_t scratch[kMaxPathLength];
    int written = WideToCodePage(CP_ACP, wideName.data(), wideName.size(), name->bytes);
    if (written <= 0 || !ReadsBackAs(CP_ACP, name->bytes, written, wideName.data(), wideName.size(), scratch))
        return kNotHeld;
    name->size = static_cast<size_t>(written);
    return kConverted;
}

ConversionResult EncodeDescription(std::string_view ansiText, FileCodec codec, char** bytes, size_t* size) {
    *bytes = nullptr;
    *size = 0;
    const size_t length = ansiText.size();
    if (length > kLongestText) return kNoMemory;
    if (codec.utf8) {
        wchar_t* wide = Allocate<wchar_t>(length + 1);
        if (!wide) return kNoMemory;
        int units = AnsiToWide(CP_ACP, ansiText.data(), length, wide);
        if (length && units <= 0) {
            delete[] wide;
            return kNotHeld;
        }
        ConversionResult result = EncodeDescription(std::wstring_view(wide, static_cast<size_t>(units)), codec, bytes, size);
        delete[] wide;
        return result;
    }
    char* out = Allocate<char>(length + 1);
    if (!out) return kNoMemory;
    if (length) std::memcpy(out, ansiText.data(), length);
    if (codec.oem) {
        // Refused when a letter has no OEM twin: it would come back as another.
        char* back = Allocate<char>(length + 1);
        if (!back) {
            delete[] out;
            return kNoMemory;
        }
        ConvertAnsiToOem(out, length);
        if (length) std::memcpy(back, out, length);
        ConvertOemToAnsi(back, length);
        const bool held = length == 0 || std::memcmp(back, ansiText.data(), length) == 0;
        delete[] back;
        if (!held) {
            delete[] out;
            return kNotHeld;
        }
    }
    *bytes = out;
    *size = length;
    return kConverted;
}

ConversionResult EncodeDescription(std::wstring_view text, FileCodec codec, char** bytes, size_t* size) {
    *bytes = nullptr;
    *size = 0;
    const size_t length = text.size();
    if (length > kLongestText) return kNoMemory;
    // UTF-8 takes at most three bytes a unit, a double-byte code page two.
    char* out = Allocate<char>(3 * length + 1);
    if (!out) return kNoMemory;
    size_t written = 0;
    ConversionResult result;
    if (codec.utf8)
        result = Utf16ToUtf8(text, out, &written) ? kConverted : kNotHeld;
    else
        result = WideToHeldCodePage(codec.oem ? CP_OEMCP : CP_ACP, text.data(), length, out, &written);
    if (result != kConverted) {
        delete[] out;
        return result;
    }
    *bytes = out;
    *size = written;
    return kConverted;
}

size_t DecodedRoom(size_t fileBytes, bool wide) {
    // A UTF-8 sequence of n bytes is at most n units, and a unit at most two
    // bytes of a double-byte ANSI code page.
    return (wide ? fileBytes : 2 * fileBytes) + 1;
}

bool DecodeDescription(std::string_view fileBytes, FileCodec codec, char* text, size_t* length, bool* lossy) {
    const size_t size = fileBytes.size();
    *length = 0;
    if (lossy) *lossy = false;
    if (size > kLongestText) return false;
    if (codec.utf8) {
        wchar_t* wide = Allocate<wchar_t>(2 * size + 1);
        if (!wide) return false;
        const size_t units = Utf8ToUtf16(fileBytes, wide);
        int written = WideToCodePage(CP_ACP, wide, units, text);
        if (written < 0) written = 0;
        text[written] = '\0';
        *length = static_cast<size_t>(written);
        if (lossy) *lossy = !ReadsBackAs(CP_ACP, text, written, wide, units, wide + size);
        delete[] wide;
        return true;
    }
    if (size) std::memcpy(text, fileBytes.data(), size);
    text[size] = '\0';
    *length = size;
    if (codec.oem) {
        ConvertOemToAnsi(text, size);
        if (lossy && size) {
            // OEM letters without an ANSI twin (box drawing, for one) come back as others.
            char* back = Allocate<char>(size);
            if (!back) return false;
            std::memcpy(back, text, size);
            ConvertAnsiToOem(back, size);
            *lossy = std::memcmp(back, fileBytes.data(), size) != 0;
            delete[] back;
        }
    }
    return true;
}

bool DecodeDescription(std::string_view fileBytes, FileCodec codec, wchar_t* text, size_t* length) {
    const size_t size = fileBytes.size();
    *length = 0;
    if (size > kLongestText) return false;
    size_t units;
    if (codec.utf8) {
        units = Utf8ToUtf16(fileBytes, text);
    } else {
        int written = AnsiToWide(codec.oem ? CP_OEMCP : CP_ACP, fileBytes.data(), size, text);
        units = written > 0 ? static_cast<size_t>(written) : 0;
    }
    text[units] = L'\0';
    *length = units;
    return true;
}

namespace {

// The first count bytes of code-page text that do not end inside a
// double-byte character.
size_t WholeCharacters(UINT codePage, std::string_view bytes, size_t count) {
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t step = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(bytes[at])) ? 2 : 1;
        if (at + step > count) break;
        at += step;
    }
    return at < count ? at : count;
}

// The description up to its first zero byte: what a zero-terminated text shows.
std::string_view UpToZero(std::string_view bytes) {
    const void* zero = bytes.empty() ? nullptr : std::memchr(bytes.data(), '\0', bytes.size());
    return zero ? std::string_view(bytes.data(), static_cast<const char*>(zero) - bytes.data()) : bytes;
}

}  // namespace

NameForm EncodePathKey(const char* path, FileCodec codec, EncodedName* key) {
    key->size = 0;
    std::string_view name = path ? PathKey(path, IsAnsiLeadByte) : std::string_view();
    return EncodeName(name, codec, key) == kConverted ? NameForm::Own : NameForm::None;
}

NameForm EncodePathKey(const wchar_t* path, FileCodec codec, EncodedName* key) {
    key->size = 0;
    if (!path) return NameForm::None;
    std::wstring_view name = PathKey(std::wstring_view(path, TextLength(path)));
    if (name.empty()) return NameForm::None;
    if (EncodeName(name, codec, key) == kConverted) return NameForm::Own;
    wchar_t shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameW(path, shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return NameForm::None;
    std::wstring_view shortName = PathKey(std::wstring_view(shortPath, length));
    if (shortName.empty() || EqualNoCase(shortName, name)) return NameForm::None;
    return EncodeName(shortName, codec, key) == kConverted ? NameForm::Short : NameForm::None;
}

void DecodeDescriptionWithin(std::string_view fileBytes, FileCodec codec, char* text, size_t room) {
    text[0] = '\0';
    if (room < 2) return;
    fileBytes = UpToZero(fileBytes);
    if (codec.utf8) {
        wchar_t wide[kMaxPathLength + 1];
        size_t used = 0;
        const size_t units = Utf8ToUtf16Within(fileBytes, wide, room - 1, &used);
        char ansi[2 * (kMaxPathLength + 1)];
        int written = WideToCodePage(CP_ACP, wide, units, ansi);
        if (written < 0) written = 0;
        const size_t kept = WholeCharacters(CP_ACP, std::string_view(ansi, written), room - 1);
        std::memcpy(text, ansi, kept);
        text[kept] = '\0';
        return;
    }
    const UINT codePage = codec.oem ? CP_OEMCP : CP_ACP;
    const size_t kept = WholeCharacters(codePage, fileBytes, room - 1);
    std::memcpy(text, fileBytes.data(), kept);
    text[kept] = '\0';
    if (codec.oem) ConvertOemToAnsi(text, kept);
}

void DecodeDescriptionWithin(std::string_view fileBytes, FileCodec codec, wchar_t* text, size_t room) {
    text[0] = L'\0';
    if (room < 2) return;
    fileBytes = UpToZero(fileBytes);
    size_t units;
    if (codec.utf8) {
        size_t used = 0;
        units = Utf8ToUtf16Within(fileBytes, text, room - 1, &used);
    } else {
        const UINT codePage = codec.oem ? CP_OEMCP : CP_ACP;
        const size_t kept = WholeCharacters(codePage, fileBytes, room - 1);
        const int written = AnsiToWide(codePage, fileBytes.data(), kept, text);
        units = written > 0 ? static_cast<size_t>(written) : 0;
    }
    text[units] = L'\0';
}
