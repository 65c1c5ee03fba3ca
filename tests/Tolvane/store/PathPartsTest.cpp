// Splitting paths and comparing names.
#include "store/PathParts.h"

#include <gtest/gtest.h>

namespace {

PathParts Split(const char* path, LeadByteTest lead = nullptr) {
    PathParts parts;
    EXPECT_TRUE(SplitPath(path, &parts, lead)) << path;
    return parts;
}

TEST(PathParts, SplitsDriveFolderNameAndExtension) {
    PathParts p = Split("C:\\Docs\\sub/report.final.txt");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.folder, "\\Docs\\sub/");
    EXPECT_EQ(p.name, "report.final");
    EXPECT_EQ(p.extension, ".txt");
    EXPECT_EQ(p.FileName(), "report.final.txt");
    EXPECT_EQ(p.FolderPath(), "C:\\Docs\\sub/");

    p = Split("plain");
    EXPECT_EQ(p.FolderPath(), "");
    EXPECT_EQ(p.name, "plain");
    EXPECT_EQ(p.extension, "");

    p = Split("C:\\Docs\\");
    EXPECT_EQ(p.FolderPath(), "C:\\Docs\\");
    EXPECT_EQ(p.FileName(), "");
    EXPECT_EQ(PathKey("C:\\Docs\\"), "");
    EXPECT_EQ(PathKey("C:x.txt"), "x.txt");
    EXPECT_EQ(PathKey("\\\\server\\share\\a b.doc"), "a b.doc");
}

TEST(PathParts, DoubleByteCharactersAreNotSplit) {
    // 0x81 0x5C is one character in a double-byte code page; 0x5C is '\'.
    auto lead = [](unsigned char c) { return c == 0x81; };
    PathParts p = Split("C:\\x\\\x81\\name.txt", lead);
    EXPECT_EQ(p.folder, "\\x\\");
    EXPECT_EQ(p.FileName(), "\x81\\name.txt");
    EXPECT_EQ(PathKey("C:\\x\\\x81\\name.txt", lead), "\x81\\name.txt");
    EXPECT_EQ(PathKey("C:\\x\\\x81\\name.txt"), "name.txt");
}

TEST(PathParts, TooLongPathsAreRefused) {
    std::string longest = "C:\\" + std::string(256, 'a');  // 259 characters
    PathParts p;
    EXPECT_TRUE(SplitPath(longest.c_str(), &p));
    EXPECT_EQ(p.FileName().size(), 256u);
    std::string tooLong = longest + "b";
    EXPECT_FALSE(SplitPath(tooLong.c_str(), &p));
    EXPECT_EQ(p.FileName(), "");
    EXPECT_EQ(PathKey(tooLong), "");
    EXPECT_FALSE(SplitPath(nullptr, &p));
}

TEST(PathParts, EqualNoCaseFoldsOnlyAToZ) {
    EXPECT_TRUE(EqualNoCase("Report.TXT", "rEPORT.txt"));
    EXPECT_FALSE(EqualNoCase("report.txt", "report.tx"));
    EXPECT_FALSE(EqualNoCase("\xe9t\xe9", "\xc9T\xc9"));  // accented letters do not fold
    EXPECT_FALSE(EqualNoCase("[", "{"));                  // nor does anything next to the letters
    EXPECT_FALSE(EqualNoCase("@", "`"));
}

}  // namespace
