// The line grammar over bytes: reading, writing, and writing what was read.
#include "store/DescriptionReader.h"
#include "store/DescriptionWriter.h"
#include "store/PathParts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name, description, tail;
    bool operator==(const Entry& other) const {
        return name == other.name && description == other.description && tail == other.tail;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << "{" << testing::PrintToString(e.name) << ", " << testing::PrintToString(e.description)
               << ", " << testing::PrintToString(e.tail) << "}";
}

std::vector<Entry> Read(const std::string& bytes) {
    std::vector<Entry> entries;
    CDescriptionReader reader(bytes.data(), bytes.size());
    DescriptionLine line;
    while (reader.ReadEntry(&line))
        entries.push_back({std::string(line.name), std::string(line.description), std::string(line.tail)});
    return entries;
}

std::string Write(const std::vector<Entry>& entries) {
    std::string image;
    for (const Entry& e : entries) {
        DescriptionLinePieces line = WrittenLine(e.name, e.description, e.tail);
        for (int i = 0; i < line.count; ++i) image.append(line.pieces[i]);
    }
    return image;
}

// Whatever was read, writing it reads back the same entries.
#define EXPECT_ROUND_TRIP(bytes)                                         \
    do {                                                                 \
        std::vector<Entry> first = Read(bytes);                          \
        for (const Entry& e : first) EXPECT_TRUE(CanWriteName(e.name)) << e; \
        EXPECT_EQ(first, Read(Write(first)));                            \
    } while (0)

TEST(DescriptionGrammar, ReadsNamesDescriptionsAndTails) {
    EXPECT_EQ(Read("report.txt Monthly report\r\n"),
              (std::vector<Entry>{{"report.txt", "Monthly report", ""}}));
    EXPECT_EQ(Read("\"my notes.txt\" Shopping list\r\n"),
              (std::vector<Entry>{{"my notes.txt", "Shopping list", ""}}));
    EXPECT_EQ(Read("a.txt     many blanks  \r\n"), (std::vector<Entry>{{"a.txt", "many blanks  ", ""}}));
    EXPECT_EQ(Read("a.txt text\x04tail\x04more\r\n"),
              (std::vector<Entry>{{"a.txt", "text", "\x04tail\x04more"}}));
    // A Ctrl-D as the first byte of the description belongs to it.
    EXPECT_EQ(Read("a.txt \x04x\r\n"), (std::vector<Entry>{{"a.txt", "\x04x", ""}}));
    // A leading blank is the name's first byte; a tab is an ordinary character.
    EXPECT_EQ(Read(" lead x\r\n"), (std::vector<Entry>{{" lead", "x", ""}}));
    EXPECT_EQ(Read("tab\tname d\te\r\n"), (std::vector<Entry>{{"tab\tname", "d\te", ""}}));
}

TEST(DescriptionGrammar, TextModeLineEnds) {
    // CR LF and LF end lines; a lone CR is a character; Ctrl-Z ends the data.
    EXPECT_EQ(Read("a 1\r\nb 2\nc 3"),
              (std::vector<Entry>{{"a", "1", ""}, {"b", "2", ""}, {"c", "3", ""}}));
    EXPECT_EQ(Read("a x\ry\r\r\n"), (std::vector<Entry>{{"a", "x\ry\r", ""}}));
    EXPECT_EQ(Read("a 1\r\nb 2\x1a" "c 3\r\n"), (std::vector<Entry>{{"a", "1", ""}, {"b", "2", ""}}));
    EXPECT_EQ(Read("a 1\r"), (std::vector<Entry>{{"a", "1\r", ""}}));
}

TEST(DescriptionGrammar, MalformedLinesKeepWhatHasAName) {
    EXPECT_EQ(Read("\r\n\na 1\r\n\r\n"), (std::vector<Entry>{{"a", "1", ""}}));
    EXPECT_EQ(Read("lonely\r\nlast"), (std::vector<Entry>{{"lonely", "", ""}, {"last", "", ""}}));
    EXPECT_EQ(Read("name   \r\n"), (std::vector<Entry>{{"name", "", ""}}));
    EXPECT_EQ(Read("\"open quote x\r\nb 2\r\n"), (std::vector<Entry>{{"open quote x", "", ""}, {"b", "2", ""}}));
    EXPECT_EQ(Read("\"\r\n\"\n"), std::vector<Entry>());
    EXPECT_EQ(Read("\"\"\"\"\r\n"), (std::vector<Entry>{{"\"", "\"", ""}}));
    EXPECT_EQ(Read("   \r\n"), (std::vector<Entry>{{" ", "", ""}}));
}

TEST(DescriptionGrammar, WritesOneBlankAndQuotesNamesWithBlanks) {
    EXPECT_EQ(Write({{"plan.xls", "Budget 2003", ""}}), "plan.xls Budget 2003\r\n");
    EXPECT_EQ(Write({{"my notes.txt", "list", ""}}), "\"my notes.txt\" list\r\n");
    EXPECT_EQ(Write({{"empty", "", ""}}), "empty \r\n");
    EXPECT_EQ(Write({{"a", "b", "\x04tail"}}), "a b\x04tail\r\n");
    EXPECT_EQ(Write({{" lead", "x", ""}}), "\" lead\" x\r\n");
}

TEST(DescriptionGrammar, RewritesReadLinesByteForByte) {
    for (const char* line : {"report.txt Monthly report\r\n", "\"my notes.txt\" x\r\n",
                             "a.txt text\x04" "4DOS tail\r\n", "\"\"x\" quote first\r\n", " a\"b blank first\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(line));
        EXPECT_EQ(Write(Read(line)), line);
    }
}

TEST(DescriptionGrammar, RoundTripsHostileBytes) {
    EXPECT_ROUND_TRIP(std::string("a\0b c\0d\r\n\0\0 x\r\n", 16));
    EXPECT_ROUND_TRIP(std::string("\"\"\"\"\"\"\"\r\n\"\"\"", 12));
    EXPECT_ROUND_TRIP(std::string("      \r\n  \r\n"));
    EXPECT_ROUND_TRIP(std::string("\" a\"b\" c\r\n\"\"x y\r\n\r\r\r\n\x04\x04\x04 \x04"));
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919) % 251));
    EXPECT_ROUND_TRIP(binary);
}

TEST(DescriptionGrammar, NeverCutsLongFields) {
    std::string name(3000, 'n'), description(1024 * 1024, 'd'), tail = "\x04" + std::string(5000, 't');
    std::vector<Entry> entries = Read(name + " " + description + tail + "\r\nnext 1\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name.size(), name.size());
    EXPECT_EQ(entries[0].description.size(), description.size());
    EXPECT_EQ(entries[0].tail.size(), tail.size());
    EXPECT_EQ(entries[1], (Entry{"next", "1", ""}));
}

// What a scan of every line finds first for key, as "name|description|tail",
// or "-" when none matches.
std::string ScanFor(const std::string& bytes, const std::string& key) {
    CDescriptionReader reader(bytes.data(), bytes.size());
    DescriptionLine line;
    while (reader.ReadEntry(&line))
        if (EqualNoCase(line.name, key))
            return std::string(line.name) + "|" + std::string(line.description) + "|" + std::string(line.tail);
    return "-";
}

std::string FindFor(const std::string& bytes, const std::string& key, bool* ended = nullptr) {
    DescriptionLine line;
    if (!FindEntry(bytes.data(), bytes.size(), key, &line, ended)) return "-";
    return std::string(line.name) + "|" + std::string(line.description) + "|" + std::string(line.tail);
}

// The one-entry lookup finds exactly the line that reading every line finds
// first, for every name and case of it, in files of every odd form.
TEST(DescriptionGrammar, FindEntryFindsWhatAScanFindsFirst) {
    const std::string files[] = {
        "report.txt Monthly report\r\n\"my notes.txt\" two\x04tail\r\nREPORT.TXT shadowed\r\nlast.txt 3",
        "\r\n\n\"\r\n\"\"\"\" q\r\n   \r\n lead x\r\nname   \r\n\"open quote x\r\nb 2\r\n",
        "a x\ry\r\r\nrep report\r\nreport.txt.bak older\r\nreport later\r\n",
        std::string("a\0b c\r\nz 1\x1areport.txt after the end\r\n", 37),
    };
    const char* keys[] = {"report.txt", "REPORT.TXT", "Report.Txt", "my notes.txt", "last.txt", "\"", " lead",
                          "name", "open quote x", "b", "a", "rep", "report", "report.txt.bak", "z", " ",
                          "missing", "\"my notes.txt\"", "a\ry\r"};
    for (const std::string& file : files) {
        for (const char* key : keys) {
            SCOPED_TRACE(testing::PrintToString(file) + " key " + testing::PrintToString(key));
            EXPECT_EQ(FindFor(file, key), ScanFor(file, key));
        }
    }
    // Line ends at every place within a block that is looked at whole: lines of 3
    // to 80 bytes.
    std::string lines;
    for (int length = 1; length < 40; ++length) lines += "n" + std::to_string(length) + std::string(length, 'x') + "\n";
    for (int length = 1; length < 40; ++length) {
        std::string key = "n" + std::to_string(length) + std::string(length, 'x');
        EXPECT_EQ(FindFor(lines, key), key + "||") << key;
        EXPECT_EQ(FindFor(lines.substr(1), key), ScanFor(lines.substr(1), key)) << key;
    }
    // No key names nothing; a Ctrl-Z is reported, so that a reader reads no further.
    bool ended = true;
    EXPECT_EQ(FindFor("a 1\r\n", "", &ended), "-");
    EXPECT_EQ(FindFor("a 1\r\nb 2\x1a" "c 3\r\n", "c", &ended), "-");
    EXPECT_TRUE(ended);
    EXPECT_EQ(FindFor("a 1\r\nb 2\r\n", "c", &ended), "-");
    EXPECT_FALSE(ended);
}

TEST(DescriptionGrammar, NamesThatCannotBeWritten) {
    EXPECT_FALSE(CanWriteName(""));
    EXPECT_FALSE(CanWriteName("a\nb"));
    EXPECT_FALSE(CanWriteName("a\x1a"));
    EXPECT_FALSE(CanWriteName("a \"b"));  // neither form reads it back
    EXPECT_TRUE(CanWriteName("a b"));
    EXPECT_TRUE(CanWriteName("\"a"));
}

}  // namespace
