// installer/Tolvane.inf run the way Windows runs it (setupapi's
// InstallHinfSection through rundll32): it copies the library into the system
// folder and registers the class; its uninstall section takes both away again.
#include <gtest/gtest.h>

#include <string>

#include "ShellextTestSupport.h"
#include "TestSupport.h"

using namespace shellext;

namespace {

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char system[MAX_PATH];
        ASSERT_NE(0u, GetSystemDirectoryA(system, MAX_PATH));
        installed_ = std::string(system) + "\\Tolvane.dll";
        ASSERT_FALSE(testsupport::FileExists(installed_)) << "left over from an earlier run";
        ASSERT_TRUE(CopyFileA(testsupport::BinFile("Tolvane.inf").c_str(), folder_.File("Tolvane.inf").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(testsupport::DistFile("Tolvane.dll").c_str(), folder_.File("Tolvane.dll").c_str(), FALSE));
    }
    void TearDown() override {
        DeleteFileA(installed_.c_str());
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kTolvaneClassKey);
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Tolvane");
    }

    int RunSection(const char* section) {
        return testsupport::RunProcess("rundll32.exe setupapi.dll,InstallHinfSection " + std::string(section) +
                                       " 132 " + folder_.File("Tolvane.inf"));
    }

    testsupport::TempFolder folder_;
    std::string installed_;
};

TEST_F(InstallerTest, InstallRegistersTheCopiedLibraryAndUninstallRemovesIt) {
    const std::string server = std::string(kTolvaneClassKey) + "\\InProcServer32";
    testsupport::CleanSettings settings;
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Tolvane", nullptr,
                                          kClassIdText));
    EXPECT_EQ(0, RunSection("DefaultInstall"));
    EXPECT_EQ(testsupport::ReadFileBytes(testsupport::DistFile("Tolvane.dll")), testsupport::ReadFileBytes(installed_));
    std::string path, model;
    ASSERT_TRUE(testsupport::ReadRegValue(HKEY_CLASSES_ROOT, server.c_str(), nullptr, &path));
    EXPECT_EQ(0, lstrcmpiA(installed_.c_str(), path.c_str())) << path;
    ASSERT_TRUE(testsupport::ReadRegValue(HKEY_CLASSES_ROOT, server.c_str(), "ThreadingModel", &model));
    EXPECT_STREQ("Apartment", model.c_str());

    EXPECT_EQ(0, RunSection("DefaultUninstall"));
    EXPECT_FALSE(testsupport::FileExists(installed_));
    EXPECT_FALSE(testsupport::ReadRegValue(HKEY_CLASSES_ROOT, server.c_str(), nullptr, &path));
    EXPECT_FALSE(testsupport::ReadRegValue(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Tolvane", nullptr, &path));
}

}  // namespace
