// Splitting paths and comparing a long name with its short name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PathParts.h"

namespace {

PathParts Split(const char* path) {
    PathParts parts;
    SplitPath(path, &parts);
    return parts;
}

std::string FileName(const char* path) {
    char name[MAX_PATH];
    FileNameOf(Split(path), name);
    return name;
}

#define EXPECT_PARTS(PATH, DRIVE, FOLDER, NAME, EXTENSION) \
    do {                                                   \
        PathParts parts = Split(PATH);                     \
        EXPECT_STREQ(DRIVE, parts.drive);                  \
        EXPECT_STREQ(FOLDER, parts.folder);                \
        EXPECT_STREQ(NAME, parts.name);                    \
        EXPECT_STREQ(EXTENSION, parts.extension);          \
    } while (0)

TEST(PathParts, SplitsDriveFolderNameAndExtension) {
    EXPECT_PARTS("C:\\Docs\\report.txt", "C:", "\\Docs\\", "report", ".txt");
    EXPECT_PARTS("C:\\Docs\\Annual Report 2003.doc", "C:", "\\Docs\\", "Annual Report 2003", ".doc");
    EXPECT_PARTS("C:\\my.folder\\archive.tar.gz", "C:", "\\my.folder\\", "archive.tar", ".gz");
    EXPECT_PARTS("C:\\Docs\\Makefile", "C:", "\\Docs\\", "Makefile", "");
    EXPECT_PARTS("C:/Docs/sub\\x.c", "C:", "/Docs/sub\\", "x", ".c");
    EXPECT_PARTS("\\\\server\\share\\a.b", "", "\\\\server\\share\\", "a", ".b");
    EXPECT_PARTS("plain.txt", "", "", "plain", ".txt");
    EXPECT_PARTS("C:\\Docs\\", "C:", "\\Docs\\", "", "");
    EXPECT_PARTS("", "", "", "", "");
    EXPECT_EQ("Annual Report 2003.doc", FileName("C:\\Docs\\Annual Report 2003.doc"));
}

TEST(PathParts, OverlongPartsAreCutNotOverrun) {
    const std::string folder(400, 'f');
    const std::string path = "C:\\" + folder + "\\" + std::string(300, 'n') + ".ext";
    PathParts parts = Split(path.c_str());
    EXPECT_EQ(static_cast<size_t>(MAX_PATH - 1), std::strlen(parts.folder));
    EXPECT_EQ(static_cast<size_t>(MAX_PATH - 1), std::strlen(parts.name));
    EXPECT_STREQ(".ext", parts.extension);
    char name[MAX_PATH];
    FileNameOf(parts, name);
    EXPECT_EQ(static_cast<size_t>(MAX_PATH - 1), std::strlen(name));
}

TEST(PathParts, ShortNamesCompareNameAndExtensionApartFoldingOnlyAtoZ) {
    EXPECT_TRUE(SameFileName(Split("C:\\Docs\\Readme.txt"), Split("C:\\DOCS\\README.TXT")));
    EXPECT_TRUE(SameFileName(Split("C:\\Docs\\readme"), Split("C:\\DOCS~1\\README")));
    EXPECT_FALSE(SameFileName(Split("C:\\Docs\\Annual Report 2003.doc"), Split("C:\\Docs\\ANNUAL~1.DOC")));
    EXPECT_FALSE(SameFileName(Split("C:\\a\\notes.text"), Split("C:\\a\\NOTES.TEX")));
    // The same bytes joined differently are not the same name.
    EXPECT_FALSE(SameFileName(Split("C:\\a\\ab.c"), Split("C:\\a\\a.bc")));
    // Letters outside A to Z are compared exactly.
    EXPECT_FALSE(SameFileName(Split("C:\\a\\\xe9t\xe9.txt"), Split("C:\\a\\\xc9T\xc9.TXT")));
    EXPECT_TRUE(SameFileName(Split("C:\\a\\[x]_@.txt"), Split("C:\\a\\[X]_@.TXT")));
}

}  // namespace
