// Telling a description file's encoding from its bytes, and converting callers'
// texts into a file's form and back. This machine's ANSI code page is 1252 and
// its OEM code page 437 (Wine's, for an English system).
#include "StoreTestSupport.h"
#include "store/FileCodec.h"
#include "store/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::Wide;

namespace {

const FileCodec kUtf8 = {true, false};
const FileCodec kAnsi = {false, false};
const FileCodec kOem = {false, true};

TEST(TextEncoding, FileIsUtf8ByItsMarkOrByItsValidMultiByteSequences) {
    struct Case {
        const char* why;
        std::string bytes;
        bool utf8;
        bool mark;
    } cases[] = {
        {"the mark", "\xEF\xBB\xBF" "a.txt x\r\n", true, true},
        {"the mark alone", "\xEF\xBB\xBF", true, true},
        {"the mark and ANSI bytes behind it", "\xEF\xBB\xBF" "caf\xE9", true, true},
        {"two-byte letters", "first.txt Gr\xC3\xBC\xC3\x9F" "e\r\n", true, false},
        {"three- and four-byte letters", "\xE6\x97\xA5.txt \xF0\x9F\x98\x80\r\n", true, false},
        {"ASCII only", "report.txt Monthly report\r\n", false, false},
        {"empty", "", false, false},
        {"ANSI e acute", "caf\xE9.txt caf\xE9\r\n", false, false},
        {"OEM box drawing", "box.txt \xB0\xB1\xDB\r\n", false, false},
        {"valid letters and one stray byte", "a \xC3\xBC\r\nb \xFC\r\n", false, false},
        {"a sequence cut at the end", "a \xE6\x97", false, false},
        {"an overlong slash", "a \xC0\xAF", false, false},
        {"a surrogate", "a \xED\xA0\x80", false, false},
        {"beyond U+10FFFF", "a \xF4\x90\x80\x80", false, false},
        {"a lone continuation byte", "a \x80", false, false},
        {"letters only behind a Ctrl-Z", "a x\r\n\x1A\xC3\xBC", false, false},
        {"a stray byte only behind a Ctrl-Z", "a \xC3\xBC\r\n\x1A\xFC", true, false},
        // Two ANSI letters that happen to form one UTF-8 letter: read as UTF-8.
        {"ANSI that is valid UTF-8", "\xC3\xA9", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FileEncoding found = DetectEncoding(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(c.utf8, found.encoding == TextEncoding::Utf8);
        EXPECT_EQ(c.mark, found.mark);
        EXPECT_EQ(c.mark ? 3u : 0u, found.dataStart);
    }
    EXPECT_EQ(TextEncoding::CodePage, DetectEncoding(nullptr, 0).encoding);
}

// Texts into UTF-8 (the code pages are shown with files, EncodedFilesTest):
// every letter, from wide texts and from ANSI ones; a lone surrogate has no
// UTF-8 form.
TEST(FileCodec, DescriptionsGoIntoUtf8) {
    char* bytes = nullptr;
    size_t size = 0;
    EXPECT_EQ(kConverted, EncodeDescription(Wide("日本語 Ελληνικά Русский 😀"), kUtf8, &bytes, &size));
    EXPECT_EQ("日本語 Ελληνικά Русский 😀", std::string(bytes, size));
    delete[] bytes;
    EXPECT_EQ(kConverted, EncodeDescription(std::string("caf\xE9 \x80"), kUtf8, &bytes, &size));
    EXPECT_EQ("café €", std::string(bytes, size));
    delete[] bytes;
    EXPECT_EQ(kNotHeld, EncodeDescription(std::wstring(L"a\xD800z"), kUtf8, &bytes, &size));
    EXPECT_EQ(nullptr, bytes);
}

// Names: a '?' stands for a letter lost on the way to the ANSI code page, so a
// name that holds one is no name; names of the code pages are never converted.
TEST(FileCodec, NamesGoIntoTheFileOnlyWhole) {
    struct Case {
        const wchar_t* name;
        FileCodec codec;
        bool held;
        std::string bytes;
    } cases[] = {
        {L"日本.txt", kUtf8, true, "日本.txt"},
        {L"日本.txt", kAnsi, false, ""},
        {L"café.txt", kOem, true, "caf\xE9.txt"},  // names stay ANSI in an OEM file
        {L"??.txt", kAnsi, false, ""},
        {L"??.txt", kUtf8, false, ""},
        {L"a\xDC00.txt", kUtf8, false, ""},
        {L"", kAnsi, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Utf8(c.name));
        EncodedName name;
        EXPECT_EQ(c.held, EncodeName(std::wstring_view(c.name), c.codec, &name) == kConverted);
        EXPECT_EQ(c.bytes, std::string(name.View()));
    }
    EncodedName name;
    EXPECT_EQ(kConverted, EncodeName(std::string_view("caf\xE9.txt"), kUtf8, &name));
    EXPECT_EQ("caf\xC3\xA9.txt", std::string(name.View()));
    EXPECT_EQ(kConverted, EncodeName(std::string_view("caf\xE9.txt"), kOem, &name));
    EXPECT_EQ("caf\xE9.txt", std::string(name.View()));
    EXPECT_EQ(kNotHeld, EncodeName(std::string_view("a?.txt"), kAnsi, &name));
}

// Out of the file: wide texts keep every letter; ANSI ones take what Windows
// makes of a letter the code page lacks, and say so.
TEST(FileCodec, DescriptionsComeOutInTheCallersForm) {
    struct Case {
        std::string bytes;
        FileCodec codec;
        const char* utf8Text;
        std::string ansi;
        bool lossy;
    } cases[] = {
        {"Gr\xC3\xBC\xC3\x9F" "e", kUtf8, "Grüße", "Gr\xFC\xDF" "e", false},
        {"日本", kUtf8, "日本", "??", true},
        {"Ωmega 😀", kUtf8, "Ωmega 😀", "", true},
        {"caf\x82", kOem, "café", "caf\xE9", false},
        {"\xB0\xDB", kOem, "░█", "", true},
        {"caf\xE9", kAnsi, "café", "caf\xE9", false},
        {std::string("a\0b", 3), kAnsi, "a", "a", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8Text);
        std::wstring wide(DecodedRoom(c.bytes.size(), true), L'#');
        size_t length = 0;
        ASSERT_TRUE(DecodeDescription(c.bytes, c.codec, &wide[0], &length));
        EXPECT_EQ(Wide(c.utf8Text), std::wstring(wide.c_str()));
        std::string ansi(DecodedRoom(c.bytes.size(), false), '#');
        bool lossy = !c.lossy;
        ASSERT_TRUE(DecodeDescription(c.bytes, c.codec, &ansi[0], &length, &lossy));
        if (!c.ansi.empty()) {
            EXPECT_EQ(c.ansi, std::string(ansi.c_str()));
        }
        EXPECT_EQ(c.lossy, lossy);
    }
}

// A cell shows at most 259 characters, never half of one.
TEST(FileCodec, CellsAreCutBetweenCharacters) {
    std::string emoji;
    for (int i = 0; i < 200; ++i) emoji += "😀";  // two units each
    wchar_t wide[260];
    DecodeDescriptionWithin(emoji, kUtf8, wide, 260);
    EXPECT_EQ(258u, wcslen(wide));
    EXPECT_EQ(Wide(emoji.substr(0, 129 * 4)), std::wstring(wide));

    std::string letters;
    for (int i = 0; i < 300; ++i) letters += "ü";
    char ansi[260];
    DecodeDescriptionWithin(letters, kUtf8, ansi, 260);
    EXPECT_EQ(std::string(259, '\xFC'), std::string(ansi));
    DecodeDescriptionWithin(std::string("box \xB0\0after", 11), kOem, wide, 260);
    EXPECT_EQ(Wide("box ░"), std::wstring(wide));
}

}  // namespace
