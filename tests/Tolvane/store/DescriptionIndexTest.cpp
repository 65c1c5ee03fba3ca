// The index over a description file's names answers every lookup as the store's
// scan of the lines does: names folded only for A to Z, the first line of a name
// wins, lines outside the grammar read alike.
#include "store/DescriptionIndex.h"
#include "store/DescriptionReader.h"
#include "store/PathParts.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

// The store's own way: the lines in order, up to the first match.
bool ScanFor(const std::string& bytes, std::string_view key, DescriptionLine* found) {
    if (key.empty()) return false;
    CDescriptionReader reader(bytes.data(), bytes.size());
    DescriptionLine line;
    while (reader.ReadEntry(&line))
        if (EqualNoCase(line.name, key)) {
            *found = line;
            return true;
        }
    return false;
}

// Index and scan agree on key: the same line (the same bytes, not only the
// same text), or both nothing.
void ExpectSameAnswer(const std::string& bytes, const CDescriptionIndex& index, const std::string& key) {
    DescriptionLine scanned, indexed;
    bool inScan = ScanFor(bytes, key, &scanned);
    bool inIndex = index.Find(key, &indexed);
    ASSERT_EQ(inIndex, inScan) << testing::PrintToString(key);
    if (!inScan) return;
    EXPECT_EQ(indexed.name.data(), scanned.name.data()) << testing::PrintToString(key);
    EXPECT_EQ(indexed.name, scanned.name);
    EXPECT_EQ(indexed.description, scanned.description);
    EXPECT_EQ(indexed.tail, scanned.tail);
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return upper;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return lower;
}

// Every name of the file, spelled as written and in other cases, and keys
// that differ from them in one byte.
std::vector<std::string> KeysOf(const std::string& bytes) {
    std::vector<std::string> keys;
    CDescriptionReader reader(bytes.data(), bytes.size());
    DescriptionLine line;
    while (reader.ReadEntry(&line)) {
        std::string name(line.name), upper = Upper(name), lower = Lower(name), changed = name;
        changed.back() = static_cast<char>(changed.back() ^ 0x20);
        keys.insert(keys.end(), {name, upper, lower, changed, name + "x", name.substr(1)});
    }
    return keys;
}

void ExpectIndexAgrees(const std::string& bytes) {
    CDescriptionIndex index;
    ASSERT_TRUE(index.Build(bytes.data(), bytes.size()));
    for (const std::string& key : KeysOf(bytes)) ExpectSameAnswer(bytes, index, key);
    ExpectSameAnswer(bytes, index, "");
    ExpectSameAnswer(bytes, index, "not-there.txt");
}

TEST(DescriptionIndex, FindsAsTheScanDoes) {
    std::string bytes =
        "report.txt Monthly report\r\n"
        "\"my notes.txt\" Notes with blanks\r\n"
        "REPORT.TXT shadowed by the first\r\n"
        " lead starts with a blank\r\n"
        "tail.txt text\x04kept tail\r\n"
        "\r\n"
        "bare.txt\r\n"
        "\"open quote\r\n"
        "cr.txt ends in CR\r"
        "still the same line\n"
        "lone-lf.txt line feed only\n"
        "\"\"quoted\" a quote in the name\r\n"
        "a[b.txt brackets\r\n"
        "\xc9t\xe9.txt accented\r\n"
        "last.txt no line end, a CR\r";
    ExpectIndexAgrees(bytes);

    CDescriptionIndex index;
    ASSERT_TRUE(index.Build(bytes.data(), bytes.size()));
    DescriptionLine line;
    ASSERT_TRUE(index.Find("Report.Txt", &line));
    EXPECT_EQ(line.description, "Monthly report");
    ASSERT_TRUE(index.Find("MY NOTES.TXT", &line));
    EXPECT_EQ(line.description, "Notes with blanks");
    ASSERT_TRUE(index.Find("last.txt", &line));
    EXPECT_EQ(line.description, "no line end, a CR\r");
    // Only A to Z fold: "[" is not "{", an accented capital is not its small letter.
    EXPECT_FALSE(index.Find("A{B.TXT", &line));
    EXPECT_FALSE(index.Find("\xe9t\xe9.txt", &line));
    EXPECT_TRUE(index.Find("\xc9T\xe9.TXT", &line));
}

TEST(DescriptionIndex, DataEndsAtCtrlZ) {
    std::string bytes = std::string("before.txt one\r\n\x1a") + "after.txt two\r\n";
    ExpectIndexAgrees(bytes);
    CDescriptionIndex index;
    ASSERT_TRUE(index.Build(bytes.data(), bytes.size()));
    DescriptionLine line;
    EXPECT_TRUE(index.Find("before.txt", &line));
    EXPECT_FALSE(index.Find("after.txt", &line));
}

TEST(DescriptionIndex, EmptyDataHasNoNames) {
    CDescriptionIndex index;
    DescriptionLine line;
    EXPECT_FALSE(index.Find("a.txt", &line));  // never built
    ASSERT_TRUE(index.Build(nullptr, 0));
    EXPECT_FALSE(index.Find("a.txt", &line));
    ASSERT_TRUE(index.Build("\r\n\r\n", 4));
    EXPECT_FALSE(index.Find("a.txt", &line));
}

// A file of more lines than the index takes is refused, not half indexed.
TEST(DescriptionIndex, RefusesMoreLinesThanItTakes) {
    std::string bytes;
    for (size_t i = 0; i < CDescriptionIndex::kMaxLines; ++i) bytes += "a\n";
    CDescriptionIndex index;
    DescriptionLine line;
    ASSERT_TRUE(index.Build(bytes.data(), bytes.size()));
    EXPECT_TRUE(index.Find("A", &line));
    bytes += "b x\n";
    EXPECT_FALSE(index.Build(bytes.data(), bytes.size()));
    EXPECT_FALSE(index.Find("A", &line));
}

// Many entries, many names met again in other cases: the first always wins.
// The scan's answers come from one pass here: the first line of each name.
TEST(DescriptionIndex, LargeFilesWithRepeatedNames) {
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        char line[96];
        snprintf(line, sizeof line, "%s%05d.txt Description %d\r\n", i % 3 ? "file" : "FILE", i % 7000, i);
        bytes += line;
    }
    std::map<std::string, const char*> first;  // upper-case name -> its first line's name
    CDescriptionReader reader(bytes.data(), bytes.size());
    DescriptionLine line;
    while (reader.ReadEntry(&line)) first.emplace(Upper(line.name), line.name.data());
    ASSERT_EQ(first.size(), 7000u);

    CDescriptionIndex index;
    ASSERT_TRUE(index.Build(bytes.data(), bytes.size()));
    for (const auto& [name, where] : first) {
        for (const std::string& key : {name, Lower(name)}) {
            ASSERT_TRUE(index.Find(key, &line)) << key;
            EXPECT_EQ(line.name.data(), where) << key;
        }
    }
    EXPECT_FALSE(index.Find("FILE07000.TXT", &line));
}

// The index over one file, mended for the file as read again, answers as one
// built anew over the new bytes: for every name of both, at every kind of change.
void ExpectUpdateAgrees(const std::string& before, const std::string& after) {
    CDescriptionIndex index;
    ASSERT_TRUE(index.Build(before.data(), before.size()));
    ASSERT_TRUE(index.Update(after.data(), after.size()));
    for (const std::string& key : KeysOf(before)) ExpectSameAnswer(after, index, key);
    for (const std::string& key : KeysOf(after)) ExpectSameAnswer(after, index, key);
    ExpectSameAnswer(after, index, "not-there.txt");
}

TEST(DescriptionIndex, UpdateMendsWhatChanged) {
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += "f" + std::to_string(i) + ".txt description " + std::to_string(i) + "\r\n";
    const std::string file = "a.txt one\r\n\"b c.txt\" two\x04tail\r\n" + lines + "z.txt last";
    struct Case {
        const char* what;
        std::string before, after;
    } cases[] = {
        {"one letter, same size", file, "a.txt One\r\n\"b c.txt\" two\x04tail\r\n" + lines + "z.txt last"},
        {"a longer description moves the lines behind it", file,
         "a.txt one\r\n\"b c.txt\" two and more\x04tail\r\n" + lines + "z.txt last"},
        {"a line taken out", file, "a.txt one\r\n" + lines + "z.txt last"},
        {"a line added in the middle", file,
         "a.txt one\r\n\"b c.txt\" two\x04tail\r\nnew.txt added\r\n" + lines + "z.txt last"},
        {"the last line, without a line end", file, file.substr(0, file.size() - 4) + "LAST!"},
        {"a line feed taken out joins two lines", file, "a.txt one\"b c.txt\" two\x04tail\r\n" + lines + "z.txt last"},
        {"a CR LF split", "a.txt one\r\nb.txt two\r\n", "a.txt one\rX\nb.txt two\r\n"},
        {"a name renamed", file, "A.TXT one\r\n\"b c.txt\" two\x04tail\r\n" + lines + "z.txt last"},
        {"a name put in front of the same name", file, "z.txt early\r\n" + file},
        {"the first of two lines of a name taken out", "x.txt first\r\nmid.txt m\r\nX.TXT second\r\n",
         "mid.txt m\r\nX.TXT second\r\n"},
        {"the second of two lines of a name taken out", "x.txt first\r\nmid.txt m\r\nX.TXT second\r\n",
         "x.txt first\r\nmid.txt m\r\n"},
        {"a Ctrl-Z ends the data early", file, "a.txt one\r\n\x1a\"b c.txt\" two\x04tail\r\n" + lines + "z.txt last"},
        {"a Ctrl-Z taken out", "a.txt 1\r\n\x1a" "b.txt 2\r\n", "a.txt 1\r\nb.txt 2\r\n"},
        {"everything new", file, "q.txt quite another file\r\n"},
        {"emptied", file, ""},
        {"from nothing", "", file},
        {"lines without a name", file, "\r\n\n\"\r\n" + file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectUpdateAgrees(c.before, c.after);
    }
    // Many changes in turn, each mending the index of the one before (whose
    // bytes stay in place meanwhile).
    std::deque<std::string> versions = {file};
    CDescriptionIndex index;
    ASSERT_TRUE(index.Build(file.data(), file.size()));
    for (int i = 0; i < 50; ++i) {
        std::string next = versions.back();
        size_t at = (static_cast<size_t>(i) * 7919u) % next.size();
        if (i % 3 == 0) next.insert(at, "n" + std::to_string(i) + ".txt inserted\r\n");
        else if (i % 3 == 1) next.erase(at, 1 + i % 40);
        else next[at] = static_cast<char>(next[at] ^ 0x20);
        versions.push_back(next);
        ASSERT_TRUE(index.Update(versions.back().data(), versions.back().size()));
        for (const std::string& key : KeysOf(versions.back())) ExpectSameAnswer(versions.back(), index, key);
    }
}

// Bytes of any kind, made by a fixed generator from a few of the grammar's
// characters so that lines, quotes, blanks and case meet often.
TEST(DescriptionIndex, AnyBytes) {
    const char alphabet[] = "aAbB \"\r\n\x04zZ[{\xe9\x1a";
    unsigned state = 12345;
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        int length = static_cast<int>(state % 400);
        for (int i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            bytes += alphabet[(state >> 16) % (sizeof alphabet - 1)];
        }
        state = state * 1103515245u + 12345u;
        SCOPED_TRACE(testing::PrintToString(bytes));
        ExpectIndexAgrees(bytes);
        // And the same bytes with a piece cut out or put in twice.
        size_t from = bytes.empty() ? 0 : (state >> 8) % bytes.size(), to = from + (state >> 20) % 24;
        if (to > bytes.size()) to = bytes.size();
        ExpectUpdateAgrees(bytes, bytes.substr(0, from) + bytes.substr(to));
        ExpectUpdateAgrees(bytes, bytes.substr(0, to) + bytes.substr(from));
    }
}

}  // namespace
