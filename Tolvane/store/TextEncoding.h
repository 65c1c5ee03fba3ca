// The encoding of a description file, told from its bytes, and UTF-8 to and from
// UTF-16. Other programs write description files in UTF-8, some with the UTF-8
// mark in front and some without; ours are in the ANSI and OEM code pages.
//
// A file that begins with the mark (EF BB BF) is UTF-8, and the mark is not part
// of its first name. A file without it is UTF-8 when it holds at least one
// multi-byte UTF-8 sequence and no byte that is not valid UTF-8: text in an ANSI
// or OEM code page almost never passes that test. Every other file is in the code
// pages (names ANSI, descriptions ANSI or OEM as the setting "Ansi" says). Only
// the bytes before the first Ctrl-Z count: the data of a text file ends there.
//
// UTF-16 text is held in wchar_t, which is 16 bits on Windows; elsewhere (the
// fuzzer) each wchar_t holds one 16-bit unit. Pure code over bytes.
#pragma once

#include <cstddef>
#include <string_view>

enum class TextEncoding { CodePage, Utf8 };

struct FileEncoding {
    TextEncoding encoding;
    bool mark;         // begins with the UTF-8 mark, which a rewrite keeps
    size_t dataStart;  // where the lines begin: behind the mark, or 0
};

constexpr std::string_view kUtf8Mark("\xEF\xBB\xBF", 3);

FileEncoding DetectEncoding(const char* bytes, size_t size);

// The test DetectEncoding makes of the data behind the mark, for a reader that
// looks at a file piece by piece: false at the first byte that is not valid
// UTF-8; *multiByte is set when a multi-byte sequence is met (and otherwise left
// as it was). The pieces must hold no Ctrl-Z and be cut between lines: a line
// feed is no part of any sequence, so each piece is tested on its own.
bool CheckUtf8(const char* bytes, size_t size, bool* multiByte);

// The length of the valid UTF-8 sequence at the start of bytes (1 to 4), or 0
// when the first byte starts none. An empty text has none.
size_t Utf8SequenceLength(std::string_view bytes);

// UTF-8 into UTF-16: out must have room for bytes.size() units (no sequence
// yields more units than it has bytes). A byte that starts no valid sequence
// becomes U+FFFD. The number of units written.
size_t Utf8ToUtf16(std::string_view bytes, wchar_t* out);
// As many whole characters of bytes as fit in room units; a surrogate pair is
// never cut. *used: the bytes they took.
size_t Utf8ToUtf16Within(std::string_view bytes, wchar_t* out, size_t room, size_t* used);

// UTF-16 into UTF-8: out must have room for 3 bytes per unit. False when the
// text holds a lone surrogate, which has no UTF-8 form (nothing is promised of
// out then). *written: the bytes written.
bool Utf16ToUtf8(std::wstring_view text, char* out, size_t* written);
