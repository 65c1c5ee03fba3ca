// Explorer hook control: the library found through its class registration in the test
// prefix's HKEY_CLASSES_ROOT, the first-run wizard, the "isn't installed" message, the
// switch, one activation and one release, and DllGetVersion of any library.
#include "HookControl.h"
#include "ExplorerWizard.h"
#include "resource.h"

#include "DialogDriver.h"
#include "ExplorerWindowFixture.h"
#include "HookLibrary.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const char kExplorerKey[] = "SOFTWARE\\Varnoke\\Tolvard\\Explorer";
const char kSettingsKey[] = "SOFTWARE\\Varnoke\\Tolvard\\Settings";

class HookControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
        // Titles already learned: the wizard stays away unless a test removes them.
        testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerName", "Name", false);
    }
    void TearDown() override { StopExplorerHook(); }
    testsupport::CleanSettings clean_;
};

// Records every dialog and closes it with Cancel (OK for message boxes).
struct DialogLog {
    std::vector<std::string> seen;
    DialogDriver driver{[this](HWND dialog) {
        if (GetDlgItem(dialog, IDC_WELCOME_BACK)) {
            seen.push_back("wizard");
            PressButton(dialog, IDCANCEL);
        } else {
            seen.push_back(WindowText(dialog) + ":" + ControlText(dialog, 0xFFFF));
            PressButton(dialog, IDOK);
        }
    }};
};

TEST_F(HookControlTest, FindExtensionPathReadsTheClassRegistration) {
    char path[MAX_PATH] = "untouched";
    EXPECT_EQ(0, FindExtensionPath(path, sizeof path));

    RegisteredHookLibrary library("C:\\Program Files\\Tolvane\\Tolvane.dll");
    ASSERT_EQ(1, FindExtensionPath(path, sizeof path));
    EXPECT_STREQ("C:\\Program Files\\Tolvane\\Tolvane.dll", path);

    // A small destination gets the path cut and still terminated.
    char small[8];
    memset(small, 'x', sizeof small);
    ASSERT_EQ(1, FindExtensionPath(small, sizeof small));
    EXPECT_STREQ("C:\\Prog", small);

    // An empty registration names no library.
    testsupport::SetRegString(HKEY_CLASSES_ROOT, kServerKey, "", "");
    EXPECT_EQ(0, FindExtensionPath(path, sizeof path));
}

TEST_F(HookControlTest, NotInstalledShowsTheMessageAndLoadsNothing) {
    DialogLog dialogs;
    EXPECT_EQ(0, StartExplorerHook());
    EXPECT_EQ((std::vector<std::string>{
                  "Tolvard:Tolvane isn't installed!\nPlease install Tolvane before using Tolvard."}),
              dialogs.seen);
    EXPECT_FALSE(IsExplorerHookLoaded());
}

TEST_F(HookControlTest, WizardRunsFirstWhenNoTitlesAreStored) {
    for (std::string stored : {std::string("<none>"), std::string(51, 'N')}) {
        SCOPED_TRACE(stored.size());
        testsupport::DeleteRegTree(HKEY_CURRENT_USER, kExplorerKey);
        // A title too long for the 50-byte buffer counts as missing.
        if (stored != "<none>")
            testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerName", stored, false);
        DialogLog dialogs;
        EXPECT_EQ(0, StartExplorerHook());
        ASSERT_EQ(2u, dialogs.seen.size());
        EXPECT_EQ("wizard", dialogs.seen[0]);
        EXPECT_EQ(0u, dialogs.seen[1].find("Tolvard:Tolvane isn't installed!"));
    }
}

TEST_F(HookControlTest, SwitchOnActivatesOnceAndStopReleasesOnce) {
    RegisteredHookLibrary library;
    // A short title must not shorten the switch's read.
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerName", "N", false);
    DialogLog dialogs;
    EXPECT_EQ(1, StartExplorerHook());
    EXPECT_TRUE(IsExplorerHookLoaded());
    EXPECT_EQ("attach\nactivate\n", library.Events());
    EXPECT_EQ(0, StopExplorerHook());
    EXPECT_FALSE(IsExplorerHookLoaded());
    EXPECT_EQ("attach\nactivate\ndeactivate\ndetach\n", library.Events());
    // A second stop does nothing.
    EXPECT_EQ(0, StopExplorerHook());
    EXPECT_EQ("attach\nactivate\ndeactivate\ndetach\n", library.Events());
    EXPECT_TRUE(dialogs.seen.empty());
}

TEST_F(HookControlTest, SwitchOffLoadsWithoutActivatingThenSwitchOnActivates) {
    RegisteredHookLibrary library;
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, "EnableExplorer", 0);
    EXPECT_EQ(1, StartExplorerHook());
    EXPECT_TRUE(IsExplorerHookLoaded());
    EXPECT_EQ("attach\n", library.Events());

    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, "EnableExplorer", 1);
    EXPECT_EQ(1, StartExplorerHook());
    EXPECT_EQ("attach\nactivate\n", library.Events());
    StopExplorerHook();
    // The earlier load is not left behind: one stop unloads the library.
    EXPECT_EQ("attach\nactivate\ndeactivate\ndetach\n", library.Events());
}

TEST_F(HookControlTest, LibraryWithoutHookEntriesIsLoadedButNotStarted) {
    // comctl32 has DllGetVersion but no hook entries; a path that does not load is quiet too.
    for (const char* path : {"comctl32.dll", "C:\\nowhere\\Tolvane.dll"}) {
        SCOPED_TRACE(path);
        RegisteredHookLibrary library(path);
        DialogLog dialogs;
        EXPECT_EQ(1, StartExplorerHook());
        EXPECT_TRUE(dialogs.seen.empty());
        // A library without the entries stays loaded until the stop.
        EXPECT_EQ(path == std::string("comctl32.dll"), IsExplorerHookLoaded());
        EXPECT_EQ(0, StopExplorerHook());
        EXPECT_FALSE(IsExplorerHookLoaded());
    }
}

TEST_F(HookControlTest, GetDllVersionPacksMajorAndMinor) {
    DWORD version = GetDllVersion(testsupport::BinFile("hook_library.dll").c_str());
    EXPECT_EQ(5u, LOWORD(version));
    EXPECT_EQ(81u, HIWORD(version));
    // comctl32 answers with some version of its own.
    EXPECT_NE(0u, LOWORD(GetDllVersion("comctl32.dll")));
    EXPECT_EQ(0u, GetDllVersion("user32.dll"));            // no DllGetVersion
    EXPECT_EQ(0u, GetDllVersion("C:\\nowhere\\none.dll"));  // does not load
}

TEST_F(HookControlTest, GetDllVersionOfTheBuiltTolvane) {
    std::string tolvane = testsupport::DistFile("Tolvane.dll");
    HMODULE library = LoadLibraryA(tolvane.c_str());
    ASSERT_TRUE(library);
    bool exported = GetProcAddress(library, "DllGetVersion") != nullptr;
    FreeLibrary(library);
    if (!exported) GTEST_SKIP() << "this Tolvane.dll has no DllGetVersion yet";
    DWORD version = GetDllVersion(tolvane.c_str());
    EXPECT_EQ(1u, LOWORD(version));
    EXPECT_EQ(13u, HIWORD(version));
}

// Columns of an Explorer-shaped window's list view once it has had the focus.
int ColumnsAfterFocus(const ExplorerWindowProcess& explorer, int expected) {
    HWND listView = FindExplorerListView(explorer.Window());
    if (!listView) return -1;
    PostMessageA(explorer.Window(), WM_APP, 0, 0);
    HWND header = reinterpret_cast<HWND>(SendMessageA(listView, LVM_GETHEADER, 0, 0));
    int columns = -1;
    for (int tries = 0; tries < 40; ++tries) {
        columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        if (columns == expected) break;
        Sleep(50);
    }
    return columns;
}

// The whole first run with the built Tolvane: the wizard learns the titles of an
// Explorer-shaped window in another process, the hook then recognises that window's
// list view by them and adds the description column; after the stop it adds none.
TEST_F(HookControlTest, FirstRunWizardThenTheBuiltTolvanesHookAddsItsColumnUntilStopped) {
    std::string tolvane = testsupport::DistFile("Tolvane.dll");
    HMODULE library = LoadLibraryA(tolvane.c_str());
    ASSERT_TRUE(library);
    bool exported = GetProcAddress(library, "ActivateExplorerHook") != nullptr;
    FreeLibrary(library);
    if (!exported) GTEST_SKIP() << "this Tolvane.dll has no column hook yet";

    RegisteredHookLibrary registration(tolvane);
    testsupport::DeleteRegTree(HKEY_CURRENT_USER, kExplorerKey);
    {
        ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\", 4);
        ASSERT_TRUE(explorer.Window());
        std::vector<std::string> pages;
        DialogDriver driver([&](HWND dialog) {
            pages.push_back(WindowText(dialog));
            PressButton(dialog, IDOK);   // Next on the welcome and the confirmation page
        });
        ASSERT_EQ(1, StartExplorerHook());
        EXPECT_EQ((std::vector<std::string>{"Tolvard", "Tolvard"}), pages);
        EXPECT_STREQ("Nom", g_columnTitles[kColumnName]);
        EXPECT_EQ(5, ColumnsAfterFocus(explorer, 5));
    }
    EXPECT_EQ(0, StopExplorerHook());
    ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\", 4);
    ASSERT_TRUE(explorer.Window());
    EXPECT_EQ(4, ColumnsAfterFocus(explorer, 5));
}

}  // namespace
