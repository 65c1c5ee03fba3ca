// CDescriptionFile on real files, attributes and settings.
#include "StoreTestSupport.h"
#include "store/DescriptionFile.h"
#include "store/FileImage.h"

#include <gtest/gtest.h>

using namespace testsupport;
using storetest::Entries;
using storetest::OtherFiles;

namespace {

class DescriptionFileTest : public testing::Test {
protected:
    std::string Ion() const { return folder.File("DESCRIPT.ION"); }
    std::string Path(const char* name) const { return folder.File(name); }

    // Loads, sets one description and closes: true when it was stored.
    bool Set(const char* name, const char* text) {
        CDescriptionFile file;
        file.Load(Path(name).c_str());
        file.SetEntry(Path(name).c_str(), text);
        return file.Close();
    }
    std::string Get(const char* name) {
        CDescriptionFile file;
        std::string path = Path(name);
        file.Load(path.c_str());
        const char* found = file.Lookup(path.c_str());
        return found == path.c_str() ? std::string("<none>") : std::string(found);
    }

    CleanSettings settings;
    TempFolder folder;
};

TEST_F(DescriptionFileTest, LooksUpWithoutRegardToCase) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "report.txt Monthly report\r\n\"my notes.txt\" Shopping\r\n"));
    CDescriptionFile file;
    std::string report = Path("REPORT.TXT"), notes = Path("My Notes.txt"), other = Path("other.txt");
    file.Load(report.c_str());
    EXPECT_STREQ(file.Lookup(report.c_str()), "Monthly report");
    const char* first = file.Lookup(notes.c_str());
    EXPECT_EQ(file.Lookup(other.c_str()), other.c_str());  // no entry: the path itself
    EXPECT_STREQ(first, "Shopping");                         // still valid until Close
    file.Close();
    EXPECT_EQ(ReadFileBytes(Ion()), "report.txt Monthly report\r\n\"my notes.txt\" Shopping\r\n");
}

TEST_F(DescriptionFileTest, NewFileIsHiddenAndArchive) {
    EXPECT_TRUE(Set("plan.xls", "Budget 2003"));
    EXPECT_EQ(ReadFileBytes(Ion()), "plan.xls Budget 2003\r\n");
    DWORD attributes = Attributes(Ion());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(Get("PLAN.XLS"), "Budget 2003");
}

TEST_F(DescriptionFileTest, ChangesKeepPlaceSpellingAndTail) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "One.TXT  first\x04tail\r\n\"two words\" second\r\nlone\r\n"));
    Set("one.txt", "changed");
    Set("three", "appended");
    Set("TWO WORDS", "also");
    EXPECT_EQ(ReadFileBytes(Ion()),
              "One.TXT changed\x04tail\r\n\"two words\" also\r\nlone \r\nthree appended\r\n");
}

TEST_F(DescriptionFileTest, DuplicatesOnlyTheFirstIsReached) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "a.txt first\r\nA.TXT second\r\n"));
    EXPECT_EQ(Get("a.txt"), "first");
    Set("a.Txt", "new");
    EXPECT_EQ(ReadFileBytes(Ion()), "a.txt new\r\nA.TXT second\r\n");
    CDescriptionFile file;
    file.Load(Path("a.txt").c_str());
    file.DeleteEntry(Path("a.txt").c_str());
    file.Close();
    EXPECT_EQ(ReadFileBytes(Ion()), "A.TXT second\r\n");
}

TEST_F(DescriptionFileTest, DeletingTheLastEntryLeavesAnEmptyFileWithItsAttributes) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "only.txt x\r\n"));
    ASSERT_TRUE(SetFileAttributesA(Ion().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    CDescriptionFile file;
    file.Load(Path("only.txt").c_str());
    file.DeleteEntry(Path("missing.txt").c_str());
    file.Close();
    EXPECT_EQ(ReadFileBytes(Ion()), "only.txt x\r\n");
    file.Load(Path("only.txt").c_str());
    file.DeleteEntry(Path("ONLY.TXT").c_str());
    file.Close();
    EXPECT_TRUE(FileExists(Ion()));
    EXPECT_EQ(ReadFileBytes(Ion()), "");
    EXPECT_EQ(Attributes(Ion()), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(DescriptionFileTest, ReadOnlyFileIsNeverChanged) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "a.txt old\r\n"));
    ASSERT_TRUE(SetFileAttributesA(Ion().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Get("a.txt"), "old");
    EXPECT_FALSE(Set("a.txt", "new"));
    EXPECT_FALSE(Set("b.txt", "new"));
    EXPECT_TRUE(Set("a.txt", "old"));  // nothing to store
    CDescriptionFile file;
    file.Load(Path("a.txt").c_str());
    file.DeleteEntry(Path("a.txt").c_str());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadFileBytes(Ion()), "a.txt old\r\n");
    EXPECT_EQ(Attributes(Ion()) & ~DWORD(FILE_ATTRIBUTE_ARCHIVE), DWORD(FILE_ATTRIBUTE_READONLY));
}

TEST_F(DescriptionFileTest, OemConversionOfDescriptionsOnly) {
    storetest::SetAnsi("0");
    // 0xE9 (e acute) is 0x82 in the OEM code page; names and tails stay as they are.
    ASSERT_TRUE(WriteFileBytes(Ion(), "caf\xe9.txt caf\x82\x04\xe9tail\r\n"));
    EXPECT_EQ(Get("caf\xe9.txt"), "caf\xe9");
    Set("new\xe9.txt", "r\xe9sum\xe9");
    EXPECT_EQ(ReadFileBytes(Ion()), "caf\xe9.txt caf\x82\x04\xe9tail\r\nnew\xe9.txt r\x82sum\x82\r\n");
    EXPECT_EQ(Get("new\xe9.txt"), "r\xe9sum\xe9");

    storetest::SetAnsi("1");
    Set("ansi.txt", "\xe9");
    EXPECT_EQ(Get("caf\xe9.txt"), "caf\x82");
    EXPECT_EQ(Entries(ReadFileBytes(Ion())).back(), "ansi.txt|\xe9|");

    // A value too long for its 4-byte buffer cannot be read: no conversion.
    storetest::SetAnsi("0000");
    EXPECT_EQ(Get("caf\xe9.txt"), "caf\x82");
    storetest::SetAnsi("0");
    EXPECT_EQ(Get("caf\xe9.txt"), "caf\xe9");
}

// Mend: OEM characters without an ANSI twin (box drawing, for instance) are not
// turned into others when another entry of the file changes.
TEST_F(DescriptionFileTest, UnchangedOemDescriptionsAreKeptByteForByte) {
    storetest::SetAnsi("0");
    std::string oem = "box.txt \xb0\xb1\xb2\xdb\xc4\xcd\xba\x9e\xf8\r\n";
    ASSERT_TRUE(WriteFileBytes(Ion(), oem));
    Set("other.txt", "x");
    EXPECT_EQ(ReadFileBytes(Ion()), oem + "other.txt x\r\n");
}

TEST_F(DescriptionFileTest, DescriptionNameSettingPicksTheFile) {
    SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kDescriptionName, "FILES.BBS");
    storetest::SetAnsi("1");
    Set("a.txt", "elsewhere");
    EXPECT_FALSE(FileExists(Ion()));
    EXPECT_EQ(ReadFileBytes(folder.File("FILES.BBS")), "a.txt elsewhere\r\n");
    // A name too long for its buffer is not taken: the default stands.
    SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kDescriptionName, std::string(300, 'x'));
    Set("b.txt", "default");
    EXPECT_EQ(ReadFileBytes(Ion()), "b.txt default\r\n");
}

TEST_F(DescriptionFileTest, PathWithoutKeyChangesNothing) {
    std::string path = folder.Path() + "\\";
    CDescriptionFile file;
    file.Load(path.c_str());
    file.SetEntry(path.c_str(), "x");
    EXPECT_EQ(file.Lookup(path.c_str()), path.c_str());
    file.DeleteEntry(path.c_str());
    file.Close();
    EXPECT_FALSE(FileExists(Ion()));
}

// A description "file" that cannot be read (here a folder) is never written.
TEST_F(DescriptionFileTest, UnreadableDescriptionFileIsLeftAlone) {
    ASSERT_TRUE(CreateDirectoryA(Ion().c_str(), nullptr));
    Set("a.txt", "x");
    EXPECT_EQ(Get("a.txt"), "<none>");
    EXPECT_TRUE(Attributes(Ion()) & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryA(Ion().c_str());
}

TEST_F(DescriptionFileTest, BareNameUsesTheCurrentFolder) {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    {
        CDescriptionFile file;
        file.Load("bare.txt");
        file.SetEntry("bare.txt", "here");
        file.Close();
    }
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(ReadFileBytes(Ion()), "bare.txt here\r\n");
}

// Mend: nothing is cut on reading, so a rewrite keeps every long field whole.
TEST_F(DescriptionFileTest, LongFieldsSurviveARewrite) {
    std::string longName(1500, 'n'), longText(5000, 'd'), longTail = "\x04" + std::string(3000, 't');
    std::string original = longName + " " + longText + longTail + "\r\n";
    ASSERT_TRUE(WriteFileBytes(Ion(), original));
    Set("other.txt", "x");
    EXPECT_EQ(ReadFileBytes(Ion()), original + "other.txt x\r\n");
}

// Mend: a description cannot add lines or end the file's data.
TEST_F(DescriptionFileTest, NewDescriptionStaysOneLine) {
    Set("a.txt", "one\r\nb.txt injected\x1a");
    Set("c.txt", "after");
    EXPECT_EQ(Entries(ReadFileBytes(Ion())),
              (std::vector<std::string>{"a.txt|one  b.txt injected |", "c.txt|after|"}));
}

// Mend: a path of more than 259 characters finds nothing and changes nothing.
TEST_F(DescriptionFileTest, OverlongPathChangesNothing) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "a.txt x\r\n"));
    std::string tooLong = folder.Path() + "\\" + std::string(300 - folder.Path().size(), 'a');
    CDescriptionFile file;
    file.Load(tooLong.c_str());
    EXPECT_EQ(file.Lookup(tooLong.c_str()), tooLong.c_str());
    file.SetEntry(tooLong.c_str(), "y");
    file.Close();
    // Loaded with a sound path, a too long one still matches nothing.
    file.Load(Path("a.txt").c_str());
    file.SetEntry(tooLong.c_str(), "y");
    file.DeleteEntry(tooLong.c_str());
    file.Close();
    EXPECT_EQ(ReadFileBytes(Ion()), "a.txt x\r\n");
}

// Hostile files: whatever has a name is kept when another entry changes.
TEST_F(DescriptionFileTest, HostileFilesKeepTheirEntries) {
    std::string binary;
    for (int i = 0; i < 20000; ++i) binary.push_back(static_cast<char>((i * 131) % 256));
    const std::string cases[] = {
        binary,
        std::string("a\0b x\0y\r\n\0 z\r\n", 14),
        "line " + std::string(1024 * 1024, 'L') + "\r\nnext 1",
        "no final line end",
        "     \r\n   ",
        "\"\"\"\"\r\n\"\"\r\n\"",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 40)));
        ASSERT_TRUE(WriteFileBytes(Ion(), bytes));
        std::vector<std::string> before = Entries(bytes);
        Set("added.txt", "new");
        std::vector<std::string> after = Entries(ReadFileBytes(Ion()));
        before.push_back("added.txt|new|");
        EXPECT_EQ(after, before);
        SetFileAttributesA(Ion().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The names in the folder but the description file: what a rewrite left behind.
// A description file of exactly size bytes whose first entry is first.txt.
std::string FileOfSize(size_t size) {
    std::string bytes = "first.txt found\r\npad.txt ";
    bytes += std::string(size - bytes.size() - 2, 'p') + "\r\n";
    return bytes;
}

// Several changes before one Close act on the list as already changed: a
// deleted entry lets a later duplicate be found, a new entry can be changed
// and removed again.
TEST_F(DescriptionFileTest, ChangesBeforeOneCloseSeeEachOther) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "a.txt first\r\nkeep.txt k\r\nA.TXT second\r\n"));
    const std::string a = Path("a.txt"), b = Path("b.txt"), c = Path("c.txt");
    CDescriptionFile file;
    file.Load(a.c_str());
    file.DeleteEntry(a.c_str());
    EXPECT_STREQ(file.Lookup(a.c_str()), "second");
    file.SetEntry(a.c_str(), "changed");
    file.SetEntry(b.c_str(), "1");
    file.SetEntry(Path("B.TXT").c_str(), "2");
    EXPECT_STREQ(file.Lookup(b.c_str()), "2");
    file.SetEntry(c.c_str(), "3");
    file.DeleteEntry(c.c_str());
    EXPECT_EQ(file.Lookup(c.c_str()), c.c_str());
    file.Close();
    EXPECT_EQ(ReadFileBytes(Ion()), "keep.txt k\r\nA.TXT changed\r\nb.txt 2\r\n");
    // Closed, the object is empty: a change now writes nothing, and says so.
    file.SetEntry(a.c_str(), "lost");
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadFileBytes(Ion()), "keep.txt k\r\nA.TXT changed\r\nb.txt 2\r\n");
}

// Up to the limit a file is read and changed; one byte more and it is neither.
TEST_F(DescriptionFileTest, FilesAboveTheSizeLimitAreNeitherReadNorChanged) {
    const std::string atLimit = FileOfSize(kLargestDescriptionFile);
    ASSERT_TRUE(WriteFileBytes(Ion(), atLimit));
    EXPECT_EQ(Get("first.txt"), "found");
    Set("new.txt", "x");
    EXPECT_EQ(ReadFileBytes(Ion()), atLimit + "new.txt x\r\n");

    const std::string overLimit = FileOfSize(kLargestDescriptionFile + 1);
    ASSERT_TRUE(WriteFileBytes(Ion(), overLimit));
    EXPECT_EQ(Get("first.txt"), "<none>");
    Set("new.txt", "x");
    Set("first.txt", "changed");
    CDescriptionFile file;
    file.Load(Path("first.txt").c_str());
    EXPECT_TRUE(file.Incomplete());
    file.DeleteEntry(Path("first.txt").c_str());
    file.Close();
    EXPECT_TRUE(ReadFileBytes(Ion()) == overLimit);
    EXPECT_TRUE(OtherFiles(folder.Path()).empty());
}

// A rewrite goes through a new file beside the old one, which it leaves behind
// neither when it succeeds nor when a reader holds the old file for longer
// than a writer waits; then the change is not stored, and Close says so.
TEST_F(DescriptionFileTest, RewritesLeaveNoTemporaryFile) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "a.txt old\r\n"));
    ASSERT_TRUE(SetFileAttributesA(Ion().c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(Set("b.txt", "new"));
    EXPECT_EQ(ReadFileBytes(Ion()), "a.txt old\r\nb.txt new\r\n");
    EXPECT_EQ(Attributes(Ion()), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(OtherFiles(folder.Path()).empty());

    HANDLE reader = CreateFileA(Ion().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Set("c.txt", "refused"));
    CloseHandle(reader);
    EXPECT_EQ(ReadFileBytes(Ion()), "a.txt old\r\nb.txt new\r\n");
    EXPECT_EQ(Attributes(Ion()), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(OtherFiles(folder.Path()).empty());
}

// What a writer killed in the middle of a replace leaves is undone by the next
// writer before it reads: the old file moved aside (Windows 95, 98 and Me) comes
// back unless the new one took its place, and a new file that never took it goes.
TEST_F(DescriptionFileTest, TheNextWriterUndoesAnInterruptedReplace) {
    const std::string moved = Path("DESCRIPT.$OL"), fresh = Path("DESCRIPT.$NW");
    struct Left {
        const char* ion;       // null: missing
        const char* moved;     // the old file moved aside, or null
        const char* fresh;     // the new content, or null
        const char* after;     // after one more change
    } rows[] = {
        {nullptr, "a.txt old\r\n", "a.txt new\r\n", "a.txt old\r\nz.txt z\r\n"},
        {"a.txt new\r\n", "a.txt old\r\n", nullptr, "a.txt new\r\nz.txt z\r\n"},
        {"a.txt old\r\n", nullptr, "a.txt half", "a.txt old\r\nz.txt z\r\n"},
    };
    for (const Left& row : rows) {
        SCOPED_TRACE(row.after);
        DeleteFileA(Ion().c_str());
        for (const auto& [file, bytes] : {std::make_pair(Ion(), row.ion), std::make_pair(moved, row.moved),
                                          std::make_pair(fresh, row.fresh)}) {
            if (bytes) {
                ASSERT_TRUE(WriteFileBytes(file, bytes));
            }
        }
        EXPECT_TRUE(Set("z.txt", "z"));
        EXPECT_EQ(ReadFileBytes(Ion()), row.after);
        EXPECT_TRUE(OtherFiles(folder.Path()).empty());
    }
    // A description file named like a companion is never written.
    SetRegString(HKEY_CURRENT_USER, storetest::kTolvaneKey, contract::kDescriptionName, "NOTES.$NW");
    EXPECT_FALSE(Set("z.txt", "z"));
    EXPECT_FALSE(FileExists(Path("NOTES.$NW")));
}

// Setting the text an entry already has leaves the file alone, also when the
// file holds it in the OEM code page.
TEST_F(DescriptionFileTest, SettingTheSameTextChangesNothing) {
    const std::string lines = "a.txt   same text\r\nlone\r\n";
    ASSERT_TRUE(WriteFileBytes(Ion(), lines));
    Set("A.TXT", "same text");
    Set("lone", "");
    EXPECT_EQ(ReadFileBytes(Ion()), lines);
    storetest::SetAnsi("0");
    const std::string oem = "box.txt  \xb0\xdb\r\n";
    ASSERT_TRUE(WriteFileBytes(Ion(), oem));
    const std::string shown = Get("box.txt");
    Set("box.txt", shown.c_str());
    EXPECT_EQ(ReadFileBytes(Ion()), oem);
}

}  // namespace
