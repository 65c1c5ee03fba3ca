// Tolvane-setup.exe as an administrator runs it, silently, in a Wine prefix made for
// this program alone: what it installs, that Explorer's way (COM) and Tolvard's way
// (the class registration) find the installed library, upgrades in place, and an
// uninstallation after which the system is as it was before, users' description files
// included. Every test ends uninstalled and compares the whole system with the
// snapshot taken before it began.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <string>

#include "SystemSnapshot.h"
#include "TestSupport.h"

using installertest::Describe;
using installertest::SystemSnapshot;

namespace {

const CLSID kTolvaneClass = {0x9C52E1B7, 0x0A4F, 0x11d3, {0xB6, 0xE2, 0x7F, 0x41, 0xC0, 0x8D, 0x5A, 0x96}};
const char kClassIdText[] = "{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}";
const char kServerKey[] = "CLSID\\{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}\\InProcServer32";
const char kContextHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\Tolvane";
const char kPageHandlerKey[] = "*\\shellex\\PropertySheetHandlers\\Tolvane";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolvane";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kSettingsKey[] = "Software\\Varnoke\\Tolvard\\Settings";
const char kExplorerKey[] = "Software\\Varnoke\\Tolvard\\Explorer";

// A registry text without its terminating zero; "<missing>" when it cannot be read.
std::string RegText(HKEY root, const char* key, const char* value) {
    std::string data;
    if (!testsupport::ReadRegValue(root, key, value, &data)) return "<missing>";
    while (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

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
        std::string setup = testsupport::DistFile("Tolvane-setup.exe");
        ASSERT_EQ(0, testsupport::RunProcess(testsupport::QuoteArgument(setup) + " /S " + options))
            << "Tolvane-setup.exe /S " << options;
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
    for (const char* name : {"Tolvane.dll", "Tolvard.exe"}) {
        SCOPED_TRACE(name);
        std::string copied = testsupport::ReadFileBytes(Installed(name));
        EXPECT_FALSE(copied.empty());
        EXPECT_TRUE(copied == testsupport::ReadFileBytes(testsupport::DistFile(name)));
    }

    EXPECT_TRUE(SamePath(Installed("Tolvane.dll"), RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr)));
    EXPECT_EQ("Apartment", RegText(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel"));
    // The context-menu entry and the page start switched on, as Tolvard's switches read then.
    EXPECT_EQ(kClassIdText, RegText(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr));
    EXPECT_EQ(kClassIdText, RegText(HKEY_CLASSES_ROOT, kPageHandlerKey, nullptr));

    EXPECT_TRUE(SamePath(Installed("Tolvard.exe"), ShortcutTarget(StartMenuShortcut())));
    EXPECT_EQ("\"" + Installed("Tolvard.exe") + "\"", RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard"));

    std::string uninstaller = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    EXPECT_EQ("\"" + Installed("uninstall.exe") + "\"", uninstaller);
    EXPECT_TRUE(testsupport::FileExists(Installed("uninstall.exe")));
    EXPECT_EQ("Tolvane and Tolvard", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
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
    HRESULT result = CoCreateInstance(kTolvaneClass, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
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
// too. The uninstaller ends the running Tolvard.
TEST_F(InstallerTest, TolvardFindsTheInstalledLibraryAndTheUninstallerEndsIt) {
    Install();
    // Explorer's texts as the wizard stores them, so that no wizard comes up.
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerTitlePrefix", "\"Exploring - \"");
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerName", "Name", false);
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

    std::string pendingBefore;
    bool hadPending = testsupport::ReadRegValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, "PendingFileRenameOperations",
                                                &pendingBefore);
    Uninstall();
    EXPECT_TRUE(testsupport::PumpUntilSignalled(tolvard, 15000)) << "Tolvard still runs after uninstalling";
    TerminateProcess(tolvard, 1);
    CloseHandle(tolvard);

    // This process, like every process that the hook reached, still holds the library,
    // so the uninstaller leaves the library and its folder to the next restart.
    std::vector<std::string> pending = PendingDeletions();
    EXPECT_TRUE(Contains(pending, library)) << "the library is not deleted at the next restart";
    EXPECT_TRUE(Contains(pending, folder_)) << "the folder is not deleted at the next restart:" << Describe(pending);
    // The restart, as far as this test goes; Wine keeps a hook's library loaded (Windows
    // may not), so the test frees it itself.
    if (HMODULE held = GetModuleHandleA(library.c_str())) FreeLibrary(held);
    DeleteFileA(library.c_str());
    RemoveDirectoryA(folder_.c_str());
    HKEY sessionManager;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_SET_VALUE, &sessionManager));
    if (hadPending)
        RegSetValueExA(sessionManager, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(pendingBefore.data()), static_cast<DWORD>(pendingBefore.size()));
    else
        RegDeleteValueA(sessionManager, "PendingFileRenameOperations");
    RegCloseKey(sessionManager);
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
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerTitlePrefix", "\"Exploring - \"");
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerName", "Name", false);
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, "EnableExplorer", 0);
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
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, "EnableContext", 0);
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kContextHandlerKey);
    Install();
    EXPECT_EQ("<missing>", RegText(HKEY_LOCAL_MACHINE, kRunKey, "Tolvard"));
    EXPECT_EQ("<missing>", RegText(HKEY_CLASSES_ROOT, kContextHandlerKey, nullptr));
    EXPECT_EQ(kClassIdText, RegText(HKEY_CLASSES_ROOT, kPageHandlerKey, nullptr));
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

    testsupport::SetRegString(HKEY_CURRENT_USER, "Software\\Varnoke\\Tolvane", "ColumnName", "Notes");
    testsupport::SetRegDword(HKEY_CURRENT_USER, kSettingsKey, "EnableExplorer", 0);
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerName", "Name", false);
    Uninstall();

    EXPECT_EQ(descriptions, testsupport::ReadFileBytes(documents.File("DESCRIPT.ION")));
    EXPECT_EQ(attributes, testsupport::Attributes(documents.File("DESCRIPT.ION")));
    std::vector<std::string> changes = SystemSnapshot::Take().ChangesSince(before_);
    EXPECT_TRUE(changes.empty()) << "left behind:" << Describe(changes);
    EXPECT_EQ("yes", RegText(HKEY_CURRENT_USER, "Software\\Varnoke\\Other", "Kept"));

    testsupport::DeleteRegTree(HKEY_CURRENT_USER, "Software\\Varnoke");
    before_ = SystemSnapshot::Take();
}

}  // namespace
