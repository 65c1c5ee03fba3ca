// When the short name of a file counts as different from its long name.
#include <gtest/gtest.h>

#include "shellext/ShortName.h"

namespace {

bool Same(const char* longPath, const char* shortPath) {
    PathParts longParts, shortParts;
    EXPECT_TRUE(SplitPath(longPath, &longParts));
    EXPECT_TRUE(SplitPath(shortPath, &shortParts));
    return SameFileName(longParts, shortParts);
}

TEST(ShortName, NameAndExtensionAreComparedApartFoldingOnlyAtoZ) {
    EXPECT_TRUE(Same("C:\\Docs\\Readme.txt", "C:\\DOCS\\README.TXT"));
    EXPECT_TRUE(Same("C:\\Long Folder\\readme", "C:\\LONGFO~1\\README"));
    EXPECT_TRUE(Same("C:\\a\\[x]_@.txt", "C:\\a\\[X]_@.TXT"));
    EXPECT_FALSE(Same("C:\\Docs\\Annual Report 2003.doc", "C:\\Docs\\ANNUAL~1.DOC"));
    EXPECT_FALSE(Same("C:\\a\\notes.text", "C:\\a\\NOTES.TEX"));
    // The same bytes split differently are not the same name.
    EXPECT_FALSE(Same("C:\\a\\ab.c", "C:\\a\\a.bc"));
    EXPECT_FALSE(Same("C:\\a\\archive.tar.gz", "C:\\a\\ARCHIV~1.GZ"));
    // Letters outside A to Z are compared exactly.
    EXPECT_FALSE(Same("C:\\a\\\xe9t\xe9.txt", "C:\\a\\\xc9T\xc9.TXT"));
}

}  // namespace
