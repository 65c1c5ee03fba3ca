// Description files in UTF-8, with and without the mark, beside files in the
// ANSI and OEM code pages: read in their own encoding, rewritten in it, and
// names and texts of any script asked for by wide paths. What this system writes
// is read back by a decoder of the test's own (Windows' UTF-8 decoding), as
// another UTF-8-aware program would read it.
#include "StoreTestSupport.h"
#include "store/DescriptionFile.h"

#include <gtest/gtest.h>

using namespace testsupport;
using storetest::Entries;
using storetest::PeerEntries;

namespace {

const char kMark[] = "\xEF\xBB\xBF";
// As other programs write them: names and texts in several scripts.
const char kPeerLines[] =
    "first.txt Grüße aus Köln\r\n"
    "second.txt naïve café\r\n"
    "日本.txt 日本語の説明\r\n"
    "\"Ελληνικά αρχεία.doc\" Ελληνική περιγραφή\r\n"
    "emoji.txt 😀 smile\x04tail kept\r\n";

class EncodedFilesTest : public testing::Test {
protected:
    std::string Ion() const { return folder.File("DESCRIPT.ION"); }
    std::wstring WidePath(const std::string& utf8Name) const { return FromAnsi(folder.Path()) + L"\\" + Wide(utf8Name); }

    // The description of a file named in UTF-8, asked for by its wide path.
    std::string Get(const std::string& name) {
        CDescriptionFile file;
        std::wstring path = WidePath(name);
        file.Load(path.c_str());
        const wchar_t* found = file.FindDescription(path.c_str());
        return found ? Utf8(found) : "<none>";
    }
    // The same by an ANSI path.
    std::string GetAnsi(const std::string& ansiName, bool* lossy = nullptr) {
        CDescriptionFile file;
        std::string path = folder.File(ansiName);
        file.Load(path.c_str());
        const char* found = file.FindDescription(path.c_str(), lossy);
        return found ? found : "<none>";
    }
    StoreResult Set(const std::string& name, const std::string& text) {
        CDescriptionFile file;
        std::wstring path = WidePath(name);
        file.Load(path.c_str());
        StoreResult result = file.SetEntry(path.c_str(), Wide(text).c_str());
        file.Close();
        return result;
    }

    CleanSettings settings;
    TempFolder folder;
};

TEST_F(EncodedFilesTest, PeersFilesReadInTheirLettersWithAndWithoutTheMark) {
    for (bool mark : {true, false}) {
        SCOPED_TRACE(mark ? "with the mark" : "without the mark");
        ASSERT_TRUE(WriteFileBytes(Ion(), (mark ? kMark : "") + std::string(kPeerLines)));
        EXPECT_EQ("Grüße aus Köln", Get("first.txt"));  // the mark is no part of the first name
        EXPECT_EQ("Grüße aus Köln", Get("FIRST.TXT"));
        EXPECT_EQ("naïve café", Get("second.txt"));
        EXPECT_EQ("日本語の説明", Get("日本.txt"));
        EXPECT_EQ("Ελληνική περιγραφή", Get("Ελληνικά αρχεία.doc"));
        EXPECT_EQ("<none>", Get("ελληνικά αρχεία.doc"));  // only A to Z fold
        EXPECT_EQ("😀 smile", Get("emoji.txt"));
        bool lossy = true;
        EXPECT_EQ("Gr\xFC\xDF" "e aus K\xF6ln", GetAnsi("first.txt", &lossy));
        EXPECT_FALSE(lossy);
        const std::string smile = GetAnsi("emoji.txt", &lossy);  // what Windows makes of the letter
        EXPECT_EQ('?', smile[0]);
        EXPECT_EQ(" smile", smile.substr(smile.find(' ')));
        EXPECT_TRUE(lossy);
        CDescriptionFile file;
        file.Load(WidePath("first.txt").c_str());
        EXPECT_TRUE(file.IsUtf8());
    }
}

// A rewrite keeps the encoding, the mark or its absence, and every line it does
// not change byte for byte; a changed entry keeps its place (no second line).
TEST_F(EncodedFilesTest, RewritesKeepTheEncodingTheMarkAndUnchangedLines) {
    for (bool mark : {true, false}) {
        SCOPED_TRACE(mark ? "with the mark" : "without the mark");
        const std::string head = mark ? kMark : "";
        ASSERT_TRUE(WriteFileBytes(Ion(), head + kPeerLines));
        EXPECT_EQ(kStoreDone, Set("first.txt", "Neuer Text ✓"));
        EXPECT_EQ(kStoreDone, Set("Русский файл.txt", "Описание"));
        {
            CDescriptionFile file;
            std::string third = folder.File("third.txt");
            file.Load(third.c_str());
            EXPECT_EQ(kStoreDone, file.SetEntry(third.c_str(), "caf\xE9"));  // an ANSI text
            file.Close();
            std::wstring gone = WidePath("日本.txt");
            file.Load(gone.c_str());
            EXPECT_EQ(kStoreDone, file.DeleteEntry(gone.c_str()));
            file.Close();
        }
        EXPECT_EQ(head +
                      "first.txt Neuer Text ✓\r\n"
                      "second.txt naïve café\r\n"
                      "\"Ελληνικά αρχεία.doc\" Ελληνική περιγραφή\r\n"
                      "emoji.txt 😀 smile\x04tail kept\r\n"
                      "\"Русский файл.txt\" Описание\r\n"
                      "third.txt café\r\n",
                  ReadFileBytes(Ion()));
        bool hadMark = !mark;
        EXPECT_EQ((std::vector<std::string>{"first.txt|Neuer Text ✓", "second.txt|naïve café",
                                            "Ελληνικά αρχεία.doc|Ελληνική περιγραφή", "emoji.txt|😀 smile\x04tail kept",
                                            "Русский файл.txt|Описание", "third.txt|café"}),
                  PeerEntries(ReadFileBytes(Ion()), &hadMark));
        EXPECT_EQ(mark, hadMark);
    }
}

// Files in the code pages behave as before; a text with a letter that their
// code page lacks is refused and the file stays as it was.
TEST_F(EncodedFilesTest, CodePageFilesHoldOnlyTheirLetters) {
    struct Case {
        const char* ansiSetting;
        const char* text;
        StoreResult result;
        std::string line;  // the new line as written, or empty when refused
    } cases[] = {
        {"1", "résumé", kStoreDone, "new.txt r\xE9sum\xE9\r\n"},
        {"0", "résumé", kStoreDone, "new.txt r\x82sum\x82\r\n"},
        {"1", "5 €", kStoreDone, "new.txt 5 \x80\r\n"},
        {"0", "5 €", kStoreTextNotHeld, ""},
        {"1", "日本語", kStoreTextNotHeld, ""},
        {"0", "Ελληνικά", kStoreTextNotHeld, ""},
        {"1", "Āpple", kStoreTextNotHeld, ""},
    };
    const std::string before = "caf\xE9.txt caf\xE9\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " with Ansi " + c.ansiSetting);
        storetest::SetAnsi(c.ansiSetting);
        ASSERT_TRUE(WriteFileBytes(Ion(), before));
        EXPECT_EQ(c.result, Set("new.txt", c.text));
        EXPECT_EQ(before + c.line, ReadFileBytes(Ion()));
        if (c.result == kStoreDone) {
            EXPECT_EQ(c.text, Get("new.txt"));
        }
    }
    // A new file follows the setting "Ansi" too, for wide callers.
    DeleteFileA(Ion().c_str());
    storetest::SetAnsi("0");
    EXPECT_EQ(kStoreDone, Set("café.txt", "déjà vu"));
    EXPECT_EQ("caf\xE9.txt d\x82j\x85 vu\r\n", ReadFileBytes(Ion()));
    EXPECT_EQ("déjà vu", Get("café.txt"));
}

// A name that an ANSI file cannot hold is described under the file's short
// name; a file without one (here: a name that is no file) is not described.
TEST_F(EncodedFilesTest, NamesTheFileCannotHoldGoByTheShortName) {
    const std::wstring longPath = WidePath("日本語のファイル.txt");
    ASSERT_TRUE(WriteFileBytes(longPath, "x"));
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(longPath.c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortName = Utf8(wcsrchr(shortPath, L'\\') + 1);
    RecordProperty("WineShortName", shortName);

    ASSERT_TRUE(WriteFileBytes(Ion(), "caf\xE9.txt caf\xE9\r\n"));
    EXPECT_EQ(kStoreDone, Set("日本語のファイル.txt", "described"));
    EXPECT_EQ("caf\xE9.txt caf\xE9\r\n" + shortName + " described\r\n", ReadFileBytes(Ion()));
    EXPECT_EQ("described", Get("日本語のファイル.txt"));
    EXPECT_EQ("described", Get(shortName));
    CDescriptionFile file;
    file.Load(longPath.c_str());
    EXPECT_EQ(NameForm::Short, file.NameFormOf(longPath.c_str()));
    file.Close();

    EXPECT_EQ(kStoreNameNotHeld, Set("中文.txt", "nowhere"));
    EXPECT_EQ("<none>", Get("中文.txt"));
    EXPECT_EQ("caf\xE9.txt caf\xE9\r\n" + shortName + " described\r\n", ReadFileBytes(Ion()));

    // A UTF-8 file holds the name itself.
    ASSERT_TRUE(WriteFileBytes(Ion(), std::string(kMark) + "a.txt x\r\n"));
    EXPECT_EQ(kStoreDone, Set("日本語のファイル.txt", "own name"));
    EXPECT_EQ(std::string(kMark) + "a.txt x\r\n日本語のファイル.txt own name\r\n", ReadFileBytes(Ion()));
}

// Windows turns every letter that the ANSI code page lacks into '?', so that
// 日本.txt and 中文.txt both become ??.txt: such a line describes no file, is
// shown for none, and is never written.
TEST_F(EncodedFilesTest, QuestionMarksStandForNoFile) {
    const std::string lines = "??.txt WRONG: shown for every such name\r\nok.txt fine\r\n";
    ASSERT_TRUE(WriteFileBytes(Ion(), lines));
    EXPECT_EQ("<none>", Get("日本.txt"));
    EXPECT_EQ("<none>", Get("中文.txt"));
    EXPECT_EQ("<none>", GetAnsi("??.txt"));
    EXPECT_EQ("fine", GetAnsi("ok.txt"));
    CDescriptionFile file;
    std::string lost = folder.File("??.txt");
    file.Load(lost.c_str());
    EXPECT_EQ(kStoreNameNotHeld, file.SetEntry(lost.c_str(), "lost letters"));
    EXPECT_EQ(kStoreNameNotHeld, file.DeleteEntry(lost.c_str()));
    file.Close();
    EXPECT_EQ(kStoreNameNotHeld, Set("日本.txt", "no such file, no short name"));
    EXPECT_EQ(lines, ReadFileBytes(Ion()));
}

// A change applies to the file as another writer left it since Load, in the
// encoding it has then: here one that turned UTF-8 with the mark.
TEST_F(EncodedFilesTest, AChangeTakesTheEncodingTheFileHasInsideTheTurn) {
    CDescriptionFile file;
    const std::wstring path = WidePath("日本.txt");
    file.Load(path.c_str());  // no file yet: it would be one of the code pages
    ASSERT_TRUE(WriteFileBytes(Ion(), std::string(kMark) + "a.txt Grüße\r\n"));
    EXPECT_EQ(kStoreDone, file.SetEntry(path.c_str(), Wide("日本語").c_str()));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(std::string(kMark) + "a.txt Grüße\r\n日本.txt 日本語\r\n", ReadFileBytes(Ion()));
}

// A folder named in any script: its description file is read and written by
// its wide name.
TEST_F(EncodedFilesTest, FoldersNamedInAnyScript) {
    const std::wstring greek = WidePath("Ελληνικά");
    ASSERT_TRUE(CreateDirectoryW(greek.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(greek + L"\\DESCRIPT.ION", std::string(kMark) + "a.txt Άλφα\r\n"));
    EXPECT_EQ("Άλφα", Get("Ελληνικά\\a.txt"));
    EXPECT_EQ(kStoreDone, Set("Ελληνικά\\β.txt", "Βήτα"));
    CDescriptionFile file;
    std::wstring inside = greek + L"\\a.txt";
    file.Load(inside.c_str());
    EXPECT_STREQ(L"Βήτα", file.FindDescription((greek + L"\\β.txt").c_str()));
    EXPECT_TRUE(file.IsUtf8());
}

}  // namespace
