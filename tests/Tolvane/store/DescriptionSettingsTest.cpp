// The settings under which the column reads a description file are those the
// store reads, and a reader that keeps the settings key open follows the key
// through its deletion and re-creation.
#include "StoreTestSupport.h"
#include "store/DescriptionFile.h"
#include "store/DescriptionSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DescriptionSettingsTest : public ::testing::Test {
protected:
    testsupport::CleanSettings clean_;
};

std::string StorePath(const std::string& folder) {
    CDescriptionFile file;
    file.Load((folder + "x.txt").c_str());
    return file.FilePath();
}

TEST_F(DescriptionSettingsTest, SameFileAsTheStore) {
    std::string folder = "C:\\some\\folder\\";
    DescriptionSettings settings;
    ASSERT_TRUE(ReadDescriptionSettings(folder, &settings));
    EXPECT_EQ(settings.filePath, StorePath(folder));
    EXPECT_EQ(settings.filePath, folder + "DESCRIPT.ION");
    EXPECT_FALSE(settings.Converts());

    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kDescriptionName, "NOTES.TXT");
    storetest::SetAnsi("0");
    ASSERT_TRUE(ReadDescriptionSettings(folder, &settings));
    EXPECT_EQ(settings.filePath, StorePath(folder));
    EXPECT_EQ(settings.filePath, folder + "NOTES.TXT");
    EXPECT_TRUE(settings.Converts());

    // An empty name, or one too long for its buffer, leaves the default.
    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kDescriptionName, "");
    ASSERT_TRUE(ReadDescriptionSettings(folder, &settings));
    EXPECT_EQ(settings.filePath, StorePath(folder));
    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kDescriptionName, std::string(256, 'n'));
    ASSERT_TRUE(ReadDescriptionSettings(folder, &settings));
    EXPECT_EQ(settings.filePath, folder + "DESCRIPT.ION");

    // A file path beyond 259 characters names no file.
    std::string deep = "C:\\" + std::string(250, 'd') + "\\";
    EXPECT_FALSE(ReadDescriptionSettings(deep, &settings));
    EXPECT_EQ(StorePath(deep), "");
}

TEST_F(DescriptionSettingsTest, HeldKeyFollowsTheKey) {
    HKEY held = nullptr;
    DescriptionSettings settings;
    ASSERT_TRUE(ReadDescriptionSettings("C:\\", &settings, &held));
    EXPECT_EQ(held, nullptr);  // no key yet: nothing to hold
    EXPECT_EQ(std::string(settings.filePath), "C:\\DESCRIPT.ION");

    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kDescriptionName, "ONE.TXT");
    ASSERT_TRUE(ReadDescriptionSettings("C:\\", &settings, &held));
    EXPECT_NE(held, nullptr);
    EXPECT_EQ(std::string(settings.filePath), "C:\\ONE.TXT");

    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kDescriptionName, "TWO.TXT");
    ASSERT_TRUE(ReadDescriptionSettings("C:\\", &settings, &held));
    EXPECT_EQ(std::string(settings.filePath), "C:\\TWO.TXT");

    // Deleted and made again while held: the new key's values count.
    testsupport::DeleteRegTree(HKEY_CURRENT_USER, contract::kTolvaneKey);
    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kDescriptionName, "THREE.TXT");
    storetest::SetAnsi("0");
    ASSERT_TRUE(ReadDescriptionSettings("C:\\", &settings, &held));
    EXPECT_EQ(std::string(settings.filePath), "C:\\THREE.TXT");
    EXPECT_TRUE(settings.Converts());

    // Deleted for good: the defaults.
    testsupport::DeleteRegTree(HKEY_CURRENT_USER, contract::kTolvaneKey);
    ASSERT_TRUE(ReadDescriptionSettings("C:\\", &settings, &held));
    EXPECT_EQ(std::string(settings.filePath), "C:\\DESCRIPT.ION");
    EXPECT_FALSE(settings.Converts());
    if (held) RegCloseKey(held);
}

}  // namespace
