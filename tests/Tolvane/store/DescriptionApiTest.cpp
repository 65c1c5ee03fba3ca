// The exports of Tolvane.dll, called through the built library.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "store/DescriptionFile.h"

using namespace testsupport;
using storetest::Entries;

namespace {

typedef int(__cdecl* GetFunction)(char*, const char*);
typedef int(__cdecl* SetFunction)(const char*, const char*);
typedef int(__cdecl* DelFunction)(const char*);

class DescriptionApiTest : public testing::Test {
protected:
    void SetUp() override {
        library = LoadLibraryA(DistFile("Tolvane.dll").c_str());
        ASSERT_TRUE(library != nullptr) << DistFile("Tolvane.dll");
        get = reinterpret_cast<GetFunction>(reinterpret_cast<void*>(GetProcAddress(library, "GetDescription")));
        set = reinterpret_cast<SetFunction>(reinterpret_cast<void*>(GetProcAddress(library, "SetDescription")));
        del = reinterpret_cast<DelFunction>(reinterpret_cast<void*>(GetProcAddress(library, "DelDescription")));
        ASSERT_TRUE(get && set && del);
    }
    void TearDown() override {
        if (library) FreeLibrary(library);
    }

    std::string Get(const std::string& path) {
        char buffer[2048];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(get(buffer, path.c_str()), 0);
        return buffer;
    }
    std::string Ion() const { return folder.File("DESCRIPT.ION"); }

    HMODULE library = nullptr;
    GetFunction get = nullptr;
    SetFunction set = nullptr;
    DelFunction del = nullptr;
    CleanSettings settings;
    TempFolder folder;
};

TEST_F(DescriptionApiTest, SetGetDelete) {
    std::string plan = folder.File("plan.xls");
    EXPECT_EQ(Get(plan), "");  // no description file at all
    EXPECT_FALSE(FileExists(Ion()));
    EXPECT_EQ(del(plan.c_str()), 0);
    EXPECT_FALSE(FileExists(Ion()));  // deleting nothing creates nothing
    std::string nowhere = folder.File("missing\\file.txt");
    EXPECT_EQ(set("x", nowhere.c_str()), 0);  // a missing folder: nothing, no failure
    EXPECT_EQ(Get(nowhere), "");

    ASSERT_TRUE(WriteFileBytes(Ion(), "first.txt 1\r\n"));
    EXPECT_EQ(set("Budget 2003", plan.c_str()), 0);
    EXPECT_EQ(Get(folder.File("PLAN.XLS")), "Budget 2003");
    EXPECT_EQ(ReadFileBytes(Ion()), "first.txt 1\r\nplan.xls Budget 2003\r\n");

    EXPECT_EQ(set("", plan.c_str()), 0);  // an empty text keeps the entry
    EXPECT_EQ(Get(plan), "");
    EXPECT_EQ(ReadFileBytes(Ion()), "first.txt 1\r\nplan.xls \r\n");

    EXPECT_EQ(del(plan.c_str()), 0);
    EXPECT_EQ(del(folder.File("first.txt").c_str()), 0);
    EXPECT_TRUE(FileExists(Ion()));
    EXPECT_EQ(ReadFileBytes(Ion()), "");
}

TEST_F(DescriptionApiTest, FolderPathsAndKeys) {
    // A folder without trailing separator is described in its parent's file.
    std::string sub = folder.File("Sub");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    set("a folder", sub.c_str());
    EXPECT_EQ(ReadFileBytes(Ion()), "Sub a folder\r\n");
    EXPECT_EQ(Get(sub), "a folder");
    // With a trailing separator there is no key: nothing is found or written.
    set("x", (sub + "\\").c_str());
    EXPECT_EQ(Get(sub + "\\"), "");
    EXPECT_FALSE(FileExists(sub + "\\DESCRIPT.ION"));
    // A description that equals the path reads as none.
    std::string same = folder.File("same.txt");
    set(same.c_str(), same.c_str());
    EXPECT_EQ(Get(same), "");
}

TEST_F(DescriptionApiTest, LongAndShortNamesAreSeparateKeys) {
    std::string longName = folder.File("Annual report.document");
    ASSERT_TRUE(WriteFileBytes(longName, "content"));
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(longName.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_STRNE(shortPath, longName.c_str());
    set("long", longName.c_str());
    EXPECT_EQ(Get(shortPath), "");
    set("short", shortPath);
    EXPECT_EQ(Get(longName), "long");
    EXPECT_EQ(Get(shortPath), "short");
}

TEST_F(DescriptionApiTest, AnsiSettingConvertsFromTheNextCall) {
    std::string path = folder.File("accent.txt");
    storetest::SetAnsi("0");
    set("\xe9t\xe9", path.c_str());
    EXPECT_EQ(ReadFileBytes(Ion()), "accent.txt \x82t\x82\r\n");
    EXPECT_EQ(Get(path), "\xe9t\xe9");
    storetest::SetAnsi("1");
    EXPECT_EQ(Get(path), "\x82t\x82");
}

// A UTF-8 file as other programs write it, with and without the mark: the
// exports answer in the ANSI code page, and a change replaces the entry's line
// in UTF-8 (no second line of the same name).
TEST_F(DescriptionApiTest, Utf8FilesThroughTheAnsiFunctions) {
    for (const char* mark : {"\xEF\xBB\xBF", ""}) {
        SCOPED_TRACE(mark[0] ? "with the mark" : "without the mark");
        const std::string peers = "first.txt Grüße aus Köln\r\nsecond.txt naïve café\r\n日本.txt 日本語\r\n";
        ASSERT_TRUE(WriteFileBytes(Ion(), mark + peers));
        EXPECT_EQ("Gr\xFC\xDF" "e aus K\xF6ln", Get(folder.File("first.txt")));
        EXPECT_EQ("na\xEFve caf\xE9", Get(folder.File("SECOND.TXT")));
        set("Gr\xFC\xDF" "e aus M\xFCnchen", folder.File("first.txt").c_str());
        set("\xA9 2004", folder.File("new.txt").c_str());
        EXPECT_EQ(std::string(mark) + "first.txt Grüße aus München\r\nsecond.txt naïve café\r\n日本.txt 日本語\r\n"
                  "new.txt © 2004\r\n", ReadFileBytes(Ion()));
        del(folder.File("second.txt").c_str());
        EXPECT_EQ(std::string(mark) + "first.txt Grüße aus München\r\n日本.txt 日本語\r\nnew.txt © 2004\r\n",
                  ReadFileBytes(Ion()));
    }
}

// Windows' ANSI names stand '?' for letters the code page lacks: such a name
// finds nothing and is never written.
TEST_F(DescriptionApiTest, LostLettersMatchNothing) {
    const std::string lines = "??.txt WRONG: shown for every such name\r\n";
    ASSERT_TRUE(WriteFileBytes(Ion(), lines));
    EXPECT_EQ("", Get(folder.File("??.txt")));
    set("written?", folder.File("??.txt").c_str());
    set("written?", folder.File("a?b.txt").c_str());
    del(folder.File("??.txt").c_str());
    EXPECT_EQ(lines, ReadFileBytes(Ion()));
}

// Mend: no description overruns the 1024 bytes that callers are promised.
TEST_F(DescriptionApiTest, GetDescriptionWritesAtMost1024Bytes) {
    std::string path = folder.File("long.txt");
    std::string text(5000, 'd');
    ASSERT_TRUE(WriteFileBytes(Ion(), "long.txt " + text + "\r\n"));
    char buffer[4096];
    memset(buffer, '#', sizeof buffer);
    get(buffer, path.c_str());
    EXPECT_EQ(strlen(buffer), 1023u);
    EXPECT_EQ(buffer[1024], '#');
    // The whole text stays in the file when another entry changes.
    set("x", folder.File("other.txt").c_str());
    EXPECT_EQ(Entries(ReadFileBytes(Ion())).front(), "long.txt|" + text + "|");
}

// GetDescription reads a file piece by piece, up to the entry asked for: lines
// across the pieces' edges, a line longer than a piece, a later duplicate and
// a Ctrl-Z far into the file give what reading the whole file gives.
TEST_F(DescriptionApiTest, LargeFilesReadInPiecesFindWhatTheWholeFileHolds) {
    std::string image;
    std::vector<std::string> names;
    for (int i = 0; image.size() < 150000; ++i) {
        names.push_back("f" + std::to_string(i) + ".txt");
        image += names.back() + " Description number " + std::to_string(i) + "\r\n";
    }
    image += "long.txt " + std::string(200000, 'L') + "\r\n\"after long.txt\" found after the long line\r\n";
    image += "F10.TXT shadowed\r\nend.txt the last one\x1agone.txt after the end\r\n";
    ASSERT_TRUE(WriteFileBytes(Ion(), image));
    // Every entry that starts near the edge of a piece, and others spread out.
    std::vector<std::string> asked = {"long.txt", "after long.txt", "end.txt", "gone.txt", "missing.txt", "F10.txt"};
    size_t at = 0;
    for (size_t i = 0; i < names.size(); at = image.find("\n", at) + 1, ++i)
        if (i % 97 == 0 || at % 65536 < 80 || at % 65536 > 65536 - 80) asked.push_back(names[i]);
    ASSERT_GT(asked.size(), 30u);
    for (const std::string& name : asked) {
        SCOPED_TRACE(name);
        CDescriptionFile whole;
        whole.Load(folder.File(name).c_str());
        const char* found = whole.FindDescription(folder.File(name).c_str());
        std::string expected = found ? std::string(found).substr(0, 1023) : "";
        whole.Close();
        EXPECT_EQ(Get(folder.File(name)), expected);
        EXPECT_NE(expected.empty(), name != "gone.txt" && name != "missing.txt");
    }
}

// A file is UTF-8 or not by all of its data: GetDescription, which stops at
// the entry asked for where it can, reads on while the file may still turn out
// to be in the code pages, and matches the name and reads the text as the
// whole file's encoding says. The whole-file reader is the yardstick.
TEST_F(DescriptionApiTest, EncodingIsToldByTheWholeFile) {
    std::string filler;
    for (int i = 0; filler.size() < 100000; ++i) filler += "f" + std::to_string(i) + ".txt filler\r\n";
    const std::string utf8 = "k\xC3\xB6ln.txt Gr\xC3\xBC\xC3\x9F" "e\r\n";  // the name and text in UTF-8
    const std::string ansi = "k\xF6ln.txt Gr\xFC\xDF" "e\r\n";              // and in the ANSI code page
    const std::string bad = "bad.txt \xFF\r\n";                           // no UTF-8
    const char* kName = "k\xF6ln.txt";
    struct Row {
        const char* what;
        std::string image;
        const char* name;
        bool described;
    } rows[] = {
        {"UTF-8 to the end", utf8 + filler, kName, true},
        {"a byte that is not UTF-8 far behind", utf8 + filler + bad, kName, false},
        {"that byte behind a Ctrl-Z", utf8 + filler + "\x1a" + bad, kName, true},
        {"the mark, then that byte", "\xEF\xBB\xBF" + utf8 + filler + bad, kName, true},
        {"code pages: the ANSI name counts", ansi + filler + utf8, kName, true},
        {"UTF-8 text of an ASCII name, then that byte", "plain.txt caf\xC3\xA9\r\n" + filler + bad, "plain.txt", true},
        {"ASCII only", "plain.txt cafe\r\n" + filler, "plain.txt", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(WriteFileBytes(Ion(), row.image));
        const std::string path = folder.File(row.name);
        CDescriptionFile whole;
        whole.Load(path.c_str());
        const char* found = whole.FindDescription(path.c_str());
        std::string expected = found ? found : "";
        whole.Close();
        EXPECT_EQ(Get(path), expected);
        EXPECT_EQ(!expected.empty(), row.described);
    }
}

// The path may come in the buffer that receives the description.
TEST_F(DescriptionApiTest, PathInTheOutputBuffer) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "plan.xls Budget 2003\r\n"));
    char buffer[2048];
    strcpy(buffer, folder.File("PLAN.XLS").c_str());
    EXPECT_EQ(get(buffer, buffer), 0);
    EXPECT_STREQ(buffer, "Budget 2003");
    strcpy(buffer, folder.File("other.txt").c_str());
    get(buffer, buffer);
    EXPECT_STREQ(buffer, "");
}

// Mend: paths longer than 259 characters find nothing and change nothing.
TEST_F(DescriptionApiTest, OverlongPathsAreRefused) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "a x\r\n"));
    std::string tooLong = folder.File(std::string(2000, 'a').c_str());
    char buffer[8];
    memset(buffer, '#', sizeof buffer);
    get(buffer, tooLong.c_str());
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '#');
    set("y", tooLong.c_str());
    del(tooLong.c_str());
    EXPECT_EQ(ReadFileBytes(Ion()), "a x\r\n");
    // Null pointers are ignored.
    EXPECT_EQ(get(nullptr, tooLong.c_str()), 0);
    EXPECT_EQ(get(buffer, nullptr), 0);
    EXPECT_EQ(set(nullptr, folder.File("a").c_str()), 0);
    EXPECT_EQ(del(nullptr), 0);
    EXPECT_EQ(ReadFileBytes(Ion()), "a x\r\n");
}

}  // namespace
