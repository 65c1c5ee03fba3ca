// Explorer hook control: the library found through its class registration in the test
// prefix's HKEY_CLASSES_ROOT, the first-run wizard, the "isn't installed" message, the
// switch, one activation and one release, and DllGetVersion of any library.
#include "HookControl.h"
#include "ExplorerWizard.h"
#include "resource.h"

#include "DialogDriver.h"
#include "ExplorerWindowProcess.h"
#include "HookLibrary.h"
#include "LearnedTitles.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "WindowControls.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace testsupport;
using contract::kSettingsKey;

class HookControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
    }
    void TearDown() override { StopExplorerHook(); }
    testsupport::CleanSettings clean_;
    // Titles already learned: the wizard stays away unless a test removes them.
    testsupport::LearnedTitles learned_;
};

// Records every dialog and closes it with Cancel (OK for message boxes).
struct DialogLog {
    explicit DialogLog(testsupport::Caller caller)
        : driver(caller, DialogDriver::AnyDialog(), [this](HWND dialog) {
              if (GetDlgItem(dialog, IDC_WELCOME_BACK)) {
                  seen.push_back("wizard");
                  PostCommand(dialog, IDCANCEL);
              } else {
                  seen.push_back(WindowText(dialog) + ":" + MessageBoxText(dialog));
                  PostCommand(dialog, IDOK);
              }
              return true;
          }) {}
    std::vector<std::string> seen;
    DialogDriver driver;
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
    DialogLog dialogs(TEST_HERE);
    EXPECT_EQ(0, StartExplorerHook());
    EXPECT_EQ((std::vector<std::string>{
                  "Tolvard:Tolvane isn't installed!\nPlease install Tolvane before using Tolvard."}),
              dialogs.seen);
    EXPECT_FALSE(IsExplorerHookLoaded());
}

TEST_F(HookControlTest, WizardRunsFirstWhenNoTitlesAreStored) {
    // The titles count as learned when the column can read the first one: a title too
    // long for its 260-byte buffer counts as missing, a long one that fits does not.
    const struct {
        std::string stored;
        bool wizard;
    } cases[] = {{"<none>", true}, {std::string(260, 'N'), true}, {std::string(259, 'N'), false},
                 {std::string(51, 'N'), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.size());
        testsupport::LearnedTitles::Forget();
        if (c.stored != "<none>") testsupport::LearnedTitles::Store({c.stored});
        DialogLog dialogs(TEST_HERE);
        EXPECT_EQ(0, StartExplorerHook());
        ASSERT_EQ(c.wizard ? 2u : 1u, dialogs.seen.size());
        if (c.wizard) {
            EXPECT_EQ("wizard", dialogs.seen.front());
        }
        EXPECT_EQ(0u, dialogs.seen.back().find("Tolvard:Tolvane isn't installed!"));
    }
}

TEST_F(HookControlTest, SwitchOnActivatesOnceAndStopReleasesOnce) {
    RegisteredHookLibrary library;
    // A short title must not shorten the switch's read.
    testsupport::LearnedTitles::Store({"N"});
    DialogLog dialogs(TEST_HERE);
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
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, 0);
    EXPECT_EQ(1, StartExplorerHook());
    EXPECT_TRUE(IsExplorerHookLoaded());
    EXPECT_EQ("attach\n", library.Events());

    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, 1);
    EXPECT_EQ(1, StartExplorerHook());
    EXPECT_EQ("attach\nactivate\n", library.Events());
    StopExplorerHook();
    // The earlier load is not left behind: one stop unloads the library.
    EXPECT_EQ("attach\nactivate\ndeactivate\ndetach\n", library.Events());
}

// The switch means what the tray menu shows for it: a four-byte REG_DWORD, nonzero
// for on; any other value is the default, on.
TEST_F(HookControlTest, SwitchIsReadAsTheMenuShowsIt) {
    RegisteredHookLibrary library;
    const BYTE zeroByte = 0;
    const struct {
        const char* stored;
        std::function<void()> store;
        const char* events;
    } cases[] = {
        {"256", [] { testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, 256); },
         "attach\nactivate\ndeactivate\ndetach\n"},
        {"the text \"0\"",
         [] { testsupport::SetRegString(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, "0"); },
         "attach\nactivate\ndeactivate\ndetach\n"},
        {"one zero byte",
         [&] { testsupport::SetRegBinary(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, &zeroByte, 1); },
         "attach\nactivate\ndeactivate\ndetach\n"},
        {"0", [] { testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, 0); },
         "attach\ndetach\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        library.ClearEvents();
        c.store();
        EXPECT_EQ(1, StartExplorerHook());
        StopExplorerHook();
        EXPECT_EQ(c.events, library.Events());
    }
}

TEST_F(HookControlTest, LibraryWithoutHookEntriesIsLoadedButNotStarted) {
    // comctl32 has DllGetVersion but no hook entries; a path that does not load is quiet too.
    for (const char* path : {"comctl32.dll", "C:\\nowhere\\Tolvane.dll"}) {
        SCOPED_TRACE(path);
        RegisteredHookLibrary library(path);
        DialogLog dialogs(TEST_HERE);
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
    testsupport::LearnedTitles::Forget();
    {
        ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\", 4);
        ASSERT_TRUE(explorer.Window());
        std::vector<std::string> pages;
        DialogDriver driver(TEST_HERE, DialogDriver::AnyDialog(), [&](HWND dialog) {
            pages.push_back(WindowText(dialog));
            PostCommand(dialog, IDOK);   // Next on the welcome and the confirmation page
            return true;
        });
        ASSERT_EQ(1, StartExplorerHook());
        EXPECT_EQ((std::vector<std::string>{"Tolvard", "Tolvard"}), pages);
        EXPECT_STREQ("Nom", g_columnTitles[kColumnName]);
        EXPECT_EQ(5, explorer.ColumnsAfterFocus(5));
    }
    EXPECT_EQ(0, StopExplorerHook());
    ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\", 4);
    ASSERT_TRUE(explorer.Window());
    EXPECT_EQ(4, explorer.ColumnsAfterFocus(5));
}

}  // namespace
