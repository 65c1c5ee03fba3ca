// The installed Tolvard.exe started and answered as its user would (TolvardProcess.h).
#include "TolvardProcess.h"

#include "DemoSteps.h"
#include "ShellextTestSupport.h"
#include "TestContract.h"
#include "WindowControls.h"
#include "resource.h"   // Tolvard's dialog, control and command ids

#include <tlhelp32.h>

namespace demo {

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolvane";

struct WindowSearch {
    DWORD processId;
    const char* title;
    bool dialog;
    HWND found;
};

std::string TextOf(HWND window) {
    char text[512] = "";
    DWORD_PTR copied = 0;
    // WM_GETTEXT is carried across processes; the timeout keeps a hung Tolvard from hanging us.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    return text;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || (search->dialog && !IsWindowVisible(window))) return TRUE;
    if ((shellext::ClassName(window) == "#32770") != search->dialog) return TRUE;
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(title, search->title) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

using contract::kExplorerKey;

// The wizard stores the column titles last.
bool ExplorerTextsStored() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kExplorerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool stored = RegQueryValueExA(key, "ExplorerName", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

}  // namespace

TolvardProcess::~TolvardProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
    CloseHandle(process_);
}

std::string TolvardProcess::InstalledPath() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    char folder[MAX_PATH] = "";
    DWORD size = sizeof folder - 1, type = 0;
    LONG read = RegQueryValueExA(key, "InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ || folder[0] == '\0') return "";
    std::string path = folder;
    if (path.back() != '\\') path += '\\';
    return path + "Tolvard.exe";
}

bool TolvardProcess::Start(const std::string& program) {
    std::string command = "\"" + program + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    return true;
}

HWND TolvardProcess::FindOwnWindow(const char* title, bool dialog) const {
    WindowSearch search = {GetProcessId(process_), title, dialog, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool TolvardProcess::AnswerStartUp(const std::function<void(const char* page)>& onPage, std::string* confirmed) {
    bool splashSeen = false, splashGone = false;
    DWORD splashShown = 0;
    HWND lastPage = nullptr;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; PumpMessages(100)) {
        if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
            Say("  Tolvard ended during its start");
            return false;
        }
        HWND splash = FindOwnWindow("About Tolvard", true);
        if (splash && !splashSeen) {
            splashSeen = true;
            splashShown = GetTickCount();
            Say("  splash \"About Tolvard\" shown");
        } else if (!splash && splashSeen && !splashGone) {
            splashGone = true;
            DWORD lasted = GetTickCount() - splashShown;
            Say("  the splash closed itself after %lu.%lu s", lasted / 1000, lasted % 1000 / 100);
        }
        // The wizard runs while the frame is being made; done when its texts are stored.
        HWND page = FindOwnWindow("Tolvard", true);
        frame_ = FindOwnWindow("Tolvard", false);
        if (frame_ && !page && ExplorerTextsStored()) return true;
        if (!page || page == lastPage) continue;
        lastPage = page;
        if (GetDlgItem(page, IDC_WELCOME_BACK)) {
            Say("  wizard page 1 (welcome) -> Next");
            onPage("welcome");
            testsupport::PostCommand(page, IDOK);
        } else if (HWND caption = GetDlgItem(page, IDC_EXPLORER_CAPTION)) {
            *confirmed = TextOf(caption);
            Say("  wizard page 2 (confirm): the Explorer window found is \"%s\" -> Next", confirmed->c_str());
            onPage("confirm");
            testsupport::PostCommand(page, IDOK);
        } else if (GetDlgItem(page, IDC_TITLE_NAME)) {
            Say("  wizard page 3 (column titles): Tolvard could not read them; the defaults taken -> Next");
            onPage("titles");
            testsupport::PostCommand(page, IDOK);
        } else {
            Say("  Tolvard says: \"%s\"", TextOf(GetDlgItem(page, 0xFFFF)).c_str());
            return false;
        }
    }
    Say("  no frame window \"Tolvard\" within 60 s");
    return false;
}

namespace {
BOOL CALLBACK SayWindow(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId) || !IsWindowVisible(window)) return TRUE;
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    Say("  Tolvard shows \"%s\" (%s): \"%s\"", title, shellext::ClassName(window).c_str(),
        TextOf(GetDlgItem(window, 0xFFFF)).c_str());
    return TRUE;
}
}  // namespace

void TolvardProcess::SayVisibleWindows() const {
    if (process_) EnumWindows(SayWindow, static_cast<LPARAM>(GetProcessId(process_)));
}

bool TolvardProcess::Exit() {
    if (!process_) return true;
    if (frame_) PostMessageA(frame_, WM_COMMAND, ID_APP_EXIT, 0);
    DWORD ended = WAIT_TIMEOUT;
    for (DWORD start = GetTickCount(); ended == WAIT_TIMEOUT && GetTickCount() - start < 15000; PumpMessages(50))
        ended = WaitForSingleObject(process_, 0);
    return ended == WAIT_OBJECT_0;
}

bool CompanionRunning() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool running = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !running; more = Process32Next(snapshot, &entry))
        running = lstrcmpiA(entry.szExeFile, "TolvardHook.exe") == 0;
    CloseHandle(snapshot);
    return running;
}

bool ColumnHookReachesThisProcess(DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; PumpMessages(200)) {
        // Wine tells a thread of newly set hooks only along with a message it
        // receives; a quiet thread would never learn of the hook.
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
        PumpMessages(0);
        HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(probe);
        if (GetModuleHandleA("Tolvane.dll")) return true;
    }
    return false;
}

}  // namespace demo
