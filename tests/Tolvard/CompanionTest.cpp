// The companion for the other registry view (TolvardHook.exe): on a 64-bit Windows
// Tolvard starts it for the library registered in the other view of HKEY_CLASSES_ROOT
// while the column hook is on and stops it with the hook; on a 32-bit Windows, with
// one view, it starts none. The companion never outlives Tolvard and refuses a bad
// command line, on either kind of Windows.
// On a 64-bit Windows the companion and the library here are this tree's 64-bit
// builds in a folder registered in the 32-bit view, which is what a 64-bit Tolvard
// reads there (the installer's tests run the real 32-bit companion). The tests named
// "On64BitWindows" and "On32BitWindows" skip on the other kind.
#include "HookControl.h"

#include "HookLibrary.h"
#include "LearnedTitles.h"
#include "TestContract.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <string>

namespace {

using contract::kClassKey;
const char kCompanionPrefix[] = "companion ";

// The lines of the hook library's log that its copy in the companion wrote, or the others.
std::string LinesOf(const std::string& log, bool companion) {
    std::string lines;
    for (size_t at = 0; at < log.size();) {
        size_t end = log.find('\n', at);
        std::string line = log.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
        at = end == std::string::npos ? log.size() : end + 1;
        if ((line.compare(0, sizeof kCompanionPrefix - 1, kCompanionPrefix) == 0) == companion) lines += line;
    }
    return lines;
}

class CompanionTest : public ::testing::Test {
protected:
    // A library with the companion beside it; on a 64-bit Windows registered in the
    // 32-bit view, the other one for this 64-bit program.
    void SetUp() override {
        companion_ = folder_.File("TolvardHook.exe");
        library_ = folder_.File("Tolvane.dll");
        ASSERT_TRUE(CopyFileA(testsupport::DistFile("TolvardHook.exe").c_str(), companion_.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(testsupport::BinFile("hook_library.dll").c_str(), library_.c_str(), FALSE));
        if (testsupport::IsSixtyFourBitWindows()) {
            ASSERT_TRUE(testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kServerKey, "", library_, true,
                                                  KEY_WOW64_32KEY));
        }
    }
    void TearDown() override {
        StopExplorerHook();
        if (testsupport::IsSixtyFourBitWindows())
            testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kClassKey, KEY_WOW64_32KEY);
    }

    std::string CompanionEvents() const { return LinesOf(own_.Events(), true); }
    std::string OwnEvents() const { return LinesOf(own_.Events(), false); }

    // Waits until the companion has logged exactly these lines.
    bool CompanionLogged(const std::string& expected, DWORD timeoutMs = 10000) const {
        for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
            if (CompanionEvents() == expected) return true;
        return false;
    }

    // Starts the companion with this command line, the given handle inheritable.
    HANDLE StartCompanion(const std::string& arguments) const {
        std::string command = testsupport::QuoteArgument(companion_) + " " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (!CreateProcessA(companion_.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &started))
            return nullptr;
        CloseHandle(started.hThread);
        return started.hProcess;
    }

    // An inheritable handle of the process, as Tolvard hands its own to the companion.
    static std::string InheritableHandle(HANDLE process, HANDLE* copy) {
        DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), copy, SYNCHRONIZE, TRUE, 0);
        return std::to_string(reinterpret_cast<ULONG_PTR>(*copy));
    }

    testsupport::CleanSettings clean_;
    testsupport::LearnedTitles learned_;
    RegisteredHookLibrary own_;   // the 64-bit view's library: this process's own hook
    testsupport::TempFolder folder_;
    std::string companion_, library_;
};

const char kOneView[] = "a 32-bit Windows has one registry view, and no companion";

TEST_F(CompanionTest, RunsTheOtherViewsLibraryWhileTheHookIsOnOn64BitWindows) {
    if (!testsupport::IsSixtyFourBitWindows()) GTEST_SKIP() << kOneView;
    ASSERT_EQ(1, StartExplorerHook());
    EXPECT_TRUE(IsCompanionRunning());
    // The companion's hook is in place before this process's own, so that the own one,
    // which serves Explorer's pointer size, is the most recent: the one called first.
    EXPECT_EQ("attach\ncompanion attach\ncompanion activate\nactivate\n", own_.Events());

    EXPECT_EQ(0, StopExplorerHook());
    EXPECT_FALSE(IsCompanionRunning());
    EXPECT_EQ("companion attach\ncompanion activate\ncompanion deactivate\ncompanion detach\n", CompanionEvents());
    EXPECT_EQ("attach\nactivate\ndeactivate\ndetach\n", OwnEvents());

    // The switch off: neither hook, no companion.
    own_.ClearEvents();
    testsupport::SetRegDword(HKEY_CURRENT_USER, contract::kSettingsKey, contract::kEnableExplorer, 0);
    EXPECT_EQ(1, StartExplorerHook());
    EXPECT_FALSE(IsCompanionRunning());
    Sleep(500);
    EXPECT_EQ("", CompanionEvents());
}

TEST_F(CompanionTest, NoneWithoutALibraryOrACompanionInTheOtherViewOn64BitWindows) {
    if (!testsupport::IsSixtyFourBitWindows()) GTEST_SKIP() << kOneView;
    for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        if (step == 0)
            DeleteFileA(companion_.c_str());   // a registration without a companion beside it
        else
            testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kClassKey, KEY_WOW64_32KEY);
        EXPECT_EQ(1, StartExplorerHook());
        EXPECT_FALSE(IsCompanionRunning());
        EXPECT_EQ(0, StopExplorerHook());
    }
    EXPECT_EQ("attach\nactivate\ndeactivate\ndetach\nattach\nactivate\ndeactivate\ndetach\n", own_.Events());
}

// A 32-bit Windows has one view: Tolvard's own hook is the only one, even with a
// companion beside the registered library.
TEST_F(CompanionTest, NoneOn32BitWindows) {
    if (testsupport::IsSixtyFourBitWindows()) GTEST_SKIP() << "a 64-bit Windows has a second registry view";
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kServerKey, "", library_));
    EXPECT_EQ(1, StartExplorerHook());
    EXPECT_FALSE(IsCompanionRunning());
    EXPECT_EQ(0, StopExplorerHook());
    EXPECT_EQ("attach\nactivate\ndeactivate\ndetach\n", OwnEvents());
    EXPECT_EQ("", CompanionEvents());
}

// However Tolvard ends (here it is killed), the companion's hook ends with it.
TEST_F(CompanionTest, EndsWhenTheWatchedProcessEnds) {
    testsupport::ScopedProcess watchedProcess(testsupport::StartProcess(
        testsupport::QuoteArgument(testsupport::BinFile("explorer_window.exe")) + " Watched Watched -1"));
    HANDLE watched = watchedProcess.Handle();
    ASSERT_NE(nullptr, watched);
    HANDLE inheritable = nullptr;
    HANDLE companion = StartCompanion(InheritableHandle(watched, &inheritable) + " " +
                                      testsupport::QuoteArgument(library_));
    CloseHandle(inheritable);
    ASSERT_NE(nullptr, companion);
    EXPECT_TRUE(CompanionLogged("companion attach\ncompanion activate\n")) << own_.Events();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(companion, 300)) << "the companion ended by itself";

    TerminateProcess(watched, 1);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(companion, 10000)) << "the companion outlived the watched process";
    DWORD exitCode = 1;
    GetExitCodeProcess(companion, &exitCode);
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ("companion attach\ncompanion activate\ncompanion deactivate\ncompanion detach\n", CompanionEvents());
    TerminateProcess(companion, 1);
    CloseHandle(companion);
}

// The installed way: Tolvard.exe itself starts the companion, and when Tolvard is
// killed (no Exit, no WM_DESTROY) the companion still ends.
TEST_F(CompanionTest, TolvardsCompanionEndsWhenTolvardIsKilledOn64BitWindows) {
    if (!testsupport::IsSixtyFourBitWindows()) GTEST_SKIP() << kOneView;
    testsupport::ScopedProcess running(
        testsupport::StartProcess(testsupport::QuoteArgument(testsupport::DistFile("Tolvard.exe"))));
    HANDLE tolvard = running.Handle();
    ASSERT_NE(nullptr, tolvard);
    // After the five-second splash the frame starts both hooks.
    EXPECT_TRUE(CompanionLogged("companion attach\ncompanion activate\n", 30000)) << own_.Events();
    DWORD companionId = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == GetProcessId(tolvard) && lstrcmpiA(entry.szExeFile, "TolvardHook.exe") == 0)
            companionId = entry.th32ProcessID;
    CloseHandle(snapshot);
    ASSERT_NE(0u, companionId) << "no TolvardHook.exe started by Tolvard";
    HANDLE companion = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, companionId);
    ASSERT_NE(nullptr, companion);

    TerminateProcess(tolvard, 1);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(companion, 10000)) << "the companion outlived Tolvard";
    EXPECT_EQ("companion attach\ncompanion activate\ncompanion deactivate\ncompanion detach\n", CompanionEvents());
    TerminateProcess(companion, 1);
    CloseHandle(companion);
}

TEST_F(CompanionTest, RefusesABadCommandLineAndALibraryWithoutHook) {
    testsupport::ScopedProcess runningProcess(testsupport::StartProcess(
        testsupport::QuoteArgument(testsupport::BinFile("explorer_window.exe")) + " Watched Watched -1"));
    HANDLE running = runningProcess.Handle();
    ASSERT_NE(nullptr, running);
    HANDLE ended = testsupport::StartProcess(testsupport::QuoteArgument(testsupport::BinFile("explorer_window.exe")));
    ASSERT_NE(nullptr, ended);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ended, 10000));   // no arguments: it ends at once
    HANDLE runningCopy = nullptr, endedCopy = nullptr;
    std::string handle = InheritableHandle(running, &runningCopy);
    std::string endedHandle = InheritableHandle(ended, &endedCopy);
    std::string library = testsupport::QuoteArgument(library_);
    struct Case {
        std::string arguments;
        DWORD exitCode;
    };
    const Case cases[] = {
        {"", 2},
        {"handle " + library, 2},
        {handle, 2},                                          // no library
        {handle + " \"" + library_, 2},                       // its quote not closed
        {handle + " " + std::string(300, 'x'), 2},            // a path too long
        {"99999999999 " + library, 2},                        // more than 32 bits
        {"99999 " + library, 2},                              // not a handle
        {endedHandle + " " + library, 0},                     // Tolvard has gone already: nothing to do
        {handle + " C:\\nowhere\\Tolvane.dll", 3},           // does not load
        {handle + " comctl32.dll", 3},                       // no hook entries
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.arguments);
        HANDLE companion = StartCompanion(test.arguments);
        ASSERT_NE(nullptr, companion);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(companion, 10000));
        DWORD exitCode = 99;
        GetExitCodeProcess(companion, &exitCode);
        EXPECT_EQ(test.exitCode, exitCode);
        TerminateProcess(companion, 1);
        CloseHandle(companion);
    }
    // None of them hooked anything.
    EXPECT_EQ("", CompanionEvents());
    CloseHandle(runningCopy);
    CloseHandle(endedCopy);
    CloseHandle(ended);
}

}  // namespace
