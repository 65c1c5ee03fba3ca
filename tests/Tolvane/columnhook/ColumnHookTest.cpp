// The Explorer column hook across two processes: this program installs the hook
// from the built Tolvane.dll; columnhook_helper builds Explorer-shaped windows (or
// the standard open dialog) in a second process, where the system loads the
// library, and reports what the windows show.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ImportPatch.h"
#include "LearnedTitles.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "columnhook/ColumnHook.h"

namespace {

using Report = std::map<std::string, std::string>;
using HookFunction = int (*)(void);

using contract::kTolvaneKey;

Report ReadReport(const std::string& path) {
    Report report;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t equals = line.find('=');
        if (equals != std::string::npos) report[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return report;
}

class ColumnHook : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA(testsupport::DistFile("Tolvane.dll").c_str());
        ASSERT_NE(library_, nullptr);
        activate_ = reinterpret_cast<HookFunction>(
            reinterpret_cast<void*>(GetProcAddress(library_, "ActivateExplorerHook")));
        deactivate_ = reinterpret_cast<HookFunction>(
            reinterpret_cast<void*>(GetProcAddress(library_, "DeactivateExplorerHook")));
        ASSERT_NE(activate_, nullptr);
        ASSERT_NE(deactivate_, nullptr);
        ASSERT_FALSE(folder_.Path().empty());
        ASSERT_FALSE(reports_.Path().empty());
        // As the wizard stores it: the text in front of the path, in double quotes.
        testsupport::LearnedTitles::Store({"Name", "Size", "Type", "Modified"}, "\"Exploring - \"");
    }

    void TearDown() override {
        if (active_) deactivate_();
        if (library_) FreeLibrary(library_);
    }

    void Activate() {
        ASSERT_EQ(activate_(), 1);
        active_ = true;
    }

    void Describe(const std::string& folder, const std::string& lines) {
        ASSERT_TRUE(testsupport::WriteFileBytes(folder + "\\DESCRIPT.ION", lines));
    }

    // Runs the helper with the scenario and its arguments, pumping this thread's
    // messages meanwhile; `whileRunning` runs once after the start.
    Report RunHelper(const std::string& scenario, const std::vector<std::string>& args, int* exitCode = nullptr) {
        std::string reportFile = reports_.File("report" + std::to_string(++runs_) + ".txt");
        std::string command = testsupport::QuoteArgument(testsupport::BinFile("columnhook_helper.exe")) + " " + scenario + " " +
                              testsupport::QuoteArgument(reportFile);
        for (const std::string& arg : args) command += " " + testsupport::QuoteArgument(arg);
        HANDLE process = testsupport::StartProcess(command);
        EXPECT_NE(process, nullptr) << command;
        if (!process) return Report();
        if (onStart_) onStart_();
        testsupport::PumpUntilSignalled(process, 60000);
        DWORD code = 259;
        if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) TerminateProcess(process, 99);
        GetExitCodeProcess(process, &code);
        CloseHandle(process);
        if (exitCode) *exitCode = static_cast<int>(code);
        Report report = ReadReport(reportFile);
        EXPECT_EQ(report["end"], "1") << "the helper ended early (exit code " << code << ", crash " << report["crash"] << ")";
        return report;
    }

    std::string Title() const { return "Exploring - " + folder_.Path(); }

    testsupport::CleanSettings settings_;
    testsupport::TempFolder folder_;
    testsupport::TempFolder reports_;
    HMODULE library_ = nullptr;
    HookFunction activate_ = nullptr;
    HookFunction deactivate_ = nullptr;
    bool active_ = false;
    int runs_ = 0;
    void (*onStart_)() = nullptr;
};

const char kStandard[] = "Name|Size|Type|Modified";
const char kWithColumn[] = "Name|Size|Type|Modified|Description";

TEST_F(ColumnHook, ExportsByNameAndOrdinal) {
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library_, MAKEINTRESOURCEA(4))),
              reinterpret_cast<void*>(activate_));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library_, MAKEINTRESOURCEA(5))),
              reinterpret_cast<void*>(deactivate_));
    Activate();
    EXPECT_NE(deactivate_(), 0);
    active_ = false;
    // The handle is kept, so a second removal fails.
    EXPECT_EQ(deactivate_(), 0);
}

// What SetWindowsHookExA returned to the library in this process.
typedef HHOOK(WINAPI* SetWindowsHookExFunction)(int, HOOKPROC, HINSTANCE, DWORD);
SetWindowsHookExFunction g_setHook = nullptr;
HHOOK g_installedHook = nullptr;

HHOOK WINAPI WatchSetHook(int type, HOOKPROC procedure, HINSTANCE module, DWORD thread) {
    g_installedHook = g_setHook(type, procedure, module, thread);
    return g_installedHook;
}

// Windows 95, 98 and Me find the next hook through CallNextHookEx's first argument
// (Windows NT and Wine ignore it; the library's imports show what it passes). In a
// process the hook reaches, the library passes the handle of the hook installed here,
// also after that process failed to remove a hook of its own, and a new activation's.
TEST_F(ColumnHook, OtherProcessesPassOnTheInstalledHookHandle) {
    g_setHook = reinterpret_cast<SetWindowsHookExFunction>(
        PatchImport(library_, "user32.dll", "SetWindowsHookExA", reinterpret_cast<void*>(WatchSetHook)));
    ASSERT_NE(g_setHook, nullptr);
    for (int activation = 1; activation <= 2; ++activation) {
        SCOPED_TRACE(testing::Message() << "activation " << activation);
        g_installedHook = nullptr;
        Activate();
        ASSERT_NE(g_installedHook, nullptr);
        const std::string installed = std::to_string(reinterpret_cast<ULONG_PTR>(g_installedHook));
        Report report = RunHelper("chain", {testsupport::DistFile("Tolvane.dll")});
        EXPECT_EQ(report["watched"], "1");
        EXPECT_GT(atoi(report["first.calls"].c_str()), 0);
        EXPECT_EQ(report["first.handle"], installed);
        EXPECT_EQ(report["deactivate"], "0");
        EXPECT_GT(atoi(report["after.calls"].c_str()), 0);
        EXPECT_EQ(report["after.handle"], installed);
        EXPECT_NE(deactivate_(), 0);
        active_ = false;
    }
    PatchImport(library_, "user32.dll", "SetWindowsHookExA", reinterpret_cast<void*>(g_setHook));
}

// Both frame classes, both notification forms, titles with and without the
// learned prefix: the column is appended and filled from the folder's file.
TEST_F(ColumnHook, FillsTheColumnInAnotherProcess) {
    std::string sameAsPath = folder_.File("same.txt");
    Describe(folder_.Path(), "report.txt Monthly report\r\nnodesc.txt \r\nsame.txt " + sameAsPath +
                                 "\r\n\"my notes.txt\" Notes with blanks\r\n");
    Activate();
    struct Case {
        const char* frameClass;
        std::string title;
        const char* unicode;
    } cases[] = {
        {"CabinetWClass", Title(), "0"},
        {"ExploreWClass", Title(), "1"},
        {"CabinetWClass", folder_.Path(), "1"},
        {"ExploreWClass", folder_.Path(), "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.frameClass) + " titled " + c.title + (c.unicode[0] == '1' ? ", wide" : ", ANSI"));
        Report report = RunHelper("cells", {c.frameClass, c.title, c.unicode, "report.txt", "nodesc.txt",
                                            "same.txt", "my notes.txt", "missing.txt"});
        EXPECT_EQ(report["subclassed"], "1");
        EXPECT_EQ(report["columns.before"], kStandard);
        EXPECT_EQ(report["columns.after"], kWithColumn);
        EXPECT_EQ(report["width"], "200");
        EXPECT_EQ(report["cell.A.0"], "Monthly report");
        EXPECT_EQ(report["cell.W.0"], "Monthly report");
        EXPECT_EQ(report["cell.A.1"], "");  // an empty description
        EXPECT_EQ(report["cell.A.2"], "");  // a description equal to the file's path
        EXPECT_EQ(report["cell.W.2"], "");
        EXPECT_EQ(report["cell.A.3"], "Notes with blanks");
        EXPECT_EQ(report["cell.W.3"], "Notes with blanks");
        EXPECT_EQ(report["cell.A.4"], "");  // no entry
        EXPECT_EQ(report["own.A.0"], "view:0:1");  // the view's own columns stay its own
        // The text always ends within the list view's buffer.
        EXPECT_EQ(report["small.A"], "Mont\\0X");
        EXPECT_EQ(report["small.W"], "Mont\\0X");
        EXPECT_EQ(report["small.A1"].substr(0, 2), "\\0");
        // The header click on the column beeps and stays away from the view.
        EXPECT_EQ(report["clicks.4"], "0");
        EXPECT_EQ(report["clicks.1"], "1");
    }
}

// A title ending in a backslash gets no second one; a composed path longer than
// 259 characters gives an empty cell and overflows nothing.
TEST_F(ColumnHook, LongPathsAndTrailingBackslash) {
    std::string folder = folder_.Path() + "\\";
    folder.append(230 - folder.size(), 'f');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string fits(259 - folder.size() - 1 - 4, 'a');
    fits += ".txt";
    std::string tooLong = "b" + fits;
    ASSERT_EQ(folder.size() + 1 + fits.size(), 259u);
    Describe(folder, fits + " Just fits\r\n" + tooLong + " One too many\r\nshort.txt Short one\r\n");
    Activate();
    Report report = RunHelper("cells", {"CabinetWClass", folder + "\\", "0", fits, tooLong, "short.txt"});
    EXPECT_EQ(report["columns.after"], kWithColumn);
    EXPECT_EQ(report["cell.A.0"], "Just fits");
    EXPECT_EQ(report["cell.W.0"], "Just fits");
    EXPECT_EQ(report["cell.A.1"], "");
    EXPECT_EQ(report["cell.W.1"], "");
    EXPECT_EQ(report["cell.A.2"], "Short one");

    // A title of 259 characters and a long label.
    std::string longTitle = folder + "\\" + std::string(259 - folder.size() - 1, 't');
    report = RunHelper("cells", {"CabinetWClass", longTitle, "1", fits});
    EXPECT_EQ(report["columns.after"], kWithColumn);
    EXPECT_EQ(report["cell.A.0"], "");
    EXPECT_EQ(report["cell.W.0"], "");
}

TEST_F(ColumnHook, NavigationPutsTheColumnOnTheNewView) {
    Describe(folder_.Path(), "report.txt Monthly report\r\n");
    Activate();
    Report report = RunHelper("navigate", {Title(), "report.txt"});
    EXPECT_EQ(report["first.columns"], kWithColumn);
    EXPECT_EQ(report["second.subclassed"], "1");
    EXPECT_EQ(report["second.before"], kStandard);
    EXPECT_EQ(report["second.after"], kWithColumn);
    EXPECT_EQ(report["second.focused"], "0");
    EXPECT_EQ(report["second.cell"], "Monthly report");
    // A list view made by a view that is already subclassed does not wait for a column.
    EXPECT_EQ(report["extra.columns"], kStandard);
}

TEST_F(ColumnHook, PositionOfTheNewColumn) {
    Activate();
    Report report = RunHelper("layouts", {});
    EXPECT_EQ(report["none.columns"], "Name|Size|Type|Modified|Description|(none)|Extra");
    EXPECT_EQ(report["many.count"], "43");
    EXPECT_EQ(report["many.40"], "Description");
    EXPECT_EQ(report["many.41"], "c40");
    EXPECT_EQ(report["many.42"], "c41");
    // Wine's comctl32 is 5.80 or newer: the user's order stays, the new column last.
    std::string version = report["comctl32"];
    DWORD major = strtoul(version.c_str(), nullptr, 10);
    DWORD minor = strtoul(version.substr(version.find('.') + 1).c_str(), nullptr, 10);
    ASSERT_FALSE(ColumnOrderNeedsReset(major, minor)) << version;
    EXPECT_EQ(report["ordered.order"], "1,0,2,3,4");
}

TEST(ColumnOrder, ResetOnlyFrom470To500) {
    EXPECT_FALSE(ColumnOrderNeedsReset(4, 0));
    EXPECT_FALSE(ColumnOrderNeedsReset(4, 69));
    EXPECT_TRUE(ColumnOrderNeedsReset(4, 70));
    EXPECT_TRUE(ColumnOrderNeedsReset(4, 72));
    EXPECT_FALSE(ColumnOrderNeedsReset(5, 0));
    EXPECT_FALSE(ColumnOrderNeedsReset(5, 80));
    EXPECT_FALSE(ColumnOrderNeedsReset(6, 0));
}

TEST_F(ColumnHook, ViewsNotRecognisedAreLeftAlone) {
    Describe(folder_.Path(), "report.txt Monthly report\r\n");
    Activate();
    // Only one of the first four titles is learned for the second view.
    Report report = RunHelper("fewtitles", {Title(), "report.txt"});
    EXPECT_EQ(report["known.columns"], kWithColumn);
    EXPECT_EQ(report["other.columns"], "Name|Owner|Rights|Group|Flags");
    EXPECT_EQ(report["other.cell"], "view:0:4");
    EXPECT_EQ(report["other.clicks"], "1");

    // Fewer than two learned titles at all: no view is a file view.
    testsupport::LearnedTitles::Store({"Name"});
    report = RunHelper("cells", {"CabinetWClass", Title(), "0", "report.txt"});
    EXPECT_EQ(report["columns.after"], kStandard);
    EXPECT_EQ(report["clicks.1"], "1");
}

TEST_F(ColumnHook, WidthIsSavedAndReused) {
    Activate();
    struct Case {
        const char* stored;  // nullptr: no value
        const char* firstWidth;
    } cases[] = {{nullptr, "200"}, {"321", "321"}, {"45px", "45"}, {"abc", "0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(missing)");
        testsupport::DeleteRegTree(HKEY_CURRENT_USER, kTolvaneKey);
        if (c.stored) testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnWidth, c.stored, false);
        Report report = RunHelper("width", {Title(), "report.txt"});
        EXPECT_EQ(report["first.columns"], kWithColumn);
        EXPECT_EQ(report["first.width"], c.firstWidth);
        EXPECT_EQ(report["first.columns.again"], kWithColumn);  // met again, not added twice
        EXPECT_EQ(report["second.width"], "123");
        std::string stored;
        DWORD type = 0;
        ASSERT_TRUE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnWidth, &stored, &type));
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(stored, "123");  // digits only, no terminating zero
    }
}

TEST_F(ColumnHook, ColumnNameOfAnOwnColumn) {
    Describe(folder_.Path(), "report.txt Monthly report\r\n");
    testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnName, "TYPE");
    Activate();
    Report report = RunHelper("ownname", {Title(), "report.txt"});
    EXPECT_EQ(report["columns"], kStandard);
    EXPECT_EQ(report["cell.2"], "Monthly report");
    EXPECT_EQ(report["cell.1"], "view:0:1");
    EXPECT_EQ(report["clicks.2"], "0");
    std::string stored;
    ASSERT_TRUE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnWidth, &stored));
    EXPECT_EQ(stored, "77");

    // Another title for the column.
    testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnName, "Remark");
    report = RunHelper("cells", {"CabinetWClass", Title(), "0", "report.txt"});
    EXPECT_EQ(report["columns.after"], "Name|Size|Type|Modified|Remark");
    EXPECT_EQ(report["cell.A.0"], "Monthly report");
}

// The hook goes while a subclassed view lives on: the library stays in that
// process even when freed once (as Windows drops it), and the view keeps working.
TEST_F(ColumnHook, SubclassedViewOutlivesTheHook) {
    Describe(folder_.Path(), "report.txt Monthly report\r\n");
    Activate();
    std::string ready = "tolvane-ready-" + std::to_string(GetCurrentProcessId());
    std::string go = "tolvane-go-" + std::to_string(GetCurrentProcessId());
    HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
    HANDLE goEvent = CreateEventA(nullptr, TRUE, FALSE, go.c_str());
    ASSERT_TRUE(readyEvent && goEvent);

    static HANDLE s_ready, s_go;
    static HookFunction s_deactivate;
    static int s_unhooked;
    s_ready = readyEvent;
    s_go = goEvent;
    s_deactivate = deactivate_;
    s_unhooked = -1;
    onStart_ = [] {
        testsupport::PumpUntilSignalled(s_ready, 30000);
        s_unhooked = s_deactivate();
        SetEvent(s_go);
    };
    int exitCode = -1;
    Report report = RunHelper("deactivate", {Title(), "report.txt", ready, go}, &exitCode);
    active_ = false;
    CloseHandle(readyEvent);
    CloseHandle(goEvent);

    EXPECT_NE(s_unhooked, 0);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(report["columns"], kWithColumn);
    EXPECT_EQ(report["cell.before"], "Monthly report");
    EXPECT_EQ(report["loaded.before"], "1");
    EXPECT_EQ(report["loaded.after"], "1");
    EXPECT_EQ(report["cell.after"], "Monthly report");
    EXPECT_EQ(report["own.after"], "view:0:1");
    EXPECT_EQ(report["clicks.4"], "0");
    EXPECT_EQ(report["columns.after"], kWithColumn);
    // Windows opened after the hook went get nothing.
    EXPECT_EQ(report["later.columns"], kStandard);
    EXPECT_EQ(report["later.subclassed"], "0");
}

// The column answers a screen's cells from one read of the file: a description
// changed by another process shows at the first repaint after the bound at the
// latest, also when the file keeps its size and its time stamp, and so does a
// change of the settings.
TEST_F(ColumnHook, ChangesShowAtTheFirstRepaintAfterTheBound) {
    Describe(folder_.Path(), "report.txt Monthly report\r\nother.txt Something else\r\n");
    Activate();
    std::string ready = "tolvane-fresh-ready-" + std::to_string(GetCurrentProcessId());
    std::string go = "tolvane-fresh-go-" + std::to_string(GetCurrentProcessId());
    HANDLE readyEvent = CreateEventA(nullptr, FALSE, FALSE, ready.c_str());
    HANDLE goEvent = CreateEventA(nullptr, FALSE, FALSE, go.c_str());
    ASSERT_TRUE(readyEvent && goEvent);

    using SetFunction = int(__cdecl*)(const char*, const char*);
    static HANDLE s_ready, s_go;
    static SetFunction s_set;
    static std::string s_folder;
    static WIN32_FILE_ATTRIBUTE_DATA s_afterSet, s_afterWrite;
    s_ready = readyEvent;
    s_go = goEvent;
    s_set = reinterpret_cast<SetFunction>(reinterpret_cast<void*>(GetProcAddress(library_, "SetDescription")));
    ASSERT_NE(s_set, nullptr);
    s_folder = folder_.Path();
    onStart_ = [] {
        std::string ion = s_folder + "\\DESCRIPT.ION";
        // 1: through the exported function, in this process.
        testsupport::PumpUntilSignalled(s_ready, 30000);
        s_set("Weekly  report", (s_folder + "\\report.txt").c_str());
        GetFileAttributesExA(ion.c_str(), GetFileExInfoStandard, &s_afterSet);
        SetEvent(s_go);
        // 2: written over by hand, as long as before and with the time stamp
        // that the first change left, as a file system that keeps times to two
        // seconds may show it.
        testsupport::PumpUntilSignalled(s_ready, 30000);
        testsupport::WriteFileBytes(ion, "report.txt Yearly  report\r\nother.txt Something else\r\n");
        HANDLE file = CreateFileA(ion.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        SetFileTime(file, nullptr, nullptr, &s_afterSet.ftLastWriteTime);
        CloseHandle(file);
        GetFileAttributesExA(ion.c_str(), GetFileExInfoStandard, &s_afterWrite);
        SetEvent(s_go);
        // 3: the settings name another description file.
        testsupport::PumpUntilSignalled(s_ready, 30000);
        testsupport::WriteFileBytes(s_folder + "\\NOTES.TXT", "report.txt Noted elsewhere\r\n");
        testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kDescriptionName, "NOTES.TXT");
        SetEvent(s_go);
    };
    Report report = RunHelper("fresh", {Title(), "report.txt", ready, go, "3"});
    CloseHandle(readyEvent);
    CloseHandle(goEvent);

    EXPECT_EQ(report["columns"], kWithColumn);
    EXPECT_EQ(report["cell.0"], "Monthly report");
    EXPECT_EQ(report["cell.1"], "Weekly  report");
    // Size and time stamp tell nothing of the second change.
    EXPECT_EQ(s_afterWrite.nFileSizeLow, s_afterSet.nFileSizeLow);
    EXPECT_EQ(CompareFileTime(&s_afterWrite.ftLastWriteTime, &s_afterSet.ftLastWriteTime), 0);
    EXPECT_EQ(report["cell.2"], "Yearly  report");
    EXPECT_EQ(report["cell.3"], "Noted elsewhere");
}

// Where Windows watches the folder, a change shows at the first repaint after
// Windows reports it, without waiting out a bound: one letter overwritten in
// place (the size as before, the time stamp put back to what it was), a change
// through the exported function, and changes of the settings.
TEST_F(ColumnHook, ChangesShowAtTheFirstRepaintAfterWindowsReportsThem) {
    Describe(folder_.Path(), "report.txt Monthly report\r\n");
    ASSERT_TRUE(testsupport::WriteFileBytes(folder_.File("NOTES.TXT"), "report.txt caf\x82 noted\r\n"));
    Activate();
    std::string ready = "tolvane-report-ready-" + std::to_string(GetCurrentProcessId());
    std::string go = "tolvane-report-go-" + std::to_string(GetCurrentProcessId());
    HANDLE readyEvent = CreateEventA(nullptr, FALSE, FALSE, ready.c_str());
    HANDLE goEvent = CreateEventA(nullptr, FALSE, FALSE, go.c_str());
    ASSERT_TRUE(readyEvent && goEvent);

    using SetFunction = int(__cdecl*)(const char*, const char*);
    static HANDLE s_ready, s_go;
    static SetFunction s_set;
    static std::string s_folder;
    static WIN32_FILE_ATTRIBUTE_DATA s_before, s_after;
    s_ready = readyEvent;
    s_go = goEvent;
    s_set = reinterpret_cast<SetFunction>(reinterpret_cast<void*>(GetProcAddress(library_, "SetDescription")));
    ASSERT_NE(s_set, nullptr);
    s_folder = folder_.Path();
    onStart_ = [] {
        std::string ion = s_folder + "\\DESCRIPT.ION";
        // 1: "Monthly" becomes "monthly" in place.
        testsupport::PumpUntilSignalled(s_ready, 30000);
        GetFileAttributesExA(ion.c_str(), GetFileExInfoStandard, &s_before);
        HANDLE file = CreateFileA(ion.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD written = 0;
        SetFilePointer(file, static_cast<LONG>(strlen("report.txt ")), nullptr, FILE_BEGIN);
        WriteFile(file, "m", 1, &written, nullptr);
        SetFileTime(file, nullptr, nullptr, &s_before.ftLastWriteTime);
        CloseHandle(file);
        GetFileAttributesExA(ion.c_str(), GetFileExInfoStandard, &s_after);
        SetEvent(s_go);
        // 2: through the exported function.
        testsupport::PumpUntilSignalled(s_ready, 30000);
        s_set("Weekly report", (s_folder + "\\report.txt").c_str());
        SetEvent(s_go);
        // 3: the settings name another description file, 4: kept in the OEM code page.
        testsupport::PumpUntilSignalled(s_ready, 30000);
        testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kDescriptionName, "NOTES.TXT");
        SetEvent(s_go);
        testsupport::PumpUntilSignalled(s_ready, 30000);
        testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kAnsi, "0");
        SetEvent(s_go);
    };
    Report report = RunHelper("fresh", {Title(), "report.txt", ready, go, "4", folder_.Path()});
    CloseHandle(readyEvent);
    CloseHandle(goEvent);

    EXPECT_EQ(report["cell.0"], "Monthly report");
    EXPECT_EQ(s_after.nFileSizeLow, s_before.nFileSizeLow);
    EXPECT_EQ(CompareFileTime(&s_after.ftLastWriteTime, &s_before.ftLastWriteTime), 0);
    const char* expected[] = {"monthly report", "Weekly report", "caf\x82 noted", "caf\xe9 noted"};
    for (int round = 1; round <= 4; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(report["reported." + std::to_string(round)], "1");
        EXPECT_EQ(report["cell." + std::to_string(round)], expected[round - 1]);
    }
}

// Handles stay bounded: a few folders are watched at once, whatever the number
// of windows and of folders shown; a window past them still shows changes after
// the bound; nothing is left once the windows are gone.
TEST_F(ColumnHook, WatchesStayFewAndGoWithTheirViews) {
    const int open = 12, moves = 40;
    for (int n = 0; n < open + moves; ++n) {
        std::string folder = folder_.File("f" + std::to_string(n));
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        Describe(folder, "report.txt In folder " + std::to_string(n) + "\r\n");
    }
    Activate();
    Report report = RunHelper("many", {folder_.Path(), std::to_string(open), std::to_string(moves)});
    EXPECT_EQ(report["open.shown"], std::to_string(open));
    EXPECT_EQ(report["last.changed"], "Changed");
    EXPECT_EQ(report["moves.shown"], std::to_string(moves));
    int before = atoi(report["handles.before"].c_str());
    int whileOpen = atoi(report["handles.open"].c_str());
    ASSERT_GT(before, 0);
    // Each view keeps its settings key; each of the eight watched folders a
    // change notification, a key and an event.
    EXPECT_LE(whileOpen - before, open + 3 * 8);
    EXPECT_EQ(report["handles.moved"], report["handles.open"]);
    EXPECT_EQ(report["handles.closed"], report["handles.before"]);
}

// The cells read what the store reads: OEM descriptions converted, the first
// line of a name in any case, a description cut at the cell's 259 characters or
// at a zero byte.
TEST_F(ColumnHook, CellsReadAsTheStoreReadsThem) {
    std::string longText(300, 'L');
    Describe(folder_.Path(), "caf\x82.txt caf\x82 cr\x8ame\r\nREPORT.TXT first\r\nreport.txt second\r\nlong.txt " +
                                 longText + std::string("\r\nzero.txt before\0after\r\n", 25));
    testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kAnsi, "0");
    Activate();
    Report report = RunHelper("cells", {"CabinetWClass", Title(), "0", "caf\x82.txt", "report.txt", "long.txt",
                                        "zero.txt"});
    EXPECT_EQ(report["cell.A.0"], "caf\xe9 cr\xe8me");
    EXPECT_EQ(report["cell.A.1"], "first");
    EXPECT_EQ(report["cell.A.2"], longText.substr(0, 259));
    EXPECT_EQ(report["cell.A.3"], "before");
}

std::string Hex(const std::string& utf8) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex = "hex:";
    for (unsigned char c : utf8) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

// Files named in any script, in a Unicode folder window (as Explorer's are on
// Windows NT) of a folder named in any script: each cell shows its description
// in its letters from a UTF-8 file, with or without the mark. In an ANSI file, a
// line for ??.txt (the ANSI name Windows gives 日本.txt and 中文.txt alike)
// shows for none of them. Asked in ANSI, the cells of a UTF-8 file come in the
// ANSI code page.
TEST_F(ColumnHook, CellsOfNamesInAnyScript) {
    const std::wstring greek = testsupport::FromAnsi(folder_.Path()) + L"\\" + testsupport::Wide("Ελληνικά");
    ASSERT_TRUE(CreateDirectoryW(greek.c_str(), nullptr));
    const std::string greekTitle = "Exploring - " + testsupport::Utf8(greek);
    const std::string peers =
        "first.txt Grüße aus Köln\r\n日本.txt 日本語の説明\r\n\"Ελληνικά αρχεία.doc\" Ελληνική περιγραφή\r\n"
        "emoji.txt 😀 smile\r\n";
    Activate();
    for (const char* mark : {"\xEF\xBB\xBF", ""}) {
        SCOPED_TRACE(mark[0] ? "with the mark" : "without the mark");
        ASSERT_TRUE(testsupport::WriteFileBytes(greek + L"\\DESCRIPT.ION", mark + peers));
        Report report = RunHelper("widecells", {"CabinetWClass", Hex(greekTitle), "first.txt", Hex("日本.txt"),
                                                Hex("Ελληνικά αρχεία.doc"), "emoji.txt", Hex("中文.txt")});
        EXPECT_EQ(report["columns.after"], kWithColumn);
        EXPECT_EQ(report["cell.U.0"], "Grüße aus Köln");
        EXPECT_EQ(report["cell.U.1"], "日本語の説明");
        EXPECT_EQ(report["cell.U.2"], "Ελληνική περιγραφή");
        EXPECT_EQ(report["cell.U.3"], "😀 smile");
        EXPECT_EQ(report["cell.U.4"], "");
    }

    // A name the ANSI file cannot hold is looked up under the file's short name,
    // as the dialog stores it.
    const std::wstring named = testsupport::FromAnsi(folder_.File("")) + testsupport::Wide("日本語のファイル.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(named, "x"));
    wchar_t shortPath[MAX_PATH] = L"";
    ASSERT_GT(GetShortPathNameW(named.c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortName = testsupport::Utf8(wcsrchr(shortPath, L'\\') + 1);
    Describe(folder_.Path(), "??.txt WRONG: shown for every such name\r\ncaf\xE9.txt caf\xE9 cr\xE8me\r\n" +
                                 shortName + " under the short name\r\n");
    Report report = RunHelper("widecells", {"ExploreWClass", Hex(Title()), Hex("日本.txt"), Hex("中文.txt"),
                                            Hex("café.txt"), Hex("日本語のファイル.txt")});
    EXPECT_EQ(report["cell.U.0"], "");
    EXPECT_EQ(report["cell.U.1"], "");
    EXPECT_EQ(report["cell.U.2"], "café crème");
    EXPECT_EQ(report["cell.U.3"], "under the short name");

    Describe(folder_.Path(), "\xEF\xBB\xBF" + peers);
    report = RunHelper("cells", {"CabinetWClass", Title(), "0", "first.txt", "emoji.txt"});
    EXPECT_EQ(report["cell.A.0"], "Gr\xFC\xDF" "e aus K\xF6ln");
    EXPECT_EQ(report["cell.A.1"].substr(report["cell.A.1"].find(' ')), " smile");

    // Where Windows is 98 (as Wine tells the helper program), the wide functions
    // go unused: the label is read in ANSI, 日本.txt comes as ??.txt, and that
    // finds nothing, while an ANSI name is answered, also to a wide request.
    const char kVersionKey[] = "Software\\Wine\\AppDefaults\\columnhook_helper.exe";
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, kVersionKey, "Version", "win98"));
    Describe(folder_.Path(), "??.txt WRONG\r\n日本.txt 日本語の説明\r\nfirst.txt Grüße\r\n");
    report = RunHelper("widecells", {"CabinetWClass", Hex(Title()), Hex("日本.txt"), "first.txt"});
    testsupport::DeleteRegTree(HKEY_CURRENT_USER, kVersionKey);
    EXPECT_EQ(report["cell.U.0"], "");
    EXPECT_EQ(report["cell.U.1"], "Grüße");
}

// Each folder window is answered from its own folder, also when several share a
// thread, and a window that moves to another folder is answered from there at once.
TEST_F(ColumnHook, EachWindowFromItsOwnFolder) {
    testsupport::TempFolder other;
    Describe(folder_.Path(), "report.txt Monthly report\r\n");
    Describe(other.Path(), "\"x.txt\" quoted\r\nREPORT.TXT Other folder's report\r\nreport.txt shadowed\r\n");
    Activate();
    Report report = RunHelper("folders", {Title(), other.Path(), "report.txt"});
    for (const char* turn : {"0", "1"}) {
        SCOPED_TRACE(turn);
        EXPECT_EQ(report[std::string("first.") + turn], "Monthly report");
        EXPECT_EQ(report[std::string("second.") + turn], "Other folder's report");
    }
    EXPECT_EQ(report["moved"], "Other folder's report");
    EXPECT_EQ(report["first.after"], "Other folder's report");
}

// Views in "#32770" windows: a titled popup or modal-frame dialog gets the column,
// but its cells and header clicks stay with the view; other ones get nothing.
TEST_F(ColumnHook, DialogHostsKeepTheirCells) {
    Describe(folder_.Path(), "report.txt Monthly report\r\n");
    Activate();
    Report report = RunHelper("dialoghost", {folder_.Path(), "report.txt"});
    for (const char* host : {"popup", "modal"}) {
        SCOPED_TRACE(host);
        std::string name = host;
        EXPECT_EQ(report[name + ".subclassed"], "1");
        EXPECT_EQ(report[name + ".columns"], kWithColumn);
        EXPECT_EQ(report[name + ".cell"], "view:0:4");
    }
    EXPECT_EQ(report["popup.clicks"], "1");
    EXPECT_EQ(report["modal.clicks"], "2");  // the popup's click, then this one
    for (const char* host : {"untitled", "overlapped"}) {
        SCOPED_TRACE(host);
        std::string name = host;
        EXPECT_EQ(report[name + ".subclassed"], "0");
        EXPECT_EQ(report[name + ".columns"], kStandard);
    }
}

// The standard open dialog: its view gets the column, but its cells stay as the
// view answers them, even with the dialog titled with the folder's path.
TEST_F(ColumnHook, OpenDialogGetsTheColumnButNoText) {
    Describe(folder_.Path(), "report.txt Monthly report\r\n");
    ASSERT_TRUE(testsupport::WriteFileBytes(folder_.File("report.txt"), "report"));

    // First, without the hook, the titles of the dialog's columns.
    Report probe = RunHelper("dialog", {folder_.Path()});
    ASSERT_EQ(probe["dialog.found"], "1");
    EXPECT_EQ(probe["dialog.class"], "#32770");
    testsupport::LearnedTitles::Store({probe["title.0"], probe["title.1"], probe["title.2"], probe["title.3"]});

    Activate();
    Report report = RunHelper("dialog", {folder_.Path(), "report"});
    ASSERT_EQ(report["dialog.found"], "1");
    EXPECT_EQ(report["subclassed"], "1");
    int before = atoi(report["count.before"].c_str());
    EXPECT_GE(before, 2);
    EXPECT_EQ(atoi(report["count.after"].c_str()), before + 1);
    EXPECT_EQ(report["title.new"], "Description");
    ASSERT_NE(report["row"], "");
    EXPECT_NE(report["cell"], "Monthly report");
    EXPECT_NE(report["cell.W"], "Monthly report");
    EXPECT_EQ(report["dialog.result"], "0");
}

}  // namespace
