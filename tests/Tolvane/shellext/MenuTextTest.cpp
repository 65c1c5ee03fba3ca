// The menu text cut byte by byte to the width setting.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shellext/MenuText.h"

namespace {

std::string Build(const std::string& description, unsigned width) {
    char text[kMenuTextSize];
    std::memset(text, 'X', sizeof text);
    BuildMenuText(description.c_str(), width, text);
    return text;
}

TEST(MenuText, WidthExamplesForEighteenBytes) {
    const std::string description = "Quarterly figures!";   // 18 bytes
    ASSERT_EQ(18u, description.size());
    EXPECT_EQ("\"Quarterly figures!\"", Build(description, 1024));
    EXPECT_EQ("\"Quarter...\"", Build(description, 10));
    EXPECT_EQ("\"Q...\"", Build(description, 4));
    EXPECT_EQ("\"Qua\"", Build(description, 3));
    EXPECT_EQ("\"Qu\"", Build(description, 2));
    EXPECT_EQ("\"Q\"", Build(description, 1));
    EXPECT_EQ("\"\"", Build(description, 0));
}

TEST(MenuText, ExactFitIsShownWholeAndOneByteMoreIsCut) {
    EXPECT_EQ("\"abcd\"", Build("abcd", 4));
    EXPECT_EQ("\"a...\"", Build("abcde", 4));
    EXPECT_EQ("\"abcdefghijklmnopqr\"", Build("abcdefghijklmnopqr", 18));
    EXPECT_EQ("\"abcdefghijklmn...\"", Build("abcdefghijklmnopqrs", 17));
}

TEST(MenuText, WidthsAboveTheLargestAreTakenAsIt) {
    const std::string longest(1023, 'd');
    EXPECT_EQ("\"" + longest + "\"", Build(longest, 5000));
    const std::string huge(2100, 'e');
    const std::string shown = Build(huge, 0xFFFFFFFFu);
    ASSERT_EQ(2002u, shown.size());
    EXPECT_EQ("\"" + std::string(1997, 'e') + "...\"", shown);
    EXPECT_EQ(shown, Build(huge, 2000));
    EXPECT_EQ("\"" + std::string(1999, 'e') + "\"", Build(std::string(1999, 'e'), 2001));
}

TEST(MenuText, BytesAreKeptAsTheyAre) {
    // An ampersand is not doubled; a double-byte character may be cut in two.
    EXPECT_EQ("\"R&D budget\"", Build("R&D budget", 100));
    EXPECT_EQ("\"\x82\xa0\x82\"", Build("\x82\xa0\x82\xa2\x82\xa4", 3));
    EXPECT_EQ("\"\"", Build("", 10));
}

// Wide texts are cut unit by unit, but a letter of two units (a surrogate pair)
// stays whole or goes whole.
TEST(MenuText, WideTextsNeverCutALetterInTwo) {
    struct Case {
        const wchar_t* description;
        unsigned width;
        const wchar_t* shown;
    } cases[] = {
        {L"日本語の説明", 6, L"\"日本語の説明\""},
        {L"日本語の説明", 4, L"\"日...\""},
        {L"ab\U0001F600cd", 3, L"\"ab\""},
        {L"ab\U0001F600", 4, L"\"ab\U0001F600\""},
        {L"ab\U0001F600cd", 4, L"\"a...\""},
        {L"abcdef\U0001F600", 7, L"\"abc...\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        wchar_t text[kMenuTextSize];
        BuildMenuText(c.description, c.width, text);
        EXPECT_EQ(std::wstring(c.shown), std::wstring(text));
    }
}

}  // namespace
