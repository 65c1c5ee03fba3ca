// The setups, as an administrator runs them, silently, in a Wine prefix made for this
// program alone. Every test ends uninstalled and compares the whole system with the
// snapshot taken before it began.
//
// In the 64-bit tree, Tolvane-setup-x64.exe on a 64-bit Windows: what it installs in
// both registry views (the 64-bit one of Explorer and this 64-bit program, the 32-bit
// one of 32-bit programs), that Explorer's way (COM) and Tolvard's way (the class
// registration) find the installed library, Tolvard's switches, column hook and 32-bit
// companion, upgrades in place and over an installation of the 32-bit setup, an
// uninstallation after which the system is as it was before, users' description files
// included, and that Tolvane-setup.exe refuses that Windows.
// In the 32-bit tree, Tolvane-setup.exe on a 32-bit Windows (the kind of Windows 95 to
// the 32-bit editions of 10): the same, with one registry view and no companion. The
// tests under _WIN64 are about the second view and the 32-bit binaries the 64-bit
// setup carries: they exist in the 64-bit tree only.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ExplorerWindowProcess.h"
#include "LearnedTitles.h"
#include "SystemSnapshot.h"
#include "TestContract.h"
#include "TestSupport.h"

using installertest::Describe;
using installertest::SystemSnapshot;

namespace {

using contract::kClassIdText;
using contract::kClassKey;
using contract::kContextHandlerKey;
using contract::kServerKey;
using contract::kSettingsKey;
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolvane";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
#ifdef _WIN64
const char kSetup[] = "Tolvane-setup-x64.exe";
#else
// A 32-bit test tree (where the machine runs 32-bit code) tests the setup for 32-bit
// Windows in its 32-bit prefix, which has one registry view.
const char kSetup[] = "Tolvane-setup.exe";
#endif
const REGSAM k32 = KEY_WOW64_32KEY;   // the registry view of 32-bit programs
const UINT kToggleContext = 32773;    // Tolvard's tray command for the context-menu entry

// A registry text without its terminating zero; "<missing>" when it cannot be read.
// view: 0 for this 64-bit program's own registry view, k32 for the 32-bit one.
std::string RegText(HKEY root, const char* key, const char* value, REGSAM view = 0) {
    std::string data;
    if (!testsupport::ReadRegValue(root, key, value, &data, nullptr, view)) return "<missing>";
    while (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

#ifdef _WIN64
// Whether Wine's own reg.exe finds the key in a view ("/reg:32" or "/reg:64"): a
// second opinion on the registry views, from a program that is not ours.
bool RegQueryFinds(const std::string& key, const char* view) {
    int code = testsupport::RunProcess("cmd.exe /c reg.exe query \"" + key + "\" " + view + " >nul 2>nul");
    EXPECT_TRUE(code == 0 || code == 1) << "reg.exe query " << key << " " << view << ": exit code " << code;
    return code == 0;
}

// The built 32-bit binaries that the setup carries (the i686 tree's dist folder).
std::string Dist32File(const char* name) { return std::string(TOLVANE_DIST32) + "\\" + name; }
const REGSAM kViews[] = {0, k32};
#else
const REGSAM kViews[] = {0};
#endif

const char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";

// The files and folders that the system deletes at the next restart, as MoveFileEx
// leaves them for it: pairs of source and target, the target empty for a deletion.
std::vector<std::string> PendingDeletions() {
    std::string list;
    testsupport::ReadRegValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, "PendingFileRenameOperations", &list);
    std::vector<std::string> names;
    for (size_t at = 0; at < list.size() && list[at];) {
        std::string source = list.c_str() + at;
        at += source.size() + 1;
        std::string target = at < list.size() ? list.c_str() + at : "";
        at += target.size() + 1;
        if (source.compare(0, 4, "\\??\\") == 0) source.erase(0, 4);
        if (!source.empty() && source.back() == '\\') source.pop_back();   // a folder
        if (target.empty()) names.push_back(source);
    }
    return names;
}

// The restart after an uninstallation that left files to it: the files and folders that
// the system deletes then are deleted, and the list of them is as it was before.
class Restart {
public:
    Restart() {
        hadPending_ = testsupport::ReadRegValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, "PendingFileRenameOperations",
                                                &pendingBefore_);
    }
    // Wine keeps a hook's library loaded (Windows may not), so this process frees it
    // itself: the system would have ended it.
    void Now(const std::string& library, const std::string& folder) {
        if (HMODULE held = GetModuleHandleA(library.c_str())) FreeLibrary(held);
        DeleteFileA(library.c_str());
        RemoveDirectoryA(folder.c_str());
        HKEY sessionManager;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_SET_VALUE, &sessionManager));
        if (hadPending_)
            RegSetValueExA(sessionManager, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                           reinterpret_cast<const BYTE*>(pendingBefore_.data()),
                           static_cast<DWORD>(pendingBefore_.size()));
        else
            RegDeleteValueA(sessionManager, "PendingFileRenameOperations");
        RegCloseKey(sessionManager);
    }

private:
    std::string pendingBefore_;
    bool hadPending_;
};

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& candidate : names)
        if (lstrcmpiA(candidate.c_str(), name.c_str()) == 0) return true;
    return false;
}

bool SamePath(const std::string& one, const std::string& other) {
    return lstrcmpiA(one.c_str(), other.c_str()) == 0;
}

// Is a process of this name running?
bool ProcessRunning(const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {sizeof entry};
    bool running = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !running; more = Process32Next(snapshot, &entry))
        running = lstrcmpiA(entry.szExeFile, name) == 0;
    CloseHandle(snapshot);
    return running;
}

// The files below a folder, by their paths relative to it, sorted.
std::vector<std::string> FilesUnder(const std::string& folder, const std::string& prefix = "") {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::vector<std::string> inner = FilesUnder(folder + "\\" + name, prefix + name + "\\");
            files.insert(files.end(), inner.begin(), inner.end());
        } else {
            files.push_back(prefix + name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

std::string StartMenuShortcut() {
    char programs[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, programs, CSIDL_COMMON_PROGRAMS, FALSE);
    return std::string(programs) + "\\Tolvard.lnk";
}

// The program a shortcut starts.
std::string ShortcutTarget(const std::string& shortcut) {
    std::string target = "<unreadable>";
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
        char path[MAX_PATH] = {};
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        if (file) file->Release();
        link->Release();
    }
    CoUninitialize();
    return target;
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ("<missing>", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"))
            << "an installation is left over from an earlier test";
        before_ = SystemSnapshot::Take();
    }

    // Every test ends uninstalled, with nothing of the installation left.
    void TearDown() override {
        if (RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation") != "<missing>") Uninstall();
        std::vector<std::string> changes = SystemSnapshot::Take().ChangesSince(before_);
        EXPECT_TRUE(changes.empty()) << "changed by installing and uninstalling:" << Describe(changes);
    }

    void Install(const std::string& options = "") {
        std::string setup = testsupport::DistFile(kSetup);
        ASSERT_EQ(0, testsupport::RunProcess(testsupport::QuoteArgument(setup) + " /S " + options))
            << kSetup << " /S " << options;
        folder_ = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation");
        ASSERT_NE("<missing>", folder_);
    }

    std::string Installed(const char* name) const { return folder_ + "\\" + name; }

    // Runs the uninstaller as Add/Remove Programs does, silently, and waits for it.
    void Uninstall() {
        std::string command = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
        ASSERT_EQ(0, testsupport::RunProcess(command)) << command;
        // The uninstaller runs a copy of itself from the temporary folder ("Un.exe")
        // and returns at once; the copy's last step removes the uninstall key.
        DWORD start = GetTickCount();
        while ((ProcessRunning("Un.exe") || RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation") != "<missing>") &&
               GetTickCount() - start < 60000)
            Sleep(100);
        ASSERT_FALSE(ProcessRunning("Un.exe")) << "the uninstaller did not end within 60 s";
    }

    SystemSnapshot before_;
    std::string folder_;
};

TEST_F(InstallerTest, InstallsTheProgramsTheRegistrationAndTheShortcut) {
    Install();
    char programFiles[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE);
    EXPECT_TRUE(SamePath(std::string(programFiles) + "\\Tolvane", folder_)) << folder_;
    // The 64-bit binaries in the folder, the 32-bit library and companion in "x86".
    struct Copy {
        const char* installed;
        std::string built;
    };
    std::vector<Copy> files = {Copy{"Tolvane.dll", testsupport::DistFile("Tolvane.dll")},
                               Copy{"Tolvard.exe", testsupport::DistFile("Tolvard.exe")}};
#ifdef _WIN64
    files.push_back(Copy{"x86\\Tolvane.dll", Dist32File("Tolvane.dll")});
    files.push_back(Copy{"x86\\TolvardHook.exe", Dist32File("TolvardHook.exe")});
#endif
    // Those and the uninstaller, nothing else: a 32-bit Windows gets no "x86" folder.
    std::vector<std::string> expected = {"uninstall.exe"};
    for (const Copy& file : files) expected.push_back(file.installed);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, FilesUnder(folder_));
    for (const Copy& file : files) {
        SCOPED_TRACE(file.installed);
        std::string copied = testsupport::ReadFileBytes(Installed(file.installed));
        EXPECT_FALSE(copied.empty());
        EXPECT_TRUE(copied == testsupport::ReadFileBytes(file.built));
    }

    // Each view names its own library; both have the handler keys.
    EXPECT_TRUE(SamePath(Installed("Tolvane.dll"), RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr)));
#ifdef _WIN64
    EXPECT_NE(testsupport::ReadFileBytes(Installed("Tolvane.dll")), testsupport::ReadFileBytes(Installed("x86\\Tolvane.dll")));
    EXPECT_TRUE(SamePath(Installed("x86\\Tolvane.dll"), RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr, k32)));
#endif
    for (REGSAM view : kViews) {
        SCOPED_TRACE(view);
        EXPECT_EQ("Apartment", RegText(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel", view));
        // The context-menu entry and the page start switched on, as Tolvard's switches read then.
        EXPECT_EQ(kClassIdText, RegText(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr, view));
        EXPECT_EQ(kClassIdText, RegText(HKEY_CLASSES_ROOT, contract::kPropertyHandlerKey, nullptr, view));
    }
#ifdef _WIN64
    for (const char* view : {"/reg:32", "/reg:64"}) {
        SCOPED_TRACE(view);
        EXPECT_TRUE(RegQueryFinds(std::string("HKCR\\") + kServerKey, view));
        EXPECT_TRUE(RegQueryFinds(std::string("HKCR\\") + kContextHandlerKey, view));
        EXPECT_TRUE(RegQueryFinds(std::string("HKCR\\") + contract::kPropertyHandlerKey, view));
    }
#endif

    EXPECT_TRUE(SamePath(Installed("Tolvard.exe"), ShortcutTarget(StartMenuShortcut())));
    EXPECT_EQ("\"" + Installed("Tolvard.exe") + "\"", RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard"));

    std::string uninstaller = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    EXPECT_EQ("\"" + Installed("uninstall.exe") + "\"", uninstaller);
    EXPECT_TRUE(testsupport::FileExists(Installed("uninstall.exe")));
    EXPECT_EQ("Tolvane and Tolvard", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));

    Uninstall();
#ifdef _WIN64
    for (const char* view : {"/reg:32", "/reg:64"}) {
        SCOPED_TRACE(view);
        EXPECT_FALSE(RegQueryFinds(std::string("HKCR\\") + kClassKey, view));
        EXPECT_FALSE(RegQueryFinds(std::string("HKCR\\") + kContextHandlerKey, view));
        EXPECT_FALSE(RegQueryFinds(std::string("HKCR\\") + contract::kPropertyHandlerKey, view));
    }
#endif
}

TEST_F(InstallerTest, AnotherFolderAndNoStartWithWindows) {
    testsupport::TempFolder parent;
    std::string folder = parent.File("Tools\\Description Tools");
    Install("/AUTOSTART=0 /D=" + folder);
    EXPECT_TRUE(SamePath(folder, folder_)) << folder_;
    EXPECT_TRUE(SamePath(Installed("Tolvane.dll"), RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr)));
    EXPECT_EQ("<missing>", RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard"));
    Uninstall();
    EXPECT_FALSE(testsupport::FileExists(folder));
}

TEST_F(InstallerTest, ComCreatesTheInstalledObject) {
    Install();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IUnknown* object = nullptr;
    HRESULT result = CoCreateInstance(contract::kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                      reinterpret_cast<void**>(&object));
    EXPECT_EQ(S_OK, result);
    EXPECT_NE(nullptr, GetModuleHandleA(Installed("Tolvane.dll").c_str())) << "not the installed library";
    if (object) object->Release();
    // No object left: COM may unload the library now, as Explorer lets it go.
    CoFreeUnusedLibrariesEx(0, 0);
    CoUninitialize();
    EXPECT_EQ(nullptr, GetModuleHandleA(Installed("Tolvane.dll").c_str())) << "the library stayed loaded";
}

// Tolvard finds the library through the class registration alone and starts the
// column hook from it: the system then maps the installed library into this process
// too, and the hook adds the description column to a 64-bit Explorer-shaped window.
// The uninstaller ends the running Tolvard, and with it the hook.
TEST_F(InstallerTest, TolvardFindsTheInstalledLibraryAndTheUninstallerEndsIt) {
    Install();
    // Explorer's texts as the wizard stores them for the Explorer-shaped window, so
    // that no wizard comes up.
    testsupport::LearnedTitles::Store({kHelperTitles[0], kHelperTitles[1], kHelperTitles[2], kHelperTitles[3]},
                                      "\"Exploring - \"");
    HANDLE tolvard = testsupport::StartProcess(testsupport::QuoteArgument(Installed("Tolvard.exe")));
    ASSERT_NE(nullptr, tolvard);

    std::string library = Installed("Tolvane.dll");
    bool hooked = false;
    for (DWORD start = GetTickCount(); !hooked && GetTickCount() - start < 30000;) {
        // Wine tells a thread of another process's new hook with its next message.
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
        HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(probe);
        testsupport::PumpMessages(100);
        hooked = GetModuleHandleA(library.c_str()) != nullptr;
    }
    EXPECT_TRUE(hooked) << "Tolvard's hook did not bring " << library << " here within 30 s; Tolvard's frame "
                        << (FindWindowA(nullptr, "Tolvard") ? "exists" : "does not exist") << ", Tolvane.dll "
                        << (GetModuleHandleA("Tolvane.dll") ? "is" : "is not") << " loaded here";
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Tolvard")) << "Tolvard reported a problem";
    {
        ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\", 4);
        ASSERT_TRUE(explorer.Window());
        EXPECT_EQ(5, explorer.ColumnsAfterFocus(5)) << "no description column in the Explorer-shaped window";
    }

    Restart restart;
    Uninstall();
    EXPECT_TRUE(testsupport::PumpUntilSignalled(tolvard, 15000)) << "Tolvard still runs after uninstalling";
    TerminateProcess(tolvard, 1);
    CloseHandle(tolvard);
    {
        // Tolvard has gone, and its hook with it.
        ExplorerWindowProcess explorer("ExploreWClass", "Exploring - C:\\", 4);
        ASSERT_TRUE(explorer.Window());
        EXPECT_EQ(4, explorer.ColumnsAfterFocus(5)) << "the hook outlived Tolvard";
    }

    // This process, like every process that the hook reached, still holds the library,
    // so the uninstaller leaves the library and its folder to the next restart.
    std::vector<std::string> pending = PendingDeletions();
    EXPECT_TRUE(Contains(pending, library)) << "the library is not deleted at the next restart";
    EXPECT_TRUE(Contains(pending, folder_)) << "the folder is not deleted at the next restart:" << Describe(pending);
    restart.Now(library, folder_);
}

// The process of a top-level window of this class and title that a process other than
// `other` owns, waited for; null when none appears in time.
HANDLE WaitForTolvardWindow(const char* className, const char* title, DWORD other, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(100)) {
        HWND window = FindWindowA(className, title);
        DWORD owner = 0;
        if (window) GetWindowThreadProcessId(window, &owner);
        if (owner && owner != other) return OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, owner);
    }
    return nullptr;
}

// An upgrade ends the running Tolvard, which holds the library, and starts the new
// one; so does an uninstallation during Tolvard's splash. Without the column hook, no
// other process holds the library.
TEST_F(InstallerTest, UpgradeAndUninstallEndTolvardAlsoDuringItsSplash) {
    Install();
    testsupport::LearnedTitles::Store({"Name"}, "\"Exploring - \"");
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, 0);
    HANDLE running = testsupport::StartProcess(testsupport::QuoteArgument(Installed("Tolvard.exe")));
    ASSERT_NE(nullptr, running);
    HANDLE frame = WaitForTolvardWindow(nullptr, "Tolvard", 0, 30000);
    ASSERT_NE(nullptr, frame) << "Tolvard's frame did not appear";
    CloseHandle(frame);

    Install();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(running, 15000)) << "the upgrade did not end Tolvard";
    HANDLE restarted = WaitForTolvardWindow("#32770", "About Tolvard", GetProcessId(running), 15000);
    EXPECT_NE(nullptr, restarted) << "the upgrade did not start Tolvard again";
    TerminateProcess(running, 1);
    CloseHandle(running);
    if (!restarted) return;

    Uninstall();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(restarted, 15000)) << "the uninstaller did not end Tolvard";
    TerminateProcess(restarted, 1);
    CloseHandle(restarted);
}

TEST_F(InstallerTest, InstallingAgainDuplicatesNothing) {
    Install();
    SystemSnapshot once = SystemSnapshot::Take();
    Install();
    std::vector<std::string> changes = SystemSnapshot::Take().ChangesSince(once);
    EXPECT_TRUE(changes.empty()) << "changed by the second installation:" << Describe(changes);
}

// An upgrade keeps what the user chose: no start with Windows, and a switch that
// Tolvard turned off (its value 0, its handler key removed).
TEST_F(InstallerTest, UpgradeKeepsTheUsersChoices) {
    Install("/AUTOSTART=0");
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableContext, 0);
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kContextHandlerKey);
    Install();
    EXPECT_EQ("<missing>", RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard"));
    EXPECT_EQ("<missing>", RegText(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr));
    EXPECT_EQ(kClassIdText, RegText(HKEY_CLASSES_ROOT, contract::kPropertyHandlerKey, nullptr));
    Install("/AUTOSTART=1");
    EXPECT_EQ("\"" + Installed("Tolvard.exe") + "\"", RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard"));
}

// Uninstalling removes the user's settings of both programs, but not another
// program's key beside them, and never a description file.
TEST_F(InstallerTest, UninstallRemovesSettingsButNotDescriptions) {
    testsupport::SetRegString(HKEY_CURRENT_USER, "Software\\Varnoke\\Other", "Kept", "yes");
    before_ = SystemSnapshot::Take();
    Install();

    testsupport::TempFolder documents;
    testsupport::WriteFileBytes(documents.File("report.txt"), "text");
    typedef int(__cdecl * SetFunction)(const char*, const char*);
    HMODULE library = LoadLibraryA(Installed("Tolvane.dll").c_str());
    ASSERT_NE(nullptr, library);
    SetFunction set = reinterpret_cast<SetFunction>(reinterpret_cast<void*>(GetProcAddress(library, "SetDescription")));
    ASSERT_NE(nullptr, set);
    set("Monthly report", documents.File("report.txt").c_str());
    FreeLibrary(library);
    std::string descriptions = testsupport::ReadFileBytes(documents.File("DESCRIPT.ION"));
    DWORD attributes = testsupport::Attributes(documents.File("DESCRIPT.ION"));
    ASSERT_EQ("report.txt Monthly report\r\n", descriptions);

    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kColumnName, "Notes");
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, 0);
    testsupport::LearnedTitles::Store({"Name"});
    Uninstall();

    EXPECT_EQ(descriptions, testsupport::ReadFileBytes(documents.File("DESCRIPT.ION")));
    EXPECT_EQ(attributes, testsupport::Attributes(documents.File("DESCRIPT.ION")));
    std::vector<std::string> changes = SystemSnapshot::Take().ChangesSince(before_);
    EXPECT_TRUE(changes.empty()) << "left behind:" << Describe(changes);
    EXPECT_EQ("yes", RegText(HKEY_CURRENT_USER, "Software\\Varnoke\\Other", "Kept"));

    testsupport::DeleteRegTree(HKEY_CURRENT_USER, contract::kVendorKey);
    before_ = SystemSnapshot::Take();
}

#ifdef _WIN64
// Tolvard's context-menu switch, sent to the installed Tolvard as its tray menu does,
// takes the entry away in both registry views and brings it back in both.
TEST_F(InstallerTest, TolvardsSwitchChangesBothRegistryViews) {
    Install();
    testsupport::LearnedTitles::Store({"Name"}, "\"Exploring - \"");
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableExplorer, 0);
    HANDLE tolvard = testsupport::StartProcess(testsupport::QuoteArgument(Installed("Tolvard.exe")));
    ASSERT_NE(nullptr, tolvard);
    HWND frame = nullptr;
    for (DWORD start = GetTickCount(); !frame && GetTickCount() - start < 30000; Sleep(100))
        frame = FindWindowA(nullptr, "Tolvard");
    ASSERT_NE(nullptr, frame) << "Tolvard's frame did not appear";

    const std::string key = std::string("HKCR\\") + kContextHandlerKey;
    for (bool on : {false, true}) {
        SCOPED_TRACE(on ? "switched on" : "switched off");
        PostMessageA(frame, WM_COMMAND, kToggleContext, 0);
        std::string wanted = on ? kClassIdText : "<missing>";
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(100))
            if (RegText(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr) == wanted &&
                RegText(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr, k32) == wanted)
                break;
        EXPECT_EQ(on, RegQueryFinds(key, "/reg:64"));
        EXPECT_EQ(on, RegQueryFinds(key, "/reg:32"));
        EXPECT_EQ(wanted, RegText(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr, k32));
    }
    // The property page was not touched.
    for (const char* view : {"/reg:32", "/reg:64"})
        EXPECT_TRUE(RegQueryFinds(std::string("HKCR\\") + contract::kPropertyHandlerKey, view)) << view;
    Uninstall();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(tolvard, 15000)) << "the uninstaller did not end Tolvard";
    TerminateProcess(tolvard, 1);
    CloseHandle(tolvard);
}

// Where the machine runs 32-bit code, the installed 32-bit companion runs the hook
// for 32-bit programs beside Tolvard and ends with it. This machine may refuse every
// 32-bit program; then there is nothing to check here.
TEST_F(InstallerTest, ThirtyTwoBitCompanionRunsWithTolvardWhereTheMachineRuns32BitCode) {
    Install();
    std::string companion = Installed("x86\\TolvardHook.exe");
    HANDLE probe = testsupport::StartProcess(testsupport::QuoteArgument(companion));
    if (!probe) GTEST_SKIP() << "this machine runs no 32-bit code: " << companion << " does not start";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probe, 10000));
    DWORD exitCode = 0;
    GetExitCodeProcess(probe, &exitCode);
    CloseHandle(probe);
    EXPECT_EQ(2u, exitCode) << "the companion without arguments";

    testsupport::LearnedTitles::Store({"Name"}, "\"Exploring - \"");
    HANDLE tolvard = testsupport::StartProcess(testsupport::QuoteArgument(Installed("Tolvard.exe")));
    ASSERT_NE(nullptr, tolvard);
    bool running = false;
    for (DWORD start = GetTickCount(); !running && GetTickCount() - start < 30000; Sleep(200))
        running = ProcessRunning("TolvardHook.exe");
    EXPECT_TRUE(running) << "Tolvard did not start its 32-bit companion";
    Restart restart;
    Uninstall();
    EXPECT_TRUE(testsupport::PumpUntilSignalled(tolvard, 15000)) << "the uninstaller did not end Tolvard";
    TerminateProcess(tolvard, 1);
    CloseHandle(tolvard);
    EXPECT_FALSE(ProcessRunning("TolvardHook.exe")) << "the companion outlived Tolvard";
    // Tolvard's own hook may have reached this process: its library then waits for the
    // restart. The 32-bit library went with the companion.
    EXPECT_FALSE(testsupport::FileExists(Installed("x86\\Tolvane.dll")));
    restart.Now(Installed("Tolvane.dll"), folder_);
}

// The setup for 32-bit Windows refuses a 64-bit Windows, where it would reach 32-bit
// programs only and never Explorer: silently it ends with exit code 2 (its message,
// which names this setup, is shown otherwise) and changes nothing.
TEST_F(InstallerTest, The32BitSetupRefusesA64BitWindows) {
    std::string setup = Dist32File("Tolvane-setup.exe");
    testsupport::ScopedProcess refused(testsupport::StartProcess(testsupport::QuoteArgument(setup) + " /S"));
    if (!refused.Handle()) GTEST_SKIP() << "this machine runs no 32-bit code: " << setup << " does not start";
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(refused.Handle(), 60000));
    DWORD exitCode = 0;
    GetExitCodeProcess(refused.Handle(), &exitCode);
    EXPECT_EQ(2u, exitCode);
    for (REGSAM view : kViews)
        EXPECT_EQ("<missing>", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", view)) << view;
    // TearDown: nothing else changed either.
}

// Writes a value into the given registry view, creating the key.
void SetString(HKEY root, const std::string& key, const char* value, const std::string& data, REGSAM view) {
    ASSERT_TRUE(testsupport::SetRegString(root, key.c_str(), value, data, true, view)) << key;
}

bool KeyExists(const char* key, REGSAM view) {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// What Tolvane-setup.exe, the 32-bit setup, leaves on a 64-bit Windows (each of its
// registry writes lands in the 32-bit view there): its files in the 32-bit program
// folder and its entries in the 32-bit view. Here, where no 32-bit program runs, the
// test lays them down itself, exactly as that setup's script writes them; the context
// menu switched off by the user. The 64-bit setup takes that installation over.
TEST_F(InstallerTest, UpgradeTakesOverAnInstallationOfThe32BitSetup) {
    // The keys that hold the entries exist on every Windows (not in a new Wine prefix).
    for (const char* key : {kRunKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}) {
        HKEY made;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_READ | k32, nullptr, &made,
                                                 nullptr));
        RegCloseKey(made);
    }
    before_ = SystemSnapshot::Take();
    char programFiles32[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programFiles32, CSIDL_PROGRAM_FILESX86, FALSE));
    const std::string old = std::string(programFiles32) + "\\Tolvane";
    ASSERT_TRUE(CreateDirectoryA(old.c_str(), nullptr));
    // Its uninstaller is an NSIS stub, here any program will do: it is not run.
    const char* const files[][2] = {{"Tolvane.dll", "Tolvane.dll"}, {"Tolvard.exe", "Tolvard.exe"},
                                    {"uninstall.exe", "Tolvard.exe"}};
    for (const auto& file : files)
        ASSERT_TRUE(testsupport::WriteFileBytes(old + "\\" + file[0], testsupport::ReadFileBytes(Dist32File(file[1]))));
    // The shell's keys that it noted as made by it.
    const char* const shellKeys[][2] = {{"*", "MadeStarKey"},
                                        {"*\\shellex", "MadeShellexKey"},
                                        {"*\\shellex\\ContextMenuHandlers", "MadeContextMenuHandlersKey"},
                                        {"*\\shellex\\PropertySheetHandlers", "MadePropertySheetHandlersKey"}};
    HKEY uninstall32;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS | k32,
                                             nullptr, &uninstall32, nullptr));
    for (const auto& shellKey : shellKeys) {
        DWORD made = 1;
        if (!KeyExists(shellKey[0], k32))
            RegSetValueExA(uninstall32, shellKey[1], 0, REG_DWORD, reinterpret_cast<BYTE*>(&made), sizeof made);
    }
    RegCloseKey(uninstall32);
    SetString(HKEY_CLASSES_ROOT, kClassKey, nullptr, "Tolvane", k32);
    SetString(HKEY_CLASSES_ROOT, kServerKey, nullptr, old + "\\Tolvane.dll", k32);
    SetString(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel", "Apartment", k32);
    SetString(HKEY_CLASSES_ROOT, contract::kPropertyHandlerKey, nullptr, kClassIdText, k32);
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, contract::kEnableContext, 0);
    SetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Tolvane and Tolvard", k32);
    SetString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", old, k32);
    SetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "\"" + old + "\\uninstall.exe\"", k32);
    SetString(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard", "\"" + old + "\\Tolvard.exe\"", k32);

    Install();
    char programFiles[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE);
    EXPECT_TRUE(SamePath(std::string(programFiles) + "\\Tolvane", folder_)) << folder_;
    EXPECT_FALSE(testsupport::FileExists(old)) << "the 32-bit setup's folder is left";
    EXPECT_EQ("<missing>", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", k32));
    EXPECT_EQ("<missing>", RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard", k32));
    // It started with Windows, and still does; the context menu stays off in both views.
    EXPECT_EQ("\"" + Installed("Tolvard.exe") + "\"", RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard"));
    EXPECT_TRUE(SamePath(Installed("x86\\Tolvane.dll"), RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr, k32)));
    for (REGSAM view : kViews) {
        SCOPED_TRACE(view);
        EXPECT_EQ("<missing>", RegText(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr, view));
        EXPECT_EQ(kClassIdText, RegText(HKEY_CLASSES_ROOT, contract::kPropertyHandlerKey, nullptr, view));
    }
    // TearDown uninstalls: then nothing of either installation may be left.
}
#endif  // _WIN64

}  // namespace
