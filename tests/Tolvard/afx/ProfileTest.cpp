// The application's profile functions against the real registry.
#include <gtest/gtest.h>

#include "TestApp.h"
#include "TestSupport.h"

namespace {

const char kSettingsKey[] = "Software\\Varnoke\\AfxTest\\Settings";

TEST(Profile, ValuesLiveUnderTheRegistryKeyAndTheApplicationName) {
    testsupport::CleanSettings clean;
    CTestApp& app = theTestApp;
    app.m_pszRegistryKey = nullptr;
    EXPECT_EQ(7u, app.GetProfileInt("Settings", "EnableContext", 7));   // no registry key yet
    EXPECT_FALSE(app.WriteProfileInt("Settings", "EnableContext", 0));

    app.SetRegistryKey("Varnoke");
    EXPECT_EQ(1u, app.GetProfileInt("Settings", "EnableContext", 1));   // missing: the default
    EXPECT_TRUE(app.WriteProfileInt("Settings", "EnableContext", 0));
    EXPECT_EQ(0u, app.GetProfileInt("Settings", "EnableContext", 1));

    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kSettingsKey, "EnableContext", &data, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(std::string(4, '\0'), data);

    ASSERT_TRUE(app.WriteProfileInt("Settings", "Width", -2));
    EXPECT_EQ(static_cast<UINT>(-2), app.GetProfileInt("Settings", "Width", 5));
}

TEST(Profile, ValuesOfAnotherKindReadAsTheDefault) {
    testsupport::CleanSettings clean;
    theTestApp.SetRegistryKey("Varnoke");
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, kSettingsKey, "EnableExplorer", "1"));
    const BYTE eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(testsupport::SetRegBinary(HKEY_CURRENT_USER, kSettingsKey, "Long", eight, sizeof eight));
    EXPECT_EQ(3u, theTestApp.GetProfileInt("Settings", "EnableExplorer", 3));
    EXPECT_EQ(3u, theTestApp.GetProfileInt("Settings", "Long", 3));
}

TEST(Profile, StandardSettingsReadThePreviewPagesAndCreateNothing) {
    testsupport::CleanSettings clean;
    theTestApp.SetRegistryKey("Varnoke");
    theTestApp.LoadStdProfileSettings(0);
    EXPECT_EQ(0u, theTestApp.m_nNumPreviewPages);
    std::string data;
    EXPECT_FALSE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kSettingsKey, "PreviewPages", &data));
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key));
    ASSERT_TRUE(testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, "PreviewPages", 2));
    theTestApp.LoadStdProfileSettings(0);
    EXPECT_EQ(2u, theTestApp.m_nNumPreviewPages);
    EXPECT_TRUE(theTestApp.Enable3dControls());
}

}  // namespace
