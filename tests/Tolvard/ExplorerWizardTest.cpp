// The first-run wizard against an Explorer-shaped window in a second process: page
// order, the two error boxes, Back and Cancel, the stored caption prefix and the
// column titles read across processes, and the manual titles page.
#include "ExplorerWizard.h"
#include "resource.h"

#include "DialogDriver.h"
#include "ExplorerWindowProcess.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "WindowControls.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using namespace testsupport;

// A stored value's bytes (a terminating zero shows as "\0").
std::string Stored(const char* value) {
    std::string data;
    if (!testsupport::ReadRegValue(HKEY_CURRENT_USER, contract::kExplorerKey, value, &data)) return "<missing>";
    return data;
}

// A title: stored without its zero, but the registry (NT's and Wine's alike) adds the zero
// that follows the text in the writer's buffer.
std::string StoredTitle(const char* value) {
    std::string data = Stored(value);
    if (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

// Names a dialog of the wizard by its controls; a message box by its text.
std::string Describe(HWND dialog) {
    if (GetDlgItem(dialog, IDC_WELCOME_BACK)) return "welcome";
    if (GetDlgItem(dialog, IDC_EXPLORER_CAPTION)) {
        std::string page = "confirm:" + ControlText(dialog, IDC_EXPLORER_CAPTION);
        if (!IsWindowEnabled(GetDlgItem(dialog, IDOK))) page += " (Next disabled)";
        return page;
    }
    if (GetDlgItem(dialog, IDC_TITLE_NAME))
        return "titles:" + ControlText(dialog, IDC_TITLE_NAME) + "|" + ControlText(dialog, IDC_TITLE_SIZE) +
               "|" + ControlText(dialog, IDC_TITLE_TYPE) + "|" + ControlText(dialog, IDC_TITLE_MODIFIED);
    return "box[" + WindowText(dialog) + "]:" + MessageBoxText(dialog);
}

// Answers the wizard's dialogs in turn with the given buttons and records what it saw.
struct Script {
    std::vector<int> buttons;
    std::vector<std::string> seen;
};

int RunWizardWith(Script& script) {
    size_t next = 0;
    DialogDriver driver(TEST_HERE, DialogDriver::AnyDialog(), [&](HWND dialog) {
        script.seen.push_back(Describe(dialog));
        // Past the end of the script: cancel, so a wrong turn cannot hang the test.
        PostCommand(dialog, next < script.buttons.size() ? script.buttons[next++] : IDCANCEL);
        return true;
    });
    return RunExplorerWizard();
}

class ExplorerWizardTest : public ::testing::Test {
protected:
    void SetUp() override { InitCommonControls(); }
    testsupport::CleanSettings clean_;
};

const std::string kNoExplorerBox = "box[Tolvard]:Error: didn't find Windows-Explorer!";
const std::string kNoListViewBox =
    "box[Tolvard]:Error: didn't find internal Explorer window!\n"
    "Please make sure Windows-Explorer shows detailled view.";

TEST_F(ExplorerWizardTest, LearnsPrefixAndTitlesFromExplorerInAnotherProcess) {
    ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\Data - Backup", 4);
    ASSERT_TRUE(explorer.Window());

    Script script;
    script.buttons = {IDOK, IDOK};
    EXPECT_EQ(1, RunWizardWith(script));

    EXPECT_EQ((std::vector<std::string>{"welcome", "confirm:Exploring - C:\\Data - Backup"}), script.seen);
    // Up to the first dash only; stored with its zero.
    EXPECT_EQ(std::string("\"Exploring - \"\0", 15), Stored("ExplorerTitlePrefix"));
    // Titles are stored without their zero; the long one cut to 99 characters.
    EXPECT_EQ(kHelperTitles[0], StoredTitle("ExplorerName"));
    EXPECT_EQ(kHelperTitles[1], StoredTitle("ExplorerSize"));
    EXPECT_EQ(kHelperTitles[2], StoredTitle("ExplorerType"));
    EXPECT_EQ(kHelperTitles[3], StoredTitle("ExplorerModified"));
    EXPECT_EQ(99u, StoredTitle("ExplorerModified").size());
}

TEST_F(ExplorerWizardTest, CaptionWithoutDashAndMissingColumns) {
    ExplorerWindowProcess explorer("CabinetWClass", "C:\\Data", 2);
    ASSERT_TRUE(explorer.Window());

    Script script;
    script.buttons = {IDOK, IDOK};
    EXPECT_EQ(1, RunWizardWith(script));

    EXPECT_EQ(std::string("\"\"\0", 3), Stored("ExplorerTitlePrefix"));
    EXPECT_EQ("Nom", StoredTitle("ExplorerName"));
    EXPECT_EQ("Taille", StoredTitle("ExplorerSize"));
    EXPECT_EQ("(unknown)", StoredTitle("ExplorerType"));
    EXPECT_EQ("(unknown)", StoredTitle("ExplorerModified"));
}

TEST_F(ExplorerWizardTest, NoExplorerShowsItsErrorAndReturnsToTheWelcomePage) {
    Script script;
    script.buttons = {IDOK, IDOK, IDCANCEL};
    EXPECT_EQ(0, RunWizardWith(script));
    EXPECT_EQ((std::vector<std::string>{"welcome", kNoExplorerBox, "welcome"}), script.seen);
    EXPECT_EQ("<missing>", Stored("ExplorerTitlePrefix"));
    EXPECT_EQ("<missing>", Stored("ExplorerName"));
}

TEST_F(ExplorerWizardTest, ExplorerWithoutListViewShowsTheSecondError) {
    ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\", -1);
    ASSERT_TRUE(explorer.Window());
    Script script;
    script.buttons = {IDOK, IDOK, IDCANCEL};
    EXPECT_EQ(0, RunWizardWith(script));
    EXPECT_EQ((std::vector<std::string>{"welcome", kNoListViewBox, "welcome"}), script.seen);
    EXPECT_EQ("<missing>", Stored("ExplorerTitlePrefix"));
}

TEST_F(ExplorerWizardTest, BackSearchesAgainAndCancelKeepsOnlyThePrefix) {
    ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\", 4);
    ASSERT_TRUE(explorer.Window());
    Script script;
    script.buttons = {IDOK, IDC_WIZARD_BACK, IDOK, IDCANCEL};
    EXPECT_EQ(0, RunWizardWith(script));
    EXPECT_EQ((std::vector<std::string>{"welcome", "confirm:Exploring - C:\\", "welcome",
                                        "confirm:Exploring - C:\\"}),
              script.seen);
    EXPECT_EQ(std::string("\"Exploring - \"\0", 15), Stored("ExplorerTitlePrefix"));
    EXPECT_EQ("<missing>", Stored("ExplorerName"));
}

TEST_F(ExplorerWizardTest, EmptyCaptionDisablesNext) {
    ExplorerWindowProcess explorer("CabinetWClass", "", 4);
    ASSERT_TRUE(explorer.Window());
    std::vector<std::string> seen;
    DialogDriver driver(TEST_HERE, DialogDriver::AnyDialog(), [&](HWND dialog) {
        seen.push_back(Describe(dialog));
        // On the confirmation page Next must do nothing; Cancel then ends the run.
        PostCommand(dialog, IDOK);
        if (GetDlgItem(dialog, IDC_EXPLORER_CAPTION)) PostCommand(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(0, RunExplorerWizard());
    EXPECT_EQ((std::vector<std::string>{"welcome", "confirm:unknown Caption of Explorer window (Next disabled)"}),
              seen);
    EXPECT_EQ("<missing>", Stored("ExplorerTitlePrefix"));
}

// The list view's process is gone: neither shared memory nor its process can be used,
// so page 132 asks for the titles.
TEST_F(ExplorerWizardTest, ManualTitlesPageKeepsDefaultsOnCancelAndBack) {
    for (int button : {IDCANCEL, IDC_WIZARD_BACK}) {
        SCOPED_TRACE(button);
        Script script;
        script.buttons = {button};
        size_t next = 0;
        DialogDriver driver(TEST_HERE, DialogDriver::AnyDialog(), [&](HWND dialog) {
            script.seen.push_back(Describe(dialog));
            SetDlgItemTextA(dialog, IDC_TITLE_NAME, "typed but not taken");
            PostCommand(dialog, script.buttons[next++]);
            return true;
        });
        EXPECT_EQ(1, ReadColumnTitles(nullptr));
        EXPECT_EQ((std::vector<std::string>{"titles:Name|Size|Type|Modified"}), script.seen);
        EXPECT_EQ("Name", StoredTitle("ExplorerName"));
        EXPECT_EQ("Size", StoredTitle("ExplorerSize"));
        EXPECT_EQ("Type", StoredTitle("ExplorerType"));
        EXPECT_EQ("Modified", StoredTitle("ExplorerModified"));
    }
}

TEST_F(ExplorerWizardTest, ManualTitlesPageStoresTypedTitlesOnNext) {
    DialogDriver driver(TEST_HERE, DialogDriver::AnyDialog(), [&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_TITLE_NAME, "Dateiname");
        SetDlgItemTextA(dialog, IDC_TITLE_MODIFIED, std::string(150, 'M').c_str());
        PostCommand(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(1, ReadColumnTitles(nullptr));
    EXPECT_EQ("Dateiname", StoredTitle("ExplorerName"));
    EXPECT_EQ("Size", StoredTitle("ExplorerSize"));
    EXPECT_EQ(std::string(99, 'M'), StoredTitle("ExplorerModified"));
}

TEST_F(ExplorerWizardTest, ReadsTitlesInsideTheListViewProcess) {
    ExplorerWindowProcess explorer("CabinetWClass", "C:\\", 3);
    ASSERT_TRUE(explorer.Window());
    HWND listView = FindExplorerListView(explorer.Window());
    ASSERT_TRUE(listView);
    DWORD owner = 0;
    GetWindowThreadProcessId(listView, &owner);
    ASSERT_NE(GetCurrentProcessId(), owner);

    // The Windows 95 way fails on this system; the NT way must not.
    EXPECT_FALSE(ReadTitlesThroughSharedMemory(listView));
    lstrcpyA(g_columnTitles[kColumnModified], "stale");
    ASSERT_TRUE(ReadTitlesInListViewProcess(listView));
    EXPECT_STREQ("Nom", g_columnTitles[kColumnName]);
    EXPECT_STREQ("Taille", g_columnTitles[kColumnSize]);
    EXPECT_STREQ("Type de fichier", g_columnTitles[kColumnType]);
    EXPECT_STREQ("(unknown)", g_columnTitles[kColumnModified]);

    EXPECT_FALSE(ReadTitlesInListViewProcess(nullptr));
}

TEST_F(ExplorerWizardTest, TheTopmostOfTwoExplorerWindowsIsUsed) {
    ExplorerWindowProcess older("CabinetWClass", "Exploring - A", 4);
    ExplorerWindowProcess newer("ExploreWClass", "Exploring - B", 4);
    ASSERT_TRUE(older.Window());
    ASSERT_TRUE(newer.Window());
    // The window created last lies on top.
    EXPECT_EQ(newer.Window(), FindExplorerWindow());
    SetWindowPos(older.Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(older.Window(), FindExplorerWindow());
}

TEST_F(ExplorerWizardTest, FindsExplorerWindowsByClassOnly) {
    ExplorerWindowProcess other("SomeOtherClass", "Exploring - C:\\", 4);
    ASSERT_TRUE(other.Window());
    EXPECT_EQ(nullptr, FindExplorerWindow());
    EXPECT_EQ(nullptr, FindExplorerListView(nullptr));
    char caption[MAX_PATH] = "left over";
    EXPECT_EQ(1, StoreTitlePrefix(other.Window(), caption));
    EXPECT_STREQ("Exploring - C:\\", caption);
}

TEST_F(ExplorerWizardTest, LongestCaptionMakesTheLongestPrefixWithoutOverflow) {
    std::string caption = std::string(258, 'A') + "-";   // 259 characters, the dash last
    ExplorerWindowProcess explorer("SomeOtherClass", caption, 4);
    ASSERT_TRUE(explorer.Window());
    char read[MAX_PATH + 1];
    memset(read, 'x', sizeof read);
    EXPECT_EQ(1, StoreTitlePrefix(explorer.Window(), read));
    EXPECT_EQ(caption, read);
    EXPECT_EQ('x', read[MAX_PATH]);
    EXPECT_EQ("\"" + std::string(258, 'A') + "- \"" + std::string(1, '\0'), Stored("ExplorerTitlePrefix"));
}

}  // namespace
